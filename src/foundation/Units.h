#pragma once
// Display units and the energy <-> Bragg angle conversion of the monochromator.
#include <QObject>
#include <QString>

struct UnitData {
    QString name;
    const char* format; // printf style
};

// Index = unit number: eV, keV, A, deg.
extern const UnitData unitTable[4];

class Units : public QObject {
    Q_OBJECT
public:
    explicit Units(QObject* parent = nullptr);

    double D = 3.13553; // crystal lattice spacing, angstrom

    // Bragg angle in degrees for a photon energy in eV; -1.0 when there is none.
    double eVToDeg(double eV) const;
    // Photon energy in eV for a Bragg angle in degrees.
    double degToEV(double deg) const;

public slots:
    void setD(double D);
};
