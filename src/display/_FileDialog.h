#pragma once
// The program's file dialog: never the platform's own, opening in the data root.
#include <QFileDialog>

class _FileDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit _FileDialog(const QString& title = QString(), QWidget* parent = nullptr);
};
