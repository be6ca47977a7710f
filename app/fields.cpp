#include "fields.h"

#include <stdexcept>
#include <string_view>
#include <unordered_map>

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

namespace {

// The position of a control in controlNames(), or -1.
int positionOf(std::string_view control)
{
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> m;
        const auto &names = controlNames();
        for (std::size_t i = 0; i < names.size(); ++i)
            m.emplace(names[i], static_cast<int>(i));
        return m;
    }();
    const auto it = index.find(control);
    return it == index.end() ? -1 : it->second;
}

} // namespace

FieldTable::FieldTable() : texts_(controlNames().size()) {}

void FieldTable::setText(std::string_view control, std::string_view text)
{
    const int i = positionOf(control);
    if (i < 0)
        throw std::logic_error("no such field: " + std::string(control));
    texts_[static_cast<std::size_t>(i)].assign(text);
}

const std::string &FieldTable::text(const std::string &control) const
{
    const int i = positionOf(control);
    if (i < 0)
        throw std::logic_error("no such field: " + control);
    return texts_[static_cast<std::size_t>(i)];
}

std::string FieldTable::dump() const
{
    const auto &names = controlNames();
    std::size_t size = 0;
    for (std::size_t i = 0; i < names.size(); ++i)
        size += names[i].size() + texts_[i].size() + 2;
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += names[i];
        out += '\t';
        out += texts_[i];
        out += '\n';
    }
    return out;
}

} // namespace chain
