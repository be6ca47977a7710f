// 文件 → 导出: each item writes its file through the same writers as the
// command line, nothing before a computation.
#include "support/process.h"
#include "gui/form2.h"
#include "gui/menus.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using chain::gui::Form2;
using chain::gui::Menus;

namespace {

QString example(int n) { return QDir(CHAIN_EXAMPLES).filePath(QString("case%1.chain").arg(n)); }

const auto readAll = testproc::readFile;

struct Window {
    Form2 w;
    Menus *menus = new Menus(w);
    QStringList warnings, asked;
    explicit Window(const QString &target)
    {
        menus->setWarner([this](const QString &m) { warnings << m; });
        menus->setPathChooser([this, target](const QString &title, const QString &, bool save, const QString &,
                                             const QString &suffix) {
            asked << title;
            return save ? target + "." + suffix : QString();
        });
    }
};

} // namespace

class TestExportMenu : public QObject {
    Q_OBJECT
private slots:
    void exportItems_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("csv") << "exportCsv" << "csv" << QByteArray("\xEF\xBB\xBF点名,点号");
        QTest::newRow("dat") << "exportDat" << "dat" << QByteArray("\xB3\xC7\xB9\xD8,,5500.000,3000.000,0\r\n"); // 城关 in GBK
        QTest::newRow("xlsx") << "exportXlsx" << "xlsx" << QByteArray("PK\x03\x04");
        QTest::newRow("dxf") << "exportDxf" << "dxf" << QByteArray("999\ndxflib");
    }
    void exportItems()
    {
        QFETCH(QString, action);
        QFETCH(QString, suffix);
        QFETCH(QByteArray, starts);
        QTemporaryDir dir;
        const QString target = dir.filePath("out");
        Window win(target);
        QAction *a = win.menus->action(action.toLatin1().constData());
        QVERIFY(a);
        QCOMPARE(a->parent()->objectName(), QString("exportMenu"));

        // Nothing computed yet: a warning, no dialog, no file.
        a->trigger();
        QCOMPARE(win.warnings.size(), 1);
        QVERIFY(win.asked.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());

        QVERIFY(win.menus->openAndCompute(example(1)));
        a->trigger();
        QVERIFY2(win.warnings.size() == 1, qPrintable(win.warnings.join('\n')));
        QCOMPARE(win.asked.size(), 1);
        QVERIFY(win.asked[0].startsWith("导出"));
        const QByteArray bytes = readAll(target + "." + suffix);
        QVERIFY2(bytes.startsWith(starts), bytes.left(40).toHex().constData());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
};

QTEST_MAIN(TestExportMenu)
#include "test_exportmenu.moc"
