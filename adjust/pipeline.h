// The machinery every case procedure shares: the result sized by the case's
// catalogue row, the normal equations, the weight reciprocals through Cghil,
// the correlates, the corrections, the angles of the adjusted sides and the
// precision figures.
#pragma once

#include "record.h"
#include "result.h"

#include <cstdint>

namespace chain {

// A result for case n: sizes, title and weakest point from the catalogue,
// w, k, X, Y, N and Q dimensioned and zero, the sides and orientation angles
// taken from the record (the procedure changes what it computes).
CaseResult startResult(int caseNo, const Record &rec);

// Weight-reciprocal function: reduces N in place (no pivoting) and returns
// the product of the solution of N·x + b = 0 (b = column n+1) with column ip
// of Q. Throws Degenerate on a zero or non-finite reduced diagonal element.
double Cghil(Matrix &N, const Matrix &Q, std::int16_t ip, std::int16_t n);

// N(i, j) = Q(i, j) = sum over the columns of A(j, l)·A(i, l), for
// i, j = 1..nc+2; the same system is kept unreduced in r.normal.
void normalEquations(CaseResult &r, const Matrix &A, Columns cols);

// px with ip = nc+1, N restored from Q, then py with ip = nc+2.
void weightReciprocals(CaseResult &r);

// The correlates k(1..nc) from [aa]·k + w = 0, reducing Q in place.
void correlates(CaseResult &r);

// V(j) = sum of k(i)·A(i, j) over the conditions, Sp(j) = S(j) + V(j) for
// the corrected sides; returns vv in square millimetres. Sides outside
// `cols` get V = 0 and Sp = S.
double corrections(CaseResult &r, const Matrix &A, Columns cols, Corrections &V);

// The whole solution in its order: the normal equations over the case's
// normal columns, px and py, the correlates, and the corrections of the
// sides in the case's corrected columns. Keeps A, V and vv in the result and
// returns vv in square millimetres.
double solveConditions(CaseResult &r, const Matrix &A);

// The correction of an orientation column c, in seconds: sum of k(i)·A(i, c).
double orientationCorrection(const CaseResult &r, const Matrix &A, int c);

// alpha, beta, gamma of the six triangles from the adjusted sides.
void anglesFromAdjustedSides(const CaseResult &r, TriArr &alpha, TriArr &beta, TriArr &gamma);

// ms from vv and the case's divisor, then mx, my and md. Throws Degenerate
// when px or py is negative or not finite.
void precision(CaseResult &r, double vv);

// Throws Degenerate when any value of the results is not finite.
void requireFiniteResults(const Record &rec);

} // namespace chain
