#include "mainwindow/SaveNames.h"

#include "foundation/AnalyzeCond.h"
#include "foundation/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <limits>

namespace {
// Bins along one axis: (end - start - half - 1) / step + 1, in 64 bits.
qint64 binsAlong(int start, int end, int half, int step)
{
    if (step < 1)
        return 0;
    return (qint64(end) - start - half - 1) / step + 1;
}
} // namespace

QString numberedDataName(const QString& fname, int ext, const QString& suffix)
{
    const QFileInfo fi(fname);
    return fi.absoluteDir().filePath(
        QStringLiteral("%1-%2.%3").arg(fi.completeBaseName()).arg(ext).arg(suffix));
}

QString derivedPictureName(const QString& name, const QString& addition)
{
    const QString derived = derivedFileName(name, addition, true);
    return QFileInfo(name).suffix().isEmpty() ? derived + QStringLiteral("png") : derived;
}

QString dataCBarName(const QString& fname, int ext)
{
    return derivedPictureName(derivedFileName(fname, QString::number(ext), true),
                              QStringLiteral("-cBar"));
}

QString lcfMapPictureName(const QString& fname, int row, int map)
{
    return derivedPictureName(fname, QStringLiteral("%1-%2").arg(row).arg(map));
}

bool analyzedTiffSize(const AnalyzeCond& c, int& width, int& height)
{
    const qint64 w = binsAlong(c.x0, c.x1, c.hx, c.stepX);
    const qint64 h = binsAlong(c.y0, c.y1, c.hy, c.stepY);
    if (w < 1 || h < 1 || w > std::numeric_limits<int>::max() || h > std::numeric_limits<int>::max())
        return false;
    width = int(w);
    height = int(h);
    return true;
}

QByteArray imageInfoText(const QRectF& view)
{
    QByteArray bytes;
    QTextStream out(&bytes);
    out << "###Corvelline::ImgInfo\n";
    out << "VIEWING Xs          : " << '\t' << view.x() << "\n";
    out << "VIEWING Ys          : " << '\t' << view.y() << "\n";
    out << "VIEWING Xe          : " << '\t' << view.x() + view.width() << "\n";
    out << "VIEWING Ye          : " << '\t' << view.y() + view.height() << "\n";
    out.flush();
    return bytes;
}
