#pragma once
// File dialog for image files: one file when single, else several.
#include "display/_FileDialog.h"

class SelectImgDialog : public _FileDialog {
    Q_OBJECT
public:
    SelectImgDialog(bool single, const QString& title = QString(), QWidget* parent = nullptr);
};
