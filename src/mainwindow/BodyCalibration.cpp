// Energy calibration, the shift map and its files, image shifts. The walk and
// the files are completed later; the shift rule every caller uses is here.
#include "mainwindow/Body.h"

#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
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

void Body::giveProcData()
{
    if (i1Frames.isEmpty())
        return;
    const int idx = SelectI1Files->Selected->currentIndex();
    imgProc.setImgData(idx >= 0 && idx < i1Frames.size() ? i1Frames[idx] : nullptr);
}

void Body::setImgShift(int dx, int dy)
{
    const int idx = SelectI1Files->Selected->currentIndex();
    if (idx < 0 || idx >= i1Frames.size())
        return;
    i1Frames[idx]->x0 = dx;
    i1Frames[idx]->y0 = dy;
    // The dark-area means are read through the origins too.
    frameSets.clearUpdateDarkArea(FrameSets::I1);
}

void Body::clearAllShifts()
{
    for (TiffData* f : i1Frames) {
        f->x0 = 0;
        f->y0 = 0;
    }
    frameSets.clearUpdateDarkArea(FrameSets::I1);
}
