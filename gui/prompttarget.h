// Which window field a prompt of the Compute command asks for or confirms,
// told from the prompt's text and the fields written so far, so that the
// window can mark that field and keep the prompt dialog off it.
#pragma once

#include <string>
#include <string_view>

namespace chain::gui {

class PromptTarget {
public:
    // A computation starts: nothing written yet.
    void reset();
    // Every text the computation writes into a field.
    void written(std::string_view control, std::string_view text);
    // The field that `prompt` asks for, re-asks or confirms; empty when the
    // text is not one of the Compute command's prompts.
    std::string fieldFor(std::string_view prompt) const;

private:
    std::string last_;     // the field written last
    bool lastEmpty_ = false; // ... and emptied (a rejected value)
    int lastName_ = -1;    // the last point-name row written, Text8(i)
};

} // namespace chain::gui
