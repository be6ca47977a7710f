#include "menus.h"

#include "adjust/catalogue.h"
#include "app/atomicfile.h"
#include "export/exports.h"

#include "analysiswindow.h"
#include "datatable.h"
#include "designform.h"
#include "form2.h"
#include "settings.h"
#include "qtprompter.h"
#include "app/replies.h"
#include "report/printer.h"
#include "report/report.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryFile>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>
#include <stdexcept>

namespace chain::gui {
namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString u(const std::string &s) { return QString::fromStdString(s); }

const QString kDataFilter = QString::fromUtf8("数据文件 (*.chain);;所有文件 (*)");

// Restores the window's own prompt dialog when a computation from data ends.
struct ScriptedCompute {
    Form2 &w;
    ~ScriptedCompute() { w.setPrompter(nullptr); }
};

} // namespace

Menus::Menus(Form2 &window) : QObject(&window), w_(window)
{
    setObjectName(QStringLiteral("menus"));
    warn_ = [this](const QString &m) { QMessageBox::warning(&w_, appTitle(), m); };
    choosePath_ = [this](const QString &title, const QString &filter, bool save, const QString &suggested,
                         const QString &suffix) {
        QFileDialog dialog(&w_, title, suggested, filter);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };

    QMenuBar *bar = w_.menuBar();
    QMenu *file = bar->addMenu(u("文件(&F)"));
    file->setObjectName(QStringLiteral("fileMenu"));
    connect(add(file, "openData", "打开数据文件并计算…", QKeySequence::Open), &QAction::triggered, this, [this] {
        const QString path = choose(u("打开数据文件并计算"), kDataFilter, false, QString());
        if (!path.isEmpty())
            openAndCompute(path);
    });
    connect(add(file, "saveData", "保存本次数据…", QKeySequence::Save), &QAction::triggered, this, [this] {
        if (!needComputation("保存"))
            return;
        const QString path = choose(u("保存本次数据"), kDataFilter, true, QStringLiteral("chain"));
        if (!path.isEmpty())
            saveData(path);
    });
    file->addSeparator();
    connect(add(file, "exportPdf", "导出报告 (PDF)…", QKeySequence()), &QAction::triggered, this, [this] {
        if (!needResults())
            return;
        const QString path = choose(u("导出报告 (PDF)"), u("PDF 文件 (*.pdf)"), true, QStringLiteral("pdf"));
        if (!path.isEmpty())
            exportPdf(path);
    });
    connect(add(file, "exportText", "导出报告 (文本)…", QKeySequence()), &QAction::triggered, this, [this] {
        if (!needResults())
            return;
        const QString path = choose(u("导出报告 (文本)"), u("文本文件 (*.txt)"), true, QStringLiteral("txt"));
        if (!path.isEmpty())
            exportText(path);
    });
    // The results for other programs: spreadsheets, mapping and drawing.
    QMenu *exports = file->addMenu(u("导出(&E)"));
    exports->setObjectName(QStringLiteral("exportMenu"));
    struct ExportItem {
        const char *name, *text, *filter, *suffix;
        Export kind;
    };
    static const ExportItem items[] = {
        {"exportCsv", "座标与精度 (CSV)…", "CSV 文件 (*.csv)", "csv", Export::Csv},
        {"exportDat", "CASS 座标文件 (.dat)…", "CASS 座标文件 (*.dat)", "dat", Export::Dat},
        {"exportXlsx", "Excel 工作簿 (.xlsx)…", "Excel 工作簿 (*.xlsx)", "xlsx", Export::Xlsx},
        {"exportDxf", "DXF 图 (.dxf)…", "DXF 图 (*.dxf)", "dxf", Export::Dxf},
    };
    for (const ExportItem &item : items)
        connect(add(exports, item.name, item.text, QKeySequence()), &QAction::triggered, this, [this, &item] {
            if (!needResults())
                return;
            QString title = u(item.text);
            title.chop(1); // the ellipsis
            const QString path = choose(u("导出") + title, u(item.filter), true, QString::fromLatin1(item.suffix));
            if (!path.isEmpty())
                exportResults(item.kind, path);
        });
    connect(add(file, "print", "打印…", QKeySequence::Print), &QAction::triggered, &w_, &Form2::Command3_Click);
    file->addSeparator();
    connect(add(file, "quit", "退出", QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, &w_,
            &Form2::Command2_Click);

    QMenu *edit = bar->addMenu(u("编辑(&E)"));
    edit->setObjectName(QStringLiteral("editMenu"));
    QAction *table = add(edit, "dataTable", "数据表…", QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(table, &QAction::triggered, this, &Menus::showDataTable);
    QAction *copy = add(edit, "copyResults", "复制结果", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copy->setStatusTip(u("把全部结果作为制表符分隔的文本复制到剪贴板，可直接粘贴到电子表格"));
    connect(copy, &QAction::triggered, this, &Menus::copyResults);

    // The zoom of the form: fitted to the window unless set by hand.
    QMenu *view = bar->addMenu(u("查看(&V)"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QAction *fit = add(view, "zoomFit", "适合窗口", QKeySequence(Qt::CTRL | Qt::Key_9));
    fit->setCheckable(true);
    fit->setChecked(w_.fitsToWindow());
    connect(fit, &QAction::triggered, &w_, &Form2::setFitToWindow);
    connect(add(view, "zoomIn", "放大", QKeySequence::ZoomIn), &QAction::triggered, this,
            [this] { w_.setZoom(w_.zoom() * 1.1); });
    connect(add(view, "zoomOut", "缩小", QKeySequence::ZoomOut), &QAction::triggered, this,
            [this] { w_.setZoom(w_.zoom() / 1.1); });
    connect(add(view, "zoomReset", "实际大小", QKeySequence(Qt::CTRL | Qt::Key_0)), &QAction::triggered, this,
            [this] { w_.setZoom(1); });
    connect(&w_, &Form2::zoomChanged, fit, [fit](qreal, bool fits) { fit->setChecked(fits); });

    QMenu *toolsMenu = bar->addMenu(u("工具(&T)"));
    toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    QAction *analysis = add(toolsMenu, "analysis", "精度分析", QKeySequence(Qt::CTRL | Qt::Key_J));
    analysis->setStatusTip(u("严密平差的点位精度、误差椭圆、观测边的可靠性、检验与限差，以及网图"));
    connect(analysis, &QAction::triggered, this, &Menus::showAnalysis);
    connect(add(toolsMenu, "design", "精度预估…", QKeySequence()), &QAction::triggered, this, &Menus::showDesign);
    toolsMenu->addSeparator();
    connect(add(toolsMenu, "settings", "设置…", QKeySequence()), &QAction::triggered, this, &Menus::showSettings);
    connect(&w_, &Form2::analysisChanged, this, [this] {
        if (analysis_)
            analysis_->showRun(w_.analysis());
    });

    QMenu *help = bar->addMenu(u("帮助(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
    connect(add(help, "help", "使用说明", QKeySequence::HelpContents), &QAction::triggered, this, &Menus::showHelp);
    connect(add(help, "about", "关于", QKeySequence()), &QAction::triggered, this, &Menus::showAbout);

    // The tool bar: the data table first, the practical way to enter and
    // correct a chain; its 计 算 computes through the same prompts.
    QToolBar *tools = w_.addToolBar(u("工具栏"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->setMovable(false);
    tools->setIconSize(QSize(16, 16));
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    table->setIcon(w_.style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    table->setIconText(u("数据表（填写并计算）"));
    table->setToolTip(u("在一张表中填写或修改全部数据，然后计算 (Ctrl+T)"));
    tools->addAction(table);
    QAction *open = action("openData");
    open->setIcon(w_.style()->standardIcon(QStyle::SP_DialogOpenButton));
    open->setIconText(u("打开数据文件"));
    tools->addAction(open);
    tools->addSeparator();
    copy->setIcon(w_.style()->standardIcon(QStyle::SP_FileDialogContentsView));
    tools->addAction(copy);
    analysis->setIcon(w_.style()->standardIcon(QStyle::SP_FileDialogInfoView));
    analysis->setIconText(u("精度分析"));
    analysis->setToolTip(u("打开精度分析窗口：点位精度、误差椭圆、粗差检验与网图 (Ctrl+J)"));
    tools->addAction(analysis);
}

QAction *Menus::add(QMenu *menu, const char *name, const char *text, const QKeySequence &keys)
{
    QAction *a = menu->addAction(u(text));
    a->setObjectName(QString::fromUtf8(name));
    if (!keys.isEmpty())
        a->setShortcut(keys);
    return a;
}

QAction *Menus::action(const char *name) const
{
    return w_.menuBar()->findChild<QAction *>(QString::fromUtf8(name));
}

QString Menus::choose(const QString &title, const QString &filter, bool save, const QString &suffix)
{
    QString suggested;
    if (!lastFile_.isEmpty()) {
        const QFileInfo last(lastFile_);
        suggested = suffix.isEmpty() || suffix == QStringLiteral("chain")
                        ? last.absoluteFilePath()
                        : last.absolutePath() + u("/") + last.completeBaseName() + u(".") + suffix;
    }
    return choosePath_ ? choosePath_(title, filter, save, suggested, suffix) : QString();
}

bool Menus::needComputation(const char *what)
{
    if (hasComputation(w_.record()))
        return true;
    warn_(u("还没有计算，没有可") + u(what) + u("的数据。请先按“计 算”，或用“文件 → 打开数据文件并计算…”计算。"));
    return false;
}

bool Menus::computeFrom(const chain::DataSet &data, const QString &source)
{
    const std::vector<chain::Problem> problems = chain::checkDataSet(data);
    if (!problems.empty()) {
        warn_(u(chain::describeProblems(source.toStdString(), problems)));
        return false;
    }
    // The window's own Compute command, its prompts answered from the data.
    chain::ScriptedPrompter prompter(chain::repliesFor(data));
    ScriptedCompute restore{w_};
    w_.setPrompter(&prompter);
    w_.Command1_Click();
    return true;
}

bool Menus::openAndCompute(const QString &path)
{
    chain::DataSet data;
    try {
        data = chain::readDataFile(QFile::encodeName(path).toStdString());
    } catch (const chain::DataFileError &e) {
        warn_(QString::fromUtf8(e.what()));
        return false;
    }
    lastFile_ = path;
    // A file that gives analysis options or a report header sets them for
    // the window (its analysis and adjustment report); a file without them
    // keeps the settings the window has.
    bool gives = false;
    for (int k : {chain::AnalysisKeys::sigma_a, chain::AnalysisKeys::sigma_b, chain::AnalysisKeys::sigma_q,
                  chain::AnalysisKeys::grade})
        gives = gives || data.analysis.has(k);
    for (int k = 0; k < chain::HeaderKeys::count; ++k)
        gives = gives || data.header.has(k);
    if (gives)
        w_.setAdjustmentSettings(chain::adjustmentSettingsOf(data));
    return computeFrom(data, path);
}

bool Menus::saveData(const QString &path)
{
    if (!needComputation("保存"))
        return false;
    try {
        chain::writeDataFile(QFile::encodeName(path).toStdString(), currentData());
    } catch (const std::exception &e) {
        warn_(QString::fromUtf8(e.what()));
        return false;
    }
    lastFile_ = path;
    return true;
}

bool Menus::exportText(const QString &path)
{
    if (!needResults())
        return false;
    try {
        chain::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                   chain::report::renderText(chain::report::build(w_.record())));
    } catch (const std::exception &e) {
        warn_(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool Menus::exportPdf(const QString &path)
{
    if (!needResults())
        return false;
    // Rendered into the writer's temporary file beside the target, checked
    // and renamed over it.
    const chain::report::Model model = chain::report::build(w_.record());
    try {
        chain::writeFileAtomically(QFile::encodeName(path).toStdString(), [&](const std::string &tmp) -> std::string {
            QString error;
            if (!chain::report::writePdf(model, QFile::decodeName(tmp.c_str()), &error))
                return error.isEmpty() ? std::string("PDF 报告没有生成") : error.toStdString();
            return chain::pdfProblem(tmp);
        });
    } catch (const std::exception &e) {
        warn_(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool Menus::exportResults(Export kind, const QString &path)
{
    if (!needResults())
        return false;
    const chain::Record &rec = w_.record();
    chain::AnalysisRun run;
    run.rec = &rec;
    run.caseNo = rec.caseNo;
    run.outcome = "computed";
    if (const QLineEdit *title = w_.field("Text24"))
        run.title = title->text().toStdString();
    try {
        chain::analyseRecord(run, w_.adjustmentSettings().options);
        const std::string target = QFile::encodeName(path).toStdString();
        switch (kind) {
        case Export::Csv: chain::exporting::writeCsv(target, run); break;
        case Export::Dat: chain::exporting::writeDat(target, run); break;
        case Export::Xlsx: chain::exporting::writeXlsx(target, run, chain::dataOf(rec)); break;
        case Export::Dxf: chain::exporting::writeDxf(target, run); break;
        }
    } catch (const std::exception &e) {
        warn_(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

// Exports need results: a computation that did not compute exports nothing.
bool Menus::needResults()
{
    if (!needComputation("导出"))
        return false;
    if (chain::isCase(w_.record().caseNo))
        return true;
    warn_(u("最近一次计算没有完成，没有可导出的结果，没有写出文件。请改正数据后重新计算。"));
    return false;
}

bool Menus::copyResults()
{
    const QString text = w_.resultsText();
    if (text.isEmpty()) {
        warn_(u("窗口中还没有计算结果，没有可复制的内容。请先按“计 算”，或用“数据表”计算。"));
        return false;
    }
    QGuiApplication::clipboard()->setText(text);
    return true;
}

chain::DataSet Menus::currentData() const
{
    chain::DataSet d = chain::dataOf(w_.record());
    chain::putAdjustmentSettings(d, w_.adjustmentSettings());
    return d;
}

void Menus::showDataTable()
{
    DataTable table(currentData(), &w_);
    if (table.exec() == QDialog::Accepted) {
        const chain::DataSet data = table.dataSet();
        applySettings(chain::adjustmentSettingsOf(data));
        computeFrom(data, u("数据表"));
    }
}

void Menus::applySettings(const chain::AdjustmentSettings &s)
{
    w_.setAdjustmentSettings(s);
    rememberSettings(s);
}

AnalysisWindow *Menus::analysisWindow() const { return analysis_; }

AnalysisWindow *Menus::showAnalysis()
{
    if (!analysis_) {
        analysis_ = new AnalysisWindow(&w_);
        analysis_->showRun(w_.analysis());
    }
    analysis_->show();
    analysis_->raise();
    analysis_->activateWindow();
    return analysis_;
}

DesignForm *Menus::showDesign()
{
    if (!design_) {
        design_ = new DesignForm(&w_);
        chain::DataSet d = currentData();
        design_->setData(d, chain::hasComputation(w_.record()) && w_.record().caseNo >= 1 ? &w_.record() : nullptr);
    }
    design_->show();
    design_->raise();
    design_->activateWindow();
    return design_;
}

void Menus::showSettings()
{
    SettingsDialog dialog(w_.adjustmentSettings(), &w_);
    if (dialog.exec() == QDialog::Accepted)
        applySettings(dialog.settings());
}

void Menus::showHelp()
{
    if (!help_) {
        auto *d = new QDialog(&w_);
        d->setObjectName(QStringLiteral("help"));
        d->setWindowTitle(u("使用说明 — ") + appTitle());
        auto *text = new QTextBrowser(d);
        text->setObjectName(QStringLiteral("helpText"));
        text->setOpenLinks(false);
        text->setHtml(helpHtml());
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, d);
        buttons->button(QDialogButtonBox::Close)->setText(u("关 闭"));
        connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
        auto *layout = new QVBoxLayout(d);
        layout->addWidget(text);
        layout->addWidget(buttons);
        const int em = d->fontMetrics().averageCharWidth();
        d->resize(96 * em, 64 * d->fontMetrics().lineSpacing() / 2);
        help_ = d;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void Menus::showAbout()
{
    QMessageBox::about(&w_, u("关于 ") + appTitle(),
                       u("<p><b>二个连续四边形三边平差</b>　版本 ") + QStringLiteral("1.0") +
                           u("</p><p>两个连续大地四边形组成的三边网，按条件平差（等权），十二种计算情形。"
                             "计算观测边的平差值、各点的平差座标、单位权测边中误差和最弱点的点位精度。</p>"
                             "<p>数据可以逐项提问输入，也可以用数据表或数据文件输入；报告可以打印，或导出为 PDF 或文本。</p>"));
}

QString Menus::helpHtml()
{
    QString h;
    h += u("<h3>点的编号</h3>"
           "<p>链由两个大地四边形组成，共六个点、十一条边。起始端是 A 和 C（C 为 1 号点），中间是 E（2 号）和 F（3 号），"
           "闭合端是 D（4 号）和 B。第一个四边形 A、C、E、F 与第二个四边形 E、F、D、B 共用边 S4。"
           "示图一是两个已知点 A、B 位于链同侧的情形，示图二是已知点 A、D 位于异侧的情形（那时 B 为 4 号点）。</p>"
           "<table border='1' cellspacing='0' cellpadding='3'><tr><th>边</th><th>端点</th><th>边</th><th>端点</th></tr>");
    const char *ends[12] = {"", "A–C（A–1）", "C–E（1–2）", "A–E（A–2）", "E–F（2–3）", "A–F（A–3）", "C–F（1–3）",
                            "E–D（2–4）", "F–D（3–4）", "D–B（4–B）", "F–B（3–B）", "E–B（2–B）"};
    for (int i = 1; i <= 6; ++i) {
        h += QString("<tr><td>S%1</td><td>%2</td>").arg(i).arg(u(ends[i]));
        h += i + 6 <= 11 ? QString("<td>S%1</td><td>%2</td></tr>").arg(i + 6).arg(u(ends[i + 6]))
                         : QStringLiteral("<td></td><td></td></tr>");
    }
    h += u("</table>"
           "<p>点名按示图顺序输入：起算点、P1、P2、P3、P4、闭合点；平差结果表的六行依次是这六个点。</p>"
           "<h3>角度的输入：d.mmss</h3>"
           "<p>度、小数点、两位分、两位秒，秒可带小数：123.4530 是 123°45′30″，47.304512 是 47°30′45.12″，"
           "-0.3000 是 −0°30′。分和秒都须小于 60。外方位角为零时输入 0.00000001（0 表示没有给出）。"
           "起始定向角 Qa 由外方向顺时针转至 S1 边为正，逆时针为负；闭合定向角 Qb 由 S9 边顺时针转至外方向为正。"
           "方位角和定向角只在恰有一个已知点的一端给出。</p>"
           "<h3>计算</h3>"
           "<p>“计 算”按固定顺序逐项提问：A、B、C、D 的座标（待定点输入 0 和 0），恰有一个已知点的一端的外方位角和定向角，"
           "六个点名，各边边长（两端都已知的 S1、S9 由座标计算，不问）。每个值输入后再确认：直接按回车表示正确，"
           "输入 0 重新输入。“编辑 → 数据表…”把全部数据填在一张表里，“文件 → 打开数据文件并计算…”从数据文件读入，"
           "两者都与逐项提问得到完全相同的结果。</p>"
           "<h3>十二种计算情形</h3>"
           "<table border='1' cellspacing='0' cellpadding='3'><tr><th>情形</th><th>需要的数据</th><th>平差</th></tr>");
    for (int n = 1; n <= 12; ++n)
        h += QString("<tr><td align='center'>%1</td><td>%2</td><td>%3</td></tr>")
                 .arg(n)
                 .arg(u(chain::caseNeeds(n)).toHtmlEscaped())
                 .arg(u(chain::caseRow(n).help));
    h += u("</table>"
           "<h3>数据文件</h3>"
           "<p>UTF-8 文本，每行一个“键 = 值”，# 开头的行是注释。键：xa ya xb yb xc yc xd yd（座标，待定点不写），"
           "ta qa tb qb（角度，d.mmss），names（六个点名，用空格分开；或 pn0..pn5 每行一个），S1..S11（边长）。"
           "“文件 → 保存本次数据…”把最近一次计算的数据写成这种文件。例如：</p>"
           "<pre>xa = 3000.000\nya = 5500.000\nxb = 3952.660\nyb = 5531.482\nta = 223.544974\nqa = 47.3045\n"
           "names = 城关 李庄 王家坡 东山 河口 北岭\nS1 = 496.034\nS2 = 474.775\n……\nS11 = 686.201</pre>"
           "<h3>精度分析与精度预估</h3>"
           "<p>每次计算后，状态栏第二行给出严密平差的单位权中误差、最弱点及其点位中误差、可能有粗差的边和等级限差的结论。"
           "“工具 → 精度分析”打开精度分析窗口：待定点、观测边、检验与限差三张表（单击表头按数值排序，Ctrl+C 复制所选格子）"
           "和网图（滚轮缩放，拖动平移，先后单击两个点显示它们的相对精度，可导出为 PNG、SVG、PDF）。"
           "测距精度 a 毫米 + b ppm、定向角中误差、等级和报告页眉在数据表或“工具 → 设置…”中填写，随数据文件保存"
           "（键 sigma_a sigma_b sigma_q grade project operator instrument date），并在下次启动时沿用。"
           "“工具 → 精度预估…”按设计的近似座标估计精度，没有观测值和改正数。</p>");
    return h;
}

Menus *installMenus(Form2 &window)
{
    // The analysis settings and the report header of the last session.
    window.setAdjustmentSettings(rememberedSettings());
    auto *menus = new Menus(window);
    // chainadj FILE.chain: the first argument that is not an option (the
    // toolkit has taken its own options out by now).
    const QStringList args = QCoreApplication::arguments();
    QString path;
    for (int i = 1; i < args.size(); ++i) {
        if (!args.at(i).startsWith(QLatin1Char('-'))) {
            path = args.at(i);
            break;
        }
    }
    if (!path.isEmpty()) {
        QTimer::singleShot(0, menus, [menus, path] {
            // Started from a terminal, the message goes there too.
            const Menus::Warner box = menus->warner();
            menus->setWarner([box](const QString &m) {
                std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
                box(m);
            });
            menus->openAndCompute(path);
            menus->setWarner(box);
        });
    }
    return menus;
}

} // namespace chain::gui
