#include "imagestack/ReadAhead.h"

#include "imagestack/TiffData.h"

#include <QFileInfo>

#include <algorithm>

#if defined(__linux__)
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

struct ReadAhead::Job {
    Job(int at, const QString& path, std::shared_ptr<const LoadTiffQue> req)
        : at(at), path(path), req(std::move(req))
    {
    }
    // A frame nobody took goes with its read.
    ~Job() { delete result.frame; }

    const int at;
    const QString path;
    const std::shared_ptr<const LoadTiffQue> req;
    // Under the lock.
    bool begun = false;
    bool done = false;
    Read result;
};

ReadAhead::ReadAhead(int threadCount)
{
    for (int i = 0; i < threadCount; i++)
        threads.emplace_back([this] { work(); });
}

ReadAhead::~ReadAhead()
{
    drop();
    {
        std::lock_guard<std::mutex> l(lock);
        quitting = true;
    }
    jobsWaiting.notify_all();
    for (std::thread& t : threads)
        t.join();
}

ReadAhead::Read ReadAhead::readFile(const QString& path, const LoadTiffQue& req)
{
    Read read;
    const deferredlog::Collect collect(&read.log);
    TiffData* frame = new TiffData;
    // The frame only reads the list while it loads, whoever else reads it too.
    if (frame->load(path, const_cast<ErrPoints*>(&req.errPoints), req.programErrPointsInUse)) {
        // The request's copy goes with the request; the frame keeps the owner's list.
        frame->errPs = req.errPs ? req.errPs : &globalErrPoints;
        read.frame = frame;
    } else {
        delete frame;
    }
    return read;
}

void ReadAhead::finish(Job& job, Read&& read)
{
    bool awaited = false;
    {
        std::lock_guard<std::mutex> l(lock);
        job.result = std::move(read);
        job.done = true;
        awaited = waitingFor == &job;
    }
    // Only the loader waits, and only for its next file: other ends would wake it for nothing.
    if (awaited)
        jobDone.notify_one();
}

void ReadAhead::work()
{
#if defined(__linux__)
    pthread_setname_np(pthread_self(), "ReadAhead");
    // Below the loader's thread, which hands every frame over in turn, and the
    // window's: a core either waits for holds up all the reads behind it, and
    // the loader reads a file no thread has begun itself.
    setpriority(PRIO_PROCESS, id_t(gettid()), aheadNice);
#endif
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> l(lock);
            jobsWaiting.wait(l, [this] { return quitting || !todo.empty(); });
            if (quitting)
                return;
            job = std::move(todo.front());
            todo.pop_front();
            job->begun = true;
        }
        finish(*job, readFile(job->path, *job->req));
    }
}

void ReadAhead::plan()
{
    const qint64 beyond = frameBytes > 0 ? std::clamp<qint64>(aheadBytes / frameBytes, 1, aheadFrames) : 0;
    bool posted = false;
    while (qint64(planned.size()) < beyond && nextAt < walkReq->endIndex()) {
        const int at = int(nextAt);
        nextAt += walkReq->skip;
        const QString& path = walkReq->files.at(at);
        // The loader tells of the file at its turn.
        if (walkReq->skipsLive(path))
            continue;
        planned.push_back(std::make_shared<Job>(at, path, walkReq));
        std::lock_guard<std::mutex> l(lock);
        todo.push_back(planned.back());
        posted = true;
    }
    if (posted)
        jobsWaiting.notify_all();
}

ReadAhead::Read ReadAhead::take(const LoadTiffQue& req, quint64 walk, int at)
{
    if (!walkReq || walk != walkNo || (!planned.empty() && planned.front()->at != at)) {
        drop();
        walkReq = std::make_shared<const LoadTiffQue>(req);
        walkNo = walk;
        // Until a frame is read, its file's size stands for it: a frame of
        // uncompressed samples is about as large, and one that is not read
        // at all (a file that is missing) lets nothing be read ahead.
        frameBytes = qMax<qint64>(0, QFileInfo(req.files.at(at)).size());
    }
    std::shared_ptr<Job> head;
    if (planned.empty()) {
        head = std::make_shared<Job>(at, req.files.at(at), walkReq);
        nextAt = qint64(at) + req.skip;
    } else {
        head = std::move(planned.front());
        planned.pop_front();
    }
    plan();

    Read read;
    {
        std::unique_lock<std::mutex> l(lock);
        if (!head->begun) {
            head->begun = true;
            todo.erase(std::remove(todo.begin(), todo.end(), head), todo.end());
            l.unlock();
            read = readFile(head->path, *head->req);
        } else {
            waitingFor = head.get();
            jobDone.wait(l, [&head] { return head->done; });
            waitingFor = nullptr;
            read = std::move(head->result);
            head->result.frame = nullptr;
        }
    }
    if (read.frame) {
        const int sampleBytes = read.frame->srcType == TiffData::SrcTiff
                || read.frame->srcType == TiffData::SrcImg16 ? 2 : 4;
        frameBytes = qMax<qint64>(1, qint64(read.frame->width) * read.frame->height * sampleBytes);
    }
    return read;
}

void ReadAhead::drop()
{
    {
        std::lock_guard<std::mutex> l(lock);
        todo.clear();
    }
    planned.clear();
    walkReq.reset();
}
