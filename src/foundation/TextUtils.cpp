#include "foundation/TextUtils.h"

#include "foundation/DeferredLog.h"

#include <QDebug>

#include <charconv>
#include <cmath>
#include <cstring>

const QString blankText(101, QLatin1Char(' '));

namespace {
const QChar quoteChar(u'"');

qsizetype firstNonSpace(QStringView s, qsizetype from = 0)
{
    for (qsizetype i = from; i < s.size(); i++)
        if (!isItemSpace(s.at(i)))
            return i;
    return -1;
}

qsizetype firstSpace(QStringView s, qsizetype from)
{
    for (qsizetype i = from; i < s.size(); i++)
        if (isItemSpace(s.at(i)))
            return i;
    return -1;
}

int lastNonSpace(const QString& s)
{
    for (int i = s.size() - 1; i >= 0; i--)
        if (!isItemSpace(s.at(i)))
            return i;
    return -1;
}

// Signs, points and digits after QString::simplified, by the given rules.
bool numberLike(const QString& text, bool allowLeadingPoint, bool allowSign, bool allowPoint)
{
    const QString s = text.simplified();
    if (s.isEmpty())
        return false;
    int points = 0;
    for (int i = 0; i < s.size(); i++) {
        const QChar c = s.at(i);
        if (c.isNumber())
            continue;
        if (c == u'.' && allowPoint && (i > 0 || allowLeadingPoint)) {
            if (++points > 1)
                return false;
            continue;
        }
        if (i == 0 && allowSign && (c == u'-' || c == u'+'))
            continue;
        return false;
    }
    return true;
}
} // namespace

bool isItemSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= 0x09 && u <= 0x0D);
}

QString nextItem(const QString& text, QString& item)
{
    return nextItemView(text, item).toString();
}

namespace {
void tellQuoteFault(QString* fault, QStringView text, bool open)
{
    if (fault) {
        if (fault->isEmpty())
            *fault = open ? QStringLiteral("a quote opens an item but does not close it, the rest of the line is "
                                           "taken as the item")
                          : QStringLiteral("an item ends with a quote that does not open it, the quote is kept "
                                           "in the item");
        return;
    }
    // A file read ahead on another thread tells it in its turn.
    debugLine().noquote() << QStringLiteral("In a line [%1] item is started from %2")
                              .arg(text, open ? QStringLiteral("quote but not ended by quote")
                                              : QStringLiteral("not quote but ended by quote"));
}
} // namespace

QStringView nextItemView(QStringView text, QString& item, QString* fault)
{
    const qsizetype start = firstNonSpace(text);
    if (start < 0) {
        item.clear();
        return QStringView();
    }
    if (text.at(start) == quoteChar) {
        const qsizetype end = text.indexOf(quoteChar, start + 1);
        if (end < 0) {
            tellQuoteFault(fault, text, true);
            item = text.sliced(start + 1).toString();
            return QStringView();
        }
        item = text.sliced(start + 1, end - start - 1).toString();
        return text.sliced(end + 1);
    }
    const qsizetype end = firstSpace(text, start);
    QStringView rest;
    if (end < 0) {
        item = text.sliced(start).toString();
    } else {
        item = text.sliced(start, end - start).toString();
        rest = text.sliced(end);
    }
    if (item.endsWith(quoteChar))
        tellQuoteFault(fault, text, false);
    return rest;
}

QStringList splitItems(const QString& line)
{
    QStringList items;
    QString rest = line;
    QString item;
    while (!rest.isEmpty()) {
        rest = nextItem(rest, item);
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

QString splitComment(const QString& line, QString& comment)
{
    bool inQuote = false;
    for (int i = 0; i < line.size(); i++) {
        const QChar c = line.at(i);
        if (c == quoteChar || c == u'\'') {
            inQuote = !inQuote;
        } else if (c == u'#' && !inQuote) {
            comment = line.mid(i + 1);
            return line.left(i);
        }
    }
    return line;
}

QString stripComment(const QString& line)
{
    QString comment;
    return splitComment(line, comment);
}

QString cutComment(QString& line)
{
    QString comment;
    line = splitComment(line, comment);
    return comment;
}

bool isBlankLine(const QString& line) { return stripComment(line).simplified().isEmpty(); }

bool cutLineContinuation(QString& line)
{
    const int last = lastNonSpace(line);
    if (last < 0 || line.at(last) != u'\\')
        return false;
    line.truncate(last);
    return true;
}

bool startsWithKey(const QString& line, const QString& key)
{
    return line.size() >= key.size() && QStringView(line).left(key.size()) == key;
}

QStringList itemsAfterKey(const QString& line, const QString& key)
{
    QStringList items;
    QString rest = line.mid(key.size());
    QString item;
    while (!rest.isEmpty()) {
        rest = nextItem(rest, item);
        items << item;
    }
    return items;
}

bool readKeyLine(const QString& line, QStringList& items, int minimum, const QString& key)
{
    if (!startsWithKey(line, key))
        return false;
    items = itemsAfterKey(line, key);
    return items.size() >= minimum;
}

QString addThousandsCommas(const QString& number)
{
    // The integer part ends at the point or at an exponent, so "1e+06" stays whole.
    int p = number.size();
    for (int i = 0; i < number.size(); i++) {
        const QChar c = number.at(i);
        if (c == u'.' || c == u'e' || c == u'E') {
            p = i;
            break;
        }
    }
    const int first = (number.startsWith(u'-') || number.startsWith(u'+')) ? 2 : 1;
    QString res = number;
    for (int pos = p - 3; pos >= first; pos -= 3)
        res.insert(pos, u',');
    return res;
}

int formatEnergy(char* out, double v)
{
    // Not a number, infinities and 0 as a text stream writes them ("nan", "inf", no sign on 0).
    if (!std::isfinite(v) || v == 0.0) {
        const QByteArray q = QByteArray::number(v == 0.0 ? 0.0 : v, 'g', 10);
        std::memcpy(out, q.constData(), size_t(q.size()));
        return int(q.size());
    }
    return int(std::to_chars(out, out + energyTextMax, v, std::chars_format::general, 10).ptr - out);
}

QString energyText(double v)
{
    char buf[energyTextMax];
    return QString::fromLatin1(buf, formatEnergy(buf, v));
}

QString joinQuoted(const QStringList& list)
{
    QString res;
    for (const QString& s : list)
        res += quoteChar + s + quoteChar + u' ';
    return res.simplified();
}

QString nextCsvItem(const QString& line, QString& item)
{
    item.clear();
    if (line.startsWith(u',')) {
        return line.mid(1);
    }
    if (!line.startsWith(quoteChar)) {
        const int comma = line.indexOf(u',');
        if (comma < 0) {
            item = line;
            return QString();
        }
        item = line.left(comma);
        return line.mid(comma + 1);
    }
    int i = 1;
    const int n = line.size();
    while (i < n) {
        const QChar c = line.at(i);
        if (c != quoteChar) {
            item += c;
            i++;
            continue;
        }
        if (i + 1 < n && line.at(i + 1) == quoteChar) {
            item += quoteChar;
            i += 2;
            continue;
        }
        // closing quote: whatever stands before the next comma is dropped
        const int comma = line.indexOf(u',', i + 1);
        return comma < 0 ? QString() : line.mid(comma + 1);
    }
    return QString();
}

QString nextCsvItemLoose(const QString& line, QString& item)
{
    item.clear();
    bool inQuote = false;
    for (int i = 0; i < line.size(); i++) {
        const QChar c = line.at(i);
        if (c == quoteChar) {
            inQuote = !inQuote;
        } else if (c == u',' && !inQuote) {
            return line.mid(i + 1);
        } else {
            item += c;
        }
    }
    return QString();
}

QString csvField(const QString& text)
{
    if (text.contains(quoteChar)) {
        QString s = text;
        s.replace(quoteChar, QStringLiteral("\"\""));
        return quoteChar + s + quoteChar;
    }
    if (text.contains(u','))
        return quoteChar + text + quoteChar;
    return text;
}

QString escapeQuotes(const QString& text)
{
    QString s = text;
    s.replace(quoteChar, QStringLiteral("\\\""));
    return s;
}

QString quoted(const QString& text) { return quoteChar + escapeQuotes(text) + quoteChar; }

QString commaQuoted(const QString& text) { return u',' + quoted(text); }

bool isNumber(const QString& text) { return numberLike(text, true, true, true); }

bool isInteger(const QString& text) { return numberLike(text, false, true, false); }

bool isDigits(const QString& text) { return numberLike(text, false, false, false); }

QString tokenAfterKey(const QString& text, const QString& key, QString& token,
                      const QString& separator)
{
    token.clear();
    const int at = text.indexOf(key);
    if (at < 0)
        return QString();
    int p = at + key.size();
    if (separator.size() != 1) {
        token = text.mid(p);
        return QString();
    }
    const QChar sep = separator.at(0);
    while (p < text.size() && text.at(p) == sep)
        p++;
    const int end = text.indexOf(sep, p);
    if (end < 0) {
        token = text.mid(p);
        return QString();
    }
    token = text.mid(p, end - p);
    return text.mid(end);
}

QString blanks(int count)
{
    if (count <= 0)
        return QString();
    return blankText.left(count);
}

QString padRight(const QString& text, int width)
{
    if (text.size() >= width)
        return text;
    return text + blanks(width - text.size());
}
