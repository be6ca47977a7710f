// Case 5: C and B known on opposite sides of the chain, no azimuth and no
// orientation angle. The case 3 procedure along the route C, A, F, E, D, B
// from a provisional 190 degrees; its coordinate misclosures are shown in
// the general number format.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "unoriented.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace detail {

FigureCase5 figureCase5(const Inputs &in)
{
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    FigureCase5 f{};
    f.e1 = S[4] * sind(al[2], rad), f.e2 = S[7] * sind(ga[4], rad);
    f.e3 = S[7] * sind(al[4], rad), f.e4 = S[9] * sind(ga[5], rad);
    requireHeight(f.e1, "三角形 2 在 E 点");
    requireHeight(f.e2, "三角形 4 在 D 点");
    requireHeight(f.e3, "三角形 4 在 E 点");
    requireHeight(f.e4, "三角形 5 在 B 点");
    f.ca2 = cosd(al[2], rad), f.cb2 = cosd(be[2], rad), f.ca3 = cosd(al[3], rad), f.cg3 = cosd(ga[3], rad);
    f.ca4 = cosd(al[4], rad), f.cb4 = cosd(be[4], rad), f.cg4 = cosd(ga[4], rad), f.cb5 = cosd(be[5], rad);
    f.cg5 = cosd(ga[5], rad);
    return f;
}

void coordinateRowsCase5(Matrix &A, int rx, int ry, int wx, int wy, const Model &m, const Inputs &in,
                         const FigureCase5 &f)
{
    const auto &h = in.h;
    const double rad = in.rad;
    const auto &T = m.T, &X = m.X, &Y = m.Y;
    const double e1 = f.e1, e2 = f.e2, e3 = f.e3, e4 = f.e4;

    double dY[5], dX[5];
    for (int i = 1; i <= 4; ++i) {
        dY[i] = in.yb - Y[i];
        dX[i] = in.xb - X[i];
    }
    const double cT[6] = {0, cosd(T[1], rad), cosd(T[2], rad), cosd(T[3], rad), cosd(T[4], rad), cosd(T[5], rad)};
    const double sT[6] = {0, sind(T[1], rad), sind(T[2], rad), sind(T[3], rad), sind(T[4], rad), sind(T[5], rad)};
    const double ca2 = f.ca2, cb2 = f.cb2, ca3 = f.ca3, cg3 = f.cg3, ca4 = f.ca4, cb4 = f.cb4, cg4 = f.cg4;
    const double cb5 = f.cb5, cg5 = f.cg5;

    A(rx, 1) = cT[1] + dY[1] * cg3 / h[3];
    A(rx, 3) = -dY[2] / e1;
    A(rx, 4) = cT[3] + dY[2] * ca2 / e1 - dY[3] * cb4 / e2 + dY[4] / e3;
    A(rx, 5) = cT[2] + dY[1] * ca3 / h[3] + dY[2] * cb2 / e1;
    A(rx, 6) = -dY[1] / h[3];
    A(rx, 7) = cT[4] - dY[3] * cg4 / e2 - dY[4] * ca4 / e3;
    A(rx, 8) = dY[3] / e2 - dY[4] * (cb4 / e3 + cb5 / e4);
    A(rx, 9) = cT[5] - dY[4] * cg5 / e4;
    A(rx, 10) = dY[4] / e4;

    A(ry, 1) = sT[1] - dX[1] * cg3 / h[3];
    A(ry, 3) = dX[2] / e1;
    A(ry, 4) = sT[3] - dX[2] * ca2 / e1 + dX[3] * cb4 / e2 - dX[4] / e3;
    A(ry, 5) = sT[2] - dX[1] * ca3 / h[3] - dX[2] * cb2 / e1;
    A(ry, 6) = dX[1] / h[3];
    A(ry, 7) = sT[4] + dX[3] * cg4 / e2 + dX[4] * ca4 / e3;
    A(ry, 8) = -dX[3] / e2 + dX[4] * (cb4 / e3 + cb5 / e4);
    A(ry, 9) = sT[5] + dX[4] * cg5 / e4;
    A(ry, 10) = -dX[4] / e4;

    // Weight functions of the weakest point P3 (E).
    double fY[3], fX[3];
    for (int i = 1; i <= 2; ++i) {
        fY[i] = Y[3] - Y[i];
        fX[i] = X[3] - X[i];
    }
    A(wx, 1) = cT[1] + fY[1] * cg3 / h[3];
    A(wx, 3) = -fY[2] / e1;
    A(wx, 4) = cT[3] + fY[2] * ca2 / e1;
    A(wx, 5) = cT[2] + fY[1] * ca3 / h[3] + fY[2] * cb2 / e1;
    A(wx, 6) = -fY[1] / h[3];

    A(wy, 1) = sT[1] - fX[1] * cg3 / h[3];
    A(wy, 3) = fX[2] / e1;
    A(wy, 4) = sT[3] - fX[2] * ca2 / e1;
    A(wy, 5) = sT[2] - fX[1] * ca3 / h[3] - fX[2] * cb2 / e1;
    A(wy, 6) = fX[1] / h[3];
}

} // namespace detail

Model model5(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 3; // E
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const auto &X = m.X, &Y = m.Y;

    // The route C, A, F, E, D, B turned onto B; the provisional
    // azimuths are only reduced from above.
    const unoriented::Route route{in.xc, in.yc, in.xb, in.yb,
                                  {0, S[1], S[5], S[4], S[7], S[9]},
                                  {0, be[3], ga[2], -al[4], -(ga[4] + al[5])},
                                  190, downIfFull, unoriented::downThenUp};
    unoriented::orient(m, route, in);

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xb;
    m.w[4] = Y[5] - in.yb;

    // The condition matrix.
    Matrix &A = m.A;
    const detail::FigureCase5 f = detail::figureCase5(in);
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);
    detail::coordinateRowsCase5(A, 3, 4, 5, 6, m, in, f);
    return m;
}

CaseResult Cm5(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(5, rec); // N and Q are 0..7 by 0..7; row and column 7 stay 0
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model5(in);
    const double vv = unoriented::adjust(r, m);

    // From the rotated T(1) along C, A, F, E, D, B: P1 is A and P5 is B.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    double T[6] = {};
    T[1] = m.T[1];
    T[2] = downIfFull(T[1] + beta[3] + 180);
    T[3] = downIfFull(T[2] + gamma[2] + 180);
    T[4] = upIfNegative(T[3] - alpha[4] - 180);
    T[5] = upIfNegative(T[4] - gamma[4] - alpha[5] - 180);
    const double d[6] = {0, r.Sp[1], r.Sp[5], r.Sp[4], r.Sp[7], r.Sp[9]};
    adjustedRoute(r, rec.xc, rec.yc, T, d, rec.rad);
    precision(r, vv);
    return r;
}

} // namespace chain
