// Case 2: A and B known, outer azimuths and orientation angles at both ends,
// the two known points on the same side of the chain. The route and the
// conditions of case 1 with an azimuth condition at B: five conditions; both
// orientation angles are corrected.
#include "cases.h"

#include "azimuthcond.h"
#include "geometry.h"
#include "numfmt.h"
#include "routerows.h"

namespace chain {

using detail::cosd;

Model model2(const Inputs &in)
{
    // The route is that of case 1 (route A, C, E, F, D, B from T(1) = ta + qa);
    // so are the figure conditions, the ordinate and abscissa conditions and
    // the weight functions of P2, which move down one row below the azimuth
    // condition.
    const Model one = model1(in);
    Model m;
    m.nc = 5;
    m.weakest = 2;
    m.T = one.T;
    m.X = one.X;
    m.Y = one.Y;
    const auto &T = m.T;

    // The closing azimuth at B.
    const double TB = downIfFull(T[5] + in.qb + 180);
    m.closingAzimuth = TB;

    // Misclosures.
    m.w[1] = one.w[1];
    m.w[2] = one.w[2];
    m.w[3] = azimuthcond::misclosure(TB, in.tb);
    m.w[4] = one.w[3];
    m.w[5] = one.w[4];

    // The condition matrix.
    Matrix &A = m.A;
    for (int c = 0; c <= 12; ++c) {
        A(1, c) = one.A(1, c);
        A(2, c) = one.A(2, c);
        for (int r = 3; r <= 6; ++r)
            A(r + 1, c) = one.A(r, c);
    }

    // Row 3, the azimuth condition: the derivatives of TB, in seconds.
    azimuthcond::orientationEntries(A);
    addAzimuthRow(A, 3, kRouteACEFDB, in);
    return m;
}

CaseResult Cm2(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(2, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model2(in);
    const azimuthcond::Adjusted a = azimuthcond::adjust(r, m);

    // Both orientation angles take their corrections, as signed angles; the
    // route of case 1 again from T(1) = ta + qa.
    r.qa = rec.qa + a.startCorrection / 3600;
    r.qb = rec.qb + a.closingCorrection / 3600;
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    detail::adjustedRouteCase1(r, downIfFull(rec.ta + r.qa), alpha, gamma, beta, rec.xa, rec.ya);
    precision(r, a.vv);
    return r;
}

} // namespace chain
