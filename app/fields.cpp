#include "fields.h"

#include <stdexcept>

namespace chain {

const std::vector<std::string> &controlNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {"Text1(0)", "Text2", "Text3", "Text4", "Text25", "Text26", "Text27", "Text28",
                                      "Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)", "Text5", "Text11", "Text6",
                                      "Text12", "Text24"};
        for (int i = 0; i <= 10; ++i)
            n.push_back(indexed("Text7", i));
        for (int i = 0; i <= 5; ++i) {
            n.push_back(indexed("Text8", i));
            n.push_back(indexed("Text9", i));
            n.push_back(indexed("Text10", i));
        }
        for (const char *t : {"Text22", "Text23", "Text13", "Text14", "Text15", "Text16", "Text17", "Text18", "Text19",
                              "Text20", "Text21"})
            n.emplace_back(t);
        return n;
    }();
    return names;
}

FieldTable::FieldTable()
{
    for (const auto &n : controlNames())
        texts_[n];
}

void FieldTable::setText(std::string_view control, std::string_view text)
{
    const auto it = texts_.find(control);
    if (it == texts_.end())
        throw std::logic_error("no such field: " + std::string(control));
    it->second.assign(text);
}

const std::string &FieldTable::text(const std::string &control) const
{
    const auto it = texts_.find(control);
    if (it == texts_.end())
        throw std::logic_error("no such field: " + control);
    return it->second;
}

std::string FieldTable::dump() const
{
    std::string out;
    for (const auto &n : controlNames()) {
        out += n;
        out += '\t';
        out += texts_.find(n)->second;
        out += '\n';
    }
    return out;
}

} // namespace chain
