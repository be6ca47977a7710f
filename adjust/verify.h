// The adjusted figure checked against itself. A case procedure adjusts the
// sides in one linear pass: the conditions are linearised at the observed
// figure and solved once. For an ordinary chain what the linearisation
// leaves over is of second order, micrometres; for a near-flat figure (or
// data that do not fit the known points) it is metres, and the results look
// precise while they are wrong. So after the case procedure the figure is
// recomputed from its results: every side against the distance of its
// adjusted end points, every known point against its given coordinates,
// the held closing orientation against the adjusted closing side, and the
// two figure conditions against the angles of the adjusted sides; and one
// more least-squares pass from the adjusted figure must leave it where it is.
#pragma once

#include "record.h"

#include <string>

namespace chain {

// The thresholds. Measured on ordinary chains (the test chains built from
// true coordinates, sides of 300 to 700 m, every case, four positions of
// the figure, up to 10 mm of noise on every side; tests/core/test_verify.cpp
// measures them again) the largest remainders of the single pass were
// 0.0011 mm for a side, 0.0027 mm for a known point, 0.00024 seconds for
// the closing azimuth and 0.0005 seconds for a figure condition; they grow
// with the square of the noise. A millimetre is the last digit the results
// show and lies several hundred times above the linear remainders; a
// hundredth of a second lies twenty times above the angular ones at 10 mm
// of noise (a misfit that large is rare on 500 m sides). A figure that
// leaves more over is outside what a single linear pass can adjust.
inline constexpr double kMaxLinearGap = 0.001; // metres
inline constexpr double kMaxAngularGap = 0.01; // seconds of arc
// A figure can close and still not be the least-squares solution: the
// single pass linearises at the observed figure, and for a thin figure the
// corrections it finds are not the smallest that close it. A second pass,
// one Gauss-Newton step taken from the adjusted figure, moves the points by
// about as much as they lie off the solution; more than half a millimetre
// (half the last digit shown) changes what the window shows. On the
// ordinary chains above it moved no point by more than 0.0033 mm.
inline constexpr double kMaxStep = 0.0005; // metres

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
    double step = 0;    // metres: the largest move of a point in a second least-squares pass
    char stepPoint = 0; // the point that moves most
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
