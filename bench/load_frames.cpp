// Writes N 16-bit 1024 x 1024 TIFF frames with an EXIF exposure time, loads them
// back with TiffData::load and prints the load rate and what a frame keeps.
#include "imagestack/TiffData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <tiffio.h>

#include <cstdio>
#include <vector>

namespace {

bool writeFrame(const QString& path, int w, int h, int seed, double exposure)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_EXIFIFD, uint64_t(0));
    std::vector<quint16> row(static_cast<size_t>(w));
    bool ok = true;
    for (int y = 0; y < h && ok; y++) {
        for (int x = 0; x < w; x++)
            row[size_t(x)] = quint16((x * 7 + y * 13 + seed * 101) & 0xffff);
        ok = TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) >= 0;
    }
    uint64_t exifOffset = 0;
    ok = ok && TIFFWriteDirectory(tif) && TIFFCreateEXIFDirectory(tif) == 0
        && TIFFSetField(tif, EXIFTAG_EXPOSURETIME, exposure)
        && TIFFWriteCustomDirectory(tif, &exifOffset) && TIFFSetDirectory(tif, 0)
        && TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset) && TIFFRewriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? qBound(1, atoi(argv[1]), 1000) : 20;
    const int w = 1024, h = 1024;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QStringList files;
    for (int i = 0; i < n; i++) {
        files << dir.filePath(QStringLiteral("frame%1.tif").arg(i, 4, 10, QLatin1Char('0')));
        if (!writeFrame(files.last(), w, h, i, 0.25)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.last()));
            return 1;
        }
    }

    QList<TiffData*> frames;
    QElapsedTimer timer;
    timer.start();
    for (const QString& f : files) {
        TiffData* frame = new TiffData;
        if (!frame->load(f, nullptr)) {
            delete frame;
            std::fprintf(stderr, "cannot load %s\n", qPrintable(f));
            TiffData::clearList(frames);
            return 1;
        }
        frames << frame;
    }
    const double seconds = timer.nsecsElapsed() * 1e-9;

    const double sampleBytes = double(w) * h * 2;
    const TiffData* first = frames.first();
    const double kept = double(first->rows.size()) * first->width * 2
        + double(first->rows.size()) * sizeof(void*) + sizeof(TiffData);
    std::printf("frames: %d of %d x %d, 16-bit, exposure %.1f ms\n", n, w, h, first->expTime);
    std::printf("load: %.3f s, %.1f frames/s, %.1f MB/s of samples\n", seconds, n / seconds,
                n * sampleBytes / seconds / 1e6);
    std::printf("kept per frame: %.0f bytes (samples %.0f, overhead %.0f)\n", kept, sampleBytes,
                kept - sampleBytes);
    TiffData::clearList(frames);
    return 0;
}
