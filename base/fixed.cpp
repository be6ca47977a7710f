#include "fixed.h"

#include <cmath>
#include <cstdio>

namespace chain {

std::string fixedDecimals(double v, int decimals, std::string_view notFinite)
{
    if (!std::isfinite(v))
        return std::string(notFinite);
    char buf[400]; // %f of the largest double has 309 digits before the point
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1); // a negative figure that rounds to zero
    return s;
}

} // namespace chain
