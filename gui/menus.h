// The menu bar of the main window: data files (open and compute, save),
// the report as PDF or text, printing, the data table, the help. Every
// computation goes through the window's own Compute command, its prompts
// answered from the data.
#pragma once

#include "app/adjustmentreport.h"
#include "app/chainfile.h"

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QDialog;
class QMenu;

namespace chain::gui {

class AnalysisWindow;
class DesignForm;
class Form2;

class Menus : public QObject {
    Q_OBJECT
public:
    // Builds the menu bar of `window`; the window owns the Menus.
    explicit Menus(Form2 &window);

    // Asks for a file name (the file dialogs; tests put their own here).
    // `save` for a file to write; empty for Cancel.
    using PathChooser = std::function<QString(const QString &title, const QString &filter, bool save,
                                              const QString &suggested, const QString &suffix)>;
    void setPathChooser(PathChooser chooser) { choosePath_ = std::move(chooser); }
    // Shows a warning (a message box; tests collect them).
    using Warner = std::function<void(const QString &message)>;
    void setWarner(Warner warner) { warn_ = std::move(warner); }
    const Warner &warner() const { return warn_; }

    // The action of that object name ("openData", "saveData", "exportPdf",
    // "exportText", "exportCsv", "exportDat", "exportXlsx", "exportDxf", "print", "quit", "dataTable",
    // "copyResults", "zoomFit", "zoomIn", "zoomOut", "zoomReset", "analysis", "design", "settings", "help",
    // "about").
    QAction *action(const char *name) const;

    // Reads the data file and computes from it; a file that cannot be used
    // is a warning and changes nothing.
    bool openAndCompute(const QString &path);
    // Computes from a data set through the window's Compute command.
    bool computeFrom(const chain::DataSet &data, const QString &source);
    // The values of the last computation as a data file; the report of the
    // record as PDF or as plain text. False after a warning.
    bool saveData(const QString &path);
    bool exportPdf(const QString &path);
    bool exportText(const QString &path);
    // 文件 → 导出: the points as CSV, the CASS coordinate file, the Excel
    // workbook or the DXF drawing of the last computation, analysed with
    // the window's analysis options (export/exports.h). False after a warning.
    enum class Export { Csv, Dat, Xlsx, Dxf };
    bool exportResults(Export kind, const QString &path);

    // The results in the window onto the clipboard, tab-separated; false
    // after a warning when there are none.
    bool copyResults();

    // The data table, filled from the last computation; OK computes.
    void showDataTable();
    // 工具 → 精度分析: the analysis window, following every computation.
    AnalysisWindow *showAnalysis();
    AnalysisWindow *analysisWindow() const;
    // 工具 → 精度预估: the design form, filled from the computation shown.
    DesignForm *showDesign();
    // 工具 → 设置…: the settings dialog; OK sets and remembers them.
    void showSettings();
    // Sets the analysis settings and report header of the window and
    // remembers them for the next session.
    void applySettings(const chain::AdjustmentSettings &s);
    // The data of the computation shown with the window's settings, as
    // 保存本次数据 writes them and the data table starts from.
    chain::DataSet currentData() const;
    void showHelp();
    void showAbout();

    // The text of 帮助 → 使用说明 (HTML).
    static QString helpHtml();

private:
    QAction *add(QMenu *menu, const char *name, const char *text, const QKeySequence &keys);
    bool needComputation(const char *what);
    bool needResults();
    QString choose(const QString &title, const QString &filter, bool save, const QString &suffix);

    Form2 &w_;
    PathChooser choosePath_;
    Warner warn_;
    QString lastFile_; // the data file last opened or saved
    QPointer<QDialog> help_;
    QPointer<AnalysisWindow> analysis_;
    QPointer<DesignForm> design_;
};

// Builds the menus of the window and, when the command line names a data
// file, computes from it once the window is shown.
Menus *installMenus(Form2 &window);

} // namespace chain::gui
