// The report on paper or in a PDF file, through QPrinter and QPainter.
#pragma once

#include "report/report.h"

#include <QString>

class QPrinter;

namespace chain::report {

// Draws the model on a printer that is already set up (by the print dialog
// or as a PDF printer). False, with a Chinese message, when the painter
// cannot begin or the page cannot be written.
bool printReport(const Model &m, QPrinter &printer, QString *error);

// The report as a PDF file at `path`.
bool writePdf(const Model &m, const QString &path, QString *error);

} // namespace chain::report
