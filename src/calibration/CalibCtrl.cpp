#include "calibration/CalibCtrl.h"

#include "display/EShiftMapDialog.h"
#include "display/FieldValue.h"
#include "display/ScreenFit.h"
#include "foundation/TextUtils.h"
#include "foundation/XafsSpectrum.h"

#include <QButtonGroup>

namespace {
struct Crystal {
    const char* name;
    double spacing; // Å
};
const Crystal crystals[] = {
    {"Si(111)", 3.1355316}, {"Si(311)", 1.637478}, {"Si(333)", 1.0451772},
    {"Ge(111)", 3.2663822}, {"Ge(333)", 1.0887941},
};
} // namespace

CalibCtrl::CalibCtrl(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    watchNumberField(DEw, FieldKind::NotNegative);
    for (QLineEdit* e : {DEs, MinDEs})
        watchNumberField(e, FieldKind::Real);
    watchNumberField(EdgeEeV, FieldKind::RealOrEmpty);
    for (const Crystal& c : crystals)
        SelCrystal->addItem(QString::fromLatin1(c.name), c.spacing);

    calibTypeGroup = new QButtonGroup();
    calibTypeGroup->addButton(CalibTypeDMidX);
    calibTypeGroup->addButton(CalibTypeInnerP);
    calibTypeGroup->setExclusive(true);
    CalibTypeDMidX->setChecked(true);
    InnerPCtrl->show();

    loadMapDialog = new EShiftMapDialog(QString());
    connect(LoadMap, &QPushButton::clicked, loadMapDialog, &_FileDialog::show);
    connect(loadMapDialog, &_FileDialog::fileSelected, this, &CalibCtrl::loadEMap);
    saveMapDialog = new EShiftMapDialog(QString());
    saveMapDialog->setFileMode(QFileDialog::AnyFile);
    saveMapDialog->setAcceptMode(QFileDialog::AcceptSave);
    connect(SaveMap, &QPushButton::clicked, saveMapDialog, &_FileDialog::show);
    // The main window saves the map through saveMapDialog.

    SelectStd->Select->setText(tr("Select Std."));

    connect(SelectStd, &XafsFileSelect::newFile, this, &CalibCtrl::newFile);
    connect(ExecCalib, &QPushButton::clicked, this, &CalibCtrl::execCalibration);
    connect(StdBGVictreen, &QRadioButton::toggled, this, &CalibCtrl::stdBGToggled);
    connect(ClearMap, &QPushButton::clicked, this, &CalibCtrl::clearMap);
}

CalibCtrl::~CalibCtrl()
{
    delete standard;
    // Without parents: they would otherwise live until the program ends.
    delete saveMapDialog;
    delete loadMapDialog;
    delete calibTypeGroup;
}

double CalibCtrl::spacing() const { return SelCrystal->currentData().toDouble(); }

QString CalibCtrl::crystalName() const { return SelCrystal->currentText(); }

double CalibCtrl::edgeEV() const { return EdgeEeV->text().toDouble(); }

QString CalibCtrl::walkMistake() const
{
    const bool innerP = CalibTypeInnerP->isChecked();
    // A negative range would search no shift at all.
    const QString m = firstFieldMistake({{innerP ? DEw : nullptr, "Initial E-range"}}, FieldKind::NotNegative);
    if (!m.isEmpty())
        return m;
    return firstFieldMistake({{innerP ? DEs : nullptr, "E-step"},
                              {innerP ? MinDEs : nullptr, "Min. E-step"}},
                             FieldKind::Real);
}

QString CalibCtrl::edgeMistake() const
{
    return fieldMistake(EdgeEeV, FieldKind::RealOrEmpty, QStringLiteral("Edge energy"));
}

QString CalibCtrl::standardMistake() const
{
    if (standard && standard->size() > 0)
        return QString();
    return QStringLiteral("no standard spectrum: choose its file (Select Std.)");
}

int CalibCtrl::xOffset() const { return XOffset->text().toInt(); }

int CalibCtrl::yOffset() const { return YOffset->text().toInt(); }

QString CalibCtrl::progressText(double p)
{
    return QStringLiteral("%1").arg(p, 5, 'f', 1);
}

int CalibCtrl::stdMode() const { return StdBGVictreen->isChecked() ? 0 : 1; }

void CalibCtrl::newFile(QString fname)
{
    delete standard;
    standard = new XafsSpectrum();
    const QString why = standard->readFileTold(fname);
    if (!why.isEmpty()) {
        SelectStd->clear();
        if (!fname.isEmpty())
            emit mistake(QStringLiteral("Standard: %1").arg(why));
        return;
    }
    standard->normMode = stdMode();
    standard->normalize(standard->normMode);
    EdgeEeV->setText(energyText(standard->e0));
    emit newStdFileLoaded();
}

void CalibCtrl::stdBGToggled(bool)
{
    if (!standard)
        return;
    standard->normMode = stdMode();
    standard->normalize(standard->normMode);
}

void CalibCtrl::loadStd(QString fname) { SelectStd->load(fname); }

void CalibCtrl::setEdgeEV(QString eV) { EdgeEeV->setText(eV); }

void CalibCtrl::loadEShiftMap(QString fname) { emit loadEMap(fname); }

void CalibCtrl::progress(double p) { Progress->setText(progressText(p)); }
