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
    void screenshotFitsTheScreen_data();
    void screenshotFitsTheScreen();
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
}

// The window on screens of several sizes (the offscreen platform's screen
// set by a configuration file): on a large one the form at its size in
// twips with the bars around it; on smaller ones the window fits the
// screen, the form shrunk to fit, and scrolls only below the smallest
// fitting zoom.
void TestModule::screenshotFitsTheScreen_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("natural");
    QTest::newRow("1920x1040") << 1920 << 1040 << true;
    QTest::newRow("1366x728") << 1366 << 728 << false;
    QTest::newRow("1280x680") << 1280 << 680 << false;
    QTest::newRow("800x560") << 800 << 560 << false;
}

void TestModule::screenshotFitsTheScreen()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, natural);
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(R"({"screens":[{"name":"s","x":0,"y":0,"width":%1,"height":%2,"logicalDpi":96}]})")
                     .arg(width)
                     .arg(height)
                     .toUtf8());
    config.close();
    const QString png = dir.filePath(QStringLiteral("form2.png"));
    QByteArray err;
    QCOMPARE(run({QStringLiteral("-platform"), QStringLiteral("offscreen:configfile=") + config.fileName(),
                  QStringLiteral(CHAIN_EXAMPLES "/case1.chain"), QStringLiteral("--screenshot"), png},
                 &err),
             0);
    const QImage img(png);
    QVERIFY2(!img.isNull(), err.constData());
    const int formW = 15900 * 96 / 1440, formH = 10800 * 96 / 1440;
    if (natural) {
        // Menu bar, tool bar and status bar above and below the form.
        QVERIFY2(img.width() >= formW && img.width() <= formW + 8, qPrintable(QString::number(img.width())));
        const int bars = img.height() - formH;
        QVERIFY2(bars > 40 && bars < 140, qPrintable(QString::number(bars)));
    } else {
        QVERIFY2(img.width() <= width && img.height() < height, qPrintable(QStringLiteral("%1x%2").arg(img.width()).arg(img.height())));
        QVERIFY(img.width() > width / 2 && img.height() > height * 3 / 4);
    }
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
