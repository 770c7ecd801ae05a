#pragma once
// Reading the files of a loader's walk ahead of it, on threads that every
// loader of the process shares. The loader still takes the frames one at a
// time in the order of its walk and hands each over itself; a file that no
// thread has begun when the loader needs it is read on the loader's thread.
// Called from the loader's thread only.
#include "foundation/DeferredLog.h"
#include "imagestack/LoadTiffQue.h"

#include <deque>
#include <memory>

class TiffData;

class ReadAhead {
public:
    // What reading one file gave: its frame (null when it was refused) and what
    // the read logged, which the loader logs when the file is its turn.
    struct Read {
        TiffData* frame = nullptr;
        deferredlog::Entries log;
        // Why a refused file was refused, for the user; not in log.
        QString refusal;
    };

    // threads: how many the shared threads are when this read-ahead starts them.
    explicit ReadAhead(int threads);
    // Drops what is read ahead; the threads are quit and joined with the last
    // read-ahead that uses them.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // File `at` of the walk over req's files (`walk` tells one walk from the
    // next), read ahead or read here; the files after it begin reading. The
    // caller owns the frame.
    Read take(const LoadTiffQue& req, quint64 walk, int at);
    // Forgets the walk: files not begun are not read, frames of those being
    // read are deleted when their reads end.
    void drop();

    // One file read as the loader reads it, with the request's error points.
    static Read readFile(const QString& path, const LoadTiffQue& req);

    // Frames read ahead at most, and no more than this many bytes of samples
    // by the size of the walk's last frame: enough that the other threads keep
    // reading while the one with the loader's next file waits some milliseconds
    // for a core or for the process's memory map.
    static constexpr qint64 aheadFrames = 256;
    static constexpr qint64 aheadBytes = qint64(256) << 20;
    // How many files may be read ahead: frameBytes are the samples of the
    // walk's last frame, 0 before one is read; fileBytes the size on disk of
    // the walk's first file.
    static qint64 framesAhead(qint64 frameBytes, qint64 fileBytes, int threads);
    // The threads' niceness where the system has one: one step below the
    // loaders and the window, no more. Far below, the scheduler gives the
    // threads a sliver of a machine that also runs other programs (a first
    // load then ran at half the rate).
    static constexpr int aheadNice = 1;

private:
    struct Job;
    struct Pool;
    // Starts the walk's next files, as far as the frames' size allows.
    void plan();

    const std::shared_ptr<Pool> pool;
    const int threads;

    // The loader's thread only.
    std::deque<std::shared_ptr<Job>> planned; // from the next file taken on, in walk order
    std::shared_ptr<const LoadTiffQue> walkReq;
    quint64 walkNo = 0;
    qint64 nextAt = 0;     // the walk's next place to plan
    qint64 frameBytes = 0; // samples of the walk's last frame; 0: none read yet
    qint64 fileBytes = 0;  // the walk's first file on disk
};
