// The twelve computation cases, one row each: everything that is particular
// to a case. The case selection, the dispatch, the presenter, the report,
// the data-file checks, the help, the check of the adjusted figure and the
// tests read it; a new question about the cases is a new column here.
#pragma once

#include "result.h"

#include <array>
#include <cstdint>

namespace chain {

struct Computation;
struct Inputs;
struct Model;

// How a case selects on one condition: the value is given (a known point,
// an angle pair typed), absent (a point to be determined, no angle), or not
// tested.
enum class Need : std::uint8_t { Given, Absent, Any };

// The signs of the two orientation angles, or the side of the chain on which
// the known points lie when no angle is typed.
enum class Sign : std::int8_t { Negative = -1, None = 0, Positive = 1, Any = 9 };

// How the window shows the misclosures of a case. An angle misclosure w is
// shown as prefix + w to 2 decimals + unit; the azimuth misclosure as its
// prefix + w (rounded first to `azimuthRound` decimals when not 0) + its
// unit; a coordinate misclosure (metres) in millimetres, the product formed
// in single precision, to 2 decimals or in the general number format.
struct MisclosureFormat {
    const char *anglePrefix, *angleUnit;
    const char *azimuthPrefix;
    int azimuthRound;
    const char *azimuthUnit;
    const char *noAzimuth; // shown instead when the case has no azimuth condition
    const char *mmPrefix, *mmUnit;
    bool mmGeneral;
};

// A line of the report: its tab column and its text.
struct ReportLine {
    int tab;
    const char *text;
};

using Procedure = CaseResult (*)(const Record &rec, const Computation &comp);

struct CaseRow {
    int caseNo;

    // Selection: the four end points, the angle pairs at the start (ta, qa)
    // and closing (tb, qb) ends, the sign of qa·qb, the side of the chain.
    Need a, b, c, d;
    Need startAngles, closingAngles;
    bool closingAzimuthOnly; // only tb is tested of the closing pair
    Sign product;
    Sign side;

    // The route P0..P5 as point letters and the sides of its legs 1..5; the
    // weakest point as a route index.
    const char *route;
    std::array<int, 6> routeSides;
    int weakest;

    // The equations: number of conditions, whether one of them is the
    // azimuth condition, the columns of the normal equations and the
    // columns that get corrections, the record's sizes.
    int conditions;
    bool azimuthCondition;
    Columns normalColumns, corrected;
    int nm, yMax;

    // Orientation: which given angles are orientation directions of the
    // figure (the start pair, the closing pair); whether the record's qb
    // still lacks the correction the adjustment gave it; whether the closing
    // orientation is held fixed.
    bool startOriented, closingOriented;
    bool qbUncorrected, closingHeld;

    // Texts: the window's title of the adjustment, the report's subtitle,
    // the help's description.
    const char *title;
    ReportLine subtitle;
    const char *help;

    // Display: ms = sqrt(vv / msDivisor); px and py to 6 decimals in the
    // general format (pxDecimals 6) or with "0.0000" (4); the misclosures.
    int msDivisor;
    int pxDecimals;
    MisclosureFormat misclosures;

    // The case procedure, and the model of its equations alone (the
    // approximate route, the misclosures and the condition matrix).
    Procedure procedure;
    Model (*model)(const Inputs &in);
};

// Row n (1..12); throws Degenerate for any other number.
const CaseRow &caseRow(int caseNo);
// True for 1..12.
bool isCase(int caseNo);

// The labelled points A, C, E, F, D, B as 0..5 (the order of the side table).
enum PointLabel { kA, kC, kE, kF, kD, kB };

// The labelled point that route point i (0..5) of case n is; -1 outside.
int routeLabel(int caseNo, int i);
// The route point of label p in case n; -1 outside.
int routeIndex(int caseNo, int label);

} // namespace chain
