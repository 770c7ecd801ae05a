#pragma once
// The expected absorber of a spectrum: when `use` is on, normalisation looks
// for the edge only near `edgeEV` and flags an edge outside that window.
#include <QMetaType>

struct SuggestElm {
    bool use = false;
    int z = 29;
    int edge = 0;                // 0 K, then LI, LII, LIII
    double edgeEV = 8984.36029;  // Cu K
    double dPreE = -20.0;        // pre-edge region ends here, relative to the edge
    double dPostS = 20.0;        // post-edge region starts here
    double thJumpSigma = 1.0;    // jump threshold in RMS residuals of the lines
};

Q_DECLARE_METATYPE(SuggestElm)
