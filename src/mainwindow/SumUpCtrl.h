#pragma once
// The ranges of frame numbers whose I1 frames the sum-up adds, shown as
// "from-to" items; the panel sits in the Analyzer panel.
#include "foundation/UserLines.h"
#include "mainwindow/StackSums.h"
#include "ui_SumUpCtrl.h"

#include <QFrame>
#include <QList>

class SumUpCtrl : public QFrame, public Ui_SumUpCtrl {
    Q_OBJECT
public:
    explicit SumUpCtrl(QWidget* parent = nullptr);

    UserLines user;

    // One per item of SumUps, in the same order.
    QList<SumUpRange> sumUps;

public slots:
    void add();
    void del();
};
