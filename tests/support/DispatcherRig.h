#pragma once
// A dispatcher on a thread of its own, wired to a fake main window, as the
// program wires it; lines and Stop reach it queued.
#include "FakeBatchResponder.h"

#include <QAtomicInt>
#include <QObject>
#include <QStringList>
#include <QThread>

class BatchDispatcher;

class DispatcherRig : public QObject {
    Q_OBJECT
public:
    // withLog false leaves the dispatcher's log unconnected (long runs).
    explicit DispatcherRig(bool withLog = true);
    ~DispatcherRig() override;

    void dispatch(const QStringList& lines) { emit dispatchSig(lines); }
    void stop() { emit stopSig(); }
    // Counts the log texts equal to "end" (a batch reached its ":end").
    int ends() const { return responder.logs.count(QStringLiteral("end")); }
    // Returns once the dispatcher has handled what was queued to it before, and
    // the walk step that this scheduled, with what it sent delivered here.
    bool settle();

    BatchDispatcher* dispatcher = nullptr;
    FakeBatchResponder responder;
    QThread thread;

private:
    // Made before the thread starts, so the thread sanitizer sees it made.
    QAtomicInt settled;

signals:
    void dispatchSig(QStringList lines);
    void stopSig();
};
