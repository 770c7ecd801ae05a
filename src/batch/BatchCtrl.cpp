#include "batch/BatchCtrl.h"

#include "batch/BatchDispatcher.h"
#include "display/ScreenFit.h"
#include "display/_FileDialog.h"
#include "foundation/Globals.h"
#include "foundation/LineReader.h"
#include "foundation/WholeFile.h"

#include <QDebug>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>

#include <functional>

namespace {
_FileDialog* newBatchDialog(QFileDialog::AcceptMode mode)
{
    auto* d = new _FileDialog(QString(), nullptr);
    d->setDirectory(batchRoot);
    d->setFileMode(QFileDialog::AnyFile);
    d->setNameFilters(QStringList() << QStringLiteral("Batch File (*.bat)")
                                    << QStringLiteral("Any Files (* *.*)"));
    d->setAcceptMode(mode);
    return d;
}

// A cursor that moves or ends an edit of its own lays out the line it stands
// in, and the layout stays with the line as long as the log keeps it: one for
// every flush grew a night run's memory pass by pass. Inside an edit block it
// lays out nothing; one block for each end of the log, as one edit over both
// would make the view go over every line in between.
void editQuietly(QTextCursor& c, const std::function<void()>& edit)
{
    c.beginEditBlock();
    edit();
    c.endEditBlock();
}

// The line end of a text file as its first line has it; LF for a file of one
// line. The cap is the reader's, whose limit a loaded file keeps.
QByteArray lineEndOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("\n");
    const QByteArray first = f.readLine(4 * LineReader::maxLineLength + 3);
    return first.endsWith("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

// In one selection: the document's own block cap removes block by block, which
// costs several times the insertion of the same lines.
void dropFirstBlocks(QTextDocument* doc, qsizetype n)
{
    if (n <= 0)
        return;
    QTextCursor c(doc);
    editQuietly(c, [&] {
        c.setPosition(doc->findBlockByNumber(int(n)).position(), QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
}
} // namespace

BatchCtrl::BatchCtrl(QWidget* parent) : QMainWindow(parent)
{
    setupUi(this);
    screenfit::scrollCentralWidget(*this, false);
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
    logTimer.setInterval(logIntervalMs);
    connect(&logTimer, &QTimer::timeout, this, [this] {
        if (pendingLog.isEmpty())
            logTimer.stop(); // quiet for a whole interval: the next text goes in at once
        else
            flushLog();
    });

    saveDialog = newBatchDialog(QFileDialog::AcceptSave);
    loadDialog = newBatchDialog(QFileDialog::AcceptOpen);
    connect(Save, &QPushButton::clicked, saveDialog, &_FileDialog::show);
    saveDialog->saveWith(this, [this](const QString& f) { return save(f); });
    connect(Load, &QPushButton::clicked, loadDialog, &_FileDialog::show);
    connect(loadDialog, &_FileDialog::fileSelected, this, &BatchCtrl::load);

    connect(Exec, &QPushButton::clicked, this, &BatchCtrl::execCmdsSlot);
    // Lines added while another tab was chosen scrolled nothing.
    connect(tabWidget, &QTabWidget::currentChanged, this, [this] {
        if (tabWidget->currentWidget() != tab_2)
            return;
        flushLog();
        BatchLogs->moveCursor(QTextCursor::End);
        QScrollBar* bar = BatchLogs->verticalScrollBar();
        bar->setValue(bar->maximum());
    });
}

void BatchCtrl::connectDispatcher(BatchDispatcher* d)
{
    dispatcher = d;
    connect(Stop, &QPushButton::clicked, d, &BatchDispatcher::batchStopSlot);
    connect(this, &BatchCtrl::doDispatchCmds, d, &BatchDispatcher::doDispatchCmds);
    connect(d, &BatchDispatcher::Log, this, &BatchCtrl::Log);
    // Answered from this thread behind the turn's texts: a loop without commands
    // walks no faster than the window takes its texts, so they never pile up
    // in the event queue.
    connect(d, &BatchDispatcher::logTurnEnded, this, [d](int turn) {
        QMetaObject::invokeMethod(d, [d, turn] { d->logTaken(turn); }, Qt::QueuedConnection);
    });
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

void BatchCtrl::clearLog()
{
    lineOwed = false;
    pendingLog.clear();
    BatchLogs->clear();
}

bool BatchCtrl::save(QString fname)
{
    if (fileLineEnd.isEmpty()) {
        return saveWholeText(fname, [this](QTextStream& out) { out << BatchCmds->toPlainText(); });
    }
    // Written as bytes, so that the platform's text mode adds no CR of its own.
    QByteArray bytes = BatchCmds->toPlainText().toUtf8();
    if (fileLineEnd != "\n")
        bytes.replace('\n', fileLineEnd);
    return saveWhole(fname, bytes);
}

bool BatchCtrl::load(QString fname)
{
    LineReader in;
    if (!in.open(fname))
        return false;
    QString text, line;
    while (in.readLine(line)) {
        text += line;
        text += u'\n';
    }
    if (in.refused())
        return false;
    BatchCmds->setPlainText(text);
    fileLineEnd = lineEndOf(fname);
    return true;
}

void BatchCtrl::setBatchFile(QString fname) { load(fname); }

void BatchCtrl::Log(QString LogMsg)
{
    // The dispatcher's "end" closes a batch and ends its line: whatever comes
    // next starts a line of its own, and the log still ends in "end" meanwhile.
    const bool batchEnd = LogMsg == QLatin1String("end");
    if (lineOwed && !LogMsg.isEmpty()) {
        LogMsg.prepend(u'\n');
        lineOwed = false;
    }
    lineOwed = lineOwed || batchEnd;
    pendingLog.append(LogMsg);
    if (!logTimer.isActive()) {
        flushLog();
        logTimer.start();
    }
}

void BatchCtrl::flushLog()
{
    if (pendingLog.isEmpty())
        return;
    const PendingLog::Batch b = pendingLog.take();
    // Fewer breaks than the view's lines unless it replaces the view, so the
    // last line the view holds always stays.
    if (b.replacesView)
        BatchLogs->clear();
    QTextDocument* doc = BatchLogs->document();
    if (!b.replacesView)
        dropFirstBlocks(doc, doc->blockCount() + b.breaks - maxLogLines);
    // Always at the end: a click into the log must not scatter later messages.
    QTextCursor c(doc);
    editQuietly(c, [&] {
        c.setPosition(doc->characterCount() - 1);
        c.insertText(b.text);
    });
    // Hidden, there is nothing to scroll; showEvent goes to the end.
    if (BatchLogs->isVisible())
        BatchLogs->moveCursor(QTextCursor::End);
}

void BatchCtrl::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    flushLog();
    BatchLogs->moveCursor(QTextCursor::End);
}

void BatchCtrl::hideEvent(QHideEvent* e)
{
    // Closed or hidden: show it all as it stands when the window comes back.
    flushLog();
    QMainWindow::hideEvent(e);
}

void BatchCtrl::showCmdErr(CmdLine cmd)
{
    qDebug().noquote() << "cmd" << cmd.text;
    Log(QStringLiteral("Err: %1\n").arg(cmd.text));
}
