// The analysis outputs of the command line: the JSON object read back by an
// independent parser and compared with the engine, the text section after
// unchanged classic outputs, the analysis keys of data files, the
// pre-analysis, and unknown options as usage errors.
#include "analysis/engine.h"
#include "app/analysisout.h"
#include "app/chainfile.h"
#include "support/process.h"
#include "support/computed.h"

#include <QtTest>

#include <cmath>

namespace an = analysis;
using testchain::Run;

namespace {

using Proc = testproc::Result;
using testproc::chainadj;

QString example(int n, const char *ext) { return QString(CHAIN_EXAMPLES) + "/case" + QString::number(n) + ext; }

// A data file: an example with extra lines.
QString withLines(QTemporaryDir &dir, int n, const QString &extra)
{
    QFile in(example(n, ".chain"));
    in.open(QIODevice::ReadOnly);
    const QString path = dir.filePath(QString("case%1.chain").arg(n));
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(in.readAll() + extra.toUtf8());
    return path;
}

bool near(const QJsonValue &v, double expected, double tol) { return v.isDouble() && std::fabs(v.toDouble() - expected) <= tol; }

} // namespace

class AnalysisOutputTest : public QObject {
    Q_OBJECT

private slots:
    // Every example with an a priori accuracy and a grade: the JSON figures
    // are the engine's, the classic ones the record's.
    void jsonMatchesEngine_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case %1").arg(n))) << n;
    }
    void jsonMatchesEngine()
    {
        QFETCH(int, caseNo);
        QTemporaryDir dir;
        const QString file = withLines(dir, caseNo, "\nsigma_a = 2\nsigma_b = 2\ngrade = 四等\n");
        const Proc p = chainadj({"--data", file, "--json"});
        QCOMPARE(p.status, 0);
        QJsonParseError perr;
        const QJsonObject j = QJsonDocument::fromJson(p.out.toUtf8(), &perr).object();
        QVERIFY2(perr.error == QJsonParseError::NoError, qPrintable(perr.errorString()));

        const chain::DataSet d = chain::readDataFile(file.toStdString());
        Run run = testchain::compute(chain::repliesFor(d));
        an::Engine e(chain::networkFromRecord(run.rec, caseNo, chain::analysisOptionsOf(d)));
        QVERIFY(e.solve().ok);
        const an::Analysis a = e.analyse();

        QCOMPARE(j["case"].toInt(), caseNo);
        QCOMPARE(j["outcome"].toString(), QString("computed"));
        QVERIFY(j["message"].isNull());
        QCOMPARE(j["title"].toString().toStdString(), run.fields.text("Text24"));
        QVERIFY(near(j["classic"]["ms"], run.rec.ms, 1e-6));
        for (int i = 0; i <= 5; ++i) {
            const QJsonObject pt = j["points"][an::kLabelText[std::size_t(chain::routeLabel(caseNo, i))]].toObject();
            QCOMPARE(pt["name"].toString().toStdString(), run.rec.pn[std::size_t(i)]);
            QVERIFY(near(pt["x"], run.rec.X[std::size_t(i)], 1e-9) && near(pt["y"], run.rec.Y[std::size_t(i)], 1e-9));
        }
        const QJsonObject r = j["rigorous"].toObject();
        QCOMPARE(r["redundancy"].toInt(), a.summary.redundancy);
        QVERIFY(near(r["sigma0"], *a.summary.sigma0, 1e-12));
        QVERIFY(near(r["global_test"]["upper"], a.summary.globalTest->upper, 1e-9));
        QCOMPARE(r["global_test"]["passed"].toBool(), a.summary.globalTest->passed);
        QCOMPARE(r["points"].toObject().size(), int(a.points.size()));
        for (const auto &pt : a.points) {
            const QJsonObject o = r["points"][an::kLabelText[std::size_t(pt.label)]].toObject();
            QVERIFY(near(o["x"], pt.x, 1e-9) && near(o["sp"], pt.sp, 1e-9) && near(o["ellipse"]["a"], pt.ellipse.a, 1e-9));
            QVERIFY(near(o["dx_classic"], pt.dxClassic, 1e-6));
        }
        QCOMPARE(r["sides"].toObject().size(), int(a.sides.size()));
        for (const auto &sd : a.sides) {
            const QJsonObject o = r["sides"][QString::number(sd.index)].toObject();
            QVERIFY(near(o["residual"], sd.residual, 1e-9) && near(o["redundancy"], sd.redundancy, 1e-12));
            QVERIFY(near(o["statistic"], sd.statistic, 1e-9) && near(o["critical"], 3.29, 1e-12));
            QCOMPARE(o["flagged"].toBool(), sd.flagged);
        }
        QCOMPARE(r["weakest_point"].toString(), QString(an::kLabelText[std::size_t(a.summary.weakestPoint)]));
        QCOMPARE(r["grade"]["name"].toString(), QString("四等"));
        QCOMPARE(r["grade"]["checks"].toArray().size(), int(a.grade->checks.size()));
    }

    // Outcomes without a computation still give the object, with nulls.
    void jsonWhateverTheOutcome_data()
    {
        QTest::addColumn<QString>("replies");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("status");
        // Only A known: angles 0, 0, six names, ten sides.
        QString onlyA = "3000\n\n5500\n\n" + QString("0\n\n").repeated(8);
        for (int i = 0; i < 6; ++i)
            onlyA += QString("P%1\n\n").arg(i);
        onlyA += QString("500\n\n").repeated(10);
        QTest::newRow("no case") << onlyA << "nocase" << 2;
        QTest::newRow("replies run out") << "3000\n\n5500\n\n" << "incomplete" << 5;
        QTest::newRow("cancelled") << "<cancel>\n" << "cancelled" << 4;
    }
    void jsonWhateverTheOutcome()
    {
        QFETCH(QString, replies);
        QFETCH(QString, outcome);
        QFETCH(int, status);
        QTemporaryDir dir;
        QFile f(dir.filePath("r.replies"));
        f.open(QIODevice::WriteOnly);
        f.write(replies.toUtf8());
        f.close();
        const Proc p = chainadj({"--replies", f.fileName(), "--json", "--analysis"});
        QCOMPARE(p.status, status);
        const int brace = p.out.indexOf('{');
        const QJsonObject j = QJsonDocument::fromJson(p.out.mid(brace).toUtf8()).object();
        QCOMPARE(j["outcome"].toString(), outcome);
        QVERIFY(j["rigorous"].isNull() && j["classic"].isNull());
        QVERIFY(p.out.left(brace).contains("没有经典计算结果"));
    }

    // The text section comes after the classic outputs, which stay as they were.
    void textSectionAfterUnchangedOutputs()
    {
        const Proc plain = chainadj({"--data", example(1, ".chain"), "--fields", "--report-text"});
        const Proc with = chainadj({"--data", example(1, ".chain"), "--fields", "--report-text", "--analysis"});
        QCOMPARE(with.status, 0);
        QVERIFY(with.out.startsWith(plain.out));
        const QString section = with.out.mid(plain.out.size());
        const chain::DataSet d = chain::readDataFile(example(1, ".chain").toStdString());
        Run run = testchain::compute(chain::repliesFor(d));
        an::Engine e(chain::networkFromRecord(run.rec, 1, {}));
        QVERIFY(e.solve().ok);
        const an::Summary s = e.summary();
        QVERIFY(section.contains(QString("单位权中误差 σ̂0 = %1 毫米").arg(*s.sigma0, 0, 'f', 3)));
        QVERIFY(section.contains(QString("最弱点：%1").arg(an::kLabelText[std::size_t(s.weakestPoint)])));
        QVERIFY(section.contains("经典方法报告的是 E"));
        QVERIFY(!section.contains("nan") && !section.contains("inf"));
        const Proc unoriented = chainadj({"--data", example(4, ".chain"), "--analysis"});
        QVERIFY(unoriented.out.contains("无定向平差"));
        const Proc between = chainadj({"--data", example(1, ".chain"), "--between", "A", "河口"});
        QCOMPARE(between.status, 0);
        const an::PairResult pr = e.pair(an::A, an::D);
        QVERIFY(between.out.contains(QString("中误差 %1 毫米").arg(pr.sDistance, 0, 'f', 2)));
    }

    // Pre-analysis from a design file: no residuals, every side with its
    // redundancy, exit 0.
    void designFile()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("design.chain"));
        f.open(QIODevice::WriteOnly);
        f.write("xa = 3000\nya = 5500\nxb = 3952.66\nyb = 5531.482\nxc = 3012\nyc = 5004\nxd = 3968\nyd = 5044\n"
                "xe = 3486\nye = 5028\nxf = 3472\nyf = 5512\nta = 223.544974\nqa = 47.3045\n"
                "design = yes C D\nsigma_a = 3\nsigma_b = 2\ngrade = 一级\n");
        f.close();
        const Proc p = chainadj({"--data", f.fileName(), "--json", "--analysis"});
        QCOMPARE(p.status, 0);
        QVERIFY(p.out.contains("预先分析"));
        const QJsonObject j = QJsonDocument::fromJson(p.out.mid(p.out.indexOf("\n{") + 1).toUtf8()).object();
        QCOMPARE(j["case"].toInt(), 1);
        const QJsonObject r = j["rigorous"].toObject();
        QCOMPARE(r["sides"].toObject().size(), 11);
        QVERIFY(r["sigma0"].isNull() && r["global_test"].isNull());
        for (const auto &v : r["sides"].toObject())
            QVERIFY(v.toObject()["residual"].isNull() && v.toObject()["redundancy"].toDouble() > 0);
        QCOMPARE(r["points"].toObject().keys(), (QStringList{"C", "D", "E", "F"}));
    }

    // Bad analysis keys: located Chinese messages, exit 1.
    void badKeys_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("negative sigma_a") << "sigma_a = -1" << "键 sigma_a";
        QTest::newRow("ppm not a number") << "sigma_b = 2ppm" << "键 sigma_b";
        QTest::newRow("sigma_q zero") << "sigma_q = 0" << "键 sigma_q";
        QTest::newRow("unknown grade") << "grade = 五等" << "二等、三等、四等、一级、二级";
        QTest::newRow("design word") << "design = maybe" << "键 design";
        QTest::newRow("approximate without design") << "xe = 3486\nye = 5028" << "design = yes";
        QTest::newRow("twice") << "sigma_a = 2\nsigma_a = 3" << "重复出现";
    }
    void badKeys()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const Proc p = chainadj({"--data", withLines(dir, 1, "\n" + line + "\n"), "--analysis"});
        QCOMPARE(p.status, 1);
        QVERIFY2(p.err.contains(expected) && p.err.contains("行"), qPrintable(p.err));
        QVERIFY(p.out.isEmpty());
    }

    // Unknown options and options out of place: usage on standard error, exit 1.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("alone") << QStringList{"--bogus"};
        QTest::newRow("with data") << QStringList{"--data", example(1, ".chain"), "--bogus"};
        QTest::newRow("single dash") << QStringList{"--data", example(1, ".chain"), "-x"};
        QTest::newRow("json without replay") << QStringList{"--json"};
        QTest::newRow("between without points") << QStringList{"--data", example(1, ".chain"), "--between", "A"};
        QTest::newRow("between unknown point") << QStringList{"--data", example(1, ".chain"), "--between", "A", "Z"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        const Proc p = chainadj(args);
        QCOMPARE(p.status, 1);
        QVERIFY(!p.err.isEmpty());
        if (!args.contains("Z"))
            QVERIFY(p.err.contains("用法 (usage)"));
    }

    // --save-data keeps the data file's analysis settings and header: the
    // saved file reads back to the same settings (numbers as written or
    // shorter) and the same classic fields; a file without them saves none.
    void saveDataKeepsSettings_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::newRow("all") << QByteArray("sigma_a = 2.50\nsigma_b = 1\nsigma_q = 3\ngrade = 三等\n"
                                           "project = 张庄 控制网\noperator = 李明\ninstrument = TS02\ndate = 2024-05-18\n");
        QTest::newRow("some") << QByteArray("sigma_b = 2\ninstrument = 全站仪 2mm+2ppm\n");
        QTest::newRow("none") << QByteArray();
    }
    void saveDataKeepsSettings()
    {
        QFETCH(QByteArray, keys);
        QTemporaryDir dir;
        QFile in(example(5, ".chain"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QFile f(dir.filePath("in.chain"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(in.readAll() + keys);
        f.close();
        const QString saved = dir.filePath("saved.chain");
        const Proc first = chainadj({"--data", f.fileName(), "--fields", "--save-data", saved});
        QCOMPARE(first.status, 0);
        const chain::DataSet a = chain::readDataFile(f.fileName().toStdString());
        const chain::DataSet b = chain::readDataFile(saved.toStdString());
        const chain::AnalysisOptions oa = chain::analysisOptionsOf(a), ob = chain::analysisOptionsOf(b);
        QCOMPARE(ob.sigmaA, oa.sigmaA);
        QCOMPARE(ob.sigmaB, oa.sigmaB);
        QCOMPARE(ob.sigmaQ, oa.sigmaQ);
        QVERIFY(ob.grade == oa.grade);
        QCOMPARE(b.header.value, a.header.value);
        const Proc second = chainadj({"--data", saved, "--fields"});
        QCOMPARE(second.out, first.out);
        QFile back(saved);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll().contains("sigma_"), keys.contains("sigma_"));
    }
};

QTEST_APPLESS_MAIN(AnalysisOutputTest)
#include "test_analysis_output.moc"
