// Batch words 80-137: the analyser panel's modes, scales, methods, reference
// and element rows, and the start of the two-dimensional analysis.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "batch/CmdParams.h"
#include "display/XafsFileSelect.h"

Body::CmdAnswer Body::execAnalyzerCmd(EX_CMD_ID id, const CmdLine& cmd)
{
    Analyzer* a = analyzer;
    const QString p0 = cmd.firstParam();
    const QString p1 = cmd.param(1);
    const QString p2 = cmd.param(2);
    switch (id) {
    case ANALYZER_SELECT_ANALYSIS_MODE:
        a->setAnalysisMode(cmdInt(p0));
        break;
    case ANALYZER_MAIN_MODE:
        a->setMainMode(cmdInt(p0));
        break;
    case ANALYZER_SUB_MODE:
        if (cmd.params.size() >= 2) {
            const int mainMode = cmdInt(p0);
            for (int k = 1; k < cmd.params.size(); k++)
                a->setSubMode(mainMode, k - 1, cmdFlag(cmd.param(k)));
        }
        break;
    case ANALYZER_SELECT_MAIN_MODE_2DA:
        a->setMainMode(0);
        break;
    case ANALYZER_SELECT_SUB_MODE_DEDGE:
        a->setSubMode(0, 0, cmdFlag(p0));
        break;
    case ANALYZER_SELECT_SUB_MODE_LCF:
        a->setSubMode(0, 1, cmdFlag(p0));
        break;
    case ANALYZER_SELECT_SUB_MODE_ELEMS:
        a->setSubMode(0, 2, cmdFlag(p0));
        break;
    case ANALYZER_SELECT_SUB_MODE_RA:
        a->setSubMode(0, 3, cmdFlag(p0));
        break;
    case ANALYZER_SELECT_MAIN_MODE_PROCMAPS:
        a->setMainMode(1);
        break;
    case ANALYZER_VIEW_NORMALIZE:
        if (XafsView* v = a->xafsView())
            v->Normalized->setChecked(cmdFlag(p0));
        break;
    case ANALYZER_VIEW_ENERUGY_CORRECTION:
        if (XafsView* v = a->xafsView())
            v->ECorrect->setChecked(cmdFlag(p0));
        break;
    case ANALYZER_SELECT_IMAGE:
        if (a->hasImage(cmdInt(p0)))
            a->selectImage(cmdInt(p0));
        else
            logMistake(QStringLiteral("Can't run %1: the analyser has no map numbered %2").arg(cmd.cmd, p0));
        break;
    case ANALYZER_SET_FIXED_SCALE:
        a->FixedScale->setChecked(cmdFlag(p0));
        a->colorScaleChanged();
        break;
    case ANALYZER_SET_SCALE_MAX:
        a->setDMutScaleMax(cmdReal(p0));
        a->setRatioScaleMax(cmdReal(p0));
        break;
    case ANALYZER_SET_SCALE_MIN:
        a->setDMutScaleMin(cmdReal(p0));
        a->setRatioScaleMin(cmdReal(p0));
        break;
    case ANALYZER_SET_DMUT_SCALE_MAX:
        a->setDMutScaleMax(cmdReal(p0));
        break;
    case ANALYZER_SET_DMUT_SCALE_MIN:
        a->setDMutScaleMin(cmdReal(p0));
        break;
    case ANALYZER_SET_RATIO_SCALE_MAX:
        a->setRatioScaleMax(cmdReal(p0));
        break;
    case ANALYZER_SET_RATIO_SCALE_MIN:
        a->setRatioScaleMin(cmdReal(p0));
        break;
    case ANALYZER_EXEC_2DA:
    case ANALYZER_EXEC_LCF:
    case ANALYZER_EXEC_ELEMS:
    case ANALYZER_EXEC_RA:
        return analyzeCmd();
    case ANALYZER_DEDGE_SELECT_MODE:
        a->setDEdgeMode(cmdInt(p0));
        break;
    case ANALYZER_DEDGE_SELECT_MODE_MIDP:
        a->setDEdgeMode(0);
        break;
    case ANALYZER_DEDGE_SELECT_MODE_COMP:
        a->setDEdgeMode(1);
        break;
    case ANALYZER_DEDGE_MID_POINT_RATIO:
        a->setDEdgeMidPointRatio(cmdReal(p0));
        break;
    case ANALYZER_DEDGE_COMP_TARGET:
        a->setDEdgeCompTarget(cmdInt(p0));
        break;
    case ANALZYER_DEDGE_COMP_W_FILE:
        a->setDEdgeCompTarget(0);
        break;
    case ANALYZER_DEDGE_COMP_FILE_NAME:
        a->DEdgeCWFileSelect->load(p0);
        break;
    case ANALYZER_DEDGE_COMP_W_STEP:
        a->setDEdgeCompTarget(1);
        break;
    case ANALYZER_DEDGE_COMP_STEP_PARAMS:
        a->setDEdgeCompStepParams(cmdReal(p0), cmdReal(p1), cmdReal(p2));
        break;
    case ANALYZER_DEDGE_COMP_PARAMS:
        a->setDEdgeCompParams(cmdReal(p0), cmdReal(p1), cmdReal(p2));
        break;
    case ANALYZER_SET_LCF_STD:
        if (cmdInt(p0) >= 0 && cmdInt(p0) < a->lcfRefs.size())
            a->setLCFStd(cmdInt(p0), cmdFlag(p1), cmdReal(p2), cmd.param(3), cmd.param(4));
        else
            logMistake(QStringLiteral("Can't run %1: the analyser has no reference row %2; its rows are 0 to %3")
                           .arg(cmd.cmd, p0)
                           .arg(a->lcfRefs.size() - 1));
        break;
    case ANALYZER_SET_LCF_MODE:
    case ANALYZER_SET_MLCF:
        a->MLCF->setChecked(cmdFlag(p0));
        break;
    case ANALYZER_SET_LCF_AS_OLD:
        a->AsOldLCF->setChecked(cmdFlag(p0));
        break;
    case ANALYZER_SELECT_IMAGE_TYPE:
        a->setImageType(cmdInt(p0));
        break;
    case ANALYZER_SET_LCF_RANGE:
        a->setLCFRange(cmdReal(p0), cmdReal(p1));
        break;
    case ANALYZER_TARGET_ELEMENTS:
        // "Fe Cu" is a list, as in the panel's own field
        a->setTargetElements(cmd.joinedParams());
        break;
    case ANALYZER_ELEMS_SELECT_TARGET:
        a->selectElemTarget(p0);
        dispImgSelected(true);
        break;
    case ANALYZER_ELEMS_SORT_BY_AN:
        a->setSortByANo(cmdFlag(p0));
        break;
    case ANALYZER_ELEMS_SELECT_SHOW:
        a->selectElemShow(p0);
        dispImgSelected(true);
        break;
    case ANALYZER_ELEMS_SET_DEVS:
        a->setElemsDE(cmdReal(p0));
        break;
    case ANALYZER_ELEMS_SET_CORR_TH:
        a->setCorTh(cmdReal(p0));
        break;
    case ANALYZER_ELEMS_SELECT_DISP_MODE:
        a->selectElemsDispMode(cmdInt(p0));
        break;
    case ANALYZER_ELEMS_SET_USE:
        a->setElemUse(p0, cmdFlag(p1));
        break;
    case ANALYZER_ELEMS_ROI:
        a->setElemROI(p0, cmdReal(p1), cmdReal(p2));
        break;
    case ANALYZER_ELEMS_THDMUT:
        a->setElemThDMut(p0, cmdReal(p1));
        break;
    case ANALYZER_ELEMS_NO_NEG:
        a->setElemNoNeg(p0, cmdFlag(p1));
        break;
    // The background values come second: a label or any word stands first.
    case ANALYZER_ELEMS_BG_DMUT:
        a->setElemsBgDMut(cmdReal(p1));
        break;
    case ANALYZER_ELEMS_BG_DMUTR:
        a->setElemsBgDMutR(cmdReal(p1));
        break;
    case ANALYZER_ELEMS_BG_DE:
        a->setElemsBgDE(cmdReal(p1));
        break;
    case ANALYZER_ELEMS_BG_ROI:
        a->setElemsBgROI(cmdReal(p1));
        break;
    case ANALYZER_ELEMS_BG_NROI:
        a->setElemsBgNROI(cmdReal(p1));
        break;
    case ANALYZER_SET_RA_ENERGY:
        a->setRaEnergy(cmdReal(p0));
        break;
    case ANALYZER_SET_RA_FACTOR:
        a->setRaFactor(cmdReal(p0));
        break;
    default: // "analyzer_select_main_mode_sumUp" has no handler
        return CmdAnswer::Error;
    }
    return CmdAnswer::Now;
}

// The walk answers 116 after its last bin; a call that starts no walk, or
// stops one, must answer too, once, whether or not the walk already did.
Body::CmdAnswer Body::analyzeCmd()
{
    bool answered = false;
    const QMetaObject::Connection c =
        connect(this, &Body::finishBatchExec, this, [&answered](int) { answered = true; });
    start2DAnalysis();
    disconnect(c);
    if (!answered && !walkRunning())
        emit finishBatchExec(ANALYZER_EXEC_LCF);
    return CmdAnswer::Later;
}
