#pragma once
// Linear combination fits of a spectrum by reference spectra: the current fit
// on the normalised curves, its old variant, and MLCF on the raw absorption
// with a linear background.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"

class LCFFit {
public:
    enum Method { Current, Old, Multi };

    struct Range {
        double lo = 0.0;    // fit range
        double hi = 0.0;
        double lo2 = 0.0;   // range common to all references, for the fitted curve
        double hi2 = 0.0;
    };

    // The requested range cut to every reference's energies less its shift.
    static Range range(const QList<LCFRefData>& refs, double sE0, double eE0);
    static AnalyzeReply fit(const LCFRequest& r, Method method);
};
