#pragma once
// Feature values of one spectrum: the first absorption maximum above the edge
// and the next rise after it. Zero fields mean "not found".
#include <QMetaType>

struct FeatureValue {
    double dM = 0.0;  // maximum's height over the pre-edge line
    double e1 = 0.0;  // energy of that maximum, eV
    double e2 = 0.0;  // energy of the next rise, eV
};

Q_DECLARE_METATYPE(FeatureValue)
