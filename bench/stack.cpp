// Writes a stack of N 16-bit 1024 x 1024 TIFF frames, loads it through the
// loader thread as the I1 and as the I0 stack and prints the load rate; then
// builds bin spectra (1 x 1 and 5 x 5, I0 on) and prints the time per bin,
// also with every I1 frame shifted. Last, a stack that drifts as it is
// measured against the same stack still, walked over the whole view.
// "bench_stack drift [F SIDE]..." runs only that part, for stacks of F frames
// of SIDE x SIDE (400 of 256 and 800 of 128 when none are given).
#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"
#include "imagestack/TiffWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// Frames of side x side read from 16-bit TIFF files, energies 8000 + k / 2
// (the other way round when reversed).
bool readFrames(FrameSets& sets, FrameSets::Stack s, int frames, int side, int base, const QString& dir,
                bool reversed = false)
{
    std::vector<quint16> samples(size_t(side) * side);
    TiffWriter writer;
    const QString file = dir + QStringLiteral("/drift.tif");
    for (int k = 0; k < frames; k++) {
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++)
                samples[size_t(y) * side + x] = quint16(base + ((x * 7 + y * 13 + k * 101) & 0x3fff));
        TiffData* f = new TiffData;
        if (!writer.write(file, side, side, samples.data()) || !f->load(file, nullptr)) {
            delete f;
            std::fprintf(stderr, "cannot write or read %s\n", qPrintable(file));
            return false;
        }
        sets.append(s, f, 8000.0 + 0.5 * (reversed ? frames - 1 - k : k));
    }
    return true;
}

// Frame k of F drifts by x0 = k * 20 / F, y0 = -x0; or stands still.
void drift(FrameSets& sets, bool on)
{
    const QList<TiffData*>& i1 = sets.frames(FrameSets::I1);
    const qint64 n = i1.size();
    for (qint64 k = 0; k < n; k++) {
        i1[k]->x0 = on ? int(k * 20 / n) : 0;
        i1[k]->y0 = -i1[k]->x0;
    }
}

// One reader for the whole view, bins tiling it as the walk's do; the seconds
// of the best of two walks. With a hash, every point's bytes go into it
// (FNV-1a), with the raw I1 curve of every bin when asked.
double walkSeconds(FrameSets& sets, int half, const FrameSets::BinOptions& o, quint64* hash = nullptr,
                   bool raw = false)
{
    const int step = 2 * half + 1;
    double best = 1e300, guard = 0.0;
    auto mix = [hash](const Spectrum& s) {
        for (const QPointF& p : s.points) {
            const double v[2] = {p.x(), p.y()};
            unsigned char b[sizeof v];
            std::memcpy(b, v, sizeof v);
            for (unsigned char c : b)
                *hash = (*hash ^ c) * 1099511628211ull;
        }
    };
    for (int pass = 0; pass < (hash ? 1 : 2); pass++) {
        QElapsedTimer t;
        t.start();
        const FrameSets::Reader r = sets.reader(o);
        Spectrum s;
        for (int y = half; y < sets.imageH; y += step)
            for (int x = half; x < sets.imageW; x += step) {
                r.spectrumAt(x, y, half, half, s);
                guard += s.maxY;
                if (hash) {
                    mix(s);
                    if (raw)
                        mix(sets.rawI1SpectrumAt(x, y, half, half));
                }
            }
        best = std::min(best, t.nsecsElapsed() * 1e-9);
    }
    if (guard == 42.4242)
        std::printf(" ");
    return best;
}

// The drifting stack's walks against the still one's; the hashes of every
// spectrum tell whether a change left the numbers alone.
int driftLines(const QList<QPair<int, int>>& stacks)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    FrameSets::BinOptions o;
    o.useI0 = true;
    o.i1ExpTime = o.i0ExpTime = 100.0;
    for (const QPair<int, int>& st : stacks) {
        auto load = [&](FrameSets& sets, bool reversed) {
            const bool ok = readFrames(sets, FrameSets::I1, st.first, st.second, 1000, dir.path(), reversed)
                && readFrames(sets, FrameSets::I0, st.first, st.second, 30000, dir.path());
            sets.updateGeometry();
            return ok;
        };
        FrameSets sets;
        if (!load(sets, false))
            return 1;
        double sec[2][2];
        for (int half = 0; half < 2; half++) {
            for (int on = 0; on < 2; on++) {
                drift(sets, on);
                sec[half][on] = walkSeconds(sets, half, o);
            }
        }
        std::printf("drifting stack, %d frames of %d x %d, one reader over the view, I0 on:\n"
                    "  1 x 1 drifting %.3f s, still %.3f s, ratio %.2f (target <= 1.3)\n"
                    "  3 x 3 drifting %.3f s, still %.3f s, ratio %.2f (target <= 1.3)\n",
                    st.first, st.second, st.second, sec[0][1], sec[0][0], sec[0][1] / sec[0][0], sec[1][1],
                    sec[1][0], sec[1][1] / sec[1][0]);
        quint64 h[3] = {14695981039346656037ull, 14695981039346656037ull, 14695981039346656037ull};
        for (int half = 0; half < 2; half++) {
            drift(sets, false);
            walkSeconds(sets, half, o, &h[0], half == 1);
            drift(sets, true);
            walkSeconds(sets, half, o, &h[1], half == 1);
        }
        // Loaded the other way round: the spectra look their frames up by energy.
        sets.clear(FrameSets::I1);
        sets.clear(FrameSets::I0);
        FrameSets reversed;
        if (!load(reversed, true))
            return 1;
        drift(reversed, true);
        for (int half = 0; half < 2; half++)
            walkSeconds(reversed, half, o, &h[2], half == 1);
        std::printf("  spectra hash: still %016llx, drifting %016llx, drifting in reverse %016llx\n",
                    (unsigned long long)h[0], (unsigned long long)h[1], (unsigned long long)h[2]);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QList<QPair<int, int>> driftStacks{{400, 256}, {800, 128}};
    if (argc > 1 && std::strcmp(argv[1], "drift") == 0) {
        QList<QPair<int, int>> stacks;
        for (int i = 2; i + 1 < argc; i += 2)
            stacks.append({qBound(2, atoi(argv[i]), 5000), qBound(16, atoi(argv[i + 1]), 4096)});
        return driftLines(stacks.isEmpty() ? driftStacks : stacks);
    }
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
    sets.clear(FrameSets::I1);
    sets.clear(FrameSets::I0);
    return driftLines(driftStacks);
}
