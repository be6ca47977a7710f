#include "figurewidget.h"

#include "app/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace chain::gui {

using chain::report::FigureFormat;
using chain::report::NetworkFigure;

FigureWidget::FigureWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("figure"));
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setToolTip(QString::fromUtf8("滚轮缩放，拖动平移，双击恢复全图；先后单击两个点显示它们的相对精度"));
}

void FigureWidget::setFigure(std::optional<NetworkFigure> figure)
{
    figure_ = std::move(figure);
    first_ = second_ = -1;
    view_ = {};
    update();
}

void FigureWidget::setEmptyText(const QString &text)
{
    emptyText_ = text;
    update();
}

QRectF FigureWidget::target() const { return QRectF(rect()).adjusted(4, 4, -4, -4); }

double FigureWidget::dpi() const { return logicalDpiX() > 0 ? logicalDpiX() : 96; }

void FigureWidget::ensureCentre()
{
    if (view_.hasCentre || !figure_)
        return;
    // The default centre, found from the mapping itself: a device point's
    // ground under the default view less its ground about the origin.
    double x = 0, y = 0, x0 = 0, y0 = 0;
    chain::report::FigureView origin = view_;
    origin.hasCentre = true;
    origin.centreX = origin.centreY = 0;
    figure_->toGround(target(), view_, target().center(), x, y, dpi());
    figure_->toGround(target(), origin, target().center(), x0, y0, dpi());
    view_.hasCentre = true;
    view_.centreX = x - x0;
    view_.centreY = y - y0;
}

void FigureWidget::zoomBy(double factor, std::optional<QPointF> at)
{
    if (!figure_ || !(factor > 0) || !std::isfinite(factor))
        return;
    ensureCentre();
    const QPointF p = at.value_or(target().center());
    double gx = 0, gy = 0;
    figure_->toGround(target(), view_, p, gx, gy, dpi());
    view_.zoom = std::clamp(view_.zoom * factor, kMinZoom, kMaxZoom);
    // Keep the ground point under `p` where it was.
    double hx = 0, hy = 0;
    figure_->toGround(target(), view_, p, hx, hy, dpi());
    view_.centreX += gx - hx;
    view_.centreY += gy - hy;
    update();
}

void FigureWidget::panBy(QPointF offset)
{
    if (!figure_)
        return;
    ensureCentre();
    const QPointF c = target().center();
    double ax = 0, ay = 0, bx = 0, by = 0;
    figure_->toGround(target(), view_, c, ax, ay, dpi());
    figure_->toGround(target(), view_, c + offset, bx, by, dpi());
    view_.centreX -= bx - ax;
    view_.centreY -= by - ay;
    update();
}

void FigureWidget::fit()
{
    view_ = {};
    update();
}

bool FigureWidget::clickAt(QPointF pos)
{
    if (!figure_)
        return false;
    const int hit = figure_->hitTest(target(), view_, pos, 10, dpi());
    if (hit < 0)
        return false;
    if (first_ < 0 || second_ >= 0) {
        first_ = hit;
        second_ = -1;
    } else if (hit != first_) {
        second_ = hit;
        emit pairChosen(first_, second_);
    }
    update();
    return true;
}

bool FigureWidget::exportTo(const QString &path, QString *error) const
{
    if (!figure_) {
        if (error)
            *error = QString::fromUtf8("没有可导出的网图：还没有严密平差的结果。");
        return false;
    }
    FigureFormat format;
    if (!chain::report::figureFormatOf(path, format)) {
        if (error)
            *error = QString::fromUtf8("无法识别文件类型“%1”：网图可导出为 .png、.svg 或 .pdf 文件。")
                         .arg(QFileInfo(path).suffix());
        return false;
    }
    // Drawn into the writer's temporary file beside the target, checked and
    // renamed over it: an existing file is replaced whole or not at all.
    try {
        chain::writeFileAtomically(QFile::encodeName(path).toStdString(), [&](const std::string &tmp) -> std::string {
            QString why;
            if (!chain::report::exportFigure(*figure_, QFile::decodeName(tmp.c_str()), format, &why))
                return why.toStdString();
            return format == FigureFormat::Pdf ? chain::pdfProblem(tmp) : std::string();
        });
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

void FigureWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    if (!figure_) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
        return;
    }
    figure_->paint(p, target(), view_);
    // The chosen points: rings, the pair joined.
    const double d = dpi();
    auto at = [&](int i) {
        const auto &pt = figure_->data().points[static_cast<std::size_t>(i)];
        return figure_->toDevice(target(), view_, pt.x, pt.y, d);
    };
    QPen pen(QColor(230, 120, 0), 2.0 * d / 96);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double r = 9 * d / 96;
    if (first_ >= 0)
        p.drawEllipse(at(first_), r, r);
    if (second_ >= 0) {
        p.drawEllipse(at(second_), r, r);
        pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.drawLine(at(first_), at(second_));
    }
}

void FigureWidget::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(std::pow(1.25, steps), event->position());
    event->accept();
}

void FigureWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        moved_ = false;
        pressAt_ = lastAt_ = event->position();
    }
    event->accept();
}

void FigureWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_)
        return;
    const QPointF now = event->position();
    if (!moved_ && (now - pressAt_).manhattanLength() < 4)
        return;
    if (!moved_)
        setCursor(Qt::ClosedHandCursor);
    moved_ = true;
    panBy(now - lastAt_);
    lastAt_ = now;
}

void FigureWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        if (moved_)
            unsetCursor();
        else
            clickAt(event->position());
    }
    event->accept();
}

void FigureWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click on empty ground fits the figure again; on a point it is
    // a second click of the pair.
    if (figure_ && figure_->hitTest(target(), view_, event->position(), 10, dpi()) < 0)
        fit();
    event->accept();
}

} // namespace chain::gui
