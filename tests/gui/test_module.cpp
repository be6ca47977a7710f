// The toolkit module as the executable loads it: the window's --screenshot
// option, the offscreen platform without a display, and PDF output for the
// replay mode through chainadj_render_pdf.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The environment of a machine without a display.
QProcessEnvironment headless()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

int run(const QStringList &args, QByteArray *err = nullptr, const QByteArray &input = {})
{
    QProcess p;
    p.setProcessEnvironment(headless());
    p.start(QStringLiteral(CHAINADJ_EXE), args);
    if (!p.waitForStarted(5000))
        return -1;
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return -2;
    }
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -3;
}

} // namespace

class TestModule : public QObject {
    Q_OBJECT

private slots:
    void screenshotWithoutDisplay();
    void screenshotNeedsAFile();
    void pdfThroughTheModule();
    void moduleThatCannotLoad_data();
    void moduleThatCannotLoad();
};

void TestModule::screenshotWithoutDisplay()
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("form2.png"));
    QByteArray err;
    QCOMPARE(run({QStringLiteral("--screenshot"), png}, &err), 0);
    const QImage img(png);
    QVERIFY2(!img.isNull(), err.constData());
    // The form (15 900 by 10 800 twips, 1060 by 720 at 96 dpi) is wider
    // than the offscreen screen (800 by 800): the window takes the screen's
    // width, the form shrunk to fit it, with the bars around it.
    const QSizeF size = img.size() / img.devicePixelRatio();
    QVERIFY2(size.width() > 760 && size.width() <= 800 && size.height() > 0.7 * 720 && size.height() < 720,
             qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
}

void TestModule::screenshotNeedsAFile()
{
    QByteArray err;
    QCOMPARE(run({QStringLiteral("--screenshot")}, &err), 1);
    QVERIFY(!err.isEmpty());
    QTemporaryDir dir;
    QCOMPARE(run({QStringLiteral("--screenshot"), dir.filePath(QStringLiteral("no/such/dir/x.png"))}, &err), 1);
}

void TestModule::pdfThroughTheModule()
{
    // Only A known, no case: nothing computed, so no report is written.
    QByteArray replies;
    for (const char *v : {"1000", "1000", "0", "0", "0", "0", "0", "0", "300", "60"})
        replies += QByteArray(v) + "\n\n";
    for (const char *n : {"A", "C", "E", "F", "D", "B"})
        replies += QByteArray(n) + "\n\n";
    for (int i = 1; i <= 10; ++i)
        replies += "100\n\n";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QByteArray err;
    const int status = run({QStringLiteral("--replies"), QStringLiteral("-"), QStringLiteral("--report-pdf"), pdf},
                           &err, replies);
    QCOMPARE(status, 2);
    QVERIFY2(QString::fromUtf8(err).contains(QStringLiteral("没有写出 PDF 报告")), err.constData());
    QVERIFY(!QFile::exists(pdf));

    // A computed chain: the module renders the PDF.
    QFile example(QStringLiteral(CHAIN_EXAMPLES "/case1.replies"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QByteArray one = example.readAll();
    QCOMPARE(run({QStringLiteral("--replies"), QStringLiteral("-"), QStringLiteral("--report-pdf"), pdf}, &err, one), 0);
    QFile f(pdf);
    QVERIFY2(f.open(QIODevice::ReadOnly), err.constData());
    QCOMPARE(f.read(5), QByteArray("%PDF-"));
    // An unwritable path: the writer's message, status 6.
    QCOMPARE(run({QStringLiteral("--replies"), QStringLiteral("-"), QStringLiteral("--report-pdf"),
                  dir.filePath(QStringLiteral("no/such/dir/r.pdf"))},
                 &err, one),
             6);
    QVERIFY2(QString::fromUtf8(err).contains(QStringLiteral("不存在")), err.constData());
}

// A copy of the executable beside a module the loader refuses: the message
// says in Chinese what is wrong and what to do, and no PDF is written.
void TestModule::moduleThatCannotLoad_data()
{
    QTest::addColumn<QByteArray>("module");
    QTest::addColumn<QString>("expected");
    QFile real(QFileInfo(QStringLiteral(CHAINADJ_EXE)).dir().filePath(QStringLiteral("libchainadj_gui.so")));
    QVERIFY(real.open(QIODevice::ReadOnly));
    QByteArray missing = real.readAll();
    // The same module asking for a library no machine has: one letter of a
    // dependency's name changed in place.
    QVERIFY(missing.contains("libQt6Widgets.so.6"));
    missing.replace("libQt6Widgets.so.6", "libQt6Widgetz.so.6");
    QTest::newRow("missing library") << missing << QStringLiteral("缺少它所需的库 libQt6Widgetz.so.6。请安装 Qt 6 的运行库");
    QTest::newRow("not a library") << QByteArray("not a shared object\n")
                                   << QStringLiteral("这不是可用的模块文件（已损坏或不完整）。请重新安装本程序。");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("这不是可用的模块文件");
}

void TestModule::moduleThatCannotLoad()
{
    QFETCH(QByteArray, module);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("chainadj"));
    QVERIFY(QFile::copy(QStringLiteral(CHAINADJ_EXE), exe));
    QFile m(dir.filePath(QStringLiteral("libchainadj_gui.so")));
    QVERIFY(m.open(QIODevice::WriteOnly));
    m.write(module);
    m.close();
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    QProcess p;
    p.setProcessEnvironment(headless());
    p.start(exe, {QStringLiteral("--data"), QStringLiteral(CHAIN_EXAMPLES "/case1.chain"), QStringLiteral("--report-pdf"), pdf});
    QVERIFY(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), 6);
    QVERIFY2(err.contains(QStringLiteral("无法加载窗口模块 ") + m.fileName() + QStringLiteral("：") + expected), qPrintable(err));
    QVERIFY(!QFile::exists(pdf));
}

QTEST_GUILESS_MAIN(TestModule)
#include "test_module.moc"
