#include "qtprompter.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace chain::gui {

QString appTitle() { return QString::fromUtf8("二个连续四边形三边平差"); }

std::optional<QPoint> placeClearOf(const QRect &keep, const QSize &dialog, const QRect &screen)
{
    constexpr int gap = 6;
    const auto clampX = [&](int x) { return qBound(screen.left(), x, screen.right() + 1 - dialog.width()); };
    const auto clampY = [&](int y) { return qBound(screen.top(), y, screen.bottom() + 1 - dialog.height()); };
    if (dialog.width() > screen.width() || dialog.height() > screen.height())
        return std::nullopt;
    const QPoint candidates[4] = {
        {clampX(keep.left()), keep.bottom() + 1 + gap},               // below
        {clampX(keep.left()), keep.top() - gap - dialog.height()},    // above
        {keep.right() + 1 + gap, clampY(keep.top())},                 // right
        {keep.left() - gap - dialog.width(), clampY(keep.top())},     // left
    };
    for (const QPoint &p : candidates) {
        const QRect r(p, dialog);
        if (screen.contains(r) && !r.intersects(keep))
            return p;
    }
    return std::nullopt;
}

std::optional<std::string> QtPrompter::prompt(const std::string &text)
{
    // What QInputDialog::getText(parent, title, label, QLineEdit::Normal,
    // QString(), &ok) builds and runs, read as text (never as a double,
    // which getDouble would round), with two additions: the label wraps, so
    // that the long prompts of the angles stay readable in a dialog of a
    // sensible width, and the dialog keeps clear of the field it is about.
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
    const QRect keep = keep_ ? keep_() : QRect();
    if (keep.isValid() && parent_) {
        dialog.adjustSize();
        // The dialog's frame is not known before it is shown: take that of
        // the window it belongs to.
        const QWidget *top = parent_->window();
        const QRect outer = top->frameGeometry(), inner = top->geometry();
        const QSize frame(outer.width() - inner.width(), outer.height() - inner.height());
        QScreen *screen = top->screen() ? top->screen() : QGuiApplication::primaryScreen();
        if (const auto at = placeClearOf(keep, dialog.size() + frame, screen->availableGeometry()))
            dialog.move(*at);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

} // namespace chain::gui
