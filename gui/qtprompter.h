// The real prompt: a modal QInputDialog for text with the
// application title, the prompt as its label, one empty edit line, OK and
// Cancel.
#pragma once

#include "app/dialogue.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace chain::gui {

// The application title, also the title of every prompt and message box.
QString appTitle();

class QtPrompter : public chain::Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    // The typed text as UTF-8; nothing for Cancel (Escape, the Cancel button
    // or closing the dialog).
    std::optional<std::string> prompt(const std::string &text) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace chain::gui
