#include "batch/BatchDispatcher.h"

#include "batch/CmdDef.h"
#include "foundation/Globals.h"
#include "foundation/TextUtils.h"

#include <QDebug>
#include <QMetaMethod>
#include <QMetaType>

#include <climits>

namespace {
// Replaces every occurrence of key from left to right; the search goes on
// behind the inserted value, so a value holding its own key goes in once.
// Built anew rather than replaced in place, so the work is linear in the text;
// false, text unchanged, when the result would pass limit.
bool replaceOnce(QString& s, const QString& key, const QString& value, qsizetype limit)
{
    if (key.isEmpty())
        return true;
    qsizetype pos = s.indexOf(key);
    if (pos < 0)
        return true;
    QString out;
    qsizetype from = 0;
    do {
        if (out.size() + (pos - from) + value.size() > limit)
            return false;
        out.append(QStringView(s).sliced(from, pos - from));
        out.append(value);
        from = pos + key.size();
    } while ((pos = s.indexOf(key, from)) >= 0);
    if (out.size() + (s.size() - from) > limit)
        return false;
    out.append(QStringView(s).sliced(from));
    s = std::move(out);
    return true;
}

QString boolText(bool f) { return f ? QStringLiteral("true") : QStringLiteral("false"); }
} // namespace

BatchDispatcher::BatchDispatcher(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CmdLine>("CmdLine");
    vars.set(QStringLiteral("$DataRoot$"), dataRoot, QString(), QString());
    // Queued even within the thread: every walk starts from the event queue, so
    // Stop and new lines are seen between turns and no call stack deepens.
    connect(this, &BatchDispatcher::execNextLineSig, this, &BatchDispatcher::execNextLineSlot,
            Qt::QueuedConnection);
}

BatchDispatcher::~BatchDispatcher() = default;

int BatchDispatcher::answerIdOf(const CmdLine& cmd, bool inRem)
{
    if (inRem)
        return NOT_EX_CMD;
    switch (exCmdId(cmd)) {
    case LOAD_I1_FILES:
    case LOAD_I1_FILES_OF_PATTERN:
        return LOAD_I1_FILES;
    case LOAD_I0_FILES:
    case LOAD_I0_FILES_OF_PATTERN:
        return LOAD_I0_FILES;
    case ANALYZER_EXEC_2DA:
    case ANALYZER_EXEC_LCF:
    case ANALYZER_EXEC_ELEMS:
    case ANALYZER_EXEC_RA:
        return ANALYZER_EXEC_LCF;
    case ANALYZER_SELECT_MAIN_MODE_SUMUP:
        return NOT_EX_CMD;
    default:
        return exCmdId(cmd);
    }
}

void BatchDispatcher::doDispatchCmds(QStringList cmdList)
{
    qDebug().noquote() << "dispacher :: do dispach cmds" << cmdList.size() << boolText(running);
    // A continuation on the last line leaves index one past the end; the new
    // lines must still be read from their first one.
    if (index > lines.size())
        index = static_cast<int>(lines.size());
    lines << cmdList;
    if (!running) {
        running = true;
        index = 0;
        loops.clear();
        toldLines.clear();
        scheduleWalk();
    } else if (!outstanding) {
        // The walk ran out of lines (no ":end" yet): go on with the new ones.
        scheduleWalk();
    }
}

void BatchDispatcher::finishBatchExec(int id)
{
    // Answers nobody waits for (work started from the window, a command
    // abandoned by Stop) must not move the walk on.
    if (!outstanding || id != awaitedId)
        return;
    outstanding = false;
    scheduleWalk();
}

void BatchDispatcher::batchStopSlot()
{
    // Stopped between turns of the walk, the line it would go on with.
    if (running && (outstanding || index < lines.size()))
        log(outstanding ? QStringLiteral("Batch stopped at line %1: %2\n").arg(sentLine + 1).arg(sentText)
                        : QStringLiteral("Batch stopped at line %1: %2\n")
                              .arg(index + 1)
                              .arg(lines.at(index).simplified()));
    index = 0;
    lines.clear();
    running = false;
    inRem = false;
    outstanding = false;
    toldLines.clear();
    if (awaitingLog) {
        // The late logTaken finds nothing to wait for; a new batch walks at once.
        awaitingLog = false;
        walkQueued = false;
    }
}

void BatchDispatcher::logTaken(int turn)
{
    if (!awaitingLog || turn != turnId)
        return;
    awaitingLog = false;
    walkQueued = false;
    scheduleWalk();
}

void BatchDispatcher::scheduleWalk()
{
    if (walkQueued)
        return;
    walkQueued = true;
    emit execNextLineSig();
}

void BatchDispatcher::endTurn()
{
    if (!turnLogged || !isSignalConnected(QMetaMethod::fromSignal(&BatchDispatcher::logTurnEnded))) {
        scheduleWalk();
        return;
    }
    walkQueued = true;
    awaitingLog = true;
    turnId = turnId < INT_MAX ? turnId + 1 : 1;
    emit logTurnEnded(turnId);
}

void BatchDispatcher::log(const QString& text)
{
    turnLogged = true;
    QString d = text;
    if (d.endsWith(u'\n'))
        d.chop(1);
    qDebug().noquote() << d;
    emit Log(text);
}

void BatchDispatcher::tell(const QString& line)
{
    turnLogged = true;
    // Here, so that stderr has it among the walk's other lines.
    qDebug().noquote() << line;
    emit mistake(line);
}

void BatchDispatcher::endBatch()
{
    // Lines appended behind this ":end" (Exec while running) form the next batch.
    // index may stand past the end when ":end" itself was continued.
    const qsizetype upTo = qMin<qsizetype>(qsizetype(index) + 1, lines.size());
    lines.erase(lines.begin(), lines.begin() + upTo);
    index = 0;
    loops.clear();
    toldLines.clear();
    if (lines.isEmpty())
        running = false;
    log(QStringLiteral("end"));
}

void BatchDispatcher::execNextLineSlot()
{
    walkQueued = false;
    turnChars = 0;
    turnLogged = false;
    for (int walked = 0;; ++walked) {
        if (!running || outstanding || index < 0 || index >= lines.size()) {
            // Run out: a comment block left open must not swallow what comes next.
            if (running && !outstanding && index >= lines.size() && inRem) {
                inRem = false;
                tell(QStringLiteral("Err: the comment block opened at line %1 was never closed").arg(remStart + 1));
            }
            return;
        }
        if (walked >= linesPerTurn || turnChars > maxParamsLength) {
            endTurn();
            return;
        }

        const int lineIndex = index;
        QString text = lines.at(index);
        while (cutLineContinuation(text)) {
            ++index;
            if (index < lines.size())
                text += lines.at(index);
        }
        CmdLine cmd(text);
        if (cmd.cmd.isEmpty()) {
            ++index;
            continue;
        }

        const int ctrl = ctrlCmdId(cmd);
        if (ctrl == CTRL_REM_END) {
            inRem = false;
        } else if (ctrl == CTRL_REM_START) {
            if (!inRem)
                remStart = lineIndex;
            inRem = true;
            ++index;
            continue;
        } else if (inRem) {
            ++index;
            if (isExCmd(cmd)) {
                sentText = cmd.text;
                sentLine = lineIndex;
                awaitedId = answerIdOf(cmd, true);
                outstanding = true;
                emit execCmdSig(cmd, true);
                return;
            }
            continue;
        }
        // Carried out as read; what was taken as the item is the user's to check.
        if (!cmd.quoteFault.isEmpty())
            tellOnce(QuoteFault, lineIndex,
                     QStringLiteral("Err: line %1 [%2]: %3").arg(lineIndex + 1).arg(cmd.text, cmd.quoteFault));

        switch (ctrl) {
        case CTRL_FOR: {
            BatchForLoop loop(index, cmd.joinedParams());
            const QString why = loop.numbersMistake();
            if (!why.isEmpty()) {
                // Its lines would run with numbers it never had: the batch goes on after them.
                const int next = nextLineOf(loop.name, index);
                tell(QStringLiteral("Can't run :for %1 in line %2: %3; %4")
                                 .arg(loop.name)
                                 .arg(lineIndex + 1)
                                 .arg(why,
                                      next > index ? QStringLiteral("its lines up to :next %1 are skipped").arg(loop.name)
                                                   : QStringLiteral("it has no :next and is skipped alone")));
                index = next;
                break;
            }
            for (qsizetype i = loops.size() - 1; i >= 0; --i) {
                if (loops.at(i).name == loop.name)
                    loops.removeAt(i);
            }
            loops << loop;
            log(QStringLiteral("for %1 : %2 = %3\n").arg(loop.name, loop.placeholder, loop.value));
            break;
        }
        case CTRL_NEXT: {
            BatchForLoop* loop = nullptr;
            index = nextLoopStep(cmd.firstParam(), index, loop);
            if (loop)
                log(QStringLiteral("next %1 : %2 = %3\n").arg(loop->name, loop->placeholder, loop->value));
            else if (cmd.firstParam().isEmpty())
                tellOnce(NoLoop, lineIndex, QStringLiteral("Err: :next in line %1 names no loop, skipped").arg(lineIndex + 1));
            else
                tellOnce(NoLoop, lineIndex,
                         QStringLiteral("Err: no loop %1 for :next %1 in line %2 (no :for %1 before it), skipped")
                             .arg(cmd.firstParam())
                             .arg(lineIndex + 1));
            break;
        }
        case CTRL_ECHO:
            if (!substituteOrSkip(cmd))
                return;
            log(QStringLiteral("echo %1\n").arg(cmd.firstParam()));
            break;
        case CTRL_END:
            endBatch();
            continue;
        case CTRL_LET: {
            const QString key = QStringLiteral("$%1$").arg(cmd.firstParam());
            const QString value = cmd.param(1);
            // The value is never substituted, so a ":let" inside a loop sets the
            // same text on every pass: only a change goes into the store.
            if (!vars.keys().contains(key) || vars.exactValue(key, QString()) != value)
                vars.set(key, value, QString(), QString());
            break;
        }
        default:
            break;
        }

        const bool command = isExCmd(cmd);
        if (!command && ctrl == NOT_CTRL_CMD)
            tellOnce(UnknownWord, lineIndex,
                     QStringLiteral("Err: unknown word %1 in line %2 skipped").arg(cmd.cmd).arg(lineIndex + 1));
        if (command) {
            if (!substituteOrSkip(cmd))
                return;
            sentText = QStringLiteral("%1 %2").arg(cmd.cmd, cmd.joinedParams()).trimmed();
            sentLine = lineIndex;
            log(QStringLiteral("%1 : %2\n").arg(cmd.cmd, cmd.joinedParams()));
        }
        ++index;
        if (command) {
            awaitedId = answerIdOf(cmd, false);
            outstanding = true;
            emit execCmdSig(cmd, false);
            return;
        }
    }
}

void BatchDispatcher::tellOnce(Told kind, int line, const QString& text)
{
    const qint64 key = qint64(line) * 3 + kind;
    if (toldLines.contains(key))
        return;
    toldLines.insert(key);
    tell(text);
}

int BatchDispatcher::nextLoopStep(const QString& name, int current, BatchForLoop*& loop)
{
    loop = nullptr;
    for (BatchForLoop& l : loops) {
        if (l.name == name) {
            loop = &l;
            return l.next(current);
        }
    }
    return current;
}

int BatchDispatcher::nextLineOf(const QString& name, int from) const
{
    for (int i = from + 1; i < lines.size(); ++i) {
        const CmdLine c(lines.at(i));
        if (ctrlCmdId(c) == CTRL_NEXT && c.firstParam() == name)
            return i;
    }
    return from;
}

bool BatchDispatcher::substituteVars(CmdLine& cmd)
{
    const QStringList keys = vars.keys();
    QStringList values;
    values.reserve(keys.size());
    for (const QString& k : keys)
        values << vars.exactValue(k, QString());
    qsizetype used = 0;
    for (QString& p : cmd.params) {
        // Lengths never go below 0, so passing what is left already passes the cap.
        const qsizetype limit = maxParamsLength - used;
        if (p.size() > limit)
            return false;
        for (const BatchForLoop& l : loops)
            if (!replaceOnce(p, l.placeholder, l.value, limit))
                return false;
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (!replaceOnce(p, keys.at(i), values.at(i), limit))
                return false;
        used += p.size();
    }
    turnChars += used;
    return true;
}

bool BatchDispatcher::substituteOrSkip(CmdLine& cmd)
{
    if (substituteVars(cmd))
        return true;
    // Skipped as a word that is no command: nothing is sent, nothing awaits an
    // answer. The turn ends here, so Stop gets in between such lines.
    tell(QStringLiteral("Err: %1 skipped: its parameters pass %2 characters after substitution")
             .arg(cmd.cmd)
             .arg(maxParamsLength));
    ++index;
    endTurn();
    return false;
}
