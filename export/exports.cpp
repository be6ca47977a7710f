// The points of a run, the CSV and CASS texts, the GBK conversion and the
// --export-* options of the replay mode.
#include "exports.h"

#include "app/analysisinput.h"
#include "app/atomicfile.h"
#include "app/platform.h"
#include "app/replay.h"
#include "base/fixed.h"

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace chain::exporting {
namespace {

using analysis::kLabelText;
using analysis::kPoints;

// A figure with `decimals` decimals; empty for one that is not finite, so
// that no "nan" or "inf" reaches a file.
std::string fixed(double v, int decimals) { return fixedDecimals(v, decimals, ""); }

bool computed(const AnalysisRun &run)
{
    return run.outcome == "computed" && !run.design && run.rec && run.caseNo >= 1 && run.caseNo <= 12 &&
           run.rec->X.size() >= 6 && run.rec->Y.size() >= 6 && run.rec->pn.size() >= 6;
}

} // namespace

std::vector<ExportPoint> exportPoints(const AnalysisRun &run)
{
    if (run.design)
        throw ExportError("预先分析只有近似座标，没有平差座标，没有导出。请用观测数据计算后再导出。");
    if (!computed(run))
        throw ExportError("没有计算结果，没有导出。请改正数据后重新计算。");
    const Record &rec = *run.rec;
    const analysis::Network net = networkFromRecord(rec, run.caseNo, {});
    std::vector<ExportPoint> points(kPoints);
    for (int i = 0; i <= 5; ++i) {
        const int p = routeLabel(run.caseNo, i);
        ExportPoint &e = points[static_cast<std::size_t>(p)];
        e.label = kLabelText[static_cast<std::size_t>(p)];
        e.name = rec.pn[static_cast<std::size_t>(i)];
        e.known = net.points[static_cast<std::size_t>(p)].known;
        e.x = rec.X[static_cast<std::size_t>(i)];
        e.y = rec.Y[static_cast<std::size_t>(i)];
    }
    if (run.engine) {
        for (const analysis::PointResult &r : run.engine->analyse().points) {
            ExportPoint &e = points[static_cast<std::size_t>(r.label)];
            e.x = r.x;
            e.y = r.y;
            e.hasSigma = r.hasSigma && std::isfinite(r.sp);
            if (e.hasSigma) {
                e.sx = r.sx, e.sy = r.sy, e.sp = r.sp;
                e.a = r.ellipse.a, e.b = r.ellipse.b, e.azimuth = r.ellipse.azimuth;
            }
        }
    }
    for (const ExportPoint &e : points)
        if (!std::isfinite(e.x) || !std::isfinite(e.y))
            throw ExportError("点 " + e.label + " 的座标不是有限的数，没有导出。");
    return points;
}

std::string coordinateSource(const AnalysisRun &run) { return run.engine ? "严密平差" : "经典平差"; }

std::string csvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string s = "\"";
    for (char c : text) {
        if (c == '"')
            s += '"';
        s += c;
    }
    return s + "\"";
}

std::string csvText(const AnalysisRun &run)
{
    const std::vector<ExportPoint> points = exportPoints(run);
    std::string s = "\xEF\xBB\xBF";
    auto row = [&](const std::vector<std::string> &cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            s += (i ? "," : "") + csvField(cells[i]);
        s += "\r\n";
    };
    row({"点名", "点号", "类别", "X(m)", "Y(m)", "σx(mm)", "σy(mm)", "σP(mm)", "椭圆a(mm)", "椭圆b(mm)",
         "长轴方位角(°)", "座标来源"});
    const std::string source = coordinateSource(run);
    for (const ExportPoint &p : points) {
        std::vector<std::string> cells = {p.name, p.label, p.known ? "已知点" : "待定点", fixed(p.x, 3), fixed(p.y, 3)};
        if (!p.known && p.hasSigma)
            for (std::string v : {fixed(p.sx, 2), fixed(p.sy, 2), fixed(p.sp, 2), fixed(p.a, 2), fixed(p.b, 2),
                                  fixed(p.azimuth, 5)})
                cells.push_back(v);
        else
            cells.resize(cells.size() + 6);
        cells.push_back(p.known ? "已知" : source);
        row(cells);
    }
    return s;
}

std::optional<std::string> toGbk(const std::string &utf8, std::string *bad)
{
    std::string out, why;
    const bool ok = platform::toGbk(utf8, out, why);
    if (bad)
        *bad = why;
    if (!ok)
        return std::nullopt;
    return out;
}

std::string datText(const AnalysisRun &run)
{
    const std::vector<ExportPoint> points = exportPoints(run);
    std::string utf8;
    for (const ExportPoint &p : points) {
        const std::string name = p.name.empty() ? p.label : p.name;
        if (name.find_first_of(",\"\r\n") != std::string::npos)
            throw ExportError("点名“" + name + "”含有逗号或引号，CASS 座标文件的一行以逗号分隔，没有写出。请改正点名。");
        std::string bad;
        if (!toGbk(name, &bad) && bad.empty())
            throw ExportError("系统没有 GBK 编码转换，CASS 座标文件没有写出。");
        if (!bad.empty())
            throw ExportError("点名“" + name + "”中的字符“" + bad +
                              "”不能用 GBK 编码表示，CASS 座标文件没有写出。请改用 GBK 能表示的字符。");
        // 点名,编码,东坐标(Y),北坐标(X),高程: no code, height 0.
        utf8 += name + ",," + fixed(p.y, 3) + "," + fixed(p.x, 3) + ",0\r\n";
    }
    std::optional<std::string> gbk = toGbk(utf8);
    if (!gbk)
        throw ExportError("无法转换为 GBK 编码，CASS 座标文件没有写出。");
    return *gbk;
}

void writeCsv(const std::string &path, const AnalysisRun &run) { writeFileAtomically(path, csvText(run)); }
void writeDat(const std::string &path, const AnalysisRun &run) { writeFileAtomically(path, datText(run)); }

int writeExports(const ReplayOptions &opt, const AnalysisRun &run, const DataSet &input, std::ostream &err)
{
    int status = 0;
    auto attempt = [&](const std::string &path, auto write) {
        if (path.empty())
            return;
        try {
            write(path);
        } catch (const ExportError &e) {
            err << "没有写出「" << path << "」：" << e.what() << '\n';
            status = kOutputFailed;
        } catch (const WriteError &e) {
            err << e.what() << '\n';
            if (status == 0)
                status = e.kind() == WriteError::NoName ? kUsageOrFile : kOutputFailed;
        }
    };
    attempt(opt.exportCsv, [&](const std::string &p) { writeCsv(p, run); });
    attempt(opt.exportDat, [&](const std::string &p) { writeDat(p, run); });
    attempt(opt.exportXlsx, [&](const std::string &p) { writeXlsx(p, run, input); });
    attempt(opt.exportDxf, [&](const std::string &p) { writeDxf(p, run); });
    return status;
}

} // namespace chain::exporting
