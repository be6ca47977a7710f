// The report as plain text: a tab column is a character cell counted from
// the left margin, a wide character takes two cells.
#include "report/report.h"

#include "base/utf8.h"

#include <cstdint>
#include <string>

namespace chain::report {
namespace {

// The next code point of a UTF-8 text, advancing `pos`; a byte that does not
// start a valid sequence counts as one code point of its own.
char32_t next(const std::string &s, std::size_t &pos)
{
    const utf8::CodePoint c = utf8::decode(s, pos);
    pos += c.length;
    return c.value;
}

bool combining(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF)
        || (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B || c == 0x200C
        || c == 0x200D || c == 0xFEFF;
}

// East Asian wide and full-width characters.
bool wide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F)       // Hangul Jamo initials
        || (c >= 0x2E80 && c <= 0x303E)       // CJK radicals, symbols and punctuation
        || (c >= 0x3041 && c <= 0x33FF)       // kana, bopomofo, CJK compatibility
        || (c >= 0x3400 && c <= 0x4DBF)       // CJK extension A
        || (c >= 0x4E00 && c <= 0x9FFF)       // CJK unified ideographs
        || (c >= 0xA000 && c <= 0xA4CF)       // Yi
        || (c >= 0xAC00 && c <= 0xD7A3)       // Hangul syllables
        || (c >= 0xF900 && c <= 0xFAFF)       // CJK compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F)       // CJK compatibility forms
        || (c >= 0xFF00 && c <= 0xFF60)       // full-width forms
        || (c >= 0xFFE0 && c <= 0xFFE6)       // full-width signs
        || (c >= 0x1F300 && c <= 0x1F64F)     // pictographs
        || (c >= 0x20000 && c <= 0x3FFFD);    // CJK extensions B and beyond
}

int width(char32_t c)
{
    if (combining(c))
        return 0;
    return wide(c) ? 2 : 1;
}

// The text as it goes into a line: control characters become blanks so that
// a typed point name can never break the line or move the columns.
std::string printable(const std::string &text)
{
    std::string out = text;
    for (char &ch : out)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            ch = ' ';
    return out;
}

} // namespace

int cells(const std::string &text)
{
    int n = 0;
    for (std::size_t pos = 0; pos < text.size();)
        n += width(next(text, pos));
    return n;
}

std::string renderText(const Model &m)
{
    std::string out;
    for (const Line &line : m.lines) {
        std::string row;
        int end = 0; // cells taken so far
        for (const Item &item : line.items) {
            const std::string text = printable(item.text);
            if (item.tab != follows) {
                if (item.tab >= end) {
                    row.append(static_cast<std::size_t>(item.tab - end), ' ');
                    end = item.tab;
                } else {
                    // The column is already passed: one blank, never overprint.
                    row.push_back(' ');
                    ++end;
                }
            }
            row += text;
            end += cells(text);
        }
        const std::size_t last = row.find_last_not_of(' ');
        row.erase(last == std::string::npos ? 0 : last + 1);
        out += row;
        out += '\n';
    }
    return out;
}

} // namespace chain::report
