#include "imagestack/TiffData.h"

#include "display/ColorBar.h"
#include "foundation/ColorScale.h"
#include "foundation/DeferredLog.h"
#include "foundation/Globals.h"
#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"
#include "imagestack/ErrPoints.h"

#include <QDebug>
#include <QFile>
#include <QtEndian>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

template <class T>
void rangeOf(const void* row, int n, double& mn, double& mx)
{
    const T* p = static_cast<const T*>(row);
    if constexpr (std::is_same_v<T, quint16>) {
        // With the top bit flipped, 16-bit samples order as signed ones, whose
        // minimum and maximum every x86-64 vector unit has: this runs on every
        // sample a loader reads.
        if (n < 1)
            return;
        qint16 lo = std::numeric_limits<qint16>::max(), hi = std::numeric_limits<qint16>::min();
        for (int i = 0; i < n; i++) {
            const qint16 v = qint16(p[i] ^ 0x8000u);
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        mn = std::min(mn, double(quint16(lo) ^ 0x8000u));
        mx = std::max(mx, double(quint16(hi) ^ 0x8000u));
    } else if constexpr (std::is_integral_v<T>) {
        // In the sample type, which the compiler vectorises.
        if (n < 1)
            return;
        T lo = p[0], hi = p[0];
        for (int i = 1; i < n; i++) {
            lo = p[i] < lo ? p[i] : lo;
            hi = p[i] > hi ? p[i] : hi;
        }
        mn = std::min(mn, double(lo));
        mx = std::max(mx, double(hi));
    } else {
        for (int i = 0; i < n; i++) {
            double v = p[i];
            if (v > mx)
                mx = v;
            if (v < mn)
                mn = v;
        }
    }
}

// x outer, y inner: float sums depend on the order, and this is the defined one.
template <class T>
double sumRect(const QList<void*>& rows, qint64 c0, qint64 c1, qint64 r0, qint64 r1)
{
    double s = 0.0;
    for (qint64 c = c0; c <= c1; c++)
        for (qint64 r = r0; r <= r1; r++)
            s += static_cast<const T*>(rows[r])[c];
    return s;
}

// Double to an unsigned sample: truncation toward zero, saturating, NaN as 0.
template <class T>
T toSample(double v, double top)
{
    if (!(v > 0.0))
        return 0;
    if (v >= top)
        return T(top);
    return T(v);
}

std::atomic<TiffData::RowReadHook> rowReadHook{nullptr};

void tellRowRead(const QString& name, int rowsRead)
{
    if (const TiffData::RowReadHook hook = rowReadHook.load(std::memory_order_acquire))
        hook(name, rowsRead);
}

// Fresh memory is given its pages in one call rather than one fault per page
// as the rows are written: faults cost a loader more than reading the file.
// The pages around the block are the heap's own, so touching them harms nothing.
void populate([[maybe_unused]] void* block, [[maybe_unused]] size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t start = uintptr_t(block) & ~(page - 1);
    const uintptr_t end = uintptr_t(block) + bytes;
    // An older kernel refuses it, and the rows fault their pages in as before.
    madvise(reinterpret_cast<void*>(start), size_t(end - start), MADV_POPULATE_WRITE);
#endif
}

// libtiff's own messages of a read whose log is kept are kept with it, and
// given to libtiff's handlers when the log is written.
int keepTiffMessage(bool error, void* into, const char* module, const char* fmt, va_list ap)
{
    va_list size;
    va_copy(size, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, size);
    va_end(size);
    QByteArray text(qMax(0, n), Qt::Uninitialized);
    if (n > 0)
        std::vsnprintf(text.data(), size_t(n) + 1, fmt, ap);
    const bool named = module != nullptr;
    const QByteArray name = named ? QByteArray(module) : QByteArray();
    static_cast<deferredlog::Entries*>(into)->add([error, named, name, text] {
        if (error)
            TIFFErrorExt(nullptr, named ? name.constData() : nullptr, "%s", text.constData());
        else
            TIFFWarningExt(nullptr, named ? name.constData() : nullptr, "%s", text.constData());
    });
    return 1;
}

int keepTiffError(TIFF*, void* into, const char* module, const char* fmt, va_list ap)
{
    return keepTiffMessage(true, into, module, fmt, ap);
}

int keepTiffWarning(TIFF*, void* into, const char* module, const char* fmt, va_list ap)
{
    return keepTiffMessage(false, into, module, fmt, ap);
}

TIFF* openTiff(const QByteArray& path, const char* mode)
{
    deferredlog::Entries* into = deferredlog::collecting();
    if (!into)
        return TIFFOpen(path.constData(), mode);
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepTiffError, into);
    TIFFOpenOptionsSetWarningHandlerExtR(options, keepTiffWarning, into);
    TIFF* tif = TIFFOpenExt(path.constData(), mode, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// Size and modification time to the nanosecond; all -1 when the file cannot be looked at.
struct FileStamp {
    qint64 size = -1;
    qint64 sec = -1;
    qint64 nsec = -1;
    bool operator!=(const FileStamp& o) const { return size != o.size || sec != o.sec || nsec != o.nsec; }
};

FileStamp stampOf(const QString& name)
{
    struct stat st;
    if (::stat(QFile::encodeName(name).constData(), &st) != 0)
        return FileStamp();
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
}

quint16 le16(const QByteArray& b, int at)
{
    return quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8));
}

// libtiff hands the EXIF rational back as a float or a double depending on its
// version; a float is widened through its shortest decimal form so 1/10 s stays 100 ms.
bool exifExposureSeconds(TIFF* tif, double& seconds)
{
    const TIFFField* field = TIFFFieldWithTag(tif, EXIFTAG_EXPOSURETIME);
    if (!field)
        return false;
    switch (TIFFFieldSetGetSize(field)) {
    case 4: {
        float f = 0.0f;
        if (!TIFFGetField(tif, EXIFTAG_EXPOSURETIME, &f))
            return false;
        char text[32];
        auto res = std::to_chars(text, text + sizeof(text) - 1, f);
        if (res.ec != std::errc())
            return false;
        *res.ptr = '\0';
        seconds = std::strtod(text, nullptr);
        return true;
    }
    case 8: {
        double d = 0.0;
        if (!TIFFGetField(tif, EXIFTAG_EXPOSURETIME, &d))
            return false;
        seconds = d;
        return true;
    }
    default:
        return false;
    }
}

// Number and unit of an "IM" exposure time, in ms; false keeps the default.
bool imgExposureMs(const QString& text, double& ms)
{
    const QStringList items = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (items.isEmpty())
        return false;
    bool ok = false;
    double t = items[0].toDouble(&ok);
    if (!ok || !std::isfinite(t))
        return false;
    const QString unit = items.size() > 1 ? items[1] : QString();
    if (unit.isEmpty() || unit == QLatin1String("s"))
        t *= 1000.0;
    else if (unit == QLatin1String("us"))
        t *= 0.001;
    ms = t;
    return true;
}

// First open of a header reader; a failure names the file and the error code.
bool openLogged(QFile& f, QIODevice::OpenMode mode)
{
    if (f.open(mode))
        return true;
    debugLine().noquote() << "Can not open" << f.fileName() << "[" << int(f.error()) << "]";
    return false;
}

} // namespace

TiffData::TiffData()
    : errPs(&globalErrPoints), min(DBL_MAX), max(-DBL_MAX)
{
}

TiffData::~TiffData()
{
    freeRows();
    freeDispImage();
}

void TiffData::freeRows()
{
    if (rowBlock) {
        std::free(rowBlock);
        rowBlock = nullptr;
    } else {
        for (void* r : rows)
            std::free(r);
    }
    rows.clear();
}

namespace {
// The display buffer of the frame shown before, for the frame shown next: a
// load shows frame after frame of one size, and the page faults of fresh memory
// hold up the threads reading the load. Never freed, so still reachable at exit.
struct SpareDisplay {
    std::mutex lock;
    uchar* buf = nullptr;
    qint64 bytes = 0;
};

SpareDisplay& spareDisplay()
{
    static SpareDisplay* spare = new SpareDisplay;
    return *spare;
}

void keepSpareDisplay(uchar* buf, qint64 bytes)
{
    SpareDisplay& s = spareDisplay();
    std::lock_guard<std::mutex> l(s.lock);
    delete[] s.buf;
    s.buf = buf;
    s.bytes = bytes;
}

// Zeroed, as a new buffer is; null when the spare has another size.
uchar* takeSpareDisplay(qint64 bytes)
{
    SpareDisplay& s = spareDisplay();
    uchar* buf = nullptr;
    {
        std::lock_guard<std::mutex> l(s.lock);
        if (!s.buf || s.bytes != bytes)
            return nullptr;
        buf = std::exchange(s.buf, nullptr);
    }
    std::memset(buf, 0, size_t(bytes));
    return buf;
}
} // namespace

void TiffData::freeDispImage()
{
    const qint64 bytes = dispImg ? dispImg->sizeInBytes() : 0;
    delete dispImg;
    dispImg = nullptr;
    if (dispBuf && bytes > 0)
        keepSpareDisplay(dispBuf, bytes);
    else
        delete[] dispBuf;
    dispBuf = nullptr;
}

void TiffData::resetRange()
{
    min = DBL_MAX;
    max = -DBL_MAX;
}

void TiffData::takeRange(const void* row)
{
    switch (srcType) {
    case SrcTiff:
    case SrcImg16:
        rangeOf<quint16>(row, width, min, max);
        break;
    case SrcImg32:
        rangeOf<quint32>(row, width, min, max);
        break;
    case SrcCttr:
        rangeOf<float>(row, width, min, max);
        break;
    default:
        break;
    }
}

bool TiffData::load(const QString& name, ErrPoints* list, bool programErrPointsInUse)
{
    if (list)
        errPs = list;
    repairTiff = programErrPointsInUse;
    // A FIFO would block the loader for ever.
    if (refuseIrregular(name))
        return false;
    // A detector may write the frame again under its name while it is read;
    // at the same size only the modification time tells.
    const FileStamp before = stampOf(name);
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        debugLine().noquote() << "Can not open (1)" << name;
        return false;
    }
    const QByteArray head = f.read(15);
    f.close();
    if (head.size() < 15) {
        debugLine().noquote() << "Error on reading file (1)" << name;
        return false;
    }
    // A frame is loaded once; should it be loaded again, the old samples go first.
    freeRows();
    freeDispImage();
    srcType = SrcNone;
    bool read = false;
    if (head.startsWith("II") || head.startsWith("MM")) {
        read = readTiff(name);
    } else if (head.startsWith("IM")) {
        read = readImg(name);
    } else if (QString::fromUtf8(head).left(11) == QLatin1String("#CTTR-CTImg")) {
        read = readCttr(name);
    } else {
        debugLine().noquote() << "Not an image file:" << name;
        return false;
    }
    if (read && stampOf(name) != before) {
        static const char* const kinds[] = {"TIFF", "IM", "IM", "CTTR"};
        debugLine().noquote() << kinds[srcType] << "file refused: changed while it was read" << name;
        freeRows();
        srcType = SrcNone;
        return false;
    }
    return read;
}

QString TiffData::refusalIn(deferredlog::Entries& log, const QString& fileName)
{
    const QString line = log.takeLastLine();
    return line.isEmpty() ? QStringLiteral("Can not read %1").arg(fileName) : line;
}

void TiffData::setRowReadHook(RowReadHook hook)
{
    rowReadHook.store(hook, std::memory_order_release);
}

bool TiffData::readTiff(const QString& name)
{
    // Not mapped: a detector that rewrites the frame in place cuts it first, and
    // a mapped page past the new end kills the process; a plain read comes back short.
    TIFF* tif = openTiff(QFile::encodeName(name), "rm");
    if (!tif) {
        debugLine().noquote() << "TIFF file refused: libtiff cannot open it" << name;
        return false;
    }
    fileName = name;
    resetRange();

    auto refuse = [&](const QString& why) {
        debugLine().noquote() << "TIFF file refused:" << why << name;
        TIFFClose(tif);
        freeRows();
        srcType = SrcNone;
        return false;
    };

    expTime = 100.0;
    const tdir_t imageDir = TIFFCurrentDirectory(tif);
    toff_t exifOffset = 0;
    if (TIFFGetField(tif, TIFFTAG_EXIFIFD, &exifOffset)) {
        double seconds = 0.0;
        if (TIFFReadEXIFDirectory(tif, exifOffset) && exifExposureSeconds(tif, seconds)
            && std::isfinite(seconds))
            expTime = seconds * 1000.0;
        if (!TIFFSetDirectory(tif, imageDir))
            return refuse(QStringLiteral("image directory lost after the EXIF data"));
    }

    uint32_t w = 0, h = 0;
    uint16_t bits = 0, spp = 0, format = SAMPLEFORMAT_UINT;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    // A few kB of compressed strips can claim gigabytes of samples.
    if (w < 1 || h < 1 || w > uint32_t(maxSide) || h > uint32_t(maxSide)
        || qint64(w) * h > maxFramePixels)
        return refuse(QStringLiteral("size %1 x %2").arg(w).arg(h));
    if (bits != 16)
        return refuse(QStringLiteral("%1 bits per sample").arg(bits));
    if (spp != 1)
        return refuse(QStringLiteral("%1 samples per pixel").arg(spp));
    // Signed samples read as unsigned would turn -1234 into 64302.
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID)
        return refuse(QStringLiteral("sample format %1").arg(format));
    if (TIFFIsTiled(tif))
        return refuse(QStringLiteral("tiled image"));
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    if (lineSize < tmsize_t(2) * w || lineSize > tmsize_t(64) * maxSide)
        return refuse(QStringLiteral("scanline of %1 bytes").arg(qint64(lineSize)));

    width = int(w);
    height = int(h);
    scanlineSize = int(lineSize);
    srcType = SrcTiff;
    const size_t rowBytes = size_t(width) * sizeof(quint16);
    // A scanline of just the row's samples is read into the row itself; one
    // with more goes through a line buffer.
    const bool direct = size_t(lineSize) == rowBytes;
    void* line = direct ? nullptr : _TIFFmalloc(lineSize);
    // One block for all rows: a loader thread that asks for every row on its
    // own spends most of its time growing its heap.
    rowBlock = direct || line ? std::malloc(rowBytes * size_t(height)) : nullptr;
    if (!rowBlock) {
        _TIFFfree(line);
        return refuse(QStringLiteral("no memory for %1 rows").arg(height));
    }
    populate(rowBlock, rowBytes * size_t(height));
    rows.reserve(height);
    for (int r = 0; r < height; r++) {
        void* row = static_cast<char*>(rowBlock) + rowBytes * size_t(r);
        if (TIFFReadScanline(tif, direct ? row : line, uint32_t(r), 0) < 0) {
            _TIFFfree(line);
            return refuse(QStringLiteral("error on reading row %1").arg(r));
        }
        if (!direct)
            std::memcpy(row, line, rowBytes);
        takeRange(row);
        rows.append(row);
        tellRowRead(name, r + 1);
    }
    _TIFFfree(line);
    pages = qMax(1, int(TIFFNumberOfDirectories(tif)));
    TIFFClose(tif);
    if (repairTiff)
        applyErrPoints();
    return true;
}

qint64 TiffData::readImgHeader(const QString& name)
{
    width = 0;
    height = 0;
    QFile f(name);
    if (!openLogged(f, QIODevice::ReadOnly))
        return 0;
    const QByteArray h = f.read(40);
    if (h.size() < 10) {
        debugLine().noquote() << "Error on reading (4)" << name;
        return 0;
    }
    const int commentLength = le16(h, 2);
    const int w = le16(h, 4);
    const int hh = le16(h, 6);
    hdrX = le16(h, 8);
    hdrY = h.size() >= 12 ? le16(h, 10) : 0;
    f.close();
    if (w < 1 || hh < 1 || qint64(w) * hh > maxFramePixels) {
        debugLine().noquote() << "IM file refused: size" << w << "x" << hh << name;
        return 0;
    }
    width = w;
    height = hh;

    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        debugLine().noquote() << "Can not open" << name;
        return 0;
    }
    QByteArray comment;
    if (f.seek(64))
        comment = f.read(commentLength);
    f.close();

    bool ok = false;
    const int bpp = headerValue(comment, QStringLiteral("BytesPerPixel="), ',', QStringLiteral("2"))
                        .toInt(&ok);
    bytesPerPixel = ok && bpp >= 0 && bpp <= 0xffff ? quint16(bpp) : 0;

    double ms = 0.0;
    if (imgExposureMs(headerValue(comment, QStringLiteral("ExposureTime="), ',',
                                  QStringLiteral("0.1")),
                      ms))
        expTime = ms;
    return 64 + commentLength;
}

bool TiffData::readImg(const QString& name)
{
    const qint64 offset = readImgHeader(name);
    if (offset == 0)
        return false;
    fileName = name;
    resetRange();
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        debugLine().noquote() << "Can not open (2)" << name;
        return false;
    }
    f.seek(offset);
    const bool wide = bytesPerPixel == 4;
    const qint64 rowBytes = qint64(width) * (wide ? 4 : 2);
    // Checked before any row is allocated.
    const qint64 held = qMax<qint64>(0, f.size() - offset);
    if (held < rowBytes * height) {
        debugLine().noquote() << QStringLiteral("IM file refused: %1 bytes of samples, the file holds %2")
                                  .arg(rowBytes * height)
                                  .arg(held)
                           << name;
        return false;
    }
    srcType = wide ? SrcImg32 : SrcImg16;
    for (int r = 0; r < height; r++) {
        void* row = std::malloc(size_t(rowBytes));
        if (!row || f.read(static_cast<char*>(row), rowBytes) != rowBytes) {
            debugLine().noquote() << "invalid file size. expected (h,w) = " << height << width;
            debugLine().noquote() << (wide ? "Error on reading (2)" : "Error on reading (3)") << name;
            std::free(row);
            freeRows();
            srcType = SrcNone;
            return false;
        }
        if (wide)
            qFromLittleEndian<quint32>(row, width, row);
        else
            qFromLittleEndian<quint16>(row, width, row);
        takeRange(row);
        rows.append(row);
        tellRowRead(name, r + 1);
    }
    f.close();
    if (errPs && errPs->use)
        applyErrPoints();
    return true;
}

int TiffData::readCttrHeader(const QString& name)
{
    width = 0;
    height = 0;
    LineReader in;
    if (!in.open(name)) {
        if (!in.refused())
            debugLine().noquote() << "Can not open" << name << "[" << in.openError() << "]";
        return -1;
    }
    static const char* const keys[4] = {"RANGE_X0", "RANGE_X1", "RANGE_Y0", "RANGE_Y1"};
    qint64 range[4] = {0, 0, 0, 0};
    bool badNumber = false;
    int lines = 0;
    QString line, first, key, sep, val;
    while (in.readLine(line)) {
        QString rest = nextItem(line, first);
        if (!first.startsWith(QLatin1Char('#')))
            break;
        rest = nextItem(rest, key);
        rest = nextItem(rest, sep);
        nextItem(rest, val);
        debugLine() << "ksv" << key << sep << val;
        const QString upper = key.toUpper();
        for (int i = 0; i < 4; i++) {
            if (upper != QLatin1String(keys[i]))
                continue;
            const double d = val.toDouble();
            if (std::isfinite(d) && std::fabs(d) < 2147483648.0) {
                range[i] = qint64(d);
            } else {
                range[i] = 0;
                badNumber = true;
            }
        }
        lines++;
    }
    if (in.refused())
        return -1;
    const qint64 w = range[1] - range[0];
    const qint64 h = range[3] - range[2];
    debugLine() << "rrr" << range[0] << range[1] << range[2] << range[3] << w << h;
    if (badNumber) {
        debugLine().noquote() << "CTTR file refused: range beyond the int range" << name;
        return -1;
    }
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide || w * h > maxTextPixels) {
        debugLine().noquote() << "CTTR file refused: size" << w << "x" << h << name;
        return -1;
    }
    // Every pixel has a line of its own: at least its line end.
    if (in.size() < w * h) {
        debugLine().noquote() << "CTTR file refused:" << w * h << "pixel lines cannot fit in"
                           << in.size() << "bytes" << name;
        return -1;
    }
    width = int(w);
    height = int(h);
    return lines;
}

bool TiffData::readCttr(const QString& name)
{
    const int headerLines = readCttrHeader(name);
    if (headerLines < 0)
        return false;
    fileName = name;
    resetRange();
    LineReader in;
    if (!in.open(name)) {
        debugLine().noquote() << "Can not open (2)" << name;
        return false;
    }
    QString line, a, b, c;
    for (int i = 0; i < headerLines; i++)
        in.readLine(line);
    auto refuse = [&](const QString& why) {
        debugLine().noquote() << "CTTR file refused:" << why << name;
        freeRows();
        srcType = SrcNone;
        return false;
    };
    srcType = SrcCttr;
    for (int r = 0; r < height; r++) {
        float* row = static_cast<float*>(std::malloc(size_t(width) * sizeof(float)));
        if (!row)
            return refuse(QStringLiteral("no memory"));
        for (int x = 0; x < width; x++) {
            // A file cut short would leave zeros that look like data.
            if (!in.readLine(line)) {
                std::free(row);
                return refuse(QStringLiteral("pixel data end at line %1 of %2")
                                  .arg(qint64(r) * width + x + 1)
                                  .arg(qint64(width) * height));
            }
            QString rest = nextItem(line, a);
            rest = nextItem(rest, b);
            nextItem(rest, c);
            double v = c.toDouble() * 500.0;
            if (!(v > 0.0)) // negative, and anything that is no number
                v = 0.0;
            else if (v > FLT_MAX)
                v = FLT_MAX;
            row[x] = float(v);
        }
        takeRange(row);
        rows.append(row);
        tellRowRead(name, r + 1);
    }
    return true;
}

double TiffData::sample(int c, int r) const
{
    const void* row = rows[r];
    switch (srcType) {
    case SrcTiff:
    case SrcImg16:
        return static_cast<const quint16*>(row)[c];
    case SrcImg32:
        return static_cast<const quint32*>(row)[c];
    case SrcCttr:
        return static_cast<const float*>(row)[c];
    default:
        return 0.0;
    }
}

void TiffData::setSample(int c, int r, double v)
{
    void* row = rows[r];
    switch (srcType) {
    case SrcTiff:
    case SrcImg16:
        static_cast<quint16*>(row)[c] = toSample<quint16>(v, 65535.0);
        break;
    case SrcImg32:
        static_cast<quint32*>(row)[c] = toSample<quint32>(v, 4294967295.0);
        break;
    case SrcCttr:
        static_cast<float*>(row)[c] = std::isnan(v) ? 0.0f : float(qBound(-double(FLT_MAX), v, double(FLT_MAX)));
        break;
    default:
        break;
    }
}

double TiffData::value(int x, int y) const
{
    const qint64 c = qint64(x) - x0;
    const qint64 r = qint64(y) - y0;
    if (srcType == SrcNone || c < 0 || c >= width || r < 0 || r >= rows.size())
        return 0.0;
    return sample(int(c), int(r));
}

double TiffData::ownValue(int c, int r) const
{
    if (srcType == SrcNone || c < 0 || c >= width || r < 0 || r >= rows.size())
        return 0.0;
    return sample(c, r);
}

void TiffData::setPixel(int x, int y, double v)
{
    const qint64 c = qint64(x) - x0;
    const qint64 r = qint64(y) - y0;
    if (srcType == SrcNone || c < 0 || c >= width || r < 0 || r >= rows.size())
        return;
    setSample(int(c), int(r), v);
}

double TiffData::sumFrameRect(qint64 c0, qint64 c1, qint64 r0, qint64 r1) const
{
    // Only the part inside the frame adds anything.
    c0 = qMax<qint64>(c0, 0);
    r0 = qMax<qint64>(r0, 0);
    c1 = qMin<qint64>(c1, qint64(width) - 1);
    r1 = qMin<qint64>(r1, qint64(rows.size()) - 1);
    if (c0 > c1 || r0 > r1)
        return 0.0;
    switch (srcType) {
    case SrcTiff:
    case SrcImg16:
        return sumRect<quint16>(rows, c0, c1, r0, r1);
    case SrcImg32:
        return sumRect<quint32>(rows, c0, c1, r0, r1);
    case SrcCttr:
        return sumRect<float>(rows, c0, c1, r0, r1);
    default:
        return 0.0;
    }
}

double TiffData::areaSum(int x, int y, int hw, int hh) const
{
    const qint64 ahw = qAbs(qint64(hw));
    const qint64 ahh = qAbs(qint64(hh));
    const qint64 c = qint64(x) - x0;
    const qint64 r = qint64(y) - y0;
    return sumFrameRect(c - ahw, c + ahw, r - ahh, r + ahh);
}

double TiffData::heldSum(int x, int y, int hw, int hh, int imageW, int imageH, double& held) const
{
    const qint64 ahw = qAbs(qint64(hw));
    const qint64 ahh = qAbs(qint64(hh));
    // Image coordinates: the bin, cut to the image and to where the frame lies.
    const qint64 c0 = std::max<qint64>({qint64(x) - ahw, qint64(0), qint64(x0)});
    const qint64 c1 = std::min<qint64>({qint64(x) + ahw, qint64(imageW) - 1, qint64(x0) + width - 1});
    const qint64 r0 = std::max<qint64>({qint64(y) - ahh, qint64(0), qint64(y0)});
    const qint64 r1 = std::min<qint64>({qint64(y) + ahh, qint64(imageH) - 1, qint64(y0) + rows.size() - 1});
    held = 0.0;
    if (srcType == SrcNone || c0 > c1 || r0 > r1)
        return 0.0;
    held = double(c1 - c0 + 1) * double(r1 - r0 + 1);
    return sumFrameRect(c0 - x0, c1 - x0, r0 - y0, r1 - y0);
}

bool TiffData::rectSpan(const QRectF& rect, qint64& ix, qint64& iy, qint64& iw, qint64& ih)
{
    const double l = rect.x(), t = rect.y(), w = std::trunc(rect.width()), h = std::trunc(rect.height());
    if (!std::isfinite(l) || !std::isfinite(t) || !std::isfinite(w) || !std::isfinite(h))
        return false;
    // No pixels, no mean: a zero or negative count would give NaN or a sign flip.
    if (w < 0 || h < 0)
        return false;
    // Ends far past any frame are clamped, not refused: the callers clip to the frame.
    const double lim = 4.0e15;
    ix = qint64(std::clamp(std::trunc(l), -lim, lim));
    iy = qint64(std::clamp(std::trunc(t), -lim, lim));
    iw = qint64(std::clamp(std::trunc(l) + w, -lim, lim)) - ix;
    ih = qint64(std::clamp(std::trunc(t) + h, -lim, lim)) - iy;
    return true;
}

bool TiffData::rectOnFrame(const QRectF& rect, qint64 ox, qint64 oy, qint64& c0, qint64& c1, qint64& r0,
                           qint64& r1) const
{
    qint64 ix, iy, iw, ih;
    if (!rectSpan(rect, ix, iy, iw, ih))
        return false;
    c0 = qMax<qint64>(ix - ox, 0);
    r0 = qMax<qint64>(iy - oy, 0);
    c1 = qMin<qint64>(ix + iw - ox, qint64(width) - 1);
    r1 = qMin<qint64>(iy + ih - oy, qint64(rows.size()) - 1);
    return c0 <= c1 && r0 <= r1;
}

double TiffData::rectMean(const QRectF& rect) const
{
    // Pixels off the frame do not exist: they must not dilute the mean as zeros.
    qint64 c0, c1, r0, r1;
    if (!rectOnFrame(rect, x0, y0, c0, c1, r0, r1))
        return 0.0;
    return sumFrameRect(c0, c1, r0, r1) / (double(c1 - c0 + 1) * double(r1 - r0 + 1));
}

QRectF TiffData::rectOnFrame(const QRectF& rect) const
{
    qint64 c0, c1, r0, r1;
    if (!rectOnFrame(rect, x0, y0, c0, c1, r0, r1))
        return QRectF(0, 0, -1, -1);
    return QRectF(double(c0 + x0), double(r0 + y0), double(c1 - c0), double(r1 - r0));
}

bool TiffData::rectOnImage(const QRectF& rect) const
{
    qint64 c0, c1, r0, r1;
    return rectOnFrame(rect, 0, 0, c0, c1, r0, r1);
}

double TiffData::interpolatedAreaSum(const QList<TiffData*>& list, double e, int x, int y,
                                     int hw, int hh)
{
    auto sumOf = [&](const TiffData* f) { return f ? f->areaSum(x, y, hw, hh) : 0.0; };
    const qsizetype n = list.size();
    if (n == 0)
        return 1.0;
    if (n == 1)
        return sumOf(list[0]);
    qsizetype lo, hi;
    energyBracket(list, e, lo, hi);
    return interpolate(e, energyOf(list[lo]), sumOf(list[lo]), energyOf(list[hi]), sumOf(list[hi]));
}

double TiffData::energyOf(const TiffData* f)
{
    return f ? f->energy : 0.0;
}

void TiffData::energyBracket(const QList<TiffData*>& list, double e, qsizetype& lo, qsizetype& hi)
{
    energyBracket(list.size(), [&list](qsizetype i) { return energyOf(list[i]); }, e, lo, hi);
}

void TiffData::clearList(QList<TiffData*>& list)
{
    for (TiffData* f : list)
        delete f;
    list.clear();
}

void TiffData::applyErrPoints()
{
    if (!errPs)
        return;
    // Read only: the frames of a load are read on several threads at once.
    const ErrPoints& list = *errPs;
    for (const QPoint& p : list.points) {
        const qint64 c = qint64(p.x()) - hdrX;
        const qint64 r = qint64(p.y()) - hdrY;
        if (c < 0 || c >= width || r < 0 || r >= rows.size())
            continue;
        setSample(int(c), int(r), errPointFill(int(c), int(r)));
    }
}

double TiffData::errPointFill(int c, int r) const
{
    static const int dc[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    static const int dr[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    const bool skipListed = errPs && errPs->use;
    double sum = 0.0;
    int n = 0;
    for (int i = 0; i < 8; i++) {
        const qint64 nc = qint64(c) + dc[i];
        const qint64 nr = qint64(r) + dr[i];
        if (nc < 0 || nc >= width || nr < 0 || nr >= rows.size())
            continue;
        // The list holds sensor positions; the frame sits at (hdrX, hdrY) on the sensor.
        if (skipListed && errPs->contains(int(nc + hdrX), int(nr + hdrY)))
            continue;
        sum += sample(int(nc), int(nr));
        n++;
    }
    return n > 0 ? sum / n : 0.0;
}

QImage* TiffData::makeDispImage(const ColorScale& scale)
{
    freeDispImage();
    dispBuf = takeSpareDisplay(qint64(rowStride(dispFormat, width)) * height);
    if (!dispBuf)
        dispBuf = newImageBuffer(dispFormat, width, height);
    if (!dispBuf)
        return nullptr;
    dispImg = newImage(dispFormat, dispBuf, width, height);
    if (!dispImg) {
        freeDispImage();
        return nullptr;
    }
    const int bpp = ::bytesPerPixel(dispFormat);
    const int stride = rowStride(dispFormat, width);
    const double span = max - min;
    const bool flat = !(span > 0.0) || !std::isfinite(span);
    auto colorOf = [&](double v, uchar* p) {
        scale.putColor(flat ? 0.0 : (v - min) / span, p, dispFormat);
    };
    // A scale of another format writes nothing, and the image stays black.
    if ((srcType == SrcTiff || srcType == SrcImg16) && shadeByTable(colorOf, bpp, stride))
        return dispImg;
    for (int r = 0; r < height; r++) {
        uchar* p = dispBuf + qint64(r) * stride;
        for (int c = 0; c < width; c++, p += bpp)
            colorOf(value(c, r), p);
    }
    return dispImg;
}

template <class ColorOf>
bool TiffData::shadeByTable(const ColorOf& colorOf, int bpp, int stride)
{
    // An empty frame would leave the range at its start values: no table.
    if (width <= 0 || height <= 0 || rows.isEmpty())
        return false;
    // The values that occur, and 0 where the origin leaves no sample.
    quint16 lo = 0xffff, hi = 0;
    for (const void* row : rows) {
        double mn = DBL_MAX, mx = -DBL_MAX;
        rangeOf<quint16>(row, width, mn, mx);
        lo = std::min(lo, quint16(mn));
        hi = std::max(hi, quint16(mx));
    }
    if (x0 != 0 || y0 != 0 || rows.size() < height)
        lo = 0;
    // Not for a small frame of many values.
    if (hi - lo + 1 > qint64(width) * height)
        return false;
    // Each value is coloured once, by the same steps as a pixel of it would be.
    std::vector<uchar> table(size_t(hi - lo + 1) * size_t(bpp), 0);
    for (int v = lo; v <= hi; v++)
        colorOf(double(v), table.data() + size_t(v - lo) * size_t(bpp));
    for (int r = 0; r < height; r++) {
        uchar* p = dispBuf + qint64(r) * stride;
        const qint64 sr = qint64(r) - y0;
        const quint16* src =
            sr >= 0 && sr < rows.size() ? static_cast<const quint16*>(rows[sr]) : nullptr;
        // A grey row not shifted sideways, as a frame is shown while it loads:
        // one table byte per sample, with no test per pixel.
        if (src && x0 == 0 && bpp == 1) {
            for (int c = 0; c < width; c++)
                p[c] = table[size_t(src[c] - lo)];
            continue;
        }
        for (int c = 0; c < width; c++, p += bpp) {
            const qint64 sc = qint64(c) - x0;
            const int v = src && sc >= 0 && sc < width ? src[sc] : 0;
            const uchar* t = table.data() + size_t(v - lo) * size_t(bpp);
            for (int k = 0; k < bpp; k++)
                p[k] = t[k];
        }
    }
    return true;
}

void TiffData::updateCBar()
{
    if (!cBar)
        return;
    cBar->dataMin = min;
    cBar->dataMax = max;
    cBar->paintCBar();
}

void PagedFiles::note(const TiffData& frame)
{
    if (frame.pages < 2)
        return;
    if (first.isEmpty()) {
        first = frame.fileName;
        pages = frame.pages;
    } else {
        more++;
    }
}

void PagedFiles::flush()
{
    if (first.isEmpty())
        return;
    QString line =
        QStringLiteral("Only the first page of a TIFF file is read: %1 has %2 pages").arg(first).arg(pages);
    if (more > 0)
        line += QStringLiteral(", %1 more files of this load have several").arg(more);
    debugLine().noquote() << line;
    *this = PagedFiles();
}
