#pragma once
// Interpreter of the batch language, living on a thread of its own: it walks
// the script, runs the control keywords itself and hands each command to the
// main window, then waits for that command's answer.
#include "batch/BatchForLoop.h"
#include "batch/CmdLine.h"
#include "foundation/Cfg.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

class BatchDispatcher : public QObject {
    Q_OBJECT
public:
    explicit BatchDispatcher(QObject* parent = nullptr);
    ~BatchDispatcher() override;

    // The id the main window answers a sent command with.
    static int answerIdOf(const CmdLine& cmd, bool inRem);

    // Lines walked without sending a command before the walk lets queued
    // events (Stop, new lines) in.
    static const int linesPerTurn = 4096;
    // Characters of a line's parameters after substitution (at every step of
    // it); a line that would pass this is skipped with a log line.
    static const qsizetype maxParamsLength = qsizetype(1) << 20;

signals:
    void execNextLineSig();
    void execCmdSig(CmdLine cmd, bool inRem);
    void Log(QString Log);
    // A turn of the walk logged texts and ended without sending a command; the
    // walk goes on once logTaken(turn) comes back, so a loop cannot log faster
    // than its texts are taken. Left unconnected, the walk goes on at once.
    void logTurnEnded(int turn);
    // A line for the user about a mistake in the script (already on stderr).
    void mistake(const QString& line);

public slots:
    void execNextLineSlot();
    void doDispatchCmds(QStringList cmdList);
    void batchStopSlot();
    void finishBatchExec(int id);
    void logTaken(int turn);

private:
    // False, parameters half replaced, when they would pass maxParamsLength.
    bool substituteVars(CmdLine& cmd);
    // Substitutes or logs the refusal; true when the line may go on.
    bool substituteOrSkip(CmdLine& cmd);
    int nextLoopStep(const QString& name, int current, BatchForLoop*& loop);
    // The first ":next name" line after line from; from itself when there is none.
    int nextLineOf(const QString& name, int from) const;
    void scheduleWalk();
    // Where a turn ends with lines left to walk.
    void endTurn();
    void log(const QString& text);
    void endBatch();

    void tell(const QString& line);
    // One mistake of a kind per line in a batch, however often a loop walks it.
    enum Told { UnknownWord, QuoteFault, NoLoop };
    void tellOnce(Told kind, int line, const QString& text);

    bool running = false;
    bool inRem = false;
    int remStart = 0;          // index of the line that opened the comment block
    QSet<qint64> toldLines;    // (line, kind) of the mistakes already told in this batch
    QString sentText;          // the command last sent, as logged
    int sentLine = 0;          // and the index of its line
    QStringList lines;
    int index = 0;
    Cfg vars;
    QList<BatchForLoop> loops;

    bool outstanding = false; // a command was sent and its answer is awaited
    int awaitedId = -1;
    bool walkQueued = false;
    qsizetype turnChars = 0; // substituted in this turn of the walk
    bool turnLogged = false;
    bool awaitingLog = false; // walkQueued stands for the walk until logTaken
    int turnId = 0;
};
