#include "headerkeys.h"

#include "base/utf8.h"
#include "chainfile.h"

#include <cctype>

namespace chain {
namespace {

const char *const kNames[HeaderKeys::count] = {"project", "operator", "instrument", "date"};

} // namespace

const char *headerKeyName(int k) { return k >= 0 && k < HeaderKeys::count ? kNames[k] : ""; }

int headerKeyOf(std::string_view name)
{
    return keyIndexOf(name, kNames);
}

std::string headerValueProblem(std::string_view v)
{
    // Tabs, line breaks and other controls, the line and paragraph
    // separators, and the characters that turn the direction of the text
    // around them: a header is one line of ordinary text.
    if (const char32_t c = utf8::firstControl(v, true)) {
        if (utf8::isLayoutControl(c) && c != 0x2028 && c != 0x2029)
            return "含有改变文字方向的控制字符 " + utf8::codePointName(c) +
                   "，它会打乱报告页眉的文字。请删去这个字符，只写普通文字。";
        return "含有控制字符（制表符、换行等）。报告页眉只有一行，请只写普通文字。";
    }
    std::size_t chars = 0;
    for (const char c : v)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++chars;
    if (chars > kMaxHeaderChars)
        return "太长（" + std::to_string(chars) + " 个字符）。报告页眉只有一行，最多 " + std::to_string(kMaxHeaderChars) +
               " 个字符。";
    return {};
}

bool readHeaderKey(std::string_view name, std::string_view value, int line, DataSet &d, std::vector<Problem> &problems)
{
    const int k = headerKeyOf(name);
    if (k < 0)
        return false;
    const std::string where = std::string("键 ") + kNames[k] + "：";
    if (repeatedKey(d.header.line[static_cast<std::size_t>(k)], where, line, problems))
        return true;
    if (value.empty())
        return true;
    const std::string bad = headerValueProblem(value);
    if (!bad.empty()) {
        problems.push_back({Problem::Value, -1, line, where + bad});
        return true;
    }
    d.header.value[static_cast<std::size_t>(k)] = std::string(value);
    return true;
}

} // namespace chain
