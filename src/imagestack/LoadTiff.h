#pragma once
// Loader of one image stack, living on a thread of its own: reads the files of
// the queued requests one per event and hands every frame it could read back.
#include "batch/CmdDef.h"
#include "imagestack/LoadTiffQue.h"
#include "imagestack/TiffData.h"

#include <QList>
#include <QMutex>
#include <QObject>

#include <atomic>
#include <memory>

class ReadAhead;

class LoadTiff : public QObject {
    Q_OBJECT
public:
    explicit LoadTiff(QObject* parent = nullptr);
    ~LoadTiff() override;

    // Any thread. A request is made with generation(); frames and finishes that
    // carry an older one belong to a stopped or replaced load.
    bool isBusy() const;
    quint64 generation() const { return gen.load(); }
    // Called by the receiver before it touches a frame: the acquire pairs with the
    // release made when the frame was handed over, an order the thread checker sees
    // (it cannot see through Qt's event queue).
    bool isCurrent(quint64 g) const
    {
        handedOver.load(std::memory_order_acquire);
        return g == gen.load();
    }

signals:
    void loadStart();
    void loadNext();
    // The receiver owns the frame; fNo is its place in the request's file list.
    void loaded(TiffData* data, int fNo, int totalFiles, quint64 generation);
    void finishLoadFiles(EX_CMD_ID id, quint64 generation);
    // A file of the walk could not be read: why, for the user (the debug log
    // has it when nothing listens).
    void refused(QString line, quint64 generation);

public slots:
    void loadTiffs(LoadTiffQue request);
    void treatQues();
    // Safe from any thread: the file being read is still handed over, nothing after it.
    void stop();

private:
    // Worker thread only; at most one step waits in the event queue.
    void scheduleStep();

    mutable QMutex lock;
    QList<LoadTiffQue> queue;
    bool busy = false;
    int index = 0;
    std::atomic<quint64> gen{0};
    std::atomic<quint64> handedOver{0};
    bool stepPending = false;
    PagedFiles paged; // worker thread only, over one walk
    // Worker thread only: the files of the walk read ahead on a pool, and
    // which walk it is (a new one with each request walked).
    std::unique_ptr<ReadAhead> ahead;
    quint64 walk = 0;
    ReadAhead& readAhead();
};
