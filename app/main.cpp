// chainadj: the calculator's window (computing at once from a data file
// given as argument), or with --replies or --data the replay mode, which
// answers the prompts from a file and prints the results. The text paths
// run without the toolkit; the window and PDF output load it from a
// module next to the executable or in the installation's library directory.
// A build without the window (CHAIN_GUI=OFF, as the Windows cross build)
// says so when the window or a PDF is asked for; one without libxlsxwriter
// and dxflib (CHAIN_XLSX_DXF=OFF) when a workbook or a drawing is.
#include "adjust/record.h"
#include "export/exports.h"
#include "replay.h"
#include "report/adjreport.h"

#include "platform.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const char *kUsage =
    "用法 (usage):\n"
    "  chainadj [FILE.chain]            打开计算窗口；给出数据文件时立即按文件计算\n"
    "                                   (open the window; with a data file, compute from it)\n"
    "  chainadj --replies FILE [--transcript] [--fields] [--report-text] [--report-pdf OUT] [--save-data OUT]\n"
    "      以文件中的答复回答各提示，计算一次后退出 (answer the prompts from FILE, \"-\" for standard input)\n"
    "  chainadj --data FILE.chain [--transcript] [--fields] [--report-text] [--report-pdf OUT] [--save-data OUT]\n"
    "      按数据文件计算一次后退出 (compute once from a data file, \"-\" for standard input)\n"
    "  --save-data OUT 把本次计算的数据写成数据文件 (write the data of the computation as a data file)\n"
    "  --analysis      严密平差与精度分析 (the precision analysis as text)\n"
    "  --json          全部结果为一个 JSON 对象 (all results as one JSON object)\n"
    "  --between P Q   两点间的距离、方位角及其精度 (distance and azimuth between two points, labels or names)\n"
    "  --analysis-pdf OUT  平差报告写成 PDF (the adjustment report as a PDF file)\n"
    "  --export-csv OUT    各点座标与精度写成 CSV (UTF-8) (points and precision as CSV)\n"
    "  --export-dat OUT    CASS 座标文件 .dat (GBK) (CASS coordinate file)\n"
    "  --export-xlsx OUT   Excel 工作簿 (Excel workbook)\n"
    "  --export-dxf OUT    DXF 图 (DXF drawing: points, sides, ellipses, names, scale bar)\n"
    "  chainadj --batch FILE.chain... --summary OUT.csv|OUT.xlsx\n"
    "      批量计算，每个文件一行汇总 (batch run: one summary row per data file)\n"
    "退出状态 (exit status): 0 已计算, 2 不符合任何计算情形, 3 图形退化无法计算, 4 已取消,\n"
    "  5 答复不足, 1 参数或文件错误, 6 报告、数据文件或导出文件无法输出,\n"
    "  7 批量计算中有文件没有计算 (--batch: some file did not compute)\n";


// The toolkit module: beside the executable (the build tree), else in the
// private library directory of an installation, found relative to the
// executable so that an installed tree still works after it is moved.
#ifndef CHAINADJ_GUI_RELDIR
#define CHAINADJ_GUI_RELDIR "../lib/chainadj"
#endif
void *loadGui(std::string &error)
{
#ifdef CHAIN_NO_GUI
    error = "这个版本没有计算窗口和 PDF 输出（构建时未包含图形界面），请用 --data 或 --replies 按文件计算，"
            "用 --report-text 得到文本报告";
    return nullptr;
#else
    namespace platform = chain::platform;
    const std::string dir = platform::executableDir();
    const std::string module = platform::moduleFileName("chainadj_gui");
    const std::string places[] = {dir + module, dir + CHAINADJ_GUI_RELDIR "/" + module};
    std::string tried;
    for (const std::string &path : places) {
        if (!platform::exists(path)) {
            tried += "\n  " + path;
            continue;
        }
        std::string why;
        void *h = platform::loadModule(path, why);
        if (!h)
            error = "无法加载窗口模块 " + path + "：" + why;
        return h;
    }
    error = "找不到窗口模块 " + module + "，查找过：" + tried;
    return nullptr;
#endif
}

// The toolkit's own command-line options that the window passes on to it:
// the number of values each takes, or -1 for an option nobody knows.
int toolkitOption(const std::string &a)
{
    std::string o = a.rfind("--", 0) == 0 ? a.substr(2) : a.substr(1);
    static const char *withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                      "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "geometry",
                                      "display", "name", "title", "dialogs", "fontengine", "qmljsdebugger"};
    static const char *plain[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "visual", "ncols", "cmap"};
    const std::string head = o.substr(0, o.find('='));
    for (const char *w : withValue)
        if (head == w)
            return o.size() > head.size() ? 0 : 1; // -platform=offscreen or -platform offscreen
    for (const char *w : plain)
        if (o == w)
            return 0;
    return -1;
}

using GuiMain = int (*)(int, char **);
using PdfMain = bool (*)(const chain::Record *, const char *, std::string *);
using AdjustmentPdfMain = bool (*)(const chain::report::AdjustmentReport *, const char *, std::string *);

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args = chain::platform::startProgram(argc, argv);
    const int argn = static_cast<int>(args.size());
    chain::ReplayOptions opt;
    bool replay = false;
    bool batch = false;
    std::vector<std::string> batchFiles;
    std::string summary;
    for (int i = 1; i < argn; ++i) {
        const std::string a = args[i];
        const bool takesFile = a == "--replies" || a == "--data" || a == "--report-pdf" || a == "--save-data" ||
                               a == "--analysis-pdf" || a == "--summary" || a.rfind("--export-", 0) == 0;
        if (takesFile && i + 1 >= argn) {
            std::cerr << a << " 后面须给出文件名。\n" << kUsage;
            return chain::kUsageOrFile;
        }
        if (a == "--replies") {
            opt.replies = args[++i];
            replay = true;
        } else if (a == "--data") {
            opt.data = args[++i];
            replay = true;
        } else if (a == "--save-data") {
            opt.saveData = args[++i];
            if (opt.saveData->empty()) {
                std::cerr << "--save-data 后面的文件名是空的，没有写入。请给出数据文件名。\n" << kUsage;
                return chain::kUsageOrFile;
            }
        } else if (a == "--transcript") {
            opt.transcript = true;
        } else if (a == "--fields") {
            opt.fields = true;
        } else if (a == "--report-text") {
            opt.reportText = true;
        } else if (a == "--report-pdf") {
            opt.reportPdf = args[++i];
            if (opt.reportPdf->empty()) {
                std::cerr << "--report-pdf 后面的文件名是空的，没有写入。请给出 PDF 文件名。\n" << kUsage;
                return chain::kUsageOrFile;
            }
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--analysis") {
            opt.analysis = true;
        } else if (a == "--json") {
            opt.json = true;
        } else if (a == "--analysis-pdf") {
            opt.analysisPdf = args[++i];
        } else if (a == "--export-csv" || a == "--export-dat" || a == "--export-xlsx" || a == "--export-dxf") {
            std::string &target = a == "--export-csv"    ? opt.exportCsv
                                  : a == "--export-dat"  ? opt.exportDat
                                  : a == "--export-xlsx" ? opt.exportXlsx
                                                         : opt.exportDxf;
            target = args[++i];
            if (target.empty()) {
                std::cerr << a << " 后面的文件名是空的，没有写入。请给出文件名。\n" << kUsage;
                return chain::kUsageOrFile;
            }
        } else if (a == "--batch") {
            batch = true;
            while (i + 1 < argn && args[i + 1].rfind("--", 0) != 0)
                batchFiles.emplace_back(args[++i]);
        } else if (a == "--summary") {
            summary = args[++i];
        } else if (a == "--between") {
            if (i + 2 >= argn) {
                std::cerr << "--between 后面须给出两个点（字母 A C E F D B 或点名）。\n" << kUsage;
                return chain::kUsageOrFile;
            }
            opt.betweenFrom = args[++i];
            opt.betweenTo = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            // The toolkit's options (-platform offscreen, -style ...) go to
            // the window with their values; any other option is an error.
            // --screenshot FILE is the window module's own.
            const int values = a == "--screenshot" ? (i + 1 < argn ? 1 : 0) : toolkitOption(a);
            if (values < 0) {
                std::cerr << "未知的选项 " << a << "。\n" << kUsage;
                return chain::kUsageOrFile;
            }
            i += values;
        }
        // Anything else goes to the window: a data file to compute from.
    }
    if (batch || !summary.empty()) {
        const bool others = replay || opt.exports() || opt.analysis || opt.json || !opt.betweenFrom.empty() ||
                            !opt.analysisPdf.empty() || opt.transcript || opt.fields || opt.reportText ||
                            opt.reportPdf || opt.saveData;
        if (others || !batch) {
            std::cerr << (others ? "--batch 只能与 --summary 一起使用（不能与 --data、--replies 或其他输出选项一起使用）。\n"
                                 : "--summary 须与 --batch 一起使用。\n")
                      << kUsage;
            return chain::kUsageOrFile;
        }
        return chain::exporting::runBatch(batchFiles, summary, std::cout, std::cerr);
    }
    if (!replay && (opt.analysis || opt.json || !opt.betweenFrom.empty() || !opt.analysisPdf.empty() || opt.exports())) {
        std::cerr << "--analysis、--json、--between、--analysis-pdf 和 --export-* 须与 --replies 或 --data 一起使用。\n"
                  << kUsage;
        return chain::kUsageOrFile;
    }
    if (!opt.replies.empty() && !opt.data.empty()) {
        std::cerr << "--replies 和 --data 只能用其中一个。\n" << kUsage;
        return chain::kUsageOrFile;
    }
    if (!replay && (opt.transcript || opt.fields || opt.reportText || opt.reportPdf || opt.saveData)) {
        std::cerr << "--transcript、--fields、--report-text、--report-pdf 和 --save-data 须与 --replies 或 --data 一起使用。\n"
                  << kUsage;
        return chain::kUsageOrFile;
    }

    if (replay) {
        // The PDF goes to the atomic writer's temporary file (app/replay.cpp).
        chain::PdfWriter pdf = [](const chain::Record &rec, const std::string &path, std::string &error) {
            void *h = loadGui(error);
            if (!h)
                return false;
            auto fn = reinterpret_cast<PdfMain>(chain::platform::moduleFunction(h, "chainadj_render_pdf"));
            if (!fn) {
                error = "窗口模块中没有 PDF 输出功能。";
                return false;
            }
            return fn(&rec, path.c_str(), &error);
        };
        chain::AdjustmentPdfWriter adjustmentPdf = [](const chain::report::AdjustmentReport &report,
                                                      const std::string &path, std::string &error) {
            void *h = loadGui(error);
            if (!h)
                return false;
            auto fn = reinterpret_cast<AdjustmentPdfMain>(chain::platform::moduleFunction(h, "chainadj_render_adjustment_pdf"));
            if (!fn) {
                error = "窗口模块中没有平差报告的 PDF 输出功能。";
                return false;
            }
            return fn(&report, path.c_str(), &error);
        };
        opt.exporter = chain::exporting::writeExports;
        return chain::runReplay(opt, std::cout, std::cerr, pdf, adjustmentPdf);
    }

    std::string error;
    void *h = loadGui(error);
    if (!h) {
        std::cerr << error << '\n';
        return chain::kUsageOrFile;
    }
    auto fn = reinterpret_cast<GuiMain>(chain::platform::moduleFunction(h, "chainadj_gui_main"));
    if (!fn) {
        std::cerr << "窗口模块不完整 (chainadj_gui_main)。\n";
        return chain::kUsageOrFile;
    }
    return fn(argc, argv);
}
