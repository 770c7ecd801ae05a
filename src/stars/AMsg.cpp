#include "stars/AMsg.h"

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Cuts the item that starts at or after pos (quoted items lose their quotes)
// and returns where the rest begins. Index based: spectrum events run to
// hundreds of kB and hold thousands of items.
qsizetype cutItem(QStringView s, qsizetype pos, QStringView& item)
{
    const qsizetype n = s.size();
    while (pos < n && isBlank(s.at(pos)))
        ++pos;
    if (pos >= n) {
        item = QStringView();
        return n;
    }
    if (s.at(pos) == u'"') {
        const qsizetype close = s.indexOf(u'"', pos + 1);
        if (close < 0) {
            item = s.sliced(pos + 1);
            return n;
        }
        item = s.sliced(pos + 1, close - pos - 1);
        return close + 1;
    }
    qsizetype end = pos;
    while (end < n && !isBlank(s.at(end)))
        ++end;
    item = s.sliced(pos, end - pos);
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

int AMsg::parseHead(QStringView text, QStringView* paramView)
{
    *this = AMsg();
    QStringView item;
    const qsizetype headEnd = cutItem(text, 0, item);
    head = item.toString();
    const QStringView bodyView = text.sliced(headEnd);
    const qsizetype arrow = head.indexOf(u'>');
    QStringView rest;
    if (!bodyView.isEmpty() && arrow >= 0) {
        from = head.left(arrow);
        to = head.mid(arrow + 1);
        splitAddress(from, fromNode, fromSub);
        splitAddress(to, toNode, toSub);
        rest = bodyView.sliced(cutItem(bodyView, 0, item));
        word = item.toString();
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
    if (paramView)
        *paramView = rest;
    return parsed;
}

int AMsg::parse(const QString& text)
{
    QString clean = text;
    clean.remove(u'\n');
    clean.remove(u'\r');
    QStringView rest;
    parseHead(clean, &rest);
    line = clean;
    QStringView item;
    body = QStringView(line).sliced(cutItem(line, 0, item)).toString();
    if (parsed) {
        paramText = rest.toString();
        for (qsizetype pos = 0; pos < rest.size();) {
            pos = cutItem(rest, pos, item);
            params << item.toString();
        }
        if (!params.isEmpty())
            firstParam = params.first();
    }
    return parsed;
}

QStringView AMsg::firstItem(QStringView text)
{
    QStringView item;
    cutItem(text, 0, item);
    return item;
}
