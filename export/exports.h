// Results that travel: the points of a computation as CSV, as a CASS
// coordinate file (.dat, GBK), as an Excel workbook and as a DXF drawing,
// and the summary of a batch run. Plain C++: CSV, CASS and the CSV summary
// everywhere (GBK through the platform's converter); the workbook and the
// drawing with libxlsxwriter and dxflib, where the build has them;
// every file goes through the one atomic writer (app/atomicfile.h), so a
// failed export leaves the target as it was.
#pragma once

#include "app/analysisout.h"
#include "app/chainfile.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace chain::exporting {

// An export that cannot be made from these results (nothing computed, a
// name GBK cannot encode); what() says why in Chinese. Nothing is written.
struct ExportError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One point as the exports show it: the rigorous adjustment's coordinates
// and precision when there is one, else the classic coordinates.
struct ExportPoint {
    std::string label; // "A" .. "F"
    std::string name;  // as typed; may be empty
    bool known = false;
    double x = 0, y = 0; // metres, x north, y east
    bool hasSigma = false;
    double sx = 0, sy = 0, sp = 0; // mm
    double a = 0, b = 0;           // ellipse semi-axes, mm
    double azimuth = 0;            // of a, degrees clockwise from north
};

// The six points in label order A C E F D B. Throws ExportError when the
// run computed nothing (or is a pre-analysis, which has no adjusted
// coordinates).
std::vector<ExportPoint> exportPoints(const AnalysisRun &run);
// "严密平差" when the coordinates come from the rigorous adjustment, else "经典平差".
std::string coordinateSource(const AnalysisRun &run);

// The texts of the files.
std::string csvText(const AnalysisRun &run);  // UTF-8 with byte-order mark, CRLF
std::string datText(const AnalysisRun &run);  // GBK, CRLF; throws ExportError for a name GBK cannot encode

// One CSV field as RFC 4180 wants it: quoted when it holds a comma, a
// quote or a line break, quotes doubled.
std::string csvField(const std::string &text);

// UTF-8 to GBK through the system's converter; nothing, with the first character GBK cannot
// encode in `bad`, when there is one.
std::optional<std::string> toGbk(const std::string &utf8, std::string *bad = nullptr);

// Writers; each throws ExportError or WriteError (app/atomicfile.h).
// `input` holds the values as typed (the data file, or dataOf(record)).
void writeCsv(const std::string &path, const AnalysisRun &run);
void writeDat(const std::string &path, const AnalysisRun &run);
void writeXlsx(const std::string &path, const AnalysisRun &run, const DataSet &input);
void writeDxf(const std::string &path, const AnalysisRun &run);

// Whether this build has the workbook and the drawing (libxlsxwriter and
// dxflib). Without them writeXlsx, writeDxf and an .xlsx batch summary
// throw ExportError saying so.
bool workbooksAndDrawings();

// The DXF drawing's layers and what goes on them.
namespace layer {
inline constexpr const char *kKnown = "KNOWN_POINTS";
inline constexpr const char *kNew = "NEW_POINTS";
inline constexpr const char *kSides = "SIDES";
inline constexpr const char *kFlagged = "FLAGGED_SIDES";
inline constexpr const char *kEllipses = "ELLIPSES";
inline constexpr const char *kNames = "NAMES";
inline constexpr const char *kScaleBar = "SCALE_BAR";
} // namespace layer

// The --export-* options of the replay mode after a computation: every
// export asked for, each reported on `err` when it fails. Returns 0, or
// kOutputFailed (6) when one was not written.
int writeExports(const ReplayOptions &opt, const AnalysisRun &run, const DataSet &input, std::ostream &err);

// ---- batch runs ----------------------------------------------------------

// One chain of a batch run.
struct BatchRow {
    std::string file;
    int caseNo = 0;
    std::string outcome; // "computed", "nocase", "degenerate", "cancelled", "incomplete", "error"
    std::string message; // Chinese: the warning, the problem or the analysis's reason; empty for none
    double ms = 0;       // time taken
    std::optional<double> sigma0;     // mm (or 1 a priori)
    std::string weakestPoint;         // label and name; empty for none
    std::optional<double> weakestSp;  // mm
    std::string flaggedSides;         // "S3 S7"; empty for none
    std::string grade;                // "二级：符合" / "二级：不符合"; empty without a grade
};

// Reads, computes and analyses one data file; never throws.
BatchRow batchRow(const std::string &file);

// The summary as CSV (UTF-8, byte-order mark) or as an Excel workbook,
// chosen by the name's ending (.csv, .xlsx; any other is a usage error).
std::string batchCsv(const std::vector<BatchRow> &rows);
// The summary's column heads and one row's cells, as the CSV shows them.
const std::vector<std::string> &batchColumns();
std::vector<std::string> batchCells(const BatchRow &row);
// The summary as a workbook at `path` (the atomic writer's temporary
// file); empty, or the Chinese reason it was not written.
std::string writeBatchWorkbook(const std::string &path, const std::vector<BatchRow> &rows);
void writeBatchSummary(const std::string &path, const std::vector<BatchRow> &rows);

// chainadj --batch FILE... --summary OUT: every file computed on its own, a
// line per file on `out`. Returns 0 when every file computed, 7 when one
// or more did not, 1 for a usage error, 6 when the summary was not written.
inline constexpr int kBatchIncomplete = 7;
int runBatch(const std::vector<std::string> &files, const std::string &summary, std::ostream &out,
             std::ostream &err);

} // namespace chain::exporting
