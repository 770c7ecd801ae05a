#pragma once
// The analysis area of the field of view and the grid of pixel bins over it,
// walked in raster order (x inner, rows top to bottom).
#include <QMetaType>

class AnalyzeCond {
public:
    AnalyzeCond() = default;

    // rect: x, y, width, height. A negative step gives bins that tile the area
    // (2 * half size + 1). Half sizes below 0 count as 0, steps below 1 as 1.
    void setup(int W, int H, int hx, int hy, const double rect[4], int stepX, int stepY);
    void reset();
    // Moves to the next bin; false once the rows are exhausted.
    bool next();
    // Writes v into the current bin of img (W values per row, H rows); the part
    // of the bin outside the image is left alone.
    void fillBin(double* img, double v) const;
    // Drops the bins whose centre lies off the W x H image, keeping the grid's
    // alignment, so the bins that remain are the same bins as before and a
    // region far outside the image is never walked. False when no bin is left.
    bool clipToImage();
    // Bins a walk visits in each row, and rows of bins: at least one each.
    long long columns() const;
    long long rows() const;

    int W = 0;
    int H = 0;
    int hx = 0;
    int hy = 0;
    int x0 = 0;
    int x1 = 0;
    int stepX = 1;
    int y0 = 0;
    int y1 = 0;
    int stepY = 1;
    int cx = 0;
    int cy = 0;
    bool first = true;
};

Q_DECLARE_METATYPE(AnalyzeCond)
