// What the figure of the network shows, as plain values taken from a
// rigorous adjustment: the six points with their ellipses, the eleven sides
// with their flags and the orientation directions. The figure itself
// (report/figure.h) paints this; the window and the printed report build it
// once from the same engine.
#pragma once

#include "analysis/engine.h"

#include <array>
#include <string>
#include <vector>

namespace chain::report {

struct FigurePoint {
    std::string label;  // "A" .. "F"
    std::string name;   // as typed; may be empty
    double x = 0, y = 0; // metres, x north, y east
    bool known = false;
    bool hasEllipse = false;
    double a = 0, b = 0; // semi-axes of the standard error ellipse, mm
    double azimuth = 0;  // of a, degrees clockwise from north
};

struct FigureSide {
    int index = 0;       // 1..11
    int from = 0, to = 0; // indices into FigureData::points
    bool typed = true;   // an observed side; an untyped one joins two known points
    bool flagged = false;
    bool barelyChecked = false;
};

// An orientation direction: the ray from a known point towards the other
// point of its end of the chain, on the given azimuth.
struct FigureDirection {
    int from = 0, to = 0;
    double azimuth = 0; // degrees
    bool held = true;
};

struct FigureData {
    std::array<FigurePoint, 6> points; // A C E F D B
    std::vector<FigureSide> sides;     // 1..11
    std::vector<FigureDirection> directions;
};

// The figure of a solved engine. Ellipses where the engine has a scale.
FigureData figureDataOf(const analysis::Engine &engine);

// The largest of 1, 2, 5 times a power of ten that is not above v (> 0):
// the round numbers of ellipse factors and scale bars.
double roundDown125(double v);

// The box of the points with finite coordinates (metres) and the largest
// ellipse semi-axis among them (mm, 0 for none); `any` is false when no
// point has coordinates.
struct FigureExtent {
    bool any = false;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    double largestAxis = 0;
};
FigureExtent extentOf(const FigureData &data);

// The enlargement of the error ellipses in every drawing of the network
// (the figure, the DXF drawing): a round factor that makes the largest
// ellipse about a twelfth of the network's extent; 0 when no point has an
// ellipse.
double ellipseFactor(const FigureData &data);

} // namespace chain::report
