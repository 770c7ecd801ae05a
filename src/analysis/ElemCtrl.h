#pragma once
// One element row of the element analysis: its settings, the last spectrum's
// results, and the seven maps of the row (held by the element unit).
#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemRowConds.h"
#include "ui_ElemCtrl.h"

#include <QFrame>

#include <array>

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
    using Maps = std::array<Analyzed2DRes*, mapCount>;

    void setElement(int z, int edge, const QString& name);
    void setName(const QString& name);
    // Not owned; named after the row.
    void setMaps(const Maps& m);
    void setStd();
    void setROI(double v);
    void setNROI(double v);
    // Map k in the order dMut, N. dMut, Mut+, Mut-, dE, ROI, N.ROI; null outside 0..6.
    Analyzed2DRes* map(int k);
    // The row's settings as numbers, read in the GUI thread for a request.
    ElemRowConds rowConds() const;
    // The first field the analysis reads that holds no number, told with the
    // row's name and the field's text; empty when they all hold one.
    QString fieldMistake() const;

private:
    Maps maps{};

public slots:
    void newStdRatio();
};
