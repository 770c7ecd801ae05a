// Loads the same page-cached 16-bit TIFF frames three ways in one run and
// prints the rate of each with the memory it took at its peak:
// - a tight libtiff read: every row of every file into one reused buffer;
// - the loader alone, as bench_load_frames: its thread, the hand-over and a frame set;
// - the program's whole load path: the main window shown offscreen, the batch
//   words "load_I1_files NEW" (first half of the files) and "load_I0_files NEW"
//   (second half), typed in the batch editor beforehand, run through the
//   dispatcher, the loaders, the hand-over and the display, timed until the
//   last answer and the paints it leaves are done.
// Each is run `rounds` times; the fastest round gives the rate, the largest
// peak the memory.
// Usage: bench_load_path [frames (252)] [side (512)] [rounds (3)]
#include "BenchStack.h"

#include "batch/BatchCtrl.h"
#include "display/ImgDispA.h"
#include "foundation/Globals.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

struct Round {
    double seconds = 0.0;
    double cpu = 0.0;
    double peakAddedMB = 0.0; // peak resident over what was resident before
};

Round tightRead(const QStringList& files, int side)
{
    std::vector<quint16> buf(size_t(side) * size_t(side));
    bench::resetPeak();
    const double base = bench::residentMB();
    const double cpu0 = bench::cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    for (const QString& f : files) {
        TIFF* tif = TIFFOpen(QFile::encodeName(f).constData(), "r");
        if (!tif)
            continue;
        for (int r = 0; r < side; r++)
            TIFFReadScanline(tif, buf.data() + size_t(r) * size_t(side), uint32_t(r), 0);
        TIFFClose(tif);
    }
    Round out;
    out.seconds = double(timer.nsecsElapsed()) * 1e-9;
    out.cpu = bench::cpuSeconds() - cpu0;
    out.peakAddedMB = bench::peakResidentMB() - base;
    return out;
}

Round loaderAlone(const QStringList& files)
{
    const bench::LoaderRun run = bench::runLoader(files);
    Round out;
    out.seconds = run.seconds;
    out.cpu = run.cpu;
    out.peakAddedMB = run.peakMB - run.baseMB;
    return out;
}

// Counts the paints of a widget.
class PaintCount : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            paints++;
        return false;
    }
};

Round wholePath(Body& body, const QStringList& files, int& paints)
{
    const qsizetype half = files.size() / 2;
    const QString text = QStringLiteral("load_I1_files NEW ") + files.mid(0, half).join(QLatin1Char(' '))
        + QStringLiteral("\nload_I0_files NEW ") + files.mid(half).join(QLatin1Char(' '));
    // The words stand in the editor before the clock starts (laying out their
    // long lines is the editor's work, not the load's); the stacks of the
    // round before go first. Both off the clock.
    body.batchCtrl->BatchCmds->setPlainText(text);
    body.clearI1Files();
    body.clearI0Files();
    QCoreApplication::processEvents();

    PaintCount count;
    body.dispA->installEventFilter(&count);
    QEventLoop loop;
    QObject::connect(&body, &Body::finishBatchExec, &loop, [&loop](int id) {
        if (id == LOAD_I0_FILES)
            loop.quit();
    });
    bench::resetPeak();
    const double base = bench::residentMB();
    const double cpu0 = bench::cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    body.batchCtrl->execCmdsSlot();
    loop.exec();
    // The answer comes before the stack's last display steps and their paint.
    QCoreApplication::processEvents();
    Round out;
    out.seconds = double(timer.nsecsElapsed()) * 1e-9;
    out.cpu = bench::cpuSeconds() - cpu0;
    out.peakAddedMB = bench::peakResidentMB() - base;
    body.dispA->removeEventFilter(&count);
    paints = count.paints;
    return out;
}

void report(const char* what, const Round& r, double rawMB)
{
    std::printf("%-12s %.3f s  %7.1f MB/s  cpu %.3f s  peak adds %.1f MB = %.2f x samples\n", what,
                r.seconds, rawMB / r.seconds, r.cpu, r.peakAddedMB, r.peakAddedMB / rawMB);
}

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    bench::noPeers();
    QApplication app(argc, argv);
    bench::quietStart();
    const int rounds = argc > 3 ? qBound(1, atoi(argv[3]), 50) : 3;
    QTemporaryDir dir;
    int n = 0, side = 0;
    // Two at least: half of them for each stack.
    const QStringList files =
        dir.isValid() ? bench::stackOfArgs(argc, argv, 2, dir.path(), n, side) : QStringList();
    if (files.isEmpty())
        return 1;

    Body body;
    body.show();
    QCoreApplication::processEvents();

    Round best[3];
    int paints = 0;
    for (int i = 0; i < rounds; i++) {
        // Every round starts with no stack held, as the whole path's own load
        // does once it has let its stacks go: else the loader alone would find
        // the memory of two stacks taken and the whole path that of none.
        body.clearI1Files();
        body.clearI0Files();
        QCoreApplication::processEvents();
        const Round r[3] = {tightRead(files, side), loaderAlone(files),
                            wholePath(body, files, paints)};
        for (int k = 0; k < 3; k++) {
            const double peak = std::max(best[k].peakAddedMB, r[k].peakAddedMB);
            if (i == 0 || r[k].seconds < best[k].seconds)
                best[k] = r[k];
            best[k].peakAddedMB = peak;
        }
    }
    const int loaded = int(body.i1Frames.size() + body.i0Frames.size());

    const double rawMB = double(n) * side * side * 2 / 1e6;
    std::printf("frames: %d of %d x %d, 16-bit, %.1f MB of samples; fastest of %d rounds\n", n,
                side, side, rawMB, rounds);
    report("libtiff", best[0], rawMB);
    report("loader", best[1], rawMB);
    report("whole path", best[2], rawMB);
    std::printf("whole path / loader alone: %.2f x the rate (target >= 0.80)\n",
                best[1].seconds / best[2].seconds);
    auto holding = [](const QList<TiffData*>& stack) {
        return int(std::count_if(stack.begin(), stack.end(),
                                 [](const TiffData* f) { return f->dispImg != nullptr; }));
    };
    std::printf("whole path: %d of %d frames in the stacks, %d paints of the image in the last "
                "round, %d frames holding a display image\n",
                loaded, n, paints, holding(body.i1Frames) + holding(body.i0Frames));
    return loaded == n ? 0 : 1;
}
