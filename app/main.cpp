// chainadj: the calculator's window (computing at once from a data file
// given as argument), or with --replies or --data the replay mode, which
// answers the prompts from a file and prints the results. The text paths
// run without the toolkit; the window and PDF output load it from a
// module next to the executable or in the installation's library directory.
// A build without the window (CHAIN_GUI=OFF, as the Windows cross build)
// says so when the window or a PDF is asked for.
#include "adjust/record.h"
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
    "退出状态 (exit status): 0 已计算, 2 不符合任何计算情形, 3 图形退化无法计算, 4 已取消,\n"
    "  5 答复不足, 1 参数或文件错误, 6 报告或数据文件无法输出\n";

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
    for (int i = 1; i < argn; ++i) {
        const std::string a = args[i];
        const bool takesFile =
            a == "--replies" || a == "--data" || a == "--report-pdf" || a == "--save-data" || a == "--analysis-pdf";
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
    if (!replay && (opt.analysis || opt.json || !opt.betweenFrom.empty() || !opt.analysisPdf.empty())) {
        std::cerr << "--analysis、--json、--between 和 --analysis-pdf 须与 --replies 或 --data 一起使用。\n" << kUsage;
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
