// The window's result texts: every field a computation writes, from the
// case's result value and the formats of its catalogue row. The prompts'
// echo fields are written by the dialogue (dialogue.h), the side message of
// the case selection by the Compute command.
#pragma once

#include "adjust/result.h"
#include "sink.h"

namespace chain {

// Writes the misclosures (Text22, Text23, Text13, Text14, Text15), the kind
// of adjustment (Text24), the adjusted coordinates (Text9(0..5),
// Text10(0..5)) and the precision (Text16..Text21).
void present(const CaseResult &r, TextSink &out);

} // namespace chain
