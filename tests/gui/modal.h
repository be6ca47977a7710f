// Helpers of the window tests: answering modal dialogs from a timer while
// the code under test blocks in their exec(), and a prompter fed from a list.
#pragma once

#include "app/dialogue.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace chain::test {

// Calls `handler` once for every modal widget that becomes the active one,
// polling every few milliseconds. After `timeoutMs` without a new modal
// widget, whatever modal widget is open is rejected so that a test never
// hangs; timedOut() then tells.
class ModalWatcher : public QObject {
public:
    using Handler = std::function<void(QWidget *)>;
    explicit ModalWatcher(Handler handler, int timeoutMs = 5000) : handler_(std::move(handler)), timeout_(timeoutMs)
    {
        connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
        timer_.start(3);
        idle_.start();
    }
    int handled() const { return handled_; }
    bool timedOut() const { return timedOut_; }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (!w->property("chain_test_handled").toBool()) {
            w->setProperty("chain_test_handled", true);
            ++handled_;
            idle_.restart();
            handler_(w);
            return;
        }
        if (idle_.elapsed() > timeout_) {
            timedOut_ = true;
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
            else
                w->close();
        }
    }

    Handler handler_;
    int timeout_;
    QTimer timer_;
    QElapsedTimer idle_;
    int handled_ = 0;
    bool timedOut_ = false;
};

// Replies from a list, std::nullopt being Cancel; Cancel too when the list
// is used up, so that a test that asks too much ends instead of hanging.
class ListPrompter : public chain::Prompter {
public:
    ListPrompter() = default;
    explicit ListPrompter(std::vector<std::optional<std::string>> replies) : replies_(std::move(replies)) {}
    std::optional<std::string> prompt(const std::string &text) override
    {
        asked.push_back(text);
        if (onPrompt)
            onPrompt(text);
        if (next_ >= replies_.size()) {
            ranOut = true;
            return std::nullopt;
        }
        return replies_[next_++];
    }
    std::vector<std::string> asked;
    bool ranOut = false;
    // Called with each prompt before it is answered (what the window shows
    // while the prompt is open).
    std::function<void(const std::string &)> onPrompt;

private:
    std::vector<std::optional<std::string>> replies_;
    std::size_t next_ = 0;
};

} // namespace chain::test
