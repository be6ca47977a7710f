#include "unoriented.h"

#include "geometry.h"
#include "numfmt.h"

namespace chain::unoriented {

double upThenDown(double t) { return downIfFull(upIfNegative(t)); }
double downThenUp(double t) { return upIfNegative(downIfFull(t)); }

void orient(Model &m, const Route &r, const Inputs &in)
{
    auto &T = m.T;
    auto &X = m.X;
    auto &Y = m.Y;
    const double rad = in.rad;
    X[0] = r.x0;
    Y[0] = r.y0;

    const double tk = azimuthOf(r.xk - r.x0, r.yk - r.y0, rad);

    // The provisional route.
    T[1] = r.start;
    X[1] = X[0] + r.ds[1] * detail::cosd(T[1], rad);
    Y[1] = Y[0] + r.ds[1] * detail::sind(T[1], rad);
    for (int i = 2; i <= 5; ++i) {
        T[i] = r.provisional(T[i - 1] + r.ea[i - 1] + 180);
        X[i] = X[i - 1] + r.ds[i] * detail::cosd(T[i], rad);
        Y[i] = Y[i - 1] + r.ds[i] * detail::sind(T[i], rad);
    }

    // The rotation onto the closing point.
    const double tc = azimuthOf(X[5] - r.x0, Y[5] - r.y0, rad);
    double dt = tk - tc;
    if (tc > tk)
        dt = dt + 360;
    if (in.holdRotation)
        dt = in.rotation;
    m.rotation = dt;
    for (int i = 1; i <= 5; ++i) {
        T[i] = r.rotated(T[i] + dt);
        X[i] = X[i - 1] + r.ds[i] * detail::cosd(T[i], rad);
        Y[i] = Y[i - 1] + r.ds[i] * detail::sind(T[i], rad);
    }
}

double adjust(CaseEnv &env, const Model &m, int caseNo, CoordinateText format)
{
    Record &rec = env.rec;
    TextSink &out = env.out;

    detail::storeMisclosures(rec, m);
    for (std::size_t i = 0; i <= 5; ++i) {
        rec.X[i] = m.X[i];
        rec.Y[i] = m.Y[i];
    }
    auto millimetres = [format](float w) {
        const float mm = w * 1000.0f;
        return (format == CoordinateText::Picture ? fixed(mm, 2) : general(roundTo(mm, 2))) + "毫米";
    };
    out.setText("Text22", fixed(rec.w[1], 2) + "秒");
    out.setText("Text23", fixed(rec.w[2], 2) + "秒");
    out.setText("Text13", "没有方位角条件");
    out.setText("Text24", "只有纵横座标条件的无定向平差");
    out.setText("Text14", millimetres(rec.w[3]));
    out.setText("Text15", millimetres(rec.w[4]));

    // Steps 5 to 8; step 9 has nothing to correct.
    Corrections V{};
    return solveConditions(rec, m.A, caseNo, {1, 11}, V);
}

} // namespace chain::unoriented
