#pragma once
// The background values of the element analysis, given to rows whose edge
// jump stays at or below their threshold.
#include "analysis/ElemRowConds.h"
#include "ui_AElemsConds.h"

#include <QFrame>

class AElemsConds : public QFrame, public Ui_AElemsConds {
    Q_OBJECT
public:
    explicit AElemsConds(QWidget* parent = nullptr);
    ~AElemsConds() override;

    // The fields as numbers, for a request.
    ElemBackground background() const;
    // The first value the analysis reads that holds no number, told as its
    // name and text; empty when they all hold one.
    QString fieldMistake() const;
};
