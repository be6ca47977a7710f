// libFuzzer target: the input bytes are a data file. They go through the
// parser and the checks of the data files and, when they pass, through
// Compute from a finished case 1 computation; a computed chain is saved and
// read back. Any violated property (see datafile.h and harness.h) aborts
// with its description.
//
// Besides libFuzzer's byte mutations a mutator of our own works on whole
// lines: it gives a key another value (a telling token, a number scaled,
// negated or nudged, a name with a control or direction character), drops,
// repeats or exchanges lines, changes a key's case or writes a comment.
#include "datafile.h"
#include "lines.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char *const kValues[] = {
    "0", "", "-0", "1e9", "1000000000", "1000000000.001", "-1e9", "1e13", "1e309", "1e-400", "999999.999",
    "1000000", "0.00000001", "359.5959", "360", "360.0001", "-360", "720", "1e300", "47.3045", "-0.3000",
    "0.6000", "1.0060", "１２．５", "－３", "nan", "inf", "12.5m", "3 000", "#", "3000 # note", "<cancel>",
    "\xE2\x80\xAE" "x", "a\xC2\x85" "b", "\xE2\x81\xA6" "name", "A\tB", "\xEF\xBB\xBF", "\xE3\x80\x80" "5",
    "5e-324", "1.7976931348623157e308", "4.9e-1", "00000000000000000000000000000001",
};
const char *const kKeys[] = {"xa", "ya", "xb", "yb", "xc", "yc", "xd", "yd", "ta", "qa", "tb", "qb", "names",
                             "pn0", "pn3", "pn5", "S1", "S4", "S9", "S11", "s7", "XA", "S12", "foo"};

template <typename T, std::size_t N>
const char *pick(const T (&a)[N], std::minstd_rand &rng)
{
    return a[rng() % N];
}

std::string number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A line's value changed, its key kept.
std::string revalue(const std::string &line, std::minstd_rand &rng)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return std::string(pick(kKeys, rng)) + " = " + pick(kValues, rng);
    const std::string key = line.substr(0, eq + 1);
    const std::string value = line.substr(eq + 1);
    char *end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || rng() % 3 == 0)
        return key + " " + pick(kValues, rng);
    switch (rng() % 7) {
    case 0: return key + " " + number(-v);
    case 1: return key + " " + number(v * 1e3);
    case 2: return key + " " + number(v / 1e3);
    case 3: return key + " " + number(v + 0.001);
    case 4: return key + " " + number(v * 1e6);
    case 5: return key + " " + number(v + 360);
    default: return key + " " + number(v * (1 + (static_cast<double>(rng() % 2001) - 1000) * 1e-4));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const chainfuzz::FileRun f = chainfuzz::runDataFile(std::string(reinterpret_cast<const char *>(data), size));
    chainfuzz::abortOnViolations(f.violations, "data file", {{"problems", f.message}, {"message", f.run.message}});
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed)
{
    return chainfuzz::mutateLines(data, size, maxSize, seed, [](std::vector<std::string> &v, size_t i, std::minstd_rand &rng) {
        switch (rng() % 9) {
        case 0:
        case 1:
        case 2: v[i] = revalue(v[i], rng); break;
        case 3:
            if (v.size() > 1)
                v.erase(v.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        case 4: v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), v[i]); break;
        case 5: std::swap(v[i], v[rng() % v.size()]); break;
        case 6: v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), std::string(pick(kKeys, rng)) + " = " + pick(kValues, rng)); break;
        case 7:
            for (char &c : v[i])
                if (c >= 'a' && c <= 'z' && rng() % 2)
                    c = static_cast<char>(c - 'a' + 'A');
            break;
        default: v[i] = "# " + v[i]; break;
        }
    });
}
