#include "stars/StarsProtocol.h"

#include <QDebug>

#include <utility>

namespace stars {

StarsCmdTable ownCmds()
{
    StarsCmdTable t;
    t.add(Hello, QStringLiteral("Hello"), QStringLiteral("Answer greeting message"));
    t.add(Help, QStringLiteral("Help"), QStringLiteral("Show help message"));
    t.add(IsBusy, QStringLiteral("IsBusy"), QStringLiteral("Answer if Corvelline is busy"));
    return t;
}

bool isChallenge(const QString& firstLine)
{
    const QString t = firstLine.trimmed();
    qsizetype i = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
    if (i >= t.size())
        return false;
    for (; i < t.size(); ++i)
        if (t.at(i) < u'0' || t.at(i) > u'9')
            return false;
    return true;
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
    return QStringLiteral("%1 %2\n").arg(name, key).toUtf8();
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

namespace {
// Bytes of s in UTF-8, counted without building them (a lone surrogate
// counts as the replacement character it becomes).
qsizetype utf8Size(QStringView s)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.unicode() < 0x80) {
            n += 1;
        } else if (c.unicode() < 0x800) {
            n += 2;
        } else if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            n += 4;
            ++i;
        } else {
            n += 3;
        }
    }
    return n;
}

// Encoded piece by piece: the whole text is never held twice.
void appendUtf8(QByteArray& out, QStringView s)
{
    const qsizetype piece = qsizetype(1) << 16;
    while (!s.isEmpty()) {
        qsizetype n = qMin(piece, s.size());
        if (n < s.size() && s.at(n - 1).isHighSurrogate())
            --n; // a pair stays together
        out += s.first(n).toUtf8();
        s = s.sliced(n);
    }
}
} // namespace

qsizetype messageSize(QStringView from, QStringView to, std::initializer_list<QStringView> msg)
{
    qsizetype size = utf8Size(from) + utf8Size(to) + 3;
    for (QStringView part : msg)
        size += utf8Size(part);
    return size;
}

QString messageText(QStringView from, QStringView to, std::initializer_list<QStringView> msg)
{
    qsizetype size = from.size() + to.size() + 2;
    for (QStringView part : msg)
        size += part.size();
    QString text;
    text.reserve(size);
    text.append(from).append(u'>').append(to).append(u' ');
    for (QStringView part : msg)
        text.append(part);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QByteArray messageBytes(QStringView from, QStringView to, std::initializer_list<QStringView> msg)
{
    QByteArray out;
    out.reserve(messageSize(from, to, msg));
    appendUtf8(out, from);
    out += '>';
    appendUtf8(out, to);
    out += ' ';
    for (QStringView part : msg)
        appendUtf8(out, part);
    out.replace('\r', ' ');
    out.replace('\n', ' ');
    out += '\n';
    return out;
}

QString helpAnswer(QStringView paramText, const StarsCmdTable& table)
{
    if (paramText.isEmpty())
        return QStringLiteral("Commands : ") + table.helpText();
    const QStringView first = AMsg::firstItem(paramText);
    if (table.idOf(first.toString()) != StarsCmdTable::notCmd)
        return QStringLiteral(": ") + table.helpOf(first.toString());
    // Built once: the word may be most of a line of many MB.
    const QLatin1StringView before("Er: Command ["), after("] not found.");
    QString ans;
    ans.reserve(before.size() + first.size() + after.size());
    ans.append(before).append(first).append(after);
    return ans;
}

QString ownAnswer(const AMsg& msg, QStringView paramText, const StarsCmdTable& table, const QString& ownName,
                  bool busy)
{
    // Two programs answering each other's answers would never stop, and an
    // event tells: it asks nothing.
    if (msg.parsed != 1 || msg.kind != 2)
        return QString();
    switch (table.idOf(msg.word)) {
    case Hello:
        return QStringLiteral("Hello! I am %1. Nice to meet you!").arg(ownName);
    case Help:
        return helpAnswer(paramText, table);
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
        if (skipping_ || len > maxLine_) {
            if (!skipping_)
                ++dropped_;
            told(QStringLiteral("Stars: a received line of %1 bytes is over the limit of %2 bytes, dropped")
                     .arg(skipped_ + len)
                     .arg(maxLine_));
            skipping_ = false;
            skipped_ = 0;
        } else if (start == 0 && nl + 1 >= buf_.size() - (nl + 1)) {
            // The line is most of what is held: handed over, and the rest copied.
            QByteArray rest = buf_.mid(nl + 1);
            buf_.truncate(nl + 1);
            lines << std::move(buf_);
            buf_ = std::move(rest);
            continue;
        } else {
            lines << buf_.mid(start, nl + 1 - start);
        }
        start = nl + 1;
    }
    buf_.remove(0, start);
    scanned_ = buf_.size();
    if (buf_.size() > maxLine_) {
        if (!skipping_)
            ++dropped_;
        skipping_ = true;
        skipped_ += buf_.size();
        buf_.clear();
        scanned_ = 0;
    }
    return lines;
}

void LineBuffer::clear()
{
    if (skipping_)
        told(QStringLiteral("Stars: a received line of over %1 bytes was cut off before its line end, dropped")
                 .arg(skipped_));
    buf_.clear();
    scanned_ = 0;
    skipping_ = false;
    skipped_ = 0;
    dropped_ = 0;
}

void LineBuffer::told(const QString& msg) const
{
    if (tell)
        tell(msg);
    else
        qDebug().noquote() << msg;
}

int Passing::passedOn(qint64 bytes)
{
    int whole = 0;
    while (bytes > 0 && !sizes_.isEmpty()) {
        const qint64 take = qMin(bytes, sizes_.first() - part_);
        part_ += take;
        bytes -= take;
        if (part_ == sizes_.first()) {
            lastWhole_ = sizes_.takeFirst();
            part_ = 0;
            ++whole;
        }
    }
    return whole;
}

bool OutputBound::admit(qint64 waiting, qint64 size, const QString& peer, QString& told)
{
    told.clear();
    if (waiting + size <= limit_)
        return true;
    if (!told_) {
        told_ = true;
        told = QStringLiteral("%1 reads nothing: %2 bytes waiting; %3 are dropped until it reads")
                   .arg(peer)
                   .arg(waiting)
                   .arg(items_);
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
