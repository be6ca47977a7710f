// The replay mode: answers the prompts from a replies file or from a data
// file, runs Compute once and prints what was asked, the window's fields and
// the report.
#pragma once

#include "adjust/record.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace chain {

namespace report {
struct AdjustmentReport;
}
struct AnalysisRun;
struct DataSet;

struct ReplayOptions {
    std::string replies;   // file of replies, "-" for standard input
    std::string data;      // or a data file (app/chainfile.h), "-" for standard input
    std::optional<std::string> saveData;  // the data of the computation go there when given
    bool transcript = false;
    bool fields = false;
    bool reportText = false;
    std::optional<std::string> reportPdf; // the report as PDF, when the computation computed
    bool analysis = false;  // the text section of the precision analysis
    bool json = false;      // all results as one JSON object
    std::string betweenFrom, betweenTo; // --between P Q: labels or names; empty for none
    std::string analysisPdf; // --analysis-pdf OUT: the adjustment report; empty for none
    // --export-csv, --export-dat, --export-xlsx, --export-dxf OUT; empty for none.
    std::string exportCsv, exportDat, exportXlsx, exportDxf;
    // Writes the exports asked for from the run and the values as typed
    // (export/exports.h, linked by the executable); returns 0 or the exit
    // status of a failed export.
    std::function<int(const ReplayOptions &, const AnalysisRun &, const DataSet &, std::ostream &err)> exporter;

    bool exports() const
    {
        return !exportCsv.empty() || !exportDat.empty() || !exportXlsx.empty() || !exportDxf.empty();
    }
};

// Writes a PDF report of the record to `path` (a temporary file of the
// atomic writer); false with a message on failure.
using PdfWriter = std::function<bool(const Record &, const std::string &path, std::string &error)>;

// Exit statuses beyond the outcomes of Compute (0, 2, 3, 4).
enum ReplayStatus { kUsageOrFile = 1, kRepliesExhausted = 5, kOutputFailed = 6 };

// Writes the adjustment report (平差报告) into a PDF file (a temporary file
// of the atomic writer); false with a message on failure.
using AdjustmentPdfWriter =
    std::function<bool(const report::AdjustmentReport &, const std::string &path, std::string &error)>;

// Runs the replay. Every file goes through the atomic writer
// (app/atomicfile.h); a computation that did not compute writes no report,
// while the data of its input may still be saved.
int runReplay(const ReplayOptions &opt, std::ostream &out, std::ostream &err, const PdfWriter &pdf,
              const AdjustmentPdfWriter &adjustmentPdf = {});

} // namespace chain
