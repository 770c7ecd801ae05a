#include "display/ViewWin.h"

#include <algorithm>
#include <cmath>

namespace {

bool isFin(double v) { return std::isfinite(v); }

double fraction(double c, double side) { return side > 0 ? c / side : 0.0; }

} // namespace

namespace ViewWin {

bool usable(const QRectF& view)
{
    return isFin(view.x()) && isFin(view.y()) && isFin(view.width()) && isFin(view.height())
        && view.width() != 0 && view.height() != 0;
}

QPointF imagePoint(const QRectF& view, double W, double H, double cx, double cy)
{
    return QPointF(fraction(cx, W) * view.width() + view.x(),
                   fraction(cy, H) * view.height() + view.y());
}

QRectF fitted(int iw, int ih, double W, double H, bool fill)
{
    if (!(W > 0) || !(H > 0) || !isFin(W) || !isFin(H) || iw <= 0 || ih <= 0)
        return QRectF(0, 0, iw, ih);
    const double sx = W / iw;
    const double sy = H / ih;
    if ((!fill && sx > sy) || (fill && sx <= sy)) {
        const double d = (W * ih / H - iw) / 2;
        return QRectF(-d, 0, iw + 2 * d, ih);
    }
    const double d = (H * iw / W - ih) / 2;
    return QRectF(0, -d, iw, ih + 2 * d);
}

QRectF zoomedAbout(const QRectF& view, double W, double H, double cx, double cy, double f,
                   bool edgeBands)
{
    if (!usable(view) || !isFin(f) || !(f > 0) || !(W > 0) || !(H > 0))
        return view;
    const bool midX = cx >= 0.1 * W && cx <= 0.9 * W;
    const bool midY = cy >= 0.1 * H && cy <= 0.9 * H;
    double w = view.width();
    double h = view.height();
    if (!edgeBands) {
        w *= f;
        h *= f;
    } else if (midX) {
        w *= f;
        if (midY)
            h *= f;
    } else {
        h *= f;
    }
    const QPointF p = imagePoint(view, W, H, cx, cy);
    const QRectF z(p.x() - fraction(cx, W) * w, p.y() - fraction(cy, H) * h, w, h);
    return usable(z) ? z : view;
}

QRectF panned(const QRectF& view, double W, double H, int pcx, int pcy, int cx, int cy)
{
    if (!(W > 0) || !(H > 0))
        return view;
    QRectF p = view;
    p.moveTo(view.x() + double(pcx - cx) / W * view.width(),
             view.y() + double(pcy - cy) / H * view.height());
    return usable(p) ? p : view;
}

QRect visibleRect(const QRectF& view, const QSize& image)
{
    if (!usable(view) || image.isEmpty())
        return QRect();
    // Zoomed far out, the window may span far more than the image: what lies
    // beyond one image size of padding is only blank and is not copied.
    auto clamped = [](double v, int side) { return std::clamp(v, -double(side), 2.0 * side); };
    const double xa = clamped(view.x(), image.width());
    const double xb = clamped(view.x() + view.width(), image.width());
    const double ya = clamped(view.y(), image.height());
    const double yb = clamped(view.y() + view.height(), image.height());
    // Every pixel at least partly in view is kept, so the far edge rounds up; a
    // rounding dust of the window's arithmetic does not count as a visible pixel,
    // so a view of exactly the whole frame still saves exactly the frame.
    auto start = [](double a, double b) { return int(std::trunc(std::min(a, b))); };
    auto end = [](double a, double b) { return int(std::ceil(std::max(a, b) - 1e-9)); };
    const int x0 = start(xa, xb);
    const int y0 = start(ya, yb);
    const int x1 = std::max(x0, end(xa, xb));
    const int y1 = std::max(y0, end(ya, yb));
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace ViewWin
