// The main window Form2: the two diagrams, the echo and result
// fields, the three buttons; it owns the computation record and
// is the text sink the Compute command writes the fields through.
#pragma once

#include "adjust/record.h"
#include "adjust/sink.h"
#include "app/adjustmentreport.h"
#include "app/dialogue.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace chain::gui {

class ChainDiagram;
class QtPrompter;

class Form2 : public QMainWindow, public chain::TextSink {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);
    ~Form2() override;

    // TextSink: the text of the field named `control` ("Text9(3)"). Throws
    // std::logic_error for a name the window does not have.
    void setText(std::string_view control, std::string_view text) override;

    const chain::Record &record() const { return record_; }
    // The field named `control`, nullptr when there is none.
    QLineEdit *field(std::string_view control) const;
    QPushButton *button(int n) const; // Command1..Command3
    ChainDiagram *diagram(int n) const; // 1 "(示图一)", 2 "(示图二)"

    // The prompts of Compute; nullptr restores the real QInputDialog. The
    // window does not own a substituted prompter.
    void setPrompter(chain::Prompter *prompter);

    // Twips of the form to pixels at the screen's logical DPI.
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    // The report of the record on a printer that is already set up; a
    // failure is shown in a message box. Command3_Click ends in it.
    bool printTo(QPrinter &printer);

    // The adjustment report (平差报告) of the record: the analysis options
    // and header of the data file last opened, kept for the next prints.
    void setAdjustmentSettings(const chain::AdjustmentSettings &s) { adjustmentSettings_ = s; }
    const chain::AdjustmentSettings &adjustmentSettings() const { return adjustmentSettings_; }
    bool printAdjustmentTo(QPrinter &printer);

public slots:
    void Command1_Click(); // 计 算: the questions, the case and its adjustment
    void Command2_Click(); // 结 束: ends at once
    void Command3_Click(); // 打 印: the printed report

signals:
    // End was pressed: the program ends (the application quits on it).
    void ended();

private:
    void buildForm();
    QLabel *caption(const char *text, int left, int top, int width, bool song = false,
                    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, bool heading = false);
    QLineEdit *textField(const std::string &name, int left, int top, int width);
    QPushButton *commandButton(const char *name, const char *text, int left);
    void warn(const QString &message);

    chain::Record record_;
    std::unique_ptr<QtPrompter> qtPrompter_;
    chain::Prompter *prompter_ = nullptr;
    std::map<std::string, QLineEdit *, std::less<>> fields_;
    QPushButton *buttons_[3] = {};
    ChainDiagram *diagrams_[2] = {};
    QWidget *form_ = nullptr;
    double dpiX_ = 96, dpiY_ = 96;
    bool busy_ = false;
    chain::AdjustmentSettings adjustmentSettings_;
};

} // namespace chain::gui
