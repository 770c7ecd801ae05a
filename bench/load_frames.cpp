// Loads a stack of page-cached 16-bit TIFF frames the way the program does: the
// loader on a thread of its own, every frame handed over by a queued signal to
// the GUI thread and taken into a frame set. Prints the load rate and the
// resident memory the stack adds against its raw samples.
// Usage: bench_load_frames [frames (252)] [side (512)]
#include "BenchStack.h"

#include "foundation/Globals.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::quietStart();
    QTemporaryDir dir;
    int n = 0, side = 0;
    const QStringList files =
        dir.isValid() ? bench::stackOfArgs(argc, argv, 1, dir.path(), n, side) : QStringList();
    if (files.isEmpty())
        return 1;

    const bench::LoaderRun run = bench::runLoader(files);
    const double rawMB = double(n) * side * side * 2 / 1e6;
    const double addedMB = run.loadedMB - run.baseMB;
    std::printf("frames: %d of %d x %d, 16-bit, %d taken, exposure %.1f ms\n", n, side, side,
                run.taken, run.expTime);
    std::printf("load: %.3f s, %.1f frames/s, %.1f MB/s of samples (target >= 500)\n", run.seconds,
                run.taken / run.seconds, rawMB / run.seconds);
    std::printf("cpu: %.3f s of both threads, %.1f MB/s per cpu second\n", run.cpu, rawMB / run.cpu);
    std::printf("resident: empty %.1f MB, loaded %.1f MB, stack adds %.1f MB for %.1f MB of "
                "samples = %.2f x (target <= 1.30)\n",
                run.baseMB, run.loadedMB, addedMB, rawMB, addedMB / rawMB);
    std::printf("frames holding a display image: %d\n", run.withImage);
    return run.taken == n ? 0 : 1;
}
