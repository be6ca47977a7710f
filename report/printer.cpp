// The report on a QPrinter: every item is drawn at the x its tab column
// gives, measured in the font of its line, so that the columns hold at any
// printer resolution and nothing is ever drawn over something else.
#include "report/printer.h"
#include "report/fonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace chain::report {
namespace {

const QString familyName = QString::fromUtf8(fonts::kSongFamily);

constexpr double twipsPerInch = 1440.0;
constexpr double startLeftTwips = 2000.0;
constexpr double startTopTwips = 1500.0;
constexpr double bottomMarginTwips = 1500.0;

double twipsToPixels(double twips, int dpi) { return twips * dpi / twipsPerInch; }

QString printerMessage(const QPrinter &printer)
{
    const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return QStringLiteral("无法开始打印：打印机或 PDF 文件无法写入（%1）。请检查打印机或文件路径。")
        .arg(target.isEmpty() ? QStringLiteral("未选择打印机") : target);
}

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

} // namespace

QFont reportFont(int pointSize)
{
    fonts::installFontSubstitutions();
    QFont font(familyName);
    font.setPointSize(pointSize);
    return font;
}

double tabUnit(const QFont &font, const QPaintDevice *device)
{
    const QFontMetricsF fm(font, device);
    double unit = fm.averageCharWidth();
    const QChar ideograph(0x4E2D);
    if (fm.inFont(ideograph)) {
        const double cell = std::max(fm.horizontalAdvance(ideograph) / 2.0, fm.horizontalAdvance(QLatin1Char('0')));
        if (cell > 0)
            unit = std::min(unit, cell);
    }
    return unit;
}

namespace {

// The runs of `text` from `x` on; returns the x where the text ends. The
// blanks that an item with a tab column starts with stand for columns (the
// padding that lines up the labels) and take one tab unit each, as the
// half-width blank of 宋体 does; everything else, and every item that
// follows its predecessor directly, is set in the font's own widths.
double placeRuns(const QString &text, bool tabbed, double x, const QFontMetricsF &fm, double unit,
                 std::vector<TextRun> &runs)
{
    qsizetype i = 0;
    if (tabbed) {
        while (i < text.size() && text[i] == QLatin1Char(' ')) {
            x += unit;
            ++i;
        }
    }
    const QString rest = text.mid(i);
    if (!rest.isEmpty()) {
        runs.push_back(TextRun{x, rest});
        x += fm.horizontalAdvance(rest);
    }
    return x;
}

// The item's text as it is printed: control characters become blanks so
// that a typed point name cannot break the line.
QString printableText(const std::string &text)
{
    QString s = QString::fromStdString(text);
    for (QChar &c : s)
        if (c.category() == QChar::Other_Control || c == QChar::Tabulation)
            c = QLatin1Char(' ');
    return s;
}

} // namespace

PageLayout layoutReport(const Model &m, QPrinter &printer)
{
    PageLayout out;
    const int dpi = printer.resolution();

    // The painter's origin is the top-left corner of the printable area
    // unless the printer paints the full page.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QPointF origin = printer.fullPage() ? paper.topLeft() : printable.topLeft();

    const double left = paper.left() + twipsToPixels(startLeftTwips, dpi) - origin.x();
    const double top = paper.top() + twipsToPixels(startTopTwips, dpi) - origin.y();
    const double paperBottom = paper.bottom() - twipsToPixels(bottomMarginTwips, dpi) - origin.y();
    const double printableBottom = printable.bottom() - origin.y();
    const double bottom = std::min(paperBottom, printableBottom);

    int page = 0;
    double y = top;
    for (std::size_t li = 0; li < m.lines.size(); ++li) {
        const Line &line = m.lines[li];
        const QFont font = reportFont(line.fontSize);
        const QFontMetricsF fm(font, &printer);
        const double unit = tabUnit(font, &printer);

        // A line that would pass the bottom goes onto a new page, unless it
        // is the first line of its page already.
        if (y + fm.lineSpacing() > bottom && y > top) {
            ++page;
            y = top;
        }

        double end = left; // where the previous item of the line ended
        bool first = true;
        for (const Item &item : line.items) {
            PlacedItem p;
            p.page = page;
            p.line = static_cast<int>(li);
            p.fontSize = line.fontSize;
            p.text = printableText(item.text);
            if (item.tab == follows) {
                p.x = end;
            } else {
                p.x = left + item.tab * unit;
                // The column is already passed: one blank, never overprint.
                if (!first && p.x < end)
                    p.x = end + unit;
            }
            p.top = y;
            p.baseline = y + fm.ascent();
            end = placeRuns(p.text, item.tab != follows, p.x, fm, unit, p.runs);
            p.width = end - p.x;
            first = false;
            out.items.push_back(std::move(p));
        }
        y += fm.lineSpacing();
    }
    out.pages = page + 1;
    return out;
}

bool printReport(const Model &m, QPrinter &printer, QString *error)
{
    if (printer.docName().isEmpty())
        printer.setDocName(QStringLiteral("二个连续四边形三边平差"));
    const PageLayout layout = layoutReport(m, printer);

    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, printerMessage(printer));
        return false;
    }
    int page = 0;
    int fontSize = 0;
    for (const PlacedItem &p : layout.items) {
        while (page < p.page) {
            if (!printer.newPage()) {
                painter.end();
                setError(error, QStringLiteral("打印中断：无法开始新的一页（%1）。请检查打印机或文件路径。")
                                    .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                            : printer.outputFileName()));
                return false;
            }
            ++page;
        }
        if (p.fontSize != fontSize) {
            painter.setFont(reportFont(p.fontSize));
            fontSize = p.fontSize;
        }
        for (const TextRun &run : p.runs)
            painter.drawText(QPointF(run.x, p.baseline), run.text);
    }
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        setError(error, QStringLiteral("打印失败：报表没有完整送到打印机或写入 PDF 文件（%1）。请检查打印机或文件路径。")
                            .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                    : printer.outputFileName()));
        return false;
    }
    return true;
}

bool writePdf(const Model &m, const QString &path, QString *error)
{
    if (path.isEmpty()) {
        setError(error, QStringLiteral("没有指定 PDF 文件名，报表没有写出。"));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(path);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return printReport(m, printer, error);
}

} // namespace chain::report
