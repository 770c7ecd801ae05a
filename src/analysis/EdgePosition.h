#pragma once
// Where the absorption edge of a spectrum lies, in eV: by the mid-point of the
// jump against the expected edge, or by the shift that best matches a
// comparison spectrum.
#include "foundation/UserLines.h"
#include "analysis/AnalyzeRequests.h"

#include <vector>

class EdgePosition {
public:
    static double dEdge(const DEdgeRequest& r);
    // With the settings of r for s (r.s is not read).
    static double dEdge(const DEdgeRequest& r, const XafsSpectrum& s);

    // The comparison's search half-width for energies spanning `span` eV: a
    // shift past the span compares curves that no longer overlap.
    static double searchRange(double cwRangeEV, double span);
    // The line that tells a search of ±range eV, typed as `typed` into the
    // field `what`, kept within the span of energies; empty when not cut.
    static QString clippedLine(const QString& what, double typed, double range, const std::vector<double>& energies);

    // The spectrum to compare with, "DEdge Step": 0 below `at` and 1 from it,
    // every dE eV from at - width / 2 to below at + width / 2. False, with a
    // line to user and `out` untouched, for a step that is no positive number
    // or would give more than MaxStepPoints points.
    static const int MaxStepPoints = 200000;
    static bool stepSpectrum(double at, double width, double dE, XafsSpectrum& out, const UserLines& user = {});
};
