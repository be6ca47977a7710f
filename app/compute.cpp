#include "compute.h"

#include "presenter.h"

#include "adjust/cases.h"
#include "adjust/catalogue.h"
#include "adjust/errors.h"
#include "adjust/geometry.h"
#include "adjust/verify.h"

#include <cmath>
#include <utility>
#include <vector>

namespace chain {
namespace {

const char *kConfirmX = "确认输入的纵座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
const char *kConfirmY = "确认输入的横座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
const char *kConfirmT = "确认输入的外方位角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
const char *kConfirmQ = "确认输入的定向角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";

struct CoordinatePrompt {
    PromptTexts texts;
    const char *field;
    double Record::*target;
};

const CoordinatePrompt kCoordinates[8] = {
    {{"请输入起始点 A 纵座标 :", kConfirmX, "输入起始点 A 正确的纵座标 :"}, "Text1(0)", &Record::xa},
    {{"请输入起始点 A 横座标 :", kConfirmY, "输入起始点 A 正确的横座标 :"}, "Text2", &Record::ya},
    {{"请输入闭合点 B 纵座标 :", kConfirmX, "输入起始点 B 正确的纵座标 :"}, "Text3", &Record::xb},
    {{"请输入闭合点 B 横座标 :", kConfirmY, "输入闭合点 B 正确的横座标 :"}, "Text4", &Record::yb},
    {{"请输入起始点 C 纵座标 :", kConfirmX, "输入起始点 C 正确的纵座标 :"}, "Text25", &Record::xc},
    {{"请输入起始点 C 横座标 :", kConfirmY, "请输入起始点 C 正确的横座标 :"}, "Text26", &Record::yc},
    {{"请输入闭合点 D 纵座标 :", kConfirmX, "请输入闭合点 D 正确的纵座标 :"}, "Text27", &Record::xd},
    {{"请输入闭合点 D 横座标 :", kConfirmY, "请输入闭合点 D 正确的横座标 :"}, "Text28", &Record::yd},
};

const PromptTexts kTa{"请输入起始点的外方位角 : ( 位于点 A 点外方位角为 Ta , 位于 C 点的外方位角为 Tc , "
                      "方位角的方向由起始点向外 , 如果方位角之值为零,则输入0.00000001 ) ",
                      kConfirmT, "输入正确的外方位角 : "};
const PromptTexts kQa{"请输入起始点的定向角 Qa : ( 定向角 Qa 由外方向顺时针旋转至 S1 边输入正值 ,"
                      "如果反时针旋转至 S1 边输入负值 ) ",
                      kConfirmQ, "输入正确的定向角 :"};
const PromptTexts kTb{"请输入闭合点的外方位角 : ( 位于点 B 点为 Tb,位于 D 点为 Td,方位角的方向由闭合点向外 , "
                      "如果方位角之值为零,则输入0.00000001 ) ",
                      kConfirmT, "输入正确的外方位角 :"};
const PromptTexts kQb{"请输入闭合点的定向角 Qb : ( 定向角 Qb 由 S9 边顺时针旋转至外方向输入正值 ,"
                      "如果反时针旋转至外方向输入负值 ) ",
                      kConfirmQ, "请输入正确的定向角 : "};

const PromptTexts kName0{"输入起算点的点名 :", "确认起算点输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
                         "输入起算点正确的点名 :"};
const PromptTexts kNameInner{"请按示图顺序依次输入点名 :", "确认输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
                             "输入正确的点名 :"};
const PromptTexts kName5{"请输入闭合点的点名 :", "确认输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
                         "输入正确的点名 :"};

PromptTexts sidePromptText(int i)
{
    const std::string n = std::to_string(i);
    return {"请按图形顺序依次输入 S(" + n + ") 边长 : ",
            "确认输入的 S(" + n + ") 边长 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 ",
            "输入正确的 S(" + n + ") 边长 : "};
}

// The prompts of S(1)..S(11), built once.
const PromptTexts &sidePrompt(int i)
{
    static const std::vector<PromptTexts> texts = [] {
        std::vector<PromptTexts> t(12);
        for (int j = 1; j <= 11; ++j)
            t[static_cast<std::size_t>(j)] = sidePromptText(j);
        return t;
    }();
    return texts[static_cast<std::size_t>(i)];
}

// The echo fields of the sides, Text7(0)..Text7(10).
const std::string &sideField(int i)
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (int j = 0; j <= 10; ++j)
            n.push_back(indexed("Text7", j));
        return n;
    }();
    return names[static_cast<std::size_t>(i)];
}

// Exactly one point of an end known, the other new.
bool oneKnown(double x1, double y1, double x2, double y2)
{
    return (isKnown(x1, y1) && isNew(x2, y2)) || (isNew(x1, y1) && isKnown(x2, y2));
}

// Angle conversion after confirmation: the as-typed copy, the sign of an
// orientation angle, the converted value.
void storeAngle(const AngleReply &a, double &value, double &typed, float *sign)
{
    typed = a.typed;
    if (sign) {
        *sign = static_cast<float>(a.sign);
        value = a.magnitude * *sign;
    } else {
        value = a.sign < 0 ? -a.magnitude : a.magnitude;
    }
}

// Collects the case procedure's texts so that they reach the window only
// when the procedure has run to its end.
class BufferedSink : public TextSink {
public:
    BufferedSink()
    {
        arena_.reserve(2048);
        writes_.reserve(48);
    }
    void setText(std::string_view control, std::string_view text) override
    {
        writes_.push_back({arena_.size(), control.size(), text.size()});
        arena_.append(control);
        arena_.append(text);
    }
    void flushTo(TextSink &out) const
    {
        const std::string_view all(arena_);
        for (const Write &w : writes_)
            out.setText(all.substr(w.at, w.control), all.substr(w.at + w.control, w.text));
    }

private:
    // Control name and text of each write, one after the other in arena_.
    struct Write {
        std::size_t at, control, text;
    };
    std::string arena_;
    std::vector<Write> writes_;
};

const char *kNoCase = "已知点与方位角、定向角的组合不符合十二种计算情形中的任何一种，没有进行计算。"
                      "请检查：已知点的两个座标都须不为零（未知点输入 0, 0），"
                      "方位角与定向角只在该端恰有一个已知点时输入，两端定向角的正负号须与图形相符；"
                      "方位角或定向角输入 0 表示没有给出，方位角之值为零时须输入 0.00000001。";

} // namespace

bool isNew(double x, double y) { return x == 0 && y == 0; }

std::string sideMessage(const Record &r, float sga, float sgb)
{
    const float prod = sga * sgb;
    const bool A = isKnown(r.xa, r.ya), B = isKnown(r.xb, r.yb), C = isKnown(r.xc, r.yc), D = isKnown(r.xd, r.yd);
    const bool a0 = isNew(r.xa, r.ya), b0 = isNew(r.xb, r.yb), c0 = isNew(r.xc, r.yc), d0 = isNew(r.xd, r.yd);
    if (prod > 0) {
        if (A && B && c0 && d0)
            return "起始点 A 和闭合点 B 位于同侧";
        if (C && D && a0 && b0)
            return "起始点 C 和闭合点 D 位于同侧";
        return {};
    }
    if (prod < 0) {
        if (A && D && b0 && c0)
            return "起始点 A 和闭合点 D 位于异侧";
        if (C && B && a0 && d0)
            return "起始点 C 和闭合点 B 位于异侧";
        return {};
    }
    return "没有方位角条件";
}

std::int16_t sideOfChain(const Record &r)
{
    if (r.ta != 0 || r.qa != 0 || r.tb != 0 || r.qb != 0)
        return 0;
    const bool A = isKnown(r.xa, r.ya), B = isKnown(r.xb, r.yb), C = isKnown(r.xc, r.yc), D = isKnown(r.xd, r.yd);
    const bool a0 = isNew(r.xa, r.ya), b0 = isNew(r.xb, r.yb), c0 = isNew(r.xc, r.yc), d0 = isNew(r.xd, r.yd);
    if ((A && B && c0 && d0) || (C && D && a0 && b0))
        return 1;
    if ((A && D && b0 && c0) || (C && B && a0 && d0))
        return -1;
    return 0;
}

std::int16_t selectCase(const Record &r, const Computation &comp)
{
    auto point = [](Need n, double x, double y) { return n == Need::Any || (n == Need::Given ? isKnown(x, y) : isNew(x, y)); };
    auto pair = [](Need n, double t, double q) {
        return n == Need::Any || (n == Need::Given ? (t != 0 && q != 0) : (t == 0 && q == 0));
    };
    const float prod = comp.sga * comp.sgb;
    for (std::int16_t n = 1; n <= 12; ++n) {
        const CaseRow &row = caseRow(n);
        if (!point(row.a, r.xa, r.ya) || !point(row.b, r.xb, r.yb) || !point(row.c, r.xc, r.yc) ||
            !point(row.d, r.xd, r.yd))
            continue;
        if (!pair(row.startAngles, r.ta, r.qa))
            continue;
        if (row.closingAzimuthOnly ? r.tb == 0 : !pair(row.closingAngles, r.tb, r.qb))
            continue;
        if (row.product != Sign::Any &&
            !(row.product == Sign::Positive ? prod > 0 : (row.product == Sign::Negative ? prod < 0 : prod == 0)))
            continue;
        if (row.side != Sign::Any && comp.side != static_cast<int>(row.side))
            continue;
        return n;
    }
    return 0;
}

void dispatch(std::int16_t caseNo, Record &r, Computation &c, TextSink &out)
{
    if (!isCase(caseNo))
        return;
    const CaseResult result = caseRow(caseNo).procedure(r, c);
    keep(r, result);
    present(result, out);
}

ComputeResult Command1_Click(Record &rec, Prompter &p, TextSink &out)
{
    // The questions fill a working copy; the record takes it only when the
    // questions are answered, so that Cancel leaves the record as it was.
    Record work = rec;
    Computation comp;

    // Preparation.
    work.rad = 3.1415926535 / 180;
    work.rho = 206265;
    work.pn.assign(6, std::string());
    work.S.assign(12, 0.0);
    work.Sp.assign(12, 0.0);
    work.ta = work.qa = work.tb = work.qb = 0;
    work.ta_in = work.qa_in = work.tb_in = work.qb_in = 0;
    work.qaObserved = work.qbObserved = 0;
    work.typed = {};
    work.caseNo = 0;

    try {
        // The four end points.
        for (int i = 0; i < 8; ++i) {
            const CoordinatePrompt &c = kCoordinates[i];
            work.*c.target = askLength(p, out, c.texts, c.field, Quantity::Coordinate, &work.typed.xy[static_cast<std::size_t>(i)]);
            if (i % 2 == 1) {
                const CoordinatePrompt &cx = kCoordinates[i - 1];
                if (work.*cx.target == 0 && work.*c.target == 0) {
                    out.setText(cx.field, "不是已知点");
                    out.setText(c.field, "不是已知点");
                }
            }
        }
        // The angles of an end with exactly one known point.
        if (oneKnown(work.xa, work.ya, work.xc, work.yc)) {
            storeAngle(askAngle(p, out, kTa, "Text5", Quantity::Azimuth, &work.typed.angles[0]), work.ta, work.ta_in, nullptr);
            storeAngle(askAngle(p, out, kQa, "Text11", Quantity::Orientation, &work.typed.angles[1]), work.qa, work.qa_in, &comp.sga);
            work.qaObserved = work.qa;
        }
        if (oneKnown(work.xb, work.yb, work.xd, work.yd)) {
            storeAngle(askAngle(p, out, kTb, "Text6", Quantity::Azimuth, &work.typed.angles[2]), work.tb, work.tb_in, nullptr);
            storeAngle(askAngle(p, out, kQb, "Text12", Quantity::Orientation, &work.typed.angles[3]), work.qb, work.qb_in, &comp.sgb);
            work.qbObserved = work.qb;
        }
        const std::string message = sideMessage(work, comp.sga, comp.sgb);
        if (!message.empty())
            out.setText("Text24", message);
        comp.side = sideOfChain(work);

        // The point names.
        work.pn[0] = askName(p, out, kName0, "Text8(0)");
        for (int i = 1; i <= 4; ++i)
            work.pn[static_cast<std::size_t>(i)] = askName(p, out, kNameInner, indexed("Text8", i));
        work.pn[5] = askName(p, out, kName5, "Text8(5)");

        // The sides; S(1) and S(9) only when their end has
        // exactly one known point.
        for (int i = 1; i <= 11; ++i) {
            if (i == 1 && !oneKnown(work.xa, work.ya, work.xc, work.yc))
                continue;
            if (i == 9 && !oneKnown(work.xb, work.yb, work.xd, work.yd))
                continue;
            work.S[static_cast<std::size_t>(i)] = askLength(p, out, sidePrompt(i), sideField(i - 1), Quantity::Side,
                                                            &work.typed.S[static_cast<std::size_t>(i)]);
        }
    } catch (const Cancelled &) {
        return {Outcome::Cancelled, {}};
    }

    // The known sides from coordinates.
    if (isKnown(work.xa, work.ya) && isKnown(work.xc, work.yc))
        work.S[1] = std::sqrt((work.xc - work.xa) * (work.xc - work.xa) + (work.yc - work.ya) * (work.yc - work.ya));
    if (isKnown(work.xb, work.yb) && isKnown(work.xd, work.yd))
        work.S[9] = std::sqrt((work.xd - work.xb) * (work.xd - work.xb) + (work.yd - work.yb) * (work.yd - work.yb));

    // The case depends only on the points and angles: choose it before the
    // triangles, which need every side of a matching case.
    const std::int16_t caseNo = selectCase(work, comp);
    if (caseNo == 0) {
        rec = std::move(work);
        return {Outcome::NoCase, kNoCase};
    }

    try {
        if (isKnown(work.xa, work.ya) && isKnown(work.xc, work.yc) && work.S[1] == 0)
            throw Degenerate("已知点 A 和 C 的座标相同，已知边 S(1) 的长度为零，无法平差。请检查 A、C 两点的座标。");
        if (isKnown(work.xb, work.yb) && isKnown(work.xd, work.yd) && work.S[9] == 0)
            throw Degenerate("已知点 B 和 D 的座标相同，已知边 S(9) 的长度为零，无法平差。请检查 B、D 两点的座标。");
        formTriangles(work.S, work.rad, comp.alpha, comp.beta, comp.gamma, &comp.h, false);
        Record trial = work;
        trial.caseNo = caseNo;
        BufferedSink texts;
        dispatch(caseNo, trial, comp, texts);
        requireFiniteResults(trial);
        verifyAdjustment(trial); // the figure recomputed from the results must close
        rec = std::move(trial);
        texts.flushTo(out);
    } catch (const Degenerate &e) {
        rec = std::move(work); // inputs of this computation, results of the last one, caseNo 0
        return {Outcome::Degenerate, e.what()};
    }
    return {Outcome::Computed, weakFigureWarning(rec)};
}

} // namespace chain
