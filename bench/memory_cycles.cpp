// Memory over repeated work, as a user repeats it in one session: on a
// synthetic 1024 x 1024 stack of 80 energies across an edge at 7112 eV (I1 and
// I0), every cycle loads both stacks anew, walks an 8 x 8 region with a
// two-reference LCF, shows the statistics of the fraction map and saves it as
// TIFF data. The program's resident memory is read after every cycle; what a
// cycle keeps for the next shows as growth from the second cycle on (the first
// one also fills the heap and the caches the later ones reuse):
//   bench_memory_cycles <folder> <program> [cycles]
// writes the stacks into the folder when they are not there yet, runs the
// program with the batch (10 cycles when not given) and prints the figures.
#include "EdgeStack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int Side = 1024;
const int Energies = 80;

double energy(int k) { return 7032.0 + 2.0 * k; }

bool writeStacks(const QDir& dir)
{
    for (int k = 0; k < Energies; ++k)
        for (const char* stack : {"I1", "I0"})
            if (!bench::writeEdgeFrame(dir.filePath(bench::edgeFrameName(stack, energy(k))), Side, energy(k),
                                       stack[1] == '0'))
                return false;
    return bench::writeEdgeReferences(dir);
}

bool writeBatch(const QDir& dir, int cycles)
{
    QByteArray batch = "Use_I0 1\nset_band_w 0\nset_band_h 0\n"
                       "analyzer_select_analysis_mode 0\n"
                       "analyzer_set_MLCF 0\n"
                       "analyzer_set_LCF_std 0 1 0 $DataRoot$/ref0.dat 0\n"
                       "analyzer_set_LCF_std 1 1 0 $DataRoot$/ref1.dat 0\n"
                       "analyzer_set_LCF_range 7050 7190\n"
                       "analyzer_select_image_type 0\n"
                       "saveDataCfg_save_as_tiff\n"
                       "saveDataCfg_tiff_fix_scale 0\n"
                       "stats_show_window 1\n"
                       "stats_bins 50\n";
    batch += ":for c $c$ 1 " + QByteArray::number(cycles) + "\n";
    batch += "load_I1_files_of_pattern NEW $DataRoot$ I1_*.tif\n"
             "load_I0_files_of_pattern NEW $DataRoot$ I0_*.tif\n"
             "select_region 508 508 8 8\n"
             "analyzer_exec_LCF\n"
             "analyzer_select_image 0\n"
             "stats_show_window 1\n"
             "save_data $DataRoot$/out/fraction.tif\n"
             ":echo cycle$c$\n"
             ":next c\n"
             "quit\n";
    return dir.mkpath(QStringLiteral("out")) && bench::writeText(dir.filePath(QStringLiteral("cycles.bat")), batch);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_memory_cycles <folder> <program> [cycles]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const int cycles = argc > 3 ? qMax(2, QString::fromLocal8Bit(argv[3]).toInt()) : 10;
    // The references last, so that their presence marks complete stacks.
    if (!dir.exists(QStringLiteral("ref1.dat")) && !(dir.mkpath(QStringLiteral(".")) && writeStacks(dir))) {
        std::fprintf(stderr, "cannot write the stacks into %s\n", argv[1]);
        return 1;
    }
    if (!writeBatch(dir, cycles)) {
        std::fprintf(stderr, "cannot write the batch into %s\n", argv[1]);
        return 1;
    }

    QProcess p;
    if (!bench::startProgram(p, argv[2], dir, QStringLiteral("cycles.bat"))) {
        std::fprintf(stderr, "cannot start %s\n", argv[2]);
        return 1;
    }
    const double samplesMB = 2.0 * Energies * Side * Side * 2 / 1e6;
    std::printf("%d cycles of: load I1 and I0 (%d frames of %d x %d each, %.0f MB of samples), "
                "an 8 x 8 LCF walk, statistics, a TIFF save\n",
                cycles, Energies, Side, Side, samplesMB);
    std::printf("%6s %10s %14s\n", "cycle", "RSS MB", "vs cycle 2 %");
    std::fflush(stdout);

    std::vector<double> rss;
    const QByteArray mark("echo cycle");
    while (p.state() != QProcess::NotRunning || p.bytesAvailable() > 0) {
        if (!p.canReadLine() && !p.waitForReadyRead(600000) && p.state() == QProcess::NotRunning)
            break;
        while (p.canReadLine()) {
            const QByteArray line = p.readLine();
            if (line.indexOf(mark) < 0)
                continue;
            rss.push_back(bench::residentMBOf(p.processId()));
            const double second = rss.size() >= 2 ? rss[1] : rss[0];
            std::printf("%6zu %10.1f %14.2f\n", rss.size(), rss.back(), (rss.back() / second - 1.0) * 100.0);
            std::fflush(stdout);
        }
    }
    p.waitForFinished(-1);
    if (int(rss.size()) < cycles) {
        std::fprintf(stderr, "the program stopped after %zu cycles\n", rss.size());
        return 1;
    }
    std::printf("after the last cycle %.1f MB, after the second %.1f MB: %+.2f %%\n", rss.back(), rss[1],
                (rss.back() / rss[1] - 1.0) * 100.0);
    return 0;
}
