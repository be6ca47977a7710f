#include "qtprompter.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

namespace chain::gui {

QString appTitle() { return QString::fromUtf8("二个连续四边形三边平差"); }

std::optional<std::string> QtPrompter::prompt(const std::string &text)
{
    // What QInputDialog::getText(parent, title, label, QLineEdit::Normal,
    // QString(), &ok) builds and runs, read as text (never as a double,
    // which getDouble would round), with one addition: the label wraps, so
    // that the long prompts of the angles stay readable in a dialog of a
    // sensible width.
    QInputDialog dialog(parent_.data());
    dialog.setWindowTitle(appTitle());
    dialog.setLabelText(QString::fromStdString(text));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setTextValue(QString());
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setWordWrap(true);
        const int chars = label->fontMetrics().averageCharWidth();
        label->setMinimumWidth(qMin(label->fontMetrics().horizontalAdvance(label->text()), 64 * chars));
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

} // namespace chain::gui
