// Energy calibration, the shift map and its files, image shifts. The walk and
// the files are completed later; the shift rule every caller uses is here.
#include "mainwindow/Body.h"

#include "mainwindow/EnergyShift.h"

double Body::eShiftAt(int x, int y) const
{
    return mapShiftAt(eShiftMap, mapPosition(x, imageHdrX, mapXOffset),
                      mapPosition(y, imageHdrY, mapYOffset), QuadSurfFittedEShift->isChecked());
}

void Body::newStdFile() {}
void Body::execCalibration() {}
void Body::calibNextPoint() {}
void Body::finishCalib() {}
void Body::clearShiftMap() {}
void Body::normalizeEShift() {}
void Body::saveEMap(const QString&) {}
void Body::saveEMap(const QString&, const Analyzed2DRes&) {}
void Body::loadEMap(const QString&) {}
void Body::loadMap(QString, Analyzed2DRes&, EMPHeader&) {}
EMPHeader Body::loadMapHeader(QTextStream&) { return EMPHeader(); }
void Body::giveProcData() {}
void Body::setImgShift(int, int) {}
void Body::clearAllShifts() {}
