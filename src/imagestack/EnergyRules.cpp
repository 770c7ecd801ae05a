#include "imagestack/EnergyRules.h"

#include "foundation/LineReader.h"
#include "foundation/Units.h"
#include "foundation/XafsSpectrum.h"

#include <QDebug>
#include <QRegularExpression>

#include <cmath>

double EnergyRules::energyOfFile(const QString& fileName, int fNo, int totalFiles,
                                 const Units& units) const
{
    double e = 0.0;
    switch (source) {
    case FromName:
        e = energyFromFileName(fileName, fNo);
        break;
    case FromRefList:
        e = energyFromRefList(fNo, totalFiles);
        break;
    case FromCalc:
        e = calculatedEnergy(fNo, units);
        break;
    }
    // An infinite or undefined energy would spoil every range and fit of the stack.
    return std::isfinite(e) ? e : 0.0;
}

double EnergyRules::energyFromFileName(const QString& fileName, int fNo) const
{
    double v = fNo;
    // Compiled once, not once a file: a stack of thousands of files is named
    // by one pattern.
    thread_local QRegularExpression re;
    if (re.pattern() != pattern)
        re.setPattern(pattern);
    if (re.isValid()) {
        // A folder named by date would otherwise give every file its number;
        // the whole name still serves energies written in folder names.
        QRegularExpressionMatch m = re.match(fileName.mid(fileName.lastIndexOf(u'/') + 1));
        if (!m.hasMatch())
            m = re.match(fileName);
        if (m.hasMatch())
            v = valueOfMatch(m.captured(0));
    }
    return v * factor;
}

double EnergyRules::energyFromRefList(int fNo, int totalFiles) const
{
    const int count = int(refEnergies.size());
    if (count == 0)
        return 8000.0 + fNo;
    // 64-bit so that extreme counts cannot overflow the index arithmetic.
    qint64 k = fNo;
    if (correspondFromEnd)
        k += qint64(count) - totalFiles;
    if (k < 0)
        return refEnergies.first();
    if (k >= count)
        return refEnergies.last();
    return refEnergies.at(int(k));
}

double EnergyRules::calculatedEnergy(int fNo, const Units& units) const
{
    const double x = start + fNo * delta;
    double thetaS = 0.0;
    double thetaE = 0.0;
    switch (unit) {
    case UnitDeg:
        return units.degToEV(x);
    case UnitKeV:
        if (evenInEnergy)
            return x * 1000.0;
        thetaS = units.eVToDeg(start * 1000.0);
        thetaE = units.eVToDeg(end * 1000.0);
        break;
    case UnitEV:
        if (evenInEnergy)
            return x;
        thetaS = units.eVToDeg(start);
        thetaE = units.eVToDeg(end);
        break;
    default:
        return x;
    }
    // Without a number of points there is no step: every file takes the start.
    double theta = thetaS;
    if (numOfPoints >= 1)
        theta = thetaS + fNo * (thetaE - thetaS) / numOfPoints;
    return units.degToEV(theta);
}

double EnergyRules::numberOf(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int EnergyRules::integerOf(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? v : 0;
}

double EnergyRules::factorOf(const QString& text)
{
    const double v = numberOf(text);
    return v > 0.0 ? v : 1.0;
}

QString EnergyRules::factorTextFor(const QString& pattern)
{
    return pattern.toUpper().contains(QLatin1String("KEV")) ? QStringLiteral("1000")
                                                            : QStringLiteral("1");
}

double EnergyRules::valueOfMatch(const QString& matched)
{
    QString t = matched.toUpper();
    t.replace(QLatin1Char('_'), QLatin1Char('.'));
    t.remove(QLatin1String("KEV"));
    t.remove(QLatin1String("EV"));
    return numberOf(t);
}

std::optional<double> EnergyRules::endFor(double start, double delta, int n)
{
    if (n < 1)
        return std::nullopt;
    const double e = start + delta * n;
    if (!std::isfinite(e))
        return std::nullopt;
    return e;
}

std::optional<double> EnergyRules::deltaFor(double start, double end, int n)
{
    if (n < 1)
        return std::nullopt;
    const double dl = (end - start) / n;
    if (!std::isfinite(dl))
        return std::nullopt;
    return dl;
}

QList<double> EnergyRules::readRefFile(LineReader& in, const Units& units)
{
    QString line;
    in.readLine(line);
    const QString first = line.simplified().split(QLatin1Char(' ')).first();
    if (first == QLatin1String("9809"))
        return readRefEnergies(in, QStringLiteral("Offset"), 1, units);
    return readRefEnergies(in, QString(), 0, units);
}

QList<double> EnergyRules::readRefEnergies(LineReader& in, const QString& marker,
                                           int column, const Units& units)
{
    qDebug() << "reading simple";
    QList<double> list;
    bool reading = marker.isEmpty();
    // The crystal a header states, as the spectrum reader takes it from the same file.
    Units crystal;
    crystal.setD(units.D);
    QString line;
    while (in.readLine(line)) {
        if (!reading) {
            const QString simple = line.simplified();
            crystal.setD(XafsSpectrum::headerSpacing(simple.split(QLatin1Char(' ')), crystal.D));
            reading = simple.startsWith(marker);
            continue;
        }
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() <= column)
            continue;
        // A blank or broken line has no angle; taking it as 0 would add an
        // infinite energy and shift every later file by one.
        bool ok = false;
        const double e = crystal.degToEV(fields.at(column).toDouble(&ok));
        if (ok && std::isfinite(e) && e > 0.0)
            list.append(e);
    }
    return list;
}

const QStringList& EnergyRules::defaultPatterns()
{
    static const QStringList patterns = {
        QStringLiteral("(\\d|)\\d\\d\\d\\d_\\d\\d\\d\\d"),
        QStringLiteral("\\d\\d\\d\\d_\\d\\d\\d\\d"),
        QStringLiteral("\\d\\d\\d\\d_\\d\\d"),
        QStringLiteral("\\d\\d\\d\\d_\\d\\deV"),
        QStringLiteral("\\d\\d\\d\\d\\.\\d\\d\\d\\d"),
        QStringLiteral("\\d\\d\\d\\d\\.\\d\\d"),
        QStringLiteral("\\d\\d\\d\\d\\.\\d\\deV"),
        QStringLiteral("\\d\\d\\d\\d\\.\\d"),
        QStringLiteral("\\d\\d_\\d\\d\\d\\d\\d\\dKeV"),
        QStringLiteral("\\d_\\d\\d\\d\\d\\d\\dKeV"),
    };
    return patterns;
}
