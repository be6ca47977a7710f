// The adjustment report on paper: the layout of every example within the
// page, the PDF's pages, fonts and text layer, and the window's print
// dialog that offers it beside the specified report.
#include "modal.h"

#include "app/adjustmentreport.h"
#include "app/chainfile.h"
#include "app/fields.h"
#include "support/process.h"
#include "gui/form2.h"
#include "gui/menus.h"
#include "report/adjprinter.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using chain::test::ModalWatcher;

namespace {

QString example(int n) { return QString(CHAIN_EXAMPLES) + "/case" + QString::number(n) + ".chain"; }

std::optional<chain::report::AdjustmentReport> reportOf(int caseNo, const QByteArray &extra, std::string &why)
{
    QFile f(example(caseNo));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile((f.readAll() + extra).toStdString(), problems);
    static chain::Record rec; // the report keeps no pointer into it; one record is enough
    rec = chain::Record();
    chain::FieldTable fields;
    chain::computeFromData(d, rec, fields, "test");
    return chain::adjustmentReportOfRecord(rec, fields.text("Text24"), chain::adjustmentSettingsOf(d), "2024-05-18",
                                           &why);
}

const auto poppler = testproc::tool;

// A header long enough to be elided, with a grade and an accuracy so that
// every table is there.
const QByteArray kFull = "sigma_a = 1\nsigma_b = 1\ngrade = 一级\n"
                         "project = 城关至北岭控制网加密（二期）城关至北岭控制网加密（二期）城关至北岭控制网加密\n"
                         "operator = 王建国\ninstrument = 全站仪 TS60 (0.6″, 1 mm + 1 ppm) 编号 889123 检定 2024-01-10\n";

} // namespace

class TestAdjPrint : public QObject {
    Q_OBJECT
private slots:
    void layoutWithinPage_data();
    void layoutWithinPage();
    void pdfTextLayer();
    void windowPrintsEither();
};

void TestAdjPrint::layoutWithinPage_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<QByteArray>("extra");
    for (int n = 1; n <= 12; ++n) {
        QTest::addRow("case %d", n) << n << QByteArray();
        QTest::addRow("case %d full", n) << n << kFull;
    }
}

void TestAdjPrint::layoutWithinPage()
{
    QFETCH(int, caseNo);
    QFETCH(QByteArray, extra);
    std::string why;
    const auto report = reportOf(caseNo, extra, why);
    QVERIFY2(report, why.c_str());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    const chain::report::AdjustmentLayout l = chain::report::layoutAdjustmentReport(*report, printer);
    const double mm = printer.resolution() / 25.4;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);

    QVERIFY(l.pages >= 2 && l.pages <= 3);
    // Margins of at least 15 mm on A4.
    QVERIFY(l.body.left() >= 15 * mm && paper.width() - l.body.right() >= 15 * mm);
    QVERIFY(l.body.bottom() <= paper.height() - 10 * mm);
    int tables = 0;
    bool figure = false;
    for (std::size_t i = 0; i < l.placed.size(); ++i) {
        const auto &p = l.placed[i];
        QVERIFY(p.page >= 0 && p.page < l.pages);
        // Within the body: tables fit the width, nothing runs into the
        // margins or under the header.
        QVERIFY2(p.rect.left() >= l.body.left() - 0.5 && p.rect.right() <= l.body.right() + 0.5, p.id.c_str());
        QVERIFY2(p.rect.top() >= l.body.top() - 0.5 && p.rect.bottom() <= l.body.bottom() + 0.5, p.id.c_str());
        if (p.fontSize > 0) {
            QVERIFY2(p.fontSize >= 6, p.id.c_str()); // readable
            ++tables;
            // The tables of a report are short: none is split over two pages.
            for (std::size_t j = 0; j < i; ++j)
                QVERIFY2(l.placed[j].id != p.id, p.id.c_str());
        }
        if (p.id == "figure") {
            figure = true;
            QVERIFY(p.rect.height() >= 90 * mm);
        }
        // Placed blocks of a page do not overlap.
        for (std::size_t j = 0; j < i; ++j)
            if (l.placed[j].page == p.page)
                QVERIFY2(!l.placed[j].rect.adjusted(1, 1, -1, -1).intersects(p.rect.adjusted(1, 1, -1, -1)),
                         (l.placed[j].id + " / " + p.id).c_str());
    }
    QVERIFY(tables >= 5);
    QVERIFY(figure);
}

void TestAdjPrint::pdfTextLayer()
{
    std::string why;
    const auto report = reportOf(1, kFull, why);
    QVERIFY(report);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("adj.pdf");
    QString error;
    QVERIFY2(chain::report::writeAdjustmentPdf(*report, pdf, &error), qPrintable(error));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    const int pages = chain::report::layoutAdjustmentReport(*report, printer).pages;

    const QString info = poppler("pdfinfo", {pdf});
    const QString fonts = poppler("pdffonts", {pdf});
    const QString text = poppler("pdftotext", {pdf, "-"});
    if (info.isEmpty() || text.isEmpty())
        QSKIP("poppler-utils are not installed");
    QVERIFY(info.contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(pages))));
    QVERIFY(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842")));
    // Every font embedded.
    const QStringList rows = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!rows.isEmpty());
    for (const QString &row : rows)
        QVERIFY2(row.contains(QRegularExpression("\\byes\\b")), qPrintable(row));
    // The figures come back: σ0, a coordinate, a redundancy number, the
    // header on every page.
    QVERIFY(text.contains(QString::fromStdString(report->table("points")->rows[0][1])));
    QVERIFY(text.contains(QString::fromStdString(report->table("sides")->rows[4][5])));
    for (const auto &b : report->blocks)
        for (const auto &[label, value] : b.pairs)
            if (label == "单位权中误差 σ0")
                QVERIFY2(text.contains(QString::fromStdString(value.substr(0, value.find("（")))), value.c_str());
    for (int p = 1; p <= pages; ++p)
        QVERIFY(text.contains(QRegularExpression(QString("第\\s*%1\\s*页\\s*共\\s*%2\\s*页").arg(p).arg(pages))));
    QCOMPARE(text.count(QStringLiteral("操作员：王建国")), pages);
}

void TestAdjPrint::windowPrintsEither()
{
    chain::gui::Form2 w;
    auto *menus = new chain::gui::Menus(w);
    QStringList warnings;
    menus->setWarner([&](const QString &m) { warnings << m; });

    // Before any computation the dialog offers the specified report only.
    auto offered = [&w](bool &adjustmentEnabled, bool &specifiedChecked) {
        int dialogs = 0;
        ModalWatcher watcher([&](QWidget *m) {
            if (auto *d = qobject_cast<QPrintDialog *>(m)) {
                ++dialogs;
                const auto *adj = d->findChild<QRadioButton *>("printAdjustment");
                const auto *classicChoice = d->findChild<QRadioButton *>("printSpecified");
                adjustmentEnabled = adj && adj->isEnabled();
                specifiedChecked = classicChoice && classicChoice->isChecked();
                // The choice is the page the options open on.
                const auto *page = d->findChild<QWidget *>("reportChoice");
                const auto *tabs = d->findChild<QTabWidget *>();
                specifiedChecked = specifiedChecked && page && tabs && tabs->currentWidget() == page;
            }
            if (auto *d = qobject_cast<QDialog *>(m))
                d->reject();
        });
        w.Command3_Click();
        return dialogs == 1 && !watcher.timedOut();
    };
    bool adjustment = true, specified = false;
    QVERIFY(offered(adjustment, specified));
    QVERIFY(!adjustment && specified);

    QTemporaryDir dir;
    const QString data = dir.filePath("case3.chain");
    {
        QFile in(example(3)), out(data);
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(in.readAll() + "project = 张庄控制网\nsigma_a = 2\n");
    }
    QVERIFY(menus->openAndCompute(data));
    QCOMPARE(w.adjustmentSettings().header.project, std::string("张庄控制网"));
    QVERIFY(w.adjustmentSettings().options.sigmaA.has_value());
    QVERIFY(offered(adjustment, specified));
    QVERIFY(adjustment && specified);

    // The adjustment report through the window's printer path.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("window.pdf"));
    QVERIFY(w.printAdjustmentTo(printer));
    const QString text = poppler("pdftotext", {dir.filePath("window.pdf"), "-"});
    if (text.isEmpty())
        QSKIP("poppler-utils are not installed");
    QVERIFY(text.contains(QStringLiteral("张庄控制网")));
    QVERIFY(text.contains(QStringLiteral("情形 3")));
    QVERIFY(text.contains(QStringLiteral("无定向平差")));
    QVERIFY(warnings.isEmpty());
}

QTEST_MAIN(TestAdjPrint)
#include "test_adjprint.moc"
