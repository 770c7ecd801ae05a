#include "imagestack/LoadTiff.h"

#include "imagestack/TiffData.h"

#include <QDebug>

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

LoadTiff::~LoadTiff() = default;

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
        if (queue.isEmpty())
            return;
        req = queue.first();
        at = index;
    }

    const int total = int(req.files.size());
    if (at >= 0 && at < total) {
        const QString& path = req.files.at(at);
        if (req.ignoreLive && path.contains(QLatin1String("Live"))) {
            qDebug().noquote() << "ignoe" << path;
        } else {
            TiffData* frame = new TiffData;
            if (frame->load(path, &req.errPoints, req.programErrPointsInUse)) {
                // The request's copy goes with this step; the frame keeps the owner's list.
                frame->errPs = req.errPs ? req.errPs : &globalErrPoints;
                paged.note(*frame);
                handedOver.fetch_add(1, std::memory_order_release);
                emit loaded(frame, at, total, req.generation);
            } else {
                delete frame;
            }
        }
    }

    QMutexLocker l(&lock);
    if (queue.isEmpty() || req.generation != gen.load())
        return; // stopped while the file was read
    index = at + req.skip;
    if (index < req.endIndex()) {
        l.unlock();
        scheduleStep();
        return;
    }
    queue.removeFirst();
    if (!queue.isEmpty()) {
        index = queue.first().cutFirst;
        l.unlock();
        scheduleStep();
        return;
    }
    busy = false;
    l.unlock();
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
