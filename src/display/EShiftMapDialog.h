#pragma once
// File dialog for one existing energy-shift map file.
#include "display/_FileDialog.h"

class EShiftMapDialog : public _FileDialog {
    Q_OBJECT
public:
    explicit EShiftMapDialog(const QString& title = QString(), QWidget* parent = nullptr);
};
