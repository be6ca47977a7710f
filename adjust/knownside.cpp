#include "knownside.h"

#include "errors.h"
#include "geometry.h"

#include <cmath>

namespace chain {

using detail::cosd;
using detail::sind;

void Traverse::leg(int i, double L)
{
    const auto u = static_cast<std::size_t>(i);
    X[u] = X[u - 1] + L * cosd(T[u], rad);
    Y[u] = Y[u - 1] + L * sind(T[u], rad);
}

KnownSide knownSide(double xFrom, double yFrom, double xTo, double yTo, double rad, const char *from, const char *to,
                    const char *side)
{
    const double dx = xTo - xFrom, dy = yTo - yFrom;
    KnownSide k;
    k.length = std::sqrt(dx * dx + dy * dy);
    if (!(k.length > 0) || !std::isfinite(k.length))
        throw Degenerate(std::string("已知点 ") + from + " 和 " + to + " 的座标相同，已知边 " + side +
                         " 的长度为零，无法平差。请检查 " + from + "、" + to + " 两点的座标。");
    k.azimuth = azimuthOf(dx, dy, rad);
    return k;
}

KnownSide knownSideAC(double xa, double ya, double xc, double yc, double rad)
{
    return knownSide(xc, yc, xa, ya, rad, "A", "C", "S(1)");
}

void startAtC(Traverse &t, double xa, double ya, double xc, double yc, double T1)
{
    t.X[0] = xa;
    t.Y[0] = ya;
    t.X[1] = xc;
    t.Y[1] = yc;
    t.T[1] = T1;
}

void fromCToF(Traverse &t, const RouteData &d, bool raiseT3)
{
    auto &T = t.T;
    T[2] = upIfNegative(T[1] - d.alpha[1]); // turn at C
    t.leg(2, d.S[2]);
    T[3] = T[2] - d.gamma[1] - d.alpha[2] - 180; // turn at E
    if (raiseT3)
        T[3] = upIfNegative(T[3]);
    t.leg(3, d.S[4]);
}

void alongS10S9(Traverse &t, const RouteData &d)
{
    auto &T = t.T;
    T[4] = downIfFull(T[3] + d.beta[6] + 180); // turn at F into S(10)
    t.leg(4, d.S[10]);
    T[5] = downIfFull(T[4] + d.gamma[5] + 180); // turn at B into S(9)
    t.leg(5, d.S[9]);
}

void alongS8(Traverse &t, const RouteData &d)
{
    auto &T = t.T;
    T[4] = downIfFull(T[3] + d.beta[4] + 180); // turn at F into S(8)
    t.leg(4, d.S[8]);
}

double turnAtD(double T4, const RouteData &d) { return upIfNegative(T4 - d.alpha[5] - 180); }

double azimuthMisclosure(double carried, double given) { return 3600 * foldTurn(carried - given); }

FirstQuad firstQuad(const Inputs &in)
{
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    FirstQuad q{};
    q.u1 = S[2] * sind(ga[1], rad);
    q.u2 = S[2] * sind(al[1], rad);
    q.u3 = S[4] * sind(ga[2], rad);
    requireHeight(q.u1, "三角形 1 在 E 点");
    requireHeight(q.u2, "三角形 1 在 C 点");
    requireHeight(q.u3, "三角形 2 在 F 点");
    q.cb1 = cosd(be[1], rad);
    q.cg1 = cosd(ga[1], rad);
    q.ca1 = cosd(al[1], rad);
    q.cb2 = cosd(be[2], rad);
    q.cg2 = cosd(ga[2], rad);
    return q;
}

void azimuthColumnsFromC(Matrix &A, int row, const FirstQuad &q, double rho, double entry)
{
    A(row, 2) = rho * (q.cg1 / q.u1 + q.ca1 / q.u2);
    A(row, 3) = rho * (q.cb1 / q.u2 + q.cb2 / q.u3 - 1 / q.u1);
    A(row, 4) = rho * (q.cg2 / q.u3 - entry);
    A(row, 5) = -rho / q.u3;
}

void coordinateColumnsFromC(Matrix &A, int rx, int ry, const Model &m, const FirstQuad &q, double x, double y,
                            double rad)
{
    const auto &X = m.X, &Y = m.Y, &T = m.T;
    const double dY1 = y - Y[1], dY2 = y - Y[2];
    const double dX1 = x - X[1], dX2 = x - X[2];
    A(rx, 2) = cosd(T[2], rad) - dY1 * q.cg1 / q.u1 - dY2 * q.ca1 / q.u2;
    A(rx, 3) = dY1 / q.u1 - dY2 * (q.cb1 / q.u2 + q.cb2 / q.u3);
    A(rx, 4) = cosd(T[3], rad) - dY2 * q.cg2 / q.u3;
    A(rx, 5) = dY2 / q.u3;
    A(ry, 2) = sind(T[2], rad) + dX1 * q.cg1 / q.u1 + dX2 * q.ca1 / q.u2;
    A(ry, 3) = -dX1 / q.u1 + dX2 * (q.cb1 / q.u2 + q.cb2 / q.u3);
    A(ry, 4) = sind(T[3], rad) + dX2 * q.cg2 / q.u3;
    A(ry, 5) = -dX2 / q.u3;
}

AlongS10 alongS10(const Inputs &in)
{
    const double rad = in.rad;
    AlongS10 s{};
    s.u4 = in.S[9] * sind(in.alpha[5], rad);
    requireHeight(s.u4, "三角形 5 在 D 点");
    s.ca5 = cosd(in.alpha[5], rad);
    s.cb5 = cosd(in.beta[5], rad);
    s.ca6 = cosd(in.alpha[6], rad);
    s.cg6 = cosd(in.gamma[6], rad);
    s.h6 = in.h[6];
    requireHeight(s.h6, "三角形 6");
    return s;
}

void azimuthColumnsAlongS10(Matrix &A, int row, const AlongS10 &s, double rho)
{
    A(row, 8) = rho / s.u4;
    A(row, 9) = -rho * s.ca5 / s.u4;
    A(row, 10) = -rho * (s.cb5 / s.u4 + s.ca6 / s.h6);
    A(row, 11) = rho / s.h6;
}

void coordinateColumnsAlongS10(Matrix &A, int rx, int ry, const Model &m, const AlongS10 &s, double x, double y,
                               double rad)
{
    const auto &X = m.X, &Y = m.Y, &T = m.T;
    const double dY3 = y - Y[3], dY4 = y - Y[4];
    const double dX3 = x - X[3], dX4 = x - X[4];
    A(rx, 4) = A(rx, 4) + dY3 * s.cg6 / s.h6;
    A(rx, 8) = -dY4 / s.u4;
    A(rx, 9) = cosd(T[5], rad) + dY4 * s.ca5 / s.u4;
    A(rx, 10) = cosd(T[4], rad) + dY3 * s.ca6 / s.h6 + dY4 * s.cb5 / s.u4;
    A(rx, 11) = -dY3 / s.h6;
    A(ry, 4) = A(ry, 4) - dX3 * s.cg6 / s.h6;
    A(ry, 8) = dX4 / s.u4;
    A(ry, 9) = sind(T[5], rad) - dX4 * s.ca5 / s.u4;
    A(ry, 10) = sind(T[4], rad) - dX3 * s.ca6 / s.h6 - dX4 * s.cb5 / s.u4;
    A(ry, 11) = dX3 / s.h6;
}

AlongS8 alongS8(const Inputs &in)
{
    const double rad = in.rad;
    AlongS8 s{};
    s.u5 = in.S[9] * sind(in.gamma[5], rad);
    requireHeight(s.u5, "三角形 5 在 B 点");
    s.ca4 = cosd(in.alpha[4], rad);
    s.cg4 = cosd(in.gamma[4], rad);
    s.cb5 = cosd(in.beta[5], rad);
    s.cg5 = cosd(in.gamma[5], rad);
    s.h4 = in.h[4];
    requireHeight(s.h4, "三角形 4");
    return s;
}

void azimuthColumnsAlongS8(Matrix &A, int row, const AlongS8 &s, double rho)
{
    A(row, 7) = rho / s.h4;
    A(row, 8) = rho * (s.cb5 / s.u5 - s.cg4 / s.h4);
    A(row, 10) = -rho / s.u5;
}

void coordinateColumnsAlongS8S9(Matrix &A, int rx, int ry, const Model &m, const AlongS8 &s, double x, double y,
                                double rad)
{
    const auto &X = m.X, &Y = m.Y, &T = m.T;
    const double dY3 = y - Y[3], dY4 = y - Y[4];
    const double dX3 = x - X[3], dX4 = x - X[4];
    A(rx, 4) = A(rx, 4) + dY3 * s.ca4 / s.h4;
    A(rx, 7) = -dY3 / s.h4;
    A(rx, 8) = cosd(T[4], rad) + dY3 * s.cg4 / s.h4 - dY4 * s.cb5 / s.u5;
    A(rx, 9) = cosd(T[5], rad) - dY4 * s.cg5 / s.u5;
    A(rx, 10) = dY4 / s.u5;
    A(ry, 4) = A(ry, 4) - dX3 * s.ca4 / s.h4;
    A(ry, 7) = dX3 / s.h4;
    A(ry, 8) = sind(T[4], rad) - dX3 * s.cg4 / s.h4 + dX4 * s.cb5 / s.u5;
    A(ry, 9) = sind(T[5], rad) + dX4 * s.cg5 / s.u5;
    A(ry, 10) = -dX4 / s.u5;
}

void storeRoute(CaseResult &r, const std::array<double, 6> &X, const std::array<double, 6> &Y)
{
    for (std::size_t i = 0; i <= 5; ++i) {
        r.X[i] = X[i];
        r.Y[i] = Y[i];
    }
}

void routeFromKnownSide(Traverse &t, const RouteData &d, const KnownSideChain &c, double xa, double ya, double xc,
                        double yc, double T1)
{
    startAtC(t, xa, ya, xc, yc, T1);
    fromCToF(t, d, c.raiseT3);
    if (c.leg == SecondLeg::AlongS10) {
        alongS10S9(t, d);
    } else {
        alongS8(t, d);
        t.T[5] = turnAtD(t.T[4], d);
        t.leg(5, d.S[9]);
    }
}

Model modelFromKnownSide(const Inputs &in, const KnownSideChain &c)
{
    const bool toB = c.leg == SecondLeg::AlongS8; // the closing point: B, else D
    const bool azimuth = c.azimuth != ClosingAzimuth::None;
    const double xk = toB ? in.xb : in.xd, yk = toB ? in.yb : in.yd;
    Model m;
    m.nc = azimuth ? 5 : 4;
    m.weakest = 3;
    const double rad = in.rad;
    const double rho = in.rho;
    const auto &T = m.T, &X = m.X, &Y = m.Y;

    const KnownSide ac = knownSideAC(in.xa, in.ya, in.xc, in.yc, rad);
    Traverse t{m.T, m.X, m.Y, rad};
    routeFromKnownSide(t, {in.S, in.alpha, in.beta, in.gamma, rad}, c, in.xa, in.ya, in.xc, in.yc, ac.azimuth);

    // The misclosures; the coordinate ones follow the azimuth condition.
    const int rx = azimuth ? 4 : 3, ry = rx + 1;
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    if (azimuth) {
        const double az = c.azimuth == ClosingAzimuth::Corrected ? downIfFull(upIfNegative(T[5] + in.qb + 180))
                                                                  : downIfFull(T[5] + in.qb + 180);
        m.closingAzimuth = az;
        m.w[3] = azimuthMisclosure(az, in.tb);
    }
    m.w[static_cast<std::size_t>(rx)] = X[5] - xk;
    m.w[static_cast<std::size_t>(ry)] = Y[5] - yk;

    // The condition matrix: S(1) is known, so figure condition 1 has no
    // S(1) column.
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    detail::figureRow1(A, 1, in, false);
    detail::figureRow2(A, 2, in, true);
    if (toB) {
        const AlongS8 s = alongS8(in);
        if (azimuth) {
            azimuthColumnsFromC(A, 3, q, rho, entryAlongS8(s));
            azimuthColumnsAlongS8(A, 3, s, rho);
            A(3, 9) = rho * s.cg5 / s.u5; // the turn at D into S(9)
        }
        coordinateColumnsFromC(A, rx, ry, m, q, xk, yk, rad);
        coordinateColumnsAlongS8S9(A, rx, ry, m, s, xk, yk, rad);
    } else {
        const AlongS10 s = alongS10(in);
        if (azimuth) {
            azimuthColumnsFromC(A, 3, q, rho, entryAlongS10(s));
            azimuthColumnsAlongS10(A, 3, s, rho);
        }
        coordinateColumnsFromC(A, rx, ry, m, q, xk, yk, rad);
        coordinateColumnsAlongS10(A, rx, ry, m, s, xk, yk, rad);
    }
    if (c.azimuth == ClosingAzimuth::Corrected)
        A(3, 12) = 1; // the correction of the signed qb

    // The weight functions of the weakest point P3 (F).
    coordinateColumnsFromC(A, rx + 2, ry + 2, m, q, X[3], Y[3], rad);
    return m;
}

CaseResult adjustFromKnownSide(int caseNo, const KnownSideChain &c, const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(caseNo, rec);
    const double rad = rec.rad;
    r.S[1] = knownSideAC(rec.xa, rec.ya, rec.xc, rec.yc, rad).length;
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = modelFromKnownSide(in, c);
    detail::storeMisclosures(r, m);
    const double vv = solveConditions(r, m.A);

    // The adjusted route from the unchanged T(1).
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    std::array<double, 6> T{}, X{}, Y{};
    Traverse t{T, X, Y, rad};
    routeFromKnownSide(t, {r.Sp, alpha, beta, gamma, rad}, c, in.xa, in.ya, in.xc, in.yc, m.T[1]);
    storeRoute(r, X, Y);
    precision(r, vv);
    return r;
}

} // namespace chain
