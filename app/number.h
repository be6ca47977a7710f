// Reading the values a surveyor types into the prompts: numbers, their
// ranges, d.mmss angles and point names.
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

// Why parseNumber refuses a reply: it is not written as a number, or it is
// written as one but no double holds its value (1e309, 1e-400).
enum class NumberForm { Number, NotNumber, OutOfRange };
NumberForm numberForm(std::string_view reply);

// What a typed value stands for, for its range.
enum class Quantity { Coordinate, Side, Azimuth, Orientation };

// The magnitudes the arithmetic can carry to a millimetre. A double holds
// about 16 significant digits and the route adds and subtracts coordinates
// and sides: beyond 1e9 m a coordinate keeps too few of them for the
// millimetres (Gauss-Krueger coordinates with a zone number stay below
// 1e8 m); a side of 1e6 m (a thousand kilometres) is no chain side. An
// azimuth or an orientation angle beyond a full turn cannot be meant.
inline constexpr double kMaxCoordinate = 1e9; // |x|, |y| up to this, in metres
inline constexpr double kSideLimit = 1e6;     // sides below this, in metres
inline constexpr double kMaxAngle = 360;      // |angle| up to this, in degrees

// Empty when `value` (metres, or decimal degrees for the angles) lies in the
// range of its quantity, else the Chinese reason, quoting the reply as typed.
std::string rangeProblem(Quantity q, double value, std::string_view typed);
// The reason for a reply of number form that no double holds.
std::string outOfRangeText(Quantity q, std::string_view typed);

// Empty when a point name can be shown as typed; else the Chinese reason.
// Control characters (C0, C1) and the characters that reorder or break the
// text where it is shown (bidirectional overrides, isolates, line
// separators) would reach the window, the report and standard output.
std::string nameProblem(std::string_view name);

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
