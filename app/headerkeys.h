// The data-file keys of the adjustment report's header: project, operator,
// instrument, date. Free text of one line, shown as written; the reading
// and checking lives beside the other keys of a data file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chain {

struct HeaderKeys {
    enum : int { project, operatorName, instrument, date, count };
    std::array<std::optional<std::string>, count> value;
    std::array<int, count> line{};
    bool has(int k) const { return value[static_cast<std::size_t>(k)].has_value(); }
};

// Longest value, in characters: what one line of the page header holds.
inline constexpr std::size_t kMaxHeaderChars = 100;

// "project", "operator", "instrument", "date".
const char *headerKeyName(int k);
// The key of a name (case does not matter), or -1.
int headerKeyOf(std::string_view name);
// What is wrong with a value (UTF-8, blanks around it removed), in Chinese;
// empty when it can be used: control characters (tabs, line breaks and the
// line or paragraph separators included) and more than kMaxHeaderChars
// characters are refused.
std::string headerValueProblem(std::string_view value);

struct DataSet;
struct Problem;

// Takes a line whose key is one of the header keys (false for any other
// key) and records its value or a located problem.
bool readHeaderKey(std::string_view name, std::string_view value, int line, DataSet &d, std::vector<Problem> &problems);

} // namespace chain
