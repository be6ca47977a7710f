// Case 4: A and D known on opposite sides of the chain, no azimuth and no
// orientation angle. The case 3 procedure along the route A, C, E, F, B, D,
// closing on D; B is a point to be determined and not read.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "routerows.h"
#include "unoriented.h"

namespace chain {

using detail::cosd;
using detail::sind;

Model model4(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 3; // F
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    const auto &X = m.X, &Y = m.Y;

    // The route A, C, E, F, B, D turned onto D.
    const unoriented::Route route{in.xa, in.ya, in.xd, in.yd,
                                  {0, S[1], S[2], S[4], S[10], S[9]},
                                  {0, -al[1], -(ga[1] + al[2]), be[6], ga[5]},
                                  10, unoriented::upThenDown, unoriented::upThenDown};
    unoriented::orient(m, route, in);

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xd;
    m.w[4] = Y[5] - in.yd;

    // The heights the turns of the route divide by must not vanish.
    requireHeight(S[1] * sind(be[1], rad), "三角形 1 在 A 点");
    requireHeight(S[2] * sind(al[1], rad), "三角形 1 在 C 点");
    requireHeight(S[3] * sind(be[2], rad), "三角形 2 在 A 点");
    requireHeight(S[10] * sind(be[5], rad), "三角形 5 在 F 点");

    // The condition matrix: the figure conditions, the coordinates of D
    // along the route, the weight functions of P3.
    Matrix &A = m.A;
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);
    addCoordinateRows(A, 3, 4, kRouteACEFBD, m, 5, in.xd, in.yd, in);
    addCoordinateRows(A, 5, 6, kRouteACEFBD, m, 3, X[3], Y[3], in);
    return m;
}

CaseResult Cm4(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(4, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model4(in);
    const double vv = unoriented::adjust(r, m);

    // From the rotated T(1) along A, C, E, F, B, D: P4 is B and P5 is D.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    constexpr Turning plusHalf{180, downIfFull};
    adjustedRoute(r, kRouteACEFBD, {{{}, plusHalf, plusHalf, plusHalf, plusHalf}}, m.T[1], rec.xa, rec.ya, alpha,
                  beta, gamma);
    precision(r, vv);
    return r;
}

} // namespace chain
