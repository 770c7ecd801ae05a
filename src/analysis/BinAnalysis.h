#pragma once
// The analyses of one spectrum of a walk, called on a walk's worker thread:
// the values a walk records, without the display-only fitted curve.
#include "analysis/AnalysisSettings.h"
#include "analysis/AnalyzeReply.h"
#include "analysis/LCFFit.h"

#include <vector>

// The spectrum cut to the fit's energy range and normalised again, unless
// nothing was cut.
XafsSpectrum limitedSpectrum(const XafsSpectrum& s, double from, double to);
// Nothing is cut, and the copy differs from s only in what no fit reads.
bool limitKeepsAll(const XafsSpectrum& s, double from, double to);

class BinAnalysis {
public:
    // energies: the walk's unshifted energies, for the references looked up once.
    BinAnalysis(const AnalysisSettings& settings, const std::vector<double>& energies);

    const BinLayout& layout() const { return lay; }
    // Whether analyze reads the normalisation of a bin on these points: not
    // when the fit alone is asked for and it fits a cut copy. Without it the
    // values are the same, the bin being cut and normalised anew.
    XafsSpectrum::Curves curvesRead(const Spectrum& points, int normMode, const SuggestElm& sElm) const;
    // The bin's values into values[0 .. layout().stride).
    void analyze(const XafsSpectrum& s, double* values);

private:
    const AnalysisSettings& set;
    BinLayout lay;
    LCFFit::RefTable table;
    LCFFit::Method method = LCFFit::Current;
    AnalyzeReply fit; // kept from bin to bin for their storage
    LCFFit::Scratch scratch;
    Spectrum keptPoints;
    XafsSpectrum limited;
    AnalyzeReply elems;
    AnalyzeReply ra;
};
