#include "chains.h"

#include "adjust/geometry.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace testchain {

namespace {
const double kPi = 3.14159265358979323846;
}

Chain sampleChain()
{
    Chain c;
    c.A = {3000.000, 5500.000};
    c.C = {3012.347, 5004.118};
    c.E = {3486.522, 5027.904};
    c.F = {3471.815, 5512.640};
    c.D = {3968.204, 5043.771};
    c.B = {3952.660, 5531.482};
    return c;
}

Chain rotated(const Chain &c, double degrees, Pt shift)
{
    const double r = degrees * kPi / 180, cr = std::cos(r), sr = std::sin(r);
    auto t = [&](Pt p) {
        const double dx = p.x - c.A.x, dy = p.y - c.A.y;
        return Pt{c.A.x + shift.x + dx * cr - dy * sr, c.A.y + shift.y + dx * sr + dy * cr};
    };
    return {t(c.A), t(c.C), t(c.E), t(c.F), t(c.D), t(c.B)};
}

std::array<double, 12> sidesOf(const Chain &c)
{
    auto d = [](Pt p, Pt q) { return std::hypot(q.x - p.x, q.y - p.y); };
    return {0,          d(c.A, c.C), d(c.C, c.E), d(c.A, c.E), d(c.E, c.F), d(c.A, c.F),
            d(c.C, c.F), d(c.E, c.D), d(c.F, c.D), d(c.D, c.B), d(c.F, c.B), d(c.E, c.B)};
}

double azimuth(Pt from, Pt to)
{
    double a = std::atan2(to.y - from.y, to.x - from.x) * 180 / kPi;
    if (a < 0)
        a += 360;
    if (a >= 360)
        a -= 360;
    return a;
}

double fold(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg > 180)
        deg -= 360;
    if (deg <= -180)
        deg += 360;
    return deg;
}

std::string dms(double deg)
{
    const bool neg = deg < 0;
    double a = std::fabs(deg);
    long d = static_cast<long>(std::floor(a));
    double minutes = (a - static_cast<double>(d)) * 60;
    long m = static_cast<long>(std::floor(minutes));
    double s = (minutes - static_cast<double>(m)) * 60;
    // Seconds to 8 decimals, carrying a rounded 60.
    long s8 = std::lround(s * 1e8);
    if (s8 >= 6000000000L) {
        s8 -= 6000000000L;
        ++m;
    }
    if (m >= 60) {
        m -= 60;
        ++d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%ld.%02ld%02ld%08ld", neg ? "-" : "", d, m, s8 / 100000000L, s8 % 100000000L);
    return buf;
}

std::string num(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10f", v);
    return buf;
}

Pt routePoint(int n, const Chain &c, int i)
{
    switch (chain::caseRow(n).route[i]) {
    case 'A': return c.A;
    case 'C': return c.C;
    case 'E': return c.E;
    case 'F': return c.F;
    case 'D': return c.D;
    default: return c.B;
    }
}

CaseData caseData(int n, const Chain &c)
{
    CaseData d;
    d.caseNo = n;
    const chain::CaseRow &row = chain::caseRow(n);
    using chain::Need;
    d.knownA = row.a == Need::Given;
    d.knownB = row.b == Need::Given;
    d.knownC = row.c == Need::Given;
    d.knownD = row.d == Need::Given;
    d.startAngles = row.startAngles == Need::Given;
    d.closingAngles = row.closingAngles == Need::Given;
    if (d.startAngles) {
        const bool atA = d.knownA;
        d.qa = atA ? 47.5125 : -47.5125;
        const double t1 = atA ? azimuth(c.A, c.C) : azimuth(c.C, c.A);
        d.ta = t1 - d.qa;
        if (d.ta < 0)
            d.ta += 360;
        if (d.ta >= 360)
            d.ta -= 360;
    }
    if (d.closingAngles) {
        const bool atB = d.knownB;
        d.qb = atB ? 52.2575 : -52.2575;
        const double az = atB ? azimuth(c.B, c.D) : azimuth(c.D, c.B);
        d.tb = az + d.qb;
        if (d.tb < 0)
            d.tb += 360;
        if (d.tb >= 360)
            d.tb -= 360;
    }
    for (int i = 0; i < 6; ++i)
        d.names[static_cast<std::size_t>(i)] = std::string("T") + row.route[i] + std::to_string(10 + i);
    return d;
}

std::vector<std::string> replies(const CaseData &d, const Chain &c, const std::array<double, 12> &sides)
{
    std::vector<std::string> r;
    auto value = [&](const std::string &v) {
        r.push_back(v);
        r.emplace_back("");
    };
    auto point = [&](bool known, Pt p) {
        value(known ? num(p.x) : "0");
        value(known ? num(p.y) : "0");
    };
    point(d.knownA, c.A);
    point(d.knownB, c.B);
    point(d.knownC, c.C);
    point(d.knownD, c.D);
    if (d.knownA != d.knownC) {
        value(d.startAngles ? dms(d.ta) : "0");
        value(d.startAngles ? dms(d.qa) : "0");
    }
    if (d.knownB != d.knownD) {
        value(d.closingAngles ? dms(d.tb) : "0");
        value(d.closingAngles ? dms(d.qb) : "0");
    }
    for (const auto &n : d.names)
        value(n);
    for (int i = 1; i <= 11; ++i) {
        if (i == 1 && d.knownA && d.knownC)
            continue;
        if (i == 9 && d.knownB && d.knownD)
            continue;
        value(num(sides[static_cast<std::size_t>(i)]));
    }
    return r;
}

chain::Inputs inputs(const CaseData &d, const Chain &c, const std::array<double, 12> &sides)
{
    chain::Inputs in;
    if (d.knownA) in.xa = c.A.x, in.ya = c.A.y;
    if (d.knownB) in.xb = c.B.x, in.yb = c.B.y;
    if (d.knownC) in.xc = c.C.x, in.yc = c.C.y;
    if (d.knownD) in.xd = c.D.x, in.yd = c.D.y;
    if (d.startAngles) {
        in.ta = d.ta;
        in.qa = d.qa;
        in.sga = d.qa > 0 ? 1.0f : -1.0f;
    }
    if (d.closingAngles) {
        in.tb = d.tb;
        in.qb = d.qb;
        in.sgb = d.qb > 0 ? 1.0f : -1.0f;
    }
    in.S = sides;
    if (d.knownA && d.knownC)
        in.S[1] = std::hypot(c.C.x - c.A.x, c.C.y - c.A.y);
    if (d.knownB && d.knownD)
        in.S[9] = std::hypot(c.D.x - c.B.x, c.D.y - c.B.y);
    std::vector<double> s(in.S.begin(), in.S.end());
    chain::formTriangles(s, in.rad, in.alpha, in.beta, in.gamma, &in.h, false);
    return in;
}

namespace {

chain::Inputs withSide(const chain::Inputs &base, int j, double delta)
{
    chain::Inputs in = base;
    in.S[static_cast<std::size_t>(j)] += delta;
    std::vector<double> s(in.S.begin(), in.S.end());
    chain::formTriangles(s, in.rad, in.alpha, in.beta, in.gamma, &in.h, false);
    return in;
}

} // namespace

std::string derivativeMismatch(int n, const chain::Inputs &base)
{
    const chain::Model m0 = chain::modelOf(n, base);
    const chain::Columns cols = chain::caseRow(n).normalColumns;
    const int nc = m0.nc;
    const int rows = nc + 2;
    std::vector<double> scale(static_cast<std::size_t>(rows) + 1, 0.0);
    for (int i = 1; i <= rows; ++i)
        for (int c = 0; c <= 12; ++c)
            scale[static_cast<std::size_t>(i)] = std::max(scale[static_cast<std::size_t>(i)], std::fabs(m0.A(i, c)));

    for (int c = 0; c <= 12; ++c) {
        if (!cols.has(c))
            continue;
        chain::Inputs p = base, q = base;
        double h = 0;
        if (c == 0 || c == 12) {
            h = 1.0; // one second of arc
            double &pa = c == 0 ? p.qa : p.qb;
            double &qa = c == 0 ? q.qa : q.qb;
            pa += h / 3600;
            qa -= h / 3600;
        } else {
            h = 1e-4; // a tenth of a millimetre
            p = withSide(base, c, h);
            q = withSide(base, c, -h);
        }
        p.holdRotation = q.holdRotation = true;
        p.rotation = q.rotation = m0.rotation;
        const chain::Model mp = chain::modelOf(n, p), mq = chain::modelOf(n, q);
        for (int i = 1; i <= rows; ++i) {
            double numeric = 0;
            if (i <= nc)
                numeric = (mp.w[static_cast<std::size_t>(i)] - mq.w[static_cast<std::size_t>(i)]) / (2 * h);
            else if (i == nc + 1)
                numeric = (mp.X[static_cast<std::size_t>(m0.weakest)] - mq.X[static_cast<std::size_t>(m0.weakest)]) / (2 * h);
            else
                numeric = (mp.Y[static_cast<std::size_t>(m0.weakest)] - mq.Y[static_cast<std::size_t>(m0.weakest)]) / (2 * h);
            const double analytic = m0.A(i, c);
            // rho = 206265 against rad's ten-decimal pi: 1e-6 relative.
            const double tol = 2e-6 * std::max(1.0, scale[static_cast<std::size_t>(i)]) + 1e-9;
            if (std::fabs(analytic - numeric) > tol) {
                std::ostringstream o;
                o.precision(12);
                o << "case " << n << ": A(" << i << "," << c << ") = " << analytic << ", central difference "
                  << numeric;
                return o.str();
            }
        }
    }
    return {};
}

std::array<double, 12> noisy(const std::array<double, 12> &s, double mm, unsigned seed)
{
    std::array<double, 12> out = s;
    unsigned x = seed * 2654435761u + 12345u;
    for (std::size_t i = 1; i < out.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        const double u = static_cast<double>(x >> 8) / static_cast<double>(1u << 24); // [0, 1)
        out[i] += (2 * u - 1) * mm / 1000;
    }
    return out;
}

const char *const kDesignCase1 =
    "xa = 3000\nya = 5500\nxb = 3952.66\nyb = 5531.482\nxc = 3012.35\nyc = 5004.12\n"
    "xd = 3968.2\nyd = 5043.77\nxe = 3486.52\nye = 5027.91\nxf = 3471.81\nyf = 5512.64\n"
    "ta = 223.544974\nqa = 47.3045\ndesign = yes C D\nsigma_a = 2\nsigma_b = 2\n"
    "names = 城关 李庄 王家坡 东山 河口 北岭\n";

} // namespace testchain
