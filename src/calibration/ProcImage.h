#pragma once
// The image processor's numeric side, on plain planes of doubles: the Prewitt
// edge image, binarising, the normalised scalar product of a binary image
// shifted onto a reference, the hill climb over shifts, the threshold slider
// mapping and the pictures the window shows.
#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

#include <functional>

class TiffData;

struct ProcImage {
    ProcImage() = default;
    // Zeroed; a negative size is taken as 0.
    ProcImage(int w, int h);

    QVector<double> data; // row by row
    int width = 0;
    int height = 0;
    double min = 1.7976931348623157e308;
    double max = -1.7976931348623157e308;

    bool contains(qint64 x, qint64 y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    double at(int x, int y) const { return data[qsizetype(y) * width + x]; }
    double& at(int x, int y) { return data[qsizetype(y) * width + x]; }
    void updateRange();
};

namespace improc {

// The frame's own samples, its origin left out, with `border` more pixels on
// every side: pixel (i, j) is the sample at (i - border, j - border), or the
// nearest one of the frame where that lies outside.
ProcImage framePlane(const TiffData& f, int border);

// max(|gx|, |gy|) of the Prewitt operator, pixels outside src being 0. The
// result leaves out `border` pixels on every side of src.
ProcImage prewittEdges(const ProcImage& src, int border = 0);
// The frame's edge image from its own samples: a shift found on it is the
// frame's whole origin, whatever origin the frame has already. The border is
// no edge: outside pixels read as the nearest inside one.
ProcImage frameEdges(const TiffData& f);

// src moved by (dx, dy): out(x, y) = src(x - dx, y - dy), 0 where that lies outside.
ProcImage displaced(const ProcImage& src, qint64 dx, qint64 dy);

// 1 where th < edge, else 0 (a value equal to the threshold is 0).
ProcImage binarize(const ProcImage& edges, double th);

// Scalar product of ref(x, y) with bin(x - sx, y - sy) over the pixels where both
// exist, normalised by the sums of squares of the whole ref and the whole bin;
// 0 when that norm is not positive or the sizes differ.
double normScalarProduct(const ProcImage& ref, const ProcImage& bin, int sx, int sy);

struct Climb {
    int sx;
    int sy;
    double score;
};
// Moves from (sx, sy) to the neighbour whose score is strictly the best above
// `best` (ties keep the earlier neighbour) until none is better.
Climb hillClimb(const ProcImage& ref, const ProcImage& bin, int sx, int sy, double best);

// Slider 0..999 over the range min..max of the edge image.
double thresholdFromSlider(int value, double min, double max);
// Limited to 0..999; 0 for an empty range or a broken value.
int sliderFromThreshold(double th, double min, double max);

// The first six characters of the 'g' form with six digits.
QString scoreText(double s);

// Every pixel coloured by colorOf of its value normalised to the image's range
// (0 when the range is empty).
QImage valuePicture(const ProcImage& src, const std::function<QColor(double)>& colorOf);
// Reference in red, shifted binary image in green, blue where the shifted image
// has no pixel; sized from the reference. Returns the score of that shift.
double comparePicture(const ProcImage& ref, const ProcImage& bin, int sx, int sy, QImage& out);

} // namespace improc
