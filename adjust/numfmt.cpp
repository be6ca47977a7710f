#include "numfmt.h"

#include "errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace chain {
namespace {

void requireFinite(double v)
{
    if (!std::isfinite(v))
        throw Degenerate("计算结果超出数值范围（溢出或无定义），无法显示。请检查输入的坐标和边长是否合理。");
}

// The decimal digits of v to 15 significant digits: v = 0.d1d2…d15 × 10^exp.
struct Decimal {
    bool negative = false;
    std::string digits; // 15 digits, the first non-zero unless v is 0
    int exp = 0;
};

Decimal toDecimal15(double v)
{
    Decimal d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    d.exp = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
    if (d.digits.find_first_not_of('0') == std::string::npos) {
        d.negative = false;
        d.exp = 1;
    }
    return d;
}

// Writes the digits of 0.d × 10^exp with `decimals` decimals (the digits are
// already rounded to that length or shorter).
std::string layout(bool negative, const std::string &digits, int exp, int decimals, bool trimZeros)
{
    std::string intPart, frac;
    for (int i = 0; i < exp; ++i)
        intPart.push_back(i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0');
    if (intPart.empty())
        intPart = "0";
    for (int i = 0; i < decimals; ++i) {
        const int idx = exp + i;
        frac.push_back(idx >= 0 && idx < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(idx)] : '0');
    }
    if (trimZeros)
        while (!frac.empty() && frac.back() == '0')
            frac.pop_back();
    const std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    const bool zero = intPart == "0" && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += intPart;
    if (!frac.empty())
        out += "." + frac;
    return out;
}

} // namespace

double roundTo(double v, int n)
{
    requireFinite(v);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", n, v); // exact value, ties to even
    return std::strtod(buf, nullptr);
}

std::string picture(double v, int decimals)
{
    requireFinite(v);
    Decimal d = toDecimal15(v);
    const int keep = d.exp + decimals; // digits kept of the 15
    if (keep < 15) {
        if (keep < 0) {
            d.digits = "0";
            d.exp = 1;
        } else {
            const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
            std::string kept = d.digits.substr(0, static_cast<std::size_t>(keep));
            if (up) {
                int i = keep - 1;
                while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
                    kept[static_cast<std::size_t>(i)] = '0';
                    --i;
                }
                if (i >= 0) {
                    ++kept[static_cast<std::size_t>(i)];
                } else {
                    kept.insert(kept.begin(), '1');
                    ++d.exp;
                }
            }
            d.digits = kept;
        }
    }
    return layout(d.negative, d.digits, d.exp, decimals, false);
}

std::string general(double v)
{
    requireFinite(v);
    const Decimal d = toDecimal15(v);
    const int decimals = std::max(0, 15 - d.exp);
    return layout(d.negative, d.digits, d.exp, decimals, true);
}

} // namespace chain
