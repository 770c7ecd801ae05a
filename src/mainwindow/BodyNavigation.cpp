// Frame navigation, display selection and the spectrum of the pointed bin.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "calibration/CalibCtrl.h"
#include "display/ColorBar.h"
#include "display/FieldValue.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/ReadOut.h"

#include <QDebug>
#include <QSignalBlocker>

FrameSets::Stack Body::shownStack() const
{
    return ShowData->isChecked() ? FrameSets::I1 : FrameSets::I0;
}

SelectDataFiles* Body::shownPanel() const
{
    return ShowData->isChecked() ? SelectI1Files : SelectI0Files;
}

TiffData* Body::shownFrame() const
{
    const QList<TiffData*>& stack = frameSets.frames(shownStack());
    const int idx = shownPanel()->Selected->currentIndex();
    return idx >= 0 && idx < stack.size() ? stack[idx] : nullptr;
}

void Body::dispImgSelected(bool)
{
    if (ShowData->isChecked()) {
        showData(SelectI1Files->Selected->currentIndex());
    } else if (ShowI0->isChecked()) {
        showData(SelectI0Files->Selected->currentIndex());
    } else if (ShowShiftMap->isChecked()) {
        dispA->setShowOverLayer(true);
        dispA->overlayMap = &eShiftMap;
        readOutsAgain();
    } else if (ShowResAnalysis->isChecked()) {
        dispA->setShowOverLayer(true);
        dispA->overlayMap = analyzer->selectedRes();
        readOutsAgain();
    }
    followShownMap();
    dispA->update();
}

void Body::showData(int no)
{
    dispA->setShowOverLayer(false);
    SeekBar->setValue(no);
    ImgNo->setText(QString::number(no));
    const QList<TiffData*>& stack = frameSets.frames(shownStack());
    if (no >= 0 && no < stack.size()) {
        TiffData* f = stack[no];
        dispA->setImageData(f);
        imgProc.setImgData(f);
        ImgNo->setToolTip(f->fileName);
        dispA->update();
    }
    readOutsAgain();
}

// As the slider does: the file list follows, so the read-outs and the
// spectrum view take the frame shown.
void Body::seekImage(int imgNo)
{
    sliderMoved(imgNo);
}

void Body::prev()
{
    shownPanel()->prev();
}

void Body::next()
{
    shownPanel()->next();
}

FrameSets::Stack Body::seekStack() const
{
    return ShowI0->isChecked() ? FrameSets::I0 : FrameSets::I1;
}

void Body::sliderMoved(int idx)
{
    if (!ShowData->isChecked() && !ShowI0->isChecked()) {
        // A map has no frames: the bar brings back the frames it counts, and
        // the choice names them, so picture, choice and read-outs agree.
        if (idx < 0 || idx >= frameSets.frames(FrameSets::I1).size())
            return;
        // The frame is shown below, once, not also through the choice's report.
        const QSignalBlocker quietMap(dispSelector.checkedButton());
        const QSignalBlocker quietData(ShowData);
        ShowData->setChecked(true);
    }
    {
        // The frame is shown below, once, not also through the panel's report.
        const QSignalBlocker quiet(shownPanel());
        shownPanel()->select(idx);
    }
    // The seek bar follows the I1 stack; with I0 shown the index may lie beyond it.
    const QList<TiffData*>& stack = frameSets.frames(shownStack());
    if (idx >= 0 && idx < stack.size()) {
        xafsView->frameEnergy = stack[idx]->energy;
        xafsView->update();
    }
    showData(idx);
}

void Body::newCurPos()
{
    if (i1Frames.isEmpty())
        return;
    const TiffData* first = i1Frames.first();
    const int x = readout::truncated(PosX->text().toDouble());
    const int y = readout::truncated(PosY->text().toDouble());
    if (x >= 0 && x < first->width)
        pointX = x;
    if (y >= 0 && y < first->height)
        pointY = y;
    showXafsSpectrum();
}

void Body::showXafsSpectrum(double x, double y)
{
    pointX = readout::truncated(x);
    pointY = readout::truncated(y);
    showXafsSpectrum();
}

void Body::showXafsSpectrum()
{
    const TiffData* f = shownFrame();
    xafsView->frameEnergy = f ? f->energy : -1.0;
    xafsView->update();

    // A Sum R. or a suggestion that holds no number builds no bin: the field shows why.
    if (!binSizeMistake(true, false).isEmpty() || !suggestMistake(false).isEmpty()) {
        PosX->setText(readout::posText(pointX));
        PosY->setText(readout::posText(pointY));
        return;
    }
    const double shift = eShiftAt(pointX, pointY);
    const SuggestElm sElm = suggestElm();
    const int hw = viewW();
    const int hh = viewH();
    // The I1 readings are read once, for both spectra.
    Spectrum rawI1;
    const XafsSpectrum spectrum(xafsSpectrumAt(pointX, pointY, hw, hh, &rawI1), QStringLiteral("body-show"),
                                calibCtrl->TargetBGVictreen->isChecked() ? 0 : 1, shift, sElm);
    const double fromStd = xafsView->setXafsSpectrum(spectrum);
    if (!walkRunning())
        analyzer->analyzeAndShowSpectrum(spectrum, sElm);

    PosX->setText(readout::posText(pointX));
    PosY->setText(readout::posText(pointY));
    EShiftOnTbl->setText(readout::eShiftText(shift));
    EShiftFromStd->setText(readout::eShiftFromStdText(fromStd));
    xafsView->setRawSpectrum(rawI1);
    emit currentPosition(pointX, pointY, hw, hh);
}

void Body::cBarUpdating()
{
    if (ShowShiftMap->isChecked()) {
        if (eShiftMap.valid)
            eShiftMap.genImg(CBar->scale());
    } else if (ShowResAnalysis->isChecked()) {
        setupResAnalysisImage();
    } else if (!dispA->showOverLayer) {
        dispA->rebuildFrameImage();
    }
    dispA->update();
}

void Body::cBarUpdated()
{
    qDebug() << "cBarUpdated" << CBar->dataMin << CBar->dataMax;
    if (ShowShiftMap->isChecked()) {
        if (eShiftMap.valid)
            eShiftMap.genImg(CBar->scale());
    } else if (ShowResAnalysis->isChecked()) {
        setupResAnalysisImage();
    } else if (!dispA->showOverLayer) {
        // The other frames of the stack are coloured with the scale of the
        // moment they are shown: only the frame on screen holds an image.
        dispA->rebuildFrameImage();
    }
    dispA->update();
}

void Body::deglitch()
{
    Analyzed2DRes* map = analyzer->selectedRes();
    if (!map)
        return;
    // Not as 0: the fields show why nothing happens.
    if (!fieldReadable(DeGlitchFactor, FieldKind::Real) || !fieldReadable(DeGlitchRatio, FieldKind::Real))
        return;
    map->setDeglitchConds(DeGlitchFactor->text().toDouble(), DeGlitchRatio->text().toDouble());
    map->deglitch();
    map->selectProcImg(true);
    followShownMap();
    dispA->update();
    update();
}

void Body::showProcImg(bool on)
{
    Analyzed2DRes* map = analyzer->selectedRes();
    if (map && map->showProc != on) {
        map->selectProcImg(on);
        if (on && !map->showProc)
            logMistake(QStringLiteral("Can't show the processed map of %1: it has not been deglitched since its "
                                      "last values").arg(map->name));
        dispA->update();
    }
    followShownMap();
}

void Body::followShownMap()
{
    const Analyzed2DRes* map = analyzer->selectedRes();
    const QSignalBlocker quiet(ShowProcImg);
    ShowProcImg->setChecked(map && map->showProc);
}

void Body::showAnalyzedVals()
{
    const Analyzed2DRes* map = analyzer->selectedRes();
    if (!map)
        return;
    qDebug().noquote() << "vals of" << map->name;
    const int w = map->cond.W;
    const int h = map->cond.H;
    auto at = [w](const std::vector<double>& v, int x, int y) {
        const size_t i = size_t(y) * size_t(w) + size_t(x);
        return i < v.size() ? v[i] : 0.0;
    };
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            qDebug().noquote() << QString::asprintf("%4d %4d %15.6f %15.6f", x, y,
                                                    at(map->data, x, y), at(map->procData, x, y));
}
