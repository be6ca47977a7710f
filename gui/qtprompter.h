// The real prompt: a modal QInputDialog for text with the
// application title, the prompt as its label, one empty edit line, OK and
// Cancel. It is placed so that it does not cover the window field that the
// prompt is about.
#pragma once

#include "app/dialogue.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace chain::gui {

// The application title, also the title of every prompt and message box.
QString appTitle();

// Where a dialog of outer size `dialog` goes on `screen` so that it keeps
// clear of `keep` (all in global coordinates): below it, else above, else
// to its right, else to its left, near it and inside the screen; nothing
// when there is no such place.
std::optional<QPoint> placeClearOf(const QRect &keep, const QSize &dialog, const QRect &screen);

class QtPrompter : public chain::Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    // The typed text as UTF-8; nothing for Cancel (Escape, the Cancel button
    // or closing the dialog).
    std::optional<std::string> prompt(const std::string &text) override;

    // The global rectangle the next dialogs must not cover (an empty one:
    // the dialog is centred on the window as usual).
    void setKeepClear(std::function<QRect()> keep) { keep_ = std::move(keep); }

private:
    QPointer<QWidget> parent_;
    std::function<QRect()> keep_;
};

} // namespace chain::gui
