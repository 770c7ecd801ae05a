#include "imagestack/TiffWriter.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {
// Largest sample count a fill buffer may take; bigger fields are no detector image.
const qint64 maxFillSamples = qint64(1) << 30;
}

bool TiffWriter::write(const QString& fileName, int width, int height, const quint16* data)
{
    // An empty image makes a file no TIFF reader accepts: refuse it rather than report success.
    if (width < 1 || height < 1 || !data)
        return false;

    TIFF* tif = TIFFOpen(QFile::encodeName(fileName).constData(), "w");
    if (!tif)
        return false;

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
    TIFFClose(tif);
    return ok;
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
