// The twelve case procedures and what each builds its condition equations
// from. A case procedure reads the record and the triangles and returns a
// CaseResult; what is particular to each case is its row in catalogue.h.
#pragma once

#include "pipeline.h"
#include "record.h"
#include "result.h"

#include <array>
#include <cmath>

namespace chain {

// The data the condition equations of a case depend on (the approximate
// route, the misclosures and the condition matrix): the known values, the
// sides and the triangle quantities formed from them.
struct Inputs {
    double xa = 0, ya = 0, xb = 0, yb = 0, xc = 0, yc = 0, xd = 0, yd = 0;
    double ta = 0, qa = 0, tb = 0, qb = 0;
    float sga = 0, sgb = 0;
    std::array<double, 12> S{};
    TriArr alpha{}, beta{}, gamma{}, h{};
    float rho = 206265.0f;
    double rad = 3.1415926535 / 180;
    // Cases 3 to 5: when set, the route keeps this rotation (dt) instead of
    // turning it onto the closing point (used to take derivatives with the
    // rotation held, as the adjustment holds it).
    bool holdRotation = false;
    double rotation = 0;
};

// The equations of a case: the approximate route P0..P5 (T, X, Y), the
// misclosures in double precision before they are stored as singles, and the
// condition matrix A (rows 1..nc conditions, rows nc+1, nc+2 the weight
// functions of the weakest point, which is route point `weakest`).
struct Model {
    std::array<double, 6> T{}, X{}, Y{};
    std::array<double, 6> w{};
    Matrix A = conditionMatrix();
    int nc = 0;
    int weakest = 0;
    double closingAzimuth = 0; // TB or az, in the cases with an azimuth condition
    double rotation = 0;       // dt, in the cases without orientation
};

Model model1(const Inputs &in);
Model model2(const Inputs &in);
Model model3(const Inputs &in);
Model model4(const Inputs &in);
Model model5(const Inputs &in);
Model model6(const Inputs &in);
Model model7(const Inputs &in);
Model model8(const Inputs &in);
Model model9(const Inputs &in);
Model model10(const Inputs &in);
Model model11(const Inputs &in);
Model model12(const Inputs &in);

// The model of case n (1..12).
Model modelOf(int caseNo, const Inputs &in);


using Sides = std::vector<double>;

// The case procedures. Each takes the record (known values, sides, rho and
// rad) and the triangles of the computation, and returns its results; the
// record is not changed. The catalogue (catalogue.h) names the procedure of
// every case.
CaseResult Cm1(const Record &rec, const Computation &comp);
CaseResult Cm2(const Record &rec, const Computation &comp);
CaseResult Cm3(const Record &rec, const Computation &comp);
CaseResult Cm4(const Record &rec, const Computation &comp);
CaseResult Cm5(const Record &rec, const Computation &comp);
CaseResult Cm6(const Record &rec, const Computation &comp);
CaseResult Cm7(const Record &rec, const Computation &comp);
CaseResult Cm8(const Record &rec, const Computation &comp);
CaseResult Cm9(const Record &rec, const Computation &comp);
CaseResult Cm10(const Record &rec, const Computation &comp);
CaseResult Cm11(const Record &rec, const Computation &comp);
CaseResult Cm12(const Record &rec, const Computation &comp);

// Helpers the case procedures share.
namespace detail {

inline double cosd(double angle, double rad) { return std::cos(angle * rad); }
inline double sind(double angle, double rad) { return std::sin(angle * rad); }

// Figure condition 1 into row `row` of A (with the S(1) column when
// `withS1`), figure condition 2 likewise (with the S(9) column when `withS9`).
void figureRow1(Matrix &A, int row, const Inputs &in, bool withS1);
void figureRow2(Matrix &A, int row, const Inputs &in, bool withS9);

// w(1), w(2) in seconds: the two quadrilateral conditions.
double figureMisclosure1(const Inputs &in);
double figureMisclosure2(const Inputs &in);

// Inputs built from the record's sides and the triangle arrays.
Inputs inputsFrom(const Sides &S, const TriArr &alpha, const TriArr &gamma, const TriArr &beta, const TriArr &h,
                  float rho, double rad);

// Inputs of a case: every known value of the record (points, angles and the
// signs of the orientation angles), the sides S and the triangles.
Inputs inputsOf(const Record &rec, const Computation &comp, const Sides &S);

// Cases 1 and 3, the route A, C, E, F, D, B closing on B: w(1)..w(4) and
// rows 1 to 6 of A over the side columns (the figure conditions, the
// ordinate and abscissa conditions on B, the weight functions of P2).
void sideConditionsCase1(Model &m, const Inputs &in);

// The adjusted route A, C, E, F, D, B of cases 1 to 3 from T(1), turned
// with the angles of the adjusted sides.
void adjustedRouteCase1(CaseResult &r, double T1, const TriArr &alpha, const TriArr &gamma, const TriArr &beta,
                        double xa, double ya);

// Cases 5 and 6, the route C, A, F, E, D, B: throws Degenerate, naming
// the triangle and the point, when a height of its turns vanishes
// (S(4)·sin alpha(2), S(7)·sin gamma(4), S(7)·sin alpha(4), S(9)·sin gamma(5)).
void requireHeightsCase5(const Inputs &in);

// The misclosures of the model kept as singles, and its approximate route.
void storeMisclosures(CaseResult &r, const Model &m);

} // namespace detail

} // namespace chain
