#include "DispatcherRig.h"

#include "batch/BatchDispatcher.h"

DispatcherRig::DispatcherRig(bool withLog)
{
    dispatcher = new BatchDispatcher(nullptr);
    dispatcher->moveToThread(&thread);
    connect(dispatcher, &BatchDispatcher::execCmdSig, &responder, &FakeBatchResponder::execCmdSlot);
    connect(&responder, &FakeBatchResponder::finishBatchExec, dispatcher, &BatchDispatcher::finishBatchExec);
    if (withLog)
        connect(dispatcher, &BatchDispatcher::Log, &responder, &FakeBatchResponder::Log);
    connect(this, &DispatcherRig::dispatchSig, dispatcher, &BatchDispatcher::doDispatchCmds);
    connect(this, &DispatcherRig::stopSig, dispatcher, &BatchDispatcher::batchStopSlot);
    thread.start(QThread::InheritPriority);
}

DispatcherRig::~DispatcherRig()
{
    thread.quit();
    thread.wait();
    delete dispatcher;
}
