// Where the commands write the window's texts: a sink keyed by the control
// names of the main window ("Text22", "Text9(3)", ...). The engine knows no
// control names; the presenter (presenter.h) turns its results into texts.
#pragma once

#include <string>
#include <string_view>

namespace chain {

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void setText(std::string_view control, std::string_view text) = 0;
};

// Name of element i of a control array: "Text9" and 3 give "Text9(3)".
std::string indexed(std::string_view array, int i);

} // namespace chain
