#pragma once
// How the energy of every image file of a data set is decided: by its name,
// from a list of reference angles or calculated from its number. A plain value
// filled from the energies panel; nothing here touches a widget. Angles and
// energies convert through the crystal of the Units given.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class LineReader;
class Units;

struct EnergyRules {
    enum Source { FromName, FromRefList, FromCalc };
    // Indexes of the panel's unit selector; NoUnit when nothing is current.
    enum Unit { NoUnit = -1, UnitEV = 0, UnitKeV = 1, UnitDeg = 2 };

    Source source = FromName;

    QString pattern;
    double factor = 1.0;

    QList<double> refEnergies;
    bool correspondFromEnd = true;

    int unit = UnitEV;
    bool evenInEnergy = false;
    double start = 8000.0;
    double end = 9000.0;
    double delta = 1.0;
    int numOfPoints = 1000;

    // Energy (eV) of file fNo (0-based, loading order) of totalFiles. Never
    // NaN or infinite: a rule that gives no finite energy gives 0.
    double energyOfFile(const QString& fileName, int fNo, int totalFiles,
                        const Units& units) const;
    // The pattern is matched against the name after its last "/" first, the
    // whole name only when that holds no match.
    double energyFromFileName(const QString& fileName, int fNo) const;
    double energyFromRefList(int fNo, int totalFiles) const;
    double calculatedEnergy(int fNo, const Units& units) const;

    // Widget texts as the rules read them.
    static double numberOf(const QString& text);      // 0 unless a finite number
    static int integerOf(const QString& text);        // 0 unless an integer
    static double factorOf(const QString& text);      // 1 unless finite and above 0
    static QString factorTextFor(const QString& pattern); // "1000" for keV patterns
    // Number in a matched part of a file name ("08980_1234" -> 8980.1234).
    static double valueOfMatch(const QString& matched);

    // Coupling of Start, Delta, End and the number of points; nothing when
    // n is below 1 or the result would not be finite.
    static std::optional<double> endFor(double start, double delta, int n);
    static std::optional<double> deltaFor(double start, double end, int n);

    // Energies of a reference file: a "9809" file takes column 1 after its
    // "Offset" line, at the crystal spacing its header states ("D=", else the
    // one of units), any other file column 0 of every line after the first.
    // The caller tells a refused file by in.refused().
    static QList<double> readRefFile(LineReader& in, const Units& units);
    static QList<double> readRefEnergies(LineReader& in, const QString& marker, int column,
                                         const Units& units);

    static const QStringList& defaultPatterns();
};
