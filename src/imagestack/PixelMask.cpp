#include "imagestack/PixelMask.h"

#include "foundation/LineReader.h"
#include "imagestack/ErrPoints.h"

#include <QDebug>

#include <algorithm>

void PixelMask::resize(int w, int h)
{
    width = w;
    height = h;
    cells.assign(size_t(w) * size_t(h), 0);
}

int PixelMask::cell(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    size_t i = size_t(y) * size_t(width) + size_t(x);
    return i < cells.size() ? cells[i] : 0;
}

bool PixelMask::read(const QString& fileName, int mode)
{
    LineReader in;
    if (!in.open(fileName)) {
        qDebug().noquote() << "Can't Open" << fileName;
        return false;
    }
    // Filled aside, so a file refused half-way leaves the mask as it was.
    PixelMask before = *this;
    if (mode == Replace)
        std::fill(cells.begin(), cells.end(), 0);

    QString line;
    int outside = 0;
    while (in.readLine(line)) {
        int a = 0, b = 0;
        if (ErrPoints::sizeLine(line, a, b)) {
            if (a < 0 || b < 0 || a > maxSide || b > maxSide || qint64(a) * b > maxCells) {
                // No cell count to trust: drop the mask so later points address nothing.
                qDebug().noquote() << "Pixel mask size refused:" << a << b << fileName;
                resize(0, 0);
            } else {
                resize(a, b);
            }
            continue;
        }
        double v = 0.0;
        if (!ErrPoints::pointLine(line, a, b, &v))
            continue;
        size_t i = size_t(b) * size_t(width) + size_t(a);
        if (a < 0 || b < 0 || a >= width || b >= height || i >= cells.size()) {
            outside++;
            continue;
        }
        uchar& c = cells[i];
        if (mode == And) {
            if (v == 0.0)
                c = 0;
        } else if (mode == Or) {
            if (v != 0.0)
                c = 1;
        } else {
            c = v != 0.0 ? 1 : 0;
        }
    }
    if (in.refused()) {
        *this = std::move(before);
        return false;
    }
    if (outside > 0)
        qDebug().noquote() << "Pixel mask points outside the mask:" << outside << fileName;
    return true;
}
