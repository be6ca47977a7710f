// Case 10: A, C and D known: the chain starts on the known side A–C and
// closes on D with the closing azimuth and orientation angle, which are
// held fixed. Five conditions; S(1) comes from the coordinates and is not
// corrected.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"

namespace chain {

namespace {

// Steps 2 and 4: the route A, C, E, F, B, D from the known side, along
// S(2), S(4), S(10), S(9).
void route10(Traverse &t, const RouteData &d, double xa, double ya, double xc, double yc, double T1)
{
    startAtC(t, xa, ya, xc, yc, T1);
    fromCToF(t, d, true);
    alongS10S9(t, d);
}

} // namespace

Model model10(const Inputs &in)
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
    route10(t, {in.S, in.alpha, in.beta, in.gamma, rad}, in.xa, in.ya, in.xc, in.yc, ac.azimuth);

    // Step 5: the closing azimuth (no test for a negative value).
    const double az = downIfFull(T[5] + in.qb + 180);
    m.closingAzimuth = az;

    // Step 6: misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = azimuthMisclosure(az, in.tb);
    m.w[4] = X[5] - in.xd;
    m.w[5] = Y[5] - in.yd;

    // Step 7: condition matrix over the sides S(2)..S(11).
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    const AlongS10 s = alongS10(in);
    detail::figureRow1(A, 1, in, false);
    detail::figureRow2(A, 2, in, true);

    azimuthColumnsFromC(A, 3, q, rho, entryAlongS10(s));
    azimuthColumnsAlongS10(A, 3, s, rho);

    coordinateColumnsFromC(A, 4, 5, m, q, in.xd, in.yd, rad);
    coordinateColumnsAlongS10(A, 4, 5, m, s, in.xd, in.yd, rad, false);

    // Weight functions of the weakest point P3, as in case 8.
    coordinateColumnsFromC(A, 6, 7, m, q, X[3], Y[3], rad);
    return m;
}

CaseResult Cm10(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(10, rec);
    r.S[1] = knownSideAC(rec.xa, rec.ya, rec.xc, rec.yc, rec.rad).length;
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    adjustFromKnownSide(r, model10(in), route10, in);
    return r;
}

} // namespace chain
