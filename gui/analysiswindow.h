// 工具 → 精度分析: the analysis of the computation the main window shows, in
// a window of its own that stays open beside it (not modal), follows every
// computation and remembers where it was put.
#pragma once

#include <QWidget>

namespace chain {
struct AnalysisRun;
}

namespace chain::gui {

class AnalysisView;

class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by `parent`.
    explicit AnalysisWindow(QWidget *parent = nullptr);
    AnalysisView *view() const { return view_; }
    void showRun(const chain::AnalysisRun *run);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    AnalysisView *view_ = nullptr;
    bool restored_ = false;
};

} // namespace chain::gui
