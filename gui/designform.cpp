#include "designform.h"

#include "analysis/grade.h"
#include "analysisview.h"
#include "app/analysisinput.h"
#include "app/number.h"
#include "qtprompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>

namespace chain::gui {
namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString u(const std::string &s) { return QString::fromStdString(s); }

using analysis::kLabelText;

// The x key of an end point's label in a data set; -1 for E and F.
int coordinateKey(int label)
{
    switch (label) {
    case analysis::A: return chain::key::xa;
    case analysis::B: return chain::key::xb;
    case analysis::C: return chain::key::xc;
    case analysis::D: return chain::key::xd;
    default: return -1;
    }
}

// The approximate-coordinate keys of E and F.
int innerKey(int label) { return label == analysis::E ? chain::AnalysisKeys::xe : chain::AnalysisKeys::xf; }

const char *const kPointCaption[6] = {"A 起始点", "C 起始点 (1)", "E (2)", "F (3)", "D 闭合点 (4)", "B 闭合点"};

} // namespace

DesignForm::DesignForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("DesignForm"));
    setWindowTitle(u("精度预估 — ") + appTitle());

    auto *intro = new QLabel(u("测量之前按设计的点位估计精度：填写六个点的近似座标，勾选已知点，在恰有一个已知点的一端"
                               "可填外方位角和定向角（d.mmss），再填测距精度和等级，按“估 算”。"),
                             this);
    intro->setWordWrap(true);

    auto *points = new QGroupBox(u("点位（近似座标，米）"), this);
    auto *pg = new QGridLayout(points);
    pg->addWidget(new QLabel(u("已知"), points), 0, 1);
    pg->addWidget(new QLabel(u("点名"), points), 0, 2);
    pg->addWidget(new QLabel(u("纵座标 x"), points), 0, 3);
    pg->addWidget(new QLabel(u("横座标 y"), points), 0, 4);
    for (int p = 0; p < 6; ++p) {
        const auto i = static_cast<std::size_t>(p);
        pg->addWidget(new QLabel(u(kPointCaption[p]), points), p + 1, 0);
        known_[i] = new QCheckBox(points);
        known_[i]->setObjectName(QStringLiteral("known") + u(kLabelText[i]));
        known_[i]->setEnabled(coordinateKey(p) >= 0);
        pg->addWidget(known_[i], p + 1, 1, Qt::AlignCenter);
        name_[i] = new QLineEdit(points);
        name_[i]->setObjectName(QStringLiteral("name") + u(kLabelText[i]));
        name_[i]->setMinimumWidth(name_[i]->fontMetrics().averageCharWidth() * 6);
        pg->addWidget(name_[i], p + 1, 2);
        for (int axis = 0; axis < 2; ++axis) {
            auto *e = new QLineEdit(points);
            e->setObjectName((axis == 0 ? QStringLiteral("x") : QStringLiteral("y")) + u(kLabelText[i]));
            e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 11);
            coord_[i][static_cast<std::size_t>(axis)] = e;
            pg->addWidget(e, p + 1, 3 + axis);
        }
    }

    auto *angles = new QGroupBox(u("外方位角与定向角（d.mmss，可不填）"), this);
    auto *ag = new QGridLayout(angles);
    const char *angleCaption[4] = {"Ta", "Qa", "Tb", "Qb"};
    for (int k = 0; k < 4; ++k) {
        angle_[static_cast<std::size_t>(k)] = new QLineEdit(angles);
        angle_[static_cast<std::size_t>(k)]->setObjectName(u(chain::keyName(chain::key::ta + k)));
        ag->addWidget(new QLabel(u(angleCaption[k]), angles), k / 2, (k % 2) * 2);
        ag->addWidget(angle_[static_cast<std::size_t>(k)], k / 2, (k % 2) * 2 + 1);
    }

    auto *accuracy = new QGroupBox(u("测距精度与等级"), this);
    auto *af = new QFormLayout(accuracy);
    const char *sigmaCaption[2] = {"固定部分 a（毫米）", "比例部分 b（ppm）"};
    for (int i = 0; i < 2; ++i) {
        sigma_[static_cast<std::size_t>(i)] = new QLineEdit(accuracy);
        sigma_[static_cast<std::size_t>(i)]->setObjectName(i == 0 ? QStringLiteral("sigma_a") : QStringLiteral("sigma_b"));
        af->addRow(u(sigmaCaption[i]), sigma_[static_cast<std::size_t>(i)]);
    }
    grade_ = new QComboBox(accuracy);
    grade_->setObjectName(QStringLiteral("grade"));
    grade_->addItem(u("（不检查限差）"), QString());
    for (const analysis::GradeLimits &g : analysis::kGrades)
        grade_->addItem(u(g.name), u(g.name));
    af->addRow(u("等级"), grade_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    auto *go = new QPushButton(u("估 算(&G)"), this);
    go->setObjectName(QStringLiteral("estimate"));
    go->setDefault(true);
    connect(go, &QPushButton::clicked, this, &DesignForm::estimate);

    auto *inputs = new QWidget(this);
    auto *il = new QVBoxLayout(inputs);
    il->addWidget(intro);
    il->addWidget(points);
    il->addWidget(angles);
    il->addWidget(accuracy);
    il->addWidget(go);
    il->addWidget(status_);
    il->addStretch(1);
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(inputs);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(inputs->minimumSizeHint().width() + 24);

    view_ = new AnalysisView(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(scroll);
    split->addWidget(view_);
    split->setStretchFactor(1, 1);
    split->setSizes({scroll->minimumWidth(), 1000});
    view_->splitter()->setSizes({600, 400});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);
    resize(1280, 760);
}

QLineEdit *DesignForm::coordinate(int label, int axis) const
{
    return coord_[static_cast<std::size_t>(label)][static_cast<std::size_t>(axis)];
}
QLineEdit *DesignForm::name(int label) const { return name_[static_cast<std::size_t>(label)]; }
QCheckBox *DesignForm::knownBox(int label) const { return known_[static_cast<std::size_t>(label)]; }
QLineEdit *DesignForm::angle(int k) const { return angle_[static_cast<std::size_t>(k - chain::key::ta)]; }
QLineEdit *DesignForm::sigma(int i) const { return sigma_[static_cast<std::size_t>(i)]; }

void DesignForm::setData(const chain::DataSet &d, const chain::Record *computed)
{
    auto set = [](QLineEdit *e, const std::optional<std::string> &v) { e->setText(v ? u(*v) : QString()); };
    for (int p = 0; p < 6; ++p) {
        const int k = coordinateKey(p);
        if (k >= 0) {
            set(coordinate(p, 0), d[k]);
            set(coordinate(p, 1), d[k + 1]);
        } else {
            set(coordinate(p, 0), d.analysis.value[static_cast<std::size_t>(innerKey(p))]);
            set(coordinate(p, 1), d.analysis.value[static_cast<std::size_t>(innerKey(p) + 1)]);
        }
        name(p)->clear();
    }
    const auto letters = chain::designOf(d).value_or(std::string());
    for (int p = 0; p < 6; ++p) {
        const int k = coordinateKey(p);
        knownBox(p)->setChecked(k >= 0 && d.has(k) &&
                                letters.find(kLabelText[static_cast<std::size_t>(p)][0]) == std::string::npos);
    }
    for (int k = chain::key::ta; k <= chain::key::qb; ++k)
        set(angle(k), d[k]);
    // The names and, from a computed chain, the points to be determined at
    // their classic coordinates.
    const int caseNo = computed ? computed->caseNo : chain::caseOf(chain::designView(d));
    for (int i = 0; i < 6 && caseNo >= 1 && caseNo <= 12; ++i) {
        const int p = chain::routeLabel(caseNo, i);
        if (d.has(chain::key::pn(i)))
            name(p)->setText(u(*d[chain::key::pn(i)]));
        const auto at = static_cast<std::size_t>(i);
        if (computed && !knownBox(p)->isChecked() && at < computed->X.size() && at < computed->Y.size()) {
            coordinate(p, 0)->setText(u(chain::shortestText(std::round(computed->X[at] * 1000) / 1000)));
            coordinate(p, 1)->setText(u(chain::shortestText(std::round(computed->Y[at] * 1000) / 1000)));
        }
    }
    set(sigma(0), d.analysis.value[chain::AnalysisKeys::sigma_a]);
    set(sigma(1), d.analysis.value[chain::AnalysisKeys::sigma_b]);
    const auto &g = d.analysis.value[chain::AnalysisKeys::grade];
    grade_->setCurrentIndex(std::max(0, grade_->findData(g ? u(*g) : QString())));
}

chain::DataSet DesignForm::dataSet() const
{
    chain::DataSet d;
    auto text = [](const QLineEdit *e) -> std::optional<std::string> {
        const QString t = e->text().trimmed();
        return t.isEmpty() ? std::nullopt : std::optional<std::string>(t.toStdString());
    };
    std::string letters;
    for (int p = 0; p < 6; ++p) {
        const int k = coordinateKey(p);
        if (k >= 0) {
            d[k] = text(coordinate(p, 0));
            d[k + 1] = text(coordinate(p, 1));
            if (!knownBox(p)->isChecked() && (d.has(k) || d.has(k + 1)))
                letters += std::string(" ") + kLabelText[static_cast<std::size_t>(p)];
        } else {
            d.analysis.value[static_cast<std::size_t>(innerKey(p))] = text(coordinate(p, 0));
            d.analysis.value[static_cast<std::size_t>(innerKey(p) + 1)] = text(coordinate(p, 1));
        }
    }
    for (int k = chain::key::ta; k <= chain::key::qb; ++k)
        d[k] = text(angle(k));
    d.analysis.value[chain::AnalysisKeys::design] = "yes" + letters;
    d.analysis.value[chain::AnalysisKeys::sigma_a] = text(sigma(0));
    d.analysis.value[chain::AnalysisKeys::sigma_b] = text(sigma(1));
    const QString g = grade_->currentData().toString();
    if (!g.isEmpty())
        d.analysis.value[chain::AnalysisKeys::grade] = g.toStdString();
    // Names in the route order of the case the known points choose.
    const int caseNo = chain::caseOf(chain::designView(d));
    for (int i = 0; i < 6 && caseNo >= 1 && caseNo <= 12; ++i)
        d[chain::key::pn(i)] = text(name(chain::routeLabel(caseNo, i)));
    return d;
}

bool DesignForm::estimate()
{
    // The form's values pass the data file's checks, line by line, then as
    // a whole.
    const chain::DataSet typed = dataSet();
    chain::DataSet d;
    std::vector<chain::Problem> problems;
    for (int k = 0; k < chain::key::count; ++k) {
        if (!typed.has(k))
            continue;
        const std::string why = chain::valueProblem(k, *typed[k]);
        if (!why.empty())
            problems.push_back({chain::Problem::Value, k, 0, why});
        else
            d[k] = typed[k];
    }
    for (int k = 0; k < chain::AnalysisKeys::count; ++k)
        if (const auto &v = typed.analysis.value[static_cast<std::size_t>(k)])
            chain::readAnalysisKey(chain::analysisKeyName(k), *v, 0, d, problems);
    if (problems.empty())
        problems = chain::checkWholeDataSet(d);
    run_.reset();
    if (!problems.empty()) {
        QString s = u("不能估算：");
        for (const chain::Problem &p : problems)
            s += u("\n• ") + (p.key >= 0 ? u(chain::keyLabel(p.key)) + u("：") : QString()) + u(p.text);
        status_->setStyleSheet(QStringLiteral("color: #a01010;"));
        status_->setText(s);
        view_->showRun(nullptr);
        return false;
    }
    run_.emplace();
    chain::analyseDesign(*run_, d);
    if (!run_->engine) {
        status_->setStyleSheet(QStringLiteral("color: #a01010;"));
        status_->setText(u("不能估算：") + u(run_->analysisMessage));
        view_->showRun(&*run_);
        return false;
    }
    status_->setStyleSheet(QStringLiteral("color: #1d6b1d;"));
    status_->setText(u("情形 ") + QString::number(run_->caseNo) + u("（") + u(chain::caseNeeds(run_->caseNo)) + u("）。"));
    view_->showRun(&*run_);
    return true;
}

} // namespace chain::gui
