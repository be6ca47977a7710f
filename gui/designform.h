// 工具 → 精度预估: the design of a chain before anything is measured. The
// approximate coordinates of the six points, which of the end points are
// known, the orientation angles where the case takes them, the instrument
// accuracy and the grade; 估 算 shows the precision and reliability the
// chain would have (the same tables and figure as the analysis, without
// residuals and tests).
#pragma once

#include "app/analysisout.h"
#include "app/chainfile.h"

#include <QWidget>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace chain::gui {

class AnalysisView;

class DesignForm : public QWidget {
    Q_OBJECT
public:
    explicit DesignForm(QWidget *parent = nullptr);

    // Fills the form from a data set: coordinates and names of a computed
    // chain (the classic coordinates become the approximations), or a
    // design data set as read from a file.
    void setData(const chain::DataSet &d, const chain::Record *computed = nullptr);
    // The form as a design data set (design = yes with the end points to be
    // determined).
    chain::DataSet dataSet() const;

    // Checks the form and estimates; false with the problems shown when it
    // cannot be estimated.
    bool estimate();
    const std::optional<chain::AnalysisRun> &run() const { return run_; }

    AnalysisView *view() const { return view_; }
    QLabel *statusLabel() const { return status_; }
    // The edit of a point's coordinate (label 0..5 as analysis::Label, axis
    // 0 x, 1 y), its name, its known box (A, C, D, B only).
    QLineEdit *coordinate(int label, int axis) const;
    QLineEdit *name(int label) const;
    QCheckBox *knownBox(int label) const;
    QLineEdit *angle(int k) const; // chain::key::ta .. qb
    QLineEdit *sigma(int i) const; // 0 a (mm), 1 b (ppm)
    QComboBox *gradeBox() const { return grade_; }

private:
    std::array<std::array<QLineEdit *, 2>, 6> coord_{};
    std::array<QLineEdit *, 6> name_{};
    std::array<QCheckBox *, 6> known_{};
    std::array<QLineEdit *, 4> angle_{};
    std::array<QLineEdit *, 2> sigma_{};
    QComboBox *grade_ = nullptr;
    QLabel *status_ = nullptr;
    AnalysisView *view_ = nullptr;
    std::optional<chain::AnalysisRun> run_;
};

} // namespace chain::gui
