#pragma once
// One curve as a plain value: (x, y) points with their running extremes, an
// optional running mean of y and an optional x offset honoured by every lookup.
#include "foundation/Globals.h"

#include <QList>
#include <QPointF>

#include <cmath>

class Spectrum {
public:
    // Plot users skip a curve whose flag is off; construction and clear set it.
    bool enabled = true;
    // x ascending is assumed by every lookup; nothing sorts it.
    QList<QPointF> points;
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    // Sentinels, not -1 or the size: they stay until a point sets an extreme.
    int minYIndex = MinIndexUnset;
    int maxYIndex = MaxIndexUnset;
    QList<double> smoothedY;
    bool smoothedValid = false;
    bool useXOffset = false;
    double xOffset = 0.0;

    static constexpr int MinIndexUnset = -1879048193;
    static constexpr int MaxIndexUnset = 1879048193;

    int size() const { return int(points.size()); }
    double x(int i) const { return points.at(i).x(); }
    double y(int i) const { return points.at(i).y(); }
    // Where lookups place point i: x less the offset when that is on.
    double pos(int i) const { return useXOffset ? points.at(i).x() - xOffset : points.at(i).x(); }

    // Appends with strict comparisons, so on a tie the earlier point keeps the index.
    void append(double x, double y)
    {
        points.append(QPointF(x, y));
        noteExtremes(int(points.size()) - 1, x, y);
    }
    // What append does to the extremes for point i at (x, y).
    void noteExtremes(int i, double x, double y)
    {
        if (x < minX)
            minX = x;
        if (x > maxX)
            maxX = x;
        if (y < minY) {
            minY = y;
            minYIndex = i;
        }
        if (y > maxY) {
            maxY = y;
            maxYIndex = i;
        }
    }
    void resetMinMax();
    // Resets smoothing, offset and extremes, and sets `enabled`; the points stay.
    void clear();
    // Linear interpolation; the end segments are extended beyond the list.
    double yAt(double x) const;
    // The same lookup over `smoothedY`; needs `smooth` on the current points.
    double smoothedYAt(double x) const;
    // Running mean of half-width n, the window cut at the ends.
    void smooth(int n);

    // yAt (or smoothedYAt) for a run of x that do not fall from call to call:
    // where the points ascend it walks on from the last segment instead of
    // searching, with the very same result; elsewhere it searches as yAt does.
    class Lookup {
    public:
        Lookup(const Spectrum& s, bool smoothed);
        double at(double x);

    private:
        const Spectrum& s;
        bool smoothed;
        bool ascending = true;
        int lo = 0;
    };

private:
    // Chooses the segment (lo, hi) for a lookup at x; needs at least two points.
    void segmentAt(double x, int& lo, int& hi) const;
};

// Inline: a walk looks up every point of every bin.
inline double Spectrum::Lookup::at(double x)
{
    const int n = s.size();
    if (!ascending || n < 2 || std::isnan(x))
        return smoothed ? s.smoothedYAt(x) : s.yAt(x);
    int hi;
    if (x <= s.pos(0)) {
        lo = 0;
        hi = 1;
    } else if (x >= s.pos(n - 1)) {
        lo = n - 2;
        hi = n - 1;
    } else {
        // The search ends at the last point not above x; on ascending points
        // that one is unique, so walking to it finds the same segment.
        if (!(lo < n - 1 && s.pos(lo) <= x))
            lo = 0;
        while (s.pos(lo + 1) <= x)
            ++lo;
        hi = lo + 1;
    }
    auto sy = [this](int i) { return i < s.smoothedY.size() ? s.smoothedY.at(i) : s.y(i); };
    const double x1 = s.pos(lo), x2 = s.pos(hi);
    const double y1 = smoothed ? sy(lo) : s.y(lo);
    const double y2 = smoothed ? sy(hi) : s.y(hi);
    // Most lookups fall on a point: there x - x1 is +0, and +0 times a finite
    // slope is a zero of the slope's sign, which is that of y2 - y1; the
    // division is left out then, the sum is the same to the bit.
    const double dx = x2 - x1, dy = y2 - y1;
    if (x == x1 && dx > 0.0 && std::fabs(dy) <= dx * 1e300)
        return (x - x1) * dy + y1;
    return interpolate(x, x1, y1, x2, y2);
}
