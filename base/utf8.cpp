#include "utf8.h"

#include <cstdio>

namespace chain::utf8 {

CodePoint decode(std::string_view s, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80)
        return {b0, 1, true};
    std::size_t len = 0;
    char32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0Fu;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07u;
    } else {
        return {0xFFFD, 1, false};
    }
    if (pos + len > s.size())
        return {0xFFFD, 1, false};
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(pos + k);
        if ((b & 0xC0u) != 0x80u)
            return {0xFFFD, 1, false};
        cp = (cp << 6) | (b & 0x3Fu);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return {0xFFFD, 1, false};
    return {cp, len, true};
}

std::size_t firstInvalid(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const CodePoint c = decode(s, i);
        if (!c.valid)
            return i;
        i += c.length;
    }
    return std::string_view::npos;
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool isLayoutControl(char32_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

char32_t firstControl(std::string_view s, bool tabs)
{
    for (std::size_t i = 0; i < s.size();) {
        const CodePoint c = decode(s, i);
        i += c.length;
        if (c.value == '\t' && !tabs)
            continue;
        if (isControl(c.value) || isLayoutControl(c.value))
            return c.value;
    }
    return 0;
}

std::string sanitize(std::string_view in)
{
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const CodePoint c = decode(in, i);
        if (!c.valid || isControl(c.value))
            out += kReplacement;
        else
            out.append(in.substr(i, c.length));
        i += c.length;
    }
    return out;
}

std::string codePointName(char32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

std::string quote(std::string_view s)
{
    constexpr std::size_t kShown = 32; // characters shown of a long value
    std::size_t chars = 0, cut = 0;
    for (std::size_t i = 0; i < s.size();) {
        i += decode(s, i).length;
        if (++chars == kShown)
            cut = i;
    }
    if (chars <= kShown + 8)
        return "「" + std::string(s) + "」";
    return "「" + std::string(s.substr(0, cut)) + "……」（共 " + std::to_string(chars) + " 个字符）";
}

} // namespace chain::utf8
