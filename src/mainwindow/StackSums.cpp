#include "mainwindow/StackSums.h"

#include "analysis/Analyzed2DRes.h"
#include "foundation/FFT.h"
#include "imagestack/FrameSets.h"
#include "imagestack/TiffData.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {
// read: the bin's readings, kept from bin to bin by the caller.
double sumUpBin(const FrameSets& sets, const QList<SumUpRange>& ranges, int cx, int cy, int hx, int hy,
                std::vector<double>& read)
{
    sets.i1BinReadings(cx, cy, hx, hy, read);
    const int n = int(read.size());
    double sum = 0.0;
    for (const SumUpRange& r : ranges) {
        // a typo such as 2000000000 must not spin through absent frames
        const int last = std::min(r.to, n);
        for (int k = std::max(0, r.from); k < last; k++)
            sum += read[size_t(k)];
    }
    return sum;
}
} // namespace

double sumUpBin(const FrameSets& sets, const QList<SumUpRange>& ranges, int cx, int cy, int hx, int hy)
{
    std::vector<double> read;
    return sumUpBin(sets, ranges, cx, cy, hx, hy, read);
}

void sumUpMap(Analyzed2DRes& map, const FrameSets& sets, const QList<SumUpRange>& ranges, AnalyzeCond c,
              const ColorScale& colors)
{
    map.clear();
    c.reset();
    map.setCond(c);
    std::vector<double> read;
    do {
        if (c.first) {
            double lo = map.min;
            double hi = map.max;
            if (map.fixedScale) {
                lo = map.scaleMin;
                hi = map.scaleMax;
            }
            qDebug() << "Sum up row" << c.cy << lo << hi;
        }
        map.setData(c.cx, c.cy, c.hx, c.hy, sumUpBin(sets, ranges, c.cx, c.cy, c.hx, c.hy, read));
    } while (c.next());
    map.genImg(colors);
}

FourierSums fourierSums(const FrameSets& sets, AnalyzeCond c, FFT& fft)
{
    FourierSums s;
    const int n = int(sets.frames(FrameSets::I1).size());
    if (n < 1)
        return s;
    s.aa.assign(size_t(n), 0.0);
    s.pp.assign(size_t(n), 0.0);
    s.ap.assign(size_t(n), 0.0);
    fft.setSize(n);
    c.reset();
    do {
        // The spectra run in energy: the image is the bin's reading of the
        // frame they begin with, as the spectrum reads it.
        const Spectrum raw = sets.rawI1SpectrumAt(c.cx, c.cy, c.hx, c.hy);
        const double a = raw.points.isEmpty() ? 0.0 : raw.y(0);
        fft.forward(raw);
        const double* p = fft.amplitudes();
        if (!p)
            break;
        for (int k = 0; k < n; k++) {
            s.aa[size_t(k)] += a * a;
            s.pp[size_t(k)] += p[k] * p[k];
            s.ap[size_t(k)] += a * p[k];
        }
    } while (c.next());
    return s;
}

QString fourierResLine(const FourierSums& s, int k)
{
    const size_t i = size_t(k);
    const double r = s.ap[i] / std::sqrt(std::fabs(s.aa[i] * s.pp[i]));
    QString line = QStringLiteral("Res %1").arg(k);
    for (double v : {s.aa[i], s.pp[i], s.ap[i], r})
        line += u' ' + QString::number(v, 'g', 6);
    return line;
}
