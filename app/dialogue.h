// The prompt-and-confirm dialogue: every value is typed into a prompt,
// echoed into its window field, and confirmed (Enter) or rejected (0).
#pragma once

#include "app/sink.h"
#include "number.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace chain {

// A modal prompt: shows `text` with one empty edit line, OK and Cancel.
// Returns the typed text, or nothing for Cancel.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual std::optional<std::string> prompt(const std::string &text) = 0;
};

// Cancel on the prompt of a number ends the Compute command.
struct Cancelled : std::runtime_error {
    Cancelled() : std::runtime_error("cancelled") {}
};

struct PromptTexts {
    std::string ask, confirm, reask;
};

// A value whose echo is " " and the picture "0.000" (coordinates, sides).
// A value out of the range of `q` (app/number.h) is asked again, the reason
// before the re-ask text.
// The accepted reply as typed (normalizeReply) goes to `typed` when given.
double askLength(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Quantity q,
                 std::string *typed = nullptr);

// An angle typed as d.mmss, echoed with "0.00000" as typed.
struct AngleReply {
    double typed = 0;
    double magnitude = 0;
    int sign = 0;
};
AngleReply askAngle(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Quantity q,
                    std::string *typed = nullptr);

// A point name, echoed after three blanks. Cancel gives an empty name. A
// name with control characters is asked again, the reason before the re-ask
// text.
std::string askName(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field);

} // namespace chain
