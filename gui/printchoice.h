// The choice the print dialog of the 打 印 button offers: the specified
// report, as it always was, or the adjustment report (平差报告).
#pragma once

class QWidget;

namespace chain::gui {

enum class PrintedReport { Specified, Adjustment };

// The page "报告" of the print dialog: two radio buttons, objectNames
// "printSpecified" (chosen at first) and "printAdjustment" (disabled when
// there is no adjustment report).
QWidget *reportChoicePage(bool adjustmentAvailable, QWidget *parent);
PrintedReport chosenReport(const QWidget *page);
// Makes the page the current tab of the dialog's options, once the dialog
// has taken it (QAbstractPrintDialog::setOptionTabs).
void showReportChoice(QWidget *page);

} // namespace chain::gui
