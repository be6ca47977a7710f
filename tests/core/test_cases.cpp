// Every case on test chains: error-free data close exactly, the condition
// matrix is the derivative of the misclosures, and the adjusted figure
// closes to second order.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "support/chains.h"
#include "support/computed.h"

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
};

QTEST_APPLESS_MAIN(CasesTest)
#include "test_cases.moc"
