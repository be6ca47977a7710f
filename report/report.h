// The printed report as a model: lines of texts at tab columns with a font
// size, built from the computation record alone, and its plain-text form.
#pragma once

#include "adjust/record.h"

#include <string>
#include <vector>

namespace chain::report {

// Tab column of an item that follows the previous one directly, without a
// tab of its own (the values after their labels, the units after the values).
inline constexpr int follows = -1;

struct Item {
    int tab = follows; // character column where the item starts, or `follows`
    std::string text;
};

struct Line {
    int fontSize = 10;       // 12 for the title lines, 10 below
    std::vector<Item> items; // no items: an empty line
};

struct Model {
    std::vector<Line> lines;
};

// The report of whatever the record holds.
Model build(const Record &rec);

// Plain text: tab columns as character cells (a CJK character counts two);
// an item whose column lies left of where the previous one ended follows it
// after one blank. Every line ends in "\n" and carries no trailing blanks.
std::string renderText(const Model &m);

// Character cells that `text` (UTF-8) takes in plain text: two for a wide
// (CJK, full-width) character, none for a combining mark, one otherwise.
int cells(const std::string &text);

} // namespace chain::report
