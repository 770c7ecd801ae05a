#pragma once
// Frames built in memory, with float samples as a text image holds them, for
// tests that need exact pixel values without going through a file.
#include <QVector>

class TiffData;

namespace craft {

// samples: w x h values, top row first. The caller owns the frame.
TiffData* floatFrame(int w, int h, const QVector<double>& samples);
TiffData* flatFrame(int w, int h, double value);

} // namespace craft
