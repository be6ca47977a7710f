// Step 11 of a case: the adjusted coordinates along its route, from the
// azimuths the case has formed with the angles of the adjusted sides.
#pragma once

#include "numfmt.h"
#include "pipeline.h"

#include <cmath>

namespace chain {

// X(0), Y(0) = the start point (shown with "0.000", not rounded first);
// X(i) = X(i-1) + d(i)·cos T(i), Y(i) = Y(i-1) + d(i)·sin T(i) for
// i = 1..5, each shown rounded to 3 decimals with "0.000".
inline void showAdjustedRoute(CaseEnv &env, double x0, double y0, const double (&T)[6], const double (&d)[6],
                              double rad)
{
    Record &rec = env.rec;
    rec.X[0] = x0;
    rec.Y[0] = y0;
    env.out.setText("Text9(0)", picture(x0, 3));
    env.out.setText("Text10(0)", picture(y0, 3));
    for (std::size_t i = 1; i <= 5; ++i) {
        rec.X[i] = rec.X[i - 1] + d[i] * std::cos(T[i] * rad);
        rec.Y[i] = rec.Y[i - 1] + d[i] * std::sin(T[i] * rad);
        env.out.setText(indexed("Text9", static_cast<int>(i)), fixed(rec.X[i], 3));
        env.out.setText(indexed("Text10", static_cast<int>(i)), fixed(rec.Y[i], 3));
    }
}

} // namespace chain
