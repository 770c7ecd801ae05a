#pragma once
// Cross-section of the main image through the pointer: value against x in the
// horizontal view, value against y (value axis horizontal) in the vertical one,
// with a cursor line at the pointer. The main window writes the profile, the
// orientation and the cursor and repaints.
#include "display/ChCoord.h"
#include "display/DispA.h"
#include "foundation/Spectrum.h"

class CrossSView : public DispA {
    Q_OBJECT
public:
    explicit CrossSView(QWidget* parent = nullptr);

    ChCoord ownCc;         // used instead of the canvas's mapping
    Spectrum profile;      // (position, value)
    bool vertical = false;
    int cursor = 0;        // pointer on the position axis, without the offset

public slots:
    void draw(QPainter* p);

private:
    void finiteRange(double off, double& p0, double& p1, double& v0, double& v1) const;
};
