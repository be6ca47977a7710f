// What cases 3, 4 and 5 share: a chain with no azimuth anywhere. The route is
// computed from a provisional start azimuth and turned about its start point
// until its end points at the known closing point (the azimuth rule gives
// both directions); the rotation is then held, so the four conditions have
// no orientation column.
#pragma once

#include "cases.h"

namespace chain::unoriented {

// Reductions of an azimuth into [0, 360), in the order a route applies them.
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

// The route: first provisional from `start`, then every azimuth turned by
// dt = tk - tc (tk the azimuth from P0 to the closing point, tc the one to
// the provisional P5, 360 added when tc > tk) and the coordinates computed
// again. With in.holdRotation the route is turned by in.rotation instead.
// Writes m.T, m.X, m.Y and m.rotation.
void orient(Model &m, const Route &r, const Inputs &in);

// The misclosures and the approximate route into the result and the
// solution over the side columns. Returns vv.
double adjust(CaseResult &r, const Model &m);

} // namespace chain::unoriented
