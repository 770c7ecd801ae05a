#pragma once
// Helpers of the energies-of-files tests: Bragg's law worked out apart from
// the program, and small text files written in place.
#include <QByteArray>
#include <QString>

namespace energytest {

// Energy (eV) of a Bragg angle in degrees for the Si(111) spacing 3.13553,
// with the beamline's hc and its value of pi.
double braggEnergy(double deg);

bool writeFile(const QString& path, const QByteArray& text);

} // namespace energytest
