#pragma once
// One curve as a plain value: (x, y) points with their running extremes, an
// optional running mean of y and an optional x offset honoured by every lookup.
#include <QList>
#include <QPointF>

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
