#include "diagram.h"

#include "report/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace chain::gui {
using namespace chain::fonts;
namespace {

using Role = DiagramScene::Role;

// S1..S11 by the inner numbering (0 = A, 1..4, 5 = closing point): S1 A-1,
// S2 1-2, S3 A-2, S4 2-3, S5 A-3, S6 1-3, S7 2-4, S8 3-4, S9 4-closing,
// S10 3-closing, S11 2-closing.
constexpr int kSides[11][2] = {{0, 1}, {1, 2}, {0, 2}, {2, 3}, {0, 3}, {1, 3},
                               {2, 4}, {3, 4}, {4, 5}, {3, 5}, {2, 5}};

struct PointText {
    const char *name;
    const char *coords; // empty: none
};

// The labels of the points as the form shows them, in the inner numbering.
constexpr PointText kSameSideText[6] = {
    {"A", "[ Xa,Ya ]"},   {"C =1", " Xc=0     Yc=0 "}, {"E=2", " Ec=0     Ec=0 "},
    {"F=3", " Fc=0     Fc=0 "}, {"D =4", " Xd=0     Yd=0"}, {"B", "[ Xb,Yb ]"},
};
constexpr PointText kOppositeText[6] = {
    {"A", "[ Xa,Ya ]"}, {"C=1", "Xc=0 Yc=0"}, {"2", ""}, {"3", ""}, {"B (4)", "Xb=0  Yb=0 "}, {"D", "[ Xd,Yd ]"},
};

// Direction of a screen vector in QPainter's arc degrees (counter-clockwise
// on the screen, 0 at three o'clock).
qreal screenAngle(QPointF v) { return qRadiansToDegrees(std::atan2(-v.y(), v.x())); }

QPointF unit(qreal deg) { return {std::cos(qDegreesToRadians(deg)), -std::sin(qDegreesToRadians(deg))}; }

QPointF normalized(QPointF v)
{
    const qreal n = std::hypot(v.x(), v.y());
    return n > 0 ? v / n : v;
}

QRectF textRect(const QFontMetricsF &fm, const QString &text, QPointF center)
{
    const QSizeF s(fm.horizontalAdvance(text) + 2, fm.height());
    return {center - QPointF(s.width() / 2, s.height() / 2), s};
}

// An arc from the direction `from` to the direction `to`, clockwise on the
// screen or counter-clockwise.
DiagramScene::Arc makeArc(QPointF center, qreal radius, QPointF from, QPointF to, bool clockwise)
{
    const qreal a = screenAngle(from), b = screenAngle(to);
    qreal span = clockwise ? -(a - b) : (b - a);
    while (span > 0 && clockwise)
        span -= 360;
    while (span < 0 && !clockwise)
        span += 360;
    while (span <= -360)
        span += 360;
    while (span >= 360)
        span -= 360;
    return {center, radius, a, span};
}

void arrowHead(QPainter &p, QPointF tip, QPointF dir, qreal len)
{
    dir = normalized(dir);
    const QPointF n(-dir.y(), dir.x());
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip - dir * len + n * len * 0.38);
    path.lineTo(tip - dir * len - n * len * 0.38);
    path.closeSubpath();
    p.fillPath(path, p.pen().color());
}

} // namespace

DiagramScene layoutDiagram(DiagramKind kind, const QSizeF &size, const QFont &labelFont, const QFont &titleFont)
{
    DiagramScene s;
    const QFontMetricsF fm(labelFont), tm(titleFont);
    const qreal W = size.width(), H = size.height();
    const qreal m = 6, lh = fm.height(), gap = 5;
    s.frame = QRectF(0.5, 0.5, W - 1, H - 1);

    // The chain: A, 1 and 2 ... in two rows; walking from the start end to
    // the closing end, A, 3 and B lie on the right (the lower row here, the
    // chain running to the east) and 1, 2 and D on the left.
    const qreal titleH = tm.height();
    const qreal yTop = m + 2 * lh + gap + 2;
    const qreal yBottom = H - m - titleH - 2 - 2 * lh - gap - 2;
    const qreal x0 = W * 0.17, x2 = W * 0.83, x1 = (x0 + x2) / 2;
    const bool same = kind == DiagramKind::SameSide;
    s.points[0] = {{x0, yBottom}, true};
    s.points[1] = {{x0, yTop}, false};
    s.points[2] = {{x1, yTop}, false};
    s.points[3] = {{x1, yBottom}, false};
    s.points[4] = {{x2, same ? yTop : yBottom}, false};
    s.points[5] = {{x2, same ? yBottom : yTop}, true};
    for (int i = 0; i < 11; ++i)
        s.sides[static_cast<std::size_t>(i)] = {i + 1, kSides[i][0], kSides[i][1]};

    auto add = [&s](const QString &text, QRectF rect, Role role, bool boxed = false) {
        s.labels.push_back({text, rect, role, boxed});
    };

    // Title below the figure.
    const QString title = QString::fromUtf8(same ? "(示图一)" : "(示图二)");
    add(title, textRect(tm, title, {W / 2, H - m - titleH / 2}), Role::Title);

    // Point names next to the points, coordinates beyond the names.
    const PointText *texts = same ? kSameSideText : kOppositeText;
    for (std::size_t i = 0; i < 6; ++i) {
        const QPointF p = s.points[i].pos;
        const bool top = p.y() < (yTop + yBottom) / 2;
        const qreal dir = top ? -1 : 1;
        const QString name = QString::fromUtf8(texts[i].name);
        const QPointF nameAt(p.x(), p.y() + dir * (gap + lh / 2));
        add(name, textRect(fm, name, nameAt), Role::PointName);
        const QString coords = QString::fromUtf8(texts[i].coords);
        if (!coords.isEmpty())
            add(coords, textRect(fm, coords, nameAt + QPointF(0, dir * lh)), Role::PointCoords);
    }

    // Side names: beside the outer edges and the shared side, on the
    // diagonals near their left ends (the diagonals of a quadrilateral
    // cross in its middle).
    const QPointF mid((x0 + x2) / 2, (yTop + yBottom) / 2);
    for (const auto &side : s.sides) {
        const QPointF a = s.points[static_cast<std::size_t>(side.from)].pos;
        const QPointF b = s.points[static_cast<std::size_t>(side.to)].pos;
        const QString name = QStringLiteral("S%1").arg(side.number);
        const qreal w = fm.horizontalAdvance(name) + 2;
        QPointF at;
        bool boxed = false;
        if (qFuzzyCompare(a.y(), b.y())) { // upper or lower edge
            const qreal dir = a.y() < mid.y() ? -1 : 1;
            at = (a + b) / 2 + QPointF(0, dir * (3 + lh / 2));
        } else if (qFuzzyCompare(a.x(), b.x())) { // the three cross sides
            const qreal dir = a.x() < mid.x() - 1 ? -1 : 1;
            at = (a + b) / 2 + QPointF(dir * (4 + w / 2), 0);
        } else {
            const QPointF left = a.x() < b.x() ? a : b, right = a.x() < b.x() ? b : a;
            at = left + (right - left) * 0.27;
            boxed = true;
        }
        add(name, textRect(fm, name, at), Role::SideName, boxed);
    }

    // Outer directions at the known end points and the orientation angles:
    // Qa turns clockwise from the outer direction at A to S1 (positive);
    // Qb turns from S9 to the outer direction at the closing point,
    // clockwise (positive) when the closing point lies on the same side as
    // A, counter-clockwise (negative) otherwise.
    const qreal rayLen = qMin(W * 0.11, 62.0), radius = qMin(lh * 1.6, 26.0);
    const qreal tilt = 15;
    auto outer = [&](std::size_t point, std::size_t along, QPointF dirOut, bool fromOuter, bool clockwise,
                     const QString &azimuth, const QString &angle) {
        const QPointF p = s.points[point].pos;
        const QPointF end = p + dirOut * rayLen;
        s.rays.push_back({p, end});
        const QPointF sideDir = normalized(s.points[along].pos - p);
        const auto arc = fromOuter ? makeArc(p, radius, dirOut, sideDir, clockwise)
                                   : makeArc(p, radius, sideDir, dirOut, clockwise);
        s.arcs.push_back(arc);
        // The azimuth's name at the end of the ray, on the side away from
        // the arc; the angle's name outside the middle of the arc.
        const QPointF awayFromArc = unit(arc.startDeg + arc.spanDeg / 2) * -1;
        const QPointF n = QPointF(0, awayFromArc.y() > 0 ? 1 : -1);
        add(azimuth, textRect(fm, azimuth, end + QPointF(dirOut.x() * 4, 0) + n * (lh / 2 + 2)), Role::Azimuth);
        const qreal aw = fm.horizontalAdvance(angle) + 2;
        const QPointF u = unit(arc.startDeg + arc.spanDeg / 2);
        const qreal reach = radius + 3 + std::hypot(u.x() * aw / 2, u.y() * lh / 2);
        add(angle, textRect(fm, angle, p + u * reach), Role::Orientation);
    };
    const qreal c = std::cos(qDegreesToRadians(tilt)), sn = std::sin(qDegreesToRadians(tilt));
    outer(0, 1, {-c, sn}, true, true, QStringLiteral("Ta"), QStringLiteral("+Qa"));
    if (same)
        outer(5, 4, {c, sn}, false, true, QStringLiteral("Tb"), QStringLiteral("+Qb"));
    else
        outer(5, 4, {c, -sn}, false, false, QStringLiteral("Tb"), QStringLiteral("-Qb"));

    // A north arrow in the upper left corner.
    s.northFrom = QPointF(m + 8, m + 2 + lh * 2.2);
    s.northTo = QPointF(m + 8, m + 4);
    add(QStringLiteral("N"), textRect(fm, QStringLiteral("N"), {m + 8 + fm.horizontalAdvance('N') + 2, m + 4 + lh / 2}),
        Role::North);
    return s;
}

ChainDiagram::ChainDiagram(DiagramKind kind, QWidget *parent)
    : QWidget(parent), kind_(kind), titleFont_(songFont(10.5))
{
    setObjectName(kind == DiagramKind::SameSide ? QStringLiteral("Diagram1") : QStringLiteral("Diagram2"));
    setFont(sansFont(9));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DiagramScene ChainDiagram::scene() const { return layoutDiagram(kind_, QSizeF(size()), font(), titleFont_); }

QSize ChainDiagram::sizeHint() const { return {520, 250}; }

void ChainDiagram::setZoom(qreal zoom)
{
    setFont(sansFont(9 * zoom));
    titleFont_ = songFont(10.5 * zoom);
    update();
}

void ChainDiagram::paintEvent(QPaintEvent *)
{
    const DiagramScene s = scene();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(QColor(0x9a, 0x9a, 0x9a), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(s.frame);

    const QColor ink(0x20, 0x20, 0x20), sideInk(0x1a, 0x3c, 0x8c), angleInk(0x9c, 0x1f, 0x1f);

    // The sides.
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    for (const auto &side : s.sides)
        p.drawLine(s.points[static_cast<std::size_t>(side.from)].pos, s.points[static_cast<std::size_t>(side.to)].pos);

    // Outer directions, dashed, with arrow heads.
    for (const auto &ray : s.rays) {
        p.setPen(QPen(ink, 1.1, Qt::DashLine, Qt::FlatCap));
        p.drawLine(ray.from, ray.to);
        p.setPen(QPen(ink, 1));
        arrowHead(p, ray.to, ray.to - ray.from, 7);
    }

    // Orientation angles: arcs with an arrow head at the end of the turn.
    for (const auto &arc : s.arcs) {
        p.setPen(QPen(angleInk, 1));
        const QRectF r(arc.center - QPointF(arc.radius, arc.radius), QSizeF(2 * arc.radius, 2 * arc.radius));
        p.drawArc(r, qRound(arc.startDeg * 16), qRound(arc.spanDeg * 16));
        const qreal endDeg = arc.startDeg + arc.spanDeg;
        const QPointF tip = arc.center + unit(endDeg) * arc.radius;
        const QPointF tangent = unit(endDeg + (arc.spanDeg < 0 ? -90 : 90));
        arrowHead(p, tip, tangent, 6);
    }

    // North arrow.
    p.setPen(QPen(ink, 1));
    p.drawLine(s.northFrom, s.northTo);
    arrowHead(p, s.northTo, s.northTo - s.northFrom, 7);

    // Points: known points as triangles with a centre dot, new points as
    // small circles.
    for (const auto &pt : s.points) {
        p.setPen(QPen(ink, 1.2));
        p.setBrush(Qt::white);
        if (pt.known) {
            const qreal r = 7;
            QPolygonF tri;
            tri << pt.pos + QPointF(0, -r) << pt.pos + QPointF(r * 0.87, r * 0.5) << pt.pos + QPointF(-r * 0.87, r * 0.5);
            p.drawPolygon(tri);
            p.setBrush(ink);
            p.drawEllipse(pt.pos, 1.3, 1.3);
        } else {
            p.drawEllipse(pt.pos, 3.2, 3.2);
        }
    }
    p.setBrush(Qt::NoBrush);

    // Texts.
    for (const auto &label : s.labels) {
        QColor colour = ink;
        p.setFont(font());
        switch (label.role) {
        case Role::Title: p.setFont(titleFont_); break;
        case Role::SideName: colour = sideInk; break;
        case Role::Azimuth:
        case Role::Orientation: colour = angleInk; break;
        default: break;
        }
        if (label.boxed)
            p.fillRect(label.rect.adjusted(-1, 1, 1, -1), Qt::white);
        p.setPen(colour);
        p.drawText(label.rect, Qt::AlignCenter, label.text);
    }
}

} // namespace chain::gui
