// Case 7: A and D known, start azimuth and orientation angle at A, closing
// azimuth and orientation angle at D. Five conditions (the azimuth
// condition among them); the orientation angle qa is corrected.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"

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

    // The condition matrix. Column 0 is the correction of the signed qa
    // and column 12 that of the signed qb, in seconds.
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    const AlongS10 s = alongS10(in);
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);

    A(3, 0) = 1;
    A(3, 1) = rho * (q.cb1 / q.u1 - 1 / q.u2);
    azimuthColumnsFromC(A, 3, q, rho, entryAlongS10(s));
    azimuthColumnsAlongS10(A, 3, s, rho);
    A(3, 12) = 1;

    const double dY1 = in.yd - Y[1], dY2 = in.yd - Y[2];
    const double dX1 = in.xd - X[1], dX2 = in.xd - X[2];
    A(4, 0) = -(in.yd - in.ya) / rho;
    A(4, 1) = cosd(T[1], rad) - dY1 * q.cb1 / q.u1 + dY2 / q.u2;
    A(5, 0) = (in.xd - in.xa) / rho;
    A(5, 1) = sind(T[1], rad) + dX1 * q.cb1 / q.u1 - dX2 / q.u2;
    coordinateColumnsFromC(A, 4, 5, m, q, in.xd, in.yd, rad);
    coordinateColumnsAlongS10(A, 4, 5, m, s, in.xd, in.yd, rad, true);

    // Weight functions of the weakest point P2.
    const double eY = Y[2] - Y[1], eX = X[2] - X[1];
    A(6, 0) = -(Y[2] - in.ya) / rho;
    A(6, 1) = cosd(T[1], rad) - eY * q.cb1 / q.u1;
    A(6, 2) = cosd(T[2], rad) - eY * q.cg1 / q.u1;
    A(6, 3) = eY / q.u1;
    A(7, 0) = (X[2] - in.xa) / rho;
    A(7, 1) = sind(T[1], rad) + eX * q.cb1 / q.u1;
    A(7, 2) = sind(T[2], rad) + eX * q.cg1 / q.u1;
    A(7, 3) = -eX / q.u1;
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
