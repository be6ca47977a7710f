// Batch runs: every data file read, computed and analysed on its own, one
// summary row each; a file that cannot be used gives a row with its
// message and the run goes on.
#include "exports.h"

#include "app/analysisinput.h"
#include "app/atomicfile.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replay.h"
#include "base/fixed.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace chain::exporting {
namespace {

// The outcome as the summary shows it.
std::string outcomeText(const std::string &key)
{
    if (key == "computed")
        return "已计算";
    if (key == "nocase")
        return "不符合任何计算情形";
    if (key == "degenerate")
        return "图形退化，无法计算";
    if (key == "cancelled")
        return "已取消";
    return "文件错误";
}

std::string fixed(double v, int decimals) { return fixedDecimals(v, decimals, ""); }

void fillFromRun(BatchRow &row, const AnalysisRun &run)
{
    row.caseNo = run.caseNo;
    row.outcome = run.outcome;
    row.message = run.message;
    if (!run.engine) {
        if (run.outcome == "computed" && !run.analysisMessage.empty())
            row.message += (row.message.empty() ? "" : " ") + run.analysisMessage;
        return;
    }
    const analysis::Analysis a = run.engine->analyse();
    const analysis::Summary &m = a.summary;
    if (m.sigma0 && std::isfinite(*m.sigma0))
        row.sigma0 = *m.sigma0;
    if (m.weakestPoint >= 0) {
        const analysis::Network &net = run.engine->network();
        const std::string &name = net.points[static_cast<std::size_t>(m.weakestPoint)].name;
        row.weakestPoint = std::string(analysis::kLabelText[static_cast<std::size_t>(m.weakestPoint)]) +
                           (name.empty() ? "" : " " + name);
        const analysis::PointResult w = run.engine->point(m.weakestPoint);
        if (w.hasSigma && std::isfinite(w.sp))
            row.weakestSp = w.sp;
    }
    for (const analysis::SideResult &sd : a.sides)
        if (sd.flagged)
            row.flaggedSides += (row.flaggedSides.empty() ? "S" : " S") + std::to_string(sd.index);
    if (a.grade) {
        const bool all = std::all_of(a.grade->checks.begin(), a.grade->checks.end(),
                                     [](const analysis::GradeCheck &c) { return c.passed; });
        row.grade = std::string(a.grade->limits->name) + (all ? "：符合" : "：不符合");
    }
    if (run.design)
        row.message += (row.message.empty() ? "" : " ") + std::string("预先分析（设计），精度按先验精度估计。");
}

std::string lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool endsWith(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

BatchRow batchRow(const std::string &file)
{
    BatchRow row;
    row.file = file;
    const auto start = std::chrono::steady_clock::now();
    try {
        const DataSet d = readDataFile(file);
        AnalysisRun run;
        Record rec;
        if (designOf(d)) {
            analyseDesign(run, d);
            if (run.outcome != "computed" || !run.engine) {
                run.outcome = run.outcome == "computed" ? "degenerate" : run.outcome;
                run.message = run.message.empty() ? run.analysisMessage : run.message;
            }
        } else {
            FieldTable fields;
            const ComputeResult r = computeFromData(d, rec, fields, file);
            run.rec = &rec;
            run.caseNo = r.outcome == Outcome::Computed ? rec.caseNo : 0;
            run.outcome = outcomeName(static_cast<int>(r.outcome));
            run.message = r.message;
            if (r.outcome == Outcome::Computed)
                run.title = fields.text("Text24");
            analyseRecord(run, analysisOptionsOf(d));
        }
        fillFromRun(row, run);
    } catch (const DataFileError &e) {
        row.outcome = e.noCase() ? "nocase" : "error";
        row.message = e.what();
    } catch (const std::exception &e) {
        row.outcome = "error";
        row.message = e.what();
    }
    row.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return row;
}

std::vector<std::string> batchCells(const BatchRow &r)
{
    return {r.file,
            r.caseNo > 0 ? std::to_string(r.caseNo) : std::string(),
            outcomeText(r.outcome),
            r.message,
            fixed(r.ms, 1),
            r.sigma0 ? fixed(*r.sigma0, 3) : std::string(),
            r.weakestPoint,
            r.weakestSp ? fixed(*r.weakestSp, 2) : std::string(),
            r.flaggedSides,
            r.grade};
}

const std::vector<std::string> &batchColumns()
{
    static const std::vector<std::string> columns = {"文件", "情形", "结果", "说明", "用时(ms)", "σ̂0", "最弱点", "σP(mm)",
                                           "可能有粗差的边", "等级检查"};
    return columns;
}

std::string batchCsv(const std::vector<BatchRow> &rows)
{
    std::string s = "\xEF\xBB\xBF";
    auto line = [&](const std::vector<std::string> &cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            s += (i ? "," : "") + csvField(cells[i]);
        s += "\r\n";
    };
    line(batchColumns());
    for (const BatchRow &r : rows)
        line(batchCells(r));
    return s;
}

void writeBatchSummary(const std::string &path, const std::vector<BatchRow> &rows)
{
    const std::string ext = lower(path);
    if (endsWith(ext, ".csv")) {
        writeFileAtomically(path, batchCsv(rows));
        return;
    }
    if (!endsWith(ext, ".xlsx"))
        throw ExportError("汇总文件「" + path + "」须以 .csv 或 .xlsx 结尾。");
    writeFileAtomically(path, [&](const std::string &tmp) { return writeBatchWorkbook(tmp, rows); });
}

int runBatch(const std::vector<std::string> &files, const std::string &summary, std::ostream &out, std::ostream &err)
{
    if (files.empty()) {
        err << "--batch 后面须给出至少一个数据文件。\n";
        return kUsageOrFile;
    }
    const std::string ext = lower(summary);
    if (summary.empty() || !(endsWith(ext, ".csv") || endsWith(ext, ".xlsx"))) {
        err << "--batch 须与 --summary OUT.csv 或 --summary OUT.xlsx 一起使用（汇总文件以 .csv 或 .xlsx 结尾）。\n";
        return kUsageOrFile;
    }
    if (endsWith(ext, ".xlsx") && !workbooksAndDrawings()) {
        err << "这个版本没有 Excel 工作簿（构建时未包含 libxlsxwriter），请用 --summary OUT.csv。\n";
        return kUsageOrFile;
    }
    std::vector<BatchRow> rows;
    bool all = true;
    for (const std::string &f : files) {
        rows.push_back(batchRow(f));
        const BatchRow &r = rows.back();
        all = all && r.outcome == "computed";
        out << f << '\t' << outcomeText(r.outcome);
        if (r.caseNo > 0)
            out << "\t情形 " << r.caseNo;
        out << '\n';
    }
    try {
        writeBatchSummary(summary, rows);
    } catch (const ExportError &e) {
        err << e.what() << '\n';
        return kUsageOrFile;
    } catch (const WriteError &e) {
        err << e.what() << '\n';
        return kOutputFailed;
    }
    if (!all)
        err << "有的文件没有计算，见汇总「" << summary << "」。\n";
    return all ? 0 : kBatchIncomplete;
}

} // namespace chain::exporting
