// The data table and the menus of the window: every example computes the
// same from the prompts, from its data file and from the table; save and
// open again; bad files and failed writes leave the window as it was; the
// table checks as it is typed and works from the keyboard; the dialogs and
// menus fit their texts.
#include "modal.h"

#include "app/chainfile.h"
#include "gui/datatable.h"
#include "gui/settings.h"
#include "app/fields.h"
#include "report/fonts.h"
#include "gui/form2.h"
#include "gui/menus.h"
#include "app/replies.h"
#include "report/report.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <cmath>

using chain::gui::DataTable;
using chain::gui::Form2;
using chain::gui::Menus;
using chain::test::ListPrompter;
using chain::test::ModalWatcher;
namespace key = chain::key;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

QString example(const QString &name) { return QDir(CHAIN_EXAMPLES).filePath(name); }

// Every field of the window, as the replay mode prints them.
QString shown(const Form2 &w)
{
    QString s;
    for (const auto &name : chain::controlNames())
        s += QString::fromStdString(name) + '\t' + w.field(name)->text() + '\n';
    return s;
}

QString reportOf(const Form2 &w)
{
    return QString::fromStdString(chain::report::renderText(chain::report::build(w.record())));
}

// A window with its menus; warnings are collected instead of shown.
struct Window {
    Form2 w;
    Menus *menus = nullptr;
    QStringList warnings;
    Window()
    {
        menus = new Menus(w);
        menus->setWarner([this](const QString &m) { warnings << m; });
    }
};

void computeByPrompts(Form2 &w, const std::vector<std::string> &replies)
{
    std::vector<std::optional<std::string>> r(replies.begin(), replies.end());
    ListPrompter p(r);
    w.setPrompter(&p);
    w.button(1)->click();
    w.setPrompter(nullptr);
    QVERIFY(!p.ranOut);
}

// Types `text` into `e`: ASCII as key strokes, anything else as the commit
// of an input method, the way Chinese reaches an edit.
void typeText(QLineEdit *e, const QString &text)
{
    QString pending;
    auto commit = [&] {
        if (pending.isEmpty())
            return;
        QInputMethodEvent im;
        im.setCommitString(pending);
        QApplication::sendEvent(e, &im);
        pending.clear();
    };
    for (QChar ch : text) {
        if (ch.unicode() < 0x80) {
            commit();
            QTest::keyClick(e, ch.toLatin1());
        } else {
            pending += ch;
        }
    }
    commit();
}

// Types every value of `d` into the open table, key by key, and presses Enter.
void typeInto(DataTable *t, const chain::DataSet &d)
{
    for (int k = 0; k < key::count; ++k) {
        QLineEdit *e = t->edit(k);
        if (!d.has(k) || !e->isEnabled())
            continue;
        e->setFocus();
        e->selectAll();
        typeText(e, QString::fromStdString(*d[k]));
    }
    QTest::keyClick(t->edit(key::S(11)), Qt::Key_Return);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Widgets that overlap one another among the visible children of `parent`
// of the given types, as "a / b"; empty when none.
template <typename T>
QStringList overlaps(QWidget *top)
{
    QStringList out;
    const auto list = top->findChildren<T *>();
    for (int i = 0; i < list.size(); ++i) {
        for (int j = i + 1; j < list.size(); ++j) {
            T *a = list[i], *b = list[j];
            if (!a->isVisible() || !b->isVisible())
                continue;
            const QRect ra(a->mapTo(top, QPoint(0, 0)), a->size()), rb(b->mapTo(top, QPoint(0, 0)), b->size());
            if (ra.intersects(rb))
                out << a->objectName() + "/" + a->property("text").toString() + " × " + b->objectName() + "/" +
                           b->property("text").toString();
        }
    }
    return out;
}

void saveShot(QWidget *w, const QString &name)
{
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name + ".png"));
}

} // namespace

class TestDataTable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        chain::fonts::installFontSubstitutions();
        QApplication::setFont(chain::fonts::sansFont(9));
    }

    // Prompts (the example's replies) = data file = data table, field by
    // field and in the report, for every example.
    void threeWays_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case%1").arg(n))) << n;
    }
    void threeWays()
    {
        QFETCH(int, caseNo);
        const QString replies = example(QString("case%1.replies").arg(caseNo));
        const QString file = example(QString("case%1.chain").arg(caseNo));

        Window prompts;
        computeByPrompts(prompts.w, chain::readReplies(replies.toStdString()));
        QCOMPARE(prompts.w.record().caseNo, std::int16_t(caseNo));

        Window fromFile;
        QVERIFY(fromFile.menus->openAndCompute(file));
        QVERIFY2(fromFile.warnings.isEmpty(), qPrintable(fromFile.warnings.join('\n')));

        Window table;
        const chain::DataSet data = chain::readDataFile(file.toStdString());
        ModalWatcher watcher([&](QWidget *w) {
            auto *t = qobject_cast<DataTable *>(w);
            QVERIFY(t);
            typeInto(t, data);
        });
        table.menus->action("dataTable")->trigger();
        QVERIFY(!watcher.timedOut());
        QCOMPARE(watcher.handled(), 1);

        QCOMPARE(shown(fromFile.w), shown(prompts.w));
        QCOMPARE(shown(table.w), shown(prompts.w));
        QCOMPARE(reportOf(fromFile.w), reportOf(prompts.w));
        QCOMPARE(reportOf(table.w), reportOf(prompts.w));
    }

    // Compute from the example file, save through the menu, open the saved
    // file in a new window: the same fields;
    // and the table opened after a computation holds its values, so that
    // OK at once computes the same again.
    void saveOpenAndPrefill_data() { threeWays_data(); }
    void saveOpenAndPrefill()
    {
        QFETCH(int, caseNo);
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved.chain");
        Window first;
        QVERIFY(first.menus->openAndCompute(example(QString("case%1.chain").arg(caseNo))));
        QCOMPARE(first.w.record().caseNo, std::int16_t(caseNo));
        first.menus->setPathChooser([&](const QString &, const QString &, bool save, const QString &, const QString &suffix) {
            return save && suffix == "chain" ? saved : QString();
        });
        first.menus->action("saveData")->trigger();
        QVERIFY2(first.warnings.isEmpty(), qPrintable(first.warnings.join('\n')));

        Window second;
        second.menus->setPathChooser([&](const QString &, const QString &, bool save, const QString &, const QString &) {
            return save ? QString() : saved;
        });
        second.menus->action("openData")->trigger();
        QCOMPARE(shown(second.w), shown(first.w));
        QCOMPARE(reportOf(second.w), reportOf(first.w));

        Window again;
        QVERIFY(again.menus->openAndCompute(saved));
        again.w.setText("Text22", "stale"); // must be written again by the computation
        ModalWatcher watcher([&](QWidget *w) {
            auto *t = qobject_cast<DataTable *>(w);
            QVERIFY(t);
            for (int k = 0; k < key::count; ++k)
                QCOMPARE(t->edit(k)->text().toStdString(), chain::dataOf(first.w.record())[k].value_or(""));
            QVERIFY(t->okButton()->isEnabled());
            QTest::keyClick(t->edit(key::xa), Qt::Key_Enter);
        });
        again.menus->showDataTable();
        QCOMPARE(watcher.handled(), 1);
        QCOMPARE(shown(again.w), shown(first.w));
    }

    // A file that cannot be used: a warning naming the file, the line and
    // the key, and the window and record exactly as they were.
    void badFileTouchesNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("says");
        const QByteArray good = contents(example("case2.chain"));
        QTest::newRow("unknown key") << good + "xg = 1\n" << u("第 31 行：未知的键「xg」");
        QTest::newRow("key twice") << good + "S2 = 1\n" << u("第 31 行，键 S2：键 S2 重复出现");
        QTest::newRow("not a number") << QByteArray(good).replace("S3 = 677", "S3 = x677") << u("键 S3：「x677");
        QTest::newRow("minutes of 60") << QByteArray(good).replace("qa = 47.3045", "qa = 47.6045") << u("键 qa：");
        QTest::newRow("not UTF-8") << QByteArray(good).replace("张庄", "\xD5\xC5\xD7\xAF") << u("UTF-8");
        QTest::newRow("fits no case") << QByteArray(good).replace("qb = 52.1527", "qb = -52.1527")
                                      << u("不符合十二种计算情形");
    }
    void badFileTouchesNothing()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "bad.chain", text);
        Window win;
        QVERIFY(win.menus->openAndCompute(example("case1.chain")));
        const QString before = shown(win.w), report = reportOf(win.w);
        QVERIFY(!win.menus->openAndCompute(path));
        QCOMPARE(win.warnings.size(), 1);
        QVERIFY2(win.warnings.first().contains(path) && win.warnings.first().contains(says), qPrintable(win.warnings.first()));
        QCOMPARE(shown(win.w), before);
        QCOMPARE(reportOf(win.w), report);
        QCOMPARE(win.w.record().caseNo, std::int16_t(1));
    }

    // Saving where it cannot write: a warning, the old file unchanged.
    // Exports write the report; nothing to save or export before a computation.
    void writesAndExports()
    {
        QTemporaryDir dir;
        Window win;
        QVERIFY(!win.menus->saveData(dir.filePath("x.chain")));
        QVERIFY(!win.menus->exportText(dir.filePath("x.txt")));
        QVERIFY(!win.menus->exportPdf(dir.filePath("x.pdf")));
        QCOMPARE(win.warnings.size(), 3);
        QVERIFY(win.warnings.first().contains(u("还没有计算")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

        win.warnings.clear();
        QVERIFY(win.menus->openAndCompute(example("case7.chain")));
        QVERIFY(!win.menus->saveData(dir.filePath("no/such/dir/x.chain")));
        QVERIFY(!win.menus->saveData(dir.path()));
        QCOMPARE(win.warnings.size(), 2);
        QVERIFY2(win.warnings.at(0).contains(u("无法写入")), qPrintable(win.warnings.at(0)));
        QVERIFY2(win.warnings.at(1).contains(u("是一个目录")), qPrintable(win.warnings.at(1)));

        const QString text = writeTemp(dir, "report.txt", "old report\n");
        QVERIFY(win.menus->exportText(text));
        QCOMPARE(QString::fromUtf8(contents(text)), reportOf(win.w));
        const QString pdf = writeTemp(dir, "report.pdf", "old\n");
        QVERIFY(win.menus->exportPdf(pdf));
        QVERIFY(contents(pdf).startsWith("%PDF"));
        QVERIFY(!win.menus->exportPdf(dir.filePath("no/such/dir/r.pdf")));
        QCOMPARE(win.warnings.size(), 3);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    }

    // A computation that did not compute exports nothing (the window says
    // why); the data of its input can still be saved. A weak figure
    // computes with a warning box.
    void noExportAfterAFailedComputation()
    {
        QTemporaryDir dir;
        Window win;
        QVERIFY(win.menus->openAndCompute(example("case1.chain")));
        QByteArray bad = contents(example("case1.chain"));
        bad.replace("S2 = 474.775", "S2 = 5000");
        QStringList boxes;
        chain::test::ModalWatcher watcher([&](QWidget *m) {
            if (auto *b = qobject_cast<QMessageBox *>(m))
                boxes << b->text();
            if (auto *d = qobject_cast<QDialog *>(m))
                d->reject();
        });
        QVERIFY(win.menus->openAndCompute(writeTemp(dir, "bad.chain", bad)));
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.at(0).contains(u("不能闭合")), qPrintable(boxes.at(0)));
        QCOMPARE(win.w.record().caseNo, std::int16_t(0));
        const QString pdf = writeTemp(dir, "r.pdf", "old\n");
        QVERIFY(!win.menus->exportPdf(pdf));
        QVERIFY(!win.menus->exportText(dir.filePath("r.txt")));
        QCOMPARE(contents(pdf), QByteArray("old\n"));
        QVERIFY(!QFile::exists(dir.filePath("r.txt")));
        QCOMPARE(win.warnings.size(), 2);
        QVERIFY2(win.warnings.last().contains(u("最近一次计算没有完成，没有可导出的结果")), qPrintable(win.warnings.last()));
        QVERIFY(win.menus->saveData(dir.filePath("input.chain")));
        QVERIFY(contents(dir.filePath("input.chain")).contains("S2 = 5000"));

        // Error-free sides of a figure 5 m wide over 500 m: computed, with
        // the warning of triangles under one degree.
        QByteArray thin = "xa = 1000\nya = 1005\nxb = 2000\nyb = 1005\nnames = A C E F D B\n";
        const double d = std::hypot(500.0, 5.0);
        for (const auto &[k, v] : std::vector<std::pair<const char *, double>>{
                 {"S1", 5}, {"S2", 500}, {"S3", d}, {"S4", 5}, {"S5", 500}, {"S6", d}, {"S7", 500}, {"S8", d},
                 {"S9", 5}, {"S10", 500}, {"S11", d}})
            thin += QByteArray(k) + " = " + QByteArray::number(v, 'f', 9) + "\n";
        boxes.clear();
        QVERIFY(win.menus->openAndCompute(writeTemp(dir, "thin.chain", thin)));
        QCOMPARE(win.w.record().caseNo, std::int16_t(3));
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.at(0).contains(u("小于 1° 的角")), qPrintable(boxes.at(0)));
        QVERIFY(win.menus->exportText(dir.filePath("thin.txt")));
        QVERIFY(QString::fromUtf8(contents(dir.filePath("thin.txt"))).contains(u("注意 : 第 ")));
    }

    // The table checks each value as it is typed and knows which values the
    // known points make necessary.
    void checksAsYouType_data()
    {
        QTest::addColumn<QString>("from");    // example the table starts from
        QTest::addColumn<QString>("keyName"); // the edit typed into
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("tip"); // in the edit's tooltip, or in the status when the key is empty
        QTest::newRow("a good side") << "case1" << "S5" << "471.99" << true << "";
        QTest::newRow("side not a number") << "case1" << "S5" << "47l.99" << false << u("不是数字");
        QTest::newRow("side of zero") << "case1" << "S5" << "0" << false << u("须大于零");
        QTest::newRow("side left empty") << "case1" << "S5" << "" << false << u("缺少边长 S5");
        QTest::newRow("minutes of 60") << "case1" << "qa" << "47.6045" << false << u("分和秒都须小于 60");
        QTest::newRow("seconds of 60") << "case1" << "qa" << "47.3060" << false << u("分和秒都须小于 60");
        QTest::newRow("full-width digits") << "case1" << "S5" << u("４７１．９９") << true << "";
        QTest::newRow("one coordinate of B") << "case1" << "yb" << "" << false << u("缺少 yb");
        QTest::newRow("angles of case 1 removed") << "case1" << "qa" << "" << false << u("情形 1：给 ta、qa，不给 tb、qb");
        QTest::newRow("case 2 with opposite signs") << "case2" << "qb" << "-52.1527" << false << u("qa 与 qb 同号");
        QTest::newRow("name with a right-to-left override") << "case1" << "pn2" << u("王家\u202E坡") << false
                                                           << u("U+202E");
        QTest::newRow("name with a C1 control") << "case1" << "pn4" << u("河\u0085口") << false << u("控制字符 U+0085");
        QTest::newRow("coordinate beyond 1e9 m") << "case1" << "xb" << "1e13" << false << u("「1e13」超出范围");
        QTest::newRow("side out of range") << "case1" << "S5" << "1e309" << false << u("计算机无法表示这个数");
        QTest::newRow("azimuth beyond a turn") << "case1" << "ta" << "720" << false << u("外方位角「720」超出范围");
    }
    void checksAsYouType()
    {
        QFETCH(QString, from);
        QFETCH(QString, keyName);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, tip);
        DataTable t(chain::readDataFile(example(from + ".chain").toStdString()));
        QVERIFY(t.okButton()->isEnabled());
        QLineEdit *e = t.edit(chain::keyOf(keyName.toStdString()));
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        typeText(e, typed);
        QCOMPARE(t.okButton()->isEnabled(), ok);
        if (ok) {
            QVERIFY(t.problems().empty());
            QVERIFY(e->toolTip().isEmpty());
        } else if (e->toolTip().contains(tip)) {
            QVERIFY(!e->styleSheet().isEmpty()); // the edit is marked
        } else {
            QVERIFY2(t.statusLabel()->text().contains(tip), qPrintable(t.statusLabel()->text() + " | " + e->toolTip()));
        }
    }

    // Known points decide which edits are open: S1 and the start angles
    // close when A and C are both known; S9 and the closing angles when B
    // and D are; values in a closed edit are not used.
    void knownPointsCloseEdits()
    {
        DataTable t(chain::readDataFile(example("case1.chain").toStdString()));
        for (int k : std::initializer_list<int>{key::ta, key::qa, key::tb, key::qb, key::S(1), key::S(9)})
            QVERIFY(t.edit(k)->isEnabled());
        QTest::keyClicks(t.edit(key::xc), "3012.347");
        QTest::keyClicks(t.edit(key::yc), "5004.118");
        QVERIFY(!t.edit(key::S(1))->isEnabled());
        QVERIFY(!t.edit(key::ta)->isEnabled());
        QVERIFY(!t.edit(key::qa)->isEnabled());
        QVERIFY(t.edit(key::tb)->isEnabled());
        QCOMPARE(t.edit(key::S(1))->placeholderText(), u("由 A、C 座标计算"));
        const chain::DataSet d = t.dataSet();
        QVERIFY(!d.has(key::S(1)) && !d.has(key::ta) && !d.has(key::qa));
        QVERIFY(!t.edit(key::ta)->text().isEmpty()); // kept, for when C is cleared again
        // Now A, C, B are known without angles: case 12.
        QVERIFY(t.okButton()->isEnabled());
        QCOMPARE(chain::caseOf(d), std::int16_t(12));
        t.edit(key::xc)->clear();
        QVERIFY(!t.edit(key::S(1))->isEnabled()); // C half typed: neither known nor new
        t.edit(key::yc)->clear();
        QVERIFY(t.edit(key::S(1))->isEnabled());
        QVERIFY(t.edit(key::ta)->isEnabled());
    }

    // Keyboard: Tab runs through the values in prompt order, then OK and
    // Cancel; Enter computes, Esc cancels, Enter with a problem goes to it.
    void keyboard()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example("case3.chain")));
        const QString before = shown(win.w);
        int step = 0;
        ModalWatcher watcher([&](QWidget *w) {
            auto *t = qobject_cast<DataTable *>(w);
            QVERIFY(t);
            QVERIFY(QTest::qWaitForWindowActive(t));
            if (step++ == 0) {
                // Tab from the first value: every value in prompt order, the
                // analysis settings and the header, OK, Cancel.
                QList<QWidget *> expected, visited;
                for (int k = 0; k < key::count; ++k)
                    expected << t->edit(k);
                chain::gui::SettingsEditor *ed = t->settingsEditor();
                expected << ed->edit("sigma_a") << ed->edit("sigma_b") << ed->edit("sigma_q") << ed->gradeBox()
                         << ed->edit("project") << ed->edit("operator") << ed->edit("instrument") << ed->edit("date");
                expected << t->okButton() << t->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
                for (int i = 0; i < expected.size(); ++i) {
                    visited << QApplication::focusWidget();
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                }
                QCOMPARE(visited, expected);
                QCOMPARE(QApplication::focusWidget(), t->edit(key::xa)); // and round again
                QTest::keyClick(t->edit(key::S(4)), Qt::Key_Escape);
            } else {
                // Enter while S4 is empty goes to S4; typed, Enter computes.
                QLineEdit *s4 = t->edit(key::S(4));
                s4->clear();
                t->edit(key::xa)->setFocus();
                QTest::keyClick(t->edit(key::xa), Qt::Key_Return);
                QVERIFY(t->isVisible());
                QCOMPARE(QApplication::focusWidget(), s4);
                QTest::keyClicks(s4, "484.957");
                QTest::keyClick(s4, Qt::Key_Return);
            }
        });
        win.menus->showDataTable(); // Esc: nothing computed
        QCOMPARE(shown(win.w), before);
        win.w.setText("Text7(3)", "");
        win.menus->showDataTable(); // S4 retyped, Enter: computed again
        QCOMPARE(watcher.handled(), 2);
        QCOMPARE(win.w.field("Text7(3)")->text(), u(" 484.957"));
    }

    // chainadj FILE.chain: the window comes up computed from the file, the
    // same picture as a window that opened the file from its menu.
    void startsFromFile()
    {
        QTemporaryDir dir;
        auto shot = [&](const QStringList &args, const QString &name) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            p.setProcessEnvironment(env);
            p.start(CHAINADJ_EXE, args + QStringList{"--screenshot", dir.filePath(name)});
            if (!p.waitForFinished(30000)) {
                p.kill();
                p.waitForFinished();
            }
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QCOMPARE(shot({}, "empty.png"), 0);
        QCOMPARE(shot({example("case6.chain")}, "case6.png"), 0);
        const QImage empty(dir.filePath("empty.png")), computed(dir.filePath("case6.png"));
        QVERIFY(!computed.isNull());
        QVERIFY(computed != empty);

        Window win;
        QVERIFY(win.menus->openAndCompute(example("case6.chain")));
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        QCOMPARE(win.w.grab().toImage().convertToFormat(computed.format()), computed);
    }

    // The menu bar and its actions.
    void menuBar()
    {
        Window win;
        const QList<QAction *> tops = win.w.menuBar()->actions();
        QCOMPARE(tops.size(), 5);
        QCOMPARE(tops.at(0)->text(), u("文件(&F)"));
        QCOMPARE(tops.at(1)->text(), u("编辑(&E)"));
        QCOMPARE(tops.at(2)->text(), u("查看(&V)"));
        QCOMPARE(tops.at(3)->text(), u("工具(&T)"));
        QCOMPARE(tops.at(4)->text(), u("帮助(&H)"));
        QStringList file, edit, view, tools, help;
        for (QAction *a : tops.at(0)->menu()->actions())
            if (!a->isSeparator())
                file << a->text();
        for (QAction *a : tops.at(1)->menu()->actions())
            edit << a->text();
        for (QAction *a : tops.at(2)->menu()->actions())
            view << a->text();
        for (QAction *a : tops.at(3)->menu()->actions())
            if (!a->isSeparator())
                tools << a->text();
        for (QAction *a : tops.at(4)->menu()->actions())
            help << a->text();
        QCOMPARE(file, (QStringList{u("打开数据文件并计算…"), u("保存本次数据…"), u("导出报告 (PDF)…"),
                                    u("导出报告 (文本)…"), u("导出(&E)"), u("打印…"), u("退出")}));
        QCOMPARE(edit, (QStringList{u("数据表…"), u("复制结果")}));
        QCOMPARE(view, (QStringList{u("适合窗口"), u("放大"), u("缩小"), u("实际大小")}));
        QCOMPARE(tools, (QStringList{u("精度分析"), u("精度预估…"), u("设置…")}));
        QCOMPARE(help, (QStringList{u("使用说明"), u("关于")}));
        QCOMPARE(win.menus->action("openData")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(win.menus->action("saveData")->shortcut(), QKeySequence(QKeySequence::Save));
        // The three buttons and every field stay.
        for (int n = 1; n <= 3; ++n)
            QVERIFY(win.w.button(n));
        for (const auto &name : chain::controlNames())
            QVERIFY(win.w.field(name));
    }

    // The help names the points, the d.mmss form and all twelve cases.
    void helpText()
    {
        const QString h = Menus::helpHtml();
        for (const char *s : {"C 为 1 号点", "E（2 号）", "F（3 号）", "D（4 号）", "123.4530 是 123°45′30″", "0.00000001"})
            QVERIFY2(h.contains(u(s)), s);
        for (int n = 1; n <= 12; ++n)
            QVERIFY(h.contains(QString::fromStdString(chain::caseNeeds(n)).toHtmlEscaped()));
    }

    // The table, the help and the menus on screen: Chinese glyphs exist in
    // the fonts, no label is cut off, nothing overlaps. With CHAIN_SCREENSHOTS
    // set to a directory, the pictures go there.
    void onScreen()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example("case2.chain")));
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        saveShot(&win.w, "window");

        // One table with every edit open (case 2), one with S1, S9 and the
        // angles closed (case 9), and one with problems shown.
        for (const char *name : {"case2", "case9", "problems"}) {
            const bool problems = QByteArray(name) == "problems";
            const chain::DataSet d = chain::readDataFile(example(QString(problems ? "case2" : name) + ".chain").toStdString());
            DataTable t(d, &win.w);
            if (problems) {
                t.edit(key::qa)->setText("47.6045");
                t.edit(key::S(5))->clear();
                t.edit(key::yd)->setText("5043.771");
            }
            t.show();
            QVERIFY(QTest::qWaitForWindowExposed(&t));
            QCoreApplication::processEvents();
            saveShot(&t, QString("datatable-") + name);
            for (QLabel *l : t.findChildren<QLabel *>()) {
                const QFontMetrics fm(l->font());
                for (QChar ch : l->text())
                    QVERIFY2(ch.unicode() < 0x80 || ch.isSpace() || fm.inFont(ch), qPrintable(l->text()));
                if (!l->wordWrap())
                    QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
                else
                    QVERIFY2(l->height() >= l->heightForWidth(l->width()),
                             qPrintable(QString("%1: %2 high, needs %3").arg(l->text()).arg(l->height()).arg(l->heightForWidth(l->width()))));
            }
            QCOMPARE(overlaps<QLineEdit>(&t), QStringList());
            QCOMPARE(overlaps<QLabel>(&t), QStringList());
            for (QLineEdit *e : t.findChildren<QLineEdit *>())
                QVERIFY2(QRect(QPoint(0, 0), t.size()).contains(QRect(e->mapTo(&t, QPoint(0, 0)), e->size())),
                         qPrintable(e->objectName()));
        }

        win.menus->showHelp();
        auto *help = win.w.findChild<QDialog *>("help");
        QVERIFY(help && help->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(help));
        saveShot(help, "help");

        for (QAction *top : win.w.menuBar()->actions()) {
            QMenu *m = top->menu();
            m->popup(win.w.mapToGlobal(QPoint(0, 0)));
            QVERIFY(QTest::qWaitForWindowExposed(m));
            for (QAction *a : m->actions()) {
                if (a->isSeparator())
                    continue;
                const QRect r = m->actionGeometry(a);
                QVERIFY2(r.width() >= m->fontMetrics().horizontalAdvance(a->text().remove('&')), qPrintable(a->text()));
            }
            saveShot(m, top->menu()->objectName());
            m->hide();
        }
    }
};

QTEST_MAIN(TestDataTable)
#include "test_datatable.moc"
