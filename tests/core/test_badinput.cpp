// Bad input, row by row: what a surveyor may type or a replies file may
// hold that the calculator must survive. Every row runs the Compute command
// from a finished case 1 computation and expects one outcome and a Chinese
// message that says what is wrong and what to check; the checks of
// fuzz/harness.h apply to every row (no nan, inf or negative zero in a
// field or a report line, after a failure case number 0 and the previous
// results intact for Print). The replies files that cannot be read at all
// go through the executable.
#include "adjust/numfmt.h"
#include "app/fields.h"
#include "fuzz/harness.h"
#include "support/process.h"
#include "support/chains.h"

#include <QtTest>

#include <cmath>
#include <string>
#include <vector>

using chainfuzz::End;

namespace {

using Lines = std::vector<std::string>;

QByteArray bytesOf(const Lines &lines)
{
    QByteArray b;
    for (const auto &l : lines)
        b += QByteArray::fromStdString(l) + '\n';
    return b;
}

Lines repliesFor(int caseNo, const testchain::Chain &c, const std::array<double, 12> &sides)
{
    return testchain::replies(testchain::caseData(caseNo, c), c, sides);
}

Lines repliesFor(int caseNo, const testchain::Chain &c) { return repliesFor(caseNo, c, testchain::sidesOf(c)); }

// The index of the reply that answers the first prompt containing
// `fragment`, found by running the replies once.
std::size_t replyTo(const Lines &replies, const std::string &fragment)
{
    chain::Record rec;
    chain::FieldTable fields;
    chain::ScriptedPrompter p(replies);
    try {
        chain::Command1_Click(rec, p, fields);
    } catch (const chain::RepliesExhausted &) {
    }
    const auto &t = p.transcript();
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].first.find(fragment) != std::string::npos)
            return i;
    qFatal("no prompt contains %s", fragment.c_str());
    return 0;
}

Lines replaced(Lines r, const std::string &prompt, const std::string &reply)
{
    r[replyTo(r, prompt)] = reply;
    return r;
}

// Without the `count` replies from the one that answers the prompt
// containing `fragment`: the questions an end with a half-known point
// no longer asks.
Lines erased(Lines r, const std::string &prompt, std::size_t count)
{
    const std::size_t i = replyTo(r, prompt);
    r.erase(r.begin() + static_cast<std::ptrdiff_t>(i), r.begin() + static_cast<std::ptrdiff_t>(i + count));
    return r;
}

// A bad reply first, then (after the re-ask) the reply that was there.
Lines badFirst(Lines r, const std::string &prompt, const std::string &bad)
{
    const std::size_t i = replyTo(r, prompt);
    r.insert(r.begin() + static_cast<std::ptrdiff_t>(i), bad);
    return r;
}

// "Text9(i)<TAB>x" and "Text10(i)<TAB>y" of the adjusted coordinates that
// error-free sides must give: the true coordinates of the route points.
QStringList trueCoordinates(int caseNo, const testchain::Chain &c)
{
    QStringList l;
    for (int i = 0; i <= 5; ++i) {
        const testchain::Pt p = testchain::routePoint(caseNo, c, i);
        l << QString::fromStdString(chain::indexed("Text9", i) + "\t" + chain::fixed(p.x, 3));
        l << QString::fromStdString(chain::indexed("Text10", i) + "\t" + chain::fixed(p.y, 3));
    }
    return l;
}

// A chain of squares: every triangle has a right angle.
testchain::Chain squares()
{
    testchain::Chain g;
    g.A = {1000, 2000};
    g.C = {1000, 1500};
    g.E = {1500, 1500};
    g.F = {1500, 2000};
    g.D = {2000, 1500};
    g.B = {2000, 2000};
    return g;
}

// Case 1 of the sample chain with the start azimuth ta and the orientation
// angle qa typed as given (T(1) = ta + qa stays the azimuth of A -> C).
Lines case1Angles(double ta, double qa)
{
    const auto c = testchain::sampleChain();
    auto d = testchain::caseData(1, c);
    d.ta = ta;
    d.qa = qa;
    return testchain::replies(d, c, testchain::sidesOf(c));
}

using testproc::Result;
Result runExe(const QStringList &args) { return testproc::chainadj(args); }

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void table_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("what");       // the message names what is wrong
        QTest::addColumn<QString>("check");      // and what to check
        QTest::addColumn<QStringList>("fields"); // "name<TAB>text" after the command
        QTest::addColumn<QString>("reasked");    // a re-ask prompt that must have been shown

        const auto c = testchain::sampleChain();
        const auto sides = testchain::sidesOf(c);
        const Lines one = repliesFor(1, c);
        const auto d1 = testchain::caseData(1, c);
        const int degenerate = int(End::Degenerate), computed = int(End::Computed), noCase = int(End::NoCase);
        const QString checkSides = "请检查这三条边长的输入";
        const QString unclosed = "个三角形不能闭合";
        const QString overflow = "超出数值范围";
        const QString checkRange = "请检查输入的坐标和边长是否合理";

        // Sides.
        QTest::newRow("negative side S(2)") << bytesOf(replaced(one, "S(2) 边长", "-474.775")) << degenerate
                                            << "第 1 " + unclosed << checkSides << QStringList{} << "";
        QTest::newRow("zero side S(4)") << bytesOf(replaced(one, "S(4) 边长", "0")) << degenerate << "第 2 " + unclosed
                                        << checkSides << QStringList{} << "";
        // Sides of a thousand kilometres and more are asked again, the
        // reason before the re-ask text.
        QTest::newRow("huge side S(4) 1e300") << bytesOf(badFirst(one, "S(4) 边长", "1e300")) << computed << "" << ""
                                              << trueCoordinates(1, c) << "超出范围：边长须小于 1000000 米";
        QTest::newRow("side S(11) of 1e6 m") << bytesOf(badFirst(one, "S(11) 边长", "1000000")) << computed << ""
                                             << "" << trueCoordinates(1, c) << "「1000000」超出范围";
        QTest::newRow("side S(3) 1e309") << bytesOf(badFirst(one, "S(3) 边长", "1e309")) << computed << "" << ""
                                         << trueCoordinates(1, c) << "「1e309」超出范围，计算机无法表示这个数";
        QTest::newRow("every side scaled by 1e100: S(1) asked again")
            << bytesOf(badFirst(one, "S(1) 边长", "496.034e100")) << computed << ""
            << "" << trueCoordinates(1, c) << "超出范围：边长须小于";
        (void)overflow;
        (void)checkRange;
        QTest::newRow("triangle 1 cannot close: S(2) too long") << bytesOf(replaced(one, "S(2) 边长", "5000"))
                                                                << degenerate << "第 1 " + unclosed << checkSides
                                                                << QStringList{} << "";
        QTest::newRow("triangle 6 flat: S(11) = S(10) + S(4)")
            << bytesOf(replaced(one, "S(11) 边长", testchain::num(sides[10] + sides[4]))) << degenerate
            << "第 6 " + unclosed << checkSides << QStringList{} << "";
        // The observed triangles close; the adjustment onto a closing point
        // far from where the sides lead makes a side negative.
        testchain::Chain onA = c;
        onA.B = onA.A;
        QTest::newRow("adjusted triangle cannot close: B typed on A (case 1)")
            << bytesOf(repliesFor(1, onA, sides)) << degenerate << "平差后的第 2 " + unclosed
            << "请检查观测边长和已知点座标是否相符" << QStringList{} << "";
        testchain::Chain onC = c;
        onC.B = onC.C;
        QTest::newRow("adjusted triangle cannot close: B typed on C (case 5)")
            << bytesOf(repliesFor(5, onC, sides)) << degenerate << "平差后的第 1 " + unclosed
            << "请检查观测边长和已知点座标是否相符" << QStringList{} << "";

        // Coordinates.
        // Coordinates beyond 1e9 m, and numbers no double holds, are asked
        // again with the reason.
        QTest::newRow("huge coordinate xa 1e300") << bytesOf(badFirst(one, "A 纵座标", "1e300")) << computed << ""
                                                  << "" << trueCoordinates(1, c) << "超出范围：座标的绝对值不能超过";
        QTest::newRow("coordinate ya 1e13") << bytesOf(badFirst(one, "A 横座标", "1e13")) << computed << "" << ""
                                            << trueCoordinates(1, c) << "「1e13」超出范围";
        QTest::newRow("coordinate xb -1000000000.001") << bytesOf(badFirst(one, "B 纵座标", "-1000000000.001"))
                                                       << computed << "" << "" << trueCoordinates(1, c) << "超出范围";
        QTest::newRow("coordinate yb 1e-400") << bytesOf(badFirst(one, "B 横座标", "1e-400")) << computed << "" << ""
                                              << trueCoordinates(1, c) << "「1e-400」超出范围，计算机无法表示这个数";
        for (int n : {8, 9, 10, 11, 12}) {
            testchain::Chain same = c;
            same.C = same.A;
            QTest::addRow("coincident known points A and C (case %d)", n)
                << bytesOf(repliesFor(n, same, sides)) << degenerate << "已知点 A 和 C 的座标相同"
                << "请检查 A、C 两点的座标" << QStringList{} << "";
        }
        testchain::Chain sameBD = c;
        sameBD.D = sameBD.B;
        QTest::newRow("coincident known points B and D (case 9)") << bytesOf(repliesFor(9, sameBD, sides)) << degenerate
                                                                  << "已知点 B 和 D 的座标相同" << "请检查 B、D 两点的座标"
                                                                  << QStringList{} << "";
        const QString noCaseText = "十二种计算情形";
        const QString checkKnown = "已知点的两个座标都须不为零";
        // A point with one coordinate zero is neither known nor new: its
        // end has no angles and no S(1) or S(9) to ask.
        const Lines startHalf = erased(erased(one, "S(1) 边长", 2), "起始点的外方位角", 4);
        const Lines closingHalf = erased(erased(one, "S(9) 边长", 2), "闭合点的外方位角", 4);
        QTest::newRow("A with only its abscissa zero") << bytesOf(replaced(startHalf, "A 横座标", "0")) << noCase
                                                       << noCaseText << checkKnown << QStringList{} << "";
        QTest::newRow("B with only its ordinate zero") << bytesOf(replaced(closingHalf, "B 纵座标", "0")) << noCase
                                                       << noCaseText << checkKnown << QStringList{} << "";
        QTest::newRow("C with only its ordinate") << bytesOf(replaced(startHalf, "C 纵座标", "3012.347")) << noCase
                                                  << noCaseText << checkKnown << QStringList{} << "";

        // Right angles in every triangle, in every case.
        const auto g = squares();
        for (int n = 1; n <= 12; ++n)
            QTest::addRow("right angles (case %d)", n) << bytesOf(repliesFor(n, g)) << computed << "" << ""
                                                       << trueCoordinates(n, g) << "";

        // Azimuths.
        const double t1 = testchain::azimuth(c.A, c.C);
        QTest::newRow("azimuth 0 typed as 0: no azimuth") << bytesOf(case1Angles(0, t1)) << noCase << noCaseText
                                                          << "0.00000001" << QStringList{} << "";
        QTest::newRow("azimuth 0 typed as 0.00000001")
            << bytesOf(replaced(case1Angles(0, t1), "外方位角 :", "0.00000001")) << computed << "" << ""
            << trueCoordinates(1, c) << "";
        // An angle beyond a full turn cannot be meant: asked again, naming
        // the angle.
        QTest::newRow("azimuth 360 more") << bytesOf(badFirst(one, "外方位角 :", testchain::dms(d1.ta + 360)))
                                          << computed << "" << "" << trueCoordinates(1, c) << "外方位角「583.";
        QTest::newRow("azimuth 720 more") << bytesOf(badFirst(one, "外方位角 :", testchain::dms(d1.ta + 720)))
                                          << computed << "" << "" << trueCoordinates(1, c) << "超出范围：外方位角须在";
        QTest::newRow("azimuth 360") << bytesOf(case1Angles(360, t1 - 360)) << computed << "" << ""
                                     << trueCoordinates(1, c) << "";
        QTest::newRow("azimuth 720") << bytesOf(badFirst(one, "外方位角 :", "720")) << computed << "" << ""
                                     << trueCoordinates(1, c) << "外方位角「720」超出范围";
        QTest::newRow("orientation angle 1e300") << bytesOf(badFirst(one, "定向角 Qa", "1" + std::string(300, '0'))) << computed << ""
                                                 << "" << trueCoordinates(1, c) << "……」（共 301 个字符）超出范围：定向角须在";
        QTest::newRow("orientation angle -360.0001") << bytesOf(badFirst(one, "定向角 Qa", "-360.0001")) << computed
                                                     << "" << "" << trueCoordinates(1, c) << "超出范围：定向角须在";
        QTest::newRow("azimuth below zero") << bytesOf(case1Angles(d1.ta - 360, d1.qa)) << computed << "" << ""
                                            << trueCoordinates(1, c) << "";
        QTest::newRow("orientation angle 0: no angle") << bytesOf(case1Angles(t1, 0)) << noCase << noCaseText
                                                       << "请检查" << QStringList{} << "";
        for (double q : {90.0, 180.0, -90.0, -180.0})
            QTest::addRow("orientation angle %g", q) << bytesOf(case1Angles(std::fmod(t1 - q + 360, 360), q))
                                                     << computed << "" << "" << trueCoordinates(1, c) << "";
        // Case 2 closes on an azimuth as well: the given one a turn less
        // is taken, a turn or two more is asked again.
        auto d2 = testchain::caseData(2, c);
        const Lines two = testchain::replies(d2, c, sides);
        for (double turn : {360.0, -360.0, 720.0}) {
            auto d = d2;
            d.tb += turn;
            if (turn > 0)
                QTest::addRow("closing azimuth %+g (case 2)", turn)
                    << bytesOf(badFirst(two, "闭合点的外方位角", testchain::dms(d.tb))) << computed << "" << ""
                    << trueCoordinates(2, c) << "外方位角「";
            else
                QTest::addRow("closing azimuth %+g (case 2)", turn) << bytesOf(testchain::replies(d, c, sides))
                                                                    << computed << "" << "" << trueCoordinates(2, c) << "";
        }
        for (double turn : {360.0, -360.0}) {
            auto d = testchain::caseData(7, c);
            const Lines seven = testchain::replies(d, c, sides);
            d.tb += turn;
            if (turn > 0)
                QTest::addRow("closing azimuth %+g (case 7)", turn)
                    << bytesOf(badFirst(seven, "闭合点的外方位角", testchain::dms(d.tb))) << computed << "" << ""
                    << trueCoordinates(7, c) << "超出范围";
            else
                QTest::addRow("closing azimuth %+g (case 7)", turn) << bytesOf(testchain::replies(d, c, sides))
                                                                    << computed << "" << "" << trueCoordinates(7, c) << "";
        }

        // d.mmss with 60 minutes or seconds: not an angle, asked again.
        const QStringList ta = {"Text5\t 223.54497"};
        QTest::newRow("azimuth with 60 minutes") << bytesOf(badFirst(one, "外方位角 :", "123.6000")) << computed << ""
                                                 << "" << ta << "输入正确的外方位角";
        QTest::newRow("azimuth with 75 minutes") << bytesOf(badFirst(one, "外方位角 :", "359.7500")) << computed << ""
                                                 << "" << ta << "输入正确的外方位角";
        QTest::newRow("orientation angle with 60 seconds") << bytesOf(badFirst(one, "定向角 Qa", "47.3060")) << computed
                                                           << "" << "" << QStringList{"Text11\t 47.30450"}
                                                           << "输入正确的定向角";
        QTest::newRow("orientation angle with 99.99 seconds") << bytesOf(badFirst(one, "定向角 Qa", "-47.309999"))
                                                              << computed << "" << "" << QStringList{"Text11\t 47.30450"}
                                                              << "输入正确的定向角";

        // A reply of a megabyte.
        const std::string mega(1 << 20, '7');
        QTest::newRow("a megabyte of digits for a side") << bytesOf(badFirst(one, "S(2) 边长", mega)) << computed << ""
                                                         << "" << trueCoordinates(1, c) << "输入正确的 S(2) 边长";
        QTest::newRow("a megabyte of text for a side") << bytesOf(badFirst(one, "S(3) 边长", std::string(1 << 20, 'x')))
                                                       << computed << "" << "" << trueCoordinates(1, c)
                                                       << "输入正确的 S(3) 边长";
        const std::string megaName(1 << 20, 'N');
        QTest::newRow("a megabyte name") << bytesOf(replaced(one, "请按示图顺序依次输入点名", megaName)) << computed << ""
                                         << "" << QStringList{QString::fromStdString("Text8(1)\t   " + megaName)} << "";

        // Control characters and invalid UTF-8 in the file.
        QTest::newRow("control character after a side") << bytesOf(badFirst(one, "S(5) 边长", "471.982\x01"))
                                                         << computed << "" << "" << trueCoordinates(1, c)
                                                         << "输入正确的 S(5) 边长";
        QTest::newRow("NUL inside a side") << bytesOf(badFirst(one, "S(6) 边长", std::string("685.3\0" "50", 8)))
                                           << computed << "" << "" << trueCoordinates(1, c) << "输入正确的 S(6) 边长";
        QTest::newRow("invalid UTF-8 before a coordinate") << bytesOf(badFirst(one, "A 纵座标", "\xff" "3000.000"))
                                                           << computed << "" << "" << trueCoordinates(1, c)
                                                           << "A 正确的纵座标";
        QTest::newRow("escape sequence and invalid UTF-8 in a name")
            << bytesOf(replaced(one, "输入起算点的点名", "\x1b[2J\xc3\x28"))
            << computed << "" << "" << QStringList{"Text8(0)\t   \uFFFD[2J\uFFFD("} << "";
        QByteArray crlf = bytesOf(one);
        crlf.replace("\n", "\r\n");
        QTest::newRow("CRLF line ends") << crlf << computed << "" << "" << trueCoordinates(1, c) << "";

        // Cancel and too few replies.
        Lines cancelled = one;
        cancelled[replyTo(one, "S(7) 边长")] = "<cancel>";
        QTest::newRow("Cancel on a side") << bytesOf(cancelled) << int(End::Cancelled) << "" << "" << QStringList{}
                                          << "";
        Lines shortOf = one;
        shortOf.resize(replyTo(one, "S(10) 边长"));
        QTest::newRow("replies run out at S(10)") << bytesOf(shortOf) << int(End::Exhausted) << "答复在第" << "请在答复文件中补齐"
                                                  << QStringList{} << "";
        QTest::newRow("no replies at all") << QByteArray() << int(End::Exhausted) << "用完" << "请在答复文件中补齐"
                                           << QStringList{} << "";
    }

    void table()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, end);
        QFETCH(QString, what);
        QFETCH(QString, check);
        QFETCH(QStringList, fields);
        QFETCH(QString, reasked);

        const chainfuzz::Run r = chainfuzz::runBytes(bytes.toStdString());
        QString violations;
        for (const auto &v : r.violations)
            violations += QString::fromStdString(v) + '\n';
        QVERIFY2(r.violations.empty(), qPrintable(violations));
        QVERIFY2(int(r.end) == end, qPrintable(QString("ended %1: %2").arg(chainfuzz::endName(r.end),
                                                                          QString::fromStdString(r.message))));
        const QString message = QString::fromStdString(r.message);
        if (end == int(End::Computed) || end == int(End::Cancelled)) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
        } else {
            QVERIFY2(message.contains(what), qPrintable(message));
            QVERIFY2(message.contains(check), qPrintable(message));
            QVERIFY2(message.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")), qPrintable(message));
        }
        for (const QString &f : fields) {
            const QString name = f.section('\t', 0, 0), text = f.section('\t', 1);
            QCOMPARE(QString::fromStdString(r.fields.text(name.toStdString())), text);
        }
        if (!reasked.isEmpty()) {
            bool shown = false;
            for (const auto &[prompt, reply] : r.transcript)
                shown = shown || QString::fromStdString(prompt).contains(reasked);
            QVERIFY2(shown, qPrintable(reasked));
        }
        // What Print would print: after anything but a computation, the
        // coordinates of the previous one.
        if (end != int(End::Computed)) {
            const chainfuzz::Start &before = chainfuzz::previous();
            QVERIFY(r.reportText.find(" " + chain::fixed(before.rec.X[2], 3)) != std::string::npos);
            QVERIFY(r.reportText.find(" " + chain::fixed(before.rec.Y[5], 3)) != std::string::npos);
        }
    }

    // Replies files that the replay mode cannot or can only just read.
    void replayFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("check");
        const auto c = testchain::sampleChain();
        const Lines one = repliesFor(1, c);
        QTest::newRow("a directory") << "directory" << QByteArray() << 1 << "是一个目录" << "请给出答复文件的路径";
        QTest::newRow("missing") << "missing" << QByteArray() << 1 << "无法打开答复文件" << "请检查文件名和路径";
        QTest::newRow("empty") << "file" << QByteArray() << 5 << "用完" << "请在答复文件中补齐";
        QTest::newRow("only a byte-order mark") << "file" << QByteArray("\xEF\xBB\xBF") << 5 << "用完" << "请在答复文件中补齐";
        QByteArray controls = bytesOf(replaced(badFirst(one, "S(4) 边长", "\x7f\x02"), "输入起算点的点名", "\xfe\xff名"));
        QTest::newRow("control characters and invalid UTF-8") << "file" << controls << 0 << "" << "";
        // Just under the size limit of a replies file (1 MiB).
        QTest::newRow("a line of almost a megabyte") << "file"
                                                     << bytesOf(badFirst(one, "S(1) 边长", std::string((1 << 20) - 4096, '9')))
                                                     << 0 << "" << "";
        QTest::newRow("binary junk") << "file" << QByteArray("\x00\x01\x02\xff\xfe\n\n\x80\n", 9) << 5 << "用完"
                                     << "请在答复文件中补齐";
    }
    void replayFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, what);
        QFETCH(QString, check);
        QTemporaryDir dir;
        QString path = dir.path();
        if (kind == "missing") {
            path = dir.filePath("no-such-file.replies");
        } else if (kind == "file") {
            path = dir.filePath("r.replies");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const Result r = runExe({"--replies", path, "--fields", "--report-text"});
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(what) && r.err.contains(check), qPrintable(r.err));
        if (status == 1) {
            QVERIFY(r.out.isEmpty());
            return;
        }
        QVERIFY(r.out.startsWith("Text1(0)\t"));
        QVERIFY(r.out.contains("--- 二连续四边形三边平差 ---"));
        for (const QString &line : r.out.split('\n'))
            if (!line.startsWith("Text8("))
                QVERIFY2(chainfuzz::badFigure(line.toStdString()).empty(), qPrintable(line));
        if (status == 0)
            QVERIFY(r.out.contains("Text9(2)\t3486.522\n"));
    }
};

QTEST_GUILESS_MAIN(BadInputTest)
#include "test_badinput.moc"
