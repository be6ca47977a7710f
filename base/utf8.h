// UTF-8 as the program reads it: one decoder for the replies, the data files
// and the report's character cells, and the checks and quotes built on it.
// Plain C++.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace chain::utf8 {

// One code point decoded at a position of a text.
struct CodePoint {
    char32_t value = 0;  // U+FFFD where the bytes are not well-formed
    std::size_t length = 1; // bytes taken: the sequence, or 1 for a bad byte
    bool valid = false;
};

// The code point that starts at s[pos] (pos < s.size()). Well-formed means
// the shortest form, no surrogates, nothing beyond U+10FFFF; anything else
// takes one byte and is reported as not valid.
CodePoint decode(std::string_view s, std::size_t pos);

// Offset of the first byte that is not part of well-formed UTF-8, or npos.
std::size_t firstInvalid(std::string_view s);

// C0 and C1 control characters and DEL.
bool isControl(char32_t c);
// Characters that reorder or break the text around them where it is shown:
// the bidirectional embeddings, overrides and isolates (U+202A..U+202E,
// U+2066..U+2069) and the line and paragraph separators.
bool isLayoutControl(char32_t c);

// The first control or layout control character of a well-formed text, or
// 0 when it has none; tabs count when `tabs` is true.
char32_t firstControl(std::string_view s, bool tabs);

// Invalid bytes and control characters each replaced with U+FFFD.
std::string sanitize(std::string_view in);

// "U+202E".
std::string codePointName(char32_t c);

// A value quoted for a message: 「text」 whole when it is short, else its
// first characters, an ellipsis and its length, so that a value of a
// megabyte gives a message of a line.
std::string quote(std::string_view s);

} // namespace chain::utf8
