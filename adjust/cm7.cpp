// Case 7: A and D known, start azimuth and orientation angle at A, closing
// azimuth and orientation angle at D. Five conditions (the azimuth
// condition among them); the orientation angle qa is corrected.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"
#include "routerows.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace {

// The route A, C, E, F, B, D from ta + qa, along S(1), S(2), S(4),
// then S(10) and S(9).
void route7(Traverse &t, const RouteData &d, double xa, double ya, double ta, double qa)
{
    auto &T = t.T;
    t.X[0] = xa;
    t.Y[0] = ya;
    T[1] = downIfFull(ta + qa);
    t.leg(1, d.S[1]);
    T[2] = downIfFull(T[1] - d.alpha[1] + 180);
    t.leg(2, d.S[2]);
    T[3] = downIfFull(T[2] - d.gamma[1] - d.alpha[2] + 180);
    t.leg(3, d.S[4]);
    alongS10S9(t, d);
}

} // namespace

Model model7(const Inputs &in)
{
    Model m;
    m.nc = 5;
    m.weakest = 2;
    const double rad = in.rad;
    const double rho = in.rho;
    const auto &T = m.T, &X = m.X, &Y = m.Y;

    Traverse t{m.T, m.X, m.Y, rad};
    route7(t, {in.S, in.alpha, in.beta, in.gamma, rad}, in.xa, in.ya, in.ta, in.qa);

    // The closing azimuth.
    double az = downIfFull(T[5] + in.qb + 180);
    az = upIfNegative(az);
    m.closingAzimuth = az;

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = azimuthMisclosure(az, in.tb);
    m.w[4] = X[5] - in.xd;
    m.w[5] = Y[5] - in.yd;

    // The condition matrix: the figure conditions, the azimuth at D, the
    // coordinates of D along the route A, C, E, F, B, D (that of case 4) and
    // the weight functions of P2. Column 0 is the correction of the signed
    // qa and column 12 that of the signed qb, in seconds.
    Matrix &A = m.A;
    firstQuad(in); // the heights of the turns at C and E must not vanish,
    alongS10(in);  // nor those of the turns at F and B
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);
    A(3, 0) = 1;
    addAzimuthRow(A, 3, kRouteACEFBD, in);
    A(3, 12) = 1;
    addCoordinateRows(A, 4, 5, kRouteACEFBD, m, 5, in.xd, in.yd, in);
    addStartTurn(A, 4, 5, in.xa, in.ya, in.xd, in.yd, rho);
    addCoordinateRows(A, 6, 7, kRouteACEFBD, m, 2, X[2], Y[2], in);
    addStartTurn(A, 6, 7, in.xa, in.ya, X[2], Y[2], rho);
    return m;
}

CaseResult Cm7(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(7, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model7(in);
    detail::storeMisclosures(r, m);
    const double vv = solveConditions(r, m.A);

    // qa takes its correction (V(0) belongs to the signed angle); qb is not
    // corrected. The adjusted route with the corrected qa.
    r.V[0] = orientationCorrection(r, m.A, 0);
    r.qa = rec.qa + r.V[0] / 3600;
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    std::array<double, 6> T{}, X{}, Y{};
    Traverse t{T, X, Y, rec.rad};
    route7(t, {r.Sp, alpha, beta, gamma, rec.rad}, rec.xa, rec.ya, rec.ta, r.qa);
    storeRoute(r, X, Y);
    precision(r, vv);
    return r;
}

} // namespace chain
