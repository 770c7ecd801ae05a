#pragma once
// One-line chooser of an XAFS spectrum file: name field, Select, Clear and an
// optional Use check box. It reads nothing; owners read the file on newFile.
#include "ui_XafsFileSelect.h"

#include <QFrame>

class _FileDialog;

class XafsFileSelect : public QFrame, public Ui_XafsFileSelect {
    Q_OBJECT
public:
    explicit XafsFileSelect(QWidget* parent = nullptr);
    ~XafsFileSelect() override;

    bool hasFile = false;             // a file name is set (a fit uses the row only then)
    _FileDialog* fileDialog = nullptr; // owned; no parent so it opens as its own window

signals:
    void changedUse(bool f);
    void newFile(QString fname);
    void cleared();

public slots:
    void load(const QString& fname);
    void fileSelected(const QString& fname);
    void fileNameValid(bool f);
    void clear();
    void setUse(bool f);
    void showUse(bool f);
    void setMaxSelectBW(int max);
    void setMaxClearBW(int max);
};
