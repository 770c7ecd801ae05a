// The first load of a session, as the user meets it: each round starts the
// program afresh (its heap cold), shows the main window offscreen and then,
// on the clock, runs "load_I1_files NEW" (first half of the files) and
// "load_I0_files NEW" (second half) through the batch, until the last answer
// and the paints it leaves are done; the program's own start-up is off the
// clock. Alternated with it, tifffile (Debian's python3-tifffile) reads the
// same page-cached files one by one in a process of its own, timed around
// its reading loop alone. Medians of the rounds are printed.
// Usage: bench_first_load [frames (252)] [side (512)] [rounds (5)]
#include "BenchStack.h"

#include "batch/BatchCtrl.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const char* const childFlag = "--first-load-of";

// In the fresh process: the load of the files listed in `listPath`; prints
// "seconds peak-added-MB".
int firstLoad(const QString& listPath)
{
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return 1;
    const QStringList files = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const qsizetype half = files.size() / 2;
    Body body;
    body.show();
    body.batchCtrl->BatchCmds->setPlainText(
        QStringLiteral("load_I1_files NEW ") + files.mid(0, half).join(QLatin1Char(' '))
        + QStringLiteral("\nload_I0_files NEW ") + files.mid(half).join(QLatin1Char(' ')));
    QCoreApplication::processEvents();
    QEventLoop loop;
    QObject::connect(&body, &Body::finishBatchExec, &loop, [&loop](int id) {
        if (id == LOAD_I0_FILES)
            loop.quit();
    });
    const double base = bench::residentMB();
    QElapsedTimer timer;
    timer.start();
    body.batchCtrl->execCmdsSlot();
    loop.exec();
    QCoreApplication::processEvents();
    const double seconds = double(timer.nsecsElapsed()) * 1e-9;
    const int loaded = int(body.i1Frames.size() + body.i0Frames.size());
    std::printf("%.6f %.1f\n", seconds, bench::peakResidentMB() - base);
    std::fflush(stdout);
    return loaded == files.size() ? 0 : 1;
}

const char* const tifffileScript = R"(
import sys, time, tifffile
files = open(sys.argv[1]).read().split()
t = time.perf_counter()
for f in files:
    tifffile.imread(f)
print('%.6f' % (time.perf_counter() - t))
)";

// Seconds and the peak, or -1 when the process failed.
QPair<double, double> run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {-1.0, 0.0};
    const QList<QByteArray> words = p.readAllStandardOutput().simplified().split(' ');
    return {words.value(0).toDouble(), words.value(1).toDouble()};
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    bench::noPeers();
    QApplication app(argc, argv);
    bench::quietStart();
    if (argc == 3 && qstrcmp(argv[1], childFlag) == 0)
        return firstLoad(QString::fromLocal8Bit(argv[2]));

    const int rounds = argc > 3 ? qBound(1, atoi(argv[3]), 50) : 5;
    QTemporaryDir dir;
    int n = 0, side = 0;
    const QStringList files =
        dir.isValid() ? bench::stackOfArgs(argc, argv, 2, dir.path(), n, side) : QStringList();
    if (files.isEmpty())
        return 1;
    const QString listPath = dir.filePath(QStringLiteral("files.txt"));
    {
        QFile list(listPath);
        if (!list.open(QIODevice::WriteOnly) || list.write(files.join(u'\n').toUtf8()) < 0)
            return 1;
    }
    const QString python = QStringLiteral("/usr/bin/python3");
    const bool haveTifffile =
        QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import tifffile")}) == 0;
    QList<double> program, tifffile, peaks;
    for (int i = 0; i < rounds; i++) {
        const auto [s, peak] = run(QCoreApplication::applicationFilePath(),
                                   {QString::fromLatin1(childFlag), listPath});
        if (s < 0) {
            std::fprintf(stderr, "the program's round %d failed\n", i + 1);
            return 1;
        }
        program << s;
        peaks << peak;
        if (haveTifffile)
            tifffile << run(python, {QStringLiteral("-c"), QString::fromLatin1(tifffileScript), listPath}).first;
    }
    const double rawMB = double(n) * side * side * 2 / 1e6;
    std::printf("frames: %d of %d x %d, 16-bit, %.1f MB of samples; medians of %d rounds, each in a fresh process\n",
                n, side, side, rawMB, rounds);
    const double p = median(program);
    std::printf("first load  %.3f s  %7.1f MB/s  peak adds %.2f x samples (largest)\n", p, rawMB / p,
                *std::max_element(peaks.begin(), peaks.end()) / rawMB);
    if (!haveTifffile) {
        std::printf("tifffile    not installed (python3-tifffile)\n");
        return 0;
    }
    const double t = median(tifffile);
    std::printf("tifffile    %.3f s  %7.1f MB/s\n", t, rawMB / t);
    std::printf("first load / tifffile: %.2f x the rate (target >= 2)\n", t / p);
    return 0;
}
