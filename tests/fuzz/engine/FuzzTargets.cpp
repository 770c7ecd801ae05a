#include "FuzzTargets.h"

#include "CommandSeq.h"

#include "analysis/Analyzed2DRes.h"
#include "calibration/EMPFile.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/Cfg.h"
#include "foundation/LineReader.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/PixelMask.h"
#include "imagestack/TiffData.h"
#include "batch/CmdLine.h"
#include "stars/AMsg.h"
#include "stars/StarsProtocol.h"
#include "support/DispatcherRig.h"
#include "support/ImageCraft.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace {

QString pathIn(const QString& dir, const char* name) { return QDir(dir).filePath(QLatin1String(name)); }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray readBack(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The loader's way through a frame file: the reader picks the kind from the
// first bytes, then the error points are filled in.
void loadFrame(const QByteArray& input, const QString& dir)
{
    const QString path = pathIn(dir, "frame.img");
    writeFile(path, input);
    static ErrPoints errPs = [] {
        ErrPoints e;
        e.use = true;
        e.points = {QPoint(0, 0), QPoint(1, 1), QPoint(3, 2), QPoint(70000, -4)};
        return e;
    }();
    TiffData frame;
    frame.load(path, &errPs);
}

QList<QByteArray> tiffExamples(const QString& dir)
{
    QList<QByteArray> out;
    const QString path = pathIn(dir, "seed.tif");
    const QVector<quint16> ramp = craft::ramp16(6, 5, 100, 50);
    QList<craft::TiffOptions> opts;
    craft::TiffOptions o;
    opts << o;
    o.bigEndian = true;
    opts << o;
    o = craft::TiffOptions();
    o.lzw = true;
    o.rowsPerStrip = 2;
    opts << o;
    o = craft::TiffOptions();
    o.bits = 8;
    o.samples = 3;
    opts << o;
    o = craft::TiffOptions();
    o.tiled = true;
    opts << o;
    o = craft::TiffOptions();
    o.exif = true;
    o.exposure = 0.25;
    opts << o;
    for (const craft::TiffOptions& t : opts) {
        const bool tiled = t.tiled;
        const int w = tiled ? 20 : 6;
        const int h = tiled ? 18 : 5;
        if (craft::writeTiff(path, w, h, craft::ramp16(w, h, 100, 50), t))
            out << readBack(path);
    }
    if (craft::writeRawTiff(path, 6, 5, ramp))
        out << readBack(path);
    craft::RawTiffOptions r;
    r.exifOffset = 8;
    if (craft::writeRawTiff(path, 6, 5, ramp, r))
        out << readBack(path);
    return out;
}

QList<QByteArray> imExamples(const QString& dir)
{
    QList<QByteArray> out;
    const QString path = pathIn(dir, "seed.im");
    const QVector<quint32> v{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    craft::ImOptions o;
    if (craft::writeIm(path, 4, 3, v, o))
        out << readBack(path);
    o.comment = "BytesPerPixel=4";
    o.bytesPerPixel = 4;
    o.hdrX = 2;
    o.hdrY = 1;
    if (craft::writeIm(path, 4, 3, v, o))
        out << readBack(path);
    return out;
}

QList<QByteArray> cttrExamples(const QString&)
{
    return {craft::cttrText(0, 2, 0, 1, {1, 2, 3, 4, 5, 6}),
            craft::cttrText(3, 4, 5, 7, {0.5, 1.5, 2.5, 3.5, 4.5, 5.5}, {"# comment line"}),
            craft::cttrText(0, 1, 0, 1, {1, 2, 3, 4}, {}, 2)};
}

QList<QByteArray> spectrumExamples(const QString&)
{
    return {QByteArray("9809     KEK-PF   BL12C\n"
                       "sample  D= 3.1356 A\n"
                       "Offset  0 0 0\n"
                       "0 10.0 x 1000 500\n"
                       "1 10.5 x 0 500\n"
                       "2 11.0 x 1000 -3\n"
                       "3 11.5 x 1000 400\n"),
            QByteArray("# two columns\n8950 0.1\n8960 0.12\n8970 0.15\n8980 0.9\n8990 1.1\n9000 1.0\n"),
            QByteArray("8950,0.1\n8960\t0.12\n8970 0.15 7\n\n8980 0.9\n")};
}

void readSpectrum(const QByteArray& input, const QString& dir)
{
    const QString path = pathIn(dir, "spectrum.dat");
    writeFile(path, input);
    XafsSpectrum x;
    if (x.load(path))
        x.normalize(0);
}

QList<QByteArray> errPointExamples(const QString&)
{
    return {QByteArray("# Size 640 480\n1 2\n3 4\n10 20\n"),
            QByteArray("# Size 8 9\n1 1 0.5\n2 2 1e3 # hot\n"),
            QByteArray("5 6\n7 8\n")};
}

QList<QByteArray> cfgExamples(const QString& dir)
{
    writeFile(pathIn(dir, "inc.cfg"), "STARS_PORT 6057\nINCLUDE inc2.cfg\n");
    writeFile(pathIn(dir, "inc2.cfg"), "USE_TCP 0 # no target\n");
    const QByteArray inc = "INCLUDE " + QFile::encodeName(pathIn(dir, "inc.cfg")) + "\n";
    return {"DataRoot /data\nBatchRoot /batch # where batches live\n" + inc,
            "batch load_I1_files a.tif\nbatch :echo hi\nKEY_ON_STARS x.key\n",
            inc + "ErrPoints err.txt\nShowAnalyzer2Button 1\n" + inc};
}

QList<QByteArray> batchExamples(const QString&)
{
    return {QByteArray(":let a 1\n:for i 1 3\n:echo $i$ $a$\n:let a $a$$a$\n:next i\n"
                       "set_view_h 10\n:end\n"),
            QByteArray(":rem_start\nsave_image x.png\n:rem_end\nselect_region 1 2 3 4 # c\n"
                       "load_I1_files \\\n  a.tif b.tif\n"),
            QByteArray(":for j 0 2 1\n:for k 5 1 -2\nzoom_in\n:next k\n:next j\nquit\n")};
}

// The dispatcher on its own thread as the program runs it; a batch that is
// still going after a short while is stopped, and the stop must get through.
void runBatch(const QByteArray& input, const QString&)
{
    const QStringList lines = QString::fromUtf8(input).split(QLatin1Char('\n'));
    for (const QString& l : lines) {
        CmdLine c;
        c.parse(l);
    }
    DispatcherRig rig(true);
    rig.dispatch(lines + QStringList{QStringLiteral(":end")});
    QDeadlineTimer soon(200);
    while (rig.ends() == 0 && !soon.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (rig.ends() > 0)
        return;
    // A stopped batch logs no end of its own: after the stop an empty batch
    // must run to its end, which it can only do once the stop was taken.
    rig.stop();
    rig.dispatch({QStringLiteral(":end")});
    QDeadlineTimer bound(5000);
    while (rig.ends() == 0 && !bound.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (rig.ends() == 0)
        qFatal("a batch did not stop");
}

QList<QByteArray> lineExamples(const QString&)
{
    return {QByteArray("first\nsecond\r\nthird"), QByteArray("\n\n\xc3\xa9t\xc3\xa9\r\n\xff\xfe\n"),
            QByteArray("no line end at all")};
}

// Mutated inputs stay under the line cap, so the first byte may ask for the
// input repeated past it, or for a first line that ends right at it (rarely:
// either costs megabytes).
void readLines(const QByteArray& input, const QString&)
{
    const qsizetype cap = LineReader::maxLineLength;
    const int pick = input.isEmpty() ? 0 : uchar(input.at(0));
    QByteArray text;
    if (pick % 8 == 1)
        text = input.repeated(int(cap / input.size()) + 2);
    else if (pick % 8 == 2)
        text = QByteArray(cap - 1 + pick / 8 % 3, 'a') + input;
    else
        text = input;
    LineReader in;
    in.openBytes(text, QStringLiteral("fuzz"));
    QString line;
    while (in.readLine(line)) {
        if (line.size() > cap)
            qFatal("a line past the cap was handed out");
    }
    if (in.refused() && in.readLine(line))
        qFatal("a refused text went on");
}

QList<QByteArray> starsExamples(const QString&)
{
    return {QByteArray("1234\nSystem>Corvelline Ok:\nTerm1>Corvelline Hello\n"),
            QByteArray("Term1.sub>Corvelline @GetValue 1 2\r\nTerm1>Corvelline _Moved x y\n"
                       "Term1>Corvelline Help IsBusy\nTerm1>Corvelline IsBusy\n"),
            QByteArray("a>b\n>\n Term1 > Corvelline.x  Help\nTerm1>Corvelline @ \n")};
}

// Received bytes as a socket might hand them over, cut where the input's own
// bytes say; a small line cap, so that mutated inputs meet it.
void readStars(const QByteArray& input, const QString&)
{
    static const StarsCmdTable own = stars::ownCmds();
    const qsizetype cap = 200;
    stars::LineBuffer lines(cap);
    for (qsizetype at = 0; at < input.size();) {
        const qsizetype len = 1 + uchar(input.at(at)) % 64 * 5;
        for (const QByteArray& l : lines.feed(input.mid(at, len))) {
            if (l.size() > cap + 1 || !l.endsWith('\n'))
                qFatal("a received line past the cap or without its end");
            AMsg m;
            m.parse(QString::fromUtf8(l));
            stars::ownAnswer(m, m.paramText, own, QStringLiteral("Corvelline"), false);
        }
        if (lines.pending() > cap)
            qFatal("received bytes held past the line cap");
        at += len;
    }
}

QList<QByteArray> empExamples(const QString&)
{
    const QByteArray header = "###Corvelline::Corvelline\n"
                              "Record Date             : 26/12/07 03:00:00.000\n"
                              "Std Edge Energy [eV]    : 8979\n"
                              "Spacing [nm]            : 3.13553\n"
                              "X Offset [pix]          : 5\n"
                              "Y Offset [pix]          : -7\n"
                              "Width [pix]             : 3\n"
                              "Height [pix]            : 2\n"
                              "Bin Half Width [pix]    : 1\n"
                              "Bin Half Height [pix]   : 0\n"
                              "Area X0                 : 0\n"
                              "Area X1                 : 3\n"
                              "Area Y0                 : 0\n"
                              "Area Y1                 : 2\n"
                              "Std File Name           : /data/std.dat\n"
                              "Map Height              : 2\n"
                              "Map Width               : 0 3\n"
                              "Map Width               : 1 3\n"
                              "##-----------------\n";
    return {header + "0.00144057 -0.00359998 0.028874 \n0 0 0.00144057 \n",
            header + "0.001 nan 1e-3\n-0.5 inf", header};
}

void readEmp(const QByteArray& input, const QString& dir)
{
    const QString path = pathIn(dir, "map.emp");
    writeFile(path, input);
    Analyzed2DRes map(QStringLiteral("fuzz"));
    EMPHeader h;
    AnalyzeCond grid;
    readEMPFile(path, EMPReadOptions(), map, h, grid);
}

} // namespace

const QList<FuzzTarget>& fuzzTargets()
{
    static const QList<FuzzTarget> targets{
        {QStringLiteral("tiff"), false, 256, tiffExamples, loadFrame},
        {QStringLiteral("im"), false, 96, imExamples, loadFrame},
        {QStringLiteral("cttr"), true, 0, cttrExamples, loadFrame},
        {QStringLiteral("spectrum"), true, 0, spectrumExamples, readSpectrum},
        {QStringLiteral("errpoints"), true, 0, errPointExamples,
         [](const QByteArray& in, const QString& dir) {
             const QString path = pathIn(dir, "err.txt");
             writeFile(path, in);
             ErrPoints e;
             e.read(path, false);
             e.contains(1, 2);
             // The pixel mask shares the layout; its size line sizes an array.
             PixelMask m;
             m.read(path, PixelMask::Replace);
             m.read(path, PixelMask::Or);
         }},
        {QStringLiteral("cfg"), true, 0, cfgExamples,
         [](const QByteArray& in, const QString& dir) {
             const QString path = pathIn(dir, "main.cfg");
             writeFile(path, in);
             Cfg c;
             c.readFile(path);
             c.value(QStringLiteral("STARS_PORT"), QString());
         }},
        {QStringLiteral("batch"), true, 0, batchExamples, runBatch, 200},
        {QStringLiteral("lines"), true, 0, lineExamples, readLines, 120},
        {QStringLiteral("stars"), true, 0, starsExamples, readStars},
        {QStringLiteral("emp"), true, 0, empExamples, readEmp},
        cmdseq::target(),
    };
    return targets;
}

const FuzzTarget* findFuzzTarget(const QString& name)
{
    for (const FuzzTarget& t : fuzzTargets())
        if (t.name == name)
            return &t;
    return nullptr;
}
