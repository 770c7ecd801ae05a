#pragma once
// Linear combination fits of a spectrum by reference spectra: the current fit
// on the normalised curves, its old variant, and MLCF on the raw absorption
// with a linear background.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"

#include <vector>

class LCFFit {
public:
    enum Method { Current, Old, Multi };

    struct Range {
        double lo = 0.0;    // fit range
        double hi = 0.0;
        double lo2 = 0.0;   // range common to all references, for the fitted curve
        double hi2 = 0.0;
    };

    // The references' curves looked up once at given energies (a walk's
    // unshifted energies), for fits of spectra on those energies.
    struct RefTable {
        std::vector<double> energies;
        std::vector<std::vector<double>> n; // per reference, per energy
        std::vector<std::vector<double>> p;
    };
    static RefTable table(const QList<LCFRefData>& refs, const std::vector<double>& energies);

    // What one fit works in, kept from bin to bin by a walk so that its bins
    // allocate nothing.
    struct Scratch {
        std::vector<double> a, b, v, c;
        std::vector<double> lStore, uStore, y, x;
        std::vector<double*> aRows, lRows, uRows;
        std::vector<int> perm;
        Spectrum curve;
        std::vector<Spectrum::Lookup> refN, refP;
        std::vector<int> idx;      // table energies of the points in the fit range
        std::vector<int> curveAt;  // the fitted curve's point of each point
        // The normal matrix of the last fit on a table, and what it depends on.
        const RefTable* keptFor = nullptr;
        bool keptMulti = false;
        std::vector<int> keptIdx;
        std::vector<double> keptA;
        bool keptFactored = false; // lStore, uStore and perm hold the LU of keptA
    };

    // The requested range cut to every reference's energies less its shift.
    static Range range(const QList<LCFRefData>& refs, double sE0, double eE0);
    static AnalyzeReply fit(const LCFRequest& r, Method method);
    // Why a fit over [sE0, eE0] would find no bin's fractions: a bin cut to the
    // range fits its post-edge line from 10 eV past its edge, the lowest of the
    // used references' (less their shifts), and fewer than two of the energies
    // lie there. Empty when enough do, or without a reference or an energy.
    static QString rangeMistake(const QList<LCFRefData>& refs, double sE0, double eE0,
                                const std::vector<double>& energies);
    // The fit of s with the settings of r (r.s is not read). Without
    // `withCurve` the fitted spectrum is left empty: z does not need it.
    static void fitInto(const LCFRequest& r, const XafsSpectrum& s, Method method, AnalyzeReply& out,
                        const RefTable* t, bool withCurve, Scratch* scratch = nullptr);
};
