// The adjustment report on paper. The layout runs first and collects what
// each page draws, so that the header can say "page N of M"; the drawing
// then replays it page by page.
#include "report/adjprinter.h"

#include "report/figure.h"
#include "report/fonts.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <functional>

namespace chain::report {
namespace {

// Millimetres.
constexpr double kLeft = 20, kRight = 18, kTop = 12, kBottom = 14;
constexpr double kHeaderHeight = 17;
constexpr double kCellPad = 2.2;
constexpr double kMinFigure = 100;
constexpr std::size_t kUnsplitRows = 15;

// Points.
constexpr double kTitleSize = 16, kSubtitleSize = 10, kHeadingSize = 11, kTextSize = 9, kNoteSize = 7.5;
constexpr double kHeaderSize = 8;
constexpr double kTableSizes[] = {8.5, 8, 7.5, 7, 6.5, 6};

const QColor kInk(0, 0, 0);
const QColor kRed(200, 0, 0);
const QColor kRule(60, 60, 60);

QString q(const std::string &s)
{
    // Control characters would break a line of the page; they become blanks.
    QString t = QString::fromStdString(s);
    for (QChar &c : t)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return t;
}

Qt::Alignment alignOf(Align a)
{
    switch (a) {
    case Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

class Layouter {
public:
    using Draw = std::function<void(QPainter &)>;
    struct Op {
        int page;
        Draw draw;
    };

    Layouter(const AdjustmentReport &r, QPrinter &printer) : r_(r), printer_(printer)
    {
        mm_ = printer.resolution() / 25.4;
        const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
        const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
        const QPointF origin = printer.fullPage() ? paper.topLeft() : printable.topLeft();
        QRectF page = paper.translated(-origin);
        QRectF inner = printable.translated(-origin);
        if (printer.fullPage())
            inner = page;
        // The margins from the paper's edges, never outside what the
        // printer can print.
        const double left = std::max(page.left() + kLeft * mm_, inner.left());
        const double right = std::min(page.right() - kRight * mm_, inner.right());
        const double top = std::max(page.top() + kTop * mm_, inner.top());
        const double bottom = std::min(page.bottom() - kBottom * mm_, inner.bottom());
        headerRect_ = QRectF(left, top, right - left, kHeaderHeight * mm_);
        body_ = QRectF(left, top + kHeaderHeight * mm_, right - left, bottom - top - kHeaderHeight * mm_);
        family_ = fonts::chineseFamily();
        if (family_.isEmpty())
            family_ = QString::fromUtf8(fonts::kSongFamily);
        y_ = body_.top();
    }

    AdjustmentLayout run(std::vector<Op> &ops)
    {
        title();
        for (std::size_t i = 0; i < r_.blocks.size(); ++i) {
            const Block &b = r_.blocks[i];
            switch (b.kind) {
            case Block::Heading:
                heading(b.text, i + 1 < r_.blocks.size() && r_.blocks[i + 1].kind == Block::Figure);
                break;
            case Block::Paragraph: paragraph(b.text, b.warning); break;
            case Block::Pairs: pairs(b.pairs); break;
            case Block::TableBlock:
                // Two narrow tables in a row share the width.
                if (i + 1 < r_.blocks.size() && r_.blocks[i + 1].kind == Block::TableBlock &&
                    fitsHalf(b.table) && fitsHalf(r_.blocks[i + 1].table)) {
                    tablePair(b.table, r_.blocks[i + 1].table);
                    ++i;
                } else {
                    table(b.table, body_.left(), body_.width());
                }
                break;
            case Block::Figure: figure(); break;
            }
        }
        out_.pages = page_ + 1;
        out_.body = body_;
        for (int p = 0; p < out_.pages; ++p)
            header(p, out_.pages);
        ops = std::move(ops_);
        return out_;
    }

private:
    QFont font(double points, bool bold = false) const
    {
        QFont f(family_);
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    QFontMetricsF metrics(const QFont &f) const { return QFontMetricsF(f, &printer_); }

    void add(Draw d) { ops_.push_back({page_, std::move(d)}); }
    void text(const QRectF &rect, const QString &s, const QFont &f, Qt::Alignment align, const QColor &colour = kInk,
              bool wrap = false)
    {
        add([=](QPainter &p) {
            p.setFont(f);
            p.setPen(colour);
            p.drawText(rect, static_cast<int>(align) | (wrap ? Qt::TextWordWrap : 0), s);
        });
    }
    void rule(double x0, double x1, double y, double widthPt)
    {
        const double w = widthPt / 72.0 * printer_.resolution();
        add([=](QPainter &p) {
            p.setPen(QPen(kRule, w));
            p.drawLine(QPointF(x0, y), QPointF(x1, y));
        });
    }
    void newPage()
    {
        ++page_;
        y_ = body_.top();
    }
    // A new page unless `height` still fits (or the page is empty).
    void need(double height)
    {
        if (y_ + height > body_.bottom() && y_ > body_.top())
            newPage();
    }
    double wrappedHeight(const QString &s, const QFont &f, double width) const
    {
        return metrics(f).boundingRect(QRectF(0, 0, width, 1e7), Qt::TextWordWrap, s).height();
    }

    void title()
    {
        const QFont t = font(kTitleSize, true), s = font(kSubtitleSize);
        const double th = metrics(t).height(), sh = metrics(s).height();
        text(QRectF(body_.left(), y_, body_.width(), th), q(r_.title), t, Qt::AlignHCenter | Qt::AlignVCenter);
        y_ += th + 0.5 * mm_;
        text(QRectF(body_.left(), y_, body_.width(), sh), q(r_.subtitle), s, Qt::AlignHCenter | Qt::AlignVCenter);
        y_ += sh + 2 * mm_;
    }

    void heading(const std::string &s, bool beforeFigure)
    {
        const QFont f = font(kHeadingSize, true);
        const double h = metrics(f).height();
        // A heading stays with the start of what it heads.
        need(3 * mm_ + h + (beforeFigure ? kMinFigure : 28) * mm_);
        if (y_ > body_.top())
            y_ += 2.4 * mm_;
        text(QRectF(body_.left(), y_, body_.width(), h), q(s), f, Qt::AlignLeft | Qt::AlignVCenter);
        out_.placed.push_back({s, page_, QRectF(body_.left(), y_, body_.width(), h), 0});
        y_ += h + 1.2 * mm_;
    }

    void paragraph(const std::string &s, bool warning)
    {
        const QFont f = font(kTextSize);
        const QString t = q(s);
        const double h = wrappedHeight(t, f, body_.width());
        need(h);
        text(QRectF(body_.left(), y_, body_.width(), h), t, f, Qt::AlignLeft | Qt::AlignTop, warning ? kRed : kInk, true);
        y_ += h + 1.5 * mm_;
    }

    void pairs(const std::vector<std::pair<std::string, std::string>> &pairs)
    {
        const QFont f = font(kTextSize);
        const QFontMetricsF fm = metrics(f);
        double labelWidth = 0;
        for (const auto &[label, value] : pairs)
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(q(label) + QStringLiteral("：")));
        labelWidth = std::min(labelWidth + 1 * mm_, body_.width() * 0.4);
        const double valueWidth = body_.width() - labelWidth - 4 * mm_;
        for (const auto &[label, value] : pairs) {
            const QString v = q(value);
            const double h = std::max(fm.height(), wrappedHeight(v, f, valueWidth));
            need(h);
            text(QRectF(body_.left() + 4 * mm_, y_, labelWidth, fm.height()), q(label) + QStringLiteral("："), f,
                 Qt::AlignLeft | Qt::AlignVCenter);
            text(QRectF(body_.left() + 4 * mm_ + labelWidth, y_, valueWidth, h), v, f, Qt::AlignLeft | Qt::AlignTop,
                 kInk, true);
            y_ += h + 0.4 * mm_;
        }
        y_ += 1.2 * mm_;
    }

    // Column widths of `t` in font `f`: the widest text of each column.
    std::vector<double> columnWidths(const Table &t, const QFont &f) const
    {
        const QFontMetricsF fm = metrics(f);
        std::vector<double> w(t.columns.size(), 0);
        QFont hf = f;
        hf.setBold(true);
        const QFontMetricsF hm = metrics(hf);
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            w[c] = hm.horizontalAdvance(q(t.columns[c]));
        for (const auto &row : t.rows)
            for (std::size_t c = 0; c < row.size() && c < w.size(); ++c)
                w[c] = std::max(w[c], fm.horizontalAdvance(q(row[c])));
        for (double &x : w)
            x += 2 * kCellPad * mm_;
        return w;
    }

    double halfWidth() const { return (body_.width() - 8 * mm_) / 2; }
    bool fitsHalf(const Table &t) const
    {
        double total = 0;
        for (double w : columnWidths(t, font(kTableSizes[0])))
            total += w;
        return !t.columns.empty() && total <= halfWidth() && t.rows.size() <= 12;
    }
    // Height of a table that fits its width at the largest size.
    double tableHeight(const Table &t, double width) const
    {
        const double rowH = metrics(font(kTableSizes[0])).height() + 0.6 * mm_;
        double h = wrappedHeight(q(t.caption) + QStringLiteral("（续）"), font(kTextSize, true), width) + 0.8 * mm_ +
                   rowH * static_cast<double>(t.rows.size() + 1) + 3 * mm_;
        for (const std::string &n : t.notes)
            h += wrappedHeight(q(n), font(kNoteSize), width) + 0.3 * mm_;
        return h;
    }
    void tablePair(const Table &a, const Table &b)
    {
        const double w = halfWidth();
        need(std::max(tableHeight(a, w), tableHeight(b, w)));
        const double top = y_;
        table(a, body_.left(), w);
        const double endA = y_;
        y_ = top;
        table(b, body_.left() + w + 8 * mm_, w);
        y_ = std::max(endA, y_);
    }

    void table(const Table &t, double left, double avail)
    {
        if (t.columns.empty())
            return;
        // The largest size at which the table fits the width.
        double size = kTableSizes[0];
        std::vector<double> widths;
        double total = 0;
        for (double s : kTableSizes) {
            size = s;
            widths = columnWidths(t, font(s));
            total = 0;
            for (double w : widths)
                total += w;
            if (total <= avail)
                break;
        }
        if (total > avail) {
            // Still too wide at the smallest size: narrower columns, texts
            // elided (never drawn past the margin).
            for (double &w : widths)
                w *= avail / total;
            total = avail;
        } else if (total > 0.6 * avail) {
            const double extra = (avail - total) / static_cast<double>(widths.size());
            for (double &w : widths)
                w += extra;
            total = avail;
        } else {
            const double extra = std::min((avail - total) / static_cast<double>(widths.size()), 6 * mm_);
            for (double &w : widths)
                w += extra;
            total = 0;
            for (double w : widths)
                total += w;
        }

        const QFont f = font(size), hf = font(size, true), cf = font(kTextSize, true), nf = font(kNoteSize);
        const QFontMetricsF fm = metrics(f);
        const double rowH = fm.height() + 0.6 * mm_;
        // A long caption wraps within the table's width.
        const double capH = wrappedHeight(q(t.caption) + QStringLiteral("（续）"), cf, avail) + 0.8 * mm_;
        const double x0 = left;
        const double x1 = x0 + total;

        auto head = [&](bool continued) {
            const QString cap = q(t.caption) + (continued ? QStringLiteral("（续）") : QString());
            text(QRectF(x0, y_, avail, capH), cap, cf, Qt::AlignLeft | Qt::AlignVCenter, kInk, true);
            y_ += capH;
            rule(x0, x1, y_, 1.0);
            double x = x0;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                text(QRectF(x + kCellPad * mm_, y_, widths[c] - 2 * kCellPad * mm_, rowH), q(t.columns[c]), hf,
                     alignOf(c < t.align.size() ? t.align[c] : Align::Left));
                x += widths[c];
            }
            y_ += rowH;
            rule(x0, x1, y_, 0.5);
        };

        // The notes stay with the last row.
        double notesH = 1 * mm_;
        for (const std::string &n : t.notes)
            notesH += wrappedHeight(q(n), nf, avail) + 0.3 * mm_;
        // A short table is not split: it starts on a new page when it does
        // not fit whole. A long one starts where three rows fit.
        const std::size_t firstRows = t.rows.size() <= kUnsplitRows ? t.rows.size() : 3;
        need(capH + rowH * static_cast<double>(1 + firstRows) + 1 * mm_ +
             (firstRows == t.rows.size() ? notesH : 0));
        double top = y_;
        head(false);
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            if (y_ + rowH + (r + 1 == t.rows.size() ? notesH : 0) > body_.bottom()) {
                rule(x0, x1, y_, 1.0);
                out_.placed.push_back({t.id, page_, QRectF(x0, top, total, y_ - top), size});
                newPage();
                top = y_;
                head(true);
            }
            const auto &row = t.rows[r];
            const bool red = r < t.marked.size() && t.marked[r];
            double x = x0;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                const double w = widths[c] - 2 * kCellPad * mm_;
                const QString s = c < row.size() ? fm.elidedText(q(row[c]), Qt::ElideRight, w + 0.5) : QString();
                text(QRectF(x + kCellPad * mm_, y_, w, rowH), s, f, alignOf(c < t.align.size() ? t.align[c] : Align::Left),
                     red ? kRed : kInk);
                x += widths[c];
            }
            y_ += rowH;
        }
        rule(x0, x1, y_, 1.0);
        out_.placed.push_back({t.id, page_, QRectF(x0, top, total, y_ - top), size});
        y_ += 1 * mm_;
        for (const std::string &n : t.notes) {
            const QString s = q(n);
            const double h = wrappedHeight(s, nf, avail);
            need(h);
            text(QRectF(x0, y_, avail, h), s, nf, Qt::AlignLeft | Qt::AlignTop, kInk, true);
            y_ += h + 0.3 * mm_;
        }
        y_ += 2 * mm_;
    }

    void figure()
    {
        if (!r_.figure)
            return;
        auto fig = std::make_shared<NetworkFigure>(*r_.figure);
        const QFont cf = font(kTextSize);
        const double capH = metrics(cf).height() + 1 * mm_;
        if (body_.bottom() - y_ - capH < kMinFigure * mm_)
            newPage();
        const double height = std::min(body_.bottom() - y_ - capH, body_.width() * 0.95);
        const QRectF rect(body_.left(), y_, body_.width(), height);
        add([fig, rect, this](QPainter &p) {
            p.setPen(QPen(kRule, 0.5 / 72.0 * printer_.resolution()));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect);
            fig->paint(p, rect.adjusted(1 * mm_, 1 * mm_, -1 * mm_, -1 * mm_));
        });
        out_.placed.push_back({"figure", page_, rect, 0});
        y_ += height + 1 * mm_;
        QString cap = QStringLiteral("网图按比例绘制：▲ 已知点，○ 待定点；红线为可能有粗差的边，虚线为几乎没有检核的边。");
        if (fig->ellipseFactor() > 0)
            cap += QStringLiteral("标准误差椭圆放大 %1 倍。").arg(QString::number(fig->ellipseFactor(), 'f', 0));
        const double h = wrappedHeight(cap, font(kNoteSize), body_.width());
        text(QRectF(body_.left(), y_, body_.width(), h), cap, font(kNoteSize), Qt::AlignLeft | Qt::AlignTop, kInk, true);
        y_ += h;
    }

    void header(int page, int pages)
    {
        const QFont bold = font(kHeaderSize, true), f = font(kHeaderSize);
        const QFontMetricsF fm = metrics(f), bm = metrics(bold);
        const double lh = fm.height() + 0.6 * mm_;
        const QRectF h = headerRect_;
        const auto given = [](const std::string &s) { return s.empty() ? QStringLiteral("—") : q(s); };
        const int saved = page_;
        page_ = page;
        double y = h.top();
        const QString pageText = QStringLiteral("第 %1 页 共 %2 页").arg(page + 1).arg(pages);
        const double pw = fm.horizontalAdvance(pageText) + 1 * mm_;
        text(QRectF(h.left(), y, h.width() - pw, lh), bm.elidedText(q(r_.title + "　" + r_.subtitle), Qt::ElideRight, h.width() - pw),
             bold, Qt::AlignLeft | Qt::AlignVCenter);
        text(QRectF(h.right() - pw, y, pw, lh), pageText, f, Qt::AlignRight | Qt::AlignVCenter);
        y += lh;
        const QString caseText = r_.caseText.empty() ? QString() : q(r_.caseText);
        const double cw = fm.horizontalAdvance(caseText) + 1 * mm_;
        const QString project = QStringLiteral("项目：") + given(r_.header.project);
        text(QRectF(h.left(), y, h.width() - cw - 2 * mm_, lh), fm.elidedText(project, Qt::ElideRight, h.width() - cw - 2 * mm_), f,
             Qt::AlignLeft | Qt::AlignVCenter);
        text(QRectF(h.right() - cw, y, cw, lh), caseText, f, Qt::AlignRight | Qt::AlignVCenter);
        y += lh;
        const QString parts[3] = {QStringLiteral("日期：") + given(r_.header.date),
                                  QStringLiteral("操作员：") + given(r_.header.operatorName),
                                  QStringLiteral("仪器：") + given(r_.header.instrument)};
        // Date and operator take what they need (up to a third each), the
        // instrument the rest; only a text longer than its share is elided.
        const double gap = 5 * mm_;
        double widths[3];
        widths[0] = std::min(fm.horizontalAdvance(parts[0]) + gap, h.width() / 3);
        widths[1] = std::min(fm.horizontalAdvance(parts[1]) + gap, h.width() / 3);
        widths[2] = h.width() - widths[0] - widths[1];
        double x = h.left();
        for (int i = 0; i < 3; ++i) {
            const double w = widths[i] - (i < 2 ? gap : 0);
            text(QRectF(x, y, w, lh), fm.elidedText(parts[i], Qt::ElideRight, w), f, Qt::AlignLeft | Qt::AlignVCenter);
            x += widths[i];
        }
        y += lh + 0.8 * mm_;
        rule(h.left(), h.right(), y, 0.8);
        page_ = saved;
    }

    const AdjustmentReport &r_;
    QPrinter &printer_;
    double mm_ = 1;
    QRectF headerRect_, body_;
    QString family_;
    int page_ = 0;
    double y_ = 0;
    std::vector<Op> ops_;
    AdjustmentLayout out_;
};

QString target(const QPrinter &printer)
{
    const QString t = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return t.isEmpty() ? QStringLiteral("未选择打印机") : t;
}

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

} // namespace

AdjustmentLayout layoutAdjustmentReport(const AdjustmentReport &r, QPrinter &printer)
{
    fonts::installFontSubstitutions();
    std::vector<Layouter::Op> ops;
    Layouter l(r, printer);
    return l.run(ops);
}

bool printAdjustmentReport(const AdjustmentReport &r, QPrinter &printer, QString *error)
{
    fonts::installFontSubstitutions();
    if (printer.docName().isEmpty())
        printer.setDocName(QStringLiteral("平差报告"));
    std::vector<Layouter::Op> ops;
    Layouter l(r, printer);
    const AdjustmentLayout layout = l.run(ops);
    std::stable_sort(ops.begin(), ops.end(), [](const Layouter::Op &a, const Layouter::Op &b) { return a.page < b.page; });

    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, QStringLiteral("无法开始打印平差报告：打印机或 PDF 文件无法写入（%1）。请检查打印机或文件路径。")
                            .arg(target(printer)));
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    int page = 0;
    for (const Layouter::Op &op : ops) {
        while (page < op.page) {
            if (!printer.newPage()) {
                painter.end();
                setError(error, QStringLiteral("平差报告打印中断：无法开始新的一页（%1）。").arg(target(printer)));
                return false;
            }
            ++page;
        }
        painter.save();
        op.draw(painter);
        painter.restore();
    }
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        setError(error, QStringLiteral("平差报告没有完整送到打印机或写入 PDF 文件（%1）。请检查打印机或文件路径。")
                            .arg(target(printer)));
        return false;
    }
    (void)layout;
    return true;
}

bool writeAdjustmentPdf(const AdjustmentReport &r, const QString &path, QString *error)
{
    if (path.isEmpty()) {
        setError(error, QStringLiteral("没有指定 PDF 文件名，平差报告没有写出。"));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setCreator(QStringLiteral("chainadj"));
    printer.setDocName(QString::fromStdString(r.title + " " + r.header.project));
    return printAdjustmentReport(r, printer, error);
}

} // namespace chain::report
