// The Compute command (Command1_Click): the input sequence, the case
// selection and the call of the case procedure, over a prompt interface and
// a window-text sink, so that it runs the same in the window, in the replay
// mode and in the tests.
#pragma once

#include "adjust/record.h"
#include "app/sink.h"
#include "dialogue.h"

#include <cstdint>
#include <string>

namespace chain {

// How one Compute command ended. The values are the replay mode's exit
// statuses.
enum class Outcome : int {
    Computed = 0,   // a case procedure ran to its end
    NoCase = 2,     // the known points and angles fit none of the twelve cases
    Degenerate = 3, // the figure or the equations could not be computed
    Cancelled = 4,  // Cancel on the prompt of a number
};

struct ComputeResult {
    Outcome outcome = Outcome::Cancelled;
    std::string message; // Chinese, for a message box; when computed, empty or a warning of a weak figure
};

ComputeResult Command1_Click(Record &rec, Prompter &prompter, TextSink &out);

// Part of the command, open to the tests (isKnown is the record's).
bool isNew(double x, double y);
// The case selection's message on the sides of the chain: the text for
// Text24, or empty when it keeps its text.
std::string sideMessage(const Record &rec, float sga, float sgb);
// The side of the chain when no angle was typed: 1 same, -1 opposite, 0.
std::int16_t sideOfChain(const Record &rec);
// The first row of the case catalogue that the points and angles fit, or 0.
std::int16_t selectCase(const Record &rec, const Computation &comp);
// Runs the case procedure of the catalogue row, keeps its results in the
// record and presents them in the window texts.
void dispatch(std::int16_t caseNo, Record &rec, Computation &comp, TextSink &out);

} // namespace chain
