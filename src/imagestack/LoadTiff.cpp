#include "imagestack/LoadTiff.h"

#include "imagestack/ReadAhead.h"
#include "imagestack/TiffData.h"

#include <QDebug>
#include <QMetaMethod>
#include <QThread>

LoadTiff::LoadTiff(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<LoadTiffQue>();
    qRegisterMetaType<TiffData*>();
    qRegisterMetaType<EX_CMD_ID>();
    // Queued even within the worker's thread: a stack of thousands of files must
    // not nest one step inside the other.
    connect(this, &LoadTiff::loadStart, this, &LoadTiff::treatQues, Qt::QueuedConnection);
    connect(this, &LoadTiff::loadNext, this, &LoadTiff::treatQues, Qt::QueuedConnection);
}

// The pool's threads are quit and joined with it.
LoadTiff::~LoadTiff() = default;

ReadAhead& LoadTiff::readAhead()
{
    // Twice the cores, four at least: a file held up on one thread (a slow
    // disk, a file being written) does not hold up the reads behind it, and
    // each thread takes its frames' memory from a heap of its own (malloc's
    // arena). Large frames over fewer heaps spent their time growing them.
    if (!ahead)
        ahead = std::make_unique<ReadAhead>(2 * qMax(2, QThread::idealThreadCount()));
    return *ahead;
}

bool LoadTiff::isBusy() const
{
    QMutexLocker l(&lock);
    return busy;
}

void LoadTiff::scheduleStep()
{
    if (stepPending)
        return;
    stepPending = true;
    emit loadNext();
}

void LoadTiff::loadTiffs(LoadTiffQue request)
{
    QMutexLocker l(&lock);
    if (request.generation != gen.load())
        return; // stopped before it arrived
    if (!request.hasFirst()) {
        // Nothing to read; a batch waiting on an idle loader still gets its answer.
        if (!busy) {
            l.unlock();
            emit finishLoadFiles(request.loadCmdId, request.generation);
        }
        return;
    }
    queue.append(request);
    if (busy)
        return;
    busy = true;
    index = request.cutFirst;
    walk++;
    paged = PagedFiles(); // what a stopped walk met is not this one's
    l.unlock();
    scheduleStep();
}

void LoadTiff::treatQues()
{
    stepPending = false;
    LoadTiffQue req;
    int at = 0;
    {
        QMutexLocker l(&lock);
        if (queue.isEmpty()) {
            l.unlock();
            if (ahead)
                ahead->drop();
            return;
        }
        req = queue.first();
        at = index;
    }

    const int total = int(req.files.size());
    if (at >= 0 && at < total) {
        const QString& path = req.files.at(at);
        if (req.skipsLive(path)) {
            qDebug().noquote() << "ignoe" << path;
        } else {
            // Read on the pool or here; what the read logged is logged now, in
            // the walk's order.
            ReadAhead::Read read = readAhead().take(req, walk, at);
            read.log.write();
            if (TiffData* frame = read.frame) {
                paged.note(*frame);
                handedOver.fetch_add(1, std::memory_order_release);
                emit loaded(frame, at, total, req.generation);
            } else if (isSignalConnected(QMetaMethod::fromSignal(&LoadTiff::refused))) {
                emit refused(read.refusal, req.generation);
            } else {
                qDebug().noquote() << read.refusal; // a loader on its own
            }
        }
    }

    QMutexLocker l(&lock);
    if (queue.isEmpty() || req.generation != gen.load()) {
        l.unlock();
        if (ahead)
            ahead->drop();
        return; // stopped while the file was read
    }
    // A skip past the end ends the walk; added as it stands it could overflow.
    const qint64 next = qint64(at) + req.skip;
    index = next < req.endIndex() ? int(next) : req.endIndex();
    if (index < req.endIndex()) {
        l.unlock();
        scheduleStep();
        return;
    }
    queue.removeFirst();
    if (!queue.isEmpty()) {
        index = queue.first().cutFirst;
        walk++;
        l.unlock();
        scheduleStep();
        return;
    }
    busy = false;
    l.unlock();
    if (ahead)
        ahead->drop();
    paged.flush();
    emit finishLoadFiles(req.loadCmdId, req.generation);
}

void LoadTiff::stop()
{
    QMutexLocker l(&lock);
    queue.clear();
    busy = false;
    gen.fetch_add(1);
}
