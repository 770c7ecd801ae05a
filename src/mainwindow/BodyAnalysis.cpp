// The two-dimensional analysis walk on the main window: its area, the settings
// and frames its workers read, and showing the maps; the walk itself is an AnalysisWalk.
#include "mainwindow/Body.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/AnalyzerElems.h"
#include "analysis/Analyzer.h"
#include "analysis/EdgePosition.h"
#include "calibration/CalibCtrl.h"
#include "display/ColorBar.h"
#include "display/FieldValue.h"
#include "foundation/VictoreenRec.h"
#include "imagestack/TiffData.h"

#include <QDebug>
#include <QRadioButton>

#include <algorithm>

namespace {
const int WalkDoneId = 116;
}

int Body::viewW() const { return vHWidth_->text().toInt(); }
int Body::viewH() const { return vVWidth_->text().toInt(); }
int Body::analyzeW() const { return aHWidth_->text().toInt(); }
int Body::analyzeH() const { return aVWidth_->text().toInt(); }

QString Body::binSizeMistake(bool view, bool analysis) const
{
    return firstFieldMistake({{view ? vHWidth_ : nullptr, "Sum R."},
                              {view ? vVWidth_ : nullptr, "Sum R."},
                              {analysis ? aHWidth_ : nullptr, "A. Step"},
                              {analysis ? aVWidth_ : nullptr, "A. Step"}},
                             FieldKind::Count);
}

QString Body::suggestMistake(bool edgeRead) const
{
    const bool use = UseSuggestElm->isChecked();
    return firstFieldMistake({{use || edgeRead ? SuggestingEeV : nullptr, "Suggest Elm. edge energy"},
                              {use ? DPreE : nullptr, "Suggest Elm. pre-edge end"},
                              {use ? DPostS : nullptr, "Suggest Elm. post-edge start"},
                              {use ? ThJumpSigma : nullptr, "Suggest Elm. jump threshold"}},
                             FieldKind::Real);
}

SuggestElm Body::suggestElm() const
{
    SuggestElm s;
    s.use = UseSuggestElm->isChecked();
    s.z = elemSymbolToZ(SuggestingElm->text());
    s.edge = SuggestingEdge->currentIndex();
    s.edgeEV = fieldValue(SuggestingEeV);
    s.dPreE = fieldValue(DPreE);
    s.dPostS = fieldValue(DPostS);
    s.thJumpSigma = fieldValue(ThJumpSigma);
    return s;
}

void Body::setupWalk()
{
    for (QLineEdit* e : {SuggestingEeV, DPreE, DPostS, ThJumpSigma})
        watchNumberField(e, FieldKind::Real);
    walk = analyzer->engine()->walk();
    connect(walk, &AnalysisWalk::finishBatchExec, this, &Body::finishBatchExec);
    connect(walk, &AnalysisWalk::stopped, this, &Body::logMistake);
    connect(walk, &AnalysisWalk::imagesGenerated, this, [this] {
        dispA->overlayMap = analyzer->selectedRes();
        dispA->update();
    });
}

bool Body::walkRunning() const { return walk && walk->running(); }

bool Body::binGrid(AnalyzeCond& ac) const
{
    ac = AnalyzeCond();
    if (i1Frames.isEmpty() || !binSizeMistake(false, true).isEmpty())
        return false;
    const QRectF a = dispA->sel.valid ? dispA->sel.area : dispA->viewWin;
    const double rect[4] = {a.x(), a.y(), a.width(), a.height()};
    ac.setup(i1Frames.first()->width, i1Frames.first()->height, analyzeW(), analyzeH(), rect, -1, -1);
    // A region typed far outside the image would be walked bin by bin.
    if (!ac.clipToImage()) {
        ac = AnalyzeCond();
        return false;
    }
    return true;
}

bool Body::askAnalyzeCond(AnalyzeCond& ac)
{
    if (binGrid(ac))
        return true;
    if (!i1Frames.isEmpty())
        qDebug() << "No bin of the selected region lies on the image:"
                 << (dispA->sel.valid ? dispA->sel.area : dispA->viewWin);
    return false;
}

void Body::start2DAnalysis()
{
    if (walk->running()) {
        walk->stop();
        return;
    }
    // Sizes and settings the walk would read as some other number.
    const AnalysisChoice chosen = analyzer->chosenAnalyses();
    QString unreadable = binSizeMistake(true, true);
    if (unreadable.isEmpty())
        unreadable = suggestMistake(chosen.dEdge && analyzer->DEdgeMidPoint->isChecked());
    if (unreadable.isEmpty())
        unreadable = analyzer->fieldMistake(chosen);
    if (!unreadable.isEmpty()) {
        logMistake(QStringLiteral("Can't analyse: %1").arg(unreadable));
        clearChosenMaps();
        emit finishBatchExec(WalkDoneId);
        return;
    }
    AnalyzeCond c;
    if (!askAnalyzeCond(c)) {
        // A batch that asked for the walk must not wait for one that never starts.
        logMistake(QStringLiteral("2D analysis: no I1 stack or no bin of the region on the image"));
        clearChosenMaps();
        emit finishBatchExec(WalkDoneId);
        return;
    }
    tellStandInI0();
    AnalysisWalk::Setup s;
    s.settings = analyzer->walkSettings();
    s.sElm = suggestElm();
    s.settings.dEdge.sElm = s.sElm;
    s.settings.fv.se = s.sElm;
    s.normMode = binNormMode();
    s.viewW = viewW();
    s.viewH = viewH();
    s.energies = frameSets.i1Energies();
    tellClippedComparison(s.settings, s.energies);
    if (s.settings.choice.elems) {
        const QStringList outside = elemEdgesOutside(analyzer->elemUnit.elems, s.settings.elems, s.energies);
        for (const QString& line : outside)
            logMistake(line);
    }
    // The stacks stay put while the walk runs: loading or clearing one stops it first.
    const FrameSets::Reader reader = frameSets.reader(binOptions());
    s.source = [reader](int cx, int cy, int hw, int hh, Spectrum& out) { reader.spectrumAt(cx, cy, hw, hh, out); };
    s.shiftAt = [this](int cx, int cy) { return eShiftAt(cx, cy); };
    s.colors = [this] { return CBar->scale(); };
    s.correlation = analyzer->correlation;
    walk->start(c, std::move(s), analyzer->walkMaps());
}

// Every bin's search is kept within the span (EdgePosition::searchRange); the
// walk says so once.
void Body::tellClippedComparison(const AnalysisSettings& set, const std::vector<double>& energies)
{
    if (!set.choice.dEdge || set.dEdge.isMidPoint || energies.empty())
        return;
    const auto [lo, hi] = std::minmax_element(energies.begin(), energies.end());
    const double span = *hi - *lo;
    if (EdgePosition::searchRange(set.dEdge.cwRangeEV, span) == set.dEdge.cwRangeEV)
        return;
    logMistake(QStringLiteral("The comparison range %1 eV reaches past the span of the stack's energies, %2 eV: "
                              "shifts are searched within \u00b1%2 eV")
                   .arg(QString::number(2.0 * set.dEdge.cwRangeEV, 'g', 6), QString::number(span, 'g', 6)));
}

void Body::clearChosenMaps(bool all)
{
    AnalysisChoice ch = analyzer->chosenAnalyses();
    if (all)
        ch.lcf = ch.dEdge = ch.elems = ch.ra = ch.fv = true;
    const AnalysisWalk::Maps m = analyzer->walkMaps();
    QList<Analyzed2DRes*> maps;
    if (ch.lcf)
        maps << m.lcf << m.zansa;
    if (ch.dEdge)
        maps << m.dEdge;
    if (ch.elems)
        maps << m.elem;
    if (ch.ra)
        maps << m.raDMut << m.raRest << m.raRati;
    if (ch.fv)
        maps << m.fv;
    for (Analyzed2DRes* map : std::as_const(maps))
        if (map)
            map->clear();
    if (!maps.isEmpty())
        dispA->update();
}

void Body::stop2DAnalysis() { walk->stop(); }

// The walk's rows come back from its own workers: a single spectrum's answer moves nothing.
void Body::analyzeASpectrumFinished() {}

void Body::generateResImages() { walk->generateResImages(); }

void Body::setupResAnalysisImage()
{
    if (Analyzed2DRes* m = analyzer->selectedRes())
        m->genImg(CBar->scale());
}

int Body::binNormMode() const
{
    return calibCtrl->TargetBGVictreen->isChecked() ? 0 : 1;
}

XafsSpectrum Body::binXafsSpectrum(int cx, int cy, int hw, int hh, const QString& name, int normMode,
                                   const SuggestElm& sElm)
{
    return XafsSpectrum(xafsSpectrumAt(cx, cy, hw, hh), name, normMode, eShiftAt(cx, cy), sElm);
}

QString Body::areaLabel(const AnalyzeCond& c) const { return AnalysisWalk::areaLabel(c); }
