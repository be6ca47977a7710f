// A computation through the Compute command with scripted replies: what it
// leaves in the record, the window's fields and its outcome.
#pragma once

#include "adjust/record.h"
#include "app/compute.h"
#include "app/fields.h"

#include <string>
#include <vector>

namespace testchain {

struct Run {
    chain::Record rec;
    chain::FieldTable fields;
    chain::ComputeResult result;
};

Run compute(const std::vector<std::string> &replies);

} // namespace testchain
