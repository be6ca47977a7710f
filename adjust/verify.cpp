#include "verify.h"

#include "errors.h"
#include "geometry.h"

#include <array>
#include <charconv>
#include <cmath>

namespace chain {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSecondsPerRadian = 180 * 3600 / kPi;

// The six points by letter, in the order A, C, E, F, D, B.
enum P { A, C, E, F, D, B };
const char kLetter[6] = {'A', 'C', 'E', 'F', 'D', 'B'};

// The ends of the sides S(1)..S(11).
const std::array<std::array<int, 2>, 12> kEnds = {{
    {A, A}, {A, C}, {C, E}, {A, E}, {E, F}, {A, F}, {C, F}, {E, D}, {F, D}, {D, B}, {F, B}, {E, B},
}};

// Which labelled point each route point P0..P5 of case n is, and whether
// the record's closing orientation angle still lacks its correction from
// the azimuth condition (cases 7 and 8 correct qb in the adjustment but do
// not write it back; the correction of a signed orientation column is the
// correlate of that condition, row 3, since only that row holds the column).
// The case catalogue will carry this; until then it is one table here.
struct Route {
    const char *points;
    bool qbUncorrected;
};
Route routeOf(int caseNo)
{
    switch (caseNo) {
    case 4: case 10: case 11: return {"ACEFBD", false};
    case 7: return {"ACEFBD", true};
    case 5: case 6: return {"CAFEDB", false};
    case 8: return {"ACEFDB", true};
    default: return {"ACEFDB", false}; // cases 1, 2, 3, 9, 12
    }
}

int pointOf(char letter)
{
    for (int i = 0; i < 6; ++i)
        if (kLetter[i] == letter)
            return i;
    return A;
}

struct XY {
    double x = 0, y = 0;
};

// The angle between sides a and b of a triangle, opposite side c, in
// radians; stable for needle-like triangles (W. Kahan's arrangement), NaN
// when the sides cannot close.
double angleBetween(double a, double b, double c)
{
    if (a < b)
        std::swap(a, b);
    if (!(b > 0) || !(c >= 0) || !std::isfinite(a))
        return std::nan("");
    const double mu = b >= c ? c - (a - b) : b - (a - c);
    const double num = ((a - b) + c) * mu;
    const double den = (a + (b + c)) * ((a - c) + b);
    if (!(num >= 0) || !(den > 0))
        return std::nan("");
    return 2 * std::atan(std::sqrt(num / den));
}

double cross(XY o, XY p, XY q) { return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x); }
double sign(double v) { return v < 0 ? -1 : 1; }

double foldRadians(double a)
{
    a = std::fmod(a, 2 * kPi);
    if (a > kPi)
        a -= 2 * kPi;
    if (a <= -kPi)
        a += 2 * kPi;
    return a;
}

// The misclosure, in seconds, of the figure condition at vertex v of the
// quadrilateral whose other points are p, m, q (m the one between, joined
// to v by the diagonal): angle p-v-m plus angle m-v-q equals angle p-v-q.
// The angles come from the adjusted sides, their senses from the adjusted
// coordinates.
double figureMisclosure(const std::array<XY, 6> &pt, const std::vector<double> &S, int v, int p, int m, int q)
{
    auto side = [&](int i, int j) {
        for (int s = 1; s <= 11; ++s)
            if ((kEnds[s][0] == i && kEnds[s][1] == j) || (kEnds[s][0] == j && kEnds[s][1] == i))
                return S[static_cast<std::size_t>(s)];
        return std::nan("");
    };
    const double pm = angleBetween(side(v, p), side(v, m), side(p, m));
    const double mq = angleBetween(side(v, m), side(v, q), side(m, q));
    const double pq = angleBetween(side(v, p), side(v, q), side(p, q));
    const XY o = pt[static_cast<std::size_t>(v)];
    const double sum = sign(cross(o, pt[static_cast<std::size_t>(p)], pt[static_cast<std::size_t>(m)])) * pm +
                       sign(cross(o, pt[static_cast<std::size_t>(m)], pt[static_cast<std::size_t>(q)])) * mq -
                       sign(cross(o, pt[static_cast<std::size_t>(p)], pt[static_cast<std::size_t>(q)])) * pq;
    return std::fabs(foldRadians(sum)) * kSecondsPerRadian;
}

std::string decimals(double v, int n)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, n);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("?");
}

std::string metres(double v) { return v >= 1 ? decimals(v, 3) + " 米" : decimals(v * 1000, 1) + " 毫米"; }

// Degrees as d°mm′ss″.
std::string dms(double degrees)
{
    long s = std::lround(degrees * 3600);
    return std::to_string(s / 3600) + "°" + (s / 60 % 60 < 10 ? "0" : "") + std::to_string(s / 60 % 60) + "′" +
           (s % 60 < 10 ? "0" : "") + std::to_string(s % 60) + "″";
}

bool known(double x, double y) { return x != 0 && y != 0; }

// Triangles (1..6) with an angle under one degree, and the smallest angle.
struct Weak {
    std::string list;
    double smallest = 180;
};
Weak weakTriangles(const Record &rec)
{
    Weak w;
    if (rec.caseNo < 1 || rec.caseNo > 12 || rec.Sp.size() < 12)
        return w;
    for (int j = 1; j <= 6; ++j) {
        const TriangleSides &t = kTriangles[j];
        const double p = rec.Sp[static_cast<std::size_t>(t.p)], q = rec.Sp[static_cast<std::size_t>(t.q)],
                     r = rec.Sp[static_cast<std::size_t>(t.r)];
        double least = 180;
        for (const double a : {angleBetween(p, q, r), angleBetween(p, r, q), angleBetween(q, r, p)})
            if (std::isfinite(a))
                least = std::min(least, a * 180 / kPi);
        if (least < 1) {
            w.list += (w.list.empty() ? "" : "、") + std::to_string(j);
            w.smallest = std::min(w.smallest, least);
        }
    }
    return w;
}

} // namespace

Closure closureOf(const Record &rec)
{
    Closure c;
    const Route route = routeOf(rec.caseNo);
    std::array<XY, 6> pt{};
    for (std::size_t i = 0; i < 6 && i < rec.X.size() && i < rec.Y.size(); ++i)
        pt[static_cast<std::size_t>(pointOf(route.points[i]))] = {rec.X[i], rec.Y[i]};
    auto distance = [&](int i, int j) {
        return std::hypot(pt[static_cast<std::size_t>(i)].x - pt[static_cast<std::size_t>(j)].x,
                          pt[static_cast<std::size_t>(i)].y - pt[static_cast<std::size_t>(j)].y);
    };
    auto worse = [&](double gap, double &largest) {
        if (!std::isfinite(gap)) {
            c.finite = false;
            return false;
        }
        if (gap <= largest)
            return false;
        largest = gap;
        return true;
    };

    if (rec.Sp.size() >= 12)
        for (int s = 1; s <= 11; ++s)
            if (worse(std::fabs(distance(kEnds[s][0], kEnds[s][1]) - rec.Sp[static_cast<std::size_t>(s)]), c.side))
                c.sideNo = s;

    const struct {
        char name;
        int point;
        double x, y;
    } given[4] = {{'A', A, rec.xa, rec.ya}, {'B', B, rec.xb, rec.yb}, {'C', C, rec.xc, rec.yc}, {'D', D, rec.xd, rec.yd}};
    for (const auto &g : given)
        if (known(g.x, g.y) &&
            worse(std::hypot(pt[static_cast<std::size_t>(g.point)].x - g.x, pt[static_cast<std::size_t>(g.point)].y - g.y),
                  c.point))
            c.pointName = g.name;

    // The closing orientation: from the known closing point to the other
    // point of the closing end, turned by qb, is the given azimuth tb.
    if (rec.tb != 0) {
        const bool atB = known(rec.xb, rec.yb);
        const XY k = pt[atB ? B : D], o = pt[atB ? D : B];
        double qb = rec.qb;
        if (route.qbUncorrected && rec.k.size() > 3)
            qb += rec.k[3] / 3600;
        const double az = std::atan2(o.y - k.y, o.x - k.x) / rec.rad;
        worse(std::fabs(foldRadians((az + qb - rec.tb) * kPi / 180)) * kSecondsPerRadian, c.azimuth);
    }

    if (rec.Sp.size() >= 12) {
        if (worse(figureMisclosure(pt, rec.Sp, A, C, E, F), c.figure))
            c.figureNo = 1;
        if (worse(figureMisclosure(pt, rec.Sp, F, E, D, B), c.figure))
            c.figureNo = 2;
    }
    return c;
}

void verifyAdjustment(const Record &rec)
{
    const Closure c = closureOf(rec);
    // The gap that exceeds its threshold the most.
    double ratio = 1;
    std::string what;
    auto consider = [&](double gap, double limit, const std::string &text) {
        if (gap / limit > ratio) {
            ratio = gap / limit;
            what = text;
        }
    };
    consider(c.point, kMaxLinearGap,
             std::string("已知点 ") + c.pointName + " 的推算座标与已知座标相差 " + metres(c.point) + "（限差 1 毫米）");
    if (c.sideNo > 0) {
        const int s = c.sideNo;
        consider(c.side, kMaxLinearGap,
                 "边长 S" + std::to_string(s) + "（" + kLetter[kEnds[s][0]] + "–" + kLetter[kEnds[s][1]] +
                     "）与两端点推算座标的距离相差 " + metres(c.side) + "（限差 1 毫米）");
    }
    consider(c.azimuth, kMaxAngularGap, "闭合方位角相差 " + decimals(c.azimuth, 2) + " 秒（限差 0.01 秒）");
    consider(c.figure, kMaxAngularGap,
             std::string(c.figureNo == 1 ? "第一" : "第二") + "四边形角条件仍有闭合差 " + decimals(c.figure, 2) +
                 " 秒（限差 0.01 秒）");
    if (!c.finite && what.empty())
        what = "平差后的图形无法重新推算";
    if (what.empty())
        return;
    throw Degenerate("平差结果检核不通过：用平差后的边长重新推算图形，" + what +
                     "。一次线性化的条件平差在这里不成立：图形太弱（三角形过于扁平），或观测数据与已知数据不符。"
                     "没有给出平差结果；请检查观测边长、已知点座标和方位角。");
}

std::string weakFigureWarning(const Record &rec)
{
    const Weak w = weakTriangles(rec);
    if (w.list.empty())
        return {};
    return "计算完成，但第 " + w.list + " 个三角形有小于 1° 的角（最小 " + dms(w.smallest) +
           "），图形很弱：观测边长的微小误差会使点位有很大的变动，平差结果的精度可能远低于中误差所示。请检查图形设计和观测数据。";
}

std::string weakFigureNote(const Record &rec)
{
    const Weak w = weakTriangles(rec);
    if (w.list.empty())
        return {};
    return "注意 : 第 " + w.list + " 个三角形有小于 1° 的角（最小 " + dms(w.smallest) + "），图形很弱。";
}

} // namespace chain
