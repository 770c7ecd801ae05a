// Writes a stack of N 16-bit 1024 x 1024 TIFF frames, loads it through the
// loader thread as the I1 and as the I0 stack and prints the load rate; then
// builds bin spectra (1 x 1 and 5 x 5, I0 on) and prints the time per bin,
// also with every I1 frame shifted.
#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"
#include "imagestack/TiffWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <vector>

namespace {

const int W = 1024;
const int H = 1024;

// Loads the files as one stack; returns the seconds from the request to the finish.
double loadStack(FrameSets& sets, FrameSets::Stack s, LoadTiff* loader, const QStringList& files,
                 double energyStep)
{
    QEventLoop loop;
    QObject guard;
    QObject::connect(loader, &LoadTiff::loaded, &guard, [&](TiffData* d, int fNo, int, quint64 g) {
        if (FrameSets::accept(loader, d, g))
            sets.append(s, d, 8000.0 + energyStep * fNo);
    });
    QObject::connect(loader, &LoadTiff::finishLoadFiles, &guard, [&] { loop.quit(); });
    const LoadTiffQue req = sets.startLoad(s, loader, true, files, false, 1, 0, 0, nullptr);
    QElapsedTimer t;
    t.start();
    QMetaObject::invokeMethod(loader, [loader, req] { loader->loadTiffs(req); }, Qt::QueuedConnection);
    loop.exec();
    return t.nsecsElapsed() * 1e-9;
}

// Bins in the analysis walk's raster order (x inner), or scattered over the frame.
double microsPerBin(FrameSets& sets, int half, int bins, const FrameSets::BinOptions& o,
                    bool scattered)
{
    double guard = 0.0;
    QElapsedTimer t;
    t.start();
    for (int b = 0; b < bins; b++) {
        const int x = scattered ? (b * 37) % W : b % W;
        const int y = scattered ? (b * 101) % H : 100 + b / W;
        const Spectrum s = sets.xafsSpectrumAt(x, y, half, half, o);
        guard += s.maxY;
    }
    const double us = t.nsecsElapsed() * 1e-3 / bins;
    if (guard == 42.4242)
        std::printf(" ");
    return us;
}

// As the walk reads: one reader for every bin, raster order.
double microsPerBinOneReader(FrameSets& sets, int half, int bins, const FrameSets::BinOptions& o)
{
    double guard = 0.0;
    QElapsedTimer t;
    t.start();
    const FrameSets::Reader r = sets.reader(o);
    Spectrum s;
    for (int b = 0; b < bins; b++) {
        r.spectrumAt(b % W, 100 + b / W, half, half, s);
        guard += s.maxY;
    }
    const double us = t.nsecsElapsed() * 1e-3 / bins;
    if (guard == 42.4242)
        std::printf(" ");
    return us;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? qBound(2, atoi(argv[1]), 2000) : 200;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QStringList files;
    std::vector<quint16> samples(size_t(W) * H);
    TiffWriter writer;
    for (int i = 0; i < n; i++) {
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                samples[size_t(y) * W + x] = quint16(1000 + ((x * 7 + y * 13 + i * 101) & 0x3fff));
        files << dir.filePath(QStringLiteral("frame%1.tif").arg(i, 4, 10, QLatin1Char('0')));
        if (!writer.write(files.last(), W, H, samples.data())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.last()));
            return 1;
        }
    }

    QThread thread;
    LoadTiff* loader = new LoadTiff;
    loader->moveToThread(&thread);
    thread.start();
    FrameSets sets;
    // The first pass fills the page cache; the second is the one measured.
    loadStack(sets, FrameSets::I1, loader, files, 0.5);
    const double seconds = loadStack(sets, FrameSets::I1, loader, files, 0.5);
    loadStack(sets, FrameSets::I0, loader, files, 0.5);
    thread.quit();
    thread.wait();
    delete loader;
    sets.updateGeometry();

    const double mb = double(n) * W * H * 2 / 1e6;
    std::printf("stack: %d frames of %d x %d, 16-bit, %lld loaded\n", n, W, H,
                qint64(sets.frames(FrameSets::I1).size()));
    std::printf("load through the loader thread: %.3f s, %.1f MB/s (target >= 300)\n", seconds,
                mb / seconds);

    FrameSets::BinOptions o;
    o.useI0 = true;
    o.i1ExpTime = o.i0ExpTime = 100.0;
    const int bins = 20000;
    std::printf("bin spectrum of %d energies, I0 on, raster order: 1 x 1 %.2f us (target < 5), "
                "5 x 5 %.2f us\n",
                n, microsPerBin(sets, 0, bins, o, false), microsPerBin(sets, 2, bins, o, false));
    std::printf("the same, bins scattered over the frame: 1 x 1 %.2f us, 5 x 5 %.2f us\n",
                microsPerBin(sets, 0, bins / 10, o, true), microsPerBin(sets, 2, bins / 10, o, true));
    std::printf("one reader for all bins, as the walk: 1 x 1 %.2f us, 5 x 5 %.2f us\n",
                microsPerBinOneReader(sets, 0, bins, o), microsPerBinOneReader(sets, 2, bins, o));
    // Aligned frames: only bins within the shift of an edge take the slower road.
    const QList<TiffData*>& i1 = sets.frames(FrameSets::I1);
    for (qsizetype k = 0; k < i1.size(); k++) {
        i1[k]->x0 = 1 + int(k % 3);
        i1[k]->y0 = -1 - int(k / 3 % 3);
    }
    std::printf("every I1 frame shifted by 1-3 pixels, raster order: 1 x 1 %.2f us, 5 x 5 %.2f us\n",
                microsPerBin(sets, 0, bins, o, false), microsPerBin(sets, 2, bins, o, false));
    std::printf("the same, one reader for all bins: 1 x 1 %.2f us, 5 x 5 %.2f us\n",
                microsPerBinOneReader(sets, 0, bins, o), microsPerBinOneReader(sets, 2, bins, o));
    return 0;
}
