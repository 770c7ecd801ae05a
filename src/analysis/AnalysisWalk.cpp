#include "analysis/AnalysisWalk.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/ElemCtrl.h"
#include "analysis/LCFReference.h"

#include <QDebug>

#include <cmath>

namespace {
const int BatchDoneId = 116; // "analyzer_exec_LCF", whichever command started the walk
}

AnalysisWalk::AnalysisWalk(Analyzer* panel_, BinSpectrum source_, QObject* parent)
    : QObject(parent), panel(panel_), source(std::move(source_))
{
}

QString AnalysisWalk::areaLabel(const AnalyzeCond& c)
{
    return QStringLiteral("Area(%1,%2), Bin(%3,%4), x(%5,%6,%7), y(%8,%9,%10), idx(%11,%12)")
        .arg(c.W)
        .arg(c.H)
        .arg(c.hx)
        .arg(c.hy)
        .arg(c.x0)
        .arg(c.x1)
        .arg(c.stepX)
        .arg(c.y0)
        .arg(c.y1)
        .arg(c.stepY)
        .arg(c.cx)
        .arg(c.cy);
}

double AnalysisWalk::progressOf(const AnalyzeCond& c)
{
    const double rows = double(c.y1) - double(c.y0);
    return rows > 0.0 ? (double(c.cy) - double(c.y0)) / rows * 100.0 : 0.0;
}

double AnalysisWalk::restRatio(double r, double d)
{
    const double v = r / (d + r);
    return std::isfinite(v) ? v : 0.0;
}

bool AnalysisWalk::start(const AnalyzeCond& c)
{
    if (walkRunning) {
        stop();
        return false;
    }
    walkChoice = panel->chosenAnalyses();
    if (walkChoice.count() == 0) {
        qDebug() << "2D analysis: no analysis is chosen";
        emit finishBatchExec(BatchDoneId);
        return false;
    }
    walkCond = c;
    sendCond = c;
    allSent = false;
    awaited.clear();
    walkRunning = true;
    panel->setContAccess(true);
    panel->setProgress(0.0);
    panel->initAnalyzeSpectrum();
    refRows = int(panel->lcfRefs.size());
    elemRows = int(panel->elemUnit.elems.size());
    int n = 0;

    if (walkChoice.lcf) {
        lcfMaps.clear();
        for (int m = 0; m < 2; ++m) {
            for (int r = 0; r < refRows; ++r) {
                Analyzed2DRes* map = panel->lcfResMap(r, m);
                map->setCond(walkCond);
                map->setNo(n + r);
                lcfMaps.append(map);
            }
            n += refRows;
        }
        panel->zansaMap.setCond(walkCond);
        panel->zansaMap.setNo(n);
        qDebug() << "setup for LCF/MLCF" << areaLabel(walkCond);
        n += 1;
    }
    if (walkChoice.dEdge) {
        if (panel->DEdgeCWStep->isChecked())
            panel->dEdgeStepSpectrum();
        panel->dEdgeMap.setCond(walkCond);
        panel->dEdgeMap.setNo(n);
        n += 1;
    }
    if (walkChoice.elems) {
        elemMaps.clear();
        for (int k = 0; k < ElemCtrl::mapCount; ++k) {
            for (int j = 0; j < elemRows; ++j) {
                Analyzed2DRes* map = panel->elemUnit.elems[j]->map(k);
                map->setNo(n + j);
                elemMaps.append(map);
            }
            n += elemRows;
        }
        panel->elemUnit.corMap.setNo(n);
        panel->elemUnit.corThMap.setNo(n + 1);
        elemMaps.append(&panel->elemUnit.corMap);
        elemMaps.append(&panel->elemUnit.corThMap);
        n += 2;
        for (Analyzed2DRes* map : std::as_const(elemMaps))
            map->setCond(walkCond);
    }
    if (walkChoice.ra) {
        raDMutMap = &panel->raDMutMap;
        raRestMap = &panel->raRestMap;
        raRatiMap = &panel->raRatiMap;
        raDMutMap->setCond(walkCond);
        raRestMap->setCond(walkCond);
        raRatiMap->setCond(walkCond);
        raDMutMap->setNo(n);
        raRestMap->setNo(n + 1);
        raRatiMap->setNo(n + 2);
        n += 3;
    }
    if (walkChoice.fv) {
        panel->fvPoints.clear();
        fvMap = &panel->fvMap;
        fvMap->setCond(walkCond);
        fvMap->setNo(n);
    }
    analyzeAPoint();
    return true;
}

void AnalysisWalk::stop()
{
    if (!walkRunning)
        return;
    walkRunning = false;
    panel->setContAccess(false);
    emit finishBatchExec(BatchDoneId);
}

void AnalysisWalk::analyzeAPoint()
{
    while (!allSent && awaited.size() < Depth) {
        const XafsSpectrum s = source(sendCond);
        // The first bin drops whatever the panel still had in flight.
        const quint64 g = panel->send(panel->prepare(s, s.sElm, walkChoice), !awaited.isEmpty());
        if (g == 0) {
            allSent = true;
            break;
        }
        awaited.append(g);
        allSent = !sendCond.next();
    }
}

void AnalysisWalk::analyzeASpectrumFinished()
{
    // Replies of a stopped walk, or of a spectrum the walk did not send, are not its bins.
    if (!walkRunning || awaited.isEmpty() || panel->results().generation != awaited.first())
        return;
    awaited.removeFirst();
    recordResForAPoint();
    if (!walkCond.next()) {
        generateResImages();
        walkRunning = false;
        panel->setContAccess(false);
        panel->setProgress(100.0);
        emit finishBatchExec(BatchDoneId);
        return;
    }
    if (walkCond.first) {
        if (panel->DispOnTime->isChecked())
            generateResImages();
        panel->setProgress(progressOf(walkCond));
    }
    analyzeAPoint();
}

void AnalysisWalk::setBin(Analyzed2DRes* map, double v)
{
    map->setData(walkCond.cx, walkCond.cy, walkCond.hx, walkCond.hy, v);
}

void AnalysisWalk::recordResForAPoint()
{
    const SpectrumResults& r = panel->results();
    if (walkChoice.lcf) {
        const AnalyzeReply& f = r.lcf;
        const int n = int(std::min({f.lcfRows.size(), f.lcfRatios.size(), f.lcfDMuts.size()}));
        for (int k = 0; k < n; ++k) {
            const int i = f.lcfRows[k];
            if (i < 0 || i >= refRows || refRows + i >= lcfMaps.size())
                continue;
            setBin(lcfMaps[i], f.lcfDMuts[k]);
            setBin(lcfMaps[refRows + i], f.lcfRatios[k]);
        }
        setBin(&panel->zansaMap, f.z);
    }
    if (walkChoice.dEdge)
        setBin(&panel->dEdgeMap, r.dEdge.dEdge);
    if (walkChoice.elems) {
        const AnalyzeReply& e = r.elems;
        const QList<double>* lists[ElemCtrl::mapCount] = {&e.elemDMut, &e.elemNDMut, &e.elemMP, &e.elemMM,
                                                          &e.elemDE,   &e.elemROI,   &e.elemNROI};
        for (int k = 0; k < ElemCtrl::mapCount; ++k) {
            const int n = int(std::min<qsizetype>(elemRows, lists[k]->size()));
            for (int j = 0; j < n; ++j)
                setBin(elemMaps[k * elemRows + j], lists[k]->at(j));
        }
        const double cor = panel->correlation;
        setBin(elemMaps[ElemCtrl::mapCount * elemRows], cor);
        setBin(elemMaps[ElemCtrl::mapCount * elemRows + 1], cor < panel->elemUnit.corTh ? 0.0 : cor);
    }
    if (walkChoice.ra) {
        setBin(raDMutMap, r.ra.raJump);
        setBin(raRestMap, r.ra.raResidual);
    }
    if (walkChoice.fv)
        panel->fvPoints.add(r.fv.fv);
}

void AnalysisWalk::ratioMap()
{
    const std::vector<double>& rest = raRestMap->data;
    double m = 1e300;
    for (double v : rest) {
        if (v < m)
            m = v;
    }
    const int W = raRestMap->cond.W;
    const int H = raRestMap->cond.H;
    if (qint64(W) * H != qint64(rest.size()))
        return;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double r = rest[size_t(y) * size_t(W) + size_t(x)] - m;
            raRatiMap->setData(x, y, 0, 0, restRatio(r, raDMutMap->valueAt(x, y)));
        }
    }
}

void AnalysisWalk::generateResImages()
{
    if (walkChoice.lcf) {
        for (Analyzed2DRes* map : std::as_const(lcfMaps))
            map->genImg();
        panel->zansaMap.genImg();
    }
    if (walkChoice.dEdge)
        panel->dEdgeMap.genImg();
    if (walkChoice.elems) {
        for (Analyzed2DRes* map : std::as_const(elemMaps))
            map->genImg();
    }
    if (walkChoice.ra) {
        ratioMap();
        raDMutMap->genImg();
        raRestMap->genImg();
        raRatiMap->genImg();
    }
    if (walkChoice.fv)
        panel->updateFVMap();
    emit imagesGenerated();
}
