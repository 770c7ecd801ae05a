#include "analysis/BinAnalysis.h"

#include "analysis/AnalyzerElems.h"
#include "analysis/EdgePosition.h"
#include "analysis/ElemAnalysis.h"
#include "analysis/SpectrumFeatures.h"

#include <algorithm>

BinLayout::BinLayout(int refs_, int elems_) : refs(std::max(0, refs_)), elems(std::max(0, elems_))
{
    int at = 0;
    lcfDMut = at;
    at += refs;
    lcfRatio = at;
    at += refs;
    z = at++;
    dEdge = at++;
    elem = at;
    at += 7 * elems;
    cor = at++;
    corValid = at++;
    raJump = at++;
    raResidual = at++;
    fvDM = at++;
    fvE1 = at++;
    fvE2 = at++;
    stride = at;
}

namespace {
// Normalised on construction as a rebuild of the same points would be: straight
// lines, no suggested absorber, default regions, no shift of its own. A fit
// reads only the double-normalised curve.
bool normalisedAsLimited(const XafsSpectrum& s, bool forFit)
{
    return s.normMode == 1 && !s.sElm.use && !s.useXOffset && s.preS == -1000.0 && s.preE == -10.0 &&
           s.postS == 10.0 && s.postE == 1000.0 && s.fraction == 0.5 && s.doubleNormalized.size() == s.size() &&
           (forFit || s.minusPostByGap.size() == s.size());
}

bool allWithin(const Spectrum& s, double from, double to)
{
    return std::all_of(s.points.cbegin(), s.points.cend(),
                       [from, to](const QPointF& p) { return from <= p.x() && p.x() <= to; });
}

bool keepsAll(const XafsSpectrum& s, double from, double to, bool forFit)
{
    return allWithin(s, from, to) && s.size() > 0 && normalisedAsLimited(s, forFit);
}

// The points of s within [from, to], into kept's storage.
void cutPoints(const XafsSpectrum& s, double from, double to, Spectrum& kept)
{
    kept.points.clear();
    kept.resetMinMax();
    kept.points.reserve(s.size());
    for (const QPointF& p : s.points) {
        if (from <= p.x() && p.x() <= to)
            kept.append(p.x(), p.y());
    }
}
} // namespace

bool limitKeepsAll(const XafsSpectrum& s, double from, double to) { return keepsAll(s, from, to, false); }

XafsSpectrum limitedSpectrum(const XafsSpectrum& s, double from, double to)
{
    if (limitKeepsAll(s, from, to)) {
        // Nothing cut: the normalisation already done is the one a rebuild would
        // repeat, and a walk does this for every bin.
        XafsSpectrum l = s;
        l.name = QStringLiteral("limited-S");
        l.sElm = SuggestElm();
        l.i0 = Spectrum();
        l.i1 = Spectrum();
        l.plainFile = 1;
        return l;
    }
    Spectrum kept;
    cutPoints(s, from, to, kept);
    return XafsSpectrum(kept, QStringLiteral("limited-S"), 1, s.eOffset, SuggestElm());
}

BinAnalysis::BinAnalysis(const AnalysisSettings& settings, const std::vector<double>& energies)
    : set(settings), lay(int(settings.lcf.refs.size()), int(settings.elems.rows.size()))
{
    if (set.choice.lcf) {
        method = set.lcf.isMLCF ? LCFFit::Multi : (set.lcfOld ? LCFFit::Old : LCFFit::Current);
        table = LCFFit::table(set.lcf.refs, energies);
    }
}

XafsSpectrum::Curves BinAnalysis::curvesRead(const Spectrum& points, int normMode, const SuggestElm& sElm) const
{
    const AnalysisChoice& c = set.choice;
    if (!c.lcf || c.dEdge || c.elems || c.ra || c.fv || points.size() < 1)
        return XafsSpectrum::DoubleNormalizedOnly;
    // As normalisedAsLimited, before the normalisation.
    return allWithin(points, set.lcf.sE0, set.lcf.eE0) && normMode == 1 && !sElm.use && !points.useXOffset ? XafsSpectrum::DoubleNormalizedOnly
                                                                    : XafsSpectrum::NotNormalized;
}

void BinAnalysis::analyze(const XafsSpectrum& s, double* v)
{
    std::fill(v, v + lay.stride, 0.0);
    const AnalysisChoice& c = set.choice;
    if (c.lcf) {
        // A fit reads nothing of what the limited copy changes when nothing is cut.
        const bool whole = keepsAll(s, set.lcf.sE0, set.lcf.eE0, true);
        if (!whole) {
            // The cut spectrum as limitedSpectrum builds it, on this analysis's storage.
            cutPoints(s, set.lcf.sE0, set.lcf.eE0, keptPoints);
            limited.rebuild(keptPoints, QStringLiteral("limited-S"), 1, s.eOffset, SuggestElm(),
                            XafsSpectrum::DoubleNormalizedOnly);
        }
        LCFFit::fitInto(set.lcf, whole ? s : limited, method, fit, &table, false, &scratch);
        const int n = int(std::min<qsizetype>(lay.refs, std::min(fit.lcfDMuts.size(), fit.lcfRatios.size())));
        for (int k = 0; k < n; ++k) {
            v[lay.lcfDMut + k] = fit.lcfDMuts[k];
            v[lay.lcfRatio + k] = fit.lcfRatios[k];
        }
        v[lay.z] = fit.z;
    }
    if (c.dEdge)
        v[lay.dEdge] = EdgePosition::dEdge(set.dEdge, s);
    if (c.elems) {
        ElemAnalysis::run(set.elems, s, elems);
        const QList<double>* lists[7] = {&elems.elemDMut, &elems.elemNDMut, &elems.elemMP,  &elems.elemMM,
                                         &elems.elemDE,   &elems.elemROI,   &elems.elemNROI};
        for (int k = 0; k < 7; ++k) {
            const int n = int(std::min<qsizetype>(lay.elems, lists[k]->size()));
            for (int j = 0; j < n; ++j)
                v[lay.elem + k * lay.elems + j] = lists[k]->at(j);
        }
        double cor = 0.0;
        if (elemCorrelation(elems.elemNDMut, set.elemUse, set.elemStdRatio, cor)) {
            v[lay.cor] = cor;
            v[lay.corValid] = 1.0;
        }
    }
    if (c.ra) {
        SpectrumFeatures::residualAbsorption(set.ra, s, ra);
        v[lay.raJump] = ra.raJump;
        v[lay.raResidual] = ra.raResidual;
    }
    if (c.fv) {
        const FeatureValue f = SpectrumFeatures::featureValue(s, s.sElm.edgeEV, set.fv.elimReg);
        v[lay.fvDM] = f.dM;
        v[lay.fvE1] = f.e1;
        v[lay.fvE2] = f.e2;
    }
}
