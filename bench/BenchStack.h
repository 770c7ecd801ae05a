#pragma once
// What the load benchmarks share: a stack of 16-bit TIFF frames written and
// page-cached before any clock runs, and the loader run alone.
#include "BenchProcess.h"
#include "foundation/Cfg.h"
#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QThread>
#include <QString>
#include <QStringList>

#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

// For a benchmark that shows the main window: no server to log in to, no data
// target to reach.
inline void noPeers()
{
    cfg.set(QStringLiteral("USE_STARS"), QStringLiteral("0"), QStringLiteral("0"), QString());
    cfg.set(QStringLiteral("USE_TCP"), QStringLiteral("0"), QStringLiteral("0"), QString());
}

// A w x h single-channel 16-bit TIFF opened for writing its rows; null when
// it cannot be opened.
inline TIFF* openFrame16(const QString& path, int w, int h)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return nullptr;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    return tif;
}

// A w x h frame with an EXIF exposure time, as the detectors write them.
inline bool writeFrame(const QString& path, int w, int h, int seed, double exposure)
{
    TIFF* tif = openFrame16(path, w, h);
    if (!tif)
        return false;
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

// n frames of side x side in dir, each read once so that the page cache holds
// them; empty when one cannot be written.
inline QStringList writeCachedStack(const QString& dir, int n, int side)
{
    QStringList files;
    for (int i = 0; i < n; i++) {
        files << dir + QStringLiteral("/frame%1.tif").arg(i, 4, 10, QLatin1Char('0'));
        if (!writeFrame(files.last(), side, side, i, 0.25)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.last()));
            return QStringList();
        }
    }
    for (const QString& f : files) {
        QFile in(f);
        if (in.open(QIODevice::ReadOnly))
            while (!in.read(1 << 20).isEmpty()) {
            }
    }
    return files;
}

// The stack the arguments ask for: frames (at least minFrames, 252 when not
// given) and side (512) from the first two, written into dir; empty when it
// cannot be written.
inline QStringList stackOfArgs(int argc, char** argv, int minFrames, const QString& dir, int& n,
                               int& side)
{
    n = argc > 1 ? qBound(minFrames, atoi(argv[1]), 5000) : 252;
    side = argc > 2 ? qBound(16, atoi(argv[2]), 4096) : 512;
    return writeCachedStack(dir, n, side);
}

struct LoaderRun {
    double seconds = 0.0;
    double cpu = 0.0;       // of every thread of the process
    int taken = 0;
    double expTime = 0.0;   // of the first frame
    int withImage = 0;      // frames that hold a display image
    double baseMB = 0.0;    // resident before the load
    double loadedMB = 0.0;  // resident with the stack loaded
    double peakMB = 0.0;    // the most resident during the load
};

// The loader alone: the loader on a thread of its own, every frame handed over
// by a queued signal to this thread and taken into a frame set, as the program
// does without its window. The frames are deleted before the result returns.
inline LoaderRun runLoader(const QStringList& files)
{
    QThread thread;
    LoadTiff* loader = new LoadTiff;
    loader->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, loader, &QObject::deleteLater);
    thread.start(QThread::InheritPriority);

    LoaderRun run;
    {
        FrameSets sets;
        QEventLoop loop;
        QObject::connect(loader, &LoadTiff::loaded, &loop,
                         [&](TiffData* frame, int fNo, int, quint64 generation) {
                             if (!FrameSets::accept(loader, frame, generation))
                                 return;
                             sets.append(FrameSets::I1, frame, 8000.0 + fNo);
                             run.taken++;
                         });
        QObject::connect(loader, &LoadTiff::finishLoadFiles, &loop, &QEventLoop::quit);
        ErrPoints none;
        resetPeak();
        run.baseMB = residentMB();
        const LoadTiffQue req = sets.startLoad(FrameSets::I1, loader, true, files, false, 1, 0, 0,
                                               &none);
        const double cpu0 = cpuSeconds();
        QElapsedTimer timer;
        timer.start();
        QMetaObject::invokeMethod(loader, "loadTiffs", Qt::QueuedConnection,
                                  Q_ARG(LoadTiffQue, req));
        loop.exec();
        run.seconds = double(timer.nsecsElapsed()) * 1e-9;
        run.cpu = cpuSeconds() - cpu0;
        run.loadedMB = residentMB();
        run.peakMB = peakResidentMB();
        const QList<TiffData*>& frames = sets.frames(FrameSets::I1);
        run.expTime = frames.isEmpty() ? 0.0 : frames.first()->expTime;
        for (const TiffData* f : frames)
            run.withImage += f->dispImg ? 1 : 0;
    }
    thread.quit();
    thread.wait();
    return run;
}

} // namespace bench
