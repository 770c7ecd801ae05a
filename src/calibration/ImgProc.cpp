#include "calibration/ImgProc.h"

ImgProc::ImgProc(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Image Processor"));
}

ImgProc::~ImgProc() = default;
