#pragma once
// Texts and screen rectangles of the main window's overlay and pointer
// read-out, as plain functions of their numbers.
#include <QRect>
#include <QRectF>
#include <QString>

class ChCoord;

namespace readout {

// Toward zero; NaN gives 0 and values beyond the int range its ends.
int truncated(double v);

// Four significant digits with thousands commas: 1234.6 -> "1,235", 12345.678 -> "1.235e+04";
// whole counts whole: 19036 -> "19,036".
QString valueText(double v);
// Six significant digits with thousands commas, for the dark frame's value.
QString darkValueText(double v);
// "(x, y)-(x + w, y + h)" of the selected area, each truncated in a field of four.
QString boxSizeText(const QRectF& area);
QString posText(int v);
QString eShiftText(double v);
QString eShiftFromStdText(double v);

// Screen coordinates beyond this lie far off any widget; rectangles are kept
// inside it (a view bin of 2^31 pixels must not overflow QRect).
constexpr double maxScreenCoord = double(1 << 20);

// An area in image pixels on the screen, every coordinate truncated.
QRect screenRect(const ChCoord& cc, double x, double y, double w, double h);
// The pointed bin: it includes its centre, so it is 2|hw| + 1 pixels wide.
QRect binRect(const ChCoord& cc, int px, int py, int hw, int hh);
// Where the column profile puts row y: its abscissa runs from the height down.
double vCrossCursor(int y, int imageH);

} // namespace readout
