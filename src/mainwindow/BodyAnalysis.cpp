// The two-dimensional analysis walk on the main window: its area, the spectrum
// of each bin, and showing the maps; the walk itself is an AnalysisWalk.
#include "mainwindow/Body.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzer.h"
#include "calibration/CalibCtrl.h"
#include "display/ColorBar.h"
#include "display/FieldValue.h"
#include "foundation/VictoreenRec.h"
#include "imagestack/TiffData.h"

#include <QDebug>
#include <QRadioButton>

namespace {
const int WalkDoneId = 116;
}

int Body::viewW() const { return vHWidth_->text().toInt(); }
int Body::viewH() const { return vVWidth_->text().toInt(); }
int Body::analyzeW() const { return aHWidth_->text().toInt(); }
int Body::analyzeH() const { return aVWidth_->text().toInt(); }

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
    walk = new AnalysisWalk(analyzer, [this](const AnalyzeCond& c) { return walkSpectrum(c); }, this);
    connect(walk, &AnalysisWalk::finishBatchExec, this, &Body::finishBatchExec);
    connect(walk, &AnalysisWalk::imagesGenerated, this, [this] {
        dispA->overlayMap = analyzer->selectedRes();
        dispA->update();
    });
}

bool Body::walkRunning() const { return walk && walk->running(); }

bool Body::askAnalyzeCond(AnalyzeCond& ac)
{
    if (i1Frames.isEmpty())
        return false;
    const QRectF a = dispA->sel.valid ? dispA->sel.area : dispA->viewWin;
    const double rect[4] = {a.x(), a.y(), a.width(), a.height()};
    ac.setup(i1Frames.first()->width, i1Frames.first()->height, analyzeW(), analyzeH(), rect, -1, -1);
    return true;
}

void Body::start2DAnalysis()
{
    if (walk->running()) {
        walk->stop();
        return;
    }
    AnalyzeCond c;
    if (!askAnalyzeCond(c)) {
        // A batch that asked for the walk must not wait for one that never starts.
        qDebug() << "2D analysis: no I1 stack";
        emit finishBatchExec(WalkDoneId);
        return;
    }
    walk->start(c);
}

void Body::stop2DAnalysis() { walk->stop(); }

void Body::analyzeASpectrumFinished() { walk->analyzeASpectrumFinished(); }

void Body::generateResImages() { walk->generateResImages(); }

void Body::setupResAnalysisImage()
{
    if (Analyzed2DRes* m = analyzer->selectedRes())
        m->genImg(CBar->scale());
}

XafsSpectrum Body::walkSpectrum(const AnalyzeCond& c)
{
    return binXafsSpectrum(c.cx, c.cy, viewW(), viewH(), QStringLiteral("Body-AaP"), binNormMode(), suggestElm());
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
