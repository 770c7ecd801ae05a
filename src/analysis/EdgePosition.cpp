#include "analysis/EdgePosition.h"

double EdgePosition::dEdge(const DEdgeRequest& r) { return dEdge(r, r.s); }

double EdgePosition::dEdge(const DEdgeRequest& r, const XafsSpectrum& s)
{
    if (r.isMidPoint) {
        // e0 was found at the stored fraction; any other ratio searches again.
        const double e = (s.fraction == r.midRatio) ? s.e0 : s.edgeAt(r.midRatio);
        return e - s.eOffset - r.sElm.edgeEV;
    }
    return s.innerProductShift(r.ref, r.cwRangeEV, r.cwInitDEeV, r.cwMinDEeV) - s.eOffset;
}
