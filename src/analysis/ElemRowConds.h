#pragma once
// The settings of one element row as numbers, taken in the GUI thread when a
// request is made, so the analysis worker never reads the row's widgets.
#include <QMetaType>
#include <QVector>

struct ElemRowConds {
    double e0 = 0.0;     // Eng: expected edge energy, eV
    double dE = 20.0;    // PrePostDE: window width, eV
    double roiS = 7000.0; // ROIs
    double roiE = 7005.0; // ROIe
    double thDMut = 0.0; // ThDMut: jump threshold
    bool noNeg = false;  // NoNeg
};

// The background values of the element analysis as numbers.
struct ElemBackground {
    double dMut = 0.0;  // BGVDMut
    double dMutR = 0.0; // BGVDMutR (shown and settable, read by no analysis)
    double dE = 0.0;    // BGVDE
    double roi = -1.0;  // BGVROI
    double nRoi = -1.0; // BGVNROI
};

Q_DECLARE_METATYPE(ElemRowConds)
Q_DECLARE_METATYPE(ElemBackground)
