#pragma once
// Helpers for the analysis tests: reference rows as request values and a
// comparison that treats equal non-finite numbers as equal.
#include "analysis/AnalyzeRequests.h"

#include <cmath>

// A used reference row built from points, normalised with straight lines.
inline LCFRefData refDataOf(const Spectrum& pts, int index, double dE)
{
    return LCFRefData::of(XafsSpectrum(pts, "ref", 1, 0.0, SuggestElm()), index, dE);
}

inline bool sameValue(double a, double b, double tol)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    if (std::isinf(a) || std::isinf(b))
        return a == b;
    return std::fabs(a - b) <= tol;
}
