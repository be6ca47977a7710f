// What the fuzz target checks, and the inputs it has turned up. The
// detectors of fuzz/harness.h must see every way a figure can go wrong on
// screen, and nothing else; every example replies file must pass all the
// checks; and each input below, found by the fuzzer on a rare road through
// the program, must keep its outcome and message. An input that ever broke
// a property goes here under a name that says what it does.
#include "fuzz/datafile.h"
#include "fuzz/harness.h"

#include <QtTest>

#include <string>
#include <vector>

using chainfuzz::End;
using Lines = std::vector<std::string>;

Q_DECLARE_METATYPE(Lines)

class FuzzRegressionTest : public QObject {
    Q_OBJECT

private slots:
    void detectors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("bad");
        QTest::newRow("plain figure") << " 3486.522" << "";
        QTest::newRow("negative figure") << "-12.30毫米" << "";
        QTest::newRow("small negative figure") << "-0.001" << "";
        QTest::newRow("negative tiny decimals") << "-0.00001" << "";
        QTest::newRow("zero") << "0.00秒" << "";
        QTest::newRow("minus in a text") << "S(1)-S(2)" << "";
        QTest::newRow("negative zero") << " -0.00毫米" << "negative zero";
        QTest::newRow("negative zero integer") << "-0" << "negative zero";
        QTest::newRow("negative zero without integer digit") << "-.000" << "negative zero";
        QTest::newRow("negative zero after a figure") << "1.00 -0.000" << "negative zero";
        QTest::newRow("nan") << "nan毫米" << "nan";
        QTest::newRow("negative nan") << "-nan" << "nan";
        QTest::newRow("NaN") << " NaN" << "nan";
        QTest::newRow("inf") << "inf" << "inf";
        QTest::newRow("negative infinity") << "-Infinity" << "inf";
        QTest::newRow("Chinese message") << "计算结果超出数值范围" << "";
    }
    void detectors()
    {
        QFETCH(QString, text);
        QFETCH(QString, bad);
        QCOMPARE(QString::fromStdString(chainfuzz::badFigure(text.toStdString())), bad);
    }

    // A point name is the surveyor's text: it may read "nan" in the report.
    void namesAreNotFigures()
    {
        const std::vector<std::string> names = {"nan", "-0", "城关"};
        QVERIFY(chainfuzz::isNameItem("nan :", names));
        QVERIFY(chainfuzz::isNameItem("城关 :", names));
        QVERIFY(!chainfuzz::isNameItem("nan", names));
        QVERIFY(!chainfuzz::isNameItem(" -0.00", names));
    }

    void examples_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir(CHAIN_EXAMPLES);
        for (const QString &f : dir.entryList({"*.replies"}, QDir::Files))
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }
    void examples()
    {
        QFETCH(QString, file);
        const chainfuzz::Run r = chainfuzz::run(chain::readReplies(file.toStdString()));
        QString violations;
        for (const auto &v : r.violations)
            violations += QString::fromStdString(v) + '\n';
        QVERIFY2(r.violations.empty(), qPrintable(violations));
        QCOMPARE(int(r.end), int(End::Computed));
    }

    // The data-file road of the second fuzz target: every example data file
    // passes its checks and computes the same after saving and reopening;
    // hostile files end in problems that name the key, briefly.
    void dataFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("computed");
        QTest::addColumn<QString>("problem");
        const QDir dir(CHAIN_EXAMPLES);
        for (const QString &f : dir.entryList({"*.chain"}, QDir::Files)) {
            QFile file(dir.filePath(f));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(f)) << file.readAll() << true << "";
        }
        QTest::newRow("a name with U+2066") << QByteArray("pn0 = a\u2066b\n") << false << "U+2066";
        QTest::newRow("a value of a megabyte") << "xa = " + QByteArray(1 << 20, '1') + "\n" << false
                                               << "（共 1048576 个字符）";
    }
    void dataFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, computed);
        QFETCH(QString, problem);
        const chainfuzz::FileRun f = chainfuzz::runDataFile(bytes.toStdString());
        QString violations;
        for (const auto &v : f.violations)
            violations += QString::fromStdString(v) + '\n';
        QVERIFY2(f.violations.empty(), qPrintable(violations));
        QCOMPARE(f.computed, computed);
        if (computed)
            QCOMPARE(int(f.run.end), int(End::Computed));
        else
            QVERIFY2(QString::fromStdString(f.message).contains(problem), f.message.c_str());
    }

    void found_data()
    {
        QTest::addColumn<Lines>("replies");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("message");

        // Case 5 (C and B known, no angles) with B typed at (5, 70880804628)
        // and C at (212360606666380, 6671.0857700180): sides of some 500 m
        // between known points 2e14 m apart once left the normal equations
        // without a usable diagonal. Coordinates beyond 1e9 m are asked
        // again now, so the replies that follow answer the wrong prompts and
        // the points fit no case.
        QTest::newRow("known points 2e14 m apart (case 5): asked again")
            << Lines{"0", "", "0", "", "5", "1081.7979102440", "", "6926.6-1e300", "70880804628", "",
                     "212360606666380", "", "6671.0857700180", "", "0", "", "0", "", "0", "", "0", "", "0", "",
                     "0", "", "TC10", "", "TA11", "", "nan", "", "TE13", "", "720", "", "TB15", "TF12",
                     "496.0356905839", "", "474.7712127130", "", "677.9220380693", "", "484.9590555346", "",
                     "471.9842834513", "", "685.3506164789", "", "481.9432651392", "", "682.8178223231", "",
                     "487.9586411337", "", "481.2140220203", "", "686.2036411504", ""}
            << int(End::NoCase) << "十二种计算情形";
        // B's abscissa typed 1e300 on the prompt after a confirmation of
        // "360" accepted xb: the route once overflowed in the case
        // procedure. Now 1e300 is asked again and the next reply, 5531.482,
        // is B's abscissa; the sides that follow are out of step (S(10)
        // gets 223.5), and the adjusted figure does not close.
        QTest::newRow("closing point abscissa 1e300: asked again, sides out of step")
            << Lines{"0", "", "0", "", "3952.6600000000", "360", "1e300", "5531.4820000000", "", "3012.3470000000",
                     "", "5004.119", "", "0", "", "0", "", "0", "", "0", "-90", "0", "90", "", "0", "", "",
                     "TC10", "180", "", "TF12", "", "TE13", "1e300", "TD14", "", "TB15", "5", "496.0385353890", "",
                     "474.7736668669", "", "677", "", "", "484.9551749998", "", "471.9798813019", "", "",
                     "685.3456250280", "", "481.9413726684", "-180", "1e999", "682.8161410525", "",
                     "487.9546309820", "   ", "223.544974", "", "", "686.2068926773", ""}
            << int(End::Degenerate) << "平差结果检核不通过";
    }
    void found()
    {
        QFETCH(Lines, replies);
        QFETCH(int, end);
        QFETCH(QString, message);
        const chainfuzz::Run r = chainfuzz::run(replies);
        QString violations;
        for (const auto &v : r.violations)
            violations += QString::fromStdString(v) + '\n';
        QVERIFY2(r.violations.empty(), qPrintable(violations));
        QVERIFY2(int(r.end) == end, chainfuzz::endName(r.end));
        QVERIFY2(QString::fromStdString(r.message).contains(message), r.message.c_str());
    }
};

QTEST_GUILESS_MAIN(FuzzRegressionTest)
#include "test_fuzz_regressions.moc"
