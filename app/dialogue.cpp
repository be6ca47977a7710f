#include "dialogue.h"

#include "adjust/numfmt.h"
#include "number.h"

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
// command. `parse` returns the value, `echo` its text.
template <typename T, typename Parse, typename Echo>
T askValue(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field, Parse parse, Echo echo)
{
    const std::string *text = &t.ask;
    for (;;) {
        // Ask (or re-ask) until a reply parses.
        std::optional<T> value;
        for (;;) {
            const auto reply = p.prompt(*text);
            if (!reply)
                throw Cancelled();
            value = parse(*reply);
            if (value)
                break;
            out.setText(field, "");
            text = &t.reask;
        }
        const std::string shown = echo(*value);
        out.setText(field, shown);
        if (!rejects(p.prompt(t.confirm))) {
            out.setText(field, shown);
            return *value;
        }
        out.setText(field, "");
        text = &t.reask;
    }
}

} // namespace

double askLength(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field)
{
    return askValue<double>(
        p, out, t, field, [](const std::string &r) { return parseNumber(r); },
        [](double v) { return " " + picture(v, 3); });
}

AngleReply askAngle(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field)
{
    return askValue<AngleReply>(
        p, out, t, field,
        [](const std::string &r) -> std::optional<AngleReply> {
            const auto a = parseAngle(r);
            if (!a)
                return std::nullopt;
            return AngleReply{a->typed, a->magnitude, a->sign};
        },
        [](const AngleReply &a) { return " " + picture(a.typed, 5); });
}

std::string askName(Prompter &p, TextSink &out, const PromptTexts &t, const std::string &field)
{
    const std::string *text = &t.ask;
    for (;;) {
        const std::string name = p.prompt(*text).value_or(std::string());
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
