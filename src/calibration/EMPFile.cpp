#include "calibration/EMPFile.h"

#include "analysis/Analyzed2DRes.h"
#include "foundation/Globals.h"
#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"
#include "foundation/WholeFile.h"

#include <QDebug>
#include <QStringView>
#include <QTextStream>

#include <cmath>

namespace {

const double hc = 12398.424360387684;
const double pi = 3.1415926535; // the value the files were always written with

const QString magic = QStringLiteral("###Corvelline::Corvelline");
const QString shortMagic = QStringLiteral("###Corvelline");
const QString endLine = QStringLiteral("##-----------------");

const QString dateLabel = QStringLiteral("Record Date             : ");
const QString e0Label = QStringLiteral("Std Edge Energy [eV]    : ");
const QString spacingLabel = QStringLiteral("Spacing [nm]            : ");
const QString xOffsetLabel = QStringLiteral("X Offset [pix]          : ");
const QString yOffsetLabel = QStringLiteral("Y Offset [pix]          : ");
const QString widthLabel = QStringLiteral("Width [pix]             : ");
const QString heightLabel = QStringLiteral("Height [pix]            : ");
const QString halfWLabel = QStringLiteral("Bin Half Width [pix]    : ");
const QString halfHLabel = QStringLiteral("Bin Half Height [pix]   : ");
const QString x0Label = QStringLiteral("Area X0                 : ");
const QString x1Label = QStringLiteral("Area X1                 : ");
const QString y0Label = QStringLiteral("Area Y0                 : ");
const QString y1Label = QStringLiteral("Area Y1                 : ");
const QString stdFileLabel = QStringLiteral("Std File Name           : ");
const QString mapHLabel = QStringLiteral("Map Height              : ");
const QString mapWLabel = QStringLiteral("Map Width               : ");

const int maxSide = 65536;

// The first item after the label, or the empty text.
QString firstItem(const QString& line, const QString& label)
{
    const QStringList items = itemsAfterKey(line, label);
    return items.isEmpty() ? QString() : items.first();
}

// The body's numbers one after another, across line ends.
class BodyNumbers {
public:
    explicit BodyNumbers(LineReader& in) : in(in) {}
    bool next(double& v)
    {
        for (;;) {
            const qsizetype n = line.size();
            while (pos < n && isItemSpace(line.at(pos)))
                pos++;
            if (pos < n) {
                const qsizetype start = pos;
                while (pos < n && !isItemSpace(line.at(pos)))
                    pos++;
                v = QStringView(line).mid(start, pos - start).toDouble();
                if (!std::isfinite(v)) // "nan" and "inf" read as numbers; no shift comes of them
                    v = 0.0;
                return true;
            }
            if (!in.readLine(line))
                return false;
            pos = 0;
        }
    }

private:
    LineReader& in;
    QString line;
    qsizetype pos = 0;
};

// Reads on to the end; false when a line too long for the reader stopped it.
bool bodyReadable(LineReader& in)
{
    QString line;
    while (in.readLine(line)) {
    }
    return !in.refused();
}

bool usable(const EMPHeader& h)
{
    return h.width > 0 && h.height > 0 && h.width <= maxSide && h.height <= maxSide
           && qint64(h.width) * h.height <= Analyzed2DRes::maxPixels && h.binHalfWidth >= 0
           && h.binHalfHeight >= 0 && h.spacing > 0.0;
}

} // namespace

double braggAngle(double e, double d)
{
    const double s = hc / e / (2.0 * d);
    if (!(std::fabs(s) <= 1.0))
        return -1.0;
    return std::asin(s) / pi * 180.0;
}

double braggEnergy(double theta, double d)
{
    return hc / (2.0 * d * std::sin(theta / 180.0 * pi));
}

EMPEdge empEdge(double panelEV, const EMPEdge& own, double stdE0, double d)
{
    // The angles of a map read from a file belong to the file's crystal.
    const double spacing = own.e0 > 0.0 ? own.spacing : d;
    for (const EMPEdge& e : {EMPEdge{panelEV, spacing}, own, EMPEdge{stdE0, spacing}}) {
        if (e.e0 > 0.0 && braggAngle(e.e0, e.spacing) != -1.0)
            return e;
    }
    return EMPEdge{0.0, spacing};
}

EMPEdge empReadEdge(const EMPReadOptions& o, const EMPHeader& h)
{
    return empEdge(o.panelEdgeEV, EMPEdge{h.stdEdgeEnergy, h.spacing}, 0.0, h.spacing);
}

void writeEMP(QTextStream& out, const EMPFacts& f, const Analyzed2DRes& map)
{
    const AnalyzeCond& g = f.grid;
    const int W = qMax(map.cond.W, 0);
    const int H = qMax(map.cond.H, 0);
    out << magic << '\n';
    out << dateLabel << f.date << '\n';
    out << e0Label << energyText(f.e0) << '\n';
    out << spacingLabel << f.spacing << '\n';
    out << xOffsetLabel << f.xOffset << '\n';
    out << yOffsetLabel << f.yOffset << '\n';
    out << widthLabel << W << '\n';
    out << heightLabel << H << '\n';
    out << halfWLabel << g.hx << '\n';
    out << halfHLabel << g.hy << '\n';
    out << x0Label << g.x0 << '\n';
    out << x1Label << g.x1 << '\n';
    out << y0Label << g.y0 << '\n';
    out << y1Label << g.y1 << '\n';
    out << stdFileLabel << f.stdFileName << '\n';
    out << mapHLabel << H << '\n';
    for (int r = 0; r < H; r++)
        out << mapWLabel << r << ' ' << W << '\n';
    out << endLine << '\n';
    logWithTime(QStringLiteral("EMap Write Start : "));

    const double theta0 = braggAngle(f.e0, f.spacing);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            const double s = map.valueAt(x, y);
            const double v = braggAngle(f.e0 - s, f.spacing) - theta0;
            out << (std::isfinite(v) ? v : 0.0) << ' ';
        }
        out << '\n';
    }
    logWithTime(QStringLiteral("EMap Write End   : "));
}

bool saveEMPFile(const QString& fileName, const EMPFacts& facts, const Analyzed2DRes& map)
{
    return saveWholeText(fileName, [&](QTextStream& out) { writeEMP(out, facts, map); });
}

EMPHeader readEMPHeader(LineReader& in)
{
    EMPHeader h;
    QString line;
    if (!in.readLine(line))
        line.clear();
    if (!line.startsWith(shortMagic)) { // the long magic begins with the short one
        qDebug() << "Not a emp file.";
        return h;
    }
    struct IntField {
        const QString& label;
        int& value;
    };
    const IntField ints[] = {
        {xOffsetLabel, h.xOffset},   {yOffsetLabel, h.yOffset},   {widthLabel, h.width},
        {heightLabel, h.height},     {halfWLabel, h.binHalfWidth}, {halfHLabel, h.binHalfHeight},
        {x0Label, h.areaX0},         {x1Label, h.areaX1},         {y0Label, h.areaY0},
        {y1Label, h.areaY1},
    };
    bool seenW = false, seenH = false, seenE0 = false, seenD = false, ended = false;
    while (in.readLine(line)) {
        for (const IntField& f : ints) {
            if (!startsWithKey(line, f.label))
                continue;
            f.value = firstItem(line, f.label).toInt();
            if (&f.value == &h.width) {
                seenW = true;
                qDebug() << "emp W" << h.width << line;
            } else if (&f.value == &h.height) {
                seenH = true;
                qDebug() << "emp H" << h.height << line;
            }
        }
        if (startsWithKey(line, e0Label)) {
            h.stdEdgeEnergy = firstItem(line, e0Label).toDouble();
            seenE0 = true;
        }
        if (startsWithKey(line, spacingLabel)) {
            h.spacing = firstItem(line, spacingLabel).toDouble();
            seenD = true;
        }
        if (startsWithKey(line, stdFileLabel)) // all of it: a path may hold blanks
            h.stdFileName = line.mid(stdFileLabel.size());
        if (line.startsWith(endLine)) {
            ended = true;
            break;
        }
    }
    h.valid = ended && seenW && seenH && seenE0 && seenD && usable(h);
    return h;
}

EMPRead readEMPFile(const QString& fileName, const EMPReadOptions& o, Analyzed2DRes& map,
                    EMPHeader& h, AnalyzeCond& grid)
{
    LineReader in;
    if (!in.open(fileName)) {
        qDebug() << "Can not open" << fileName;
        h = EMPHeader();
        return EMPRead::CannotOpen;
    }
    h = readEMPHeader(in);
    const EMPEdge edge = empReadEdge(o, h);
    const double e0 = edge.e0;
    const double d = edge.spacing;
    const double theta0 = braggAngle(e0, d);
    if (h.valid && theta0 == -1.0)
        h.valid = false;
    if (!h.valid) {
        qDebug() << "Invalid Energy Map Data File : " << fileName;
        return EMPRead::Invalid;
    }
    const bool noImage = o.imageW < 0 && o.imageH < 0;
    if (o.checkSize && !noImage && (h.width != o.imageW || h.height != o.imageH)) {
        qDebug().noquote() << QStringLiteral(
                                  "Loading Energy Map size : %1 x %2 : is not matched to the current image size : %3 x %4")
                                  .arg(h.width).arg(h.height).arg(o.imageW).arg(o.imageH);
        h.valid = false;
        return EMPRead::SizeMismatch;
    }

    // In doubles: the file's bounds may be any integers. Every reader of the
    // map walks this grid, so it keeps only the bins centred on the map.
    const double rect[4] = {double(h.areaX0), double(h.areaY0), double(h.areaX1) - h.areaX0,
                            double(h.areaY1) - h.areaY0};
    grid.setup(h.width, h.height, h.binHalfWidth, h.binHalfHeight, rect, -1, -1);
    if (!grid.clipToImage()) {
        qDebug() << "Invalid Energy Map Data File (no bin of its area lies on the map) : " << fileName;
        h.valid = false;
        return EMPRead::Invalid;
    }

    // The map is touched only once the whole body is known to be readable.
    QString line;
    if (!bodyReadable(in) || !in.rewind()) {
        qDebug() << "Invalid Energy Map Data File : " << fileName;
        h.valid = false;
        return EMPRead::Invalid;
    }
    while (in.readLine(line) && !line.startsWith(endLine)) {
    }

    logWithTime(QStringLiteral("Start Reading EMP file "));
    map.setCond(grid);

    BodyNumbers numbers(in);
    qint64 missing = 0;
    for (int y = 0; y < h.height; y++) {
        for (int x = 0; x < h.width; x++) {
            double v = 0.0;
            if (!numbers.next(v))
                missing++;
            map.setData(x, y, 0, 0, e0 - braggEnergy(v + theta0, d));
        }
    }
    // The file has a value for every pixel, the calibration had one per bin:
    // the zeros around its area are no shifts measured, for any reader.
    map.limitToBins();
    map.refitOverBins();
    // Once, not per value: a header with a large size and no body would flood the log.
    if (missing > 0)
        qDebug() << "run out!" << missing << "values missing in" << fileName;
    logWithTime(QStringLiteral("End Reading EMP file   "));
    return EMPRead::Loaded;
}

QString empReadMistake(EMPRead r, const EMPHeader& h, const EMPReadOptions& o)
{
    switch (r) {
    case EMPRead::Loaded:
        return QString();
    case EMPRead::CannotOpen:
        return QStringLiteral("can not open it");
    case EMPRead::SizeMismatch:
        return QStringLiteral("its size %1 x %2 is not the image's, %3 x %4")
            .arg(h.width)
            .arg(h.height)
            .arg(o.imageW)
            .arg(o.imageH);
    case EMPRead::Invalid:
        break;
    }
    return QStringLiteral("not a valid energy shift map file");
}
