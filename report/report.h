// The printed report as a model: lines of texts at tab columns with a font
// size, built from the computation record alone, and its plain-text form.
#pragma once

#include "adjust/record.h"

#include <string>
#include <vector>

namespace chain::report {

struct Item {
    int tab = 0;      // character column where the item starts
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
// after one blank.
std::string renderText(const Model &m);

} // namespace chain::report
