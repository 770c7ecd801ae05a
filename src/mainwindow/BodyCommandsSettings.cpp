// Batch words 138-161: calibration, the statistics window, the save-data
// settings, and quitting.
#include "mainwindow/Body.h"

#include "batch/CmdParams.h"
#include "calibration/CalibCtrl.h"
#include "mainwindow/SaveDataCfg.h"

#include <QCoreApplication>
#include <QDebug>

Body::CmdAnswer Body::execSettingsCmd(EX_CMD_ID id, const CmdLine& cmd)
{
    const QString p0 = cmd.firstParam();
    switch (id) {
    case CALIB_SHOW_WINDOW:
        calibCtrl->show();
        break;
    case CALIB_LOAD_STD:
        calibCtrl->loadStd(p0);
        break;
    case CALIB_SET_EDGE_EV:
        calibCtrl->EdgeEeV->setText(p0);
        break;
    case CALIB_EXEC:
        execCalibration();
        return CmdAnswer::Later; // at the walk's end, or at once when none runs on
    case CALIB_LOAD_MAP: {
        EMPHeader h;
        loadMap(p0, eShiftMap, h);
        return CmdAnswer::Later; // the load answers on each of its exits
    }
    case CALIB_CLEAR_MAP:
        clearShiftMap();
        break;
    case CALIB_SAVE_MAP:
        saveEMap(p0);
        break;
    case CALIB_TYPE:
        (cmdInt(p0) == 1 ? calibCtrl->CalibTypeInnerP : calibCtrl->CalibTypeDMidX)->setChecked(true);
        break;
    case STATS_SHOW_WINDOW:
        stats.setVisible(p0.isEmpty() || cmdFlag(p0));
        break;
    case STATS_BINS:
        stats.setBins(cmdInt(p0));
        break;
    case STATS_OVER_IMAGE:
        stats.setOverImage(cmdFlag(p0));
        break;
    case STATS_IN_SELECTED_REGION:
        stats.setCalcInSelectedRegion(cmdFlag(p0));
        break;
    case SAVEDATACFG_SHOW_WINDOW:
        saveDataCfg->show();
        break;
    case SAVEDATACFG_SAVE_AS_TIFF:
        qDebug().noquote() << "setting save as tiff";
        saveDataCfg->setSaveAsTiff();
        break;
    case SAVEDATACFG_SAVE_AS_TEXT:
        qDebug().noquote() << "setting save as text";
        saveDataCfg->setSaveAsText();
        break;
    case SAVEDATACFG_TIFF_FIX_SCALE:
        saveDataCfg->setSaveTiffScaleFixed(cmdFlag(p0));
        break;
    case SAVEDATACFG_TIFF_SCALE_MIN:
        saveDataCfg->setSaveTiffScaleMin(cmdReal(p0));
        break;
    case SAVEDATACFG_TIFF_SCALE_MAX:
        saveDataCfg->setSaveTiffScaleMax(cmdReal(p0));
        break;
    case SAVEDATACFG_TIFF_AS_ANALYZED:
        saveDataCfg->setSaveTiffAsAnalyzed(cmdFlag(p0));
        break;
    case SAVEDATACFG_TEXT_AS_CSV:
        saveDataCfg->setSaveTextAsCSV();
        break;
    case SAVEDATACFG_TEXT_AS_SSV:
        saveDataCfg->setSaveTextAsSSV();
        break;
    case SAVEDATACFG_TEXT_AS_XYZ:
        saveDataCfg->setSaveTextAsXYVal();
        break;
    case SAVEDATACFG_TEXT_AS_VALS:
        saveDataCfg->setSaveTextAsValValVal();
        break;
    case QUIT:
        quitProgram();
        return CmdAnswer::Later; // never answered: the program ends
    default:
        return CmdAnswer::Error;
    }
    return CmdAnswer::Now;
}

// The workers stop before the windows close, so nothing is left reading or
// sending when the event loop returns; the status is 0 even when no window
// was shown to end the loop by closing.
void Body::quitProgram()
{
    qDebug().noquote() << "quit";
    stopWorkers();
    emit finishing();
    QCoreApplication::exit(0);
}
