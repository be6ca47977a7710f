// The DXF drawing of a computation (AutoCAD 2000 format, through dxflib):
// known and new points, the sides, the flagged sides, the error ellipses
// enlarged by the figure's factor, the names and a scale bar, each on a
// layer of its own. Surveying convention: DXF X is the east coordinate y,
// DXF Y the north coordinate x; units metres. Texts are in GBK (code page
// ANSI_936, as Chinese drawing programs read them), a character GBK lacks
// as \U+XXXX. dxflib writes to a file name: it writes into the atomic
// writer's temporary file, which is checked to end with the EOF marker
// before it is renamed over the target.
#include "exports.h"

#include "app/analysisinput.h"
#include "app/atomicfile.h"
#include "base/utf8.h"
#include "report/figuredata.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace chain::exporting {
namespace {

constexpr double kPi = 3.14159265358979323846;

// AutoCAD colour numbers.
enum Colour { Red = 1, Yellow = 2, Green = 3, Cyan = 4, Blue = 5, Magenta = 6, Ink = 7, Grey = 8 };

struct LayerDef {
    const char *name;
    int colour;
};
constexpr LayerDef kLayers[] = {
    {layer::kKnown, Ink}, {layer::kNew, Blue},        {layer::kSides, Ink},    {layer::kFlagged, Red},
    {layer::kEllipses, Magenta}, {layer::kNames, Ink}, {layer::kScaleBar, Ink},
};

// A text for the drawing: GBK, with \U+XXXX for a character GBK lacks.
std::string drawingText(const std::string &utf8Text)
{
    std::string s;
    for (std::size_t i = 0; i < utf8Text.size();) {
        const utf8::CodePoint c = utf8::decode(utf8Text, i);
        const std::string one = utf8Text.substr(i, c.length);
        i += c.length;
        if (c.value < 0x80) {
            s += one;
        } else if (const auto g = toGbk(one)) {
            s += *g;
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(c.value));
            s += buf;
        }
    }
    return s;
}

// Empty when the file at `path` ends with the DXF end-of-file marker.
std::string dxfProblem(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    while (!all.empty() && (all.back() == '\n' || all.back() == '\r' || all.back() == ' '))
        all.pop_back();
    if (!f.good() && !f.eof())
        return "生成的 DXF 文件无法读回";
    if (all.size() < 3 || all.compare(all.size() - 3, 3, "EOF") != 0)
        return "生成的 DXF 文件不完整（可能是磁盘已满）";
    return {};
}

class Drawing {
public:
    Drawing(DL_Dxf &dxf, DL_WriterA &dw) : dxf_(dxf), dw_(dw) {}

    DL_Attributes on(const char *layerName) const { return DL_Attributes(layerName, 256, -1, "BYLAYER", 1.0); }

    void point(const char *l, double e, double n) { dxf_.writePoint(dw_, DL_PointData(e, n, 0), on(l)); }
    void line(const char *l, double e1, double n1, double e2, double n2)
    {
        dxf_.writeLine(dw_, DL_LineData(e1, n1, 0, e2, n2, 0), on(l));
    }
    void circle(const char *l, double e, double n, double r) { dxf_.writeCircle(dw_, DL_CircleData(e, n, 0, r), on(l)); }
    void polygon(const char *l, const std::vector<std::pair<double, double>> &corners)
    {
        dxf_.writePolyline(dw_, DL_PolylineData(static_cast<int>(corners.size()), 0, 0, 1), on(l));
        for (const auto &[e, n] : corners)
            dxf_.writeVertex(dw_, DL_VertexData(e, n, 0, 0));
        dxf_.writePolylineEnd(dw_);
    }
    void text(const char *l, double e, double n, double height, const std::string &utf8Text)
    {
        dxf_.writeText(dw_, DL_TextData(e, n, 0, e, n, 0, height, 1, 0, 0, 0, drawingText(utf8Text), "Standard", 0),
                       on(l));
    }
    // Centre (e, n); semi-axes a >= b in metres; azimuth of a in degrees
    // clockwise from north.
    void ellipse(const char *l, double e, double n, double a, double b, double azimuth)
    {
        const double t = azimuth * kPi / 180;
        const double ratio = std::clamp(b / a, 1e-6, 1.0);
        dxf_.writeEllipse(dw_, DL_EllipseData(e, n, 0, a * std::sin(t), a * std::cos(t), 0, ratio, 0, 2 * kPi), on(l));
    }

private:
    DL_Dxf &dxf_;
    DL_WriterA &dw_;
};

void tables(DL_Dxf &dxf, DL_WriterA &dw)
{
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(static_cast<int>(std::size(kLayers)) + 1);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", Ink, 100, "CONTINUOUS", 1.0));
    for (const LayerDef &l : kLayers)
        dxf.writeLayer(dw, DL_LayerData(l.name, 0), DL_Attributes("", l.colour, 100, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(1);
    // A big font for the Chinese names, as Chinese drawing programs have.
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", "gbcbig"));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();
    dw.sectionBlocks();
    for (const char *b : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(b, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, b);
    }
    dw.sectionEnd();
}

void entities(Drawing &d, const AnalysisRun &run)
{
    const std::vector<ExportPoint> points = exportPoints(run);
    double minE = points[0].y, maxE = minE, minN = points[0].x, maxN = minN;
    for (const ExportPoint &p : points) {
        minE = std::min(minE, p.y), maxE = std::max(maxE, p.y);
        minN = std::min(minN, p.x), maxN = std::max(maxN, p.x);
    }
    const double extent = std::max({maxE - minE, maxN - minN, 1.0});
    const double h = extent / 60; // text height and symbol size, metres

    // Sides: flagged by the rigorous adjustment's test on a layer of their own.
    const analysis::Network net = networkFromRecord(*run.rec, run.caseNo, {});
    for (int s = 1; s <= analysis::kSides; ++s) {
        const analysis::SideEnds ends = analysis::kSideEnds[static_cast<std::size_t>(s)];
        const ExportPoint &p = points[static_cast<std::size_t>(ends.from)];
        const ExportPoint &q = points[static_cast<std::size_t>(ends.to)];
        const bool flagged = run.engine && net.sides[static_cast<std::size_t>(s)].typed && run.engine->side(s).flagged;
        d.line(flagged ? layer::kFlagged : layer::kSides, p.y, p.x, q.y, q.x);
        // The side's name short of its middle, where the diagonals cross.
        d.text(layer::kNames, p.y + 0.4 * (q.y - p.y), p.x + 0.4 * (q.x - p.x), h * 0.7, "S" + std::to_string(s));
    }

    // Points: a triangle for a known point, a circle for a new one, and the
    // exact position as a POINT entity on the same layer.
    for (const ExportPoint &p : points) {
        if (p.known) {
            const double t = h * 1.2;
            d.polygon(layer::kKnown, {{p.y, p.x + t * 0.577}, {p.y - t / 2, p.x - t * 0.289}, {p.y + t / 2, p.x - t * 0.289}});
            d.point(layer::kKnown, p.y, p.x);
        } else {
            d.circle(layer::kNew, p.y, p.x, h * 0.4);
            d.point(layer::kNew, p.y, p.x);
        }
        d.text(layer::kNames, p.y + h * 0.6, p.x + h * 0.6, h, p.name.empty() ? p.label : p.label + " " + p.name);
    }

    // Ellipses, enlarged by the factor the figure of the report uses.
    const double factor = run.engine ? report::ellipseFactor(report::figureDataOf(*run.engine)) : 0;
    if (factor > 0)
        for (const ExportPoint &p : points)
            if (!p.known && p.hasSigma && p.a > 0)
                d.ellipse(layer::kEllipses, p.y, p.x, p.a / 1000 * factor, p.b / 1000 * factor, p.azimuth);

    // Scale bar below the network, a round length of about a quarter of it.
    const double bar = report::roundDown125(extent / 4);
    const double e0 = minE, n0 = minN - 4 * h;
    d.line(layer::kScaleBar, e0, n0, e0 + bar, n0);
    for (double f : {0.0, 0.5, 1.0})
        d.line(layer::kScaleBar, e0 + f * bar, n0, e0 + f * bar, n0 + h * 0.5);
    char len[64];
    std::snprintf(len, sizeof len, "%g 米", bar);
    d.text(layer::kScaleBar, e0, n0 - 1.5 * h, h * 0.8, "0");
    d.text(layer::kScaleBar, e0 + bar, n0 - 1.5 * h, h * 0.8, len);
    if (factor > 0) {
        char note[96];
        std::snprintf(note, sizeof note, "标准误差椭圆放大 %g 倍", factor);
        d.text(layer::kScaleBar, e0, n0 - 3.2 * h, h * 0.8, note);
    }
}

} // namespace

void writeDxf(const std::string &path, const AnalysisRun &run)
{
    exportPoints(run); // refuses a run that computed nothing, before any file
    writeFileAtomically(path, [&](const std::string &tmp) -> std::string {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(tmp.c_str(), DL_Codes::AC1015));
        if (!dw || dw->openFailed())
            return "无法打开 DXF 文件";
        dxf.writeHeader(*dw);
        dw->dxfString(9, "$DWGCODEPAGE");
        dw->dxfString(3, "ANSI_936");
        dw->dxfString(9, "$INSUNITS");
        dw->dxfInt(70, 6); // metres
        dw->sectionEnd();
        tables(dxf, *dw);
        dw->sectionEntities();
        Drawing d(dxf, *dw);
        entities(d, run);
        dw->sectionEnd();
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
        dw->dxfEOF();
        dw->close();
        dw.reset();
        return dxfProblem(tmp);
    });
}

} // namespace chain::exporting
