#include "adjustmentreport.h"

#include "chainfile.h"
#include "replay.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chain {
namespace {

std::string reason(int e)
{
    switch (e) {
    case ENOENT: return "目录不存在";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOSPC: return "磁盘已满";
    case EDQUOT: return "超出磁盘配额";
    case EROFS: return "只读的文件系统";
    case EISDIR: return "这是一个目录";
    default: return std::strerror(e);
    }
}

// A whole PDF: the header at the start, the end-of-file marker near the end.
bool wholePdf(const std::string &path)
{
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char head[5] = {};
    const bool start = std::fread(head, 1, 5, f) == 5 && std::memcmp(head, "%PDF-", 5) == 0;
    bool end = false;
    if (start && std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        const long tail = size < 1024 ? size : 1024;
        std::string buf(static_cast<std::size_t>(tail), '\0');
        if (std::fseek(f, size - tail, SEEK_SET) == 0 && std::fread(buf.data(), 1, buf.size(), f) == buf.size())
            end = buf.find("%%EOF") != std::string::npos;
    }
    std::fclose(f);
    return start && end;
}

} // namespace

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
    if (!localtime_r(&now, &tm))
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

std::string writePdfReplacing(const std::string &path, const std::function<std::string(const std::string &tmp)> &write)
{
    const std::string shown = "「" + path + "」";
    if (path.empty())
        return "没有给出 PDF 文件名，平差报告没有写出。";
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return shown + "是一个目录，平差报告没有写出。请给出文件名。";
    mode_t mode = 0;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return "无法写入" + shown + "：" + reason(errno) + "。平差报告没有写出；请检查目录是否存在、是否有写入权限。";
    ::close(fd);
    auto fail = [&](const std::string &why) {
        ::unlink(tmp.c_str());
        return "无法写入" + shown + "：" + why + "。平差报告没有写出，原有的文件没有改动。";
    };
    const std::string error = write(tmp);
    if (!error.empty())
        return fail(error);
    if (!wholePdf(tmp))
        return fail("生成的 PDF 文件不完整");
    const int sync = ::open(tmp.c_str(), O_RDONLY);
    if (sync < 0 || ::fchmod(sync, mode) != 0 || ::fsync(sync) != 0) {
        const int e = errno;
        if (sync >= 0)
            ::close(sync);
        return fail(reason(e));
    }
    ::close(sync);
    if (::rename(tmp.c_str(), path.c_str()) != 0)
        return fail(reason(errno));
    return {};
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
    const std::string error = writePdfReplacing(out, [&](const std::string &tmp) -> std::string {
        std::string why;
        if (!pdf)
            return "没有 PDF 输出功能";
        if (!pdf(model, tmp, why))
            return why.empty() ? std::string("PDF 没有生成") : why;
        return {};
    });
    if (!error.empty()) {
        err << error << '\n';
        return kOutputFailed;
    }
    return 0;
}

} // namespace chain
