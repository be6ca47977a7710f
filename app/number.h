// Reading the numbers a surveyor types into the prompts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chain {

// The reply with full-width digits, point, plus and minus (as Chinese input
// methods type them) made ASCII and surrounding blanks removed.
std::string normalizeReply(std::string_view reply);

// A number in the C locale: optional sign, digits with an optional point,
// an optional exponent; nothing else before or after. Finite values only.
std::optional<double> parseNumber(std::string_view reply);

// An angle typed as d.mmss.
struct Angle {
    double typed = 0;     // the value as typed, sign included
    double magnitude = 0; // |typed| converted to decimal degrees
    int sign = 0;         // -1, 0 or +1 as typed
};

// Converts d.mmss exactly on the typed digits: degrees, two digits of
// minutes, then the seconds with any further digits as their decimals.
// Minutes or seconds of 60 or more, or an exponent, are not an angle.
std::optional<Angle> parseAngle(std::string_view reply);

} // namespace chain
