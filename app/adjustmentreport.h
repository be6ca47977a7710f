// The adjustment report (平差报告) of one computation and its analysis: the
// model built from an AnalysisRun and the data file's header keys, and its
// PDF written through a temporary file beside the target.
#pragma once

#include "analysisout.h"
#include "replay.h"
#include "report/adjreport.h"

#include <functional>
#include <optional>
#include <string>

namespace chain {

struct DataSet;

// The header keys of a data file (project, operator, instrument, date).
report::ReportHeader reportHeaderOf(const DataSet &d);

// What the report takes beyond the computation: the analysis options and
// the header, as a data file gives them.
struct AdjustmentSettings {
    AnalysisOptions options;
    report::ReportHeader header;
};
AdjustmentSettings adjustmentSettingsOf(const DataSet &d);
// The settings as data-file keys (sigma_a .. grade, project .. date): the
// keys the settings give are set, the others removed; the design keys stay.
// adjustmentSettingsOf gives the same settings back.
void putAdjustmentSettings(DataSet &d, const AdjustmentSettings &s);

// Today's date as YYYY-MM-DD, local time: the header's date when the data
// give none.
std::string todayText();

// The report of a run: its classic record (none in a pre-analysis) and its
// rigorous analysis, or the message why there is none.
report::AdjustmentReport adjustmentReportOf(const AnalysisRun &run, const report::ReportHeader &header,
                                            const std::string &today);

// The report of the computation a record holds (the window's record after
// 计 算), analysed with `settings`; nothing, with the reason, when the record
// holds no computed case.
std::optional<report::AdjustmentReport> adjustmentReportOfRecord(const Record &rec, const std::string &title,
                                                                 const AdjustmentSettings &settings,
                                                                 const std::string &today, std::string *why);

// --analysis-pdf OUT of the replay mode: the report of the run when it
// computed, drawn by `pdf` (the window module's chainadj_render_adjustment_pdf);
// a run that did not compute writes nothing. Returns 0, or the exit status
// of a failed output.
int writeAdjustmentReport(const std::string &out, const AnalysisRun &run, const DataSet &d,
                          const AdjustmentPdfWriter &pdf, std::ostream &err);

} // namespace chain
