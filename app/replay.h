// The replay mode: answers the prompts from a replies file or from a data
// file, runs Compute once and prints what was asked, the window's fields and
// the report.
#pragma once

#include "adjust/record.h"

#include <functional>
#include <ostream>
#include <string>

namespace chain {

namespace report {
struct AdjustmentReport;
}

struct ReplayOptions {
    std::string replies;   // file of replies, "-" for standard input
    std::string data;      // or a data file (app/chainfile.h), "-" for standard input
    std::string saveData;  // empty: do not save; else the data of the computation go there
    bool transcript = false;
    bool fields = false;
    bool reportText = false;
    std::string reportPdf; // empty: no PDF
    bool analysis = false;  // the text section of the precision analysis
    bool json = false;      // all results as one JSON object
    std::string betweenFrom, betweenTo; // --between P Q: labels or names; empty for none
    std::string analysisPdf; // --analysis-pdf OUT: the adjustment report; empty for none
};

// Writes a PDF report of the record; false with a message on failure.
using PdfWriter = std::function<bool(const Record &, const std::string &path, std::string &error)>;

// Exit statuses beyond the outcomes of Compute (0, 2, 3, 4).
enum ReplayStatus { kUsageOrFile = 1, kRepliesExhausted = 5, kOutputFailed = 6 };

// Writes the adjustment report (平差报告) into a PDF file; false with a
// message on failure.
using AdjustmentPdfWriter =
    std::function<bool(const report::AdjustmentReport &, const std::string &path, std::string &error)>;

int runReplay(const ReplayOptions &opt, std::ostream &out, std::ostream &err, const PdfWriter &pdf,
              const AdjustmentPdfWriter &adjustmentPdf = {});

} // namespace chain
