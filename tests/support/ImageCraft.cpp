#include "support/ImageCraft.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace craft {

namespace {

void putLe16(QByteArray& b, qint64 at, quint32 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

void appendLe16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

void appendLe32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; i++)
        b.append(char((v >> (8 * i)) & 0xff));
}

// One 12-byte directory entry; a single LONG or SHORT value sits in the entry itself.
void appendEntry(QByteArray& b, quint16 tag, quint16 type, quint32 count, quint32 value)
{
    appendLe16(b, tag);
    appendLe16(b, type);
    appendLe32(b, count);
    if (type == 3 && count == 1) {
        appendLe16(b, value);
        appendLe16(b, 0);
    } else {
        appendLe32(b, value);
    }
}

bool writeSamples(TIFF* tif, int width, int height, const QVector<quint16>& samples,
                  const TiffOptions& o)
{
    const int bytesPerSample = o.bits / 8;
    if (o.tiled) {
        const int tw = 16, th = 16;
        std::vector<unsigned char> tile(size_t(tw) * th * o.samples * bytesPerSample, 0);
        for (int ty = 0; ty < height; ty += th)
            for (int tx = 0; tx < width; tx += tw) {
                std::fill(tile.begin(), tile.end(), 0);
                for (int y = ty; y < qMin(ty + th, height); y++)
                    for (int x = tx; x < qMin(tx + tw, width); x++)
                        for (int s = 0; s < o.samples; s++) {
                            size_t i = (size_t(y - ty) * tw + (x - tx)) * o.samples + s;
                            quint16 v = samples[y * width + x];
                            if (bytesPerSample == 1)
                                tile[i] = (unsigned char)(v & 0xff);
                            else
                                std::memcpy(&tile[2 * i], &v, 2);
                        }
                if (TIFFWriteTile(tif, tile.data(), uint32_t(tx), uint32_t(ty), 0, 0) < 0)
                    return false;
            }
        return true;
    }
    std::vector<unsigned char> line(size_t(width) * o.samples * bytesPerSample, 0);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++)
            for (int s = 0; s < o.samples; s++) {
                size_t i = size_t(x) * o.samples + s;
                quint16 v = samples[y * width + x];
                if (bytesPerSample == 1)
                    line[i] = (unsigned char)(v & 0xff);
                else
                    std::memcpy(&line[2 * i], &v, 2);
            }
        if (TIFFWriteScanline(tif, line.data(), uint32_t(y), 0) < 0)
            return false;
    }
    return true;
}

void setTags(TIFF* tif, int width, int height, const TiffOptions& o)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, o.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, o.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, o.samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, o.lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (o.floats)
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    if (o.signedInts)
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_INT);
    if (o.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
    } else {
        uint32_t rps = o.rowsPerStrip > 0 ? uint32_t(o.rowsPerStrip) : TIFFDefaultStripSize(tif, 0);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
    }
}

} // namespace

bool writeTiff(const QString& path, int width, int height, const QVector<quint16>& samples,
               const TiffOptions& o)
{
    if (samples.size() < qint64(width) * height)
        return false;
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), o.bigEndian ? "wb" : "wl");
    if (!tif)
        return false;
    setTags(tif, width, height, o);
    if (o.exif)
        TIFFSetField(tif, TIFFTAG_EXIFIFD, uint64_t(0));

    bool ok = writeSamples(tif, width, height, samples, o) && TIFFWriteDirectory(tif);
    for (int p = 1; ok && p < o.pages && !o.exif; p++) {
        setTags(tif, width, height, o);
        ok = writeSamples(tif, width, height, samples, o) && TIFFWriteDirectory(tif);
    }
    if (ok && o.exif) {
        uint64_t exifOffset = 0;
        ok = TIFFCreateEXIFDirectory(tif) == 0;
        if (ok && o.exposure >= 0.0)
            ok = TIFFSetField(tif, EXIFTAG_EXPOSURETIME, o.exposure);
        else if (ok)
            ok = TIFFSetField(tif, EXIFTAG_FNUMBER, 2.8);
        ok = ok && TIFFWriteCustomDirectory(tif, &exifOffset);
        // Point the image directory at the EXIF one.
        ok = ok && TIFFSetDirectory(tif, 0) && TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset)
            && TIFFRewriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

qint64 rawTiffRowOffset(int width, int height, int row, bool exifPointer)
{
    const qint64 dirSize = 2 + (exifPointer ? 10 : 9) * 12 + 4;
    qint64 arrays = height > 1 ? 8 * qint64(height) : 0;
    return 8 + dirSize + arrays + qint64(row) * 2 * width;
}

bool writeRawTiff(const QString& path, int width, int height, const QVector<quint16>& samples,
                  const RawTiffOptions& o)
{
    const quint32 w = quint32(o.declaredWidth >= 0 ? o.declaredWidth : width);
    const quint32 h = quint32(o.declaredHeight >= 0 ? o.declaredHeight : height);
    const bool exif = o.exifOffset >= 0;
    QByteArray b("II");
    appendLe16(b, 42);
    appendLe32(b, 8);
    const quint32 dirSize = 2 + (exif ? 10 : 9) * 12 + 4;
    const quint32 offsetsAt = 8 + dirSize;
    const quint32 countsAt = offsetsAt + 4 * h;
    const quint32 dataAt = h > 1 ? countsAt + 4 * h : offsetsAt;
    appendLe16(b, exif ? 10 : 9);
    appendEntry(b, 256, 4, 1, w);
    appendEntry(b, 257, 4, 1, h);
    appendEntry(b, 258, 3, 1, 16);
    appendEntry(b, 259, 3, 1, 1);
    appendEntry(b, 262, 3, 1, 1);
    appendEntry(b, 273, 4, h, h > 1 ? offsetsAt : dataAt);
    appendEntry(b, 277, 3, 1, 1);
    appendEntry(b, 278, 4, 1, 1);
    appendEntry(b, 279, 4, h, h > 1 ? countsAt : 2 * w);
    if (exif)
        appendEntry(b, 34665, 4, 1, quint32(o.exifOffset));
    appendLe32(b, 0);
    if (h > 1) {
        for (quint32 r = 0; r < h; r++)
            appendLe32(b, dataAt + r * 2 * w);
        for (quint32 r = 0; r < h; r++)
            appendLe32(b, 2 * w);
    }
    for (int i = 0; i < samples.size(); i++)
        appendLe16(b, samples[i]);
    if (o.keepBytes >= 0 && o.keepBytes < b.size())
        b.truncate(o.keepBytes);
    return writeBytes(path, b);
}

bool writeIm(const QString& path, int width, int height, const QVector<quint32>& samples,
             const ImOptions& o)
{
    QByteArray b(64, '\0');
    b[0] = 'I';
    b[1] = 'M';
    putLe16(b, 2, quint32(o.comment.size()));
    putLe16(b, 4, quint32(o.declaredWidth >= 0 ? o.declaredWidth : width));
    putLe16(b, 6, quint32(o.declaredHeight >= 0 ? o.declaredHeight : height));
    putLe16(b, 8, quint32(o.hdrX));
    putLe16(b, 10, quint32(o.hdrY));
    b.append(o.comment);
    for (qint64 i = 0; i < qint64(width) * height && i < samples.size(); i++) {
        if (o.bytesPerPixel == 4)
            appendLe32(b, samples[i]);
        else
            appendLe16(b, samples[i]);
    }
    if (o.keepBytes >= 0 && o.keepBytes < b.size())
        b.truncate(o.keepBytes);
    return writeBytes(path, b);
}

QByteArray cttrText(int x0, int x1, int y0, int y1, const QVector<double>& values,
                    const QStringList& extraHeader, int pixelLines)
{
    QString t = QStringLiteral("#CTTR-CTImg version 1\n");
    t += QStringLiteral("# RANGE_X0 = %1\n# RANGE_X1 = %2\n").arg(x0).arg(x1);
    t += QStringLiteral("# range_y0 = %1\n# Range_Y1 = %2\n").arg(y0).arg(y1);
    for (const QString& l : extraHeader)
        t += l + QLatin1Char('\n');
    const qint64 w = qint64(x1) - x0;
    int n = pixelLines < 0 ? int(values.size()) : qMin<int>(pixelLines, int(values.size()));
    for (int i = 0; i < n; i++) {
        qint64 x = w > 0 ? i % w : 0;
        qint64 y = w > 0 ? i / w : 0;
        t += QStringLiteral("%1 %2 %3\n").arg(x + x0).arg(y + y0).arg(values[i], 0, 'g', 17);
    }
    return t.toUtf8();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

bool rewriteInPlace(const QString& path, const QByteArray& bytes)
{
    const QDateTime was = QFileInfo(path).lastModified();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return false;
    // Written out first: a write at close would stamp the file again.
    return f.flush() && f.setFileTime(was.addSecs(1), QFileDevice::FileModificationTime);
}

bool setModTime(const QString& path, qint64 sec, long nsec)
{
    const QByteArray name = QFile::encodeName(path);
    const timespec t[2] = {{0, UTIME_OMIT}, {time_t(sec), nsec}};
    struct stat st;
    return ::utimensat(AT_FDCWD, name.constData(), t, 0) == 0 && ::stat(name.constData(), &st) == 0
           && st.st_mtim.tv_sec == sec && st.st_mtim.tv_nsec == nsec;
}

QVector<quint16> ramp16(int width, int height, int base, int stepY)
{
    QVector<quint16> v(qMax(0, width * height));
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            v[y * width + x] = quint16((base + x + stepY * y) & 0xffff);
    return v;
}

} // namespace craft
