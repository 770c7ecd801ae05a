// Energy calibration, the shift map and its files, image shifts. The walk's
// arithmetic and the map files are in src/calibration; here they meet the
// stacks, the panel and the batch.
#include "mainwindow/Body.h"

#include "analysis/EdgePosition.h"
#include "calibration/CalibCtrl.h"
#include "calibration/EMPFile.h"
#include "display/ImgDispA.h"
#include "foundation/FileNames.h"
#include "foundation/Globals.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/EnergyShift.h"

#include <QDateTime>
#include <QDebug>

#include <algorithm>

namespace {

// One line per walk however many bins had no shift, not one per bin.
QString binsWithoutShiftLine(const CalibWalk& w, bool innerProduct)
{
    if (w.noEdge <= 0)
        return QString();
    if (innerProduct)
        return QStringLiteral("Calibration: %1 of %2 bins hold no result: no shift searched lets the bin's spectrum "
                              "and the standard overlap on half of the points of the narrower of the two")
            .arg(w.noEdge)
            .arg(w.noEdge + w.count);
    return QStringLiteral("Calibration: no edge in %1 of %2 bins").arg(w.noEdge).arg(w.noEdge + w.count);
}

// The panel's figures of the walk's map, finished or loaded.
void showFigures(CalibCtrl& c, const CalibWalk& w)
{
    c.DEMin->setText(QString::number(w.min, 'g', 6));
    c.DEMax->setText(QString::number(w.max, 'g', 6));
    c.DEAvr->setText(QString::number(w.sum, 'g', 6));
    c.DESigma->setText(QString::number(w.sqSum, 'g', 6));
}

} // namespace

double Body::eShiftAt(int x, int y) const
{
    return mapShiftAt(eShiftMap, mapPosition(x, imageHdrX, mapXOffset),
                      mapPosition(y, imageHdrY, mapYOffset), QuadSurfFittedEShift->isChecked());
}

CalibSettings Body::calibSettings() const
{
    CalibSettings s;
    s.innerProduct = calibCtrl->CalibTypeInnerP->isChecked();
    s.range = calibCtrl->DEw->text().toDouble();
    s.step = calibCtrl->DEs->text().toDouble();
    s.minStep = calibCtrl->MinDEs->text().toDouble();
    return s;
}

void Body::newStdFile()
{
    if (!calibCtrl->standard)
        return;
    calibStd = *calibCtrl->standard;
    xafsView->standard = calibStd;
}

void Body::execCalibration()
{
    if (calib.running) {
        stopCalibration();
        return;
    }
    // As for the analysis walk: checked in this order, nothing changed before.
    AnalyzeCond grid;
    const QString refusal = firstRefusal({
        [&] { return binSizeMistake(true, true); },
        [&] { return suggestMistake(false); },
        [&] { return calibCtrl->walkMistake(); },
        [&] { return areaRefusal(grid); },
        [&] { return calibCtrl->standardMistake(); },
    });
    if (!refusal.isEmpty()) {
        logMistake(tr("Can't calibrate: %1").arg(refusal));
        emit finishBatchExec(CALIB_EXEC); // no walk to wait for
        return;
    }
    logWithTime(QStringLiteral("Start Calibration"));
    tellStandInI0();
    const CalibSettings set = calibSettings();
    if (set.innerProduct) {
        const QString line = EdgePosition::clippedLine(QStringLiteral("Initial E-range"), set.range, set.range,
                                                       frameSets.i1Energies());
        if (!line.isEmpty())
            logMistake(line);
    }
    calib.start(grid, eShiftMap);
    eShiftMapEdge = EMPEdge(); // measured against the standard from now on
    eShiftMapStd.clear();
    const TiffData* f = i1Frames.first();
    calibCtrl->Width->setText(QString::number(f->width));
    calibCtrl->Height->setText(QString::number(f->height));
    calibCtrl->XOffset->setText(QString::number(f->hdrX));
    calibCtrl->YOffset->setText(QString::number(f->hdrY));
    mapXOffset = f->hdrX;
    mapYOffset = f->hdrY;
    // A step of a stopped walk still queued serves the new one: never two chains.
    if (!calibStepQueued) {
        calibStepQueued = true;
        emit doCalibNextPoint();
    }
}

void Body::tellBinsWithoutShift()
{
    const QString line = binsWithoutShiftLine(calib, calibCtrl->CalibTypeInnerP->isChecked());
    if (!line.isEmpty())
        logMistake(line);
}

void Body::stopCalibration()
{
    calib.running = false;
    logMistake(calib.stopLine());
    tellBinsWithoutShift();
    emit finishBatchExec(CALIB_EXEC);
}

void Body::calibNextPoint()
{
    calibStepQueued = false;
    if (!calib.running)
        return;
    const AnalyzeCond& c = calib.cond;
    const TiffData* f = i1Frames.isEmpty() ? nullptr : i1Frames.first();
    if (!f || f->width != c.W || f->height != c.H) {
        logMistake(QStringLiteral("Calibration stopped: the I1 stack changed"));
        stopCalibration();
        return;
    }
    const CalibSettings settings = calibSettings();
    const SuggestElm sElm = suggestElm();
    if (c.first)
        emit calibProgress(calib.progress());
    // A bin centred off the images has an empty spectrum, whose shift would be
    // minus the standard's edge energy: it is not measured.
    if (calib.centreOnImage()) {
        const XafsSpectrum bin(xafsSpectrumAt(c.cx, c.cy, viewW(), viewH()), QStringLiteral("Body-Calib"),
                               calibCtrl->TargetBGVictreen->isChecked() ? 0 : 1, 0.0, sElm);
        calib.record(CalibWalk::binShift(bin, calibStd, settings), eShiftMap);
    }
    if (calib.cond.next()) {
        calibStepQueued = true;
        emit doCalibNextPoint();
    } else {
        emit doFinishCalib();
    }
}

void Body::finishCalib()
{
    calib.finish(eShiftMap, QuadSurfFittedEShift->isChecked());
    emit calibProgress(100.0);
    showFigures(*calibCtrl, calib);
    eShiftMap.genImg();
    // The shift and the read-outs at the position are of the new map.
    refreshShown();
    tellBinsWithoutShift();
    logWithTime(QStringLiteral("End Calibration   "));
    emit finishBatchExec(CALIB_EXEC);
}

void Body::normalizeEShift()
{
    logWithTime(QStringLiteral("Start Normalize E Shift"));
    eShiftMap.deglitch2(40.0);
    eShiftMap.copyProc2Data();
    eShiftMap.refitOverBins(); // the surface of the values with the spikes would stay
    eShiftMap.genImg();
    dispA->update();
    logWithTime(QStringLiteral("End Normalize E Shift  "));
}

void Body::clearShiftMap()
{
    eShiftMap.clear();
    eShiftMapEdge = EMPEdge();
    eShiftMapStd.clear();
    for (QLineEdit* e : {calibCtrl->Width, calibCtrl->Height, calibCtrl->XOffset, calibCtrl->YOffset})
        e->setText(QStringLiteral("0"));
    mapXOffset = 0;
    mapYOffset = 0;
}

bool Body::saveEMap(const QString& fname) { return saveEMap(fname, eShiftMap); }

bool Body::saveEMap(const QString& fname, const Analyzed2DRes& map)
{
    if (fname.isEmpty()) {
        logMistake(QStringLiteral("No file name: the energy shift map is not saved"));
        return false;
    }
    const QString name = fileNameWithSuffix(fname, QStringLiteral("emp"), true, true);
    if (!map.holdsResult()) {
        logMistake(QStringLiteral("Can't save %1: there is no energy shift map").arg(name));
        return false;
    }
    const QString unreadable = calibCtrl->edgeMistake();
    if (!unreadable.isEmpty()) {
        logMistake(QStringLiteral("Can't save %1: %2").arg(name, unreadable));
        return false;
    }
    const bool loaded = &map == &eShiftMap && eShiftMapEdge.e0 > 0.0;
    EMPFacts f;
    const EMPEdge edge = empEdge(calibCtrl->edgeEV(), loaded ? eShiftMapEdge : EMPEdge(), calibStd.e0,
                                 calibCtrl->spacing());
    f.e0 = edge.e0;
    f.spacing = edge.spacing;
    if (f.e0 <= 0.0) {
        logMistake(QStringLiteral("Can't save %1: neither the standard's nor the panel's edge energy "
                                  "has a Bragg angle on %2")
                       .arg(name, calibCtrl->crystalName()));
        return false;
    }
    f.date = QDateTime::currentDateTime().toString(QStringLiteral("yy/MM/dd hh:mm:ss.zzz"));
    f.xOffset = calibCtrl->xOffset();
    f.yOffset = calibCtrl->yOffset();
    f.grid = calib.cond;
    // A loaded map was measured against the file's standard, not the one chosen now.
    f.stdFileName = loaded ? eShiftMapStd : calibCtrl->SelectStd->Selected->text();
    if (!saveEMPFile(name, f, map))
        return false;
    calibCtrl->EMPFileName->setText(fname);
    tellSavedBins(map, name);
    return true;
}

void Body::loadEMap(const QString& fname)
{
    qDebug() << "loading emap" << fname;
    EMPHeader h;
    loadMap(fname, eShiftMap, h);
}

EMPHeader Body::loadMapHeader(LineReader& in) { return readEMPHeader(in); }

void Body::loadMap(QString fname, Analyzed2DRes& map, EMPHeader& empH)
{
    const QString unreadable = calibCtrl->edgeMistake();
    if (!unreadable.isEmpty()) {
        logMistake(QStringLiteral("Can't load %1: %2").arg(fname, unreadable));
        emit finishBatchExec(CALIB_LOAD_MAP);
        return;
    }
    EMPReadOptions o;
    o.panelEdgeEV = calibCtrl->edgeEV();
    o.checkSize = calibCtrl->CheckSize->isChecked();
    o.imageW = imageW;
    o.imageH = imageH;
    AnalyzeCond grid;
    const EMPRead read = readEMPFile(fname, o, map, empH, grid);
    if (read != EMPRead::Loaded)
        logMistake(QStringLiteral("Can't load %1: %2").arg(fname, empReadMistake(read, empH, o)));
    if (read == EMPRead::Loaded) {
        // The analyser's maps keep their own grid: only the shift map is the calibration's.
        if (&map == &eShiftMap) {
            if (calib.running)
                stopCalibration(); // its bins would land in the loaded map
            calib.takeMap(grid, map, QuadSurfFittedEShift->isChecked());
            emit calibProgress(100.0);
            showFigures(*calibCtrl, calib);
            eShiftMapEdge = empReadEdge(o, empH);
            eShiftMapStd = empH.stdFileName;
            calibCtrl->Width->setText(QString::number(empH.width));
            calibCtrl->Height->setText(QString::number(empH.height));
            calibCtrl->XOffset->setText(QString::number(empH.xOffset));
            calibCtrl->YOffset->setText(QString::number(empH.yOffset));
            mapXOffset = empH.xOffset;
            mapYOffset = empH.yOffset;
            if (o.checkSize && imageW < 0 && imageH < 0) {
                frameSets.imageW = empH.width;
                frameSets.imageH = empH.height;
            }
            calibCtrl->EMPFileName->setText(fname);
        }
        map.genImg();
        refreshShown();
    }
    emit finishBatchExec(CALIB_LOAD_MAP);
}

TiffData* Body::selectedI1Frame() const
{
    const int idx = shown.frame[FrameSets::I1];
    return idx >= 0 && idx < i1Frames.size() ? i1Frames[idx] : nullptr;
}

void Body::giveProcData()
{
    if (i1Frames.isEmpty())
        return;
    imgProc.setImgData(selectedI1Frame());
}

void Body::setImgShift(int dx, int dy)
{
    // The frame the processor shows the shift of, never one it was not shown.
    TiffData* f = imgProc.frame();
    if (!f || !i1Frames.contains(f)) {
        logMistake(QStringLiteral("No I1 frame in the image processor: the shift (%1, %2) is not set").arg(dx).arg(dy));
        return;
    }
    moveFrames({f}, dx, dy);
}

void Body::clearAllShifts()
{
    moveFrames(i1Frames, 0, 0);
}

void Body::moveFrames(const QList<TiffData*>& frames, int dx, int dy)
{
    if (std::all_of(frames.begin(), frames.end(), [dx, dy](const TiffData* f) { return f->x0 == dx && f->y0 == dy; }))
        return;
    stopWalkForFrames();
    for (TiffData* f : frames) {
        f->x0 = dx;
        f->y0 = dy;
    }
    // The dark-area means are read through the origins too.
    frameSets.clearUpdateDarkArea(FrameSets::I1);
    frameShiftChanged();
}

void Body::frameShiftChanged()
{
    // The picture and every read-out of the frames as they now lie.
    if (!dispA->showOverLayer)
        dispA->rebuildFrameImage();
    refreshShown();
}
