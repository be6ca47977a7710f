#include "replay.h"

#include "chainfile.h"
#include "compute.h"
#include "fields.h"
#include "replies.h"
#include "report/report.h"

#include <stdexcept>

namespace chain {

int runReplay(const ReplayOptions &opt, std::ostream &out, std::ostream &err, const PdfWriter &pdf)
{
    std::vector<std::string> replies;
    if (!opt.data.empty()) {
        // A data file becomes the replies a surveyor would type; a file that
        // cannot be used computes nothing and prints nothing.
        try {
            replies = repliesFor(readDataFile(opt.data));
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
    try {
        const ComputeResult r = Command1_Click(rec, prompter, fields);
        status = static_cast<int>(r.outcome);
        if (!r.message.empty())
            err << r.message << '\n';
        if (r.outcome == Outcome::Cancelled)
            err << "已取消：没有进行计算。\n";
    } catch (const RepliesExhausted &e) {
        err << e.what() << '\n';
        status = kRepliesExhausted;
    }

    if (opt.transcript)
        for (const auto &[text, reply] : prompter.transcript())
            out << text << '\t' << reply << '\n';
    if (opt.fields)
        out << fields.dump();
    if (opt.reportText)
        out << report::renderText(report::build(rec));
    if (!opt.reportPdf.empty()) {
        std::string error;
        if (!pdf || !pdf(rec, opt.reportPdf, error)) {
            err << (error.empty() ? "无法生成 PDF 报告。" : error) << '\n';
            if (status == 0)
                status = kOutputFailed;
        }
    }
    if (!opt.saveData.empty()) {
        try {
            if (!hasComputation(rec))
                throw std::runtime_error("没有进行计算，没有可保存的数据：" + opt.saveData + " 没有写入。");
            writeDataFile(opt.saveData, dataOf(rec));
        } catch (const std::exception &e) {
            err << e.what() << '\n';
            if (status == 0)
                status = kOutputFailed;
        }
    }
    out.flush();
    return status;
}

} // namespace chain
