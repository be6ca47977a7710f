// Every case on test chains: error-free data close exactly, the condition
// matrix is the derivative of the misclosures, and the adjusted figure
// closes to second order.
#include "adjust/adjust.h"
#include "adjust/routerows.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "support/chains.h"
#include "support/computed.h"
#include "support/lsq.h"

#include <QtTest>

#include <cmath>

using namespace testchain;

namespace {

bool implemented(int n, const chain::Inputs &in)
{
    try {
        chain::modelOf(n, in);
        return true;
    } catch (const chain::Degenerate &e) {
        return std::string(e.what()).find("尚未完成") == std::string::npos;
    }
}

// The route index of the known point the coordinate conditions close on.
int closingIndex(int n) { return n == 9 ? 4 : 5; }

} // namespace

class CasesTest : public QObject {
    Q_OBJECT

private:
    void rows()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        for (int n = 1; n <= 12; ++n)
            for (double turn : {0.0, 137.0, 251.0})
                QTest::newRow(qPrintable(QString("case %1, turned %2").arg(n).arg(turn))) << n << turn;
    }

    Chain chainFor(double turn) { return turn == 0 ? sampleChain() : rotated(sampleChain(), turn, {1200, -800}); }

private slots:
    void errorFreeChainCloses_data() { rows(); }
    void errorFreeChainCloses()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        const auto sides = sidesOf(c);
        if (!implemented(caseNo, inputs(d, c, sides)))
            QSKIP("case not built yet");
        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        for (int i = 1; i <= r.rec.nc; ++i) {
            // rad carries pi to ten decimals: an obtuse angle is off by a few 1e-5 seconds.
            QVERIFY2(std::fabs(r.rec.w[std::size_t(i)]) < 1e-4, qPrintable(QString("w(%1)").arg(i)));
            QVERIFY2(std::fabs(r.rec.k[std::size_t(i)]) < 1e-6, qPrintable(QString("k(%1)").arg(i)));
        }
        for (int j = 1; j <= 11; ++j)
            QVERIFY(std::fabs(r.rec.Sp[std::size_t(j)] - sides[std::size_t(j)]) < 1e-6); // a micrometre
        for (int i = 0; i <= 5; ++i) {
            const Pt p = routePoint(caseNo, c, i);
            QVERIFY2(std::fabs(r.rec.X[std::size_t(i)] - p.x) < 1e-6 && std::fabs(r.rec.Y[std::size_t(i)] - p.y) < 1e-6,
                     qPrintable(QString("point %1").arg(i)));
        }
        QVERIFY(r.rec.ms < 0.005f); // shows as 0.00 mm
        for (const char *f : {"Text22", "Text23", "Text14", "Text15"})
            QVERIFY2(r.fields.text(f).find("0.00") != std::string::npos || r.fields.text(f).find('0') != std::string::npos, f);
        for (const auto &name : chain::controlNames()) {
            const std::string &t = r.fields.text(name);
            QVERIFY2(t.find("nan") == std::string::npos && t.find("inf") == std::string::npos && t.find("-0.00") == std::string::npos,
                     qPrintable(QString::fromStdString(name + ": " + t)));
        }
    }

    void conditionMatrixIsTheDerivative_data() { rows(); }
    void conditionMatrixIsTheDerivative()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        // On a figure that closes, so that the lever arms to the known points
        // are those to the computed ones.
        const chain::Inputs in = inputs(d, c, sidesOf(c));
        if (!implemented(caseNo, in))
            QSKIP("case not built yet");
        const std::string m = derivativeMismatch(caseNo, in);
        QVERIFY2(m.empty(), m.c_str());
    }

    void adjustedFigureClosesToSecondOrder_data() { rows(); }
    void adjustedFigureClosesToSecondOrder()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        const auto sides = noisy(sidesOf(c), 5, unsigned(caseNo) + 7);
        if (!implemented(caseNo, inputs(d, c, sides)))
            QSKIP("case not built yet");
        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QVERIFY(std::fabs(r.rec.w[1]) > 0.01 || std::fabs(r.rec.w[2]) > 0.01); // the noise shows

        // The conditions recomputed from the adjusted sides and angles.
        std::array<double, 12> sp{};
        for (std::size_t j = 1; j <= 11; ++j)
            sp[j] = r.rec.Sp[j];
        chain::Inputs adj = inputs(d, c, sp);
        if (d.startAngles)
            adj.qa = r.rec.qa;
        if (d.closingAngles)
            adj.qb = r.rec.qb;
        const chain::Model m = chain::modelOf(caseNo, adj);
        QVERIFY2(std::fabs(m.w[1]) < 1e-3 && std::fabs(m.w[2]) < 1e-3, "figure conditions");
        for (int i = 3; i <= m.nc; ++i) {
            const bool azimuthRow = m.nc == 5 && i == 3;
            QVERIFY2(std::fabs(m.w[std::size_t(i)]) < (azimuthRow ? 1e-3 : 1e-6), qPrintable(QString("w(%1) = %2").arg(i).arg(m.w[std::size_t(i)])));
        }
        // The adjusted route ends on the known closing point.
        const int e = closingIndex(caseNo);
        const Pt p = routePoint(caseNo, c, e);
        QVERIFY(std::fabs(r.rec.X[std::size_t(e)] - p.x) < 1e-5);
        QVERIFY(std::fabs(r.rec.Y[std::size_t(e)] - p.y) < 1e-5);
        QVERIFY(r.rec.ms > 0);
        QVERIFY(r.rec.px > 0 && r.rec.py > 0);
    }
    // Every case against the least-squares solution formed from numerical
    // derivatives of its misclosures (tests/support/lsq): the correlates,
    // the corrections of the sides and orientation angles, px and py; and
    // the kept normal system answers the weight functions again.
    void leastSquaresSolution_data() { rows(); }
    void leastSquaresSolution()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        const chain::Inputs in = inputs(d, c, noisy(sidesOf(c), 8, unsigned(caseNo) + 40u));
        CaseCall call = caseCall(caseNo, in);
        const chain::CaseResult r = chain::caseRow(caseNo).procedure(call.rec, call.comp);
        const Solution s = leastSquares(caseNo, in);
        QCOMPARE(int(r.nc), s.nc);
        QCOMPARE(r.nc, chain::caseRow(caseNo).conditions);

        // The case's rows take the lever arms to the known closing point,
        // the derivatives those to the computed one: they differ by the
        // closing gap, a few millimetres in a kilometre.
        auto near = [](double a, double b, double rel, double abs) { return std::fabs(a - b) <= rel * std::fabs(b) + abs; };
        double kmax = 0;
        for (int i = 1; i <= s.nc; ++i)
            kmax = std::max(kmax, std::fabs(s.k[std::size_t(i)]));
        for (int i = 1; i <= s.nc; ++i)
            QVERIFY2(near(r.k[std::size_t(i)], s.k[std::size_t(i)], 2e-3, 1e-6 * kmax), qPrintable(QString("k(%1)").arg(i)));
        const chain::Columns corrected = chain::caseRow(caseNo).corrected;
        for (int j = 0; j <= 12; ++j) {
            const double v = j >= 1 && j <= 11 ? r.Sp[std::size_t(j)] - r.S[std::size_t(j)] : r.V[std::size_t(j)];
            const double want = corrected.has(j) || j == 0 || j == 12 ? s.v[std::size_t(j)] : 0.0;
            if (j == 0 || j == 12) {
                // An orientation column: compare where the procedure keeps it.
                if (!chain::caseRow(caseNo).normalColumns.has(j))
                    continue;
                const double corr = chain::orientationCorrection(r, r.A, j);
                QVERIFY2(near(corr, want, 5e-3, 1e-9), qPrintable(QString("v(%1) = %2, expected %3").arg(j).arg(corr).arg(want)));
                continue;
            }
            QVERIFY2(near(v, want, 2e-3, 1e-8), qPrintable(QString("v(%1) = %2, expected %3").arg(j).arg(v).arg(want)));
        }
        QVERIFY2(near(r.px, s.px, 1e-4, 1e-9), qPrintable(QString("px %1, expected %2").arg(r.px).arg(s.px)));
        QVERIFY2(near(r.py, s.py, 1e-4, 1e-9), qPrintable(QString("py %1, expected %2").arg(r.py).arg(s.py)));

        // The weight reciprocals from the kept system: the weight functions
        // give px and py again; a side's correction function gives a value
        // between 0 and 1 (a side is never better known than observed, and
        // never worse).
        std::array<double, 13> fx{}, fy{}, side{};
        for (int col = 0; col <= 12; ++col) {
            fx[std::size_t(col)] = r.A(r.nc + 1, col);
            fy[std::size_t(col)] = r.A(r.nc + 2, col);
        }
        QVERIFY(near(chain::weightReciprocal(r, fx), r.px, 1e-9, 1e-12));
        QVERIFY(near(chain::weightReciprocal(r, fy), r.py, 1e-9, 1e-12));
        side[4] = 1;
        const double q4 = chain::weightReciprocal(r, side);
        QVERIFY2(q4 > 0 && q4 < 1, qPrintable(QString("1/p of S(4): %1").arg(q4)));
    }
    // The catalogue against the figure: each leg of a case's route is the
    // side between its two route points, the weakest point is the one whose
    // weight functions the model forms, an azimuth condition is the fifth.
    void catalogueRowsFitTheFigure_data() { rows(); }
    void catalogueRowsFitTheFigure()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const auto sides = sidesOf(c);
        const chain::CaseRow &row = chain::caseRow(caseNo);
        for (int i = 1; i <= 5; ++i) {
            const Pt p = routePoint(caseNo, c, i - 1), q = routePoint(caseNo, c, i);
            const double leg = sides[std::size_t(row.routeSides[std::size_t(i)])];
            if (caseNo == 9 && i == 2) {
                // Case 9 leaves P1 = C and goes from A along the diagonal S(3).
                const Pt a = routePoint(caseNo, c, 0);
                QVERIFY(std::fabs(std::hypot(q.x - a.x, q.y - a.y) - leg) < 1e-6);
                continue;
            }
            QVERIFY2(std::fabs(std::hypot(q.x - p.x, q.y - p.y) - leg) < 1e-6, qPrintable(QString("leg %1").arg(i)));
        }
        const chain::Model m = chain::modelOf(caseNo, inputs(caseData(caseNo, c), c, sides));
        QCOMPARE(row.weakest, m.weakest);
        QCOMPARE(row.conditions, m.nc);
        QCOMPARE(row.azimuthCondition, m.nc == 5);
        QCOMPARE(chain::routeIndex(caseNo, chain::routeLabel(caseNo, row.weakest)), row.weakest);
        // The route rows of cases 1 to 7 run along the same legs.
        if (caseNo <= 7) {
            const std::string route = row.route;
            const chain::RouteShape &shape = route == "ACEFDB" ? chain::kRouteACEFDB
                                             : route == "ACEFBD" ? chain::kRouteACEFBD
                                                                 : chain::kRouteCAFEDB;
            QVERIFY(route == "ACEFDB" || route == "ACEFBD" || route == "CAFEDB");
            for (std::size_t i = 1; i <= 5; ++i)
                QCOMPARE(shape.legs[i], row.routeSides[i]);
        }
    }
};

QTEST_APPLESS_MAIN(CasesTest)
#include "test_cases.moc"
