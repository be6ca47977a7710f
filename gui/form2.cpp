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

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

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

} // namespace

Form2::Form2(QWidget *parent)
    : QMainWindow(parent), qtPrompter_(std::make_unique<QtPrompter>(this))
{
    prompter_ = qtPrompter_.get();
    installFontSubstitutions();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(appTitle());
    dpiX_ = logicalDpiX() > 0 ? logicalDpiX() : 96;
    dpiY_ = logicalDpiY() > 0 ? logicalDpiY() : 96;
    buildForm();
}

Form2::~Form2() = default;

int Form2::twipsX(int twips) const { return qRound(twips * dpiX_ / 1440.0); }
int Form2::twipsY(int twips) const { return qRound(twips * dpiY_ / 1440.0); }

QLabel *Form2::caption(const char *text, int left, int top, int width, bool song, Qt::Alignment align, bool heading)
{
    auto *label = new QLabel(QString::fromUtf8(text), form_);
    QFont f = song ? songFont(10) : sansFont(9);
    f.setBold(heading);
    label->setFont(f);
    label->setAlignment(align);
    label->setGeometry(twipsX(left), twipsY(top), twipsX(width), twipsY(kRowHeight));
    return label;
}

QLineEdit *Form2::textField(const std::string &name, int left, int top, int width)
{
    auto *edit = new QLineEdit(form_);
    edit->setObjectName(QString::fromStdString(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setFont(sansFont(9));
    edit->setGeometry(twipsX(left), twipsY(top), twipsX(width), twipsY(kRowHeight));
    fields_.emplace(name, edit);
    return edit;
}

QPushButton *Form2::commandButton(const char *name, const char *text, int left)
{
    auto *b = new QPushButton(QString::fromUtf8(text), form_);
    b->setObjectName(QString::fromUtf8(name));
    b->setFont(sansFont(9));
    b->setAutoDefault(false);
    b->setGeometry(twipsX(left), twipsY(kButtonTop), twipsX(kButtonW), twipsY(kButtonH));
    return b;
}

void Form2::buildForm()
{
    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("form"));
    form_->setFont(sansFont(9));
    form_->setFixedSize(twipsX(kFormWidth), twipsY(kFormHeight));
    setCentralWidget(form_);

    // The diagrams.
    diagrams_[0] = new ChainDiagram(DiagramKind::SameSide, form_);
    diagrams_[0]->setGeometry(twipsX(120), twipsY(kDiagramTop), twipsX(kDiagramWidth), twipsY(kDiagramHeight));
    diagrams_[1] = new ChainDiagram(DiagramKind::OppositeSide, form_);
    diagrams_[1]->setGeometry(twipsX(120 + kDiagramWidth + 180), twipsY(kDiagramTop), twipsX(kDiagramWidth),
                              twipsY(kDiagramHeight));

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

    // Buttons.
    buttons_[0] = commandButton("Command1", "计 算", 5880);
    buttons_[1] = commandButton("Command2", "结 束", 6960);
    buttons_[2] = commandButton("Command3", "打 印", 8040);
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

void Form2::Command1_Click()
{
    if (busy_)
        return;
    busy_ = true;
    chain::ComputeResult result;
    try {
        result = chain::Command1_Click(record_, *prompter_, *this);
    } catch (const std::exception &e) {
        result = {chain::Outcome::Degenerate, std::string("计算中断：") + e.what()};
    }
    busy_ = false;
    if (!result.message.empty())
        warn(QString::fromStdString(result.message));
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
