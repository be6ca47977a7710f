// Display of numbers in the window and the report.
#pragma once

#include <string>

namespace chain {

// v rounded to n decimals; an exact half goes to the even digit.
double roundTo(double v, int n);

// v written with the picture "0.00…" of `decimals` decimals (at least one
// integer digit), the value taken to 15 significant digits and rounded half
// away from zero. A value that shows as zero has no minus sign.
std::string picture(double v, int decimals);

// v in the general number format: up to 15 significant digits, a leading
// zero before the point, no trailing zeros, never an exponent.
std::string general(double v);

// The common pair: round to n decimals, then the picture of n decimals
// (the same text as picture(roundTo(v, n), n), in one step where it can).
std::string fixed(double v, int n);

} // namespace chain
