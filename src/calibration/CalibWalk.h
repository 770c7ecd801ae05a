#pragma once
// The energy calibration walk without its window: bin after bin of a grid,
// the shift of the bin's edge against the standard's goes into the shift map
// and the walk's statistics. The main window supplies the spectra and drives
// it one bin per event-loop turn.
#include "foundation/AnalyzeCond.h"

#include <QPoint>
#include <QString>

#include <vector>

class Analyzed2DRes;
class XafsSpectrum;

// How a bin's shift is measured, as the panel sets it.
struct CalibSettings {
    bool innerProduct = false; // else the difference of the edge energies
    double range = 0.0;        // inner product: search range, step and smallest step, eV
    double step = 0.0;
    double minStep = 0.0;
};

class CalibWalk {
public:
    bool running = false;
    // Grid and cursor of the walk; also the geometry a map file states.
    AnalyzeCond cond;
    double min = 1e300;
    double max = -1e300;
    double sum = 0.0;   // the average once finished
    double sqSum = 0.0; // the standard deviation once finished
    int count = 0;
    int noEdge = 0; // bins measured without a finite shift
    // Centres of the counted bins, for the deviation pass.
    std::vector<QPoint> counted;

    // Running from the first bin of grid; the map takes the grid, zeroed. Not
    // a walk: the statistics are emptied alone.
    void start(const AnalyzeCond& grid, Analyzed2DRes& map, bool walk = true);
    // The statistics of a map read from a file, over its grid's bins that hold
    // a shift at their centres, as a walk that measured them would give.
    void takeMap(const AnalyzeCond& grid, Analyzed2DRes& map, bool fitted);
    static double binShift(const XafsSpectrum& bin, const XafsSpectrum& standard,
                           const CalibSettings& s);
    // Puts a finite shift into the bin under the cursor and the statistics;
    // any other only counts as a bin without an edge (false).
    bool record(double shift, Analyzed2DRes& map);
    // Whether the cursor's bin has its centre on the images.
    bool centreOnImage() const;
    // How far the rows have come, in percent; 0 for an area without height.
    double progress() const;
    // The line of a walk stopped before the cursor's bin.
    QString stopLine() const;
    // Average and standard deviation of the map (or of its fitted surface) at
    // the centres of the counted bins (both not a number without any); the
    // cursor goes back to the first bin.
    void finish(Analyzed2DRes& map, bool fitted);

private:
    // A shift of the cursor's bin into the statistics.
    void take(double shift);
};
