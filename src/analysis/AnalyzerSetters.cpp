// The panel's setters for the batch language and the main window: each writes
// a form widget as the operator's edit would leave it, and the panel reads the
// widget when it next needs the value; none starts an analysis.
#include "analysis/Analyzer.h"

#include "analysis/LCFReference.h"
#include "display/XafsView.h"

#include <QButtonGroup>

void Analyzer::setLCFStd(int no, bool use, double dE, QString fname, QString isVic)
{
    if (no >= 0 && no < lcfRefs.size())
        lcfRefs[no]->setStd(use, dE, fname, isVic);
}

void Analyzer::setLCFMode(int f) { MLCF->setChecked(f == 1); }

void Analyzer::setLCFAsOld(bool f) { AsOldLCF->setChecked(f); }

void Analyzer::setLCFRange(double fromEV, double toEV)
{
    setEnergyField(LCFRange1, fromEV);
    setEnergyField(LCFRange2, toEV);
}

bool Analyzer::hasImage(int id) const { return dispGroup->button(id) != nullptr; }

void Analyzer::selectImage(int id)
{
    if (QAbstractButton* b = dispGroup->button(id))
        b->setChecked(true);
    emit changedSelection();
}

void Analyzer::setRaEnergy(double eng) { setEnergyField(RAAtEV, eng); }

void Analyzer::setRaFactor(double factor) { setField(RAFactor, factor); }

void Analyzer::setFixedScale(bool f)
{
    FixedScale->setChecked(f);
    colorScaleChanged();
}

void Analyzer::setDMutScaleMax(double max)
{
    setField(DMutScaleMax, max);
    colorScaleChanged();
}

void Analyzer::setDMutScaleMin(double min)
{
    setField(DMutScaleMin, min);
    colorScaleChanged();
}

void Analyzer::setRatioScaleMax(double max)
{
    setField(RatioScaleMax, max);
    colorScaleChanged();
}

void Analyzer::setRatioScaleMin(double min)
{
    setField(RatioScaleMin, min);
    colorScaleChanged();
}

void Analyzer::setUseUpperLimit(bool f)
{
    UseUpperLimit->setChecked(f);
    colorScaleChanged();
}

void Analyzer::setUpperLimitV(double v)
{
    setField(UpperLimitV, v);
    colorScaleChanged();
}

void Analyzer::setNormalize(bool f)
{
    if (xv)
        xv->Normalized->setChecked(f);
}

void Analyzer::setEnergyCorrection(bool f)
{
    if (xv)
        xv->ECorrect->setChecked(f);
}

void Analyzer::setTargetElements(QString elements)
{
    AElemNames->setText(elements);
    newElems();
}

void Analyzer::setDEdgeMode(int mode)
{
    if (mode == 0)
        DEdgeMidPoint->setChecked(true);
    else if (mode == 1)
        DEdgeCompWith->setChecked(true);
}

void Analyzer::setDEdgeCompTarget(int target)
{
    if (target == 0)
        DEdgeCWFile->setChecked(true);
    else if (target == 1)
        DEdgeCWStep->setChecked(true);
}

void Analyzer::setAnalysisMode(int mode)
{
    switch (mode) {
    case 0:
        Sel2DA->setChecked(true);
        Sel2DAMLCFA->setChecked(true);
        break;
    case 1:
        Sel2DA->setChecked(true);
        Sel2DARAA->setChecked(true);
        break;
    case 2:
        Sel2DA->setChecked(true);
        Sel2DAElemA->setChecked(true);
        break;
    case 3:
        SelSumUp->setChecked(true);
        break;
    case 4:
        SelProcMaps->setChecked(true);
        break;
    case 5:
        Sel2DA->setChecked(true);
        Sel2DADEdgeA->setChecked(true);
        break;
    default:
        break;
    }
}

void Analyzer::setSubMode(int mainMode, int sub, bool on)
{
    if (mainMode != 0)
        return;
    QAbstractButton* boxes[5] = {Sel2DADEdgeA, Sel2DAMLCFA, Sel2DAElemA, Sel2DARAA, Sel2DFVA};
    if (sub >= 0 && sub < 5)
        boxes[sub]->setChecked(on);
}

void Analyzer::setMainMode(int mode)
{
    if (mode == 0)
        Sel2DA->setChecked(true);
    else if (mode == 1)
        SelProcMaps->setChecked(true);
}

void Analyzer::setImageType(int type)
{
    if (type == 1)
        SelDMut->setChecked(true);
    else if (type == 0)
        SelRatio->setChecked(true);
}

void Analyzer::setDEdgeMidPointRatio(double ratio) { setField(DEdgeMidRatio, ratio); }

void Analyzer::setDEdgeCompStepParams(double stepAt, double width, double dE)
{
    setEnergyField(DEdgeCWStepAt, stepAt);
    setEnergyField(DEdgeCWStepWeV, width);
    setEnergyField(DEdgeCWStepDEeV, dE);
}

void Analyzer::setDEdgeCompParams(double range, double initStep, double minStep)
{
    setField(DEdgeCWFullRangeEV, range);
    setField(DEdgeCWInitDEeV, initStep);
    setField(DEdgeCWMinDEeV, minStep);
}

void Analyzer::setElemsBgDMut(double v) { setField(AElemsCds->BGVDMut, v); }
void Analyzer::setElemsBgDMutR(double v) { setField(AElemsCds->BGVDMutR, v); }
void Analyzer::setElemsBgDE(double v) { setField(AElemsCds->BGVDE, v); }
void Analyzer::setElemsBgROI(double v) { setField(AElemsCds->BGVROI, v); }
void Analyzer::setElemsBgNROI(double v) { setField(AElemsCds->BGVNROI, v); }
