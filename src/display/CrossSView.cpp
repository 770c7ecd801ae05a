#include "display/CrossSView.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

CrossSView::CrossSView(QWidget* parent) : DispA(parent)
{
    allowWheelZoom = false;
    allowDragPan = false;
    connect(this, SIGNAL(drawImage1(QPainter*)), this, SLOT(draw(QPainter*)));
}

// The extremes kept with the profile count an infinite point too; scale on
// the drawable points instead.
void CrossSView::finiteRange(double off, double& p0, double& p1, double& v0, double& v1) const
{
    p0 = v0 = INFINITY;
    p1 = v1 = -INFINITY;
    for (const QPointF& pt : profile.points) {
        const double pos = pt.x() - off;
        if (!std::isfinite(pos) || !std::isfinite(pt.y()))
            continue;
        p0 = std::min(p0, pos);
        p1 = std::max(p1, pos);
        v0 = std::min(v0, pt.y());
        v1 = std::max(v1, pt.y());
    }
}

void CrossSView::draw(QPainter* p)
{
    const int W = width();
    const int H = height();
    ownCc.setScreenArea(0, H, W, 0);
    if (profile.size() == 0)
        return;
    const double off = profile.useXOffset ? profile.xOffset : 0.0;
    double p0 = profile.minX - off;
    double p1 = profile.maxX - off;
    double v0 = profile.minY;
    double v1 = profile.maxY;
    if (!std::isfinite(p0) || !std::isfinite(p1) || !std::isfinite(v0) || !std::isfinite(v1))
        finiteRange(off, p0, p1, v0, v1);
    // A flat profile or one spanning no positions has no scale to draw on.
    if (!std::isfinite(p0) || !std::isfinite(p1) || !std::isfinite(v0) || !std::isfinite(v1)
        || !(p1 > p0) || !(v1 > v0))
        return;
    if (vertical)
        ownCc.setRealArea(v0, p0, v1, p1);
    else
        ownCc.setRealArea(p0, v0, p1, v1);

    QPolygonF line;
    line.reserve(profile.size());
    for (const QPointF& pt : profile.points) {
        const double pos = pt.x() - off;
        const double v = pt.y();
        if (!std::isfinite(pos) || !std::isfinite(v))
            continue;
        const double sx = vertical ? ownCc.toScreenX(v) : ownCc.toScreenX(pos);
        const double sy = vertical ? ownCc.toScreenY(pos) : ownCc.toScreenY(v);
        line.append(QPointF(std::trunc(sx), std::trunc(sy)));
    }
    p->drawPolyline(line);

    p->setPen(QColor(192, 192, 0));
    // far outside the widget the line is not seen; keep the painter's numbers small
    if (vertical) {
        const double y = std::clamp(std::trunc(ownCc.toScreenY(cursor)), -1.0, H + 1.0);
        p->drawLine(QLineF(0, y, W, y));
    } else {
        const double x = std::clamp(std::trunc(ownCc.toScreenX(cursor)), -1.0, W + 1.0);
        p->drawLine(QLineF(x, 0, x, H));
    }
}
