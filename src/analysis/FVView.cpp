#include "analysis/FVView.h"

#include "analysis/FVPoints.h"
#include "display/FieldValue.h"
#include "display/ScreenFit.h"
#include "foundation/WholeFile.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Cut toward zero; false for what no pixel index can hold. The end of the
// range maps to the side itself: it belongs to the last pixel, or the
// extreme points of the range would not be drawn.
bool toPixel(double s, int side, int& p)
{
    if (!(s > -1e9 && s < 1e9))
        return false;
    p = static_cast<int>(s);
    if (p == side)
        p = side - 1;
    return true;
}

// A range that cannot be mapped (no points, one value) is widened around its
// value so that such points land in the middle.
void usableRange(double lo, double hi, double& a, double& b)
{
    if (std::isfinite(lo) && std::isfinite(hi) && hi > lo) {
        a = lo;
        b = hi;
    } else if (std::isfinite(lo) && lo == hi) {
        a = lo - 1.0;
        b = lo + 1.0;
    } else {
        a = 0.0;
        b = 1.0;
    }
}
} // namespace

FVView::FVView(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    connect(dispA_, SIGNAL(drawImage2(QPainter*)), this, SLOT(draw(QPainter*)));
    connect(reDraw_, SIGNAL(clicked()), this, SLOT(updateMap()));
}

int FVView::kernelHW() const
{
    return kernelHW_->text().toInt();
}

double FVView::kernelWeight(int dx, int dy, int hw, double b)
{
    if (dx == 0 && dy == 0)
        return 1.0;
    if (hw <= 0 || !(b > 0.0))
        return 0.0;
    const double d2 = double(dx) * dx + double(dy) * dy;
    const double w = std::exp(d2 * std::log(b) / hw / hw);
    return std::isfinite(w) ? w : 0.0;
}

void FVView::setCoord(ChCoord& c, int side) const
{
    // y grows upward: the y maximum is row 0
    c.setScreenArea(0, side, side, 0);
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    if (fvPoints) {
        usableRange(fvPoints->x.min, fvPoints->x.max, x0, x1);
        usableRange(fvPoints->y.min, fvPoints->y.max, y0, y1);
    }
    c.setRealArea(x0, y0, x1, y1);
}

bool FVView::pointPixel(const ChCoord& c, int k, int& px, int& py) const
{
    const double x = fvPoints->x.values[k];
    const double y = k < fvPoints->y.values.size() ? fvPoints->y.values[k] : 0.0;
    const int side = static_cast<int>(c.isx1 - c.isx0);
    return toPixel(c.toScreenX(x), side, px) && toPixel(c.toScreenY(y), side, py);
}

void FVView::showCount()
{
    const int n = fvPoints ? fvPoints->count() : 0;
    const int noMax = fvPoints ? fvPoints->noMaximum : 0;
    const int noE2 = fvPoints ? fvPoints->noE2 : 0;
    fvCount_->setText(
        tr("%1 points; left out: %2 bins without a maximum, %3 without e2").arg(n).arg(noMax).arg(noE2));
}

void FVView::redraw()
{
    buildVMap();
    buildVHMap();
    showCount();
    dispA_->update();
}

void FVView::updateMap()
{
    redraw();
    savePictureWhole(vMap, QStringLiteral("fvMap.png"));
    savePictureWhole(vhMap, QStringLiteral("fvHMap.png"));
}

void FVView::updateVMap()
{
    buildVMap();
    savePictureWhole(vMap, QStringLiteral("fvMap.png"));
}

void FVView::updateVHMap()
{
    buildVHMap();
    savePictureWhole(vhMap, QStringLiteral("fvHMap.png"));
}

void FVView::buildVMap()
{
    const int S = std::max(vSize, 1);
    vMap = QImage(S, S, QImage::Format_ARGB32);
    vMap.fill(QColor(255, 255, 255, 0));
    setCoord(vCoord, S);
    const QRgb blue = qRgba(0, 0, 255, 255);
    const int n = fvPoints ? fvPoints->count() : 0;
    for (int k = 0; k < n; k++) {
        int px, py;
        if (pointPixel(vCoord, k, px, py) && px >= 0 && py >= 0 && px < S && py < S)
            vMap.setPixel(px, py, blue);
    }
}

void FVView::buildVHMap()
{
    const int S = std::max(vhSize, 1);
    vhMap = QImage(S, S, QImage::Format_ARGB32);
    vhMap.fill(QColor(255, 255, 255, 0));
    setCoord(vhCoord, S);
    std::vector<double> grid(static_cast<size_t>(S) * S, 0.0);

    const int hw = kernelHW();
    const double b = fieldValue(kernelBVal_);
    double max = 0.0;
    if (hw >= 0) {
        // Offsets beyond the image side never reach it from a mapped point.
        const int r = std::min(hw, S);
        const int side = 2 * r + 1;
        std::vector<double> w(static_cast<size_t>(side) * side);
        for (int dy = -r; dy <= r; dy++)
            for (int dx = -r; dx <= r; dx++)
                w[static_cast<size_t>(dy + r) * side + (dx + r)] = kernelWeight(dx, dy, hw, b);
        const int n = fvPoints ? fvPoints->count() : 0;
        for (int k = 0; k < n; k++) {
            int px, py;
            if (!pointPixel(vhCoord, k, px, py))
                continue;
            for (int dy = -r; dy <= r; dy++) {
                const qint64 gy = qint64(py) + dy;
                if (gy < 0 || gy >= S)
                    continue;
                for (int dx = -r; dx <= r; dx++) {
                    const qint64 gx = qint64(px) + dx;
                    if (gx < 0 || gx >= S)
                        continue;
                    double& cell = grid[static_cast<size_t>(gy * S + gx)];
                    cell += w[static_cast<size_t>(dy + r) * side + (dx + r)];
                    if (cell > max)
                        max = cell;
                }
            }
        }
    }

    const double M = max * fieldValue(cRange_);
    for (int y = 0; y < S; y++) {
        QRgb* row = reinterpret_cast<QRgb*>(vhMap.scanLine(y));
        const double* g = grid.data() + static_cast<size_t>(y) * S;
        for (int x = 0; x < S; x++) {
            // without a usable scale any density at all is full
            const double t = M > 0.0 ? g[x] / M * 255.0 : (g[x] > 0.0 ? 255.0 : 0.0);
            int v = 0;
            if (t >= 255.0)
                v = 255;
            else if (t > 0.0)
                v = static_cast<int>(t);
            row[x] = qRgba(255, v, 0, 255);
        }
    }
}

QRect FVView::shownSquare(int w, int h)
{
    const int side = std::max(0, std::min(w, h));
    return QRect((w - side) / 2, (h - side) / 2, side, side);
}

void FVView::draw(QPainter* p)
{
    dispA_->cc.setRealArea(0, 0, vSize, vSize);
    // Square pictures stay square, whatever shape the window has, and clear
    // of the frame, which would hide the points of the top and bottom rows.
    const QRect area = dispA_->contentsRect();
    const QRect target = shownSquare(area.width(), area.height()).translated(area.topLeft());
    if (target.isEmpty())
        return;
    if (!vhMap.isNull())
        p->drawImage(target, vhMap, QRect(0, 0, vhMap.width(), vhMap.height()));
    drawPoints(p, target, vMap);
}

void FVView::drawPoints(QPainter* p, const QRect& target, const QImage& points)
{
    if (points.isNull() || points.format() != QImage::Format_ARGB32)
        return;
    const double sx = double(target.width()) / points.width();
    const double sy = double(target.height()) / points.height();
    const auto edge = [](double s, int i, int origin) { return origin + static_cast<int>(std::floor(s * i)); };
    for (int y = 0; y < points.height(); y++) {
        const QRgb* row = reinterpret_cast<const QRgb*>(points.constScanLine(y));
        const int top = edge(sy, y, target.y());
        const int h = std::max(1, edge(sy, y + 1, target.y()) - top);
        for (int x = 0; x < points.width(); x++) {
            if (qAlpha(row[x]) == 0)
                continue;
            const int left = edge(sx, x, target.x());
            p->fillRect(left, top, std::max(1, edge(sx, x + 1, target.x()) - left), h, QColor::fromRgba(row[x]));
        }
    }
}
