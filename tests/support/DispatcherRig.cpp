#include "DispatcherRig.h"

#include "batch/BatchDispatcher.h"
#include "foundation/WorkerThread.h"

#include <QTest>


DispatcherRig::DispatcherRig(bool withLog)
{
    dispatcher = new BatchDispatcher(nullptr);
    dispatcher->moveToThread(&thread);
    connect(dispatcher, &BatchDispatcher::execCmdSig, &responder, &FakeBatchResponder::execCmdSlot);
    connect(&responder, &FakeBatchResponder::finishBatchExec, dispatcher, &BatchDispatcher::finishBatchExec);
    if (withLog) {
        connect(dispatcher, &BatchDispatcher::Log, &responder, &FakeBatchResponder::Log);
        // As the main window tells them, a line each.
        connect(dispatcher, &BatchDispatcher::mistake, &responder,
                [r = &responder](const QString& line) { r->Log(line + u'\n'); });
    }
    connect(this, &DispatcherRig::dispatchSig, dispatcher, &BatchDispatcher::doDispatchCmds);
    connect(this, &DispatcherRig::stopSig, dispatcher, &BatchDispatcher::batchStopSlot);
    thread.start(QThread::InheritPriority);
}

DispatcherRig::~DispatcherRig()
{
    // Joined so that the thread sanitizer sees the dispatcher's last turn end first.
    joinWorkerThread(&thread);
    delete dispatcher;
}

bool DispatcherRig::settle()
{
    // Twice: an answer handled in the first round schedules its walk step behind it.
    for (int round = 0; round < 2; round++) {
        settled.storeRelease(0);
        QMetaObject::invokeMethod(dispatcher, [this] { settled.storeRelease(1); }, Qt::QueuedConnection);
        if (!QTest::qWaitFor([this] { return settled.loadAcquire() == 1; }, 20000))
            return false;
    }
    return true;
}
