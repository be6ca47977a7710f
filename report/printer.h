// The report on paper or in a PDF file, through QPrinter and QPainter.
#pragma once

#include "report/report.h"

#include <QFont>
#include <QString>

#include <vector>

class QPaintDevice;
class QPrinter;

namespace chain::report {

// Draws the model on a printer that is already set up (by the print dialog
// or as a PDF printer). False, with a Chinese message, when the painter
// cannot begin or the page cannot be written.
bool printReport(const Model &m, QPrinter &printer, QString *error);

// The report as a PDF file at `path`.
bool writePdf(const Model &m, const QString &path, QString *error);

// The report's font, "宋体" at `pointSize`. Where no font of that name is
// installed, the name is first mapped to an installed CJK font.
QFont reportFont(int pointSize);

// The width of one tab column of `font` on `device`, a half-width cell:
// the font's average character width, but for a font with ideographs no more
// than the wider of half an ideograph and a digit. For 宋体 all three agree;
// a CJK substitute counts its ideographs into the average and its right-hand
// columns would run off the paper.
double tabUnit(const QFont &font, const QPaintDevice *device);

// A piece of an item's text at its x. The blanks that an item with a tab
// column starts with take one tab unit each, as the half-width blanks of
// 宋体 do, so that the padded labels keep the columns they were written for.
struct TextRun {
    double x = 0;
    QString text;
};

// One item as it goes onto the page, in the painter's coordinates (device
// pixels of the printer, relative to the printable area as QPainter sees
// it).
struct PlacedItem {
    int page = 0;      // from 0
    int line = 0;      // index of the model's line
    int fontSize = 10; // points
    double x = 0;      // left end of the item
    double top = 0;    // top of the line
    double baseline = 0;
    double width = 0;  // from x to the end of the item's last character
    QString text;
    std::vector<TextRun> runs; // what is drawn
};

struct PageLayout {
    std::vector<PlacedItem> items;
    int pages = 1;
};

// Where every item of the model goes on `printer`: the first line at 2000
// twips from the paper's left edge and 1500 twips from its top edge, tab
// column n at n tab units of the line's font from the left start, an item
// whose column lies left of the previous item's end one blank after it,
// a new page when a line would pass the bottom of the page.
PageLayout layoutReport(const Model &m, QPrinter &printer);

} // namespace chain::report
