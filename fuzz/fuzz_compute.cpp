// libFuzzer target: the input bytes are a replies file. They go through the
// replay mode's splitting and sanitising, then Compute runs on them from a
// finished case 1 computation, and the report is built from the record.
// Any violated property (see harness.h) aborts with its description.
//
// Most random byte strings never get past the first coordinate, so besides
// libFuzzer's own byte mutations a mutator of our own works on whole
// replies: it swaps a reply for a telling value (zero, empty, Cancel, huge,
// tiny, a d.mmss angle at a limit), scales, negates or nudges a number,
// and drops, repeats or exchanges replies.
#include "harness.h"
#include "lines.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char *const kTokens[] = {
    "0", "", "<cancel>", "0.00000001", "1e300", "-1e300", "1e-300", "5e-324", "1.7976931348623157e308",
    "-0.3000", "359.5959", "360", "720", "-90", "90", "180", "-180", "0.6000", "1.0060", "123.7530",
    "-0", "0.0", "-0.0001", "0.0001", "1", "-1", "1000000", "5", "１２．５", "－３", "nan", "inf", "1e999",
    "12.5m", "   ", "\t", "A", "\xff", "1e-9", "0.00049", "-0.00049", "47.3045", "223.544974", "3000.000",
};

std::string number(double v, int style)
{
    char buf[64];
    switch (style) {
    case 0: std::snprintf(buf, sizeof buf, "%.3f", v); break;
    case 1: std::snprintf(buf, sizeof buf, "%.10g", v); break;
    case 2: std::snprintf(buf, sizeof buf, "%.17g", v); break;
    default: std::snprintf(buf, sizeof buf, "%.8f", v); break;
    }
    return buf;
}

// A numeric reply changed: scaled, negated, nudged, a digit altered.
std::string tweak(const std::string &line, std::minstd_rand &rng)
{
    char *end = nullptr;
    const double v = std::strtod(line.c_str(), &end);
    const bool numeric = end && end != line.c_str();
    if (!numeric || rng() % 4 == 0) {
        // Change one digit in place, keeping the d.mmss layout.
        std::string s = line;
        std::vector<size_t> digits;
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i] >= '0' && s[i] <= '9')
                digits.push_back(i);
        if (digits.empty())
            return kTokens[rng() % (sizeof kTokens / sizeof *kTokens)];
        s[digits[rng() % digits.size()]] = static_cast<char>('0' + rng() % 10);
        return s;
    }
    const int style = static_cast<int>(rng() % 4);
    switch (rng() % 9) {
    case 0: return number(-v, style);
    case 1: return number(v * 10, style);
    case 2: return number(v / 10, style);
    case 3: return number(v + 0.001, style);
    case 4: return number(v - 0.001, style);
    case 5: return number(v * 1e100, 2);
    case 6: return number(v + 360, style);
    case 7: return number(v - 360, style);
    default: return number(v * (1 + (static_cast<double>(rng() % 2001) - 1000) * 1e-3), style);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const chainfuzz::Run r = chainfuzz::runBytes(std::string(reinterpret_cast<const char *>(data), size));
    chainfuzz::abortOnViolations(r.violations, chainfuzz::endName(r.end), {{"message", r.message}});
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed)
{
    return chainfuzz::mutateLines(data, size, maxSize, seed, [](std::vector<std::string> &v, size_t i, std::minstd_rand &rng) {
        switch (rng() % 8) {
        case 0:
        case 1: v[i] = kTokens[rng() % (sizeof kTokens / sizeof *kTokens)]; break;
        case 2:
        case 3: v[i] = tweak(v[i], rng); break;
        case 4:
            if (v.size() > 1)
                v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        case 5: v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), v[i]); break;
        case 6: std::swap(v[i], v[rng() % v.size()]); break;
        default: v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), kTokens[rng() % (sizeof kTokens / sizeof *kTokens)]); break;
        }
    });
}
