// The adjusted figure checked against itself. A case procedure adjusts the
// sides in one linear pass: the conditions are linearised at the observed
// figure and solved once. For an ordinary chain what the linearisation
// leaves over is of second order, micrometres; for a near-flat figure (or
// data that do not fit the known points) it is metres, and the results look
// precise while they are wrong. So after the case procedure the figure is
// recomputed from its results: every side against the distance of its
// adjusted end points, every known point against its given coordinates,
// the held closing orientation against the adjusted closing side, and the
// two figure conditions against the angles of the adjusted sides.
#pragma once

#include "record.h"

#include <string>

namespace chain {

// The thresholds. Measured on ordinary chains (the test chains built from
// true coordinates, sides of 300 to 700 m, every case, four positions of
// the figure, up to 10 mm of noise on every side) the largest remainders
// were 2.1e-5 mm for a point or a side and 1.2e-6 seconds for an azimuth or
// a figure condition (tests/core/test_verify.cpp measures them again). A
// millimetre and a hundredth of a second are what the results are shown to
// and lie four orders of magnitude above that; a figure that leaves more
// over is outside what a single linear pass can adjust.
inline constexpr double kMaxLinearGap = 0.001; // metres
inline constexpr double kMaxAngularGap = 0.01; // seconds of arc

// The largest remaining gaps of an adjusted record (after a case procedure
// has run to its end).
struct Closure {
    double side = 0;    // metres: |distance of the adjusted end points − adjusted side|
    int sideNo = 0;     // 1..11
    double point = 0;   // metres: distance of an adjusted known point from its given place
    char pointName = 0; // 'A', 'B', 'C' or 'D'
    double azimuth = 0; // seconds: adjusted closing direction + orientation − given azimuth
    double figure = 0;  // seconds: misclosure of a figure condition from the adjusted sides
    int figureNo = 0;   // 1 or 2
    bool finite = true; // false when a gap could not be computed (a side that closes no triangle)
};
Closure closureOf(const Record &rec);

// Throws Degenerate, with a Chinese message that gives the largest gap and
// says that the figure is too weak or the data do not fit, when a gap
// exceeds its threshold.
void verifyAdjustment(const Record &rec);

// Triangles of the adjusted figure with an angle under one degree: a
// Chinese warning for the window ("" for none), and the line of the report.
std::string weakFigureWarning(const Record &rec);
std::string weakFigureNote(const Record &rec);

} // namespace chain
