// chainadj: the calculator's window, or with --replies the replay mode,
// which answers the prompts from a file and prints the results. The text
// paths run without the toolkit; the window and PDF output load it from
// the module next to the executable.
#include "adjust/record.h"
#include "replay.h"

#include <cstring>
#include <dlfcn.h>
#include <iostream>
#include <limits.h>
#include <string>
#include <unistd.h>

namespace {

const char *kUsage =
    "用法 (usage):\n"
    "  chainadj                         打开计算窗口 (open the window)\n"
    "  chainadj --replies FILE [--transcript] [--fields] [--report-text] [--report-pdf OUT]\n"
    "      以文件中的答复回答各提示，计算一次后退出 (answer the prompts from FILE, \"-\" for standard input)\n"
    "退出状态 (exit status): 0 已计算, 2 不符合任何计算情形, 3 图形退化无法计算, 4 已取消,\n"
    "  5 答复不足, 1 参数或文件错误, 6 报告无法输出\n";

// The toolkit module beside the executable.
void *loadGui(std::string &error)
{
    char self[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string("./chainadj");
    dir = dir.substr(0, dir.find_last_of('/') + 1);
    void *h = ::dlopen((dir + "libchainadj_gui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char *e = ::dlerror();
        error = std::string("无法加载窗口模块 libchainadj_gui.so：") + (e ? e : "");
    }
    return h;
}

using GuiMain = int (*)(int, char **);
using PdfMain = bool (*)(const chain::Record *, const char *, std::string *);

} // namespace

int main(int argc, char **argv)
{
    chain::ReplayOptions opt;
    bool replay = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--replies" && i + 1 < argc) {
            opt.replies = argv[++i];
            replay = true;
        } else if (a == "--transcript") {
            opt.transcript = true;
        } else if (a == "--fields") {
            opt.fields = true;
        } else if (a == "--report-text") {
            opt.reportText = true;
        } else if (a == "--report-pdf" && i + 1 < argc) {
            opt.reportPdf = argv[++i];
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        // Anything else goes to the window (toolkit options such as -platform).
    }
    if (!replay && (opt.transcript || opt.fields || opt.reportText || !opt.reportPdf.empty())) {
        std::cerr << "--transcript、--fields、--report-text 和 --report-pdf 须与 --replies 一起使用。\n" << kUsage;
        return chain::kUsageOrFile;
    }

    if (replay) {
        chain::PdfWriter pdf = [argc, argv](const chain::Record &rec, const std::string &path, std::string &error) {
            (void)argc;
            (void)argv;
            void *h = loadGui(error);
            if (!h)
                return false;
            auto fn = reinterpret_cast<PdfMain>(::dlsym(h, "chainadj_render_pdf"));
            if (!fn) {
                error = "窗口模块中没有 PDF 输出功能。";
                return false;
            }
            return fn(&rec, path.c_str(), &error);
        };
        return chain::runReplay(opt, std::cout, std::cerr, pdf);
    }

    std::string error;
    void *h = loadGui(error);
    if (!h) {
        std::cerr << error << '\n';
        return chain::kUsageOrFile;
    }
    auto fn = reinterpret_cast<GuiMain>(::dlsym(h, "chainadj_gui_main"));
    if (!fn) {
        std::cerr << "窗口模块不完整 (chainadj_gui_main)。\n";
        return chain::kUsageOrFile;
    }
    return fn(argc, argv);
}
