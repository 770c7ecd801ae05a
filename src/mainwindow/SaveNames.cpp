#include "mainwindow/SaveNames.h"

#include "foundation/AnalyzeCond.h"
#include "foundation/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <limits>

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
    // As the walk and the text file count them.
    const qint64 w = c.columns();
    const qint64 h = c.rows();
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
