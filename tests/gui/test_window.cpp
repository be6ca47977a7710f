// The main window Form2: its fields, captions and buttons, the Compute,
// End and Print commands, and the real prompt dialog driven by keystrokes.
#include "modal.h"

#include "gui/diagram.h"
#include "app/compute.h"
#include "app/fields.h"
#include "report/fonts.h"
#include "gui/form2.h"
#include "gui/qtprompter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <map>
#include <set>

using chain::gui::Form2;
using chain::test::ListPrompter;
using chain::test::ModalWatcher;
using Replies = std::vector<std::optional<std::string>>;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

std::string text(const Form2 &w, const char *name) { return w.field(name)->text().toStdString(); }

// A chain of true coordinates (x north, y east) running east: A, F and B on
// its right, C, E and D on its left; C due north of A.
struct P {
    double x, y;
};
const P A{1000, 1000}, C{1150, 1000}, E{1160, 1140}, F{1005, 1150}, D{1145, 1290}, B{1010, 1300};

std::string dist(P p, P q)
{
    return QString::number(std::hypot(p.x - q.x, p.y - q.y), 'f', 4).toStdString();
}

void addValue(Replies &r, const std::string &v)
{
    r.emplace_back(v);
    r.emplace_back(std::string()); // Enter on the confirmation prompt
}

// Case 1: A and B known, C and D new, Ta = 300 and Qa = 60 (S1 due north),
// no closing angle.
Replies caseOneReplies()
{
    Replies r;
    for (const char *v : {"1000", "1000", "1010", "1300", "0", "0", "0", "0", "300", "60", "0", "0"})
        addValue(r, v);
    for (const char *n : {"A", "C", "E", "F", "D", "B"})
        addValue(r, n);
    for (const auto &[p, q] : {std::pair{A, C}, {C, E}, {A, E}, {E, F}, {A, F}, {C, F}, {E, D}, {F, D}, {D, B},
                               {F, B}, {E, B}})
        addValue(r, dist(p, q));
    return r;
}

// Only A known: no row of the case table matches.
Replies onlyAReplies()
{
    Replies r;
    for (const char *v : {"1000", "1000", "0", "0", "0", "0", "0", "0", "300", "60"})
        addValue(r, v);
    for (const char *n : {"A", "C", "E", "F", "D", "B"})
        addValue(r, n);
    for (int i = 1; i <= 11; ++i)
        if (i != 9)
            addValue(r, "100");
    return r;
}

const char *const kEF[] = {"Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)"};

} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        chain::fonts::installFontSubstitutions();
        QApplication::setFont(chain::fonts::sansFont(9));
    }

    void everyFieldOnceReadOnly();
    void typingIntoFieldsDoesNothing();
    void titleCaptionsAndButtons();
    void positionsFromTwips();
    void nothingOverlapsAndCaptionsFit_data();
    void nothingOverlapsAndCaptionsFit();
    void longFieldTextsFit();
    void setTextAndUnknownControl();
    void computeCaseOneFillsFields();
    void pointTypedZeroShowsNotKnown();
    void noMatchingCaseShowsMessage();
    void cancelRestoresTheWindow_data();
    void cancelRestoresTheWindow();
    void realDialogKeystrokes();
    void endClosesAtOnce();
    void printDialogCancel();
    void printToPdfAndFailure();
};

void TestWindow::everyFieldOnceReadOnly()
{
    Form2 w;
    const auto edits = w.findChildren<QLineEdit *>();
    QCOMPARE(static_cast<std::size_t>(edits.size()), chain::controlNames().size());
    for (const auto &name : chain::controlNames()) {
        const auto found = w.findChildren<QLineEdit *>(QString::fromStdString(name));
        QVERIFY2(found.size() == 1, name.c_str());
        QLineEdit *e = found.first();
        QCOMPARE(w.field(name), e);
        QVERIFY(e->isReadOnly());
        QCOMPARE(e->focusPolicy(), Qt::ClickFocus); // selectable, not in the Tab chain
        QVERIFY2(e->text().isEmpty(), name.c_str()); // the window opens empty
    }
    QVERIFY(w.field("Text1(5)") == nullptr);
    QCOMPARE(w.record().caseNo, std::int16_t(0));
    QVERIFY(w.record().X.empty());
}

void TestWindow::typingIntoFieldsDoesNothing()
{
    Form2 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setText("Text2", " 12.000");
    for (const auto &name : chain::controlNames()) {
        QLineEdit *e = w.field(name);
        const QString before = e->text();
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClicks(e, "98.7");
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e->text(), before);
        QVERIFY(e->hasFocus()); // a click gives it focus, for selecting and copying
    }
}

void TestWindow::titleCaptionsAndButtons()
{
    Form2 w;
    QCOMPARE(w.objectName(), u("Form2"));
    QCOMPARE(w.windowTitle(), u("二个连续四边形三边平差"));
    QCOMPARE(chain::gui::appTitle(), w.windowTitle());

    std::multiset<QString> captions;
    for (QLabel *l : w.form()->findChildren<QLabel *>())
        captions.insert(l->text());
    const char *expected[] = {
        "已知点 A 纵座标Xa", "已知点 A 横座标Ya", "已知点 B 纵座标Xb", "已知点 B 横座标Yb",
        "已知点 C   纵座标Xc", "已知点 C   横座标Yc", "已知点 D   纵座标Xd", "已知点 D  横座标Yd",
        "已知点 E 纵座标Xe", "已知点 E 横座标Ye", "已知点 F 纵座标Xf", "已知点 F 横座标Yf",
        "起始方位角           Ta", "起始定向角           Qa", "闭合方位角           Tb",
        "闭合定向角           Qb", "平差图形说明", "外方位角", "座标推算路线", "(观测边长)",
        "S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10", "S11",
        "（ 平 差 结 果 ）", " 点名", "纵座标", "横座标",
        "(起算点)", "P1", "P2", "P3", "P4", " (闭合点)",
        "(X起)", " Xp1", " Xp2", " Xp3", " Xp4", "(X闭) ", "(Y起)", " Yp1", " Yp2", " Yp3", " Yp4", "(Y闭)",
        "图形条件1     闭合差w1", "图形条件2     闭合差w2", "方位角闭合差 wb", "    纵座标       闭合差wx",
        "    横座标       闭合差wy", "     单位权      测边中误差ms", "纵座标权倒数Px", "横座标权倒数Py",
        "纵座标单位权       中误差mx", "横座标单位权       中误差my", "       单位权       点位中误差Md",
    };
    for (const char *c : expected)
        QVERIFY2(captions.count(u(c)) == 1, c);
    QCOMPARE(captions.size(), std::size(expected));

    // Fonts: "宋体" for the two headings, "MS Sans Serif" elsewhere; both
    // resolve to a family with the Chinese glyphs.
    for (QLabel *l : w.form()->findChildren<QLabel *>()) {
        const bool song = l->text() == u("(观测边长)") || l->text() == u("(起算点)");
        QCOMPARE(l->font().family(), u(song ? chain::fonts::kSongFamily : chain::fonts::kSansFamily));
        const QFontMetrics fm(l->font());
        for (QChar ch : l->text())
            QVERIFY2(ch.unicode() < 0x80 || fm.inFont(ch), qPrintable(l->text()));
    }

    // The captions with a mnemonic each (Alt+C, Alt+X, Alt+P).
    const char *buttons[3] = {"计 算(&C)", "结 束(&X)", "打 印(&P)"};
    for (int n = 1; n <= 3; ++n) {
        QPushButton *b = w.findChild<QPushButton *>(QStringLiteral("Command%1").arg(n));
        QVERIFY(b);
        QCOMPARE(b, w.button(n));
        QCOMPARE(b->text(), u(buttons[n - 1]));
        QCOMPARE(b->font().family(), u(chain::fonts::kSansFamily));
    }
    QCOMPARE(w.findChildren<QPushButton *>().size(), 3);

    // The diagrams and their titles.
    QCOMPARE(w.diagram(1)->kind(), chain::gui::DiagramKind::SameSide);
    QCOMPARE(w.diagram(2)->kind(), chain::gui::DiagramKind::OppositeSide);
    const char *titles[2] = {"(示图一)", "(示图二)"};
    for (int n = 1; n <= 2; ++n) {
        int found = 0;
        for (const auto &l : w.diagram(n)->scene().labels)
            found += l.text == u(titles[n - 1]);
        QCOMPARE(found, 1);
    }
}

void TestWindow::positionsFromTwips()
{
    Form2 w;
    const int dpi = w.logicalDpiX();
    QCOMPARE(w.twipsX(1440), dpi);
    QCOMPARE(w.twipsY(1440), w.logicalDpiY());
    const int lefts[3] = {5880, 6960, 8040};
    for (int n = 1; n <= 3; ++n) {
        const QRect g = w.button(n)->geometry();
        QCOMPARE(g, QRect(w.twipsX(lefts[n - 1]), w.twipsY(10320), w.twipsX(855), w.twipsY(375)));
    }
    // The controls take about 15 900 by 10 800 twips.
    QWidget *form = w.form();
    QCOMPARE(form->size(), QSize(w.twipsX(15900), w.twipsY(10800)));
    QRect all;
    for (QWidget *c : form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        all |= c->geometry();
    QVERIFY(form->rect().contains(all));
    QVERIFY(all.width() > w.twipsX(15000) && all.height() > w.twipsY(10200));
}

void TestWindow::nothingOverlapsAndCaptionsFit_data()
{
    QTest::addColumn<double>("zoom");
    for (double z : {1.0, chain::gui::Form2::kMinZoom, chain::gui::Form2::kMinFit, 0.8, 1.25, 1.5, 2.0})
        QTest::addRow("zoom %.2f", z) << z;
}

void TestWindow::nothingOverlapsAndCaptionsFit()
{
    QFETCH(double, zoom);
    Form2 w;
    if (zoom != 1.0)
        w.setZoom(zoom);
    QCOMPARE(w.zoom(), zoom);
    QWidget *form = w.form();
    QCOMPARE(form->size(), QSize(w.twipsX(15900), w.twipsY(10800)));
    // Edges at their twips: neighbours stay apart at every zoom.
    QCOMPARE(w.button(1)->geometry(), QRect(QPoint(w.twipsX(5880), w.twipsY(10320)),
                                            QPoint(w.twipsX(5880 + 855) - 1, w.twipsY(10320 + 375) - 1)));
    const auto children = form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < children.size(); ++i)
        for (int j = i + 1; j < children.size(); ++j) {
            const QWidget *a = children[i], *b = children[j];
            const auto name = [](const QWidget *x) {
                const auto *l = qobject_cast<const QLabel *>(x);
                return l ? l->text() : x->objectName();
            };
            QVERIFY2(!a->geometry().intersects(b->geometry()), qPrintable(name(a) + u(" / ") + name(b)));
        }
    for (QLabel *l : form->findChildren<QLabel *>()) {
        const int need = l->fontMetrics().horizontalAdvance(l->text());
        QVERIFY2(need <= l->width(), qPrintable(l->text()));
        QVERIFY2(l->fontMetrics().height() <= l->height(), qPrintable(l->text()));
    }
    for (QPushButton *b : form->findChildren<QPushButton *>())
        QVERIFY(b->sizeHint().height() <= b->height() + 4 && b->fontMetrics().horizontalAdvance(b->text()) < b->width());
}

void TestWindow::longFieldTextsFit()
{
    Form2 w;
    const auto fits = [&](const char *field, const QString &t) {
        QLineEdit *e = w.field(field);
        e->setText(t);
        const QRect room = e->contentsRect().marginsRemoved(e->textMargins()).adjusted(2, 0, -2, 0);
        return e->fontMetrics().horizontalAdvance(t) <= room.width();
    };
    for (const char *t : {"有定向的纵横座标条件但没有方位角条件", "由已知边起闭含方位角及纵横座标条件",
                          "由已知边起算的纵横座标条件平差", "起始点 C 和闭合点 B 位于异侧"})
        QVERIFY2(fits("Text24", u(t)), t);
    QVERIFY(fits("Text13", u("没有方位角条件 ")));
    QVERIFY(fits("Text27", u("不是已知点")));
    QVERIFY(fits("Text1(0)", u(" 3456789.123")));
    QVERIFY(fits("Text9(5)", u(" 3456789.123")));
    QVERIFY(fits("Text10(5)", u(" 39456789.123")));
    QVERIFY(fits("Text5", u(" 359.59599")));
    QVERIFY(fits("Text7(10)", u(" 12345.678")));
    QVERIFY(fits("Text8(3)", u("   JD-127")));
    QVERIFY(fits("Text16", u(" 123.45毫米")));
    QVERIFY(fits("Text22", u(" -123.45秒")));
}

void TestWindow::setTextAndUnknownControl()
{
    Form2 w;
    chain::TextSink &sink = w;
    sink.setText("Text9(3)", "   点名 12");
    QCOMPARE(w.field("Text9(3)")->text(), u("   点名 12"));
    sink.setText("Text9(3)", "");
    QVERIFY(w.field("Text9(3)")->text().isEmpty());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, sink.setText("Text99", "x"));
}

void TestWindow::computeCaseOneFillsFields()
{
    Form2 w;
    ListPrompter p(caseOneReplies());
    w.setPrompter(&p);
    int boxes = 0;
    ModalWatcher watcher([&](QWidget *m) {
        ++boxes;
        qWarning() << "unexpected modal:" << m << (qobject_cast<QMessageBox *>(m) ? qobject_cast<QMessageBox *>(m)->text() : QString());
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
    });
    w.Command1_Click();
    QVERIFY(!p.ranOut);
    QCOMPARE(boxes, 0);
    QCOMPARE(w.record().caseNo, std::int16_t(1));
    QCOMPARE(text(w, "Text1(0)"), std::string(" 1000.000"));
    QCOMPARE(text(w, "Text4"), std::string(" 1300.000"));
    QCOMPARE(text(w, "Text25"), std::string("不是已知点"));
    QCOMPARE(text(w, "Text28"), std::string("不是已知点"));
    QCOMPARE(text(w, "Text5"), std::string(" 300.00000"));
    QCOMPARE(text(w, "Text11"), std::string(" 60.00000"));
    QCOMPARE(text(w, "Text8(0)"), std::string("   A"));
    QCOMPARE(text(w, "Text8(5)"), std::string("   B"));
    QCOMPARE(text(w, "Text7(0)"), " " + QString::number(150.0, 'f', 3).toStdString());
    QCOMPARE(text(w, "Text24"), std::string("有定向的纵横座标条件但没有方位角条件"));
    QCOMPARE(text(w, "Text13"), std::string("没有方位角条件 "));
    for (const char *f : {"Text22", "Text23", "Text14", "Text15", "Text16", "Text17", "Text18", "Text19", "Text20",
                          "Text21", "Text9(0)", "Text9(5)", "Text10(0)", "Text10(5)"})
        QVERIFY2(!w.field(f)->text().isEmpty(), f);
    // The closing point adjusted onto the known B (the leading blanks are
    // the case procedure's).
    QCOMPARE(w.field("Text9(5)")->text().trimmed(), u("1010.000"));
    QCOMPARE(w.field("Text10(5)")->text().trimmed(), u("1300.000"));
    QCOMPARE(w.field("Text9(2)")->text().trimmed(), u("1160.000"));
    for (const char *f : kEF)
        QVERIFY2(w.field(f)->text().isEmpty(), f);

    // To look at: CHAIN_SCREENSHOT_DIR=dir saves the filled window there.
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(u("form2-case1.png"))));
}

void TestWindow::pointTypedZeroShowsNotKnown()
{
    // Only the four points, then Cancel on the azimuth. While the azimuth
    // is asked the echoes show; Cancel puts the fresh window back.
    Form2 w;
    ListPrompter p({"1000", "", "2000", "", "0", "", "0", "", "0", "", "0", "", "3000", "", "4000", "", std::nullopt});
    std::map<std::string, std::string> atAzimuth;
    p.onPrompt = [&](const std::string &) {
        if (p.asked.size() == 17)
            for (const auto &name : chain::controlNames())
                atAzimuth[name] = text(w, name.c_str());
    };
    w.setPrompter(&p);
    w.Command1_Click();
    QCOMPARE(atAzimuth["Text1(0)"], std::string(" 1000.000"));
    QCOMPARE(atAzimuth["Text2"], std::string(" 2000.000"));
    QCOMPARE(atAzimuth["Text3"], std::string("不是已知点"));
    QCOMPARE(atAzimuth["Text4"], std::string("不是已知点"));
    QCOMPARE(atAzimuth["Text25"], std::string("不是已知点"));
    QCOMPARE(atAzimuth["Text26"], std::string("不是已知点"));
    QCOMPARE(atAzimuth["Text27"], std::string(" 3000.000"));
    QCOMPARE(atAzimuth["Text28"], std::string(" 4000.000"));
    QCOMPARE(p.asked.back(), std::string("请输入起始点的外方位角 : ( 位于点 A 点外方位角为 Ta , 位于 C 点的外方位角为 "
                                         "Tc , 方位角的方向由起始点向外 , 如果方位角之值为零,则输入0.00000001 ) "));
    for (const char *f : kEF)
        QVERIFY(atAzimuth[f].empty());
    for (const auto &name : chain::controlNames())
        QVERIFY2(w.field(name)->text().isEmpty(), name.c_str());
}

void TestWindow::noMatchingCaseShowsMessage()
{
    Form2 w;
    w.show();
    ListPrompter p(onlyAReplies());
    w.setPrompter(&p);
    QString title, message;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    ModalWatcher watcher([&](QWidget *m) {
        if (auto *box = qobject_cast<QMessageBox *>(m)) {
            title = box->windowTitle();
            message = box->text();
            icon = box->icon();
            box->accept();
        } else if (auto *d = qobject_cast<QDialog *>(m)) {
            d->reject();
        }
    });
    QTest::mouseClick(w.button(1), Qt::LeftButton);
    QVERIFY(!watcher.timedOut());
    QCOMPARE(watcher.handled(), 1);
    QVERIFY(!p.ranOut);
    QCOMPARE(title, u("二个连续四边形三边平差"));
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY2(message.contains(u("十二种")), qPrintable(message));
    QCOMPARE(w.record().caseNo, std::int16_t(0));
    QCOMPARE(text(w, "Text24"), std::string("没有方位角条件"));
    QCOMPARE(text(w, "Text3"), std::string("不是已知点"));
    QCOMPARE(text(w, "Text7(0)"), std::string(" 100.000"));
    QVERIFY(w.field("Text7(8)")->text().isEmpty()); // S(9) not asked
    QVERIFY(w.field("Text22")->text().isEmpty());   // nothing computed
    for (const char *f : kEF)
        QVERIFY(w.field(f)->text().isEmpty());
}

// Cancel on the prompt of a number, at several points of a computation
// after case 1: record, fields and status bar are as before 计 算.
void TestWindow::cancelRestoresTheWindow_data()
{
    QTest::addColumn<int>("typed"); // replies of the second computation before Cancel
    QTest::newRow("first prompt") << 0;
    QTest::newRow("re-ask of xa") << -1;
    QTest::newRow("azimuth") << 16;
    QTest::newRow("S11") << 56;
}

void TestWindow::cancelRestoresTheWindow()
{
    QFETCH(int, typed);
    Form2 w;
    ListPrompter first(caseOneReplies());
    w.setPrompter(&first);
    w.Command1_Click();
    std::map<std::string, QString> before;
    for (const auto &name : chain::controlNames())
        before[name] = w.field(name)->text();
    const QString status = w.caseStatus()->text();
    const double X5 = w.record().X.at(5);

    // The same chain with another A, cut off by Cancel.
    const Replies all = caseOneReplies();
    Replies r = typed < 0 ? Replies{"2000", "0"} : Replies(all.begin(), all.begin() + typed);
    if (!r.empty())
        r[0] = "2000";
    r.emplace_back(std::nullopt);
    ListPrompter second(r);
    QSignalSpy finished(&w, &Form2::computeFinished);
    w.setPrompter(&second);
    w.Command1_Click();
    QCOMPARE(second.asked.size(), r.size()); // cancelled on the last reply
    for (const auto &[name, t] : before)
        QVERIFY2(w.field(name)->text() == t, name.c_str());
    QCOMPARE(w.caseStatus()->text(), status);
    QCOMPARE(w.record().xa, 1000.0);
    QCOMPARE(w.record().X.at(5), X5);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), int(chain::Outcome::Cancelled));
}

void TestWindow::realDialogKeystrokes()
{
    Form2 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    struct Step {
        const char *label;
        const char *keys;
        Qt::Key key;
    };
    const char *confirmX = "确认输入的纵座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
    const char *confirmY = "确认输入的横座标 : 输入正确单击 Enter 键 , 错误输入零 ( 即:0 )";
    const Step steps[] = {
        {"请输入起始点 A 纵座标 :", "1234.5678", Qt::Key_Return},
        {confirmX, "", Qt::Key_Return},                 // Enter on the empty line accepts
        {"请输入起始点 A 横座标 :", " 2345 ", Qt::Key_Enter},
        {confirmY, "5", Qt::Key_Return},                // any other number accepts too
        {"请输入闭合点 B 纵座标 :", "3000", Qt::Key_Return},
        {confirmX, "0", Qt::Key_Return},                // zero rejects
        {"输入起始点 B 正确的纵座标 :", "12", Qt::Key_Escape}, // Cancel on a number ends Compute
    };
    std::size_t next = 0;
    QStringList labels, problems;
    ModalWatcher watcher([&](QWidget *m) {
        auto *d = qobject_cast<QInputDialog *>(m);
        if (!d || next >= std::size(steps)) {
            problems << QStringLiteral("unexpected modal %1").arg(m->metaObject()->className());
            if (auto *dlg = qobject_cast<QDialog *>(m))
                dlg->reject();
            return;
        }
        const Step &s = steps[next++];
        labels << d->labelText();
        if (d->windowTitle() != u("二个连续四边形三边平差"))
            problems << u("title ") + d->windowTitle();
        if (!d->textValue().isEmpty() || d->inputMode() != QInputDialog::TextInput ||
            d->textEchoMode() != QLineEdit::Normal || !d->isModal())
            problems << u("dialog set-up at ") + d->labelText();
        auto *box = d->findChild<QDialogButtonBox *>();
        if (!box || !box->button(QDialogButtonBox::Ok) || !box->button(QDialogButtonBox::Cancel) ||
            box->buttons().size() != 2)
            problems << u("buttons at ") + d->labelText();
        // What the window shows meanwhile: the rejected B ordinate emptied
        // before its re-ask, the earlier echoes in place.
        if (next == std::size(steps)) {
            if (!w.field("Text3")->text().isEmpty() || w.field("Text1(0)")->text() != u(" 1234.568") ||
                w.field("Text2")->text() != u(" 2345.000"))
                problems << u("echoes at the re-ask");
        }
        auto *edit = d->findChild<QLineEdit *>();
        QTest::keyClicks(edit, QString::fromLatin1(s.keys));
        QTest::keyClick(edit, s.key);
    });
    QTest::mouseClick(w.button(1), Qt::LeftButton);

    QVERIFY(!watcher.timedOut());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; ")));
    QCOMPARE(next, std::size(steps));
    QCOMPARE(labels.size(), qsizetype(std::size(steps)));
    for (std::size_t i = 0; i < std::size(steps); ++i)
        QCOMPARE(labels[qsizetype(i)], u(steps[i].label));
    // Cancelled: the window is the fresh one again, nothing was computed,
    // nothing reached the record.
    for (const auto &name : chain::controlNames())
        QVERIFY2(w.field(name)->text().isEmpty(), name.c_str());
    QCOMPARE(w.record().caseNo, std::int16_t(0));
    QCOMPARE(w.record().xa, 0.0);
    QVERIFY(w.record().S.empty() && w.record().X.empty());
    QVERIFY(w.field("Text24")->text().isEmpty());
    QVERIFY(w.isVisible());
}

void TestWindow::endClosesAtOnce()
{
    Form2 w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy ended(&w, &Form2::ended);
    int modals = 0;
    ModalWatcher watcher([&](QWidget *m) {
        ++modals;
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
    });
    QTest::mouseClick(w.button(2), Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!w.isVisible());
    QTest::qWait(20);
    QCOMPARE(modals, 0); // no question asked
}

void TestWindow::printDialogCancel()
{
    Form2 w;
    w.show();
    QStringList seen;
    ModalWatcher watcher([&](QWidget *m) {
        seen << QString::fromLatin1(m->metaObject()->className());
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
    });
    QTest::mouseClick(w.button(3), Qt::LeftButton);
    QVERIFY(!watcher.timedOut());
    QCOMPARE(seen, QStringList{u("QPrintDialog")}); // cancelled: no message box
}

void TestWindow::printToPdfAndFailure()
{
    Form2 w;
    ListPrompter p(caseOneReplies());
    w.setPrompter(&p);
    w.Command1_Click();
    QCOMPARE(w.record().caseNo, std::int16_t(1));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(u("report.pdf"));
    QStringList messages;
    ModalWatcher watcher([&](QWidget *m) {
        if (auto *box = qobject_cast<QMessageBox *>(m))
            messages << box->windowTitle() + u("|") + box->text();
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
    });
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(w.printTo(printer));
    }
    QVERIFY(messages.isEmpty());
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");

    // A printer that cannot begin: the message is shown in a box.
    QPrinter bad(QPrinter::HighResolution);
    bad.setOutputFormat(QPrinter::PdfFormat);
    bad.setOutputFileName(dir.filePath(u("no/such/dir/report.pdf")));
    QVERIFY(!w.printTo(bad));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith(u("二个连续四边形三边平差|")));
    QVERIFY(messages[0].size() > int(chain::gui::appTitle().size()) + 1);
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
