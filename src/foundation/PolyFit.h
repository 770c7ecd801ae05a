#pragma once
// Streaming least-squares polynomial of order n - 1 with an optional RMS history.
#include <QList>

class PolyFit {
public:
    explicit PolyFit(int nCoefficients, bool autoSolve = false);

    int n;
    QList<double> coefficients;  // lowest power first
    QList<double> powerSums;     // Σx^k, k = 0 .. 2n - 1
    QList<double> rightSums;     // Σy·x^k, k = 0 .. n - 1
    double sumYY = 0.0;
    int count = 0;
    bool autoSolve;
    QList<double> rmsHistory;    // one entry per point while autoSolve is on; -1 for a failed solve
    double lastRms = 0.0;

    void addPoint(double x, double y);
    bool solve();
    double rms();
};
