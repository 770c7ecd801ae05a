#pragma once
// Everything the analyses of a spectrum read, taken from the panels once when
// a walk or a single-spectrum request starts. Plain values: workers on other
// threads read them while the panels go on changing.
#include "analysis/AnalyzeRequests.h"

#include <QList>

// Which analyses a spectrum gets.
struct AnalysisChoice {
    bool lcf = false;
    bool dEdge = false;
    bool elems = false;
    bool ra = false;
    bool fv = false;
    int count() const { return int(lcf) + int(dEdge) + int(elems) + int(ra) + int(fv); }
};

struct AnalysisSettings {
    AnalysisChoice choice;
    LCFRequest lcf;            // the settings of the fit; its spectrum is not read
    bool lcfOld = false;
    DEdgeRequest dEdge;
    ElemsRequest elems;
    QList<bool> elemUse;       // rows that count in the correlation
    QList<double> elemStdRatio;
    double corTh = 0.999;
    RARequest ra;
    FVRequest fv;
};

// Where the values of one bin lie in a block of results: the fit's amounts and
// fractions per used reference, z, the edge, seven lists per element row, the
// correlation with its valid flag, the residual absorption and the feature value.
struct BinLayout {
    BinLayout() = default;
    BinLayout(int refs, int elems);
    int refs = 0;
    int elems = 0;
    int lcfDMut = 0;
    int lcfRatio = 0;
    int z = 0;
    int dEdge = 0;
    int elem = 0;      // list k of row j at elem + k * elems + j
    int cor = 0;
    int corValid = 0;
    int raJump = 0;
    int raResidual = 0;
    int fvDM = 0;
    int fvE1 = 0;
    int fvE2 = 0;
    int stride = 0;
};
