// A figure with a fixed number of decimals, as every table, report and file
// of the program shows it: never "-0.000", and a given text (a dash, or
// nothing) in place of a figure that is not finite, so that no "nan" or
// "inf" is ever shown or written. Plain C++.
#pragma once

#include <string>
#include <string_view>

namespace chain {

std::string fixedDecimals(double v, int decimals, std::string_view notFinite = "—");

} // namespace chain
