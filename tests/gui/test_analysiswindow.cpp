// The analysis in the window: the status-bar summary, the 精度分析 window's
// tables against an engine solved on its own, numeric sorting, copying, the
// figure's interaction and exports, the settings through a data file and
// between sessions, the design form.
#include "modal.h"

#include "analysis/engine.h"
#include "app/analysisinput.h"
#include "app/analysisout.h"
#include "app/chainfile.h"
#include "app/fields.h"
#include "app/replies.h"
#include "gui/analysisview.h"
#include "gui/analysiswindow.h"
#include "gui/datatable.h"
#include "gui/designform.h"
#include "gui/figurewidget.h"
#include "gui/form2.h"
#include "gui/menus.h"
#include "gui/settings.h"
#include "report/fonts.h"
#include "support/chains.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <cmath>

using chain::gui::AnalysisView;
using chain::gui::Form2;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }
QString example(int n) { return QStringLiteral(CHAIN_EXAMPLES "/case%1.chain").arg(n); }

struct Window {
    Form2 w;
    chain::gui::Menus *menus = new chain::gui::Menus(w);
    QStringList warnings;
    Window() { menus->setWarner([this](const QString &m) { warnings << m; }); }
};

// Case 1 with 5 cm added to S5: the side the tests must flag.
QString blunderChain(const QTemporaryDir &dir)
{
    QFile in(example(1));
    in.open(QIODevice::ReadOnly);
    QByteArray bytes = in.readAll();
    bytes.replace("S5 = 471.982", "S5 = 472.032");
    bytes += "grade = 一级\n";
    const QString path = dir.filePath(QStringLiteral("blunder.chain"));
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    return path;
}

// The engine of a data file solved here, apart from the window.
analysis::Engine engineOf(const QString &path)
{
    const chain::DataSet d = chain::readDataFile(path.toStdString());
    chain::Record rec;
    struct Null : chain::TextSink {
        void setText(std::string_view, std::string_view) override {}
    } sink;
    const chain::ComputeResult r = chain::computeFromData(d, rec, sink, "test");
    if (r.outcome != chain::Outcome::Computed)
        qFatal("example does not compute");
    analysis::Engine e(chain::networkFromRecord(rec, rec.caseNo, chain::analysisOptionsOf(d)));
    if (!e.solve().ok)
        qFatal("engine fails");
    return e;
}

double cellValue(const QTableWidget *t, int row, const char *header)
{
    const int c = AnalysisView::columnOf(t, u(header));
    if (c < 0)
        qFatal("no column %s", header);
    const QVariant v = t->item(row, c)->data(Qt::UserRole);
    return v.isValid() ? v.toDouble() : std::nan("");
}

QString cellText(const QTableWidget *t, int row, const char *header)
{
    return t->item(row, AnalysisView::columnOf(t, u(header)))->text();
}

void saveShot(QWidget *w, const QString &name)
{
    const QByteArray dir = qgetenv("CHAIN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name + u(".png")));
}

} // namespace

class TestAnalysisWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // QSettings of the tests go to a test location, emptied first.
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("chainadj"), QStringLiteral("chainadj")).clear();
        chain::fonts::installFontSubstitutions();
        QApplication::setFont(chain::fonts::sansFont(9));
    }

    void tablesMatchTheEngine_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::addRow("case %d", n) << n;
    }
    void tablesMatchTheEngine()
    {
        QFETCH(int, caseNo);
        Window win;
        QVERIFY(win.menus->openAndCompute(example(caseNo)));
        QVERIFY(win.warnings.isEmpty());
        const analysis::Engine e = engineOf(example(caseNo));
        const analysis::Analysis a = e.analyse();
        AnalysisView *v = win.menus->showAnalysis()->view();
        QVERIFY(v->hasAnalysis());

        const QTableWidget *pt = v->pointTable();
        QCOMPARE(pt->rowCount(), static_cast<int>(a.points.size()));
        for (int r = 0; r < pt->rowCount(); ++r) {
            const analysis::PointResult &p = a.points[static_cast<std::size_t>(r)];
            QCOMPARE(pt->item(r, 0)->data(Qt::UserRole).toInt(), p.label);
            QVERIFY(qAbs(cellValue(pt, r, "纵座标X") - p.x) < 1e-9);
            QVERIFY(qAbs(cellValue(pt, r, "横座标Y") - p.y) < 1e-9);
            QCOMPARE(cellText(pt, r, "纵座标X"), QString::number(p.x, 'f', 4));
            QVERIFY(qAbs(cellValue(pt, r, "σP") - p.sp) < 1e-9);
            QCOMPARE(cellText(pt, r, "σP"), QString::number(p.sp, 'f', 2));
            QVERIFY(qAbs(cellValue(pt, r, "椭圆a") - p.ellipse.a) < 1e-9);
            QVERIFY(qAbs(cellValue(pt, r, "椭圆b") - p.ellipse.b) < 1e-9);
            QVERIFY(qAbs(cellValue(pt, r, "长轴方位角") - p.ellipse.azimuth) < 1e-9);
            QVERIFY(qAbs(cellValue(pt, r, "严密-经典dX") - p.dxClassic) < 1e-9);
        }
        const QTableWidget *st = v->sideTable();
        QCOMPARE(st->rowCount(), static_cast<int>(a.sides.size()));
        for (int r = 0; r < st->rowCount(); ++r) {
            const analysis::SideResult &s = a.sides[static_cast<std::size_t>(r)];
            QCOMPARE(cellText(st, r, "边"), QStringLiteral("S%1").arg(s.index));
            QVERIFY(qAbs(cellValue(st, r, "观测边长") - s.observed) < 1e-9);
            QVERIFY(qAbs(cellValue(st, r, "平差边长") - s.adjusted) < 1e-9);
            QVERIFY(qAbs(cellValue(st, r, "改正数v") - s.residual) < 1e-9);
            QVERIFY(qAbs(cellValue(st, r, "多余观测分量r") - s.redundancy) < 1e-9);
            QCOMPARE(cellText(st, r, "相对中误差"), s.relative > 0 ? u("1/") + QString::number(s.relative, 'f', 0) : u("—"));
            if (s.hasMdb)
                QVERIFY(qAbs(cellValue(st, r, "MDB") - s.mdb) < 1e-9);
            QCOMPARE(cellText(st, r, "标记").contains(u("可能有粗差")), s.flagged);
        }
        // The note on the two solutions comes with every computed case; the
        // unoriented cases explain why they differ.
        QCOMPARE(v->noteLabel()->text().contains(u("无定向平差")), caseNo >= 3 && caseNo <= 5);
        // The status bar names the weakest point with σP, and nothing that is
        // not a number.
        const QString status = win.w.analysisStatus()->text();
        const analysis::PointResult weakest = e.point(a.summary.weakestPoint);
        QVERIFY2(status.contains(u("最弱点 ") + u(analysis::kLabelText[static_cast<std::size_t>(weakest.label)])), qPrintable(status));
        if (weakest.hasSigma)
            QVERIFY(status.contains(QString::number(weakest.sp, 'f', 2)));
        for (const QString &bad : {u("nan"), u("inf")})
            QVERIFY(!status.contains(bad, Qt::CaseInsensitive) && !v->summaryLabel()->text().contains(bad, Qt::CaseInsensitive));
        if (caseNo == 3) {
            win.menus->analysisWindow()->resize(1366, 768);
            saveShot(win.menus->analysisWindow(), u("analysis-case3-1366x768"));
        }
    }

    // A blunder of 5 cm: its side flagged in the table and the status bar,
    // the grade's verdict shown; a data set that fits no case clears both.
    void blunderIsFlaggedAndNoCaseClears()
    {
        QTemporaryDir dir;
        Window win;
        QVERIFY(win.menus->openAndCompute(blunderChain(dir)));
        const QString status = win.w.analysisStatus()->text();
        QVERIFY2(status.contains(u("可能有粗差：S5")), qPrintable(status));
        QVERIFY(status.contains(u("一级：")));
        AnalysisView *v = win.menus->showAnalysis()->view();
        const QTableWidget *st = v->sideTable();
        int flagged = -1;
        for (int r = 0; r < st->rowCount(); ++r)
            if (cellText(st, r, "标记").contains(u("可能有粗差")))
                flagged = flagged < 0 ? r : 99;
        QVERIFY(flagged >= 0 && flagged < 99);
        QCOMPARE(cellText(st, flagged, "边"), u("S5"));
        QCOMPARE(st->item(flagged, 0)->foreground().color(), QColor(200, 0, 0));
        // The checks: a row for each check of the grade, with 符合 or 超限.
        int verdicts = 0;
        for (int r = 0; r < v->checkTable()->rowCount(); ++r) {
            const QTableWidgetItem *c = v->checkTable()->item(r, 3);
            verdicts += c && (c->text() == u("符合") || c->text() == u("超限")) ? 1 : 0;
        }
        QCOMPARE(verdicts, static_cast<int>(engineOf(blunderChain(dir)).grade()->checks.size()));
        win.menus->analysisWindow()->resize(1280, 760);
        QVERIFY(QTest::qWaitForWindowExposed(win.menus->analysisWindow()));
        // The relative precision of S5's ends, picked on the figure.
        chain::gui::FigureWidget *f = v->figureWidget();
        const QRectF target = QRectF(f->rect()).adjusted(4, 4, -4, -4);
        for (int label : {analysis::A, analysis::F}) {
            const auto &p = f->figure()->data().points[static_cast<std::size_t>(label)];
            QVERIFY(f->clickAt(f->figure()->toDevice(target, f->view(), p.x, p.y, f->logicalDpiX())));
        }
        QVERIFY2(v->pairLabel()->text().startsWith(u("A（城关） → F（东山）")), qPrintable(v->pairLabel()->text()));
        saveShot(win.menus->analysisWindow(), u("analysis-blunder"));
        win.w.show();
        win.w.resize(1366, 768);
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        saveShot(&win.w, u("window-status-blunder-1366x768"));

        // Case 1 without B fits no case: the summary and the tables go.
        const auto c = testchain::sampleChain();
        testchain::CaseData only = testchain::caseData(1, c);
        only.knownB = false;
        chain::ScriptedPrompter none(testchain::replies(only, c, testchain::sidesOf(c)));
        win.w.setPrompter(&none);
        QStringList boxes;
        chain::test::ModalWatcher watcher([&](QWidget *m) {
            if (auto *box = qobject_cast<QMessageBox *>(m))
                boxes << box->text();
            static_cast<QDialog *>(m)->reject();
        });
        win.w.Command1_Click();
        QCOMPARE(boxes.size(), 1);
        win.w.setPrompter(nullptr);
        QCOMPARE(win.w.record().caseNo, 0);
        QVERIFY(win.w.analysisStatus()->text().isEmpty());
        QVERIFY(!win.w.analysis());
        QVERIFY(!v->hasAnalysis());
        QCOMPARE(v->sideTable()->rowCount(), 0);
    }

    // Sorting follows the numbers: residuals with their signs, the 1/T
    // column by the relative error, the dashes last.
    void sortsByNumber_data()
    {
        QTest::addColumn<QString>("column");
        QTest::newRow("residual") << u("改正数v");
        QTest::newRow("relative") << u("相对中误差");
        QTest::newRow("statistic") << u("统计量τ");
        QTest::newRow("side") << u("边");
    }
    void sortsByNumber()
    {
        QFETCH(QString, column);
        QTemporaryDir dir;
        Window win;
        QVERIFY(win.menus->openAndCompute(blunderChain(dir)));
        QTableWidget *st = win.menus->showAnalysis()->view()->sideTable();
        const int c = AnalysisView::columnOf(st, column);
        QVERIFY(c >= 0);
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            st->sortItems(c, order);
            std::vector<double> values;
            for (int r = 0; r < st->rowCount(); ++r)
                values.push_back(st->item(r, c)->data(Qt::UserRole).toDouble());
            if (order == Qt::DescendingOrder)
                std::reverse(values.begin(), values.end());
            QVERIFY2(std::is_sorted(values.begin(), values.end()), qPrintable(column));
        }
        // Text order would put S10 before S2 and -0.04 before -18.15.
        st->sortItems(AnalysisView::columnOf(st, u("边")), Qt::AscendingOrder);
        QCOMPARE(st->item(1, 0)->text(), u("S2"));
        QCOMPARE(st->item(10, 0)->text(), u("S11"));
    }

    // Ctrl+C copies the selection tab-separated; everything selected brings
    // the header along.
    void copiesTheSelection()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(1)));
        AnalysisView *v = win.menus->showAnalysis()->view();
        QTableWidget *pt = v->pointTable();
        pt->clearSelection();
        pt->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 2), true);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(pt, Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split(u("\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        for (int r = 0; r < 2; ++r)
            QCOMPARE(lines[r], pt->item(r + 1, 0)->text() + u("\t") + pt->item(r + 1, 1)->text() + u("\t") +
                                   pt->item(r + 1, 2)->text());
        pt->selectAll();
        QTest::keyClick(pt, Qt::Key_C, Qt::ControlModifier);
        const QStringList all = QGuiApplication::clipboard()->text().split(u("\n"), Qt::SkipEmptyParts);
        QCOMPARE(all.size(), pt->rowCount() + 1);
        QVERIFY(all.first().startsWith(u("点\t纵座标X\t横座标Y\tσx")));
        QCOMPARE(all.last().count(u("\t")), pt->columnCount() - 1);
    }

    // The window comes back where it was left, at the size it had.
    void windowRemembersItsGeometry()
    {
        {
            chain::gui::AnalysisWindow first;
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.resize(910, 615);
            QTRY_COMPARE(first.size(), QSize(910, 615));
            first.close();
        }
        chain::gui::AnalysisWindow second;
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.size(), QSize(910, 615));
    }

    // Two clicked points show their relative precision; the wheel zooms
    // about the mouse; a drag moves the figure.
    void figureClicksZoomsAndPans()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(1)));
        chain::gui::AnalysisWindow *aw = win.menus->showAnalysis();
        aw->resize(1200, 760);
        QVERIFY(QTest::qWaitForWindowExposed(aw));
        AnalysisView *v = aw->view();
        chain::gui::FigureWidget *f = v->figureWidget();
        const QRectF target = QRectF(f->rect()).adjusted(4, 4, -4, -4);
        auto at = [&](int label) {
            const auto &p = f->figure()->data().points[static_cast<std::size_t>(label)];
            return f->figure()->toDevice(target, f->view(), p.x, p.y, f->logicalDpiX());
        };
        QTest::mouseClick(f, Qt::LeftButton, {}, at(analysis::E).toPoint());
        QTest::mouseClick(f, Qt::LeftButton, {}, at(analysis::B).toPoint());
        QCOMPARE(f->firstChosen(), static_cast<int>(analysis::E));
        QCOMPARE(f->secondChosen(), static_cast<int>(analysis::B));
        const analysis::PairResult pr = engineOf(example(1)).pair(analysis::E, analysis::B);
        QVERIFY2(v->pairLabel()->text().contains(QString::number(pr.distance, 'f', 4)), qPrintable(v->pairLabel()->text()));
        QVERIFY(v->pairLabel()->text().contains(QString::number(pr.sDistance, 'f', 2)));

        const QPointF d = at(analysis::F);
        f->zoomBy(2.0, d);
        QCOMPARE(f->view().zoom, 2.0);
        QVERIFY((at(analysis::F) - d).manhattanLength() < 0.01);
        f->panBy(QPointF(30, -20));
        QVERIFY((at(analysis::F) - (d + QPointF(30, -20))).manhattanLength() < 0.01);
        f->fit();
        QCOMPARE(f->view().zoom, 1.0);
    }

    // The figure's files: a PNG that decodes, an SVG that parses, a PDF with
    // a page; an unknown suffix writes nothing.
    void figureExports_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << u("网图.png");
        QTest::newRow("svg") << u("网图.svg");
        QTest::newRow("pdf") << u("网图.pdf");
        QTest::newRow("unknown") << u("网图.bmp");
    }
    void figureExports()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        Window win;
        QVERIFY(win.menus->openAndCompute(blunderChain(dir)));
        chain::gui::FigureWidget *f = win.menus->showAnalysis()->view()->figureWidget();
        const QString path = dir.filePath(name);
        QString error;
        const bool ok = f->exportTo(path, &error);
        if (name.endsWith(u(".bmp"))) {
            QVERIFY(!ok);
            QVERIFY(error.contains(u(".png")));
            QVERIFY(!QFile::exists(path));
            return;
        }
        QVERIFY2(ok, qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (name.endsWith(u(".png"))) {
            const QImage img = QImage::fromData(bytes, "PNG");
            QVERIFY(!img.isNull());
            QVERIFY(img.width() > 500 && img.height() > 300);
        } else if (name.endsWith(u(".svg"))) {
            QXmlStreamReader xml(bytes);
            bool svg = false;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement && !svg)
                    svg = xml.name() == u("svg");
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QVERIFY(svg);
        } else {
            QVERIFY(bytes.startsWith("%PDF"));
            QVERIFY(QRegularExpression(u("/Type\\s*/Page[^s]")).match(QString::fromLatin1(bytes)).hasMatch());
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // the chain and the figure, no temporary left
    }

    // The settings: through the dialog's editor into the window, saved in
    // the data file and read back the same, remembered for the next session;
    // the classic fields do not change with them.
    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        Window win;
        QVERIFY(win.menus->openAndCompute(example(1)));
        std::map<std::string, QString> before;
        for (const auto &name : chain::controlNames())
            before[name] = win.w.field(name)->text();

        chain::gui::SettingsDialog dialog(win.w.adjustmentSettings());
        chain::gui::SettingsEditor *ed = dialog.editor();
        ed->edit("sigma_a")->setText(u("3"));
        ed->edit("sigma_b")->setText(u("2.5"));
        ed->edit("sigma_q")->setText(u("1.5"));
        ed->gradeBox()->setCurrentIndex(ed->gradeBox()->findText(u("二级")));
        ed->edit("project")->setText(u("张庄控制网 二期"));
        ed->edit("operator")->setText(u("李明"));
        ed->edit("instrument")->setText(u("TS-02 2mm+2ppm"));
        ed->edit("date")->setText(u("2024-05-18"));
        QVERIFY(ed->problems().isEmpty());
        saveShot(&dialog, u("settings-dialog"));
        win.menus->applySettings(dialog.settings());
        // A priori accuracy: Baarda's w, and the grade's verdict in the status bar.
        QVERIFY(win.w.analysis()->engine->network().accuracy.has_value());
        QVERIFY(win.w.analysisStatus()->text().contains(u("二级：")));

        const QString path = dir.filePath(u("saved.chain"));
        QVERIFY(win.menus->saveData(path));
        const chain::DataSet back = chain::readDataFile(path.toStdString());
        const chain::AdjustmentSettings s = chain::adjustmentSettingsOf(back);
        QCOMPARE(s.options.sigmaA.value_or(-1), 3.0);
        QCOMPARE(s.options.sigmaB.value_or(-1), 2.5);
        QCOMPARE(s.options.sigmaQ.value_or(-1), 1.5);
        QVERIFY(s.options.grade == analysis::Grade::Second2);
        QCOMPARE(s.header.project, std::string("张庄控制网 二期"));
        QCOMPARE(s.header.operatorName, std::string("李明"));
        QCOMPARE(s.header.instrument, std::string("TS-02 2mm+2ppm"));
        QCOMPARE(s.header.date, std::string("2024-05-18"));

        // Another window (a later session) starts with them; the file computes
        // the same classic fields.
        const chain::AdjustmentSettings remembered = chain::gui::rememberedSettings();
        QCOMPARE(remembered.options.sigmaB.value_or(-1), 2.5);
        QCOMPARE(remembered.header.project, std::string("张庄控制网 二期"));
        Window later;
        QVERIFY(later.menus->openAndCompute(path));
        for (const auto &[name, text] : before)
            QCOMPARE(later.w.field(name)->text(), text);

        // A value the data file would refuse keeps the dialog from OK.
        ed->edit("sigma_a")->setText(u("-1"));
        ed->edit("project")->setText(u("a\tb"));
        const QStringList problems = ed->problems();
        QCOMPARE(problems.size(), 2);
        QVERIFY(problems[0].contains(u("sigma_a")));
    }

    // The data table carries the settings too: what it starts with and
    // what it hands on.
    void dataTableCarriesSettings()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(2)));
        chain::AdjustmentSettings s;
        s.options.sigmaA = 2;
        s.options.grade = analysis::Grade::Fourth;
        s.header.operatorName = "王芳";
        win.menus->applySettings(s);
        chain::gui::DataTable table(win.menus->currentData());
        chain::gui::SettingsEditor *ed = table.settingsEditor();
        QCOMPARE(ed->edit("sigma_a")->text(), u("2"));
        QCOMPARE(ed->gradeBox()->currentText(), u("四等"));
        QCOMPARE(ed->edit("operator")->text(), u("王芳"));
        ed->edit("sigma_b")->setText(u("x"));
        QVERIFY(!table.okButton()->isEnabled());
        ed->edit("sigma_b")->setText(u("3"));
        QVERIFY(table.okButton()->isEnabled());
        const chain::DataSet d = table.dataSet();
        QCOMPARE(d.analysis.value[chain::AnalysisKeys::sigma_b].value_or(""), std::string("3"));
        QCOMPARE(d.header.value[chain::HeaderKeys::operatorName].value_or(""), std::string("王芳"));
    }

    // The design form: case 1 laid out from approximate coordinates gives
    // the design engine's figures, without residual or test columns.
    void designFormEstimates()
    {
        const QByteArray bytes = QByteArray(testchain::kDesignCase1) + "grade = 一级\n";
        std::vector<chain::Problem> problems;
        const chain::DataSet d = chain::parseDataFile(bytes.toStdString(), problems);
        QVERIFY(problems.empty());
        chain::AnalysisRun expected;
        chain::analyseDesign(expected, d);
        QVERIFY(expected.engine);
        const analysis::Analysis a = expected.engine->analyse();

        chain::gui::DesignForm form;
        form.setData(d);
        QVERIFY(!form.knownBox(analysis::C)->isChecked());
        QVERIFY(form.knownBox(analysis::B)->isChecked());
        QCOMPARE(form.name(analysis::E)->text(), u("王家坡"));
        QVERIFY2(form.estimate(), qPrintable(form.statusLabel()->text()));
        AnalysisView *v = form.view();
        for (const char *gone : {"改正数v", "统计量w", "统计量τ", "限值", "严密-经典dX"}) {
            QCOMPARE(AnalysisView::columnOf(v->sideTable(), u(gone)), -1);
            QCOMPARE(AnalysisView::columnOf(v->pointTable(), u(gone)), -1);
        }
        QCOMPARE(v->sideTable()->rowCount(), static_cast<int>(a.sides.size()));
        QCOMPARE(v->pointTable()->rowCount(), static_cast<int>(a.points.size()));
        for (int r = 0; r < v->pointTable()->rowCount(); ++r)
            QVERIFY(qAbs(cellValue(v->pointTable(), r, "σP") - a.points[static_cast<std::size_t>(r)].sp) < 1e-9);
        for (int r = 0; r < v->sideTable()->rowCount(); ++r)
            QVERIFY(qAbs(cellValue(v->sideTable(), r, "多余观测分量r") - a.sides[static_cast<std::size_t>(r)].redundancy) < 1e-9);
        QVERIFY(v->noteLabel()->text().isEmpty());
        form.resize(1366, 768);
        saveShot(&form, u("design-form"));

        // A point without its coordinates: a message, no tables.
        form.coordinate(analysis::F, 1)->clear();
        QVERIFY(!form.estimate());
        QVERIFY(form.statusLabel()->text().contains(u("yf")));
        QCOMPARE(v->pointTable()->rowCount(), 0);
    }

    // 工具 → 精度预估 after a computation starts from its chain: the known
    // points as known, the computed points at their classic coordinates.
    void designFormStartsFromTheComputation()
    {
        Window win;
        QVERIFY(win.menus->openAndCompute(example(3)));
        chain::gui::DesignForm *form = win.menus->showDesign();
        QVERIFY(form->knownBox(analysis::A)->isChecked() && form->knownBox(analysis::B)->isChecked());
        QVERIFY(!form->knownBox(analysis::C)->isChecked() && !form->knownBox(analysis::D)->isChecked());
        const analysis::PointResult e = win.w.analysis()->engine->point(analysis::E);
        QVERIFY(qAbs(form->coordinate(analysis::E, 0)->text().toDouble() - e.x) < 0.002);
        QVERIFY(qAbs(form->coordinate(analysis::E, 1)->text().toDouble() - e.y) < 0.002);
        QCOMPARE(form->name(analysis::F)->text(), u("赵岗"));
        form->sigma(0)->setText(u("3"));
        QVERIFY2(form->estimate(), qPrintable(form->statusLabel()->text()));
        QCOMPARE(form->run()->caseNo, 3);
    }
};

QTEST_MAIN(TestAnalysisWindow)
#include "test_analysiswindow.moc"
