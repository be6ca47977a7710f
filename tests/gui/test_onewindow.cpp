// The window as a surveyor uses it: it shows one computation (no field left
// from another chain), each prompt marks its field and keeps clear of it,
// results can be copied, the status bar tells the case, the buttons have
// mnemonics, Qt's own texts are Chinese.
#include "modal.h"

#include "app/chainfile.h"
#include "app/fields.h"
#include "app/replies.h"
#include "gui/form2.h"
#include "gui/menus.h"
#include "gui/translations.h"
#include "report/fonts.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <map>
#include <memory>
#include <set>

using chain::gui::Form2;
using chain::test::ListPrompter;
using chain::test::ModalWatcher;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString example(int n, const char *ext) { return QStringLiteral(CHAIN_EXAMPLES "/case%1.%2").arg(n).arg(ext); }

struct Window {
    Form2 w;
    chain::gui::Menus *menus = new chain::gui::Menus(w);
    QStringList warnings;
    Window() { menus->setWarner([this](const QString &m) { warnings << m; }); }
};

std::map<std::string, QString> fieldsOf(const Form2 &w)
{
    std::map<std::string, QString> m;
    for (const auto &name : chain::controlNames())
        m[name] = w.field(name)->text();
    return m;
}

// With CHAIN_SCREENSHOT_DIR set, pictures to look at go there (no widget:
// the whole screen, where the platform can grab it).
void saveShot(QWidget *w, const QString &name)
{
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        (w ? w->grab() : QGuiApplication::primaryScreen()->grabWindow(0))
            .save(QDir(QString::fromLocal8Bit(dir)).filePath(name + u(".png")));
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
    void copyResults();
    void mnemonics();
    void qtTextsInChinese();
};

// Whatever chain came before, opening example j shows exactly what a fresh
// window shows for it. The status bar tells "情形 j", the known points of
// the data and, at an end with one known point, whether its angles were given.
void TestOneWindow::noFieldLeftFromAnotherChain_data()
{
    QTest::addColumn<int>("second");
    for (int j = 1; j <= 12; ++j)
        QTest::addRow("case%d", j) << j;
}

void TestOneWindow::noFieldLeftFromAnotherChain()
{
    QFETCH(int, second);
    Window fresh;
    QVERIFY(fresh.w.caseStatus()->text().contains(u("数据表"))); // a fresh window's tip
    QVERIFY(fresh.menus->openAndCompute(example(second, "chain")));
    const QString status = fresh.w.caseStatus()->text();
    const chain::DataSet d = chain::readDataFile(QFile::encodeName(example(second, "chain")).toStdString());
    const bool a = d.has(chain::key::xa), b = d.has(chain::key::xb), c = d.has(chain::key::xc),
               dd = d.has(chain::key::xd);
    QStringList known;
    for (auto [has, name] : {std::pair{a, "A"}, {b, "B"}, {c, "C"}, {dd, "D"}})
        if (has)
            known << u(name);
    QVERIFY2(status.startsWith(QStringLiteral("情形 %1　已知点 ").arg(second) + known.join(u("、"))), qPrintable(status));
    QCOMPARE(status.contains(u("起始端")), a != c);
    QCOMPARE(status.contains(u("闭合端")), b != dd);
    QCOMPARE(status.contains(u("起始端给了外方位角和定向角")), d.has(chain::key::ta));
    QCOMPARE(status.contains(u("闭合端给了外方位角和定向角")), d.has(chain::key::tb));

    for (int first = 1; first <= 12; ++first) {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(first, "chain")));
        QVERIFY(win.menus->openAndCompute(example(second, "chain")));
        for (const auto &[name, text] : fieldsOf(fresh.w))
            QVERIFY2(win.w.field(name)->text() == text, qPrintable(QStringLiteral("case %1 then %2: %3")
                                                                     .arg(first).arg(second).arg(name.c_str())));
        QCOMPARE(win.w.caseStatus()->text(), status);
        if (first == 1 && second == 9) {
            win.w.show();
            saveShot(&win.w, u("case9-after-case1"));
        }
    }
}

// The real dialog, for every example and for case 1 with rejections: at
// each prompt one field is marked and in view, and the dialog (确定, 取消)
// does not cover it. The marked field is, for a confirmation, the one just
// echoed into; for an ask or re-ask, an empty one that shows the reply at the
// next confirmation.
void TestOneWindow::promptMarksItsField_data()
{
    QTest::addColumn<std::vector<std::string>>("replies");
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("case%d", n) << chain::readReplies(QFile::encodeName(example(n, "replies")).toStdString());
    auto r = chain::readReplies(QFile::encodeName(example(1, "replies")).toStdString());
    r.insert(r.begin() + 3, {"0", "5500.000"});                // ya rejected, typed again
    r.insert(r.begin() + 29, {"0", u("李庄").toStdString()}); // the first inner name rejected
    r.insert(r.end() - 2, "12.5m");                            // S11 not a number: asked again
    QTest::addRow("case1 rejected") << r;
}

void TestOneWindow::promptMarksItsField()
{
    QFETCH(std::vector<std::string>, replies);
    Form2 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    std::vector<std::map<std::string, QString>> seen;
    std::vector<std::string> marked;
    QStringList prompts, problems;
    ModalWatcher watcher([&](QWidget *m) {
        auto *d = qobject_cast<QInputDialog *>(m);
        QLineEdit *f = w.askedField();
        if (!d || !f || f->styleSheet().isEmpty() || marked.size() >= replies.size()) {
            problems << u("no field marked");
            return static_cast<QDialog *>(m)->reject();
        }
        if (d->frameGeometry().intersects(QRect(f->mapToGlobal(QPoint(0, 0)), f->size())))
            problems << d->labelText() + u(" covers ") + f->objectName();
        if (!f->visibleRegion().boundingRect().contains(f->rect().adjusted(1, 1, -1, -1)))
            problems << f->objectName() + u(" hidden");
        QStringList buttons;
        for (QAbstractButton *b : d->findChild<QDialogButtonBox *>()->buttons())
            buttons << b->text();
        if (buttons.join(u",") != u("确定,取消") && buttons.join(u",") != u("取消,确定"))
            problems << buttons.join(u",");
        if (marked.size() == 1 || marked.size() == 60)
            saveShot(nullptr, QStringLiteral("prompt-screen-%1").arg(marked.size()));
        prompts << d->labelText();
        seen.push_back(fieldsOf(w));
        marked.push_back(f->objectName().toStdString());
        d->findChild<QLineEdit *>()->setText(QString::fromStdString(replies[marked.size() - 1]));
        QTest::keyClick(d->findChild<QLineEdit *>(), Qt::Key_Return);
    });
    QTest::mouseClick(w.button(1), Qt::LeftButton);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; ")));
    QVERIFY(w.record().caseNo > 0 && w.askedField() == nullptr);
    for (std::size_t k = 0; k < marked.size(); ++k) {
        const auto confirms = [&](std::size_t i) { return prompts[qsizetype(i)].startsWith(u("确认")); };
        std::size_t next = k; // the confirmation that shows the value
        while (next < marked.size() && !confirms(next))
            ++next;
        QVERIFY2(next < marked.size() && !seen[next].at(marked[k]).isEmpty(), qPrintable(prompts[qsizetype(k)]));
        if (confirms(k))
            QVERIFY2(seen[k].at(marked[k]) != seen[k - 1].at(marked[k]), qPrintable(prompts[qsizetype(k)]));
        else
            QVERIFY2(seen[k].at(marked[k]).isEmpty(), qPrintable(prompts[qsizetype(k)]));
    }
}

// 编辑 → 复制结果: the results shown, cell for cell; none before a computation.
void TestOneWindow::copyResults()
{
    QClipboard *clip = QGuiApplication::clipboard();
    clip->setText(u("before"));
    Window win;
    QVERIFY(!win.menus->copyResults());
    QCOMPARE(win.warnings.size(), 1);
    QCOMPARE(clip->text(), u("before"));

    QVERIFY(win.menus->openAndCompute(example(1, "chain")));
    win.menus->action("copyResults")->trigger();
    const QStringList lines = clip->text().split(u'\n');
    const auto cell = [&](const std::string &name) { return win.w.field(name)->text().trimmed(); };
    QCOMPARE(lines[0], u("二个连续四边形三边平差\t情形 1\t") + cell("Text24"));
    const qsizetype points = lines.indexOf(u("点\t点名\t纵座标 X（米）\t横座标 Y（米）"));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(lines.value(points + 1 + i).split(u'\t').mid(1),
                 (QStringList{cell(chain::indexed("Text8", i)), cell(chain::indexed("Text9", i)),
                              cell(chain::indexed("Text10", i))}));
    const qsizetype sides = lines.indexOf(u("观测边\t边长（米）"));
    QCOMPARE(lines.value(sides + 11), u("S11\t") + cell("Text7(10)"));
    // A figure: the number and its unit in cells of their own.
    const qsizetype figures = lines.indexOf(u("项目\t数值\t单位"));
    QVERIFY(points > 0 && sides > points && figures > sides);
    QCOMPARE(lines.value(figures + 1), u("图形条件1 闭合差w1\t") + cell("Text22").chopped(1) + u("\t秒"));
    QCOMPARE(lines.value(figures + 11), u("单位权 点位中误差Md\t") + cell("Text21").chopped(2) + u("\t毫米"));
}

// One mnemonic per button, none shared with the menu bar; Alt+C computes.
void TestOneWindow::mnemonics()
{
    Form2 w;
    new chain::gui::Menus(w);
    std::set<QChar> letters;
    QStringList texts;
    for (QAction *a : w.menuBar()->actions())
        texts << a->text();
    for (int n = 1; n <= 3; ++n)
        texts << w.button(n)->text();
    for (const QString &t : texts) {
        const qsizetype at = t.indexOf(u'&');
        QVERIFY2(at >= 0 && t.count(u'&') == 1 && t.at(at + 1).isLetter(), qPrintable(t));
        QVERIFY2(letters.insert(t.at(at + 1).toUpper()).second, qPrintable(t));
    }
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    ListPrompter p({std::nullopt});
    w.setPrompter(&p);
    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier); // the button animates its click
    QTRY_COMPARE(p.asked.size(), std::size_t(1));
}

// Qt's texts: the file dialog, the print dialog, the About box, a field's
// context menu.
void TestOneWindow::qtTextsInChinese()
{
    Window win;
    win.w.show();
    QStringList texts;
    ModalWatcher watcher([&](QWidget *m) {
        for (QAbstractButton *b : m->findChildren<QAbstractButton *>())
            texts << b->text();
        saveShot(m, QString::fromLatin1(m->metaObject()->className()));
        static_cast<QDialog *>(m)->reject();
    });
    win.menus->action("openData")->trigger();
    win.w.Command3_Click();
    win.menus->showAbout();
    for (const char *t : {"打开(&O)", "取消", "打印(&P)", "属性(&R)", "确定"})
        QVERIFY2(texts.contains(u(t)), t);
    std::unique_ptr<QMenu> menu(win.w.field("Text2")->createStandardContextMenu());
    QVERIFY(menu->actions().at(0)->text().startsWith(u("复制(&C)"))); // a read-only field: copy, select all
}

QTEST_MAIN(TestOneWindow)
#include "test_onewindow.moc"
