#include "dialogue.h"

#include "adjust/numfmt.h"

namespace chain {
namespace {

// True when the confirmation reply rejects the value: it reads as zero.
bool rejects(const std::optional<std::string> &reply)
{
    if (!reply)
        return false; // Cancel accepts, like Enter
    const auto v = parseNumber(*reply);
    return v && *v == 0;
}

// The dialogue for a value that must parse: a reply that does not parse, or
// an empty one, is treated as a rejection and asked again; Cancel ends the
// command. `parse` returns the value, or nothing and (for a value that is
// out of range rather than not a value) the reason shown before the re-ask
// text; `echo` gives the value's text. The accepted reply goes to `typed`.
template <typename T, typename Parse, typename Echo>
T askValue(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Parse parse, Echo echo,
           std::string *typed)
{
    const std::string *text = &t.ask;
    std::string withReason;
    for (;;) {
        // Ask (or re-ask) until a reply parses.
        std::optional<T> value;
        std::string accepted;
        for (;;) {
            const auto reply = p.prompt(*text);
            if (!reply)
                throw Cancelled();
            std::string reason;
            value = parse(*reply, reason);
            if (value) {
                accepted = normalizeReply(*reply);
                break;
            }
            out.setText(field, "");
            text = &t.reask;
            if (!reason.empty()) {
                withReason = reason + " " + t.reask;
                text = &withReason;
            }
        }
        const std::string shown = echo(*value);
        out.setText(field, shown);
        if (!rejects(p.prompt(t.confirm))) {
            out.setText(field, shown);
            if (typed)
                *typed = std::move(accepted);
            return *value;
        }
        out.setText(field, "");
        text = &t.reask;
    }
}

} // namespace

double askLength(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Quantity q,
                 std::string *typed)
{
    return askValue<double>(
        p, out, t, field,
        [q](const std::string &r, std::string &reason) -> std::optional<double> {
            const auto v = parseNumber(r);
            if (!v) {
                if (numberForm(r) == NumberForm::OutOfRange)
                    reason = outOfRangeText(q, r);
                return std::nullopt;
            }
            reason = rangeProblem(q, *v, r);
            return reason.empty() ? v : std::nullopt;
        },
        [](double v) { return " " + picture(v, 3); }, typed);
}

AngleReply askAngle(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Quantity q,
                    std::string *typed)
{
    return askValue<AngleReply>(
        p, out, t, field,
        [q](const std::string &r, std::string &reason) -> std::optional<AngleReply> {
            const auto a = parseAngle(r);
            if (!a) {
                if (numberForm(r) == NumberForm::OutOfRange)
                    reason = outOfRangeText(q, r);
                return std::nullopt;
            }
            reason = rangeProblem(q, a->magnitude, r);
            if (!reason.empty())
                return std::nullopt;
            return AngleReply{a->typed, a->magnitude, a->sign};
        },
        [](const AngleReply &a) { return " " + picture(a.typed, 5); }, typed);
}

std::string askName(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field)
{
    const std::string *text = &t.ask;
    std::string withReason;
    for (;;) {
        const std::string name = p.prompt(*text).value_or(std::string());
        const std::string reason = nameProblem(name);
        if (!reason.empty()) {
            out.setText(field, "");
            withReason = reason + " " + t.reask;
            text = &withReason;
            continue;
        }
        out.setText(field, "   " + name);
        if (!rejects(p.prompt(t.confirm))) {
            out.setText(field, "   " + name);
            return name;
        }
        out.setText(field, "");
        text = &t.reask;
    }
}

} // namespace chain
