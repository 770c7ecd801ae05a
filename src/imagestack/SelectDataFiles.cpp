#include "imagestack/SelectDataFiles.h"

#include "display/FieldValue.h"
#include "display/SelectImgDialog.h"
#include "foundation/TextUtils.h"
#include "display/FrontWindow.h"
#include "imagestack/EOFSetup.h"

#include <QButtonGroup>

#include <limits>

SelectDataFiles::SelectDataFiles(QWidget* parent)
    : QFrame(parent)
{
    setupUi(this);

    loadModeGroup = new QButtonGroup(this);
    loadModeGroup->setExclusive(true);
    loadModeGroup->addButton(LoadNewFiles);
    loadModeGroup->addButton(AddFiles);
    LoadNewFiles->setChecked(true);

    fileDialog = new SelectImgDialog(false, QString(), nullptr);
    eofSetup = new EOFSetup(nullptr);

    connect(Selected, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SelectDataFiles::newImageSelected);
    connect(Select, &QPushButton::clicked, fileDialog, &_FileDialog::show);
    connect(fileDialog, &_FileDialog::filesSelected, this,
            [this](const QStringList& files) { emit filesSelected(files, LoadNewFiles->isChecked()); });
    connect(Clear, &QPushButton::clicked, this, &SelectDataFiles::clear);
    connect(EngOfFilesSetup, &QPushButton::clicked, this, [this] { showInFront(eofSetup); });
    connect(AdditionalSetup, &QPushButton::clicked, this, [this] { showInFront(&additionalSetup); });
    connect(&additionalSetup, &SelectDataFilesAdditionalSetup::setDarkArea, this,
            &SelectDataFiles::setDarkArea);
    connect(&additionalSetup, &SelectDataFilesAdditionalSetup::updateDarkArea, this,
            &SelectDataFiles::updateDarkArea);
    connect(&additionalSetup, &SelectDataFilesAdditionalSetup::clearDarkArea, this,
            &SelectDataFiles::clearDarkArea);
    for (QLineEdit* e : {Skip, CutFirst, CutLast})
        watchNumberField(e, FieldKind::Count);
}

SelectDataFiles::~SelectDataFiles()
{
    // Both are parentless windows of this panel; nothing else holds them.
    delete fileDialog;
    delete eofSetup;
}

double SelectDataFiles::addFile(const QString& fileName, int fNo, int totalFiles)
{
    return Batch(this).addFile(fileName, fNo, totalFiles);
}

SelectDataFiles::Batch::Batch(SelectDataFiles* panel) : panel(panel), rules(panel->eofSetup->rules())
{
}

SelectDataFiles::Batch::~Batch()
{
    if (added)
        panel->Count->setText(QString::number(panel->Selected->count()));
}

double SelectDataFiles::Batch::addFile(const QString& fileName, int fNo, int totalFiles)
{
    const double e = panel->eofSetup->energyOfFile(rules, fileName, fNo, totalFiles);
    panel->Selected->addItem(fileName, e);
    added = true;
    return e;
}

int SelectDataFiles::skip() const
{
    bool ok = false;
    const int v = Skip->text().toInt(&ok);
    return ok && v >= 2 ? v : 1;
}

int SelectDataFiles::cutFirst() const
{
    bool ok = false;
    const int v = CutFirst->text().toInt(&ok);
    return ok && v >= 0 ? v : 0;
}

int SelectDataFiles::cutLast() const
{
    bool ok = false;
    const int v = CutLast->text().toInt(&ok);
    return ok && v >= 0 ? v : 0;
}

QString SelectDataFiles::settingsMistake() const
{
    const QString m = firstFieldMistake({{Skip, "Skip"}, {CutFirst, "Cut F."}, {CutLast, "Cut L."}}, FieldKind::Count);
    return m.isEmpty() ? eofSetup->fieldMistake() : m;
}

void SelectDataFiles::setTitle(const QString& title)
{
    Select->setText(title);
    fileDialog->setWindowTitle(title);
    // Each window as the button that opens it, so that the three tell apart.
    eofSetup->setWindowTitle(title + u' ' + EngOfFilesSetup->text());
    additionalSetup.setWindowTitle(title + u' ' + AdditionalSetup->text());
}

void SelectDataFiles::newImageSelected(int i)
{
    if (additionalSetup.ShowLatest->isChecked())
        emit currentIndexChanged(i);
}

void SelectDataFiles::clearFiles()
{
    Selected->clear();
    Count->setText(QStringLiteral("0"));
}

void SelectDataFiles::prev()
{
    const int i = Selected->currentIndex();
    if (i > 0)
        Selected->setCurrentIndex(i - 1);
}

void SelectDataFiles::next()
{
    const int i = Selected->currentIndex();
    if (i < Selected->count() - 1)
        Selected->setCurrentIndex(i + 1);
}

void SelectDataFiles::select(int idx)
{
    if (idx >= 0 && idx < Selected->count())
        Selected->setCurrentIndex(idx);
}

void SelectDataFiles::setSkip(int skip) { Skip->setText(QString::number(skip)); }
void SelectDataFiles::setCutF(int cutF) { CutFirst->setText(QString::number(cutF)); }
void SelectDataFiles::setCutL(int cutL) { CutLast->setText(QString::number(cutL)); }
void SelectDataFiles::setShowLatest(bool f) { additionalSetup.ShowLatest->setChecked(f); }
void SelectDataFiles::setEngByName(bool f) { eofSetup->FromFileName->setChecked(f); }
void SelectDataFiles::setEngByCalc(bool f) { eofSetup->FromFileNum->setChecked(f); }
void SelectDataFiles::setEvenInEng(bool f) { eofSetup->EvenInEnergy->setChecked(f); }
void SelectDataFiles::setEvenInDeg(bool f) { eofSetup->EvenInAngle->setChecked(f); }
void SelectDataFiles::setEngCalcStart(double start) { eofSetup->setStart(start); }
void SelectDataFiles::setEngCalcDelta(double delta) { eofSetup->setDelta(delta); }
void SelectDataFiles::setEngCalcEnd(double start) { eofSetup->setEnd(start); }
void SelectDataFiles::setEngCalcNum(int delta) { eofSetup->setNumOfPoints(delta); }

void SelectDataFiles::setDispUnit(int idx)
{
    // A negative index leaves no unit current.
    if (idx < eofSetup->DisplayUnit->count())
        eofSetup->DisplayUnit->setCurrentIndex(idx < 0 ? -1 : idx);
}

void SelectDataFiles::setEngByNameRegExp(const QString& pattern)
{
    eofSetup->Pattern->setText(pattern);
}

void SelectDataFiles::setEngByNameFactor(double factor)
{
    eofSetup->Factor->setText(energyText(factor));
}

void SelectDataFiles::setExpTimeMS(double ms, bool ok)
{
    ExpTime->setText(QString::number(ms, 'g', 6));
    const QString sheet = ok ? QStringLiteral("background-color: rgb(255, 255, 255);")
                             : QStringLiteral("background-color: rgb(255, 192, 192);");
    // Set again, the same sheet polishes the field anew all the same.
    if (ExpTime->styleSheet() != sheet)
        ExpTime->setStyleSheet(sheet);
}

void SelectDataFiles::setEngByRef(const QString& fname) { eofSetup->setRefFile(fname); }

void SelectDataFiles::darkArea(const QRectF& darkArea) { additionalSetup.darkArea(darkArea); }

void SelectDataFiles::noDarkArea()
{
    // No corner is a number: the field reads as the form's "(-,-)-(-,-)".
    const double none = std::numeric_limits<double>::quiet_NaN();
    additionalSetup.darkArea(QRectF(none, none, none, none));
}
