#include "analysis/ElemAnalysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

int ElemAnalysis::windowIndex(const Spectrum& s, double t)
{
    const int n = s.size();
    for (int i = 0; i < n - 1; ++i)
        if ((s.x(i) + s.x(i + 1)) / 2.0 > t)
            return i;
    return n - 1;
}

namespace {

double yOr0(const Spectrum& s, int i) { return (i >= 0 && i < s.size()) ? s.y(i) : 0.0; }

// Mean of y over the indices lo..hi, both included; 0 for an empty span.
double meanOver(const Spectrum& s, int lo, int hi)
{
    if (lo > hi)
        return 0.0;
    double sum = 0.0;
    for (int i = lo; i <= hi; ++i)
        sum += yOr0(s, i);
    return sum / double(hi - lo + 1);
}

double finiteOr(double v, double other) { return std::isfinite(v) ? v : other; }

} // namespace

void ElemAnalysis::run(const ElemsRequest& r, AnalyzeReply& out) { run(r, r.s, out); }

void ElemAnalysis::run(const ElemsRequest& r, const XafsSpectrum& s, AnalyzeReply& out)
{
    out.elemRawDMut.clear();
    out.elemDMut.clear();
    out.elemNDMut.clear();
    out.elemMP.clear();
    out.elemMM.clear();
    out.elemDE.clear();
    out.elemROI.clear();
    out.elemNROI.clear();
    if (r.rows.isEmpty())
        return;

    const double sh = s.useXOffset ? s.xOffset : 0.0;
    const ElemBackground& bg = r.bg;
    // An edge outside the frames' energies has no jump to measure, whatever the threshold.
    double eLo = std::numeric_limits<double>::infinity(), eHi = -eLo;
    for (int i = 0; i < s.size(); ++i) {
        if (std::isfinite(s.x(i))) {
            eLo = std::min(eLo, s.x(i));
            eHi = std::max(eHi, s.x(i));
        }
    }
    for (const ElemRowConds& row : r.rows) {
        const double e0 = row.e0;
        const double dE = row.dE;
        double mp = meanOver(s, windowIndex(s, e0 + dE + sh), windowIndex(s, e0 + 2.0 * dE + sh));
        double mm = meanOver(s, windowIndex(s, e0 - 2.0 * dE + sh), windowIndex(s, e0 - dE + sh));
        const double level = (mp + mm) * 0.5;
        const double dmut = mp - mm;
        double jump, de, roi, nroi;
        if (eLo <= e0 && e0 <= eHi && dmut > row.thDMut) {
            double sum = 0.0;
            int count = 0;
            const int end = windowIndex(s, e0 + dE + sh);
            for (int i = windowIndex(s, e0 - dE + sh); i < end; ++i) {
                if (yOr0(s, i) < level && level <= yOr0(s, i + 1)) {
                    sum += ((s.x(i) - sh) + (s.x(i + 1) - sh)) / 2.0;
                    ++count;
                }
            }
            de = count > 0 ? sum / count - e0 : 0.0;

            const int rs = windowIndex(s, row.roiS + sh);
            const int re = windowIndex(s, row.roiE + sh);
            roi = 0.0;
            if (rs < re) {
                for (int i = rs; i < re; ++i)
                    roi += yOr0(s, i) - mm;
                roi /= double(re - rs);
            }
            if (row.noNeg && roi < 0.0) {
                roi = bg.roi;
                nroi = bg.nRoi;
            } else {
                nroi = roi / dmut;
            }
            // What cannot be formed (a jump of 0 passed by a threshold below 0,
            // a sample that is no number) takes the background value.
            jump = finiteOr(dmut, bg.dMut);
            mp = finiteOr(mp, bg.dMut);
            mm = finiteOr(mm, bg.dMut);
            de = finiteOr(de, bg.dE);
            roi = finiteOr(roi, bg.roi);
            nroi = finiteOr(nroi, bg.nRoi);
        } else {
            jump = bg.dMut;
            mp = bg.dMut;
            mm = bg.dMut;
            de = bg.dE;
            roi = bg.roi;
            nroi = bg.nRoi;
        }
        out.elemRawDMut.append(dmut);
        out.elemDMut.append(jump);
        out.elemMP.append(mp);
        out.elemMM.append(mm);
        out.elemDE.append(de);
        out.elemROI.append(roi);
        out.elemNROI.append(nroi);
    }

    // Without a valid main target the jumps are divided by 1.
    double d = (r.mainT >= 0 && r.mainT < out.elemDMut.size()) ? out.elemDMut[r.mainT] : 1.0;
    if (d == 0.0)
        d = 1.0;
    out.elemNDMut.reserve(out.elemDMut.size());
    for (double v : out.elemDMut)
        out.elemNDMut.append(finiteOr(v / d, bg.dMut));
}
