#pragma once
// How a value normalised to the data range becomes a display colour: the colour
// bar's thresholds and the colour table of its format, held by value so frames
// and maps are coloured without touching the widget.
#include "foundation/Globals.h"

#include <QColor>
#include <QImage>

class ColorScale {
public:
    // Grey, thresholds 0 and 1: the colour bar as it is built.
    ColorScale() = default;
    ColorScale(int format, double lowerTh, double upperTh);

    int format = QImage::Format_Grayscale8;
    double lowerTh = 0.0; // fractions of the data range; not kept in order
    double upperTh = 1.0;

    // t through the thresholds, limited to 0..1.
    double thresholded(double t) const;
    // Writes the colour of t at p and returns p past it; nothing is written when
    // bufferFormat (the format of the buffer behind p) is not the scale's format.
    uchar* putColor(double t, uchar* p, int bufferFormat) const;
    // Invalid for a format without a colour table.
    QColor colorOf(double t) const;

    bool operator==(const ColorScale& o) const
    {
        return format == o.format && lowerTh == o.lowerTh && upperTh == o.upperTh;
    }
    bool operator!=(const ColorScale& o) const { return !(*this == o); }

private:
    ColorMapFunc table = greyMapColor;
};
