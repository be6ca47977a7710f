// What the chains that start or close on known sides share (cases 7 to 12):
// the known side from two known points, the route from C through E to F
// (cases 7, 8, 10, 11, 12: P1 -> P2 -> P3 along S(2), S(4)), the second
// quadrilateral entered along S(10) and closed along S(9) (cases 7, 10, 11)
// or entered along S(8) (cases 8, 9, 12), and the columns of the condition
// matrix that belong to each of these pieces (cases 8 to 12; case 7 takes
// its rows from the route, routerows.h).
#pragma once

#include "cases.h"

#include <span>
#include <string>

namespace chain {

// What a route is computed from: the sides S(0..11), observed or adjusted,
// and the triangle angles formed from them.
struct RouteData {
    std::span<const double> S;
    const TriArr &alpha, &beta, &gamma;
    double rad;
};

// The legs of a route: azimuths T(1..5) and points P0..P5.
struct Traverse {
    std::array<double, 6> &T, &X, &Y;
    double rad;
    // Point i from point i-1 along T(i) over the length L.
    void leg(int i, double L);
};

// A side between two known points: its length sqrt(dx² + dy²) and the
// azimuth of its direction by the azimuth rule. Throws Degenerate, naming
// the two points and the side, when they coincide.
struct KnownSide {
    double length = 0;
    double azimuth = 0;
};
KnownSide knownSide(double xFrom, double yFrom, double xTo, double yTo, double rad, const char *from,
                    const char *to, const char *side);

// The side A–C of cases 8, 10, 11 and 12, as the route starts on it at C:
// S(1) = |AC| and T(1) = the azimuth of C -> A.
KnownSide knownSideAC(double xa, double ya, double xc, double yc, double rad);

// P0 = A, P1 = C and T(1): the start of cases 8, 10, 11, 12.
void startAtC(Traverse &t, double xa, double ya, double xc, double yc, double T1);

// Turns at C and E, legs along S(2) and S(4) to P2 and P3. Cases 8 and 10
// raise a negative T(3) by 360; cases 11 and 12 leave it (`raiseT3`).
void fromCToF(Traverse &t, const RouteData &d, bool raiseT3);

// From F along S(10) to the vertex of S(9), S(10), S(11) (P4), then along
// S(9) to the closing point (P5): cases 7, 10, 11.
void alongS10S9(Traverse &t, const RouteData &d);

// From F along S(8) to D (P4): cases 8, 9, 12.
void alongS8(Traverse &t, const RouteData &d);

// The turn at D from the direction F -> D onto D -> B, raised by 360 when
// negative: T(5) of cases 8 and 12, the carried azimuth az of case 9.
double turnAtD(double T4, const RouteData &d);

// The azimuth misclosure in seconds: the carried azimuth against the given
// one, their difference folded into (-180, 180] so that a direction near
// north does not carry a full turn.
double azimuthMisclosure(double carried, double given);

// Heights and cosines of the first quadrilateral that the route from C
// through E to F turns by: u1 = S(2)·sin gamma(1), u2 = S(2)·sin alpha(1),
// u3 = S(4)·sin gamma(2).
struct FirstQuad {
    double u1, u2, u3;
    double cb1, cg1, ca1, cb2, cg2;
};
FirstQuad firstQuad(const Inputs &in);

// Columns 2, 3 and 5 of an azimuth row for the turns at C and E, and column
// 4 = rho·(cos gamma(2)/u3 − entry), `entry` being the term of the turn at
// F into the second quadrilateral.
void azimuthColumnsFromC(Matrix &A, int row, const FirstQuad &q, double rho, double entry);

// Columns 2..5 of an ordinate row rx and an abscissa row ry for the point
// (x, y) reached from C through E and F: lever arms dY(i) = y − Y(i),
// dX(i) = x − X(i), i = 1, 2. Column 4 holds cos T(3) − dY(2)·cos gamma(2)/u3
// (its abscissa likewise); the second quadrilateral adds its entry term.
// With (x, y) = P3 these are the weight functions of P3.
void coordinateColumnsFromC(Matrix &A, int rx, int ry, const Model &m, const FirstQuad &q, double x, double y,
                            double rad);

// The second quadrilateral entered along S(10) and closed along S(9):
// u4 = S(9)·sin alpha(5) and the cosines of triangles 5 and 6.
struct AlongS10 {
    double u4;
    double ca5, cb5, ca6, cg6, h6;
};
AlongS10 alongS10(const Inputs &in);

// Columns 8..11 of an azimuth row, and the entry term of its column 4.
void azimuthColumnsAlongS10(Matrix &A, int row, const AlongS10 &s, double rho);
inline double entryAlongS10(const AlongS10 &s) { return s.cg6 / s.h6; }

// Column 4's entry term and columns 8..11 of the coordinate rows rx, ry
// closing on (x, y); dY(3), dY(4) are the lever arms of P3 and P4.
void coordinateColumnsAlongS10(Matrix &A, int rx, int ry, const Model &m, const AlongS10 &s, double x, double y,
                               double rad);

// The second quadrilateral entered along S(8): u5 = S(9)·sin gamma(5) and
// the cosines of triangles 4 and 5.
struct AlongS8 {
    double u5;
    double ca4, cg4, cb5, cg5, h4;
};
AlongS8 alongS8(const Inputs &in);

// Columns 7, 8 and 10 of an azimuth row (the turns at F and D), and the
// entry term of its column 4.
void azimuthColumnsAlongS8(Matrix &A, int row, const AlongS8 &s, double rho);
inline double entryAlongS8(const AlongS8 &s) { return s.ca4 / s.h4; }

// Column 4's entry term and columns 7..10 of the coordinate rows rx, ry
// closing on (x, y) through D along S(9): cases 8 and 12.
void coordinateColumnsAlongS8S9(Matrix &A, int rx, int ry, const Model &m, const AlongS8 &s, double x, double y,
                                double rad);

// The route's points into the result's X(0..5), Y(0..5).
void storeRoute(CaseResult &r, const std::array<double, 6> &X, const std::array<double, 6> &Y);

// A chain that starts on the known side A–C (cases 8, 10, 11, 12), put
// together from its route pieces: S(1) = |AC| and T(1) the azimuth C -> A,
// the legs from C through E to F along S(2), S(4), then into the second
// quadrilateral either along S(8) to D and S(9) to B (closing on B) or along
// S(10) to B and S(9) to D (closing on D), and at the closing point an
// azimuth condition or none.
enum class SecondLeg { AlongS8, AlongS10 };
enum class ClosingAzimuth {
    None,      // four conditions: the figure and the coordinates of the closing point
    Corrected, // five: TB = T(5) + qb + 180 (raised, then reduced); qb's column 12 takes part
    Held,      // five: TB = T(5) + qb + 180 (only reduced); qb is held, no column 12
};
struct KnownSideChain {
    bool raiseT3; // a negative T(3) raised by 360 (cases 8 and 10)
    SecondLeg leg;
    ClosingAzimuth azimuth;
};

// The route P0..P5 = A, C, E, F, then D, B or B, D, from T(1).
void routeFromKnownSide(Traverse &t, const RouteData &d, const KnownSideChain &c, double xa, double ya, double xc,
                        double yc, double T1);

// The model of such a chain: route, misclosures (the figure conditions, the
// azimuth condition when there is one, the ordinate and abscissa of the
// closing point) and the condition matrix over S(2)..S(11), with the weight
// functions of P3 (F) in the two rows after the conditions.
Model modelFromKnownSide(const Inputs &in, const KnownSideChain &c);

// The whole case procedure of such a chain: S(1) from A and C into the
// result, the model, the solution with Sp(1) = S(1) and the orientation
// angles unchanged, the adjusted route from the unchanged T(1) and the
// precision.
CaseResult adjustFromKnownSide(int caseNo, const KnownSideChain &c, const Record &rec, const Computation &comp);

} // namespace chain
