// The Excel workbook of a computation: 输入数据, 经典平差, 严密平差, 精度检查;
// and the workbook of a batch run. libxlsxwriter writes to a file name: it
// writes into the atomic writer's temporary file, which is renamed over the
// target only when the workbook closed without an error.
#include "exports.h"
#include "xlsxsheet.h"

#include "app/analysisinput.h"
#include "app/atomicfile.h"
#include "base/utf8.h"

#include <cmath>

namespace chain::exporting {

// ---- Sheet ---------------------------------------------------------------

Workbook::Workbook(const std::string &path)
{
    wb_ = workbook_new(path.c_str());
    if (!wb_)
        throw ExportError("无法建立 Excel 工作簿。");
    bold_ = workbook_add_format(wb_);
    format_set_bold(bold_);
    format_set_bottom(bold_, LXW_BORDER_THIN);
    format_set_text_wrap(bold_);
    format_set_align(bold_, LXW_ALIGN_CENTER);
    format_set_align(bold_, LXW_ALIGN_VERTICAL_CENTER);
    title_ = workbook_add_format(wb_);
    format_set_bold(title_);
    format_set_font_size(title_, 13);
    red_ = workbook_add_format(wb_);
    format_set_font_color(red_, LXW_COLOR_RED);
    wrap_ = workbook_add_format(wb_);
    format_set_text_wrap(wrap_);
    format_set_align(wrap_, LXW_ALIGN_VERTICAL_TOP);
}

Workbook::~Workbook()
{
    if (wb_)
        workbook_close(wb_);
}

std::string Workbook::close()
{
    lxw_workbook *wb = wb_;
    wb_ = nullptr;
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR)
        return std::string("Excel 工作簿没有写成（") + lxw_strerror(e) + "）";
    return {};
}

lxw_format *Workbook::number(int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 9)
        decimals = 9;
    lxw_format *&f = numbers_[static_cast<std::size_t>(decimals)];
    if (!f) {
        f = workbook_add_format(wb_);
        format_set_num_format(f, decimals == 0 ? "0" : ("0." + std::string(static_cast<std::size_t>(decimals), '0')).c_str());
    }
    return f;
}

Sheet Workbook::sheet(const char *name)
{
    lxw_worksheet *ws = workbook_add_worksheet(wb_, name);
    if (!ws)
        throw ExportError(std::string("无法在 Excel 工作簿中加入工作表“") + name + "”。");
    return Sheet(*this, ws);
}

Sheet::~Sheet()
{
    for (std::size_t c = 0; c < widths_.size(); ++c)
        worksheet_set_column(ws_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             std::min(60.0, std::max(8.0, widths_[c] + 2.0)), nullptr);
}

void Sheet::fit(int col, const std::string &text)
{
    if (col < 0)
        return;
    // East Asian characters take two columns of width; the longest line counts.
    double w = 0, line = 0;
    for (std::size_t i = 0; i < text.size();) {
        const utf8::CodePoint c = utf8::decode(text, i);
        line = c.value == '\n' ? 0 : line + (c.value >= 0x1100 ? 2 : 1);
        w = std::max(w, line);
        i += c.length;
    }
    if (widths_.size() <= static_cast<std::size_t>(col))
        widths_.resize(static_cast<std::size_t>(col) + 1, 0);
    widths_[static_cast<std::size_t>(col)] = std::max(widths_[static_cast<std::size_t>(col)], w);
}

void Sheet::check(lxw_error e)
{
    if (e != LXW_NO_ERROR)
        throw ExportError(std::string("Excel 工作表写入失败（") + lxw_strerror(e) + "）。");
}

void Sheet::text(int col, const std::string &s, lxw_format *f)
{
    if (s.empty())
        return;
    check(worksheet_write_string(ws_, row_, static_cast<lxw_col_t>(col), s.c_str(), f));
    fit(col, s);
}

void Sheet::number(int col, double v, int decimals)
{
    if (!std::isfinite(v))
        return; // an empty cell rather than a figure that is not one
    check(worksheet_write_number(ws_, row_, static_cast<lxw_col_t>(col), v, book_.number(decimals)));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    fit(col, buf);
}

void Sheet::title(const std::string &s)
{
    check(worksheet_write_string(ws_, row_, 0, s.c_str(), book_.titleFormat()));
    ++row_;
}

void Sheet::header(const std::vector<std::string> &cells)
{
    for (std::size_t c = 0; c < cells.size(); ++c) {
        check(worksheet_write_string(ws_, row_, static_cast<lxw_col_t>(c), cells[c].c_str(), book_.boldFormat()));
        fit(static_cast<int>(c), cells[c]);
    }
    ++row_;
}

// ---- the workbook of a computation --------------------------------------

namespace {

using analysis::kLabelText;

int decimalsOf(const std::string &typed)
{
    const std::size_t dot = typed.find('.');
    if (dot == std::string::npos || typed.find_first_of("eE") != std::string::npos)
        return 0;
    return static_cast<int>(typed.size() - dot - 1);
}

void inputSheet(Workbook &book, const AnalysisRun &run, const DataSet &input)
{
    Sheet s = book.sheet("输入数据");
    s.title("输入数据（按输入的原样）");
    s.header({"键", "含义", "值", "单位"});
    for (int k = 0; k < key::count; ++k) {
        if (!input.has(k))
            continue;
        const std::string &v = *input[k];
        s.text(0, keyName(k));
        s.text(1, keyLabel(k));
        if (isNameKey(k) || isAngleKey(k)) {
            s.text(2, v); // d.mmss keeps its trailing zeros as text
        } else if (const auto n = parseNumber(v)) {
            s.number(2, *n, decimalsOf(normalizeReply(v)));
        } else {
            s.text(2, v);
        }
        s.text(3, isCoordinateKey(k) || isSideKey(k) ? "m" : isAngleKey(k) ? "d.mmss" : "");
        s.next();
    }
    static const char *units[AnalysisKeys::count] = {"mm", "ppm", "″", "", "", "m", "m", "m", "m"};
    for (int k = 0; k < AnalysisKeys::count; ++k)
        if (const auto &v = input.analysis.value[static_cast<std::size_t>(k)]) {
            s.text(0, analysisKeyName(k));
            s.text(2, *v);
            s.text(3, units[k]);
            s.next();
        }
    for (int k = 0; k < HeaderKeys::count; ++k)
        if (const auto &v = input.header.value[static_cast<std::size_t>(k)]) {
            s.text(0, headerKeyName(k));
            s.text(2, *v);
            s.next();
        }
    s.next();
    s.text(0, "计算情形");
    s.number(2, run.caseNo, 0);
    s.next();
    if (!run.title.empty()) {
        s.text(0, "说明");
        s.text(2, run.title);
        s.next();
    }
}

void classicSheet(Workbook &book, const AnalysisRun &run)
{
    const Record &rec = *run.rec;
    Sheet s = book.sheet("经典平差");
    s.title("经典平差（条件平差，情形 " + std::to_string(run.caseNo) + "）");
    s.header({"点名", "点号", "类别", "X(m)", "Y(m)"});
    const analysis::Network net = networkFromRecord(rec, run.caseNo, {});
    for (int i = 0; i <= 5; ++i) {
        const int p = routeLabel(run.caseNo, i);
        s.text(0, rec.pn[static_cast<std::size_t>(i)]);
        s.text(1, kLabelText[static_cast<std::size_t>(p)]);
        s.text(2, net.points[static_cast<std::size_t>(p)].known ? "已知点" : "待定点");
        s.number(3, rec.X[static_cast<std::size_t>(i)], 3);
        s.number(4, rec.Y[static_cast<std::size_t>(i)], 3);
        s.next();
    }
    s.next();
    s.header({"边", "观测边长(m)", "平差边长(m)", "改正数(mm)"});
    for (int i = 1; i <= analysis::kSides; ++i) {
        const bool typed = net.sides[static_cast<std::size_t>(i)].typed;
        const double obs = rec.S[static_cast<std::size_t>(i)];
        const double adj = static_cast<std::size_t>(i) < rec.Sp.size() ? rec.Sp[static_cast<std::size_t>(i)] : NAN;
        s.text(0, "S" + std::to_string(i));
        if (typed)
            s.number(1, obs, 3);
        else
            s.text(1, "（由已知点座标）");
        s.number(2, adj, 3);
        if (typed)
            s.number(3, (adj - obs) * 1000, 1);
        s.next();
    }
    s.next();
    s.header({"精度评定", "", "值", "单位"});
    auto pair = [&](const char *label, double v, int decimals, const char *unit) {
        s.text(0, label);
        s.number(2, v, decimals);
        s.text(3, unit);
        s.next();
    };
    pair("单位权测边中误差 ms", rec.ms, 2, "mm");
    pair("最弱点纵座标单位权权倒数 1/px", rec.px, 5, "");
    pair("最弱点横座标单位权权倒数 1/py", rec.py, 5, "");
    pair("最弱点纵座标中误差 mx", rec.mx, 2, "mm");
    pair("最弱点横座标中误差 my", rec.my, 2, "mm");
    pair("最弱点点位中误差 md", rec.md, 2, "mm");
    s.text(0, "最弱点");
    s.text(2, kLabelText[static_cast<std::size_t>(classicWeakestLabel(run.caseNo))]);
    s.next();
}

void rigorousSheet(Workbook &book, const AnalysisRun &run, const analysis::Analysis &a)
{
    Sheet s = book.sheet("严密平差");
    s.title("严密平差（参数平差）");
    const analysis::Summary &m = a.summary;
    s.text(0, "多余观测数 r");
    s.number(2, m.redundancy, 0);
    s.next();
    s.text(0, "单位权中误差 σ̂0");
    if (m.sigma0)
        s.number(2, *m.sigma0, 3);
    else
        s.text(2, "—（没有多余观测）");
    s.text(3, run.engine->network().accuracy ? "" : "mm");
    s.next();
    if (m.globalTest) {
        s.text(0, "整体检验 χ²");
        s.number(2, m.globalTest->statistic, 3);
        s.text(3, m.globalTest->passed ? "通过" : "不通过");
        s.next();
    }
    s.next();
    s.header({"点名", "点号", "类别", "X(m)", "Y(m)", "σx(mm)", "σy(mm)", "σP(mm)", "椭圆a(mm)", "椭圆b(mm)",
              "长轴方位角(°)", "严密-经典dX(mm)", "dY(mm)"});
    for (const ExportPoint &p : exportPoints(run)) {
        s.text(0, p.name);
        s.text(1, p.label);
        s.text(2, p.known ? "已知点" : "待定点");
        s.number(3, p.x, 3);
        s.number(4, p.y, 3);
        if (!p.known && p.hasSigma) {
            s.number(5, p.sx, 2);
            s.number(6, p.sy, 2);
            s.number(7, p.sp, 2);
            s.number(8, p.a, 2);
            s.number(9, p.b, 2);
            s.number(10, p.azimuth, 4);
        }
        for (const analysis::PointResult &r : a.points)
            if (kLabelText[static_cast<std::size_t>(r.label)] == p.label && r.hasClassic) {
                s.number(11, r.dxClassic, 2);
                s.number(12, r.dyClassic, 2);
            }
        s.next();
    }
    s.next();
    s.header({"边", "观测边长(m)", "平差边长(m)", "改正数v(mm)", "中误差(mm)", "相对中误差 1/T", "多余观测分量r",
              "检验统计量", "限值", "MDB(mm)", "标记"});
    for (const analysis::SideResult &sd : a.sides) {
        const bool flagged = sd.flagged;
        s.text(0, "S" + std::to_string(sd.index), flagged ? book.redFormat() : nullptr);
        s.number(1, sd.observed, 3);
        s.number(2, sd.adjusted, 3);
        s.number(3, sd.residual, 2);
        if (sd.hasSigma)
            s.number(4, sd.sigma, 2);
        if (sd.relative > 0)
            s.number(5, sd.relative, 0);
        s.number(6, sd.redundancy, 3);
        if (sd.hasTest) {
            s.number(7, sd.statistic, 2);
            s.number(8, sd.critical, 2);
        }
        if (sd.hasMdb)
            s.number(9, sd.mdb, 1);
        std::string flags = flagged ? "可能有粗差" : "";
        if (sd.barelyChecked)
            flags += std::string(flags.empty() ? "" : "，") + "几乎没有检核";
        s.text(10, flags, flagged ? book.redFormat() : nullptr);
        s.next();
    }
}

void checkSheet(Workbook &book, const AnalysisRun &run, const analysis::Analysis &a)
{
    Sheet s = book.sheet("精度检查");
    s.title("精度检查");
    const analysis::Summary &m = a.summary;
    const analysis::Network &net = run.engine->network();
    auto named = [&](int p) { return analysis::pointText(net, p); };
    s.header({"项目", "值", "限值", "结论"});
    if (m.weakestPoint >= 0) {
        s.text(0, "最弱点 " + named(m.weakestPoint) + " σP(mm)");
        const analysis::PointResult w = run.engine->point(m.weakestPoint);
        if (w.hasSigma)
            s.number(1, w.sp, 2);
        s.next();
    }
    if (m.weakestSide > 0) {
        s.text(0, "最弱边 S" + std::to_string(m.weakestSide) + " 相对中误差 1/T");
        const analysis::SideResult w = run.engine->side(m.weakestSide);
        if (w.relative > 0)
            s.number(1, w.relative, 0);
        s.next();
    }
    std::string flagged, barely;
    for (const analysis::SideResult &sd : a.sides) {
        if (sd.flagged)
            flagged += " S" + std::to_string(sd.index);
        if (sd.barelyChecked)
            barely += " S" + std::to_string(sd.index);
    }
    s.text(0, "可能有粗差的边");
    s.text(3, flagged.empty() ? "无" : flagged.substr(1), flagged.empty() ? nullptr : book.redFormat());
    s.next();
    s.text(0, "几乎没有检核的边（ri < 0.1）");
    s.text(3, barely.empty() ? "无" : barely.substr(1));
    s.next();
    s.next();
    if (!a.grade) {
        s.text(0, "没有指定等级（数据文件的键 grade），不检查等级限差。");
        s.next();
        return;
    }
    s.text(0, "等级限差：" + std::string(a.grade->limits->name) + "（" + analysis::kGradeStandard + "）");
    s.next();
    for (const analysis::GradeCheck &c : a.grade->checks) {
        lxw_format *f = c.passed ? nullptr : book.redFormat();
        s.text(0, c.item, f);
        s.number(1, c.value, c.value > 1000 ? 0 : 2);
        s.number(2, c.limit, 0);
        s.text(3, c.passed ? "符合" : "不符合", f);
        s.next();
    }
}

} // namespace

void writeXlsx(const std::string &path, const AnalysisRun &run, const DataSet &input)
{
    exportPoints(run); // refuses a run that computed nothing, before any file
    writeFileAtomically(path, [&](const std::string &tmp) -> std::string {
        Workbook book(tmp);
        inputSheet(book, run, input);
        classicSheet(book, run);
        if (run.engine) {
            const analysis::Analysis a = run.engine->analyse();
            rigorousSheet(book, run, a);
            checkSheet(book, run, a);
        } else {
            Sheet s = book.sheet("严密平差");
            s.title("没有严密平差：" + run.analysisMessage);
            Sheet c = book.sheet("精度检查");
            c.title("没有严密平差，没有精度检查。");
        }
        return book.close();
    });
}

bool workbooksAndDrawings() { return true; }

std::string writeBatchWorkbook(const std::string &path, const std::vector<BatchRow> &rows)
{
    Workbook book(path);
    {
        Sheet s = book.sheet("批量计算");
        s.header(batchColumns());
        for (const BatchRow &r : rows) {
            const std::vector<std::string> cells = batchCells(r);
            lxw_format *f = r.outcome == "computed" ? nullptr : book.redFormat();
            s.text(0, cells[0], f);
            if (r.caseNo > 0)
                s.number(1, r.caseNo, 0);
            s.text(2, cells[2], f);
            s.text(3, cells[3], book.wrapFormat()); // a file's problems, a line each
            s.number(4, r.ms, 1);
            if (r.sigma0)
                s.number(5, *r.sigma0, 3);
            s.text(6, cells[6]);
            if (r.weakestSp)
                s.number(7, *r.weakestSp, 2);
            s.text(8, cells[8], book.redFormat());
            s.text(9, cells[9]);
            s.next();
        }
    }
    return book.close();
}

} // namespace chain::exporting
