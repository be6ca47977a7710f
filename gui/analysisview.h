// The rigorous adjustment of one computation (or a pre-analysis) as tables
// and a figure: the new points with their precision and error ellipses, the
// sides with residuals, redundancy numbers, test statistics and MDB, the
// global test and the checks of a grade with 符合 / 超限, the note on the
// classic against the rigorous solution, and the figure of the network in
// which two clicked points show their relative precision. Tables sort by
// the numbers themselves and copy their selection as tab-separated text.
#pragma once

#include "analysis/engine.h"

#include <QTableWidget>
#include <QWidget>

#include <optional>
#include <string>

class QLabel;
class QSplitter;

namespace chain {
struct AnalysisRun;
}

namespace chain::gui {

class FigureWidget;

// A table whose cells sort by the number they show (Qt::UserRole) and whose
// selection Ctrl+C copies, tab-separated, a line per row; with every cell
// selected the header line comes first.
class AnalysisTable : public QTableWidget {
    Q_OBJECT
public:
    explicit AnalysisTable(QWidget *parent = nullptr);
    QString selectionText() const;
    void copySelection() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class AnalysisView : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisView(QWidget *parent = nullptr);

    // Shows the analysis of a run; a run without an engine (or nullptr)
    // shows why there is none and empty tables.
    void showRun(const chain::AnalysisRun *run);
    bool hasAnalysis() const { return engine_.has_value(); }

    AnalysisTable *pointTable() const { return points_; }
    AnalysisTable *sideTable() const { return sides_; }
    AnalysisTable *checkTable() const { return checks_; }
    QLabel *summaryLabel() const { return summary_; }
    QLabel *noteLabel() const { return note_; }
    QLabel *pairLabel() const { return pair_; }
    FigureWidget *figureWidget() const { return figure_; }
    // Tables on the left, the figure on the right.
    QSplitter *splitter() const { return split_; }

    // Column of a header text in a table, -1 when it has none.
    static int columnOf(const QTableWidget *table, const QString &header);

public slots:
    // Asks where to write the figure (PNG, SVG or PDF) and writes it.
    void exportFigure();
    void showPair(int from, int to);

private:
    void fillPoints(const analysis::Analysis &a);
    void fillSides(const analysis::Analysis &a);
    void fillChecks(const analysis::Analysis &a);

    std::optional<analysis::Engine> engine_;
    bool design_ = false;
    AnalysisTable *points_ = nullptr, *sides_ = nullptr, *checks_ = nullptr;
    QLabel *summary_ = nullptr, *note_ = nullptr, *pair_ = nullptr;
    FigureWidget *figure_ = nullptr;
    QSplitter *split_ = nullptr;
};

} // namespace chain::gui
