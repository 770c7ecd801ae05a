#include "foundation/AnalyzeCond.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
int saturate(long long v)
{
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

// Truncation toward zero that never hands NaN or an out-of-range value to the cast.
int truncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// Fields may also be set directly (from a map file's header, for instance):
// a step below 1 would never leave its row.
int usableStep(int step)
{
    return step < 1 ? 1 : step;
}

int usableHalf(int h)
{
    return h < 0 ? 0 : h;
}

long long floorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

long long ceilDiv(long long a, long long b) { return -floorDiv(-a, b); }

// Bin k of an axis is centred at a0 + half + k * step: the first is always
// walked, the others while their centre lies below a1.
long long binsAlong(int a0, int a1, int half, int step)
{
    const long long c0 = static_cast<long long>(a0) + usableHalf(half);
    return a1 > c0 ? ceilDiv(static_cast<long long>(a1) - c0, usableStep(step)) : 1;
}

// One axis of clipToImage. Only centres on the image stay: a bin centred off
// it has no spectrum to give.
bool clipAxis(int& a0, int& a1, int half, int step, int size)
{
    if (size <= 0)
        return false;
    const long long h = usableHalf(half);
    const long long s = usableStep(step);
    const long long c0 = static_cast<long long>(a0) + h;
    const long long kLast = binsAlong(a0, a1, half, step) - 1;
    const long long kMin = std::max(0LL, ceilDiv(-c0, s));
    const long long kMax = std::min(kLast, floorDiv(size - 1 - c0, s));
    if (kMin > kMax)
        return false;
    a0 = static_cast<int>(a0 + kMin * s);
    if (kMax < kLast)
        a1 = static_cast<int>(c0 + kMax * s + 1);
    return true;
}
} // namespace

void AnalyzeCond::setup(int W_, int H_, int hx_, int hy_, const double rect[4], int stepX_, int stepY_)
{
    W = W_;
    H = H_;
    hx = usableHalf(hx_);
    hy = usableHalf(hy_);
    stepX = usableStep(stepX_ >= 0 ? stepX_ : saturate(2LL * hx + 1));
    stepY = usableStep(stepY_ >= 0 ? stepY_ : saturate(2LL * hy + 1));

    const double x = rect ? rect[0] : 0.0;
    const double y = rect ? rect[1] : 0.0;
    const double w = rect ? rect[2] : 0.0;
    const double h = rect ? rect[3] : 0.0;
    x0 = truncToInt(x);
    x1 = truncToInt(x + w);
    if (x1 < x0)
        std::swap(x0, x1);
    y0 = truncToInt(y);
    y1 = truncToInt(y + h);
    if (y1 < y0)
        std::swap(y0, y1);
    reset();
}

void AnalyzeCond::reset()
{
    cx = saturate(static_cast<long long>(x0) + usableHalf(hx));
    cy = saturate(static_cast<long long>(y0) + usableHalf(hy));
    first = true;
}

bool AnalyzeCond::next()
{
    // Past the last row (any row below the first that is not above y1): stay
    // ended instead of starting over in a row beneath the area.
    if (cy >= y1 && static_cast<long long>(cy) > static_cast<long long>(y0) + usableHalf(hy)) {
        first = true;
        cx = saturate(static_cast<long long>(x0) + usableHalf(hx));
        cy = saturate(static_cast<long long>(cy) + usableStep(stepY));
        return false;
    }
    first = false;
    const long long nx = static_cast<long long>(cx) + usableStep(stepX);
    if (nx < x1) {
        cx = static_cast<int>(nx);
        return true;
    }
    first = true;
    cx = saturate(static_cast<long long>(x0) + usableHalf(hx));
    const long long ny = static_cast<long long>(cy) + usableStep(stepY);
    cy = saturate(ny);
    return ny < y1;
}

void AnalyzeCond::fillBin(double* img, double v) const
{
    if (!img || W <= 0 || H <= 0 || hx < 0 || hy < 0)
        return;
    const long long xa = std::max(0LL, static_cast<long long>(cx) - hx);
    const long long xb = std::min(static_cast<long long>(W) - 1, static_cast<long long>(cx) + hx);
    const long long ya = std::max(0LL, static_cast<long long>(cy) - hy);
    const long long yb = std::min(static_cast<long long>(H) - 1, static_cast<long long>(cy) + hy);
    for (long long y = ya; y <= yb; y++) {
        double* row = img + y * W;
        for (long long x = xa; x <= xb; x++)
            row[x] = v;
    }
}

bool AnalyzeCond::clipToImage()
{
    int nx0 = x0, nx1 = x1, ny0 = y0, ny1 = y1;
    if (!clipAxis(nx0, nx1, hx, stepX, W) || !clipAxis(ny0, ny1, hy, stepY, H))
        return false;
    x0 = nx0;
    x1 = nx1;
    y0 = ny0;
    y1 = ny1;
    reset();
    return true;
}

long long AnalyzeCond::columns() const { return binsAlong(x0, x1, hx, stepX); }

long long AnalyzeCond::rows() const { return binsAlong(y0, y1, hy, stepY); }
