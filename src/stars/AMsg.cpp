#include "stars/AMsg.h"

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Cuts the item that starts at or after pos (quoted items lose their quotes)
// and returns where the rest begins. Index based: spectrum events run to
// hundreds of kB and hold thousands of items.
qsizetype cutItem(const QString& s, qsizetype pos, QString& item)
{
    const qsizetype n = s.size();
    while (pos < n && isBlank(s.at(pos)))
        ++pos;
    if (pos >= n) {
        item.clear();
        return n;
    }
    if (s.at(pos) == u'"') {
        const qsizetype close = s.indexOf(u'"', pos + 1);
        if (close < 0) {
            item = s.mid(pos + 1);
            return n;
        }
        item = s.mid(pos + 1, close - pos - 1);
        return close + 1;
    }
    qsizetype end = pos;
    while (end < n && !isBlank(s.at(end)))
        ++end;
    item = s.mid(pos, end - pos);
    return end;
}

void splitAddress(const QString& addr, QString& node, QString& sub)
{
    const qsizetype dot = addr.indexOf(u'.');
    node = dot < 0 ? addr : addr.left(dot);
    sub = dot < 0 ? QString() : addr.mid(dot + 1);
}

QString joinAddress(const QString& node, const QString& sub)
{
    return sub.isEmpty() ? node : node + u'.' + sub;
}
} // namespace

int AMsg::parse(const QString& text)
{
    *this = AMsg();
    line = text;
    line.remove(u'\n');
    line.remove(u'\r');
    const qsizetype headEnd = cutItem(line, 0, head);
    body = line.mid(headEnd);
    const qsizetype arrow = head.indexOf(u'>');
    if (!body.isEmpty() && arrow >= 0) {
        from = head.left(arrow);
        to = head.mid(arrow + 1);
        splitAddress(from, fromNode, fromSub);
        splitAddress(to, toNode, toSub);
        const qsizetype wordEnd = cutItem(body, 0, word);
        paramText = body.mid(wordEnd);
        QString item;
        for (qsizetype pos = 0; pos < paramText.size();) {
            pos = cutItem(paramText, pos, item);
            params << item;
        }
        if (!params.isEmpty())
            firstParam = params.first();
        if (word.startsWith(u'@')) {
            kind = 0;
            word.remove(0, 1);
        } else if (word.startsWith(u'_')) {
            kind = 1;
            word.remove(0, 1);
        } else {
            kind = 2;
        }
        parsed = 1;
    }
    fromAddr = joinAddress(fromNode, fromSub);
    toAddr = joinAddress(toNode, toSub);
    return parsed;
}
