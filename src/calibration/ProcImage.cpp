#include "calibration/ProcImage.h"

#include "imagestack/TiffData.h"

#include <algorithm>
#include <climits>
#include <cmath>

ProcImage::ProcImage(int w, int h)
    : data(qsizetype(std::max(w, 0)) * std::max(h, 0), 0.0), width(std::max(w, 0)),
      height(std::max(h, 0))
{
}

void ProcImage::updateRange()
{
    min = 1.7976931348623157e308;
    max = -1.7976931348623157e308;
    for (double v : data) {
        if (v < min)
            min = v;
        if (v > max)
            max = v;
    }
}

namespace improc {

namespace {

// Columns (or rows) x of 0..n-1 where x - s lies in 0..n-1 too.
// trunc(v x 255) of a value of 0..1; anything else is limited to that range.
uchar channel(double v)
{
    return v > 0.0 ? (v < 1.0 ? uchar(v * 255) : uchar(255)) : uchar(0);
}

void overlap(int n, int s, qint64& from, qint64& to)
{
    from = std::max<qint64>(0, s);
    to = std::min<qint64>(n, qint64(n) + s);
}

} // namespace

ProcImage framePlane(const TiffData& f, int border)
{
    const int b = std::max(border, 0);
    ProcImage p(f.width + 2 * b, f.height + 2 * b);
    if (f.width <= 0 || f.height <= 0)
        return p;
    for (int j = 0; j < p.height; j++) {
        const int r = std::clamp(j - b, 0, f.height - 1);
        for (int i = 0; i < p.width; i++)
            p.at(i, j) = f.ownValue(std::clamp(i - b, 0, f.width - 1), r);
    }
    return p;
}

ProcImage prewittEdges(const ProcImage& src, int border)
{
    const int b = std::max(border, 0);
    ProcImage e(src.width - 2 * b, src.height - 2 * b);
    auto P = [&src](int u, int v) { return src.contains(u, v) ? src.at(u, v) : 0.0; };
    for (int y = 0; y < e.height; y++) {
        const int v = y + b;
        for (int x = 0; x < e.width; x++) {
            const int u = x + b;
            const double gx = std::fabs(P(u + 1, v - 1) + P(u + 1, v) + P(u + 1, v + 1) - P(u - 1, v - 1)
                                        - P(u - 1, v) - P(u - 1, v + 1));
            const double gy = std::fabs(P(u - 1, v + 1) + P(u, v + 1) + P(u + 1, v + 1) - P(u - 1, v - 1)
                                        - P(u, v - 1) - P(u + 1, v - 1));
            e.at(x, y) = std::max(gx, gy);
        }
    }
    e.updateRange();
    return e;
}

ProcImage frameEdges(const TiffData& f)
{
    return prewittEdges(framePlane(f, 1), 1);
}

ProcImage displaced(const ProcImage& src, qint64 dx, qint64 dy)
{
    ProcImage out(src.width, src.height);
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < out.width; x++)
            if (src.contains(x - dx, y - dy))
                out.at(x, y) = src.at(int(x - dx), int(y - dy));
    out.updateRange();
    return out;
}

ProcImage binarize(const ProcImage& edges, double th)
{
    ProcImage bin(edges.width, edges.height);
    for (qsizetype i = 0; i < edges.data.size(); i++)
        bin.data[i] = th < edges.data[i] ? 1.0 : 0.0;
    bin.updateRange();
    return bin;
}

namespace {
// Whole-image norms: what slides off the other image counts against the
// shift, so a sliver of overlap never matches as well as the whole. They do
// not depend on the shift, so a climb takes them once.
double wholeNorm(const ProcImage& ref, const ProcImage& bin)
{
    double rr = 0.0, bb = 0.0;
    for (double r : ref.data)
        rr += r * r;
    for (double b : bin.data)
        bb += b * b;
    return rr * bb;
}

double scoreAt(const ProcImage& ref, const ProcImage& bin, int sx, int sy, double norm)
{
    if (ref.width != bin.width || ref.height != bin.height)
        return 0.0;
    qint64 x0, x1, y0, y1;
    overlap(ref.width, sx, x0, x1);
    overlap(ref.height, sy, y0, y1);
    double rb = 0.0;
    for (qint64 y = y0; y < y1; y++)
        for (qint64 x = x0; x < x1; x++)
            rb += ref.at(int(x), int(y)) * bin.at(int(x - sx), int(y - sy));
    return norm > 0.0 ? rb / std::sqrt(norm) : 0.0;
}
} // namespace

double normScalarProduct(const ProcImage& ref, const ProcImage& bin, int sx, int sy)
{
    return scoreAt(ref, bin, sx, sy, wholeNorm(ref, bin));
}

Climb hillClimb(const ProcImage& ref, const ProcImage& bin, int sx, int sy, double best)
{
    static const int dx[8] = {1, 1, 1, 0, -1, -1, -1, 0};
    static const int dy[8] = {1, 0, -1, -1, -1, 0, 1, 1};
    Climb c{sx, sy, best};
    const double norm = wholeNorm(ref, bin);
    for (;;) {
        int k = -1;
        for (int i = 0; i < 8; i++) {
            const qint64 nx = qint64(c.sx) + dx[i];
            const qint64 ny = qint64(c.sy) + dy[i];
            if (nx < INT_MIN || nx > INT_MAX || ny < INT_MIN || ny > INT_MAX)
                continue;
            const double s = scoreAt(ref, bin, int(nx), int(ny), norm);
            if (s > c.score) {
                c.score = s;
                k = i;
            }
        }
        // Every step raises the score strictly, so the climb ends.
        if (k < 0)
            return c;
        c.sx += dx[k];
        c.sy += dy[k];
    }
}

double thresholdFromSlider(int value, double min, double max)
{
    return value / 1000.0 * (max - min) + min;
}

int sliderFromThreshold(double th, double min, double max)
{
    if (max == min)
        return 0;
    const double v = (th - min) / (max - min) * 1000.0;
    if (!(v > 0.0))
        return 0;
    return v >= 999.0 ? 999 : int(v);
}

QString scoreText(double s)
{
    return QString::number(s, 'g', 6).left(6);
}

QImage valuePicture(const ProcImage& src, const std::function<QColor(double)>& colorOf)
{
    QImage img(src.width, src.height, QImage::Format_RGB888);
    const double range = src.max - src.min;
    const bool usable = range > 0.0 && std::isfinite(range);
    for (int y = 0; y < src.height; y++) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < src.width; x++) {
            const QColor c = colorOf(usable ? (src.at(x, y) - src.min) / range : 0.0);
            *p++ = uchar(c.red());
            *p++ = uchar(c.green());
            *p++ = uchar(c.blue());
        }
    }
    return img;
}

double comparePicture(const ProcImage& ref, const ProcImage& bin, int sx, int sy, QImage& out)
{
    if (ref.width != bin.width || ref.height != bin.height) {
        out = QImage();
        return 0.0;
    }
    out = QImage(ref.width, ref.height, QImage::Format_RGB888);
    for (int y = 0; y < ref.height; y++) {
        uchar* p = out.scanLine(y);
        const qint64 by = qint64(y) - sy;
        for (int x = 0; x < ref.width; x++) {
            const qint64 bx = qint64(x) - sx;
            if (bin.contains(bx, by)) {
                *p++ = channel(ref.at(x, y));
                *p++ = channel(bin.at(int(bx), int(by)));
                *p++ = 0;
            } else {
                *p++ = 0;
                *p++ = 0;
                *p++ = 255;
            }
        }
    }
    return normScalarProduct(ref, bin, sx, sy);
}

} // namespace improc
