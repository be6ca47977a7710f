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

CaseResult Cm8(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(8, rec);
    r.S[1] = knownSideAC(rec.xa, rec.ya, rec.xc, rec.yc, rec.rad).length;
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    adjustFromKnownSide(r, model8(in), route8, in);
    return r;
}

} // namespace chain
