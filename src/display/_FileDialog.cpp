#include "display/_FileDialog.h"

#include "foundation/Globals.h"

_FileDialog::_FileDialog(const QString& title, QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setWindowTitle(title);
    setDirectory(dataRoot);
}
