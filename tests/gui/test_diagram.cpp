// The two diagrams: points, sides S1..S11 by the numbering rules, labels,
// outer directions and orientation angles, and a clean layout.
#include "gui/diagram.h"
#include "report/fonts.h"

#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>

using chain::gui::ChainDiagram;
using chain::gui::DiagramKind;
using chain::gui::DiagramScene;
using Role = DiagramScene::Role;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

// Distance of p from the segment ab.
qreal distance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const qreal len2 = QPointF::dotProduct(ab, ab);
    const qreal t = len2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / len2, 1.0) : 0.0;
    const QPointF q = a + ab * t;
    return std::hypot(p.x() - q.x(), p.y() - q.y());
}

int count(const DiagramScene &s, const QString &text)
{
    int n = 0;
    for (const auto &l : s.labels)
        n += l.text == text;
    return n;
}

const DiagramScene::Label *find(const DiagramScene &s, const QString &text)
{
    for (const auto &l : s.labels)
        if (l.text == text)
            return &l;
    return nullptr;
}

} // namespace

class TestDiagram : public QObject {
    Q_OBJECT

    DiagramScene sceneOf(DiagramKind kind)
    {
        ChainDiagram d(kind);
        d.resize(516, 252);
        return d.scene();
    }

private slots:
    void initTestCase() { chain::fonts::installFontSubstitutions(); }

    void sidesFollowTheNumbering_data();
    void sidesFollowTheNumbering();
    void handednessAndKnownPoints_data();
    void handednessAndKnownPoints();
    void labelsOfTheForm();
    void labelsDoNotOverlap_data();
    void labelsDoNotOverlap();
    void sideNamesSitOnTheirSides_data();
    void sideNamesSitOnTheirSides();
    void orientationAngles();
    void paints();
};

void TestDiagram::sidesFollowTheNumbering_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("same side") << int(DiagramKind::SameSide);
    QTest::newRow("opposite") << int(DiagramKind::OppositeSide);
}

void TestDiagram::sidesFollowTheNumbering()
{
    QFETCH(int, kind);
    const DiagramScene s = sceneOf(DiagramKind(kind));
    // S1 A-1, S2 1-2, S3 A-2, S4 2-3, S5 A-3, S6 1-3, S7 2-4, S8 3-4,
    // S9 4-closing, S10 3-closing, S11 2-closing (0 = A, 5 = closing).
    const int ends[11][2] = {{0, 1}, {1, 2}, {0, 2}, {2, 3}, {0, 3}, {1, 3}, {2, 4}, {3, 4}, {4, 5}, {3, 5}, {2, 5}};
    for (int i = 0; i < 11; ++i) {
        const auto &side = s.sides[std::size_t(i)];
        QCOMPARE(side.number, i + 1);
        QCOMPARE(side.from, ends[i][0]);
        QCOMPARE(side.to, ends[i][1]);
    }
    // Each of the six triangles of the chain closes: (S1,S2,S3), (S3,S4,S5),
    // (S5,S6,S1), (S4,S7,S8), (S8,S9,S10), (S10,S11,S4).
    const int triangles[6][3] = {{1, 2, 3}, {3, 4, 5}, {5, 6, 1}, {4, 7, 8}, {8, 9, 10}, {10, 11, 4}};
    for (const auto &t : triangles) {
        std::set<int> corners;
        for (int n : t) {
            corners.insert(s.sides[std::size_t(n - 1)].from);
            corners.insert(s.sides[std::size_t(n - 1)].to);
        }
        QCOMPARE(corners.size(), std::size_t(3));
    }
}

void TestDiagram::handednessAndKnownPoints_data() { sidesFollowTheNumbering_data(); }

void TestDiagram::handednessAndKnownPoints()
{
    QFETCH(int, kind);
    const bool same = DiagramKind(kind) == DiagramKind::SameSide;
    const DiagramScene s = sceneOf(DiagramKind(kind));
    const auto &p = s.points;
    // The chain runs left to right; A, 3 and B on its right (below), C,
    // 2 and D on its left (above). B is the closing point on the left
    // diagram and point 4 on the right one.
    const QPointF A = p[0].pos, C = p[1].pos, E = p[2].pos, F = p[3].pos;
    const QPointF D = same ? p[4].pos : p[5].pos, B = same ? p[5].pos : p[4].pos;
    for (QPointF lower : {A, F, B})
        for (QPointF upper : {C, E, D})
            QVERIFY(lower.y() > upper.y());
    QVERIFY(A.x() < F.x() && F.x() < B.x());
    QVERIFY(C.x() < E.x() && E.x() < D.x());
    for (std::size_t i = 0; i < 6; ++i)
        QCOMPARE(p[i].known, i == 0 || i == 5);
    QVERIFY(s.frame.contains(QRectF(A, B).normalized().united(QRectF(C, D).normalized())));
}

void TestDiagram::labelsOfTheForm()
{
    const DiagramScene one = sceneOf(DiagramKind::SameSide);
    for (const char *t : {"(示图一)", "A", "[ Xa,Ya ]", "C =1", " Xc=0     Yc=0 ", "E=2", " Ec=0     Ec=0 ", "F=3",
                          " Fc=0     Fc=0 ", "D =4", " Xd=0     Yd=0", "B", "[ Xb,Yb ]", "Ta", "+Qa", "Tb", "+Qb"})
        QVERIFY2(count(one, u(t)) == 1, t);
    const DiagramScene two = sceneOf(DiagramKind::OppositeSide);
    for (const char *t : {"(示图二)", "A", "[ Xa,Ya ]", "C=1", "Xc=0 Yc=0", "2", "3", "D", "[ Xd,Yd ]", "B (4)",
                          "Xb=0  Yb=0 ", "Ta", "+Qa", "Tb", "-Qb"})
        QVERIFY2(count(two, u(t)) == 1, t);
    for (const DiagramScene *s : {&one, &two})
        for (int i = 1; i <= 11; ++i)
            QCOMPARE(count(*s, QStringLiteral("S%1").arg(i)), 1);
    QCOMPARE(count(one, u("-Qb")), 0);
    QCOMPARE(count(two, u("+Qb")), 0);
    // The titles are drawn in "宋体" below the figure.
    const auto *title = find(one, u("(示图一)"));
    QVERIFY(title && title->role == Role::Title);
    QVERIFY(title->rect.top() > one.points[0].pos.y());
    // Names next to their points, coordinates beyond the names.
    const auto *nameB = find(one, u("B")), *coordsB = find(one, u("[ Xb,Yb ]"));
    QVERIFY(nameB->rect.top() > one.points[5].pos.y() && coordsB->rect.top() >= nameB->rect.bottom() - 1);
    const auto *nameD = find(two, u("D")), *coordsD = find(two, u("[ Xd,Yd ]"));
    QVERIFY(nameD->rect.bottom() < two.points[5].pos.y() && coordsD->rect.bottom() <= nameD->rect.top() + 1);
}

void TestDiagram::labelsDoNotOverlap_data() { sidesFollowTheNumbering_data(); }

void TestDiagram::labelsDoNotOverlap()
{
    QFETCH(int, kind);
    const DiagramScene s = sceneOf(DiagramKind(kind));
    for (std::size_t i = 0; i < s.labels.size(); ++i) {
        const auto &a = s.labels[i];
        QVERIFY2(s.frame.contains(a.rect), qPrintable(a.text));
        for (std::size_t j = i + 1; j < s.labels.size(); ++j)
            QVERIFY2(!a.rect.intersects(s.labels[j].rect), qPrintable(a.text + u(" / ") + s.labels[j].text));
        // No label covers a point.
        for (const auto &p : s.points)
            QVERIFY2(!a.rect.adjusted(-2, -2, 2, 2).contains(p.pos), qPrintable(a.text));
    }
}

void TestDiagram::sideNamesSitOnTheirSides_data() { sidesFollowTheNumbering_data(); }

void TestDiagram::sideNamesSitOnTheirSides()
{
    QFETCH(int, kind);
    const DiagramScene s = sceneOf(DiagramKind(kind));
    for (const auto &side : s.sides) {
        const auto *l = find(s, QStringLiteral("S%1").arg(side.number));
        QVERIFY(l && l->role == Role::SideName);
        const QPointF c = l->rect.center();
        const qreal own = distance(c, s.points[std::size_t(side.from)].pos, s.points[std::size_t(side.to)].pos);
        QVERIFY2(own < 20, qPrintable(l->text));
        for (const auto &other : s.sides)
            if (other.number != side.number)
                QVERIFY2(distance(c, s.points[std::size_t(other.from)].pos, s.points[std::size_t(other.to)].pos) > own,
                         qPrintable(l->text + QStringLiteral(" nearer to S%1").arg(other.number)));
    }
}

void TestDiagram::orientationAngles()
{
    for (DiagramKind kind : {DiagramKind::SameSide, DiagramKind::OppositeSide}) {
        const DiagramScene s = sceneOf(kind);
        QCOMPARE(s.rays.size(), std::size_t(2));
        QCOMPARE(s.arcs.size(), std::size_t(2));
        // The outer directions point away from the chain, at A and at the
        // closing point.
        QCOMPARE(s.rays[0].from, s.points[0].pos);
        QVERIFY(s.rays[0].to.x() < s.points[0].pos.x());
        QCOMPARE(s.rays[1].from, s.points[5].pos);
        QVERIFY(s.rays[1].to.x() > s.points[5].pos.x());
        // Qa clockwise (negative span in QPainter's degrees) from the outer
        // direction to S1; Qb from S9 to the outer direction, clockwise
        // with B on A's side, counter-clockwise with D opposite.
        QCOMPARE(s.arcs[0].center, s.points[0].pos);
        QVERIFY(s.arcs[0].spanDeg < 0 && s.arcs[0].spanDeg > -180);
        QCOMPARE(s.arcs[1].center, s.points[5].pos);
        if (kind == DiagramKind::SameSide)
            QVERIFY(s.arcs[1].spanDeg < 0 && s.arcs[1].spanDeg > -180);
        else
            QVERIFY(s.arcs[1].spanDeg > 0 && s.arcs[1].spanDeg < 180);
        // The arc of Qa starts on the outer direction and ends on S1.
        const QLineF ray(s.rays[0].from, s.rays[0].to), s1(s.points[0].pos, s.points[1].pos);
        QVERIFY(std::abs(ray.angle() - std::fmod(s.arcs[0].startDeg + 360, 360)) < 0.01);
        QVERIFY(std::abs(s1.angle() - std::fmod(s.arcs[0].startDeg + s.arcs[0].spanDeg + 720, 360)) < 0.01);
    }
}

void TestDiagram::paints()
{
    ChainDiagram d(DiagramKind::SameSide);
    d.resize(516, 252);
    const QImage img = d.grab().toImage();
    QVERIFY(!img.isNull());
    const DiagramScene s = d.scene();
    // Ink on the middle of S4 (E-F, a vertical line), paper beside it.
    const QPointF mid = (s.points[2].pos + s.points[3].pos) / 2 + QPointF(0, 10);
    const QPoint m = mid.toPoint();
    QVERIFY(std::min({qGray(img.pixel(m - QPoint(1, 0))), qGray(img.pixel(m)), qGray(img.pixel(m + QPoint(1, 0)))}) < 128);
    QVERIFY(qGray(img.pixel((mid + QPointF(-30, 0)).toPoint())) > 230);
    // Some pixels of the title are dark.
    const QRect title = find(s, u("(示图一)"))->rect.toAlignedRect();
    int dark = 0;
    for (int y = title.top(); y <= title.bottom(); ++y)
        for (int x = title.left(); x <= title.right(); ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    QVERIFY(dark > 20);
}

QTEST_MAIN(TestDiagram)
#include "test_diagram.moc"
