// Condition rows written once for any route through the chain. A route
// P0..P5 runs along five sides (its legs); at each of P1..P4 it turns by a
// signed sum of triangle angles. The coordinates of a route point are then
// X(n) = X(0) + sum of S(leg i)·cos T(i), with T(i) = T(1) + the turns before
// it (+ 180° each), so their derivatives by a side are the cosines (sines) of
// the legs along that side, plus, for every turn before the point, its lever
// arm times the derivative of the turn. The derivative of a triangle angle by
// its sides is the classic one: for the angle A opposite side a between b and
// c, dA = (da − cos C·db − cos B·dc) / h, h the height onto a.
#pragma once

#include "cases.h"

#include <array>

namespace chain {

enum class TriangleAngle { Alpha, Beta, Gamma };

// A triangle angle with its sign in a turn.
struct AngleTerm {
    int sign = 0; // +1, -1; 0 for no term
    int triangle = 0;
    TriangleAngle angle = TriangleAngle::Alpha;
};

struct RouteShape {
    std::array<int, 6> legs;                          // sides of legs 1..5 (element 0 unused)
    std::array<std::array<AngleTerm, 2>, 5> turns;    // turns at P1..P4 (element 0 unused)
};

// The three routes of cases 1 to 7.
extern const RouteShape kRouteACEFDB; // cases 1, 2, 3: S(1), S(2), S(4), S(8), S(9)
extern const RouteShape kRouteACEFBD; // cases 4 and 7: S(1), S(2), S(4), S(10), S(9)
extern const RouteShape kRouteCAFEDB; // cases 5 and 6: S(1), S(5), S(4), S(7), S(9)

// Adds to rows rx (ordinate) and ry (abscissa) of A the derivatives by the
// sides of the coordinates of route point `last` (1..5), with the lever arms
// taken to (x, y): the known point a condition closes on, or the route point
// itself for the weight functions of the weakest point.
void addCoordinateRows(Matrix &A, int rx, int ry, const RouteShape &r, const Model &m, int last, double x, double y,
                       const Inputs &in);

// Adds to row `row` of A the derivatives of the azimuth T(5) of the last leg
// by the sides, in seconds per metre.
void addAzimuthRow(Matrix &A, int row, const RouteShape &r, const Inputs &in);

// The derivatives of the route point's coordinates by the start azimuth
// T(1), per second: the turn of the whole route about P0 (the orientation
// column 0 of the cases that correct qa).
void addStartTurn(Matrix &A, int rx, int ry, double x0, double y0, double x, double y, double rho);

// How a case turns its adjusted route at P1..P4: the half turn it adds
// (+180 or −180) and the reduction into [0, 360) it applies after it.
struct Turning {
    double halfTurn;
    double (*reduce)(double);
};
using Turnings = std::array<Turning, 5>; // element 0 unused

// The adjusted route from P0 = (x0, y0) and T(1): at each of P1..P4 the
// angles of the turn (from the adjusted sides) applied one after the other,
// then the half turn and the reduction; the legs along the adjusted sides.
void adjustedRoute(CaseResult &r, const RouteShape &shape, const Turnings &turning, double T1, double x0, double y0,
                   const TriArr &alpha, const TriArr &beta, const TriArr &gamma);

} // namespace chain
