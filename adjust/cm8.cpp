// Case 8: A, C and B known: the chain starts on the known side A–C and
// closes on B with the closing azimuth and orientation angle. Five
// conditions; S(1) comes from the coordinates and is not corrected.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"

namespace chain {

namespace {

// Steps 2 and 4: the route A, C, E, F, D, B from the known side, along
// S(2), S(4), S(8), S(9).
void route8(Traverse &t, const RouteData &d, double xa, double ya, double xc, double yc, double T1)
{
    startAtC(t, xa, ya, xc, yc, T1);
    fromCToF(t, d, true);
    alongS8(t, d);
    t.T[5] = turnAtD(t.T[4], d);
    t.leg(5, d.S[9]);
}

} // namespace

Model model8(const Inputs &in)
{
    Model m;
    m.nc = 5;
    m.weakest = 3;
    const double rad = in.rad;
    const double rho = in.rho;
    const auto &T = m.T, &X = m.X, &Y = m.Y;

    // Steps 2 to 4.
    const KnownSide ac = knownSideAC(in.xa, in.ya, in.xc, in.yc, rad);
    Traverse t{m.T, m.X, m.Y, rad};
    route8(t, {in.S, in.alpha, in.beta, in.gamma, rad}, in.xa, in.ya, in.xc, in.yc, ac.azimuth);

    // Step 5: the closing azimuth.
    double az = upIfNegative(T[5] + in.qb + 180);
    az = downIfFull(az);
    m.closingAzimuth = az;

    // Step 6: misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = azimuthMisclosure(az, in.tb);
    m.w[4] = X[5] - in.xb;
    m.w[5] = Y[5] - in.yb;

    // Step 7: condition matrix; column 12 is the correction of the signed qb.
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    const AlongS8 s = alongS8(in);
    detail::figureRow1(A, 1, in, false);
    detail::figureRow2(A, 2, in, true);

    azimuthColumnsFromC(A, 3, q, rho, entryAlongS8(s));
    azimuthColumnsAlongS8(A, 3, s, rho);
    A(3, 9) = rho * s.cg5 / s.u5;
    A(3, 12) = 1;

    coordinateColumnsFromC(A, 4, 5, m, q, in.xb, in.yb, rad);
    coordinateColumnsAlongS8S9(A, 4, 5, m, s, in.xb, in.yb, rad);

    // Weight functions of the weakest point P3.
    coordinateColumnsFromC(A, 6, 7, m, q, X[3], Y[3], rad);
    return m;
}

void Cm8(CaseEnv &env, double &xa, double &ya, double &xb, double &yb, double &xc, double &yc, double &tb,
         double &qb, float &sgb, Sides &S, TriArr &alpha, TriArr &gamma, TriArr &beta, TriArr &h, float &rho,
         double &rad)
{
    Record &rec = env.rec;

    // Step 1.
    redimension(rec, 5, 5, 7, 5);

    // Step 3: the known side into the record.
    S[1] = knownSideAC(xa, ya, xc, yc, rad).length;

    // Steps 2 to 12: route, misclosures and condition matrix of the model, the
    // adjustment with Sp(1) = S(1) and qb not changed, the adjusted route.
    Inputs in = detail::inputsFrom(S, alpha, gamma, beta, h, rho, rad);
    in.xa = xa, in.ya = ya, in.xb = xb, in.yb = yb, in.xc = xc, in.yc = yc;
    in.tb = tb, in.qb = qb, in.sgb = sgb;
    adjustFromKnownSide(env, {8, model8, route8, "由已知边起算含方位角及纵横座标条件"}, in, alpha, gamma, beta);
}

} // namespace chain
