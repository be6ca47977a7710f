// The machinery every case procedure shares: sizes, normal equations, the
// weight reciprocals through Cghil, the correlates, the corrections, the
// angles of the adjusted sides and the precision figures.
#pragma once

#include "record.h"
#include "sink.h"

#include <array>
#include <cstdint>

namespace chain {

// What a case procedure works on besides its argument list: the record's
// result fields and the window's result texts.
struct CaseEnv {
    Record &rec;
    TextSink &out;
};

// The condition matrix of a case: rows 0..7, columns 0..12 (column 0 the
// start orientation, 1..11 the sides, 12 the closing orientation).
inline Matrix conditionMatrix() { return Matrix(8, 13); }

// A set of columns first..last, leaving out `skip` when it is not -1.
struct Columns {
    int first, last, skip = -1;
    bool has(int c) const { return c >= first && c <= last && c != skip; }
};

// Step 1: set nc, np, nm and re-dimension w, k, X, Y, N and Q. Y gets
// 0..yMax (case 1 sizes it by nm).
void redimension(Record &rec, int nc, int np, int nm, int yMax);

// Weight-reciprocal function: reduces N in place (no pivoting) and returns
// the product of the solution of N·x + b = 0 (b = column n+1) with column ip
// of Q. Throws Degenerate on a zero or non-finite reduced diagonal element.
double Cghil(Matrix &N, const Matrix &Q, std::int16_t ip, std::int16_t n);

// Step 5: N(i, j) = Q(i, j) = sum over the columns of A(j, l)·A(i, l), for
// i, j = 1..nc+2.
void normalEquations(Record &rec, const Matrix &A, Columns cols);

// Step 6: px with ip = nc+1, N restored from Q, then py with ip = nc+2.
void weightReciprocals(Record &rec);

// Step 7: the correlates k(1..nc) from [aa]·k + w = 0, reducing Q in place.
void correlates(Record &rec);

// Step 8: V(j) = sum of k(i)·A(i, j) over the conditions, Sp(j) = S(j) + V(j)
// for the corrected sides; returns vv in square millimetres. Sides outside
// `cols` get V = 0 and Sp = S.
using Corrections = std::array<double, 13>;
double corrections(Record &rec, const Matrix &A, Columns cols, Corrections &V);

// Steps 5 to 8 in their order: the normal equations over the columns of case
// `caseNo`, px and py, the correlates, and the corrections of the sides in
// `corrected`. Returns vv in square millimetres.
double solveConditions(Record &rec, const Matrix &A, int caseNo, Columns corrected, Corrections &V);

// The correction of an orientation column c, in seconds: sum of k(i)·A(i, c).
double orientationCorrection(const Record &rec, const Matrix &A, int c);

// Step 10: alpha, beta, gamma of the six triangles from the adjusted sides.
void anglesFromAdjustedSides(const Record &rec, TriArr &alpha, TriArr &beta, TriArr &gamma);

// Step 12: ms from vv and its divisor, mx, my, md, and their texts. px and
// py are shown rounded to 6 decimals in the general format (pxDecimals 6)
// or to 4 decimals with "0.0000" (pxDecimals 4).
void showPrecision(CaseEnv &env, double vv, int divisor, int pxDecimals);

// Throws Degenerate when any value of the results is not finite.
void requireFiniteResults(const Record &rec);

} // namespace chain
