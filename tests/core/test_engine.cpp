// The shared machinery: display formats, the weight-reciprocal function,
// the correlate solution, the geometry helpers, and case 1's window texts.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "support/chains.h"

#include <QtTest>

#include <cmath>
#include <random>

using namespace chain;

namespace {

// Solves a·x = b by Gaussian elimination with partial pivoting (1-based).
std::vector<double> solve(std::vector<std::vector<double>> a, std::vector<double> b)
{
    const std::size_t n = b.size() - 1;
    for (std::size_t c = 1; c <= n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r <= n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        std::swap(a[c], a[p]);
        std::swap(b[c], b[p]);
        for (std::size_t r = c + 1; r <= n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k <= n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n + 1, 0.0);
    for (std::size_t r = n; r >= 1; --r) {
        double t = b[r];
        for (std::size_t k = r + 1; k <= n; ++k)
            t -= a[r][k] * x[k];
        x[r] = t / a[r][r];
    }
    return x;
}

// A random symmetric positive definite [aa] of size n in N and Q, with
// [af] in column ip of both.
void randomSystem(std::mt19937 &g, int n, int ip, Matrix &N, Matrix &Q)
{
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<std::vector<double>> m(std::size_t(n) + 1, std::vector<double>(std::size_t(n) + 4, 0.0));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n + 3; ++j)
            m[std::size_t(i)][std::size_t(j)] = u(g);
    N.redim(n + 3, n + 3);
    Q.redim(n + 3, n + 3);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            double t = i == j ? n : 0;
            for (int k = 1; k <= n + 3; ++k)
                t += m[std::size_t(i)][std::size_t(k)] * m[std::size_t(j)][std::size_t(k)];
            N(i, j) = Q(i, j) = t;
        }
    for (int i = 1; i <= n; ++i)
        N(i, n + 1) = Q(i, ip) = u(g);
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void formats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("fixedText");   // rounded, then the picture
        QTest::addColumn<QString>("generalText"); // rounded, then the general format
        QTest::newRow("tie to even down") << 0.125 << 2 << "0.12" << "0.12";
        QTest::newRow("tie to even up") << 0.375 << 2 << "0.38" << "0.38";
        QTest::newRow("binary below half") << 2.675 << 2 << "2.67" << "2.67";
        QTest::newRow("negative rounds to zero") << -0.004 << 2 << "0.00" << "0";
        QTest::newRow("negative zero") << -0.0 << 3 << "0.000" << "0";
        QTest::newRow("leading zero") << 0.5 << 2 << "0.50" << "0.5";
        QTest::newRow("negative") << -12.3456 << 3 << "-12.346" << "-12.346";
        QTest::newRow("carry") << 9.9996 << 3 << "10.000" << "10";
        QTest::newRow("px to six") << 0.4718833 << 6 << "0.471883" << "0.471883";
        QTest::newRow("whole") << 2.0 << 2 << "2.00" << "2";
        QTest::newRow("large") << 123456789.123456 << 3 << "123456789.123" << "123456789.123";
        QTest::newRow("tiny") << 0.000001 << 6 << "0.000001" << "0.000001";
    }
    void formats()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, fixedText);
        QFETCH(QString, generalText);
        QCOMPARE(QString::fromStdString(fixed(value, decimals)), fixedText);
        QCOMPARE(QString::fromStdString(general(roundTo(value, decimals))), generalText);
    }

    void pictureWithoutRounding()
    {
        QCOMPARE(picture(3000.0004999, 3), std::string("3000.000"));
        QCOMPARE(picture(3000.0005, 3), std::string("3000.001")); // half away from zero
        QCOMPARE(picture(-0.00049, 3), std::string("0.000"));
        QCOMPARE(picture(1e15, 2), std::string("1000000000000000.00"));
        QVERIFY_THROWS_EXCEPTION(Degenerate, picture(std::nan(""), 2));
        QVERIFY_THROWS_EXCEPTION(Degenerate, fixed(HUGE_VAL, 2));
    }

    void cghilAgainstAnIndependentSolve_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 1; n <= 6; ++n)
            QTest::newRow(qPrintable(QString("n = %1").arg(n))) << n;
    }
    void cghilAgainstAnIndependentSolve()
    {
        QFETCH(int, n);
        std::mt19937 g(unsigned(n) * 7919u);
        for (int trial = 0; trial < 20; ++trial) {
            Matrix N, Q;
            const std::int16_t ip = std::int16_t(n + 1);
            randomSystem(g, n, ip, N, Q);
            std::vector<std::vector<double>> a(std::size_t(n) + 1, std::vector<double>(std::size_t(n) + 1));
            std::vector<double> b(std::size_t(n) + 1);
            for (int i = 1; i <= n; ++i) {
                for (int j = 1; j <= n; ++j)
                    a[std::size_t(i)][std::size_t(j)] = Q(i, j);
                b[std::size_t(i)] = Q(i, ip);
            }
            const auto x = solve(a, b);
            double expected = 0;
            for (int i = 1; i <= n; ++i)
                expected -= b[std::size_t(i)] * x[std::size_t(i)];
            const double got = Cghil(N, Q, ip, std::int16_t(n));
            QVERIFY2(std::fabs(got - expected) <= 1e-12 * (1 + std::fabs(expected)), qPrintable(QString::number(got - expected)));
            QVERIFY(got <= 0);
        }
    }

    void cghilOneEquation()
    {
        Matrix N(3, 3), Q(3, 3);
        N(1, 1) = 4;
        N(1, 2) = 2;
        Q(1, 2) = 3;
        QCOMPARE(Cghil(N, Q, 2, 1), -2.0 / 4 * 3);
    }

    void cghilReducesInPlace()
    {
        std::mt19937 g(5);
        Matrix N, Q;
        randomSystem(g, 4, 5, N, Q);
        N(0, 0) = 99;
        N(6, 6) = 77;
        N(6, 1) = 55;
        const double first = Cghil(N, Q, 5, 4);
        QCOMPARE(N(0, 0), 99.0);
        QCOMPARE(N(6, 6), 77.0);
        QCOMPARE(N(6, 1), 55.0);
        QVERIFY(Cghil(N, Q, 5, 4) != first); // reduced rows reduced again
    }

    void singularSystemIsReported()
    {
        Matrix N(4, 4), Q(4, 4);
        for (int i = 1; i <= 2; ++i)
            for (int j = 1; j <= 2; ++j)
                N(i, j) = Q(i, j) = 1; // rank 1
        N(1, 3) = Q(1, 3) = 1;
        try {
            Cghil(N, Q, 3, 2);
            QFAIL("no error");
        } catch (const Degenerate &e) {
            QVERIFY(QString::fromUtf8(e.what()).contains("奇异"));
        }
    }

    void correlatesSolveTheNormalEquations()
    {
        std::mt19937 g(11);
        CaseResult rec;
        rec.nc = 4;
        rec.k.assign(5, 0.0);
        rec.w = {0, 1.5f, -2.25f, 0.004f, -0.003f};
        Matrix N;
        randomSystem(g, 4, 5, N, rec.Q);
        const Matrix aa = rec.Q;
        correlates(rec);
        for (int i = 1; i <= 4; ++i) {
            double t = rec.w[std::size_t(i)];
            for (int j = 1; j <= 4; ++j)
                t += aa(i, j) * rec.k[std::size_t(j)];
            QVERIFY(std::fabs(t) < 1e-12);
        }
    }

    void azimuthRule_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<double>("azimuth");
        QTest::newRow("north") << 10.0 << 0.0 << 0.0;
        QTest::newRow("east") << 0.0 << 10.0 << 90.0;
        QTest::newRow("south") << -10.0 << 0.0 << 180.0;
        QTest::newRow("west") << 0.0 << -10.0 << 270.0;
        QTest::newRow("coincident") << 0.0 << 0.0 << 270.0;
        QTest::newRow("north-east") << 10.0 << 10.0 << 45.0;
        QTest::newRow("south-east") << -10.0 << 10.0 << 135.0;
        QTest::newRow("south-west") << -10.0 << -10.0 << 225.0;
        QTest::newRow("north-west") << 10.0 << -10.0 << 315.0;
    }
    void azimuthRule()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(double, azimuth);
        const double rad = 3.1415926535 / 180;
        QVERIFY(std::fabs(azimuthOf(dx, dy, rad) - azimuth) < 1e-8);
    }

    void foldsAzimuthDifferences()
    {
        QVERIFY(std::fabs(foldTurn(359.9999 - 0.0001) + 0.0002) < 1e-10);
        QCOMPARE(foldTurn(-359.5), 0.5);
        QCOMPARE(foldTurn(180.0), 180.0);
        QCOMPARE(foldTurn(-180.0), 180.0);
        QCOMPARE(foldTurn(725.0), 5.0);
        QCOMPARE(foldTurn(12.5), 12.5);
    }

    // Case 1 writes its fields in its own formats.
    void caseOneTexts()
    {
        const auto c = testchain::sampleChain();
        const auto sides = testchain::noisy(testchain::sidesOf(c), 4, 3);
        ScriptedPrompter p(testchain::replies(testchain::caseData(1, c), c, sides));
        Record rec;
        FieldTable f;
        QCOMPARE(int(Command1_Click(rec, p, f).outcome), 0);
        auto two = [](double v) {
            char b[64];
            std::snprintf(b, sizeof b, "%.2f", v);
            return std::string(std::strcmp(b, "-0.00") == 0 ? "0.00" : b);
        };
        QCOMPARE(f.text("Text22"), two(rec.w[1]) + "秒");
        QCOMPARE(f.text("Text23"), two(rec.w[2]) + "秒");
        QCOMPARE(f.text("Text13"), std::string("没有方位角条件 "));
        QCOMPARE(f.text("Text24"), std::string("有定向的纵横座标条件但没有方位角条件"));
        QCOMPARE(f.text("Text14"), two(double(rec.w[3] * 1000.0f)) + "毫米");
        QCOMPARE(f.text("Text15"), two(double(rec.w[4] * 1000.0f)) + "毫米");
        QCOMPARE(f.text("Text16"), two(double(rec.ms)) + "毫米");
        QCOMPARE(f.text("Text21"), two(double(rec.md)) + "毫米");
        QCOMPARE(f.text("Text9(0)"), std::string("3000.000"));
        char b[64];
        std::snprintf(b, sizeof b, "%.3f", rec.X[3]);
        QCOMPARE(f.text("Text9(3)"), std::string(b));
        std::snprintf(b, sizeof b, "%.6f", rec.px);
        std::string px = b;
        while (px.back() == '0')
            px.pop_back();
        QCOMPARE(f.text("Text17"), px);
        // The single-precision figures.
        QCOMPARE(rec.mx, float(double(rec.ms) * std::sqrt(rec.px)));
        QCOMPARE(rec.md, float(std::sqrt(double(rec.mx) * rec.mx + double(rec.my) * rec.my)));
        // The corrected orientation angle differs from the typed one by a trace.
        QVERIFY(rec.qa != testchain::caseData(1, c).qa);
        QVERIFY(std::fabs(rec.qa - testchain::caseData(1, c).qa) < 1.0 / 3600);
        QCOMPARE(int(rec.nc), 4);
        QCOMPARE(int(rec.nm), 6);
        QCOMPARE(rec.Y.size(), std::size_t(7));
        QCOMPARE(int(rec.ip), 6);
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "test_engine.moc"
