// The real prompt (QtPrompter over QInputDialog) and the fonts.
#include "modal.h"

#include "report/fonts.h"
#include "gui/qtprompter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <functional>

using chain::gui::QtPrompter;
using chain::test::ModalWatcher;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

const char *const kLongest = "请输入起始点的外方位角 : ( 位于点 A 点外方位角为 Ta , 位于 C 点的外方位角为 Tc , "
                             "方位角的方向由起始点向外 , 如果方位角之值为零,则输入0.00000001 ) ";

// Runs one prompt, handing its dialog to `act`.
std::optional<std::string> runPrompt(const std::string &text, const std::function<void(QInputDialog *)> &act,
                                     QWidget *parent = nullptr)
{
    QtPrompter prompter(parent);
    ModalWatcher watcher([&](QWidget *m) {
        if (auto *d = qobject_cast<QInputDialog *>(m))
            act(d);
        else if (auto *dlg = qobject_cast<QDialog *>(m))
            dlg->reject();
    });
    return prompter.prompt(text);
}

QLineEdit *edit(QInputDialog *d) { return d->findChild<QLineEdit *>(); }

} // namespace

class TestPrompter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program does (app/guimain.cpp).
        chain::fonts::installFontSubstitutions();
        QApplication::setFont(chain::fonts::sansFont(9));
    }

    void typedTextComesBack();
    void enterOnEmptyLineIsEmptyText();
    void cancelIsNothing();
    void chineseTextIsUtf8();
    void dialogSetUp();
    void longPromptWrapsAndFits();
    void fontsHaveChineseGlyphs();
};

void TestPrompter::typedTextComesBack()
{
    const auto r = runPrompt("请输入起始点 A 纵座标 :", [](QInputDialog *d) {
        QTest::keyClicks(edit(d), "12.34567");
        QTest::keyClick(edit(d), Qt::Key_Return);
    });
    QVERIFY(r);
    QCOMPARE(*r, std::string("12.34567")); // the text itself, never rounded
}

void TestPrompter::enterOnEmptyLineIsEmptyText()
{
    const auto r = runPrompt("确认", [](QInputDialog *d) { QTest::keyClick(edit(d), Qt::Key_Enter); });
    QVERIFY(r);
    QVERIFY(r->empty());
    // The OK button does the same.
    const auto ok = runPrompt("确认", [](QInputDialog *d) {
        QTest::keyClicks(edit(d), "7");
        QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QCOMPARE(ok.value_or("?"), std::string("7"));
}

void TestPrompter::cancelIsNothing()
{
    QVERIFY(!runPrompt("x", [](QInputDialog *d) {
        QTest::keyClicks(edit(d), "5");
        QTest::keyClick(edit(d), Qt::Key_Escape);
    }));
    QVERIFY(!runPrompt("x", [](QInputDialog *d) {
        QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    }));
    QVERIFY(!runPrompt("x", [](QInputDialog *d) { d->close(); }));
}

void TestPrompter::chineseTextIsUtf8()
{
    // As an input method delivers it: a committed string.
    const auto r = runPrompt("输入起算点的点名 :", [](QInputDialog *d) {
        QInputMethodEvent commit;
        commit.setCommitString(u("测站Ⅱ-１"));
        QCoreApplication::sendEvent(edit(d), &commit);
        QTest::keyClick(edit(d), Qt::Key_Return);
    });
    QVERIFY(r);
    QCOMPARE(*r, std::string("测站Ⅱ-１"));
}

void TestPrompter::dialogSetUp()
{
    QWidget parent;
    parent.show();
    const std::string text = "确认输入的 S(4) 边长 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 ";
    QString title, label, initial;
    bool modal = false, wraps = false, parented = false;
    int buttons = 0;
    runPrompt(
        text,
        [&](QInputDialog *d) {
            title = d->windowTitle();
            label = d->labelText();
            initial = edit(d)->text();
            modal = d->isModal() && QApplication::activeModalWidget() == d;
            wraps = d->findChild<QLabel *>()->wordWrap();
            parented = d->parentWidget() == &parent;
            buttons = int(d->findChild<QDialogButtonBox *>()->buttons().size());
            QCOMPARE(d->inputMode(), QInputDialog::TextInput);
            QCOMPARE(d->textEchoMode(), QLineEdit::Normal);
            d->reject();
        },
        &parent);
    QCOMPARE(title, u("二个连续四边形三边平差"));
    QCOMPARE(label, QString::fromStdString(text)); // trailing blank included
    QVERIFY(initial.isEmpty());
    QVERIFY(modal && wraps && parented);
    QCOMPARE(buttons, 2);
}

void TestPrompter::longPromptWrapsAndFits()
{
    QRect dialogRect, labelRect;
    int needHeight = 0, lines = 0;
    QImage shot;
    runPrompt(kLongest, [&](QInputDialog *d) {
        QLabel *l = d->findChild<QLabel *>();
        dialogRect = d->geometry();
        labelRect = QRect(l->mapTo(d, QPoint(0, 0)), l->size());
        needHeight = l->heightForWidth(l->width());
        lines = l->height() / l->fontMetrics().lineSpacing();
        shot = d->grab().toImage();
        d->reject();
    });
    // Every line of the prompt is shown inside a dialog narrower than a
    // small screen (the offscreen one is 800 pixels wide).
    QVERIFY2(dialogRect.width() <= 800, qPrintable(QString::number(dialogRect.width())));
    QVERIFY(dialogRect.width() >= 320);
    QVERIFY(labelRect.height() >= needHeight);
    QVERIFY(QRect(QPoint(0, 0), dialogRect.size()).contains(labelRect));
    QVERIFY2(lines >= 2, "the longest prompt wraps");
    QVERIFY(!shot.isNull());
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(shot.save(QDir(QString::fromLocal8Bit(dir)).filePath(u("prompt-longest.png"))));
}

void TestPrompter::fontsHaveChineseGlyphs()
{
    const QString family = chain::fonts::installFontSubstitutions();
    QVERIFY2(!family.isEmpty(), "no installed font covers Simplified Chinese");
    QCOMPARE(chain::fonts::installFontSubstitutions(), family); // idempotent
    QCOMPARE(QFont::substitute(u("MS Sans Serif")).toLower(), family.toLower());
    QCOMPARE(QFont::substitute(u("宋体")).toLower(), family.toLower());
    for (const QFont &f : {chain::fonts::sansFont(), chain::fonts::songFont()}) {
        QCOMPARE(QFontInfo(f).family(), family);
        const QFontMetrics fm(f);
        for (QChar ch : u("二个连续四边形三边平差计算结束打印座标纵横闭合差"))
            QVERIFY(fm.inFont(ch));
    }
    if (QFontDatabase::families().contains(u("WenQuanYi Micro Hei")))
        QCOMPARE(family, u("WenQuanYi Micro Hei"));
}

QTEST_MAIN(TestPrompter)
#include "test_prompter.moc"
