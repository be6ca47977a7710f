// The report model and its plain-text form.
#include "adjust/record.h"
#include "report/report.h"
#include "support/records.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cmath>
#include <limits>
#include <string>

using chain::Record;
using testchain::case1Record;
using namespace chain::report;

namespace {

const QString title = QStringLiteral("--- 二连续四边形三边平差 ---");

// A line written as "size|[tab]text[tab]text…", an item that follows its
// predecessor as "[]text".
QString encode(const Line &line)
{
    QString s = QString::number(line.fontSize) + QLatin1Char('|');
    for (const Item &it : line.items) {
        s += QLatin1Char('[');
        if (it.tab != follows)
            s += QString::number(it.tab);
        s += QLatin1Char(']') + QString::fromStdString(it.text);
    }
    return s;
}

QStringList encode(const Model &m)
{
    QStringList out;
    for (const Line &l : m.lines)
        out << encode(l);
    return out;
}

// The lines of the model joined without tabs, for searching.
QStringList plain(const Model &m)
{
    QStringList out;
    for (const Line &l : m.lines) {
        QString s;
        for (const Item &it : l.items)
            s += QString::fromStdString(it.text);
        out << s;
    }
    return out;
}

int indexOfLine(const QStringList &lines, const QString &start)
{
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(start))
            return i;
    return -1;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void case1Lines();
    void misclosureBlock_data();
    void misclosureBlock();
    void caseZeroAfterFailedComputation();
    void titleOnly_data();
    void titleOnly();
    void subtitle_data();
    void subtitle();
    void inputBlock_data();
    void inputBlock();
    void figures_data();
    void figures();
    void shortArrays();
    void neverNanInfOrMinusZero_data();
    void neverNanInfOrMinusZero();
    void cells_data();
    void cells();
    void textColumns_data();
    void textColumns();
    void textOfCase1();
};

void TestReport::case1Lines()
{
    const QStringList expected = {
        QStringLiteral("12|[35]--- 二连续四边形三边平差 ---"),
        QStringLiteral("12|[31]( 有定向的纵横座标条件但无方位角条件 )"),
        QStringLiteral("10|[30]起算数据 :"),
        QStringLiteral("10|[32]A 点座标 : xa=[] 3385421.256[60]ya=[] 39512687.431"),
        QStringLiteral("10|[32]B 点座标 : xb=[] 3386790.118[60]yb=[] 39514102.675"),
        QStringLiteral("10|[41]起始方位角 : ta=[] 125.30245"),
        QStringLiteral("10|[41]起始定向角 : qa=[] 62.15307"),
        QStringLiteral("10|"),
        QStringLiteral("10|[40]编号[46]观测边长(米)[65]平差边长(米)"),
        QStringLiteral("10|[39]s([] 1 []) :[43] 512.347[62] 512.351"),
        QStringLiteral("10|[39]s([] 2 []) :[43] 498.211[62] 498.208"),
        QStringLiteral("10|[39]s([] 3 []) :[43] 706.532[62] 706.536"),
        QStringLiteral("10|[39]s([] 4 []) :[43] 601.118[62] 601.115"),
        QStringLiteral("10|[39]s([] 5 []) :[43] 865.904[62] 865.909"),
        QStringLiteral("10|[39]s([] 6 []) :[43] 743.261[62] 743.256"),
        QStringLiteral("10|[39]s([] 7 []) :[43] 589.441[62] 589.445"),
        QStringLiteral("10|[39]s([] 8 []) :[43] 634.002[62] 634.005"),
        QStringLiteral("10|[39]s([] 9 []) :[43] 402.875[62] 402.871"),
        QStringLiteral("10|[39]s([] 10 []) :[43] 711.639[62] 711.643"),
        QStringLiteral("10|[39]s([] 11 []) :[43] 655.100[62] 655.096"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]条件方程式闭合差 :"),
        QStringLiteral("10|[40]第一四边形角条件闭合差 : w(1)=[] 3.46[] 秒"),
        QStringLiteral("10|[40]第二四边形角条件闭合差 : w(2)=[] -2.10[] 秒"),
        QStringLiteral("10|[40]       没有方位角条件 :"),
        QStringLiteral("10|[40]     纵座标条件闭合差 : w(4)=[] 12.30[] 毫米"),
        QStringLiteral("10|[40]     横座标条件闭合差 : w(5)=[] -8.70[] 毫米"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]法方程式联系数 :"),
        QStringLiteral("10|[40]k([] 1 [])=[] 0.01235"),
        QStringLiteral("10|[40]k([] 2 [])=[] -0.06543"),
        QStringLiteral("10|[40]k([] 3 [])=[] 1.23457"),
        QStringLiteral("10|[40]k([] 4 [])=[] 0.00000"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]平差结果 :"),
        QStringLiteral("10|[36]点名[48]纵座标(米)[60]横座标(米)"),
        QStringLiteral("10|[35]王庄 :[44] 3385421.256[56] 39512687.431"),
        QStringLiteral("10|[35]C1 :[44] 3385744.011[56] 39513001.222"),
        QStringLiteral("10|[35]E2 :[44] 3385870.500[56] 39512490.000"),
        QStringLiteral("10|[35]F3 :[44] 3386200.123[56] 39513456.700"),
        QStringLiteral("10|[35]D4 :[44] 3386510.900[56] 39513120.050"),
        QStringLiteral("10|[35]李村 :[44] 3386790.118[56] 39514102.675"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]精度评定 :"),
        QStringLiteral("10|"),
        QStringLiteral("10|[40]单位权测边中误差 : ms=[] 4.37[] 毫米"),
        QStringLiteral("10|"),
        QStringLiteral("10|[40]最弱点纵座标单位权权倒数 : 1/px=[] 0.12345"),
        QStringLiteral("10|[40]最弱点横座标单位权权倒数 : 1/py=[] 1.20453"),
        QStringLiteral("10|[40]最弱点纵座标单位权中误差 :   ms=[] 3.99[] 毫米"),
        QStringLiteral("10|[40]最弱点横座标单位权中误差 :   my=[] 4.80[] 毫米"),
        QStringLiteral("10|[40]  最弱点单位权点位中误差 :   md=[] 6.24[] 毫米"),
    };
    const QStringList got = encode(build(case1Record()));
    for (int i = 0; i < std::min(got.size(), expected.size()); ++i)
        QCOMPARE(got[i], expected[i]);
    QCOMPARE(got.size(), expected.size());
}

// The misclosure and correlate lines of the cases with and without the
// azimuth condition. w(1..5) = 1.5, 2.5, 0.0031, 0.0042, 0.0053 and
// k(i) = i / 10: the values show which element each line prints.
void TestReport::misclosureBlock_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<QStringList>("block");

    const QStringList five = {
        QStringLiteral("10|[40]第一四边形角条件闭合差 : w(1)=[] 1.50[] 秒"),
        QStringLiteral("10|[40]第二四边形角条件闭合差 : w(2)=[] 2.50[] 秒"),
        QStringLiteral("10|[40]           方位角条件 : w(3)=[] 0.00[] 秒"),
        QStringLiteral("10|[40]     纵座标条件闭合差 : w(4)=[] 4.20[] 毫米"),
        QStringLiteral("10|[40]     横座标条件闭合差 : w(5)=[] 5.30[] 毫米"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]法方程式联系数 :"),
        QStringLiteral("10|[40]k([] 1 [])=[] 0.10000"),
        QStringLiteral("10|[40]k([] 2 [])=[] 0.20000"),
        QStringLiteral("10|[40]k([] 3 [])=[] 0.30000"),
        QStringLiteral("10|[40]k([] 4 [])=[] 0.40000"),
        QStringLiteral("10|[40]k([] 5 [])=[] 0.50000"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]平差结果 :"),
    };
    const QStringList four = {
        QStringLiteral("10|[40]第一四边形角条件闭合差 : w(1)=[] 1.50[] 秒"),
        QStringLiteral("10|[40]第二四边形角条件闭合差 : w(2)=[] 2.50[] 秒"),
        QStringLiteral("10|[40]       没有方位角条件 :"),
        QStringLiteral("10|[40]     纵座标条件闭合差 : w(4)=[] 3.10[] 毫米"),
        QStringLiteral("10|[40]     横座标条件闭合差 : w(5)=[] 4.20[] 毫米"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]法方程式联系数 :"),
        QStringLiteral("10|[40]k([] 1 [])=[] 0.10000"),
        QStringLiteral("10|[40]k([] 2 [])=[] 0.20000"),
        QStringLiteral("10|[40]k([] 3 [])=[] 0.30000"),
        QStringLiteral("10|[40]k([] 4 [])=[] 0.40000"),
        QStringLiteral("10|"),
        QStringLiteral("10|[30]平差结果 :"),
    };
    for (int c : {2, 6, 7, 8, 9, 10})
        QTest::addRow("case %d", c) << c << five;
    for (int c : {1, 3, 4, 5, 11, 12})
        QTest::addRow("case %d", c) << c << four;
}

void TestReport::misclosureBlock()
{
    QFETCH(int, caseNo);
    QFETCH(QStringList, block);
    Record r = case1Record();
    r.caseNo = static_cast<std::int16_t>(caseNo);
    r.nc = static_cast<std::int16_t>(block.size() == 14 ? 5 : 4);
    r.w = {0, 1.5f, 2.5f, 0.0031f, 0.0042f, 0.0053f};
    r.k = {0, 0.1, 0.2, 0.3, 0.4, 0.5};
    const QStringList got = encode(build(r));
    const int start = got.indexOf(QStringLiteral("10|[30]条件方程式闭合差 :"));
    QVERIFY(start > 0);
    QCOMPARE(got.mid(start + 1, block.size()), block);
}

// A computation that matched no case (or stopped on a degenerate figure)
// leaves caseNo 0, its own inputs, zeroed sides and the last results.
void TestReport::caseZeroAfterFailedComputation()
{
    Record r = case1Record();
    r.caseNo = 0;
    r.xb = 0;
    r.yb = 0;
    r.xd = 3386001.5;
    r.yd = 39513999.25;
    r.S.assign(12, 0.0);
    r.Sp.assign(12, 0.0);
    const Model m = build(r);
    const QStringList got = encode(m);
    const QStringList text = plain(m);

    QCOMPARE(got.value(0), QStringLiteral("12|[35]--- 二连续四边形三边平差 ---"));
    QCOMPARE(got.value(1), QStringLiteral("10|[30]起算数据 :"));
    QVERIFY(got.contains(QStringLiteral("10|[32]D 点座标 : xd=[] 3386001.500[60]yd=[] 39513999.250")));
    QCOMPARE(indexOfLine(text, QStringLiteral("B 点座标")), -1);
    QVERIFY(got.contains(QStringLiteral("10|[39]s([] 4 []) :[43] 0.000[62] 0.000")));

    // No misclosure and no correlate lines: the heading is followed by the
    // empty line before the coordinates.
    const int head = got.indexOf(QStringLiteral("10|[30]条件方程式闭合差 :"));
    QVERIFY(head > 0);
    QCOMPARE(got.mid(head + 1, 2), QStringList({QStringLiteral("10|"), QStringLiteral("10|[30]平差结果 :")}));
    for (const QString &l : text) {
        QVERIFY2(!l.contains(QLatin1String("w(")), qPrintable(l));
        QVERIFY2(!l.contains(QLatin1String("k(")), qPrintable(l));
        QVERIFY2(!l.contains(QStringLiteral("法方程式联系数")), qPrintable(l));
    }
    // The coordinates and precision figures of the last computation stay.
    QVERIFY(got.contains(QStringLiteral("10|[35]李村 :[44] 3386790.118[56] 39514102.675")));
    QVERIFY(got.contains(QStringLiteral("10|[40]单位权测边中误差 : ms=[] 4.37[] 毫米")));
}

void TestReport::titleOnly_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<bool>("withSides");
    QTest::addColumn<QStringList>("lines");

    const QString t = QStringLiteral("12|[35]--- 二连续四边形三边平差 ---");
    QTest::newRow("no computation yet") << 0 << false << QStringList{t};
    QTest::newRow("first computation matched no case") << 0 << true << QStringList{t};
    QTest::newRow("case chosen, no coordinates yet")
        << 3 << true << QStringList{t, QStringLiteral("12|[34]( 只有纵横座标条件的无定向平差 )")};
}

void TestReport::titleOnly()
{
    QFETCH(int, caseNo);
    QFETCH(bool, withSides);
    QFETCH(QStringList, lines);
    Record r;
    r.caseNo = static_cast<std::int16_t>(caseNo);
    if (withSides) {
        r.S.assign(12, 0.0);
        r.Sp.assign(12, 0.0);
        r.pn.assign(6, "P");
        r.xa = 1000;
        r.ya = 2000;
    }
    const Model m = build(r);
    QCOMPARE(encode(m), lines);
    std::string expected;
    for (const Line &l : m.lines)
        expected += std::string(static_cast<std::size_t>(l.items.at(0).tab), ' ') + l.items.at(0).text + "\n";
    QCOMPARE(QString::fromStdString(renderText(m)), QString::fromStdString(expected));
}

void TestReport::subtitle_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("text");

    const QString none;
    const QString one = QStringLiteral("( 有定向的纵横座标条件但无方位角条件 )");
    const QString azimuth = QStringLiteral("( 有纵横座标条件及方位角条件 )");
    const QString unoriented = QStringLiteral("( 只有纵横座标条件的无定向平差 )");
    const QString fixedStart = QStringLiteral("( 由固定边起算有方位角及纵横座标条件 )");
    const QString fixedBoth = QStringLiteral("( 由固定边起闭有方位角及纵横座标条件 )");
    const QString fixedCoords = QStringLiteral("( 由固定边起算有纵横座标条件及方位角条件 )");
    QTest::newRow("0") << 0 << 0 << none;
    QTest::newRow("1") << 1 << 31 << one;
    QTest::newRow("2") << 2 << 35 << azimuth;
    QTest::newRow("3") << 3 << 34 << unoriented;
    QTest::newRow("4") << 4 << 34 << unoriented;
    QTest::newRow("5") << 5 << 34 << unoriented;
    QTest::newRow("6") << 6 << 35 << azimuth;
    QTest::newRow("7") << 7 << 35 << azimuth;
    QTest::newRow("8") << 8 << 31 << fixedStart;
    QTest::newRow("9") << 9 << 31 << fixedBoth;
    QTest::newRow("10") << 10 << 31 << fixedStart;
    QTest::newRow("11") << 11 << 30 << fixedCoords;
    QTest::newRow("12") << 12 << 30 << fixedCoords;
    QTest::newRow("13") << 13 << 0 << none;
    QTest::newRow("-1") << -1 << 0 << none;
}

void TestReport::subtitle()
{
    QFETCH(int, caseNo);
    QFETCH(int, tab);
    QFETCH(QString, text);
    Record r = case1Record();
    r.caseNo = static_cast<std::int16_t>(caseNo);
    const Model m = build(r);
    QVERIFY(m.lines.size() > 3);
    QCOMPARE(encode(m.lines[0]), QStringLiteral("12|[35]--- 二连续四边形三边平差 ---"));
    const int body = text.isEmpty() ? 1 : 2;
    if (!text.isEmpty())
        QCOMPARE(encode(m.lines[1]), QStringLiteral("12|[%1]%2").arg(tab).arg(text));
    // Size 10 from the first line of the input block on.
    QCOMPARE(encode(m.lines[static_cast<std::size_t>(body)]), QStringLiteral("10|[30]起算数据 :"));
    for (std::size_t i = static_cast<std::size_t>(body); i < m.lines.size(); ++i)
        QCOMPARE(m.lines[i].fontSize, 10);
}

// Which points and angles the input block lists.
void TestReport::inputBlock_data()
{
    QTest::addColumn<QList<double>>("values"); // xa ya xb yb xc yc xd yd ta qa tb qb (typed)
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("A and D known, closing angles")
        << QList<double>{100.5, 200.25, 0, 0, 0, 0, 300, 400, 0, 0, 45.3, -30.1510}
        << QStringList{QStringLiteral("10|[32]A 点座标 : xa=[] 100.500[60]ya=[] 200.250"),
                       QStringLiteral("10|[32]D 点座标 : xd=[] 300.000[60]yd=[] 400.000"),
                       QStringLiteral("10|[41]闭合方位角 : tb=[] 45.30000"),
                       QStringLiteral("10|[41]闭合定向角 : qb=[] -30.15100")};
    QTest::newRow("one coordinate zero is not a known point")
        << QList<double>{100, 0, 0, 200, 500.1234, 600.0005, 0, 0, 0, -35.2512, 0, 0}
        << QStringList{QStringLiteral("10|[32]C 点座标 : xc=[] 500.123[60]yc=[] 600.001"),
                       QStringLiteral("10|[41]起始定向角 : qa=[] -35.25120")};
    QTest::newRow("all four points and angles, in order")
        << QList<double>{1, 2, 3, 4, 5, 6, 7, 8, 0.1, 0.2, 0.3, 0.4}
        << QStringList{QStringLiteral("10|[32]A 点座标 : xa=[] 1.000[60]ya=[] 2.000"),
                       QStringLiteral("10|[32]B 点座标 : xb=[] 3.000[60]yb=[] 4.000"),
                       QStringLiteral("10|[32]C 点座标 : xc=[] 5.000[60]yc=[] 6.000"),
                       QStringLiteral("10|[32]D 点座标 : xd=[] 7.000[60]yd=[] 8.000"),
                       QStringLiteral("10|[41]起始方位角 : ta=[] 0.10000"),
                       QStringLiteral("10|[41]起始定向角 : qa=[] 0.20000"),
                       QStringLiteral("10|[41]闭合方位角 : tb=[] 0.30000"),
                       QStringLiteral("10|[41]闭合定向角 : qb=[] 0.40000")};
    QTest::newRow("nothing known") << QList<double>(12, 0.0) << QStringList{};
}

void TestReport::inputBlock()
{
    QFETCH(QList<double>, values);
    QFETCH(QStringList, lines);
    Record r = case1Record();
    r.xa = values[0], r.ya = values[1], r.xb = values[2], r.yb = values[3];
    r.xc = values[4], r.yc = values[5], r.xd = values[6], r.yd = values[7];
    r.ta_in = values[8], r.qa_in = values[9], r.tb_in = values[10], r.qb_in = values[11];
    // The converted angles are never printed.
    r.ta = 111.1, r.qa = 22.2, r.tb = 33.3, r.qb = 44.4;
    const QStringList got = encode(build(r));
    const int head = got.indexOf(QStringLiteral("10|[30]起算数据 :"));
    QVERIFY(head > 0);
    QCOMPARE(got.mid(head + 1, lines.size() + 1), lines + QStringList{QStringLiteral("10|")});
}

// Each figure with its rounding and picture; the printed text shows that
// the right rounding is applied to the right element.
void TestReport::figures_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("line");

    // S is written with its picture only, Sp rounded to 4 decimals first.
    QTest::newRow("S not rounded first") << "S" << 512.3465 << "10|[39]s([] 1 []) :[43] 512.347[62] 512.351";
    QTest::newRow("Sp rounded to 4 then 3") << "Sp" << 589.44449 << "10|[39]s([] 1 []) :[43] 512.347[62] 589.445";
    // The coordinate misclosure times 1000 in single precision: 1.375 mm
    // exactly, a tie that goes to the even digit (1.37 in double precision).
    QTest::newRow("w mm single product") << "w3" << 0.001375 << "10|[40]     纵座标条件闭合差 : w(4)=[] 1.38[] 毫米";
    QTest::newRow("w mm single product 2") << "w3" << 0.001085 << "10|[40]     纵座标条件闭合差 : w(4)=[] 1.09[] 毫米";
    QTest::newRow("w 0.0123 m") << "w3" << 0.0123 << "10|[40]     纵座标条件闭合差 : w(4)=[] 12.30[] 毫米";
    QTest::newRow("w seconds tie to even") << "w1" << 1.125 << "10|[40]第一四边形角条件闭合差 : w(1)=[] 1.12[] 秒";
    QTest::newRow("w seconds negative") << "w1" << -0.004 << "10|[40]第一四边形角条件闭合差 : w(1)=[] 0.00[] 秒";
    QTest::newRow("k five decimals") << "k1" << -12.345678 << "10|[40]k([] 1 [])=[] -12.34568";
    QTest::newRow("X three decimals") << "X0" << -0.0004 << "10|[35]王庄 :[44] 0.000[56] 39512687.431";
    QTest::newRow("px five decimals") << "px" << 0.1234567 << "10|[40]最弱点纵座标单位权权倒数 : 1/px=[] 0.12346";
    QTest::newRow("md two decimals") << "md" << 12.0 << "10|[40]  最弱点单位权点位中误差 :   md=[] 12.00[] 毫米";
}

void TestReport::figures()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QString, line);
    Record r = case1Record();
    if (field == "S")
        r.S[1] = value;
    else if (field == "Sp")
        r.Sp[1] = value;
    else if (field == "w1")
        r.w[1] = static_cast<float>(value);
    else if (field == "w3")
        r.w[3] = static_cast<float>(value);
    else if (field == "k1")
        r.k[1] = value;
    else if (field == "X0")
        r.X[0] = value;
    else if (field == "px")
        r.px = value;
    else if (field == "md")
        r.md = static_cast<float>(value);
    else
        QFAIL("unknown field");
    const QStringList got = encode(build(r));
    QVERIFY2(got.contains(line), qPrintable(got.join(QLatin1Char('\n'))));
}

// Arrays shorter than the report needs: what exists is printed, the missing
// elements are left out, nothing is read beyond an array's end.
void TestReport::shortArrays()
{
    Record r = case1Record();
    r.S.resize(5);    // S(1)..S(4)
    r.Sp.clear();
    r.pn.resize(2);
    r.X.resize(3);
    r.Y.resize(1);
    r.w.resize(3);    // w(1), w(2)
    r.k.resize(2);    // k(1)
    const QStringList got = encode(build(r));
    QVERIFY(got.contains(QStringLiteral("10|[39]s([] 4 []) :[43] 601.118")));
    QVERIFY(got.contains(QStringLiteral("10|[39]s([] 5 []) :")));
    QVERIFY(got.contains(QStringLiteral("10|[40]第二四边形角条件闭合差 : w(2)=[] -2.10[] 秒")));
    QVERIFY(got.contains(QStringLiteral("10|[40]     纵座标条件闭合差 : w(4)=")));
    QVERIFY(got.contains(QStringLiteral("10|[40]k([] 1 [])=[] 0.01235")));
    QVERIFY(got.contains(QStringLiteral("10|[40]k([] 4 [])=")));
    QVERIFY(got.contains(QStringLiteral("10|[35]王庄 :[44] 3385421.256[56] 39512687.431")));
    QVERIFY(got.contains(QStringLiteral("10|[35]C1 :[44] 3385744.011")));
    QVERIFY(got.contains(QStringLiteral("10|[35] :[44] 3385870.500")));
    QCOMPARE(got.count(QStringLiteral("10|[35] :")), 3);
    QCOMPARE(got.last(), QStringLiteral("10|[40]  最弱点单位权点位中误差 :   md=[] 6.24[] 毫米"));
}

void TestReport::neverNanInfOrMinusZero_data()
{
    QTest::addColumn<double>("bad");
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("+inf") << std::numeric_limits<double>::infinity();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
    QTest::newRow("-tiny") << -1e-9;
    QTest::newRow("float overflow in mm") << 3e38;
}

void TestReport::neverNanInfOrMinusZero()
{
    QFETCH(double, bad);
    const float badf = static_cast<float>(bad);
    for (int caseNo : {1, 2, 0}) {
        Record r = case1Record();
        r.caseNo = static_cast<std::int16_t>(caseNo);
        r.xa = bad;
        r.ta_in = bad;
        r.S.assign(12, bad);
        r.Sp.assign(12, bad);
        r.w.assign(6, badf);
        r.k.assign(6, bad);
        r.X.assign(6, bad);
        r.Y.assign(6, bad);
        r.px = r.py = bad;
        r.ms = r.mx = r.my = r.md = badf;
        Model m;
        try {
            m = build(r);
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
        QVERIFY(m.lines.size() > 30);
        const QRegularExpression wrong(QStringLiteral("nan|inf|-0\\.0+(?![0-9])"),
                                       QRegularExpression::CaseInsensitiveOption);
        for (const QString &l : plain(m))
            QVERIFY2(!wrong.match(l).hasMatch(), qPrintable(l));
        const QString text = QString::fromStdString(renderText(m));
        QVERIFY2(!wrong.match(text).hasMatch(), qPrintable(text));
        // The labels stay where a figure cannot be shown.
        QVERIFY(text.contains(QStringLiteral("单位权测边中误差 : ms=")));
    }
}

void TestReport::cells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("s( 1 ) :") << 8;
    QTest::newRow("cjk") << QStringLiteral("点名") << 4;
    QTest::newRow("mixed") << QStringLiteral("A 点座标 : xa=") << 14;
    QTest::newRow("full-width parenthesis") << QStringLiteral("（米）") << 6;
    QTest::newRow("ideographic space and comma") << QStringLiteral("\u3000\u3001") << 4;
    QTest::newRow("extension B") << QString::fromUcs4(U"\U00020000") << 2;
    QTest::newRow("combining accent") << QStringLiteral("e\u0301") << 1;
    QTest::newRow("latin-1") << QStringLiteral("é°") << 2;
}

void TestReport::cells()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(chain::report::cells(text.toStdString()), count);
}

void TestReport::textColumns_data()
{
    QTest::addColumn<int>("tab1");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<int>("tab2");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("line");

    QTest::newRow("ascii at columns") << 3 << "ab" << 8 << "cd" << "   ab   cd";
    QTest::newRow("cjk counts two") << 0 << "点名" << 6 << "x" << "点名  x";
    QTest::newRow("cjk ends on the column") << 2 << "点名" << 6 << "x" << "  点名x";
    QTest::newRow("overrun follows after one blank") << 0 << "最弱点单位权" << 5 << "x" << "最弱点单位权 x";
    QTest::newRow("ascii overrun") << 39 << "s( 10 ) :" << 43 << " 711.639"
                                   << QString(39, ' ') + "s( 10 ) :  711.639";
    QTest::newRow("same column") << 4 << "ab" << 4 << "cd" << "    ab cd";
    QTest::newRow("follows directly") << 2 << "w(1)=" << follows << " 1.50" << "  w(1)= 1.50";
    QTest::newRow("no trailing blanks") << 2 << "ab  " << 10 << "" << "  ab";
    QTest::newRow("control characters") << 0 << "a\nb\tc" << follows << "" << "a b c";
}

void TestReport::textColumns()
{
    QFETCH(int, tab1);
    QFETCH(QString, text1);
    QFETCH(int, tab2);
    QFETCH(QString, text2);
    QFETCH(QString, line);
    Model m;
    m.lines.push_back(Line{10, {Item{tab1, text1.toStdString()}, Item{tab2, text2.toStdString()}}});
    m.lines.push_back(Line{10, {}});
    m.lines.push_back(Line{12, {Item{1, "z"}}});
    QCOMPARE(QString::fromStdString(renderText(m)), line + "\n\n z\n");
}

// The whole case-1 report in text: every item at its column, or after one
// blank when its column is taken; nothing is lost or overwritten.
void TestReport::textOfCase1()
{
    const Model m = build(case1Record());
    const QString text = QString::fromStdString(renderText(m));
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    const QStringList rows = text.left(text.size() - 1).split(QLatin1Char('\n'));
    QCOMPARE(rows.size(), static_cast<int>(m.lines.size()));

    QCOMPARE(rows[0], QString(35, ' ') + title);
    QCOMPARE(rows[3], QString(32, ' ') + QStringLiteral("A 点座标 : xa= 3385421.256  ya= 39512687.431"));
    QCOMPARE(rows[8], QString(40, ' ') + QStringLiteral("编号  观测边长(米)       平差边长(米)"));
    QCOMPARE(rows[9], QString(39, ' ') + QStringLiteral("s( 1 ) :  512.347       512.351"));
    QCOMPARE(rows[7], QString());
    const int table = indexOfLine(plain(m), QStringLiteral("王庄 :"));
    QCOMPARE(rows[table], QString(35, ' ') + QStringLiteral("王庄 :    3385421.256 39512687.431"));

    for (std::size_t li = 0; li < m.lines.size(); ++li) {
        const QString row = rows[static_cast<int>(li)];
        QVERIFY2(!row.endsWith(QLatin1Char(' ')), qPrintable(row));
        // Walk the row cell by cell: each item starts at its column when
        // that is free, else one blank after the previous item.
        std::string rest = row.toStdString();
        int col = 0;
        for (const Item &it : m.lines[li].items) {
            int want = col;
            if (it.tab != follows)
                want = it.tab >= col ? it.tab : col + 1;
            const std::size_t pos = rest.find(it.text);
            QVERIFY2(pos != std::string::npos, qPrintable(row));
            QCOMPARE(col + chain::report::cells(rest.substr(0, pos)), want);
            col = want + chain::report::cells(it.text);
            rest = rest.substr(pos + it.text.size());
        }
    }
}

QTEST_APPLESS_MAIN(TestReport)
#include "test_report.moc"
