// Case 12: A, C and B known, no angles: the chain starts on the known side
// A–C and closes on B. Four conditions; S(1) comes from the coordinates and
// is not corrected. D is the point to be determined: its arguments are
// zeros and not used; C is read from the record.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"

namespace chain {

namespace {

// Step 2: the route A, C, E, F, D, B from the known side, along S(2), S(4),
// S(8), S(9); T(3) is not reduced.
void route12(Traverse &t, const RouteData &d, double xa, double ya, double xc, double yc, double T1)
{
    startAtC(t, xa, ya, xc, yc, T1);
    fromCToF(t, d, false);
    alongS8(t, d);
    t.T[5] = turnAtD(t.T[4], d);
    t.leg(5, d.S[9]);
}

} // namespace

Model model12(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 3;
    const double rad = in.rad;
    const auto &X = m.X, &Y = m.Y;

    // Step 2.
    const KnownSide ac = knownSideAC(in.xa, in.ya, in.xc, in.yc, rad);
    Traverse t{m.T, m.X, m.Y, rad};
    route12(t, {in.S, in.alpha, in.beta, in.gamma, rad}, in.xa, in.ya, in.xc, in.yc, ac.azimuth);

    // Step 3: misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xb;
    m.w[4] = Y[5] - in.yb;

    // Step 4: condition matrix over the sides S(2)..S(11).
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    const AlongS8 s = alongS8(in);
    detail::figureRow1(A, 1, in, false);
    detail::figureRow2(A, 2, in, true);
    coordinateColumnsFromC(A, 3, 4, m, q, in.xb, in.yb, rad);
    coordinateColumnsAlongS8S9(A, 3, 4, m, s, in.xb, in.yb, rad);

    // Weight functions of the weakest point P3 (F).
    coordinateColumnsFromC(A, 5, 6, m, q, X[3], Y[3], rad);
    return m;
}

void Cm12(CaseEnv &env, double &xa, double &ya, double &xb, double &yb, double &xd, double &yd, Sides &S,
          TriArr &alpha, TriArr &gamma, TriArr &beta, TriArr &h, float &rho, double &rad)
{
    Record &rec = env.rec;
    (void)xd, (void)yd;
    const double xc = rec.xc, yc = rec.yc;

    // Step 1.
    redimension(rec, 4, 5, 7, 5);

    // Step 2: the known side into the record, the approximate route.
    S[1] = knownSideAC(xa, ya, xc, yc, rad).length;
    Inputs in = detail::inputsFrom(S, alpha, gamma, beta, h, rho, rad);
    in.xa = xa, in.ya = ya, in.xb = xb, in.yb = yb, in.xc = xc, in.yc = yc;

    // Steps 3 to 12.
    adjustFromKnownSide(env, {12, model12, route12, "由已知边起算的纵横座标条件平差"}, in, alpha, gamma, beta);
}

} // namespace chain
