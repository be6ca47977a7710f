// Case 9: all four end points known, no angles: the chain starts on the
// known side A–C and closes on the known side D–B. Five conditions: the
// direction of S(9) carried through the figure against D -> B, and the
// coordinates of D. S(1) and S(9) come from the coordinates and are not
// corrected.
#include "cases.h"

#include "geometry.h"
#include "knownside.h"
#include "numfmt.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace {

// The route from A along the diagonal S(3) to E, then S(4) to F and
// S(8) to D; P1 = C and P5 = B are the known points.
void route9(Traverse &t, const RouteData &d, double T1)
{
    auto &T = t.T;
    T[1] = T1;
    T[2] = downIfFull(T[1] + d.beta[1]); // turn at A
    t.X[2] = t.X[0] + d.S[3] * cosd(T[2], t.rad);
    t.Y[2] = t.Y[0] + d.S[3] * sind(T[2], t.rad);
    T[3] = upIfNegative(T[2] - d.alpha[2] - 180); // turn at E
    t.leg(3, d.S[4]);
    alongS8(t, d);
}

// Columns 2..5 of an ordinate row rx and an abscissa row ry for a point
// (x, y) reached from A through E and F; column 4 without the turn at F.
void fromAColumns(Matrix &A, int rx, int ry, const Model &m, const FirstQuad &q, double h1, double xa, double ya,
                  double x, double y, double rad)
{
    const auto &X = m.X, &Y = m.Y, &T = m.T;
    const double dY2 = y - Y[2], dX2 = x - X[2];
    A(rx, 2) = -(y - ya) / h1;
    A(rx, 3) = cosd(T[2], rad) + (y - ya) * q.cg1 / h1 - dY2 * q.cb2 / q.u3;
    A(rx, 4) = cosd(T[3], rad) - dY2 * q.cg2 / q.u3;
    A(rx, 5) = dY2 / q.u3;
    A(ry, 2) = (x - xa) / h1;
    A(ry, 3) = sind(T[2], rad) - (x - xa) * q.cg1 / h1 + dX2 * q.cb2 / q.u3;
    A(ry, 4) = sind(T[3], rad) + dX2 * q.cg2 / q.u3;
    A(ry, 5) = -dX2 / q.u3;
}

} // namespace

Model model9(const Inputs &in)
{
    Model m;
    m.nc = 5;
    m.weakest = 3;
    const double rad = in.rad;
    const double rho = in.rho;
    const auto &T = m.T, &X = m.X, &Y = m.Y;
    const auto &h = in.h;

    // The known points and sides, the route.
    m.X[0] = in.xa, m.Y[0] = in.ya;
    m.X[1] = in.xc, m.Y[1] = in.yc;
    m.X[5] = in.xb, m.Y[5] = in.yb;
    const KnownSide ac = knownSide(in.xa, in.ya, in.xc, in.yc, rad, "A", "C", "S(1)");
    const KnownSide db = knownSide(in.xd, in.yd, in.xb, in.yb, rad, "D", "B", "S(9)");
    Traverse t{m.T, m.X, m.Y, rad};
    const RouteData d{in.S, in.alpha, in.beta, in.gamma, rad};
    route9(t, d, ac.azimuth);
    m.T[5] = db.azimuth;

    // Misclosures; az is the direction D -> B carried through the figure.
    const double az = turnAtD(T[4], d);
    m.closingAzimuth = az;
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = azimuthMisclosure(az, T[5]);
    m.w[4] = X[4] - in.xd;
    m.w[5] = Y[4] - in.yd;

    // The condition matrix; columns 1 and 9 are the known sides.
    Matrix &A = m.A;
    const FirstQuad q = firstQuad(in);
    const AlongS8 s = alongS8(in);
    detail::figureRow1(A, 1, in, false);
    detail::figureRow2(A, 2, in, false);

    A(3, 2) = rho / h[1];
    A(3, 3) = rho * (q.cb2 / q.u3 - q.cg1 / h[1]);
    A(3, 4) = rho * (q.cg2 / q.u3 - entryAlongS8(s));
    A(3, 5) = -rho / q.u3;
    azimuthColumnsAlongS8(A, 3, s, rho);

    // The coordinates of D: lever arms dY(i) = yd − Y(i), dX(i) = xd − X(i).
    fromAColumns(A, 4, 5, m, q, h[1], in.xa, in.ya, in.xd, in.yd, rad);
    const double dY3 = in.yd - Y[3], dX3 = in.xd - X[3];
    A(4, 4) = A(4, 4) + dY3 * s.ca4 / s.h4;
    A(4, 7) = -dY3 / s.h4;
    A(4, 8) = cosd(T[4], rad) + dY3 * s.cg4 / s.h4;
    A(5, 4) = A(5, 4) - dX3 * s.ca4 / s.h4;
    A(5, 7) = dX3 / s.h4;
    A(5, 8) = sind(T[4], rad) - dX3 * s.cg4 / s.h4;

    // Weight functions of the weakest point P3.
    fromAColumns(A, 6, 7, m, q, h[1], in.xa, in.ya, X[3], Y[3], rad);
    return m;
}

CaseResult Cm9(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(9, rec);
    const double rad = rec.rad;
    // S(1) and S(9) are the known sides; they keep their lengths.
    r.S[1] = knownSide(rec.xa, rec.ya, rec.xc, rec.yc, rad, "A", "C", "S(1)").length;
    r.S[9] = knownSide(rec.xd, rec.yd, rec.xb, rec.yb, rad, "D", "B", "S(9)").length;
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model9(in);
    detail::storeMisclosures(r, m);
    const double vv = solveConditions(r, m.A);

    // The adjusted route from the unchanged T(1); P5 stays B.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    std::array<double, 6> T{}, X{}, Y{};
    X[0] = rec.xa, Y[0] = rec.ya, X[1] = rec.xc, Y[1] = rec.yc, X[5] = rec.xb, Y[5] = rec.yb;
    Traverse t{T, X, Y, rad};
    route9(t, {r.Sp, alpha, beta, gamma, rad}, m.T[1]);
    storeRoute(r, X, Y);
    precision(r, vv);
    return r;
}

} // namespace chain
