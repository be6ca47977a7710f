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

CaseResult Cm12(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(12, rec);
    r.S[1] = knownSideAC(rec.xa, rec.ya, rec.xc, rec.yc, rec.rad).length;
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    adjustFromKnownSide(r, model12(in), route12, in);
    return r;
}

} // namespace chain
