#include "imagestack/ReadAhead.h"

#include "imagestack/TiffData.h"

#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

struct ReadAhead::Job {
    Job(const ReadAhead* owner, int at, const QString& path, std::shared_ptr<const LoadTiffQue> req)
        : owner(owner), at(at), path(path), req(std::move(req))
    {
    }
    // A frame nobody took goes with its read.
    ~Job() { delete result.frame; }

    const ReadAhead* const owner; // only compared: a job may outlive its read-ahead
    const int at;
    const QString path;
    const std::shared_ptr<const LoadTiffQue> req;
    // Under the pool's lock.
    bool begun = false;
    bool done = false;
    bool awaited = false; // its loader waits for it
    Read result;
};

// One set of threads for the process, not a set a loader: a batch loads I1 and
// then I0 on two loaders, and with a set each the second walk started on
// threads that had slept through the first (a whole load took about a sixth
// longer). Loaders that read at once share the cores instead of bringing a set each.
struct ReadAhead::Pool {
    explicit Pool(int threadCount)
    {
        for (int i = 0; i < threadCount; i++)
            threads.emplace_back([this] { work(); });
    }
    // Files being read are read to their end; nobody takes their frames.
    ~Pool()
    {
        {
            std::lock_guard<std::mutex> l(lock);
            quitting = true;
            todo.clear();
        }
        jobsWaiting.notify_all();
        for (std::thread& t : threads)
            t.join();
    }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // The pool of the read-ahead still in use, or a new one.
    static std::shared_ptr<Pool> shared(int threadCount)
    {
        static std::mutex making;
        static std::weak_ptr<Pool> current;
        std::lock_guard<std::mutex> l(making);
        std::shared_ptr<Pool> p = current.lock();
        if (!p) {
            p = std::make_shared<Pool>(threadCount);
            current = p;
        }
        return p;
    }

    void work();
    void finish(Job& job, Read&& read);

    std::mutex lock;
    std::condition_variable jobsWaiting; // for the threads: work, or quit
    std::condition_variable jobDone;     // for the loaders, each waiting for its next file
    std::deque<std::shared_ptr<Job>> todo; // begun by nobody yet, each walk in its order
    bool quitting = false;
    std::vector<std::thread> threads;
};

ReadAhead::ReadAhead(int threadCount) : pool(Pool::shared(threadCount)), threads(qMax(1, threadCount)) {}

ReadAhead::~ReadAhead() { drop(); }

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
        read.refusal = TiffData::refusalIn(read.log, path);
    }
    return read;
}

void ReadAhead::Pool::finish(Job& job, Read&& read)
{
    bool awaited = false;
    {
        std::lock_guard<std::mutex> l(lock);
        job.result = std::move(read);
        job.done = true;
        awaited = job.awaited;
    }
    // Only loaders wait, each for its next file: other ends would wake them for nothing.
    if (awaited)
        jobDone.notify_all();
}

void ReadAhead::Pool::work()
{
#if defined(__linux__)
    pthread_setname_np(pthread_self(), "ReadAhead");
    // Below the loaders' threads, which hand every frame over in turn, and the
    // window's: a core either waits for holds up all the reads behind it, and
    // a loader reads a file no thread has begun itself.
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

qint64 ReadAhead::framesAhead(qint64 frameBytes, qint64 fileBytes, int threads)
{
    if (frameBytes > 0)
        return std::clamp<qint64>(aheadBytes / frameBytes, 1, aheadFrames);
    // Until a frame is read its size is unknown: a compressed file holds far
    // more samples than its size says, so no more than one a thread, and a
    // file that is missing lets nothing be read ahead.
    if (fileBytes <= 0)
        return 0;
    return std::clamp<qint64>(aheadBytes / fileBytes, 1, qMin<qint64>(threads, aheadFrames));
}

void ReadAhead::plan()
{
    const qint64 beyond = framesAhead(frameBytes, fileBytes, threads);
    bool posted = false;
    while (qint64(planned.size()) < beyond && nextAt < walkReq->endIndex()) {
        const int at = int(nextAt);
        nextAt += walkReq->skip;
        const QString& path = walkReq->files.at(at);
        // The loader tells of the file at its turn.
        if (walkReq->skipsLive(path))
            continue;
        planned.push_back(std::make_shared<Job>(this, at, path, walkReq));
        std::lock_guard<std::mutex> l(pool->lock);
        pool->todo.push_back(planned.back());
        posted = true;
    }
    if (posted)
        pool->jobsWaiting.notify_all();
}

ReadAhead::Read ReadAhead::take(const LoadTiffQue& req, quint64 walk, int at)
{
    if (!walkReq || walk != walkNo || (!planned.empty() && planned.front()->at != at)) {
        drop();
        walkReq = std::make_shared<const LoadTiffQue>(req);
        walkNo = walk;
        frameBytes = 0;
        fileBytes = qMax<qint64>(0, QFileInfo(req.files.at(at)).size());
    }
    std::shared_ptr<Job> head;
    if (planned.empty()) {
        head = std::make_shared<Job>(this, at, req.files.at(at), walkReq);
        nextAt = qint64(at) + req.skip;
    } else {
        head = std::move(planned.front());
        planned.pop_front();
    }
    plan();

    Read read;
    {
        std::unique_lock<std::mutex> l(pool->lock);
        if (!head->begun) {
            head->begun = true;
            std::deque<std::shared_ptr<Job>>& todo = pool->todo;
            todo.erase(std::remove(todo.begin(), todo.end(), head), todo.end());
            l.unlock();
            read = readFile(head->path, *head->req);
        } else {
            head->awaited = true;
            pool->jobDone.wait(l, [&head] { return head->done; });
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
        std::lock_guard<std::mutex> l(pool->lock);
        std::deque<std::shared_ptr<Job>>& todo = pool->todo;
        todo.erase(std::remove_if(todo.begin(), todo.end(),
                                  [this](const std::shared_ptr<Job>& j) { return j->owner == this; }),
                   todo.end());
    }
    planned.clear();
    walkReq.reset();
}
