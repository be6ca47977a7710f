// What cases 3, 4 and 5 share: a chain with no azimuth anywhere. The route is
// computed from a provisional start azimuth and turned about its start point
// until its end points at the known closing point (the azimuth rule gives
// both directions); the rotation is then held, so the four conditions have
// no orientation column.
#pragma once

#include "cases.h"

namespace chain::unoriented {

// Reductions of an azimuth into [0, 360), in the order a step gives them.
double upThenDown(double t); // below 0: +360; then at or above 360: -360
double downThenUp(double t); // at or above 360: -360; then below 0: +360

// A case's route P0..P5 and how its azimuths are reduced.
struct Route {
    double x0, y0;            // P0, the known start point
    double xk, yk;            // P5, the known closing point
    double ds[6];             // route sides ds(1..5)
    double ea[5];             // turning angles ea(1..4) at P1..P4
    double start;             // provisional T(1)
    double (*provisional)(double); // reduction of T(2..5) on the provisional route
    double (*rotated)(double);     // reduction of T(1..5) once turned
};

// Step 2: the provisional route from `start`, then every azimuth turned by
// dt = tk - tc (tk the azimuth from P0 to the closing point, tc the one to
// the provisional P5, 360 added when tc > tk) and the coordinates computed
// again. With in.holdRotation the route is turned by in.rotation instead.
// Writes m.T, m.X, m.Y and m.rotation.
void orient(Model &m, const Route &r, const Inputs &in);

// How the coordinate misclosures are shown: "0.00" (cases 3, 4) or the
// general number format (case 5), each followed by "毫米".
enum class CoordinateText { Picture, General };

// Step 3 (the misclosures into the record and their texts in the order
// Text22, Text23, Text13, Text24, Text14, Text15), the approximate route into
// X, Y, and steps 5 to 8 over the side columns. Returns vv.
double adjust(CaseEnv &env, const Model &m, int caseNo, CoordinateText format);

} // namespace chain::unoriented
