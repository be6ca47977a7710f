// The replay mode as a whole process: exit statuses, transcript, fields and
// messages for the outcomes a replies file can lead to.
#include "app/fields.h"
#include "support/process.h"
#include "support/chains.h"

#include <QtTest>

namespace {

using testproc::Result;
Result run(const QStringList &args, const QByteArray &input = {}) { return testproc::chainadj(args, input); }

QString writeTemp(QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

QByteArray joined(const std::vector<std::string> &lines)
{
    QByteArray b;
    for (const auto &l : lines)
        b += QByteArray::fromStdString(l) + '\n';
    return b;
}

} // namespace

class ReplayTest : public QObject {
    Q_OBJECT

private slots:
    void examplesCompute_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir(CHAIN_EXAMPLES);
        for (const QString &f : dir.entryList({"*.replies"}, QDir::Files))
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }
    void examplesCompute()
    {
        QFETCH(QString, file);
        const Result r = run({"--replies", file, "--fields"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(std::size_t(lines.size()), chain::controlNames().size()); // every field, one line each
        QVERIFY(lines.first().startsWith("Text1(0)\t"));
        for (const QString &l : lines)
            QVERIFY2(!l.contains("nan") && !l.contains("inf") && !l.contains("-0.00"), qPrintable(l));
    }

    void transcriptAndStandardInput()
    {
        const auto c = testchain::sampleChain();
        const QByteArray replies = joined(testchain::replies(testchain::caseData(1, c), c, testchain::sidesOf(c)));
        const Result r = run({"--replies", "-", "--transcript"}, replies);
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), replies.count('\n'));
        QCOMPARE(lines.first(), QString("请输入起始点 A 纵座标 :\t3000.0000000000"));
        QCOMPARE(lines.at(1), QString("确认输入的纵座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )\t"));
    }

    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto c = testchain::sampleChain();
        auto full = testchain::replies(testchain::caseData(1, c), c, testchain::sidesOf(c));
        auto cancelled = full;
        cancelled.resize(20);
        cancelled.push_back("<cancel>");
        auto shortOf = full;
        shortOf.resize(30);
        auto onlyA = testchain::caseData(1, c);
        onlyA.knownB = false;
        auto broken = testchain::sidesOf(c);
        broken[2] = 5000;
        QTest::newRow("cancelled") << joined(cancelled) << 4 << "已取消";
        QTest::newRow("replies run out") << joined(shortOf) << 5 << "用完";
        QTest::newRow("empty file") << QByteArray("") << 5 << "用完";
        QTest::newRow("no case") << joined(testchain::replies(onlyA, c, testchain::sidesOf(c))) << 2 << "十二种计算情形";
        QTest::newRow("broken triangle") << joined(testchain::replies(testchain::caseData(1, c), c, broken)) << 3
                                         << "第 1 个三角形不能闭合";
        QTest::newRow("CRLF line ends") << joined(full).replace("\n", "\r\n") << 0 << "";
    }
    void outcomes()
    {
        QFETCH(QByteArray, replies);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const Result r = run({"--replies", writeTemp(dir, "r.txt", replies), "--fields"});
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(std::size_t(r.out.count(QChar(10))), chain::controlNames().size()); // the fields whatever the outcome
    }

    void badFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing" << "无法打开答复文件";
        QTest::newRow("directory") << "directory" << "是一个目录";
    }
    void badFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = kind == "missing" ? dir.filePath("nothing-here.txt") : dir.path();
        const Result r = run({"--replies", path, "--fields"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void optionsNeedReplies()
    {
        const Result r = run({"--fields"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("--replies"));
    }

    void controlCharactersInNames()
    {
        const auto c = testchain::sampleChain();
        auto lines = testchain::replies(testchain::caseData(1, c), c, testchain::sidesOf(c));
        lines[24] = std::string("A\tB\x01\xff");
        QTemporaryDir dir;
        const Result r = run({"--replies", writeTemp(dir, "r.txt", joined(lines)), "--fields"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QString("Text8(0)\t   A\uFFFDB\uFFFD\uFFFD\n")));
    }
};

QTEST_GUILESS_MAIN(ReplayTest)
#include "test_replay.moc"
