#pragma once
// Absorption edges with flat pre- and post-edge regions, for analysis tests.
#include "foundation/Spectrum.h"

#include <cmath>
#include <functional>

// low up to `from`, high from `to` on, linear between; a step when from == to.
inline double rampValue(double e, double from, double to, double low = 0.0, double high = 1.0)
{
    if (e < from || (e == from && from != to))
        return low;
    if (e >= to)
        return high;
    return low + (high - low) * (e - from) / (to - from);
}

// f at first, first + step, ... up to last (counted, so the grid does not drift).
inline Spectrum sampled(double first, double last, double step, const std::function<double(double)>& f)
{
    Spectrum s;
    const int n = int(std::floor((last - first) / step + 1e-9)) + 1;
    for (int k = 0; k < n; ++k) {
        const double e = first + k * step;
        s.append(e, f(e));
    }
    return s;
}

inline Spectrum rampSpectrum(double first, double last, double step, double from, double to,
                             double low = 0.0, double high = 1.0)
{
    return sampled(first, last, step, [=](double e) { return rampValue(e, from, to, low, high); });
}
