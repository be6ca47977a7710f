#include "headerkeys.h"

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
    std::size_t chars = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto c = static_cast<unsigned char>(v[i]);
        const auto next = i + 1 < v.size() ? static_cast<unsigned char>(v[i + 1]) : 0;
        const auto third = i + 2 < v.size() ? static_cast<unsigned char>(v[i + 2]) : 0;
        // C0 controls and DEL; C1 controls (U+0080..U+009F, C2 80..C2 9F);
        // the line and paragraph separators U+2028, U+2029 (E2 80 A8/A9).
        if (c < 0x20 || c == 0x7F || (c == 0xC2 && next >= 0x80 && next <= 0x9F) ||
            (c == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)))
            return "含有控制字符（制表符、换行等）。报告页眉只有一行，请只写普通文字。";
        if ((c & 0xC0) != 0x80)
            ++chars;
    }
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
