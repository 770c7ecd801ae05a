#pragma once
// The feature values of a two-dimensional analysis as points: x = dM and
// y = e2 - e1 of every analysed bin, in the order the bins were analysed.
#include <QVector>

struct FeatureValue;

struct FVAxis {
    QVector<double> values;
    double min = 1.7976931348623157e308;
    double max = -1.7976931348623157e308;
    double sum = 0.0;
    double sum2 = 0.0;

    void clear();
    // A value that is not finite is kept but leaves min and max alone.
    void add(double v);
};

class FVPoints {
public:
    FVAxis x; // dM
    FVAxis y; // e2 - e1
    // Bins given no point: without an absorption maximum, or with one but no rise after it.
    int noMaximum = 0;
    int noE2 = 0;

    void clear();
    void add(double dM, double dE12);
    // x = dM, y = e2 - e1, of a bin with an absorption maximum and a rise
    // after it only: without a maximum, e2 is merely the spectrum's first
    // rise; without a rise, e2 - e1 is -e1. Either is far off every real
    // e2 - e1 and would squeeze the real points flat. False when nothing was
    // added (the bin is counted instead).
    bool add(const FeatureValue& fv);
    int count() const { return int(x.values.size()); }
};
