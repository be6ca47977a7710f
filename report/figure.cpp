#include "report/figure.h"

#include "report/fonts.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <vector>

namespace chain::report {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Sizes of the drawing, millimetres on the device.
constexpr double kMarginSide = 14, kMarginTop = 9, kStripBottom = 25, kStripRight = 52;
constexpr double kKnownSize = 3.4, kNewRadius = 1.3;
constexpr double kLabelGap = 2.2;
constexpr double kLineWidth = 0.3, kFlaggedWidth = 0.6, kThinWidth = 0.18;

const QColor kInk(0, 0, 0);
const QColor kFlagged(210, 0, 0);
const QColor kGrey(140, 140, 140);
const QColor kDirection(0, 70, 200);
const QColor kEllipse(150, 0, 150);

QString u(const std::string &s) { return QString::fromStdString(s); }

bool finite(double v) { return std::isfinite(v); }

QString number(double v)
{
    // Round factors and bar lengths: no trailing zeros, no exponent.
    QString s = QString::number(v, 'f', v >= 1 ? 0 : 6);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

QFont figureFont(double points)
{
    fonts::installFontSubstitutions();
    QFont f(fonts::chineseFamily().isEmpty() ? QString::fromUtf8(fonts::kSansFamily) : fonts::chineseFamily());
    f.setPointSizeF(points);
    return f;
}

// Text on a white ground, so that it stays readable over lines.
void haloText(QPainter &p, const QRectF &box, const QString &text, int flags)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRect(box);
    p.restore();
    p.drawText(box, flags, text);
}

void arrowHead(QPainter &p, QPointF tip, QPointF dir, double length)
{
    const QPointF n(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * length + n * length * 0.35 << tip - dir * length - n * length * 0.35;
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.restore();
}

} // namespace

struct NetworkFigure::Frame {
    QRectF content;
    QRectF strip;       // scale bars and legend: below the network or right of it
    bool right = false; // the strip is a column on the right
    double scale = 1; // device pixels per metre
    double cx = 0, cy = 0;
    double mm = 96 / 25.4; // device pixels per millimetre
};

NetworkFigure::NetworkFigure(FigureData data) : data_(std::move(data))
{
    const report::FigureExtent e = report::extentOf(data_);
    minX_ = e.minX, maxX_ = e.maxX, minY_ = e.minY, maxY_ = e.maxY;
    const double amax = e.largestAxis;
    const double extent = std::max(maxX_ - minX_, maxY_ - minY_);
    if (amax > 0 && extent > 0) {
        factor_ = report::ellipseFactor(data_);
        for (const FigurePoint &p : data_.points) {
            if (!p.hasEllipse || !finite(p.x) || !finite(p.y))
                continue;
            const double r = p.a / 1000 * factor_;
            minX_ = std::min(minX_, p.x - r), maxX_ = std::max(maxX_, p.x + r);
            minY_ = std::min(minY_, p.y - r), maxY_ = std::max(maxY_, p.y + r);
        }
    }
}

NetworkFigure::Frame NetworkFigure::frame(const QRectF &target, const FigureView &view, double dpi) const
{
    Frame f;
    f.mm = dpi / 25.4;
    const double w = std::max(maxY_ - minY_, 1e-3), h = std::max(maxX_ - minX_, 1e-3);
    // The scale bars and the legend go below the network, or into a column
    // on its right when that leaves the network larger (a tall network in a
    // wide frame).
    const QRectF below = target.adjusted(kMarginSide * f.mm, kMarginTop * f.mm, -kMarginSide * f.mm, -kStripBottom * f.mm);
    const QRectF beside = target.adjusted(kMarginSide * f.mm, kMarginTop * f.mm, -kStripRight * f.mm, -6 * f.mm);
    auto fitOf = [&](const QRectF &c) {
        return c.width() > 0 && c.height() > 0 ? std::min(c.width() / w, c.height() / h) : 0.0;
    };
    f.right = fitOf(beside) > fitOf(below) * 1.05;
    f.content = f.right ? beside : below;
    f.strip = f.right ? QRectF(target.right() - (kStripRight - 6) * f.mm, target.top() + 20 * f.mm,
                               (kStripRight - 8) * f.mm, target.height() - 22 * f.mm)
                      : QRectF(target.left() + 4 * f.mm, target.bottom() - (kStripBottom - 4) * f.mm,
                               target.width() - 6 * f.mm, (kStripBottom - 5) * f.mm);
    if (f.content.width() < 10 || f.content.height() < 10)
        f.content = target;
    const double fit = std::min(f.content.width() / w, f.content.height() / h);
    const double zoom = finite(view.zoom) && view.zoom > 0 ? view.zoom : 1;
    f.scale = fit * zoom;
    f.cx = view.hasCentre && finite(view.centreX) ? view.centreX : (minX_ + maxX_) / 2;
    f.cy = view.hasCentre && finite(view.centreY) ? view.centreY : (minY_ + maxY_) / 2;
    return f;
}

QPointF NetworkFigure::toDevice(const QRectF &target, const FigureView &view, double x, double y, double dpi) const
{
    const Frame f = frame(target, view, dpi);
    return {f.content.center().x() + (y - f.cy) * f.scale, f.content.center().y() - (x - f.cx) * f.scale};
}

void NetworkFigure::toGround(const QRectF &target, const FigureView &view, QPointF device, double &x, double &y,
                             double dpi) const
{
    const Frame f = frame(target, view, dpi);
    y = f.cy + (device.x() - f.content.center().x()) / f.scale;
    x = f.cx - (device.y() - f.content.center().y()) / f.scale;
}

int NetworkFigure::hitTest(const QRectF &target, const FigureView &view, QPointF pos, double tolerance,
                           double dpi) const
{
    int best = -1;
    double bestDist = tolerance;
    for (std::size_t i = 0; i < data_.points.size(); ++i) {
        const FigurePoint &p = data_.points[i];
        if (!finite(p.x) || !finite(p.y))
            continue;
        const QPointF d = toDevice(target, view, p.x, p.y, dpi) - pos;
        const double dist = std::hypot(d.x(), d.y());
        if (dist <= bestDist) {
            bestDist = dist;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void NetworkFigure::paint(QPainter &p, const QRectF &target, const FigureView &view) const
{
    const double dpi = p.device() ? p.device()->logicalDpiX() : 96;
    const Frame f = frame(target, view, dpi);
    const double mm = f.mm;
    auto at = [&](const FigurePoint &pt) {
        return QPointF(f.content.center().x() + (pt.y - f.cy) * f.scale, f.content.center().y() - (pt.x - f.cx) * f.scale);
    };
    auto pen = [&](const QColor &c, double widthMm, Qt::PenStyle style = Qt::SolidLine) {
        QPen pn(c, widthMm * mm, style, Qt::FlatCap, Qt::MiterJoin);
        return pn;
    };

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    bool any = false;
    QPointF centroid;
    int counted = 0;
    for (const FigurePoint &pt : data_.points)
        if (finite(pt.x) && finite(pt.y)) {
            centroid += at(pt);
            ++counted;
            any = true;
        }
    if (!any) {
        p.setFont(figureFont(10));
        p.setPen(kInk);
        p.drawText(target, Qt::AlignCenter, QStringLiteral("没有可以画出的点。"));
        p.restore();
        return;
    }
    centroid /= counted;

    // The network itself, clipped to the target so that a zoomed view stays
    // inside its frame.
    p.save();
    p.setClipRect(target);

    const QFont sideFont = figureFont(6.5);
    const QFont labelFont = figureFont(8);
    for (const FigureSide &s : data_.sides) {
        const FigurePoint &a = data_.points[static_cast<std::size_t>(s.from)];
        const FigurePoint &b = data_.points[static_cast<std::size_t>(s.to)];
        if (!finite(a.x) || !finite(a.y) || !finite(b.x) || !finite(b.y))
            continue;
        if (!s.typed)
            p.setPen(pen(kGrey, kThinWidth, Qt::DotLine));
        else if (s.flagged)
            p.setPen(pen(kFlagged, kFlaggedWidth, s.barelyChecked ? Qt::DashLine : Qt::SolidLine));
        else
            p.setPen(pen(kInk, kLineWidth, s.barelyChecked ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(at(a), at(b));
    }
    // Side numbers at the middles, on the side of the line away from the
    // network's centre.
    p.setFont(sideFont);
    const QFontMetricsF sfm(sideFont, p.device());
    for (const FigureSide &s : data_.sides) {
        const FigurePoint &a = data_.points[static_cast<std::size_t>(s.from)];
        const FigurePoint &b = data_.points[static_cast<std::size_t>(s.to)];
        if (!finite(a.x) || !finite(a.y) || !finite(b.x) || !finite(b.y))
            continue;
        const QPointF pa = at(a), pb = at(b);
        const QPointF mid = (pa + pb) / 2;
        const QString text = QStringLiteral("S%1").arg(s.index);
        const QSizeF size(sfm.horizontalAdvance(text) + 0.6 * mm, sfm.height());
        p.setPen(s.flagged ? kFlagged : QColor(70, 70, 70));
        haloText(p, QRectF(mid - QPointF(size.width() / 2, size.height() / 2), size), text, Qt::AlignCenter);
    }

    // Orientation directions: an arrow from the known point along the held
    // or observed azimuth, beside the side it orients.
    p.setFont(sideFont);
    for (const FigureDirection &d : data_.directions) {
        const FigurePoint &k = data_.points[static_cast<std::size_t>(d.from)];
        const FigurePoint &n = data_.points[static_cast<std::size_t>(d.to)];
        if (!finite(k.x) || !finite(k.y) || !finite(d.azimuth))
            continue;
        const double t = d.azimuth * kPi / 180;
        const QPointF dir(std::sin(t), -std::cos(t)); // device: north is up
        const QPointF side(-dir.y(), dir.x());
        double length = 18 * mm;
        if (finite(n.x) && finite(n.y)) {
            const QPointF kn = at(n) - at(k);
            length = std::clamp(0.33 * std::hypot(kn.x(), kn.y()), 6 * mm, 30 * mm);
        }
        const QPointF start = at(k) + dir * (2.5 * mm) + side * (1.4 * mm);
        const QPointF tip = start + dir * length;
        p.setPen(pen(kDirection, 0.4));
        p.drawLine(start, tip - dir * (1.5 * mm));
        arrowHead(p, tip, dir, 2.2 * mm);
        const QString text = d.held ? QStringLiteral("定向方向") : QStringLiteral("定向观测");
        const QSizeF size(sfm.horizontalAdvance(text) + 0.6 * mm, sfm.height());
        const QPointF c = start + dir * (length * 0.55) + side * (size.height() * 0.9);
        p.setPen(kDirection);
        haloText(p, QRectF(c - QPointF(size.width() / 2, size.height() / 2), size), text, Qt::AlignCenter);
    }

    // Error ellipses, enlarged.
    if (factor_ > 0) {
        p.setPen(pen(kEllipse, 0.3));
        p.setBrush(QColor(150, 0, 150, 28));
        for (const FigurePoint &pt : data_.points) {
            if (!pt.hasEllipse || !finite(pt.x) || !finite(pt.y) || !finite(pt.a) || !finite(pt.b))
                continue;
            const double a = pt.a / 1000 * factor_ * f.scale, b = pt.b / 1000 * factor_ * f.scale;
            p.save();
            p.translate(at(pt));
            p.rotate(pt.azimuth); // clockwise from up, as the azimuth from north
            p.drawEllipse(QRectF(-b, -a, 2 * b, 2 * a));
            p.setPen(pen(kEllipse, 0.15));
            p.drawLine(QPointF(0, -a), QPointF(0, a));
            p.restore();
        }
        p.setBrush(Qt::NoBrush);
    }

    // Points and their names, placed away from the centre of the network.
    const QFontMetricsF lfm(labelFont, p.device());
    p.setFont(labelFont);
    for (const FigurePoint &pt : data_.points) {
        if (!finite(pt.x) || !finite(pt.y))
            continue;
        const QPointF c = at(pt);
        p.setPen(pen(kInk, 0.3));
        p.setBrush(Qt::white);
        if (pt.known) {
            const double s = kKnownSize * mm;
            QPolygonF tri;
            tri << c + QPointF(0, -s * 0.62) << c + QPointF(s / 2, s * 0.33) << c + QPointF(-s / 2, s * 0.33);
            p.drawPolygon(tri);
            p.setBrush(kInk);
            p.drawEllipse(c, 0.35 * mm, 0.35 * mm);
        } else {
            p.drawEllipse(c, kNewRadius * mm, kNewRadius * mm);
        }
        p.setBrush(Qt::NoBrush);

        const QString text = u(pt.label) + (pt.name.empty() ? QString() : QStringLiteral(" ") + u(pt.name));
        QPointF d = c - centroid;
        const double len = std::hypot(d.x(), d.y());
        d = len > 1e-9 ? d / len : QPointF(0.7071, -0.7071);
        const QSizeF size(lfm.horizontalAdvance(text) + 0.8 * mm, lfm.height());
        const QPointF anchor = c + d * (kLabelGap * mm + 1.2 * mm);
        double left = d.x() >= 0 ? anchor.x() : anchor.x() - size.width();
        double top = d.y() >= 0 ? anchor.y() : anchor.y() - size.height();
        if (std::fabs(d.x()) < 0.4)
            left = anchor.x() - size.width() / 2;
        if (std::fabs(d.y()) < 0.4)
            top = anchor.y() - size.height() / 2;
        p.setPen(kInk);
        haloText(p, QRectF(QPointF(left, top), size), text, Qt::AlignCenter);
    }
    p.restore(); // clip

    // North arrow in the top right corner: the figure's up is +x.
    {
        const QPointF base(target.right() - 7 * mm, target.top() + 15 * mm);
        const QPointF tip(base.x(), base.y() - 10 * mm);
        p.setPen(pen(kInk, 0.3));
        p.drawLine(base, tip);
        QPolygonF half;
        half << tip << QPointF(tip.x() + 1.8 * mm, tip.y() + 5 * mm) << QPointF(tip.x(), tip.y() + 3.8 * mm);
        p.setBrush(kInk);
        p.drawPolygon(half);
        p.setBrush(Qt::NoBrush);
        QPolygonF other;
        other << tip << QPointF(tip.x() - 1.8 * mm, tip.y() + 5 * mm) << QPointF(tip.x(), tip.y() + 3.8 * mm);
        p.drawPolygon(other);
        p.setFont(labelFont);
        p.drawText(QRectF(tip.x() - 8 * mm, tip.y() - 5 * mm, 16 * mm, 4.5 * mm), Qt::AlignCenter,
                   QStringLiteral("北 (x)"));
    }

    // The strip: the scale bars, then the legend (beside them below the
    // network, under them in a column on the right).
    const QFont smallFont = figureFont(7);
    const QFontMetricsF smfm(smallFont, p.device());
    p.setFont(smallFont);
    const QRectF &strip = f.strip;
    const double lineH = smfm.height();
    // A bar: its caption above, the line with ticks, the end values below.
    auto scaleBar = [&](double top, double lengthPx, const QString &end, const QString &caption, const QColor &colour) {
        const double x0 = strip.left() + 2 * mm;
        p.setPen(kInk);
        p.drawText(QRectF(strip.left(), top, strip.width(), lineH), Qt::AlignLeft | Qt::AlignVCenter, caption);
        const double y = top + lineH + 1.6 * mm;
        p.setPen(pen(colour, 0.35));
        p.drawLine(QPointF(x0, y), QPointF(x0 + lengthPx, y));
        for (double t : {0.0, 0.5, 1.0})
            p.drawLine(QPointF(x0 + t * lengthPx, y - (t == 0.5 ? 0.8 : 1.4) * mm), QPointF(x0 + t * lengthPx, y));
        p.setPen(kInk);
        p.drawText(QRectF(x0 - 4 * mm, y + 0.4 * mm, 8 * mm, lineH), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("0"));
        p.drawText(QRectF(x0 + lengthPx - 15 * mm, y + 0.4 * mm, 30 * mm, lineH), Qt::AlignHCenter | Qt::AlignTop, end);
        return y + 0.4 * mm + lineH + 1.2 * mm; // below the bar
    };
    const double maxBar = f.right ? strip.width() - 8 * mm : std::min(0.3 * target.width(), 45 * mm);
    const double metres = roundDown125(std::max(maxBar / f.scale, 1e-6));
    double below = scaleBar(strip.top(), metres * f.scale, number(metres) + QStringLiteral(" m"),
                            QStringLiteral("网图比例尺"), kInk);
    double barsRight = strip.left() + 2 * mm + metres * f.scale + 15 * mm;
    if (factor_ > 0) {
        double amax = 0;
        for (const FigurePoint &pt : data_.points)
            if (pt.hasEllipse && finite(pt.a))
                amax = std::max(amax, pt.a);
        // A round length of error near the largest semi-axis, drawn at the
        // ellipses' enlargement; longer when that would be too short to read.
        double e = roundDown125(amax);
        const double pxPerMmError = factor_ / 1000 * f.scale;
        while (e * pxPerMmError < 8 * mm && e * 2.5 * pxPerMmError <= maxBar)
            e = roundDown125(e * 2.5);
        below = scaleBar(below, e * pxPerMmError, number(e) + QStringLiteral(" mm"),
                         QStringLiteral("误差椭圆比例尺（放大 %1 倍）").arg(number(factor_)), kEllipse);
        barsRight = std::max({barsRight, strip.left() + 2 * mm + e * pxPerMmError + 15 * mm,
                              strip.left() + smfm.horizontalAdvance(QStringLiteral("误差椭圆比例尺（放大 %1 倍）")
                                                                       .arg(number(factor_))) + 4 * mm});
    } else {
        p.setPen(kInk);
        p.drawText(QRectF(strip.left(), below, strip.width(), lineH), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("没有误差椭圆（没有精度）"));
        barsRight = std::max(barsRight, strip.left() + smfm.horizontalAdvance(QStringLiteral("没有误差椭圆（没有精度）")) + 4 * mm);
        below += lineH + 1.2 * mm;
    }

    // Legend: symbol and text, flowing in rows.
    struct Entry {
        int kind;
        QString text;
    };
    std::vector<Entry> entries = {{0, QStringLiteral("已知点")}, {1, QStringLiteral("待定点")},
                                  {2, QStringLiteral("观测边")}, {3, QStringLiteral("可能有粗差")},
                                  {4, QStringLiteral("几乎没有检核")}};
    if (!data_.directions.empty())
        entries.push_back({5, QStringLiteral("定向方向")});
    if (factor_ > 0)
        entries.push_back({6, QStringLiteral("误差椭圆")});
    const double legendLeft = f.right ? strip.left() : std::max(barsRight + 6 * mm, strip.left() + 0.45 * strip.width());
    const double legendRight = strip.right();
    double x = legendLeft, y = f.right ? below + 2 * mm : strip.top();
    for (const Entry &e : entries) {
        const double w = 7 * mm + smfm.horizontalAdvance(e.text) + 3 * mm;
        if (x + w > legendRight && x > legendLeft) {
            x = legendLeft;
            y += std::max(4.5 * mm, lineH + 1 * mm);
        }
        const QPointF c(x + 3 * mm, y + lineH / 2);
        p.setBrush(Qt::NoBrush);
        switch (e.kind) {
        case 0: {
            p.setPen(pen(kInk, 0.3));
            p.setBrush(Qt::white);
            const double s = kKnownSize * mm * 0.8;
            QPolygonF tri;
            tri << c + QPointF(0, -s * 0.62) << c + QPointF(s / 2, s * 0.33) << c + QPointF(-s / 2, s * 0.33);
            p.drawPolygon(tri);
            break;
        }
        case 1:
            p.setPen(pen(kInk, 0.3));
            p.setBrush(Qt::white);
            p.drawEllipse(c, kNewRadius * mm, kNewRadius * mm);
            break;
        case 2: p.setPen(pen(kInk, kLineWidth)); p.drawLine(c - QPointF(3 * mm, 0), c + QPointF(3 * mm, 0)); break;
        case 3: p.setPen(pen(kFlagged, kFlaggedWidth)); p.drawLine(c - QPointF(3 * mm, 0), c + QPointF(3 * mm, 0)); break;
        case 4:
            p.setPen(pen(kInk, kLineWidth, Qt::DashLine));
            p.drawLine(c - QPointF(3 * mm, 0), c + QPointF(3 * mm, 0));
            break;
        case 5:
            p.setPen(pen(kDirection, 0.4));
            p.drawLine(c - QPointF(3 * mm, 0), c + QPointF(1.5 * mm, 0));
            arrowHead(p, c + QPointF(3 * mm, 0), QPointF(1, 0), 1.8 * mm);
            break;
        default:
            p.setPen(pen(kEllipse, 0.3));
            p.setBrush(QColor(150, 0, 150, 28));
            p.drawEllipse(c, 3 * mm, 1.3 * mm);
            break;
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(kInk);
        p.drawText(QRectF(x + 7 * mm, y, w - 7 * mm, lineH), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += w;
    }
    p.restore();
}

bool figureFormatOf(const QString &path, FigureFormat &format)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        format = FigureFormat::Png;
    else if (suffix == QLatin1String("svg"))
        format = FigureFormat::Svg;
    else if (suffix == QLatin1String("pdf"))
        format = FigureFormat::Pdf;
    else
        return false;
    return true;
}

bool exportFigure(const NetworkFigure &figure, const QString &path, FigureFormat format, QString *error,
                  QSize pixels)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("网图没有导出：%1").arg(why);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("没有给出文件名。"));
    if (pixels.width() < 100 || pixels.height() < 100 || pixels.width() > 20000 || pixels.height() > 20000)
        return fail(QStringLiteral("图像尺寸须在 100 到 20000 像素之间。"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("无法打开文件。请检查目录是否存在、是否有写入权限。"));

    constexpr int dpi = 150;
    bool drawn = false;
    switch (format) {
    case FigureFormat::Png: {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
        image.fill(Qt::white);
        QPainter p(&image);
        figure.paint(p, QRectF(QPointF(0, 0), QSizeF(pixels)));
        p.end();
        drawn = image.save(&file, "PNG");
        break;
    }
    case FigureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setResolution(dpi);
        svg.setSize(pixels);
        svg.setViewBox(QRect(QPoint(0, 0), pixels));
        svg.setTitle(QStringLiteral("二个连续四边形三边平差 网图"));
        QPainter p;
        if (p.begin(&svg)) {
            figure.paint(p, QRectF(QPointF(0, 0), QSizeF(pixels)));
            drawn = p.end();
        }
        break;
    }
    case FigureFormat::Pdf: {
        QPdfWriter pdf(&file);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
        pdf.setResolution(600);
        pdf.setTitle(QStringLiteral("二个连续四边形三边平差 网图"));
        pdf.setCreator(QStringLiteral("chainadj"));
        QPainter p;
        if (p.begin(&pdf)) {
            figure.paint(p, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
            drawn = p.end();
        }
        break;
    }
    }
    file.close();
    if (!drawn || file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("写入失败。请检查磁盘空间和写入权限。"));
    return true;
}

} // namespace chain::report
