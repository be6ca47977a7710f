// The figure of the network in a window: the painter of report/figure.h on
// a widget, zoomed with the wheel about the point under the mouse, moved by
// dragging, fitted back with fit(). Clicking one point and then another
// asks for their relative precision (pairChosen); the chosen points are
// ringed. The same figure can be written as PNG, SVG or PDF.
#pragma once

#include "report/figure.h"

#include <QWidget>

#include <optional>

namespace chain::gui {

class FigureWidget : public QWidget {
    Q_OBJECT
public:
    explicit FigureWidget(QWidget *parent = nullptr);

    // The figure to show; nothing shows a note instead. The view is fitted.
    void setFigure(std::optional<chain::report::NetworkFigure> figure);
    const std::optional<chain::report::NetworkFigure> &figure() const { return figure_; }
    void setEmptyText(const QString &text);

    const chain::report::FigureView &view() const { return view_; }
    // Zoom by `factor` about the device point `at` (the widget's centre by
    // default), between kMinZoom and kMaxZoom.
    static constexpr double kMinZoom = 0.2, kMaxZoom = 50;
    void zoomBy(double factor, std::optional<QPointF> at = std::nullopt);
    // Moves the figure by a device offset.
    void panBy(QPointF offset);
    void fit();

    // The points (indices into the figure's points) chosen by clicking:
    // -1 while not chosen.
    int firstChosen() const { return first_; }
    int secondChosen() const { return second_; }
    // A click at a device point: chooses the point there (the third click
    // starts a new pair); false when no point is there.
    bool clickAt(QPointF pos);

    // The figure as a file of the format its suffix names; false with a
    // Chinese message on failure (nothing is written then).
    bool exportTo(const QString &path, QString *error) const;

    QSize sizeHint() const override { return {560, 420}; }
    QSize minimumSizeHint() const override { return {240, 180}; }

signals:
    // Two different points were chosen (indices into the figure's points).
    void pairChosen(int from, int to);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QRectF target() const;
    double dpi() const;
    // The view with its centre made explicit.
    void ensureCentre();

    std::optional<chain::report::NetworkFigure> figure_;
    chain::report::FigureView view_;
    QString emptyText_;
    int first_ = -1, second_ = -1;
    bool dragging_ = false, moved_ = false;
    QPointF pressAt_, lastAt_;
};

} // namespace chain::gui
