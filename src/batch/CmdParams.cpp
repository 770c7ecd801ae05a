#include "batch/CmdParams.h"

#include <QDir>

#include <cmath>

int cmdInt(const QString& p)
{
    bool ok = false;
    const int v = p.toInt(&ok, 10);
    return ok ? v : 0;
}

bool cmdFlag(const QString& p) { return cmdInt(p) == 1; }

double cmdReal(const QString& p)
{
    bool ok = false;
    const double v = p.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

bool cmdKeywordIs(const QString& p, const QString& upperWord) { return p.toUpper() == upperWord; }

QStringList filesOfPattern(const QString& dir, const QStringList& filters)
{
    if (dir.isEmpty())
        return QStringList();
    const QDir d(dir);
    // Stacks are read in list order; name order is what the acquisition's
    // numbered names rely on, whatever order the file system keeps.
    const QStringList names = d.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList files;
    files.reserve(names.size());
    for (const QString& n : names)
        files << d.filePath(n);
    return files;
}
