// Replies read from a file in place of typed answers (the replay mode): one
// line a prompt, exactly as a user would type it; "<cancel>" is Cancel.
#pragma once

#include "dialogue.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace chain {

// Replaces invalid UTF-8 and control characters with U+FFFD.
std::string sanitizeUtf8(const std::string &in);

// The replies in the bytes of a replies file: a leading byte-order mark
// dropped, one reply per line ('\n', a '\r' before it dropped), each line
// through sanitizeUtf8. A last line without '\n' still counts.
std::vector<std::string> splitReplies(std::string data);

// The lines of a replies file ("-" for standard input). Throws
// std::runtime_error with a Chinese message when it cannot be read.
std::vector<std::string> readReplies(const std::string &path);

// The replies gave out before the questions did.
struct RepliesExhausted : std::runtime_error {
    explicit RepliesExhausted(const std::string &m) : std::runtime_error(m) {}
};

class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(std::vector<std::string> replies) : replies_(std::move(replies))
    {
        transcript_.reserve(replies_.size());
    }
    std::optional<std::string> prompt(const std::string &text) override;
    // Each prompt shown and the reply it got ("<cancel>" for Cancel).
    const std::vector<std::pair<std::string, std::string>> &transcript() const { return transcript_; }

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
    std::vector<std::pair<std::string, std::string>> transcript_;
};

} // namespace chain
