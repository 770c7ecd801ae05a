#pragma once
// The one answer to a request of the analysis worker. Only the fields of the
// request's kind are filled; the others keep their defaults.
#include "analysis/FeatureValue.h"
#include "foundation/XafsSpectrum.h"

#include <QList>
#include <QMetaType>

enum class AnalyzeKind { LCF, LCFOld, MLCF, DEdge, Elems, RA, FV };

struct AnalyzeReply {
    quint64 generation = 0;  // echoed from the request
    AnalyzeKind kind = AnalyzeKind::LCF;

    // Fits. When `fitted` is off the fit did not run: the lists hold zeros, z is 0
    // and `fittedSpectrum` is empty.
    bool fitted = false;
    bool writeRows = false;   // echoed: whether rows may show this fit
    QList<int> lcfRows;       // row number of each entry of the two lists below
    QList<double> lcfRatios;
    QList<double> lcfDMuts;
    double z = 0.0;
    XafsSpectrum fittedSpectrum;

    double dEdge = 0.0;

    // One entry per element row, in row order.
    QList<double> elemRawDMut;  // the measured jump, also below the threshold
    QList<double> elemDMut;
    QList<double> elemNDMut;
    QList<double> elemMP;
    QList<double> elemMM;
    QList<double> elemDE;
    QList<double> elemROI;
    QList<double> elemNROI;

    double raJump = 0.0;
    double raScaledJump = 0.0;
    double raResidual = 0.0;

    FeatureValue fv;
};

Q_DECLARE_METATYPE(AnalyzeKind)
Q_DECLARE_METATYPE(AnalyzeReply)
