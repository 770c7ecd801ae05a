// Batch commands on the main window. Completed later: until then every command
// is answered at once, so a running batch never waits for nothing.
#include "mainwindow/Body.h"

#include "batch/BatchDispatcher.h"

void Body::execCmdSlot(CmdLine cmd, bool inRem)
{
    emit finishBatchExec(BatchDispatcher::answerIdOf(cmd, inRem));
}

void Body::execConfigBatches() {}
void Body::newEdgeSuggested(int) {}
void Body::newElmSuggested() {}
