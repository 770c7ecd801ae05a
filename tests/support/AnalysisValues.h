#pragma once
// Helpers for the analysis tests: reference rows as request values and a
// comparison that treats equal non-finite numbers as equal.
#include "analysis/AnalyzeRequests.h"

#include <cmath>

// A used reference row built from points, normalised with straight lines.
inline LCFRefData refDataOf(const Spectrum& pts, int index, double dE)
{
    const XafsSpectrum x(pts, "ref", 1, 0.0, SuggestElm());
    LCFRefData d;
    d.index = index;
    d.dE = dE;
    d.minE = x.minX;
    d.maxE = x.maxX;
    d.n = x.doubleNormalized;
    d.p = x.minusPostByGap;
    return d;
}

inline bool sameValue(double a, double b, double tol)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    if (std::isinf(a) || std::isinf(b))
        return a == b;
    return std::fabs(a - b) <= tol;
}
