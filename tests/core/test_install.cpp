// The installed program: this build installed with cmake --install into a
// scratch prefix, which is then moved, so that everything must be found
// relative to the executable. The installed examples compute the same
// fields as the build tree, the window module is found in its private
// directory, the desktop entry, metainfo and manual pages are valid and
// agree with the program.
#include "app/chainfile.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Result {
    int status = -1;
    QByteArray out, err;
};

Result run(const QString &program, const QStringList &args, const QProcessEnvironment &extra = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert(extra);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {-2, {}, p.errorString().toUtf8()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value of KEY= in the [Desktop Entry] group of a desktop file.
QString desktopValue(const QString &text, const QString &key)
{
    const QRegularExpression re(QStringLiteral("^%1=(.*)$").arg(QRegularExpression::escape(key)),
                                QRegularExpression::MultilineOption);
    return re.match(text).captured(1).trimmed();
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;
    QString prefix_;

    QString installed(const QString &relative) const { return prefix_ + '/' + relative; }
    QString exe() const { return installed(CHAIN_INSTALL_BINDIR "/chainadj"); }
    QString examples() const { return installed(CHAIN_INSTALL_DATADIR "/chainadj/examples"); }

private slots:
    void initTestCase()
    {
        QVERIFY(scratch_.isValid());
        const QString first = scratch_.filePath("first");
        const Result r = run(CHAIN_CMAKE, {"--install", CHAIN_BUILD_DIR, "--prefix", first});
        QVERIFY2(r.status == 0, r.err.constData());
        prefix_ = scratch_.filePath("moved");
        QVERIFY(QDir().rename(first, prefix_));
        QVERIFY(QFileInfo(exe()).isExecutable());
    }

    // Every installed example computes, and gives exactly the build tree's
    // fields and transcript.
    void examplesAsInTheBuildTree_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("name");
        const QDir dir(CHAIN_EXAMPLES);
        const QStringList files = dir.entryList({"*.chain", "*.replies"}, QDir::Files);
        QCOMPARE(files.size(), 24);
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << (f.endsWith(".chain") ? "--data" : "--replies") << f;
    }
    void examplesAsInTheBuildTree()
    {
        QFETCH(QString, option);
        QFETCH(QString, name);
        const Result built = run(CHAINADJ_EXE, {option, QDir(CHAIN_EXAMPLES).filePath(name), "--transcript", "--fields"});
        const Result inst = run(exe(), {option, QDir(examples()).filePath(name), "--transcript", "--fields"});
        QCOMPARE(built.status, 0);
        QCOMPARE(inst.status, 0);
        QCOMPARE(inst.out, built.out);
        QCOMPARE(inst.err, built.err);
    }

    // The PDF report needs the window module, which is not beside the
    // installed executable but in the private library directory.
    void pdfFromTheInstalledModule()
    {
        QVERIFY(!QFileInfo::exists(QFileInfo(exe()).dir().filePath("libchainadj_gui.so")));
        QVERIFY(QFileInfo::exists(installed(CHAIN_GUI_INSTALL_DIR "/libchainadj_gui.so")));
        const QString pdf = scratch_.filePath("case1.pdf");
        const Result r = run(exe(), {"--data", QDir(examples()).filePath("case1.chain"), "--report-pdf", pdf});
        QVERIFY2(r.status == 0, r.err.constData());
        QVERIFY(readAll(pdf).startsWith("%PDF-"));
    }

    // Without the module anywhere: a message naming where it was looked
    // for, the report-not-written status, and the text output still there.
    void missingModuleIsAMessage()
    {
        const QString lone = scratch_.filePath("lone/bin/chainadj");
        QVERIFY(QDir().mkpath(QFileInfo(lone).path()));
        QVERIFY(QFile::copy(exe(), lone));
        const QString pdf = scratch_.filePath("lone.pdf");
        const Result r = run(lone, {"--data", QDir(examples()).filePath("case1.chain"), "--fields", "--report-pdf", pdf});
        QCOMPARE(r.status, 6);
        const QString err = QString::fromUtf8(r.err);
        QVERIFY2(err.contains(QString::fromUtf8("找不到窗口模块")), qPrintable(err));
        QVERIFY2(err.contains(scratch_.filePath("lone/bin/libchainadj_gui.so")), qPrintable(err));
        QVERIFY2(err.contains("/chainadj/libchainadj_gui.so"), qPrintable(err));
        QVERIFY(r.out.startsWith("Text1(0)\t"));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // The desktop entry starts the installed program with the installed
    // icon; the metainfo launches that desktop entry; both pass their
    // validators.
    void desktopEntryAndMetainfo()
    {
        const QString desktop = installed(CHAIN_INSTALL_DATADIR "/applications/" CHAIN_APP_ID ".desktop");
        const QString metainfo = installed(CHAIN_INSTALL_DATADIR "/metainfo/" CHAIN_APP_ID ".metainfo.xml");
        const QString text = QString::fromUtf8(readAll(desktop));
        QVERIFY(!text.isEmpty());
        QCOMPARE(desktopValue(text, "Exec").section(' ', 0, 0), QFileInfo(exe()).fileName());
        const QString icon = desktopValue(text, "Icon");
        QVERIFY(QFileInfo::exists(installed(CHAIN_INSTALL_DATADIR "/icons/hicolor/scalable/apps/" + icon + ".svg")));

        QXmlStreamReader xml(readAll(metainfo));
        QString id, launchable, release;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"id")
                id = xml.readElementText();
            else if (xml.name() == u"launchable")
                launchable = xml.readElementText();
            else if (xml.name() == u"release")
                release = xml.attributes().value("version").toString();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(id, QStringLiteral(CHAIN_APP_ID));
        QCOMPARE(launchable, QFileInfo(desktop).fileName());
        QCOMPARE(release, QStringLiteral("1.0"));

        const QString dfv = QStandardPaths::findExecutable("desktop-file-validate");
        const QString asc = QStandardPaths::findExecutable("appstreamcli");
        if (dfv.isEmpty() || asc.isEmpty())
            QSKIP("desktop-file-validate or appstreamcli missing (scripts/setup.sh installs them)");
        const Result d = run(dfv, {desktop});
        QVERIFY2(d.status == 0 && !d.out.contains("error"), d.out.constData());
        const Result a = run(asc, {"validate", "--no-net", metainfo});
        QVERIFY2(a.status == 0, (a.out + a.err).constData());
    }

    // The icon is an SVG document that its renderer can read.
    void iconIsSvg()
    {
        QXmlStreamReader xml(readAll(installed(CHAIN_INSTALL_DATADIR "/icons/hicolor/scalable/apps/chainadj.svg")));
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), u"svg");
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }

    // Both manual pages format without a groff warning (a Chinese line that
    // cannot be broken is one) and describe every option of the usage.
    void manPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("en") << "man1/chainadj.1.gz";
        QTest::newRow("zh_CN") << "zh_CN/man1/chainadj.1.gz";
    }
    void manPages()
    {
        QFETCH(QString, page);
        const QString man = QStandardPaths::findExecutable("man");
        if (man.isEmpty())
            QSKIP("man missing");
        QProcessEnvironment env;
        env.insert("MANWIDTH", "80");
        env.insert("LANG", "C.UTF-8");
        const Result r = run(man, {"--warnings", "-l", installed(CHAIN_INSTALL_MANDIR "/" + page)}, env);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        const QString text = QString::fromUtf8(r.out).remove(QRegularExpression(".\b")); // no overstrike
        QVERIFY(text.contains("chainadj"));
        const QString usage = QString::fromUtf8(run(exe(), {"--help"}).out);
        const QRegularExpression option("--[a-z][a-z-]+");
        int options = 0;
        for (auto it = option.globalMatch(usage); it.hasNext(); ++options) {
            const QString o = it.next().captured();
            QVERIFY2(text.contains(o), qPrintable(o + " is not in the page"));
        }
        QVERIFY(options >= 7);
    }

    // The help text names, for each case, exactly the data the program asks.
    void helpTextListsTheCases_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 1; n <= 12; ++n)
            QTest::addRow("case %d", n) << n;
    }
    void helpTextListsTheCases()
    {
        QFETCH(int, n);
        const QString help = QString::fromUtf8(readAll(installed(CHAIN_INSTALL_DOCDIR "/help.txt")));
        QVERIFY(!help.isEmpty());
        const QString line = QString::fromUtf8("情形 %1：").arg(n) + QString::fromStdString(chain::caseNeeds(n)) + '\n';
        QVERIFY2(help.contains(line), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
