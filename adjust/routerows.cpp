#include "routerows.h"

#include "geometry.h"
#include "route.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace {

using TA = TriangleAngle;
constexpr AngleTerm plus(int j, TA a) { return {1, j, a}; }
constexpr AngleTerm minus(int j, TA a) { return {-1, j, a}; }
constexpr AngleTerm none{};

// The derivatives of one triangle angle by the three sides of its triangle
// (radians per metre). Triangle j has sides p, q, r: alpha between p and q
// (opposite r), beta between p and r (opposite q), gamma opposite p. The
// heights come from alpha and beta, which are strictly between 0° and 180°
// once the triangles have formed.
struct AngleGradient {
    int side[3];
    double d[3];
};

AngleGradient gradient(const Inputs &in, int j, TA a)
{
    const TriangleSides &t = kTriangles[j];
    const auto u = static_cast<std::size_t>(j);
    const double rad = in.rad;
    const double p = in.S[static_cast<std::size_t>(t.p)], q = in.S[static_cast<std::size_t>(t.q)];
    const double ca = cosd(in.alpha[u], rad), cb = cosd(in.beta[u], rad), cg = cosd(in.gamma[u], rad);
    const double sa = sind(in.alpha[u], rad), sb = sind(in.beta[u], rad);
    switch (a) {
    case TA::Alpha: {
        const double h = p * sb; // onto r
        return {{t.r, t.p, t.q}, {1 / h, -cb / h, -cg / h}};
    }
    case TA::Beta: {
        const double h = p * sa; // onto q
        return {{t.q, t.p, t.r}, {1 / h, -ca / h, -cg / h}};
    }
    default: {
        const double h = q * sa; // onto p
        return {{t.p, t.q, t.r}, {1 / h, -ca / h, -cb / h}};
    }
    }
}

} // namespace

// Turning at C by −alpha(1), at E by −(gamma(1) + alpha(2)), then at F into
// S(8) by beta(4) and at D by −alpha(5).
const RouteShape kRouteACEFDB{
    {0, 1, 2, 4, 8, 9},
    {{{none, none},
      {minus(1, TA::Alpha), none},
      {minus(1, TA::Gamma), minus(2, TA::Alpha)},
      {plus(4, TA::Beta), none},
      {minus(5, TA::Alpha), none}}}};

// As above to F, then into S(10) by beta(6) and at B by gamma(5).
const RouteShape kRouteACEFBD{
    {0, 1, 2, 4, 10, 9},
    {{{none, none},
      {minus(1, TA::Alpha), none},
      {minus(1, TA::Gamma), minus(2, TA::Alpha)},
      {plus(6, TA::Beta), none},
      {plus(5, TA::Gamma), none}}}};

// From C to A, turning at A by beta(3) into S(5), at F by gamma(2) into
// S(4), at E by −alpha(4) into S(7) and at D by −(gamma(4) + alpha(5)).
const RouteShape kRouteCAFEDB{
    {0, 1, 5, 4, 7, 9},
    {{{none, none},
      {plus(3, TA::Beta), none},
      {plus(2, TA::Gamma), none},
      {minus(4, TA::Alpha), none},
      {minus(4, TA::Gamma), minus(5, TA::Alpha)}}}};

void addCoordinateRows(Matrix &A, int rx, int ry, const RouteShape &r, const Model &m, int last, double x, double y,
                       const Inputs &in)
{
    const double rad = in.rad;
    for (int i = 1; i <= last; ++i) {
        const auto u = static_cast<std::size_t>(i);
        A(rx, r.legs[u]) += cosd(m.T[u], rad);
        A(ry, r.legs[u]) += sind(m.T[u], rad);
    }
    for (int k = 1; k < last; ++k) {
        const auto u = static_cast<std::size_t>(k);
        const double dY = y - m.Y[u], dX = x - m.X[u];
        for (const AngleTerm &term : r.turns[u]) {
            if (term.sign == 0)
                continue;
            const AngleGradient g = gradient(in, term.triangle, term.angle);
            for (int s = 0; s < 3; ++s) {
                A(rx, g.side[s]) -= dY * term.sign * g.d[s];
                A(ry, g.side[s]) += dX * term.sign * g.d[s];
            }
        }
    }
}

void addAzimuthRow(Matrix &A, int row, const RouteShape &r, const Inputs &in)
{
    for (int k = 1; k <= 4; ++k) {
        for (const AngleTerm &term : r.turns[static_cast<std::size_t>(k)]) {
            if (term.sign == 0)
                continue;
            const AngleGradient g = gradient(in, term.triangle, term.angle);
            for (int s = 0; s < 3; ++s)
                A(row, g.side[s]) += in.rho * term.sign * g.d[s];
        }
    }
}

void addStartTurn(Matrix &A, int rx, int ry, double x0, double y0, double x, double y, double rho)
{
    A(rx, 0) = -(y - y0) / rho;
    A(ry, 0) = (x - x0) / rho;
}

void adjustedRoute(CaseResult &r, const RouteShape &shape, const Turnings &turning, double T1, double x0, double y0,
                   const TriArr &alpha, const TriArr &beta, const TriArr &gamma)
{
    double T[6] = {};
    double d[6] = {};
    T[1] = T1;
    for (std::size_t i = 2; i <= 5; ++i) {
        double t = T[i - 1];
        for (const AngleTerm &term : shape.turns[i - 1]) {
            if (term.sign == 0)
                continue;
            const auto j = static_cast<std::size_t>(term.triangle);
            const double a = term.angle == TA::Alpha ? alpha[j] : (term.angle == TA::Beta ? beta[j] : gamma[j]);
            t = term.sign > 0 ? t + a : t - a;
        }
        T[i] = turning[i - 1].reduce(t + turning[i - 1].halfTurn);
    }
    for (std::size_t i = 1; i <= 5; ++i)
        d[i] = r.Sp[static_cast<std::size_t>(shape.legs[i])];
    adjustedRoute(r, x0, y0, T, d, r.rad);
}

} // namespace chain
