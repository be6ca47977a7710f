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

FigureExtent extentOf(const FigureData &data)
{
    FigureExtent e;
    for (const FigurePoint &p : data.points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        if (!e.any) {
            e.minX = e.maxX = p.x;
            e.minY = e.maxY = p.y;
            e.any = true;
        }
        e.minX = std::min(e.minX, p.x), e.maxX = std::max(e.maxX, p.x);
        e.minY = std::min(e.minY, p.y), e.maxY = std::max(e.maxY, p.y);
        if (p.hasEllipse && std::isfinite(p.a))
            e.largestAxis = std::max(e.largestAxis, p.a);
    }
    return e;
}

double ellipseFactor(const FigureData &data)
{
    // The largest ellipse, enlarged, against the network's extent.
    constexpr double kEllipseShare = 1.0 / 12;
    const FigureExtent e = extentOf(data);
    const double extent = std::max(e.maxX - e.minX, e.maxY - e.minY);
    return e.largestAxis > 0 && extent > 0 ? roundDown125(kEllipseShare * extent * 1000 / e.largestAxis) : 0;
}

} // namespace chain::report
