#pragma once
// Header record of an energy-shift map file.
#include <QMetaType>
#include <QString>

struct EMPHeader {
    bool valid = false;
    int xOffset = 0;
    int yOffset = 0;
    int width = 0;
    int height = 0;
    int binHalfWidth = 0;
    int binHalfHeight = 0;
    int areaX0 = 0;
    int areaX1 = 0;
    int areaY0 = 0;
    int areaY1 = 0;
    double stdEdgeEnergy = 0.0;
    double spacing = 0.0;
    QString stdFileName; // the standard the map was measured against
};

Q_DECLARE_METATYPE(EMPHeader)

// The edge energy (eV) and crystal spacing (Å) a map's shifts are taken at.
struct EMPEdge {
    double e0 = 0.0; // none when not positive
    double spacing = 0.0;
};
