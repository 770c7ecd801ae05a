#include "analysis/AnalysisEngine.h"

#include "foundation/WorkerThread.h"

#include "analysis/AnalysisMetaTypes.h"
#include "analysis/AnalyzeProc.h"
#include "analysis/BinAnalysis.h"

#include <QThread>

#include <utility>

QList<Analyzed2DRes*> ResultMaps::addRefRow()
{
    std::array<std::unique_ptr<Analyzed2DRes>, 2> row{std::make_unique<Analyzed2DRes>(QStringLiteral("LCF Ref 1")),
                                                      std::make_unique<Analyzed2DRes>(QStringLiteral("LCF Ref 2"))};
    QList<Analyzed2DRes*> p{row[0].get(), row[1].get()};
    refMaps.push_back(std::move(row));
    return p;
}

AnalysisEngine::AnalysisEngine(QObject* parent) : QObject(parent)
{
    registerAnalysisMetaTypes();
    thread = new QThread();
    proc = new AnalyzeProc();
    proc->moveToThread(thread);
    thread->start(QThread::InheritPriority);
    connect(this, &AnalysisEngine::analyzeSpectrum0, proc, &AnalyzeProc::analyzeSpectrum0);
    connect(this, &AnalysisEngine::analyzeSpectrumDEdge0, proc, &AnalyzeProc::analyzeSpectrumDEdge0);
    connect(this, &AnalysisEngine::analyzeSpectrumElems0, proc, &AnalyzeProc::analyzeSpectrumElems0);
    connect(this, &AnalysisEngine::analyzeSpectrumRA, proc, &AnalyzeProc::analyzeSpectrumRA);
    connect(this, &AnalysisEngine::analyzeSpectrumFV, proc, &AnalyzeProc::analyzeSpectrumFV);
    connect(this, &AnalysisEngine::setLcfOld, proc, &AnalyzeProc::setLcfOld);
    connect(proc, &AnalyzeProc::finished, this, &AnalysisEngine::takeReply);
    connect(proc, &AnalyzeProc::finishedAElems, this, &AnalysisEngine::takeReply);
    connect(proc, &AnalyzeProc::finishedAFV, this, &AnalysisEngine::takeReply);
}

AnalysisEngine::~AnalysisEngine()
{
    joinWorkerThread(thread);
    delete proc;
    delete thread;
}

Fanout AnalysisEngine::prepare(const AnalysisSettings& set, const XafsSpectrum& s, const SuggestElm& sElm)
{
    Fanout f;
    f.choice = set.choice;
    f.sElm = sElm;
    if (f.choice.lcf) {
        f.lcf = set.lcf;
        f.lcf.s = limitedSpectrum(s, set.lcf.sE0, set.lcf.eE0);
        f.lcf.sElm = sElm;
    }
    if (f.choice.dEdge) {
        f.dEdge = set.dEdge;
        f.dEdge.s = s;
        f.dEdge.sElm = sElm;
    }
    if (f.choice.elems) {
        f.elems = set.elems;
        f.elems.s = s;
    }
    if (f.choice.ra) {
        f.ra = set.ra;
        f.ra.s = s;
    }
    if (f.choice.fv) {
        f.fv = set.fv;
        f.fv.s = s;
        f.fv.se = sElm;
    }
    return f;
}

quint64 AnalysisEngine::send(Fanout f)
{
    const AnalysisChoice& c = f.choice;
    if (c.count() == 0)
        return 0;
    // The whole count and the new number are set before the first request leaves.
    ++generation;
    pending = c.count();
    open = SpectrumResults();
    open.generation = generation;
    if (c.lcf) {
        f.lcf.generation = generation;
        emit analyzeSpectrum0(f.lcf);
    }
    if (c.dEdge) {
        f.dEdge.generation = generation;
        emit analyzeSpectrumDEdge0(f.dEdge);
    }
    if (c.elems) {
        f.elems.generation = generation;
        emit analyzeSpectrumElems0(f.elems);
    }
    if (c.ra) {
        f.ra.generation = generation;
        emit analyzeSpectrumRA(f.ra);
    }
    if (c.fv) {
        f.fv.generation = generation;
        emit analyzeSpectrumFV(f.fv);
    }
    return generation;
}

void AnalysisEngine::takeReply(AnalyzeReply r)
{
    if (r.generation != generation || pending <= 0)
        return;
    switch (r.kind) {
    case AnalyzeKind::LCF:
    case AnalyzeKind::LCFOld:
    case AnalyzeKind::MLCF:
        open.lcf = r;
        break;
    case AnalyzeKind::DEdge:
        open.dEdge = r;
        break;
    case AnalyzeKind::Elems:
        open.elems = r;
        break;
    case AnalyzeKind::RA:
        open.ra = r;
        break;
    case AnalyzeKind::FV:
        open.fv = r;
        break;
    }
    emit replied(r);
    // A display handler may have sent a new fan-out that dropped this one.
    if (r.generation != generation)
        return;
    if (--pending > 0)
        return;
    res = std::move(open);
    open = SpectrumResults();
    emit finished();
}
