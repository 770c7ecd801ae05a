#pragma once
// The dark check: a histogram of every pixel value of a stack of dark frames,
// and the pixels that stay above a threshold in every frame, compared with the
// error points. Results go to fixed-name text files in a given folder.
#include <QList>
#include <QString>

class ErrPoints;
class TiffData;

struct DarkHistogram {
    QList<int> counts; // one per bin plus one for everything at or above max
    double max = 0.0;
    double min = 0.0;
};

struct DarkPoint {
    int x;
    int y;
    double value; // sum over the frames examined so far
};

namespace darkcheck {

// Refuses (false) bins < 0, too many bins for memory, and a max that is not a
// finite number above min (0).
bool settingsUsable(double max, int bins);

// Index of v among bins + 1 counts: bins x (v - min) / (max - min) truncated, in
// that order; below min (or not a number) 0, at or above max bins.
int binIndex(double v, double min, double max, int bins);

// Values of every frame, raster order, into bins + 1 counts (binIndex). Assumes
// usable settings.
DarkHistogram histogram(const QList<TiffData*>& frames, double max, int bins);
void writeHistogram(const DarkHistogram& h, const QString& fileName);

// Pixels of the first frame strictly above th that stay strictly above it in
// every further frame; steps gets the list length after each frame.
QList<DarkPoint> darkPoints(const QList<TiffData*>& frames, double th, QList<int>& steps);

// The whole check into folder: false, with a log line and no file, for unusable
// settings; nothing for an empty stack.
bool run(const QList<TiffData*>& frames, double th, double max, int bins, const ErrPoints& errPs,
         const QString& folder);

} // namespace darkcheck
