#pragma once
// The window in which batch scripts are written, loaded, saved and run, and
// where the dispatcher's progress is logged.
#include "batch/CmdLine.h"
#include "batch/PendingLog.h"
#include "ui_BatchCtrl.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

class BatchDispatcher;
class _FileDialog;

class BatchCtrl : public QMainWindow, public Ui_BatchCtrl {
    Q_OBJECT
public:
    explicit BatchCtrl(QWidget* parent = nullptr);
    ~BatchCtrl() override;

    void connectDispatcher(BatchDispatcher* d);

    // The log view keeps the last lines only: a long loop would grow it without
    // end. The debug log keeps everything.
    static const int maxLogLines = 100000;
    // A loop logs faster than the view can take texts one by one: texts that
    // come within this time of the last update go in together with the next.
    static const int logIntervalMs = 50;

    // Puts every gathered text into the view now.
    void flushLog();

signals:
    void doDispatchCmds(QStringList cmdLines);

public slots:
    void execCmdsSlot();
    void clear();
    void clearLog();
    bool save(QString fname); // false when not written (told)
    // False when the file could not be read; the editor then keeps its text.
    bool load(QString fname);
    void Log(QString LogMsg);
    void setBatchFile(QString fname);
    void execBatchSlot();
    void showCmdErr(CmdLine cmd);

protected:
    void hideEvent(QHideEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void setup();

    BatchDispatcher* dispatcher = nullptr;
    QStringList lastLines;
    _FileDialog* saveDialog = nullptr;
    _FileDialog* loadDialog = nullptr;
    PendingLog pendingLog{maxLogLines};
    bool lineOwed = false; // the log's last text was a batch's "end"
    // The line end of the file last loaded, which saves keep; empty before any
    // load (saves then end lines as the platform's text files do).
    QByteArray fileLineEnd;
    QTimer logTimer;
};
