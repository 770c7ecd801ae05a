#pragma once
// The one rule by which a position of the current images takes its energy
// shift from the shift map.
#include <QtGlobal>

class Analyzed2DRes;

// Map position of image pixel x (or y): the map was measured on images whose
// detector offset was mapOffset, the current ones have imageOffset.
qint64 mapPosition(int x, int imageOffset, int mapOffset);

// The map's value at (mx, my), or that of its fitted quadratic surface when
// fitted; 0 outside the map (and for a map without data).
double mapShiftAt(const Analyzed2DRes& map, qint64 mx, qint64 my, bool fitted);
