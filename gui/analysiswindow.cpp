#include "analysiswindow.h"

#include "analysisview.h"
#include "qtprompter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QVBoxLayout>

namespace chain::gui {

AnalysisWindow::AnalysisWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(QString::fromUtf8("精度分析 — ") + appTitle());
    view_ = new AnalysisView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void AnalysisWindow::showRun(const chain::AnalysisRun *run) { view_->showRun(run); }

void AnalysisWindow::showEvent(QShowEvent *event)
{
    if (!restored_) {
        restored_ = true;
        QSettings s(QStringLiteral("chainadj"), QStringLiteral("chainadj"));
        const QByteArray geometry = s.value(QStringLiteral("analysisWindow/geometry")).toByteArray();
        if (geometry.isEmpty() || !restoreGeometry(geometry)) {
            // First time: most of the screen, within 1280 × 800.
            const QRect avail = screen() ? screen()->availableGeometry() : QRect(0, 0, 1366, 768);
            resize(qMin(avail.width() * 9 / 10, 1280), qMin(avail.height() * 9 / 10, 800));
        }
        view_->splitter()->restoreState(s.value(QStringLiteral("analysisWindow/split")).toByteArray());
    }
    QWidget::showEvent(event);
}

void AnalysisWindow::hideEvent(QHideEvent *event)
{
    QSettings s(QStringLiteral("chainadj"), QStringLiteral("chainadj"));
    s.setValue(QStringLiteral("analysisWindow/geometry"), saveGeometry());
    s.setValue(QStringLiteral("analysisWindow/split"), view_->splitter()->saveState());
    QWidget::hideEvent(event);
}

} // namespace chain::gui
