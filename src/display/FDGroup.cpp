#include "display/FDGroup.h"

#include "display/_FileDialog.h"

#include <QDir>
#include <QFileInfo>

FDGroup::FDGroup(QObject* parent) : QObject(parent) {}

void FDGroup::addDialog(_FileDialog* dialog)
{
    if (!dialog || dlgs.contains(dialog))
        return;
    dlgs << dialog;
    connect(dialog, &_FileDialog::currentChanged, this, &FDGroup::currentChanged);
    connect(dialog, &_FileDialog::directoryEntered, this, &FDGroup::directoryEntered);
    // The group does not own its dialogs; forget one that goes away.
    connect(dialog, &QObject::destroyed, this, [this, dialog]() { dlgs.removeAll(dialog); });
}

QString FDGroup::canonicalFolder(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QString canon = QFileInfo(path).canonicalFilePath();
    if (canon.isEmpty())
        return QString();
    return QFileInfo(canon).absolutePath();
}

void FDGroup::currentChanged(const QString& path)
{
    const QString dir = canonicalFolder(path);
    if (dir.isEmpty()) // no such file (or no selection): nothing to follow
        return;
    moveAllTo(dir);
}

void FDGroup::directoryEntered(const QString& dir)
{
    if (dir.isEmpty())
        return;
    moveAllTo(QDir(dir).absolutePath());
}

void FDGroup::moveAllTo(const QString& target)
{
    QObject* from = sender();
    // Copy: moving a dialog may bring us back here through its own signals.
    const QList<_FileDialog*> all = dlgs;
    for (_FileDialog* d : all) {
        if (d == from || !dlgs.contains(d))
            continue;
        if (d->directory().absolutePath() != target)
            d->setDirectory(target);
    }
}
