// The data table: every input of one computation in one form (the points,
// the angles, the names, the sides), checked as it is typed. OK hands the
// values on as a data set, which Compute answers its prompts from.
#pragma once

#include "app/chainfile.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace chain::gui {

class SettingsEditor;

class DataTable : public QDialog {
    Q_OBJECT
public:
    // The form filled with `initial` (the values of the last computation).
    explicit DataTable(const chain::DataSet &initial, QWidget *parent = nullptr);

    // The values as typed; those the prompts would not ask are left out.
    // The analysis settings and the report header come with them as their
    // data-file keys.
    chain::DataSet dataSet() const;
    // What keeps OK from computing, empty when the data can be computed.
    const std::vector<chain::Problem> &problems() const { return problems_; }

    // The edit of a key (object name: the key, "xa", "S11").
    QLineEdit *edit(int key) const { return edits_[static_cast<std::size_t>(key)]; }
    QPushButton *okButton() const { return ok_; }
    // The instrument accuracy, grade and report header.
    SettingsEditor *settingsEditor() const { return settings_; }
    QLabel *statusLabel() const { return status_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *makeEdit(int key, int chars);
    void revalidate();

    std::array<QLineEdit *, chain::key::count> edits_{};
    std::vector<chain::Problem> problems_;
    QPushButton *ok_ = nullptr;
    SettingsEditor *settings_ = nullptr;
    QLabel *status_ = nullptr;
};

} // namespace chain::gui
