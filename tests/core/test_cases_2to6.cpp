// Cases 2 to 6: the window texts of each case on an error-free and a noisy
// chain, the least-squares solution against one formed here from numerical
// derivatives (orientation angles taken signed, both signs of each), the
// azimuth misclosure of a closing direction next to north or below 0, and
// what cases 4 and 5 ignore or show in their own way.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "report/report.h"
#include "support/chains.h"
#include "support/lsq.h"
#include "support/computed.h"

#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace testchain;

namespace {

const double kRad = 3.1415926535 / 180;

// v rounded to n decimals on its exact binary value, halves to even.
double rnd(double v, int n)
{
    char b[400];
    std::snprintf(b, sizeof b, "%.*f", n, v);
    return std::strtod(b, nullptr);
}

// v under a picture of n decimals: v to 15 significant digits, then rounded
// half away from zero; a zero carries no minus.
std::string pic(double v, int n)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.14e", v);
    std::string s = b;
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const std::string digits = s.substr(0, 1) + s.substr(2, 14); // v = d.ddd… × 10^e
    const int e = std::atoi(s.c_str() + s.find('e') + 1);
    // |v| × 10^n = digits × 10^(e - 14 + n); keep its integer part, rounded.
    const int shift = e - 14 + n;
    std::string whole;
    bool up = false;
    if (shift >= 0) {
        whole = digits + std::string(static_cast<std::size_t>(shift), '0');
    } else {
        const int keep = 15 + shift;
        if (keep >= 0) {
            whole = digits.substr(0, static_cast<std::size_t>(keep));
            up = digits[static_cast<std::size_t>(keep)] >= '5';
        }
    }
    if (whole.empty())
        whole = "0";
    if (up) {
        int i = static_cast<int>(whole.size()) - 1;
        while (i >= 0 && whole[static_cast<std::size_t>(i)] == '9')
            whole[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            whole.insert(whole.begin(), '1');
        else
            ++whole[static_cast<std::size_t>(i)];
    }
    while (whole.size() < static_cast<std::size_t>(n) + 1)
        whole.insert(whole.begin(), '0');
    std::string out = whole.substr(0, whole.size() - static_cast<std::size_t>(n));
    out = out.substr(std::min(out.find_first_not_of('0'), out.size() - 1));
    if (n > 0)
        out += "." + whole.substr(whole.size() - static_cast<std::size_t>(n));
    if (negative && whole.find_first_not_of('0') != std::string::npos)
        out = "-" + out;
    return out;
}

// The general number format: as many digits as needed, no exponent, no
// minus on a zero.
std::string gen(double v)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.15g", v);
    std::string s = b;
    if (s == "-0")
        s = "0";
    return s;
}

std::string fix(double v, int n) { return pic(rnd(v, n), n); }

Chain chainFor(double turn) { return turn == 0 ? sampleChain() : rotated(sampleChain(), turn, {1200, -800}); }

// The case data with the orientation angles of the given signs (+1 or -1,
// 0 keeps the case's own), ta and tb moved so that the figure still closes.
CaseData withSigns(int n, const Chain &c, int signA, int signB)
{
    CaseData d = caseData(n, c);
    auto norm = [](double t) { return t < 0 ? t + 360 : (t >= 360 ? t - 360 : t); };
    if (signA != 0 && d.startAngles) {
        const double t1 = d.ta + d.qa;
        d.qa = signA * std::fabs(d.qa);
        d.ta = norm(t1 - d.qa);
    }
    if (signB != 0 && d.closingAngles) {
        const double out = d.tb - d.qb;
        d.qb = signB * std::fabs(d.qb);
        d.tb = norm(out + d.qb);
    }
    return d;
}

bool near(double a, double b, double rel, double abs) { return std::fabs(a - b) <= rel * std::fabs(b) + abs; }

QString describe(const char *what, double got, double want)
{
    return QString("%1: %2, expected %3").arg(what).arg(got, 0, 'g', 12).arg(want, 0, 'g', 12);
}

const char *titleOf(int n) { return n == 2 || n == 6 ? "有纵横座标条件及方位角条件" : "只有纵横座标条件的无定向平差"; }

} // namespace

class Cases2to6Test : public QObject {
    Q_OBJECT

private slots:
    // Every result text of the case, formed here from the record's values
    // with the case's own formats; with error-free data also against the
    // values the figure must give.
    void windowTexts_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        QTest::addColumn<double>("noiseMm");
        for (int n = 2; n <= 6; ++n)
            for (double turn : {0.0, 251.0})
                for (double mm : {0.0, 6.0})
                    QTest::newRow(qPrintable(QString("case %1, turned %2, noise %3 mm").arg(n).arg(turn).arg(mm)))
                        << n << turn << mm;
    }
    void windowTexts()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        QFETCH(double, noiseMm);
        const Chain c = chainFor(turn);
        const CaseData d = caseData(caseNo, c);
        const auto sides = noiseMm > 0 ? noisy(sidesOf(c), noiseMm, unsigned(caseNo) * 31u) : sidesOf(c);
        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        const chain::Record &rec = r.rec;
        auto text = [&](const char *f) { return r.fields.text(f); };
        const bool azimuth = caseNo == 2 || caseNo == 6;

        // Sizes of the case.
        QCOMPARE(int(rec.nc), azimuth ? 5 : 4);
        QCOMPARE(int(rec.np), 5);
        QCOMPARE(int(rec.nm), azimuth || caseNo == 5 ? 7 : 6);
        QCOMPARE(int(rec.X.size()), 6);
        QCOMPARE(int(rec.Y.size()), 6);

        // Misclosures.
        QCOMPARE(text("Text22"), fix(rec.w[1], 2) + "秒");
        QCOMPARE(text("Text23"), fix(rec.w[2], 2) + "秒");
        const float wx = azimuth ? rec.w[4] : rec.w[3];
        const float wy = azimuth ? rec.w[5] : rec.w[4];
        const float wxmm = wx * 1000.0f, wymm = wy * 1000.0f;
        if (caseNo == 2)
            QCOMPARE(text("Text13"), "       " + pic(rnd(rec.w[3], 3), 2) + "秒");
        else if (caseNo == 6)
            QCOMPARE(text("Text13"), "      " + fix(rec.w[3], 2) + "秒");
        else
            QCOMPARE(text("Text13"), std::string("没有方位角条件"));
        if (caseNo == 5) {
            QCOMPARE(text("Text14"), gen(rnd(wxmm, 2)) + "毫米");
            QCOMPARE(text("Text15"), gen(rnd(wymm, 2)) + "毫米");
        } else {
            QCOMPARE(text("Text14"), fix(wxmm, 2) + "毫米");
            QCOMPARE(text("Text15"), fix(wymm, 2) + "毫米");
        }
        QCOMPARE(text("Text24"), std::string(titleOf(caseNo)));

        // Coordinates: the start point as typed, the others rounded.
        const bool fromC = caseNo == 5 || caseNo == 6;
        QCOMPARE(text("Text9(0)"), pic(fromC ? rec.xc : rec.xa, 3));
        QCOMPARE(text("Text10(0)"), pic(fromC ? rec.yc : rec.ya, 3));
        QCOMPARE(rec.X[0], fromC ? rec.xc : rec.xa);
        QCOMPARE(rec.Y[0], fromC ? rec.yc : rec.ya);
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(r.fields.text(chain::indexed("Text9", i)), fix(rec.X[std::size_t(i)], 3));
            QCOMPARE(r.fields.text(chain::indexed("Text10", i)), fix(rec.Y[std::size_t(i)], 3));
        }

        // Precision: ms from the corrections with the case's divisor.
        double vv = 0;
        for (std::size_t j = 1; j <= 11; ++j)
            vv += std::pow(1000 * (rec.Sp[j] - rec.S[j]), 2);
        const float ms = float(std::sqrt(vv / (azimuth ? 5 : 4)));
        QVERIFY2(near(rec.ms, ms, 1e-5, 1e-7), qPrintable(describe("ms", rec.ms, ms)));
        QVERIFY(near(rec.mx, rec.ms * std::sqrt(rec.px), 1e-6, 1e-9));
        QVERIFY(near(rec.my, rec.ms * std::sqrt(rec.py), 1e-6, 1e-9));
        QVERIFY(near(rec.md, std::hypot(double(rec.mx), double(rec.my)), 1e-6, 1e-9));
        QCOMPARE(text("Text16"), fix(rec.ms, 2) + "毫米");
        QCOMPARE(text("Text19"), fix(rec.mx, 2) + "毫米");
        QCOMPARE(text("Text20"), fix(rec.my, 2) + "毫米");
        QCOMPARE(text("Text21"), fix(rec.md, 2) + "毫米");
        if (azimuth) {
            QCOMPARE(text("Text17"), fix(rec.px, 4));
            QCOMPARE(text("Text18"), fix(rec.py, 4));
        } else {
            QCOMPARE(text("Text17"), gen(rnd(rec.px, 6)));
            QCOMPARE(text("Text18"), gen(rnd(rec.py, 6)));
        }

        if (noiseMm == 0) {
            // The figure closes: zeros everywhere, the true points.
            QCOMPARE(text("Text22"), std::string("0.00秒"));
            QCOMPARE(text("Text23"), std::string("0.00秒"));
            if (caseNo == 2)
                QCOMPARE(text("Text13"), std::string("       0.00秒"));
            if (caseNo == 6)
                QCOMPARE(text("Text13"), std::string("      0.00秒"));
            const std::string zero = caseNo == 5 ? "0毫米" : "0.00毫米";
            QCOMPARE(text("Text14"), zero);
            QCOMPARE(text("Text15"), zero);
            for (const char *f : {"Text16", "Text19", "Text20", "Text21"})
                QCOMPARE(text(f), std::string("0.00毫米"));
            for (int i = 1; i <= 5; ++i) {
                const Pt p = routePoint(caseNo, c, i);
                QCOMPARE(r.fields.text(chain::indexed("Text9", i)), fix(p.x, 3));
                QCOMPARE(r.fields.text(chain::indexed("Text10", i)), fix(p.y, 3));
            }
        }

        // The report: the case's subtitle and its misclosure block.
        const std::string report = chain::report::renderText(chain::report::build(rec));
        QVERIFY(report.find(azimuth ? "( 有纵横座标条件及方位角条件 )" : "( 只有纵横座标条件的无定向平差 )") !=
                std::string::npos);
        if (azimuth)
            QVERIFY2(report.find("方位角条件 : w(3)= " + fix(rec.w[3], 2) + " 秒") != std::string::npos,
                     report.c_str());
        else
            QVERIFY(report.find("没有方位角条件 :") != std::string::npos);
        QVERIFY(report.find("w(4)= " + fix(wxmm, 2) + " 毫米") != std::string::npos);
        QVERIFY(report.find("w(5)= " + fix(wymm, 2) + " 毫米") != std::string::npos);
    }

    // The adjustment against the least-squares solution formed here from
    // numerical derivatives, with the orientation angles taken as the signed
    // quantities the cases correct. Both signs of each angle: a negative
    // angle must be corrected the same way round as a positive one.
    void leastSquaresSolution_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<int>("signA");
        QTest::addColumn<int>("signB");
        QTest::newRow("case 2, qa > 0, qb > 0") << 2 << 1 << 1;
        QTest::newRow("case 2, qa < 0, qb < 0") << 2 << -1 << -1;
        QTest::newRow("case 6, qa < 0, qb > 0") << 6 << -1 << 1;
        QTest::newRow("case 6, qa > 0, qb < 0") << 6 << 1 << -1;
        QTest::newRow("case 3") << 3 << 0 << 0;
        QTest::newRow("case 4") << 4 << 0 << 0;
        QTest::newRow("case 5") << 5 << 0 << 0;
    }
    void leastSquaresSolution()
    {
        QFETCH(int, caseNo);
        QFETCH(int, signA);
        QFETCH(int, signB);
        const Chain c = sampleChain();
        const CaseData d = withSigns(caseNo, c, signA, signB);
        const auto sides = noisy(sidesOf(c), 8, unsigned(caseNo) + 40u);

        // The condition matrix is the derivative in every row, orientation
        // columns with respect to the signed angles.
        const chain::Inputs in = inputs(d, c, sidesOf(c));
        const std::string mismatch = derivativeMismatch(caseNo, in);
        QVERIFY2(mismatch.empty(), mismatch.c_str());

        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        const chain::Record &rec = r.rec;
        const Solution s = leastSquares(caseNo, inputs(d, c, sides));
        QCOMPARE(int(rec.nc), s.nc);

        // The case's rows take the lever arms to the known closing point,
        // the derivatives here those to the computed one: they differ by the
        // closing gap, a few millimetres in a kilometre.
        double kmax = 0;
        for (int i = 1; i <= s.nc; ++i)
            kmax = std::max(kmax, std::fabs(s.k[std::size_t(i)]));
        for (int i = 1; i <= s.nc; ++i)
            QVERIFY2(near(rec.k[std::size_t(i)], s.k[std::size_t(i)], 2e-3, 1e-6 * kmax),
                     qPrintable(describe(qPrintable(QString("k(%1)").arg(i)), rec.k[std::size_t(i)], s.k[std::size_t(i)])));
        for (std::size_t j = 1; j <= 11; ++j)
            QVERIFY2(near(rec.Sp[j] - sides[j], s.v[j], 2e-3, 1e-8),
                     qPrintable(describe(qPrintable(QString("v(%1)").arg(j)), rec.Sp[j] - sides[j], s.v[j])));
        QVERIFY2(near(rec.px, s.px, 1e-4, 1e-9), qPrintable(describe("px", rec.px, s.px)));
        QVERIFY2(near(rec.py, s.py, 1e-4, 1e-9), qPrintable(describe("py", rec.py, s.py)));

        if (caseNo == 2) {
            // Both orientation angles written back, corrected as signed angles.
            const double va = (rec.qa - d.qa) * 3600, vb = (rec.qb - d.qb) * 3600;
            QVERIFY2(std::fabs(s.v[0]) > 1e-8 && std::fabs(s.v[12]) > 1e-8, "corrections too small to tell");
            QVERIFY2(near(va, s.v[0], 5e-3, 1e-10), qPrintable(describe("correction of qa, seconds", va, s.v[0])));
            QVERIFY2(near(vb, s.v[12], 5e-3, 1e-10), qPrintable(describe("correction of qb, seconds", vb, s.v[12])));
        }
        if (caseNo == 6) {
            // qb written back; qa kept, its correction turns the adjusted
            // route: the azimuth of the adjusted C → A is ta + qa + q0.
            QVERIFY(std::fabs(rec.qa - d.qa) < 1e-9);
            const double vb = (rec.qb - d.qb) * 3600;
            QVERIFY2(near(vb, s.v[12], 5e-3, 1e-10), qPrintable(describe("correction of qb, seconds", vb, s.v[12])));
            const double t1 = std::atan2(rec.Y[1] - rec.yc, rec.X[1] - rec.xc) / kRad;
            const double q0 = fold(t1 - (rec.ta + rec.qa)) * 3600;
            QVERIFY2(std::fabs(s.v[0]) > 1e-7, "correction too small to tell");
            QVERIFY2(near(q0, s.v[0], 5e-3, 1e-9), qPrintable(describe("correction of qa, seconds", q0, s.v[0])));
        }
    }

    // The closing azimuth within a turn's rounding of north, or below 0: the
    // azimuth misclosure is the small angle between the two directions, not
    // a full turn, and the adjustment runs as for any other data.
    void azimuthMisclosureAcrossNorth_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("trueTb"); // the closing outer direction, degrees
        QTest::addColumn<QString>("typedTb");
        QTest::addColumn<double>("qbSign");
        QTest::addColumn<double>("expectedW3"); // seconds
        // 2" west of north, typed as zero the way the prompt asks.
        const double west = 360 - 2.0 / 3600, typedZero = 1e-4; // 0.00000001 is 0.0001"
        QTest::newRow("case 2, TB 359°59'58\", tb 0.00000001") << 2 << west << "0.00000001" << 1.0 << -2 - typedZero;
        QTest::newRow("case 6, TB 359°59'58\", tb 0.00000001") << 6 << west << "0.00000001" << 1.0 << -2 - typedZero;
        // 2" east of north, typed 359°59'59": TB just above 0 against tb near 360.
        QTest::newRow("case 6, TB 0°00'02\", tb 359.5959") << 6 << 2.0 / 3600 << "359.5959" << 1.0 << 3.0;
        // Case 2 with qb below -180°: TB = T(5) + qb + 180 stays below 0.
        QTest::newRow("case 2, TB below 0") << 2 << 350.0 << "350.00015" << -1.0 << -1.5;
    }
    void azimuthMisclosureAcrossNorth()
    {
        QFETCH(int, caseNo);
        QFETCH(double, trueTb);
        QFETCH(QString, typedTb);
        QFETCH(double, qbSign);
        QFETCH(double, expectedW3);
        const Chain c = sampleChain();
        CaseData d = caseData(caseNo, c);
        const double back = azimuth(c.B, c.D); // the direction of S(9) from B
        if (qbSign > 0) {
            d.qb = trueTb - back;
            if (d.qb < 0)
                d.qb += 360;
        } else {
            // qa negative as well, so that case 2 is still chosen.
            d = withSigns(caseNo, c, -1, 0);
            d.qb = trueTb - back - 360; // below -180°
            QVERIFY(d.qb < -180);
        }
        const auto sides = sidesOf(c);
        std::vector<std::string> rs = replies(d, c, sides);
        // tb is the eleventh value (after the eight coordinates, ta and qa),
        // each value followed by its confirmation.
        rs[2 * 10] = typedTb.toStdString();
        Run r = compute(rs);
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        QCOMPARE(r.rec.tb_in, std::strtod(typedTb.toLatin1().constData(), nullptr));

        // The model computes TB on the far side of north from tb.
        chain::Inputs in = inputs(d, c, sides);
        in.tb = r.rec.tb;
        const chain::Model m = chain::modelOf(caseNo, in);
        QVERIFY2(std::fabs(m.closingAzimuth - r.rec.tb) > 180, qPrintable(QString::number(m.closingAzimuth, 'f', 9)));
        if (qbSign < 0)
            QVERIFY(m.closingAzimuth < 0);

        QVERIFY2(std::fabs(r.rec.w[3] - expectedW3) < 2e-3, qPrintable(describe("w(3)", r.rec.w[3], expectedW3)));
        const std::string blanks = caseNo == 2 ? "       " : "      ";
        QCOMPARE(r.fields.text("Text13"), blanks + pic(rnd(r.rec.w[3], caseNo == 2 ? 3 : 2), 2) + "秒");
        // A small azimuth misclosure gives small corrections; the route
        // still ends on B.
        for (std::size_t j = 1; j <= 11; ++j)
            QVERIFY(std::fabs(r.rec.Sp[j] - sides[j]) < 0.01);
        QVERIFY(std::fabs(r.rec.X[5] - c.B.x) < 1e-4 && std::fabs(r.rec.Y[5] - c.B.y) < 1e-4);
        QVERIFY(std::fabs(r.rec.qb - d.qb) * 3600 < 0.01);
    }

    // Case 4 closes on D; coordinates of B in the record change nothing.
    void case4IgnoresB()
    {
        const Chain c = sampleChain();
        const CaseData d = caseData(4, c);
        const auto sides = noisy(sidesOf(c), 5, 4);
        const chain::Inputs in = inputs(d, c, sides);
        auto run = [&](double xb, double yb, chain::Record &rec, chain::FieldTable &fields) {
            rec.xa = in.xa, rec.ya = in.ya, rec.xd = in.xd, rec.yd = in.yd, rec.xb = xb, rec.yb = yb;
            rec.S.assign(in.S.begin(), in.S.end());
            rec.Sp.assign(12, 0.0);
            rec.rad = in.rad;
            rec.rho = in.rho;
            rec.caseNo = 4;
            chain::Computation comp;
            comp.alpha = in.alpha, comp.beta = in.beta, comp.gamma = in.gamma, comp.h = in.h;
            chain::dispatch(4, rec, comp, fields);
        };
        chain::Record r0, r1;
        chain::FieldTable f0, f1;
        run(0, 0, r0, f0);
        run(c.B.x + 17.5, c.B.y - 3.25, r1, f1);
        QCOMPARE(f1.dump(), f0.dump());
        QCOMPARE(r1.X, r0.X);
        QCOMPARE(r1.Y, r0.Y);
        QCOMPARE(r1.px, r0.px);
        // P4 is B and P5 is D, through the adjusted chain.
        QVERIFY(std::fabs(r0.X[5] - c.D.x) < 1e-5 && std::fabs(r0.Y[5] - c.D.y) < 1e-5);
        QVERIFY(std::fabs(r0.X[4] - c.B.x) < 0.02 && std::fabs(r0.Y[4] - c.B.y) < 0.02);
    }

    // Case 5 shows its coordinate misclosures without a fixed number of
    // decimals: B typed 2 mm north of where the sides put it, on the line
    // C → B that points due north, gives exactly "-2毫米" and a zero "0毫米".
    void case5MisclosureTexts()
    {
        Chain c = sampleChain();
        c = rotated(c, -azimuth(c.C, c.B), {0, 0});
        c.B.y = c.C.y;
        const auto sides = sidesOf(c);
        Chain typed = c;
        typed.B.x += 0.002;
        Run r = compute(replies(caseData(5, typed), typed, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), 5);
        QCOMPARE(r.fields.text("Text14"), std::string("-2毫米"));
        QCOMPARE(r.fields.text("Text15"), std::string("0毫米"));
        // The angle misclosures keep their picture.
        QCOMPARE(r.fields.text("Text22"), std::string("0.00秒"));
        // Row and column 7 of N and Q exist and stay 0.
        QCOMPARE(r.rec.N.rows(), 8);
        QCOMPARE(r.rec.Q.cols(), 8);
        for (int i = 0; i <= 7; ++i) {
            QCOMPARE(r.rec.N(7, i), 0.0);
            QCOMPARE(r.rec.N(i, 7), 0.0);
            QCOMPARE(r.rec.Q(7, i), 0.0);
            QCOMPARE(r.rec.Q(i, 7), 0.0);
        }
    }

    // The rotation of the unoriented routes lies in [0, 360) and turns the
    // provisional route onto the closing point, whichever way the chain lies.
    void rotationOntoTheClosingPoint_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        for (int n = 3; n <= 5; ++n)
            for (double turn : {0.0, 95.0, 137.0, 200.0, 251.0, 333.0})
                QTest::newRow(qPrintable(QString("case %1, turned %2").arg(n).arg(turn))) << n << turn;
    }
    void rotationOntoTheClosingPoint()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        const Chain c = chainFor(turn);
        const chain::Model m = chain::modelOf(caseNo, inputs(caseData(caseNo, c), c, noisy(sidesOf(c), 5, 9)));
        QVERIFY(m.rotation >= 0 && m.rotation < 360);
        const Pt p0 = routePoint(caseNo, c, 0), p5 = routePoint(caseNo, c, 5);
        // Both in the degrees of the case's rad, whose ten-decimal pi makes
        // each reduction by 360 turn a side by 1e-8 degrees.
        const double toClosing = std::atan2(p5.y - p0.y, p5.x - p0.x) / kRad;
        const double toEnd = std::atan2(m.Y[5] - p0.y, m.X[5] - p0.x) / kRad;
        QVERIFY2(std::fabs(fold(toEnd - toClosing)) < 1e-7, qPrintable(describe("azimuth to P5", toEnd, toClosing)));
        for (int i = 1; i <= 5; ++i)
            QVERIFY(m.T[std::size_t(i)] >= 0 && m.T[std::size_t(i)] < 360);
    }
};

QTEST_APPLESS_MAIN(Cases2to6Test)
#include "test_cases_2to6.moc"
