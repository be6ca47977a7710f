#include "analysiskeys.h"

#include "analysis/grade.h"
#include "base/utf8.h"
#include "chainfile.h"
#include "number.h"

#include <cctype>

namespace chain {
namespace {

const char *const kNames[AnalysisKeys::count] = {"sigma_a", "sigma_b", "sigma_q", "grade", "design", "xe", "ye", "xf", "yf"};

// What is wrong with a value, empty when nothing.
std::string valueText(int k, std::string_view v)
{
    switch (k) {
    case AnalysisKeys::sigma_a:
    case AnalysisKeys::sigma_b: {
        const auto x = parseNumber(normalizeReply(v));
        if (!x || *x < 0 || *x > 1000)
            return k == AnalysisKeys::sigma_a ? "测距精度的固定部分须是 0 到 1000 之间的数（毫米），例如 sigma_a = 2。"
                                              : "测距精度的比例部分须是 0 到 1000 之间的数（ppm，百万分之一），例如 sigma_b = 2。";
        return {};
    }
    case AnalysisKeys::sigma_q: {
        const auto x = parseNumber(normalizeReply(v));
        if (!x || *x <= 0 || *x > 3600)
            return "定向角的中误差须是大于 0、不大于 3600 的数（秒），例如 sigma_q = 2.5。";
        return {};
    }
    case AnalysisKeys::grade:
        if (!analysis::gradeFromName(std::string(v)))
            return "等级须是 二等、三等、四等、一级、二级 中的一个。";
        return {};
    case AnalysisKeys::design:
        if (!designWanted(v))
            return "design 须是 yes 或 no，yes 后面可以列出两端待定点的字母（例如 design = yes C D）。";
        return {};
    default: {
        const auto x = parseNumber(normalizeReply(v));
        if (!x || *x == 0)
            return "近似座标须是不为零的数（米）。";
        return {};
    }
    }
}

} // namespace

const char *analysisKeyName(int k) { return k >= 0 && k < AnalysisKeys::count ? kNames[k] : ""; }

int analysisKeyOf(std::string_view name)
{
    return keyIndexOf(name, kNames);
}

std::optional<std::string> designNewPoints(std::string_view v)
{
    std::string s(v);
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t at = 0;
    auto word = [&]() {
        while (at < s.size() && s[at] == ' ')
            ++at;
        const std::size_t b = at;
        while (at < s.size() && s[at] != ' ')
            ++at;
        return s.substr(b, at - b);
    };
    const std::string first = word();
    if (first != "yes" && first != "是")
        return std::nullopt;
    std::string letters;
    for (std::string w = word(); !w.empty(); w = word()) {
        if (w.size() != 1 || std::string("abcd").find(w[0]) == std::string::npos ||
            letters.find(static_cast<char>(std::toupper(w[0]))) != std::string::npos)
            return std::nullopt;
        letters += static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
    }
    return letters;
}

bool designWanted(std::string_view v)
{
    std::string s(v);
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s == "no" || s == "否" || designNewPoints(v).has_value();
}

bool readAnalysisKey(std::string_view name, std::string_view value, int line, DataSet &d, std::vector<Problem> &problems)
{
    const int k = analysisKeyOf(name);
    if (k < 0)
        return false;
    const std::string where = std::string("键 ") + kNames[k] + "：";
    if (repeatedKey(d.analysis.line[static_cast<std::size_t>(k)], where, line, problems))
        return true;
    if (value.empty())
        return true;
    const std::string bad = valueText(k, value);
    if (!bad.empty()) {
        problems.push_back({Problem::Value, -1, line, where + utf8::quote(value) + "不可用。" + bad});
        return true;
    }
    d.analysis.value[static_cast<std::size_t>(k)] = std::string(value);
    return true;
}

std::optional<std::string> designOf(const DataSet &d)
{
    const auto &v = d.analysis.value[AnalysisKeys::design];
    return v ? designNewPoints(*v) : std::nullopt;
}

DataSet designView(const DataSet &d)
{
    DataSet v = d;
    const auto letters = designOf(d);
    if (!letters)
        return v;
    for (char c : *letters) {
        const int x = c == 'A' ? key::xa : c == 'B' ? key::xb : c == 'C' ? key::xc : key::xd;
        v[x].reset();
        v[x + 1].reset();
    }
    return v;
}

std::vector<Problem> checkAnalysisKeys(const DataSet &d)
{
    std::vector<Problem> out;
    const AnalysisKeys &a = d.analysis;
    const bool design = a.has(AnalysisKeys::design) && designNewPoints(*a.value[AnalysisKeys::design]).has_value();
    for (int k : {AnalysisKeys::xe, AnalysisKeys::ye, AnalysisKeys::xf, AnalysisKeys::yf}) {
        if (a.has(k) && !design)
            out.push_back({Problem::Value, -1, a.line[static_cast<std::size_t>(k)],
                           std::string("键 ") + kNames[k] + "：近似座标只用于预先分析，请同时写 design = yes，或删去这一行。"});
    }
    for (int k : {AnalysisKeys::xe, AnalysisKeys::xf}) {
        if (a.has(k) != a.has(k + 1)) {
            const int given = a.has(k) ? k : k + 1;
            out.push_back({Problem::Value, -1, a.line[static_cast<std::size_t>(given)],
                           std::string("键 ") + kNames[given] + "：点的近似座标须成对给出（" + kNames[k] + " 和 " +
                               kNames[k + 1] + "）。"});
        }
        if (design && !a.has(k) && !a.has(k + 1))
            out.push_back({Problem::Missing, -1, 0,
                           std::string("预先分析须给出 ") + (k == AnalysisKeys::xe ? "E 点的近似座标 xe、ye。" : "F 点的近似座标 xf、yf。")});
    }
    const std::string newPoints = design ? *designNewPoints(*a.value[AnalysisKeys::design]) : std::string();
    for (char c : newPoints) {
        const int x = c == 'A' ? key::xa : c == 'B' ? key::xb : c == 'C' ? key::xc : key::xd;
        if (!d.has(x) || !d.has(x + 1))
            out.push_back({Problem::Missing, x, a.line[AnalysisKeys::design],
                           std::string("预先分析中 ") + c + " 是待定点，须给出它的近似座标。"});
    }
    if (design && !a.has(AnalysisKeys::sigma_a) && !a.has(AnalysisKeys::sigma_b))
        out.push_back({Problem::Missing, -1, a.line[AnalysisKeys::design],
                       "键 design：预先分析须给出测距精度 sigma_a（毫米）和/或 sigma_b（ppm）。"});
    return out;
}

} // namespace chain
