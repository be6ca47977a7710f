// Files as a hostile user gives them, through the executable: inputs that
// are not regular files or are too large or out of range, and targets that
// must not be replaced by a file (a device, a read-only file, a dangling
// link, a full disk) or only through a link. Every row states the exit
// status, what the message says, and what the target holds before and
// after; no temporary file may be left beside it.
#include "support/process.h"
#include "support/chains.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using testproc::Result;
Result runExe(const QStringList &args) { return testproc::chainadj(args); }

const auto readAll = testproc::readFile;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray lines(const std::vector<std::string> &v)
{
    QByteArray b;
    for (const auto &l : v)
        b += QByteArray::fromStdString(l) + '\n';
    return b;
}

QByteArray example(const char *name) { return readAll(QString(CHAIN_EXAMPLES) + "/" + name); }

// The case 1 data file with one line replaced.
QByteArray case1With(const QByteArray &from, const QByteArray &to)
{
    QByteArray b = example("case1.chain");
    const qsizetype at = b.indexOf(from);
    return at < 0 ? QByteArray() : b.replace(at, b.indexOf('\n', at) - at, to);
}

// What a path is, for the "after" column.
QString kindOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "none";
    if (S_ISLNK(st.st_mode))
        return "link";
    if (S_ISCHR(st.st_mode))
        return "device";
    if (S_ISFIFO(st.st_mode))
        return "fifo";
    if (S_ISDIR(st.st_mode))
        return "directory";
    return "file";
}

bool run(const QString &program, const QStringList &args) { return testproc::run(program, args, {}, 10000).status == 0; }

} // namespace

class FilesTest : public QObject {
    Q_OBJECT

private slots:
    void table_data()
    {
        QTest::addColumn<QString>("setup");    // what the test makes at %T before the run
        QTest::addColumn<QByteArray>("input"); // the content of %I (replies or data file)
        QTest::addColumn<QStringList>("args"); // %T target, %I input file, %D the folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("says"); // fragments of standard error (or of the transcript)
        QTest::addColumn<QString>("after");    // the target after: same, data, pdf, absent, or its kind

        const QByteArray replies = example("case1.replies");
        const QByteArray data = example("case1.chain");
        // Replies of a chain whose triangle 1 cannot close: exit 3.
        auto c = testchain::sampleChain();
        auto sides = testchain::sidesOf(c);
        sides[2] = 5000;
        const QByteArray degenerate = lines(testchain::replies(testchain::caseData(1, c), c, sides));

        // Inputs.
        QTest::newRow("replies from a FIFO") << "fifo" << QByteArray() << QStringList{"--replies", "%T", "--fields"} << 1
                                             << QStringList{"管道（FIFO）", "不是普通文件"} << "fifo";
        QTest::newRow("data file from a FIFO") << "fifo" << QByteArray() << QStringList{"--data", "%T"} << 1
                                               << QStringList{"这是一个管道（FIFO）", "不是数据文件"} << "fifo";
        QTest::newRow("replies from /dev/zero") << "" << QByteArray() << QStringList{"--replies", "/dev/zero"} << 1
                                                << QStringList{"「/dev/zero」是一个设备"} << "absent";
        QTest::newRow("data file from /dev/zero") << "" << QByteArray() << QStringList{"--data", "/dev/zero"} << 1
                                                  << QStringList{"这是一个设备"} << "absent";
        QTest::newRow("replies from a directory") << "" << QByteArray() << QStringList{"--replies", "%D"} << 1
                                                  << QStringList{"是一个目录"} << "absent";
        QByteArray big = replies;
        big.append(QByteArray((1 << 20) - big.size(), '\n'));
        QTest::newRow("replies of exactly 1 MiB") << "" << big << QStringList{"--replies", "%I", "--fields"} << 0
                                                  << QStringList{} << "absent";
        QTest::newRow("replies of 1 MiB + 1") << "" << big + '\n' << QStringList{"--replies", "%I", "--fields"} << 1
                                              << QStringList{"超过 1 MiB", "读到 1 MiB 为止"} << "absent";
        QTest::newRow("data file of 1 MiB + 1") << "" << data + QByteArray((1 << 20) + 1 - data.size(), '\n')
                                                << QStringList{"--data", "%I"} << 1 << QStringList{"文件太大"} << "absent";
        QTest::newRow("1e13 m coordinates in a data file")
            << "" << case1With("xa = ", "xa = 1e13") << QStringList{"--data", "%I"} << 1
            << QStringList{"键 xa", "「1e13」超出范围", "1000000000 米"} << "absent";
        QTest::newRow("1e13 m coordinates at the prompt")
            << "" << "1e13\n" + replies << QStringList{"--replies", "%I", "--transcript"} << 0
            << QStringList{"「1e13」超出范围：座标的绝对值不能超过 1000000000 米"} << "absent";
        QTest::newRow("1e309 for a side in a data file")
            << "" << case1With("S5 = ", "S5 = 1e309") << QStringList{"--data", "%I"} << 1
            << QStringList{"键 S5", "「1e309」超出范围，计算机无法表示这个数"} << "absent";
        QTest::newRow("a side of 1e6 m in a data file") << "" << case1With("S5 = ", "S5 = 1000000")
                                                        << QStringList{"--data", "%I"} << 1
                                                        << QStringList{"键 S5", "边长须小于 1000000 米"} << "absent";
        QTest::newRow("an azimuth of 720 in a data file") << "" << case1With("ta = ", "ta = 720")
                                                          << QStringList{"--data", "%I"} << 1
                                                          << QStringList{"键 ta", "外方位角「720」超出范围"} << "absent";
        QTest::newRow("a name with U+202E in a data file")
            << "" << case1With("names = ", "names = 城关 李\u202E庄 王家坡 东山 河口 北岭") << QStringList{"--data", "%I"} << 1
            << QStringList{"键 pn1", "U+202E", "改变文字方向"} << "absent";
        QByteArray longValue = case1With("yb = ", "yb = " + QByteArray(100000, '5') + "x");
        QTest::newRow("a value of 100 000 characters is quoted short")
            << "" << longValue << QStringList{"--data", "%I"} << 1 << QStringList{"……」（共 100001 个字符）不是数字"}
            << "absent";

        // Targets.
        QTest::newRow("full disk: data file") << "full" << QByteArray()
                                              << QStringList{"--replies", "%E/case1.replies", "--save-data", "%T"} << 6
                                              << QStringList{"磁盘已满", "原有的文件没有改动"} << "same";
        QTest::newRow("full disk: report PDF") << "full" << QByteArray()
                                               << QStringList{"--replies", "%E/case1.replies", "--report-pdf", "%T"} << 6
                                               << QStringList{"无法写入", "原有的文件没有改动"} << "same";
        QTest::newRow("read-only file system") << "readonlyfs" << QByteArray()
                                               << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 6
                                               << QStringList{"只读文件系统", "没有留下文件"} << "absent";
        QTest::newRow("device made with mknod: data file") << "device" << QByteArray()
                                                           << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"}
                                                           << 6 << QStringList{"这是一个字符设备", "没有写入"} << "device";
        QTest::newRow("device made with mknod: report PDF") << "device" << QByteArray()
                                                            << QStringList{"--data", "%E/case1.chain", "--report-pdf", "%T"}
                                                            << 6 << QStringList{"这是一个字符设备"} << "device";
        QTest::newRow("a FIFO as target") << "fifo" << QByteArray()
                                          << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 6
                                          << QStringList{"管道"} << "fifo";
        QTest::newRow("a directory as target") << "directory" << QByteArray()
                                               << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 6
                                               << QStringList{"这是一个目录"} << "directory";
        QTest::newRow("read-only target") << "readonly" << QByteArray()
                                          << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 6
                                          << QStringList{"只读文件", "没有改动"} << "same";
        QTest::newRow("link to a file: data file") << "link" << QByteArray()
                                                   << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 0
                                                   << QStringList{} << "data";
        QTest::newRow("link to a file: report PDF") << "link" << QByteArray()
                                                    << QStringList{"--data", "%E/case1.chain", "--report-pdf", "%T"} << 0
                                                    << QStringList{} << "pdf";
        QTest::newRow("dangling link") << "dangling" << QByteArray()
                                       << QStringList{"--data", "%E/case1.chain", "--report-pdf", "%T"} << 6
                                       << QStringList{"符号链接", "不存在（悬空的链接）"} << "link";
        QTest::newRow("link loop") << "loop" << QByteArray()
                                   << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"} << 6
                                   << QStringList{"符号链接循环"} << "link";
        QTest::newRow("no such folder") << "" << QByteArray()
                                        << QStringList{"--data", "%E/case1.chain", "--save-data", "%D/no/such/x.chain"} << 6
                                        << QStringList{"目录「", "不存在"} << "absent";
        QTest::newRow("empty name: data file") << "" << QByteArray()
                                               << QStringList{"--data", "%E/case1.chain", "--save-data", ""} << 1
                                               << QStringList{"--save-data 后面的文件名是空的"} << "absent";
        QTest::newRow("empty name: report PDF") << "" << QByteArray()
                                                << QStringList{"--data", "%E/case1.chain", "--report-pdf", ""} << 1
                                                << QStringList{"--report-pdf 后面的文件名是空的"} << "absent";
        QTest::newRow("failed computation over an existing PDF")
            << "old" << degenerate << QStringList{"--replies", "%I", "--report-pdf", "%T"} << 3
            << QStringList{"不能闭合", "没有计算结果，没有写出 PDF 报告"} << "same";
        QTest::newRow("failed computation over an existing data file")
            << "old" << degenerate << QStringList{"--replies", "%I", "--save-data", "%T"} << 3
            << QStringList{"计算没有完成；本次输入的数据已保存到"} << "data";
        QTest::newRow("an existing data file replaced") << "old" << QByteArray()
                                                        << QStringList{"--data", "%E/case1.chain", "--save-data", "%T"}
                                                        << 0 << QStringList{} << "data";
    }

    void table()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, says);
        QFETCH(QString, after);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString folder = dir.path();
        const QByteArray old = "old contents the surveyor keeps\n";
        const QString inputPath = dir.filePath("input");
        if (!input.isEmpty())
            writeFile(inputPath, input);

        // The full disk: a small file system of its own, filled up.
        bool mounted = false;
        auto unmount = qScopeGuard([&] {
            if (mounted)
                run("umount", {folder});
        });
        if (setup == "full" || setup == "readonlyfs") {
            folder = dir.filePath("small");
            QVERIFY(QDir().mkdir(folder));
            const QString options = setup == "full" ? "size=64k" : "size=64k,ro";
            if (!run("mount", {"-t", "tmpfs", "-o", options, "tmpfs", folder}))
                QSKIP("no small tmpfs: mounting needs root and a system that allows it (no full-disk test here)");
            mounted = true;
        }
        const QString target = folder + "/target";
        if (setup == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0644) == 0);
        else if (setup == "device") {
            // A device node of our own in the temporary folder (the one of
            // /dev/null), never the real /dev.
            if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0644, makedev(1, 3)) != 0)
                QSKIP("mknod is not allowed here (needs root): no device target");
        } else if (setup == "directory")
            QVERIFY(QDir().mkdir(target));
        else if (setup == "old" || setup == "readonly" || setup == "full")
            writeFile(target, old);
        if (setup == "readonly")
            QVERIFY(::chmod(QFile::encodeName(target).constData(), 0444) == 0);
        const QString linked = folder + "/linked";
        if (setup == "link") {
            writeFile(linked, old);
            QVERIFY(QFile::link("linked", target));
        } else if (setup == "dangling")
            QVERIFY(QFile::link("nowhere/linked", target));
        else if (setup == "loop") {
            QVERIFY(QFile::link("target2", target));
            QVERIFY(QFile::link("target", folder + "/target2"));
        }
        if (setup == "full") {
            QFile fill(folder + "/fill");
            QVERIFY(fill.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
        }
        const QString kindBefore = kindOf(target);
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

        QStringList a;
        for (QString s : args)
            a << s.replace("%T", target).replace("%I", inputPath).replace("%D", folder).replace("%E", CHAIN_EXAMPLES);
        const Result r = runExe(a);
        QVERIFY2(r.status == status, qPrintable(QString("status %1: %2").arg(r.status).arg(r.err)));
        for (const QString &s : says)
            QVERIFY2(r.err.contains(s) || r.out.contains(s), qPrintable(s + " not in: " + r.err));
        // A failure speaks Chinese only: no English system text.
        if (status != 0)
            QVERIFY2(!r.err.contains("No such") && !r.err.contains("denied") && !r.err.contains("space") &&
                         !r.err.contains("_M_"),
                     qPrintable(r.err));

        // The target after the run.
        const QString file = setup == "link" ? linked : target;
        if (after == "same") {
            QCOMPARE(readAll(target), old);
        } else if (after == "data") {
            QVERIFY2(readAll(file).startsWith("# 二个连续四边形三边平差 数据文件"), readAll(file).left(80).constData());
        } else if (after == "pdf") {
            QVERIFY(readAll(file).startsWith("%PDF-"));
        } else if (after == "absent") {
            QCOMPARE(kindOf(target), QString("none"));
        } else {
            QCOMPARE(kindOf(target), after);
            QCOMPARE(kindOf(target), kindBefore);
        }
        if (setup == "link" || setup == "dangling") {
            QCOMPARE(kindOf(target), QString("link")); // the link stays a link
            QCOMPARE(QFile::symLinkTarget(target), setup == "link" ? linked : folder + "/nowhere/linked");
        }
        if (setup == "dangling")
            QVERIFY(!QDir(folder + "/nowhere").exists());
        // Nothing left beside the target: the same entries as before (a
        // first data file or the input aside).
        QStringList now = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QCOMPARE(now, before);
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"
