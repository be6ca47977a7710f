#include "settings.h"

#include "analysis/grade.h"
#include "qtprompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace chain::gui {
namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString u(const std::string &s) { return QString::fromStdString(s); }

constexpr int kSigmaKeys[3] = {chain::AnalysisKeys::sigma_a, chain::AnalysisKeys::sigma_b, chain::AnalysisKeys::sigma_q};
const char *const kSigmaCaption[3] = {"测距精度 固定部分 a（毫米）", "测距精度 比例部分 b（ppm）", "定向角中误差 σq（秒）"};
const char *const kSigmaHint[3] = {"不填：等权", "不填：0", "不填：固定"};
const char *const kHeaderCaption[chain::HeaderKeys::count] = {"项目", "操作员", "仪器", "日期"};
const char *const kHeaderHint[chain::HeaderKeys::count] = {"", "", "", "不填：打印当天的日期"};

const char *kInvalid = "QLineEdit { background-color: #ffd9d9; }";

} // namespace

SettingsEditor::SettingsEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("settingsEditor"));
    auto *accuracy = new QGroupBox(u("精度分析"), this);
    auto *af = new QFormLayout(accuracy);
    for (int i = 0; i < 3; ++i) {
        auto *e = new QLineEdit(accuracy);
        e->setObjectName(u(chain::analysisKeyName(kSigmaKeys[i])));
        e->setPlaceholderText(u(kSigmaHint[i]));
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 12);
        connect(e, &QLineEdit::textChanged, this, &SettingsEditor::revalidate);
        sigma_[static_cast<std::size_t>(i)] = e;
        af->addRow(u(kSigmaCaption[i]), e);
    }
    grade_ = new QComboBox(accuracy);
    grade_->setObjectName(QStringLiteral("grade"));
    grade_->addItem(u("（不检查限差）"), QString());
    for (const analysis::GradeLimits &g : analysis::kGrades)
        grade_->addItem(u(g.name), u(g.name));
    connect(grade_, &QComboBox::currentIndexChanged, this, &SettingsEditor::revalidate);
    af->addRow(u("等级"), grade_);

    auto *head = new QGroupBox(u("报告页眉"), this);
    auto *hf = new QFormLayout(head);
    for (int k = 0; k < chain::HeaderKeys::count; ++k) {
        auto *e = new QLineEdit(head);
        e->setObjectName(u(chain::headerKeyName(k)));
        e->setPlaceholderText(u(kHeaderHint[k]));
        e->setMaxLength(static_cast<int>(chain::kMaxHeaderChars) * 2);
        connect(e, &QLineEdit::textChanged, this, &SettingsEditor::revalidate);
        header_[static_cast<std::size_t>(k)] = e;
        hf->addRow(u(kHeaderCaption[k]), e);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(accuracy);
    layout->addWidget(head);
}

QLineEdit *SettingsEditor::edit(const char *keyName) const
{
    for (QLineEdit *e : sigma_)
        if (e->objectName() == u(keyName))
            return e;
    for (QLineEdit *e : header_)
        if (e->objectName() == u(keyName))
            return e;
    return nullptr;
}

void SettingsEditor::setSettings(const chain::AdjustmentSettings &s)
{
    chain::DataSet d;
    chain::putAdjustmentSettings(d, s);
    for (int i = 0; i < 3; ++i)
        sigma_[static_cast<std::size_t>(i)]->setText(
            u(d.analysis.value[static_cast<std::size_t>(kSigmaKeys[i])].value_or(std::string())));
    const auto &g = d.analysis.value[chain::AnalysisKeys::grade];
    grade_->setCurrentIndex(std::max(0, grade_->findData(g ? u(*g) : QString())));
    for (int k = 0; k < chain::HeaderKeys::count; ++k)
        header_[static_cast<std::size_t>(k)]->setText(u(d.header.value[static_cast<std::size_t>(k)].value_or(std::string())));
    revalidate();
}

chain::DataSet SettingsEditor::keys(QStringList *problems) const
{
    // Read as the lines of a data file would be, so that the same values
    // are accepted and refused with the same messages.
    chain::DataSet d;
    std::vector<chain::Problem> found;
    for (int i = 0; i < 3; ++i) {
        const std::string v = sigma_[static_cast<std::size_t>(i)]->text().trimmed().toStdString();
        chain::readAnalysisKey(chain::analysisKeyName(kSigmaKeys[i]), v, 0, d, found);
    }
    const std::string g = grade_->currentData().toString().toStdString();
    chain::readAnalysisKey("grade", g, 0, d, found);
    for (int k = 0; k < chain::HeaderKeys::count; ++k) {
        const std::string v = header_[static_cast<std::size_t>(k)]->text().trimmed().toStdString();
        chain::readHeaderKey(chain::headerKeyName(k), v, 0, d, found);
    }
    if (problems)
        for (const chain::Problem &p : found)
            *problems << u(chain::describe(p));
    return d;
}

chain::AdjustmentSettings SettingsEditor::settings() const { return chain::adjustmentSettingsOf(keys(nullptr)); }

QStringList SettingsEditor::problems() const
{
    QStringList p;
    keys(&p);
    return p;
}

void SettingsEditor::revalidate()
{
    for (QLineEdit *e : sigma_) {
        chain::DataSet d;
        std::vector<chain::Problem> found;
        chain::readAnalysisKey(e->objectName().toStdString(), e->text().trimmed().toStdString(), 0, d, found);
        e->setStyleSheet(found.empty() ? QString() : u(kInvalid));
        e->setToolTip(found.empty() ? QString() : u(found.front().text));
    }
    for (int k = 0; k < chain::HeaderKeys::count; ++k) {
        QLineEdit *e = header_[static_cast<std::size_t>(k)];
        const std::string why = chain::headerValueProblem(e->text().trimmed().toStdString());
        e->setStyleSheet(why.empty() ? QString() : u(kInvalid));
        e->setToolTip(u(why));
    }
    emit changed();
}

SettingsDialog::SettingsDialog(const chain::AdjustmentSettings &initial, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(u("设置 — ") + appTitle());
    auto *intro = new QLabel(u("测距精度、定向角精度和等级用于精度分析；页眉印在平差报告的每一页上。"
                               "这些值随“保存本次数据”写入数据文件，并在下次启动时沿用。"),
                             this);
    intro->setWordWrap(true);
    editor_ = new SettingsEditor(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setStyleSheet(QStringLiteral("color: #a01010;"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(u("确 定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(u("取 消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(editor_, &SettingsEditor::changed, this, [this, ok] {
        const QStringList p = editor_->problems();
        status_->setText(p.join(u("\n")));
        ok->setEnabled(p.isEmpty());
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(editor_);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    editor_->setSettings(initial);
    resize(std::max(sizeHint().width(), 460), sizeHint().height());
}

chain::AdjustmentSettings SettingsDialog::settings() const { return editor_->settings(); }

chain::AdjustmentSettings rememberedSettings()
{
    QSettings s(QStringLiteral("chainadj"), QStringLiteral("chainadj"));
    s.beginGroup(QStringLiteral("analysis"));
    chain::DataSet d;
    std::vector<chain::Problem> dropped;
    for (int k : {chain::AnalysisKeys::sigma_a, chain::AnalysisKeys::sigma_b, chain::AnalysisKeys::sigma_q,
                  chain::AnalysisKeys::grade}) {
        const char *name = chain::analysisKeyName(k);
        chain::readAnalysisKey(name, s.value(u(name)).toString().trimmed().toStdString(), 0, d, dropped);
    }
    for (int k = 0; k < chain::HeaderKeys::count; ++k) {
        const char *name = chain::headerKeyName(k);
        chain::readHeaderKey(name, s.value(u(name)).toString().trimmed().toStdString(), 0, d, dropped);
    }
    return chain::adjustmentSettingsOf(d);
}

void rememberSettings(const chain::AdjustmentSettings &settings)
{
    chain::DataSet d;
    chain::putAdjustmentSettings(d, settings);
    QSettings s(QStringLiteral("chainadj"), QStringLiteral("chainadj"));
    s.beginGroup(QStringLiteral("analysis"));
    for (int k : {chain::AnalysisKeys::sigma_a, chain::AnalysisKeys::sigma_b, chain::AnalysisKeys::sigma_q,
                  chain::AnalysisKeys::grade}) {
        const auto &v = d.analysis.value[static_cast<std::size_t>(k)];
        if (v)
            s.setValue(u(chain::analysisKeyName(k)), u(*v));
        else
            s.remove(u(chain::analysisKeyName(k)));
    }
    for (int k = 0; k < chain::HeaderKeys::count; ++k) {
        const auto &v = d.header.value[static_cast<std::size_t>(k)];
        if (v)
            s.setValue(u(chain::headerKeyName(k)), u(*v));
        else
            s.remove(u(chain::headerKeyName(k)));
    }
}

} // namespace chain::gui
