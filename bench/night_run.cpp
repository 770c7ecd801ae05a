// A night batch run by the program itself, as a user runs it: on the demo's
// 96 x 64 copper stack of 121 energies, every pass loads both stacks, walks
// the field of view with the LCF and the edge position together, saves the
// fraction map as text and as TIFF data (with its colour bar) and the shown
// picture. Each pass also runs a short loop without commands, whose lines
// bring the batch window's log to its cap of 100,000 lines by pass 500: from
// then on every pass replaces the lines of an earlier pass, and the log keeps
// its size. The program's resident memory is read after every pass; every 500
// passes the bench prints it and the lowest reading of the last 1,000 passes.
// The log's text buffer grows and is compacted again as lines come and go,
// which makes the resident memory swing by some MB; the lowest readings, taken
// after such a compaction, show what stays. The growth after the cap is that
// of the lowest readings over the last 2,000 passes, once the log has turned
// over and the heap has taken the size the passes need:
//   bench_night_run <folder> <program> [passes]
// writes the demo set into the folder when it is not there yet, runs the
// program with the batch (5,000 passes when not given) and prints the figures.
#include "BenchProcess.h"
#include "DemoSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

const int Every = 500;
const int LogLines = 100000; // the batch window keeps its last 100,000 lines
const int InnerSteps = LogLines / Every; // lines logged per pass besides the commands

bool writeBatch(const QDir& dir, int passes)
{
    const demo::DemoSet set;
    QStringList l;
    l << QStringLiteral("Use_I0 1") << QStringLiteral("set_band_w 0") << QStringLiteral("set_band_h 0")
      << QStringLiteral("select_region 0 0 %1 %2").arg(set.width).arg(set.height);
    const char* const setup[] = {
        "analyzer_select_analysis_mode 0",
        "analyzer_sub_mode 0 1 1 0 0 0",
        "analyzer_set_MLCF 0",
        "analyzer_set_LCF_std 0 1 0 $DataRoot$/ref_Cu_foil.dat 0",
        "analyzer_set_LCF_std 1 1 0 $DataRoot$/ref_CuO.dat 0",
        "analyzer_set_LCF_range 8860 9230",
        "analyzer_select_image_type 0",
        "select_disp_image_analyzed",
        "saveDataCfg_text_as_csv",
        "saveDataCfg_text_as_xyz",
        "saveDataCfg_tiff_fix_scale 0",
    };
    for (const char* line : setup)
        l << QString::fromLatin1(line);
    l << QStringLiteral(":for p $p$ 1 %1").arg(passes);
    // By pattern: a line of its own for every file would make the log's lines
    // long and its memory swing the more as they come and go.
    for (const char* stack : {"I1", "I0"})
        l << QStringLiteral("load_%1_files_of_pattern NEW $DataRoot$ %1_*.tif").arg(QLatin1String(stack));
    const char* const pass[] = {
        "analyzer_exec_2da",
        "analyzer_select_image 0",
        "saveDataCfg_save_as_text",
        "save_data $DataRoot$/night/fraction.dat",
        "saveDataCfg_save_as_tiff",
        "save_data $DataRoot$/night/fraction.tif",
        "save_image $DataRoot$/night/fraction.png",
        ":echo pass$p$",
        ":for k $k$ 1 INNER",
        ":next k",
        ":next p",
        "quit",
    };
    for (const char* line : pass)
        l << QString::fromLatin1(line).replace(QLatin1String("INNER"), QString::number(InnerSteps));
    QFile f(dir.filePath(QStringLiteral("night.bat")));
    const QByteArray text = (l.join(u'\n') + u'\n').toUtf8();
    return dir.mkpath(QStringLiteral("night")) && f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_night_run <folder> <program> [passes]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const int passes = argc > 3 ? qMax(Every, QString::fromLocal8Bit(argv[3]).toInt()) : 5000;
    QString error;
    if (!dir.exists(QLatin1String(demo::DemoSet::headlessBatchFile)) && !demo::DemoSet().write(dir.path(), &error)) {
        std::fprintf(stderr, "cannot write the demo set: %s\n", qPrintable(error));
        return 1;
    }
    if (!writeBatch(dir, passes)) {
        std::fprintf(stderr, "cannot write the batch into %s\n", argv[1]);
        return 1;
    }

    QProcess p;
    if (!bench::startProgram(p, argv[2], dir, QStringLiteral("night.bat"))) {
        std::fprintf(stderr, "cannot start %s\n", argv[2]);
        return 1;
    }
    std::printf("night batch: %d passes of load (I1, I0: 121 frames of 96 x 64), LCF + edge walk,\n"
                "text and TIFF data, picture; the batch log at its cap from pass %d on\n", passes, Every);
    std::printf("%8s %10s %12s %10s %12s\n", "pass", "RSS MB", "lowest MB", "s", "KB/pass");
    std::printf("%8s %10s %12s\n", "", "", "(last 1000)");
    std::fflush(stdout);

    QElapsedTimer clock;
    clock.start();
    std::vector<double> lows; // the lowest reading of each 500 passes
    std::vector<double> trailing; // the lowest of the last 1,000 passes, every 500
    double low = -1.0;
    const QByteArray mark("echo pass");
    QByteArray line;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable() > 0) {
        if (!p.canReadLine() && !p.waitForReadyRead(60000) && p.state() == QProcess::NotRunning)
            break;
        while (p.canReadLine()) {
            line = p.readLine();
            const qsizetype at = line.indexOf(mark);
            if (at < 0)
                continue;
            const int pass = line.mid(at + mark.size()).trimmed().toInt();
            const double mb = bench::residentMBOf(p.processId());
            if (mb >= 0 && (low < 0 || mb < low))
                low = mb;
            if (pass % Every != 0)
                continue;
            const double lowest = lows.empty() ? low : qMin(low, lows.back());
            lows.push_back(low);
            const double perPass = trailing.empty() ? 0.0 : (lowest - trailing.back()) * 1000.0 / Every;
            trailing.push_back(lowest);
            std::printf("%8d %10.2f %12.2f %10.1f %12.3f\n", pass, mb, lowest, clock.elapsed() / 1000.0, perPass);
            std::fflush(stdout);
            low = -1.0;
        }
    }
    p.waitForFinished(-1);
    // The last 2,000 passes: four readings back, whose 1,000 passes ran with
    // the log at its cap from the third reading on.
    if (trailing.size() < 7) {
        std::fprintf(stderr, "the program stopped after %zu readings\n", trailing.size());
        return 1;
    }
    const size_t from = trailing.size() - 5;
    const int span = int(trailing.size() - 1 - from) * Every;
    std::printf("growth after the log cap, lowest readings from pass %d to %d: %.3f KB/pass (%.2f -> %.2f MB)\n",
                int(from + 1) * Every, int(trailing.size()) * Every, (trailing.back() - trailing[from]) * 1000.0 / span,
                trailing[from], trailing.back());
    return 0;
}
