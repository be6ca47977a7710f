// Case 1: A and B known, start azimuth and orientation angle at A, no
// closing angle. Four conditions; the orientation angle qa is corrected.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "routerows.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace detail {

void sideConditionsCase1(Model &m, const Inputs &in)
{
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta;
    const double rad = in.rad;

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = m.X[5] - in.xb;
    m.w[4] = m.Y[5] - in.yb;

    // The heights the turns of the route divide by must not vanish.
    requireHeight(S[1] * sind(be[1], rad), "三角形 1 在 A 点");
    requireHeight(S[2] * sind(al[1], rad), "三角形 1 在 C 点");
    requireHeight(S[3] * sind(be[2], rad), "三角形 2 在 A 点");
    requireHeight(S[8] * sind(be[5], rad), "三角形 5 在 F 点");

    // The condition matrix over the side columns: the figure conditions,
    // the coordinates of B along the route, the weight functions of P2.
    Matrix &A = m.A;
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);
    addCoordinateRows(A, 3, 4, kRouteACEFDB, m, 5, in.xb, in.yb, in);
    addCoordinateRows(A, 5, 6, kRouteACEFDB, m, 2, m.X[2], m.Y[2], in);
}

void adjustedRouteCase1(CaseResult &r, double T1, const TriArr &alpha, const TriArr &gamma, const TriArr &beta,
                        double xa, double ya)
{
    constexpr Turning plusHalf{180, downIfFull};
    adjustedRoute(r, kRouteACEFDB, {{{}, plusHalf, plusHalf, plusHalf, plusHalf}}, T1, xa, ya, alpha, beta, gamma);
}

} // namespace detail

Model model1(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 2;
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    const double rho = in.rho;
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;

    // Azimuths along the route A, C, E, F, D, B.
    X[0] = in.xa;
    Y[0] = in.ya;
    T[1] = downIfFull(in.ta + in.qa);
    T[2] = downIfFull(T[1] - al[1] + 180);
    T[3] = downIfFull(T[2] - ga[1] - al[2] + 180);
    T[4] = downIfFull(T[3] + be[4] + 180);
    T[5] = downIfFull(T[4] - al[5] + 180);
    const double d[6] = {0, S[1], S[2], S[4], S[8], S[9]};
    for (int i = 1; i <= 5; ++i) {
        X[i] = X[i - 1] + d[i] * cosd(T[i], rad);
        Y[i] = Y[i - 1] + d[i] * sind(T[i], rad);
    }

    // Misclosures and the condition matrix over the sides;
    // column 0 turns the whole route about A with the signed qa.
    detail::sideConditionsCase1(m, in);
    addStartTurn(m.A, 3, 4, in.xa, in.ya, in.xb, in.yb, rho);
    addStartTurn(m.A, 5, 6, in.xa, in.ya, X[2], Y[2], rho);
    return m;
}

CaseResult Cm1(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(1, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model1(in);
    detail::storeMisclosures(r, m);
    const double vv = solveConditions(r, m.A);

    // The orientation angle qa takes its correction; the route is computed
    // again from it with the angles of the adjusted sides.
    r.qa = rec.qa + orientationCorrection(r, m.A, 0) / 3600;
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    detail::adjustedRouteCase1(r, downIfFull(rec.ta + r.qa), alpha, gamma, beta, rec.xa, rec.ya);
    precision(r, vv);
    return r;
}

} // namespace chain
