#pragma once
// Where the absorption edge of a spectrum lies, in eV: by the mid-point of the
// jump against the expected edge, or by the shift that best matches a
// comparison spectrum.
#include "analysis/AnalyzeRequests.h"

class EdgePosition {
public:
    static double dEdge(const DEdgeRequest& r);
    // With the settings of r for s (r.s is not read).
    static double dEdge(const DEdgeRequest& r, const XafsSpectrum& s);
};
