#include "foundation/Spectrum.h"

#include "foundation/Globals.h"

#include <algorithm>
#include <cmath>

void Spectrum::resetMinMax()
{
    minX = minY = 1e300;
    maxX = maxY = -1e300;
    minYIndex = MinIndexUnset;
    maxYIndex = MaxIndexUnset;
}

void Spectrum::clear()
{
    enabled = true;
    smoothedY.clear();
    smoothedValid = false;
    useXOffset = false;
    xOffset = 0.0;
    resetMinMax();
}

void Spectrum::segmentAt(double x, int& lo, int& hi) const
{
    const int n = size();
    if (x <= pos(0)) {
        lo = 0;
        hi = 1;
        return;
    }
    if (x >= pos(n - 1)) {
        lo = n - 2;
        hi = n - 1;
        return;
    }
    lo = 0;
    hi = n - 1;
    while (lo < hi - 1) {
        const int mid = (lo + hi) / 2;
        if (pos(mid) > x)
            hi = mid;
        else
            lo = mid;
    }
}

double Spectrum::yAt(double x) const
{
    const int n = size();
    if (n < 1)
        return 0.0;
    if (n == 1)
        return y(0);
    int lo, hi;
    segmentAt(x, lo, hi);
    return interpolate(x, pos(lo), y(lo), pos(hi), y(hi));
}

double Spectrum::smoothedYAt(double x) const
{
    const int n = size();
    if (n < 1)
        return 0.0;
    // A stale smoothing must not read past its end: uncovered points give their raw y.
    auto sy = [this](int i) { return i < smoothedY.size() ? smoothedY.at(i) : y(i); };
    if (n == 1)
        return sy(0);
    int lo, hi;
    segmentAt(x, lo, hi);
    return interpolate(x, pos(lo), sy(lo), pos(hi), sy(hi));
}

Spectrum::Lookup::Lookup(const Spectrum& s, bool smoothed) : s(s), smoothed(smoothed)
{
    // Not a number in the positions fails the test too: the search is used then.
    for (int i = 0; i + 1 < s.size() && ascending; ++i)
        ascending = s.pos(i) <= s.pos(i + 1);
}

void Spectrum::smooth(int n)
{
    n = std::max(n, 0);
    const int count = size();
    smoothedY.resize(count);
    if (count > 0) {
        double* out = smoothedY.data();
        double sum = 0.0;
        for (int j = 0; j <= n && j < count; ++j)
            sum += y(j);
        for (int i = 0; i < count; ++i) {
            const int lo = std::max(0, i - n);
            const int hi = std::min(count - 1, i + n);
            out[i] = sum / double(hi - lo + 1);
            if (i - n >= 0)
                sum -= y(i - n);
            if (i + n + 1 < count)
                sum += y(i + n + 1);
        }
    }
    smoothedValid = true;
}
