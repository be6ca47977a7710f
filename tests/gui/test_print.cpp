// The report on a printer: the layout of the items on the page, the PDF file
// and the errors a printer or a file can give.
#include "adjust/record.h"
#include "report/printer.h"
#include "report/report.h"
#include "support/process.h"
#include "support/records.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using chain::Record;
using namespace chain::report;

namespace {

const QString title = QStringLiteral("--- 二连续四边形三边平差 ---");
const QString subtitle1 = QStringLiteral("( 有定向的纵横座标条件但无方位角条件 )");

// The case-1 record of the report tests, with the figures these layouts
// are checked on: S(6), X(4), Y(1) and px of their own, ta and qa not
// converted.
Record case1Record()
{
    Record r = testchain::case1Record();
    r.ta = 0;
    r.qa = 0;
    r.S[6] = 743.26;
    r.X[4] = 3386510.9;
    r.Y[1] = 39513001.2226;
    r.px = 0.832154;
    return r;
}

// The widest figures the report can carry in practice: coordinates with the
// zone number, a negative ordinate, the longest subtitle.
Record wideRecord()
{
    Record r = case1Record();
    r.caseNo = 11;
    r.xc = -3385421.256;
    r.yc = 39512687.431;
    r.xd = -3386790.118;
    r.yd = 39514102.675;
    r.tb_in = 359.59599;
    r.qb_in = -179.59599;
    for (double &x : r.X)
        x = -x;
    for (double &s : r.S)
        s *= 10;
    for (double &s : r.Sp)
        s *= 10;
    r.pn = {"王家庄北", "李村南山", "C1", "E2", "F3", "B6"};
    return r;
}

double px(double twips, int dpi) { return twips * dpi / 1440.0; }

const auto poppler = testproc::tool;

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void chineseGlyphsInFont();
    void layoutOfCase1_data();
    void layoutOfCase1();
    void overrun_data();
    void overrun();
    void newPageAtBottom();
    void pdfOfCase1();
    void pdfBeforeAnyComputation();
    void refusesPath_data();
    void refusesPath();
    void printerThatCannotBegin();
};

// Every character of the report exists in the font it is printed in: no
// empty boxes on paper.
void TestPrint::chineseGlyphsInFont()
{
    for (int size : {10, 12}) {
        const QFont font = reportFont(size);
        QCOMPARE(QFontInfo(font).pointSize(), size);
        const QFontMetricsF fm(font);
        const QString text = QString::fromStdString(renderText(build(wideRecord())));
        for (const uint c : text.toUcs4())
            if (c > ' ')
                QVERIFY2(fm.inFontUcs4(c), qPrintable(QStringLiteral("U+%1 missing in %2")
                                                          .arg(c, 4, 16, QLatin1Char('0'))
                                                          .arg(QFontInfo(font).family())));
    }
}

void TestPrint::layoutOfCase1_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("fullPage");
    QTest::addColumn<bool>("wide");
    QTest::newRow("high resolution") << int(QPrinter::HighResolution) << false << false;
    QTest::newRow("high resolution, full page") << int(QPrinter::HighResolution) << true << false;
    QTest::newRow("screen resolution") << int(QPrinter::ScreenResolution) << false << false;
    QTest::newRow("widest figures") << int(QPrinter::HighResolution) << false << true;
}

// The items of the case-1 report: the first line at the start position,
// every tab column at its x unless the previous item already passed it,
// nothing overlapping, everything on the paper, one page.
void TestPrint::layoutOfCase1()
{
    QFETCH(int, mode);
    QFETCH(bool, fullPage);
    QFETCH(bool, wide);
    QPrinter printer(static_cast<QPrinter::PrinterMode>(mode));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(fullPage);
    const int dpi = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QPointF origin = fullPage ? paper.topLeft() : printer.pageRect(QPrinter::DevicePixel).topLeft();
    const double left = px(2000, dpi) - origin.x();
    const double top = px(1500, dpi) - origin.y();

    const Model m = build(wide ? wideRecord() : case1Record());
    const PageLayout layout = layoutReport(m, printer);
    QCOMPARE(layout.pages, 1);

    std::size_t count = 0;
    for (const Line &l : m.lines)
        count += l.items.size();
    QCOMPARE(layout.items.size(), count);

    std::map<int, double> unit;
    for (int size : {10, 12})
        unit[size] = tabUnit(reportFont(size), &printer);

    QCOMPARE(layout.items.front().text, title);
    QVERIFY(qAbs(layout.items.front().top - top) < 0.5);
    QVERIFY(qAbs(layout.items.front().x - (left + 35 * unit[12])) < 0.5);

    std::size_t k = 0;
    double lineTop = top;
    for (std::size_t li = 0; li < m.lines.size(); ++li) {
        const Line &line = m.lines[li];
        double end = -1;
        for (std::size_t ii = 0; ii < line.items.size(); ++ii, ++k) {
            const PlacedItem &p = layout.items[k];
            const Item &it = line.items[ii];
            QCOMPARE(p.line, static_cast<int>(li));
            QCOMPARE(p.fontSize, line.fontSize);
            QCOMPARE(p.text, QString::fromStdString(it.text));
            QVERIFY(qAbs(p.top - lineTop) < 1e-6);
            // On the paper, right of the start position.
            QVERIFY2(p.x >= left - 1e-6, qPrintable(p.text));
            QVERIFY2(p.x + p.width <= paper.width() - origin.x(), qPrintable(p.text));
            const double column = left + it.tab * unit[line.fontSize];
            if (ii == 0) {
                QVERIFY(qAbs(p.x - column) < 1e-6);
            } else {
                // Never over the previous item.
                QVERIFY2(p.x >= end - 1e-6, qPrintable(p.text));
                if (it.tab == follows)
                    QVERIFY(qAbs(p.x - end) < 1e-6);
                else if (column >= end)
                    QVERIFY2(qAbs(p.x - column) < 1e-6, qPrintable(p.text));
                else
                    QVERIFY2(qAbs(p.x - (end + unit[line.fontSize])) < 1e-6, qPrintable(p.text));
            }
            end = p.x + p.width;
        }
        lineTop += QFontMetricsF(reportFont(line.fontSize), &printer).lineSpacing();
    }

    // The columns of the side and coordinate tables line up.
    std::map<QString, std::vector<double>> at;
    for (const PlacedItem &p : layout.items)
        at[p.text.left(2)].push_back(p.x);
    for (const QString &key : {QStringLiteral("s("), QStringLiteral("k(")}) {
        QVERIFY(at[key].size() >= 4);
        for (double x : at[key])
            QCOMPARE(x, at[key].front());
    }
}

void TestPrint::overrun_data()
{
    QTest::addColumn<int>("tab1");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<int>("tab2");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("where"); // "column", "after blank", "at end"
    QTest::addColumn<int>("padding");   // leading blanks of text2 set as cells

    QTest::newRow("free column") << 0 << "ab" << 20 << "cd" << "column" << 0;
    QTest::newRow("cjk passes the column") << 0 << "最弱点单位权点位中误差" << 5 << "x" << "after blank" << 0;
    QTest::newRow("same column") << 10 << "ab" << 10 << "cd" << "after blank" << 0;
    QTest::newRow("follows, own blank") << 10 << "w(1)=" << follows << " 1.50" << "at end" << 0;
    QTest::newRow("padded label") << 0 << "x" << 30 << "     纵座标条件闭合差 :" << "column" << 5;
    QTest::newRow("value at a column") << 0 << "s( 10 ) :" << 4 << " 711.639" << "after blank" << 1;
}

void TestPrint::overrun()
{
    QFETCH(int, tab1);
    QFETCH(QString, text1);
    QFETCH(int, tab2);
    QFETCH(QString, text2);
    QFETCH(QString, where);
    QFETCH(int, padding);
    Model m;
    m.lines.push_back(Line{10, {Item{tab1, text1.toStdString()}, Item{tab2, text2.toStdString()}}});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const PageLayout layout = layoutReport(m, printer);
    QCOMPARE(layout.items.size(), std::size_t(2));
    const PlacedItem &a = layout.items[0];
    const PlacedItem &b = layout.items[1];
    const QFont font = reportFont(10);
    const QFontMetricsF fm(font, &printer);
    const double unit = tabUnit(font, &printer);
    QVERIFY(qAbs(a.width - fm.horizontalAdvance(text1)) < 1e-6);
    const double end = a.x + a.width;
    if (where == "column")
        QVERIFY(qAbs(b.x - (a.x + (tab2 - tab1) * unit)) < 1e-6);
    else if (where == "after blank")
        QVERIFY(qAbs(b.x - (end + unit)) < 1e-6);
    else
        QVERIFY(qAbs(b.x - end) < 1e-6);
    QVERIFY(b.x >= end - 1e-6);

    // What is drawn: the text after its padding, the padding a cell a blank.
    QCOMPARE(b.runs.size(), std::size_t(1));
    QCOMPARE(b.runs[0].text, text2.mid(padding));
    QVERIFY(qAbs(b.runs[0].x - (b.x + padding * unit)) < 1e-6);
    QVERIFY(qAbs(b.width - (padding * unit + fm.horizontalAdvance(text2.mid(padding)))) < 1e-6);
}

// A report longer than a page goes on over as many pages as it needs,
// every line above the bottom of its page; the PDF has those pages.
void TestPrint::newPageAtBottom()
{
    Model m;
    for (int i = 0; i < 150; ++i)
        m.lines.push_back(Line{i == 0 ? 12 : 10, {Item{30, "第 " + std::to_string(i) + " 行"}}});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const PageLayout layout = layoutReport(m, printer);
    QVERIFY(layout.pages >= 3);
    const QPointF origin = printer.pageRect(QPrinter::DevicePixel).topLeft();
    const double top = px(1500, printer.resolution()) - origin.y();
    const double bottom = printer.pageRect(QPrinter::DevicePixel).bottom() - origin.y();
    const double spacing = QFontMetricsF(reportFont(10), &printer).lineSpacing();
    int page = 0;
    for (const PlacedItem &p : layout.items) {
        QVERIFY(p.page == page || p.page == page + 1);
        if (p.page != page) {
            QVERIFY(qAbs(p.top - top) < 1e-6);
            page = p.page;
        }
        QVERIFY(p.top + spacing <= bottom);
    }
    QCOMPARE(page + 1, layout.pages);

    QTemporaryDir dir;
    const QString path = dir.filePath("long.pdf");
    QString error;
    QVERIFY2(writePdf(m, path, &error), qPrintable(error));
    const QString text = poppler("pdftotext", {"-layout", path, "-"});
    if (text.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not available");
    QCOMPARE(text.count(QLatin1Char('\f')), layout.pages);
    QVERIFY(text.contains(QStringLiteral("第 149 行")));
}

void TestPrint::pdfOfCase1()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("报表.pdf");
    QString error;
    QVERIFY2(writePdf(build(case1Record()), path, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    const QString text = poppler("pdftotext", {"-layout", path, "-"});
    if (text.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not available");
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
    for (const QString &s : {title, subtitle1, QStringLiteral("起算数据 :"), QStringLiteral("xa= 3385421.256"),
                             QStringLiteral("ta= 125.30245"), QStringLiteral("512.347"), QStringLiteral("512.351"),
                             QStringLiteral("w(4)= 12.30 毫米"), QStringLiteral("w(5)= -8.70 毫米"),
                             QStringLiteral("k( 4 )= 0.00000"), QStringLiteral("李村 :"),
                             QStringLiteral("3386790.118"), QStringLiteral("39514102.675"),
                             QStringLiteral("md= 6.24 毫米")})
        QVERIFY2(text.contains(s), qPrintable(s + "\n" + text));

    // The title's top left on the paper: 1500 twips (75 points) down, 2000
    // twips (100 points) plus 35 tab units of the 12-point font across.
    const QString boxes = poppler("pdftotext", {"-bbox", path, "-"});
    const QRegularExpression first(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""));
    const auto match = first.match(boxes);
    QVERIFY(match.hasMatch());
    QPrinter points(QPrinter::HighResolution);
    points.setOutputFormat(QPrinter::PdfFormat);
    const double unitPt = tabUnit(reportFont(12), &points) * 72.0 / points.resolution();
    QVERIFY2(qAbs(match.captured(1).toDouble() - (100 + 35 * unitPt)) < 2.0, qPrintable(match.captured(0)));
    QVERIFY2(qAbs(match.captured(2).toDouble() - 75) < 2.0, qPrintable(match.captured(0)));
}

void TestPrint::pdfBeforeAnyComputation()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.pdf");
    QString error;
    QVERIFY2(writePdf(build(Record{}), path, &error), qPrintable(error));
    const QString text = poppler("pdftotext", {"-layout", path, "-"});
    if (text.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not available");
    QCOMPARE(text.trimmed(), title);
}

void TestPrint::refusesPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("no such directory") << QStringLiteral("/nonexistent-dir-for-report/报表.pdf");
    QTest::newRow("a directory") << QStringLiteral("DIR");
}

void TestPrint::refusesPath()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    if (path == "DIR")
        path = dir.path();
    QString error;
    QVERIFY(!writePdf(build(case1Record()), path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(QStringLiteral("PDF")), qPrintable(error));
    if (!path.isEmpty())
        QVERIFY2(error.contains(path), qPrintable(error));
}

// A printer that cannot begin is an error for the user, not a silent success.
void TestPrint::printerThatCannotBegin()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QStringLiteral("/nonexistent-dir-for-report/x.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    QString error;
    QVERIFY(!printReport(build(case1Record()), printer, &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法开始打印")), qPrintable(error));
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"
