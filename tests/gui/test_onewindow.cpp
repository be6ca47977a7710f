// The window as a surveyor uses it: it shows one computation (no field left
// over from another chain), the prompt keeps clear of the field it asks and
// marks it, results can be copied, the status bar tells the case and why,
// the buttons have mnemonics, Qt's own texts are Chinese, and the form fits
// the window at any size.
#include "modal.h"

#include "app/chainfile.h"
#include "app/fields.h"
#include "app/replies.h"
#include "gui/form2.h"
#include "gui/menus.h"
#include "gui/qtprompter.h"
#include "gui/translations.h"
#include "report/fonts.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <map>
#include <set>

using chain::gui::Form2;
using chain::gui::Menus;
using chain::test::ListPrompter;
using chain::test::ModalWatcher;
using Replies = std::vector<std::optional<std::string>>;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

QString example(const QString &name) { return QDir(CHAIN_EXAMPLES).filePath(name); }

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

std::map<std::string, QString> fieldsOf(const Form2 &w)
{
    std::map<std::string, QString> m;
    for (const auto &name : chain::controlNames())
        m[name] = w.field(name)->text();
    return m;
}

Replies repliesOf(const QString &file)
{
    const auto lines = chain::readReplies(QFile::encodeName(file).toStdString());
    return Replies(lines.begin(), lines.end());
}

// Saves a picture when CHAIN_SCREENSHOT_DIR names a folder.
void saveShot(QWidget *w, const char *name)
{
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(u(name) + u(".png")));
}

} // namespace

class TestOneWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        chain::fonts::installFontSubstitutions();
        QApplication::setFont(chain::fonts::sansFont(9));
        QVERIFY2(chain::gui::installQtTranslations(), "qt6-translations-l10n is not installed");
    }

    void noFieldLeftFromAnotherChain_data();
    void noFieldLeftFromAnotherChain();
    void promptMarksItsField_data();
    void promptMarksItsField();
    void promptKeepsClearOfTheField();
    void placeClearOf_data();
    void placeClearOf();
    void copyResults();
    void copyFromAField();
    void statusTellsTheCase_data();
    void statusTellsTheCase();
    void mnemonicsAndToolBar();
    void qtTextsInChinese();
    void formFitsTheWindow_data();
    void formFitsTheWindow();
};

// Whatever chain was computed before, opening example j shows exactly what a
// fresh window shows for it (fields and status bar).
void TestOneWindow::noFieldLeftFromAnotherChain_data()
{
    QTest::addColumn<int>("second");
    for (int j = 1; j <= 12; ++j)
        QTest::addRow("case%d", j) << j;
}

void TestOneWindow::noFieldLeftFromAnotherChain()
{
    QFETCH(int, second);
    const QString file = example(QStringLiteral("case%1.chain").arg(second));
    Window fresh;
    QVERIFY(fresh.menus->openAndCompute(file));
    QCOMPARE(fresh.w.record().caseNo, std::int16_t(second));
    const auto expected = fieldsOf(fresh.w);
    for (int first = 1; first <= 12; ++first) {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(QStringLiteral("case%1.chain").arg(first))));
        QVERIFY(win.menus->openAndCompute(file));
        const auto shown = fieldsOf(win.w);
        for (const auto &[name, text] : expected)
            QVERIFY2(shown.at(name) == text, qPrintable(QStringLiteral("case %1 then %2: %3 shows '%4', not '%5'")
                                                            .arg(first)
                                                            .arg(second)
                                                            .arg(QString::fromStdString(name), shown.at(name), text)));
        QCOMPARE(win.w.caseStatus()->text(), fresh.w.caseStatus()->text());
        QVERIFY(win.warnings.isEmpty());
    }
    if (second == 9) {
        // Case 9 asks no angle and neither S1 nor S9: after case 1 they are empty.
        Window win;
        QVERIFY(win.menus->openAndCompute(example(QStringLiteral("case1.chain"))));
        QVERIFY(win.menus->openAndCompute(file));
        for (const char *f : {"Text5", "Text11", "Text6", "Text12", "Text7(0)", "Text7(8)"})
            QVERIFY2(win.w.field(f)->text().isEmpty(), f);
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        saveShot(&win.w, "case9-after-case1");
    }
}

// At every prompt the window marks one field: a confirmation the field its
// value was just echoed into, an ask or re-ask the field its reply goes to.
// Between prompts nothing is marked.
void TestOneWindow::promptMarksItsField_data()
{
    QTest::addColumn<Replies>("replies");
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("case%d", n) << repliesOf(example(QStringLiteral("case%1.replies").arg(n)));
    // Case 1 with rejections and a reply that is not a number: the re-asks.
    Replies r = repliesOf(example(QStringLiteral("case1.replies")));
    r.insert(r.begin() + 3, {"0", "5500.000"}); // ya rejected, typed again
    r.insert(r.begin() + 29, {"0", u("李庄").toStdString()}); // the first inner name rejected
    r.insert(r.end() - 2, "12.5m");                            // S11 not a number: asked again
    QTest::addRow("case1 rejected") << r;
}

void TestOneWindow::promptMarksItsField()
{
    QFETCH(Replies, replies);
    Form2 w;
    std::vector<std::map<std::string, QString>> seen; // the fields at each prompt
    std::vector<QString> marked;
    ListPrompter p(replies);
    p.onPrompt = [&](const std::string &) {
        seen.push_back(fieldsOf(w));
        QLineEdit *f = w.askedField();
        marked.push_back(f && !f->styleSheet().isEmpty() ? f->objectName() : QString());
    };
    w.setPrompter(&p);
    w.Command1_Click();
    QVERIFY(!p.ranOut);
    QVERIFY(w.record().caseNo > 0);
    QVERIFY(w.askedField() == nullptr);
    for (const auto &name : chain::controlNames())
        QVERIFY(w.field(name)->styleSheet().isEmpty());
    seen.push_back(fieldsOf(w));

    for (std::size_t k = 0; k < p.asked.size(); ++k) {
        const std::string &prompt = p.asked[k];
        QVERIFY2(!marked[k].isEmpty(), prompt.c_str());
        const std::string name = marked[k].toStdString();
        if (prompt.rfind("确认", 0) == 0) {
            // The value confirmed is the one just echoed.
            QVERIFY2(k > 0 && marked[k] == marked[k - 1], prompt.c_str());
            QVERIFY2(!seen[k].at(name).isEmpty() && seen[k].at(name) != seen[k - 1].at(name), prompt.c_str());
        } else {
            // The reply goes into the marked field: it shows there at the
            // next confirmation.
            std::size_t next = k + 1;
            while (next < p.asked.size() && p.asked[next].rfind("确认", 0) != 0)
                ++next;
            QVERIFY2(next < p.asked.size(), prompt.c_str());
            QVERIFY2(!seen[next].at(name).isEmpty() && seen[next].at(name) != seen[k].at(name), prompt.c_str());
        }
    }
}

// The real dialog: at each prompt the marked field is not covered by it.
void TestOneWindow::promptKeepsClearOfTheField()
{
    Form2 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto replies = chain::readReplies(QFile::encodeName(example(QStringLiteral("case1.replies"))).toStdString());
    std::size_t next = 0;
    constexpr std::size_t kPrompts = 44; // points, angles, names, four sides
    QStringList problems, buttons;
    ModalWatcher watcher([&](QWidget *m) {
        auto *d = qobject_cast<QInputDialog *>(m);
        if (!d) {
            problems << QStringLiteral("unexpected %1").arg(m->metaObject()->className());
            if (auto *dlg = qobject_cast<QDialog *>(m))
                dlg->reject();
            return;
        }
        QLineEdit *f = w.askedField();
        if (!f) {
            problems << u("nothing marked at ") + d->labelText();
        } else {
            const QRect field(f->mapToGlobal(QPoint(0, 0)), f->size());
            if (d->frameGeometry().intersects(field))
                problems << d->labelText() + u(" covers ") + f->objectName();
            if (!w.scrollArea()->viewport()->rect().contains(
                    QRect(f->mapTo(w.scrollArea()->viewport(), QPoint(0, 0)), f->size())))
                problems << f->objectName() + u(" out of view");
        }
        if (buttons.isEmpty())
            for (QAbstractButton *b : d->findChild<QDialogButtonBox *>()->buttons())
                buttons << b->text();
        if (next == 1)
            saveShot(&w, "prompt-window");
        auto *edit = d->findChild<QLineEdit *>();
        if (next >= kPrompts) {
            d->reject();
            return;
        }
        edit->setText(QString::fromStdString(replies[next++])); // names are Chinese: no key clicks for them
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::mouseClick(w.button(1), Qt::LeftButton);
    QVERIFY(!watcher.timedOut());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; ")));
    QCOMPARE(next, kPrompts);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{u("取消"), u("确定")}));
}

void TestOneWindow::placeClearOf_data()
{
    QTest::addColumn<QRect>("keep");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QString>("where"); // below, above, right, left, none
    const QRect screen(0, 0, 1366, 728);
    QTest::newRow("room below") << QRect(100, 100, 120, 20) << QSize(500, 160) << screen << "below";
    QTest::newRow("at the bottom") << QRect(100, 650, 120, 20) << QSize(500, 160) << screen << "above";
    QTest::newRow("right edge") << QRect(1300, 300, 60, 20) << QSize(500, 160) << screen << "below";
    QTest::newRow("tall field") << QRect(100, 100, 120, 560) << QSize(500, 160) << screen << "right";
    QTest::newRow("tall at the right") << QRect(1000, 100, 120, 560) << QSize(500, 160) << screen << "left";
    QTest::newRow("screen offset") << QRect(1500, 900, 120, 20) << QSize(500, 160) << QRect(1366, 0, 1920, 1080)
                                   << "above";
    QTest::newRow("no room") << QRect(0, 0, 1366, 728) << QSize(500, 160) << screen << "none";
    QTest::newRow("dialog too big") << QRect(10, 10, 20, 20) << QSize(1400, 160) << screen << "none";
}

void TestOneWindow::placeClearOf()
{
    QFETCH(QRect, keep);
    QFETCH(QSize, dialog);
    QFETCH(QRect, screen);
    QFETCH(QString, where);
    const auto at = chain::gui::placeClearOf(keep, dialog, screen);
    QCOMPARE(at.has_value(), where != u("none"));
    if (!at)
        return;
    const QRect r(*at, dialog);
    QVERIFY(screen.contains(r));
    QVERIFY(!r.intersects(keep));
    const QString side = r.top() > keep.bottom()    ? u("below")
                         : r.bottom() < keep.top()  ? u("above")
                         : r.left() > keep.right()  ? u("right")
                                                    : u("left");
    QCOMPARE(side, where);
    // Near the field: at most the gap away on the side chosen.
    const int gap = side == u("below") ? r.top() - keep.bottom() : side == u("above") ? keep.top() - r.bottom()
                    : side == u("right") ? r.left() - keep.right() : keep.left() - r.right();
    QVERIFY2(gap > 0 && gap <= 8, qPrintable(QString::number(gap)));
}

// 编辑 → 复制结果: the results shown, tab-separated, cell for cell the
// window's texts; nothing to copy before a computation or after one that
// found no case.
void TestOneWindow::copyResults()
{
    QClipboard *clip = QGuiApplication::clipboard();
    Window win;
    clip->setText(u("before"));
    QVERIFY(!win.menus->copyResults());
    QCOMPARE(win.warnings.size(), 1);
    QCOMPARE(clip->text(), u("before"));

    QVERIFY(win.menus->openAndCompute(example(QStringLiteral("case1.chain"))));
    win.menus->action("copyResults")->trigger();
    const QStringList lines = clip->text().split(u'\n');
    QCOMPARE(lines.first().split(u'\t'), (QStringList{u("二个连续四边形三边平差"), u("情形 1"),
                                                     win.w.field("Text24")->text().trimmed()}));
    const auto field = [&](const std::string &name) { return win.w.field(name)->text().trimmed(); };
    // The six points: row caption, name, X, Y.
    const qsizetype points = lines.indexOf(u("点\t点名\t纵座标 X（米）\t横座标 Y（米）"));
    QVERIFY(points > 0);
    for (int i = 0; i < 6; ++i) {
        const QStringList c = lines.at(points + 1 + i).split(u'\t');
        QCOMPARE(c.size(), 4);
        QCOMPARE(c[1], field(chain::indexed("Text8", i)));
        QCOMPARE(c[2], field(chain::indexed("Text9", i)));
        QCOMPARE(c[3], field(chain::indexed("Text10", i)));
        bool ok = false;
        c[2].toDouble(&ok);
        QVERIFY(ok);
    }
    const qsizetype sides = lines.indexOf(u("观测边\t边长（米）"));
    QVERIFY(sides > points);
    for (int i = 0; i < 11; ++i)
        QCOMPARE(lines.at(sides + 1 + i), QStringLiteral("S%1\t").arg(i + 1) + field(chain::indexed("Text7", i)));
    // Misclosures and precision: a number (or the words of Text13) and its unit apart.
    const qsizetype figures = lines.indexOf(u("项目\t数值\t单位"));
    QVERIFY(figures > sides);
    const char *names[] = {"Text22", "Text23", "Text13", "Text14", "Text15", "Text16",
                           "Text17", "Text18", "Text19", "Text20", "Text21"};
    for (int i = 0; i < 11; ++i) {
        const QStringList c = lines.at(figures + 1 + i).split(u'\t');
        QCOMPARE(c.size(), 3);
        QVERIFY(!c[0].isEmpty() && !c[0].contains(u("  ")));
        QCOMPARE(c[1] + c[2], field(names[i]));
        bool ok = false;
        c[1].toDouble(&ok);
        QVERIFY2(ok || std::string(names[i]) == "Text13", names[i]);
        QVERIFY((QStringList{u("秒"), u("毫米"), QString()}).contains(c[2]));
    }
    QCOMPARE(lines.at(figures + 1).split(u'\t').at(2), u("秒"));
    QCOMPARE(lines.at(figures + 6).split(u'\t').at(2), u("毫米"));

    // A computation that fits no case (only A known): its echoes show, no
    // results to copy.
    Replies r;
    const auto add = [&r](const std::string &v) {
        r.emplace_back(v);
        r.emplace_back(std::string());
    };
    for (const char *v : {"1000", "1000", "0", "0", "0", "0", "0", "0", "300", "60"})
        add(v);
    for (int k = 0; k < 6; ++k)
        add("P" + std::to_string(k));
    for (int k = 0; k < 10; ++k)
        add("100");
    ListPrompter p(r);
    win.w.setPrompter(&p);
    ModalWatcher boxes([](QWidget *m) {
        if (auto *d = qobject_cast<QDialog *>(m))
            d->accept();
    });
    win.w.Command1_Click();
    win.w.setPrompter(nullptr);
    QCOMPARE(win.w.record().caseNo, std::int16_t(0));
    QVERIFY(win.w.field("Text22")->text().isEmpty());
    QVERIFY(!win.w.caseStatus()->text().startsWith(u("情形")));
    clip->setText(u("before"));
    QVERIFY(!win.menus->copyResults());
    QCOMPARE(clip->text(), u("before"));
}

// A field: a double click selects the whole value, Ctrl+C copies it, typing
// changes nothing.
void TestOneWindow::copyFromAField()
{
    Window win;
    QVERIFY(win.menus->openAndCompute(example(QStringLiteral("case1.chain"))));
    win.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.w));
    QLineEdit *x = win.w.field("Text9(2)");
    const QString value = x->text();
    QVERIFY(value.contains(u'.'));
    QTest::mouseDClick(x, Qt::LeftButton, {}, QPoint(x->width() / 2, x->height() / 2));
    QCOMPARE(x->selectedText(), value);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(x, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), value);
    QTest::keyClicks(x, "9");
    QCOMPARE(x->text(), value);
}

// The status bar after each example: "情形 N", the known points of the data
// and, at an end with one known point, whether its angles were given.
void TestOneWindow::statusTellsTheCase_data()
{
    QTest::addColumn<int>("caseNo");
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("case%d", n) << n;
}

void TestOneWindow::statusTellsTheCase()
{
    QFETCH(int, caseNo);
    const QString file = example(QStringLiteral("case%1.chain").arg(caseNo));
    const chain::DataSet d = chain::readDataFile(QFile::encodeName(file).toStdString());
    Window win;
    QCOMPARE(win.w.caseStatus()->text().contains(u("数据表")), true); // the tip of a fresh window
    QVERIFY(win.menus->openAndCompute(file));
    const QString status = win.w.caseStatus()->text();
    QVERIFY2(status.startsWith(u("情形 ") + QString::number(caseNo) + u("　")), qPrintable(status));

    namespace key = chain::key;
    const int xs[4] = {key::xa, key::xb, key::xc, key::xd};
    QStringList known;
    for (int p = 0; p < 4; ++p)
        if (d.has(xs[p]))
            known << QString(QChar(u'A' + p));
    QVERIFY2(status.contains(u("已知点 ") + known.join(u("、")) + u("；")) ||
                 status.endsWith(u("已知点 ") + known.join(u("、"))),
             qPrintable(status));
    const auto oneKnown = [&](int p, int q) { return d.has(xs[p]) != d.has(xs[q]); };
    const struct {
        bool asked, given;
        const char *end;
    } ends[2] = {{oneKnown(0, 2), d.has(key::ta) && d.has(key::qa), "起始端"},
                 {oneKnown(1, 3), d.has(key::tb) && d.has(key::qb), "闭合端"}};
    for (const auto &e : ends) {
        QCOMPARE(status.contains(u(e.end)), e.asked);
        if (e.asked)
            QVERIFY2(status.contains(u(e.end) + (e.given ? u("给了外方位角和定向角") : u("没有给角度"))),
                     qPrintable(status));
    }
    // The case stays in view when a menu's tip shows in the status bar.
    win.w.statusBar()->showMessage(u("提示"));
    QVERIFY(!win.w.caseStatus()->isHidden());
}

// Mnemonics on the buttons, none shared with the menu bar; Alt+C computes,
// Alt+P prints; the tool bar starts with the data table.
void TestOneWindow::mnemonicsAndToolBar()
{
    Window win;
    std::set<QChar> letters;
    for (QAction *a : win.w.menuBar()->actions()) {
        const QString t = a->text();
        const qsizetype at = t.indexOf(u'&');
        QVERIFY2(at >= 0 && at + 1 < t.size(), qPrintable(t));
        QVERIFY2(letters.insert(t.at(at + 1).toUpper()).second, qPrintable(t));
    }
    for (int n = 1; n <= 3; ++n) {
        const QString t = win.w.button(n)->text();
        const qsizetype at = t.indexOf(u'&');
        QVERIFY2(at >= 0 && t.at(at + 1).isLetter() && t.count(u'&') == 1, qPrintable(t));
        QVERIFY2(letters.insert(t.at(at + 1).toUpper()).second, qPrintable(t));
        QVERIFY(!win.w.button(n)->shortcut().isEmpty());
    }

    win.w.show();
    QVERIFY(QTest::qWaitForWindowActive(&win.w));
    ListPrompter p({std::nullopt});
    win.w.setPrompter(&p);
    QTest::keyClick(&win.w, Qt::Key_C, Qt::AltModifier); // the button animates its click
    QTRY_COMPARE(p.asked.size(), std::size_t(1));         // Compute asked its first question
    win.w.setPrompter(nullptr);
    QStringList seen;
    {
        ModalWatcher watcher([&](QWidget *m) {
            seen << QString::fromLatin1(m->metaObject()->className());
            if (auto *d = qobject_cast<QDialog *>(m))
                d->reject();
        });
        QTest::keyClick(&win.w, Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(seen, QStringList{u("QPrintDialog")});
    }

    auto *tools = win.w.findChild<QToolBar *>(QStringLiteral("toolBar"));
    QVERIFY(tools);
    QCOMPARE(tools->actions().first(), win.menus->action("dataTable"));
    QVERIFY(tools->actions().first()->iconText().contains(u("计算")));
    QVERIFY(tools->actions().contains(win.menus->action("copyResults")));
}

// Qt's texts in the dialogs are Chinese: the buttons of a button box, the
// file dialog, the print dialog, the About box, a field's context menu.
void TestOneWindow::qtTextsInChinese()
{
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), u("确定"));
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), u("取消"));

    Window win;
    win.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.w));
    QStringList texts;
    ModalWatcher watcher([&](QWidget *m) {
        for (QAbstractButton *b : m->findChildren<QAbstractButton *>())
            if (b->isVisible())
                texts << b->text();
        for (QLabel *l : m->findChildren<QLabel *>())
            if (l->isVisible())
                texts << l->text();
        saveShot(m, m->metaObject()->className());
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
    });
    const auto seen = [&](std::initializer_list<const char *> wanted) {
        bool all = true;
        for (const char *t : wanted)
            all = all && texts.contains(u(t));
        if (!all)
            qWarning() << texts;
        texts.clear();
        return all;
    };
    win.menus->action("openData")->trigger(); // the real file dialog
    QVERIFY(seen({"打开(&O)", "取消", "文件名称(&N)："}));
    win.w.Command3_Click(); // the print dialog
    QVERIFY(seen({"打印(&P)", "取消", "属性(&R)"}));
    win.menus->showAbout();
    QVERIFY(seen({"确定"}));
    QVERIFY(!watcher.timedOut());

    // A field's context menu.
    QMenu *menu = win.w.field("Text2")->createStandardContextMenu();
    QStringList items;
    for (QAction *a : menu->actions())
        items << a->text();
    delete menu;
    QVERIFY2(items.join(u"|").contains(u("复制")), qPrintable(items.join(u"|")));
}

// Fitting: the whole form in the window, without scroll bars, from the
// smallest fitting zoom up to the largest; below it the form scrolls.
void TestOneWindow::formFitsTheWindow_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("natural") << QSize() << false;
    QTest::newRow("1366x768 less taskbar") << QSize(916, 640) << false;
    QTest::newRow("wide and low") << QSize(1300, 620) << false;
    QTest::newRow("large") << QSize(1900, 1000) << false;
    QTest::newRow("too small") << QSize(600, 420) << true;
}

void TestOneWindow::formFitsTheWindow()
{
    QFETCH(QSize, window);
    QFETCH(bool, scrolls);
    Window win;
    QVERIFY(win.menus->openAndCompute(example(QStringLiteral("case1.chain"))));
    win.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.w));
    if (window.isValid())
        win.w.resize(window);
    QTRY_VERIFY(!window.isValid() || win.w.size() == window);
    QCoreApplication::processEvents();
    QVERIFY(win.w.fitsToWindow());
    QScrollArea *s = win.w.scrollArea();
    const bool bars = s->horizontalScrollBar()->isVisible() || s->verticalScrollBar()->isVisible();
    QCOMPARE(bars, scrolls);
    QVERIFY(win.w.zoom() >= Form2::kMinFit && win.w.zoom() <= Form2::kMaxFit);
    if (!scrolls) {
        // The form fills the viewport in one direction.
        const QSize form = win.w.form()->size(), room = s->viewport()->size();
        QVERIFY(form.width() <= room.width() && form.height() <= room.height());
        QVERIFY2(form.width() >= room.width() - 4 || form.height() >= room.height() - 4 ||
                     win.w.zoom() == Form2::kMaxFit,
                 qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(form.width()).arg(form.height()).arg(room.width()).arg(room.height())));
    } else {
        QCOMPARE(win.w.zoom(), Form2::kMinFit);
    }
    if (window == QSize(916, 640))
        saveShot(&win.w, "case1-916x640");

    // By hand: zoom in and out, fitting off; back to fitting.
    QSignalSpy zoomed(&win.w, &Form2::zoomChanged);
    const qreal fitted = win.w.zoom();
    win.menus->action("zoomIn")->trigger();
    QVERIFY(!win.w.fitsToWindow());
    QVERIFY(!win.menus->action("zoomFit")->isChecked());
    QVERIFY(win.w.zoom() > fitted);
    QCOMPARE(win.w.form()->width(), win.w.twipsX(15900));
    win.menus->action("zoomReset")->trigger();
    QCOMPARE(win.w.zoom(), 1.0);
    win.menus->action("zoomFit")->trigger();
    QVERIFY(win.w.fitsToWindow());
    QCOMPARE(win.w.zoom(), fitted);
    QVERIFY(zoomed.count() >= 3);
}

QTEST_MAIN(TestOneWindow)
#include "test_onewindow.moc"
