// The adjusted coordinates along a case's route, from the azimuths the case
// has formed with the angles of the adjusted sides.
#pragma once

#include "result.h"

#include <cmath>

namespace chain {

// X(0), Y(0) = the start point; X(i) = X(i-1) + d(i)·cos T(i),
// Y(i) = Y(i-1) + d(i)·sin T(i) for i = 1..5.
inline void adjustedRoute(CaseResult &r, double x0, double y0, const double (&T)[6], const double (&d)[6], double rad)
{
    r.X[0] = x0;
    r.Y[0] = y0;
    for (std::size_t i = 1; i <= 5; ++i) {
        r.X[i] = r.X[i - 1] + d[i] * std::cos(T[i] * rad);
        r.Y[i] = r.Y[i - 1] + d[i] * std::sin(T[i] * rad);
    }
}

} // namespace chain
