#include "report/figuredata.h"

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

} // namespace chain::report
