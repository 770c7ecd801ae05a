// Batch commands on the main window: the look-up, the error path, the answer
// that lets the dispatcher go on, and the batch lines of the configuration.
// The words themselves are carried out by group in the BodyCommands*.cpp files.
#include "mainwindow/Body.h"

#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "batch/CmdParams.h"
#include "display/_FileDialog.h"
#include "foundation/Cfg.h"

#include <QDebug>

void Body::execCmdSlot(CmdLine cmd, bool inRem)
{
    if (inRem) {
        emit finishBatchExec(NOT_EX_CMD);
        return;
    }
    const EX_CMD_ID id = exCmdId(cmd);
    // A number the word cannot read changes nothing; the batch goes on.
    const QString refusal = cmdParamsRefusal(id, cmd);
    if (!refusal.isEmpty()) {
        logMistake(QStringLiteral("Can't run %1: %2").arg(cmd.cmd, refusal));
        emit finishBatchExec(BatchDispatcher::answerIdOf(cmd, false));
        return;
    }
    CmdAnswer answer = CmdAnswer::Error;
    if (id <= SUGGESTING_POST_START_EV)
        answer = execStackCmd(id, cmd);
    else if (id <= ANALYZER_SHOW_WINDOW)
        answer = execDisplayCmd(id, cmd);
    else if (id <= ANALYZER_EXEC_RA)
        answer = execAnalyzerCmd(id, cmd);
    else if (id < NOT_EX_CMD)
        answer = execSettingsCmd(id, cmd);

    switch (answer) {
    case CmdAnswer::Now:
        emit finishBatchExec(id);
        break;
    case CmdAnswer::Later:
        break;
    case CmdAnswer::Error:
        cmdError(cmd);
        break;
    }
}

void Body::cmdError(const CmdLine& cmd)
{
    if (!isCtrlCmd(CmdLine(cmd.cmd)))
        batchCtrl->showCmdErr(cmd);
    emit finishBatchExec(NOT_EX_CMD);
}

void Body::logMistake(const QString& text)
{
    qDebug().noquote() << text;
    tellWritten(text);
}

void Body::tellWritten(const QString& text)
{
    if (batchCtrl)
        batchCtrl->Log(text + u'\n');
    showMessage(text);
    // A save chosen in a dialog that writes nothing says so there as well.
    _FileDialog::told(text);
}

void Body::execConfigBatches()
{
    const QStringList lines = cfg.allValues(QStringLiteral("BATCH"));
    const QString banner = QStringLiteral(" =========== Batchs in Config ==============");
    qDebug().noquote() << banner;
    for (const QString& l : lines)
        qDebug().noquote() << l;
    qDebug().noquote() << banner;
    // Without lines the dispatcher stays idle, so the start-up batch and every
    // later Exec run at once, and the log does not open with a batch nobody wrote.
    if (!lines.isEmpty())
        emit batchCtrl->doDispatchCmds(lines);
}
