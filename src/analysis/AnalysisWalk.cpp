#include "analysis/AnalysisWalk.h"
#include "foundation/WorkerThread.h"

#include "analysis/Analyzed2DRes.h"
#include "analysis/BinAnalysis.h"
#include "analysis/FVPoints.h"
#include "foundation/Cfg.h"
#include "foundation/XafsSpectrum.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

#include <atomic>
#include <cmath>

namespace {
const int BatchDoneId = 116; // "analyzer_exec_LCF", whichever command started the walk
const int MaxWorkers = 256;
const int BlocksPerWorker = 2; // handed out to a worker at once
} // namespace

// What every row of one walk shares; immutable while the walk runs but for the
// two counters through which a stop waits for the workers to leave the frames.
struct WalkContext {
    AnalysisWalk::Setup setup;
    BinLayout layout;
    int hx = 0;
    int hy = 0;
    std::atomic<bool> cancelled{false};
    std::atomic<int> active{0};
};

struct WalkBlock {
    quint64 generation = 0;
    int index = 0;
    int cy = 0;
    std::vector<int> cx;
    std::vector<double> shifts;
    std::vector<double> values; // layout.stride per bin
    std::shared_ptr<WalkContext> ctx;
};

class WalkWorker : public QObject {
public:
    WalkWorker(AnalysisWalk* walk, int no) : walk(walk), no(no) {}

    void run(const std::shared_ptr<WalkBlock>& b)
    {
        markTakeOver(b.get());
        WalkContext& c = *b->ctx;
        // Counted before the flag is read: a stop that saw no reader finds the flag set here.
        c.active.fetch_add(1);
        if (!c.cancelled.load()) {
            if (b->ctx != lastCtx) {
                analysis = std::make_unique<BinAnalysis>(c.setup.settings, c.setup.energies);
                lastCtx = b->ctx;
            }
            const AnalysisWalk::Setup& s = c.setup;
            const int stride = c.layout.stride;
            for (size_t i = 0; i < b->cx.size() && !c.cancelled.load(std::memory_order_relaxed); ++i) {
                s.source(b->cx[i], b->cy, s.viewW, s.viewH, points);
                spectrum.rebuild(points, QStringLiteral("Body-AaP"), s.normMode, b->shifts[i], s.sElm,
                                 analysis->curvesRead(points, s.normMode, s.sElm));
                analysis->analyze(spectrum, b->values.data() + i * size_t(stride));
            }
        }
        c.active.fetch_sub(1);
        AnalysisWalk* w = walk;
        const int n = no;
        markHandOver(b.get());
        QMetaObject::invokeMethod(walk, [w, n, b]() { w->blockDone(n, b); }, Qt::QueuedConnection);
    }

private:
    AnalysisWalk* walk;
    int no;
    std::shared_ptr<WalkContext> lastCtx;
    std::unique_ptr<BinAnalysis> analysis;
    Spectrum points;
    XafsSpectrum spectrum; // rebuilt for every bin on the storage of the last
};

const char* const AnalysisWalk::WorkersKey = "ANALYSIS_WORKERS";

int AnalysisWalk::configuredWorkers()
{
    bool ok = false;
    const int n = cfg.value(QString::fromLatin1(WorkersKey), QStringLiteral("0")).toInt(&ok);
    if (ok && n >= 1)
        return std::min(n, MaxWorkers);
    return std::max(1, std::min(QThread::idealThreadCount(), MaxWorkers));
}

AnalysisWalk::AnalysisWalk(QObject* parent) : QObject(parent), workerCount(configuredWorkers()) {}

AnalysisWalk::~AnalysisWalk()
{
    if (ctx)
        ctx->cancelled = true;
    quitPool();
}

void AnalysisWalk::setWorkers(int n) { workerCount = std::max(1, std::min(n, MaxWorkers)); }

void AnalysisWalk::ensurePool()
{
    if (threads.size() == workerCount)
        return;
    quitPool();
    for (int i = 0; i < workerCount; ++i) {
        QThread* t = new QThread();
        WalkWorker* w = new WalkWorker(this, i);
        w->moveToThread(t);
        t->start(QThread::InheritPriority);
        threads.append(t);
        pool.append(w);
        busy.append(0);
    }
}

void AnalysisWalk::quitPool()
{
    for (QThread* t : std::as_const(threads))
        joinWorkerThread(t);
    qDeleteAll(pool);
    qDeleteAll(threads);
    pool.clear();
    threads.clear();
    busy.clear();
    // Answers of the old pool's workers would count against the new one's.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
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

QString AnalysisWalk::stopLine(const AnalyzeCond& next, qint64 done, qint64 all)
{
    return QStringLiteral("2D analysis stopped at bin (%1, %2), %3 % of the rows: %4 of %5 bins analysed, "
                          "the others hold no result")
        .arg(next.cx)
        .arg(next.cy)
        .arg(QString::asprintf("%.2f", progressOf(next)))
        .arg(done)
        .arg(all);
}

bool AnalysisWalk::start(const AnalyzeCond& c, Setup s, const Maps& m)
{
    if (walkRunning) {
        stop();
        return false;
    }
    if (s.settings.choice.count() == 0 || !s.source) {
        qDebug() << "2D analysis: no analysis is chosen";
        emit finishBatchExec(BatchDoneId);
        return false;
    }
    ensurePool();
    setup = std::move(s);
    maps = m;
    walkCond = c;
    sendCond = c;
    allSent = false;
    nextSend = 0;
    nextRecord = 0;
    waiting.clear();
    binsDone = 0;
    binsAll = qint64(c.columns()) * c.rows();
    ++generation;
    ctx = std::make_shared<WalkContext>();
    ctx->setup = setup;
    ctx->layout = BinLayout(int(setup.settings.lcf.refs.size()), int(setup.settings.elems.rows.size()));
    ctx->hx = c.hx;
    ctx->hy = c.hy;
    lastCor = setup.correlation;
    walkRunning = true;
    emit runningChanged(true);
    emit progress(0.0);
    prepareMaps();
    dispatch();
    return true;
}

void AnalysisWalk::prepareMaps()
{
    const AnalysisChoice& ch = choice();
    int n = 0;
    if (ch.lcf) {
        const int rows = int(maps.lcf.size() / 2);
        for (int m = 0; m < 2; ++m) {
            for (int r = 0; r < rows; ++r) {
                maps.lcf[m * rows + r]->setCond(walkCond);
                maps.lcf[m * rows + r]->setNo(n + r);
            }
            n += rows;
        }
        maps.zansa->setCond(walkCond);
        maps.zansa->setNo(n);
        qDebug() << "setup for LCF/MLCF" << areaLabel(walkCond);
        n += 1;
    }
    if (ch.dEdge) {
        maps.dEdge->setCond(walkCond);
        maps.dEdge->setNo(n);
        n += 1;
    }
    if (ch.elems) {
        const int rows = int((maps.elem.size() - 2) / 7);
        for (int k = 0; k < 7; ++k) {
            for (int j = 0; j < rows; ++j)
                maps.elem[k * rows + j]->setNo(n + j);
            n += rows;
        }
        maps.elem[7 * rows]->setNo(n);
        maps.elem[7 * rows + 1]->setNo(n + 1);
        n += 2;
        for (Analyzed2DRes* map : std::as_const(maps.elem))
            map->setCond(walkCond);
    }
    if (ch.ra) {
        for (Analyzed2DRes* map : {maps.raDMut, maps.raRest, maps.raRati}) {
            map->setCond(walkCond);
            map->setNo(n++);
        }
    }
    if (ch.fv) {
        maps.fvPoints->clear();
        maps.fv->setCond(walkCond);
        maps.fv->setNo(n);
    }
}

void AnalysisWalk::halt()
{
    if (!walkRunning)
        return;
    walkRunning = false;
    ctx->cancelled = true;
    // The frames may go once this returns: wait out the bins being read.
    while (ctx->active.load() > 0)
        QThread::yieldCurrentThread();
    waiting.clear();
    maps = Maps();
    emit runningChanged(false);
}

void AnalysisWalk::stop()
{
    if (!walkRunning)
        return;
    const QString line = stopLine(walkCond, binsDone, binsAll);
    halt();
    emit stopped(line);
    emit finishBatchExec(BatchDoneId);
}

void AnalysisWalk::dispatch()
{
    const int window = BlocksPerWorker * 2 * workerCount;
    while (walkRunning && !allSent && nextSend - nextRecord < window) {
        int w = 0;
        for (int i = 1; i < busy.size(); ++i) {
            if (busy[i] < busy[w])
                w = i;
        }
        if (busy[w] >= BlocksPerWorker)
            return;
        auto b = std::make_shared<WalkBlock>();
        b->generation = generation;
        b->index = nextSend++;
        b->cy = sendCond.cy;
        b->ctx = ctx;
        bool more;
        do {
            b->cx.push_back(sendCond.cx);
            b->shifts.push_back(setup.shiftAt ? setup.shiftAt(sendCond.cx, sendCond.cy) : 0.0);
            more = sendCond.next();
        } while (more && !sendCond.first);
        allSent = !more;
        b->values.assign(b->cx.size() * size_t(ctx->layout.stride), 0.0);
        ++busy[w];
        WalkWorker* worker = pool[w];
        markHandOver(b.get());
        QMetaObject::invokeMethod(worker, [worker, b]() { worker->run(b); }, Qt::QueuedConnection);
    }
}

void AnalysisWalk::blockDone(int worker, std::shared_ptr<WalkBlock> b)
{
    markTakeOver(b.get());
    if (worker >= 0 && worker < busy.size())
        --busy[worker];
    // Rows of a stopped or earlier walk are not this walk's; their worker's
    // slot is free all the same, and a walk restarted while every worker still
    // held old rows has handed out nothing yet.
    if (walkRunning && b->generation == generation) {
        waiting.insert(b->index, std::move(b));
        while (walkRunning && !waiting.isEmpty() && waiting.firstKey() == nextRecord) {
            const std::shared_ptr<WalkBlock> next = waiting.take(nextRecord);
            ++nextRecord;
            record(*next);
        }
    }
    dispatch();
}

void AnalysisWalk::setBin(Analyzed2DRes* map, int cx, int cy, double v)
{
    map->setData(cx, cy, walkCond.hx, walkCond.hy, v);
}

void AnalysisWalk::recordResForAPoint(int cx, int cy, const double* v)
{
    const AnalysisSettings& set = setup.settings;
    const AnalysisChoice& ch = set.choice;
    const BinLayout& L = ctx->layout;
    if (ch.lcf) {
        const int refRows = int(maps.lcf.size() / 2);
        for (int k = 0; k < L.refs; ++k) {
            const int row = set.lcf.refs[k].index;
            if (row < 0 || row >= refRows)
                continue;
            setBin(maps.lcf[row], cx, cy, v[L.lcfDMut + k]);
            setBin(maps.lcf[refRows + row], cx, cy, v[L.lcfRatio + k]);
        }
        setBin(maps.zansa, cx, cy, v[L.z]);
    }
    if (ch.dEdge)
        setBin(maps.dEdge, cx, cy, v[L.dEdge]);
    if (ch.elems) {
        const int elemRows = int((maps.elem.size() - 2) / 7);
        const int rows = std::min(elemRows, L.elems);
        for (int k = 0; k < 7; ++k) {
            for (int j = 0; j < rows; ++j)
                setBin(maps.elem[k * elemRows + j], cx, cy, v[L.elem + k * L.elems + j]);
        }
        // A bin without a correlation of its own keeps the last one.
        if (v[L.corValid] != 0.0)
            lastCor = v[L.cor];
        setBin(maps.elem[7 * elemRows], cx, cy, lastCor);
        setBin(maps.elem[7 * elemRows + 1], cx, cy, lastCor < set.corTh ? 0.0 : lastCor);
    }
    if (ch.ra) {
        setBin(maps.raDMut, cx, cy, v[L.raJump]);
        setBin(maps.raRest, cx, cy, v[L.raResidual]);
    }
    if (ch.fv)
        maps.fvPoints->add(FeatureValue{v[L.fvDM], v[L.fvE1], v[L.fvE2]});
}

void AnalysisWalk::record(const WalkBlock& b)
{
    const AnalysisChoice& ch = choice();
    const BinLayout& L = ctx->layout;
    const double* v = nullptr;
    for (size_t i = 0; i < b.cx.size(); ++i) {
        v = b.values.data() + i * size_t(L.stride);
        recordResForAPoint(b.cx[i], b.cy, v);
        walkCond.next();
    }
    binsDone += qint64(b.cx.size());
    if (v) {
        if (ch.lcf)
            emit newZ(v[L.z]);
        if (ch.dEdge)
            emit newDEdge(v[L.dEdge]);
        if (ch.elems)
            emit newCorrelation(lastCor);
        if (ch.fv)
            emit newFeatureValue(FeatureValue{v[L.fvDM], v[L.fvE1], v[L.fvE2]});
    }
    if (allSent && nextRecord == nextSend) {
        finish();
        return;
    }
    emit rowStarted();
    emit progress(progressOf(walkCond));
}

void AnalysisWalk::finish()
{
    generateResImages();
    walkRunning = false;
    // The rows' maps are the panel's to free once the walk is over.
    maps = Maps();
    emit runningChanged(false);
    emit progress(100.0);
    emit finishBatchExec(BatchDoneId);
}

void AnalysisWalk::ratioMap()
{
    // Only the bins recorded so far count: the pixels around them hold 0 as in
    // every map, which is no rest and must neither set m nor be given a ratio.
    const Analyzed2DRes& rest = *maps.raRest;
    const auto eachBin = [&](auto&& f) {
        AnalyzeCond c = rest.cond;
        c.reset();
        do {
            if (c.cy >= walkCond.cy)
                return;
            if (rest.onMap(c.cx, c.cy))
                f(c);
        } while (c.next());
    };
    double m = 1e300;
    eachBin([&](const AnalyzeCond& c) {
        const double v = rest.valueAt(c.cx, c.cy);
        if (v < m)
            m = v;
    });
    maps.raRati->allocData(); // a range of the bins alone, also on a redraw during the walk
    eachBin([&](const AnalyzeCond& c) {
        const double r = rest.valueAt(c.cx, c.cy) - m;
        maps.raRati->setData(c.cx, c.cy, c.hx, c.hy, restRatio(r, maps.raDMut->valueAt(c.cx, c.cy)));
    });
}

void AnalysisWalk::generateResImages()
{
    if (!walkRunning)
        return;
    // A threshold moved since a map was last drawn reaches its new picture too.
    const bool rescale = bool(setup.colors);
    const ColorScale scale = rescale ? setup.colors() : ColorScale();
    auto gen = [&](Analyzed2DRes* map) {
        if (rescale)
            map->genImg(scale);
        else
            map->genImg();
    };
    const AnalysisChoice& ch = choice();
    if (ch.lcf) {
        for (Analyzed2DRes* map : std::as_const(maps.lcf))
            gen(map);
        gen(maps.zansa);
    }
    if (ch.dEdge)
        gen(maps.dEdge);
    if (ch.elems) {
        for (Analyzed2DRes* map : std::as_const(maps.elem))
            gen(map);
    }
    if (ch.ra) {
        ratioMap();
        gen(maps.raDMut);
        gen(maps.raRest);
        gen(maps.raRati);
    }
    emit imagesGenerated();
}
