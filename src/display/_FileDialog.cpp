#include "display/_FileDialog.h"

#include "display/ScreenFit.h"
#include "foundation/Globals.h"

_FileDialog::_FileDialog(const QString& title, QWidget* parent)
    : QFileDialog(parent, QString(), QString(), QString())
{
    // Native dialogs ignore much of what the panels set and block the event loop.
    setOption(QFileDialog::DontUseNativeDialog);
    setWindowTitle(title);
    setDirectory(dataRoot);
    screenfit::keepInside(*this);
}
