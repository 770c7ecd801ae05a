#pragma once
// Statistics of a result map over the bin grid: count, mean, sigma, extremes,
// a histogram of the bin values and the statistics of a chosen value range.
// Plain values; the statistics window only shows them.
#include "foundation/AnalyzeCond.h"

#include <QString>

#include <functional>
#include <vector>

class ChCoord;

struct StatsHist {
    int n = 0;
    double min = 1e300;
    double max = -1e300;
    double mean = 0.0;
    double variance = 0.0;
    double sigma = 0.0;
    int bins = 100;
    double binWidth = 0.0;
    std::vector<int> counts;
    int peak = 0;
    int left = 0; // bins of the grid without a value, not counted
};

// The selected value range and its statistics over the histogram.
struct StatsRange {
    double low = 1e300; // the first calculation selects the whole value range
    double high = -1e300;
    bool used = false;  // statistics were taken at least once
    int count = 0;
    double usedLow = 0.0;
    double usedHigh = 0.0;
    double mean = 0.0;
    double variance = 0.0;
    double sigma = 0.0;
};

namespace stats {

const int DefaultBins = 100;
const int MaxBins = 1000000;

// The Bins text as a whole number above 0, else 100; capped at MaxBins.
int binCount(const QString& text);
// The log line for a Bins text beyond the cap; null when it is within.
QString binCapNote(const QString& text);

// Histogram bin of v: 0 for values at or below the minimum (and for a zero or
// broken width), bins - 1 at or above the top.
int binOf(double v, double min, double width, int bins);

// Both passes over the grid; value(cx, cy) is the map's value at a bin centre,
// not finite where there is none (off the map): such bins are not counted.
StatsHist histogram(const std::function<double(int, int)>& value, AnalyzeCond cond, int bins);

// What the statistics of mapName say of the bins they left out; null when none was.
QString leftOutNote(const StatsHist& h, const QString& mapName);

// Keeps the selected range inside [min, max] of the new histogram.
void clampRange(StatsRange& r, const StatsHist& h);

// Range statistics over the bins whose centre lies in [low, high], each bin's
// values taken at its centre; true
// when the range differs from the one used last (it is then stored).
bool rangeStats(StatsRange& r, const StatsHist& h);

// Which end a press at screen x takes: 0 none, 1 low, 2 high (high wins).
int grabbedEnd(double lowScreenX, double highScreenX, double mouseX);

// Tick step of the axis, in bins: a tenth of them, at least one.
int tickStep(int bins);

// A tick of the value axis at a bin edge, with its label unless that would lie
// over the last one labelled; a null label is not drawn.
struct AxisTick {
    double screenX;
    QString label;
};
// Every tickStep bins from the lowest edge to the top one, placed by cc.
// Labels are thickness pixels across, so a range of no width, whose ticks all
// fall on one place, shows its one value once.
std::vector<AxisTick> axisTicks(const StatsHist& h, const ChCoord& cc, double thickness);

} // namespace stats
