// What a case procedure returns: its results as one value. The Compute
// command keeps them in the record, the presenter (app/presenter.h) turns
// them into the window's texts, and the solved normal system stays whole in
// it, so that a later question (the weight reciprocal of any function of the
// corrected sides) can be answered without computing the case again.
#pragma once

#include "record.h"

#include <array>
#include <cstdint>
#include <vector>

namespace chain {

// A set of columns first..last of the condition matrix, leaving out `skip`
// when it is not -1 (column 0 the start orientation, 1..11 the sides, 12 the
// closing orientation).
struct Columns {
    int first, last, skip = -1;
    bool has(int c) const { return c >= first && c <= last && c != skip; }
};

// The corrections V(0..12) of the columns of the condition matrix.
using Corrections = std::array<double, 13>;

// The condition matrix of a case: rows 0..7, columns 0..12; rows 1..nc the
// conditions, rows nc+1 and nc+2 the weight functions of the weakest point.
inline Matrix conditionMatrix() { return Matrix(8, 13); }

struct CaseResult {
    int caseNo = 0;
    const char *title = ""; // the kind of adjustment, from the case's catalogue row
    double rad = 0;         // degrees to radians, as the record holds it

    // Sizes as the record keeps them: nc conditions, np route points,
    // N and Q 0..nm by 0..nm; ip the column Cghil took last.
    std::int16_t nc = 0, np = 0, nm = 0, ip = 0;

    std::vector<float> w;  // misclosures 1..nc: seconds, or metres for a coordinate condition
    std::vector<double> k; // correlates 1..nc
    std::vector<double> S;  // the sides as the case used them (known sides from their end points)
    std::vector<double> Sp; // adjusted sides 1..11
    Corrections V{};        // corrections of the columns of A, metres (sides) or seconds (orientations)
    double vv = 0;          // sum of the squared side corrections, mm²

    // The route P0..P5 in the order of the case's catalogue row: first the
    // approximate route, after the adjustment the adjusted coordinates.
    // Y has the record's size (0..6 in case 1).
    std::vector<double> X, Y;

    // The orientation angles after the adjustment (signed, degrees):
    // corrected where the case corrects them, else as given.
    double qa = 0, qb = 0;

    // Precision: weight reciprocals of the weakest point (route index
    // `weakest`), the unit-weight error of a side and the point's errors.
    int weakest = 0;
    double px = 0, py = 0;
    float ms = 0, mx = 0, my = 0, md = 0;

    // The equations: the condition matrix, the columns that enter the normal
    // equations, the normal system as formed (rows and columns 1..nc+2: [aa],
    // then the products with the two weight functions), and the working
    // arrays N and Q that Cghil and the correlates reduce in place.
    Matrix A = conditionMatrix();
    Columns normalColumns{0, 11};
    Matrix normal;
    Matrix N, Q;
};

// The weight reciprocal of the function F = f(0)·V(0) + ... + f(12)·V(12) of
// the corrections after the adjustment, from the kept normal system:
// [ff] − [af]ᵀ [aa]⁻¹ [af] over the case's normal columns. With f a weight
// function row of A it gives px or py again. Throws Degenerate when the
// normal system cannot be solved.
double weightReciprocal(const CaseResult &r, const std::array<double, 13> &f);

// The results into the record: what the report, the check of the figure and
// the next computation read.
void keep(Record &rec, const CaseResult &r);

} // namespace chain
