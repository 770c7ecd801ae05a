#include "stars/StarsProtocol.h"

#include <QDebug>

namespace stars {

StarsCmdTable ownCmds()
{
    StarsCmdTable t;
    t.add(Hello, QStringLiteral("Hello"), QStringLiteral("Answer greeting message"));
    t.add(Help, QStringLiteral("Help"), QStringLiteral("Show help message"));
    t.add(IsBusy, QStringLiteral("IsBusy"), QStringLiteral("Answer if Corvelline is busy"));
    return t;
}

int keyIndex(const QString& firstLine, int keyCount)
{
    if (keyCount < 1)
        return -1;
    bool ok = false;
    const int n = firstLine.trimmed().toInt(&ok);
    if (!ok)
        return 0;
    return ((n % keyCount) + keyCount) % keyCount;
}

QByteArray keyReply(const QString& name, const QString& key)
{
    return QStringLiteral("%1 %2\n").arg(name, key).toLatin1();
}

bool loginAccepted(const QString& line, const QString& name)
{
    return line.startsWith(QStringLiteral("System>%1 Ok:").arg(name));
}

int portOf(const QString& text)
{
    bool ok = false;
    const int p = text.trimmed().toInt(&ok);
    return ok && p >= 1 && p <= 65535 ? p : 0;
}

QString address(const QString& node, const QString& sub)
{
    return sub.isEmpty() ? node : node + u'.' + sub;
}

QString messageLine(const QString& from, const QString& to, const QString& msg)
{
    QString line = QStringLiteral("%1>%2 %3").arg(from, to, msg);
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

QString helpAnswer(const AMsg& msg, const StarsCmdTable& table)
{
    if (msg.params.isEmpty())
        return QStringLiteral("Commands : ") + table.helpText();
    if (table.idOf(msg.firstParam) != StarsCmdTable::notCmd)
        return QStringLiteral(": ") + table.helpOf(msg.firstParam);
    return QStringLiteral("Er: Command [%1] not found.").arg(msg.firstParam);
}

QString ownAnswer(const AMsg& msg, const StarsCmdTable& table, const QString& ownName, bool busy)
{
    // Two programs answering each other's answers would never stop.
    if (msg.parsed != 1 || msg.kind == 0)
        return QString();
    switch (table.idOf(msg.word)) {
    case Hello:
        return QStringLiteral("Hello! I am %1. Nice to meet you!").arg(ownName);
    case Help:
        return helpAnswer(msg, table);
    case IsBusy:
        return busy ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString();
    }
}

QList<QByteArray> LineBuffer::feed(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    buf_.append(bytes);
    qsizetype start = 0;
    for (;;) {
        const qsizetype nl = buf_.indexOf('\n', start + scanned_);
        if (nl < 0)
            break;
        scanned_ = 0;
        const qsizetype len = nl - start; // without the line end
        if (skipping_) {
            skipping_ = false;
        } else if (len > maxLine_) {
            ++dropped_;
            qDebug().noquote() << "Stars: a received line of" << len << "bytes is over the limit, dropped";
        } else {
            lines << buf_.mid(start, nl + 1 - start);
        }
        start = nl + 1;
    }
    buf_.remove(0, start);
    scanned_ = buf_.size();
    if (buf_.size() > maxLine_) {
        if (!skipping_) {
            ++dropped_;
            qDebug().noquote() << "Stars: a received line is over" << maxLine_ << "bytes without a line end, dropped";
        }
        skipping_ = true;
        buf_.clear();
        scanned_ = 0;
    }
    return lines;
}

void LineBuffer::clear()
{
    buf_.clear();
    scanned_ = 0;
    skipping_ = false;
    dropped_ = 0;
}

bool OutputBound::admit(qint64 waiting, qint64 size, const QString& peer, QString& told)
{
    told.clear();
    if (waiting + size <= limit_)
        return true;
    if (!told_) {
        told_ = true;
        told = QStringLiteral("%1 reads nothing: %2 bytes waiting; messages are dropped until it reads")
                   .arg(peer)
                   .arg(waiting);
    }
    return false;
}

void OutputBound::drained(qint64 waiting)
{
    if (waiting == 0)
        told_ = false;
}

History parseHistory(const QStringList& lines)
{
    History h;
    for (const QString& raw : lines) {
        const QStringList items = raw.simplified().split(u' ', Qt::SkipEmptyParts);
        if (items.size() < 2)
            continue;
        const QString key = items.first().toUpper();
        if (key == QLatin1String("A:"))
            h.host = items.at(1);
        else if (key == QLatin1String("P:"))
            h.port = items.at(1);
    }
    return h;
}

} // namespace stars
