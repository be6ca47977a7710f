// Case 1: A and B known, start azimuth and orientation angle at A, no
// closing angle. Four conditions; the orientation angle qa is corrected.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"

namespace chain {

using detail::cosd;
using detail::sind;

namespace detail {

void sideConditionsCase1(Model &m, const Inputs &in)
{
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma, &h = in.h;
    const double rad = in.rad;
    const auto &T = m.T, &X = m.X, &Y = m.Y;

    // Misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xb;
    m.w[4] = Y[5] - in.yb;

    // The condition matrix over the side columns.
    Matrix &A = m.A;
    const double ha = S[1] * sind(be[1], rad), hb = S[2] * sind(al[1], rad);
    const double hc = S[3] * sind(be[2], rad), hd = S[8] * sind(be[5], rad);
    requireHeight(ha, "三角形 1 在 A 点");
    requireHeight(hb, "三角形 1 在 C 点");
    requireHeight(hc, "三角形 2 在 A 点");
    requireHeight(hd, "三角形 5 在 F 点");
    detail::figureRow1(A, 1, in, true);
    detail::figureRow2(A, 2, in, true);

    double dY[5], dX[5];
    for (int i = 1; i <= 4; ++i) {
        dY[i] = in.yb - Y[i];
        dX[i] = in.xb - X[i];
    }
    const double cT[6] = {0, cosd(T[1], rad), cosd(T[2], rad), cosd(T[3], rad), cosd(T[4], rad), cosd(T[5], rad)};
    const double sT[6] = {0, sind(T[1], rad), sind(T[2], rad), sind(T[3], rad), sind(T[4], rad), sind(T[5], rad)};
    const double cb1 = cosd(be[1], rad), cg1 = cosd(ga[1], rad), ca1 = cosd(al[1], rad), cb2 = cosd(be[2], rad);
    const double cg2 = cosd(ga[2], rad), ca4 = cosd(al[4], rad), cg4 = cosd(ga[4], rad), cb5 = cosd(be[5], rad);
    const double cg5 = cosd(ga[5], rad);

    A(3, 1) = cT[1] - dY[1] * cb1 / ha + dY[2] / hb;
    A(3, 2) = cT[2] - dY[1] * cg1 / ha - dY[2] * ca1 / hb;
    A(3, 3) = dY[1] / ha - dY[2] * cb1 / hb - dY[2] * cb2 / hc;
    A(3, 4) = cT[3] - dY[2] * cg2 / hc + dY[3] * ca4 / h[4];
    A(3, 5) = dY[2] / hc;
    A(3, 7) = -dY[3] / h[4];
    A(3, 8) = cT[4] + dY[3] * cg4 / h[4] - dY[4] * cb5 / hd;
    A(3, 9) = cT[5] - dY[4] * cg5 / hd;
    A(3, 10) = dY[4] / hd;

    A(4, 1) = sT[1] + dX[1] * cb1 / ha - dX[2] / hb;
    A(4, 2) = sT[2] + dX[1] * cg1 / ha + dX[2] * ca1 / hb;
    A(4, 3) = -dX[1] / ha + dX[2] * cb1 / hb + dX[2] * cb2 / hc;
    A(4, 4) = sT[3] + dX[2] * cg2 / hc - dX[3] * ca4 / h[4];
    A(4, 5) = -dX[2] / hc;
    A(4, 7) = dX[3] / h[4];
    A(4, 8) = sT[4] - dX[3] * cg4 / h[4] + dX[4] * cb5 / hd;
    A(4, 9) = sT[5] + dX[4] * cg5 / hd;
    A(4, 10) = -dX[4] / hd;

    // Weight functions of the weakest point P2.
    const double eY = Y[2] - Y[1], eX = X[2] - X[1];
    A(5, 1) = cT[1] - eY * cb1 / ha;
    A(5, 2) = cT[2] - eY * cg1 / ha;
    A(5, 3) = eY / ha;
    A(6, 1) = sT[1] + eX * cb1 / ha;
    A(6, 2) = sT[2] + eX * cg1 / ha;
    A(6, 3) = -eX / ha;
}

void adjustedRouteCase1(CaseResult &r, double T1, const TriArr &alpha, const TriArr &gamma, const TriArr &beta,
                        double xa, double ya, double rad)
{
    double T[6] = {};
    T[1] = T1;
    T[2] = downIfFull(T[1] - alpha[1] + 180);
    T[3] = downIfFull(T[2] - gamma[1] - alpha[2] + 180);
    T[4] = downIfFull(T[3] + beta[4] + 180);
    T[5] = downIfFull(T[4] - alpha[5] + 180);
    const double d[6] = {0, r.Sp[1], r.Sp[2], r.Sp[4], r.Sp[8], r.Sp[9]};
    adjustedRoute(r, xa, ya, T, d, rad);
}

} // namespace detail

Model model1(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 2;
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma;
    const double rad = in.rad;
    const double rho = in.rho;
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;

    // Azimuths along the route A, C, E, F, D, B.
    X[0] = in.xa;
    Y[0] = in.ya;
    T[1] = downIfFull(in.ta + in.qa);
    T[2] = downIfFull(T[1] - al[1] + 180);
    T[3] = downIfFull(T[2] - ga[1] - al[2] + 180);
    T[4] = downIfFull(T[3] + be[4] + 180);
    T[5] = downIfFull(T[4] - al[5] + 180);
    const double d[6] = {0, S[1], S[2], S[4], S[8], S[9]};
    for (int i = 1; i <= 5; ++i) {
        X[i] = X[i - 1] + d[i] * cosd(T[i], rad);
        Y[i] = Y[i - 1] + d[i] * sind(T[i], rad);
    }

    // Misclosures and the condition matrix over the sides;
    // column 0 turns the whole route about A with the signed qa.
    detail::sideConditionsCase1(m, in);
    Matrix &A = m.A;
    A(3, 0) = -(in.yb - in.ya) / rho;
    A(4, 0) = (in.xb - in.xa) / rho;
    A(5, 0) = -(Y[2] - in.ya) / rho;
    A(6, 0) = (X[2] - in.xa) / rho;
    return m;
}

CaseResult Cm1(const Record &rec, const Computation &comp)
{
    CaseResult r = startResult(1, rec);
    const Inputs in = detail::inputsOf(rec, comp, r.S);
    const Model m = model1(in);
    detail::storeMisclosures(r, m);
    const double vv = solveConditions(r, m.A);

    // The orientation angle qa takes its correction; the route is computed
    // again from it with the angles of the adjusted sides.
    r.qa = rec.qa + orientationCorrection(r, m.A, 0) / 3600;
    TriArr alpha{}, beta{}, gamma{};
    anglesFromAdjustedSides(r, alpha, beta, gamma);
    detail::adjustedRouteCase1(r, downIfFull(rec.ta + r.qa), alpha, gamma, beta, rec.xa, rec.ya, rec.rad);
    precision(r, vv);
    return r;
}

} // namespace chain
