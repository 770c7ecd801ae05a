#include "batch/PendingLog.h"

void PendingLog::append(const QString& more)
{
    text += more;
    breaks += more.count(u'\n');
    // Cut only at twice the view's lines, so cutting stays linear overall.
    if (breaks >= 2 * qsizetype(maxLines))
        cutToBreaks(maxLines - 1);
}

void PendingLog::clear()
{
    text.clear();
    breaks = 0;
    replaces = false;
}

PendingLog::Batch PendingLog::take()
{
    // n breaks make n + 1 lines; the view keeps maxLines of them.
    if (breaks >= qsizetype(maxLines))
        cutToBreaks(maxLines - 1);
    Batch b{text, replaces, breaks};
    clear();
    return b;
}

void PendingLog::cutToBreaks(qsizetype keep)
{
    if (breaks <= keep)
        return;
    qsizetype pos = -1;
    for (qsizetype drop = breaks - keep; drop > 0; --drop)
        pos = text.indexOf(u'\n', pos + 1);
    text.remove(0, pos + 1);
    breaks = keep;
    replaces = true;
}
