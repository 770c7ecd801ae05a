#include "foundation/FileNames.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString placed(const QFileInfo& like, const QString& fileName, bool absolute)
{
    const QFileInfo nf(like.absoluteDir(), fileName);
    return absolute ? nf.absoluteFilePath() : nf.fileName();
}
} // namespace

QString fileNameWithSuffix(const QString& name, const QString& suffix, bool keepOwn,
                           bool absolute)
{
    const QFileInfo fi(name);
    QString own = fi.suffix();
    if (own.isEmpty())
        own = suffix;
    const QString chosen = keepOwn ? own : suffix;
    return placed(fi, fi.completeBaseName() + u'.' + chosen, absolute);
}

QString derivedFileName(const QString& name, const QString& addition, bool absolute)
{
    const QFileInfo fi(name);
    return placed(fi, fi.completeBaseName() + u'-' + addition + u'.' + fi.suffix(), absolute);
}

QString fileInSubDir(const QString& name, const QString& subDir)
{
    // '/' separates on every platform Qt runs on, the backslash only on Windows.
    const QFileInfo fi(name);
    return QDir::cleanPath(fi.path() + u'/' + subDir) + u'/' + fi.fileName();
}

void ensureDirOf(const QString& path)
{
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir(dir).exists())
        QDir().mkpath(dir);
}
