#include "numfmt.h"

#include "errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace chain {
namespace {

void requireFinite(double v)
{
    if (!std::isfinite(v))
        throw Degenerate("计算结果超出数值范围（溢出或无定义），无法显示。请检查输入的坐标和边长是否合理。");
}

// Round to nearest, ties to even, for |x| < 2^52: adding and taking away
// 2^52 leaves no fraction bits (the sign of a zero result aside).
inline double nearestEven(double x)
{
    constexpr double two52 = 4503599627370496.0;
    return x >= 0 ? (x + two52) - two52 : (x - two52) + two52;
}

// The decimal digits of v to 15 significant digits: v = 0.d1d2…d15 × 10^exp.
struct Decimal {
    bool negative = false;
    char digits[16] = {}; // the first non-zero unless v is 0
    int count = 0;        // 15, fewer once rounded
    int exp = 0;
};

Decimal toDecimal15(double v)
{
    Decimal d;
    // The same text as printf's "%.14e", without its locale machinery.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    bool allZero = true;
    for (; p != r.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && d.count < 15) {
            d.digits[d.count++] = *p;
            allZero = allZero && *p == '0';
        }
    int exp = 0;
    if (p != r.ptr) {
        ++p;
        const bool minus = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        std::from_chars(p, r.ptr, exp);
        if (minus)
            exp = -exp;
    }
    d.exp = exp + 1;
    if (allZero) {
        d.negative = false;
        d.exp = 1;
    }
    return d;
}

// Writes the digits of 0.d × 10^exp with `decimals` decimals (the digits are
// already rounded to that length or shorter).
std::string layout(const Decimal &d, int decimals, bool trimZeros)
{
    // At most 309 integer digits and 15 + 324 decimals of a double.
    char buf[700];
    std::size_t n = 0;
    auto digit = [&](int i) { return i >= 0 && i < d.count ? d.digits[i] : '0'; };

    // The integer digits without leading zeros, at least one.
    char *const intStart = buf + 1; // room for the sign
    std::size_t intLen = 0;
    for (int i = 0; i < d.exp; ++i) {
        const char c = digit(i);
        if (intLen == 0 && c == '0')
            continue;
        intStart[intLen++] = c;
    }
    if (intLen == 0)
        intStart[intLen++] = '0';

    // The decimals.
    char frac[400];
    int fracLen = 0;
    for (int i = 0; i < decimals && fracLen < static_cast<int>(sizeof frac); ++i)
        frac[fracLen++] = digit(d.exp + i);
    if (trimZeros)
        while (fracLen > 0 && frac[fracLen - 1] == '0')
            --fracLen;
    bool zero = intLen == 1 && intStart[0] == '0';
    for (int i = 0; zero && i < fracLen; ++i)
        zero = frac[i] == '0';

    const char *start = intStart;
    n = intLen;
    if (d.negative && !zero) {
        buf[0] = '-';
        start = buf;
        ++n;
    }
    char *end = intStart + intLen;
    if (fracLen > 0) {
        *end++ = '.';
        for (int i = 0; i < fracLen; ++i)
            *end++ = frac[i];
        n += 1 + static_cast<std::size_t>(fracLen);
    }
    return std::string(start, n);
}

// The 15 significant digits of v for 1e-5 <= |v| < 1e9 without a decimal
// conversion: |v| = R × 10^-m exactly rounded, ties to even (as "%.14e"),
// R from 10^14 to 10^15, found from the exact product |v|·10^m (p + e by a
// fused multiply-add). False outside that range.
bool digits15(double v, std::uint64_t &R, int &m)
{
    static const double scale[21] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9, 1e10,
                                     1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};
    const double a = std::fabs(v);
    if (!(a >= 1e-5 && a < 1e9))
        return false;
    m = 14 - static_cast<int>(std::floor(std::log10(a)));
    m = std::clamp(m, 6, 20);
    double p = a * scale[m];
    while (p >= 1e15 && m > 0)
        p = a * scale[--m];
    while (p < 1e14 && m < 20)
        p = a * scale[++m];
    if (!(p >= 1e14 && p < 1e15))
        return false;
    const double e = std::fma(a, scale[m], -p);
    double q = nearestEven(p);
    const double f = p - q;
    if (f == 0.5 && e > 0)
        q += 1;
    else if (f == -0.5 && e < 0)
        q -= 1;
    R = static_cast<std::uint64_t>(q);
    return true;
}

// `value` with `decimals` decimals (at least one integer digit), a minus
// before it when `negative`.
std::string integerText(bool negative, std::uint64_t value, int decimals)
{
    char digits[32];
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (len < decimals + 1)
        digits[len++] = '0';
    char buf[40];
    int k = 0;
    if (negative)
        buf[k++] = '-';
    for (int i = len - 1; i >= 0; --i) {
        buf[k++] = digits[i];
        if (i == decimals && decimals > 0)
            buf[k++] = '.';
    }
    return std::string(buf, static_cast<std::size_t>(k));
}

// v·10^n rounded to an integer, ties to even on the exact product (p + e
// by a fused multiply-add; only a half of p can move with e), for
// n = 0..6 and |v| < 1e9. False out of that range.
bool scaledInteger(double v, int n, double &q)
{
    static const double scale[7] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    if (n < 0 || n > 6 || !(std::fabs(v) < 1e9))
        return false;
    const double s = scale[n];
    const double p = v * s;
    const double e = std::fma(v, s, -p);
    q = nearestEven(p);
    const double f = p - q;
    if (f == 0.5 && e > 0)
        q += 1;
    else if (f == -0.5 && e < 0)
        q -= 1;
    return true;
}

} // namespace

double roundTo(double v, int n)
{
    requireFinite(v);
    // The integer R of the rounded decimal over 10^n: one correctly rounded
    // division gives the double nearest to that decimal, as reading its
    // text would; a zero keeps the sign of v, as "-0.00" reads.
    static const double scale[7] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    double q = 0;
    if (scaledInteger(v, n, q)) {
        const double r = q / scale[n];
        return r == 0 ? std::copysign(0.0, v) : r;
    }
    // The exact decimal value rounded to n places, ties to even (as
    // printf's "%.*f"), read back to the nearest double.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, n);
    double out = 0;
    const char *b = buf;
    std::from_chars(b, r.ptr, out);
    return out;
}

std::string picture(double v, int decimals)
{
    requireFinite(v);
    std::uint64_t R = 0;
    int m = 0;
    if (decimals >= 0 && decimals <= 6 && digits15(v, R, m)) {
        // The 15 digits rounded half up at `decimals`.
        std::uint64_t kept = R;
        int shown = m;
        if (m > decimals) {
            std::uint64_t unit = 1;
            for (int i = decimals; i < m; ++i)
                unit *= 10;
            kept = (R + unit / 2) / unit;
            shown = decimals;
        }
        for (; shown < decimals; ++shown)
            kept *= 10;
        return integerText(v < 0 && kept != 0, kept, decimals);
    }
    Decimal d = toDecimal15(v);
    const int keep = d.exp + decimals; // digits kept of the 15
    if (keep < 15) {
        if (keep < 0) {
            d.digits[0] = '0';
            d.count = 1;
            d.exp = 1;
        } else {
            const bool up = d.digits[keep] >= '5';
            d.count = keep;
            if (up) {
                int i = keep - 1;
                while (i >= 0 && d.digits[i] == '9') {
                    d.digits[i] = '0';
                    --i;
                }
                if (i >= 0) {
                    ++d.digits[i];
                } else {
                    for (int j = d.count; j > 0; --j)
                        d.digits[j] = d.digits[j - 1];
                    d.digits[0] = '1';
                    ++d.count;
                    ++d.exp;
                }
            }
        }
    }
    return layout(d, decimals, false);
}

namespace {

// fixed() for n = 0..6 and |v| below 1e9: the exact product v·10^n is
// p + e (e from a fused multiply-add), rounded to an integer R with ties to
// even on that exact value; the text is R with n decimals. False when v is
// out of that range.
bool fixedSmall(double v, int n, std::string &out)
{
    double q = 0;
    if (!scaledInteger(v, n, q))
        return false;
    const bool negative = q < 0;
    auto r = static_cast<std::uint64_t>(negative ? -q : q);
    char digits[24];
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + r % 10);
        r /= 10;
    } while (r != 0);
    while (len < n + 1)
        digits[len++] = '0';
    char buf[32];
    int k = 0;
    if (negative)
        buf[k++] = '-';
    for (int i = len - 1; i >= 0; --i) {
        buf[k++] = digits[i];
        if (i == n && n > 0)
            buf[k++] = '.';
    }
    out.assign(buf, static_cast<std::size_t>(k));
    return true;
}

} // namespace

std::string fixed(double v, int n)
{
    requireFinite(v);
    std::string small;
    if (fixedSmall(v, n, small))
        return small;
    // The exact decimal value rounded to n places, ties to even. When it has
    // at most 15 significant digits, the double nearest to it shows exactly
    // these digits again in picture(): the text is that decimal, without the
    // sign of a zero. Longer ones take the two steps.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, n);
    if (r.ec == std::errc()) {
        int significant = 0;
        bool nonZero = false;
        for (const char *p = buf; p != r.ptr; ++p) {
            if (*p < '0' || *p > '9')
                continue;
            nonZero = nonZero || *p != '0';
            if (nonZero)
                ++significant;
        }
        if (significant <= 15) {
            const char *start = buf;
            if (*start == '-' && !nonZero)
                ++start;
            return std::string(start, static_cast<std::size_t>(r.ptr - start));
        }
    }
    return picture(roundTo(v, n), n);
}

std::string general(double v)
{
    requireFinite(v);
    std::uint64_t R = 0;
    int m = 0;
    if (digits15(v, R, m)) {
        while (m > 0 && R % 10 == 0) {
            R /= 10;
            --m;
        }
        return integerText(v < 0, R, m);
    }
    const Decimal d = toDecimal15(v);
    const int decimals = std::max(0, 15 - d.exp);
    return layout(d, decimals, true);
}

} // namespace chain
