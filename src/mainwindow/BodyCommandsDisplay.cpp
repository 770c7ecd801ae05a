// Batch words 48-79: dark areas, bin sizes, the shown image, saving, the
// pointer, the selected region, the colour bar and the spectrum views.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "batch/CmdParams.h"
#include "display/ColorBar.h"
#include "display/ImgDispA.h"
#include "mainwindow/ReadOut.h"

#include <QAbstractButton>
#include <QDebug>
#include <QSignalBlocker>

Body::CmdAnswer Body::execDisplayCmd(EX_CMD_ID id, const CmdLine& cmd)
{
    const QString p0 = cmd.firstParam();
    const QString p1 = cmd.param(1);
    switch (id) {
    case SET_I0_DARK_AREA:
        setI0DarkArea();
        break;
    case SET_I1_DARK_AREA:
        setI1DarkArea();
        break;
    case CLEAR_I0_DARK_AREA:
        clearI0DarkArea();
        break;
    case CLEAR_I1_DARK_AREA:
        clearI1DarkArea();
        break;
    case SET_BAND_W:
        vHWidth_->setText(QString::number(cmdInt(p0)));
        aHWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SET_BAND_H:
        vVWidth_->setText(QString::number(cmdInt(p0)));
        aVWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SET_VIEW_W:
        vHWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SET_VIEW_H:
        vVWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SET_ANALYZE_W:
        aHWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SET_ANALYZE_H:
        aVWidth_->setText(QString::number(cmdInt(p0)));
        break;
    case SELECT_DISP_IMAGE:
        if (QAbstractButton* b = dispSelector.button(cmdInt(p0)))
            b->setChecked(true);
        break;
    case SELECT_DISP_IMAGE_I1:
        ShowData->setChecked(true);
        break;
    case SELECT_DISP_IMAGE_I0:
        ShowI0->setChecked(true);
        break;
    case SELECT_DISP_IMAGE_ESHIFT:
        ShowShiftMap->setChecked(true);
        break;
    case SELECT_DISP_IMAGE_ANALYZED:
        ShowResAnalysis->setChecked(true);
        break;
    case SEEK_IMAGE:
        seekImageCmd(cmdInt(p0));
        break;
    case SAVE_IMAGE:
        saveImage(p0);
        break;
    case SAVE_IMAGE_W_NUM:
        saveImageWNum(p0, p1);
        break;
    case SAVE_ALL_IMAGES:
        saveAllImages(p0);
        break;
    case SAVE_DATA:
        saveData(p0);
        break;
    case SAVE_DATA_AS_TIFF:
        saveDataAsTiff(p0, analyzer->checkedRefIndex());
        break;
    case MOVE_POSITION:
        movePosition(cmdInt(p0), cmdInt(p1));
        break;
    case SAVE_SPECTRA:
        saveSpectraCmd(p0);
        break;
    case CBAR_SET_RANGE:
        CBar->dataMin = cmdReal(p0);
        CBar->dataMax = cmdReal(p1);
        CBar->paintCBar();
        qDebug().noquote() << "setting cbar" << CBar->dataMin << CBar->dataMax;
        break;
    case CBAR_SET_ALL:
        cBarUpdated();
        qDebug().noquote() << "cbar set all";
        break;
    case SELECT_REGION:
        dispA->setSelectedArea(cmdInt(p0), cmdInt(p1), cmdInt(cmd.param(2)), cmdInt(cmd.param(3)));
        break;
    case SCALE_RESET:
        dispA->resetImageViewWindow();
        break;
    case ZOOM_IN:
        // What the Zoom In button does.
        dispA->setViewWAsSelectedArea();
        break;
    case SELECT_QS_FITTED_ESHIFT:
        qDebug().noquote() << "QS Eshift";
        QuadSurfFittedEShift->setChecked(cmdFlag(p0));
        break;
    case XAFS_VIEW_NORMALIZE:
        xafsView->Normalized->setChecked(cmdFlag(p0));
        break;
    case XAFS_VIEW_ENERUGY_CORRECTION:
        xafsView->ECorrect->setChecked(cmdFlag(p0));
        break;
    case ANALYZER_SHOW_WINDOW:
        analyzer->show();
        if (XafsView* v = analyzer->xafsView())
            v->show();
        break;
    default:
        return CmdAnswer::Error;
    }
    return CmdAnswer::Now;
}

// The pointer goes to exactly (x, y): what a mouse move reports is emitted
// with these values rather than with ones read back from screen pixels, whose
// real coordinate may lie in the pixel before (x 31 drawn at screen 259.8 reads
// back 30.9).
void Body::movePosition(double x, double y)
{
    {
        const QSignalBlocker quiet(dispA);
        dispA->setRealMousePos(x, y);
    }
    // As a pointer moved there: the position, and all that shows it, follow.
    emit dispA->mouseMoved(x, y);
}

// A frame the stack does not hold would leave the frame number naming it
// over the frame still shown.
void Body::seekImageCmd(int imgNo)
{
    const FrameSets::Stack s = shown.seekStack();
    const int n = int(frameSets.frames(s).size());
    if (imgNo >= 0 && imgNo < n) {
        seekImage(imgNo);
        return;
    }
    logMistake(QStringLiteral("Can't show frame %1: the %2 stack holds %3")
                   .arg(imgNo)
                   .arg(s == FrameSets::I1 ? QStringLiteral("I1") : QStringLiteral("I0"))
                   .arg(n == 1 ? QStringLiteral("1 frame") : QStringLiteral("%1 frames").arg(n)));
}

// Without a name or a stack the view would write files named only by its
// position, or headers without points, and call them saved.
void Body::saveSpectraCmd(const QString& fname)
{
    if (fname.isEmpty())
        logMistake(QStringLiteral("Can't save: no file name"));
    else if (i1Frames.isEmpty())
        logMistake(QStringLiteral("Can't save the spectra %1: no stack loaded").arg(fname));
    else
        xafsView->saveData(fname);
}
