#include "verify.h"

#include "catalogue.h"
#include "errors.h"
#include "geometry.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

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

// The route of a case as its catalogue row gives it: which labelled point
// each route point P0..P5 is, whether the record's closing orientation angle
// still lacks its correction from the azimuth condition (cases whose
// adjustment corrects qb without writing it back; the correction of a signed
// orientation column is the correlate of that condition, row 3, since only
// that row holds the column), and whether the closing orientation is held
// fixed instead of corrected.
struct Route {
    const char *points;
    bool qbUncorrected;
    bool closingHeld;
};
Route routeOf(int caseNo)
{
    if (!isCase(caseNo))
        return {"ACEFDB", false, false};
    const CaseRow &row = caseRow(caseNo);
    return {row.route, row.qbUncorrected, row.closingHeld};
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


// Triangles (1..6) with an angle under one degree, and the smallest angle.
struct Weak {
    std::string list;
    double smallest = 180;
};
Weak weakTriangles(const Record &rec)
{
    Weak w;
    if (!isCase(rec.caseNo) || rec.Sp.size() < 12)
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

// The adjusted points by letter.
std::array<XY, 6> pointsOf(const Record &rec, const Route &route)
{
    std::array<XY, 6> pt{};
    for (std::size_t i = 0; i < 6 && i < rec.X.size() && i < rec.Y.size(); ++i)
        pt[static_cast<std::size_t>(pointOf(route.points[i]))] = {rec.X[i], rec.Y[i]};
    return pt;
}

// One Gauss-Newton step of the least-squares adjustment of the coordinates,
// taken from the adjusted figure with the known points where they are
// given: the observed sides between points that are not both known (weight
// one per square metre), the orientation angles the case corrects (one per
// square second, the weights the condition equations give them), and the
// directions the case holds, along which the point they lead to moves: the
// closing orientation of case 10, and the provisional start direction of
// the cases without orientation, which turn the route onto the closing
// point once and keep that turn. Where the single pass reached the solution
// the step is nil; its largest move of a point, in metres, is about how far
// the pass fell short. Negative when the equations cannot be solved.
struct Step {
    double size = 0;
    char point = 0;
};
Step secondPass(const Record &rec, const Route &route, std::array<XY, 6> pt)
{
    const XY given[6] = {{rec.xa, rec.ya}, {rec.xc, rec.yc}, {}, {}, {rec.xd, rec.yd}, {rec.xb, rec.yb}};
    bool known[6];
    for (int i = 0; i < 6; ++i) {
        known[i] = isKnown(given[i].x, given[i].y);
        if (known[i])
            pt[static_cast<std::size_t>(i)] = given[i];
    }
    auto azimuthOf = [&](int p, int q) {
        return std::atan2(pt[static_cast<std::size_t>(q)].y - pt[static_cast<std::size_t>(p)].y,
                          pt[static_cast<std::size_t>(q)].x - pt[static_cast<std::size_t>(p)].x);
    };

    // The unknowns of each point: none, its two coordinates, or its
    // distance along a held direction (unit vector `along`).
    std::array<int, 6> column{};
    std::array<XY, 6> along{};
    std::array<bool, 6> onRay{};
    const bool startOne = known[A] != known[C], closingOne = known[B] != known[D];
    const int start = known[A] ? A : C, second = known[A] ? C : A;
    const int closing = known[B] ? B : D, other = known[B] ? D : B;
    const bool startAngles = startOne && (rec.ta != 0 || rec.qa_in != 0);
    const bool closingAngles = closingOne && rec.tb != 0;
    // Azimuths in radians; the record's degrees are the engine's (rad).
    const double startAzimuth = (rec.ta + rec.qaObserved) * rec.rad;
    const double closingAzimuth = (rec.tb - rec.qbObserved) * rec.rad;
    if (startOne && !startAngles) {
        onRay[static_cast<std::size_t>(second)] = true;
        const double t = azimuthOf(start, second);
        along[static_cast<std::size_t>(second)] = {std::cos(t), std::sin(t)};
    }
    if (closingAngles && route.closingHeld) {
        onRay[static_cast<std::size_t>(other)] = true;
        along[static_cast<std::size_t>(other)] = {std::cos(closingAzimuth), std::sin(closingAzimuth)};
    }
    int n = 0;
    for (int i = 0; i < 6; ++i) {
        column[static_cast<std::size_t>(i)] = known[i] ? -1 : n;
        n += known[i] ? 0 : (onRay[static_cast<std::size_t>(i)] ? 1 : 2);
    }
    std::vector<double> N(static_cast<std::size_t>(n * n), 0.0), b(static_cast<std::size_t>(n), 0.0);
    // Adds one observation: residual r (computed − observed), its weight,
    // and its derivatives by the coordinates of two points.
    auto add = [&](double r, double weight, int p, XY dp, int q, XY dq) {
        std::vector<double> row(static_cast<std::size_t>(n), 0.0);
        for (const auto &[i, g] : {std::pair<int, XY>{p, dp}, std::pair<int, XY>{q, dq}}) {
            const int c = column[static_cast<std::size_t>(i)];
            if (c < 0)
                continue;
            if (onRay[static_cast<std::size_t>(i)]) {
                row[static_cast<std::size_t>(c)] += g.x * along[static_cast<std::size_t>(i)].x + g.y * along[static_cast<std::size_t>(i)].y;
            } else {
                row[static_cast<std::size_t>(c)] += g.x;
                row[static_cast<std::size_t>(c) + 1] += g.y;
            }
        }
        for (int j = 0; j < n; ++j) {
            b[static_cast<std::size_t>(j)] -= weight * row[static_cast<std::size_t>(j)] * r;
            for (int k = 0; k < n; ++k)
                N[static_cast<std::size_t>(j * n + k)] += weight * row[static_cast<std::size_t>(j)] * row[static_cast<std::size_t>(k)];
        }
    };
    for (int s = 1; s <= 11; ++s) {
        const int p = kEnds[s][0], q = kEnds[s][1];
        if (known[p] && known[q])
            continue;
        const XY P = pt[static_cast<std::size_t>(p)], Q = pt[static_cast<std::size_t>(q)];
        const double d = std::hypot(Q.x - P.x, Q.y - P.y);
        add(d - rec.S[static_cast<std::size_t>(s)], 1, p, {(P.x - Q.x) / d, (P.y - Q.y) / d}, q,
            {(Q.x - P.x) / d, (Q.y - P.y) / d});
    }
    // An observed direction from point p to point q, in seconds of arc.
    auto direction = [&](int p, int q, double azimuth) {
        const XY P = pt[static_cast<std::size_t>(p)], Q = pt[static_cast<std::size_t>(q)];
        const double dx = Q.x - P.x, dy = Q.y - P.y, d2 = dx * dx + dy * dy;
        const double r = foldRadians(std::atan2(dy, dx) - azimuth) * kSecondsPerRadian;
        const double f = kSecondsPerRadian / d2;
        add(r, 1, p, {dy * f, -dx * f}, q, {-dy * f, dx * f});
    };
    if (startAngles)
        direction(start, second, startAzimuth);
    if (closingAngles && !route.closingHeld)
        direction(closing, other, closingAzimuth);

    // N·x = b by elimination with partial pivoting.
    double largest = 0;
    for (int j = 0; j < n; ++j)
        largest = std::max(largest, std::fabs(N[static_cast<std::size_t>(j * n + j)]));
    for (int k = 0; k < n; ++k) {
        int piv = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(N[static_cast<std::size_t>(i * n + k)]) > std::fabs(N[static_cast<std::size_t>(piv * n + k)]))
                piv = i;
        if (!(std::fabs(N[static_cast<std::size_t>(piv * n + k)]) > 1e-13 * largest))
            return {-1, 0};
        for (int j = 0; j < n; ++j)
            std::swap(N[static_cast<std::size_t>(k * n + j)], N[static_cast<std::size_t>(piv * n + j)]);
        std::swap(b[static_cast<std::size_t>(k)], b[static_cast<std::size_t>(piv)]);
        for (int i = k + 1; i < n; ++i) {
            const double f = N[static_cast<std::size_t>(i * n + k)] / N[static_cast<std::size_t>(k * n + k)];
            for (int j = k; j < n; ++j)
                N[static_cast<std::size_t>(i * n + j)] -= f * N[static_cast<std::size_t>(k * n + j)];
            b[static_cast<std::size_t>(i)] -= f * b[static_cast<std::size_t>(k)];
        }
    }
    std::vector<double> x(static_cast<std::size_t>(n), 0.0);
    for (int k = n - 1; k >= 0; --k) {
        double v = b[static_cast<std::size_t>(k)];
        for (int j = k + 1; j < n; ++j)
            v -= N[static_cast<std::size_t>(k * n + j)] * x[static_cast<std::size_t>(j)];
        x[static_cast<std::size_t>(k)] = v / N[static_cast<std::size_t>(k * n + k)];
    }
    Step step;
    for (int i = 0; i < 6; ++i) {
        const int c = column[static_cast<std::size_t>(i)];
        if (c < 0)
            continue;
        const double move = onRay[static_cast<std::size_t>(i)]
                                ? std::fabs(x[static_cast<std::size_t>(c)])
                                : std::hypot(x[static_cast<std::size_t>(c)], x[static_cast<std::size_t>(c) + 1]);
        if (!std::isfinite(move))
            return {-1, 0};
        if (move > step.size)
            step = {move, kLetter[i]};
    }
    return step;
}

} // namespace

Closure closureOf(const Record &rec)
{
    Closure c;
    const Route route = routeOf(rec.caseNo);
    const std::array<XY, 6> pt = pointsOf(rec, route);
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
        if (isKnown(g.x, g.y) &&
            worse(std::hypot(pt[static_cast<std::size_t>(g.point)].x - g.x, pt[static_cast<std::size_t>(g.point)].y - g.y),
                  c.point))
            c.pointName = g.name;

    // The closing orientation: from the known closing point to the other
    // point of the closing end, turned by qb, is the given azimuth tb.
    if (rec.tb != 0) {
        const bool atB = isKnown(rec.xb, rec.yb);
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
    if (rec.S.size() >= 12) {
        const Step step = secondPass(rec, route, pt);
        if (step.size < 0)
            c.finite = false;
        else {
            c.step = step.size;
            c.stepPoint = step.point;
        }
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
    consider(c.step, kMaxStep,
             std::string("再按最小二乘平差一次，点 ") + c.stepPoint + " 还会移动 " + metres(c.step) + "（限差 0.5 毫米）");
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
