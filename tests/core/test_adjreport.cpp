// The adjustment report (平差报告): its model against the engine's and the
// record's figures on every example, the angle texts, the header keys of
// data files, and --analysis-pdf on the command line.
#include "analysis/engine.h"
#include "app/adjustmentreport.h"
#include "app/analysisinput.h"
#include "app/chainfile.h"
#include "app/fields.h"
#include "support/chains.h"
#include "support/process.h"
#include "report/adjreport.h"
#include "report/report.h"

#include <QtTest>

#include <cmath>
#include <sstream>

namespace an = analysis;
using chain::report::AdjustmentReport;
using chain::report::Table;

namespace {

QString example(int n) { return QString(CHAIN_EXAMPLES) + "/case" + QString::number(n) + ".chain"; }

// A number printed in a cell ("1/270650" gives 270650); NaN when the cell
// holds none, so that any comparison with it fails.
double num(const std::string &cell)
{
    std::string s = cell;
    if (s.rfind("1/", 0) == 0)
        s.erase(0, 2);
    try {
        std::size_t used = 0;
        const double v = std::stod(s, &used);
        return used == s.size() ? v : std::nan("");
    } catch (...) {
        return std::nan("");
    }
}

// Within half a unit of the last printed decimal of `cell`.
bool printedAs(const std::string &cell, double value)
{
    const std::size_t dot = cell.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(cell.size() - dot - 1);
    return std::fabs(num(cell) - value) <= 0.5 * std::pow(10.0, -decimals) + 1e-9;
}

std::string pairValue(const AdjustmentReport &r, const std::string &label)
{
    for (const auto &b : r.blocks)
        for (const auto &[l, v] : b.pairs)
            if (l == label)
                return v;
    return {};
}

using Proc = testproc::Result;
using testproc::chainadj;
const auto poppler = testproc::tool;
const auto slurp = testproc::readFile;

void spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestAdjReport : public QObject {
    Q_OBJECT
private slots:
    void modelAgainstEngine_data();
    void modelAgainstEngine();
    void angleTexts_data();
    void angleTexts();
    void headerKeys_data();
    void headerKeys();
    void headerRoundTrip();
    void noComputationNoReport();
    void designReport();
    void analysisPdf();
    void analysisPdfRefused_data();
    void analysisPdfRefused();
};

void TestAdjReport::modelAgainstEngine_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<QString>("extra");
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("case %d", n) << n << QString();
    // With an a priori accuracy (Baarda's test, the global test) and a grade.
    QTest::addRow("case 1 graded") << 1 << QString("sigma_a = 1\nsigma_b = 1\ngrade = 一级\n");
    QTest::addRow("case 8 graded") << 8 << QString("sigma_a = 2\nsigma_b = 2\ngrade = 二级\nsigma_q = 2\n");
}

void TestAdjReport::modelAgainstEngine()
{
    QFETCH(int, caseNo);
    QFETCH(QString, extra);
    std::vector<chain::Problem> problems;
    const QByteArray bytes = slurp(example(caseNo)) + extra.toUtf8();
    const chain::DataSet d = chain::parseDataFile(bytes.toStdString(), problems);
    QVERIFY(problems.empty());
    chain::Record rec;
    chain::FieldTable fields;
    const chain::ComputeResult r = chain::computeFromData(d, rec, fields, "test");
    QCOMPARE(r.outcome, chain::Outcome::Computed);

    std::string why;
    const auto settings = chain::adjustmentSettingsOf(d);
    const auto report = chain::adjustmentReportOfRecord(rec, fields.text("Text24"), settings, "2024-05-18", &why);
    QVERIFY2(report.has_value(), why.c_str());
    QCOMPARE(report->caseText, "情形 " + std::to_string(caseNo));
    QCOMPARE(report->header.date, std::string("2024-05-18")); // no date key: the day of printing

    // The rigorous figures, from an engine of our own.
    an::Engine e(chain::networkFromRecord(rec, caseNo, settings.options));
    QVERIFY(e.solve().ok);
    const an::Analysis a = e.analyse();
    const an::Network &net = e.network();

    const Table *points = report->table("points");
    QVERIFY(points);
    QCOMPARE(points->rows.size(), a.points.size());
    for (const an::PointResult &p : a.points) {
        const auto &pt = net.points[static_cast<std::size_t>(p.label)];
        const std::string key = std::string(an::kLabelText[static_cast<std::size_t>(p.label)]) + "（" + pt.name + "）";
        QVERIFY2(points->row(key), key.c_str());
        QVERIFY(printedAs(points->cell(key, "纵座标 X"), p.x));
        QVERIFY(printedAs(points->cell(key, "横座标 Y"), p.y));
        QVERIFY(printedAs(points->cell(key, "σx"), p.sx));
        QVERIFY(printedAs(points->cell(key, "σy"), p.sy));
        QVERIFY(printedAs(points->cell(key, "σP"), p.sp));
        QVERIFY(printedAs(points->cell(key, "a"), p.ellipse.a));
        QVERIFY(printedAs(points->cell(key, "b"), p.ellipse.b));
        QVERIFY(printedAs(points->cell(key, "dX"), p.dxClassic));
        QVERIFY(printedAs(points->cell(key, "dY"), p.dyClassic));
    }

    const Table *sides = report->table("sides");
    const Table *obs = report->table("observations");
    QVERIFY(sides && obs);
    QCOMPARE(sides->rows.size(), a.sides.size());
    double redundancy = 0;
    for (const an::SideResult &s : a.sides) {
        const std::string key = "S" + std::to_string(s.index);
        QVERIFY(printedAs(sides->cell(key, "平差边长"), s.adjusted));
        QVERIFY(printedAs(sides->cell(key, "v"), s.residual));
        QVERIFY(printedAs(sides->cell(key, "σ"), s.sigma));
        QVERIFY(printedAs(sides->cell(key, "r"), s.redundancy));
        QVERIFY(printedAs(sides->cell(key, "相对中误差"), s.relative));
        redundancy += num(sides->cell(key, "r"));
        // A flagged side is printed in red and marked.
        const auto *row = sides->row(key);
        const auto index = static_cast<std::size_t>(row - sides->rows.data());
        QCOMPARE(bool(sides->marked[index]), s.flagged);
        QCOMPARE(sides->cell(key, "标记").find("粗差") != std::string::npos, s.flagged);
        // Observed against the record, classic residual from the record.
        const double observed = rec.S[static_cast<std::size_t>(s.index)];
        const double classic = rec.Sp[static_cast<std::size_t>(s.index)];
        QVERIFY(printedAs(obs->cell(key, "观测边长"), observed));
        QVERIFY(printedAs(obs->cell(key, "经典平差边长"), classic));
        QVERIFY(printedAs(obs->cell(key, "经典改正数"), (classic - observed) * 1000));
        QVERIFY(printedAs(obs->cell(key, "严密改正数"), s.residual));
    }
    // The printed redundancy numbers and those of observed orientations sum to r.
    for (const an::OrientationResult &o : a.orientations)
        if (!o.held)
            redundancy += o.redundancy;
    QVERIFY(std::fabs(redundancy - a.summary.redundancy) < 0.001 * static_cast<double>(a.sides.size()));

    // σ0 as the engine has it.
    QVERIFY(a.summary.sigma0.has_value());
    QVERIFY(printedAs(pairValue(*report, "单位权中误差 σ0").substr(0, pairValue(*report, "单位权中误差 σ0").find_first_of(" （")),
                      *a.summary.sigma0));

    // The classic coordinates under the labels the rigorous tables use: the
    // row of each name carries the specified report's figures, and the
    // letter the network gives that name.
    const Table *classic = report->table("classic");
    QVERIFY(classic);
    QCOMPARE(classic->rows.size(), std::size_t(6));
    for (int i = 0; i <= 5; ++i) {
        const std::string &name = rec.pn[static_cast<std::size_t>(i)];
        const std::vector<std::string> *row = nullptr;
        for (const auto &rw : classic->rows)
            if (rw[1] == name)
                row = &rw;
        QVERIFY2(row, name.c_str());
        QVERIFY(printedAs((*row)[2], rec.X[static_cast<std::size_t>(i)]));
        QVERIFY(printedAs((*row)[3], rec.Y[static_cast<std::size_t>(i)]));
        const int label = an::labelOf((*row)[0]);
        QVERIFY(label >= 0);
        QCOMPARE(net.points[static_cast<std::size_t>(label)].name, name);
    }

    // With a grade: one row per check, failures marked; with an accuracy the
    // global test.
    if (a.grade) {
        const Table *tol = report->table("tolerances");
        QVERIFY(tol);
        QCOMPARE(tol->rows.size(), a.grade->checks.size());
        for (std::size_t i = 0; i < a.grade->checks.size(); ++i) {
            QCOMPARE(tol->rows[i][3], std::string(a.grade->checks[i].passed ? "符合" : "超限"));
            QCOMPARE(bool(tol->marked[i]), !a.grade->checks[i].passed);
        }
    }
    QCOMPARE(report->table("global") != nullptr, a.summary.globalTest.has_value());
    if (a.summary.globalTest)
        QVERIFY(printedAs(report->table("global")->rows[0][0], a.summary.globalTest->statistic));

    // The figure: every point where the engine put it, ellipses of the new
    // points, the flags of the sides.
    QVERIFY(report->figure.has_value());
    for (const an::PointResult &p : a.points) {
        const auto &fp = report->figure->points[static_cast<std::size_t>(p.label)];
        QCOMPARE(fp.x, p.x);
        QCOMPARE(fp.hasEllipse, p.hasSigma);
        QCOMPARE(fp.a, p.ellipse.a);
    }
    for (const an::SideResult &s : a.sides)
        QCOMPARE(report->figure->sides[static_cast<std::size_t>(s.index - 1)].flagged, s.flagged);

    const std::string text = report->plainText();
    QVERIFY(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos);
    for (const auto &b : report->blocks)
        if (b.kind == chain::report::Block::TableBlock) {
            QCOMPARE(b.table.marked.size(), b.table.rows.size());
            for (const auto &row : b.table.rows)
                QCOMPARE(row.size(), b.table.columns.size());
        }
}

void TestAdjReport::angleTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typed azimuth") << 223.544974 << true << QString("223°54′49.74″");
    QTest::newRow("typed whole seconds") << 47.3045 << true << QString("47°30′45″");
    QTest::newRow("typed negative") << -0.3 << true << QString("-0°30′00″");
    QTest::newRow("typed tiny") << 0.00000001 << true << QString("0°00′00.0001″");
    QTest::newRow("degrees") << 91.42638888888889 << false << QString("91°25′35.0″");
    // 59.96″ rounds into the next minute and degree, never to 60.0″.
    QTest::newRow("carry") << 10 + 59.0 / 60 + 59.96 / 3600 << false << QString("11°00′00.0″");
    QTest::newRow("negative degrees") << -(1 + 2.0 / 60 + 3.04 / 3600) << false << QString("-1°02′03.0″");
    QTest::newRow("not finite") << std::nan("") << false << QString("—");
}

void TestAdjReport::angleTexts()
{
    QFETCH(double, value);
    QFETCH(bool, typed);
    QFETCH(QString, expected);
    const std::string s = typed ? chain::report::dmsTypedText(value) : chain::report::degreesText(value, 1);
    QCOMPARE(QString::fromStdString(s), expected);
}

void TestAdjReport::headerKeys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value"); // the value taken, or empty
    QTest::addColumn<QString>("problem"); // part of the message, or empty
    const QByteArray hundred = QString(100, QChar(0x6D4B)).toUtf8();
    QTest::newRow("project") << QByteArray("project = 城关至北岭 二期") << QString("城关至北岭 二期") << QString();
    QTest::newRow("key case") << QByteArray("Operator = 王建国") << QString("王建国") << QString();
    QTest::newRow("instrument") << QByteArray("instrument = TS60 (0.6″, 1 mm + 1 ppm)") << QString("TS60 (0.6″, 1 mm + 1 ppm)")
                                << QString();
    QTest::newRow("date") << QByteArray("date = 2024年5月18日") << QString("2024年5月18日") << QString();
    QTest::newRow("hundred characters") << QByteArray("project = ") + hundred << QString::fromUtf8(hundred) << QString();
    QTest::newRow("too long") << QByteArray("project = ") + hundred + "x" << QString() << QString("太长");
    QTest::newRow("tab") << QByteArray("project = a\tb") << QString() << QString("控制字符");
    QTest::newRow("C1 control") << QByteArray("operator = a\xC2\x85" "b") << QString() << QString("控制字符");
    QTest::newRow("line separator") << QByteArray("instrument = a\xE2\x80\xA8" "b") << QString() << QString("控制字符");
    QTest::newRow("right-to-left override") << QByteArray("project = a\xE2\x80\xAE" "b") << QString()
                                            << QString("改变文字方向的控制字符 U+202E");
    QTest::newRow("isolate") << QByteArray("operator = \xE2\x81\xA6" "b") << QString() << QString("U+2066");
    QTest::newRow("twice") << QByteArray("date = 1\ndate = 2") << QString() << QString("重复");
}

void TestAdjReport::headerKeys()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    QFETCH(QString, problem);
    std::vector<chain::Problem> problems;
    const QByteArray bytes = slurp(example(1)) + "\n" + line + "\n";
    const chain::DataSet d = chain::parseDataFile(bytes.toStdString(), problems);
    if (problem.isEmpty()) {
        QVERIFY(problems.empty());
        const chain::report::ReportHeader h = chain::reportHeaderOf(d);
        const QStringList got = {QString::fromStdString(h.project), QString::fromStdString(h.operatorName),
                                 QString::fromStdString(h.instrument), QString::fromStdString(h.date)};
        QVERIFY2(got.contains(value), qPrintable(got.join('|')));
    } else {
        QCOMPARE(problems.size(), std::size_t(1));
        const QString text = QString::fromStdString(chain::describe(problems[0]));
        QVERIFY2(text.contains(problem), qPrintable(text));
        // The message names the line of the file.
        QVERIFY(problems[0].line > 0);
    }
}

void TestAdjReport::headerRoundTrip()
{
    std::vector<chain::Problem> problems;
    const QByteArray bytes = slurp(example(2)) + "project = 河口 # 二期\noperator = 李 四\ninstrument = DS3\ndate = 2024-05-18\n";
    const chain::DataSet d = chain::parseDataFile(bytes.toStdString(), problems);
    QVERIFY(problems.empty());
    const chain::DataSet again = chain::parseDataFile(chain::formatDataFile(d), problems);
    QVERIFY(problems.empty());
    QVERIFY(again.header.value == d.header.value);
    QCOMPARE(*again.header.value[chain::HeaderKeys::project], std::string("河口 # 二期"));
    // The classic values are untouched by the header.
    QVERIFY(again.sameValues(d));
}

void TestAdjReport::noComputationNoReport()
{
    chain::Record fresh;
    std::string why;
    QVERIFY(!chain::adjustmentReportOfRecord(fresh, "", {}, "2024-01-01", &why));
    QVERIFY(!why.empty());
}

void TestAdjReport::designReport()
{
    // Case 1 laid out from approximate coordinates, C and D to be determined.
    const QByteArray bytes = QByteArray(testchain::kDesignCase1) + "project = 设计方案甲\n";
    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile(bytes.toStdString(), problems);
    QVERIFY(problems.empty());
    chain::AnalysisRun run;
    chain::analyseDesign(run, d);
    QVERIFY(run.engine.has_value());
    const AdjustmentReport r = chain::adjustmentReportOf(run, chain::reportHeaderOf(d), "2024-05-18");
    QCOMPARE(r.header.project, std::string("设计方案甲"));
    // No classic part, no residuals, no tests: only what a design has.
    QVERIFY(!r.table("classic"));
    const Table *sides = r.table("sides");
    const Table *points = r.table("points");
    QVERIFY(sides && points);
    for (const char *absent : {"v", "τ", "w", "限值"})
        QVERIFY(std::find(sides->columns.begin(), sides->columns.end(), absent) == sides->columns.end());
    QVERIFY(std::find(points->columns.begin(), points->columns.end(), "dX") == points->columns.end());
    for (const an::PointResult &p : run.engine->analyse().points) {
        const std::string key = std::string(an::kLabelText[static_cast<std::size_t>(p.label)]) + "（" +
                                run.engine->network().points[static_cast<std::size_t>(p.label)].name + "）";
        QVERIFY(printedAs(points->cell(key, "σP"), p.sp));
        QVERIFY(printedAs(points->cell(key, "a"), p.ellipse.a));
    }
    for (const an::SideResult &s : run.engine->analyse().sides)
        QVERIFY(printedAs(sides->cell("S" + std::to_string(s.index), "MDB"), s.mdb));
    // Every row as long as the heads.
    for (const auto &b : r.blocks)
        if (b.kind == chain::report::Block::TableBlock)
            for (const auto &row : b.table.rows)
                QCOMPARE(row.size(), b.table.columns.size());
}

void TestAdjReport::analysisPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath("b1.chain");
    spit(data, slurp(example(1)) + "sigma_a = 1\nsigma_b = 1\ngrade = 一级\nproject = 城关至北岭控制网\n");
    const QString out = dir.filePath("report.pdf");
    spit(out, "an old file");
    const Proc p = chainadj({"--data", data, "--analysis-pdf", out});
    QVERIFY2(p.status == 0, qPrintable(p.err));
    QCOMPARE(slurp(out).left(5), QByteArray("%PDF-"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left

    const QString info = poppler("pdfinfo", {out});
    const QString text = poppler("pdftotext", {out, "-"});
    if (info.isEmpty() || text.isEmpty())
        QSKIP("poppler-utils are not installed");
    QVERIFY(QRegularExpression("Pages:\\s+[2-4]\\n").match(info).hasMatch());
    // σ0 and a rigorous coordinate as the --analysis text has them.
    chain::Record rec;
    chain::FieldTable fields;
    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile(slurp(data).toStdString(), problems);
    chain::computeFromData(d, rec, fields, "test");
    an::Engine e(chain::networkFromRecord(rec, 1, chain::analysisOptionsOf(d)));
    QVERIFY(e.solve().ok);
    const QString sigma0 = QString::number(*e.summary().sigma0, 'f', 3);
    const QString x = QString::number(e.point(an::E).x, 'f', 4);
    QVERIFY2(text.contains(sigma0), qPrintable(sigma0));
    QVERIFY2(text.contains(x), qPrintable(x));
    QVERIFY(text.contains(QString("城关至北岭控制网")));
    QVERIFY(QRegularExpression("第\\s*1\\s*页\\s*共\\s*\\d\\s*页").match(text).hasMatch());
}

void TestAdjReport::analysisPdfRefused_data()
{
    QTest::addColumn<QStringList>("args");  // %D the folder, %E case 1, %N a file that fits no case
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file name") << QStringList{"--data", "%E", "--analysis-pdf"} << 1 << "后面须给出文件名";
    QTest::newRow("no data") << QStringList{"--analysis-pdf", "%D/out.pdf"} << 1 << "须与 --replies 或 --data 一起使用";
    QTest::newRow("fits no case") << QStringList{"--data", "%N", "--analysis-pdf", "%D/out.pdf"} << 2
                                  << "不符合";
    QTest::newRow("no folder") << QStringList{"--data", "%E", "--analysis-pdf", "%D/none/out.pdf"} << 6 << "不存在。请先建立这个目录";
    QTest::newRow("a folder") << QStringList{"--data", "%E", "--analysis-pdf", "%D"} << 6 << "是一个目录";
    QTest::newRow("replies cancelled") << QStringList{"--replies", "%C", "--analysis-pdf", "%D/out.pdf"} << 4
                                       << "没有计算结果，平差报告没有写出";
}

void TestAdjReport::analysisPdfRefused()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Fits no case: B alone known, no angles.
    const QString nocase = dir.filePath("nocase.chain");
    spit(nocase, "xb = 3952.66\nyb = 5531.482\nnames = a b c d e f\nS1 = 1\nS2 = 1\nS3 = 1\nS4 = 1\nS5 = 1\nS6 = 1\n"
                 "S7 = 1\nS8 = 1\nS9 = 1\nS10 = 1\nS11 = 1\n");
    const QString cancel = dir.filePath("cancel.replies");
    spit(cancel, "<cancel>\n");
    for (QString &a : args)
        a.replace("%D", dir.path()).replace("%E", example(1)).replace("%N", nocase).replace("%C", cancel);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    const Proc p = chainadj(args);
    QCOMPARE(p.status, status);
    QVERIFY2(p.err.contains(message), qPrintable(p.err));
    // Nothing written, no temporary file left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
}

QTEST_GUILESS_MAIN(TestAdjReport)
#include "test_adjreport.moc"
