#include "imagestack/ErrPoints.h"

#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"

#include <QDebug>
#include <QFileInfo>

ErrPoints globalErrPoints;

namespace {
quint64 key(int x, int y) { return (quint64(quint32(x)) << 32) | quint32(y); }
}

bool ErrPoints::sizeLine(const QString& line, int& w, int& h)
{
    QStringList items;
    if (!readKeyLine(line, items, 2, QStringLiteral("# Size")))
        return false;
    w = items[0].toInt(nullptr, 10);
    h = items[1].toInt(nullptr, 10);
    return true;
}

bool ErrPoints::pointLine(const QString& line, int& x, int& y, double* value)
{
    QString xs, ys, vs;
    QString rest = nextItem(stripComment(line).simplified(), xs);
    rest = nextItem(rest, ys);
    nextItem(rest, vs);
    if (ys.isEmpty())
        return false;
    x = xs.toInt(nullptr, 10);
    y = ys.toInt(nullptr, 10);
    if (value)
        *value = vs.toDouble();
    return true;
}

bool ErrPoints::read(const QString& name, bool append)
{
    LineReader in;
    auto fail = [&] {
        fileName.clear();
        points.clear();
        use = false;
        reindex();
        return false;
    };
    if (!in.open(name)) {
        qDebug().noquote() << "Can't Open" << name;
        return fail();
    }
    use = true;
    fileName = QFileInfo(name).canonicalFilePath();
    if (!append) {
        points.clear();
        use = false;
    }
    QString line;
    while (in.readLine(line)) {
        int a = 0, b = 0;
        if (sizeLine(line, a, b)) {
            width = a;
            height = b;
            points.clear();
            use = false;
        } else if (pointLine(line, a, b)) {
            points.append(QPoint(a, b));
        }
    }
    // Half a list would repair the wrong pixels; none is safer.
    if (in.refused())
        return fail();
    reindex();
    return true;
}

bool ErrPoints::contains(int x, int y) const
{
    if (indexedCount == points.size())
        return index.contains(key(x, y));
    for (const QPoint& p : points)
        if (p.x() == x && p.y() == y)
            return true;
    return false;
}

void ErrPoints::reindex()
{
    index.clear();
    index.reserve(points.size());
    for (const QPoint& p : points)
        index.insert(key(p.x(), p.y()));
    indexedCount = points.size();
}
