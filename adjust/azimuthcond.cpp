#include "azimuthcond.h"

#include "geometry.h"

namespace chain::azimuthcond {

double misclosure(double TB, double tb) { return 3600 * foldTurn(TB - tb); }

void orientationEntries(Matrix &A)
{
    A(3, 0) = 1;
    A(3, 12) = 1;
}

Adjusted adjust(CaseResult &r, const Model &m)
{
    detail::storeMisclosures(r, m);
    Adjusted a;
    a.vv = solveConditions(r, m.A);
    a.startCorrection = orientationCorrection(r, m.A, 0);
    a.closingCorrection = orientationCorrection(r, m.A, 12);
    return a;
}

} // namespace chain::azimuthcond
