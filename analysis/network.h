// The chain as a network for a rigorous adjustment: six labelled points,
// eleven sides of fixed topology, up to two orientation directions, the
// instrument accuracy and the grade. Plain C++, independent of the classic
// engine and of the window.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace analysis {

// The six points. Indices into Network::points and every per-point array.
enum Label : int { A = 0, C = 1, E = 2, F = 3, D = 4, B = 5 };
inline constexpr int kPoints = 6;
inline constexpr int kSides = 11;
inline constexpr std::array<const char *, kPoints> kLabelText = {"A", "C", "E", "F", "D", "B"};

// The end points of side i (1..11); element 0 unused.
struct SideEnds {
    int from, to;
};
inline constexpr std::array<SideEnds, kSides + 1> kSideEnds = {{
    {0, 0}, {A, C}, {C, E}, {A, E}, {E, F}, {A, F}, {C, F}, {E, D}, {F, D}, {D, B}, {F, B}, {E, B},
}};

// The six triangles of the two quadrilaterals, by their corner points.
inline constexpr std::array<std::array<int, 3>, 6> kTriangles = {{
    {A, C, E}, {A, E, F}, {A, F, C}, {E, F, D}, {F, D, B}, {F, B, E},
}};

struct Point {
    std::string name;
    bool known = false;
    double x = 0, y = 0; // metres; for a new point the start (classic or approximate) coordinates
};

struct Side {
    bool typed = false;  // observed; an untyped side is no observation
    double observed = 0; // metres (ignored in design mode)
};

// An orientation direction at one end of the chain: the azimuth from the
// known point of that end to the other point of it.
struct Orientation {
    int end = 0;       // 0 start end (A, C), 1 closing end (D, B)
    int known = A;     // K
    int other = C;     // N
    double azimuth = 0; // degrees
};

// Distance meter accuracy: sigma = a + b * S[km] millimetres.
struct Accuracy {
    double a = 0; // mm
    double b = 0; // ppm
};

enum class Grade { None, Second, Third, Fourth, First1, Second2 };

struct Network {
    std::array<Point, kPoints> points;
    std::array<Side, kSides + 1> sides; // 1..11
    std::array<Orientation, 2> orientations;
    int orientationCount = 0;
    std::optional<Accuracy> accuracy;   // none: equal weights, no a priori accuracy
    std::optional<double> sigmaQ;       // seconds; none: orientations are held
    Grade grade = Grade::None;
    bool design = false; // pre-analysis: no observations, sides from the approximate coordinates
};

// Label from its letter ("A".."F"), or -1.
int labelOf(const std::string &text);

// A point as tables and messages name it: its letter, with its name in
// brackets when it has one ("D（河口）").
std::string pointText(const Network &n, int p);

} // namespace analysis
