// The figure of the network, to scale, as a QPainter drawing that the window,
// the printed report and the exported files share: known points as
// triangles, new points as circles, names, the eleven sides (flagged sides
// red, barely checked sides dashed, a side that is no observation thin and
// grey), the orientation directions as arrows, the standard error ellipses
// enlarged by a round factor that the figure states, scale bars for the
// network and for the ellipses, a north arrow (x is north: up on the figure)
// and a legend.
#pragma once

#include "report/figuredata.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace chain::report {

// How the figure is looked at. Zoom 1 shows the whole network in the target
// rectangle; the centre is a ground point (x north, y east, metres), by
// default the middle of the network.
struct FigureView {
    double zoom = 1;
    bool hasCentre = false;
    double centreX = 0, centreY = 0;
};

class NetworkFigure {
public:
    explicit NetworkFigure(FigureData data);

    const FigureData &data() const { return data_; }

    // The enlargement of the ellipses: 1, 2 or 5 times a power of ten, the
    // largest with which the largest ellipse stays within about a twelfth
    // of the network's extent; 0 when no point has an ellipse.
    double ellipseFactor() const { return factor_; }

    // Paints the figure into `target` (device coordinates of the painter).
    // Line widths and text sizes follow the device's resolution, so that
    // the figure reads the same on screen, in an image and on paper.
    void paint(QPainter &painter, const QRectF &target, const FigureView &view = {}) const;

    // Where a ground point (x north, y east) lands in `target`, and back.
    QPointF toDevice(const QRectF &target, const FigureView &view, double x, double y, double dpi = 96) const;
    void toGround(const QRectF &target, const FigureView &view, QPointF device, double &x, double &y,
                  double dpi = 96) const;

    // The point (index into data().points) drawn nearest to `pos`, within
    // `tolerance` device pixels; -1 for none.
    int hitTest(const QRectF &target, const FigureView &view, QPointF pos, double tolerance = 8,
                double dpi = 96) const;

private:
    struct Frame;
    Frame frame(const QRectF &target, const FigureView &view, double dpi) const;

    FigureData data_;
    double factor_ = 0;
    // Ground extent of the points and of the enlarged ellipses.
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};

enum class FigureFormat { Png, Svg, Pdf };

// The figure as a file: PNG of `pixels` at 150 dpi, SVG of the same size in
// millimetres, PDF as an A4 landscape page, written at `path` itself. A
// user's file goes through the one atomic writer (app/atomicfile.h), which
// hands this its temporary file. False with a Chinese message on failure.
bool exportFigure(const NetworkFigure &figure, const QString &path, FigureFormat format, QString *error,
                  QSize pixels = QSize(1600, 1130));

// The format a file name asks for by its suffix (.png, .svg, .pdf); false
// for any other.
bool figureFormatOf(const QString &path, FigureFormat &format);

} // namespace chain::report
