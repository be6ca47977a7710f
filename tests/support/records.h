// Hand-built records for the report and printing tests.
#pragma once

#include "adjust/record.h"

namespace testchain {

// A case-1 record as a computation leaves it: A and B known, the start
// azimuth and orientation angle typed, four conditions.
chain::Record case1Record();

} // namespace testchain
