#pragma once
// One element row of the element analysis: its settings, the last spectrum's
// results and the seven maps of the row.
#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemRowConds.h"
#include "ui_ElemCtrl.h"

#include <QFrame>

class ElemCtrl : public QFrame, public Ui_ElemCtrl {
    Q_OBJECT
public:
    explicit ElemCtrl(QWidget* parent = nullptr);

    static const int mapCount = 7;

    int z = 0;
    int edge = 0; // 0 K, 1 LI, 2 LII, 3 LIII
    double dmut = 0.0;
    double ratio = 0.0;
    double stdRatio = 1.0;
    double mutPlus = 0.0;
    double mutMinus = 0.0;
    Analyzed2DRes mapDMut0;
    Analyzed2DRes mapDMutN;
    Analyzed2DRes mapMutPlus;
    Analyzed2DRes mapMutMinus;
    Analyzed2DRes mapDE;
    Analyzed2DRes mapROI;
    Analyzed2DRes mapNROI;

    void setElement(int z, int edge, const QString& name);
    void setName(const QString& name);
    void setStd();
    void setROI(double v);
    void setNROI(double v);
    // Map k in the order dMut, N. dMut, Mut+, Mut-, dE, ROI, N.ROI; null outside 0..6.
    Analyzed2DRes* map(int k);
    // The row's settings as numbers, read in the GUI thread for a request.
    ElemRowConds rowConds() const;

public slots:
    void newStdRatio();
};
