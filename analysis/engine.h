// The rigorous adjustment of the chain: parametric least squares iterated by
// Gauss-Newton, held orientations as constraints of a bordered normal
// system, and every precision and reliability figure asked afterwards from
// the kept cofactors without solving again.
//
// Units: coordinates and lengths in metres, residuals, sigmas and biases in
// millimetres (seconds of arc for directions). Without an a priori accuracy
// every side has weight 1, so σ̂0 is the mean square error of a side in mm.
#pragma once

#include "grade.h"
#include "network.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

// A failed analysis: the message says why, in Chinese.
struct Status {
    bool ok = true;
    std::string message;
};

struct Ellipse {
    double a = 0, b = 0;  // semi-axes, mm, a >= b
    double azimuth = 0;   // of a, degrees clockwise from north, [0, 180)
};

struct PointResult {
    int label = A;
    bool known = false;
    double x = 0, y = 0;              // adjusted, metres
    bool hasSigma = false;            // false: no scale (r = 0 without a priori accuracy)
    double sx = 0, sy = 0, sxy = 0, sp = 0; // mm, mm²
    Ellipse ellipse;
    bool hasClassic = false;
    double dxClassic = 0, dyClassic = 0;    // rigorous minus classic, mm
};

// Distance and azimuth between two points with their precision.
struct PairResult {
    int from = A, to = A;
    double distance = 0;    // metres
    double azimuth = 0;     // degrees [0, 360), from -> to
    bool hasSigma = false;
    double sDistance = 0;   // mm
    double sAzimuth = 0;    // seconds
    Ellipse relative;       // relative error ellipse of `to` with respect to `from`
};

enum class TestKind { None, Baarda, Pope };

struct SideResult {
    int index = 0;
    bool typed = false;
    double observed = 0, adjusted = 0; // metres
    double residual = 0;               // mm, adjusted - observed (0 in design)
    bool hasSigma = false;
    double sigma = 0;                  // of the adjusted length, mm
    double relative = 0;               // T of 1/T; 0 when sigma is 0
    double redundancy = 0;             // r_i
    double aprioriSigma = 0;           // σ_i of the observation, mm (σ̂0 without a priori accuracy)
    bool hasTest = false;
    double statistic = 0, critical = 0;
    bool flagged = false;
    bool hasMdb = false;
    double mdb = 0;                    // mm
    bool barelyChecked = false;        // r_i < 0.1
};

struct OrientationResult {
    Orientation o;
    bool held = true;
    double adjusted = 0;     // degrees, azimuth K -> N after adjustment
    double residual = 0;     // seconds (observed orientations only)
    double redundancy = 0;
    bool hasTest = false;
    double statistic = 0, critical = 0;
    bool flagged = false;
};

struct GlobalTest {
    double statistic = 0, lower = 0, upper = 0;
    bool passed = false;
};

struct GradeCheck {
    std::string item;
    double value = 0, limit = 0;
    bool passed = false;
};

struct GradeResult {
    const GradeLimits *limits = nullptr;
    std::vector<GradeCheck> checks;
};

struct TriangleAngles {
    std::array<int, 3> corners{};
    std::array<double, 3> angles{}; // degrees, at each corner
};

// Figures of the whole adjustment.
struct Summary {
    int observations = 0, unknowns = 0, constraints = 0, redundancy = 0, iterations = 0;
    double vtpv = 0;
    std::optional<double> sigma0;      // a posteriori; none with r = 0 or in design
    double scale = 0;                  // the σ the precision figures use (σ̂0, or 1 a priori)
    bool hasScale = false;
    std::optional<GlobalTest> globalTest;
    TestKind test = TestKind::None;
    double critical = 0;               // of the side tests
    int weakestPoint = -1;             // label, or -1
    int weakestSide = 0;               // 1..11, or 0
};

struct Analysis {
    Summary summary;
    std::vector<PointResult> points; // new points, in label order
    std::vector<SideResult> sides;   // typed sides, in index order
    std::vector<OrientationResult> orientations;
    std::vector<PairResult> sidePairs; // relative precision of every typed side
    std::vector<TriangleAngles> triangles;
    std::optional<GradeResult> grade;
};

class Engine {
public:
    static constexpr int kMaxUnknowns = 2 * kPoints;
    static constexpr int kMaxObs = kSides + 2;
    static constexpr int kMaxSys = kMaxUnknowns + 2;
    static constexpr int kMaxIterations = 30;

    explicit Engine(const Network &net);

    // Adjusts; on failure the message says why and nothing may be asked.
    Status solve();
    bool solved() const { return solved_; }
    const Network &network() const { return net_; }

    Summary summary() const;
    PointResult point(int label) const;
    SideResult side(int index) const; // any side 1..11, typed or not
    OrientationResult orientation(int k) const;
    PairResult pair(int from, int to) const;
    // σ (mm) of a linear function g · (x_A, y_A, x_C, y_C, ... , x_B, y_B)
    // of the adjusted coordinates (coefficients per millimetre); no value
    // without a scale.
    std::optional<double> functionSigma(const std::array<double, 2 * kPoints> &g) const;
    std::vector<TriangleAngles> triangles() const;
    std::optional<GradeResult> grade() const;
    // Everything at once.
    Analysis analyse() const;

private:
    struct Obs {
        int kind = 0;   // 0 side, 1 orientation
        int index = 0;  // side 1..11 or orientation 0..1
        double weight = 1;
        double sigma = 1; // a priori σ_i (mm or seconds)
    };

    Status fail(std::string message);
    // Row of observation/constraint k at the current coordinates: the
    // coefficients over the unknowns and the computed value.
    double rowOf(int from, int to, bool direction, double *row) const;
    double qxx(int i, int j) const { return q_[static_cast<std::size_t>(i * kMaxSys + j)]; }
    // Cofactor of two linear forms over the unknowns.
    double cof(const double *g, const double *h) const;
    // Coefficients of point p's x and y over the unknowns.
    void coordRow(int p, int axis, double *row) const;
    double obsCofactor(int k) const;
    double tCritical() const;

    Network net_;
    bool solved_ = false;
    std::array<double, kPoints> x_{}, y_{};
    std::array<int, kPoints> col_{}; // first unknown of a point (x, then y), or -1
    int u_ = 0, nObs_ = 0, nCon_ = 0, iterations_ = 0;
    std::array<Obs, kMaxObs> obs_{};
    std::array<int, 2> con_{};      // constraints: orientation indices
    std::array<double, kMaxObs> v_{}; // residuals (mm or seconds)
    std::array<double, kMaxObs> r_{}; // redundancy numbers
    std::array<double, kMaxSys * kMaxSys> q_{}; // constrained cofactors of the unknowns
    double vtpv_ = 0;
    int redundancy_ = 0;
    double scale_ = 0;
    bool hasScale_ = false;
    std::optional<double> sigma0_;
    double tauCritical_ = 0, chiLower_ = 0, chiUpper_ = 0;
};

} // namespace analysis
