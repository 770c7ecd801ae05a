#include "EnergyFiles.h"

#include <QFile>

#include <cmath>

namespace energytest {

double braggEnergy(double deg)
{
    const double hc = 12398.424360387684;
    const double pi = 3.1415926535;
    const double d = 3.13553;
    return hc / (2.0 * d * std::sin(deg * pi / 180.0));
}

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(text) == text.size();
}

} // namespace energytest
