// Case 3: A and B known on the same side of the chain, no azimuth and no
// orientation angle. The route of case 1 from a provisional 10 degrees,
// turned about A onto B; four conditions without an orientation column.
#include "cases.h"

#include "geometry.h"
#include "numfmt.h"
#include "route.h"
#include "unoriented.h"

namespace chain {

using detail::cosd;
using detail::sind;

Model model3(const Inputs &in)
{
    Model m;
    m.nc = 4;
    m.weakest = 2; // E
    const auto &S = in.S;
    const auto &al = in.alpha, &be = in.beta, &ga = in.gamma, &h = in.h;
    const double rad = in.rad;
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;

    // Step 2: the route A, C, E, F, D, B turned onto B.
    const unoriented::Route route{in.xa, in.ya, in.xb, in.yb,
                                  {0, S[1], S[2], S[4], S[8], S[9]},
                                  {0, -al[1], -(ga[1] + al[2]), be[4], -al[5]},
                                  10, unoriented::upThenDown, unoriented::upThenDown};
    unoriented::orient(m, route, in);

    // Step 3: misclosures.
    m.w[1] = detail::figureMisclosure1(in);
    m.w[2] = detail::figureMisclosure2(in);
    m.w[3] = X[5] - in.xb;
    m.w[4] = Y[5] - in.yb;

    // Step 4: the condition matrix of case 1 without its orientation column.
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
    return m;
}

void Cm3(CaseEnv &env, double &xa, double &ya, double &xb, double &yb, Sides &S, TriArr &alpha, TriArr &gamma,
         TriArr &beta, TriArr &h, float &rho, double &rad)
{
    Record &rec = env.rec;

    // Step 1.
    redimension(rec, 4, 5, 6, 5);

    // Steps 2 to 4.
    Inputs in = detail::inputsFrom(S, alpha, gamma, beta, h, rho, rad);
    in.xa = xa, in.ya = ya, in.xb = xb, in.yb = yb;
    const Model m = model3(in);

    // Step 3's texts and steps 5 to 8; no orientation correction.
    const double vv = unoriented::adjust(env, m, 3, unoriented::CoordinateText::Picture);

    // Step 10.
    anglesFromAdjustedSides(rec, alpha, beta, gamma);

    // Step 11: T(1) keeps its rotated value, the later azimuths are turned
    // from it with the angles of the adjusted sides.
    double T[6] = {};
    T[1] = m.T[1];
    T[2] = downIfFull(T[1] - alpha[1] + 180);
    T[3] = downIfFull(T[2] - gamma[1] - alpha[2] + 180);
    T[4] = downIfFull(T[3] + beta[4] + 180);
    T[5] = downIfFull(T[4] - alpha[5] + 180);
    const double d[6] = {0, rec.Sp[1], rec.Sp[2], rec.Sp[4], rec.Sp[8], rec.Sp[9]};
    showAdjustedRoute(env, xa, ya, T, d, rad);

    // Step 12.
    showPrecision(env, vv, 4, 6);
}

} // namespace chain
