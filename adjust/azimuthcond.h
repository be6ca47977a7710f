// What cases 2 and 6 share: five conditions (the two figure conditions, the
// azimuth condition at the closing point, then the ordinate and abscissa
// conditions), the weight functions in rows 6 and 7, and the orientation
// angles of both ends as the columns 0 (qa) and 12 (qb) of A, in seconds.
#pragma once

#include "cases.h"

namespace chain::azimuthcond {

// w(3) in seconds: the computed closing azimuth TB against tb, the
// difference folded into (-180°, 180°] first, so that a closing direction
// within a turn's rounding of north (tb typed 0.00000001, TB 359.9999…)
// does not carry a full turn.
double misclosure(double TB, double tb);

// The orientation entries of the azimuth row: TB turns one for one with
// either signed orientation angle.
void orientationEntries(Matrix &A);

// What the adjustment leaves to the case procedure.
struct Adjusted {
    double vv = 0;                // sum of squared side corrections, mm²
    double startCorrection = 0;   // of the orientation column 0 (qa), seconds
    double closingCorrection = 0; // of the orientation column 12 (qb), seconds
};

// The misclosures and the approximate route into the result, the solution
// over the case's columns and the corrections of both orientation columns.
Adjusted adjust(CaseResult &r, const Model &m);

} // namespace chain::azimuthcond
