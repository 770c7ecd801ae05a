#pragma once
// Arithmetic of the spectrum plot kept apart from the widget: axis ranges,
// pointer mapping, zoom, the saved file names and the annotation line.
#include <QString>

class Spectrum;

namespace XafsPlot {

// The shown curve starts a new polyline after a jump wider than this (eV).
constexpr double segmentGap = 50.0;

// Makes [lo, hi] safe to map and tick: an empty or non-finite range becomes
// 0..1, a constant one (or one a few ulps wide) is opened around its value.
void usableRange(double& lo, double& hi);

// Real value at pixel s on an axis whose inner screen ends s0, s1 show lo..hi
// (the range made usable first).
double realAt(double s, double lo, double hi, double s0, double s1);

// Screen coordinate as a polyline vertex: truncated toward zero, far values
// held at a distance the painter still clips cleanly; callers skip NaN.
int toVertex(double s);

// Index of the point under x (plot frame, the offset added back when on):
// the first i whose midpoint with point i+1 lies above it, else the last one;
// 0 for a spectrum of at most one point.
int pointIndexAt(const Spectrum& s, double x);

// Scales [lo, hi] by f about c; left alone when the result would not be a
// finite, non-empty range.
void zoomAbout(double c, double f, double& lo, double& hi);

// Range of the Fourier amplitudes amp[0..n-1] shown for n transformed points;
// false when n is too small to transform.
bool fftYRange(const double* amp, int n, double& lo, double& hi);

// "%2-%3-%4x%5": the bin tag of saved spectra.
QString binTag(int ix, int iy, int hw, int vw);
// fname with "-" and the tag inserted before its suffix, absolute.
QString saveBaseName(const QString& fname, int ix, int iy, int hw, int vw);
// base's folder / its complete base name + "-" + label + ".dat", absolute.
QString savedSpectrumName(const QString& base, const QString& label);

// The line under the plot: jump, edge energy and the normalisation's doubts.
QString annotation(double dMut, double midx, bool outOfRange, bool noisy);

// Tick value with rounding noise at zero removed ("0" rather than "1e-17").
double tickValue(double first, int i, double step);

} // namespace XafsPlot
