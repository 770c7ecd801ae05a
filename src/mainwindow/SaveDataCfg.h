#pragma once
// The save-data settings window: TIFF or text, and their options. It keeps
// nothing beyond its widgets; the savers read them when they save.
#include "ui_SaveDataCfg.h"

#include <QFrame>

class QButtonGroup;

class SaveDataCfg : public QFrame, public Ui_SaveDataCfg {
    Q_OBJECT
public:
    explicit SaveDataCfg(QWidget* parent = nullptr);
    ~SaveDataCfg() override;

public slots:
    void toggledSaveAs(bool f);
    void setSaveAsTiff();
    void setSaveAsText();
    void setSaveTiffScaleFixed(bool f);
    void setSaveTiffScaleMin(double min);
    void setSaveTiffScaleMax(double max);
    void setSaveTiffAsAnalyzed(bool f);
    void setSaveTextAsCSV();
    void setSaveTextAsSSV();
    void setSaveTextAsXYVal();
    void setSaveTextAsValValVal();

private:
    QButtonGroup* separators;
    QButtonGroup* layouts;
};
