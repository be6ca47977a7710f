// The main window Form2: the two diagrams, the echo and result
// fields, the three buttons; it owns the computation record and
// is the text sink the Compute command writes the fields through.
//
// The form keeps its layout in twips; it sits in a scroll area and is
// drawn at a zoom (fit to the window by default), so that it works on small
// screens and at any display scaling. A status bar tells the case of the
// computation shown and why it was chosen.
#pragma once

#include "adjust/record.h"
#include "app/sink.h"
#include "app/adjustmentreport.h"
#include "app/analysisout.h"
#include "app/dialogue.h"
#include "prompttarget.h"

#include <QFont>
#include <QMainWindow>
#include <QRect>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QScrollArea;

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
    // The form with the diagrams, fields, captions and buttons.
    QWidget *form() const { return form_; }
    QScrollArea *scrollArea() const { return scroll_; }

    // The prompts of Compute; nullptr restores the real QInputDialog. The
    // window does not own a substituted prompter.
    void setPrompter(chain::Prompter *prompter);
    // The field the open prompt asks for or confirms (marked with a frame,
    // kept clear of the prompt dialog); nullptr between prompts.
    QLineEdit *askedField() const { return asked_; }

    // Twips of the form to pixels at the screen's logical DPI and the zoom.
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    // The zoom of the form (1: its size in twips). setZoom turns fitting
    // to the window off; fitting chooses the zoom at which the whole form
    // fits, between minFitZoom() and kMaxFit, and scrolls below that.
    static constexpr qreal kMinZoom = 0.5, kMaxZoom = 3.0, kMinFit = 0.7, kMaxFit = 2.0;
    // kMinFit at one device pixel per pixel, less on denser screens.
    qreal minFitZoom() const;
    qreal zoom() const { return zoom_; }
    void setZoom(qreal zoom);
    bool fitsToWindow() const { return fit_; }
    void setFitToWindow(bool fit);

    // The status bar's text: the case of the computation shown and why
    // (the known points, the angles given), or why nothing was computed.
    QLabel *caseStatus() const { return caseStatus_; }

    // The rigorous analysis of the computation shown, made after every
    // computation with the adjustment settings: nullptr when the window
    // shows no computed case; a run without an engine says why.
    const chain::AnalysisRun *analysis() const { return analysis_ ? &*analysis_ : nullptr; }
    // The status bar's summary of it beside the case: σ̂0, the weakest
    // point, the sides that may hold a blunder, the grade's verdict; empty
    // when there is no analysis.
    QLabel *analysisStatus() const { return analysisStatus_; }

    // The results shown, as tab-separated lines for a spreadsheet; empty
    // when the window shows no computed case.
    QString resultsText() const;

    // The report of the record on a printer that is already set up; a
    // failure is shown in a message box. Command3_Click ends in it.
    bool printTo(QPrinter &printer);

    // The adjustment report (平差报告) of the record: the analysis options
    // and header of the data file last opened, kept for the next prints.
    // New settings analyse the computation shown again.
    void setAdjustmentSettings(const chain::AdjustmentSettings &s);
    const chain::AdjustmentSettings &adjustmentSettings() const { return adjustmentSettings_; }
    bool printAdjustmentTo(QPrinter &printer);

public slots:
    void Command1_Click(); // 计 算: the questions, the case and its adjustment
    void Command2_Click(); // 结 束: ends at once
    void Command3_Click(); // 打 印: the printed report

signals:
    // End was pressed: the program ends (the application quits on it).
    void ended();
    // A Compute command ended with this chain::Outcome (a cancelled one
    // too, after the window was put back as it was).
    void computeFinished(int outcome);
    void zoomChanged(qreal zoom, bool fit);
    // The analysis (analysis()) was made again or removed.
    void analysisChanged();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class AskingPrompter;
    // A control of the form: its place in twips and its font at zoom 1.
    struct Placed {
        QWidget *widget;
        QRect twips;
        QFont font;
        bool diagram;
    };

    void buildForm();
    QLabel *caption(const char *text, int left, int top, int width, bool song = false,
                    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, bool heading = false);
    QLineEdit *textField(const std::string &name, int left, int top, int width);
    QPushButton *commandButton(const char *name, const char *text, int left);
    void place(QWidget *widget, const QRect &twips, const QFont &font, bool diagram = false);
    void position(const Placed &p);
    void applyZoom(qreal zoom);
    void fitZoom();
    void sizeToScreen();
    void markAsked(QLineEdit *field);
    QRect askedRect() const;
    void showOutcome(int outcome);
    void warn(const QString &message);
    void reanalyse();

    chain::Record record_;
    std::unique_ptr<QtPrompter> qtPrompter_;
    chain::Prompter *prompter_ = nullptr;
    std::unique_ptr<AskingPrompter> asking_;
    PromptTarget target_;
    QLineEdit *asked_ = nullptr;
    std::map<std::string, QLineEdit *, std::less<>> fields_;
    std::vector<Placed> placed_;
    QPushButton *buttons_[3] = {};
    ChainDiagram *diagrams_[2] = {};
    QScrollArea *scroll_ = nullptr;
    QWidget *form_ = nullptr;
    QLabel *caseStatus_ = nullptr;
    QLabel *analysisStatus_ = nullptr;
    std::optional<chain::AnalysisRun> analysis_;
    double dpiX_ = 96, dpiY_ = 96;
    qreal zoom_ = 1;
    bool fit_ = true;
    bool sized_ = false;
    bool busy_ = false;
    chain::AdjustmentSettings adjustmentSettings_;
};

} // namespace chain::gui
