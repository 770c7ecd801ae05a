#include "analysis/Analyzed2DRes.h"

#include "foundation/Globals.h"
#include "foundation/WholeFile.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

// Number of bins a walk over c visits, or -1 once it passes cap.
qint64 countBins(AnalyzeCond c, qint64 cap)
{
    c.reset();
    qint64 n = 0;
    do {
        if (++n > cap)
            return -1;
    } while (c.next());
    return n;
}

// v as QString::arg(double) writes it (six significant digits, 'g'), into at
// least 32 bytes at p; returns the end.
char* putNumber(char* p, double v)
{
    auto put = [&p](const char* t) {
        const size_t n = std::strlen(t);
        std::memcpy(p, t, n);
        return p + n;
    };
    if (std::isnan(v))
        return put("nan");
    if (std::isinf(v))
        return put(v < 0 ? "-inf" : "inf");
    if (v == 0.0) // also -0, which arg() writes without its sign
        return put("0");
    // arg() rounds a tie at the sixth digit away from zero, to_chars to even:
    // a value whose seventh digit rounds to 5 may be one and is left to arg().
    char sci[40];
    std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 6);
    if (sci[v < 0 ? 8 : 7] == '5') {
        const QByteArray q = QStringLiteral("%1").arg(v).toLatin1();
        std::memcpy(p, q.constData(), size_t(q.size()));
        return p + q.size();
    }
    return std::to_chars(p, p + 32, v, std::chars_format::general, 6).ptr;
}

// An export position 0..65535 of v in lo..hi, either way round.
quint16 exportPos(double v, double lo, double hi)
{
    const double f = Analyzed2DRes::scalePos(v, lo, hi);
    if (!(f > 0.0))
        return 0;
    if (f >= 1.0)
        return 65535;
    return static_cast<quint16>(f * 65535.0);
}

qint64 absOf(int v) { return v < 0 ? -static_cast<qint64>(v) : v; }

// Every pixel of the bin (ix, iy) that lies on the W x H image := flag.
void markBin(std::vector<bool>& mask, int W, int H, int ix, int iy, int xw, int yw, bool flag)
{
    const qint64 xa = std::max<qint64>(0, ix - absOf(xw));
    const qint64 xb = std::min<qint64>(qint64(W) - 1, ix + absOf(xw));
    const qint64 ya = std::max<qint64>(0, iy - absOf(yw));
    const qint64 yb = std::min<qint64>(qint64(H) - 1, iy + absOf(yw));
    if (xa > xb)
        return;
    for (qint64 y = ya; y <= yb; y++) {
        const auto row = mask.begin() + static_cast<std::ptrdiff_t>(y * W);
        std::fill(row + static_cast<std::ptrdiff_t>(xa), row + static_cast<std::ptrdiff_t>(xb + 1), flag);
    }
}

} // namespace

Analyzed2DRes::Analyzed2DRes(const QString& name)
{
    init(name);
    clear();
}

Analyzed2DRes::~Analyzed2DRes()
{
    freeArrays();
}

void Analyzed2DRes::init(const QString& n)
{
    freeArrays();
    no = 0;
    rename(n);
    cond = AnalyzeCond();
    valid = false;
    min = 1e300;
    max = -1e300;
    minX = minY = maxX = maxY = 0;
    scaleMin = 1e300;
    scaleMax = -1e300;
    fixedScale = false;
    useLimit = false;
    limitVal = 1.7976931348623157e308;
    format = QImage::Format_Grayscale8;
    saveCount = 0;
    procMin = 0.0;
    procMax = 1.0;
    deglitchF = 2.0;
    deglitchR = 0.9;
    showProc = false;
    hasProc = false;
    surfFit.clear();
}

void Analyzed2DRes::rename(const QString& n)
{
    name = n;
    setObjectName(n);
}

void Analyzed2DRes::freeArrays()
{
    image.reset(); // views imageBuf: goes first
    imageBuf.reset();
    std::vector<double>().swap(data);
    std::vector<double>().swap(procData);
    std::vector<bool>().swap(noResult);
}

bool Analyzed2DRes::holdsResult() const
{
    const qint64 n = pixelCount();
    if (n <= 0 || data.size() != static_cast<size_t>(n))
        return false;
    return noResult.size() != data.size() || std::find(noResult.begin(), noResult.end(), false) != noResult.end();
}

void Analyzed2DRes::limitToBins()
{
    if (!fits(data) || noResult.size() != data.size())
        return;
    std::vector<bool> outside(data.size(), true);
    AnalyzeCond c = cond;
    c.reset();
    do {
        markBin(outside, cond.W, cond.H, c.cx, c.cy, c.hx, c.hy, false);
    } while (c.next());
    for (size_t i = 0; i < outside.size(); i++) {
        if (outside[i])
            noResult[i] = true;
    }
}

qint64 Analyzed2DRes::resultBins(qint64& all) const
{
    all = 0;
    if (!fits(data))
        return 0;
    qint64 n = 0;
    AnalyzeCond c = cond;
    c.reset();
    do {
        all++;
        if (onMap(c.cx, c.cy))
            n++;
    } while (c.next() && all < maxPixels);
    return n;
}

qint64 Analyzed2DRes::pixelCount() const
{
    if (cond.W <= 0 || cond.H <= 0)
        return 0;
    return static_cast<qint64>(cond.W) * cond.H;
}

bool Analyzed2DRes::inside(qint64 x, qint64 y) const
{
    return x >= 0 && y >= 0 && x < cond.W && y < cond.H;
}

bool Analyzed2DRes::fits(const std::vector<double>& src) const
{
    // cond may have been set by hand after the arrays were made
    return !src.empty() && static_cast<qint64>(src.size()) == pixelCount();
}

double Analyzed2DRes::sourceAt(const std::vector<double>& src, int x, int y) const
{
    if (!fits(src) || !inside(x, y))
        return 0.0;
    return src[static_cast<size_t>(y) * cond.W + x];
}

double Analyzed2DRes::valueAt(int x, int y) const
{
    return sourceAt(data, x, y);
}

bool Analyzed2DRes::onMap(int x, int y) const
{
    return fits(data) && inside(x, y) && !lacksResult(x, y);
}

bool Analyzed2DRes::lacksResult(int x, int y) const
{
    return !noResult.empty() && noResult.size() == data.size() && inside(x, y) &&
           noResult[static_cast<size_t>(y) * cond.W + x];
}

void Analyzed2DRes::setNoResult(int ix, int iy, int xw, int yw)
{
    if (!fits(data))
        return;
    if (noResult.size() != data.size())
        noResult.assign(data.size(), false);
    markNoResult(ix, iy, xw, yw, true);
}

QString Analyzed2DRes::savedBinsNote(const QString& fileName) const
{
    qint64 all = 0;
    const qint64 n = resultBins(all);
    if (n >= all)
        return QString();
    return QStringLiteral("%1: %2 of the map's %3 bins hold a result; the other %4 hold none")
        .arg(fileName)
        .arg(n)
        .arg(all)
        .arg(all - n);
}

void Analyzed2DRes::markNoResult(int ix, int iy, int xw, int yw, bool none)
{
    markBin(noResult, cond.W, cond.H, ix, iy, xw, yw, none);
}

const std::vector<double>& Analyzed2DRes::shownData() const
{
    return showProc ? procData : data;
}

void Analyzed2DRes::rangeFor(bool fixed, double sMin, double sMax, double& lo, double& hi) const
{
    if (fixed) {
        lo = sMin;
        hi = sMax;
    } else if (showProc) {
        lo = procMin;
        hi = procMax;
    } else {
        lo = min;
        hi = max;
    }
}

void Analyzed2DRes::displayRange(double& lo, double& hi) const
{
    rangeFor(fixedScale, scaleMin, scaleMax, lo, hi);
}

double Analyzed2DRes::scalePos(double v, double lo, double hi)
{
    if (!std::isfinite(v) || !std::isfinite(lo) || !std::isfinite(hi) || hi == lo)
        return 0.0;
    const double t = (v - lo) / (hi - lo);
    return std::isfinite(t) ? t : 0.0;
}

void Analyzed2DRes::allocData()
{
    procMin = 0.0;
    procMax = 1.0;
    min = 1e300;
    max = -1e300;
    showProc = false;
    hasProc = false;
    freeArrays();
    const qint64 n = pixelCount();
    if (n > maxPixels) {
        qDebug() << "Map too large:" << name << cond.W << "x" << cond.H;
    } else if (n > 0) {
        data.assign(static_cast<size_t>(n), 0.0);
        procData.assign(static_cast<size_t>(n), 0.0);
        noResult.assign(static_cast<size_t>(n), true);
    }
    valid = false;
    surfFit.clear();
}

void Analyzed2DRes::clear()
{
    cond = AnalyzeCond();
    allocData();
}

void Analyzed2DRes::setNo(int n)
{
    no = n;
}

void Analyzed2DRes::setCond(const AnalyzeCond& c)
{
    cond = c;
    allocData();
}

void Analyzed2DRes::takePoint(int ix, int iy, double t)
{
    // A value that is not finite is stored but must not wreck the range or the fit.
    if (!std::isfinite(t))
        return;
    if (t > max) {
        max = t;
        maxX = ix;
        maxY = iy;
    }
    if (t < min) {
        min = t;
        minX = ix;
        minY = iy;
    }
    surfFit.addPoint(ix, iy, t);
}

void Analyzed2DRes::setData(int ix, int iy, int xw, int yw, double t)
{
    showProc = false;
    hasProc = false;
    takePoint(ix, iy, t);
    if (!fits(data))
        return;
    const qint64 xa = std::max<qint64>(0, ix - absOf(xw));
    const qint64 xb = std::min<qint64>(cond.W - 1, ix + absOf(xw));
    const qint64 ya = std::max<qint64>(0, iy - absOf(yw));
    const qint64 yb = std::min<qint64>(cond.H - 1, iy + absOf(yw));
    for (qint64 y = ya; y <= yb; y++) {
        double* row = data.data() + y * cond.W;
        for (qint64 x = xa; x <= xb; x++)
            row[x] = t;
    }
    if (noResult.size() == data.size())
        markNoResult(ix, iy, xw, yw, false);
}

void Analyzed2DRes::genImg(const ColorScale& scale)
{
    colors = scale;
    genImg();
}

void Analyzed2DRes::recolor(const ColorScale& scale)
{
    if (valid && colors != scale)
        genImg(scale);
}

void Analyzed2DRes::genImg()
{
    image.reset();
    imageBuf.reset();
    const int W = cond.W;
    const int H = cond.H;
    if (pixelCount() > 0 && pixelCount() <= maxPixels)
        imageBuf.reset(newImageBuffer(format, W, H));
    double lo, hi;
    displayRange(lo, hi);
    const std::vector<double>& src = shownData();
    if (imageBuf && fits(src)) {
        const int stride = rowStride(format, W);
        const int bpp = bytesPerPixel(format);
        for (int y = 0; y < H; y++) {
            uchar* row = imageBuf.get() + static_cast<size_t>(y) * stride;
            const double* v = src.data() + static_cast<size_t>(y) * W;
            for (int x = 0; x < W; x++)
                colors.putColor(scalePos(v[x], lo, hi), row + x * bpp, format);
        }
    }
    if (imageBuf)
        image.reset(newImage(format, imageBuf.get(), W, H));
    valid = true;
    surfFit.solve();
}

QImage* Analyzed2DRes::img()
{
    return image.get();
}

quint16* Analyzed2DRes::tiffDataForSave(bool fixed, double sMin, double sMax, bool asAnalyzed)
{
    double lo, hi;
    rangeFor(fixed, sMin, sMax, lo, hi); // the map's own fixed scale is not consulted
    const std::vector<double>& src = shownData();
    if (!fits(src))
        return nullptr;
    const qint64 n = pixelCount();
    const qint64 bins = countBins(cond, maxPixels);
    if (bins < 0)
        return nullptr;
    // Room for either layout, so a grid reaching past the image cannot overrun.
    const qint64 size = std::max(n, bins);
    quint16* buf = new quint16[static_cast<size_t>(size)]();
    if (!asAnalyzed) {
        for (qint64 i = 0; i < n; i++)
            buf[i] = exportPos(src[static_cast<size_t>(i)], lo, hi);
        saveCount = static_cast<int>(n);
    } else {
        AnalyzeCond c = cond;
        c.reset();
        qint64 k = 0;
        do {
            buf[k++] = exportPos(sourceAt(src, c.cx, c.cy), lo, hi);
        } while (c.next() && k < size);
        saveCount = static_cast<int>(k);
    }
    return buf;
}

void Analyzed2DRes::deglitch()
{
    if (!fits(data) || !fits(procData))
        return;
    AnalyzeCond c = cond;
    c.reset();
    double sum = 0.0;
    qint64 bins = 0;
    // Only what holds a result is a value: a bin without one is no spike and
    // no neighbour.
    const auto has = [this](qint64 x, qint64 y) {
        return inside(x, y) && onMap(static_cast<int>(x), static_cast<int>(y));
    };
    do {
        if (c.first)
            qDebug() << "deglitch" << c.cy;
        const double v = valueAt(c.cx, c.cy);
        const qint64 sx = c.stepX;
        const qint64 sy = c.stepY;
        double a = 0.0;
        int n = 0;
        const bool counted = onMap(c.cx, c.cy);
        if (counted && has(c.cx - sx, c.cy) && has(c.cx + sx, c.cy)) {
            a = std::fabs(2 * v - valueAt(c.cx - c.stepX, c.cy) - valueAt(c.cx + c.stepX, c.cy));
            n = 1;
        }
        if (counted && has(c.cx, c.cy - sy) && has(c.cx, c.cy + sy)) {
            a += std::fabs(2 * v - valueAt(c.cx, c.cy - c.stepY) - valueAt(c.cx, c.cy + c.stepY));
            n++;
        }
        const double s = n > 0 ? a / n : 0.0;
        c.fillBin(procData.data(), s);
        if (counted) {
            sum += s;
            bins++;
        }
    } while (c.next());

    const double T = bins > 0 ? sum / static_cast<double>(bins) * deglitchF : 0.0;
    const double R = (max - min) * deglitchR;
    rewriteBins([&](const AnalyzeCond& bin, double v) {
        if (!(sourceAt(procData, bin.cx, bin.cy) > T && (v < min + R || v > max - R)))
            return v;
        const qint64 nb[4][2] = {{qint64(bin.cx) - bin.stepX, bin.cy},
                                 {qint64(bin.cx) + bin.stepX, bin.cy},
                                 {bin.cx, qint64(bin.cy) - bin.stepY},
                                 {bin.cx, qint64(bin.cy) + bin.stepY}};
        double s = 0.0;
        int n = 0;
        for (const auto& p : nb) {
            if (has(p[0], p[1])) {
                s += valueAt(static_cast<int>(p[0]), static_cast<int>(p[1]));
                n++;
            }
        }
        return n > 0 ? s / n : v;
    });
}

void Analyzed2DRes::setDeglitchConds(double f, double r)
{
    deglitchF = f;
    deglitchR = r;
}

void Analyzed2DRes::selectProcImg(bool f)
{
    // Without a spike removal of these values there is no processed map to show.
    showProc = f && hasProc;
    genImg();
}

void Analyzed2DRes::deglitch2(double limit)
{
    if (!fits(data) || !fits(procData))
        return;
    AnalyzeCond c = cond;
    c.reset();
    double sum = 0.0;
    qint64 n = 0;
    do {
        if (c.first)
            qDebug() << "deglitch2" << c.cy;
        const double v = valueAt(c.cx, c.cy);
        if (onMap(c.cx, c.cy) && std::fabs(v) < limit) {
            sum += v;
            n++;
        }
    } while (c.next());
    const double m = n > 0 ? sum / static_cast<double>(n) : 0.0;

    rewriteBins([&](const AnalyzeCond& bin, double v) {
        if (!(std::fabs(v - m) > limit))
            return v;
        double s = 0.0;
        int k = 0;
        for (int dx = -1; dx <= 1; dx++) {
            for (int dy = -1; dy <= 1; dy++) {
                if (dx == 0 && dy == 0)
                    continue;
                const qint64 x = bin.cx + qint64(dx) * bin.stepX;
                const qint64 y = bin.cy + qint64(dy) * bin.stepY;
                // the mean of the neighbours inside the analysed area
                if (!inside(x, y) || !onMap(static_cast<int>(x), static_cast<int>(y)))
                    continue;
                const double w = valueAt(static_cast<int>(x), static_cast<int>(y));
                if (std::fabs(w - m) < limit) {
                    s += w;
                    k++;
                }
            }
        }
        // A spike with no usable neighbour keeps its value, as in deglitch().
        return k > 0 ? s / k : v;
    });
}

void Analyzed2DRes::rewriteBins(const std::function<double(const AnalyzeCond&, double)>& value)
{
    procMin = 1e300;
    procMax = -1e300;
    AnalyzeCond c = cond;
    c.reset();
    do {
        if (c.first)
            qDebug() << "deglitch 2" << c.cy;
        // A bin without result keeps its value and stays out of the range.
        const bool none = lacksResult(c.cx, c.cy);
        const double v = none ? valueAt(c.cx, c.cy) : value(c, valueAt(c.cx, c.cy));
        if (!none && std::isfinite(v)) {
            procMin = std::min(procMin, v);
            procMax = std::max(procMax, v);
        }
        c.fillBin(procData.data(), v);
    } while (c.next());
    hasProc = true;
    if (showProc)
        genImg();
}

void Analyzed2DRes::copyProc2Data()
{
    if (!fits(data) || !fits(procData))
        return;
    data = procData;
    min = procMin;
    max = procMax;
}

void Analyzed2DRes::refitOverBins()
{
    if (!fits(data))
        return;
    min = 1e300;
    max = -1e300;
    surfFit.clear();
    AnalyzeCond c = cond;
    c.reset();
    do {
        if (!onMap(c.cx, c.cy))
            continue;
        takePoint(c.cx, c.cy, data[static_cast<size_t>(c.cy) * cond.W + c.cx]);
    } while (c.next());
    surfFit.solve();
}

void Analyzed2DRes::setUpperLimit(bool use, double v)
{
    useLimit = use;
    limitVal = v;
    genImg();
}

void Analyzed2DRes::setFixedScale(bool f)
{
    fixedScale = f;
    genImg();
}

void Analyzed2DRes::setScale(double lo, double hi)
{
    scaleMin = lo;
    scaleMax = hi;
    genImg();
}

double Analyzed2DRes::binSum(int cx, int cy, int hx, int hy) const
{
    if (!fits(data))
        return 0.0;
    const qint64 xa = std::max<qint64>(0, cx - absOf(hx));
    const qint64 xb = std::min<qint64>(cond.W - 1, cx + absOf(hx));
    const qint64 ya = std::max<qint64>(0, cy - absOf(hy));
    const qint64 yb = std::min<qint64>(cond.H - 1, cy + absOf(hy));
    double s = 0.0;
    for (qint64 y = ya; y <= yb; y++) {
        const double* row = data.data() + y * cond.W;
        for (qint64 x = xa; x <= xb; x++)
            s += row[x];
    }
    return s;
}

void Analyzed2DRes::copyFrom(const Analyzed2DRes* other)
{
    // Copying into itself would free what it is about to copy.
    if (!other || other == this)
        return;
    no = other->no;
    rename(other->name);
    cond = other->cond;
    valid = other->valid;
    format = other->format;
    saveCount = other->saveCount;
    min = other->min;
    max = other->max;
    scaleMin = other->scaleMin;
    scaleMax = other->scaleMax;
    fixedScale = other->fixedScale;
    procMin = other->procMin;
    procMax = other->procMax;
    deglitchF = other->deglitchF;
    deglitchR = other->deglitchR;
    colors = other->colors;
    freeArrays();
    showProc = valid && other->showProc;
    hasProc = valid && other->hasProc;
    if (!valid)
        return;
    data = other->data;
    procData = other->procData;
    noResult = other->noResult;
    if (other->imageBuf) {
        const size_t bytes = static_cast<size_t>(rowStride(format, cond.W)) * cond.H;
        imageBuf.reset(new uchar[bytes]);
        std::memcpy(imageBuf.get(), other->imageBuf.get(), bytes);
        image.reset(newImage(format, imageBuf.get(), cond.W, cond.H));
    }
}

void Analyzed2DRes::writeTextHeader(QTextStream& out, bool csv, bool xyz) const
{
    out << "## 240301\n";
    out << "## Corvelline Analyzed 2D Result\n";
    out << "# Date    : "
        << QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz")) << "\n";
    out << "## Energy : \n";
    out << "# Format1 : " << (xyz ? "XYZ" : "VVV") << "\n";
    out << "# Format2 : " << (csv ? "CSV" : "SPACE-Separated") << "\n";
    // What the body holds, so a reader may shape the values by it.
    out << "# X-NUM " << qint64(cond.columns()) << "\n";
    out << "# Y-NUM " << qint64(cond.rows()) << "\n";
    out << "## End of Header ##\n";
}

QString Analyzed2DRes::saveAsText(const QString& fileName, bool, bool csv, bool xyz) const
{
    WholeFile f(QFileInfo(fileName).filePath());
    if (!f.open(true))
        return QString();
    writeTextHeader(f.text(), csv, xyz);
    f.text().flush();
    // Its own copy of the grid: writing a file must not move the map's scanner.
    AnalyzeCond c = cond;
    c.reset();
    // The values the picture and the TIFF export take: the processed ones when shown.
    const std::vector<double>& src = shownData();
    const char sep = csv ? ',' : ' ';
    // One buffer written in large pieces: a map holds a line per pixel.
    const qsizetype chunk = 1 << 16;
    QByteArray buf(chunk + 128, Qt::Uninitialized);
    char* const begin = buf.data();
    char* p = begin;
    bool rowStarted = false;
    do {
        const double v = sourceAt(src, c.cx, c.cy);
        if (xyz) {
            p = std::to_chars(p, p + 16, c.cx).ptr;
            *p++ = sep;
            p = std::to_chars(p, p + 16, c.cy).ptr;
            *p++ = sep;
            p = putNumber(p, v);
            *p++ = '\n';
        } else {
            if (c.first) {
                *p++ = '\n';
                rowStarted = false;
            }
            if (rowStarted)
                *p++ = sep;
            p = putNumber(p, v);
            rowStarted = true;
        }
        if (p - begin >= chunk) {
            f.write(begin, p - begin);
            p = begin;
        }
    } while (c.next());
    if (!xyz)
        *p++ = '\n';
    f.write(begin, p - begin);
    return f.commit() ? f.fileName() : QString();
}
