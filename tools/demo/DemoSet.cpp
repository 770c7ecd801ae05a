#include "DemoSet.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QVector>

#include <tiffio.h>

#include <cmath>

namespace demo {

const char* const DemoSet::darkFile = "dark.tif";
const char* const DemoSet::foilFile = "ref_Cu_foil.dat";
const char* const DemoSet::oxideFile = "ref_CuO.dat";
const char* const DemoSet::truthFile = "truth_fraction.txt";
const char* const DemoSet::batchFile = "demo.bat";
const char* const DemoSet::headlessBatchFile = "demo-headless.bat";
const char* const DemoSet::resultsDir = "results";

namespace {

const double pi = 3.14159265358979323846;
const quint32 seed = 20240301u;
const double readNoise = 3.0;  // counts, per frame

double step(double e, double e0, double sigma)
{
    return 0.5 * (1.0 + std::erf((e - e0) / (std::sqrt(2.0) * sigma)));
}

double gauss(double e, double centre, double sigma)
{
    const double t = (e - centre) / sigma;
    return std::exp(-0.5 * t * t);
}

// Single-shell EXAFS: sin(2kR + phase) with a Debye-Waller damping, switched on
// smoothly past the edge so the edge region keeps its shape.
double exafs(double e, double e0, double r, double amp, double sigma2, double phase)
{
    if (e <= e0)
        return 0.0;
    const double k = std::sqrt(0.2625 * (e - e0));  // 1/angstrom
    return amp * step(e, e0 + 12.0, 4.0) * std::sin(2.0 * k * r + phase)
        * std::exp(-2.0 * sigma2 * k * k);
}

// Soft-edged disc, 1 inside and 0 outside.
double disc(int x, int y, double cx, double cy, double radius)
{
    const double r = std::hypot(x - cx, y - cy);
    return 0.5 * (1.0 - std::tanh((r - radius) / 1.2));
}

// The standard normal by Box-Muller over the engine's raw output, so the set
// does not depend on a library's distribution classes.
double normal(std::mt19937& gen)
{
    const double u1 = (double(gen()) + 0.5) / 4294967296.0;
    const double u2 = (double(gen()) + 0.5) / 4294967296.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * pi * u2);
}

quint16 counts(double v)
{
    if (!(v > 0.0))
        return 0;
    return v >= 65535.0 ? quint16(65535) : quint16(std::lround(v));
}

bool fail(QString* error, const QString& what)
{
    if (error)
        *error = what;
    return false;
}

// 16-bit grey TIFF with the exposure in an EXIF directory, as the detector writes it.
bool writeFrame(const QString& path, const QVector<quint16>& samples, double exposure)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(DemoSet::width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(DemoSet::height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(DemoSet::height));
    TIFFSetField(tif, TIFFTAG_EXIFIFD, uint64_t(0));
    bool ok = true;
    for (int y = 0; ok && y < DemoSet::height; ++y) {
        void* row = const_cast<quint16*>(samples.constData() + qsizetype(y) * DemoSet::width);
        ok = TIFFWriteScanline(tif, row, uint32_t(y), 0) >= 0;
    }
    ok = ok && TIFFWriteDirectory(tif);
    uint64_t exifOffset = 0;
    ok = ok && TIFFCreateEXIFDirectory(tif) == 0
        && TIFFSetField(tif, EXIFTAG_EXPOSURETIME, exposure)
        && TIFFWriteCustomDirectory(tif, &exifOffset);
    // The image directory learns where the EXIF one went.
    ok = ok && TIFFSetDirectory(tif, 0) && TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset)
        && TIFFRewriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text);
    return f.commit();
}

} // namespace

DemoSet::DemoSet()
{
    // Coarse below the edge, fine across it, coarse again over the EXAFS: 121
    // frames. Few fine points past the edge, so the post-edge line follows the
    // long tail rather than the white line.
    struct Segment {
        double from;
        double step;
        int n;
    };
    const Segment segments[] = {{8870.0, 5.0, 18}, {8960.0, 0.75, 49}, {9000.0, 4.0, 54}};
    for (const Segment& s : segments)
        for (int i = 0; i < s.n; ++i)
            energyList << std::round((s.from + i * s.step) * 10000.0) / 10000.0;
}

QString DemoSet::frameName(const QString& stack, double e)
{
    const qint64 t = std::llround(e * 10000.0);
    return QStringLiteral("%1_%2_%3.tif")
        .arg(stack)
        .arg(t / 10000, 5, 10, QLatin1Char('0'))
        .arg(t % 10000, 4, 10, QLatin1Char('0'));
}

double DemoSet::foil(double e)
{
    return step(e, 8980.0, 1.6) + 0.10 * gauss(e, 8982.0, 1.4) + 0.10 * gauss(e, 8993.5, 3.0)
        + 0.08 * gauss(e, 9004.5, 4.0) + exafs(e, 8980.0, 2.55, 0.15, 0.008, 0.0);
}

double DemoSet::oxide(double e)
{
    return step(e, 8986.5, 2.2) + 0.05 * gauss(e, 8977.5, 1.0) + 0.12 * gauss(e, 8986.0, 1.5)
        + 0.30 * gauss(e, 8996.0, 3.0) + exafs(e, 8986.5, 1.95, 0.18, 0.006, 0.5);
}

double DemoSet::fraction(int x, int y) const
{
    // A gradient from CuO-rich on the left to foil-rich on the right, with an
    // oxide grain in the foil-rich half and a foil grain in the oxide-rich one.
    double f = 0.15 + 0.7 * x / double(width - 1);
    const double oxideGrain = disc(x, y, 68.0, 24.0, 12.0);
    f += (0.05 - f) * oxideGrain;
    const double foilGrain = disc(x, y, 22.0, 44.0, 9.0);
    f += (0.95 - f) * foilGrain;
    return f;
}

double DemoSet::jump(int x, int y) const
{
    return 0.75 + 0.4 * y / double(height - 1) + 0.1 * std::cos(2.0 * pi * x / width);
}

double DemoSet::background(int x, int y, double e) const
{
    // Absorption of the matrix: smooth in space, Victoreen-like in energy.
    const double m = 0.3 + 0.15 * x / double(width - 1) + 0.1 * std::sin(pi * y / (height - 1));
    return m * std::pow(e / edgeEV, -2.8);
}

double DemoSet::mut(int x, int y, double e) const
{
    const double f = fraction(x, y);
    return jump(x, y) * (f * foil(e) + (1.0 - f) * oxide(e)) + background(x, y, e);
}

double DemoSet::incident(int x, int y, double e) const
{
    const double dx = (x - 48.0) / 35.0;
    const double dy = (y - 32.0) / 25.0;
    const double profile = 0.88 + 0.12 * std::exp(-0.5 * (dx * dx + dy * dy));
    const double flux = 1.0 - 0.10 * (e - 8870.0) / 350.0;
    return 30000.0 * profile * flux;
}

double DemoSet::darkLevel(int x, int y) const
{
    return 60.0 + 3.0 * ((7 * x + 13 * y) % 5);
}

bool DemoSet::writeFrames(const QString& folder, std::mt19937& gen, QString* error) const
{
    const QDir dir(folder);
    QVector<quint16> i1(width * height);
    QVector<quint16> i0(width * height);
    for (double e : energyList) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double n0 = incident(x, y, e);
                const double n1 = n0 * std::exp(-mut(x, y, e));
                const double d = darkLevel(x, y);
                const int k = y * width + x;
                i1[k] = counts(n1 + std::sqrt(n1) * normal(gen) + d + readNoise * normal(gen));
                i0[k] = counts(n0 + std::sqrt(n0) * normal(gen) + d + readNoise * normal(gen));
            }
        for (const QString& stack : {QStringLiteral("I1"), QStringLiteral("I0")}) {
            const QString path = dir.filePath(frameName(stack, e));
            if (!writeFrame(path, stack == QLatin1String("I1") ? i1 : i0, exposureSeconds))
                return fail(error, QStringLiteral("can't write %1").arg(path));
        }
    }
    QVector<quint16> dark(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dark[y * width + x] = counts(darkLevel(x, y) + readNoise * normal(gen));
    const QString path = dir.filePath(QLatin1String(darkFile));
    if (!writeFrame(path, dark, exposureSeconds))
        return fail(error, QStringLiteral("can't write %1").arg(path));
    return true;
}

bool DemoSet::writeReference(const QString& path, double (*curve)(double), const QString& title,
                             QString* error) const
{
    // A finer grid than the frames and a little wider, as a reference measurement is.
    QByteArray text = QStringLiteral("# %1, normalised (synthetic)\n# energy/eV  mu t\n")
                          .arg(title)
                          .toUtf8();
    for (int i = 0; i <= 700; ++i) {
        const double e = 8865.0 + 0.5 * i;
        text += QByteArray::number(e, 'f', 1) + ' ' + QByteArray::number(curve(e), 'f', 6)
            + '\n';
    }
    if (!writeText(path, text))
        return fail(error, QStringLiteral("can't write %1").arg(path));
    return true;
}

bool DemoSet::writeTruth(const QString& path, QString* error) const
{
    QByteArray text = QStringLiteral(
                          "# True fraction of the Cu foil reference (%1) per pixel; CuO holds "
                          "the rest.\n# %2 values per line, %3 lines, top image row first.\n")
                          .arg(QLatin1String(foilFile))
                          .arg(width)
                          .arg(height)
                          .toUtf8();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x > 0)
                text += ' ';
            text += QByteArray::number(fraction(x, y), 'f', 4);
        }
        text += '\n';
    }
    if (!writeText(path, text))
        return fail(error, QStringLiteral("can't write %1").arg(path));
    return true;
}

QStringList DemoSet::batchLines(bool quitAtEnd) const
{
    QStringList l;
    l << QStringLiteral("# Corvelline demo: a Cu foil and CuO mixed in a known fraction per pixel.")
      << QStringLiteral("# Start with -d set to this folder: every path goes through $DataRoot$.")
      << QStringLiteral("# Results in results/: fraction-0.dat and fraction-1.dat (x,y,fraction "
                        "of foil and of CuO),")
      << QStringLiteral("# the shown maps as PNG, and lcf-<row>-<map>.png for every fit map "
                        "(map 1 is the fraction).");
    const auto loadStack = [&](const QString& command, const QString& stack) {
        l << command + QStringLiteral(" NEW \\");
        for (int i = 0; i < energyList.size(); ++i)
            l << QStringLiteral("  $DataRoot$/") + frameName(stack, energyList[i])
                    + (i + 1 < energyList.size() ? QStringLiteral(" \\") : QString());
    };
    loadStack(QStringLiteral("load_I1_files"), QStringLiteral("I1"));
    loadStack(QStringLiteral("load_I0_files"), QStringLiteral("I0"));
    l << QStringLiteral("Use_I0 1")
      << QStringLiteral("# One spectrum and one fit per pixel over the whole field of view.")
      << QStringLiteral("set_band_w 0") << QStringLiteral("set_band_h 0")
      << QStringLiteral("select_region 0 0 %1 %2").arg(width).arg(height);
    const char* const analysis[] = {
        "analyzer_select_analysis_mode 0",
        "analyzer_set_MLCF 0",
        "analyzer_set_LCF_std 0 1 0 $DataRoot$/ref_Cu_foil.dat 0",
        "analyzer_set_LCF_std 1 1 0 $DataRoot$/ref_CuO.dat 0",
        "analyzer_set_LCF_range 8860 9230",
        "analyzer_exec_LCF",
        "# Fractions on a fixed 0..1 colour scale, saved as x,y,value text and pictures.",
        "analyzer_set_scale_min 0",
        "analyzer_set_scale_max 1",
        "analyzer_set_fixed_scale 1",
        "analyzer_select_image_type 0",
        "select_disp_image_analyzed",
        "saveDataCfg_save_as_text",
        "saveDataCfg_text_as_csv",
        "saveDataCfg_text_as_xyz",
        "analyzer_select_image 0",
        "save_data $DataRoot$/results/fraction.dat",
        "save_image $DataRoot$/results/fraction-Cu_foil.png",
        "analyzer_select_image 1",
        "save_data $DataRoot$/results/fraction.dat",
        "save_image $DataRoot$/results/fraction-CuO.png",
        "save_all_images $DataRoot$/results/lcf.png",
    };
    for (const char* line : analysis)
        l << QString::fromLatin1(line);
    if (quitAtEnd)
        l << QStringLiteral("quit");
    return l;
}

bool DemoSet::writeBatch(const QString& path, bool quitAtEnd, QString* error) const
{
    const QString text = batchLines(quitAtEnd).join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (!writeText(path, text.toUtf8()))
        return fail(error, QStringLiteral("can't write %1").arg(path));
    return true;
}

bool DemoSet::write(const QString& folder, QString* error) const
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")) || !dir.mkpath(QLatin1String(resultsDir)))
        return fail(error, QStringLiteral("can't make the folder %1").arg(folder));
    // Written over an earlier set, the batch files go first so an interrupted
    // run leaves no marker of a complete set.
    dir.remove(QLatin1String(batchFile));
    dir.remove(QLatin1String(headlessBatchFile));
    std::mt19937 gen(seed);
    return writeFrames(folder, gen, error)
        && writeReference(dir.filePath(QLatin1String(foilFile)), &DemoSet::foil,
                          QStringLiteral("Cu foil"), error)
        && writeReference(dir.filePath(QLatin1String(oxideFile)), &DemoSet::oxide,
                          QStringLiteral("CuO"), error)
        && writeTruth(dir.filePath(QLatin1String(truthFile)), error)
        && writeBatch(dir.filePath(QLatin1String(headlessBatchFile)), true, error)
        && writeBatch(dir.filePath(QLatin1String(batchFile)), false, error);
}

} // namespace demo
