#include "imagestack/TiffWriter.h"

#include "foundation/WholeFile.h"

#include <QBuffer>
#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {
// Largest sample count a fill buffer may take; bigger fields are no detector image.
const qint64 maxFillSamples = qint64(1) << 30;

// libtiff's file operations on the memory the file is built in.
QIODevice* dev(thandle_t h) { return static_cast<QIODevice*>(h); }
tmsize_t readProc(thandle_t h, void* to, tmsize_t n) { return dev(h)->read(static_cast<char*>(to), n); }
tmsize_t writeProc(thandle_t h, void* from, tmsize_t n) { return dev(h)->write(static_cast<const char*>(from), n); }
toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    const qint64 base = whence == SEEK_CUR ? dev(h)->pos() : whence == SEEK_END ? dev(h)->size() : 0;
    const qint64 to = base + qint64(off);
    if (to < 0 || !dev(h)->seek(to))
        return toff_t(-1);
    return toff_t(to);
}
int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return toff_t(dev(h)->size()); }
int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}
} // namespace

bool TiffWriter::write(const QString& fileName, int width, int height, const quint16* data)
{
    // An empty image makes a file no TIFF reader accepts: refuse it rather than report success.
    if (width < 1 || height < 1 || !data) {
        tellSaveFailure(fileName, QStringLiteral("no image to write"));
        return false;
    }
    // Encoded in memory, then saved whole: libtiff never meets a full disk half-way.
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadWrite);
    TIFF* tif = TIFFClientOpen(QFile::encodeName(fileName).constData(), "w", &buf, readProc, writeProc,
                               seekProc, closeProc, sizeProc, mapProc, unmapProc);
    if (!tif) {
        tellSaveFailure(fileName, QStringLiteral("libtiff could not start the file"));
        return false;
    }

    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width))
        && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height))
        && TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE)
        && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK)
        && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(width))
        && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1)
        && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16)
        && TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
        && TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);

    uint32_t rps = 0;
    if (ok && (!TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps) || rps < 1))
        ok = false;

    for (qint64 row = 0, strip = 0; ok && row < height; row += rps, strip++) {
        qint64 n = qMin<qint64>(rps, height - row);
        tmsize_t size = TIFFVStripSize(tif, uint32_t(n));
        if (size != n * width * qint64(sizeof(quint16))) {
            ok = false;
            break;
        }
        // Written in host byte order, so libtiff leaves the caller's samples untouched.
        void* from = const_cast<quint16*>(data + row * width);
        if (TIFFWriteEncodedStrip(tif, uint32_t(strip), from, size) < 0)
            ok = false;
    }
    // The directory goes out at the close.
    ok = TIFFFlush(tif) && ok;
    TIFFClose(tif);
    if (!ok) {
        tellSaveFailure(fileName, QStringLiteral("libtiff could not encode the image"));
        return false;
    }
    return saveWhole(fileName, bytes);
}

bool TiffWriter::writeFilled(const QString& fileName, int width, int height, quint16 value)
{
    if (width < 0 || height < 0)
        return false;
    qint64 n = qint64(width) * height;
    if (n > maxFillSamples)
        return false;
    std::unique_ptr<quint16[]> buf(new (std::nothrow) quint16[size_t(qMax<qint64>(n, 1))]);
    if (!buf)
        return false;
    std::fill(buf.get(), buf.get() + n, value);
    return write(fileName, width, height, buf.get());
}

bool TiffWriter::writeFlat(const QString& fileName, int width, int height)
{
    return writeFilled(fileName, width, height, 1);
}

bool TiffWriter::writeDark(const QString& fileName, int width, int height)
{
    return writeFilled(fileName, width, height, 0);
}
