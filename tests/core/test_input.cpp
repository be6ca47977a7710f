// The prompt-and-confirm dialogue, the reading of typed numbers and angles,
// the input sequence, the case table and the side messages.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/dialogue.h"
#include "app/fields.h"
#include "app/number.h"
#include "app/replies.h"
#include "support/chains.h"

#include <QtTest>

#include <cmath>

using namespace chain;

namespace {

// A sink that keeps every write in order.
struct Log : TextSink {
    std::vector<std::pair<std::string, std::string>> writes;
    void setText(std::string_view c, std::string_view t) override { writes.emplace_back(std::string(c), std::string(t)); }
};

std::vector<std::string> asked(const ScriptedPrompter &p)
{
    std::vector<std::string> v;
    for (const auto &[text, reply] : p.transcript())
        v.push_back(text);
    return v;
}

QStringList toList(const std::vector<std::string> &v)
{
    QStringList l;
    for (const auto &s : v)
        l << QString::fromStdString(s);
    return l;
}

const PromptTexts kT{"ask", "confirm", "reask"};

} // namespace

class InputTest : public QObject {
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12.5" << true << 12.5;
        QTest::newRow("blanks around") << "  12.5\t" << true << 12.5;
        QTest::newRow("full-width digits and point") << "１２．５" << true << 12.5;
        QTest::newRow("full-width minus") << "－３" << true << -3.0;
        QTest::newRow("minus sign") << "−2" << true << -2.0;
        QTest::newRow("ideographic blank") << "　7" << true << 7.0;
        QTest::newRow("plus") << "+4" << true << 4.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("huge") << "1e300" << true << 1e300;
        QTest::newRow("unit after") << "12.5m" << false << 0.0;
        QTest::newRow("comma") << "1,2" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
    }
    void numbers()
    {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto v = parseNumber(reply.toStdString());
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, value);
    }

    void angles_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<int>("sign");
        QTest::newRow("1.15 is 1°15'") << "1.15" << true << 1 + 15 / 60.0 << 1;
        QTest::newRow("2.01") << "2.01" << true << 2 + 1 / 60.0 << 1;
        QTest::newRow("0.29") << "0.29" << true << 29 / 60.0 << 1;
        QTest::newRow("271.03") << "271.03" << true << 271 + 3 / 60.0 << 1;
        QTest::newRow("123.4530") << "123.4530" << true << 123 + 45 / 60.0 + 30 / 3600.0 << 1;
        QTest::newRow("-0.3000") << "-0.3000" << true << 0.5 << -1;
        QTest::newRow("1.5 is 1°50'") << "1.5" << true << 1 + 50 / 60.0 << 1;
        QTest::newRow("seconds with decimals") << "10.005959" << true << 10 + 0 / 60.0 + 59.59 / 3600.0 << 1;
        QTest::newRow("zero") << "0" << true << 0.0 << 0;
        QTest::newRow("tiny azimuth") << "0.00000001" << true << 0.0001 / 3600.0 << 1;
        QTest::newRow("full-width") << "１２３．４５３" << true << 123 + 45 / 60.0 + 30 / 3600.0 << 1;
        QTest::newRow("60 minutes") << "123.7530" << false << 0.0 << 0;
        QTest::newRow("60 seconds") << "10.0060" << false << 0.0 << 0;
        QTest::newRow("exponent") << "1e2" << false << 0.0 << 0;
        QTest::newRow("junk") << "12°30'" << false << 0.0 << 0;
    }
    void angles()
    {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QFETCH(double, degrees);
        QFETCH(int, sign);
        const auto a = parseAngle(reply.toStdString());
        QCOMPARE(a.has_value(), ok);
        if (!ok)
            return;
        QVERIFY2(std::fabs(a->magnitude - degrees) < 1e-12, qPrintable(QString::number(a->magnitude, 'g', 17)));
        QCOMPARE(a->sign, sign);
    }

    // Every whole-minute entry converts to exactly d + m / 60 (a literal
    // floating-point reading of d.mm adds 40 seconds to many of them).
    void wholeMinutesAreExact()
    {
        for (int d : {0, 1, 2, 45, 89, 123, 271, 359})
            for (int m = 0; m < 60; ++m) {
                const std::string text = std::to_string(d) + "." + (m < 10 ? "0" : "") + std::to_string(m);
                const auto a = parseAngle(text);
                QVERIFY(a);
                QVERIFY2(a->magnitude == d + m / 60.0 + 0 / 3600.0, text.c_str());
            }
    }

    void dialogueSequences_data()
    {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<double>("value");
        QTest::addColumn<QStringList>("prompts");
        QTest::addColumn<QStringList>("echoes");
        QTest::newRow("Enter accepts") << QStringList{"12.34567", ""} << 12.34567 << QStringList{"ask", "confirm"}
                                       << QStringList{" 12.346", " 12.346"};
        QTest::newRow("5 accepts") << QStringList{"3", "5"} << 3.0 << QStringList{"ask", "confirm"}
                                   << QStringList{" 3.000", " 3.000"};
        QTest::newRow("Cancel on confirm accepts") << QStringList{"3", "<cancel>"} << 3.0 << QStringList{"ask", "confirm"}
                                                   << QStringList{" 3.000", " 3.000"};
        QTest::newRow("text on confirm accepts") << QStringList{"3", "yes"} << 3.0 << QStringList{"ask", "confirm"}
                                                 << QStringList{" 3.000", " 3.000"};
        QTest::newRow("0 rejects") << QStringList{"3", "0", "4", ""} << 4.0
                                   << QStringList{"ask", "confirm", "reask", "confirm"}
                                   << QStringList{" 3.000", "", " 4.000", " 4.000"};
        QTest::newRow("0.0 rejects twice") << QStringList{"3", "0.0", "4", "０", "5", ""} << 5.0
                                           << QStringList{"ask", "confirm", "reask", "confirm", "reask", "confirm"}
                                           << QStringList{" 3.000", "", " 4.000", "", " 5.000", " 5.000"};
        QTest::newRow("not a number is asked again") << QStringList{"abc", "7", ""} << 7.0
                                                     << QStringList{"ask", "reask", "confirm"}
                                                     << QStringList{"", " 7.000", " 7.000"};
        QTest::newRow("empty OK is asked again") << QStringList{"", "0", ""} << 0.0
                                                 << QStringList{"ask", "reask", "confirm"}
                                                 << QStringList{"", " 0.000", " 0.000"};
    }
    void dialogueSequences()
    {
        QFETCH(QStringList, replies);
        QFETCH(double, value);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, echoes);
        std::vector<std::string> r;
        for (const auto &s : replies)
            r.push_back(s.toStdString());
        ScriptedPrompter p(r);
        Log log;
        QCOMPARE(askLength(p, log, kT, "Text2", Quantity::Coordinate), value);
        QCOMPARE(toList(asked(p)), prompts);
        QStringList got;
        for (const auto &[c, t] : log.writes) {
            QCOMPARE(c, std::string("Text2"));
            got << QString::fromStdString(t);
        }
        QCOMPARE(got, echoes);
    }

    void cancelOnANumberEndsTheCommand()
    {
        ScriptedPrompter p({"<cancel>"});
        Log log;
        QVERIFY_THROWS_EXCEPTION(Cancelled, askLength(p, log, kT, "Text2", Quantity::Side));
        ScriptedPrompter q({"3", "0", "<cancel>"});
        QVERIFY_THROWS_EXCEPTION(Cancelled, askAngle(q, log, kT, "Text5", Quantity::Azimuth));
    }

    void names()
    {
        ScriptedPrompter p({"张庄", "0", "<cancel>", ""});
        Log log;
        QCOMPARE(askName(p, log, kT, "Text8(0)"), std::string());
        QCOMPARE(toList(asked(p)), (QStringList{"ask", "confirm", "reask", "confirm"}));
        QCOMPARE(log.writes.front().second, std::string("   张庄"));
        QCOMPARE(log.writes.back().second, std::string("   "));
    }

    void angleEchoIsAsTyped()
    {
        ScriptedPrompter p({"-0.3000", ""});
        Log log;
        const AngleReply a = askAngle(p, log, kT, "Text11", Quantity::Orientation);
        QCOMPARE(a.typed, -0.3);
        QCOMPARE(a.sign, -1);
        QCOMPARE(a.magnitude, 0.5);
        QCOMPARE(log.writes.back().second, std::string(" -0.30000"));
    }

    // What is asked for each configuration of known points and angles.
    void promptSequence_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case %1").arg(n))) << n;
    }
    void promptSequence()
    {
        QFETCH(int, caseNo);
        const auto c = testchain::sampleChain();
        const auto d = testchain::caseData(caseNo, c);
        ScriptedPrompter p(testchain::replies(d, c, testchain::sidesOf(c)));
        Record rec;
        FieldTable f;
        Command1_Click(rec, p, f);
        const auto q = asked(p);
        auto count = [&](const std::string &text) { return int(std::count(q.begin(), q.end(), text)); };
        const bool startAsked = d.knownA != d.knownC, closingAsked = d.knownB != d.knownD;
        QCOMPARE(count("请输入起始点 A 纵座标 :"), 1);
        QCOMPARE(count("请输入闭合点 D 横座标 :"), 1);
        QCOMPARE(count("请输入起始点的定向角 Qa : ( 定向角 Qa 由外方向顺时针旋转至 S1 边输入正值 ,如果反时针旋转至 S1 边输入负值 ) "),
                 startAsked ? 1 : 0);
        QCOMPARE(count("请输入闭合点的外方位角 : ( 位于点 B 点为 Tb,位于 D 点为 Td,方位角的方向由闭合点向外 , 如果方位角之值为零,则输入0.00000001 ) "),
                 closingAsked ? 1 : 0);
        QCOMPARE(count("请按图形顺序依次输入 S(1) 边长 : "), d.knownA && d.knownC ? 0 : 1);
        QCOMPARE(count("请按图形顺序依次输入 S(9) 边长 : "), d.knownB && d.knownD ? 0 : 1);
        QCOMPARE(count("请按示图顺序依次输入点名 :"), 4);
        QCOMPARE(count("请按图形顺序依次输入 S(11) 边长 : "), 1);
        QCOMPARE(count("确认输入的 S(4) 边长 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 "), 1);
        // Points typed as 0, 0 show "不是已知点" in both fields.
        QCOMPARE(f.text("Text25") == "不是已知点", !d.knownC);
        QCOMPARE(f.text("Text26") == "不是已知点", !d.knownC);
        QCOMPARE(f.text("Text3") == "不是已知点", !d.knownB);
        // E and F are never written.
        for (const char *e : {"Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)"})
            QCOMPARE(f.text(e), std::string());
    }

    // The whole transcript of a case-1 computation, text by text.
    void caseOneTranscript()
    {
        const auto c = testchain::sampleChain();
        const auto d = testchain::caseData(1, c);
        ScriptedPrompter p(testchain::replies(d, c, testchain::sidesOf(c)));
        Record rec;
        FieldTable f;
        Command1_Click(rec, p, f);
        const std::string cx = "确认输入的纵座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
        const std::string cy = "确认输入的横座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
        std::vector<std::string> want = {
            "请输入起始点 A 纵座标 :", cx, "请输入起始点 A 横座标 :", cy, "请输入闭合点 B 纵座标 :", cx,
            "请输入闭合点 B 横座标 :", cy, "请输入起始点 C 纵座标 :", cx, "请输入起始点 C 横座标 :", cy,
            "请输入闭合点 D 纵座标 :", cx, "请输入闭合点 D 横座标 :", cy,
            "请输入起始点的外方位角 : ( 位于点 A 点外方位角为 Ta , 位于 C 点的外方位角为 Tc , 方位角的方向由起始点向外 , 如果方位角之值为零,则输入0.00000001 ) ",
            "确认输入的外方位角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
            "请输入起始点的定向角 Qa : ( 定向角 Qa 由外方向顺时针旋转至 S1 边输入正值 ,如果反时针旋转至 S1 边输入负值 ) ",
            "确认输入的定向角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
            "请输入闭合点的外方位角 : ( 位于点 B 点为 Tb,位于 D 点为 Td,方位角的方向由闭合点向外 , 如果方位角之值为零,则输入0.00000001 ) ",
            "确认输入的外方位角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
            "请输入闭合点的定向角 Qb : ( 定向角 Qb 由 S9 边顺时针旋转至外方向输入正值 ,如果反时针旋转至外方向输入负值 ) ",
            "确认输入的定向角 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )",
            "输入起算点的点名 :", "确认起算点输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )"};
        for (int i = 0; i < 4; ++i) {
            want.push_back("请按示图顺序依次输入点名 :");
            want.push_back("确认输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )");
        }
        want.push_back("请输入闭合点的点名 :");
        want.push_back("确认输入的点名 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )");
        for (int i = 1; i <= 11; ++i) {
            want.push_back("请按图形顺序依次输入 S(" + std::to_string(i) + ") 边长 : ");
            want.push_back("确认输入的 S(" + std::to_string(i) + ") 边长 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 ");
        }
        QCOMPARE(toList(asked(p)), toList(want));
    }

    void reaskTexts_data()
    {
        QTest::addColumn<int>("index"); // reply index rejected
        QTest::addColumn<QString>("reask");
        QTest::newRow("xb") << 5 << "输入起始点 B 正确的纵座标 :";
        QTest::newRow("yc") << 11 << "请输入起始点 C 正确的横座标 :";
        QTest::newRow("ta") << 17 << "输入正确的外方位角 : ";
        QTest::newRow("qb") << 23 << "请输入正确的定向角 : ";
    }
    void reaskTexts()
    {
        QFETCH(int, index);
        QFETCH(QString, reask);
        const auto c = testchain::sampleChain();
        auto r = testchain::replies(testchain::caseData(1, c), c, testchain::sidesOf(c));
        // Reject the value confirmed at `index` and type it again.
        const std::string again = r[std::size_t(index) - 1];
        r[std::size_t(index)] = "0";
        r.insert(r.begin() + index + 1, {again, ""});
        ScriptedPrompter p(r);
        Record rec;
        FieldTable f;
        QCOMPARE(int(Command1_Click(rec, p, f).outcome), int(Outcome::Computed));
        QCOMPARE(QString::fromStdString(p.transcript()[std::size_t(index) + 1].first), reask);
        QCOMPARE(p.transcript()[std::size_t(index) + 2].first, p.transcript()[std::size_t(index)].first);
    }

    void sideMessages_data()
    {
        QTest::addColumn<QString>("known");
        QTest::addColumn<int>("sga");
        QTest::addColumn<int>("sgb");
        QTest::addColumn<QString>("message");
        QTest::newRow("A B same side") << "AB" << 1 << 1 << "起始点 A 和闭合点 B 位于同侧";
        QTest::newRow("A B both negative") << "AB" << -1 << -1 << "起始点 A 和闭合点 B 位于同侧";
        QTest::newRow("C D same side") << "CD" << 1 << 1 << "起始点 C 和闭合点 D 位于同侧";
        QTest::newRow("A D other sides") << "AD" << 1 << -1 << "起始点 A 和闭合点 D 位于异侧";
        QTest::newRow("C B other sides") << "CB" << -1 << 1 << "起始点 C 和闭合点 B 位于异侧";
        QTest::newRow("no angle") << "AB" << 1 << 0 << "没有方位角条件";
        QTest::newRow("none at all") << "" << 0 << 0 << "没有方位角条件";
        QTest::newRow("A B opposite signs keeps text") << "AB" << 1 << -1 << "";
        QTest::newRow("A D same signs keeps text") << "AD" << 1 << 1 << "";
    }
    void sideMessages()
    {
        QFETCH(QString, known);
        QFETCH(int, sga);
        QFETCH(int, sgb);
        QFETCH(QString, message);
        Record r;
        if (known.contains('A')) r.xa = 1, r.ya = 2;
        if (known.contains('B')) r.xb = 3, r.yb = 4;
        if (known.contains('C')) r.xc = 5, r.yc = 6;
        if (known.contains('D')) r.xd = 7, r.yd = 8;
        QCOMPARE(QString::fromStdString(sideMessage(r, float(sga), float(sgb))), message);
    }

    void caseTable_data()
    {
        QTest::addColumn<QString>("known");
        QTest::addColumn<QString>("angles"); // which of ta qa tb qb are typed
        QTest::addColumn<int>("sga");
        QTest::addColumn<int>("sgb");
        QTest::addColumn<int>("caseNo");
        QTest::newRow("1") << "AB" << "ta qa" << 1 << 0 << 1;
        QTest::newRow("2") << "AB" << "ta qa tb qb" << 1 << 1 << 2;
        QTest::newRow("2 both negative") << "AB" << "ta qa tb qb" << -1 << -1 << 2;
        QTest::newRow("3") << "AB" << "" << 0 << 0 << 3;
        QTest::newRow("4") << "AD" << "" << 0 << 0 << 4;
        QTest::newRow("5") << "CB" << "" << 0 << 0 << 5;
        QTest::newRow("6") << "CB" << "ta qa tb qb" << -1 << 1 << 6;
        QTest::newRow("7") << "AD" << "ta qa tb qb" << 1 << -1 << 7;
        QTest::newRow("7 with qb zero") << "AD" << "ta qa tb" << 1 << -1 << 7;
        QTest::newRow("8") << "ABC" << "tb qb" << 0 << 1 << 8;
        QTest::newRow("9") << "ABCD" << "" << 0 << 0 << 9;
        QTest::newRow("10") << "ACD" << "tb qb" << 0 << -1 << 10;
        QTest::newRow("11") << "ACD" << "" << 0 << 0 << 11;
        QTest::newRow("12") << "ABC" << "" << 0 << 0 << 12;
        QTest::newRow("only A") << "A" << "ta qa" << 1 << 0 << 0;
        QTest::newRow("A B opposite signs") << "AB" << "ta qa tb qb" << 1 << -1 << 0;
        QTest::newRow("A B azimuth without angle") << "AB" << "ta" << 0 << 0 << 0;
        QTest::newRow("A D same signs") << "AD" << "ta qa tb qb" << 1 << 1 << 0;
        QTest::newRow("C D") << "CD" << "" << 0 << 0 << 0;
        QTest::newRow("nothing known") << "" << "" << 0 << 0 << 0;
        QTest::newRow("case 3 points but closing angles only") << "AB" << "tb qb" << 0 << 1 << 0;
    }
    void caseTable()
    {
        QFETCH(QString, known);
        QFETCH(QString, angles);
        QFETCH(int, sga);
        QFETCH(int, sgb);
        QFETCH(int, caseNo);
        Record r;
        if (known.contains('A')) r.xa = 1, r.ya = 2;
        if (known.contains('B')) r.xb = 3, r.yb = 4;
        if (known.contains('C')) r.xc = 5, r.yc = 6;
        if (known.contains('D')) r.xd = 7, r.yd = 8;
        const QStringList a = angles.split(' ', Qt::SkipEmptyParts);
        if (a.contains("ta")) r.ta = 10;
        if (a.contains("qa")) r.qa = 20 * sga;
        if (a.contains("tb")) r.tb = 30;
        if (a.contains("qb")) r.qb = 40 * sgb;
        Computation comp;
        comp.sga = float(sga);
        comp.sgb = float(sgb);
        comp.side = sideOfChain(r);
        QCOMPARE(int(selectCase(r, comp)), caseNo);
    }

    void rightTriangleIsExactly90()
    {
        // Triangle 1 with sides 3, 4, 5: the angle opposite S(3) = 5.
        std::vector<double> s = {0, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5};
        TriArr al{}, be{}, ga{}, h{};
        formTriangles(s, 3.1415926535 / 180, al, be, ga, &h, false);
        QCOMPARE(al[1], 90.0);
        QCOMPARE(h[1], 3 * std::sin(3.1415926535 / 180 * 90));
    }

    void brokenTriangleNamesItself_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("triangle");
        QTest::newRow("S(2) too long") << 2 << 5000.0 << "第 1 个三角形";
        QTest::newRow("S(6) zero") << 6 << 0.0 << "第 3 个三角形";
        QTest::newRow("S(11) negative") << 11 << -3.0 << "第 6 个三角形";
        QTest::newRow("S(7) flat") << 7 << 0.5 << "第 4 个三角形";
    }
    void brokenTriangleNamesItself()
    {
        QFETCH(int, side);
        QFETCH(double, value);
        QFETCH(QString, triangle);
        const auto c = testchain::sampleChain();
        auto sides = testchain::sidesOf(c);
        if (value == 0.5) // S(7) = |S(4) - S(8)|: a triangle pressed flat
            value = std::fabs(sides[4] - sides[8]);
        sides[std::size_t(side)] = value;
        ScriptedPrompter p(testchain::replies(testchain::caseData(1, c), c, sides));
        Record rec;
        FieldTable f;
        const ComputeResult r = Command1_Click(rec, p, f);
        QCOMPARE(int(r.outcome), int(Outcome::Degenerate));
        QVERIFY2(QString::fromStdString(r.message).contains(triangle), r.message.c_str());
        QCOMPARE(int(rec.caseNo), 0);
        QCOMPARE(f.text("Text22"), std::string()); // no result written
    }

    // A failed or cancelled computation keeps what a later Print relies on.
    void outcomesKeepTheRecordConsistent()
    {
        const auto c = testchain::sampleChain();
        const auto sides = testchain::sidesOf(c);
        Record rec;
        FieldTable f;
        ScriptedPrompter first(testchain::replies(testchain::caseData(1, c), c, sides));
        QCOMPARE(int(Command1_Click(rec, first, f).outcome), int(Outcome::Computed));
        const Record done = rec;
        const std::string x2 = f.text("Text9(2)");

        // Cancel half way: the record is untouched, the echoes typed so far stay.
        auto r = testchain::replies(testchain::caseData(3, c), c, sides);
        r.resize(6);
        r.push_back("<cancel>");
        ScriptedPrompter cancel(r);
        QCOMPARE(int(Command1_Click(rec, cancel, f).outcome), int(Outcome::Cancelled));
        QCOMPARE(rec.caseNo, done.caseNo);
        QCOMPARE(rec.qa, done.qa);
        QCOMPARE(rec.X, done.X);
        QCOMPARE(rec.Sp, done.Sp);
        QCOMPARE(f.text("Text9(2)"), x2);

        // No matching case: caseNo 0, the new inputs, the results of the last computation.
        testchain::CaseData only = testchain::caseData(1, c);
        only.knownB = false;
        ScriptedPrompter none(testchain::replies(only, c, sides));
        const ComputeResult nr = Command1_Click(rec, none, f);
        QCOMPARE(int(nr.outcome), int(Outcome::NoCase));
        QVERIFY(QString::fromStdString(nr.message).contains("十二种计算情形"));
        QCOMPARE(int(rec.caseNo), 0);
        QCOMPARE(rec.xb, 0.0);
        QCOMPARE(rec.X, done.X);
        QCOMPARE(rec.px, done.px);
        QCOMPARE(f.text("Text9(2)"), x2);
        QVERIFY(std::fabs(rec.qa - only.qa) < 1e-9); // as typed in this computation, not corrected
    }

    void anglesNotAskedAreZero()
    {
        const auto c = testchain::sampleChain();
        const auto sides = testchain::sidesOf(c);
        Record rec;
        FieldTable f;
        ScriptedPrompter first(testchain::replies(testchain::caseData(2, c), c, sides));
        Command1_Click(rec, first, f);
        QVERIFY(rec.ta != 0 && rec.qb != 0);
        ScriptedPrompter second(testchain::replies(testchain::caseData(9, c), c, sides));
        QCOMPARE(int(Command1_Click(rec, second, f).outcome) != int(Outcome::Cancelled), true);
        QCOMPARE(rec.ta, 0.0);
        QCOMPARE(rec.qa_in, 0.0);
        QCOMPARE(rec.tb, 0.0);
        QCOMPARE(rec.qb, 0.0);
        // S(1) and S(9) come from the coordinates.
        QCOMPARE(rec.S[1], std::hypot(c.C.x - c.A.x, c.C.y - c.A.y));
        QCOMPARE(rec.S[9], std::hypot(c.D.x - c.B.x, c.D.y - c.B.y));
    }

    void coincidentKnownPoints()
    {
        auto c = testchain::sampleChain();
        const auto sides = testchain::sidesOf(c);
        c.C = c.A;
        ScriptedPrompter p(testchain::replies(testchain::caseData(12, c), c, sides));
        Record rec;
        FieldTable f;
        const ComputeResult r = Command1_Click(rec, p, f);
        QCOMPARE(int(r.outcome), int(Outcome::Degenerate));
        QVERIFY(QString::fromStdString(r.message).contains("A 和 C 的座标相同"));
    }

    void convertedAnglesInTheRecord()
    {
        const auto c = testchain::sampleChain();
        auto r = testchain::replies(testchain::caseData(1, c), c, testchain::sidesOf(c));
        r[16] = "123.4530"; // ta
        r[18] = "-0.3000";  // qa
        ScriptedPrompter p(r);
        Record rec;
        FieldTable f;
        Command1_Click(rec, p, f);
        QCOMPARE(rec.ta_in, 123.453);
        QVERIFY(std::fabs(rec.ta - (123 + 45 / 60.0 + 30 / 3600.0)) < 1e-12);
        QCOMPARE(rec.qa_in, -0.3);
        QCOMPARE(f.text("Text5"), std::string(" 123.45300"));
        QCOMPARE(f.text("Text11"), std::string(" -0.30000"));
        QCOMPARE(rec.rad, 3.1415926535 / 180);
        QCOMPARE(rec.rho, 206265.0f);
    }
};

QTEST_APPLESS_MAIN(InputTest)
#include "test_input.moc"
