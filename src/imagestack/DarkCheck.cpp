#include "imagestack/DarkCheck.h"

#include "foundation/WholeFile.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/TiffData.h"

#include <QDebug>
#include <QDir>
#include <QSet>
#include <QTextStream>

#include <cmath>

namespace darkcheck {

namespace {

// A count list this long is already 40 MB and a file of as many lines.
const int maxBins = 10000000;

quint64 key(int x, int y)
{
    return (quint64(quint32(x)) << 32) | quint32(y);
}

void writeDarkPoints(const QList<DarkPoint>& points, const QList<int>& steps, const TiffData& first,
                     const ErrPoints& errPs, const QDir& dir)
{
    saveWholeText(dir.filePath(QStringLiteral("dark-allDarkPoints.dat")), [&](QTextStream& out) {
        out << "# Size " << first.width << "\t" << first.height << "\n";
        for (const DarkPoint& p : points)
            out << p.x << "\t" << p.y << "\t" << p.value << "\n";
    });

    saveWholeText(dir.filePath(QStringLiteral("dark-allDarkPointNums.dat")), [&](QTextStream& out) {
        for (int k = 0; k < steps.size(); k++)
            out << k << "\t" << steps[k] << "\n";
    });

    saveWholeText(dir.filePath(QStringLiteral("dark-allDarkPoints-onlyInPs1.dat")), [&](QTextStream& out) {
        for (const DarkPoint& p : points)
            if (!errPs.contains(p.x, p.y))
                out << p.x << "\t" << p.y << "\n";
    });

    saveWholeText(dir.filePath(QStringLiteral("dark-allDarkPoints-onlyInErrPs.dat")), [&](QTextStream& out) {
        QSet<quint64> dark;
        dark.reserve(points.size());
        for (const DarkPoint& p : points)
            dark.insert(key(p.x, p.y));
        for (const QPoint& p : errPs.points)
            if (!dark.contains(key(p.x(), p.y())))
                out << p.x() << "\t" << p.y() << "\n";
    });
}

} // namespace

bool settingsUsable(double max, int bins)
{
    return bins >= 0 && bins <= maxBins && std::isfinite(max) && max > 0.0;
}

int binIndex(double v, double min, double max, int bins)
{
    // The product can round the upper end itself below bins (3 x 0.7 / 0.7).
    if (v >= max)
        return bins;
    const double t = bins * (v - min) / (max - min);
    return !(t > 0.0) ? 0 : (t >= bins ? bins : int(t));
}

DarkHistogram histogram(const QList<TiffData*>& frames, double max, int bins)
{
    DarkHistogram h;
    h.max = max;
    h.min = 0.0;
    h.counts = QList<int>(qsizetype(bins) + 1, 0);
    for (const TiffData* f : frames) {
        if (!f)
            continue;
        for (int y = 0; y < f->height; y++) {
            for (int x = 0; x < f->width; x++)
                h.counts[binIndex(f->value(x, y), h.min, h.max, bins)]++;
        }
    }
    return h;
}

void writeHistogram(const DarkHistogram& h, const QString& fileName)
{
    saveWholeText(fileName, [&h](QTextStream& out) {
        const qsizetype n = h.counts.size();
        out << QStringLiteral("# min, max = (%1, %2)  bins = %3\n").arg(h.min).arg(h.max).arg(qlonglong(n - 1));
        const double step = n > 1 ? (h.max - h.min) / double(n - 1) : 0.0;
        double lower = h.min;
        for (qsizetype i = 0; i < n; i++) {
            out << i << "\t" << lower << "\t" << h.counts[i] << "\n";
            lower += step;
        }
    });
}

QList<DarkPoint> darkPoints(const QList<TiffData*>& frames, double th, QList<int>& steps)
{
    QList<DarkPoint> points;
    steps.clear();
    if (frames.isEmpty() || !frames.first())
        return points;
    const TiffData* first = frames.first();
    for (int y = 0; y < first->height; y++) {
        for (int x = 0; x < first->width; x++) {
            const double v = first->value(x, y);
            if (v > th)
                points.append({x, y, v});
        }
    }
    steps.append(int(points.size()));
    for (qsizetype i = 1; i < frames.size(); i++) {
        const TiffData* f = frames[i];
        QList<DarkPoint> kept;
        kept.reserve(points.size());
        for (const DarkPoint& p : points) {
            const double v = f ? f->value(p.x, p.y) : 0.0;
            if (v > th)
                kept.append({p.x, p.y, p.value + v});
        }
        points.swap(kept);
        steps.append(int(points.size()));
    }
    return points;
}

bool run(const QList<TiffData*>& frames, double th, double max, int bins, const ErrPoints& errPs,
         const QString& folder)
{
    if (!settingsUsable(max, bins)) {
        qDebug() << "Dark check refused: histogram max" << max << "and bins" << bins
                 << "need a max above 0 and 0 to" << maxBins << "bins";
        return false;
    }
    if (frames.isEmpty() || !frames.first())
        return true;
    const QDir dir(folder);
    writeHistogram(histogram(frames, max, bins), dir.filePath(QStringLiteral("dark-hg-all.dat")));
    QList<int> steps;
    const QList<DarkPoint> points = darkPoints(frames, th, steps);
    if (!points.isEmpty())
        writeDarkPoints(points, steps, *frames.first(), errPs, dir);
    return true;
}

} // namespace darkcheck
