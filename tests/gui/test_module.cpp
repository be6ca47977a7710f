// The toolkit module as the executable loads it: the window's --screenshot
// option, the offscreen platform without a display, and PDF output for the
// replay mode through chainadj_render_pdf.
#include <QFile>
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
    // Only A known, no case: the report has its title lines.
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
    QCOMPARE(status, 2); // no matching case; the PDF is written all the same
    QFile f(pdf);
    QVERIFY2(f.open(QIODevice::ReadOnly), err.constData());
    QCOMPARE(f.read(5), QByteArray("%PDF-"));
    // An unwritable path: the module's message, a non-zero status.
    QVERIFY(run({QStringLiteral("--replies"), QStringLiteral("-"), QStringLiteral("--report-pdf"),
                 dir.filePath(QStringLiteral("no/such/dir/r.pdf"))},
                &err, replies) != 0);
    QVERIFY(!err.isEmpty());
}

QTEST_GUILESS_MAIN(TestModule)
#include "test_module.moc"
