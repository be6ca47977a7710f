// Data files: the same replies, fields and report as the prompts for every
// case; save and open again; every kind of bad file with its message; the
// replacing write; the command line with --data and --save-data.
#include "app/atomicfile.h"
#include "app/chainfile.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "report/report.h"
#include "support/process.h"
#include "support/chains.h"

#include <QtTest>

#include <sys/stat.h>

using namespace chain;
using namespace testchain;

namespace {

struct Run {
    Outcome outcome = Outcome::Cancelled;
    std::string message, fields, report;
    Record rec;
};

Run viaPrompts(const std::vector<std::string> &replies)
{
    Run r;
    FieldTable f;
    ScriptedPrompter p(replies);
    const ComputeResult c = Command1_Click(r.rec, p, f);
    r.outcome = c.outcome;
    r.message = c.message;
    r.fields = f.dump();
    r.report = report::renderText(report::build(r.rec));
    return r;
}

DataSet parsed(const std::string &text)
{
    std::vector<Problem> problems;
    DataSet d = parseDataFile(text, problems);
    for (const Problem &p : problems)
        qWarning("%s", describe(p).c_str());
    if (!problems.empty())
        throw std::runtime_error("the file did not parse");
    return d;
}

Run viaFile(const std::string &text)
{
    Run r;
    FieldTable f;
    const ComputeResult c = computeFromData(parsed(text), r.rec, f, "test.chain");
    r.outcome = c.outcome;
    r.message = c.message;
    r.fields = f.dump();
    r.report = report::renderText(report::build(r.rec));
    return r;
}

// A data file for the case, written here key by key from the chain (not
// through formatDataFile, which the round trip tests).
std::string chainText(const CaseData &d, const Chain &c, const std::array<double, 12> &s)
{
    std::string t = "# case " + std::to_string(d.caseNo) + "\n";
    auto put = [&](const char *k, const std::string &v) { t += std::string(k) + " = " + v + "\n"; };
    if (d.knownA) put("xa", num(c.A.x)), put("ya", num(c.A.y));
    if (d.knownB) put("xb", num(c.B.x)), put("yb", num(c.B.y));
    if (d.knownC) put("xc", num(c.C.x)), put("yc", num(c.C.y));
    if (d.knownD) put("xd", num(c.D.x)), put("yd", num(c.D.y));
    if (d.startAngles) put("ta", dms(d.ta)), put("qa", dms(d.qa));
    if (d.closingAngles) put("tb", dms(d.tb)), put("qb", dms(d.qb));
    std::string names;
    for (const auto &n : d.names)
        names += (names.empty() ? "" : " ") + n;
    put("names", names);
    for (int i = 1; i <= 11; ++i) {
        if ((i == 1 && d.knownA && d.knownC) || (i == 9 && d.knownB && d.knownD))
            continue;
        put(("S" + std::to_string(i)).c_str(), num(s[static_cast<std::size_t>(i)]));
    }
    return t;
}

Chain chainFor(double turn) { return turn == 0 ? sampleChain() : rotated(sampleChain(), turn, {1200, -800}); }

QStringList toList(const std::vector<std::string> &v)
{
    QStringList l;
    for (const auto &s : v)
        l << QString::fromStdString(s);
    return l;
}

std::string case1Text()
{
    const Chain c = sampleChain();
    return chainText(caseData(1, c), c, noisy(sidesOf(c), 5, 1));
}

std::string replaced(std::string s, const std::string &from, const std::string &to)
{
    const auto at = s.find(from);
    if (at == std::string::npos)
        throw std::logic_error("no " + from + " in the text");
    return s.replace(at, from.size(), to);
}

// The value of `key` replaced on its own line.
std::string withValue(const std::string &s, const std::string &key, const std::string &value)
{
    const auto at = s.find("\n" + key + " = ");
    if (at == std::string::npos)
        throw std::logic_error("no line " + key);
    const auto from = at + key.size() + 4, end = s.find('\n', from);
    return s.substr(0, from) + value + s.substr(end);
}

std::string withoutLine(const std::string &s, const std::string &prefix)
{
    const auto at = s.find("\n" + prefix);
    if (at == std::string::npos)
        throw std::logic_error("no line " + prefix);
    const auto end = s.find('\n', at + 1);
    return s.substr(0, at) + s.substr(end);
}

// Line number of the first line that starts with `prefix`.
int lineOf(const std::string &s, const std::string &prefix)
{
    int n = 1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((i == 0 || s[i - 1] == '\n') && s.compare(i, prefix.size(), prefix) == 0)
            return n;
        if (s[i] == '\n')
            ++n;
    }
    return -1;
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using Proc = testproc::Result;
using testproc::chainadj;
using testproc::run;

} // namespace

class ChainFileTest : public QObject {
    Q_OBJECT

private slots:
    // Prompts and data file: the same replies, then the same outcome, every
    // field and the report, for every case in two orientations of the chain.
    void fileEqualsPrompts_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        for (int n = 1; n <= 12; ++n)
            for (double turn : {0.0, 137.0})
                QTest::newRow(qPrintable(QString("case %1, turned %2").arg(n).arg(turn))) << n << turn;
    }
    void fileEqualsPrompts()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        const auto sides = noisy(sidesOf(c), 5, unsigned(caseNo) + 3);
        const std::vector<std::string> typed = replies(d, c, sides);
        const std::string text = chainText(d, c, sides);

        const DataSet data = parsed(text);
        QVERIFY(checkDataSet(data).empty());
        QCOMPARE(caseOf(data), std::int16_t(caseNo));
        QCOMPARE(toList(repliesFor(data)), toList(typed));

        const Run p = viaPrompts(typed), f = viaFile(text);
        QCOMPARE(int(p.outcome), int(Outcome::Computed));
        QCOMPARE(int(f.outcome), int(p.outcome));
        QCOMPARE(QString::fromStdString(f.fields), QString::fromStdString(p.fields));
        QCOMPARE(QString::fromStdString(f.report), QString::fromStdString(p.report));
        QCOMPARE(f.rec.caseNo, std::int16_t(caseNo));
    }

    // Every example data file computes its own case; where the reply file
    // of the same name exists, both give the same fields and report.
    void examples_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case%1").arg(n))) << n;
    }
    void examples()
    {
        QFETCH(int, caseNo);
        const QDir dir(CHAIN_EXAMPLES);
        const QString chainFile = dir.filePath(QString("case%1.chain").arg(caseNo));
        QVERIFY2(QFile::exists(chainFile), qPrintable(chainFile));
        const DataSet data = readDataFile(chainFile.toStdString());
        QCOMPARE(caseOf(data), std::int16_t(caseNo));
        const Run f = viaFile(contents(chainFile).toStdString());
        QCOMPARE(int(f.outcome), int(Outcome::Computed));
        QVERIFY2(f.fields.find("nan") == std::string::npos && f.fields.find("inf") == std::string::npos, f.fields.c_str());

        const QString repliesFile = dir.filePath(QString("case%1.replies").arg(caseNo));
        if (!QFile::exists(repliesFile))
            return; // the reply file of this case is not there (yet): the file alone is checked
        // (A reply file may reject and retype a value; the data file holds
        // the value accepted, so the fields and the report are compared.)
        const Run p = viaPrompts(readReplies(repliesFile.toStdString()));
        QCOMPARE(int(p.outcome), int(Outcome::Computed));
        QCOMPARE(QString::fromStdString(f.fields), QString::fromStdString(p.fields));
        QCOMPARE(QString::fromStdString(f.report), QString::fromStdString(p.report));
    }

    // Compute from the prompts, save, open: identical fields and report,
    // and saving again gives the same file.
    void roundTrip_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        for (int n = 1; n <= 12; ++n)
            for (double turn : {0.0, 251.0})
                QTest::newRow(qPrintable(QString("case %1, turned %2").arg(n).arg(turn))) << n << turn;
    }
    void roundTrip()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const Run p = viaPrompts(replies(caseData(caseNo, c), c, noisy(sidesOf(c), 7, unsigned(caseNo))));
        QCOMPARE(int(p.outcome), int(Outcome::Computed));
        QVERIFY(hasComputation(p.rec));
        const std::string saved = formatDataFile(dataOf(p.rec));
        const Run f = viaFile(saved);
        QCOMPARE(QString::fromStdString(f.fields), QString::fromStdString(p.fields));
        QCOMPARE(QString::fromStdString(f.report), QString::fromStdString(p.report));
        QCOMPARE(QString::fromStdString(formatDataFile(dataOf(f.rec))), QString::fromStdString(saved));
    }

    // Values typed in other ways are saved as typed (full-width forms made
    // ASCII): the saved file reads back to the same fields as the replies.
    void typedFormsComeBack_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<int>("reply"); // index of the reply replaced
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("saved");
        // Case 1 replies: 0..15 the coordinates, 16 ta, 18 qa.
        QTest::newRow("azimuth with a trailing zero") << 1 << 16 << "223.5449740" << "ta" << "223.5449740";
        QTest::newRow("azimuth of zero") << 1 << 16 << "0.00000001" << "ta" << "0.00000001";
        QTest::newRow("orientation with plus") << 1 << 18 << "+47.3045" << "qa" << "+47.3045";
        QTest::newRow("orientation negative") << 1 << 18 << "-0.3000" << "qa" << "-0.3000";
        QTest::newRow("full-width coordinate") << 1 << 0 << "３０００．５" << "xa" << "3000.5";
        QTest::newRow("many digits") << 1 << 2 << "5500.123456789012" << "ya" << "5500.123456789012";
        QTest::newRow("exponent coordinate") << 1 << 4 << "3.95266e3" << "xb" << "3.95266e3";
    }
    void typedFormsComeBack()
    {
        QFETCH(int, caseNo);
        QFETCH(int, reply);
        QFETCH(QString, typed);
        QFETCH(QString, key);
        QFETCH(QString, saved);
        const Chain c = sampleChain();
        auto typedReplies = replies(caseData(caseNo, c), c, sidesOf(c));
        typedReplies[static_cast<std::size_t>(reply)] = typed.toStdString();
        const Run p = viaPrompts(typedReplies);
        const DataSet d = dataOf(p.rec);
        QCOMPARE(QString::fromStdString(d[keyOf(key.toStdString())].value_or("")), saved);
        const Run f = viaFile(formatDataFile(d));
        QCOMPARE(int(f.outcome), int(p.outcome));
        QCOMPARE(QString::fromStdString(f.fields), QString::fromStdString(p.fields));
        QCOMPARE(QString::fromStdString(f.report), QString::fromStdString(p.report));
    }

    // Writing a file by hand in other ways gives the same replies.
    void acceptedForms_data()
    {
        QTest::addColumn<QByteArray>("text");
        const std::string base = case1Text();
        std::string crlf;
        for (char ch : base)
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        std::string pn = withoutLine(base, "names");
        pn += "pn0 = TA10\npn1 = TC11\npn2 = TE12\npn3 = TF13\npn4 = TD14\npn5 = TB15\n";
        QTest::newRow("CRLF line ends") << QByteArray::fromStdString(crlf);
        QTest::newRow("byte-order mark") << QByteArray::fromStdString("\xEF\xBB\xBF" + base);
        QTest::newRow("comments, blanks, no last newline")
            << QByteArray::fromStdString("\n  # heading\n\n" + replaced(base, "xa = ", "   xa\t=  ") + "# end");
        QTest::newRow("upper-case keys") << QByteArray::fromStdString(replaced(replaced(base, "xa =", "XA ="), "S10 =", "s10 ="));
        QTest::newRow("full-width equals sign") << QByteArray::fromStdString(replaced(base, "ya =", "ya ＝"));
        QTest::newRow("pn0..pn5 in place of names") << QByteArray::fromStdString(pn);
        QTest::newRow("empty values of a template")
            << QByteArray::fromStdString(base + "xc =\nyc =\nxd = \nyd =\ntb =\nqb =\n");
        QTest::newRow("ideographic blanks between names")
            << QByteArray::fromStdString(replaced(base, "TA10 TC11", "TA10\xE3\x80\x80TC11"));
    }
    void acceptedForms()
    {
        QFETCH(QByteArray, text);
        const DataSet d = parsed(text.toStdString());
        QVERIFY(checkDataSet(d).empty());
        QCOMPARE(toList(repliesFor(d)), toList(repliesFor(parsed(case1Text()))));
    }

    // A side that the case does not ask may be given: the prompts skip it.
    void sideNotAskedIsSkipped()
    {
        const Chain c = sampleChain();
        const CaseData d = caseData(9, c); // all four points known: S1 and S9 not asked
        const auto sides = sidesOf(c);
        const std::string text = chainText(d, c, sides) + "S1 = 500\nS9 = 600\n";
        QCOMPARE(toList(repliesFor(parsed(text))), toList(replies(d, c, sides)));
    }

    // Each bad file: a DataFileError whose message names the file, the line
    // and the key, and says what is wrong.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line"); // 0: no line in the message
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("noCase");
        const std::string base = case1Text();
        auto row = [](const char *name, const std::string &t, int line, const char *key, const char *says,
                      bool noCase = false) {
            QTest::newRow(name) << QByteArray::fromStdString(t) << line << QString(key) << QString::fromUtf8(says) << noCase;
        };
        row("unknown key", base + "xg = 12\n", lineOf(base + "xg", "xg"), "", "未知的键「xg」");
        row("key twice", base + "S4 = 480\n", lineOf(base + "S4 = 480", "S4 = 480"), "S4", "重复出现（第 " );
        row("not a number", replaced(base, "xb = ", "xb = 39x"), lineOf(base, "xb"), "xb", "不是数字");
        row("unit after a side", replaced(base, "S6 = ", "S6 = m"), lineOf(base, "S6"), "S6", "不带单位");
        row("comment after a value", replaced(base, "S7 = 4", "S7 = 4 # note "), lineOf(base, "S7"), "S7",
            "注释须单独成一行");
        row("minutes of 60", withValue(base, "qa", "47.6012"), lineOf(base, "qa"), "qa", "分和秒都须小于 60");
        row("seconds of 75", withValue(base, "qa", "47.3075"), lineOf(base, "qa"), "qa", "分和秒都须小于 60");
        row("angle with an exponent", withValue(base, "ta", "2.2e2"), lineOf(base, "ta"), "ta", "指数形式");
        row("GBK bytes", replaced(base, "TA10", "\xB3\xC7\xB9\xD8"), lineOf(base, "names"), "", "UTF-8");
        row("control character", replaced(base, "TA10", "T\x01"), lineOf(base, "names"), "", "控制字符");
        row("no equals sign", replaced(base, "S2 = ", "S2 "), lineOf(base, "S2"), "", "“键 = 值”");
        row("five names", replaced(base, "TA10 ", ""), lineOf(base, "names"), "", "这里有 5 个");
        row("names and pn2", base + "pn2 = X\n", lineOf(base + "pn2", "pn2"), "pn2", "names");
        row("xa without ya", withoutLine(base, "ya"), lineOf(base, "xa"), "ya", "缺少 ya");
        row("known point with a zero", withValue(base, "yb", "0"), lineOf(base, "yb"), "yb", "都须不为零");
        row("angle at an end of two known points", base + "xc = 3012.347\nyc = 5004.118\n",
            lineOf(base, "ta"), "ta", "两点都是已知点");
        row("side missing", withoutLine(base, "S5"), 0, "S5", "缺少边长 S5");
        row("side of zero", withValue(base, "S3", "0"), lineOf(base, "S3"), "S3", "须大于零");
        row("negative side", replaced(base, "S8 = ", "S8 = -"), lineOf(base, "S8"), "S8", "须大于零");
        row("a name that means Cancel", replaced(base, "TA10", "<cancel>"), lineOf(base, "names"), "pn0", "取消");
        row("only A known", withoutLine(withoutLine(base, "xb"), "yb"), 0, "", "已知点须为以下组合之一", true);
        row("case 2 with opposite signs", base + "tb = 10\nqb = -10\n", 0, "", "qa 与 qb 同号", true);
        row("case 1 without qa", withoutLine(base, "qa"), 0, "", "情形 1：给 ta、qa，不给 tb、qb", true);
        row("empty file", "", 0, "", "没有任何数据");
        row("comments only", "# xa = 1\n\n", 0, "", "没有任何数据");
    }
    void badFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, key);
        QFETCH(QString, says);
        QFETCH(bool, noCase);
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "bad.chain", text);
        try {
            readDataFile(path.toStdString());
            QFAIL("the file was accepted");
        } catch (const DataFileError &e) {
            const QString m = QString::fromUtf8(e.what());
            QVERIFY2(m.contains("数据文件「" + path + "」"), qPrintable(m));
            if (line > 0)
                QVERIFY2(m.contains(QString("第 %1 行").arg(line)), qPrintable(m));
            if (!key.isEmpty())
                QVERIFY2(m.contains("键 " + key), qPrintable(m));
            QVERIFY2(m.contains(says), qPrintable(m));
            QCOMPARE(e.noCase(), noCase);
        }
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << "missing" << "无法打开（目录或文件不存在）";
        QTest::newRow("directory") << "directory" << "这是一个目录";
        QTest::newRow("too large") << "large" << "文件太大";
    }
    void unreadableFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString path = dir.filePath("nothing.chain");
        if (kind == "directory")
            path = dir.path();
        if (kind == "large")
            path = writeTemp(dir, "big.chain", QByteArray(2 << 20, '#'));
        try {
            readDataFile(path.toStdString());
            QFAIL("the file was accepted");
        } catch (const DataFileError &e) {
            const QString m = QString::fromUtf8(e.what());
            QVERIFY2(m.contains(path) && m.contains(says), qPrintable(m));
        }
    }

    // A data set with problems changes neither the record nor a field.
    void badDataTouchesNothing()
    {
        const Run before = viaFile(case1Text());
        Record rec = before.rec;
        FieldTable fields;
        computeFromData(parsed(case1Text()), rec, fields, "good.chain");
        const std::string shown = fields.dump();
        for (const std::string &bad : {withoutLine(case1Text(), "S5"), withoutLine(case1Text(), "xb"),
                                       replaced(case1Text(), "S3 = ", "S3 = -")}) {
            try {
                computeFromData(parsed(bad), rec, fields, "bad.chain");
                QFAIL("computed from a bad data set");
            } catch (const DataFileError &) {
            }
            QCOMPARE(QString::fromStdString(fields.dump()), QString::fromStdString(shown));
            QCOMPARE(QString::fromStdString(report::renderText(report::build(rec))), QString::fromStdString(before.report));
            QCOMPARE(rec.xb, before.rec.xb);
        }
    }

    // Which values the known points make necessary.
    void uses_data()
    {
        QTest::addColumn<QString>("known");
        QTest::addColumn<bool>("startAngles");
        QTest::addColumn<bool>("closingAngles");
        QTest::addColumn<bool>("s1");
        QTest::addColumn<bool>("s9");
        QTest::newRow("A, B") << "AB" << true << true << true << true;
        QTest::newRow("A, C, B") << "ACB" << false << true << false << true;
        QTest::newRow("all four") << "ACBD" << false << false << false << false;
        QTest::newRow("C, B") << "CB" << true << true << true << true;
        QTest::newRow("A, C, D") << "ACD" << false << true << false << true;
        QTest::newRow("A only") << "A" << true << false << true << false;
        QTest::newRow("none") << "" << false << false << false << false;
    }
    void uses()
    {
        QFETCH(QString, known);
        QFETCH(bool, startAngles);
        QFETCH(bool, closingAngles);
        QFETCH(bool, s1);
        QFETCH(bool, s9);
        DataSet d;
        const Chain c = sampleChain();
        const Pt pts[4] = {c.A, c.B, c.C, c.D};
        for (int p = 0; p < 4; ++p) {
            if (!known.contains(QChar("ABCD"[p])))
                continue;
            d[2 * p] = num(pts[p].x);
            d[2 * p + 1] = num(pts[p].y);
        }
        const auto u = chain::uses(d);
        auto asked = [&](int k) { return u[static_cast<std::size_t>(k)] != Use::NotAsked; };
        QCOMPARE(asked(key::ta), startAngles);
        QCOMPARE(asked(key::qa), startAngles);
        QCOMPARE(asked(key::tb), closingAngles);
        QCOMPARE(asked(key::qb), closingAngles);
        QCOMPARE(u[key::S(1)] == Use::Needed, s1);
        QCOMPARE(u[key::S(9)] == Use::Needed, s9);
        QVERIFY(u[key::S(5)] == Use::Needed);
        QVERIFY(u[key::pn(2)] == Use::Optional);
    }

    // What each case needs, as the help and the messages tell it, against
    // the case table.
    void caseNeeds_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<QString>("needs");
        QTest::newRow("1") << 1 << "已知 A、B；给 ta、qa，不给 tb、qb";
        QTest::newRow("2") << 2 << "已知 A、B；给 ta、qa、tb、qb（qa 与 qb 同号）";
        QTest::newRow("3") << 3 << "已知 A、B；不给方位角和定向角";
        QTest::newRow("4") << 4 << "已知 A、D；不给方位角和定向角";
        QTest::newRow("5") << 5 << "已知 B、C；不给方位角和定向角";
        QTest::newRow("6") << 6 << "已知 B、C；给 ta、qa、tb、qb（qa 与 qb 异号）";
        QTest::newRow("7") << 7 << "已知 A、D；给 ta、qa、tb、qb（qa 与 qb 异号）";
        QTest::newRow("8") << 8 << "已知 A、B、C；给 tb、qb";
        QTest::newRow("9") << 9 << "已知 A、B、C、D；不给方位角和定向角";
        QTest::newRow("10") << 10 << "已知 A、C、D；给 tb、qb";
        QTest::newRow("11") << 11 << "已知 A、C、D；不给方位角和定向角";
        QTest::newRow("12") << 12 << "已知 A、B、C；不给方位角和定向角";
    }
    void caseNeeds()
    {
        QFETCH(int, caseNo);
        QFETCH(QString, needs);
        QCOMPARE(QString::fromStdString(chain::caseNeeds(caseNo)), needs);
    }

    void shortestText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero azimuth") << 0.00000001 << "0.00000001";
        QTest::newRow("d.mmss") << 123.453 << "123.453";
        QTest::newRow("negative") << -0.3 << "-0.3";
        QTest::newRow("integer") << 3000.0 << "3000";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("large") << 1e17 << "100000000000000000";
        QTest::newRow("tiny") << 1.5e-12 << "0.0000000000015";
        QTest::newRow("one ulp above 1") << 1.0000000000000002 << "1.0000000000000002";
    }
    void shortestText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        const std::string t = chain::shortestText(value);
        QCOMPARE(QString::fromStdString(t), text);
        QCOMPARE(std::stod(t), value);
    }

    // The replacing write keeps the mode of a file it replaces and fails
    // with a message, leaving nothing behind, where it cannot write.
    void writeReplaces()
    {
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "old.chain", "old contents\n");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        chain::writeFileAtomically(path.toStdString(), "new\n");
        QCOMPARE(contents(path), QByteArray("new\n"));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0640);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
    void writeFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("no such directory") << "nodir" << "不存在。请先建立这个目录";
        QTest::newRow("target is a directory") << "dir" << "是一个目录";
        QTest::newRow("no file name") << "empty" << "没有给出文件名";
    }
    void writeFails()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString path = kind == "nodir" ? dir.filePath("no/such/x.chain") : (kind == "dir" ? dir.path() : QString());
        try {
            chain::writeFileAtomically(path.toStdString(), "data\n");
            QFAIL("the write did not fail");
        } catch (const std::runtime_error &e) {
            const QString m = QString::fromUtf8(e.what());
            QVERIFY2(m.contains(says) && m.contains(path), qPrintable(m));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    // The command line: --data like --replies, its exit statuses, and
    // --save-data, also where the file cannot be written (a file size limit
    // of zero makes every write fail, even for root).
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QString ex = QString(CHAIN_EXAMPLES) + "/case1.chain";
        QTest::newRow("fields") << QStringList{"--data", ex, "--fields"} << 0 << "";
        QTest::newRow("missing file") << QStringList{"--data", "/nonexistent/x.chain", "--fields"} << 1 << "无法打开";
        QTest::newRow("data and replies") << QStringList{"--data", ex, "--replies", ex} << 1 << "只能用其中一个";
        QTest::newRow("data without a file") << QStringList{"--data"} << 1 << "后面须给出文件名";
        QTest::newRow("save without data") << QStringList{"--save-data", "x.chain"} << 1 << "--data";
        QTest::newRow("save into no directory")
            << QStringList{"--data", ex, "--save-data", "/nonexistent/dir/x.chain"} << 6 << "无法写入";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        const Proc r = chainadj(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        if (status == 0) {
            const Proc p = chainadj({"--replies", QString(CHAIN_EXAMPLES) + "/case1.replies", "--fields"});
            QCOMPARE(r.out, p.out);
        } else {
            QVERIFY(r.out.isEmpty());
        }
    }
    void commandLineNoCase()
    {
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "a.chain", QByteArray::fromStdString(withoutLine(withoutLine(case1Text(), "xb"), "yb")));
        const Proc r = chainadj({"--data", path, "--fields", "--report-text"});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("不符合十二种计算情形") && r.err.contains(path), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
    void commandLineSaveAndOpen()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved.chain");
        const QString replies = QString(CHAIN_EXAMPLES) + "/case1.replies";
        const Proc a = chainadj({"--replies", replies, "--fields", "--report-text", "--save-data", saved});
        QCOMPARE(a.status, 0);
        const Proc b = chainadj({"--data", saved, "--fields", "--report-text"});
        QCOMPARE(b.status, 0);
        QCOMPARE(b.out, a.out);
        QVERIFY(!a.out.isEmpty());
    }
    void saveFailureKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QByteArray old = "# a file the surveyor keeps\nxa = 1\n";
        const QString target = writeTemp(dir, "keep.chain", old);
        const QString cmd = QString("trap '' XFSZ; ulimit -f 0; exec '%1' --data '%2' --save-data '%3'")
                                .arg(CHAINADJ_EXE, QString(CHAIN_EXAMPLES) + "/case1.chain", target);
        const Proc r = run("/bin/sh", {"-c", cmd});
        QCOMPARE(r.status, 6);
        QVERIFY2(r.err.contains("无法写入「" + target + "」") && r.err.contains("原有的文件没有改动"), qPrintable(r.err));
        QCOMPARE(contents(target), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left
    }
};

QTEST_GUILESS_MAIN(ChainFileTest)
#include "test_chainfile.moc"
