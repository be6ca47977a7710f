#include "datatable.h"

#include "app/number.h"
#include "qtprompter.h"
#include "settings.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace chain::gui {
namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString u(const std::string &s) { return QString::fromStdString(s); }

const char *const kSideEnds[12] = {"",      "A–C (1)", "C–E (1–2)", "A–E (2)", "E–F (2–3)", "A–F (3)",
                                   "C–F (1–3)", "E–D (2–4)", "F–D (3–4)", "D–B (4)", "F–B (3)", "E–B (2)"};

// Both coordinates of point p (0 A, 1 B, 2 C, 3 D) typed and not zero.
bool known(const chain::DataSet &d, int p)
{
    if (!d.has(2 * p) || !d.has(2 * p + 1))
        return false;
    const auto x = chain::parseNumber(*d[2 * p]), y = chain::parseNumber(*d[2 * p + 1]);
    return x && y && chain::isKnown(*x, *y);
}

// Why a value is not asked, shown in its empty edit.
QString notAskedHint(const chain::DataSet &d, int key)
{
    if (key == chain::key::S(1))
        return u("由 A、C 座标计算");
    if (key == chain::key::S(9))
        return u("由 B、D 座标计算");
    const bool start = key == chain::key::ta || key == chain::key::qa;
    const bool both = start ? known(d, 0) && known(d, 2) : known(d, 1) && known(d, 3);
    return both ? u("两点已知，不需要") : u("这一端须恰有一个已知点");
}

const char *kInvalid = "QLineEdit { background-color: #ffd9d9; }";
const char *kMissing = "QLineEdit { background-color: #fff2c2; }";

} // namespace

DataTable::DataTable(const chain::DataSet &initial, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DataTable"));
    setWindowTitle(u("数据表 — ") + appTitle());
    setModal(true);

    auto *intro = new QLabel(u("在表中填写本次计算的全部数据，按“计 算”后与逐项提问的输入完全相同地计算。"
                               "待定点的座标不填；角度按 d.mmss 填写（47°30′45″ 写作 47.3045）。"),
                             this);
    intro->setWordWrap(true);

    // Known points, in the order the prompts ask them.
    auto *points = new QGroupBox(u("已知点座标（米）"), this);
    auto *pg = new QGridLayout(points);
    pg->addWidget(new QLabel(u("纵座标 x"), points), 0, 1, Qt::AlignHCenter);
    pg->addWidget(new QLabel(u("横座标 y"), points), 0, 2, Qt::AlignHCenter);
    const char *pointCaption[4] = {"A 起始点", "B 闭合点", "C 起始点 (1)", "D 闭合点 (4)"};
    for (int p = 0; p < 4; ++p) {
        auto *label = new QLabel(u(pointCaption[p]), points);
        pg->addWidget(label, p + 1, 0);
        QLineEdit *x = makeEdit(2 * p, 14);
        label->setBuddy(x);
        pg->addWidget(x, p + 1, 1);
        pg->addWidget(makeEdit(2 * p + 1, 14), p + 1, 2);
    }

    auto *angles = new QGroupBox(u("外方位角与定向角（d.mmss）"), this);
    auto *av = new QVBoxLayout(angles);
    auto *af = new QFormLayout;
    av->addLayout(af);
    const char *angleCaption[4] = {"起始方位角 Ta（A 或 C 点）", "起始定向角 Qa", "闭合方位角 Tb（B 或 D 点）",
                                   "闭合定向角 Qb"};
    for (int i = 0; i < 4; ++i)
        af->addRow(u(angleCaption[i]), makeEdit(chain::key::ta + i, 14));
    auto *angleNote = new QLabel(u("只在恰有一个已知点的一端填写。定向角由外方向顺时针转至 S1（闭合端由 S9 转至外方向）为正，"
                                   "逆时针为负；零方位角填 0.00000001。"),
                                 angles);
    angleNote->setWordWrap(true);
    av->addWidget(angleNote); // not a form row: a form gives a wrapped row too little height

    auto *names = new QGroupBox(u("点名"), this);
    auto *nf = new QFormLayout(names);
    const char *nameCaption[6] = {"起算点", "P1", "P2", "P3", "P4", "闭合点"};
    for (int i = 0; i < 6; ++i)
        nf->addRow(u(nameCaption[i]), makeEdit(chain::key::pn(i), 10));

    auto *sides = new QGroupBox(u("观测边长（米）"), this);
    auto *sf = new QFormLayout(sides);
    for (int i = 1; i <= 11; ++i)
        sf->addRow(QString("S%1  %2").arg(i).arg(u(kSideEnds[i])), makeEdit(chain::key::S(i), 12));

    auto *left = new QVBoxLayout;
    left->addWidget(points);
    left->addWidget(angles);
    left->addStretch(1);
    settings_ = new SettingsEditor(this);
    settings_->setSettings(chain::adjustmentSettingsOf(initial));
    connect(settings_, &SettingsEditor::changed, this, &DataTable::revalidate);
    auto *middle = new QVBoxLayout;
    middle->addWidget(names);
    middle->addWidget(settings_);
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(sides);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 5);
    columns->addLayout(middle, 3);
    columns->addLayout(right, 3);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 5 + 4);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(u("计 算"));
    ok_->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(u("取 消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(columns);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    // Tab runs through the values in the order of the prompts, then OK, Cancel.
    for (int k = 1; k < chain::key::count; ++k)
        setTabOrder(edits_[static_cast<std::size_t>(k - 1)], edits_[static_cast<std::size_t>(k)]);
    // The analysis settings and the header after the sides.
    QWidget *last = edits_.back();
    for (QWidget *w : settings_->findChildren<QWidget *>()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            setTabOrder(last, w);
            last = w;
        }
    }
    setTabOrder(last, ok_);
    setTabOrder(ok_, buttons->button(QDialogButtonBox::Cancel));

    for (int k = 0; k < chain::key::count; ++k)
        if (initial.has(k))
            edits_[static_cast<std::size_t>(k)]->setText(u(*initial[k]));
    revalidate();
    edits_.front()->setFocus();
}

QLineEdit *DataTable::makeEdit(int key, int chars)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf8(chain::keyName(key)));
    e->setAccessibleName(u(chain::keyLabel(key)));
    e->setMinimumWidth(e->fontMetrics().averageCharWidth() * chars + 12);
    connect(e, &QLineEdit::textChanged, this, &DataTable::revalidate);
    edits_[static_cast<std::size_t>(key)] = e;
    return e;
}

chain::DataSet DataTable::dataSet() const
{
    chain::DataSet d;
    for (int k = 0; k < chain::key::count; ++k) {
        const QString t = edits_[static_cast<std::size_t>(k)]->text().trimmed();
        if (!t.isEmpty())
            d[k] = t.toStdString();
    }
    const auto use = chain::uses(d);
    for (int k = 0; k < chain::key::count; ++k)
        if (use[static_cast<std::size_t>(k)] == chain::Use::NotAsked)
            d[k].reset();
    if (settings_)
        chain::putAdjustmentSettings(d, settings_->settings());
    return d;
}

void DataTable::revalidate()
{
    chain::DataSet typed;
    for (int k = 0; k < chain::key::count; ++k) {
        const QString t = edits_[static_cast<std::size_t>(k)]->text().trimmed();
        if (!t.isEmpty())
            typed[k] = t.toStdString();
    }
    const auto use = chain::uses(typed);
    const chain::DataSet d = dataSet();
    problems_ = chain::checkDataSet(d);

    for (int k = 0; k < chain::key::count; ++k) {
        QLineEdit *e = edits_[static_cast<std::size_t>(k)];
        const bool asked = use[static_cast<std::size_t>(k)] != chain::Use::NotAsked;
        e->setEnabled(asked);
        e->setPlaceholderText(asked ? QString() : notAskedHint(typed, k));
        QString tip, style;
        for (const chain::Problem &p : problems_) {
            if (p.key != k)
                continue;
            tip = u(p.text);
            style = u(p.kind == chain::Problem::Missing ? kMissing : kInvalid);
            break;
        }
        e->setToolTip(tip);
        e->setStyleSheet(style);
    }

    // First whether the points and angles fit a case, as soon as they are
    // right, then what else is missing or wrong.
    bool pointsRight = true;
    for (const chain::Problem &p : problems_)
        pointsRight = pointsRight && !(p.key >= chain::key::xa && p.key <= chain::key::qb);
    const int n = pointsRight ? chain::caseOf(d) : 0;
    if (problems_.empty()) {
        status_->setStyleSheet(QStringLiteral("color: #1d6b1d;"));
        status_->setText(u("数据齐全，可以计算：情形 ") + QString::number(n) + u("（") + u(chain::caseNeeds(n)) + u("）。"));
    } else {
        QString s;
        if (n > 0)
            s = u("已知点和角度符合情形 ") + QString::number(n) + u("（") + u(chain::caseNeeds(n)) + u("）。");
        else if (pointsRight)
            s = u(chain::caseProblem(d));
        std::vector<const chain::Problem *> rest;
        for (const chain::Problem &p : problems_)
            if (p.kind != chain::Problem::NoCase)
                rest.push_back(&p);
        if (!rest.empty())
            s += (s.isEmpty() ? QString() : u("\n")) + u("还不能计算：");
        constexpr std::size_t kShown = 4;
        for (std::size_t i = 0; i < rest.size() && i < kShown; ++i) {
            const chain::Problem &p = *rest[i];
            s += u("\n• ") + (p.key >= 0 ? u(chain::keyLabel(p.key)) + u("：") : QString()) + u(p.text);
        }
        if (rest.size() > kShown)
            s += u("\n……另有 ") + QString::number(rest.size() - kShown) + u(" 处，见标色的格子（鼠标停在格子上可看说明）。");
        status_->setStyleSheet(QStringLiteral("color: #a01010;"));
        status_->setText(s);
    }
    // The analysis settings keep OK from computing while one is wrong.
    const QStringList wrong = settings_ ? settings_->problems() : QStringList();
    if (!wrong.isEmpty()) {
        status_->setStyleSheet(QStringLiteral("color: #a01010;"));
        status_->setText(status_->text() + u("\n精度分析与页眉：") + wrong.join(u("；")));
    }
    ok_->setEnabled(problems_.empty() && wrong.isEmpty());
}

void DataTable::keyPressEvent(QKeyEvent *event)
{
    // Enter while the data cannot be computed takes the cursor to the first
    // value that needs attention.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !ok_->isEnabled()) {
        for (const chain::Problem &p : problems_) {
            if (p.key >= 0 && edits_[static_cast<std::size_t>(p.key)]->isEnabled()) {
                edits_[static_cast<std::size_t>(p.key)]->setFocus();
                edits_[static_cast<std::size_t>(p.key)]->selectAll();
                break;
            }
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace chain::gui
