#include "calibration/CalibCtrl.h"

CalibCtrl::CalibCtrl(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Calibration"));
    TargetBGVictreen = new QRadioButton(tr("Victreen"), this);
    TargetBGVictreen->setEnabled(false);
}

CalibCtrl::~CalibCtrl() = default;

void CalibCtrl::progress(double) {}
