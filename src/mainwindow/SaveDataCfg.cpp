#include "mainwindow/SaveDataCfg.h"
#include "display/ScreenFit.h"

#include <QButtonGroup>

SaveDataCfg::SaveDataCfg(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    // The four text choices share one frame: two groups keep them two pairs.
    separators = new QButtonGroup(this);
    separators->addButton(DataCommaSeparated);
    separators->addButton(DataSpaceSeparated);
    layouts = new QButtonGroup(this);
    layouts->addButton(DataXYVal);
    layouts->addButton(DataValValVal);
    DataCommaSeparated->setChecked(true);
    DataXYVal->setChecked(true);

    toggledSaveAs(SaveAsTiff->isChecked());
    connect(SaveAsTiff, &QRadioButton::toggled, this, &SaveDataCfg::toggledSaveAs);
}

SaveDataCfg::~SaveDataCfg() = default;

void SaveDataCfg::toggledSaveAs(bool f)
{
    TiffCfg->setEnabled(f);
    TextCfg->setEnabled(!f);
}

void SaveDataCfg::setSaveAsTiff() { SaveAsTiff->setChecked(true); }
void SaveDataCfg::setSaveAsText() { SaveAsTextData->setChecked(true); }
void SaveDataCfg::setSaveTiffScaleFixed(bool f) { TiffFixedScale->setChecked(f); }
void SaveDataCfg::setSaveTiffScaleMin(double min) { TiffScaleMin->setText(QString::number(min, 'g', 6)); }
void SaveDataCfg::setSaveTiffScaleMax(double max) { TiffScaleMax->setText(QString::number(max, 'g', 6)); }
void SaveDataCfg::setSaveTiffAsAnalyzed(bool f) { TiffAsAnalyzed->setChecked(f); }
void SaveDataCfg::setSaveTextAsCSV() { DataCommaSeparated->setChecked(true); }
void SaveDataCfg::setSaveTextAsSSV() { DataSpaceSeparated->setChecked(true); }
void SaveDataCfg::setSaveTextAsXYVal() { DataXYVal->setChecked(true); }
void SaveDataCfg::setSaveTextAsValValVal() { DataValValVal->setChecked(true); }
