#pragma once
// Requests to the analysis worker. Each is a snapshot taken in the GUI thread
// when the request is made, so the worker reads no widget and no shared list.
#include "analysis/ElemRowConds.h"
#include "foundation/Spectrum.h"
#include "foundation/SuggestElm.h"
#include "foundation/XafsSpectrum.h"

#include <QList>
#include <QMetaType>

// One reference row that takes part in a fit.
struct LCFRefData {
    int index = 0;      // row number in the panel's list
    double dE = 0.0;    // the row's stored energy shift
    double minE = 0.0;  // extremes of the row's own energies
    double maxE = 0.0;
    double edge = 0.0;  // the row's own edge energy, e0
    Spectrum n;  // (μt - pre) / (post - pre), on the file's own energies
    Spectrum p;  // (μt - post) / (post - pre), likewise

    // The curves of a normalised spectrum.
    static LCFRefData of(const XafsSpectrum& x, int index, double dE)
    {
        LCFRefData d;
        d.index = index;
        d.dE = dE;
        d.minE = x.minX;
        d.maxE = x.maxX;
        d.edge = x.e0;
        d.n = x.doubleNormalized;
        d.p = x.minusPostByGap;
        return d;
    }
};

struct LCFRequest {
    quint64 generation = 0;
    XafsSpectrum s;
    int rowCount = 0;          // rows in the panel's list, used or not
    QList<LCFRefData> refs;    // only the used rows, in row order
    bool isMLCF = false;
    double sE0 = 0.0;
    double eE0 = 30000.0;
    SuggestElm sElm;
    bool writeRows = true;     // off during a walk: rows keep their single-spectrum results
};

struct DEdgeRequest {
    quint64 generation = 0;
    XafsSpectrum s;
    SuggestElm sElm;
    bool isMidPoint = true;
    double midRatio = 0.5;
    XafsSpectrum ref;          // comparison spectrum
    double cwRangeEV = 10.0;   // search half-width
    double cwInitDEeV = 1.0;
    double cwMinDEeV = 0.1;
};

struct ElemsRequest {
    quint64 generation = 0;
    XafsSpectrum s;
    QList<ElemRowConds> rows;
    int mainT = 0;             // row that the jumps are normalised to
    ElemBackground bg;
};

struct RARequest {
    quint64 generation = 0;
    XafsSpectrum s;
    double raFactor = 1.0;
    double atEV = 8200.0;
};

struct FVRequest {
    quint64 generation = 0;
    XafsSpectrum s;
    SuggestElm se;
    double eStep = 0.01;       // carried for the panel's record; the search does not use it
    double elimReg = 1.0;
};

Q_DECLARE_METATYPE(LCFRefData)
Q_DECLARE_METATYPE(LCFRequest)
Q_DECLARE_METATYPE(DEdgeRequest)
Q_DECLARE_METATYPE(ElemsRequest)
Q_DECLARE_METATYPE(RARequest)
Q_DECLARE_METATYPE(FVRequest)
