#pragma once
// Setup window that decides the energy of every image file of one data set.
#include "foundation/Units.h"
#include "imagestack/EnergyRules.h"
#include "ui_EOFSetup.h"

#include <QFrame>
#include <QList>
#include <QString>

class QButtonGroup;
class _FileDialog;

class EOFSetup : public QFrame, public Ui_EngOfFilesSetup {
    Q_OBJECT
public:
    explicit EOFSetup(QWidget* parent = nullptr);
    ~EOFSetup() override;

    double energyOfFile(const QString& fileName, int fNo, int totalFiles) const;
    // The same by rules read from the widgets before.
    double energyOfFile(const EnergyRules& r, const QString& fileName, int fNo, int totalFiles) const
    {
        return r.energyOfFile(fileName, fNo, totalFiles, units);
    }
    double energyFromFileName(const QString& fileName, int fNo) const;
    double energyFromRefList(int fNo, int totalFiles) const;
    double calculatedEnergy(int fNo) const;

    double factor() const;
    int numOfPoints() const;
    void addPattern(const QString& pattern);

    void setStart(double v);
    void setDelta(double v);
    void setEnd(double v);
    void setNumOfPoints(int n);
    void setRefFile(const QString& fname);

    // The rules as the widgets stand now.
    EnergyRules rules() const;
    // The first field the chosen source reads that holds no number of its
    // kind, told as its name and text; empty when they all hold one.
    QString fieldMistake() const;
    const QList<double>& refEnergyList() const { return refEnergies; }
    _FileDialog* refFileDialog() const { return fileDialog; }

public slots:
    void newStart();
    void newDelta();
    void newEnd();
    void newNumOfPoints();
    void newPattern();
    void newPatternSelected(const QString& pattern);
    void refFileSelected(const QString& fname);

private:
    void recomputeEnd();
    void recomputeDelta();

    Units units; // crystal spacing 3.13553, never changed here
    QList<double> refEnergies;
    _FileDialog* fileDialog;
    QButtonGroup* sourceGroup;
    QButtonGroup* evenGroup;
};
