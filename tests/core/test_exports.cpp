// The exports read back: the CSV parsed, the CASS file decoded from GBK,
// the workbook opened as a zip and its sheets' XML read, the DXF drawing
// read by dxflib, each compared with the JSON of the same run; a name GBK
// cannot encode, and runs that computed nothing or could not write, leave
// no file; batch rows; saved data files keep the values as typed.
#include "support/process.h"
#include "app/chainfile.h"
#include "app/fields.h"
#include "export/exports.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <QtTest>

#include <cmath>
#include <iconv.h>
#include <map>

namespace {

using Proc = testproc::Result;
using testproc::chainadj;
using testproc::run;

QString example(int n) { return QString(CHAIN_EXAMPLES) + "/case" + QString::number(n) + ".chain"; }
QString brokenFile(const char *name) { return QString(CHAIN_EXAMPLES) + "/../tests/data/batch/" + name; }

const auto readAll = testproc::readFile;

// GBK to UTF-8 with the C library's converter, as a reader of the file would.
QString fromGbk(const QByteArray &gbk)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    QByteArray in = gbk, out(gbk.size() * 2 + 16, '\0');
    char *ip = in.data(), *op = out.data();
    size_t il = static_cast<size_t>(in.size()), ol = static_cast<size_t>(out.size());
    const size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        return QStringLiteral("<not GBK>");
    out.resize(out.size() - static_cast<int>(ol));
    return QString::fromUtf8(out);
}

// RFC 4180: quoted fields may hold commas, quotes (doubled) and line breaks.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field, field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << field, field.clear();
            rows << row, row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

// One entry of a zip archive, through unzip.
QByteArray unzipped(const QString &zip, const QString &entry)
{
    QProcess p;
    p.start("unzip", {"-p", zip, entry});
    p.waitForFinished(10000);
    return p.readAllStandardOutput();
}

// The cells of a worksheet by reference ("D5"), shared strings resolved.
using Cells = std::map<QString, QString>;
std::map<QString, Cells> workbookSheets(const QString &path)
{
    QStringList shared;
    QXmlStreamReader s(unzipped(path, "xl/sharedStrings.xml"));
    while (!s.atEnd())
        if (s.readNext() == QXmlStreamReader::StartElement && s.name() == u"si")
            shared << s.readElementText(QXmlStreamReader::IncludeChildElements);
    QStringList names;
    QXmlStreamReader w(unzipped(path, "xl/workbook.xml"));
    while (!w.atEnd())
        if (w.readNext() == QXmlStreamReader::StartElement && w.name() == u"sheet")
            names << w.attributes().value("name").toString();
    std::map<QString, Cells> sheets;
    for (int i = 0; i < names.size(); ++i) {
        Cells &cells = sheets[names[i]];
        QXmlStreamReader x(unzipped(path, QString("xl/worksheets/sheet%1.xml").arg(i + 1)));
        QString ref, type;
        while (!x.atEnd()) {
            if (x.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (x.name() == u"c") {
                ref = x.attributes().value("r").toString();
                type = x.attributes().value("t").toString();
            } else if (x.name() == u"v") {
                const QString v = x.readElementText();
                cells[ref] = type == "s" ? shared.value(v.toInt()) : v;
            }
        }
    }
    return sheets;
}

// The row of a sheet whose column `col` holds `text` (the first one), or 0.
int rowWith(const Cells &cells, const QString &col, const QString &text)
{
    int found = 0;
    for (const auto &[ref, v] : cells)
        if (ref.startsWith(col) && ref.mid(col.size())[0].isDigit() && v == text) {
            const int r = ref.mid(col.size()).toInt();
            found = found == 0 ? r : std::min(found, r);
        }
    return found;
}

// What dxflib reads back from a drawing.
struct DxfContent : DL_CreationAdapter {
    struct Entity {
        std::string layer;
        double x = 0, y = 0, x2 = 0, y2 = 0, ratio = 0;
        std::string text;
    };
    std::vector<std::string> layers;
    std::map<std::string, std::vector<Entity>> byType;
    void put(const char *type, double x = 0, double y = 0, double x2 = 0, double y2 = 0, double ratio = 0,
             std::string text = {})
    {
        byType[type].push_back(Entity{getAttributes().getLayer(), x, y, x2, y2, ratio, std::move(text)});
    }
    void addLayer(const DL_LayerData &d) override { layers.push_back(d.name); }
    void addPoint(const DL_PointData &d) override { put("POINT", d.x, d.y); }
    void addLine(const DL_LineData &d) override { put("LINE", d.x1, d.y1, d.x2, d.y2); }
    void addCircle(const DL_CircleData &d) override { put("CIRCLE", d.cx, d.cy); }
    void addEllipse(const DL_EllipseData &d) override { put("ELLIPSE", d.cx, d.cy, d.mx, d.my, d.ratio); }
    void addText(const DL_TextData &d) override { put("TEXT", d.ipx, d.ipy, 0, 0, 0, d.text); }
    void addPolyline(const DL_PolylineData &) override { put("POLYLINE"); }
};

bool near(double a, double b, double tol) { return std::fabs(a - b) <= tol; }

// The values a point is exported with, from the JSON of the same run.
struct Expected {
    QString name;
    bool known = false;
    double x = 0, y = 0;
    bool hasSigma = false;
    double sx = 0, sy = 0, sp = 0, a = 0, b = 0, azimuth = 0;
};
std::map<QString, Expected> expectedPoints(const QJsonObject &j)
{
    std::map<QString, Expected> m;
    const QJsonObject rigorous = j["rigorous"].toObject()["points"].toObject();
    const QJsonObject classic = j["points"].toObject();
    for (const QString &l : classic.keys()) {
        const QJsonObject c = classic[l].toObject();
        Expected e;
        e.name = c["name"].toString();
        e.known = c["known"].toBool();
        e.x = c["x"].toDouble(), e.y = c["y"].toDouble();
        if (!e.known) {
            const QJsonObject r = rigorous[l].toObject();
            e.x = r["x"].toDouble(), e.y = r["y"].toDouble();
            e.hasSigma = r["sp"].isDouble();
            e.sx = r["sx"].toDouble(), e.sy = r["sy"].toDouble(), e.sp = r["sp"].toDouble();
            const QJsonObject el = r["ellipse"].toObject();
            e.a = el["a"].toDouble(), e.b = el["b"].toDouble(), e.azimuth = el["azimuth"].toDouble();
        }
        m[l] = e;
    }
    return m;
}

// Values of a data file as written, by key.
std::map<int, std::string> fileValues(const QString &path)
{
    std::vector<chain::Problem> problems;
    const chain::DataSet d = chain::parseDataFile(readAll(path).toStdString(), problems);
    std::map<int, std::string> m;
    for (int k = 0; k < chain::key::count; ++k)
        if (d.has(k))
            m[k] = *d[k];
    return m;
}

} // namespace

class TestExports : public QObject {
    Q_OBJECT
private slots:
    void exportsMatchJson_data()
    {
        QTest::addColumn<int>("caseNo");
        for (int n = 1; n <= 12; ++n)
            QTest::newRow(qPrintable(QString("case%1").arg(n))) << n;
    }
    void exportsMatchJson()
    {
        QFETCH(int, caseNo);
        QTemporaryDir dir;
        const QString csv = dir.filePath("p.csv"), dat = dir.filePath("p.dat"), xlsx = dir.filePath("p.xlsx"),
                      dxf = dir.filePath("p.dxf");
        const Proc p = chainadj({"--data", example(caseNo), "--json", "--export-csv", csv, "--export-dat", dat,
                                 "--export-xlsx", xlsx, "--export-dxf", dxf});
        QVERIFY2(p.status == 0, qPrintable(p.err));
        const QJsonObject j = QJsonDocument::fromJson(p.out.toUtf8()).object();
        const std::map<QString, Expected> expected = expectedPoints(j);
        QCOMPARE(expected.size(), std::size_t(6));

        // CSV: byte-order mark, a header and a row per point.
        const QByteArray csvBytes = readAll(csv);
        QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(csvBytes.mid(3)));
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows[0].value(3), QString("X(m)"));
        for (int r = 1; r <= 6; ++r) {
            const QStringList &c = rows[r];
            QCOMPARE(c.size(), 12);
            const Expected &e = expected.at(c[1]);
            QCOMPARE(c[0], e.name);
            QCOMPARE(c[2], QString(e.known ? "已知点" : "待定点"));
            QVERIFY2(near(c[3].toDouble(), e.x, 0.0005) && near(c[4].toDouble(), e.y, 0.0005), qPrintable(c.join(',')));
            QCOMPARE(c[3].section('.', 1).size(), 3); // to the millimetre
            if (e.hasSigma) {
                QVERIFY(near(c[5].toDouble(), e.sx, 0.005) && near(c[6].toDouble(), e.sy, 0.005));
                QVERIFY(near(c[7].toDouble(), e.sp, 0.005) && near(c[8].toDouble(), e.a, 0.005));
                QVERIFY(near(c[9].toDouble(), e.b, 0.005) && near(c[10].toDouble(), e.azimuth, 0.000005));
            } else {
                QVERIFY(c[5].isEmpty() && c[10].isEmpty());
            }
        }

        // CASS: GBK, name,code,east,north,height.
        const QStringList lines = fromGbk(readAll(dat)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        for (const QString &line : lines) {
            const QStringList f = line.split(',');
            QCOMPARE(f.size(), 5);
            const auto it = std::find_if(expected.begin(), expected.end(), [&](const auto &e) { return e.second.name == f[0]; });
            QVERIFY2(it != expected.end(), qPrintable(line));
            QVERIFY(f[1].isEmpty());
            QVERIFY(near(f[2].toDouble(), it->second.y, 0.0005) && near(f[3].toDouble(), it->second.x, 0.0005));
        }

        // Workbook: four sheets; the rigorous points, the classic points and
        // the input as typed.
        const auto sheets = workbookSheets(xlsx);
        QCOMPARE(sheets.size(), std::size_t(4));
        for (const char *name : {"输入数据", "经典平差", "严密平差", "精度检查"})
            QVERIFY2(sheets.count(QString::fromUtf8(name)), name);
        const Cells &rig = sheets.at("严密平差");
        const Cells &cla = sheets.at("经典平差");
        const QJsonObject classic = j["points"].toObject();
        for (const auto &[label, e] : expected) {
            const int r = rowWith(rig, "B", label);
            QVERIFY2(r > 0, qPrintable(label));
            QVERIFY(near(rig.at(QString("D%1").arg(r)).toDouble(), e.x, 1e-9));
            QVERIFY(near(rig.at(QString("E%1").arg(r)).toDouble(), e.y, 1e-9));
            if (e.hasSigma)
                QVERIFY(near(rig.at(QString("H%1").arg(r)).toDouble(), e.sp, 1e-9));
            const int rc = rowWith(cla, "B", label);
            QVERIFY(near(cla.at(QString("D%1").arg(rc)).toDouble(), classic[label].toObject()["x"].toDouble(), 1e-9));
        }
        const Cells &in = sheets.at("输入数据");
        for (const auto &[k, text] : fileValues(example(caseNo))) {
            const int r = rowWith(in, "A", chain::keyName(k));
            QVERIFY2(r > 0, chain::keyName(k));
            const QString v = in.at(QString("C%1").arg(r));
            if (chain::isNameKey(k) || chain::isAngleKey(k))
                QCOMPARE(v.toStdString(), text);
            else
                QVERIFY(near(v.toDouble(), std::stod(text), 0));
        }

        // DXF: the points where the JSON has them (X east, Y north), on the
        // layer of their kind; every side; the flagged ones on their layer;
        // an ellipse per new point, enlarged by the stated factor.
        DxfContent d;
        DL_Dxf reader;
        QVERIFY(reader.in(dxf.toStdString(), &d));
        for (const char *l : {"KNOWN_POINTS", "NEW_POINTS", "SIDES", "FLAGGED_SIDES", "ELLIPSES", "NAMES", "SCALE_BAR"})
            QVERIFY2(std::count(d.layers.begin(), d.layers.end(), l) == 1, l);
        QCOMPARE(d.byType["POINT"].size(), std::size_t(6));
        for (const auto &pt : d.byType["POINT"]) {
            const auto it = std::find_if(expected.begin(), expected.end(), [&](const auto &e) {
                return near(pt.x, e.second.y, 1e-6) && near(pt.y, e.second.x, 1e-6);
            });
            QVERIFY(it != expected.end());
            QCOMPARE(pt.layer, std::string(it->second.known ? "KNOWN_POINTS" : "NEW_POINTS"));
        }
        int sides = 0, flagged = 0, flaggedJson = 0;
        for (const auto &l : d.byType["LINE"]) {
            sides += l.layer == "SIDES" || l.layer == "FLAGGED_SIDES";
            flagged += l.layer == "FLAGGED_SIDES";
        }
        for (const QJsonValue &s : j["rigorous"].toObject()["sides"].toObject())
            flaggedJson += s.toObject()["flagged"].toBool();
        QCOMPARE(sides, 11);
        QCOMPARE(flagged, flaggedJson);
        QStringList texts;
        for (const auto &t : d.byType["TEXT"])
            texts << fromGbk(QByteArray::fromStdString(t.text));
        const QRegularExpression factorText("标准误差椭圆放大 (\\d+) 倍");
        const auto factorMatch = factorText.match(texts.join('\n'));
        QVERIFY2(factorMatch.hasMatch(), qPrintable(texts.join('|')));
        const double factor = factorMatch.captured(1).toDouble();
        int ellipses = 0;
        for (const auto &[label, e] : expected) {
            QVERIFY2(texts.contains(label + " " + e.name), qPrintable(label + " " + e.name));
            if (e.known || !e.hasSigma)
                continue;
            ++ellipses;
            const auto it = std::find_if(d.byType["ELLIPSE"].begin(), d.byType["ELLIPSE"].end(), [&](const auto &el) {
                return near(el.x, e.y, 1e-6) && near(el.y, e.x, 1e-6);
            });
            QVERIFY(it != d.byType["ELLIPSE"].end());
            QCOMPARE(it->layer, std::string("ELLIPSES"));
            QVERIFY(near(std::hypot(it->x2, it->y2), e.a / 1000 * factor, 1e-6));
            if (e.b > 1e-3 * e.a)
                QVERIFY(near(it->ratio, e.b / e.a, 1e-6));
            // The major axis points along its azimuth, clockwise from north.
            const double az = std::fmod(std::atan2(it->x2, it->y2) * 180 / M_PI + 360, 180);
            QVERIFY(near(std::fmod(az - e.azimuth + 180.5, 180) - 0.5, 0, 1e-6));
        }
        QCOMPARE(d.byType["ELLIPSE"].size(), std::size_t(ellipses));
    }

    // A name GBK cannot encode: the CASS file is refused naming it, an old
    // file stays as it was, the other exports are written.
    void gbkRefusal()
    {
        QTemporaryDir dir;
        QByteArray data = readAll(example(1));
        data.replace("names = 城关 李庄", "names = 𠀀城 李\"庄,");
        const QString in = dir.filePath("ext.chain"), dat = dir.filePath("p.dat"), csv = dir.filePath("p.csv");
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
        f.close();
        QFile old(dat);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
        old.close();
        const Proc p = chainadj({"--data", in, "--export-dat", dat, "--export-csv", csv});
        QCOMPARE(p.status, 6);
        QVERIFY2(p.err.contains("𠀀城") && p.err.contains("GBK"), qPrintable(p.err));
        QCOMPARE(readAll(dat), QByteArray("old\r\n"));
        // The CSV quotes a name with a comma and a quote (RFC 4180).
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(readAll(csv).mid(3)));
        QCOMPARE(rows.value(1).value(0), QString("𠀀城"));
        QCOMPARE(rows.value(2).value(0), QString("李\"庄,"));
        QCOMPARE(rows.value(2).size(), 12);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no temporary file left
    }

    // Nothing computed, or a target that cannot be written: no file.
    void nothingWritten_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("no case") << brokenFile("no-case.chain") << "" << 2 << "不符合十二种计算情形";
        QTest::newRow("cannot close") << brokenFile("cannot-close.chain") << "" << 3 << "没有导出";
        QTest::newRow("missing folder") << example(2) << "missing/" << 6 << "不存在";
    }
    void nothingWritten()
    {
        QFETCH(QString, input);
        QFETCH(QString, folder);
        QFETCH(int, status);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QStringList args = {"--data", input};
        for (const char *ext : {"csv", "dat", "xlsx", "dxf"})
            args << QString("--export-") + ext << dir.filePath(folder + "p." + ext);
        const Proc p = chainadj(args);
        QCOMPARE(p.status, status);
        QVERIFY2(p.err.contains(says), qPrintable(p.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    }

    // The twelve examples and three broken files: a row each, in order;
    // computed rows agree with the JSON, broken ones carry their reason.
    void batchSummary()
    {
        QTemporaryDir dir;
        QStringList files;
        for (int n = 1; n <= 12; ++n)
            files << example(n);
        files << brokenFile("bad-value.chain") << brokenFile("no-case.chain") << brokenFile("cannot-close.chain");
        const QString csv = dir.filePath("s.csv"), xlsx = dir.filePath("s.xlsx");
        const Proc p = chainadj(QStringList{"--batch"} + files + QStringList{"--summary", csv});
        QCOMPARE(p.status, chain::exporting::kBatchIncomplete);
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(readAll(csv).mid(3)));
        QCOMPARE(rows.size(), 16);
        for (int n = 1; n <= 12; ++n) {
            const QStringList &r = rows[n];
            QCOMPARE(r[0], files[n - 1]);
            QCOMPARE(r[1], QString::number(n));
            QCOMPARE(r[2], QString("已计算"));
            const QJsonObject j = QJsonDocument::fromJson(chainadj({"--data", files[n - 1], "--json"}).out.toUtf8()).object();
            const QJsonObject rig = j["rigorous"].toObject();
            QVERIFY(near(r[5].toDouble(), rig["sigma0"].toDouble(), 0.0005));
            const QString weakest = rig["weakest_point"].toString();
            QVERIFY2(r[6].startsWith(weakest + " "), qPrintable(r[6]));
            QVERIFY(near(r[7].toDouble(), rig["points"].toObject()[weakest].toObject()["sp"].toDouble(), 0.005));
            QStringList flagged;
            for (const QString &s : rig["sides"].toObject().keys())
                if (rig["sides"].toObject()[s].toObject()["flagged"].toBool())
                    flagged << "S" + s;
            std::sort(flagged.begin(), flagged.end(), [](const QString &a, const QString &b) { return a.mid(1).toInt() < b.mid(1).toInt(); });
            QCOMPARE(r[8], flagged.join(' '));
        }
        QCOMPARE(rows[13][2], QString("文件错误"));
        QVERIFY(rows[13][3].contains("3000.0O0"));
        QCOMPARE(rows[14][2], QString("不符合任何计算情形"));
        QCOMPARE(rows[15][2], QString("图形退化，无法计算"));
        QVERIFY(rows[15][3].contains("不能闭合"));

        // As a workbook, with a grade's verdict; all computed: status 0.
        const QString graded = dir.filePath("graded.chain");
        QFile g(graded);
        QVERIFY(g.open(QIODevice::WriteOnly) && g.write(readAll(example(7)) + "grade = 四等\n") > 0);
        g.close();
        const Proc x = chainadj({"--batch", example(3), graded, "--summary", xlsx});
        QCOMPARE(x.status, 0);
        const Cells cells = workbookSheets(xlsx).at("批量计算");
        QCOMPARE(cells.at("A2"), example(3));
        QCOMPARE(cells.at("B3"), QString("7"));
        QCOMPARE(cells.at("C3"), QString("已计算"));
        bool passed = true;
        const QJsonObject gj = QJsonDocument::fromJson(chainadj({"--data", graded, "--json"}).out.toUtf8()).object();
        for (const QJsonValue &c : gj["rigorous"].toObject()["grade"].toObject()["checks"].toArray())
            passed = passed && c.toObject()["passed"].toBool();
        QCOMPARE(cells.at("J3"), QString(passed ? "四等：符合" : "四等：不符合"));
        QVERIFY(!cells.count("J2") && !cells.count("A4"));

        // A summary of another kind is a usage error, before anything is computed.
        QCOMPARE(chainadj({"--batch", example(1), "--summary", dir.filePath("s.txt")}).status, 1);
        QVERIFY(!QFile::exists(dir.filePath("s.txt")));
    }

    // Saving writes the values as typed: a data file and its replies give
    // a saved file with the same texts, which computes the same fields.
    void savedKeepsTyped_data()
    {
        QTest::addColumn<int>("caseNo");
        QTest::addColumn<bool>("replies");
        for (int n = 1; n <= 12; ++n) {
            QTest::newRow(qPrintable(QString("data %1").arg(n))) << n << false;
            QTest::newRow(qPrintable(QString("replies %1").arg(n))) << n << true;
        }
    }
    void savedKeepsTyped()
    {
        QFETCH(int, caseNo);
        QFETCH(bool, replies);
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved.chain");
        QString source = example(caseNo);
        if (replies)
            source.replace(".chain", ".replies");
        const Proc first = chainadj({replies ? "--replies" : "--data", source, "--fields", "--save-data", saved});
        QCOMPARE(first.status, 0);
        const auto want = fileValues(example(caseNo)), got = fileValues(saved);
        QCOMPARE(got.size(), want.size());
        for (const auto &[k, text] : want)
            QCOMPARE(got.count(k) ? got.at(k) : std::string("<none>"), text);
        const Proc again = chainadj({"--data", saved, "--fields"});
        QCOMPARE(again.out, first.out);
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "test_exports.moc"
