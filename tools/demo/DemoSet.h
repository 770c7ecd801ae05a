#pragma once
// A synthetic copper field of view to try the program on: two phases (a Cu foil
// and CuO) mixed in a known fraction per pixel, imaged across the Cu K edge.
// Per pixel mu t = ln(I0/I1) is the edge jump times the mixture of the two
// normalised references plus a smooth matrix background; the counts carry a
// dark offset and Poisson-like noise. The same set comes out every time.
#include <QList>
#include <QString>
#include <QStringList>

#include <random>

namespace demo {

class DemoSet {
public:
    static const int width = 96;
    static const int height = 64;
    static constexpr double exposureSeconds = 0.5;
    static constexpr double edgeEV = 8979.0;

    static const char* const darkFile;
    static const char* const foilFile;   // two-column reference, Cu foil
    static const char* const oxideFile;  // two-column reference, CuO
    static const char* const truthFile;  // true foil fraction, one text row per image row
    static const char* const batchFile;          // window stays open
    static const char* const headlessBatchFile;  // ends with "quit"
    static const char* const resultsDir;

    DemoSet();

    // Frame energies in eV, ascending, each a whole number of 0.0001 eV.
    const QList<double>& energies() const { return energyList; }
    // "I1_08979_5000.tif": the energy as the default file-name pattern reads it.
    static QString frameName(const QString& stack, double e);

    // Normalised references: 0 well below the edge, about 1 well above it.
    static double foil(double e);
    static double oxide(double e);

    double fraction(int x, int y) const;  // of the foil; the rest is CuO
    double jump(int x, int y) const;
    double mut(int x, int y, double e) const;
    double incident(int x, int y, double e) const;  // I0 counts without dark and noise
    double darkLevel(int x, int y) const;

    // Writes frames, dark, references, truth and both batch files into folder
    // (made when missing), the batch files last, so their presence marks a
    // complete set. False with the reason in *error.
    bool write(const QString& folder, QString* error) const;
    // Batch lines; paths go through "$DataRoot$", the folder given with -d.
    QStringList batchLines(bool quitAtEnd) const;

private:
    double background(int x, int y, double e) const;
    bool writeFrames(const QString& folder, std::mt19937& gen, QString* error) const;
    bool writeReference(const QString& path, double (*curve)(double), const QString& title,
                        QString* error) const;
    bool writeTruth(const QString& path, QString* error) const;
    bool writeBatch(const QString& path, bool quitAtEnd, QString* error) const;

    QList<double> energyList;
};

} // namespace demo
