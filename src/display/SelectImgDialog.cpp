#include "display/SelectImgDialog.h"

SelectImgDialog::SelectImgDialog(bool single, const QString& title, QWidget* parent)
    : _FileDialog(title, parent)
{
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(single ? QFileDialog::ExistingFile : QFileDialog::ExistingFiles);
    setNameFilters(QStringList()
                   << QStringLiteral("CTTR Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)")
                   << QStringLiteral("Any Files (* *.*)"));
}
