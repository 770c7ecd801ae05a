#pragma once
// Stands in for the main window in batch tests: takes every command the
// dispatcher sends, notes it and answers it as the main window would.
#include "batch/CmdLine.h"

#include <QList>
#include <QObject>
#include <QStringList>

class FakeBatchResponder : public QObject {
    Q_OBJECT
public:
    struct Sent {
        CmdLine cmd;
        bool inRem;
    };

    // "word p1 p2", with " [rem]" behind commands sent inside a comment block.
    QStringList sentTexts() const;
    QString transcript() const { return logs.join(QString()); }
    // Answers every command kept back while hold was set.
    void release();

    QList<Sent> sent;
    QStringList logs;
    bool hold = false;
    QList<int> held;

signals:
    void finishBatchExec(int id);

public slots:
    void execCmdSlot(CmdLine cmd, bool inRem);
    void Log(QString text);
};
