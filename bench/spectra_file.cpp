// The per-bin spectra files of the main window over a synthetic 256 x 256
// stack of 100 energies, one-pixel bins: the time to write each of the three
// kinds (256 x 256 bins), with the file size.
#include "BenchProcess.h"
#include "display/ImgDispA.h"
#include "foundation/Globals.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const int Side = 256;
const int Energies = 100;

double energy(int k) { return 8900.0 + 2.0 * k; }

// CPU time of this thread: on a shared machine the wall clock also counts the
// time other programs held the cores.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Transmission behind an edge at 8990 eV whose jump grows across the field.
TiffData* frame(int k)
{
    TiffData* f = new TiffData;
    f->width = Side;
    f->height = Side;
    f->srcType = TiffData::SrcCttr;
    const double step = energy(k) > 8990.0 ? 1.0 : 0.0;
    for (int y = 0; y < Side; y++) {
        float* row = static_cast<float*>(std::malloc(sizeof(float) * Side));
        for (int x = 0; x < Side; x++) {
            const double mu = 0.2 + 0.001 * (energy(k) - 8900.0) + step * (0.5 + x / double(Side));
            row[x] = float(1000.0 * std::exp(-mu));
        }
        f->rows.append(row);
    }
    f->energy = energy(k);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    QApplication app(argc, argv);
    bench::quietStart();

    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::printf("no temporary folder\n");
        return 1;
    }
    Body body;
    for (int k = 0; k < Energies; k++)
        body.frameSets.append(FrameSets::I1, frame(k), energy(k));
    body.followI1Stack();
    body.UseI0->setChecked(false);
    for (QLineEdit* e : {body.vHWidth_, body.vVWidth_, body.aHWidth_, body.aVWidth_})
        e->setText(QStringLiteral("0"));
    body.dispA->sel.valid = false;
    body.dispA->viewWin = QRectF(0, 0, Side, Side);

    struct Kind {
        const char* name;
        void (Body::*write)(QString);
    };
    const Kind kinds[] = {{"raw I1", &Body::saveEachRawSpectrum},
                          {"raw XAFS", &Body::saveEachRawXafsSpectrum},
                          {"normalised XAFS", &Body::saveEachNormalizedXafsSpectrum}};
    std::printf("bins: %d (%d x %d), %d energies\n", Side * Side, Side, Side, Energies);
    for (const Kind& k : kinds) {
        const QString name = tmp.filePath(QStringLiteral("bins.dat"));
        QElapsedTimer t;
        const double cpu0 = cpuSeconds();
        t.start();
        (body.*k.write)(name);
        const double wall = t.nsecsElapsed() * 1e-9;
        const double cpu = cpuSeconds() - cpu0;
        std::printf("%-16s wall %.3f s, cpu %.3f s, %.1f MB (target < 1 s: %s)\n", k.name, wall, cpu,
                    QFileInfo(name).size() / (1024.0 * 1024.0), wall < 1.0 ? "met" : "NOT met");
    }

    // What the normalised file pays for the spectrum model itself.
    AnalyzeCond c;
    body.askAnalyzeCond(c);
    const SuggestElm sElm = body.suggestElm();
    const double cpu0 = cpuSeconds();
    double sink = 0.0;
    do {
        sink += body.binXafsSpectrum(c.cx, c.cy, 0, 0, QStringLiteral("b"), 1, sElm).dMut;
    } while (c.next());
    std::printf("of the normalised file, building and normalising the bin spectra alone: cpu %.3f s (%g)\n",
                cpuSeconds() - cpu0, sink);
    return 0;
}
