#include "chainfile.h"

#include "adjust/catalogue.h"

#include "atomicfile.h"
#include "number.h"
#include "readfile.h"
#include "replies.h"
#include "base/utf8.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <charconv>
#include <map>
#include <set>
#include <utility>

namespace chain {
namespace {

std::string repeatedText(const std::string &where, int firstLine)
{
    return where + "重复出现（第 " + std::to_string(firstLine) + " 行已经给出）。每个键只能出现一次，请删去其中一行。";
}

const char *const kKeyNames[key::count] = {
    "xa", "ya", "xb", "yb", "xc", "yc", "xd", "yd", "ta", "qa", "tb", "qb", "pn0", "pn1", "pn2",
    "pn3", "pn4", "pn5", "S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10", "S11",
};

const char *const kPointLetter[4] = {"A", "B", "C", "D"};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameKey(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// Blanks around keys, values and names: ASCII blanks and the ideographic
// space of Chinese input methods.
std::size_t blankAt(std::string_view s, std::size_t i)
{
    if (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        return 1;
    if (s.substr(i, 3) == "\xE3\x80\x80")
        return 3;
    return 0;
}

std::string_view trim(std::string_view s)
{
    std::size_t b = 0;
    while (std::size_t n = blankAt(s, b))
        b += n;
    s.remove_prefix(b);
    for (;;) {
        if (!s.empty() && blankAt(s, s.size() - 1) == 1) {
            s.remove_suffix(1);
        } else if (s.size() >= 3 && blankAt(s, s.size() - 3) == 3) {
            s.remove_suffix(3);
        } else {
            break;
        }
    }
    return s;
}

std::vector<std::string> words(std::string_view s)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (std::size_t n = blankAt(s, i)) {
            i += n;
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && blankAt(s, j) == 0)
            ++j;
        out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

bool hasBlank(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i)
        if (blankAt(s, i))
            return true;
    return false;
}

bool hasControl(std::string_view s)
{
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return true;
    }
    return false;
}

std::string quoted(std::string_view s) { return utf8::quote(s); }

// The state of one end point in a data set.
enum class Point { Known, New, Incomplete };

std::optional<double> number(const DataSet &d, int k)
{
    return d.has(k) ? parseNumber(*d[k]) : std::optional<double>(0.0);
}

Point pointState(const DataSet &d, int p)
{
    const int kx = 2 * p, ky = 2 * p + 1;
    if (!d.has(kx) && !d.has(ky))
        return Point::New;
    if (d.has(kx) != d.has(ky))
        return Point::Incomplete;
    const auto x = number(d, kx), y = number(d, ky);
    if (!x || !y)
        return Point::Incomplete;
    if (isKnown(*x, *y))
        return Point::Known;
    if (isNew(*x, *y))
        return Point::New;
    return Point::Incomplete;
}

enum { A = 0, B = 1, C = 2, D = 3 };

bool oneKnown(Point p, Point q)
{
    return (p == Point::Known && q == Point::New) || (p == Point::New && q == Point::Known);
}

// An angle as the input sequence stores it (storeAngle in compute.cpp):
// the value converted, and for an orientation angle its sign.
void storeAngle(const DataSet &d, int k, double &value, float *sign)
{
    const auto a = d.has(k) ? parseAngle(*d[k]) : std::optional<Angle>();
    if (!a)
        return;
    if (sign) {
        *sign = static_cast<float>(a->sign);
        value = a->magnitude * *sign;
    } else {
        value = a->sign < 0 ? -a->magnitude : a->magnitude;
    }
}

// ---- what each case needs, found by asking the case selection ------------

// Angle states tried at an end: none, orientation angle positive or
// negative (with the azimuth), and at the closing end the azimuth alone.
enum AngleState { None, Plus, Minus, AzimuthOnly };

struct CaseShape {
    int points = -1; // bits 1 A, 2 B, 4 C, 8 D
    std::set<std::pair<int, int>> angles; // (start state, closing state)
};

const std::array<CaseShape, 13> &caseShapes()
{
    static const std::array<CaseShape, 13> shapes = [] {
        std::array<CaseShape, 13> s;
        for (int n = 1; n <= 12; ++n) {
            // The known points from the case's catalogue row; the angle
            // states by asking the case selection, which reads the same row.
            const CaseRow &row = caseRow(n);
            const int bits = (row.a == Need::Given ? 1 << A : 0) | (row.b == Need::Given ? 1 << B : 0) |
                             (row.c == Need::Given ? 1 << C : 0) | (row.d == Need::Given ? 1 << D : 0);
            Record r;
            auto set = [&](int p, double &x, double &y) { x = y = (bits >> p & 1) ? 1000 : 0; };
            set(A, r.xa, r.ya);
            set(B, r.xb, r.yb);
            set(C, r.xc, r.yc);
            set(D, r.xd, r.yd);
            const bool startAsked = ((bits >> A) & 1) != ((bits >> C) & 1);
            const bool closingAsked = ((bits >> B) & 1) != ((bits >> D) & 1);
            s[static_cast<std::size_t>(n)].points = bits;
            for (int st = None; st <= (startAsked ? Minus : None); ++st) {
                for (int cl = None; cl <= (closingAsked ? AzimuthOnly : None); ++cl) {
                    Computation comp;
                    r.ta = st == None ? 0 : 10;
                    r.qa = st == Plus ? 10 : (st == Minus ? -10 : 0);
                    r.tb = cl == None ? 0 : 10;
                    r.qb = cl == Plus ? 10 : (cl == Minus ? -10 : 0);
                    comp.sga = r.qa > 0 ? 1.0f : (r.qa < 0 ? -1.0f : 0.0f);
                    comp.sgb = r.qb > 0 ? 1.0f : (r.qb < 0 ? -1.0f : 0.0f);
                    comp.side = sideOfChain(r);
                    if (selectCase(r, comp) == n)
                        s[static_cast<std::size_t>(n)].angles.insert({st, cl});
                }
            }
        }
        return s;
    }();
    return shapes;
}

std::string pointList(int bits)
{
    std::string s;
    for (int p = 0; p < 4; ++p)
        if (bits >> p & 1)
            s += (s.empty() ? "" : "、") + std::string(kPointLetter[p]);
    return s.empty() ? "无" : s;
}

std::string angleNeeds(const CaseShape &c)
{
    bool start = false, closing = false, same = true, opposite = true;
    for (const auto &[st, cl] : c.angles) {
        start = start || st != None;
        closing = closing || cl != None;
        if (st != None && cl != None) {
            same = same && ((st == Plus) == (cl == Plus));
            opposite = opposite && ((st == Plus) != (cl == Plus));
        }
    }
    if (!start && !closing)
        return "不给方位角和定向角";
    std::string s = "给 ";
    if (start)
        s += "ta、qa";
    if (closing)
        s += std::string(start ? "、" : "") + "tb、qb";
    if (start && closing)
        s += same ? "（qa 与 qb 同号）" : (opposite ? "（qa 与 qb 异号）" : "");
    const bool startAsked = ((c.points >> A) & 1) != ((c.points >> C) & 1);
    const bool closingAsked = ((c.points >> B) & 1) != ((c.points >> D) & 1);
    if (startAsked && !start)
        s += "，不给 ta、qa";
    if (closingAsked && !closing)
        s += "，不给 tb、qb";
    return s;
}

std::string noCaseText(const DataSet &d)
{
    int bits = 0;
    for (int p = 0; p < 4; ++p)
        if (pointState(d, p) == Point::Known)
            bits |= 1 << p;
    std::string given;
    for (int k = key::ta; k <= key::qb; ++k) {
        const auto a = d.has(k) ? parseAngle(*d[k]) : std::optional<Angle>();
        if (a && a->sign != 0)
            given += (given.empty() ? "" : "、") + std::string(keyName(k));
    }
    std::string s = "已知点 " + pointList(bits) + "，" +
                    (given.empty() ? std::string("没有给出方位角和定向角") : "给出了 " + given) +
                    "，不符合十二种计算情形中的任何一种。";
    std::string fits;
    for (int n = 1; n <= 12; ++n) {
        const CaseShape &c = caseShapes()[static_cast<std::size_t>(n)];
        if (c.points == bits)
            fits += (fits.empty() ? "" : "；") + ("情形 " + std::to_string(n) + "：" + angleNeeds(c));
    }
    if (!fits.empty())
        return s + "已知 " + pointList(bits) + " 时可以计算的情形——" + fits + "。请检查方位角、定向角及其正负号。";
    std::map<int, std::string> byPoints;
    for (int n = 1; n <= 12; ++n) {
        const int p = caseShapes()[static_cast<std::size_t>(n)].points;
        byPoints[p] += (byPoints[p].empty() ? "" : "、") + std::to_string(n);
    }
    std::string list;
    for (const auto &[p, cases] : byPoints)
        list += (list.empty() ? "" : "；") + pointList(p) + "（情形 " + cases + "）";
    return s + "已知点须为以下组合之一：" + list + "。请检查各点的座标：待定点的座标不写。";
}

DataFileError fileError(const std::string &path, const std::string &text)
{
    return DataFileError(path, {Problem{Problem::Syntax, -1, 0, text}});
}

} // namespace

// ---- keys ----------------------------------------------------------------

const char *keyName(int k) { return k >= 0 && k < key::count ? kKeyNames[k] : "?"; }

std::string keyLabel(int k)
{
    if (isCoordinateKey(k))
        return std::string(kPointLetter[k / 2]) + (k % 2 == 0 ? " 点纵座标 " : " 点横座标 ") + keyName(k);
    switch (k) {
    case key::ta: return "起始方位角 ta";
    case key::qa: return "起始定向角 qa";
    case key::tb: return "闭合方位角 tb";
    case key::qb: return "闭合定向角 qb";
    default: break;
    }
    if (isNameKey(k)) {
        const int i = k - key::pn0;
        const std::string what = i == 0 ? "起算点" : (i == 5 ? "闭合点" : "P" + std::to_string(i) + " ");
        return what + "点名 " + keyName(k);
    }
    if (isSideKey(k))
        return std::string("边长 ") + keyName(k);
    return keyName(k);
}

int keyOf(std::string_view name)
{
    for (int k = 0; k < key::count; ++k)
        if (sameKey(name, kKeyNames[k]))
            return k;
    return -1;
}

bool isCoordinateKey(int k) { return k >= key::xa && k <= key::yd; }
bool isAngleKey(int k) { return k >= key::ta && k <= key::qb; }
bool isNameKey(int k) { return k >= key::pn0 && k < key::pn0 + 6; }
bool isSideKey(int k) { return k >= key::S1 && k < key::count; }

// ---- problems ------------------------------------------------------------

DataFileError::DataFileError(const std::string &file, std::vector<Problem> problems)
    : std::runtime_error(describeProblems(file, problems)), problems_(std::move(problems))
{
}

bool DataFileError::noCase() const { return problems_.size() == 1 && problems_.front().kind == Problem::NoCase; }

std::string describe(const Problem &p)
{
    std::string where;
    if (p.line > 0)
        where = "第 " + std::to_string(p.line) + " 行";
    if (p.key >= 0)
        where += (where.empty() ? "" : "，") + std::string("键 ") + keyName(p.key);
    return where.empty() ? p.text : where + "：" + p.text;
}

std::string describeProblems(const std::string &file, const std::vector<Problem> &problems)
{
    const std::string name = "数据文件「" + file + "」"; // a path is shown whole
    if (problems.empty())
        return name + "没有问题。";
    if (problems.size() == 1)
        return name + (problems.front().line > 0 || problems.front().key >= 0 ? "" : "：") + describe(problems.front());
    std::string s = name + "有 " + std::to_string(problems.size()) + " 处问题，没有进行计算：";
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < problems.size() && i < kShown; ++i)
        s += "\n  " + describe(problems[i]);
    if (problems.size() > kShown)
        s += "\n  ……其余 " + std::to_string(problems.size() - kShown) + " 处从略。";
    return s;
}

std::string valueProblem(int k, std::string_view text)
{
    text = trim(text);
    if (text.empty())
        return {};
    const std::string hashNote = text.find('#') != std::string_view::npos ? "注释须单独成一行（以 # 开头）。" : "";
    if (isNameKey(k)) {
        if (text == "<cancel>")
            return "点名「<cancel>」在答复文件中表示“取消”，不能用作点名。请换一个点名。";
        return nameProblem(text);
    }
    const Quantity q = isAngleKey(k) ? (k == key::ta || k == key::tb ? Quantity::Azimuth : Quantity::Orientation)
                                     : (isSideKey(k) ? Quantity::Side : Quantity::Coordinate);
    if (numberForm(text) == NumberForm::OutOfRange)
        return outOfRangeText(q, text);
    const auto v = parseNumber(text);
    if (isAngleKey(k)) {
        if (!v)
            return utf8::quote(text) + "不是数字。角度按 d.mmss 写：度、小数点、两位分、两位秒（秒可带小数），例如 47°30′45″ 写作 47.3045。" +
                   hashNote;
        const auto a = parseAngle(text);
        if (!a) {
            if (text.find_first_of("eE") != std::string_view::npos)
                return utf8::quote(text) + "是指数形式，角度须按 d.mmss 写，例如 0°00′00.0036″ 写作 0.00000001。";
            return utf8::quote(text) + "不是 d.mmss 形式的角度：小数点后两位是分、再两位是秒，分和秒都须小于 60。例如 47°30′45″ 写作 47.3045。";
        }
        return rangeProblem(q, a->magnitude, text);
    }
    if (!v)
        return utf8::quote(text) + "不是数字。" +
               (isSideKey(k) ? "边长写作以米为单位的十进制数，例如 496.034，不带单位。" : "座标写作以米为单位的十进制数，例如 3000.000，不带单位。") +
               hashNote;
    if (isSideKey(k) && !(*v > 0))
        return "边长须大于零，这里是" + utf8::quote(text) + "。请检查这条边的观测值。";
    return rangeProblem(q, *v, text);
}

// ---- the data set and the prompts ----------------------------------------

std::array<Use, key::count> uses(const DataSet &d)
{
    std::array<Use, key::count> u;
    u.fill(Use::Optional);
    const Point a = pointState(d, A), b = pointState(d, B), c = pointState(d, C), dd = pointState(d, D);
    const bool start = oneKnown(a, c), closing = oneKnown(b, dd);
    for (int k : {key::ta, key::qa})
        u[static_cast<std::size_t>(k)] = start ? Use::Optional : Use::NotAsked;
    for (int k : {key::tb, key::qb})
        u[static_cast<std::size_t>(k)] = closing ? Use::Optional : Use::NotAsked;
    for (int i = 1; i <= 11; ++i)
        u[static_cast<std::size_t>(key::S(i))] = Use::Needed;
    u[static_cast<std::size_t>(key::S(1))] = start ? Use::Needed : Use::NotAsked;
    u[static_cast<std::size_t>(key::S(9))] = closing ? Use::Needed : Use::NotAsked;
    return u;
}

std::vector<Problem> checkDataSet(const DataSet &d)
{
    std::vector<Problem> out;
    for (int k = 0; k < key::count; ++k) {
        if (!d.has(k))
            continue;
        const std::string p = valueProblem(k, *d[k]);
        if (!p.empty())
            out.push_back({Problem::Value, k, d.line[static_cast<std::size_t>(k)], p});
    }
    const bool valuesRight = out.empty();

    // Points: both coordinates or neither; a known point has no zero.
    for (int p = 0; p < 4; ++p) {
        const int kx = 2 * p, ky = 2 * p + 1;
        const std::string P = kPointLetter[p];
        if (d.has(kx) != d.has(ky)) {
            const int given = d.has(kx) ? kx : ky, missing = d.has(kx) ? ky : kx;
            out.push_back({Problem::Missing, missing, d.line[static_cast<std::size_t>(given)],
                           P + " 点只给出了 " + keyName(given) + "，缺少 " + keyName(missing) +
                               "。已知点须给出两个座标；待定点的两个座标都不写。"});
            continue;
        }
        if (!d.has(kx))
            continue;
        const auto x = parseNumber(*d[kx]), y = parseNumber(*d[ky]);
        if (x && y && !isKnown(*x, *y) && !isNew(*x, *y)) {
            const int zero = *x == 0 ? kx : ky, other = *x == 0 ? ky : kx;
            out.push_back({Problem::Value, zero, d.line[static_cast<std::size_t>(zero)],
                           P + " 点的 " + keyName(zero) + " 为零而 " + keyName(other) +
                               " 不为零。已知点的两个座标都须不为零；待定点的两个座标都不写（或都写 0）。"});
        }
    }

    // Angles only where the prompts ask them: at an end with exactly one known point.
    const std::array<Use, key::count> u = uses(d);
    for (int k = key::ta; k <= key::qb; ++k) {
        if (!d.has(k) || u[static_cast<std::size_t>(k)] != Use::NotAsked)
            continue;
        const auto a = parseAngle(*d[k]);
        if (!a || a->sign == 0)
            continue; // a bad value is reported above; a zero is as good as none
        const bool startEnd = k == key::ta || k == key::qa;
        const int p = startEnd ? A : B, q = startEnd ? C : D;
        const bool both = pointState(d, p) == Point::Known && pointState(d, q) == Point::Known;
        const std::string end = std::string(kPointLetter[p]) + "、" + kPointLetter[q];
        const std::string what = keyLabel(k);
        out.push_back({Problem::Value, k, d.line[static_cast<std::size_t>(k)],
                       both ? end + " 两点都是已知点，这一端的方向由座标确定，不用" + what +
                                  "。请删去这一行，或检查 " + end + " 的座标。"
                            : end + " 两点没有恰好一个已知点，这一端不用" + what + "。请删去这一行，或检查 " + end +
                                  " 的座标（恰有一个已知点的一端才给方位角和定向角）。"});
    }

    // Sides the prompts ask.
    for (int i = 1; i <= 11; ++i) {
        const int k = key::S(i);
        if (u[static_cast<std::size_t>(k)] == Use::Needed && !d.has(k))
            out.push_back({Problem::Missing, k, 0,
                           "缺少边长 S" + std::to_string(i) + "。" +
                               (i == 1 || i == 9 ? "这一端只有一个已知点，这条边须给出。" : "除已知边外，每条边都须给出。")});
    }

    if (valuesRight && out.empty() && caseOf(d) == 0)
        out.push_back({Problem::NoCase, -1, 0, noCaseText(d)});
    return out;
}

std::string caseProblem(const DataSet &d) { return caseOf(d) == 0 ? noCaseText(d) : std::string(); }

std::int16_t caseOf(const DataSet &d)
{
    Record r;
    Computation comp;
    auto coordinate = [&](int k) { return number(d, k).value_or(0.0); };
    r.xa = coordinate(key::xa), r.ya = coordinate(key::ya), r.xb = coordinate(key::xb), r.yb = coordinate(key::yb);
    r.xc = coordinate(key::xc), r.yc = coordinate(key::yc), r.xd = coordinate(key::xd), r.yd = coordinate(key::yd);
    const std::array<Use, key::count> u = uses(d);
    if (u[key::ta] != Use::NotAsked) {
        storeAngle(d, key::ta, r.ta, nullptr);
        storeAngle(d, key::qa, r.qa, &comp.sga);
    }
    if (u[key::tb] != Use::NotAsked) {
        storeAngle(d, key::tb, r.tb, nullptr);
        storeAngle(d, key::qb, r.qb, &comp.sgb);
    }
    comp.side = sideOfChain(r);
    return selectCase(r, comp);
}

std::vector<std::string> repliesFor(const DataSet &d)
{
    std::vector<std::string> r;
    auto value = [&](const std::string &v) {
        r.push_back(v);
        r.emplace_back(); // Enter on the confirmation
    };
    auto text = [&](int k, const char *absent) { return d.has(k) ? *d[k] : std::string(absent); };
    for (int p = 0; p < 4; ++p) {
        const bool given = d.has(2 * p) && d.has(2 * p + 1);
        value(given ? *d[2 * p] : "0");
        value(given ? *d[2 * p + 1] : "0");
    }
    const std::array<Use, key::count> u = uses(d);
    for (int k = key::ta; k <= key::qb; ++k)
        if (u[static_cast<std::size_t>(k)] != Use::NotAsked)
            value(text(k, "0"));
    for (int i = 0; i < 6; ++i)
        value(text(key::pn(i), ""));
    for (int i = 1; i <= 11; ++i)
        if (u[static_cast<std::size_t>(key::S(i))] != Use::NotAsked)
            value(text(key::S(i), "0"));
    return r;
}

ComputeResult computeFromData(const DataSet &d, Record &rec, TextSink &out, const std::string &source)
{
    std::vector<Problem> problems = checkDataSet(d);
    if (!problems.empty())
        throw DataFileError(source, std::move(problems));
    ScriptedPrompter prompter(repliesFor(d));
    return Command1_Click(rec, prompter, out);
}

// ---- reading -------------------------------------------------------------

DataSet parseDataFile(std::string_view bytes, std::vector<Problem> &problems)
{
    DataSet d;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3); // a byte-order mark some editors write
    int namesLine = 0;
    int lineNo = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view raw = bytes.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (utf8::firstInvalid(raw) != std::string_view::npos) {
            problems.push_back({Problem::Syntax, -1, lineNo,
                                "含有不是 UTF-8 编码的字节。请把文件另存为 UTF-8 编码（不是 GBK、GB2312 等）。"});
            continue;
        }
        if (hasControl(raw)) {
            problems.push_back({Problem::Syntax, -1, lineNo, "含有控制字符。数据文件须是纯文本，请检查文件是否正确。"});
            continue;
        }
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#')
            continue;
        std::size_t eq = line.find('=');
        std::size_t eqLen = 1;
        const std::size_t wide = line.find("\xEF\xBC\x9D"); // full-width '='
        if (wide != std::string_view::npos && (eq == std::string_view::npos || wide < eq)) {
            eq = wide;
            eqLen = 3;
        }
        if (eq == std::string_view::npos) {
            problems.push_back({Problem::Syntax, -1, lineNo,
                                quoted(line) + "不是“键 = 值”的形式。每行写一个值，例如 xa = 3000.000；注释行以 # 开头。"});
            continue;
        }
        const std::string_view name = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + eqLen));

        if (sameKey(name, "names")) {
            if (namesLine > 0) {
                problems.push_back({Problem::Syntax, -1, lineNo,
                                    "names 重复出现（第 " + std::to_string(namesLine) + " 行已经给出）。请删去其中一行。"});
                continue;
            }
            bool clash = false;
            for (int i = 0; i < 6; ++i) {
                const int k = key::pn(i);
                if (d.line[static_cast<std::size_t>(k)] > 0) {
                    problems.push_back({Problem::Syntax, k, lineNo,
                                        std::string("点名已由第 ") + std::to_string(d.line[static_cast<std::size_t>(k)]) +
                                            " 行的 " + keyName(k) + " 给出，不能再用 names。请只用 names 或 pn0..pn5 中的一种写法。"});
                    clash = true;
                    break;
                }
            }
            namesLine = lineNo;
            if (clash)
                continue;
            const std::vector<std::string> w = words(value);
            if (w.size() != 6) {
                problems.push_back({Problem::Syntax, -1, lineNo,
                                    "names 须给出六个点名（起算点、P1、P2、P3、P4、闭合点），用空格分开；这里有 " +
                                        std::to_string(w.size()) + " 个。点名中有空格时请改用 pn0..pn5，每行一个。"});
                continue;
            }
            for (int i = 0; i < 6; ++i) {
                d[key::pn(i)] = w[static_cast<std::size_t>(i)];
                d.line[static_cast<std::size_t>(key::pn(i))] = lineNo;
            }
            continue;
        }

        if (readAnalysisKey(name, value, lineNo, d, problems))
            continue;
        if (readHeaderKey(name, value, lineNo, d, problems))
            continue;
        const int k = keyOf(name);
        if (k < 0) {
            problems.push_back({Problem::Syntax, -1, lineNo,
                                "未知的键" + quoted(name) +
                                    "。可用的键：xa ya xb yb xc yc xd yd ta qa tb qb names pn0..pn5 S1..S11 "
                                    "sigma_a sigma_b sigma_q grade design xe ye xf yf project operator instrument date。请检查拼写。"});
            continue;
        }
        int &seen = d.line[static_cast<std::size_t>(k)];
        if (seen > 0) {
            const bool byNames = isNameKey(k) && seen == namesLine;
            problems.push_back({Problem::Syntax, k, lineNo,
                                byNames ? "点名已由第 " + std::to_string(seen) +
                                              " 行的 names 给出。请只用 names 或 pn0..pn5 中的一种写法。"
                                        : repeatedText(std::string("键 ") + keyName(k) + " ", seen)});
            continue;
        }
        seen = lineNo;
        if (!value.empty())
            d[k] = std::string(value);
    }
    return d;
}

int keyIndexOf(std::string_view name, std::span<const char *const> names)
{
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string_view n = names[k];
        if (n.size() == name.size() &&
            std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(k);
    }
    return -1;
}

bool repeatedKey(int &seen, const std::string &where, int line, std::vector<Problem> &problems, int key)
{
    if (seen > 0) {
        problems.push_back({Problem::Syntax, key, line, repeatedText(where, seen)});
        return true;
    }
    seen = line;
    return false;
}

std::vector<Problem> checkWholeDataSet(const DataSet &d)
{
    // A pre-analysis is checked without its approximate end points, and
    // its sides may be left out.
    const bool design = designOf(d).has_value();
    std::vector<Problem> problems;
    for (Problem &p : checkDataSet(design ? designView(d) : d))
        if (!(design && p.kind == Problem::Missing && isSideKey(p.key)))
            problems.push_back(std::move(p));
    for (Problem &p : checkAnalysisKeys(d))
        problems.push_back(std::move(p));
    return problems;
}

DataSet readDataFile(const std::string &path)
{
    const std::string shown = path == "-" ? std::string("标准输入") : path;
    const InputFile f = readInputFile(path);
    switch (f.status) {
    case InputFile::Ok: break;
    case InputFile::CannotOpen: throw fileError(shown, "无法打开（" + f.why + "）。请检查文件名和路径。");
    case InputFile::ReadFailed: throw fileError(shown, "读取时出错（" + f.why + "）。请检查文件是否完好、磁盘是否可读。");
    case InputFile::NotRegular:
        throw fileError(shown, "这是" + f.why + "，不是数据文件，没有读取。请选择一个数据文件。");
    case InputFile::TooLarge:
        throw fileError(shown, "文件太大（超过 " + f.why + "），读到 " + f.why + " 为止，不是数据文件。请检查选择的文件。");
    }
    const std::string &data = f.bytes;
    std::vector<Problem> problems;
    DataSet d = parseDataFile(data, problems);
    const bool formRight = problems.empty();
    bool anything = false;
    for (int k = 0; k < key::count; ++k)
        anything = anything || d.line[static_cast<std::size_t>(k)] > 0;
    if (formRight && !anything)
        throw fileError(shown, "没有任何数据。请检查是否选错了文件；数据文件每行写一个“键 = 值”，例如 xa = 3000.000。");
    for (Problem &p : checkWholeDataSet(d))
        if (formRight || p.kind != Problem::NoCase)
            problems.push_back(std::move(p));
    if (!problems.empty()) {
        // In the order of the file; problems of no line (a missing side) last.
        std::stable_sort(problems.begin(), problems.end(), [](const Problem &a, const Problem &b) {
            return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
        });
        throw DataFileError(shown, std::move(problems));
    }
    return d;
}

// ---- writing -------------------------------------------------------------

std::string shortestText(double v)
{
    if (v == 0)
        return "0";
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (r.ec != std::errc())
        return "0";
    return std::string(buf, r.ptr);
}

bool hasComputation(const Record &rec) { return rec.S.size() == 12 && rec.pn.size() == 6; }

namespace {
// The value's text as the surveyor typed it when that text reads as the
// recorded value, else the shortest text that does.
std::string typedOr(const std::string &typed, double v, bool angle)
{
    if (!typed.empty()) {
        if (angle) {
            if (const auto a = parseAngle(typed); a && a->typed == v)
                return typed;
        } else if (const auto n = parseNumber(typed); n && *n == v) {
            return typed;
        }
    }
    return shortestText(v);
}
} // namespace

DataSet dataOf(const Record &rec)
{
    DataSet d;
    if (!hasComputation(rec))
        return d;
    const double xy[8] = {rec.xa, rec.ya, rec.xb, rec.yb, rec.xc, rec.yc, rec.xd, rec.yd};
    for (int p = 0; p < 4; ++p) {
        if (xy[2 * p] == 0 && xy[2 * p + 1] == 0)
            continue;
        for (int c = 2 * p; c <= 2 * p + 1; ++c)
            d[c] = typedOr(rec.typed.xy[static_cast<std::size_t>(c)], xy[c], false);
    }
    const double typed[4] = {rec.ta_in, rec.qa_in, rec.tb_in, rec.qb_in};
    for (int i = 0; i < 4; ++i)
        if (typed[i] != 0)
            d[key::ta + i] = typedOr(rec.typed.angles[static_cast<std::size_t>(i)], typed[i], true);
    for (int i = 0; i < 6; ++i) {
        const std::string name(trim(rec.pn[static_cast<std::size_t>(i)]));
        if (!name.empty())
            d[key::pn(i)] = sanitizeUtf8(name);
    }
    const std::array<Use, key::count> u = uses(d);
    for (int i = 1; i <= 11; ++i)
        if (u[static_cast<std::size_t>(key::S(i))] != Use::NotAsked)
            d[key::S(i)] = typedOr(rec.typed.S[static_cast<std::size_t>(i)], rec.S[static_cast<std::size_t>(i)], false);
    return d;
}

std::string formatDataFile(const DataSet &d)
{
    std::string s = "# 二个连续四边形三边平差 数据文件（UTF-8，每行一个“键 = 值”，# 开头的行是注释）\n";
    const std::int16_t n = checkDataSet(d).empty() ? caseOf(d) : 0;
    if (n > 0)
        s += "# 计算情形 " + std::to_string(n) + "：" + caseNeeds(n) + "\n";
    auto line = [&](int k) {
        if (d.has(k))
            s += std::string(keyName(k)) + " = " + *d[k] + "\n";
    };
    s += "\n# 已知点座标（米，x 纵座标，y 横座标）；待定点不写\n";
    for (int k = key::xa; k <= key::yd; ++k)
        line(k);
    s += "\n# 外方位角 ta、tb 与定向角 qa、qb（d.mmss，恰有一个已知点的一端才有）\n";
    for (int k = key::ta; k <= key::qb; ++k)
        line(k);
    s += "\n# 点名：起算点 P1 P2 P3 P4 闭合点\n";
    bool plain = true;
    for (int i = 0; i < 6; ++i) {
        const auto &v = d[key::pn(i)];
        plain = plain && v && !v->empty() && !hasBlank(*v);
    }
    if (plain) {
        s += "names =";
        for (int i = 0; i < 6; ++i)
            s += " " + *d[key::pn(i)];
        s += "\n";
    } else {
        for (int i = 0; i < 6; ++i)
            if (d.has(key::pn(i)) && !d[key::pn(i)]->empty())
                line(key::pn(i));
    }
    s += "\n# 观测边长（米）\n";
    for (int k = key::S1; k < key::count; ++k)
        line(k);
    // The keys of the precision analysis, when the data set has any.
    bool analysisKeys = false;
    for (int k = 0; k < AnalysisKeys::count; ++k)
        if (const auto &v = d.analysis.value[static_cast<std::size_t>(k)]) {
            s += std::string(analysisKeys ? "" : "\n# 精度分析：测距精度 sigma_a（毫米）+ sigma_b（ppm）、定向角精度 sigma_q（秒）、等级\n") +
                 analysisKeyName(k) + " = " + *v + "\n";
            analysisKeys = true;
        }
    // The report header, when the data set has one.
    bool header = false;
    for (int k = 0; k < HeaderKeys::count; ++k)
        if (const auto &v = d.header.value[static_cast<std::size_t>(k)]) {
            s += std::string(header ? "" : "\n# 报告页眉：项目、操作员、仪器、日期\n") + headerKeyName(k) + " = " + *v + "\n";
            header = true;
        }
    return s;
}

void writeDataFile(const std::string &path, const DataSet &d) { writeFileAtomically(path, formatDataFile(d)); }

std::string caseNeeds(int n)
{
    if (n < 1 || n > 12)
        return {};
    const CaseShape &c = caseShapes()[static_cast<std::size_t>(n)];
    return "已知 " + pointList(c.points) + "；" + angleNeeds(c);
}

} // namespace chain
