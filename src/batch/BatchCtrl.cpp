#include "batch/BatchCtrl.h"

#include "batch/BatchDispatcher.h"
#include "display/_FileDialog.h"
#include "foundation/Globals.h"
#include "foundation/LineReader.h"

#include <QDebug>
#include <QFile>
#include <QTextCursor>
#include <QTextStream>

namespace {
QFileDialog* newBatchDialog(QFileDialog::AcceptMode mode)
{
    auto* d = new _FileDialog(QString(), nullptr);
    d->setDirectory(batchRoot);
    d->setFileMode(QFileDialog::AnyFile);
    d->setNameFilters(QStringList() << QStringLiteral("Batch File (*.bat)")
                                    << QStringLiteral("Any Files (* *.*)"));
    d->setAcceptMode(mode);
    return d;
}
} // namespace

BatchCtrl::BatchCtrl(QWidget* parent) : QMainWindow(parent)
{
    setupUi(this);
    setup();
}

BatchCtrl::~BatchCtrl()
{
    // Made without a parent, so nothing else frees them.
    delete saveDialog;
    delete loadDialog;
}

void BatchCtrl::setup()
{
    connect(Clear, &QPushButton::clicked, this, &BatchCtrl::clear);
    connect(ClearLog, &QPushButton::clicked, this, &BatchCtrl::clearLog);
    BatchLogs->setMaximumBlockCount(maxLogLines);

    saveDialog = newBatchDialog(QFileDialog::AcceptSave);
    loadDialog = newBatchDialog(QFileDialog::AcceptOpen);
    connect(Save, &QPushButton::clicked, saveDialog, &QWidget::show);
    connect(saveDialog, &QFileDialog::fileSelected, this, &BatchCtrl::save);
    connect(Load, &QPushButton::clicked, loadDialog, &QWidget::show);
    connect(loadDialog, &QFileDialog::fileSelected, this, &BatchCtrl::load);

    connect(Exec, &QPushButton::clicked, this, &BatchCtrl::execCmdsSlot);
}

void BatchCtrl::connectDispatcher(BatchDispatcher* d)
{
    dispatcher = d;
    connect(Stop, &QPushButton::clicked, d, &BatchDispatcher::batchStopSlot);
    connect(this, &BatchCtrl::doDispatchCmds, d, &BatchDispatcher::doDispatchCmds);
    connect(d, &BatchDispatcher::Log, this, &BatchCtrl::Log);
}

void BatchCtrl::execCmdsSlot()
{
    // Empty parts kept, so a list index is the editor's line number.
    lastLines = BatchCmds->toPlainText().split(u'\n');
    lastLines << QStringLiteral(":end");
    emit doDispatchCmds(lastLines);
}

void BatchCtrl::execBatchSlot() { execCmdsSlot(); }

void BatchCtrl::clear() { BatchCmds->clear(); }

void BatchCtrl::clearLog() { BatchLogs->clear(); }

void BatchCtrl::save(QString fname)
{
    QFile f(fname);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream out(&f);
    out << BatchCmds->toPlainText();
}

void BatchCtrl::load(QString fname)
{
    LineReader in;
    if (!in.open(fname))
        return;
    QString text, line;
    while (in.readLine(line)) {
        text += line;
        text += u'\n';
    }
    if (!in.refused())
        BatchCmds->setPlainText(text);
}

void BatchCtrl::setBatchFile(QString fname) { load(fname); }

void BatchCtrl::Log(QString LogMsg)
{
    // Always at the end: a click into the log must not scatter later messages.
    QTextCursor c(BatchLogs->document());
    c.movePosition(QTextCursor::End);
    c.insertText(LogMsg);
    BatchLogs->moveCursor(QTextCursor::End);
}

void BatchCtrl::showCmdErr(CmdLine cmd)
{
    qDebug().noquote() << "cmd" << cmd.text;
    Log(QStringLiteral("Err: %1\n").arg(cmd.text));
}
