#include "mainwindow/StatsCalc.h"

#include "display/ChCoord.h"

#include <cmath>

namespace {
// A range that is not a number must not count as new on every repaint.
bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}
} // namespace

namespace stats {

int binCount(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= 0)
        return DefaultBins;
    // a typo must not allocate gigabytes
    return n > MaxBins ? MaxBins : n;
}

QString binCapNote(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= MaxBins)
        return QString();
    return QStringLiteral("Stats: bins %1 capped at %2").arg(n).arg(MaxBins);
}

int binOf(double v, double min, double width, int bins)
{
    if (bins < 1)
        return 0;
    if (!(width > 0.0) || !std::isfinite(width))
        return 0;
    const double f = std::floor((v - min) / width);
    if (!(f >= 1.0)) // also NaN
        return 0;
    if (f >= bins)
        return bins - 1;
    return int(f);
}

StatsHist histogram(const std::function<double(int, int)>& value, AnalyzeCond c, int bins)
{
    StatsHist h;
    h.bins = bins < 1 ? DefaultBins : bins;
    double sum = 0.0;
    double sqSum = 0.0;
    c.reset();
    do {
        const double v = value(c.cx, c.cy);
        if (!std::isfinite(v)) {
            h.left++;
            continue;
        }
        h.n++;
        sum += v;
        sqSum += v * v;
        if (v < h.min)
            h.min = v;
        if (v > h.max)
            h.max = v;
    } while (c.next());
    if (h.n > 0) {
        h.mean = sum / h.n;
        h.variance = sqSum / h.n - h.mean * h.mean;
    }
    if (h.variance < 0.0)
        h.variance = 0.0;
    h.sigma = std::sqrt(h.variance);

    h.binWidth = (h.max - h.min) / h.bins;
    h.counts.assign(size_t(h.bins), 0);
    c.reset();
    do {
        const double v = value(c.cx, c.cy);
        if (std::isfinite(v))
            h.counts[size_t(binOf(v, h.min, h.binWidth, h.bins))]++;
    } while (c.next());
    for (int k : h.counts)
        if (k > h.peak)
            h.peak = k;
    return h;
}

QString leftOutNote(const StatsHist& h, const QString& mapName)
{
    if (h.left == 0)
        return QString();
    return QStringLiteral("Stats of %1: %2 of the area's %3 bins hold no result and are left out")
        .arg(mapName)
        .arg(h.left)
        .arg(qint64(h.left) + h.n);
}

void clampRange(StatsRange& r, const StatsHist& h)
{
    if (r.low > h.max) {
        r.low = h.min;
        r.high = h.max;
    } else if (r.low < h.min) {
        r.low = h.min;
    }
    if (r.high < h.min) {
        r.low = h.min;
        r.high = h.max;
    } else if (r.high > h.max) {
        r.high = h.max;
    }
}

bool rangeStats(StatsRange& r, const StatsHist& h)
{
    int count = 0;
    double s = 0.0;
    double s2 = 0.0;
    for (int i = 0; i < int(h.counts.size()); i++) {
        // A bin stands for its values at its centre: its lower edge would put
        // every mean half a bin low.
        const double x = (i + 0.5) * h.binWidth + h.min;
        if (x < r.low || x > r.high)
            continue;
        const double k = h.counts[size_t(i)];
        count += h.counts[size_t(i)];
        s += k * x;
        s2 += k * x * x;
    }
    const double d = count < 2 ? 1.0 : double(count);
    r.count = count;
    r.mean = s / d;
    r.variance = s2 / d - r.mean * r.mean;
    if (r.variance < 0.0)
        r.variance = 0.0;
    r.sigma = std::sqrt(r.variance);
    const bool changed = !r.used || !same(r.usedLow, r.low) || !same(r.usedHigh, r.high);
    r.used = true;
    r.usedLow = r.low;
    r.usedHigh = r.high;
    return changed;
}

int grabbedEnd(double lowScreenX, double highScreenX, double mouseX)
{
    int end = 0;
    if (std::fabs(lowScreenX - mouseX) <= 20)
        end = 1;
    if (std::fabs(highScreenX - mouseX) <= 20)
        end = 2;
    return end;
}

int tickStep(int bins)
{
    return bins / 10 < 1 ? 1 : bins / 10;
}

std::vector<AxisTick> axisTicks(const StatsHist& h, const ChCoord& cc, double thickness)
{
    std::vector<AxisTick> ticks;
    const double w = h.binWidth > 0 ? h.binWidth : 1.0;
    const int step = tickStep(h.bins);
    double lastLabelled = 0.0;
    for (int t = 0; t <= h.bins; t += step) {
        const double x = t * w + h.min;
        const double sx = cc.toScreenX(x);
        AxisTick tick{sx, QString()};
        if (ticks.empty() || std::fabs(sx - lastLabelled) >= thickness) {
            tick.label = QString::number(x, 'g', 4);
            lastLabelled = sx;
        }
        ticks.push_back(tick);
        if (h.bins - t < step)
            break; // the next step would pass the last edge (and could overflow)
    }
    return ticks;
}

} // namespace stats
