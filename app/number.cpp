#include "number.h"

#include "base/utf8.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace chain {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string normalizeReply(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const auto c0 = static_cast<unsigned char>(in[i]);
        if (c0 == 0xEF && i + 2 < in.size()) {
            const auto c1 = static_cast<unsigned char>(in[i + 1]);
            const auto c2 = static_cast<unsigned char>(in[i + 2]);
            // U+FF10..U+FF19 full-width digits: EF BC 90..99.
            if (c1 == 0xBC && c2 >= 0x90 && c2 <= 0x99) {
                out.push_back(static_cast<char>('0' + (c2 - 0x90)));
                i += 3;
                continue;
            }
            if (c1 == 0xBC && c2 == 0x8E) { // U+FF0E full-width point
                out.push_back('.');
                i += 3;
                continue;
            }
            if (c1 == 0xBC && c2 == 0x8D) { // U+FF0D full-width hyphen-minus
                out.push_back('-');
                i += 3;
                continue;
            }
            if (c1 == 0xBC && c2 == 0x8B) { // U+FF0B full-width plus
                out.push_back('+');
                i += 3;
                continue;
            }
        }
        if (c0 == 0xE2 && i + 2 < in.size() && static_cast<unsigned char>(in[i + 1]) == 0x88 &&
            static_cast<unsigned char>(in[i + 2]) == 0x92) { // U+2212 minus sign
            out.push_back('-');
            i += 3;
            continue;
        }
        if (c0 == 0xE3 && i + 2 < in.size() && static_cast<unsigned char>(in[i + 1]) == 0x80 &&
            static_cast<unsigned char>(in[i + 2]) == 0x80) { // U+3000 ideographic space
            out.push_back(' ');
            i += 3;
            continue;
        }
        out.push_back(static_cast<char>(c0));
        ++i;
    }
    std::size_t b = 0, e = out.size();
    while (b < e && isBlank(out[b]))
        ++b;
    while (e > b && isBlank(out[e - 1]))
        --e;
    return out.substr(b, e - b);
}

namespace {

// Splits [sign] int [. frac] [e exp]; false when the text is not of that form.
struct Parts {
    bool negative = false;
    std::string_view intDigits, fracDigits; // views into the text split
    bool hasExponent = false;
};

bool split(const std::string &s, Parts &p)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        p.negative = s[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    p.intDigits = std::string_view(s).substr(intStart, i - intStart);
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        p.fracDigits = std::string_view(s).substr(fracStart, i - fracStart);
    }
    if (p.intDigits.empty() && p.fracDigits.empty())
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        p.hasExponent = true;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == start)
            return false;
    }
    return i == s.size();
}

std::optional<double> toDouble(const std::string &s)
{
    const char *b = s.data();
    const char *e = s.data() + s.size();
    if (b != e && *b == '+')
        ++b;
    double v = 0;
    const auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

std::optional<double> parseNumber(std::string_view reply)
{
    const std::string s = normalizeReply(reply);
    Parts p;
    if (!split(s, p))
        return std::nullopt;
    return toDouble(s);
}

std::optional<Angle> parseAngle(std::string_view reply)
{
    const std::string s = normalizeReply(reply);
    Parts p;
    if (!split(s, p) || p.hasExponent)
        return std::nullopt;
    const auto typed = toDouble(s);
    if (!typed)
        return std::nullopt;
    Angle a;
    a.typed = *typed;
    a.sign = *typed > 0 ? 1 : (*typed < 0 ? -1 : 0);
    std::string f(p.fracDigits);
    while (f.size() < 4)
        f.push_back('0');
    const double minutes = (f[0] - '0') * 10 + (f[1] - '0');
    std::string secText = f.substr(2, 2);
    if (f.size() > 4)
        secText += "." + f.substr(4);
    const auto seconds = toDouble(secText);
    const auto degrees = toDouble(p.intDigits.empty() ? std::string("0") : std::string(p.intDigits));
    if (!seconds || !degrees || minutes >= 60 || *seconds >= 60)
        return std::nullopt;
    a.magnitude = *degrees + minutes / 60 + *seconds / 3600;
    if (!std::isfinite(a.magnitude))
        return std::nullopt;
    return a;
}

NumberForm numberForm(std::string_view reply)
{
    const std::string s = normalizeReply(reply);
    Parts p;
    if (!split(s, p))
        return NumberForm::NotNumber;
    return toDouble(s) ? NumberForm::Number : NumberForm::OutOfRange;
}

namespace {

const char *rangeText(Quantity q)
{
    switch (q) {
    case Quantity::Coordinate: return "座标的绝对值不能超过 1000000000 米（10 亿米；带带号的高斯-克吕格座标也在 1 亿米以下）";
    case Quantity::Side: return "边长须小于 1000000 米（1000 公里）";
    case Quantity::Azimuth: return "外方位角须在 -360° 到 360° 之间，按 d.mmss 写，例如 223.544974";
    case Quantity::Orientation: return "定向角须在 -360° 到 360° 之间，按 d.mmss 写，例如 47.3045";
    }
    return "";
}

const char *what(Quantity q)
{
    switch (q) {
    case Quantity::Azimuth: return "外方位角";
    case Quantity::Orientation: return "定向角";
    default: return "";
    }
}

} // namespace

std::string rangeProblem(Quantity q, double value, std::string_view typed)
{
    bool inRange = false;
    switch (q) {
    case Quantity::Coordinate: inRange = std::fabs(value) <= kMaxCoordinate; break;
    case Quantity::Side: inRange = value < kSideLimit; break;
    case Quantity::Azimuth:
    case Quantity::Orientation: inRange = std::fabs(value) <= kMaxAngle; break;
    }
    if (inRange)
        return {};
    return std::string(what(q)) + utf8::quote(normalizeReply(typed)) + "超出范围：" + rangeText(q) + "。";
}

std::string outOfRangeText(Quantity q, std::string_view typed)
{
    return std::string(what(q)) + utf8::quote(normalizeReply(typed)) + "超出范围，计算机无法表示这个数。" + rangeText(q) + "。";
}

std::string nameProblem(std::string_view name)
{
    if (utf8::firstInvalid(name) != std::string_view::npos)
        return "点名含有不是 UTF-8 编码的字节。请重新输入点名。";
    const char32_t c = utf8::firstControl(name, true);
    if (c == 0)
        return {};
    const char *kind = utf8::isLayoutControl(c) ? "改变文字方向或断行的控制字符" : "控制字符";
    return std::string("点名中含有") + kind + " " + utf8::codePointName(c) +
           "，它会打乱窗口、报告和输出中的文字。点名只能由可见的文字组成，请删去这个字符。";
}

} // namespace chain
