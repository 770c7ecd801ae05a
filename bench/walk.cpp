// The two-dimensional walk over a synthetic 256 x 256 stack of 120 energies,
// one-pixel bins, a two-reference LCF plus the edge position: its bins per
// second against the same per-bin work called directly in a loop, and the
// resident memory part-way and at the end.
#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/EdgePosition.h"
#include "analysis/LCFFit.h"
#include "analysis/LCFReference.h"
#include "display/ColorBar.h"
#include "foundation/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

const int Side = 256;
const int Energies = 120;

double ramp(double e, double centre)
{
    if (e <= centre - 5)
        return 0.0;
    if (e >= centre + 5)
        return 1.0;
    return (e - centre + 5) / 10.0;
}

double energy(int k) { return 8900.0 + 2.0 * k; }

bool writeReference(const QString& path, double centre)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&f);
    for (double e = 8850; e <= 9200; e += 1.0)
        out << e << ' ' << ramp(e, centre) << '\n';
    return true;
}

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

// The bin at (x, y) mixes the two references by x with a jump that grows with y.
struct Stack {
    std::vector<double> a, b;
    Stack()
    {
        for (int k = 0; k < Energies; ++k) {
            a.push_back(ramp(energy(k), 8990.0));
            b.push_back(ramp(energy(k), 9010.0));
        }
    }
    XafsSpectrum at(const AnalyzeCond& c) const
    {
        const double f = c.cx / double(Side - 1);
        const double jump = 1.0 + c.cy / double(Side);
        Spectrum pts;
        for (int k = 0; k < Energies; ++k)
            pts.append(energy(k), jump * (f * a[size_t(k)] + (1.0 - f) * b[size_t(k)]));
        return XafsSpectrum(pts, QStringLiteral("Body-AaP"), 1, 0.0, SuggestElm());
    }
};

AnalyzeCond wholeStack()
{
    AnalyzeCond c;
    const double rect[4] = {0, 0, Side, Side};
    c.setup(Side, Side, 0, 0, rect, -1, -1);
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initGlobals();
    ColorBar bar;
    mainColorBar = &bar;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QTemporaryDir tmp;
    if (!tmp.isValid() || !writeReference(tmp.filePath("a.dat"), 8990.0) ||
        !writeReference(tmp.filePath("b.dat"), 9010.0)) {
        std::printf("cannot write the reference spectra\n");
        return 1;
    }
    Analyzer panel;
    panel.lcfRefs[0]->XFS->load(tmp.filePath("a.dat"));
    panel.lcfRefs[1]->XFS->load(tmp.filePath("b.dat"));
    panel.setSubMode(0, 0, true); // edge position
    panel.setSubMode(0, 1, true); // LCF
    const Stack stack;
    const int bins = Side * Side;

    // Direct: the same spectra, requests, analyses and map writes, without threads or events.
    panel.setContAccess(true);
    panel.initAnalyzeSpectrum();
    AnalyzeCond c = wholeStack();
    for (Analyzed2DRes* m : {panel.lcfResMap(0, 0), panel.lcfResMap(1, 0), panel.lcfResMap(0, 1),
                             panel.lcfResMap(1, 1), &panel.zansaMap, &panel.dEdgeMap})
        m->setCond(c);
    QElapsedTimer t;
    t.start();
    do {
        const XafsSpectrum s = stack.at(c);
        const AnalyzeReply f = LCFFit::fit(panel.lcfRequest(s, s.sElm), LCFFit::Current);
        const double dEdge = EdgePosition::dEdge(panel.dEdgeRequest(s, s.sElm));
        for (int k = 0; k < f.lcfRows.size(); ++k) {
            panel.lcfResMap(f.lcfRows[k], 0)->setData(c.cx, c.cy, 0, 0, f.lcfDMuts[k]);
            panel.lcfResMap(f.lcfRows[k], 1)->setData(c.cx, c.cy, 0, 0, f.lcfRatios[k]);
        }
        panel.zansaMap.setData(c.cx, c.cy, 0, 0, f.z);
        panel.dEdgeMap.setData(c.cx, c.cy, 0, 0, dEdge);
    } while (c.next());
    const double directRate = bins / (t.nsecsElapsed() * 1e-9);
    panel.setContAccess(false);

    // The walk.
    int sent = 0;
    double mbTenth = 0.0;
    double mbHalf = 0.0;
    AnalysisWalk walk(&panel, [&](const AnalyzeCond& bin) {
        if (++sent == bins / 10)
            mbTenth = residentMB();
        else if (sent == bins / 2)
            mbHalf = residentMB();
        return stack.at(bin);
    });
    QObject::connect(&panel, &Analyzer::finished, &walk, &AnalysisWalk::analyzeASpectrumFinished);
    QEventLoop loop;
    QObject::connect(&walk, &AnalysisWalk::finishBatchExec, &loop, &QEventLoop::quit);
    t.restart();
    walk.start(wholeStack());
    loop.exec();
    const double walkRate = bins / (t.nsecsElapsed() * 1e-9);
    const double mbEnd = residentMB();

    std::printf("bins: %d (%d x %d, %d energies, LCF with 2 references + edge position)\n", bins, Side, Side,
                Energies);
    std::printf("direct loop: %.0f bins/s\n", directRate);
    std::printf("walk:        %.0f bins/s (%.2f of the direct loop; target >= 0.50: %s)\n", walkRate,
                walkRate / directRate, walkRate >= 0.5 * directRate ? "met" : "NOT met");
    std::printf("resident memory: %.1f MB after %d bins, %.1f MB after %d, %.1f MB after %d\n", mbTenth, bins / 10,
                mbHalf, bins / 2, mbEnd, sent);
    std::printf("fraction of reference 1 at (0,0) and (255,0): %.4f %.4f\n", panel.lcfResMap(0, 1)->valueAt(0, 0),
                panel.lcfResMap(0, 1)->valueAt(255, 0));
    mainColorBar = nullptr;
    return 0;
}
