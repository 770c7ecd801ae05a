#include "calibration/CalibCtrl.h"

CalibCtrl::CalibCtrl(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Calibration"));
}

CalibCtrl::~CalibCtrl() = default;

void CalibCtrl::progress(double) {}
