// Case 4: A and D known on opposite sides of the chain, no azimuth and no
// orientation angle. The case 3 procedure along the route A, C, E, F, B, D,
// closing on D, which it reads from the record; B's arguments are not used.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "unoriented.h"

namespace chain {

using detail::cosd;
using detail::sind;

Model model4(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 3; // F
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma, &h = in.h;
    const double rad = in.rad;
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;

    // The route A, C, E, F, B, D turned onto D.
    const unoriented::Route route{in.xa, in.ya, in.xd, in.yd,
                                  {0, S[1], S[2], S[4], S[10], S[9]},
                                  {0, -al[1], -(ga[1] + al[2]), be[6], ga[5]},
                                  10, unoriented::upThenDown, unoriented::upThenDown};
    unoriented::orient(m, route, in);

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xd;
    m.w[4] = Y[5] - in.yd;

    // The condition matrix.
    Matrix &A = m.A;
    const double ha = S[1] * sind(be[1], rad), hb = S[2] * sind(al[1], rad);
    const double hc = S[3] * sind(be[2], rad), he = S[10] * sind(be[5], rad);
    requireHeight(ha, "三角形 1 在 A 点");
    requireHeight(hb, "三角形 1 在 C 点");
    requireHeight(hc, "三角形 2 在 A 点");
    requireHeight(he, "三角形 5 在 F 点");
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);

    double dY[5], dX[5];
    for (int i = 1; i <= 4; ++i) {
        dY[i] = in.yd - Y[i];
        dX[i] = in.xd - X[i];
    }
    const double cT[6] = {0, cosd(T[1], rad), cosd(T[2], rad), cosd(T[3], rad), cosd(T[4], rad), cosd(T[5], rad)};
    const double sT[6] = {0, sind(T[1], rad), sind(T[2], rad), sind(T[3], rad), sind(T[4], rad), sind(T[5], rad)};
    const double cb1 = cosd(be[1], rad), cg1 = cosd(ga[1], rad), ca1 = cosd(al[1], rad), cb2 = cosd(be[2], rad);
    const double cg2 = cosd(ga[2], rad), cg6 = cosd(ga[6], rad), ca6 = cosd(al[6], rad), ca5 = cosd(al[5], rad);
    const double cb5 = cosd(be[5], rad);

    A(3, 1) = cT[1] - dY[1] * cb1 / ha + dY[2] / hb;
    A(3, 2) = cT[2] - dY[1] * cg1 / ha - dY[2] * ca1 / hb;
    A(3, 3) = dY[1] / ha - dY[2] * (cb1 / hb + cb2 / hc);
    A(3, 4) = cT[3] - dY[2] * cg2 / hc + dY[3] * cg6 / h[6];
    A(3, 5) = dY[2] / hc;
    A(3, 8) = -dY[4] / he;
    A(3, 9) = cT[5] + dY[4] * ca5 / he;
    A(3, 10) = cT[4] + dY[3] * ca6 / h[6] + dY[4] * cb5 / he;
    A(3, 11) = -dY[3] / h[6];

    A(4, 1) = sT[1] + dX[1] * cb1 / ha - dX[2] / hb;
    A(4, 2) = sT[2] + dX[1] * cg1 / ha + dX[2] * ca1 / hb;
    A(4, 3) = -dX[1] / ha + dX[2] * (cb1 / hb + cb2 / hc);
    A(4, 4) = sT[3] + dX[2] * cg2 / hc - dX[3] * cg6 / h[6];
    A(4, 5) = -dX[2] / hc;
    A(4, 8) = dX[4] / he;
    A(4, 9) = sT[5] - dX[4] * ca5 / he;
    A(4, 10) = sT[4] - dX[3] * ca6 / h[6] - dX[4] * cb5 / he;
    A(4, 11) = dX[3] / h[6];

    // Weight functions of the weakest point P3.
    double fY[3], fX[3];
    for (int i = 1; i <= 2; ++i) {
        fY[i] = Y[3] - Y[i];
        fX[i] = X[3] - X[i];
    }
    A(5, 1) = cT[1] - fY[1] * cb1 / ha + fY[2] / hb;
    A(5, 2) = cT[2] - fY[1] * cg1 / ha - fY[2] * ca1 / hb;
    A(5, 3) = fY[1] / ha - fY[2] * (cb1 / hb + cb2 / hc);
    A(5, 4) = cT[3] - fY[2] * cg2 / hc;
    A(5, 5) = fY[2] / hc;

    A(6, 1) = sT[1] + fX[1] * cb1 / ha - fX[2] / hb;
    A(6, 2) = sT[2] + fX[1] * cg1 / ha + fX[2] * ca1 / hb;
    A(6, 3) = -fX[1] / ha + fX[2] * (cb1 / hb + cb2 / hc);
    A(6, 4) = sT[3] + fX[2] * cg2 / hc;
    A(6, 5) = -fX[2] / hc;
    return m;
}

CaseResult Cm4(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(4, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model4(in);
    const double vv = unoriented::adjust(r, m);

    // From the rotated T(1) along A, C, E, F, B, D: P4 is B and P5 is D.
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    double T[6] = {};
    T[1] = m.T[1];
    T[2] = downIfFull(T[1] - alpha[1] + 180);
    T[3] = downIfFull(T[2] - gamma[1] - alpha[2] + 180);
    T[4] = downIfFull(T[3] + beta[6] + 180);
    T[5] = downIfFull(T[4] + gamma[5] + 180);
    const double d[6] = {0, r.Sp[1], r.Sp[2], r.Sp[4], r.Sp[10], r.Sp[9]};
    adjustedRoute(r, rec.xa, rec.ya, T, d, rec.rad);
    precision(r, vv);
    return r;
}

} // namespace chain
