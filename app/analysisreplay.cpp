// The analysis outputs of the replay mode: after the classic outputs the
// text section, the JSON object and the pair of points asked for.
#include "analysisout.h"
#include "adjustmentreport.h"
#include "chainfile.h"
#include "compute.h"
#include "fields.h"
#include "replay.h"

namespace chain {

const char *outcomeName(int status)
{
    switch (status) {
    case static_cast<int>(Outcome::Computed): return "computed";
    case static_cast<int>(Outcome::NoCase): return "nocase";
    case static_cast<int>(Outcome::Degenerate): return "degenerate";
    case static_cast<int>(Outcome::Cancelled): return "cancelled";
    default: return "incomplete";
    }
}

namespace {

int writeOutputs(const ReplayOptions &opt, const AnalysisRun &run, std::ostream &out, std::ostream &err)
{
    if (!run.engine && !run.analysisMessage.empty() && run.outcome == "computed")
        err << run.analysisMessage << '\n';
    if (opt.analysis)
        out << analysisText(run);
    if (opt.json)
        out << analysisJson(run);
    if (!opt.betweenFrom.empty()) {
        if (!run.engine) {
            err << "--between：" << run.analysisMessage << '\n';
            return 0;
        }
        const int p = findPoint(run.engine->network(), opt.betweenFrom);
        const int q = findPoint(run.engine->network(), opt.betweenTo);
        if (p < 0 || q < 0 || p == q) {
            err << "--between：" << (p < 0 ? "没有点“" + opt.betweenFrom + "”"
                                           : q < 0 ? "没有点“" + opt.betweenTo + "”" : std::string("两个点相同"))
                << "。请用字母 A C E F D B 或点名指定两个不同的点。\n";
            return kUsageOrFile;
        }
        out << betweenText(*run.engine, p, q);
    }
    return 0;
}

// The exports of a run: nothing is written when it did not compute.
int writeExportOutputs(const ReplayOptions &opt, const AnalysisRun &run, const DataSet &input, std::ostream &err)
{
    if (!opt.exports())
        return 0;
    if (run.outcome != "computed") {
        for (const std::string *f : {&opt.exportCsv, &opt.exportDat, &opt.exportXlsx, &opt.exportDxf})
            if (!f->empty())
                err << "没有计算结果，没有导出「" << *f << "」（原有的文件没有改动）。\n";
        return 0;
    }
    if (!opt.exporter) {
        err << "没有导出功能，没有写出导出文件。\n";
        return kOutputFailed;
    }
    return opt.exporter(opt, run, input, err);
}

} // namespace

int writeAnalysisOutputs(const ReplayOptions &opt, const Record &rec, const FieldTable &fields, int status,
                         const std::string &message, const DataSet &data, const AdjustmentPdfWriter &pdf,
                         std::ostream &out, std::ostream &err)
{
    AnalysisRun run;
    run.rec = &rec;
    run.caseNo = rec.caseNo;
    run.outcome = outcomeName(status);
    run.message = message;
    if (run.outcome == std::string("computed"))
        run.title = fields.text("Text24");
    analyseRecord(run, analysisOptionsOf(data));
    int s = writeOutputs(opt, run, out, err);
    if (!opt.analysisPdf.empty()) {
        const int p = writeAdjustmentReport(opt.analysisPdf, run, data, pdf, err);
        if (s == 0)
            s = p;
    }
    // The values as typed: the data file's, or the replies' kept in the record.
    bool fromFile = false;
    for (const auto &v : data.value)
        fromFile = fromFile || v.has_value();
    const int x = writeExportOutputs(opt, run, fromFile ? data : dataOf(rec), err);
    if (s == 0)
        s = x;
    return s;
}

int runDesignReplay(const ReplayOptions &opt, const DataSet &d, const AdjustmentPdfWriter &pdf, std::ostream &out,
                    std::ostream &err)
{
    AnalysisRun run;
    analyseDesign(run, d);
    if (run.outcome != "computed")
        err << run.message << '\n';
    int s = writeOutputs(opt, run, out, err);
    if (!opt.analysisPdf.empty()) {
        const int p = writeAdjustmentReport(opt.analysisPdf, run, d, pdf, err);
        if (s == 0)
            s = p;
    }
    if (const int x = writeExportOutputs(opt, run, d, err); s == 0)
        s = x;
    out.flush();
    if (run.outcome != "computed")
        return static_cast<int>(Outcome::NoCase);
    if (!run.engine) // its message went out with the outputs
        return static_cast<int>(Outcome::Degenerate);
    return s;
}

} // namespace chain
