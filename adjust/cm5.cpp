// Case 5: C and B known on opposite sides of the chain, no azimuth and no
// orientation angle. The case 3 procedure along the route C, A, F, E, D, B
// from a provisional 190 degrees; its coordinate misclosures are shown in
// the general number format.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "routerows.h"
#include "unoriented.h"

namespace chain {

using detail::sind;

namespace detail {

void requireHeightsCase5(const Inputs &in)
{
    const auto &S = in.S;
    const auto &al = in.alpha, &ga = in.gamma;
    const double rad = in.rad;
    requireHeight(S[4] * sind(al[2], rad), "三角形 2 在 E 点");
    requireHeight(S[7] * sind(ga[4], rad), "三角形 4 在 D 点");
    requireHeight(S[7] * sind(al[4], rad), "三角形 4 在 E 点");
    requireHeight(S[9] * sind(ga[5], rad), "三角形 5 在 B 点");
}

} // namespace detail

Model model5(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 3; // E
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const auto &X = m.X, &Y = m.Y;

    // The route C, A, F, E, D, B turned onto B; the provisional
    // azimuths are only reduced from above.
    const unoriented::Route route{in.xc, in.yc, in.xb, in.yb,
                                  {0, S[1], S[5], S[4], S[7], S[9]},
                                  {0, be[3], ga[2], -al[4], -(ga[4] + al[5])},
                                  190, downIfFull, unoriented::downThenUp};
    unoriented::orient(m, route, in);

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xb;
    m.w[4] = Y[5] - in.yb;

    // The condition matrix.
    Matrix &A = m.A;
    detail::requireHeightsCase5(in);
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);
    addCoordinateRows(A, 3, 4, kRouteCAFEDB, m, 5, in.xb, in.yb, in);
    addCoordinateRows(A, 5, 6, kRouteCAFEDB, m, 3, X[3], Y[3], in);
    return m;
}

CaseResult Cm5(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(5, rec); // N and Q are 0..7 by 0..7; row and column 7 stay 0
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model5(in);
    const double vv = unoriented::adjust(r, m);

    // From the rotated T(1) along C, A, F, E, D, B: P1 is A and P5 is B.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    constexpr Turning plusHalf{180, downIfFull}, minusHalf{-180, upIfNegative};
    adjustedRoute(r, kRouteCAFEDB, {{{}, plusHalf, plusHalf, minusHalf, minusHalf}}, m.T[1], rec.xc, rec.yc, alpha,
                  beta, gamma);
    precision(r, vv);
    return r;
}

} // namespace chain
