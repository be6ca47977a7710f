// The figure of the network: the ellipses' round enlargement, the mapping
// between ground and device and the hit test, what the painting shows, and
// the exported PNG, SVG and PDF files.
#include "analysis/engine.h"
#include "app/analysisinput.h"
#include "app/analysisout.h"
#include "app/chainfile.h"
#include "app/fields.h"
#include "report/figure.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

using namespace chain::report;
namespace an = analysis;

namespace {

QString example(int n) { return QString(CHAIN_EXAMPLES) + "/case" + QString::number(n) + ".chain"; }

// The figure of an example, analysed with `extra` data-file lines, one of
// its lines replaced by `changed`.
FigureData figureOf(int caseNo, const QByteArray &extra = {}, const QByteArray &line = {}, const QByteArray &changed = {})
{
    QFile f(example(caseNo));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (!line.isEmpty())
        bytes.replace(line, changed);
    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile((bytes + extra).toStdString(), problems);
    chain::Record rec;
    chain::FieldTable fields;
    chain::computeFromData(d, rec, fields, "test");
    an::Engine e(chain::networkFromRecord(rec, caseNo, chain::analysisOptionsOf(d)));
    if (!e.solve().ok)
        return {};
    return figureDataOf(e);
}

double networkExtent(const FigureData &d)
{
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (const FigurePoint &p : d.points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    return std::max(maxX - minX, maxY - minY);
}

QImage render(const NetworkFigure &fig, QSize size = QSize(900, 700), const FigureView &view = {})
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    fig.paint(p, QRectF(QPointF(0, 0), QSizeF(size)), view);
    p.end();
    return img;
}

int redPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 170 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

} // namespace

class TestFigure : public QObject {
    Q_OBJECT
private slots:
    void ellipseFactor_data();
    void ellipseFactor();
    void mappingAndHitTest_data();
    void mappingAndHitTest();
    void flaggedSidesRed();
    void nothingToDraw();
    void exports_data();
    void exports();
    void exportFailure();
};

void TestFigure::ellipseFactor_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<double>("scale"); // applied to every ellipse
    for (int n = 1; n <= 12; ++n)
        QTest::addRow("case %d", n) << n << 1.0;
    QTest::newRow("large ellipses") << 1 << 500.0;
    QTest::newRow("tiny ellipses") << 3 << 0.003;
    QTest::newRow("factor on a power of ten") << 2 << -1.0; // largest a set so that the factor is exactly 2000
}

void TestFigure::ellipseFactor()
{
    QFETCH(int, caseNo);
    QFETCH(double, scale);
    FigureData d = figureOf(caseNo);
    QVERIFY(!d.sides.empty());
    const double extent = networkExtent(d);
    double amax = 0;
    for (FigurePoint &p : d.points)
        amax = std::max(amax, p.a);
    if (scale < 0)
        scale = extent / 12 * 1000 / 2000 / amax;
    for (FigurePoint &p : d.points)
        p.a *= scale, p.b *= scale;
    amax *= scale;

    const NetworkFigure fig(d);
    const double f = fig.ellipseFactor();
    QVERIFY(f > 0);
    // A round number: 1, 2 or 5 times a power of ten.
    const double mantissa = f / std::pow(10.0, std::floor(std::log10(f) + 1e-12));
    QVERIFY2(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9,
             qPrintable(QString::number(f)));
    // The largest enlarged ellipse within a twelfth of the extent, and not
    // less than 2/5 of that (the next round factor would pass it).
    const double enlarged = amax / 1000 * f;
    QVERIFY(enlarged <= extent / 12 * (1 + 1e-9));
    QVERIFY(enlarged > extent / 12 * 0.4 - 1e-9);
    if (scale != 1 && caseNo == 2)
        QCOMPARE(f, 2000.0);
}

void TestFigure::mappingAndHitTest_data()
{
    QTest::addColumn<int>("caseNo");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSize>("size");
    QTest::newRow("case 1 fit, wide") << 1 << 1.0 << QSize(900, 500);
    QTest::newRow("case 1 fit, tall") << 1 << 1.0 << QSize(400, 900);
    QTest::newRow("case 3 zoomed") << 3 << 3.0 << QSize(800, 600);
    QTest::newRow("case 9 zoomed out") << 9 << 0.5 << QSize(640, 480);
}

void TestFigure::mappingAndHitTest()
{
    QFETCH(int, caseNo);
    QFETCH(double, zoom);
    QFETCH(QSize, size);
    const FigureData d = figureOf(caseNo);
    const NetworkFigure fig(d);
    const QRectF target(QPointF(10, 20), QSizeF(size));
    FigureView view;
    view.zoom = zoom;
    // Centred on E.
    view.hasCentre = zoom != 1;
    view.centreX = d.points[an::E].x;
    view.centreY = d.points[an::E].y;

    for (std::size_t i = 0; i < d.points.size(); ++i) {
        const FigurePoint &p = d.points[i];
        const QPointF at = fig.toDevice(target, view, p.x, p.y);
        double x = 0, y = 0;
        fig.toGround(target, view, at, x, y);
        QVERIFY(std::fabs(x - p.x) < 1e-6 && std::fabs(y - p.y) < 1e-6);
        QCOMPARE(fig.hitTest(target, view, at + QPointF(2, -2)), static_cast<int>(i));
        if (zoom == 1)
            QVERIFY2(target.contains(at), qPrintable(QString::fromStdString(p.label)));
        // North is up, east to the right.
        const QPointF north = fig.toDevice(target, view, p.x + 10, p.y);
        const QPointF east = fig.toDevice(target, view, p.x, p.y + 10);
        QVERIFY(north.y() < at.y() && std::fabs(north.x() - at.x()) < 1e-9);
        QVERIFY(east.x() > at.x() && std::fabs(east.y() - at.y()) < 1e-9);
    }
    if (view.hasCentre) {
        const QPointF e = fig.toDevice(target, view, view.centreX, view.centreY);
        const QPointF c = fig.toDevice(target, FigureView{}, view.centreX, view.centreY);
        QVERIFY(e != c);
    }
    // Far from every point: nothing.
    QCOMPARE(fig.hitTest(target, view, target.topLeft() - QPointF(500, 500)), -1);
}

void TestFigure::flaggedSidesRed()
{
    // Case 1 with an accuracy: no side flagged; with 50 mm on S5 several are.
    const QByteArray accuracy = "sigma_a = 1\nsigma_b = 1\n";
    const FigureData clean = figureOf(1, accuracy);
    const FigureData blunder = figureOf(1, accuracy, "S5 = 471.982", "S5 = 472.032");
    int flagged = 0;
    for (const FigureSide &s : blunder.sides)
        flagged += s.flagged;
    QVERIFY(flagged > 0);
    for (const FigureSide &s : clean.sides)
        QVERIFY(!s.flagged);
    // Only the legend's sample is red without a flag; red lines along the
    // flagged sides (and their numbers) add hundreds of pixels.
    const int legend = redPixels(render(NetworkFigure(clean)));
    QVERIFY(legend < 100);
    QVERIFY(redPixels(render(NetworkFigure(blunder))) > legend + 300);
}

void TestFigure::nothingToDraw()
{
    FigureData d;
    for (FigurePoint &p : d.points)
        p.x = p.y = std::nan("");
    const NetworkFigure fig(d);
    QCOMPARE(fig.ellipseFactor(), 0.0);
    const QImage img = render(fig);
    QVERIFY(!img.isNull());
    QCOMPARE(fig.hitTest(QRectF(0, 0, 900, 700), {}, QPointF(450, 350)), -1);
}

void TestFigure::exports_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "net.png";
    QTest::newRow("svg") << "net.svg";
    QTest::newRow("pdf") << "net.pdf";
    QTest::newRow("upper case suffix") << "NET.PNG";
}

void TestFigure::exports()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an old file that is replaced");
    }
    FigureFormat format{};
    QVERIFY(figureFormatOf(path, format));
    const NetworkFigure fig(figureOf(3));
    QString error;
    QVERIFY2(exportFigure(fig, path, format, &error, QSize(1200, 900)), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    switch (format) {
    case FigureFormat::Png: {
        QImage img;
        QVERIFY(img.loadFromData(bytes, "PNG"));
        QCOMPARE(img.size(), QSize(1200, 900));
        // Drawn: dark pixels of lines and text, not a blank page.
        int dark = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                dark += qGray(img.pixel(x, y)) < 100;
        QVERIFY(dark > 500);
        break;
    }
    case FigureFormat::Svg: {
        QXmlStreamReader xml(bytes);
        int texts = 0;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
                ++texts;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(texts >= 6 + 11); // the names and the side numbers at least
        QSvgRenderer svg(bytes);
        QVERIFY(svg.isValid());
        QVERIFY(!svg.defaultSize().isEmpty());
        break;
    }
    case FigureFormat::Pdf: {
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.right(1024).contains("%%EOF"));
        const QString exe = QStandardPaths::findExecutable("pdfinfo");
        if (exe.isEmpty())
            QSKIP("pdfinfo is not installed");
        QProcess p;
        p.start(exe, {path});
        QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\\n")));
        break;
    }
    }
}

void TestFigure::exportFailure()
{
    QTemporaryDir dir;
    const NetworkFigure fig(figureOf(1));
    QString error;
    QVERIFY(!exportFigure(fig, dir.filePath("none/net.png"), FigureFormat::Png, &error));
    QVERIFY(error.contains(QStringLiteral("网图没有导出")));
    QVERIFY(!exportFigure(fig, dir.filePath("net.png"), FigureFormat::Png, &error, QSize(10, 10)));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    FigureFormat format{};
    QVERIFY(!figureFormatOf(dir.filePath("net.jpg"), format));
}

QTEST_MAIN(TestFigure)
#include "test_figure.moc"
