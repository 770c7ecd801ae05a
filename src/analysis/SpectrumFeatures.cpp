#include "analysis/SpectrumFeatures.h"

#include "analysis/ElemAnalysis.h"

#include <algorithm>

void SpectrumFeatures::residualAbsorption(const RARequest& r, AnalyzeReply& out)
{
    residualAbsorption(r, r.s, out);
}

void SpectrumFeatures::residualAbsorption(const RARequest& r, const XafsSpectrum& s, AnalyzeReply& out)
{
    const double e = r.atEV - (s.useXOffset ? s.xOffset : 0.0);
    const double pre = s.pre.value(e);
    out.raJump = s.post.value(e) - pre;
    out.raScaledJump = out.raJump * r.raFactor;
    out.raResidual = pre - out.raScaledJump;
}

FeatureValue SpectrumFeatures::featureValue(const XafsSpectrum& s, double edgeEV, double elimReg)
{
    FeatureValue fv;
    const int n = s.size();
    const double sh = s.useXOffset ? s.xOffset : 0.0;
    // A spectrum smoothed before its points changed reads its raw values there.
    const int ns = int(s.smoothedY.size());
    auto m = [&s, ns](int i) { return i < ns ? s.smoothedY.at(i) : s.y(i); };

    // The window compares the unshifted energies with the tabulated edge.
    const int i1 = ElemAnalysis::windowIndex(s, edgeEV - 10.0);
    const int i2 = ElemAnalysis::windowIndex(s, edgeEV + 50.0);
    int start = 0;
    for (int i = std::max(i1, 2); i < i2 && i < n - 2; ++i) {
        const double mi = m(i);
        if (m(i + 1) > m(i + 2) && mi > m(i + 1) && mi > s.post.value(s.x(i) - sh)) {
            fv.dM = mi - s.pre.value(s.x(i) - sh);
            fv.e1 = s.x(i);
            start = i;
            break;
        }
    }

    const double threshold = fv.e1 + elimReg;
    for (int i = start; i < i2 && i + 2 < n; ++i) {
        if (s.x(i) > threshold && m(i + 1) > m(i) && m(i + 2) > m(i + 1)) {
            fv.e2 = s.x(i);
            break;
        }
    }
    return fv;
}
