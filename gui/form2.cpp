#include "form2.h"

#include "app/chainfile.h"
#include "app/compute.h"
#include "diagram.h"
#include "app/fields.h"
#include "report/fonts.h"
#include "printchoice.h"
#include "qtprompter.h"
#include "report/adjprinter.h"
#include "report/printer.h"
#include "report/report.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace chain::gui {
using namespace chain::fonts;
namespace {

// The form in twips (1440 to the inch). Fields and captions are one row
// high; rows of the lower panels follow each other at kPitch.
constexpr int kFormWidth = 15900, kFormHeight = 10800;
constexpr int kRowHeight = 300, kPitch = 345;
constexpr int kDiagramTop = 120, kDiagramHeight = 3780, kDiagramWidth = 7740;
constexpr int kHeadTop = 3990;          // headings of the lower panels
constexpr int kRowTop = kHeadTop + 330; // first row below them

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

constexpr int row(int i) { return kRowTop + i * kPitch; }

// Input echo panel: known points (left), angles and the description (right).
constexpr int kEchoCaption = 120, kEchoCaptionW = 1800, kEchoField = 1950, kEchoFieldW = 1560;
constexpr int kAngleCaption = 3690, kAngleCaptionW = 1980, kAngleField = 5700, kAngleFieldW = 1590;
constexpr int kAngleWidth = kAngleField + kAngleFieldW - kAngleCaption;
// Observed sides.
constexpr int kSideCaption = 7470, kSideCaptionW = 420, kSideField = 7890, kSideFieldW = 1320;
// Adjusted coordinates and, below them, the misclosures and precision.
constexpr int kResLeft = 9390, kRowCaptionW = 840, kNameField = 10260, kNameFieldW = 1020;
constexpr int kXCaption = 11310, kCoordCaptionW = 600, kXField = 11940, kCoordFieldW = 1560;
constexpr int kYCaption = 13530, kYField = 14160;
constexpr int kResRowTop = kRowTop + kPitch;  // six coordinate rows
constexpr int kPrecTop = kResRowTop + 6 * kPitch + 165;
constexpr int kPrecCaptionW = 2520;
// Buttons.
constexpr int kButtonTop = 10320, kButtonW = 855, kButtonH = 375;

struct EchoRow {
    const char *caption;
    const char *field;
};

constexpr EchoRow kPointRows[] = {
    {"已知点 A 纵座标Xa", "Text1(0)"},  {"已知点 A 横座标Ya", "Text2"},    {"已知点 B 纵座标Xb", "Text3"},
    {"已知点 B 横座标Yb", "Text4"},     {"已知点 C   纵座标Xc", "Text25"}, {"已知点 C   横座标Yc", "Text26"},
    {"已知点 D   纵座标Xd", "Text27"},  {"已知点 D  横座标Yd", "Text28"},  {"已知点 E 纵座标Xe", "Text1(1)"},
    {"已知点 E 横座标Ye", "Text1(2)"},  {"已知点 F 纵座标Xf", "Text1(3)"}, {"已知点 F 横座标Yf", "Text1(4)"},
};

constexpr EchoRow kAngleRows[] = {
    {"起始方位角           Ta", "Text5"},
    {"起始定向角           Qa", "Text11"},
    {"闭合方位角           Tb", "Text6"},
    {"闭合定向角           Qb", "Text12"},
};

struct CoordRow {
    const char *caption, *xCaption, *yCaption;
    bool song;
};

constexpr CoordRow kCoordRows[6] = {
    {"(起算点)", "(X起)", "(Y起)", true}, {"P1", " Xp1", " Yp1", false},  {"P2", " Xp2", " Yp2", false},
    {"P3", " Xp3", " Yp3", false},       {"P4", " Xp4", " Yp4", false},   {" (闭合点)", "(X闭) ", "(Y闭)", false},
};

constexpr EchoRow kPrecisionRows[] = {
    {"图形条件1     闭合差w1", "Text22"},         {"图形条件2     闭合差w2", "Text23"},
    {"方位角闭合差 wb", "Text13"},                {"    纵座标       闭合差wx", "Text14"},
    {"    横座标       闭合差wy", "Text15"},      {"     单位权      测边中误差ms", "Text16"},
    {"纵座标权倒数Px", "Text17"},                 {"横座标权倒数Py", "Text18"},
    {"纵座标单位权       中误差mx", "Text19"},    {"横座标单位权       中误差my", "Text20"},
    {"       单位权       点位中误差Md", "Text21"},
};

// A result or echo field: read-only, but its text can be selected and
// copied; a double click selects the whole value, not a piece of it.
class ValueField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) {
            selectAll();
            event->accept();
            return;
        }
        QLineEdit::mouseDoubleClickEvent(event);
    }
};

// The scroll area around the form: it asks for the form at zoom 1.
class FormScroll : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize natural;
    QSize sizeHint() const override { return natural + QSize(2 * frameWidth(), 2 * frameWidth()); }
};

const char *kAskedStyle = "QLineEdit { border: 2px solid #d9480f; background-color: #fff3bf; }";

QString u(const char *s) { return QString::fromUtf8(s); }

// "A、B" of the known points, in the order A, B, C, D.
QString knownPoints(const chain::Record &r)
{
    const double xy[4][2] = {{r.xa, r.ya}, {r.xb, r.yb}, {r.xc, r.yc}, {r.xd, r.yd}};
    QStringList known;
    for (int p = 0; p < 4; ++p)
        if (chain::isKnown(xy[p][0], xy[p][1]))
            known << QString(QChar(u'A' + p));
    return known.isEmpty() ? u("没有已知点") : u("已知点 ") + known.join(u("、"));
}

// What an end with exactly one known point was given: both angles, one, or
// none; empty for an end whose angles are not asked.
QString endAngles(const char *end, double x1, double y1, double x2, double y2, double t, double q)
{
    const bool oneKnown = (chain::isKnown(x1, y1) && chain::isNew(x2, y2)) ||
                          (chain::isNew(x1, y1) && chain::isKnown(x2, y2));
    if (!oneKnown)
        return {};
    const QString e = u(end);
    if (t != 0 && q != 0)
        return e + u("给了外方位角和定向角");
    if (t != 0)
        return e + u("只给了外方位角");
    if (q != 0)
        return e + u("只给了定向角");
    return e + u("没有给角度");
}

// Why the data select their case: the known points and the angles given.
QString caseReason(const chain::Record &r)
{
    QStringList parts{knownPoints(r)};
    for (const QString &s : {endAngles("起始端", r.xa, r.ya, r.xc, r.yc, r.ta_in, r.qa_in),
                             endAngles("闭合端", r.xb, r.yb, r.xd, r.yd, r.tb_in, r.qb_in)})
        if (!s.isEmpty())
            parts << s;
    return parts.join(u("；"));
}

// A field's text for a spreadsheet cell and its unit: " 1.78秒" gives
// "1.78" and "秒".
std::pair<QString, QString> valueAndUnit(const QString &text)
{
    QString v = text.trimmed();
    for (const char *unit : {"毫米", "秒"}) {
        const QString s = u(unit);
        if (v.endsWith(s))
            return {v.chopped(s.size()).trimmed(), s};
    }
    return {v, QString()};
}

// A caption as a spreadsheet cell: without brackets, blanks run together.
QString simplified(const char *caption)
{
    return u(caption).remove(QRegularExpression(QStringLiteral("[()（）]"))).simplified();
}

const QString kFreshStatus = QString::fromUtf8(
    "尚未计算。用“数据表”(Ctrl+T) 一次填写全部数据并计算，或按“计 算”逐项提问输入。");

} // namespace

// The window's prompter around the one in use: before each prompt it marks
// the field the prompt is about and keeps it in view.
class Form2::AskingPrompter : public chain::Prompter {
public:
    explicit AskingPrompter(Form2 &w) : w_(w) {}
    std::optional<std::string> prompt(const std::string &text) override
    {
        w_.markAsked(w_.field(w_.target_.fieldFor(text)));
        return w_.prompter_->prompt(text);
    }

private:
    Form2 &w_;
};

Form2::Form2(QWidget *parent)
    : QMainWindow(parent), qtPrompter_(std::make_unique<QtPrompter>(this)),
      asking_(std::make_unique<AskingPrompter>(*this))
{
    prompter_ = qtPrompter_.get();
    qtPrompter_->setKeepClear([this] { return askedRect(); });
    installFontSubstitutions();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(appTitle());
    dpiX_ = logicalDpiX() > 0 ? logicalDpiX() : 96;
    dpiY_ = logicalDpiY() > 0 ? logicalDpiY() : 96;
    buildForm();

    caseStatus_ = new QLabel(kFreshStatus, this);
    caseStatus_->setObjectName(QStringLiteral("caseStatus"));
    caseStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The case on the first line, the analysis's summary on a second one:
    // both readable in full on a narrow window. The second line keeps its
    // place while empty, so that the window's size does not depend on
    // whether it was first shown before or after a computation.
    auto *status = new QWidget(this);
    auto *lines = new QVBoxLayout(status);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    caseStatus_->setParent(status);
    lines->addWidget(caseStatus_);
    analysisStatus_ = new QLabel(status);
    lines->addWidget(analysisStatus_);
    analysisStatus_->setMinimumHeight(caseStatus_->sizeHint().height()); // as high empty as with Chinese text
    analysisStatus_->setObjectName(QStringLiteral("analysisStatus"));
    analysisStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    analysisStatus_->setToolTip(u("严密平差：单位权中误差、最弱点、可能有粗差的边、等级限差（工具 → 精度分析 看详细结果）"));
    statusBar()->addWidget(status, 1);
    setMinimumSize(480, 360);
}

Form2::~Form2() = default;

int Form2::twipsX(int twips) const { return qRound(twips * dpiX_ * zoom_ / 1440.0); }
int Form2::twipsY(int twips) const { return qRound(twips * dpiY_ * zoom_ / 1440.0); }

void Form2::place(QWidget *widget, const QRect &twips, const QFont &font, bool diagram)
{
    placed_.push_back({widget, twips, font, diagram});
    position(placed_.back());
}

void Form2::position(const Placed &p)
{
    // Both edges from twips, so that neighbours never overlap by rounding.
    const QRect &t = p.twips;
    p.widget->setGeometry(QRect(QPoint(twipsX(t.left()), twipsY(t.top())),
                                QPoint(twipsX(t.left() + t.width()) - 1, twipsY(t.top() + t.height()) - 1)));
    if (p.diagram) {
        static_cast<ChainDiagram *>(p.widget)->setZoom(zoom_);
    } else {
        QFont f = p.font;
        f.setPointSizeF(p.font.pointSizeF() * zoom_);
        p.widget->setFont(f);
    }
}

QLabel *Form2::caption(const char *text, int left, int top, int width, bool song, Qt::Alignment align, bool heading)
{
    auto *label = new QLabel(QString::fromUtf8(text), form_);
    QFont f = song ? songFont(10) : sansFont(9);
    f.setBold(heading);
    label->setAlignment(align);
    place(label, QRect(left, top, width, kRowHeight), f);
    return label;
}

QLineEdit *Form2::textField(const std::string &name, int left, int top, int width)
{
    auto *edit = new ValueField(form_);
    edit->setObjectName(QString::fromStdString(name));
    edit->setReadOnly(true);
    // Selectable and copyable by mouse; not in the Tab chain, which runs
    // through the buttons.
    edit->setFocusPolicy(Qt::ClickFocus);
    place(edit, QRect(left, top, width, kRowHeight), sansFont(9));
    fields_.emplace(name, edit);
    return edit;
}

QPushButton *Form2::commandButton(const char *name, const char *text, int left)
{
    auto *b = new QPushButton(QString::fromUtf8(text), form_);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    place(b, QRect(left, kButtonTop, kButtonW, kButtonH), sansFont(9));
    return b;
}

void Form2::buildForm()
{
    auto *scroll = new FormScroll(this);
    scroll->setObjectName(QStringLiteral("formScroll"));
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll->setWidgetResizable(false);
    scroll->natural = QSize(qRound(kFormWidth * dpiX_ / 1440.0), qRound(kFormHeight * dpiY_ / 1440.0));
    scroll_ = scroll;
    scroll_->installEventFilter(this);

    form_ = new QWidget;
    form_->setObjectName(QStringLiteral("form"));
    form_->setFont(sansFont(9));
    form_->setFixedSize(twipsX(kFormWidth), twipsY(kFormHeight));
    scroll_->setWidget(form_);
    setCentralWidget(scroll_);

    // The diagrams.
    diagrams_[0] = new ChainDiagram(DiagramKind::SameSide, form_);
    place(diagrams_[0], QRect(120, kDiagramTop, kDiagramWidth, kDiagramHeight), QFont(), true);
    diagrams_[1] = new ChainDiagram(DiagramKind::OppositeSide, form_);
    place(diagrams_[1], QRect(120 + kDiagramWidth + 180, kDiagramTop, kDiagramWidth, kDiagramHeight), QFont(), true);
    // Input echo panel.
    caption("座标推算路线", kEchoCaption, kHeadTop, kEchoField + kEchoFieldW - kEchoCaption, false, kLeft, true);
    caption("外方位角", kAngleCaption, kHeadTop, kAngleWidth, false, kLeft, true);
    for (int i = 0; i < 12; ++i) {
        caption(kPointRows[i].caption, kEchoCaption, row(i), kEchoCaptionW);
        textField(kPointRows[i].field, kEchoField, row(i), kEchoFieldW);
    }
    for (int i = 0; i < 4; ++i) {
        caption(kAngleRows[i].caption, kAngleCaption, row(i), kAngleCaptionW);
        textField(kAngleRows[i].field, kAngleField, row(i), kAngleFieldW);
    }
    caption("平差图形说明", kAngleCaption, row(5), kAngleWidth);
    textField("Text24", kAngleCaption, row(6), kAngleWidth);

    // Observed sides.
    caption("(观测边长)", kSideCaption, kHeadTop, kSideField + kSideFieldW - kSideCaption, true, kLeft, true);
    for (int i = 0; i <= 10; ++i) {
        caption(QStringLiteral("S%1").arg(i + 1).toUtf8().constData(), kSideCaption, row(i), kSideCaptionW);
        textField(chain::indexed("Text7", i), kSideField, row(i), kSideFieldW);
    }

    // Adjusted coordinates.
    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    caption("（ 平 差 结 果 ）", kResLeft, kHeadTop, kYField + kCoordFieldW - kResLeft, false, centred, true);
    caption(" 点名", kNameField, kRowTop, kNameFieldW, false, centred);
    caption("纵座标", kXField, kRowTop, kCoordFieldW, false, centred);
    caption("横座标", kYField, kRowTop, kCoordFieldW, false, centred);
    for (int i = 0; i < 6; ++i) {
        const int top = kResRowTop + i * kPitch;
        caption(kCoordRows[i].caption, kResLeft, top, kRowCaptionW, kCoordRows[i].song);
        textField(chain::indexed("Text8", i), kNameField, top, kNameFieldW);
        caption(kCoordRows[i].xCaption, kXCaption, top, kCoordCaptionW);
        textField(chain::indexed("Text9", i), kXField, top, kCoordFieldW);
        caption(kCoordRows[i].yCaption, kYCaption, top, kCoordCaptionW);
        textField(chain::indexed("Text10", i), kYField, top, kCoordFieldW);
    }

    // Misclosures and precision.
    for (int i = 0; i < 11; ++i) {
        const int top = kPrecTop + i * kPitch;
        caption(kPrecisionRows[i].caption, kResLeft, top, kPrecCaptionW);
        textField(kPrecisionRows[i].field, kXField, top, kCoordFieldW);
    }

    // Buttons, with mnemonics: Alt+C computes, Alt+X ends, Alt+P prints.
    buttons_[0] = commandButton("Command1", "计 算(&C)", 5880);
    buttons_[1] = commandButton("Command2", "结 束(&X)", 6960);
    buttons_[2] = commandButton("Command3", "打 印(&P)", 8040);
    connect(buttons_[0], &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(buttons_[1], &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(buttons_[2], &QPushButton::clicked, this, &Form2::Command3_Click);
    buttons_[0]->setFocus();
}

void Form2::setText(std::string_view control, std::string_view text)
{
    const auto it = fields_.find(control);
    if (it == fields_.end())
        throw std::logic_error("no such field: " + std::string(control));
    it->second->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    target_.written(control, text);
}

QLineEdit *Form2::field(std::string_view control) const
{
    const auto it = fields_.find(control);
    return it == fields_.end() ? nullptr : it->second;
}

QPushButton *Form2::button(int n) const { return n >= 1 && n <= 3 ? buttons_[n - 1] : nullptr; }

ChainDiagram *Form2::diagram(int n) const { return n >= 1 && n <= 2 ? diagrams_[n - 1] : nullptr; }

void Form2::setPrompter(chain::Prompter *prompter) { prompter_ = prompter ? prompter : qtPrompter_.get(); }

void Form2::warn(const QString &message) { QMessageBox::warning(this, appTitle(), message); }

// Zoom.

void Form2::applyZoom(qreal zoom)
{
    zoom_ = qBound(kMinZoom, zoom, kMaxZoom);
    form_->setFixedSize(twipsX(kFormWidth), twipsY(kFormHeight));
    for (const Placed &p : placed_)
        position(p);
    emit zoomChanged(zoom_, fit_);
}

void Form2::setZoom(qreal zoom)
{
    fit_ = false;
    applyZoom(zoom);
}

void Form2::setFitToWindow(bool fit)
{
    fit_ = fit;
    if (fit)
        fitZoom();
    else
        emit zoomChanged(zoom_, fit_);
}

void Form2::fitZoom()
{
    const QSize room = scroll_->maximumViewportSize();
    const auto *scroll = static_cast<const FormScroll *>(scroll_);
    if (room.isEmpty() || scroll->natural.isEmpty())
        return;
    // A hair under the exact ratio, so that rounding to pixels never makes
    // the form a pixel too large and brings up a scroll bar.
    qreal z = std::min(qreal(room.width()) / scroll->natural.width(), qreal(room.height()) / scroll->natural.height());
    z = qBound(minFitZoom(), std::floor(z * 500) / 500 - 0.002, kMaxFit);
    if (std::abs(z - zoom_) > 0.001)
        applyZoom(z);
}

qreal Form2::minFitZoom() const
{
    // The smallest text that stays legible is a number of device pixels: on
    // a screen with more of them per logical pixel the form may shrink more.
    return std::max(kMinZoom, kMinFit / std::max(qreal(1), devicePixelRatioF()));
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == scroll_ && event->type() == QEvent::Resize && fit_)
        fitZoom();
    return QMainWindow::eventFilter(watched, event);
}

void Form2::showEvent(QShowEvent *event)
{
    if (!sized_) {
        sized_ = true;
        sizeToScreen();
    }
    QMainWindow::showEvent(event);
}

void Form2::sizeToScreen()
{
    // The form at zoom 1 with the bars around it, made smaller where the
    // screen is smaller (fitting then shrinks the form).
    QScreen *s = screen();
    if (!s)
        return;
    const QRect avail = s->availableGeometry();
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 8;
    const QSize room(avail.width() - 8, avail.height() - title);
    const QSize want = sizeHint();
    if (want.width() <= room.width() && want.height() <= room.height()) {
        resize(want);
        return;
    }
    // The zoom at which the form fits, and the window around it without
    // grey margins.
    const QSize natural = static_cast<const FormScroll *>(scroll_)->natural;
    const QSize bars = want - natural;
    const qreal z = std::max(minFitZoom(), std::min(qreal(room.width() - bars.width()) / natural.width(),
                                               qreal(room.height() - bars.height()) / natural.height()));
    QSize size = bars + natural * z;
    // Where the form does not fit even at the smallest fitting zoom, a
    // scroll bar takes room across.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    if (size.width() > room.width())
        size.rheight() += bar;
    if (size.height() > room.height())
        size.rwidth() += bar;
    resize(size.boundedTo(room));
    move(avail.topLeft());
}

// The field the prompt is about.

void Form2::markAsked(QLineEdit *field)
{
    if (field == asked_)
        return;
    if (asked_)
        asked_->setStyleSheet(QString());
    asked_ = field;
    if (asked_) {
        asked_->setStyleSheet(u(kAskedStyle));
        scroll_->ensureWidgetVisible(asked_, 40, 40);
    }
}

QRect Form2::askedRect() const
{
    if (!asked_ || !asked_->isVisible())
        return {};
    // The field and its caption's row height around it.
    return QRect(asked_->mapToGlobal(QPoint(0, 0)), asked_->size()).adjusted(-4, -4, 4, 4);
}

// The commands.

void Form2::Command1_Click()
{
    if (busy_)
        return;
    busy_ = true;
    // The window shows one computation: the fields start empty, as in a
    // fresh window, and a cancelled computation puts back what was there.
    std::vector<std::pair<QLineEdit *, QString>> before;
    before.reserve(fields_.size());
    for (const auto &[name, edit] : fields_) {
        before.emplace_back(edit, edit->text());
        edit->clear();
    }
    const QString statusBefore = caseStatus_->text();
    caseStatus_->setText(u("正在输入数据……"));
    target_.reset();

    chain::ComputeResult result;
    try {
        result = chain::Command1_Click(record_, *asking_, *this);
    } catch (const std::exception &e) {
        result = {chain::Outcome::Degenerate, std::string("计算中断：") + e.what()};
    }
    markAsked(nullptr);
    if (result.outcome == chain::Outcome::Cancelled) {
        for (const auto &[edit, text] : before)
            edit->setText(text);
        caseStatus_->setText(statusBefore);
    } else {
        showOutcome(static_cast<int>(result.outcome));
        if (result.outcome == chain::Outcome::Computed) {
            reanalyse();
        } else {
            analysis_.reset();
            analysisStatus_->clear();
            emit analysisChanged();
        }
    }
    busy_ = false;
    if (!result.message.empty())
        warn(QString::fromStdString(result.message));
    emit computeFinished(static_cast<int>(result.outcome));
}

void Form2::showOutcome(int outcome)
{
    const QString reason = caseReason(record_);
    switch (static_cast<chain::Outcome>(outcome)) {
    case chain::Outcome::Computed:
        caseStatus_->setText(u("情形 ") + QString::number(record_.caseNo) + u("　") + reason);
        break;
    case chain::Outcome::NoCase:
        caseStatus_->setText(u("未计算：已知点和角度不符合十二种情形中的任何一种（") + reason + u("）"));
        break;
    default:
        caseStatus_->setText(u("未计算：图形或方程无法计算（") + reason + u("）"));
        break;
    }
}

void Form2::setAdjustmentSettings(const chain::AdjustmentSettings &s)
{
    adjustmentSettings_ = s;
    if (analysis_)
        reanalyse();
}

void Form2::reanalyse()
{
    analysis_.reset();
    analysisStatus_->clear();
    if (record_.caseNo >= 1 && record_.caseNo <= 12 && chain::hasComputation(record_)) {
        chain::AnalysisRun &run = analysis_.emplace();
        run.rec = &record_;
        run.caseNo = record_.caseNo;
        run.outcome = "computed";
        if (const QLineEdit *title = field("Text24"))
            run.title = title->text().toStdString();
        try {
            chain::analyseRecord(run, adjustmentSettings_.options);
        } catch (const std::exception &e) {
            run.engine.reset();
            run.analysisMessage = std::string("严密平差中断：") + e.what();
        }
        analysisStatus_->setText(QString::fromStdString(chain::analysisSummaryLine(run)));
    }
    emit analysisChanged();
}

QString Form2::resultsText() const
{
    if (record_.caseNo == 0)
        return {};
    const auto cell = [this](const std::string &name) { return field(name)->text().trimmed(); };
    QStringList lines;
    lines << appTitle() + u("\t情形 ") + QString::number(record_.caseNo) + u("\t") + cell("Text24");
    lines << QString() << u("点\t点名\t纵座标 X（米）\t横座标 Y（米）");
    for (int i = 0; i < 6; ++i)
        lines << simplified(kCoordRows[i].caption) + u("\t") + cell(chain::indexed("Text8", i)) + u("\t") +
                     cell(chain::indexed("Text9", i)) + u("\t") + cell(chain::indexed("Text10", i));
    lines << QString() << u("观测边\t边长（米）");
    for (int i = 0; i <= 10; ++i)
        lines << QStringLiteral("S%1\t").arg(i + 1) + cell(chain::indexed("Text7", i));
    lines << QString() << u("项目\t数值\t单位");
    for (const EchoRow &r : kPrecisionRows) {
        const auto [value, unit] = valueAndUnit(field(r.field)->text());
        lines << simplified(r.caption) + u("\t") + value + u("\t") + unit;
    }
    return lines.join(u("\n")) + u("\n");
}

void Form2::Command2_Click()
{
    close();
    emit ended();
}

void Form2::Command3_Click()
{
    if (busy_)
        return;
    busy_ = true;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(appTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    QWidget *choice = reportChoicePage(chain::hasComputation(record_) && record_.caseNo >= 1, &dialog);
    dialog.setOptionTabs({choice});
    showReportChoice(choice);
    if (dialog.exec() == QDialog::Accepted) {
        if (chosenReport(choice) == PrintedReport::Adjustment)
            printAdjustmentTo(printer);
        else
            printTo(printer);
    }
    busy_ = false;
}

bool Form2::printAdjustmentTo(QPrinter &printer)
{
    QString error;
    bool ok = false;
    try {
        std::string why;
        const QLineEdit *title = field("Text24");
        const auto report = chain::adjustmentReportOfRecord(record_, title ? title->text().toStdString() : std::string(),
                                                            adjustmentSettings_, chain::todayText(), &why);
        if (report)
            ok = chain::report::printAdjustmentReport(*report, printer, &error);
        else
            error = QString::fromStdString(why);
    } catch (const std::exception &e) {
        error = QString::fromStdString(e.what());
    }
    if (!ok)
        warn(error.isEmpty() ? QString::fromUtf8("平差报告无法打印。") : error);
    return ok;
}

bool Form2::printTo(QPrinter &printer)
{
    QString error;
    bool ok = false;
    try {
        ok = chain::report::printReport(chain::report::build(record_), printer, &error);
    } catch (const std::exception &e) {
        error = QString::fromStdString(e.what());
    }
    if (!ok)
        warn(error.isEmpty() ? QString::fromUtf8("报告无法打印。") : error);
    return ok;
}

} // namespace chain::gui
