#include "analysisview.h"

#include "app/analysisout.h"
#include "base/fixed.h"
#include "figurewidget.h"
#include "report/adjreport.h"
#include "report/figuredata.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>

namespace chain::gui {
namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString u(const std::string &s) { return QString::fromStdString(s); }

// A cell that sorts by the number in Qt::UserRole; cells without one (a
// dash) sort after every number.
class Cell : public QTableWidgetItem {
public:
    explicit Cell(const QString &text) : QTableWidgetItem(text)
    {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant a = data(Qt::UserRole), b = other.data(Qt::UserRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        if (a.isValid() != b.isValid())
            return a.isValid();
        return text() < other.text();
    }
};

// A number with `decimals` decimals, right-aligned, sorting by its value; a
// dash when there is no finite value.
Cell *number(double v, int decimals, bool has = true)
{
    if (!has || !std::isfinite(v)) {
        auto *c = new Cell(u("—"));
        c->setTextAlignment(Qt::AlignCenter);
        return c;
    }
    auto *c = new Cell(QString::fromStdString(fixedDecimals(v, decimals)));
    c->setData(Qt::UserRole, v);
    c->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return c;
}

Cell *text(const QString &t, std::optional<double> key = std::nullopt)
{
    auto *c = new Cell(t);
    if (key)
        c->setData(Qt::UserRole, *key);
    return c;
}

void setColumns(AnalysisTable *t, const QStringList &headers)
{
    t->setSortingEnabled(false);
    t->clearSpans();
    t->clear();
    t->setColumnCount(static_cast<int>(headers.size()));
    t->setHorizontalHeaderLabels(headers);
    t->setRowCount(0);
}

void finish(AnalysisTable *t, bool sortable = true)
{
    t->resizeColumnsToContents();
    t->setSortingEnabled(sortable);
}

void markRow(QTableWidget *t, int row, const QColor &colour)
{
    for (int c = 0; c < t->columnCount(); ++c)
        if (QTableWidgetItem *item = t->item(row, c))
            item->setForeground(colour);
}

const QColor kFlagged(200, 0, 0);

} // namespace

AnalysisTable::AnalysisTable(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copy = new QAction(u("复制"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &AnalysisTable::copySelection);
    addAction(copy);
    auto *all = new QAction(u("全选"), this);
    connect(all, &QAction::triggered, this, &QTableWidget::selectAll);
    addAction(all);
}

QString AnalysisTable::selectionText() const
{
    const QModelIndexList sel = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (sel.isEmpty())
        return {};
    // The rows and columns touched, in the order they are shown.
    QList<int> rows, cols;
    for (const QModelIndex &i : sel) {
        const int r = verticalHeader()->visualIndex(i.row()), c = horizontalHeader()->visualIndex(i.column());
        if (!rows.contains(r))
            rows << r;
        if (!cols.contains(c))
            cols << c;
    }
    std::sort(rows.begin(), rows.end());
    std::sort(cols.begin(), cols.end());
    QStringList lines;
    if (sel.size() == rowCount() * columnCount()) {
        QStringList head;
        for (int c : cols)
            head << horizontalHeaderItem(horizontalHeader()->logicalIndex(c))->text();
        lines << head.join(QLatin1Char('\t'));
    }
    for (int r : rows) {
        QStringList cells;
        const int row = verticalHeader()->logicalIndex(r);
        for (int c : cols) {
            const int col = horizontalHeader()->logicalIndex(c);
            const QTableWidgetItem *item = this->item(row, col);
            cells << (item && selectionModel()->isSelected(model()->index(row, col)) ? item->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void AnalysisTable::copySelection() const
{
    const QString t = selectionText();
    if (!t.isEmpty())
        QGuiApplication::clipboard()->setText(t);
}

void AnalysisTable::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

AnalysisView::AnalysisView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("analysisView"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto caption = [this](const char *t) {
        auto *l = new QLabel(u(t), this);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    points_ = new AnalysisTable(this);
    points_->setObjectName(QStringLiteral("pointTable"));
    sides_ = new AnalysisTable(this);
    sides_->setObjectName(QStringLiteral("sideTable"));
    checks_ = new AnalysisTable(this);
    checks_->setObjectName(QStringLiteral("checkTable"));
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto box = [&](QLabel *head, QWidget *body, QWidget *extra = nullptr) {
        auto *w = new QWidget(this);
        auto *l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(2);
        l->addWidget(head);
        l->addWidget(body, 1);
        if (extra)
            l->addWidget(extra);
        return w;
    };
    auto *tables = new QSplitter(Qt::Vertical, this);
    tables->setObjectName(QStringLiteral("tableSplitter"));
    tables->setChildrenCollapsible(false);
    tables->addWidget(box(caption("待定点（座标 米；中误差、误差椭圆、与经典解之差 毫米）"), points_));
    tables->addWidget(box(caption("观测边（边长 米；改正数、中误差、MDB 毫米）"), sides_));
    tables->addWidget(box(caption("检验与限差"), checks_, note_));
    tables->setStretchFactor(0, 6);
    tables->setStretchFactor(1, 10);
    tables->setStretchFactor(2, 5);

    figure_ = new FigureWidget(this);
    figure_->setEmptyText(u("没有严密平差的结果，没有网图。"));
    pair_ = new QLabel(u("在图上先后单击两个点，显示它们的相对精度。"), this);
    pair_->setObjectName(QStringLiteral("pair"));
    pair_->setWordWrap(true);
    pair_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pair_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the pair's four lines: points, distance, azimuth, ellipse.
    pair_->setMinimumHeight(pair_->fontMetrics().lineSpacing() * 4 + 6);
    auto *fit = new QPushButton(u("全图(&A)"), this);
    fit->setObjectName(QStringLiteral("fitFigure"));
    auto *zoomIn = new QPushButton(u("放大"), this);
    auto *zoomOut = new QPushButton(u("缩小"), this);
    auto *save = new QPushButton(u("导出网图(&E)…"), this);
    save->setObjectName(QStringLiteral("exportFigure"));
    save->setToolTip(u("把网图导出为 PNG、SVG 或 PDF 文件"));
    connect(fit, &QPushButton::clicked, figure_, &FigureWidget::fit);
    connect(zoomIn, &QPushButton::clicked, figure_, [this] { figure_->zoomBy(1.25); });
    connect(zoomOut, &QPushButton::clicked, figure_, [this] { figure_->zoomBy(0.8); });
    connect(save, &QPushButton::clicked, this, &AnalysisView::exportFigure);
    connect(figure_, &FigureWidget::pairChosen, this, &AnalysisView::showPair);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(fit);
    buttons->addWidget(zoomIn);
    buttons->addWidget(zoomOut);
    buttons->addStretch(1);
    buttons->addWidget(save);
    auto *right = new QWidget(this);
    auto *rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(caption("网图"));
    rl->addWidget(figure_, 1);
    rl->addLayout(buttons);
    rl->addWidget(pair_);

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("viewSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(tables);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split_ = split;

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(summary_);
    layout->addWidget(split, 1);
    showRun(nullptr);
}

int AnalysisView::columnOf(const QTableWidget *table, const QString &header)
{
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->horizontalHeaderItem(c) && table->horizontalHeaderItem(c)->text() == header)
            return c;
    return -1;
}

void AnalysisView::showRun(const chain::AnalysisRun *run)
{
    engine_.reset();
    design_ = run && run->design;
    if (run && run->engine)
        engine_.emplace(*run->engine);
    pair_->setText(u("在图上先后单击两个点，显示它们的相对精度。"));
    if (!engine_) {
        summary_->setText(run && !run->analysisMessage.empty() ? u(run->analysisMessage)
                                                                : u("还没有计算结果，没有精度分析。请先计算。"));
        for (AnalysisTable *t : {points_, sides_, checks_}) {
            t->setSortingEnabled(false);
            t->setRowCount(0);
        }
        note_->clear();
        figure_->setFigure(std::nullopt);
        return;
    }
    const analysis::Analysis a = engine_->analyse();
    const analysis::Summary &m = a.summary;
    QString head = run->caseNo > 0 ? u("情形 ") + QString::number(run->caseNo) + u("　") : QString();
    head += design_ ? u("按近似座标和测距精度估计，没有观测值和改正数　") : QString();
    head += u("观测值 %1，未知数 %2，约束 %3，多余观测数 r = %4")
                .arg(m.observations)
                .arg(m.unknowns)
                .arg(m.constraints)
                .arg(m.redundancy);
    const std::string line = chain::analysisSummaryLine(*run);
    summary_->setText(head + (line.empty() ? QString() : u("\n") + u(line)));
    fillPoints(a);
    fillSides(a);
    fillChecks(a);
    note_->setText(design_ || run->caseNo < 1 ? QString() : u(chain::report::classicRigorousNote(run->caseNo)));
    note_->setVisible(!note_->text().isEmpty());
    figure_->setFigure(chain::report::NetworkFigure(chain::report::figureDataOf(*engine_)));
}

void AnalysisView::fillPoints(const analysis::Analysis &a)
{
    QStringList h = {u("点"), u("纵座标X"), u("横座标Y"), u("σx"), u("σy"), u("σP"), u("椭圆a"), u("椭圆b"), u("长轴方位角")};
    if (!design_)
        h << u("严密-经典dX") << u("dY");
    setColumns(points_, h);
    const analysis::Network &net = engine_->network();
    points_->setRowCount(static_cast<int>(a.points.size()));
    int r = 0;
    for (const analysis::PointResult &p : a.points) {
        int c = 0;
        points_->setItem(r, c++, text(u(analysis::pointText(net, p.label)), p.label));
        points_->setItem(r, c++, number(p.x, 4));
        points_->setItem(r, c++, number(p.y, 4));
        points_->setItem(r, c++, number(p.sx, 2, p.hasSigma));
        points_->setItem(r, c++, number(p.sy, 2, p.hasSigma));
        points_->setItem(r, c++, number(p.sp, 2, p.hasSigma));
        points_->setItem(r, c++, number(p.ellipse.a, 2, p.hasSigma));
        points_->setItem(r, c++, number(p.ellipse.b, 2, p.hasSigma));
        Cell *az = text(p.hasSigma ? u(chain::report::degreesText(p.ellipse.azimuth)) : u("—"));
        if (p.hasSigma && std::isfinite(p.ellipse.azimuth))
            az->setData(Qt::UserRole, p.ellipse.azimuth);
        az->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        points_->setItem(r, c++, az);
        if (!design_) {
            points_->setItem(r, c++, number(p.dxClassic, 2, p.hasClassic));
            points_->setItem(r, c++, number(p.dyClassic, 2, p.hasClassic));
        }
        if (a.summary.weakestPoint == p.label)
            points_->item(r, 0)->setToolTip(u("最弱点"));
        ++r;
    }
    finish(points_);
}

void AnalysisView::fillSides(const analysis::Analysis &a)
{
    const char *stat = a.summary.test == analysis::TestKind::Baarda ? "统计量w" : "统计量τ";
    QStringList h = {u("边")};
    if (!design_)
        h << u("观测边长");
    h << u("平差边长");
    if (!design_)
        h << u("改正数v");
    h << u("中误差") << u("相对中误差") << u("多余观测分量r");
    if (!design_)
        h << u(stat) << u("限值");
    h << u("标记") << u("MDB");
    setColumns(sides_, h);
    sides_->setRowCount(static_cast<int>(a.sides.size()));
    int r = 0;
    for (const analysis::SideResult &s : a.sides) {
        int c = 0;
        sides_->setItem(r, c++, text(QStringLiteral("S%1").arg(s.index), s.index));
        if (!design_)
            sides_->setItem(r, c++, number(s.observed, 4));
        sides_->setItem(r, c++, number(s.adjusted, 4));
        if (!design_)
            sides_->setItem(r, c++, number(s.residual, 2));
        sides_->setItem(r, c++, number(s.sigma, 2, s.hasSigma));
        // 1/T sorts by the relative error itself: the weakest side first.
        const bool hasT = s.relative > 0 && std::isfinite(s.relative);
        Cell *rel = text(hasT ? u("1/") + QString::number(s.relative, 'f', 0) : u("—"));
        if (hasT)
            rel->setData(Qt::UserRole, 1.0 / s.relative);
        rel->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sides_->setItem(r, c++, rel);
        sides_->setItem(r, c++, number(s.redundancy, 3));
        if (!design_) {
            sides_->setItem(r, c++, number(s.statistic, 2, s.hasTest));
            sides_->setItem(r, c++, number(s.critical, 2, s.hasTest));
        }
        QStringList flags;
        if (s.flagged && !design_)
            flags << u("可能有粗差");
        if (s.barelyChecked)
            flags << u("几乎没有检核");
        sides_->setItem(r, c++, text(flags.isEmpty() ? u("—") : flags.join(u("，"))));
        sides_->setItem(r, c++, number(s.mdb, 1, s.hasMdb));
        if (s.flagged && !design_)
            markRow(sides_, r, kFlagged);
        ++r;
    }
    finish(sides_);
}

void AnalysisView::fillChecks(const analysis::Analysis &a)
{
    setColumns(checks_, {u("项目"), u("数值"), u("限值"), u("结论")});
    int r = 0;
    auto add = [&](const QString &item, Cell *value, const QString &limit, bool passed, const QString &verdict) {
        checks_->insertRow(r);
        checks_->setItem(r, 0, text(item));
        checks_->setItem(r, 1, value);
        checks_->setItem(r, 2, text(limit));
        checks_->setItem(r, 3, text(verdict, passed ? 1 : 0));
        if (!passed)
            markRow(checks_, r, kFlagged);
        ++r;
    };
    const analysis::Summary &m = a.summary;
    if (m.sigma0 && std::isfinite(*m.sigma0))
        add(u("单位权中误差 σ̂0") + (engine_->network().accuracy ? QString() : u("（毫米）")), number(*m.sigma0, 3), u("—"),
            true, u("—"));
    if (m.globalTest) {
        const auto &g = *m.globalTest;
        add(u("整体检验 vᵀPv（χ²，5%）"), number(g.statistic, 3),
            QStringLiteral("[%1, %2]").arg(g.lower, 0, 'f', 3).arg(g.upper, 0, 'f', 3), g.passed,
            g.passed ? u("通过") : u("不通过"));
    } else if (!design_) {
        checks_->insertRow(r);
        checks_->setItem(r, 0, text(m.redundancy > 0 ? u("整体检验：没有先验测距精度，不进行")
                                                     : u("整体检验：没有多余观测，不进行")));
        checks_->setSpan(r, 0, 1, checks_->columnCount());
        ++r;
    }
    if (a.grade && a.grade->limits) {
        for (const analysis::GradeCheck &c : a.grade->checks)
            add(u(a.grade->limits->name) + u("：") + u(c.item), number(c.value, c.value > 1000 ? 0 : 2),
                QString::number(c.limit, 'f', 0), c.passed, c.passed ? u("符合") : u("超限"));
    } else {
        checks_->insertRow(r);
        checks_->setItem(r, 0, text(u("没有设定等级，不检查限差（工具 → 设置…）")));
        checks_->setSpan(r, 0, 1, checks_->columnCount());
        ++r;
    }
    // The checks keep their order (and their rows spanning the table).
    finish(checks_, false);
    // A message across the table is not counted when the columns are fitted:
    // the first column grows until it shows whole.
    int others = 0;
    for (int c = 1; c < checks_->columnCount(); ++c)
        others += checks_->columnWidth(c);
    for (int row = 0; row < checks_->rowCount(); ++row)
        if (checks_->columnSpan(row, 0) > 1 && checks_->item(row, 0))
            checks_->setColumnWidth(0, std::max(checks_->columnWidth(0),
                                                checks_->fontMetrics().horizontalAdvance(checks_->item(row, 0)->text()) +
                                                    16 - others));
}

void AnalysisView::showPair(int from, int to)
{
    if (!engine_ || from < 0 || to < 0 || from >= analysis::kPoints || to >= analysis::kPoints || from == to)
        return;
    std::string t = chain::betweenText(*engine_, from, to);
    while (!t.empty() && t.back() == '\n')
        t.pop_back();
    pair_->setText(u(t));
}

void AnalysisView::exportFigure()
{
    if (!figure_->figure()) {
        QMessageBox::warning(this, windowTitle(), u("没有可导出的网图：还没有严密平差的结果。"));
        return;
    }
    QString selected;
    const QString path = QFileDialog::getSaveFileName(this, u("导出网图"), QString(),
                                                      u("PNG 图像 (*.png);;SVG 矢量图 (*.svg);;PDF 文件 (*.pdf)"), &selected);
    if (path.isEmpty())
        return;
    QString file = path;
    if (QFileInfo(file).suffix().isEmpty())
        file += selected.contains(u("svg")) ? u(".svg") : selected.contains(u("pdf")) ? u(".pdf") : u(".png");
    QString error;
    if (!figure_->exportTo(file, &error))
        QMessageBox::warning(this, windowTitle(), error.isEmpty() ? u("网图没有导出。") : error);
}

} // namespace chain::gui
