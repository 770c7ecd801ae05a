#include "imagestack/EOFSetup.h"

#include "display/FieldValue.h"
#include "display/ScreenFit.h"
#include "display/_FileDialog.h"
#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"

#include <QButtonGroup>
#include <QDebug>

EOFSetup::EOFSetup(QWidget* parent)
    : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    fileDialog = new _FileDialog(QString(), nullptr);

    sourceGroup = new QButtonGroup(this);
    sourceGroup->setExclusive(true);
    sourceGroup->addButton(FromFileName);
    sourceGroup->addButton(FromFileNum);
    sourceGroup->addButton(FromRefFile);
    FromFileName->setChecked(true);
    evenGroup = new QButtonGroup(this);
    evenGroup->setExclusive(true);
    evenGroup->addButton(EvenInEnergy);
    evenGroup->addButton(EvenInAngle);
    EvenInAngle->setChecked(true);

    for (const QString& p : EnergyRules::defaultPatterns())
        addPattern(p);
    Pattern->setText(PatternList->itemText(0));
    newPattern();

    for (QLineEdit* e : {Factor, Start, Delta, End})
        watchNumberField(e, FieldKind::Real);
    watchNumberField(NumOfPoints, FieldKind::Positive);

    connect(Start, &QLineEdit::editingFinished, this, &EOFSetup::newStart);
    connect(Delta, &QLineEdit::editingFinished, this, &EOFSetup::newDelta);
    connect(End, &QLineEdit::editingFinished, this, &EOFSetup::newEnd);
    connect(NumOfPoints, &QLineEdit::editingFinished, this, &EOFSetup::newNumOfPoints);
    connect(Pattern, &QLineEdit::editingFinished, this, &EOFSetup::newPattern);
    connect(PatternList, &QComboBox::currentTextChanged, this, &EOFSetup::newPatternSelected);

    fileDialog->setFileMode(QFileDialog::AnyFile);
    fileDialog->setNameFilters({QStringLiteral("XAFS Data File (*.dat)"),
                                QStringLiteral("Any Files (* *.*)")});
    fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    connect(SelRefFile, &QPushButton::clicked, fileDialog, &_FileDialog::show);
    connect(fileDialog, &_FileDialog::fileSelected, this, &EOFSetup::refFileSelected);
}

EOFSetup::~EOFSetup()
{
    delete fileDialog;
}

EnergyRules EOFSetup::rules() const
{
    EnergyRules r;
    if (FromFileName->isChecked())
        r.source = EnergyRules::FromName;
    else if (FromRefFile->isChecked() && !FromFileNum->isChecked())
        r.source = EnergyRules::FromRefList;
    else
        r.source = EnergyRules::FromCalc;
    r.pattern = Pattern->text();
    r.factor = factor();
    r.refEnergies = refEnergies;
    r.correspondFromEnd = CorrespondFromEnd->isChecked();
    r.unit = DisplayUnit->currentIndex();
    r.evenInEnergy = EvenInEnergy->isChecked();
    r.start = EnergyRules::numberOf(Start->text());
    r.end = EnergyRules::numberOf(End->text());
    r.delta = EnergyRules::numberOf(Delta->text());
    r.numOfPoints = numOfPoints();
    return r;
}

QString EOFSetup::fieldMistake() const
{
    const EnergyRules r = rules();
    if (r.source == EnergyRules::FromName)
        return ::fieldMistake(Factor, FieldKind::Real, QStringLiteral("Factor"));
    if (r.source != EnergyRules::FromCalc)
        return QString();
    // Even in angle between energies, the end and the number of points give the step.
    const bool byEnds = !r.evenInEnergy && (r.unit == EnergyRules::UnitEV || r.unit == EnergyRules::UnitKeV);
    const QString m = firstFieldMistake(
        {{Start, "Start"}, {Delta, "Delta"}, {byEnds ? End : nullptr, "End"}}, FieldKind::Real);
    return m.isEmpty() && byEnds ? ::fieldMistake(NumOfPoints, FieldKind::Positive, QStringLiteral("Num")) : m;
}

double EOFSetup::energyOfFile(const QString& fileName, int fNo, int totalFiles) const
{
    return rules().energyOfFile(fileName, fNo, totalFiles, units);
}

double EOFSetup::energyFromFileName(const QString& fileName, int fNo) const
{
    return rules().energyFromFileName(fileName, fNo);
}

double EOFSetup::energyFromRefList(int fNo, int totalFiles) const
{
    return rules().energyFromRefList(fNo, totalFiles);
}

double EOFSetup::calculatedEnergy(int fNo) const
{
    return rules().calculatedEnergy(fNo, units);
}

double EOFSetup::factor() const
{
    return EnergyRules::factorOf(Factor->text());
}

int EOFSetup::numOfPoints() const
{
    return EnergyRules::integerOf(NumOfPoints->text());
}

void EOFSetup::addPattern(const QString& pattern)
{
    PatternList->addItem(pattern);
    PatternList->setCurrentIndex(PatternList->count() - 1);
}

void EOFSetup::recomputeEnd()
{
    // A field that holds no number is not taken as 0 into the other.
    if (!fieldReadable(Start, FieldKind::Real) || !fieldReadable(Delta, FieldKind::Real)
        || !fieldReadable(NumOfPoints, FieldKind::Positive))
        return;
    const std::optional<double> e = EnergyRules::endFor(EnergyRules::numberOf(Start->text()),
                                                        EnergyRules::numberOf(Delta->text()),
                                                        numOfPoints());
    if (e)
        End->setText(energyText(*e));
}

void EOFSetup::recomputeDelta()
{
    if (!fieldReadable(Start, FieldKind::Real) || !fieldReadable(End, FieldKind::Real)
        || !fieldReadable(NumOfPoints, FieldKind::Positive))
        return;
    const std::optional<double> d = EnergyRules::deltaFor(EnergyRules::numberOf(Start->text()),
                                                          EnergyRules::numberOf(End->text()),
                                                          numOfPoints());
    if (d)
        Delta->setText(energyText(*d));
}

void EOFSetup::newStart() { recomputeEnd(); }
void EOFSetup::newDelta() { recomputeEnd(); }
void EOFSetup::newEnd() { recomputeDelta(); }
void EOFSetup::newNumOfPoints() { recomputeDelta(); }

void EOFSetup::setStart(double v)
{
    Start->setText(energyText(v));
    newStart();
}

void EOFSetup::setDelta(double v)
{
    Delta->setText(energyText(v));
    newDelta();
}

void EOFSetup::setEnd(double v)
{
    End->setText(energyText(v));
    newEnd();
}

void EOFSetup::setNumOfPoints(int n)
{
    NumOfPoints->setText(QString::number(n));
    newNumOfPoints();
}

void EOFSetup::newPattern()
{
    const QString text = Pattern->text();
    Factor->setText(EnergyRules::factorTextFor(text));
    const int idx = PatternList->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (idx >= 0)
        PatternList->setCurrentIndex(idx); // comes back here once, then stops
    else
        addPattern(text);
}

void EOFSetup::newPatternSelected(const QString& pattern)
{
    Pattern->setText(pattern);
    newPattern();
}

void EOFSetup::setRefFile(const QString& fname)
{
    FromRefFile->setChecked(!fname.isEmpty());
    RefFilePath->setText(fname);
    if (!fname.isEmpty())
        refFileSelected(fname);
}

void EOFSetup::refFileSelected(const QString& fname)
{
    LineReader in;
    if (!in.open(fname)) {
        qDebug() << "Can't open ref file" << fname;
        return;
    }
    const QList<double> energies = EnergyRules::readRefFile(in, units);
    // A refused file changes nothing, as one that does not open.
    if (in.refused())
        return;
    RefFilePath->setText(fname);
    refEnergies = energies;
}
