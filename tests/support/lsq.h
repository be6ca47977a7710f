// The least-squares solution of a case formed without the engine's
// condition matrix: condition rows and weight functions as numerical
// derivatives of the case's misclosures and weakest point over its normal
// columns, solved with pivoting. The tests compare every case against it.
#pragma once

#include "chains.h"

#include <array>
#include <vector>

namespace testchain {

struct Solution {
    int nc = 0;
    std::vector<double> k;      // 1..nc
    std::array<double, 13> v{}; // corrections of the columns 0..12
    double px = 0, py = 0;
};

Solution leastSquares(int caseNo, const chain::Inputs &in);

// Solves the n×n system M x = b by Gauss elimination with partial pivoting:
// the tests' own solver, independent of the engine's.
std::vector<double> solve(std::vector<std::vector<double>> M, std::vector<double> b);

// The record and triangles a computation of the case hands its procedure,
// from the engine inputs of a test chain.
struct CaseCall {
    chain::Record rec;
    chain::Computation comp;
};
CaseCall caseCall(int caseNo, const chain::Inputs &in);

} // namespace testchain
