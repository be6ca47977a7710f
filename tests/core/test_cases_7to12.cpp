// Cases 7 to 12, the chains that start or close on known sides: the window
// texts of each case, the azimuth misclosure near north, the orientation
// correction of case 7 with a negative qa, the coordinate table's first
// row, the azimuths of the known sides and what each case writes or ignores.
#include "adjust/adjust.h"
#include "app/compute.h"
#include "app/fields.h"
#include "app/replies.h"
#include "support/chains.h"
#include "support/computed.h"

#include <QtTest>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace testchain;

namespace {

// The case procedure alone, called through the dispatch with the record and
// the triangle arrays as the Compute command prepares them; `tweak` may
// change them first.
struct EngineRun {
    chain::Record rec;
    chain::Computation comp;
    chain::FieldTable fields;
};

using Tweak = std::function<void(chain::Record &, chain::Computation &)>;

EngineRun engine(const CaseData &d, const Chain &c, const std::array<double, 12> &sides, const Tweak &tweak = {})
{
    EngineRun r;
    const chain::Inputs in = inputs(d, c, sides);
    chain::Record &rec = r.rec;
    rec.xa = in.xa, rec.ya = in.ya, rec.xb = in.xb, rec.yb = in.yb;
    rec.xc = in.xc, rec.yc = in.yc, rec.xd = in.xd, rec.yd = in.yd;
    rec.ta = in.ta, rec.qa = in.qa, rec.tb = in.tb, rec.qb = in.qb;
    rec.S.assign(in.S.begin(), in.S.end());
    rec.Sp.assign(12, 0.0);
    rec.pn.assign(d.names.begin(), d.names.end());
    rec.rad = in.rad;
    rec.rho = in.rho;
    rec.caseNo = static_cast<std::int16_t>(d.caseNo);
    r.comp.sga = in.sga;
    r.comp.sgb = in.sgb;
    r.comp.alpha = in.alpha;
    r.comp.beta = in.beta;
    r.comp.gamma = in.gamma;
    r.comp.h = in.h;
    if (tweak)
        tweak(rec, r.comp);
    chain::dispatch(rec.caseNo, rec, r.comp, r.fields);
    return r;
}

// n decimals of the exact binary value, halves to even; no minus on zero.
std::string dec(double v, int n)
{
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", n, v);
    std::string s = b;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

double norm360(double a)
{
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360 : a;
}

// An angle typed as d.mmss converted as the input sequence does.
double typedAngle(double v)
{
    const double sign = v < 0 ? -1 : 1;
    v = std::fabs(v);
    const double d = std::trunc(v);
    const double m = std::trunc(v * 100) - d * 100;
    const double s = v * 10000 - std::trunc(v * 100) * 100;
    return sign * (d + m / 60 + s / 3600);
}

// How a case shows its results.
struct Look {
    const char *title;
    std::string misLead;    // before Text22, Text23, Text14, Text15
    const char *secUnit;    // after Text22, Text23
    std::string azLead;     // before Text13
    const char *azUnit;     // after Text13
    const char *noAzimuth;  // Text13 of the cases without an azimuth condition
    int divisor;            // of vv in ms
};

Look lookOf(int n)
{
    const char *fromSide = "由已知边起算含方位角及纵横座标条件";
    switch (n) {
    case 7: return {fromSide, "", " 秒", " ", "秒", nullptr, 5};
    case 8: case 10: return {fromSide, " ", " 秒", " ", " 秒", nullptr, 5};
    case 9: return {"由已知边起闭含方位角及纵横座标条件", " ", " 秒", " ", " 秒", nullptr, 5};
    default: return {"由已知边起算的纵横座标条件平差", " ", " 秒", "", "", "没有方位角条件", 4};
    }
}

Chain turned(double turn) { return turn == 0 ? sampleChain() : rotated(sampleChain(), turn, {1500, 700}); }

// Moves `to` onto the exact cardinal line through `from` (north-south for
// 0 and 180, east-west for 90 and 270).
void snapTo(Pt from, Pt &to, double cardinal)
{
    if (cardinal == 0 || cardinal == 180)
        to.y = from.y;
    else
        to.x = from.x;
}

double nearestCardinal(double az) { return norm360(std::round(az / 90) * 90); }

} // namespace

class Cases7to12Test : public QObject {
    Q_OBJECT

private slots:
    // Every window text the case writes, from the record's values in the
    // case's formats, on an error-free chain and on a noisy one.
    void windowTexts_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("turn");
        QTest::addColumn<double>("noiseMm");
        for (int n = 7; n <= 12; ++n)
            for (double turn : {0.0, 200.0})
                for (double mm : {0.0, 6.0})
                    QTest::newRow(qPrintable(QString("case %1, turned %2, noise %3 mm").arg(n).arg(turn).arg(mm)))
                        << n << turn << mm;
    }
    void windowTexts()
    {
        QFETCH(int, caseNo);
        QFETCH(double, turn);
        QFETCH(double, noiseMm);
        const Chain c = turned(turn);
        const CaseData d = caseData(caseNo, c);
        const auto sides = noiseMm > 0 ? noisy(sidesOf(c), noiseMm, unsigned(caseNo) * 3 + 1) : sidesOf(c);
        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        const chain::Record &rec = r.rec;
        const Look look = lookOf(caseNo);
        const bool azimuth = look.noAzimuth == nullptr;
        QCOMPARE(int(rec.nc), azimuth ? 5 : 4);
        auto text = [&](const char *f) { return QString::fromStdString(r.fields.text(f)); };
        auto q = [](const std::string &s) { return QString::fromStdString(s); };
        auto mm = [&](int i) { return q(look.misLead + dec(rec.w[std::size_t(i)] * 1000.0f, 2) + " 毫米"); };

        QCOMPARE(text("Text22"), q(look.misLead + dec(rec.w[1], 2) + look.secUnit));
        QCOMPARE(text("Text23"), q(look.misLead + dec(rec.w[2], 2) + look.secUnit));
        if (azimuth) {
            QCOMPARE(text("Text13"), q(look.azLead + dec(rec.w[3], 2) + look.azUnit));
            QCOMPARE(text("Text14"), mm(4));
            QCOMPARE(text("Text15"), mm(5));
        } else {
            QCOMPARE(text("Text13"), QString(look.noAzimuth));
            QCOMPARE(text("Text14"), mm(3));
            QCOMPARE(text("Text15"), mm(4));
        }
        QCOMPARE(text("Text24"), QString(look.title));

        // The coordinate table: row 0 the start point A, row 1 C.
        QCOMPARE(text("Text9(0)"), q(dec(c.A.x, 3)));
        QCOMPARE(text("Text10(0)"), q(dec(c.A.y, 3)));
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(text(qPrintable(QString("Text9(%1)").arg(i))), q(dec(rec.X[std::size_t(i)], 3)));
            QCOMPARE(text(qPrintable(QString("Text10(%1)").arg(i))), q(dec(rec.Y[std::size_t(i)], 3)));
        }
        QCOMPARE(rec.X[0], c.A.x);
        if (caseNo != 7)
            QVERIFY(rec.X[1] == rec.xc && rec.Y[1] == rec.yc);

        // Precision: the texts, and the figures against the corrections.
        QCOMPARE(text("Text16"), q(dec(rec.ms, 2) + "毫米"));
        QCOMPARE(text("Text17"), q(dec(rec.px, 4)));
        QCOMPARE(text("Text19"), q(dec(rec.mx, 2) + "毫米"));
        QCOMPARE(text("Text18"), q(dec(rec.py, 4)));
        QCOMPARE(text("Text20"), q(dec(rec.my, 2) + "毫米"));
        QCOMPARE(text("Text21"), q(dec(rec.md, 2) + "毫米"));
        double vv = 0;
        for (std::size_t j = 1; j <= 11; ++j)
            vv += std::pow(1000 * (rec.Sp[j] - rec.S[j]), 2);
        QVERIFY(std::fabs(rec.ms - std::sqrt(vv / look.divisor)) < 1e-5 + 1e-5 * rec.ms);
        QVERIFY(std::fabs(rec.mx - rec.ms * std::sqrt(rec.px)) < 1e-5 + 1e-6 * rec.mx);
        QVERIFY(std::fabs(rec.my - rec.ms * std::sqrt(rec.py)) < 1e-5 + 1e-6 * rec.my);
        QVERIFY(std::fabs(rec.md - std::hypot(rec.mx, rec.my)) < 1e-5 + 1e-6 * rec.md);
        QVERIFY(rec.px > 0 && rec.px < 10 && rec.py > 0 && rec.py < 10);
        if (noiseMm > 0) {
            QVERIFY(rec.ms > 0.1f); // the noise shows in the figures
            QVERIFY(text("Text16") != "0.00毫米");
        } else {
            QCOMPARE(text("Text16"), QString("0.00毫米"));
        }
    }

    // The azimuth misclosure is the difference of two directions folded into
    // (-180°, 180°]: a closing direction near north, or a reduction that
    // leaves a full turn, gives the true small misclosure.
    void azimuthMisclosureIsFolded_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("tb");      // as the surveyor gives it, degrees
        QTest::addColumn<double>("offset");  // true closing direction − tb, degrees
        QTest::addColumn<int>("qbSign");
        QTest::addColumn<int>("extraTurns"); // whole turns added to qb
        QTest::addColumn<QString>("expected");
        const double nearNorth = typedAngle(0.00000001); // as the prompt asks for a zero azimuth
        QTest::newRow("case 7, closing just west of north") << 7 << nearNorth << -0.0005 << -1 << 0 << " -1.80秒";
        QTest::newRow("case 7, closing just east of north") << 7 << 359.9999 << 0.0006 << -1 << 0 << " 2.16秒";
        QTest::newRow("case 7, az 720 or more before its reduction") << 7 << 31.0 << 0.0 << 1 << 0 << " 0.00秒";
        QTest::newRow("case 8, closing just west of north") << 8 << nearNorth << -0.0005 << 1 << 0 << " -1.80 秒";
        QTest::newRow("case 8, closing just east of north") << 8 << 359.9999 << 0.0006 << 1 << 0 << " 2.16 秒";
        QTest::newRow("case 10, closing just west of north") << 10 << nearNorth << -0.0005 << -1 << 0 << " -1.80 秒";
        QTest::newRow("case 10, az left negative") << 10 << 340.0 << 0.0 << -1 << 0 << " 0.00 秒";
    }
    void azimuthMisclosureIsFolded()
    {
        QFETCH(int, caseNo);
        QFETCH(double, tb);
        QFETCH(double, offset);
        QFETCH(int, qbSign);
        QFETCH(int, extraTurns);
        QFETCH(QString, expected);
        const Chain c = sampleChain();
        CaseData d = caseData(caseNo, c);
        // The closing direction: from the closing point to the other point
        // of the closing end, turned by qb.
        const bool atB = d.knownB;
        const double dir = atB ? azimuth(c.B, c.D) : azimuth(c.D, c.B);
        double qb = norm360(tb + offset - dir);
        if (qbSign < 0)
            qb -= 360;
        qb += 360 * extraTurns;
        d.qb = qb;
        d.tb = tb;
        if (caseNo == 7 && qbSign > 0) { // the two orientation angles turn to opposite sides
            d.qa = -d.qa;
            d.ta = norm360(azimuth(c.A, c.C) - d.qa);
        }
        Run r = compute(replies(d, c, sidesOf(c)));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        QCOMPARE(QString::fromStdString(r.fields.text("Text13")), expected);
        QVERIFY(std::fabs(r.rec.w[3] - 3600 * offset) < 1e-3);
        double vmax = 0;
        for (std::size_t j = 1; j <= 11; ++j)
            vmax = std::max(vmax, std::fabs(r.rec.Sp[j] - r.rec.S[j]));
        QVERIFY(vmax < 0.01); // a centimetre at most
    }

    // Case 9 compares the carried direction of S(9) with D -> B from the
    // coordinates: with D -> B due north the carried one lies just below 360.
    void caseNineClosingDueNorth()
    {
        Chain c = rotated(sampleChain(), -azimuth(sampleChain().D, sampleChain().B), {0, 0});
        snapTo(c.D, c.B, 0);
        QVERIFY(c.B.x > c.D.x);
        const CaseData d = caseData(9, c);
        std::array<double, 12> sides{};
        bool found = false;
        for (unsigned seed = 1; seed < 40 && !found; ++seed) {
            sides = noisy(sidesOf(c), 4, seed);
            const chain::Model m = chain::modelOf(9, inputs(d, c, sides));
            found = m.closingAzimuth > 359.99 && m.T[5] == 0;
        }
        QVERIFY2(found, "noise that carries the direction of S(9) just west of north");
        Run r = compute(replies(d, c, sides));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QVERIFY(r.rec.w[3] < 0 && r.rec.w[3] > -40);
        QCOMPARE(QString::fromStdString(r.fields.text("Text13")), QString::fromStdString(" " + dec(r.rec.w[3], 2) + " 秒"));
        for (std::size_t j = 1; j <= 11; ++j)
            QVERIFY(std::fabs(r.rec.Sp[j] - r.rec.S[j]) < 0.02);
        QVERIFY(r.rec.ms > 0 && r.rec.ms < 20);
    }

    // Column 0 of case 7 is the derivative by qa as typed, with its sign
    // (column 12 likewise by qb); the derivative check takes the signed
    // angles.
    void signedOrientationColumns_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<int>("qaSign");
        QTest::addColumn<int>("qbSign");
        QTest::newRow("case 7, qa negative, qb positive") << 7 << -1 << 1;
        QTest::newRow("case 7, qa positive, qb negative") << 7 << 1 << -1;
        QTest::newRow("case 8, qb negative") << 8 << 0 << -1;
        QTest::newRow("case 10, qb positive") << 10 << 0 << 1;
    }
    void signedOrientationColumns()
    {
        QFETCH(int, caseNo);
        QFETCH(int, qaSign);
        QFETCH(int, qbSign);
        for (double turn : {0.0, 200.0}) {
            const Chain c = turned(turn);
            CaseData d = caseData(caseNo, c);
            if (qaSign != 0) {
                d.qa = qaSign * std::fabs(d.qa);
                d.ta = norm360(azimuth(c.A, c.C) - d.qa);
            }
            d.qb = qbSign * std::fabs(d.qb);
            d.tb = norm360((d.knownB ? azimuth(c.B, c.D) : azimuth(c.D, c.B)) + d.qb);
            const chain::Inputs in = inputs(d, c, sidesOf(c));
            const std::string m = derivativeMismatch(caseNo, in);
            QVERIFY2(m.empty(), m.c_str());
            Run r = compute(replies(d, c, noisy(sidesOf(c), 5, 3)));
            QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
            QCOMPARE(int(r.rec.caseNo), caseNo);
        }
    }

    // The same figure with the orientation angles typed to the other sides
    // (qa negative, qb positive) is the same adjustment: qa moves by the same
    // amount in the same direction.
    void caseSevenCorrectsTheSignedAngle()
    {
        const Chain c = sampleChain();
        const auto sides = noisy(sidesOf(c), 6, 11);
        CaseData pos = caseData(7, c);
        CaseData neg = pos;
        neg.qa = -pos.qa;
        neg.ta = norm360(azimuth(c.A, c.C) - neg.qa);
        neg.qb = -pos.qb;
        neg.tb = norm360(azimuth(c.D, c.B) + neg.qb);
        QVERIFY(pos.qa > 0 && neg.qa < 0);
        Run rp = compute(replies(pos, c, sides));
        Run rn = compute(replies(neg, c, sides));
        QCOMPARE(int(rp.rec.caseNo), 7);
        QCOMPARE(int(rn.rec.caseNo), 7);
        const double dp = rp.rec.qa - typedAngle(rp.rec.qa_in);
        const double dn = rn.rec.qa - typedAngle(rn.rec.qa_in);
        QVERIFY2(std::fabs(dp) > 1e-11, "the noise corrects the orientation");
        QVERIFY2(std::fabs(dn - dp) < 1e-4 * std::fabs(dp),
                 qPrintable(QString("qa corrected by %1 and %2 degrees").arg(dp, 0, 'g', 10).arg(dn, 0, 'g', 10)));
        for (std::size_t j = 1; j <= 11; ++j)
            QVERIFY(std::fabs(rp.rec.Sp[j] - rn.rec.Sp[j]) < 1e-9);

        // With the corrected angle the azimuth condition closes to second order.
        std::array<double, 12> sp{};
        for (std::size_t j = 1; j <= 11; ++j)
            sp[j] = rn.rec.Sp[j];
        chain::Inputs adj = inputs(neg, c, sp);
        adj.qa = rn.rec.qa;
        adj.ta = typedAngle(rn.rec.ta_in);
        adj.tb = typedAngle(rn.rec.tb_in);
        adj.qb = typedAngle(rn.rec.qb_in);
        const chain::Model m = chain::modelOf(7, adj);
        QVERIFY(std::fabs(m.w[3]) < 1e-3);
        QVERIFY(std::fabs(m.w[4]) < 1e-6 && std::fabs(m.w[5]) < 1e-6);
    }

    // Row 0 of the coordinate table is the start point A as given (not
    // rounded first), row 1 is C rounded to 3 decimals; both on ties.
    void coordinateTableStartRows_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 7; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case %1").arg(n))) << n;
    }
    void coordinateTableStartRows()
    {
        QFETCH(int, caseNo);
        Chain c = sampleChain();
        c.A = {3000.0625, 5500.1875}; // exact binary halves of the third decimal
        c.C = {3012.3125, 5004.1125};
        Run r = compute(replies(caseData(caseNo, c), c, sidesOf(c)));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        auto text = [&](const char *f) { return QString::fromStdString(r.fields.text(f)); };
        QCOMPARE(text("Text9(0)"), QString("3000.063"));
        QCOMPARE(text("Text10(0)"), QString("5500.188"));
        QCOMPARE(r.rec.X[0], c.A.x);
        QCOMPARE(r.rec.Y[0], c.A.y);
        if (caseNo != 7) { // C is known: halves go to the even digit
            QCOMPARE(text("Text9(1)"), QString("3012.312"));
            QCOMPARE(text("Text10(1)"), QString::fromStdString(dec(5004.1125, 3)));
        }
    }

    // The known side's azimuth by the azimuth rule, exact on the cardinal
    // directions; the chain built on it closes.
    void knownSideAzimuths_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<double>("target");
        QTest::addColumn<bool>("snap");
        for (int n : {8, 9, 10, 11, 12}) {
            for (double t : {0.0, 90.0, 180.0, 270.0})
                QTest::newRow(qPrintable(QString("case %1, %2°").arg(n).arg(t))) << n << t << true;
            QTest::newRow(qPrintable(QString("case %1, 300° (dx > 0, dy < 0)").arg(n))) << n << 300.0 << false;
            QTest::newRow(qPrintable(QString("case %1, 135°").arg(n))) << n << 135.0 << false;
        }
    }
    void knownSideAzimuths()
    {
        QFETCH(int, caseNo);
        QFETCH(double, target);
        QFETCH(bool, snap);
        const Chain s = sampleChain();
        // Case 9 starts along A -> C; the others along C -> A.
        const bool fromA = caseNo == 9;
        const double start = fromA ? azimuth(s.A, s.C) : azimuth(s.C, s.A);
        Chain c = rotated(s, target - start, {300, -200});
        if (snap)
            fromA ? snapTo(c.A, c.C, target) : snapTo(c.C, c.A, target);
        double closing = 0;
        if (fromA) {
            closing = nearestCardinal(azimuth(c.D, c.B));
            snapTo(c.D, c.B, closing);
        }
        const CaseData d = caseData(caseNo, c);
        const chain::Model m = chain::modelOf(caseNo, inputs(d, c, sidesOf(c)));
        if (snap) {
            QCOMPARE(m.T[1], target);
        } else {
            QVERIFY(std::fabs(m.T[1] - target) < 1e-8); // rad carries pi to ten decimals
            QVERIFY(m.T[1] >= 0 && m.T[1] < 360);
        }
        if (fromA)
            QCOMPARE(m.T[5], closing);

        Run r = compute(replies(d, c, sidesOf(c)));
        QCOMPARE(int(r.result.outcome), int(chain::Outcome::Computed));
        QCOMPARE(int(r.rec.caseNo), caseNo);
        for (int i = 1; i <= r.rec.nc; ++i)
            QVERIFY2(std::fabs(r.rec.w[std::size_t(i)]) < 1e-4, qPrintable(QString("w(%1)").arg(i)));
        for (int i = 0; i <= 5; ++i) {
            const Pt p = routePoint(caseNo, c, i);
            QVERIFY(std::fabs(r.rec.X[std::size_t(i)] - p.x) < 1e-6 && std::fabs(r.rec.Y[std::size_t(i)] - p.y) < 1e-6);
        }
    }

    // S(1) (and S(9) in case 9) are the distances of the known points,
    // written into the record whatever it held, and not corrected.
    void knownSidesIntoTheRecord_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 8; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case %1").arg(n))) << n;
    }
    void knownSidesIntoTheRecord()
    {
        QFETCH(int, caseNo);
        const Chain c = rotated(sampleChain(), 33, {0, 0});
        const CaseData d = caseData(caseNo, c);
        EngineRun r = engine(d, c, noisy(sidesOf(c), 5, 9), [](chain::Record &rec, chain::Computation &) {
            rec.S[1] = 0;
            rec.S[9] = rec.caseNo == 9 ? 1234.5 : rec.S[9];
        });
        const double dx = c.A.x - c.C.x, dy = c.A.y - c.C.y;
        QCOMPARE(r.rec.S[1], std::sqrt(dx * dx + dy * dy));
        QCOMPARE(r.rec.Sp[1], r.rec.S[1]);
        if (caseNo == 9) {
            const double ex = c.B.x - c.D.x, ey = c.B.y - c.D.y;
            QCOMPARE(r.rec.S[9], std::sqrt(ex * ex + ey * ey));
            QCOMPARE(r.rec.Sp[9], r.rec.S[9]);
            QCOMPARE(r.rec.X[5], c.B.x);
            QCOMPARE(r.rec.Y[5], c.B.y);
        } else {
            QVERIFY(r.rec.Sp[9] != r.rec.S[9]); // a measured side, corrected
        }
        for (std::size_t j = 2; j <= 8; ++j)
            QVERIFY(r.rec.Sp[j] != r.rec.S[j]);
    }

    // Coincident known points stop the case with a message naming them.
    void coincidentKnownPointsStop_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<bool>("closingEnd");
        for (int n = 8; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case %1, A = C").arg(n))) << n << false;
        QTest::newRow("case 9, D = B") << 9 << true;
    }
    void coincidentKnownPointsStop()
    {
        QFETCH(int, caseNo);
        QFETCH(bool, closingEnd);
        const Chain c = sampleChain();
        const CaseData d = caseData(caseNo, c);
        std::string message;
        try {
            engine(d, c, sidesOf(c), [closingEnd](chain::Record &rec, chain::Computation &) {
                if (closingEnd)
                    rec.xd = rec.xb, rec.yd = rec.yb;
                else
                    rec.xc = rec.xa, rec.yc = rec.ya;
            });
        } catch (const chain::Degenerate &e) {
            message = e.what();
        }
        QVERIFY2(!message.empty(), "the case must stop");
        QVERIFY(message.find(closingEnd ? "S(9)" : "S(1)") != std::string::npos);
        QVERIFY(message.find("座标相同") != std::string::npos);
    }

    // Case 10 holds the closing orientation fixed: its sign enters nothing.
    void caseTenIgnoresTheSignOfQb()
    {
        const Chain c = sampleChain();
        const CaseData d = caseData(10, c);
        const auto sides = noisy(sidesOf(c), 5, 4);
        EngineRun a = engine(d, c, sides, [](chain::Record &, chain::Computation &k) { k.sgb = 1; });
        EngineRun b = engine(d, c, sides, [](chain::Record &, chain::Computation &k) { k.sgb = -1; });
        QCOMPARE(QString::fromStdString(a.fields.dump()), QString::fromStdString(b.fields.dump()));
        QVERIFY(a.rec.k == b.rec.k);
        QCOMPARE(a.rec.qb, b.rec.qb);
        QCOMPARE(a.rec.qb, d.qb); // not corrected
        QVERIFY(a.fields.text("Text13") != " 0.00 秒");
    }

    // Changing qb changes w(3) and through it the corrections.
    void caseTenFollowsQb()
    {
        const Chain c = sampleChain();
        const CaseData d = caseData(10, c);
        const auto sides = noisy(sidesOf(c), 5, 4);
        EngineRun a = engine(d, c, sides);
        EngineRun b = engine(d, c, sides, [](chain::Record &rec, chain::Computation &) { rec.qb += 5.0 / 3600; });
        QVERIFY(std::fabs((b.rec.w[3] - a.rec.w[3]) - 5) < 1e-3);
        QVERIFY(a.rec.Sp[4] != b.rec.Sp[4]);
    }

    // Case 12 reads C from the record; its D arguments are not used.
    void caseTwelveIgnoresD()
    {
        const Chain c = sampleChain();
        const CaseData d = caseData(12, c);
        const auto sides = noisy(sidesOf(c), 5, 8);
        EngineRun a = engine(d, c, sides);
        EngineRun b = engine(d, c, sides, [](chain::Record &rec, chain::Computation &) {
            rec.xd = 4321.987;
            rec.yd = -765.4;
        });
        QCOMPARE(QString::fromStdString(a.fields.dump()), QString::fromStdString(b.fields.dump()));
        QVERIFY(a.rec.X == b.rec.X && a.rec.Y == b.rec.Y);
        QCOMPARE(a.rec.px, b.rec.px);
        // P4 is the point to be determined D.
        QVERIFY(std::fabs(a.rec.X[4] - c.D.x) < 0.02 && std::fabs(a.rec.Y[4] - c.D.y) < 0.02);
    }

    // Up to point 3 cases 8 and 10 take the same route, so their weight
    // functions are the same element by element.
    void caseTenWeightRowsAreCaseEight()
    {
        for (unsigned seed : {0u, 5u}) {
            const Chain c = rotated(sampleChain(), 71, {0, 0});
            const auto sides = seed ? noisy(sidesOf(c), 5, seed) : sidesOf(c);
            chain::Inputs in = inputs(caseData(8, c), c, sides);
            in.xd = c.D.x, in.yd = c.D.y;
            const chain::Model m8 = chain::modelOf(8, in);
            const chain::Model m10 = chain::modelOf(10, in);
            QCOMPARE(m8.weakest, 3);
            QCOMPARE(m10.weakest, 3);
            for (int row : {6, 7})
                for (int col = 0; col <= 12; ++col)
                    QCOMPARE(m10.A(row, col), m8.A(row, col));
            QVERIFY(m8.A(6, 2) != 0 && m8.A(7, 5) != 0);
        }
    }
};

QTEST_APPLESS_MAIN(Cases7to12Test)
#include "test_cases_7to12.moc"
