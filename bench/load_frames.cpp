// Loads a stack of page-cached 16-bit TIFF frames the way the program does: the
// loader on a thread of its own, every frame handed over by a queued signal to
// the GUI thread and taken into a frame set. Prints the load rate and the
// resident memory the stack adds against its raw samples.
// Usage: bench_load_frames [frames (252)] [side (512)]
#include "foundation/Globals.h"
#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>
#include <tiffio.h>
#include <unistd.h>

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

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    if (parts.size() < 2)
        return 0.0;
    return parts[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

// User and system time of the whole process: on a busy machine the wall clock
// also counts the time the loader waited for a core.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    initGlobals();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int n = argc > 1 ? qBound(1, atoi(argv[1]), 5000) : 252;
    const int side = argc > 2 ? qBound(16, atoi(argv[2]), 4096) : 512;

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QStringList files;
    for (int i = 0; i < n; i++) {
        files << dir.filePath(QStringLiteral("frame%1.tif").arg(i, 4, 10, QLatin1Char('0')));
        if (!writeFrame(files.last(), side, side, i, 0.25)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.last()));
            return 1;
        }
    }
    // Page-cached: read every file once before the clock runs.
    for (const QString& f : files) {
        QFile in(f);
        if (in.open(QIODevice::ReadOnly))
            while (!in.read(1 << 20).isEmpty()) {
            }
    }

    QThread thread;
    LoadTiff* loader = new LoadTiff;
    loader->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, loader, &QObject::deleteLater);
    thread.start(QThread::InheritPriority);

    FrameSets sets;
    QEventLoop loop;
    int taken = 0;
    QObject::connect(loader, &LoadTiff::loaded, &app,
                     [&](TiffData* frame, int fNo, int, quint64 generation) {
                         if (!FrameSets::accept(loader, frame, generation))
                             return;
                         sets.append(FrameSets::I1, frame, 8000.0 + fNo);
                         taken++;
                     });
    QObject::connect(loader, &LoadTiff::finishLoadFiles, &loop, &QEventLoop::quit);

    const double baseMB = residentMB();
    ErrPoints none;
    const LoadTiffQue req = sets.startLoad(FrameSets::I1, loader, true, files, false, 1, 0, 0,
                                           &none);
    const double cpu0 = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    QMetaObject::invokeMethod(loader, "loadTiffs", Qt::QueuedConnection, Q_ARG(LoadTiffQue, req));
    loop.exec();
    const double seconds = timer.nsecsElapsed() * 1e-9;
    const double cpu = cpuSeconds() - cpu0;
    const double loadedMB = residentMB();

    const double rawMB = double(n) * side * side * 2 / 1e6;
    const double rate = rawMB / seconds;
    const double addedMB = loadedMB - baseMB;
    const TiffData* first = sets.frames(FrameSets::I1).value(0);
    std::printf("frames: %d of %d x %d, 16-bit, %d taken, exposure %.1f ms\n", n, side, side,
                taken, first ? first->expTime : 0.0);
    std::printf("load: %.3f s, %.1f frames/s, %.1f MB/s of samples (target >= 500)\n", seconds,
                taken / seconds, rate);
    std::printf("cpu: %.3f s of both threads, %.1f MB/s per cpu second\n", cpu, rawMB / cpu);
    std::printf("resident: empty %.1f MB, loaded %.1f MB, stack adds %.1f MB for %.1f MB of "
                "samples = %.2f x (target <= 1.30)\n",
                baseMB, loadedMB, addedMB, rawMB, addedMB / rawMB);
    int shown = 0;
    for (const TiffData* f : sets.frames(FrameSets::I1))
        shown += f->dispImg ? 1 : 0;
    std::printf("frames holding a display image: %d\n", shown);

    thread.quit();
    thread.wait();
    return taken == n ? 0 : 1;
}
