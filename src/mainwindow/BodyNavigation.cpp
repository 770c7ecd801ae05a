// Frame navigation, display selection and the spectrum of the pointed bin:
// every trigger changes what is shown and asks refreshShown to show it.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "calibration/CalibCtrl.h"
#include "display/ColorBar.h"
#include "display/FieldValue.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/ReadOut.h"

#include <QComboBox>
#include <QDebug>
#include <QScopedValueRollback>
#include <QSignalBlocker>

TiffData* Body::shownFrame() const
{
    const std::optional<FrameSets::Stack> s = shown.shownStack();
    if (!s)
        return nullptr;
    const QList<TiffData*>& stack = frameSets.frames(*s);
    const int idx = shown.frame[*s];
    return idx >= 0 && idx < stack.size() ? stack[idx] : nullptr;
}

Analyzed2DRes* Body::shownMap()
{
    switch (shown.choice) {
    case ShownState::ShiftMap:
        return &eShiftMap;
    case ShownState::ResAnalysis:
        return analyzer->selectedRes();
    default:
        return nullptr;
    }
}

void Body::refreshShown()
{
    // The views set below report their changes: those reports are of this state.
    if (refreshing || !analyzer || !calibCtrl)
        return;
    const QScopedValueRollback<bool> busy(refreshing, true);
    shown.fit(int(i1Frames.size()), int(i0Frames.size()));
    refreshPicture();
    refreshReadOuts();
    refreshSpectrum();
}

void Body::refreshPicture()
{
    {
        const QSignalBlocker q0(ShowData), q1(ShowI0), q2(ShowShiftMap), q3(ShowResAnalysis);
        dispSelector.button(shown.choice)->setChecked(true);
    }
    for (const FrameSets::Stack s : {FrameSets::I1, FrameSets::I0}) {
        QComboBox* list = (s == FrameSets::I1 ? SelectI1Files : SelectI0Files)->Selected;
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(shown.frame[s]);
    }
    // A frame's picture costs as much to paint as reading several: painted
    // again only when it or the marks on it move. A map is painted each time:
    // its picture may be new.
    bool repaint = shown.showsMap() || dispA->showOverLayer || markedAt != QPoint(pointX, pointY);
    markedAt = QPoint(pointX, pointY);
    // The result map is kept on the display under a frame too, for the
    // choice to come back to.
    dispA->overlayMap = shown.choice == ShownState::ShiftMap ? &eShiftMap : analyzer->selectedRes();
    if (shown.showsMap()) {
        dispA->setShowOverLayer(true);
    } else {
        dispA->setShowOverLayer(false);
        TiffData* f = shownFrame();
        if (dispA->frame != f) {
            repaint = true;
            dispA->setImageData(f);
            if (f)
                ImgNo->setToolTip(f->fileName);
        }
        // Only I1 frames are shifted: with I0 shown the processor works on the I1 list's frame.
        if (TiffData* p = selectedI1Frame(); p && p != imgProc.frame())
            imgProc.setImgData(p);
    }
    // The bar counts the frames of the stack it moves through, and no others.
    const FrameSets::Stack s = shown.seekStack();
    const int no = shown.frame[s];
    {
        const QSignalBlocker quiet(SeekBar);
        SeekBar->setMaximum(qMax(0, int(frameSets.frames(s).size()) - 1));
        SeekBar->setValue(qMax(0, no));
    }
    ImgNo->setText(no >= 0 ? QString::number(no) : QString());
    followShownMap();
    if (repaint)
        dispA->update();
}

void Body::dispImgSelected(bool on)
{
    // The button switched off reports too; the one switched on names the choice.
    if (!on || dispSelector.checkedId() < 0)
        return;
    shown.choice = ShownState::Choice(dispSelector.checkedId());
    refreshShown();
}

void Body::seekTo(int idx)
{
    shown.seek(idx, int(frameSets.frames(shown.seekStack()).size()));
    refreshShown();
}

void Body::showData(int no)
{
    seekTo(no);
}

void Body::seekImage(int imgNo)
{
    seekTo(imgNo);
}

void Body::sliderMoved(int idx)
{
    seekTo(idx);
}

void Body::prev()
{
    shown.step(-1, int(frameSets.frames(shown.seekStack()).size()));
    refreshShown();
}

void Body::next()
{
    shown.step(1, int(frameSets.frames(shown.seekStack()).size()));
    refreshShown();
}

void Body::pointTo(int x, int y)
{
    pointX = x;
    pointY = y;
    refreshShown();
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
    refreshShown();
}

void Body::showXafsSpectrum(double x, double y)
{
    pointTo(readout::truncated(x), readout::truncated(y));
}

void Body::showXafsSpectrum()
{
    refreshShown();
}

void Body::refreshSpectrum()
{
    const TiffData* f = shownFrame();
    xafsView->frameEnergy = f ? f->energy : -1.0;
    xafsView->update();

    PosX->setText(readout::posText(pointX));
    PosY->setText(readout::posText(pointY));
    // A Sum R. or a suggestion that holds no number builds no bin: the field shows why.
    if (!binSizeMistake(true, false).isEmpty() || !suggestMistake(false).isEmpty())
        return;
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

    EShiftOnTbl->setText(readout::eShiftText(shift));
    // Without a standard there is nothing to be shifted from.
    EShiftFromStd->setText(xafsView->standard.size() > 0 ? readout::eShiftFromStdText(fromStd) : QString());
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
    CBar->unstick();
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
    refreshShown();
}

void Body::showProcImg(bool on)
{
    Analyzed2DRes* map = analyzer->selectedRes();
    if (map && map->showProc != on) {
        map->selectProcImg(on);
        if (on && !map->showProc)
            logMistake(QStringLiteral("Can't show the processed map of %1: it has not been deglitched since its "
                                      "last values").arg(map->name));
    }
    refreshShown();
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
