#include "FakeBatchResponder.h"

#include "batch/BatchDispatcher.h"

QStringList FakeBatchResponder::sentTexts() const
{
    QStringList out;
    for (const Sent& s : sent) {
        QString t = s.cmd.cmd;
        if (!s.cmd.params.isEmpty())
            t += u' ' + s.cmd.joinedParams();
        if (s.inRem)
            t += QStringLiteral(" [rem]");
        out << t;
    }
    return out;
}

void FakeBatchResponder::release()
{
    const QList<int> ids = held;
    held.clear();
    for (int id : ids)
        emit finishBatchExec(id);
}

void FakeBatchResponder::execCmdSlot(CmdLine cmd, bool inRem)
{
    sent << Sent{cmd, inRem};
    const int id = BatchDispatcher::answerIdOf(cmd, inRem);
    if (hold)
        held << id;
    else
        emit finishBatchExec(id);
}

void FakeBatchResponder::Log(QString text) { logs << text; }
