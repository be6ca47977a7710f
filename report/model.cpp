// The report, line by line, from the computation record alone.
//
// Every figure is written as the record holds it: rounded first where the
// report rounds, then with its picture. A figure the record does not hold
// (an array shorter than the report needs) or cannot show (not finite) is
// left out, its label stays; nothing is ever printed as nan or inf.
#include "report/report.h"

#include "adjust/catalogue.h"
#include "adjust/numfmt.h"
#include "adjust/verify.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace chain::report {
namespace {

constexpr int titleSize = 12;
constexpr int bodySize = 10;

// Element i of an array, when the array has it.
template <typename T>
std::optional<T> at(const std::vector<T> &a, int i)
{
    if (i < 0 || static_cast<std::size_t>(i) >= a.size())
        return std::nullopt;
    return a[static_cast<std::size_t>(i)];
}

// " " + the picture of v with `decimals` decimals, v not rounded first.
std::optional<std::string> pictured(std::optional<double> v, int decimals)
{
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return " " + picture(*v, decimals);
}

// " " + v rounded to `round` decimals, then the picture of `decimals`.
std::optional<std::string> rounded(std::optional<double> v, int round, int decimals)
{
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return " " + picture(roundTo(*v, round), decimals);
}

std::optional<double> widen(std::optional<float> v)
{
    if (!v)
        return std::nullopt;
    return static_cast<double>(*v);
}

// A coordinate misclosure held in metres, in millimetres: the product is
// formed in single precision, as the misclosures are held.
std::optional<double> millimetres(std::optional<float> metres)
{
    if (!metres)
        return std::nullopt;
    const float mm = *metres * 1000.0f;
    return static_cast<double>(mm);
}

// A loop counter printed as a plain item: one blank before and after.
std::string counter(int i) { return " " + std::to_string(i) + " "; }

class Builder {
public:
    Model model;

    void line(int fontSize = bodySize) { model.lines.push_back(Line{fontSize, {}}); }
    void empty() { line(bodySize); }

    // Adds an item to the current line.
    void item(int tab, std::string text) { model.lines.back().items.push_back(Item{tab, std::move(text)}); }

    // A value that follows its label; with its unit only when it is there.
    void value(const std::optional<std::string> &text, const char *unit = nullptr)
    {
        if (!text)
            return;
        item(follows, *text);
        if (unit)
            item(follows, unit);
    }
};

const char *const secondsUnit = " 秒";
const char *const mmUnit = " 毫米";

void knownPoint(Builder &b, const char *label, double x, const char *yLabel, double y)
{
    if (x == 0 || y == 0)
        return;
    b.line();
    b.item(32, label);
    b.value(pictured(x, 3));
    b.item(60, yLabel);
    b.value(pictured(y, 3));
}

void typedAngle(Builder &b, const char *label, double typed)
{
    if (typed == 0)
        return;
    b.line();
    b.item(41, label);
    b.value(pictured(typed, 5));
}

void seconds(Builder &b, const char *label, const Record &rec, int i)
{
    b.line();
    b.item(40, label);
    b.value(rounded(widen(at(rec.w, i)), 2, 2), secondsUnit);
}

void coordinateMisclosure(Builder &b, const char *label, const Record &rec, int i)
{
    b.line();
    b.item(40, label);
    b.value(rounded(millimetres(at(rec.w, i)), 2, 2), mmUnit);
}

void correlates(Builder &b, const Record &rec, int nc)
{
    b.empty();
    b.line();
    b.item(30, "法方程式联系数 :");
    for (int i = 1; i <= nc; ++i) {
        b.line();
        b.item(40, "k(");
        b.item(follows, counter(i));
        b.item(follows, ")=");
        b.value(rounded(at(rec.k, i), 5, 5));
    }
}

void misclosures(Builder &b, const Record &rec)
{
    if (!isCase(rec.caseNo))
        return;
    seconds(b, "第一四边形角条件闭合差 : w(1)=", rec, 1);
    seconds(b, "第二四边形角条件闭合差 : w(2)=", rec, 2);
    if (caseRow(rec.caseNo).azimuthCondition) {
        seconds(b, "           方位角条件 : w(3)=", rec, 3);
        coordinateMisclosure(b, "     纵座标条件闭合差 : w(4)=", rec, 4);
        coordinateMisclosure(b, "     横座标条件闭合差 : w(5)=", rec, 5);
        correlates(b, rec, 5);
    } else {
        // Four conditions: the coordinate conditions are w(3) and w(4), on
        // the lines labelled w(4)= and w(5)=.
        b.line();
        b.item(40, "       没有方位角条件 :");
        coordinateMisclosure(b, "     纵座标条件闭合差 : w(4)=", rec, 3);
        coordinateMisclosure(b, "     横座标条件闭合差 : w(5)=", rec, 4);
        correlates(b, rec, 4);
    }
}

void precision(Builder &b, const char *label, std::optional<std::string> text, const char *unit = nullptr)
{
    b.line();
    b.item(40, label);
    b.value(text, unit);
}

} // namespace

Model build(const Record &rec)
{
    Builder b;

    b.line(titleSize);
    b.item(35, "--- 二连续四边形三边平差 ---");
    if (isCase(rec.caseNo)) {
        const ReportLine &sub = caseRow(rec.caseNo).subtitle;
        b.line(titleSize);
        b.item(sub.tab, sub.text);
    }

    // Before any computation has reached a case procedure the record has
    // no coordinates to report: the title lines are the whole report.
    if (rec.X.empty() && rec.Y.empty())
        return b.model;

    b.line();
    b.item(30, "起算数据 :");
    knownPoint(b, "A 点座标 : xa=", rec.xa, "ya=", rec.ya);
    knownPoint(b, "B 点座标 : xb=", rec.xb, "yb=", rec.yb);
    knownPoint(b, "C 点座标 : xc=", rec.xc, "yc=", rec.yc);
    knownPoint(b, "D 点座标 : xd=", rec.xd, "yd=", rec.yd);
    typedAngle(b, "起始方位角 : ta=", rec.ta_in);
    typedAngle(b, "起始定向角 : qa=", rec.qa_in);
    typedAngle(b, "闭合方位角 : tb=", rec.tb_in);
    typedAngle(b, "闭合定向角 : qb=", rec.qb_in);

    b.empty();
    b.line();
    b.item(40, "编号");
    b.item(46, "观测边长(米)");
    b.item(65, "平差边长(米)");
    for (int i = 1; i <= 11; ++i) {
        b.line();
        b.item(39, "s(");
        b.item(follows, counter(i));
        b.item(follows, ") :");
        if (const auto s = pictured(at(rec.S, i), 3))
            b.item(43, *s);
        if (const auto sp = rounded(at(rec.Sp, i), 4, 3))
            b.item(62, *sp);
    }

    b.empty();
    b.line();
    b.item(30, "条件方程式闭合差 :");
    misclosures(b, rec);

    b.empty();
    b.line();
    b.item(30, "平差结果 :");
    b.line();
    b.item(36, "点名");
    b.item(48, "纵座标(米)");
    b.item(60, "横座标(米)");
    for (int i = 0; i <= 5; ++i) {
        b.line();
        b.item(35, at(rec.pn, i).value_or(std::string()) + " :");
        if (const auto x = rounded(at(rec.X, i), 3, 3))
            b.item(44, *x);
        if (const auto y = rounded(at(rec.Y, i), 3, 3))
            b.item(56, *y);
    }

    b.empty();
    b.line();
    b.item(30, "精度评定 :");
    b.empty();
    precision(b, "单位权测边中误差 : ms=", rounded(widen(rec.ms), 2, 2), mmUnit);
    b.empty();
    precision(b, "最弱点纵座标单位权权倒数 : 1/px=", rounded(rec.px, 5, 5));
    precision(b, "最弱点横座标单位权权倒数 : 1/py=", rounded(rec.py, 5, 5));
    precision(b, "最弱点纵座标单位权中误差 :   ms=", rounded(widen(rec.mx), 2, 2), mmUnit);
    precision(b, "最弱点横座标单位权中误差 :   my=", rounded(widen(rec.my), 2, 2), mmUnit);
    precision(b, "  最弱点单位权点位中误差 :   md=", rounded(widen(rec.md), 2, 2), mmUnit);
    // Only a figure with a triangle under one degree gets a note.
    if (const std::string note = weakFigureNote(rec); !note.empty()) {
        b.empty();
        b.line();
        b.item(30, note);
    }
    return b.model;
}

} // namespace chain::report
