// The two-dimensional walk over a synthetic 512 x 512 stack of 126 energies,
// one-pixel bins, a two-reference LCF plus the edge position: bins per second
// of the direct one-thread loop of the same per-bin work, of the walk with one
// worker and with one worker per core, the resident memory along the walk, the
// time of a text save (x,y,value) of the fraction map, and hashes of the maps
// and of that file, to compare builds by.
#include "BenchProcess.h"
#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/BinAnalysis.h"
#include "analysis/FVPoints.h"
#include "display/ColorBar.h"
#include "foundation/Globals.h"
#include "foundation/XafsSpectrum.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

int Side = 512; // the first argument may ask for another side
const int Energies = 126;

double ramp(double e, double centre)
{
    if (e <= centre - 2)
        return 0.0;
    if (e >= centre + 2)
        return 1.0;
    return (e - centre + 2) / 4.0;
}

double energy(int k) { return 8900.0 + 2.0 * k; }

double residentMB()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0.0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(f);
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

LCFRefData reference(int index, double centre)
{
    Spectrum pts;
    for (double e = 8850; e <= 9200; e += 1.0)
        pts.append(e, ramp(e, centre));
    return LCFRefData::of(XafsSpectrum(pts, QStringLiteral("ref"), 1, 0.0, SuggestElm()), index, 0.0);
}

// The bin at (x, y) mixes the two references by x with a jump that grows with y.
void stackAt(int x, int y, Spectrum& out)
{
    const double f = x / double(Side - 1);
    const double jump = 1.0 + y / double(Side);
    // The storage is kept from bin to bin, as the stack's reader keeps it.
    QList<QPointF> kept = std::move(out.points);
    kept.clear();
    out = Spectrum();
    out.points = std::move(kept);
    out.points.reserve(Energies);
    // The two ramps per energy once: synthesising the stack is not the walk's work.
    static const std::vector<std::array<double, 3>> ramps = [] {
        std::vector<std::array<double, 3>> r;
        for (int k = 0; k < Energies; ++k)
            r.push_back({energy(k), ramp(energy(k), 8995.0), ramp(energy(k), 9001.0)});
        return r;
    }();
    for (const auto& r : ramps)
        out.append(r[0], jump * (f * r[1] + (1.0 - f) * r[2]));
}

AnalyzeCond wholeStack()
{
    AnalyzeCond c;
    const double rect[4] = {0, 0, double(Side), double(Side)};
    c.setup(Side, Side, 0, 0, rect, -1, -1);
    return c;
}

// FNV-1a over bytes.
quint64 hashOf(const void* data, size_t n, quint64 h = 1469598103934665603ull)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

double threadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Maps {
    std::vector<std::unique_ptr<Analyzed2DRes>> own;
    FVPoints fv;
    AnalysisWalk::Maps m;
    Maps()
    {
        for (int i = 0; i < 6; ++i)
            own.push_back(std::make_unique<Analyzed2DRes>(QStringLiteral("m")));
        m.lcf = {own[0].get(), own[1].get(), own[2].get(), own[3].get()};
        m.zansa = own[4].get();
        m.dEdge = own[5].get();
        m.fvPoints = &fv;
    }
};

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    if (argc > 1)
        Side = std::max(2, std::min(atoi(argv[1]), 4096));
    QApplication app(argc, argv);
    bench::quietStart();
    ColorBar bar;
    mainColorBar = &bar;

    AnalysisWalk::Setup setup;
    setup.settings.choice.lcf = true;
    setup.settings.choice.dEdge = true;
    setup.settings.lcf.rowCount = 2;
    setup.settings.lcf.refs = {reference(0, 8995.0), reference(1, 9001.0)};
    setup.settings.lcf.writeRows = false;
    for (int k = 0; k < Energies; ++k)
        setup.energies.push_back(energy(k));
    setup.source = [](int x, int y, int, int, Spectrum& out) { stackAt(x, y, out); };
    setup.shiftAt = [](int, int) { return 0.0; };
    const int bins = Side * Side;
    const int cores = QThread::idealThreadCount();

    // Bins per second of cpu time as well: on a shared machine the wall clock
    // also counts the time a thread waited for a core.
    std::vector<double> directCpuRates, oneCpuRates, allCpuRates;
    // Direct: the same spectra, analyses and map writes in one loop, no threads or events.
    auto directPass = [&]() {
        Maps maps;
        AnalyzeCond c = wholeStack();
        for (auto& m : maps.own)
            m->setCond(c);
        BinAnalysis analysis(setup.settings, setup.energies);
        std::vector<double> v(size_t(analysis.layout().stride));
        const BinLayout& L = analysis.layout();
        Spectrum pts;
        XafsSpectrum s;
        QElapsedTimer t;
        t.start();
        const double cpu0 = threadCpu();
        do {
            setup.source(c.cx, c.cy, 0, 0, pts);
            s.rebuild(pts, QStringLiteral("Body-AaP"), 1, 0.0, setup.sElm, analysis.curvesRead(pts, 1, setup.sElm));
            analysis.analyze(s, v.data());
            for (int k = 0; k < 2; ++k) {
                maps.m.lcf[k]->setData(c.cx, c.cy, 0, 0, v[size_t(L.lcfDMut + k)]);
                maps.m.lcf[2 + k]->setData(c.cx, c.cy, 0, 0, v[size_t(L.lcfRatio + k)]);
            }
            maps.m.zansa->setData(c.cx, c.cy, 0, 0, v[size_t(L.z)]);
            maps.m.dEdge->setData(c.cx, c.cy, 0, 0, v[size_t(L.dEdge)]);
        } while (c.next());
        directCpuRates.push_back(bins / (threadCpu() - cpu0));
        return bins / (t.nsecsElapsed() * 1e-9);
    };

    // The walk with n workers; resident memory at a tenth, half and the end of its first pass.
    auto walkRate = [&](int n, double mb[3], Maps& maps) {
        AnalysisWalk walk;
        walk.setWorkers(n);
        QEventLoop loop;
        QObject::connect(&walk, &AnalysisWalk::finishBatchExec, &loop, &QEventLoop::quit);
        QObject::connect(&walk, &AnalysisWalk::progress, [&](double p) {
            if (p >= 10.0 && mb[0] == 0.0)
                mb[0] = residentMB();
            if (p >= 50.0 && mb[1] == 0.0)
                mb[1] = residentMB();
        });
        QElapsedTimer t;
        t.start();
        const double cpu0 = bench::cpuSeconds();
        walk.start(wholeStack(), setup, maps.m);
        loop.exec();
        const double rate = bins / (t.nsecsElapsed() * 1e-9);
        (n == 1 ? oneCpuRates : allCpuRates).push_back(bins / (bench::cpuSeconds() - cpu0));
        if (mb[2] == 0.0)
            mb[2] = residentMB();
        return rate;
    };
    // Other programs share the machine: each figure is the median of a few passes.
    const int passes = 5;
    double mb1[3] = {0, 0, 0}, mbN[3] = {0, 0, 0};
    Maps one, all;
    std::vector<double> directRates, oneRates, allRates;
    for (int p = 0; p < passes; ++p) {
        directRates.push_back(directPass());
        oneRates.push_back(walkRate(1, mb1, one));
        allRates.push_back(walkRate(cores, mbN, all));
    }
    const double directRate = median(directRates), oneRate = median(oneRates), allRate = median(allRates);

    bool same = true;
    quint64 mapsHash = hashOf(nullptr, 0);
    for (size_t i = 0; i < one.own.size(); ++i) {
        same = same && one.own[i]->data == all.own[i]->data;
        mapsHash = hashOf(all.own[i]->data.data(), all.own[i]->data.size() * sizeof(double), mapsHash);
    }

    // The fraction map as x,y,value text, as "save_data" writes it.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("fraction.dat"));
    std::vector<double> saves;
    for (int p = 0; p < passes; ++p) {
        QElapsedTimer t;
        t.start();
        all.m.lcf[2]->saveAsText(file, false, true, true);
        saves.push_back(t.nsecsElapsed() * 1e-9);
    }
    QFile saved(file);
    QByteArray text = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    const qsizetype dateAt = text.indexOf("# Date");
    if (dateAt >= 0) // the one line that differs from save to save
        text.remove(dateAt, text.indexOf('\n', dateAt) - dateAt);

    std::printf("bins: %d (%d x %d, %d energies, LCF with 2 references + edge position)\n", bins, Side, Side,
                Energies);
    std::printf("cores: %d; each figure the median of %d passes\n", cores, passes);
    std::printf("direct loop, one thread: %.0f bins/s\n", directRate);
    std::printf("walk, 1 worker:  %.0f bins/s, %.2f x the direct loop (target >= 0.90: %s)\n", oneRate,
                oneRate / directRate, oneRate >= 0.9 * directRate ? "met" : "NOT met");
    std::printf("walk, %d workers: %.0f bins/s, %.2f x the direct loop (target >= %.2f: %s)\n", cores, allRate,
                allRate / directRate, 0.5 * cores, allRate >= 0.5 * cores * directRate ? "met" : "NOT met");
    std::printf("per cpu second: direct loop %.0f, walk with 1 worker %.0f, with %d workers %.0f bins\n",
                median(directCpuRates), median(oneCpuRates), cores, median(allCpuRates));
    std::printf("resident memory, 1 worker:  %.1f MB at 10%%, %.1f MB at 50%%, %.1f MB at the end\n", mb1[0], mb1[1],
                mb1[2]);
    std::printf("resident memory, %d workers: %.1f MB at 10%%, %.1f MB at 50%%, %.1f MB at the end\n", cores, mbN[0],
                mbN[1], mbN[2]);
    std::printf("text save of the fraction map (x,y,value, %d lines): %.3f s, %lld bytes\n", bins, median(saves),
                static_cast<long long>(text.size()));
    std::printf("maps of 1 and %d workers identical: %s\n", cores, same ? "yes" : "NO");
    std::printf("hash of the maps: %016llx; of the text file less its date: %016llx\n",
                static_cast<unsigned long long>(mapsHash),
                static_cast<unsigned long long>(hashOf(text.constData(), size_t(text.size()))));
    std::printf("fraction of reference 1 at (0,0) and (%d,0): %.4f %.4f\n", Side - 1, all.m.lcf[2]->valueAt(0, 0),
                all.m.lcf[2]->valueAt(Side - 1, 0));
    mainColorBar = nullptr;
    return 0;
}
