#include "analysis/Analyzer.h"

#include "analysis/AnalysisMetaTypes.h"
#include "analysis/BinAnalysis.h"
#include "analysis/EdgePosition.h"
#include "analysis/ElemCtrl.h"
#include "analysis/FVView.h"
#include "analysis/LCFReference.h"
#include "display/ColorBar.h"
#include "display/EShiftMapDialog.h"
#include "display/FieldValue.h"
#include "display/FrontWindow.h"
#include "display/ScreenFit.h"
#include "display/XafsView.h"
#include "foundation/Globals.h"
#include "foundation/TextUtils.h"

#include <QButtonGroup>
#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {
double at(const QList<double>& l, int i, bool& ok)
{
    ok = i >= 0 && i < l.size();
    return ok ? l[i] : 0.0;
}
} // namespace

void Analyzer::setField(QLineEdit* e, double v) { e->setText(QString::number(v, 'g', 6)); }
void Analyzer::setEnergyField(QLineEdit* e, double v) { e->setText(energyText(v)); }

int Analyzer::displayIdOfRow(int row)
{
    return row < BaseRefRows ? row : FirstLaterRowId + (row - BaseRefRows);
}

int Analyzer::rowOfDisplayId(int id)
{
    if (id >= 0 && id < BaseRefRows)
        return id;
    if (id >= FirstLaterRowId)
        return BaseRefRows + (id - FirstLaterRowId);
    return -1;
}

Analyzer::Analyzer(QWidget* parent)
    : QFrame(parent), eng(std::make_unique<AnalysisEngine>()), zansaMap(eng->maps.zansa),
      dEdgeMap(eng->maps.dEdge), raDMutMap(eng->maps.raDMut), raRestMap(eng->maps.raRest),
      raRatiMap(eng->maps.raRati), fvMap(eng->maps.fv), sumUpMap(eng->maps.sumUp), fvPoints(eng->maps.fvPoints)
{
    fvv = std::make_unique<FVView>();
    map1Dialog = std::make_unique<EShiftMapDialog>(QString());
    map2Dialog = std::make_unique<EShiftMapDialog>(QString());
    setupUi(this);
    liveZ.field = DispZansa;
    liveDEdge.field = DispDEdge;

    mainModeGroup = new QButtonGroup(this);
    mainModeGroup->setExclusive(true);
    mainModeGroup->addButton(Sel2DA);
    mainModeGroup->addButton(SelProcMaps);
    Sel2DA->setChecked(true);

    xv = new XafsView();
    xv->setWindowTitle(tr("Analyzing Spectrum"));
    xv->addSpectrum(&fitResult);
    xv->pens.append(QPen(QColor(255, 128, 192), 2));

    dispGroup = new QButtonGroup(this);
    dispGroup->setExclusive(true);
    for (int i = 0; i < BaseRefRows; ++i)
        addNewRef();

    setContAccess(false);

    const int n = BaseRefRows;
    dispGroup->addButton(ShowDEdge, n);
    dispGroup->addButton(ShowZ, n + 1);
    dispGroup->addButton(ShowResElemsA, n + 2);
    dispGroup->addButton(ShowDMuT, n + 3);
    dispGroup->addButton(ShowRest, n + 4);
    dispGroup->addButton(ShowRatio, n + 5);
    dispGroup->addButton(SelSumUp, n + 6);
    ShowDEdge->setChecked(true);

    setFVEStep();
    setFVElimReg();
    fvv->fvPoints = &fvPoints;
    QButtonGroup* imageTypeGroup = new QButtonGroup(this);
    imageTypeGroup->setExclusive(true);
    imageTypeGroup->addButton(SelRatio);
    imageTypeGroup->addButton(SelDMut);

    connect(FVeStep, SIGNAL(editingFinished()), this, SLOT(setFVEStep()));
    connect(FVElimReg, SIGNAL(editingFinished()), this, SLOT(setFVElimReg()));
    connect(showFVMap_, &QPushButton::clicked, this, [this] { showInFront(fvv.get()); });
    connect(AddRef, SIGNAL(clicked()), this, SLOT(addNewRef()));
    for (UserLines* unit : {&elemUnit.user, &mapProc.user, &SumUpC->user})
        unit->to = [this](const QString& line) { user.tell(line); };
    connect(ShowView, &QPushButton::clicked, this, [this] { showInFront(xv); });
    connect(AskAnalyze, SIGNAL(clicked()), this, SIGNAL(askAnalyze()));
    connect(AskSumUp, SIGNAL(clicked()), this, SIGNAL(askSumUp()));
    connect(eng.get(), &AnalysisEngine::analyzeSpectrum0, this, &Analyzer::analyzeSpectrum0);
    connect(eng.get(), &AnalysisEngine::analyzeSpectrumDEdge0, this, &Analyzer::analyzeSpectrumDEdge0);
    connect(eng.get(), &AnalysisEngine::analyzeSpectrumElems0, this, &Analyzer::analyzeSpectrumElems0);
    connect(eng.get(), &AnalysisEngine::analyzeSpectrumRA, this, &Analyzer::analyzeSpectrumRA);
    connect(eng.get(), &AnalysisEngine::analyzeSpectrumFV, this, &Analyzer::analyzeSpectrumFV);
    connect(eng.get(), &AnalysisEngine::replied, this, &Analyzer::showReply);
    connect(eng.get(), &AnalysisEngine::finished, this, &Analyzer::finished);
    AnalysisWalk* walk = eng->walk();
    connect(walk, &AnalysisWalk::runningChanged, this, &Analyzer::setContAccess);
    connect(walk, &AnalysisWalk::runningChanged, this, [this](bool on) {
        if (on)
            chooseMapOfWalk(eng->walk()->choice());
    });
    connect(walk, &AnalysisWalk::progress, this, &Analyzer::setProgress);
    connect(walk, &AnalysisWalk::rowStarted, this, [this] {
        if (DispOnTime->isChecked())
            eng->walk()->generateResImages();
    });
    // The feature-value pictures are redrawn with the maps, and written once
    // the walk ends or stops: not on every row.
    connect(walk, &AnalysisWalk::imagesGenerated, this, [this](bool ends) {
        if (!eng->walk()->choice().fv)
            return;
        if (ends)
            updateFVMap();
        else
            fvv->redraw();
    });
    connect(walk, &AnalysisWalk::newZ, this, &Analyzer::noticedNewZ);
    connect(walk, &AnalysisWalk::newDEdge, this, &Analyzer::noticedNewDEdge);
    connect(walk, &AnalysisWalk::newCorrelation, this, &Analyzer::setNewCorrelation);
    connect(walk, &AnalysisWalk::newFeatureValue, this, [this](FeatureValue fv) { lastFV = fv; });
    connect(dispGroup, SIGNAL(idClicked(int)), this, SLOT(selectedNewRef(int)));
    connect(SelRatio, SIGNAL(toggled(bool)), this, SLOT(colorScaleChanged()));
    connect(FixedScale, SIGNAL(toggled(bool)), this, SLOT(colorScaleChanged()));
    connect(UseUpperLimit, SIGNAL(toggled(bool)), this, SLOT(colorScaleChanged()));
    for (QLineEdit* e : {DMutScaleMax, DMutScaleMin, RatioScaleMax, RatioScaleMin, UpperLimitV})
        connect(e, SIGNAL(editingFinished()), this, SLOT(colorScaleChanged()));
    connect(AsOldLCF, &QCheckBox::toggled, eng.get(), &AnalysisEngine::setLcfOld);

    QButtonGroup* dEdgeMethod = new QButtonGroup(this);
    dEdgeMethod->setExclusive(true);
    dEdgeMethod->addButton(DEdgeMidPoint);
    dEdgeMethod->addButton(DEdgeCompWith);
    DEdgeMidPoint->setChecked(true);
    DEdgeCWSelectBox->setEnabled(true);
    connect(DEdgeCompWith, SIGNAL(toggled(bool)), this, SLOT(toggledDEdgeCompWith(bool)));

    cwFullRangeEV = fieldValue(DEdgeCWFullRangeEV);
    cwInitDEeV = fieldValue(DEdgeCWInitDEeV);
    cwMinDEeV = fieldValue(DEdgeCWMinDEeV);
    midRatio = fieldValue(DEdgeMidRatio);
    watchNumberField(DEdgeCWFullRangeEV, FieldKind::NotNegative);
    for (QLineEdit* e : {LCFRange1, LCFRange2, DEdgeMidRatio, DEdgeCWInitDEeV, DEdgeCWMinDEeV,
                         DEdgeCWStepAt, DEdgeCWStepWeV, DEdgeCWStepDEeV, RAAtEV, RAFactor, DMutScaleMax,
                         DMutScaleMin, RatioScaleMax, RatioScaleMin, UpperLimitV, FVeStep, FVElimReg})
        watchNumberField(e, FieldKind::Real);

    QButtonGroup* cwTarget = new QButtonGroup(this);
    cwTarget->setExclusive(true);
    cwTarget->addButton(DEdgeCWFile);
    cwTarget->addButton(DEdgeCWStep);
    DEdgeCWFile->setChecked(true);
    connect(DEdgeCWFile, SIGNAL(toggled(bool)), this, SLOT(toggledCWFile(bool)));
    connect(DEdgeCWFileSelect, SIGNAL(newFile(QString)), this, SLOT(selectedNewDEdgeCWFile(QString)));
    fdGroup.addDialog(DEdgeCWFileSelect->fileDialog);

    ElemsForm ef;
    ef.names = AElemNames;
    ef.sortByANo = SortByANo;
    ef.rowLayout = AElemBaseLayout;
    ef.corTh = CorTh;
    ef.progress = Progress;
    ef.setStd = SetSTD;
    ef.reCalcCor = ReCalcCor;
    QAbstractButton* disp[9] = {ShowElemsDMut0, ShowElemsDMutN, ShowElemsCorr, ShowElemsCorrTh, ShowElemsMutPlus,
                                ShowElemsMutMinus, ShowElemsDE, ShowElemsROI, ShowElemsNROI};
    std::copy(disp, disp + 9, ef.disp);
    corAbove = false;
    elemUnit.setup(ef);
    connect(&elemUnit, SIGNAL(changedSelection()), this, SIGNAL(changedSelection()));
    connect(this, SIGNAL(setNewCorrelation(double)), this, SLOT(setCorrelation(double)));
    xv->elemRows = &elemUnit.elems;

    MapProcForm mf;
    mf.showMap1 = ShowMap1;
    mf.showMap2 = ShowMap2;
    mf.showProcessedMap = ShowProcessedMap;
    mf.procTypeSub = ProcTypeSub;
    mf.procTypeDiv = ProcTypeDiv;
    mf.procTypeMask = ProcTypeMask;
    mf.selMap1 = SelMap1;
    mf.selMap2 = SelMap2;
    mf.captureAsMap1 = CaptureAsMap1;
    mf.captureAsMap2 = CaptureAsMap2;
    mf.askProcessMaps = AskProcessMaps;
    mf.map1Name = Map1Name;
    mf.map2Name = Map2Name;
    mapProc.setup(mf, map1Dialog.get(), map2Dialog.get());
    connect(&mapProc, SIGNAL(changedSelection()), this, SIGNAL(changedSelection()));
    connect(&mapProc, &MapProc::askAnalyzeCond, this, &Analyzer::askAnalyzeCond);
    connect(&mapProc, &MapProc::askSelectedRes, this, &Analyzer::answerSelectedRes);
    connect(&mapProc, &MapProc::loadMap, this, &Analyzer::loadMapFile);

    // Single-spectrum analyses before the first walk must not read unset values.
    initAnalyzeSpectrum();
    // Wider than a laptop's screen: the form scrolls there.
    screenfit::scrollForm(*this);
}

Analyzer::~Analyzer()
{
    xv->elemRows = nullptr;
    delete xv;
}

void Analyzer::closeEvent(QCloseEvent*) {}

// ---- rows ------------------------------------------------------------------

void Analyzer::addNewRef()
{
    if (contAccessFlag) {
        user.tell(QStringLiteral("A reference row is not added while a two-dimensional analysis runs"));
        return;
    }
    LCFReference* row = new LCFReference();
    row->maps = eng->maps.addRefRow();
    lcfRefs.append(row);
    const int n = int(lcfRefs.size());
    row->XFS->Select->setText(tr("Select Ref%1").arg(n));
    row->XFS->setUse(n < 3);
    row->use = n < 3;
    gridLayout_3->addWidget(row, n - 1, 0);
    screenfit::grow(*this, QSize(0, 22));
    fdGroup.addDialog(row->XFS->fileDialog);
    dispGroup->addButton(row->Show, displayIdOfRow(n - 1));
    xv->addSpectrum(row);
    connect(row, SIGNAL(newFileSelected()), xv, SLOT(update()));
    connect(row, SIGNAL(newDeltaE()), this, SLOT(reAnalyzeSpectrum()));
    connect(row, &LCFReference::unreadableFile, this,
            [this, n](const QString& why) { emit mistake(QStringLiteral("Ref%1: %2").arg(n).arg(why)); });
}

Analyzed2DRes* Analyzer::lcfResMap(int refNo, int idx)
{
    if (refNo < 0 || refNo >= lcfRefs.size())
        return nullptr;
    LCFReference* row = lcfRefs[refNo];
    if (row->maps.isEmpty())
        return nullptr;
    if (idx < 0 || idx >= row->maps.size())
        idx = 0;
    return row->maps[idx];
}

int Analyzer::checkedRefIndex() const
{
    for (int i = 0; i < lcfRefs.size(); ++i) {
        if (lcfRefs[i]->Show->isChecked())
            return i;
    }
    return 0;
}

int Analyzer::imageType() const { return SelRatio->isChecked() ? 1 : 0; }

// ---- fan-out ---------------------------------------------------------------

AnalysisChoice Analyzer::chosenAnalyses() const
{
    AnalysisChoice c;
    if (!Sel2DA->isChecked())
        return c;
    c.lcf = Sel2DAMLCFA->isChecked();
    c.dEdge = Sel2DADEdgeA->isChecked();
    c.elems = Sel2DAElemA->isChecked();
    c.ra = Sel2DARAA->isChecked();
    c.fv = Sel2DFVA->isChecked();
    return c;
}

XafsSpectrum Analyzer::limitedSpectrum(const XafsSpectrum& s) const
{
    return ::limitedSpectrum(s, fieldValue(LCFRange1), fieldValue(LCFRange2));
}

QString Analyzer::lcfRangeMistake(const std::vector<double>& energies) const
{
    if (!chosenAnalyses().lcf || !fieldReadable(LCFRange1, FieldKind::Real) || !fieldReadable(LCFRange2, FieldKind::Real))
        return QString();
    return LCFFit::rangeMistake(LCFReference::usedRefs(lcfRefs), fieldValue(LCFRange1), fieldValue(LCFRange2),
                                energies);
}

AnalysisSettings Analyzer::settings(const AnalysisChoice& c) const
{
    AnalysisSettings set;
    set.choice = c;
    LCFRequest& l = set.lcf;
    l.rowCount = int(lcfRefs.size());
    l.refs = LCFReference::usedRefs(lcfRefs);
    l.isMLCF = MLCF->isChecked();
    l.sE0 = fieldValue(LCFRange1);
    l.eE0 = fieldValue(LCFRange2);
    l.writeRows = true;
    set.lcfOld = AsOldLCF->isChecked();
    DEdgeRequest& d = set.dEdge;
    d.isMidPoint = isMidPoint;
    d.midRatio = midRatio;
    d.ref = compareWithRef();
    d.cwRangeEV = cwFullRangeEV * 0.5;
    d.cwInitDEeV = cwInitDEeV;
    d.cwMinDEeV = cwMinDEeV;
    for (const ElemCtrl* row : elemUnit.elems)
        set.elems.rows.append(row->rowConds());
    set.elemUse = elemUnit.useFlags();
    set.elemStdRatio = elemUnit.stdRatios();
    set.elems.mainT = elemUnit.targetIndex();
    set.elems.bg = AElemsCds->background();
    set.corTh = elemUnit.corTh;
    set.ra.raFactor = raFactor;
    set.ra.atEV = raAtEV;
    set.fv.eStep = std::max(0.01, fvEStep);
    set.fv.elimReg = fvElimReg;
    return set;
}

AnalysisSettings Analyzer::walkSettings()
{
    initAnalyzeSpectrum();
    const AnalysisChoice c = chosenAnalyses();
    if (c.dEdge && DEdgeCWStep->isChecked())
        dEdgeStepSpectrum();
    AnalysisSettings set = settings(c);
    set.lcf.writeRows = false;
    return set;
}

AnalysisWalk::Maps Analyzer::walkMaps()
{
    AnalysisWalk::Maps m;
    for (int idx = 0; idx < 2; ++idx) {
        for (int r = 0; r < lcfRefs.size(); ++r)
            m.lcf.append(lcfResMap(r, idx));
    }
    m.zansa = &zansaMap;
    m.dEdge = &dEdgeMap;
    const QList<ElemCtrl*>& rows = elemUnit.elems;
    for (int k = 0; k < ElemCtrl::mapCount; ++k) {
        for (ElemCtrl* row : rows)
            m.elem.append(row->map(k));
    }
    m.elem.append(&elemUnit.corMap);
    m.elem.append(&elemUnit.corThMap);
    m.raDMut = &raDMutMap;
    m.raRest = &raRestMap;
    m.raRati = &raRatiMap;
    m.fv = &fvMap;
    m.fvPoints = &fvPoints;
    return m;
}

quint64 Analyzer::analyzeSpectrumFor(const XafsSpectrum& s, const SuggestElm& sElm, const AnalysisChoice& c)
{
    lastSElm = sElm;
    // A spectrum analysed before any walk made the step still compares with the step chosen.
    if (c.dEdge && DEdgeCWStep->isChecked() && cwStep.points.isEmpty())
        dEdgeStepSpectrum();
    return eng->send(AnalysisEngine::prepare(settings(c), s, sElm));
}

void Analyzer::analyzeSpectrum(XafsSpectrum& s, SuggestElm sElm)
{
    AnalysisChoice c = chosenAnalyses();
    // Not over some other range or value: the fields show why there is no result.
    for (bool AnalysisChoice::*kind : {&AnalysisChoice::lcf, &AnalysisChoice::elems, &AnalysisChoice::fv}) {
        AnalysisChoice one;
        one.*kind = true;
        if (!fieldMistake(one).isEmpty())
            c.*kind = false;
    }
    analyzeSpectrumFor(s, sElm, c);
}

QString Analyzer::fieldMistake(const AnalysisChoice& c) const
{
    const bool compare = c.dEdge && DEdgeCompWith->isChecked();
    const bool step = compare && DEdgeCWStep->isChecked();
    const bool mid = c.dEdge && !compare;
    QString m = firstFieldMistake({{c.lcf ? LCFRange1 : nullptr, "Fitting Range"},
                              {c.lcf ? LCFRange2 : nullptr, "Fitting Range"},
                              {mid ? DEdgeMidRatio : nullptr, "Mid Ratio"},
                              {compare ? DEdgeCWInitDEeV : nullptr, "Init. Step"},
                              {compare ? DEdgeCWMinDEeV : nullptr, "Min. Step"},
                              {step ? DEdgeCWStepAt : nullptr, "Step at"},
                              {step ? DEdgeCWStepWeV : nullptr, "SW"},
                              {step ? DEdgeCWStepDEeV : nullptr, "dE"},
                              {c.ra ? RAAtEV : nullptr, "Res = mut("},
                              {c.ra ? RAFactor : nullptr, "dmut x"},
                              {c.fv ? FVeStep : nullptr, "F.V. Step"},
                              {c.fv ? FVElimReg : nullptr, "F.V. Elim Reg"}},
                             FieldKind::Real);
    // A negative range would search no shift at all.
    if (m.isEmpty())
        m = firstFieldMistake({{compare ? DEdgeCWFullRangeEV : nullptr, "Comp. Range"}}, FieldKind::NotNegative);
    if (m.isEmpty() && c.elems) {
        for (const ElemCtrl* row : elemUnit.elems) {
            m = row->fieldMistake();
            if (!m.isEmpty())
                return m;
        }
        m = AElemsCds->fieldMistake();
    }
    return m;
}

QString Analyzer::spectrumMistake(const AnalysisChoice& c) const
{
    for (int i = 0; c.lcf && i < lcfRefs.size(); ++i) {
        const LCFReference* row = lcfRefs[i];
        if (!row->XFS->Use->isChecked() || row->holdsSpectrum())
            continue;
        if (row->XFS->hasFile)
            return QStringLiteral("Ref%1 is ticked but its file %2 could not be read").arg(i + 1).arg(row->XFS->Selected->text());
        return QStringLiteral("Ref%1 is ticked but holds no spectrum: choose its file or untick it").arg(i + 1);
    }
    if (c.dEdge && DEdgeCompWith->isChecked() && DEdgeCWFile->isChecked() && cwRef.size() < 1)
        return QStringLiteral("the dEdge comparison file holds no spectrum: choose one or compare with the step");
    return QString();
}

void Analyzer::analyzeAndShowSpectrum(XafsSpectrum s, SuggestElm sElm)
{
    lastSpectrum = s;
    // The walk has workers of its own: the pointed bin is analysed during it too.
    analyzeSpectrum(lastSpectrum, sElm);
    xv->setXafsSpectrum(lastSpectrum);
}

void Analyzer::reAnalyzeSpectrum()
{
    analyzeSpectrum(lastSpectrum, lastSElm);
}

void Analyzer::initAnalyzeSpectrum()
{
    isMidPoint = DEdgeMidPoint->isChecked();
    midRatio = fieldValue(DEdgeMidRatio);
    cwFullRangeEV = fieldValue(DEdgeCWFullRangeEV);
    cwInitDEeV = fieldValue(DEdgeCWInitDEeV);
    cwMinDEeV = fieldValue(DEdgeCWMinDEeV);
    raFactor = fieldValue(RAFactor);
    raAtEV = fieldValue(RAAtEV);
}

// ---- replies ---------------------------------------------------------------

void Analyzer::showReply(AnalyzeReply r)
{
    switch (r.kind) {
    case AnalyzeKind::Elems:
        analyze2DElemsFinished(r);
        break;
    case AnalyzeKind::FV:
        analyze2DFVFinished(r);
        break;
    default:
        analyze2DFinished(r);
        break;
    }
}

void Analyzer::refreshView()
{
    xv->update();
}

void Analyzer::analyze2DFinished(AnalyzeReply r)
{
    switch (r.kind) {
    case AnalyzeKind::LCF:
    case AnalyzeKind::LCFOld:
    case AnalyzeKind::MLCF:
        if (r.fitted) {
            fitResult = r.fittedSpectrum;
            noticedNewZ(r.z);
        }
        LCFReference::applyFit(lcfRefs, r);
        break;
    case AnalyzeKind::DEdge:
        noticedNewDEdge(r.dEdge);
        break;
    default:
        break;
    }
    refreshView();
}

void Analyzer::showElemResults(const AnalyzeReply& r)
{
    bool ok = false;
    for (int i = 0; i < elemUnit.elems.size(); ++i) {
        ElemCtrl* row = elemUnit.elems[i];
        const double dmut = at(r.elemDMut, i, ok);
        if (ok) {
            row->dmut = dmut;
            setField(row->DMuT, dmut);
        }
        const double ratio = at(r.elemNDMut, i, ok);
        if (ok) {
            row->ratio = ratio;
            setField(row->Ratio, ratio);
        }
        const double mp = at(r.elemMP, i, ok);
        if (ok)
            row->mutPlus = mp;
        const double mm = at(r.elemMM, i, ok);
        if (ok)
            row->mutMinus = mm;
        const double de = at(r.elemDE, i, ok);
        if (ok)
            setField(row->DE, de);
        const double roi = at(r.elemROI, i, ok);
        if (ok)
            row->setROI(roi);
        const double nroi = at(r.elemNROI, i, ok);
        if (ok)
            row->setNROI(nroi);
    }
}

void Analyzer::analyze2DElemsFinished(AnalyzeReply r)
{
    if (Sel2DAElemA->isChecked())
        showElemResults(r);
    // From this spectrum's ratios, as a walk's bin has it; the rows may show
    // another spectrum's.
    double c;
    if (elemCorrelation(r.elemNDMut, elemUnit.useFlags(), elemUnit.stdRatios(), c))
        emit setNewCorrelation(c);
    refreshView();
}

void Analyzer::analyze2DFVFinished(AnalyzeReply r)
{
    lastFV = r.fv;
    setField(FVdM, r.fv.dM);
    setField(FVdE12, r.fv.e2 - r.fv.e1);
    FVE2E1->setText(QStringLiteral("(%1-%2)").arg(r.fv.e2).arg(r.fv.e1));
    xv->update();
}

void Analyzer::showLive(LiveField& f, double v)
{
    // A new text per bin costs more than the bin's own fit.
    if (contAccessFlag && f.shown.isValid() && f.shown.elapsed() < LiveShowMs) {
        f.held = true;
        f.value = v;
        return;
    }
    setField(f.field, v);
    f.held = false;
    f.shown.start();
}

void Analyzer::flushLive(LiveField& f)
{
    if (f.held)
        setField(f.field, f.value);
    f.held = false;
}

void Analyzer::noticedNewZ(double z) { showLive(liveZ, z); }

void Analyzer::noticedNewDEdge(double dEdge) { showLive(liveDEdge, dEdge); }

// ---- settings read by the requests -----------------------------------------

void Analyzer::toggledDEdgeCompWith(bool) { DEdgeCWSelectBox->setEnabled(true); }

void Analyzer::toggledCWFile(bool) {}

void Analyzer::selectedNewDEdgeCWFile(QString fname)
{
    const QString why = cwRef.readFileTold(fname);
    DEdgeCWFileSelect->fileNameValid(why.isEmpty());
    if (why.isEmpty()) {
        cwRef.normalize(cwRef.normMode);
        return;
    }
    cwRef = XafsSpectrum(); // nothing to compare with rather than part of a file
    if (!fname.isEmpty())
        emit mistake(QStringLiteral("dEdge comparison file: %1").arg(why));
}

bool Analyzer::dEdgeStepSpectrum()
{
    return EdgePosition::stepSpectrum(fieldValue(DEdgeCWStepAt), fieldValue(DEdgeCWStepWeV),
                                      fieldValue(DEdgeCWStepDEeV), cwStep, user);
}

const XafsSpectrum& Analyzer::compareWithRef() const { return DEdgeCWStep->isChecked() ? cwStep : cwRef; }

// A field that holds no number keeps the value it had: it shows it, and the
// analysis does not start while it does.
void Analyzer::setFVEStep()
{
    if (fieldReadable(FVeStep, FieldKind::Real))
        fvEStep = fieldValue(FVeStep);
}

void Analyzer::setFVElimReg()
{
    if (fieldReadable(FVElimReg, FieldKind::Real))
        fvElimReg = fieldValue(FVElimReg);
}

// ---- display ---------------------------------------------------------------

void Analyzer::show()
{
    // The panel ends in front of its spectrum view, with the focus.
    showInFront(xv);
    showInFront(this);
}

void Analyzer::showXv() { xv->show(); }

void Analyzer::updateFVMap() { fvv->updateMap(); }

void Analyzer::setContAccess(bool f)
{
    contAccessFlag = f;
    elemUnit.analysisRunning = f;
    if (!f) {
        flushLive(liveZ);
        flushLive(liveDEdge);
    }
}

void Analyzer::setProgress(double perCent) { Progress->setText(QString::asprintf("%5.2f", perCent)); }

void Analyzer::selectedNewRef(int) { emit changedSelection(); }

void Analyzer::applyScale(Analyzed2DRes* map, bool fixed, double lo, double hi, bool useLimit, double limit)
{
    if (!map)
        return;
    map->setFixedScale(fixed);
    map->setScale(lo, hi);
    map->setUpperLimit(useLimit, limit);
    // The map is a plain model: the bar shows its new range from here.
    if (mainColorBar) {
        map->displayRange(mainColorBar->dataMin, mainColorBar->dataMax);
        mainColorBar->paintCBar();
    }
}

void Analyzer::colorScaleChanged()
{
    // A bound that holds no number is not taken as 0: the field shows it.
    for (const QLineEdit* e : {DMutScaleMin, DMutScaleMax, RatioScaleMin, RatioScaleMax, UpperLimitV}) {
        if (!fieldReadable(e, FieldKind::Real) && (e != UpperLimitV || UseUpperLimit->isChecked()))
            return;
    }
    const bool fixed = FixedScale->isChecked();
    const double dMin = fieldValue(DMutScaleMin);
    const double dMax = fieldValue(DMutScaleMax);
    const double rMin = fieldValue(RatioScaleMin);
    const double rMax = fieldValue(RatioScaleMax);
    const bool useLimit = UseUpperLimit->isChecked();
    const double limit = fieldValue(UpperLimitV);
    for (LCFReference* row : std::as_const(lcfRefs)) {
        if (row->maps.size() > 0)
            applyScale(row->maps[0], fixed, dMin, dMax, useLimit, limit);
        if (row->maps.size() > 1)
            applyScale(row->maps[1], fixed, rMin, rMax, useLimit, limit);
    }
    for (Analyzed2DRes* m : {&zansaMap, &dEdgeMap, &raDMutMap, &raRestMap})
        applyScale(m, fixed, dMin, dMax, useLimit, limit);
    applyScale(&raRatiMap, fixed, rMin, rMax, useLimit, limit);
    for (ElemCtrl* row : std::as_const(elemUnit.elems)) {
        for (int k = 0; k < ElemCtrl::mapCount; ++k)
            applyScale(row->map(k), fixed, dMin, dMax, useLimit, limit);
    }
    emit changedSelection();
}

Analyzed2DRes* Analyzer::selectedRes()
{
    Analyzed2DRes* r = nullptr;
    const int row = rowOfDisplayId(dispGroup->checkedId());
    if (row >= 0 && row < lcfRefs.size())
        r = lcfResMap(row, SelDMut->isChecked() ? 0 : (SelRatio->isChecked() ? 1 : 0));
    if (ShowZ->isChecked())
        r = &zansaMap;
    if (ShowDEdge->isChecked())
        r = &dEdgeMap;
    if (ShowDMuT->isChecked() && raDMutMap.valid)
        r = &raDMutMap;
    if (ShowRest->isChecked() && raRestMap.valid)
        r = &raRestMap;
    if (ShowRatio->isChecked() && raRatiMap.valid)
        r = &raRatiMap;
    const QList<ElemCtrl*>& rows = elemUnit.elems;
    if (ShowResElemsA->isChecked() && !rows.isEmpty()) {
        const int e = elemUnit.showIndex();
        ElemCtrl* er = e >= 0 && e < rows.size() ? rows[e] : rows[0];
        if (ShowElemsDMut0->isChecked())
            r = er->map(0);
        if (ShowElemsDMutN->isChecked())
            r = er->map(1);
        if (ShowElemsCorr->isChecked())
            r = &elemUnit.corMap;
        if (ShowElemsCorrTh->isChecked())
            r = &elemUnit.corThMap;
        if (ShowElemsMutPlus->isChecked())
            r = er->map(2);
        if (ShowElemsMutMinus->isChecked())
            r = er->map(3);
        if (ShowElemsDE->isChecked())
            r = er->map(4);
        if (ShowElemsROI->isChecked())
            r = er->map(5);
        if (ShowElemsNROI->isChecked())
            r = er->map(6);
    }
    if (SelSumUp->isChecked())
        r = &sumUpMap;
    if (SelProcMaps->isChecked()) {
        if (Analyzed2DRes* m = mapProc.shownMap())
            r = m;
    }
    return r;
}

void Analyzer::chooseMapOfWalk(const AnalysisChoice& c)
{
    // The buttons that show a map of the walk, in the order it numbers them.
    QList<QAbstractButton*> shows;
    if (c.lcf) {
        for (const LCFRefData& r : LCFReference::usedRefs(lcfRefs))
            shows << lcfRefs[r.index]->Show;
        shows << ShowZ;
    }
    if (c.dEdge)
        shows << ShowDEdge;
    if (c.elems && !elemUnit.elems.isEmpty())
        shows << ShowResElemsA;
    if (c.ra)
        shows << ShowDMuT << ShowRest << ShowRatio;
    if (shows.isEmpty() || shows.contains(dispGroup->checkedButton()))
        return;
    shows.first()->setChecked(true);
    emit changedSelection();
}

void Analyzer::answerSelectedRes(Analyzed2DRes*& r) { r = selectedRes(); }

void Analyzer::loadMapFile(const QString& fname, Analyzed2DRes& map, bool& valid)
{
    EMPHeader h;
    emit loadMap(fname, map, h);
    valid = h.valid;
}

void Analyzer::setCorrelation(double cor)
{
    correlation = cor;
    if (corGuard)
        return;
    corGuard = true;
    setField(ElemsCorrelation, cor);
    const bool above = cor > elemUnit.corTh;
    if (above != corAbove) {
        ElemsCorrelation->setStyleSheet(above ? QStringLiteral("background-color: rgb(211, 255, 241);")
                                              : QStringLiteral("background-color: rgb(176, 192, 192);"));
        corAbove = above;
    }
    corGuard = false;
}

// ---- element and map-processing units ---------------------------------------

void Analyzer::newElems() { elemUnit.newElems(); }
void Analyzer::setElemsStd() { elemUnit.setElemsStd(); }
void Analyzer::calcCorrelation() { elemUnit.calcCorrelation(); }
void Analyzer::recalcCorMap() { elemUnit.recalcCorMap(); }
void Analyzer::newCorTh() { elemUnit.newCorTh(); }
void Analyzer::setCorTh(double v) { elemUnit.setCorTh(v); }
void Analyzer::selectElemTarget(const QString& row) { elemUnit.selectElemTarget(row); }
void Analyzer::selectElemShow(const QString& row) { elemUnit.selectElemShow(row); }
void Analyzer::setElemUse(const QString& row, bool f) { elemUnit.setElemUse(row, f); }
void Analyzer::setElemsDE(double v) { elemUnit.setElemsDE(v); }
void Analyzer::setElemROI(const QString& name, double s, double e) { elemUnit.setElemROI(name, s, e); }
void Analyzer::setElemThDMut(const QString& name, double v) { elemUnit.setElemThDMut(name, v); }
void Analyzer::setElemNoNeg(const QString& name, bool f) { elemUnit.setElemNoNeg(name, f); }
void Analyzer::selectElemsDispMode(int i) { elemUnit.selectElemsDispMode(i); }
void Analyzer::setSortByANo(bool f) { elemUnit.setSortByANo(f); }
void Analyzer::processMaps() { mapProc.processMaps(); }
void Analyzer::captureAsMap1() { mapProc.captureAsMap1(); }
void Analyzer::captureAsMap2() { mapProc.captureAsMap2(); }
