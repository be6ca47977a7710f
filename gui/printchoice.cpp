#include "printchoice.h"

#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace chain::gui {

QWidget *reportChoicePage(bool adjustmentAvailable, QWidget *parent)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("reportChoice"));
    page->setWindowTitle(QStringLiteral("报告"));
    auto *layout = new QVBoxLayout(page);
    auto *specified = new QRadioButton(QStringLiteral("计算报告（与“导出报告”相同）"), page);
    specified->setObjectName(QStringLiteral("printSpecified"));
    specified->setChecked(true);
    auto *adjustment = new QRadioButton(QStringLiteral("平差报告（严密平差、精度、限差检查和网图）"), page);
    adjustment->setObjectName(QStringLiteral("printAdjustment"));
    adjustment->setEnabled(adjustmentAvailable);
    layout->addWidget(specified);
    layout->addWidget(adjustment);
    if (!adjustmentAvailable)
        layout->addWidget(new QLabel(QStringLiteral("平差报告需要一次完成的计算。"), page));
    layout->addStretch(1);
    return page;
}

PrintedReport chosenReport(const QWidget *page)
{
    const auto *adjustment = page ? page->findChild<QRadioButton *>(QStringLiteral("printAdjustment")) : nullptr;
    return adjustment && adjustment->isEnabled() && adjustment->isChecked() ? PrintedReport::Adjustment
                                                                            : PrintedReport::Specified;
}

void showReportChoice(QWidget *page)
{
    for (QWidget *w = page ? page->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            tabs->setCurrentWidget(page);
            return;
        }
}

} // namespace chain::gui
