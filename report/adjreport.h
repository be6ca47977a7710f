// The 平差报告 (adjustment report) as a model: a header for every page and
// a sequence of blocks — headings, paragraphs, label/value lists, tables and
// the figure — built from the classic computation record and the rigorous
// analysis of the same chain. Plain C++; the printer (report/adjprinter.h)
// sets it on A4 pages.
#pragma once

#include "adjust/record.h"
#include "analysis/engine.h"
#include "report/figuredata.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace chain::report {

// What the surveyor writes into the header (data-file keys project,
// operator, instrument, date). Empty for not given.
struct ReportHeader {
    std::string project, operatorName, instrument, date;
};

enum class Align { Left, Right, Centre };

struct Table {
    std::string id;      // "points", "sides", ... for finding it again
    std::string caption; // above the table
    std::vector<std::string> columns;
    std::vector<Align> align; // one per column
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> marked; // per row: printed in red (a flagged side, a failed check)
    std::vector<std::string> notes; // small print below

    // The row whose first cell is `key`, or nullptr.
    const std::vector<std::string> *row(const std::string &key) const;
    // The cell of that row under the column headed `column`; empty when
    // there is none.
    std::string cell(const std::string &key, const std::string &column) const;
};

struct Block {
    enum Kind { Heading, Paragraph, Pairs, TableBlock, Figure };
    Kind kind = Paragraph;
    std::string text;                                      // Heading, Paragraph
    std::vector<std::pair<std::string, std::string>> pairs; // Pairs: label, value
    Table table;                                           // TableBlock
    bool warning = false;                                  // Paragraph in red
};

struct AdjustmentReport {
    std::string title;     // "平差报告"
    std::string subtitle;  // the chain and its case
    ReportHeader header;
    std::string caseText;  // "情形 1" for the header; empty when none
    std::vector<Block> blocks;
    std::optional<FigureData> figure; // the Figure block draws it

    // The table of that id, or nullptr.
    const Table *table(const std::string &id) const;
    // Every text of the report, one line per block row, for searching.
    std::string plainText() const;
};

// What the report is made of. The record and the title come from the
// classic computation (none in a pre-analysis); the engine is the solved
// rigorous adjustment, or nothing with the message why.
struct AdjustmentInput {
    const Record *record = nullptr;
    int caseNo = 0;
    std::string title;                   // the case's description
    std::array<int, 6> routeLabels{};    // labelled point (analysis::Label) of route point i
    int classicWeakest = -1;             // label of the point whose precision the classic method gives
    bool design = false;                 // pre-analysis
    const analysis::Engine *engine = nullptr;
    std::string analysisMessage;
    ReportHeader header;
    std::string today;                   // date of printing, shown when the header has no date
};

AdjustmentReport buildAdjustmentReport(const AdjustmentInput &in);

// Degrees as d°mm′ss.s″ (a dash for a value that is not finite).
std::string degreesText(double deg, int secondDecimals = 1);
// A d.mmss angle as typed, as d°mm′ss.s″.
std::string dmsTypedText(double dmmss);

// Why the classic and the rigorous solutions of case n differ (the
// unoriented cases 3 to 5) or agree (every other case): one sentence shared
// by the report, the text output and the window.
std::string classicRigorousNote(int caseNo);

} // namespace chain::report
