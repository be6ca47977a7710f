// Case 3: A and B known on the same side of the chain, no azimuth and no
// orientation angle. The route of case 1 from a provisional 10 degrees,
// turned about A onto B; four conditions without an orientation column.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "unoriented.h"

namespace chain {

Model model3(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 2; // E
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;

    // The route A, C, E, F, D, B turned onto B.
    const unoriented::Route route{in.xa, in.ya, in.xb, in.yb,
                                  {0, S[1], S[2], S[4], S[8], S[9]},
                                  {0, -al[1], -(ga[1] + al[2]), be[4], -al[5]},
                                  10, unoriented::upThenDown, unoriented::upThenDown};
    unoriented::orient(m, route, in);

    // The misclosures and the condition matrix of case 1
    // without its orientation column.
    detail::sideConditionsCase1(m, in);
    return m;
}

CaseResult Cm3(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(3, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model3(in);
    const double vv = unoriented::adjust(r, m);

    // T(1) keeps its rotated value; the later azimuths are turned from it
    // with the angles of the adjusted sides as in case 1.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    detail::adjustedRouteCase1(r, m.T[1], alpha, gamma, beta, rec.xa, rec.ya);
    precision(r, vv);
    return r;
}

} // namespace chain
