#include "replay.h"

#include "adjustmentreport.h"
#include "atomicfile.h"
#include "chainfile.h"
#include "compute.h"
#include "fields.h"
#include "replies.h"
#include "analysisout.h"
#include "report/report.h"

#include <stdexcept>

namespace chain {

int runReplay(const ReplayOptions &opt, std::ostream &out, std::ostream &err, const PdfWriter &pdf,
              const AdjustmentPdfWriter &adjustmentPdf)
{
    std::vector<std::string> replies;
    DataSet dataSet;
    if (!opt.data.empty()) {
        // A data file becomes the replies a surveyor would type; a file that
        // cannot be used computes nothing and prints nothing.
        try {
            dataSet = readDataFile(opt.data);
            if (designOf(dataSet))
                return runDesignReplay(opt, dataSet, adjustmentPdf, out, err);
            replies = repliesFor(dataSet);
        } catch (const DataFileError &e) {
            err << e.what() << '\n';
            return e.noCase() ? static_cast<int>(Outcome::NoCase) : kUsageOrFile;
        }
    } else {
        try {
            replies = readReplies(opt.replies);
        } catch (const std::exception &e) {
            err << e.what() << '\n';
            return kUsageOrFile;
        }
    }

    Record rec;
    FieldTable fields;
    ScriptedPrompter prompter(std::move(replies));
    int status = 0;
    std::string message;
    try {
        const ComputeResult r = Command1_Click(rec, prompter, fields);
        status = static_cast<int>(r.outcome);
        message = r.message;
        if (!r.message.empty())
            err << r.message << '\n';
        if (r.outcome == Outcome::Cancelled)
            err << "已取消：没有进行计算。\n";
    } catch (const RepliesExhausted &e) {
        err << e.what() << '\n';
        status = kRepliesExhausted;
        message = e.what();
    }

    if (opt.transcript)
        for (const auto &[text, reply] : prompter.transcript())
            out << text << '\t' << reply << '\n';
    if (opt.fields)
        out << fields.dump();
    if (opt.reportText)
        out << report::renderText(report::build(rec));
    const bool computed = status == static_cast<int>(Outcome::Computed);
    if (opt.reportPdf) {
        if (!computed) {
            err << "没有计算结果，没有写出 PDF 报告" << "「" + *opt.reportPdf + "」" << "（原有的文件没有改动）。\n";
        } else {
            try {
                writeFileAtomically(*opt.reportPdf, [&](const std::string &tmp) -> std::string {
                    std::string error;
                    if (!pdf || !pdf(rec, tmp, error))
                        return error.empty() ? std::string("PDF 报告没有生成") : error;
                    return pdfProblem(tmp);
                });
            } catch (const WriteError &e) {
                err << e.what() << '\n';
                if (status == 0)
                    status = kOutputFailed;
            }
        }
    }
    if (opt.saveData) {
        try {
            if (!hasComputation(rec))
                throw std::runtime_error("没有进行计算，没有可保存的数据：「" + *opt.saveData + "」没有写入。");
            // The computation's values with the analysis settings and the
            // report header of the data file it came from.
            DataSet saved = dataOf(rec);
            putAdjustmentSettings(saved, adjustmentSettingsOf(dataSet));
            writeDataFile(*opt.saveData, saved);
            if (!computed)
                err << "计算没有完成；本次输入的数据已保存到" << "「" + *opt.saveData + "」" << "，可以改正后再计算。\n";
        } catch (const std::exception &e) {
            err << e.what() << '\n';
            if (status == 0)
                status = kOutputFailed;
        }
    }
    if (opt.analysis || opt.json || !opt.betweenFrom.empty() || !opt.analysisPdf.empty() || opt.exports()) {
        const int s = writeAnalysisOutputs(opt, rec, fields, status, message, dataSet, adjustmentPdf, out, err);
        if (status == 0)
            status = s;
    }
    out.flush();
    return status;
}

} // namespace chain
