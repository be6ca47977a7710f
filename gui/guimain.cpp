// The toolkit module libchainadj_gui.so, loaded by chainadj for the window
// and for PDF output (app/main.cpp).
#include "adjust/record.h"
#include "app/atomicfile.h"
#include "report/fonts.h"
#include "form2.h"
#include "menus.h"
#include "report/adjprinter.h"
#include "report/printer.h"
#include "report/report.h"
#include "translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QPixmap>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#define CHAINADJ_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A login shell without a session (a root shell, a CI job) has no
// XDG_RUNTIME_DIR; the toolkit would fall back to /tmp/runtime-<user> and
// say so on stderr in English. The same kind of folder, made private here,
// keeps the program's output to its own messages.
void ensureRuntimeDir()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return;
    const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
    struct stat st{};
    if (::mkdir(dir.c_str(), 0700) == 0 ||
        (::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0))
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

// Without a display and without an explicit platform, Qt's offscreen
// platform, so that tests and CI run without an X server.
void choosePlatform(int argc, char **argv)
{
    ensureRuntimeDir();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return;
    const auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// A toolkit application for writing a PDF from the command line, when none
// runs yet (nothing when the window's own application is there).
std::unique_ptr<QApplication> applicationForPdf()
{
    static int argc = 1;
    static char name[] = "chainadj";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return nullptr;
    choosePlatform(argc, argv);
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

CHAINADJ_EXPORT int chainadj_gui_main(int argc, char **argv)
{
    // Our own options come out of the argument list; the rest is Qt's.
    QString screenshot;
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--screenshot") == 0) {
            if (i + 1 >= argc) {
                std::fputs("--screenshot 需要一个 PNG 文件名。\n", stderr);
                return 1;
            }
            screenshot = QFile::decodeName(argv[++i]);
            continue;
        }
        args.push_back(argv[i]);
    }
    int qtArgc = static_cast<int>(args.size());
    args.push_back(nullptr);

    choosePlatform(qtArgc, args.data());
    QApplication app(qtArgc, args.data());
    QApplication::setApplicationName(QStringLiteral("chainadj"));
    if (!chain::gui::installQtTranslations())
        std::fputs("Qt 的中文翻译没有安装 (qt6-translations-l10n)：对话框的按钮将显示英文。\n", stderr);
    chain::fonts::installFontSubstitutions();
    QApplication::setFont(chain::fonts::sansFont(9));

    chain::gui::Form2 window;
    chain::gui::installMenus(window); // and computes from a data file named on the command line
    QObject::connect(&window, &chain::gui::Form2::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();

    if (!screenshot.isEmpty()) {
        QCoreApplication::processEvents();
        const QPixmap shot = window.grab();
        try {
            chain::writeFileAtomically(QFile::encodeName(screenshot).toStdString(), [&](const std::string &tmp) {
                return !shot.isNull() && shot.save(QFile::decodeName(tmp.c_str()), "PNG") ? std::string()
                                                                                         : std::string("截图没有生成");
            });
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}

CHAINADJ_EXPORT bool chainadj_render_pdf(const chain::Record *record, const char *path, std::string *error)
{
    static const chain::Record empty;
    const std::unique_ptr<QApplication> own = applicationForPdf();
    chain::fonts::installFontSubstitutions();

    QString message;
    const bool ok = chain::report::writePdf(chain::report::build(record ? *record : empty),
                                            QFile::decodeName(path ? path : ""), &message);
    if (!ok && error)
        *error = message.isEmpty() ? std::string("无法生成 PDF 报告。") : message.toStdString();
    return ok;
}

// The adjustment report (平差报告) as a PDF file at `path`, written there
// directly; the executable names a temporary file and renames it.
CHAINADJ_EXPORT bool chainadj_render_adjustment_pdf(const chain::report::AdjustmentReport *report, const char *path,
                                                    std::string *error)
{
    const std::unique_ptr<QApplication> own = applicationForPdf();
    if (!report) {
        if (error)
            *error = "没有平差报告可以输出。";
        return false;
    }
    chain::fonts::installFontSubstitutions();
    QString message;
    const bool ok = chain::report::writeAdjustmentPdf(*report, QFile::decodeName(path ? path : ""), &message);
    if (!ok && error)
        *error = message.isEmpty() ? std::string("无法生成平差报告 PDF。") : message.toStdString();
    return ok;
}
