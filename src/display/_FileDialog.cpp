#include "display/_FileDialog.h"

#include "display/ScreenFit.h"
#include "foundation/Globals.h"

#include <QFileInfo>

_FileDialog::_FileDialog(const QString& title, QWidget* parent)
    : parentW(parent), title(title), dir(dataRoot)
{
}

_FileDialog::~_FileDialog() { delete dlg; }

QFileDialog* _FileDialog::dialog()
{
    if (dlg)
        return dlg;
    dlg = new QFileDialog(parentW, QString(), QString(), QString());
    // Native dialogs ignore much of what the panels set and block the event loop.
    dlg->setOption(QFileDialog::DontUseNativeDialog);
    dlg->setWindowTitle(title);
    dlg->setDirectory(dir);
    dlg->setFileMode(fMode);
    dlg->setAcceptMode(aMode);
    if (!filters.isEmpty())
        dlg->setNameFilters(filters);
    screenfit::keepInside(*dlg);
    connect(dlg, &QFileDialog::fileSelected, this, &_FileDialog::fileSelected);
    connect(dlg, &QFileDialog::filesSelected, this, &_FileDialog::filesSelected);
    connect(dlg, &QFileDialog::currentChanged, this, &_FileDialog::currentChanged);
    connect(dlg, &QFileDialog::directoryEntered, this, &_FileDialog::directoryEntered);
    return dlg;
}

void _FileDialog::show() { dialog()->show(); }

void _FileDialog::setWindowTitle(const QString& t)
{
    title = t;
    if (dlg)
        dlg->setWindowTitle(t);
}

void _FileDialog::setDirectory(const QString& d)
{
    if (dlg)
        dlg->setDirectory(d);
    else if (QFileInfo(d).isDir()) // as the dialog itself: no such folder, no move
        dir = d;
}

QDir _FileDialog::directory() const
{
    return dlg ? dlg->directory() : QDir(dir);
}

void _FileDialog::setFileMode(QFileDialog::FileMode mode)
{
    fMode = mode;
    if (dlg)
        dlg->setFileMode(mode);
}

void _FileDialog::setAcceptMode(QFileDialog::AcceptMode mode)
{
    aMode = mode;
    if (dlg)
        dlg->setAcceptMode(mode);
}

void _FileDialog::setNameFilters(const QStringList& f)
{
    filters = f;
    if (dlg)
        dlg->setNameFilters(f);
}
