// The analysis network of a classic computation: which route point is which
// labelled point, the typed sides, the orientation directions of the case,
// the classic adjusted coordinates as starting values.
#pragma once

#include "adjust/catalogue.h"
#include "adjust/record.h"
#include "analysis/network.h"

#include <array>
#include <optional>

namespace chain {

// What the user adds for the analysis (data-file keys sigma_a, sigma_b,
// sigma_q, grade).
struct AnalysisOptions {
    std::optional<double> sigmaA; // mm
    std::optional<double> sigmaB; // ppm
    std::optional<double> sigmaQ; // seconds; none: orientations held
    analysis::Grade grade = analysis::Grade::None;
};

// routeLabel(n, i) of the case catalogue gives the labelled point
// (analysis::Label, the same numbering) of route point i of case n.

// The labelled point whose precision the classic method of case n reports.
int classicWeakestLabel(int caseNo);

// The network of a computed record of case n. The record's X, Y and pn hold
// the route points in the case's order.
analysis::Network networkFromRecord(const Record &rec, int caseNo, const AnalysisOptions &opt);

} // namespace chain
