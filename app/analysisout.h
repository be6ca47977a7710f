// The outputs of the precision analysis for the replay mode: the Chinese
// text section (--analysis), the JSON object (--json) and the relative
// precision of one pair of points (--between).
#pragma once

#include "adjust/record.h"
#include "analysis/engine.h"
#include "analysisinput.h"

#include "replay.h"

#include <optional>
#include <ostream>
#include <string>

namespace chain {

// One computation and its analysis, as the outputs need them.
struct AnalysisRun {
    const Record *rec = nullptr;
    int caseNo = 0;
    std::string outcome;          // "computed", "nocase", "degenerate", "cancelled", "incomplete"
    std::string message;          // of the classic computation; empty for none
    std::string title;            // the case's description; empty when nothing was computed
    bool design = false;          // pre-analysis: no classic computation
    std::optional<analysis::Engine> engine; // solved, or nothing
    std::string analysisMessage;  // why there is no analysis; empty when there is one
};

struct DataSet;

// The analysis options of a data file (sigma_a, sigma_b, sigma_q, grade);
// the values have been checked when the file was read.
AnalysisOptions analysisOptionsOf(const DataSet &d);

// The pre-analysis of a design data set: the case from its known points
// and angles, approximate coordinates for every point to be determined.
// Fills run (case, outcome, title, engine or analysisMessage).
void analyseDesign(AnalysisRun &run, const DataSet &d);

// Builds and solves the network of a computed record.
void analyseRecord(AnalysisRun &run, const AnalysisOptions &opt);

std::string analysisText(const AnalysisRun &run);

// One line for a status bar: σ̂0, the weakest point by name with σP, the
// sides that may hold a blunder and the verdict of the grade when one is
// set. Empty when there is no analysis; a figure that cannot be given is
// left out, never shown as a number that is not one.
std::string analysisSummaryLine(const AnalysisRun &run);
// The verdict of a grade's checks: "符合", or "超限" with the number of
// checks that fail.
std::string gradeVerdict(const analysis::GradeResult &g);
// The outcome's key in AnalysisRun and the JSON from a computation's exit
// status ("incomplete" for a status that is no outcome: replies ran out).
const char *outcomeName(int status);
std::string analysisJson(const AnalysisRun &run);

// A point by label ("A".."F") or by name; -1 when neither.
int findPoint(const analysis::Network &net, const std::string &text);
// Distance and azimuth between two points with σ and the relative ellipse.
std::string betweenText(const analysis::Engine &e, int from, int to);

class FieldTable;

// The replay mode's analysis outputs after a computation (--analysis,
// --json, --between), in that order; returns 0 or the exit status of a
// failed output (an unknown point for --between).
// The analysis options and the report header come from `data` (empty when
// the replies came from a replies file).
int writeAnalysisOutputs(const ReplayOptions &opt, const Record &rec, const FieldTable &fields, int status,
                         const std::string &message, const DataSet &data, const AdjustmentPdfWriter &pdf,
                         std::ostream &out, std::ostream &err);

// The replay mode of a pre-analysis data file: no classic computation, the
// analysis outputs only.
int runDesignReplay(const ReplayOptions &opt, const DataSet &d, const AdjustmentPdfWriter &pdf, std::ostream &out,
                    std::ostream &err);

} // namespace chain
