// Case 6: C and B known, outer azimuths and orientation angles at both ends,
// the two known points on opposite sides of the chain. The five conditions
// of case 2 along the route C, A, F, E, D, B; only qb is written back, the
// correction of the start orientation turns the adjusted route.
#include "cases.h"

#include "azimuthcond.h"
#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "routerows.h"
#include "unoriented.h"

namespace chain {

using detail::cosd;
using detail::sind;

Model model6(const Inputs &in)
{
    Model m;
    m.nc = 5;
    m.weakest = 3; // U3, the point E
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    const double rho = in.rho;
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;

    // The route U0..U5 = C, A, F, E, D, B; d(i) and e(i) are the
    // route side and the turn after U(i).
    const double d[5] = {0, S[5], S[4], S[7], S[9]};
    const double e[5] = {0, be[3], ga[2], -al[4], -ga[4] - al[5]};
    X[0] = in.xc;
    Y[0] = in.yc;
    T[1] = downIfFull(in.ta + in.qa);
    X[1] = in.xc + S[1] * cosd(T[1], rad);
    Y[1] = in.yc + S[1] * sind(T[1], rad);
    for (int i = 2; i <= 5; ++i) {
        T[i] = upIfNegative(downIfFull(T[i - 1] + e[i - 1] + 180));
        X[i] = X[i - 1] + d[i - 1] * cosd(T[i], rad);
        Y[i] = Y[i - 1] + d[i - 1] * sind(T[i], rad);
    }
    const double TB = upIfNegative(downIfFull(T[5] + in.qb + 180));
    m.closingAzimuth = TB;

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = azimuthcond::misclosure(TB, in.tb);
    m.w[4] = X[5] - in.xb;
    m.w[5] = Y[5] - in.yb;

    // The condition matrix.
    Matrix &A = m.A;
    detail::requireHeightsCase5(in);
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);

    // Row 3, the azimuth condition (seconds); rows 4 and 5, the ordinate
    // and abscissa conditions on B, and rows 6 and 7, the weight functions
    // of the weakest point U3, as in case 5; column 0 is the turn of the
    // whole route about C with the signed qa.
    azimuthcond::orientationEntries(A);
    addAzimuthRow(A, 3, kRouteCAFEDB, in);
    addCoordinateRows(A, 4, 5, kRouteCAFEDB, m, 5, in.xb, in.yb, in);
    addCoordinateRows(A, 6, 7, kRouteCAFEDB, m, 3, X[3], Y[3], in);
    addStartTurn(A, 4, 5, in.xc, in.yc, in.xb, in.yb, rho);
    addStartTurn(A, 6, 7, in.xc, in.yc, X[3], Y[3], rho);
    return m;
}

CaseResult Cm6(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(6, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model6(in);
    const azimuthcond::Adjusted a = azimuthcond::adjust(r, m);

    // qb takes its correction; the correction q0 of the start orientation
    // only turns the adjusted route, qa stays as given.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    r.qb = rec.qb + a.closingCorrection / 3600;
    const double q0 = a.startCorrection / 3600;

    // The route from C with both reductions at every azimuth.
    constexpr Turning both{180, unoriented::downThenUp};
    adjustedRoute(r, kRouteCAFEDB, {{{}, both, both, both, both}}, upIfNegative(downIfFull(rec.ta + rec.qa + q0)),
                  rec.xc, rec.yc, alpha, beta, gamma);
    precision(r, a.vv);
    return r;
}

} // namespace chain
