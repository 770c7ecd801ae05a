#include "batch/BatchForLoop.h"

#include "foundation/TextUtils.h"

#include <utility>

BatchForLoop::BatchForLoop(int l, const QString& items) : line(l)
{
    QString rest = items;
    QString* fields[] = {&name, &placeholder, &start, &end, &step};
    for (QString* f : fields) {
        if (rest.isEmpty())
            break;
        rest = nextItem(rest, *f);
    }
    value = start;
}

int BatchForLoop::next(int current)
{
    // 64-bit so that neither the step's magnitude nor value + step can overflow.
    const qint64 s = start.toInt();
    const qint64 e = end.toInt();
    const qint64 v = value.toInt();
    qint64 d = step.isEmpty() ? 1 : step.toInt();
    if (d < 0)
        d = -d; // a negative step would run away from the end for ever
    if (d == 0)
        d = 1;
    qint64 n;
    bool ended;
    if (s >= e) {
        n = v - d;
        ended = n < e;
    } else {
        n = v + d;
        ended = n > e;
    }
    if (ended)
        return current;
    value = formatValue(n);
    return line;
}

QString BatchForLoop::formatValue(qint64 n) const
{
    const QString t = QString::number(n);
    if (start.size() >= 2 && start.startsWith(u'0'))
        return t.rightJustified(start.size(), u'0');
    return t;
}

QString BatchForLoop::numbersMistake() const
{
    const std::pair<const char*, const QString*> items[] = {{"start", &start}, {"end", &end}, {"step", &step}};
    for (const auto& [what, text] : items) {
        bool ok = text->isEmpty(); // missing: 0, or a step of 1
        if (!ok)
            text->toInt(&ok, 10);
        if (!ok)
            return QStringLiteral("its %1 \"%2\" is no whole number").arg(QLatin1String(what), *text);
    }
    return QString();
}
