#include "geometry.h"

#include "errors.h"
#include "numfmt.h"

#include <cmath>
#include <string>

namespace chain {

const TriangleSides kTriangles[7] = {
    {0, 0, 0}, {1, 2, 3}, {3, 4, 5}, {5, 6, 1}, {4, 7, 8}, {8, 9, 10}, {10, 11, 4},
};

namespace {

// The angle, or false when the three sides cannot form a triangle.
bool tryAngle(double a, double b, double o, double rad, double &angle)
{
    const double c = (a * a + b * b - o * o) / (2 * a * b);
    if (!std::isfinite(c) || !(a > 0) || !(b > 0) || !(o > 0) || std::fabs(c) >= 1)
        return false;
    if (c == 0) {
        angle = 90;
        return true;
    }
    const double s = std::sqrt(1 - c * c);
    angle = std::atan(s / c) / rad;
    if (c < 0)
        angle = angle + 180;
    return true;
}

} // namespace

double angleFromSides(double a, double b, double o, double rad, const char *what)
{
    double angle = 0;
    if (!tryAngle(a, b, o, rad, angle))
        throw Degenerate(what);
    return angle;
}

namespace {

std::string sideText(const std::vector<double> &s, int i)
{
    std::string v;
    try {
        v = std::isfinite(s[static_cast<std::size_t>(i)]) ? fixed(s[static_cast<std::size_t>(i)], 3) : "?";
    } catch (...) {
        v = "?";
    }
    return "S(" + std::to_string(i) + ")=" + v;
}

std::string triangleMessage(const std::vector<double> &s, int j, bool adjusted)
{
    const TriangleSides &t = kTriangles[j];
    std::string m = adjusted ? "平差后的第 " : "第 ";
    m += std::to_string(j) + " 个三角形不能闭合（边长 " + sideText(s, t.p) + "，" + sideText(s, t.q) + "，" +
         sideText(s, t.r) + "）：三边须均为正数，且任意两边之和大于第三边。";
    m += adjusted ? "请检查观测边长和已知点座标是否相符。" : "请检查这三条边长的输入。";
    return m;
}

} // namespace

void formTriangles(const std::vector<double> &s, double rad, TriArr &alpha, TriArr &beta, TriArr &gamma, TriArr *h,
                   bool adjusted)
{
    for (int j = 1; j <= 6; ++j) {
        const TriangleSides &t = kTriangles[j];
        const double p = s[static_cast<std::size_t>(t.p)];
        const double q = s[static_cast<std::size_t>(t.q)];
        const double r = s[static_cast<std::size_t>(t.r)];
        const auto u = static_cast<std::size_t>(j);
        if (!tryAngle(p, q, r, rad, alpha[u]) || !tryAngle(p, r, q, rad, beta[u]))
            throw Degenerate(triangleMessage(s, j, adjusted));
        gamma[u] = 180 - alpha[u] - beta[u];
        if (h) {
            (*h)[u] = p * std::sin(rad * alpha[u]);
            if (!((*h)[u] > 0) || !std::isfinite((*h)[u]))
                throw Degenerate(triangleMessage(s, j, adjusted));
        }
    }
}

double azimuthOf(double dx, double dy, double rad)
{
    if (dx == 0)
        return dy > 0 ? 90 : 270;
    if (dy == 0)
        return dx < 0 ? 180 : 0;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double s = dy / d;
    double az = std::atan(s / std::sqrt(1 - s * s)) / rad;
    if (dx < 0)
        az = 180 - az;
    if (dx > 0 && dy < 0)
        az = az + 360;
    return az;
}

double foldTurn(double d)
{
    d = std::fmod(d, 360.0);
    if (d > 180)
        d -= 360;
    else if (d <= -180)
        d += 360;
    return d;
}

void requireHeight(double h, const char *name)
{
    if (!std::isfinite(h) || h == 0)
        throw Degenerate(std::string("图形退化：") + name +
                         " 的高为零，三角形被压成一条线，无法平差。请检查边长和已知点座标。");
}

} // namespace chain
