// The adjustment report, block by block. Every figure is formatted here
// once; a value that is not finite becomes a dash, so nothing non-finite
// reaches the paper.
#include "base/fixed.h"
#include "report/adjreport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace chain::report {
namespace {

using analysis::kLabelText;

const char *const kDash = "—";

std::string fix(double v, int decimals) { return fixedDecimals(v, decimals, kDash); }

std::string relative(double T) { return T > 0 && std::isfinite(T) ? "1/" + fix(T, 0) : kDash; }

template <typename T>
std::optional<double> at(const std::vector<T> &a, int i)
{
    if (i < 0 || static_cast<std::size_t>(i) >= a.size())
        return std::nullopt;
    return static_cast<double>(a[static_cast<std::size_t>(i)]);
}

std::string fixAt(std::optional<double> v, int decimals) { return v ? fix(*v, decimals) : kDash; }


// Blocks appended in order.
class Doc {
public:
    explicit Doc(AdjustmentReport &r) : r_(r) {}
    // Headings are numbered in order: 一、二、…
    void heading(const std::string &text)
    {
        static const char *const numerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
        const std::string n = headings_ < 10 ? numerals[headings_] : std::to_string(headings_ + 1);
        ++headings_;
        r_.blocks.push_back(Block{Block::Heading, n + "、" + text, {}, {}, false});
    }
    void paragraph(std::string text, bool warning = false)
    {
        r_.blocks.push_back(Block{Block::Paragraph, std::move(text), {}, {}, warning});
    }
    void pairs(std::vector<std::pair<std::string, std::string>> p)
    {
        if (!p.empty())
            r_.blocks.push_back(Block{Block::Pairs, {}, std::move(p), {}, false});
    }
    Table &table(std::string id, std::string caption, std::vector<std::string> columns, std::vector<Align> align)
    {
        Block b;
        b.kind = Block::TableBlock;
        b.table.id = std::move(id);
        b.table.caption = std::move(caption);
        b.table.columns = std::move(columns);
        b.table.align = std::move(align);
        r_.blocks.push_back(std::move(b));
        return r_.blocks.back().table;
    }
    void figure() { r_.blocks.push_back(Block{Block::Figure, {}, {}, {}, false}); }

private:
    AdjustmentReport &r_;
    int headings_ = 0;
};

void addRow(Table &t, std::vector<std::string> cells, bool marked = false)
{
    t.rows.push_back(std::move(cells));
    t.marked.push_back(marked);
}

// Takes out the columns of those heads (a pre-analysis has no residuals,
// no tests and no classic solution to compare with).
void dropColumns(Table &t, std::initializer_list<std::string> heads)
{
    for (const std::string &h : heads)
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            if (t.columns[c] == h) {
                t.columns.erase(t.columns.begin() + static_cast<std::ptrdiff_t>(c));
                t.align.erase(t.align.begin() + static_cast<std::ptrdiff_t>(c));
                for (auto &row : t.rows)
                    if (c < row.size())
                        row.erase(row.begin() + static_cast<std::ptrdiff_t>(c));
                break;
            }
}

using analysis::pointText;

bool withAzimuthCondition(int caseNo)
{
    return caseNo == 2 || caseNo == 6 || caseNo == 7 || caseNo == 8 || caseNo == 9 || caseNo == 10;
}

// Input data: the case, the known points, the angles, the weights.
void inputSection(Doc &doc, const AdjustmentInput &in, const analysis::Network *net)
{
    doc.heading("计算情形与起算数据");
    std::vector<std::pair<std::string, std::string>> p;
    if (in.caseNo >= 1)
        p.emplace_back("计算情形", "情形 " + std::to_string(in.caseNo) + (in.title.empty() ? "" : "：" + in.title));
    if (in.design)
        p.emplace_back("性质", "预先分析（设计）：按近似座标与测距精度估计，没有观测值");
    if (net) {
        if (net->accuracy)
            p.emplace_back("测距精度", "σ = " + fix(net->accuracy->a, 1) + " mm + " + fix(net->accuracy->b, 1) +
                                         " ppm × S，权 p = 1/σ²");
        else
            p.emplace_back("测距精度", "没有给出：各边等权（p = 1），单位权中误差即一条边的中误差");
        if (net->orientationCount > 0)
            p.emplace_back("定向方向", net->sigmaQ ? "作为观测值，中误差 " + fix(*net->sigmaQ, 1) + "″"
                                                   : std::string("按固定值（约束）处理，与经典方法一致"));
        if (const analysis::GradeLimits *g = analysis::gradeLimits(net->grade))
            p.emplace_back("等级", std::string(g->name) + "（" + analysis::kGradeStandard + "）");
    }
    doc.pairs(std::move(p));

    Table &known = doc.table("known", "已知点座标（米；x 纵座标向北，y 横座标向东）", {"点", "点名", "纵座标 X", "横座标 Y"},
                             {Align::Centre, Align::Left, Align::Right, Align::Right});
    if (net) {
        for (int q = 0; q < analysis::kPoints; ++q) {
            const analysis::Point &pt = net->points[static_cast<std::size_t>(q)];
            if (pt.known)
                addRow(known, {kLabelText[static_cast<std::size_t>(q)], pt.name, fix(pt.x, 3), fix(pt.y, 3)});
        }
    } else if (const Record *rec = in.record) {
        const double xy[4][2] = {{rec->xa, rec->ya}, {rec->xb, rec->yb}, {rec->xc, rec->yc}, {rec->xd, rec->yd}};
        const char *const letters[4] = {"A", "B", "C", "D"};
        for (int q = 0; q < 4; ++q)
            if (isKnown(xy[q][0], xy[q][1]))
                addRow(known, {letters[q], "", fix(xy[q][0], 3), fix(xy[q][1], 3)});
    }

    if (const Record *rec = in.record) {
        struct Angle {
            const char *label;
            double typed, value;
        };
        const Angle angles[4] = {{"起始方位角 ta", rec->ta_in, rec->ta},
                                 {"起始定向角 qa", rec->qa_in, rec->qa},
                                 {"闭合方位角 tb", rec->tb_in, rec->tb},
                                 {"闭合定向角 qb", rec->qb_in, rec->qb}};
        bool any = false;
        for (const Angle &a : angles)
            any = any || a.typed != 0;
        if (any) {
            Table &t = doc.table("angles", "方位角与定向角", {"角", "输入值 (d.mmss)", "度分秒"},
                                 {Align::Left, Align::Right, Align::Right});
            for (const Angle &a : angles)
                if (a.typed != 0)
                    addRow(t, {a.label, fix(a.typed, 6), dmsTypedText(a.typed)});
        }
    }
}

// Observed and adjusted sides, classic and rigorous side by side.
void sidesSection(Doc &doc, const AdjustmentInput &in, const analysis::Engine *e)
{
    doc.heading(in.design ? "设计边长" : "观测边长与平差边长");
    const Record *rec = in.design ? nullptr : in.record;
    std::vector<std::string> cols = {"边", "端点"};
    std::vector<Align> align = {Align::Centre, Align::Centre};
    if (rec) {
        for (const char *c : {"观测边长", "经典平差边长", "经典改正数"})
            cols.push_back(c);
        align.insert(align.end(), 3, Align::Right);
    }
    if (e) {
        cols.push_back(in.design ? "设计边长" : "严密平差边长");
        align.push_back(Align::Right);
        if (!in.design) {
            cols.push_back("严密改正数");
            align.push_back(Align::Right);
        }
    }
    Table &t = doc.table("observations",
                         in.design ? "边长（米），由近似座标反算" : "边长（米）；改正数 v = 平差值 − 观测值（毫米）", cols, align);
    bool untyped = false;
    for (int i = 1; i <= analysis::kSides; ++i) {
        const auto ends = analysis::kSideEnds[static_cast<std::size_t>(i)];
        std::vector<std::string> row = {"S" + std::to_string(i), std::string(kLabelText[static_cast<std::size_t>(ends.from)]) +
                                                                     "–" + kLabelText[static_cast<std::size_t>(ends.to)]};
        const bool typed = e ? e->network().sides[static_cast<std::size_t>(i)].typed : true;
        untyped = untyped || !typed;
        if (rec) {
            const auto s = at(rec->S, i), sp = at(rec->Sp, i);
            row.push_back(typed ? fixAt(s, 3) : kDash);
            row.push_back(fixAt(sp, 4));
            row.push_back(typed && s && sp ? fix((*sp - *s) * 1000, 1) : kDash);
        }
        bool flagged = false;
        if (e) {
            const analysis::SideResult r = e->side(i);
            row.push_back(fix(r.adjusted, 4));
            if (!in.design)
                row.push_back(typed ? fix(r.residual, 1) : kDash);
            flagged = typed && r.flagged;
        }
        addRow(t, std::move(row), flagged);
    }
    if (untyped)
        t.notes.push_back("两端都是已知点的边不是观测值（“—”），其长度由已知座标反算。");
}

void classicSection(Doc &doc, const AdjustmentInput &in)
{
    const Record &rec = *in.record;
    doc.heading("经典平差结果（条件平差）");
    // The misclosures: angle conditions of the two quadrilaterals and the
    // azimuth condition in seconds, the coordinate conditions (held in
    // metres) in millimetres.
    const bool azimuth = withAzimuthCondition(in.caseNo);
    const int xi = azimuth ? 4 : 3;
    auto mm = [&](int i) {
        const auto v = at(rec.w, i);
        return v ? fix(*v * 1000, 2) : std::string(kDash);
    };
    std::string angles = "第一四边形 w(1) = " + fixAt(at(rec.w, 1), 2) + "″，第二四边形 w(2) = " + fixAt(at(rec.w, 2), 2) + "″";
    if (azimuth)
        angles += "，方位角 w(3) = " + fixAt(at(rec.w, 3), 2) + "″";
    const std::string coords = "纵座标 w(" + std::to_string(xi) + ") = " + mm(xi) + " 毫米，横座标 w(" +
                               std::to_string(xi + 1) + ") = " + mm(xi + 1) + " 毫米";

    Table &c = doc.table("classic", "经典平差座标（米）", {"点", "点名", "纵座标 X", "横座标 Y"},
                         {Align::Centre, Align::Left, Align::Right, Align::Right});
    // In label order A C E F D B; the record keeps them in route order.
    for (int label = 0; label < analysis::kPoints; ++label)
        for (int i = 0; i <= 5; ++i)
            if (in.routeLabels[static_cast<std::size_t>(i)] == label) {
                const auto name = static_cast<std::size_t>(i) < rec.pn.size() ? rec.pn[static_cast<std::size_t>(i)] : std::string();
                addRow(c, {kLabelText[static_cast<std::size_t>(label)], name, fixAt(at(rec.X, i), 3), fixAt(at(rec.Y, i), 3)});
            }
    doc.pairs({{"角条件闭合差", angles},
               {"座标条件闭合差", coords},
               {"单位权测边中误差 ms", fix(rec.ms, 2) + " 毫米"},
               {"最弱点权倒数 1/px、1/py", fix(rec.px, 5) + "、" + fix(rec.py, 5)},
               {"最弱点中误差 mx、my、md", fix(rec.mx, 2) + "、" + fix(rec.my, 2) + "、" + fix(rec.md, 2) + " 毫米"}});
}

void rigorousSection(Doc &doc, const AdjustmentInput &in, const analysis::Engine &e, const analysis::Analysis &a)
{
    const analysis::Network &net = e.network();
    const analysis::Summary &m = a.summary;
    doc.heading(in.design ? "预先分析（参数平差的精度与可靠性）" : "严密平差结果（参数平差）");
    std::vector<std::pair<std::string, std::string>> p;
    int sides = static_cast<int>(a.sides.size());
    p.emplace_back("观测值", std::to_string(m.observations) + " 个（边长 " + std::to_string(sides) + "，定向方向 " +
                               std::to_string(m.observations - sides) + "）");
    p.emplace_back("未知数、约束", std::to_string(m.unknowns) + " 个未知数（待定点座标），" +
                                     (m.constraints > 0 ? std::to_string(m.constraints) + " 个约束（固定的定向方向）"
                                                        : std::string("没有约束")));
    p.emplace_back("多余观测数", "r = " + std::to_string(m.redundancy));
    if (!in.design)
        p.emplace_back("迭代", "高斯-牛顿迭代 " + std::to_string(m.iterations) + " 次收敛，起始值为经典平差座标");
    if (!in.design)
        p.emplace_back("[pvv]", fix(m.vtpv, 3));
    if (m.sigma0)
        p.emplace_back("单位权中误差 σ0", fix(*m.sigma0, 3) + (net.accuracy ? "（先验为 1）" : " 毫米"));
    else if (in.design)
        p.emplace_back("单位权中误差 σ0", "按先验值 1 计算");
    else
        p.emplace_back("单位权中误差 σ0", std::string("r = 0，无法估计") +
                                            (net.accuracy ? "；精度按先验精度计算" : "；也没有先验精度，无法给出精度"));
    doc.pairs(std::move(p));

    Table &pt = doc.table("points", "待定点：座标（米）；中误差 σ，误差椭圆长短半轴 a、b，严密 − 经典 dX、dY（毫米）",
                          {"点", "纵座标 X", "横座标 Y", "σx", "σy", "σP", "a", "b", "长轴方位角", "dX", "dY"},
                          {Align::Left, Align::Right, Align::Right, Align::Right, Align::Right, Align::Right, Align::Right,
                           Align::Right, Align::Right, Align::Right, Align::Right});
    for (const analysis::PointResult &r : a.points) {
        std::vector<std::string> row = {pointText(net, r.label), fix(r.x, 4), fix(r.y, 4)};
        if (r.hasSigma) {
            for (double v : {r.sx, r.sy, r.sp, r.ellipse.a, r.ellipse.b})
                row.push_back(fix(v, 2));
            row.push_back(degreesText(r.ellipse.azimuth, 0));
        } else {
            row.insert(row.end(), 6, kDash);
        }
        row.push_back(r.hasClassic ? fix(r.dxClassic, 2) : kDash);
        row.push_back(r.hasClassic ? fix(r.dyClassic, 2) : kDash);
        addRow(pt, std::move(row));
    }
    if (in.design) {
        dropColumns(pt, {"dX", "dY"});
        pt.caption = "待定点：近似座标（米）；中误差 σ，误差椭圆长短半轴 a、b（毫米）";
    }

    const std::string stat = m.test == analysis::TestKind::Baarda ? "w" : m.test == analysis::TestKind::Pope ? "τ" : "检验量";
    Table &st = doc.table("sides", "观测边：平差边长（米），改正数、中误差、MDB（毫米）",
                          {"边", "平差边长", "v", "σ", "相对中误差", "r", stat, "限值", "MDB", "标记"},
                          {Align::Centre, Align::Right, Align::Right, Align::Right, Align::Right, Align::Right,
                           Align::Right, Align::Right, Align::Right, Align::Left});
    for (const analysis::SideResult &s : a.sides) {
        std::string flags;
        if (s.flagged)
            flags = "粗差?";
        if (s.barelyChecked)
            flags += std::string(flags.empty() ? "" : " ") + "检核弱";
        addRow(st,
               {"S" + std::to_string(s.index), fix(s.adjusted, 4), in.design ? kDash : fix(s.residual, 1),
                s.hasSigma ? fix(s.sigma, 2) : kDash, relative(s.relative), fix(s.redundancy, 3),
                s.hasTest ? fix(s.statistic, 2) : kDash, s.hasTest ? fix(s.critical, 2) : kDash,
                s.hasMdb ? fix(s.mdb, 1) : kDash, flags.empty() ? kDash : flags},
               s.flagged);
    }
    if (in.design) {
        dropColumns(st, {"v", stat, "限值"});
        st.columns[1] = "边长";
        st.caption = "设计边：边长（米），中误差、MDB（毫米）";
    }
    switch (m.test) {
    case analysis::TestKind::Baarda:
        st.notes.push_back("w = v/σv（Baarda 数据探测），限值 3.29（α0 = 0.001，检验功效 80%）；MDB = 4.13·σi/√ri。");
        break;
    case analysis::TestKind::Pope:
        st.notes.push_back("τ = v/(σ0·√qvv)（Pope 检验），限值由 t 分布（自由度 r − 1，1 − 0.05/2）求得；MDB = 4.13·σ0/√ri。");
        break;
    default:
        if (!in.design)
            st.notes.push_back("多余观测不足，不进行粗差检验。");
        break;
    }
    st.notes.push_back(in.design ? "r：多余观测分量（总和为 r）；检核弱：ri < 0.1，几乎没有检核。"
                                 : "r：多余观测分量（总和为 r）；粗差?：检验量超过限值；检核弱：ri < 0.1，几乎没有检核。");

    if (!a.orientations.empty()) {
        Table &ot = doc.table("orientations", "定向方向", {"端", "方向", "方位角", "处理", "改正数"},
                              {Align::Left, Align::Left, Align::Right, Align::Left, Align::Right});
        for (const analysis::OrientationResult &o : a.orientations)
            addRow(ot,
                   {o.o.end == 0 ? "起始端" : "闭合端", pointText(net, o.o.known) + " → " + pointText(net, o.o.other),
                    degreesText(o.o.azimuth, 1), o.held ? "固定（约束）" : "观测",
                    o.held || in.design ? kDash : fix(o.residual, 2) + "″"},
                   o.flagged);
        if (in.design)
            dropColumns(ot, {"改正数"});
    }

    std::vector<std::pair<std::string, std::string>> w;
    if (m.weakestPoint >= 0) {
        const analysis::PointResult r = e.point(m.weakestPoint);
        std::string text = pointText(net, m.weakestPoint) + (r.hasSigma ? "，σP = " + fix(r.sp, 2) + " 毫米" : "");
        if (!in.design && in.caseNo >= 1) {
            const int c = in.classicWeakest;
            if (c != m.weakestPoint && c >= 0 && c < analysis::kPoints)
                text += "（经典方法报告的是 " + pointText(net, c) + "）";
        }
        w.emplace_back("最弱点", text);
    }
    if (m.weakestSide > 0)
        w.emplace_back("最弱边", "S" + std::to_string(m.weakestSide) + "，相对中误差 " + relative(e.side(m.weakestSide).relative));
    std::string flagged, barely;
    for (const analysis::SideResult &s : a.sides) {
        if (s.flagged)
            flagged += " S" + std::to_string(s.index);
        if (s.barelyChecked)
            barely += " S" + std::to_string(s.index);
    }
    if (!in.design)
        w.emplace_back("可能有粗差的边", flagged.empty() ? "无" : flagged.substr(1));
    w.emplace_back("几乎没有检核的边", barely.empty() ? "无" : barely.substr(1));
    doc.pairs(std::move(w));
}

void testsSection(Doc &doc, const AdjustmentInput &in, const analysis::Analysis &a)
{
    doc.heading("整体检验与限差检查");
    const analysis::Summary &m = a.summary;
    if (m.globalTest) {
        Table &g = doc.table("global", "整体检验（χ² 检验，显著水平 5%）", {"检验量 [pvv]", "下限", "上限", "结论"},
                             {Align::Right, Align::Right, Align::Right, Align::Centre});
        addRow(g,
               {fix(m.globalTest->statistic, 3), fix(m.globalTest->lower, 3), fix(m.globalTest->upper, 3),
                m.globalTest->passed ? "通过" : "不通过"},
               !m.globalTest->passed);
    } else if (!in.design) {
        doc.paragraph("整体检验：没有先验测距精度（sigma_a、sigma_b），不进行。");
    }
    if (a.grade && a.grade->limits) {
        Table &t = doc.table("tolerances", std::string("等级限差：") + a.grade->limits->name + "（" + analysis::kGradeStandard + "）",
                             {"检查项目", "数值", "限值", "结论"}, {Align::Left, Align::Right, Align::Right, Align::Centre});
        for (const analysis::GradeCheck &c : a.grade->checks)
            addRow(t, {c.item, fix(c.value, c.value > 1000 ? 0 : 2), fix(c.limit, 0), c.passed ? "符合" : "超限"},
                   !c.passed);
    } else {
        doc.paragraph("限差检查：没有给出等级（grade），不检查。");
    }
}

void comparisonSection(Doc &doc, const AdjustmentInput &in, const analysis::Analysis &a)
{
    double largest = 0;
    for (const analysis::PointResult &p : a.points)
        if (p.hasClassic)
            largest = std::max(largest, std::hypot(p.dxClassic, p.dyClassic));
    doc.heading("经典解与严密解");
    std::string s = "座标最大相差 " + fix(largest, 2) + " 毫米；经典 ms = " + fix(in.record->ms, 2) + " 毫米";
    if (a.summary.sigma0 && !in.engine->network().accuracy)
        s += "，严密 σ0 = " + fix(*a.summary.sigma0, 2) + " 毫米";
    s += "。";
    s += classicRigorousNote(in.caseNo);
    doc.paragraph(s);
}

} // namespace

std::string degreesText(double deg, int secondDecimals)
{
    if (!std::isfinite(deg))
        return kDash;
    const int dec = std::clamp(secondDecimals, 0, 3);
    const double unit = std::pow(10.0, dec);
    // Whole units of the last decimal of a second, so that 59.96″ rounds up
    // into the next minute instead of printing 60.0″.
    const double total = std::round(std::fabs(deg) * 3600 * unit);
    const double perMinute = 60 * unit, perDegree = 3600 * unit;
    const long long d = static_cast<long long>(std::floor(total / perDegree));
    const double rest = total - static_cast<double>(d) * perDegree;
    const long long mnt = static_cast<long long>(std::floor(rest / perMinute));
    const double sec = (rest - static_cast<double>(mnt) * perMinute) / unit;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s%lld°%02lld′%0*.*f″", deg < 0 && total > 0 ? "-" : "", d, mnt,
                  dec > 0 ? dec + 3 : 2, dec, sec);
    return buf;
}

std::string dmsTypedText(double dmmss)
{
    if (!std::isfinite(dmmss))
        return kDash;
    // d.mmss: degrees, then two digits of minutes, then seconds with their
    // decimals; worked on the decimal text so that no binary fraction
    // turns 30″ into 29.9999″.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.8f", std::fabs(dmmss));
    std::string s = buf;
    const std::size_t dot = s.find('.');
    const std::string deg = s.substr(0, dot), frac = s.substr(dot + 1);
    const int mnt = std::stoi(frac.substr(0, 2));
    std::string sec = frac.substr(2, 2) + "." + frac.substr(4);
    while (!sec.empty() && sec.back() == '0')
        sec.pop_back();
    if (!sec.empty() && sec.back() == '.')
        sec.pop_back();
    char out[96];
    std::snprintf(out, sizeof out, "%s%s°%02d′%s″", dmmss < 0 ? "-" : "", deg.c_str(), mnt, sec.c_str());
    return out;
}

const std::vector<std::string> *Table::row(const std::string &key) const
{
    for (const auto &r : rows)
        if (!r.empty() && r[0] == key)
            return &r;
    return nullptr;
}

std::string Table::cell(const std::string &key, const std::string &column) const
{
    const auto *r = row(key);
    if (!r)
        return {};
    for (std::size_t c = 0; c < columns.size() && c < r->size(); ++c)
        if (columns[c] == column)
            return (*r)[c];
    return {};
}

const Table *AdjustmentReport::table(const std::string &id) const
{
    for (const Block &b : blocks)
        if (b.kind == Block::TableBlock && b.table.id == id)
            return &b.table;
    return nullptr;
}

std::string AdjustmentReport::plainText() const
{
    std::string s = title + "\n" + subtitle + "\n";
    for (const Block &b : blocks) {
        switch (b.kind) {
        case Block::Heading:
        case Block::Paragraph: s += b.text + "\n"; break;
        case Block::Pairs:
            for (const auto &[label, value] : b.pairs)
                s += label + "：" + value + "\n";
            break;
        case Block::TableBlock: {
            s += b.table.caption + "\n";
            auto line = [&s](const std::vector<std::string> &cells) {
                for (std::size_t i = 0; i < cells.size(); ++i)
                    s += (i ? "\t" : "") + cells[i];
                s += "\n";
            };
            line(b.table.columns);
            for (const auto &r : b.table.rows)
                line(r);
            for (const auto &n : b.table.notes)
                s += n + "\n";
            break;
        }
        case Block::Figure: s += "网图\n"; break;
        }
    }
    return s;
}

AdjustmentReport buildAdjustmentReport(const AdjustmentInput &in)
{
    AdjustmentReport r;
    r.title = "平差报告";
    r.subtitle = in.design ? "二个连续四边形三边平差 · 预先分析（设计）" : "二个连续四边形三边平差";
    r.header = in.header;
    if (r.header.date.empty())
        r.header.date = in.today;
    if (in.caseNo >= 1 && in.caseNo <= 12)
        r.caseText = "情形 " + std::to_string(in.caseNo);
    Doc doc(r);

    const analysis::Engine *e = in.engine && in.engine->solved() ? in.engine : nullptr;
    const bool classic = !in.design && in.record && in.record->X.size() >= 6 && in.record->Y.size() >= 6;
    inputSection(doc, in, e ? &e->network() : nullptr);
    sidesSection(doc, in, e);
    if (classic)
        classicSection(doc, in);
    if (!e) {
        doc.heading("严密平差");
        doc.paragraph(in.analysisMessage.empty() ? "没有进行严密平差。" : in.analysisMessage, true);
        return r;
    }
    const analysis::Analysis a = e->analyse();
    rigorousSection(doc, in, *e, a);
    testsSection(doc, in, a);
    if (classic)
        comparisonSection(doc, in, a);

    r.figure = figureDataOf(*e);
    doc.heading("网图与误差椭圆");
    doc.figure();
    return r;
}

std::string classicRigorousNote(int caseNo)
{
    if (caseNo >= 3 && caseNo <= 5)
        return "本情形为无定向平差：经典方法沿推算路线保持起始边的假定方位（4 个条件，而图形只有 3 个多余观测），"
               "所以其座标、ms 和权倒数与最小二乘解不同；严密解不受假定方位的影响。";
    return "本情形经典方法的一次线性化即为最小二乘解，两者只差线性化的二阶小量。";
}

} // namespace chain::report
