#include "foundation/Units.h"

#include <cmath>

namespace {
const double hc = 12398.424360387684; // eV * angstrom
const double PI = 3.1415926535;       // the value the energy files were written with
} // namespace

const UnitData unitTable[4] = {
    {QStringLiteral("eV"), "% 8.2f"},
    {QStringLiteral("keV"), "% 8.5f"},
    {QStringLiteral("A"), "% 8.5f"},
    {QStringLiteral("deg"), "% 8.5f"},
};

Units::Units(QObject* parent) : QObject(parent) {}

void Units::setD(double d)
{
    D = d;
}

double Units::eVToDeg(double eV) const
{
    double s = (hc / eV) / (2.0 * D);
    // Written so that NaN (E or D of NaN, E = 0 with D = 0) also has no angle.
    if (!(std::fabs(s) <= 1.0))
        return -1.0;
    return std::asin(s) / PI * 180.0;
}

double Units::degToEV(double deg) const
{
    return hc / (2.0 * D * std::sin(deg / 180.0 * PI));
}
