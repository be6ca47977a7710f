#include "report/figuredata.h"

#include <algorithm>
#include <cmath>

namespace chain::report {

FigureData figureDataOf(const analysis::Engine &engine)
{
    FigureData d;
    const analysis::Network &net = engine.network();
    for (int p = 0; p < analysis::kPoints; ++p) {
        const auto i = static_cast<std::size_t>(p);
        FigurePoint &fp = d.points[i];
        fp.label = analysis::kLabelText[i];
        fp.name = net.points[i].name;
        fp.known = net.points[i].known;
        fp.x = net.points[i].x;
        fp.y = net.points[i].y;
        if (!engine.solved() || fp.known)
            continue;
        const analysis::PointResult r = engine.point(p);
        fp.x = r.x;
        fp.y = r.y;
        if (r.hasSigma && std::isfinite(r.ellipse.a) && std::isfinite(r.ellipse.b)) {
            fp.hasEllipse = true;
            fp.a = r.ellipse.a;
            fp.b = r.ellipse.b;
            fp.azimuth = r.ellipse.azimuth;
        }
    }
    for (int s = 1; s <= analysis::kSides; ++s) {
        FigureSide fs;
        fs.index = s;
        fs.from = analysis::kSideEnds[static_cast<std::size_t>(s)].from;
        fs.to = analysis::kSideEnds[static_cast<std::size_t>(s)].to;
        fs.typed = net.sides[static_cast<std::size_t>(s)].typed;
        if (engine.solved() && fs.typed) {
            const analysis::SideResult r = engine.side(s);
            fs.flagged = r.flagged;
            fs.barelyChecked = r.barelyChecked;
        }
        d.sides.push_back(fs);
    }
    for (int k = 0; k < net.orientationCount; ++k) {
        const analysis::Orientation &o = net.orientations[static_cast<std::size_t>(k)];
        d.directions.push_back({o.known, o.other, o.azimuth, !net.sigmaQ.has_value()});
    }
    return d;
}

double roundDown125(double v)
{
    const double p = std::pow(10.0, std::floor(std::log10(v)));
    const double m = v / p;
    // A hair of tolerance so that v = 2 × 10^k itself is taken.
    return (m >= 5 * (1 - 1e-12) ? 5 : m >= 2 * (1 - 1e-12) ? 2 : 1) * p;
}

double ellipseFactor(const FigureData &data)
{
    // The largest ellipse, enlarged, against the network's extent.
    constexpr double kEllipseShare = 1.0 / 12;
    bool any = false;
    double minX = 0, maxX = 0, minY = 0, maxY = 0, amax = 0;
    for (const FigurePoint &p : data.points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        if (!any) {
            minX = maxX = p.x;
            minY = maxY = p.y;
            any = true;
        }
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        if (p.hasEllipse && std::isfinite(p.a))
            amax = std::max(amax, p.a);
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    return amax > 0 && extent > 0 ? roundDown125(kEllipseShare * extent * 1000 / amax) : 0;
}

} // namespace chain::report
