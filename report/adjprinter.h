// The adjustment report on A4 pages through QPrinter: a printer chosen in
// the print dialog or a PDF file. Every page carries the header (project,
// case, date, operator, instrument, page N of M); tables are set in the
// largest font with which they fit the width of the page and continue on the
// next page with their column heads; the figure takes the rest of a page.
#pragma once

#include "report/adjreport.h"

#include <QRectF>
#include <QString>

#include <string>
#include <vector>

class QPrinter;

namespace chain::report {

// Where the blocks went, for checking the layout.
struct AdjustmentLayout {
    int pages = 0;
    QRectF body; // the part of every page below the header, device pixels
    struct Placed {
        std::string id; // table id, "figure", or the text of a heading
        int page = 0;
        QRectF rect;
        double fontSize = 0; // points; tables only
    };
    std::vector<Placed> placed;
};

// Lays the report out on `printer` (which must be set to its page size and
// resolution) without painting.
AdjustmentLayout layoutAdjustmentReport(const AdjustmentReport &r, QPrinter &printer);

// Prints on a printer that is already set up (the print dialog, or a PDF
// printer). False with a Chinese message when the painter cannot begin or
// a page cannot be written.
bool printAdjustmentReport(const AdjustmentReport &r, QPrinter &printer, QString *error);

// The report as a PDF file at `path` (written there directly; the caller
// writes to a temporary name and renames it).
bool writeAdjustmentPdf(const AdjustmentReport &r, const QString &path, QString *error);

} // namespace chain::report
