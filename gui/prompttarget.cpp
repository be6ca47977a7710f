#include "prompttarget.h"

#include "app/sink.h"

namespace chain::gui {
namespace {

bool has(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

// The number n of "S(n)" in a side prompt, 0 when there is none.
int sideNumber(std::string_view s)
{
    const auto at = s.find("S(");
    if (at == std::string_view::npos)
        return 0;
    int n = 0;
    for (std::size_t i = at + 2; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        n = n * 10 + (s[i] - '0');
    return n >= 1 && n <= 11 ? n : 0;
}

// The echo field of a coordinate prompt: "... 点 A ... 纵座标", empty when
// the text names no point and axis.
std::string coordinateField(std::string_view s)
{
    const bool x = has(s, "纵座标"), y = has(s, "横座标");
    if (x == y)
        return {};
    static const char *const fields[4][2] = {
        {"Text1(0)", "Text2"}, {"Text3", "Text4"}, {"Text25", "Text26"}, {"Text27", "Text28"}};
    const char *const letters[4] = {"点 A ", "点 B ", "点 C ", "点 D "};
    for (int p = 0; p < 4; ++p)
        if (has(s, letters[p]))
            return fields[p][x ? 0 : 1];
    return {};
}

} // namespace

void PromptTarget::reset()
{
    last_.clear();
    lastEmpty_ = false;
    lastName_ = -1;
}

void PromptTarget::written(std::string_view control, std::string_view text)
{
    last_.assign(control);
    lastEmpty_ = text.empty();
    if (control.substr(0, 6) == "Text8(" && control.size() == 8 && !text.empty())
        lastName_ = control[6] - '0';
}

std::string PromptTarget::fieldFor(std::string_view prompt) const
{
    // Sides name their number in all three prompts.
    if (const int n = sideNumber(prompt))
        return indexed("Text7", n - 1);
    // A confirmation follows the echo of the value it confirms; a re-ask
    // follows the emptying of the rejected value's field.
    if (prompt.substr(0, 6) == "确认")
        return last_;
    if (lastEmpty_ && !last_.empty())
        return last_;
    if (has(prompt, "外方位角"))
        return has(prompt, "起始点") ? "Text5" : has(prompt, "闭合点") ? "Text6" : std::string();
    if (has(prompt, "定向角"))
        return has(prompt, "起始点") ? "Text11" : has(prompt, "闭合点") ? "Text12" : std::string();
    if (has(prompt, "点名")) {
        if (has(prompt, "起算点"))
            return "Text8(0)";
        if (has(prompt, "闭合点"))
            return "Text8(5)";
        const int next = lastName_ + 1;
        return next >= 1 && next <= 4 ? indexed("Text8", next) : std::string();
    }
    return coordinateField(prompt);
}

} // namespace chain::gui
