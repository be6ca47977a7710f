// Geometry shared by the Compute command and the twelve case procedures.
#pragma once

#include "record.h"

#include <vector>

namespace chain {

// The six triangles of the chain: the indices of their sides p, q, r.
struct TriangleSides {
    int p, q, r;
};
extern const TriangleSides kTriangles[7]; // element 0 unused

// Angle from three sides: the angle enclosed by a and b, opposite o, in
// degrees (0..180). Throws Degenerate when the sides cannot form a triangle;
// `what` names the triangle for the message.
double angleFromSides(double a, double b, double o, double rad, const char *what);

// The triangle quantities alpha, beta, gamma (and h when `withHeights`) of
// the six triangles from the sides s(1..11). `adjusted` only changes the
// wording of the message when a triangle cannot close.
void formTriangles(const std::vector<double> &s, double rad, TriArr &alpha, TriArr &beta, TriArr &gamma,
                   TriArr *h, bool adjusted);

// The azimuth rule: azimuth in [0, 360) of the direction with ordinate
// difference dx and abscissa difference dy.
double azimuthOf(double dx, double dy, double rad);

// One-sided reductions of an azimuth, each applied once.
inline double downIfFull(double t) { return t >= 360 ? t - 360 : t; }
inline double upIfNegative(double t) { return t < 0 ? t + 360 : t; }

// Folds a difference of two azimuths into (-180, 180].
double foldTurn(double d);

// Throws Degenerate when a height used as a divisor is zero or not finite.
void requireHeight(double h, const char *name);

} // namespace chain
