// The text fields of the main window by control name, in a fixed order:
// the store behind the replay mode's --fields and the tests.
#pragma once

#include "app/sink.h"

#include <string>
#include <vector>

namespace chain {

// Every text field of the window, in the order --fields prints them.
const std::vector<std::string> &controlNames();

class FieldTable : public TextSink {
public:
    FieldTable();
    void setText(std::string_view control, std::string_view text) override;
    const std::string &text(const std::string &control) const;
    // "name<TAB>text" lines for every field, in the order of controlNames().
    std::string dump() const;

private:
    std::vector<std::string> texts_; // in the order of controlNames()
};

} // namespace chain
