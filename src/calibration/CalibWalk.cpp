#include "calibration/CalibWalk.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/EdgePosition.h"
#include "foundation/XafsSpectrum.h"
#include "mainwindow/EnergyShift.h"

#include <cmath>
#include <limits>

void CalibWalk::start(const AnalyzeCond& grid, Analyzed2DRes& map, bool walk)
{
    running = walk;
    cond = grid;
    cond.reset();
    if (walk)
        map.setCond(cond);
    min = 1e300;
    max = -1e300;
    sum = 0.0;
    sqSum = 0.0;
    count = 0;
    noEdge = 0;
    counted.clear();
}

double CalibWalk::binShift(const XafsSpectrum& bin, const XafsSpectrum& standard,
                           const CalibSettings& s)
{
    // Kept within the span as the edge comparison is (the main window tells it).
    if (s.innerProduct)
        return bin.innerProductShift(standard, EdgePosition::searchRange(s.range, bin.maxX - bin.minX), s.step,
                                     s.minStep);
    return bin.e0 - standard.e0;
}

bool CalibWalk::record(double shift, Analyzed2DRes& map)
{
    if (!std::isfinite(shift)) {
        noEdge++;
        return false;
    }
    map.setData(cond.cx, cond.cy, cond.hx, cond.hy, shift);
    take(shift);
    return true;
}

void CalibWalk::take(double shift)
{
    if (min > shift)
        min = shift;
    if (shift > max)
        max = shift;
    sum += shift;
    count++;
    counted.push_back(QPoint(cond.cx, cond.cy));
}

void CalibWalk::takeMap(const AnalyzeCond& grid, Analyzed2DRes& map, bool fitted)
{
    start(grid, map, false);
    do {
        const double v = map.valueAt(cond.cx, cond.cy);
        if (map.onMap(cond.cx, cond.cy) && std::isfinite(v))
            take(v);
    } while (cond.next());
    finish(map, fitted);
}

bool CalibWalk::centreOnImage() const
{
    return cond.cx >= 0 && cond.cy >= 0 && cond.cx < cond.W && cond.cy < cond.H;
}

double CalibWalk::progress() const
{
    if (cond.y1 == cond.y0)
        return 0.0;
    return (double(cond.cy) - cond.y0) / (double(cond.y1) - cond.y0) * 100.0;
}

QString CalibWalk::stopLine() const
{
    const qint64 all = qint64(cond.columns()) * cond.rows();
    return QStringLiteral("Calibration stopped at bin (%1, %2), %3 % of the rows: %4 of %5 bins measured, "
                          "the others hold no result")
        .arg(cond.cx)
        .arg(cond.cy)
        .arg(QString::asprintf("%.2f", progress()))
        .arg(count)
        .arg(all);
}

void CalibWalk::finish(Analyzed2DRes& map, bool fitted)
{
    running = false;
    const double none = std::numeric_limits<double>::quiet_NaN();
    const double average = count > 0 ? sum / count : none;
    sum = average;
    map.surfFit.solve();
    // Over the same bins as the average: a bin left out of it would add its
    // map value 0 as a deviation.
    double sq = 0.0;
    for (const QPoint& c : counted) {
        const double v = mapShiftAt(map, c.x(), c.y(), fitted);
        sq += (v - average) * (v - average);
    }
    cond.reset();
    sqSum = count > 0 ? std::sqrt(sq / count) : none;
}
