#include "adjustmentreport.h"

#include "atomicfile.h"
#include "chainfile.h"
#include "platform.h"
#include "replay.h"

#include <cstdio>
#include <ctime>

namespace chain {
report::ReportHeader reportHeaderOf(const DataSet &d)
{
    report::ReportHeader h;
    auto v = [&](int k) { return d.header.value[static_cast<std::size_t>(k)].value_or(std::string()); };
    h.project = v(HeaderKeys::project);
    h.operatorName = v(HeaderKeys::operatorName);
    h.instrument = v(HeaderKeys::instrument);
    h.date = v(HeaderKeys::date);
    return h;
}

AdjustmentSettings adjustmentSettingsOf(const DataSet &d) { return {analysisOptionsOf(d), reportHeaderOf(d)}; }

void putAdjustmentSettings(DataSet &d, const AdjustmentSettings &s)
{
    auto number = [&](int k, const std::optional<double> &v) {
        d.analysis.value[static_cast<std::size_t>(k)] = v ? std::optional<std::string>(shortestText(*v)) : std::nullopt;
    };
    number(AnalysisKeys::sigma_a, s.options.sigmaA);
    number(AnalysisKeys::sigma_b, s.options.sigmaB);
    number(AnalysisKeys::sigma_q, s.options.sigmaQ);
    const analysis::GradeLimits *g = analysis::gradeLimits(s.options.grade);
    d.analysis.value[AnalysisKeys::grade] = g ? std::optional<std::string>(g->name) : std::nullopt;
    auto text = [&](int k, const std::string &v) {
        d.header.value[static_cast<std::size_t>(k)] = v.empty() ? std::nullopt : std::optional<std::string>(v);
    };
    text(HeaderKeys::project, s.header.project);
    text(HeaderKeys::operatorName, s.header.operatorName);
    text(HeaderKeys::instrument, s.header.instrument);
    text(HeaderKeys::date, s.header.date);
}

std::optional<report::AdjustmentReport> adjustmentReportOfRecord(const Record &rec, const std::string &title,
                                                                 const AdjustmentSettings &settings,
                                                                 const std::string &today, std::string *why)
{
    if (rec.caseNo < 1 || rec.caseNo > 12 || !hasComputation(rec) || rec.X.size() < 6 || rec.Y.size() < 6) {
        if (why)
            *why = "还没有计算结果，没有平差报告。请先按“计 算”。";
        return std::nullopt;
    }
    AnalysisRun run;
    run.rec = &rec;
    run.caseNo = rec.caseNo;
    run.outcome = "computed";
    run.title = title;
    analyseRecord(run, settings.options);
    return adjustmentReportOf(run, settings.header, today);
}

std::string todayText()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (!platform::localTime(now, tm))
        return {};
    char buf[32];
    return std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm) ? std::string(buf) : std::string();
}

report::AdjustmentReport adjustmentReportOf(const AnalysisRun &run, const report::ReportHeader &header,
                                            const std::string &today)
{
    report::AdjustmentInput in;
    in.record = run.design ? nullptr : run.rec;
    in.caseNo = run.caseNo;
    in.title = run.title;
    in.design = run.design;
    for (int i = 0; i <= 5; ++i)
        in.routeLabels[static_cast<std::size_t>(i)] = routeLabel(run.caseNo, i);
    in.classicWeakest = run.caseNo >= 1 && run.caseNo <= 12 ? classicWeakestLabel(run.caseNo) : -1;
    in.engine = run.engine ? &*run.engine : nullptr;
    in.analysisMessage = run.analysisMessage;
    in.header = header;
    in.today = today;
    return report::buildAdjustmentReport(in);
}

int writeAdjustmentReport(const std::string &out, const AnalysisRun &run, const DataSet &d,
                          const AdjustmentPdfWriter &pdf, std::ostream &err)
{
    // A pre-analysis without a solution computed nothing either.
    if (run.outcome != "computed" || (run.design && !run.engine)) {
        err << "没有计算结果，平差报告没有写出「" << out << "」（原有的文件没有改动）。\n";
        return 0;
    }
    const report::AdjustmentReport model = adjustmentReportOf(run, reportHeaderOf(d), todayText());
    try {
        writeFileAtomically(out, [&](const std::string &tmp) -> std::string {
            std::string why;
            if (!pdf)
                return "没有 PDF 输出功能";
            if (!pdf(model, tmp, why))
                return why.empty() ? std::string("PDF 没有生成") : why;
            return pdfProblem(tmp);
        });
    } catch (const WriteError &e) {
        err << e.what() << '\n';
        return e.kind() == WriteError::NoName ? kUsageOrFile : kOutputFailed;
    }
    return 0;
}

} // namespace chain
