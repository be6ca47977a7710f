// The settings of the precision analysis and of the adjustment report: the
// instrument accuracy (a mm + b ppm), the accuracy of the orientation
// angles, the grade, and the report header (project, operator, instrument,
// date). Edited in the data table and in 工具 → 设置…, kept as the data
// file's keys (sigma_a .. grade, project .. date) and remembered between
// sessions.
#pragma once

#include "app/adjustmentreport.h"
#include "app/chainfile.h"

#include <QDialog>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace chain::gui {

// The eight values as a form, checked as they are typed with the data
// file's own rules.
class SettingsEditor : public QWidget {
    Q_OBJECT
public:
    explicit SettingsEditor(QWidget *parent = nullptr);

    void setSettings(const chain::AdjustmentSettings &s);
    // The values as typed; meaningful when problems() is empty.
    chain::AdjustmentSettings settings() const;
    // What is wrong with the values, one message each (Chinese); empty when
    // they can be used.
    QStringList problems() const;

    // The edit of an analysis key (sigma_a, sigma_b, sigma_q) or of a header
    // key, by the key's name; the grade is a combo box.
    QLineEdit *edit(const char *keyName) const;
    QComboBox *gradeBox() const { return grade_; }

signals:
    void changed();

private:
    // The values as data-file keys, with what is wrong with them.
    chain::DataSet keys(QStringList *problems) const;
    void revalidate();

    std::array<QLineEdit *, 3> sigma_{};
    std::array<QLineEdit *, chain::HeaderKeys::count> header_{};
    QComboBox *grade_ = nullptr;
};

// 工具 → 设置…: the editor with OK and Cancel; OK only with usable values.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(const chain::AdjustmentSettings &initial, QWidget *parent = nullptr);
    SettingsEditor *editor() const { return editor_; }
    chain::AdjustmentSettings settings() const;

private:
    SettingsEditor *editor_ = nullptr;
    QLabel *status_ = nullptr;
};

// The settings remembered between sessions (QSettings), checked as a data
// file's keys are: a value that would not be accepted there is dropped.
chain::AdjustmentSettings rememberedSettings();
void rememberSettings(const chain::AdjustmentSettings &s);

} // namespace chain::gui
