// Test chains built from true coordinates: error-free sides and angles, the
// reply sequence a surveyor would type for each case, and the check of the
// condition matrix against central differences.
#pragma once

#include "adjust/cases.h"
#include "adjust/catalogue.h"
#include "adjust/record.h"

#include <array>
#include <string>
#include <vector>

namespace testchain {

struct Pt {
    double x = 0, y = 0;
};

// The six points by name. Walking from the start end (A, C) to the closing
// end (D, B), A, F and B lie on the right of the chain, C, E and D on its left.
struct Chain {
    Pt A, C, E, F, D, B;
};

// A realistic chain of sides from 300 to 700 metres.
Chain sampleChain();
// The same figure turned and moved, to test other quadrants.
Chain rotated(const Chain &c, double degrees, Pt shift);

// S(1)..S(11) from the coordinates (element 0 unused).
std::array<double, 12> sidesOf(const Chain &c);

// Azimuth in [0, 360) degrees from one point to another.
double azimuth(Pt from, Pt to);
// Degrees folded into (-180, 180].
double fold(double deg);
// Decimal degrees as d.mmss text (seconds with decimals), sign kept.
std::string dms(double deg);
// A number as typed, with enough digits to be exact to a nanometre.
std::string num(double v);

// What a case is given: which points are known and which angles typed.
struct CaseData {
    int caseNo = 0;
    bool knownA = false, knownB = false, knownC = false, knownD = false;
    bool startAngles = false, closingAngles = false;
    double qa = 0, qb = 0; // orientation angles, signed degrees
    double ta = 0, tb = 0; // outer azimuths, degrees, consistent with the chain
    std::array<std::string, 6> names;
};

// The data of case n for the chain, with error-free azimuths: T(1) = ta + qa
// is the azimuth of the first route side, tb = azimuth(closing point → other
// closing-end point) + qb.
CaseData caseData(int caseNo, const Chain &c);

// The full reply sequence for the prompts (each value followed by an empty
// confirmation), with the given observed sides.
std::vector<std::string> replies(const CaseData &d, const Chain &c, const std::array<double, 12> &sides);

// Engine inputs of case n: known values from the chain and the case data,
// sides as given, triangle quantities formed from them.
chain::Inputs inputs(const CaseData &d, const Chain &c, const std::array<double, 12> &sides);

// Route point i of case n, as the case computes coordinates (P0..P5).
Pt routePoint(int caseNo, const Chain &c, int i);

// Compares every row of the case's condition matrix (conditions and weight
// functions) over the corrected columns with central differences of the
// misclosures and the weakest point's coordinates. Returns an empty string
// when they agree, else a description of the first disagreement.
std::string derivativeMismatch(int caseNo, const chain::Inputs &base);

// Sides with a few millimetres of deterministic noise.
std::array<double, 12> noisy(const std::array<double, 12> &s, double mm, unsigned seed);

// A design data file of case 1: approximate coordinates of the six points
// (C and D to be determined), ta and qa, 2 mm + 2 ppm, the points' names.
extern const char *const kDesignCase1;

} // namespace testchain
