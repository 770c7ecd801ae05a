#include "calibration/CalibWalk.h"

#include "analysis/Analyzed2DRes.h"
#include "foundation/XafsSpectrum.h"
#include "mainwindow/EnergyShift.h"

#include <cmath>

void CalibWalk::start(const AnalyzeCond& grid, Analyzed2DRes& map)
{
    running = true;
    cond = grid;
    cond.reset();
    map.setCond(cond);
    min = 1e300;
    max = -1e300;
    sum = 0.0;
    sqSum = 0.0;
    count = 0;
}

double CalibWalk::binShift(const XafsSpectrum& bin, const XafsSpectrum& standard,
                           const CalibSettings& s)
{
    if (s.innerProduct)
        return bin.innerProductShift(standard, s.range, s.step, s.minStep);
    return bin.e0 - standard.e0;
}

void CalibWalk::record(double shift, Analyzed2DRes& map)
{
    map.setData(cond.cx, cond.cy, cond.hx, cond.hy, shift);
    if (min > shift)
        min = shift;
    if (shift > max)
        max = shift;
    sum += shift;
    count++;
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

void CalibWalk::finish(Analyzed2DRes& map, bool fitted)
{
    running = false;
    const double average = count > 0 ? sum / count : 0.0;
    sum = average;
    map.surfFit.solve();
    double sq = 0.0;
    cond.reset();
    do {
        // Bins off the images were not measured (they have no spectrum).
        if (!centreOnImage())
            continue;
        const double v = mapShiftAt(map, cond.cx, cond.cy, fitted);
        sq += (v - average) * (v - average);
    } while (cond.next());
    cond.reset();
    sqSum = count > 0 ? std::sqrt(sq / count) : 0.0;
}
