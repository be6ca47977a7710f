#include "analysisout.h"

#include "chainfile.h"
#include "number.h"
#include "base/fixed.h"
#include "report/adjreport.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace chain {
namespace {

using analysis::kLabelText;
using analysis::kPoints;
using analysis::kSides;
using json = nlohmann::ordered_json;

// A figure with `decimals` decimals; a dash for a figure that is not finite.
std::string fix(double v, int decimals) { return fixedDecimals(v, decimals); }

// Degrees as d°mm′ss.s″.
std::string dms(double deg) { return report::degreesText(deg, 1); }

std::string pointName(const analysis::Network &n, int p) { return analysis::pointText(n, p); }

std::string relative(double T) { return T > 0 && std::isfinite(T) ? "1/" + fix(T, 0) : "—"; }

json number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

} // namespace

AnalysisOptions analysisOptionsOf(const DataSet &d)
{
    AnalysisOptions o;
    auto num = [&](int k) -> std::optional<double> {
        const auto &v = d.analysis.value[static_cast<std::size_t>(k)];
        return v ? parseNumber(normalizeReply(*v)) : std::nullopt;
    };
    o.sigmaA = num(AnalysisKeys::sigma_a);
    o.sigmaB = num(AnalysisKeys::sigma_b);
    o.sigmaQ = num(AnalysisKeys::sigma_q);
    if (const auto &g = d.analysis.value[AnalysisKeys::grade])
        o.grade = analysis::gradeFromName(*g).value_or(analysis::Grade::None);
    return o;
}

void analyseDesign(AnalysisRun &run, const DataSet &d)
{
    run.design = true;
    const DataSet view = designView(d);
    run.caseNo = caseOf(view);
    if (run.caseNo == 0) {
        run.outcome = "nocase";
        run.message = caseProblem(view);
        run.analysisMessage = "已知点与方位角不符合十二种计算情形中的任何一种，没有进行预先分析。";
        return;
    }
    run.outcome = "computed";
    // A record as a computation would leave it: known points, the angles,
    // the names and approximate coordinates in the case's route order.
    Record rec;
    auto value = [&](const DataSet &s, int k) {
        return s[k] ? parseNumber(normalizeReply(*s[k])).value_or(0) : 0.0;
    };
    rec.xa = value(view, key::xa), rec.ya = value(view, key::ya), rec.xb = value(view, key::xb), rec.yb = value(view, key::yb);
    rec.xc = value(view, key::xc), rec.yc = value(view, key::yc), rec.xd = value(view, key::xd), rec.yd = value(view, key::yd);
    const std::array<std::pair<double, double>, kPoints> approx = {{
        {value(d, key::xa), value(d, key::ya)},
        {value(d, key::xc), value(d, key::yc)},
        {parseNumber(normalizeReply(d.analysis.value[AnalysisKeys::xe].value_or("0"))).value_or(0),
         parseNumber(normalizeReply(d.analysis.value[AnalysisKeys::ye].value_or("0"))).value_or(0)},
        {parseNumber(normalizeReply(d.analysis.value[AnalysisKeys::xf].value_or("0"))).value_or(0),
         parseNumber(normalizeReply(d.analysis.value[AnalysisKeys::yf].value_or("0"))).value_or(0)},
        {value(d, key::xd), value(d, key::yd)},
        {value(d, key::xb), value(d, key::yb)},
    }};
    rec.pn.assign(6, std::string());
    rec.X.assign(6, 0.0);
    rec.Y.assign(6, 0.0);
    rec.S.assign(12, 0.0);
    for (int i = 0; i <= 5; ++i) {
        const int p = routeLabel(run.caseNo, i);
        rec.pn[static_cast<std::size_t>(i)] = d[key::pn(i)].value_or("");
        rec.X[static_cast<std::size_t>(i)] = approx[static_cast<std::size_t>(p)].first;
        rec.Y[static_cast<std::size_t>(i)] = approx[static_cast<std::size_t>(p)].second;
    }
    analysis::Network net = networkFromRecord(rec, run.caseNo, analysisOptionsOf(d));
    net.design = true;
    analysis::Engine e(net);
    const analysis::Status st = e.solve();
    if (!st.ok) {
        run.analysisMessage = st.message;
        return;
    }
    run.engine.emplace(std::move(e));
}

void analyseRecord(AnalysisRun &run, const AnalysisOptions &opt)
{
    run.engine.reset();
    if (run.outcome != "computed" || !run.rec || run.caseNo < 1 || run.caseNo > 12) {
        run.analysisMessage = "没有经典计算结果，没有进行严密平差。";
        return;
    }
    analysis::Engine e(networkFromRecord(*run.rec, run.caseNo, opt));
    const analysis::Status st = e.solve();
    if (!st.ok) {
        run.analysisMessage = st.message;
        return;
    }
    run.engine.emplace(std::move(e));
    run.analysisMessage.clear();
}

int findPoint(const analysis::Network &net, const std::string &text)
{
    const int l = analysis::labelOf(text);
    if (l >= 0)
        return l;
    for (int p = 0; p < kPoints; ++p)
        if (!text.empty() && net.points[static_cast<std::size_t>(p)].name == text)
            return p;
    return -1;
}

std::string betweenText(const analysis::Engine &e, int from, int to)
{
    const analysis::PairResult p = e.pair(from, to);
    const analysis::Network &n = e.network();
    std::string s = pointName(n, from) + " → " + pointName(n, to) + "\n";
    s += "  距离 " + fix(p.distance, 4) + " 米";
    if (p.hasSigma)
        s += "，中误差 " + fix(p.sDistance, 2) + " 毫米，相对中误差 " +
             relative(p.sDistance > 0 ? p.distance * 1000 / p.sDistance : 0);
    s += "\n  方位角 " + dms(p.azimuth);
    if (p.hasSigma)
        s += "，中误差 " + fix(p.sAzimuth, 2) + " 秒";
    s += "\n";
    if (p.hasSigma)
        s += "  相对误差椭圆 a = " + fix(p.relative.a, 2) + " 毫米，b = " + fix(p.relative.b, 2) + " 毫米，长轴方位角 " +
             dms(p.relative.azimuth) + "\n";
    else
        s += "  没有多余观测也没有先验精度，无法给出精度。\n";
    return s;
}

std::string analysisText(const AnalysisRun &run)
{
    std::string s = "\n==== 严密平差与精度分析 ====\n";
    if (!run.engine) {
        s += run.analysisMessage + "\n";
        return s;
    }
    const analysis::Engine &e = *run.engine;
    const analysis::Network &net = e.network();
    const analysis::Analysis a = e.analyse();
    const analysis::Summary &m = a.summary;

    // The model.
    s += run.design ? "预先分析（设计）：按近似座标和测距精度估计精度与可靠性，没有观测值，没有改正数。\n"
                    : "参数平差：未知数为全部待定点的座标，已知点固定，高斯-牛顿迭代 " + std::to_string(m.iterations) +
                          " 次收敛，起始值为经典平差座标。\n";
    int sides = 0;
    for (const auto &sd : a.sides)
        (void)sd, ++sides;
    s += "观测值 " + std::to_string(m.observations) + " 个（边长 " + std::to_string(sides) + "，定向方向 " +
         std::to_string(m.observations - sides) + "），未知数 " + std::to_string(m.unknowns) + " 个，约束 " +
         std::to_string(m.constraints) + " 个（固定的定向方向），多余观测数 r = " + std::to_string(m.redundancy) + "\n";
    if (net.accuracy)
        s += "权：先验测距精度 σ = " + fix(net.accuracy->a, 1) + " 毫米 + " + fix(net.accuracy->b, 1) +
             " ppm × S，权 p = 1/σ²\n";
    else
        s += "权：各边等权（没有先验测距精度，p = 1，单位权中误差即一条边的中误差，毫米）\n";
    if (net.orientationCount > 0)
        s += net.sigmaQ ? "定向方向作为观测值，中误差 " + fix(*net.sigmaQ, 1) + " 秒\n"
                        : std::string("定向方向按固定值（约束）处理，与经典方法一致\n");

    // σ̂0 and the global test.
    if (m.sigma0)
        s += "单位权中误差 σ̂0 = " + fix(*m.sigma0, 3) + (net.accuracy ? "（先验为 1）\n" : " 毫米\n");
    else if (run.design)
        s += "预先分析：精度按先验单位权中误差 1 计算。\n";
    else
        s += "多余观测数 r = 0：没有检核，无法估计单位权中误差" +
             std::string(net.accuracy ? "，精度按先验精度计算。\n" : "，也没有先验精度，无法给出精度。\n");
    if (m.globalTest)
        s += "整体检验（χ² 检验，显著水平 5%）：vᵀPv = " + fix(m.globalTest->statistic, 3) + "，接受区间 [" +
             fix(m.globalTest->lower, 3) + ", " + fix(m.globalTest->upper, 3) + "]，" +
             (m.globalTest->passed ? "通过\n" : "不通过\n");
    else if (!run.design)
        s += "整体检验：没有先验测距精度，不进行。\n";

    // Points.
    s += "\n待定点（座标 米；中误差、误差椭圆、与经典解之差 毫米）\n";
    s += "点\t纵座标X\t横座标Y\tσx\tσy\tσP\t椭圆a\t椭圆b\t长轴方位角\t严密-经典dX\tdY\n";
    for (const auto &p : a.points) {
        s += pointName(net, p.label) + "\t" + fix(p.x, 4) + "\t" + fix(p.y, 4);
        if (p.hasSigma)
            s += "\t" + fix(p.sx, 2) + "\t" + fix(p.sy, 2) + "\t" + fix(p.sp, 2) + "\t" + fix(p.ellipse.a, 2) + "\t" +
                 fix(p.ellipse.b, 2) + "\t" + dms(p.ellipse.azimuth);
        else
            s += "\t—\t—\t—\t—\t—\t—";
        s += p.hasClassic ? "\t" + fix(p.dxClassic, 2) + "\t" + fix(p.dyClassic, 2) + "\n" : "\t—\t—\n";
    }

    // Sides.
    const char *stat = m.test == analysis::TestKind::Baarda ? "w" : "τ";
    s += "\n观测边（边长 米；改正数、中误差、MDB 毫米）\n";
    s += std::string("边\t观测边长\t平差边长\t改正数v\t中误差\t相对中误差\t多余观测分量r\t") + stat + "\t限值\tMDB\t标记\n";
    for (const auto &sd : a.sides) {
        s += "S" + std::to_string(sd.index) + "\t" + fix(sd.observed, 4) + "\t" + fix(sd.adjusted, 4) + "\t" +
             (run.design ? "—" : fix(sd.residual, 2)) + "\t" + (sd.hasSigma ? fix(sd.sigma, 2) : "—") + "\t" +
             relative(sd.relative) + "\t" + fix(sd.redundancy, 3) + "\t" + (sd.hasTest ? fix(sd.statistic, 2) : "—") +
             "\t" + (sd.hasTest ? fix(sd.critical, 2) : "—") + "\t" + (sd.hasMdb ? fix(sd.mdb, 1) : "—") + "\t";
        std::string flags;
        if (sd.flagged)
            flags += "可能有粗差";
        if (sd.barelyChecked)
            flags += std::string(flags.empty() ? "" : "，") + "几乎没有检核";
        s += (flags.empty() ? "—" : flags) + "\n";
    }
    switch (m.test) {
    case analysis::TestKind::Baarda:
        s += "检验：Baarda 数据探测 w = v/σv，限值 3.29（α0 = 0.001，检验功效 80%）；MDB = 4.13·σi/√ri。\n";
        break;
    case analysis::TestKind::Pope:
        s += "检验：Pope τ = v/(σ̂0·√qvv)，限值 τc 由 t 分布（自由度 r - 1，1 - 0.05/2）求得；MDB = 4.13·σ̂0/√ri。\n";
        break;
    default:
        if (!run.design)
            s += "检验：多余观测不足，不进行粗差检验。\n";
        break;
    }

    // Orientations.
    for (const auto &o : a.orientations) {
        s += std::string(o.o.end == 0 ? "起始端" : "闭合端") + "定向方向 " + pointName(net, o.o.known) + " → " +
             pointName(net, o.o.other) + "：方位角 " + dms(o.o.azimuth);
        if (o.held)
            s += "（固定）\n";
        else
            s += "，改正数 " + fix(o.residual, 2) + " 秒，r = " + fix(o.redundancy, 3) +
                 (o.hasTest ? "，统计量 " + fix(o.statistic, 2) + (o.flagged ? "，可能有粗差" : "") : std::string()) + "\n";
    }

    // Weakest point and side, flags.
    s += "\n";
    if (m.weakestPoint >= 0) {
        const analysis::PointResult w = e.point(m.weakestPoint);
        s += "最弱点：" + pointName(net, m.weakestPoint) + (w.hasSigma ? "，σP = " + fix(w.sp, 2) + " 毫米" : "");
        if (!run.design && isCase(run.caseNo)) {
            const int c = classicWeakestLabel(run.caseNo);
            const analysis::PointResult cp = e.point(c);
            if (c != m.weakestPoint)
                s += "（经典方法报告的是 " + pointName(net, c) + (cp.hasSigma ? "，σP = " + fix(cp.sp, 2) + " 毫米" : "") + "）";
        }
        s += "\n";
    }
    if (m.weakestSide > 0) {
        const analysis::SideResult w = e.side(m.weakestSide);
        s += "最弱边：S" + std::to_string(m.weakestSide) + "，相对中误差 " + relative(w.relative) + "\n";
    }
    std::string flagged, barely;
    for (const auto &sd : a.sides) {
        if (sd.flagged)
            flagged += " S" + std::to_string(sd.index);
        if (sd.barelyChecked)
            barely += " S" + std::to_string(sd.index);
    }
    if (!run.design)
        s += "可能有粗差的边：" + (flagged.empty() ? std::string("无") : flagged.substr(1)) + "\n";
    s += "几乎没有检核的边（ri < 0.1）：" + (barely.empty() ? std::string("无") : barely.substr(1)) + "\n";

    // Grade.
    if (a.grade) {
        s += "\n等级限差：" + std::string(a.grade->limits->name) + "（" + analysis::kGradeStandard + "）\n";
        for (const auto &c : a.grade->checks)
            s += "  " + c.item + "：" + fix(c.value, c.value > 1000 ? 0 : 2) + "，限值 " + fix(c.limit, 0) + "，" +
                 (c.passed ? "符合" : "不符合") + "\n";
    }

    // Classic against rigorous.
    if (!run.design && run.rec) {
        double largest = 0;
        for (const auto &p : a.points)
            largest = std::max(largest, std::hypot(p.dxClassic, p.dyClassic));
        s += "\n经典解与严密解：座标最大相差 " + fix(largest, 2) + " 毫米；经典 ms = " + fix(run.rec->ms, 2) + " 毫米";
        if (m.sigma0 && !net.accuracy)
            s += "，严密 σ̂0 = " + fix(*m.sigma0, 2) + " 毫米";
        s += "。\n";
        s += report::classicRigorousNote(run.caseNo) + "\n";
    }
    return s;
}

std::string gradeVerdict(const analysis::GradeResult &g)
{
    int failed = 0;
    for (const auto &c : g.checks)
        failed += c.passed ? 0 : 1;
    return failed == 0 ? std::string("符合") : "超限（" + std::to_string(failed) + " 项）";
}

std::string analysisSummaryLine(const AnalysisRun &run)
{
    if (!run.engine)
        return {};
    const analysis::Engine &e = *run.engine;
    const analysis::Network &net = e.network();
    const analysis::Analysis a = e.analyse();
    const analysis::Summary &m = a.summary;
    std::vector<std::string> parts;
    if (run.design)
        parts.push_back("预先分析");
    if (m.sigma0 && std::isfinite(*m.sigma0))
        parts.push_back("σ̂0 = " + fix(*m.sigma0, 2) + (net.accuracy ? "" : " 毫米"));
    else if (!run.design)
        parts.push_back("σ̂0：无多余观测");
    if (m.weakestPoint >= 0) {
        const analysis::PointResult w = e.point(m.weakestPoint);
        std::string s = "最弱点 " + pointName(net, m.weakestPoint);
        if (w.hasSigma && std::isfinite(w.sp))
            s += " σP = " + fix(w.sp, 2) + " 毫米";
        parts.push_back(s);
    }
    if (!run.design) {
        std::string flagged;
        for (const auto &sd : a.sides)
            if (sd.flagged)
                flagged += (flagged.empty() ? "" : "、") + std::string("S") + std::to_string(sd.index);
        parts.push_back("可能有粗差：" + (flagged.empty() ? std::string("无") : flagged));
    }
    if (a.grade && a.grade->limits)
        parts.push_back(std::string(a.grade->limits->name) + "：" + gradeVerdict(*a.grade));
    std::string line;
    for (const auto &p : parts)
        line += (line.empty() ? "" : "　") + p;
    return line;
}

std::string analysisJson(const AnalysisRun &run)
{
    json j;
    j["case"] = run.caseNo;
    j["outcome"] = run.outcome;
    j["message"] = run.message.empty() ? json(nullptr) : json(run.message);
    j["title"] = run.title.empty() ? json(nullptr) : json(run.title);

    // Classic results.
    const Record *rec = run.rec;
    const bool computed = run.outcome == "computed" && rec && run.caseNo >= 1 && run.caseNo <= 12 && !run.design;
    // Which points are known and which sides were typed, as the record has them.
    const analysis::Network net = computed ? networkFromRecord(*rec, run.caseNo, {}) : analysis::Network{};
    json points = json::object();
    if (computed) {
        std::array<int, kPoints> routeOf{};
        for (int i = 0; i <= 5; ++i)
            routeOf[static_cast<std::size_t>(routeLabel(run.caseNo, i))] = i;
        for (int p = 0; p < kPoints; ++p) {
            const auto i = static_cast<std::size_t>(routeOf[static_cast<std::size_t>(p)]);
            json pt;
            pt["name"] = i < rec->pn.size() ? rec->pn[i] : std::string();
            pt["known"] = net.points[static_cast<std::size_t>(p)].known;
            pt["x"] = i < rec->X.size() ? number(rec->X[i]) : json(nullptr);
            pt["y"] = i < rec->Y.size() ? number(rec->Y[i]) : json(nullptr);
            points[kLabelText[static_cast<std::size_t>(p)]] = pt;
        }
    }
    j["points"] = points;
    json sides = json::object();
    if (computed) {
        for (int i = 1; i <= kSides; ++i) {
            json sd;
            const bool typed = net.sides[static_cast<std::size_t>(i)].typed;
            sd["observed"] = typed ? number(rec->S[static_cast<std::size_t>(i)]) : json(nullptr);
            sd["adjusted"] = static_cast<std::size_t>(i) < rec->Sp.size() ? number(rec->Sp[static_cast<std::size_t>(i)]) : json(nullptr);
            sides[std::to_string(i)] = sd;
        }
    }
    j["sides"] = sides;
    if (computed) {
        json classic;
        json w = json::array(), k = json::array();
        for (int i = 1; i <= rec->nc; ++i) {
            if (static_cast<std::size_t>(i) < rec->w.size())
                w.push_back(number(rec->w[static_cast<std::size_t>(i)]));
            if (static_cast<std::size_t>(i) < rec->k.size())
                k.push_back(number(rec->k[static_cast<std::size_t>(i)]));
        }
        classic["w"] = w;
        classic["k"] = k;
        classic["ms"] = number(rec->ms);
        classic["px"] = number(rec->px);
        classic["py"] = number(rec->py);
        classic["mx"] = number(rec->mx);
        classic["my"] = number(rec->my);
        classic["md"] = number(rec->md);
        classic["weakest"] = kLabelText[static_cast<std::size_t>(classicWeakestLabel(run.caseNo))];
        j["classic"] = classic;
    } else {
        j["classic"] = nullptr;
    }

    if (!run.engine) {
        j["rigorous"] = nullptr;
        return j.dump(2) + "\n";
    }
    const analysis::Engine &e = *run.engine;
    const analysis::Analysis a = e.analyse();
    const analysis::Summary &m = a.summary;
    json r;
    r["observations"] = m.observations;
    r["unknowns"] = m.unknowns;
    r["constraints"] = m.constraints;
    r["redundancy"] = m.redundancy;
    r["iterations"] = m.iterations;
    r["vtpv"] = number(m.vtpv);
    r["sigma0"] = m.sigma0 ? number(*m.sigma0) : json(nullptr);
    if (m.globalTest)
        r["global_test"] = {{"statistic", number(m.globalTest->statistic)},
                            {"lower", number(m.globalTest->lower)},
                            {"upper", number(m.globalTest->upper)},
                            {"passed", m.globalTest->passed}};
    else
        r["global_test"] = nullptr;
    auto sigma = [](bool has, double v) { return has ? number(v) : json(nullptr); };
    json rp = json::object();
    for (const auto &p : a.points) {
        json o;
        o["x"] = number(p.x);
        o["y"] = number(p.y);
        o["sx"] = sigma(p.hasSigma, p.sx);
        o["sy"] = sigma(p.hasSigma, p.sy);
        o["sp"] = sigma(p.hasSigma, p.sp);
        o["sxy"] = sigma(p.hasSigma, p.sxy);
        o["ellipse"] = p.hasSigma ? json{{"a", number(p.ellipse.a)}, {"b", number(p.ellipse.b)}, {"azimuth", number(p.ellipse.azimuth)}}
                                  : json(nullptr);
        o["dx_classic"] = p.hasClassic ? number(p.dxClassic) : json(nullptr);
        o["dy_classic"] = p.hasClassic ? number(p.dyClassic) : json(nullptr);
        rp[kLabelText[static_cast<std::size_t>(p.label)]] = o;
    }
    r["points"] = rp;
    json rs = json::object();
    for (const auto &sd : a.sides) {
        json o;
        o["observed"] = number(sd.observed);
        o["adjusted"] = number(sd.adjusted);
        o["residual"] = run.design ? json(nullptr) : number(sd.residual);
        o["sigma"] = sigma(sd.hasSigma, sd.sigma);
        o["mdb"] = sigma(sd.hasMdb, sd.mdb);
        o["relative"] = sd.relative > 0 ? number(sd.relative) : json(nullptr);
        o["redundancy"] = number(sd.redundancy);
        o["statistic"] = sigma(sd.hasTest, sd.statistic);
        o["critical"] = sigma(sd.hasTest, sd.critical);
        o["flagged"] = sd.flagged;
        rs[std::to_string(sd.index)] = o;
    }
    r["sides"] = rs;
    json ro = json::array();
    for (const auto &o : a.orientations) {
        json x;
        x["end"] = o.o.end == 0 ? "start" : "closing";
        x["known"] = kLabelText[static_cast<std::size_t>(o.o.known)];
        x["other"] = kLabelText[static_cast<std::size_t>(o.o.other)];
        x["azimuth"] = number(o.o.azimuth);
        x["held"] = o.held;
        x["residual"] = o.held || run.design ? json(nullptr) : number(o.residual);
        ro.push_back(x);
    }
    r["orientations"] = ro;
    r["weakest_point"] = m.weakestPoint >= 0 ? json(kLabelText[static_cast<std::size_t>(m.weakestPoint)]) : json(nullptr);
    r["weakest_side"] = m.weakestSide > 0 ? json(std::to_string(m.weakestSide)) : json(nullptr);
    if (a.grade) {
        json checks = json::array();
        for (const auto &c : a.grade->checks)
            checks.push_back({{"item", c.item}, {"value", number(c.value)}, {"limit", number(c.limit)}, {"passed", c.passed}});
        r["grade"] = {{"name", a.grade->limits->name}, {"checks", checks}};
    } else {
        r["grade"] = nullptr;
    }
    j["rigorous"] = r;
    return j.dump(2) + "\n";
}

} // namespace chain
