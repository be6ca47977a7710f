#include "azimuthcond.h"

#include "geometry.h"
#include "numfmt.h"

#include <string>

namespace chain::azimuthcond {

double misclosure(double TB, double tb) { return 3600 * foldTurn(TB - tb); }

void orientationEntries(Matrix &A)
{
    A(3, 0) = 1;
    A(3, 12) = 1;
}

Adjusted adjust(CaseEnv &env, const Model &m, int caseNo, int blanks, int decimals)
{
    Record &rec = env.rec;
    TextSink &out = env.out;

    detail::storeMisclosures(rec, m);
    for (std::size_t i = 0; i <= 5; ++i) {
        rec.X[i] = m.X[i];
        rec.Y[i] = m.Y[i];
    }
    out.setText("Text22", fixed(rec.w[1], 2) + "秒");
    out.setText("Text23", fixed(rec.w[2], 2) + "秒");
    out.setText("Text13", std::string(static_cast<std::size_t>(blanks), ' ') +
                              picture(roundTo(rec.w[3], decimals), 2) + "秒");
    out.setText("Text14", fixed(rec.w[4] * 1000.0f, 2) + "毫米");
    out.setText("Text15", fixed(rec.w[5] * 1000.0f, 2) + "毫米");
    out.setText("Text24", "有纵横座标条件及方位角条件");

    // Steps 5 to 8.
    Adjusted a;
    Corrections V{};
    a.vv = solveConditions(rec, m.A, caseNo, {1, 11}, V);
    a.startCorrection = orientationCorrection(rec, m.A, 0);
    a.closingCorrection = orientationCorrection(rec, m.A, 12);
    return a;
}

} // namespace chain::azimuthcond
