#include "analysisinput.h"

#include "adjust/catalogue.h"

#include <cmath>
#include <cstddef>

namespace chain {
namespace {

double wrap360(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg < 0)
        deg += 360;
    return deg >= 360 ? 0 : deg;
}

} // namespace

static_assert(int(kA) == int(analysis::A) && int(kC) == int(analysis::C) && int(kE) == int(analysis::E) &&
                  int(kF) == int(analysis::F) && int(kD) == int(analysis::D) && int(kB) == int(analysis::B),
              "the catalogue's point labels are the analysis labels");

int classicWeakestLabel(int caseNo)
{
    // The route point whose weight reciprocals the case computes.
    return isCase(caseNo) ? routeLabel(caseNo, caseRow(caseNo).weakest) : -1;
}

analysis::Network networkFromRecord(const Record &rec, int caseNo, const AnalysisOptions &opt)
{
    using namespace analysis;
    Network n;
    const std::array<std::pair<double, double>, kPoints> knownXY = {{
        {rec.xa, rec.ya}, {rec.xc, rec.yc}, {0, 0}, {0, 0}, {rec.xd, rec.yd}, {rec.xb, rec.yb},
    }};
    for (int i = 0; i <= 5; ++i) {
        const int p = routeLabel(caseNo, i);
        if (p < 0)
            return n;
        Point &pt = n.points[static_cast<std::size_t>(p)];
        const auto [kx, ky] = knownXY[static_cast<std::size_t>(p)];
        pt.known = isKnown(kx, ky);
        if (static_cast<std::size_t>(i) < rec.pn.size())
            pt.name = rec.pn[static_cast<std::size_t>(i)];
        if (pt.known) {
            pt.x = kx;
            pt.y = ky;
        } else if (static_cast<std::size_t>(i) < rec.X.size() && static_cast<std::size_t>(i) < rec.Y.size()) {
            pt.x = rec.X[static_cast<std::size_t>(i)];
            pt.y = rec.Y[static_cast<std::size_t>(i)];
        }
    }
    const bool aC = n.points[A].known && n.points[C].known;
    const bool bD = n.points[B].known && n.points[D].known;
    for (int i = 1; i <= kSides; ++i) {
        Side &s = n.sides[static_cast<std::size_t>(i)];
        s.typed = !((i == 1 && aC) || (i == 9 && bD));
        s.observed = static_cast<std::size_t>(i) < rec.S.size() ? rec.S[static_cast<std::size_t>(i)] : 0;
    }
    // Orientation directions: at the start end azimuth(K -> N) = ta + qa, at
    // the closing end tb - qb, with the orientation angles as measured
    // (signed, in degrees), not as the classic method corrected them.
    const bool startAngles = caseRow(caseNo).startOriented;
    const bool closingAngles = caseRow(caseNo).closingOriented;
    if (startAngles) {
        Orientation &o = n.orientations[static_cast<std::size_t>(n.orientationCount++)];
        o.end = 0;
        o.known = n.points[A].known ? A : C;
        o.other = o.known == A ? C : A;
        o.azimuth = wrap360(rec.ta + rec.qaObserved);
    }
    if (closingAngles) {
        Orientation &o = n.orientations[static_cast<std::size_t>(n.orientationCount++)];
        o.end = 1;
        o.known = n.points[B].known ? B : D;
        o.other = o.known == B ? D : B;
        o.azimuth = wrap360(rec.tb - rec.qbObserved);
    }
    if (opt.sigmaA || opt.sigmaB)
        n.accuracy = Accuracy{opt.sigmaA.value_or(0), opt.sigmaB.value_or(0)};
    n.sigmaQ = opt.sigmaQ;
    n.grade = opt.grade;
    return n;
}

} // namespace chain
