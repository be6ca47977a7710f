// The computation record: every value that the Compute command, the case
// procedures and the report share. It lives as long as the window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace chain {

// A square or rectangular array of doubles indexed (row, column) from 0,
// re-dimensioned as a whole like the record's N and Q.
class Matrix {
public:
    Matrix() = default;
    Matrix(int rows, int cols) { redim(rows, cols); }
    // Bounds 0..maxRow by 0..maxCol, every element zero, old contents gone.
    void redim(int rows, int cols)
    {
        rows_ = rows;
        cols_ = cols;
        a_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0.0);
    }
    double &operator()(int r, int c) { return a_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)]; }
    double operator()(int r, int c) const { return a_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)]; }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    bool empty() const { return a_.empty(); }

private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<double> a_;
};

// Triangle quantities of the six triangles, element j for triangle j = 1..6.
using TriArr = std::array<double, 7>;

// A point is known when both its coordinates are given; one typed as 0, 0
// is a point to be determined.
inline bool isKnown(double x, double y) { return x != 0 && y != 0; }

struct Record {
    // Known points and angles (decimal degrees; *_in as typed, d.mmss).
    double xa = 0, ya = 0, xb = 0, yb = 0, xc = 0, yc = 0, xd = 0, yd = 0;
    double ta = 0, ta_in = 0, qa = 0, qa_in = 0;
    double tb = 0, tb_in = 0, qb = 0, qb_in = 0;
    // The orientation angles as measured (signed decimal degrees). qa and qb
    // take the corrections of the cases that adjust them; these stay.
    double qaObserved = 0, qbObserved = 0;

    // Observations and names; unallocated until the first computation.
    std::vector<double> S;        // 0..11
    std::vector<double> Sp;       // 0..11
    std::vector<std::string> pn;  // 0..5

    // The replies as typed for the values above (full-width digits made
    // ASCII, blanks around removed), so that a saved data file keeps
    // "3000.000" rather than the shortest text of the number. Empty for a
    // value that was not asked.
    struct Typed {
        std::array<std::string, 8> xy;     // xa ya xb yb xc yc xd yd
        std::array<std::string, 4> angles; // ta qa tb qb
        std::array<std::string, 12> S;     // S(1)..S(11) at 1..11
    };
    Typed typed;

    // Results of the case procedure.
    std::vector<float> w;   // 0..nc
    std::vector<double> k;  // 0..nc
    std::vector<double> X;  // 0..np
    std::vector<double> Y;  // 0..np (case 1: 0..nm)
    Matrix N, Q;            // 0..nm by 0..nm
    double px = 0, py = 0;
    float ms = 0, mx = 0, my = 0, md = 0;

    // Sizes and control values.
    std::int16_t nc = 0, np = 0, nm = 0, ip = 0, caseNo = 0;
    double rad = 0;
    float rho = 0;
};

// The values the Compute command builds for one computation only.
struct Computation {
    float sga = 0, sgb = 0;
    std::int16_t side = 0;
    TriArr alpha{}, beta{}, gamma{}, h{};
};

} // namespace chain
