// The two explanatory diagrams of the main window: the chain of six points
// and eleven sides with the numbering of the points and sides, the known
// points, the outer directions and the orientation angles.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

namespace chain::gui {

enum class DiagramKind {
    SameSide,     // "(示图一)": known A and B on the same side of the chain
    OppositeSide, // "(示图二)": known A and D on opposite sides
};

// Everything a diagram draws, in widget coordinates; built by layoutDiagram
// and painted by ChainDiagram, open to the tests.
struct DiagramScene {
    // Points in the order of the inner numbering: 0 the start point A,
    // 1..4 the points 1..4, 5 the closing point.
    struct Point {
        QPointF pos;
        bool known = false;
    };
    // Side S(number) joins points `from` and `to`.
    struct Side {
        int number = 0;
        int from = 0, to = 0;
    };
    enum class Role { Title, PointName, PointCoords, SideName, Azimuth, Orientation, North };
    struct Label {
        QString text;
        QRectF rect;
        Role role = Role::PointName;
        bool boxed = false; // drawn on a white patch over a line
    };
    // An outer direction: a ray from a known point, away from the chain.
    struct Ray {
        QPointF from, to;
    };
    // An orientation angle: an arc around `center` from startDeg through
    // spanDeg (degrees, counter-clockwise positive as QPainter::drawArc).
    struct Arc {
        QPointF center;
        qreal radius = 0;
        qreal startDeg = 0, spanDeg = 0;
    };

    QRectF frame;
    std::array<Point, 6> points;
    std::array<Side, 11> sides;
    std::vector<Ray> rays;
    std::vector<Arc> arcs;
    std::vector<Label> labels;
    QPointF northFrom, northTo;
};

DiagramScene layoutDiagram(DiagramKind kind, const QSizeF &size, const QFont &labelFont, const QFont &titleFont);

class ChainDiagram : public QWidget {
    Q_OBJECT
public:
    explicit ChainDiagram(DiagramKind kind, QWidget *parent = nullptr);
    DiagramKind kind() const { return kind_; }
    // The scene at the widget's current size.
    DiagramScene scene() const;
    QSize sizeHint() const override;
    // Labels and title drawn at `zoom` times their size (the window's zoom).
    void setZoom(qreal zoom);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DiagramKind kind_;
    QFont titleFont_;
};

} // namespace chain::gui
