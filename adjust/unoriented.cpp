#include "unoriented.h"

#include "geometry.h"

namespace chain::unoriented {

double upThenDown(double t) { return downIfFull(upIfNegative(t)); }
double downThenUp(double t) { return upIfNegative(downIfFull(t)); }

void orient(Model &m, const Route &r, const Inputs &in)
{
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;
    const double rad = in.rad;
    X[0] = r.x0;
    Y[0] = r.y0;

    const double tk = azimuthOf(r.xk - r.x0, r.yk - r.y0, rad);

    // The provisional route.
    T[1] = r.start;
    X[1] = X[0] + r.ds[1] * detail::cosd(T[1], rad);
    Y[1] = Y[0] + r.ds[1] * detail::sind(T[1], rad);
    for (int i = 2; i <= 5; ++i) {
        T[i] = r.provisional(T[i - 1] + r.ea[i - 1] + 180);
        X[i] = X[i - 1] + r.ds[i] * detail::cosd(T[i], rad);
        Y[i] = Y[i - 1] + r.ds[i] * detail::sind(T[i], rad);
    }

    // The rotation onto the closing point.
    const double tc = azimuthOf(X[5] - r.x0, Y[5] - r.y0, rad);
    double dt = tk - tc;
    if (tc > tk)
        dt = dt + 360;
    if (in.holdRotation)
        dt = in.rotation;
    m.rotation = dt;
    for (int i = 1; i <= 5; ++i) {
        T[i] = r.rotated(T[i] + dt);
        X[i] = X[i - 1] + r.ds[i] * detail::cosd(T[i], rad);
        Y[i] = Y[i - 1] + r.ds[i] * detail::sind(T[i], rad);
    }
}

double adjust(CaseResult &r, const Model &m)
{
    detail::storeMisclosures(r, m);
    return solveConditions(r, m.A);
}

} // namespace chain::unoriented
