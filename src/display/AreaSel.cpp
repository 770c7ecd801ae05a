#include "display/AreaSel.h"

bool AreaSel::press(int code, const QPointF& p)
{
    if (isDragCode(code)) {
        dragging = true;
        replace();
        area = QRectF(p, QSizeF(0, 0));
        picked = false;
        return false;
    }
    if (code == 8) {
        dragging = false;
        valid = false;
        picked = false;
        area = QRectF(0, 0, 0, 0);
        // No later recall or dark-area choice brings back what the operator removed.
        prevArea = area;
        prevValid = false;
        prevPicked = false;
        return true;
    }
    return false;
}

void AreaSel::drag(int code, const QPointF& p)
{
    if (!isDragCode(code))
        return;
    area.setWidth(p.x() - area.x());
    area.setHeight(p.y() - area.y());
}

AreaSel::Release AreaSel::release(int code)
{
    if (!isDragCode(code) || !dragging)
        return Nothing;
    dragging = false;
    if (area.width() == 0 || area.height() == 0)
        return Nothing;
    area = area.normalized();
    valid = true;
    selected();
    return code == 2 ? SelectedZoom : Selected;
}

QPointF AreaSel::reachEdges(const QPointF& p, const QSize& image)
{
    QPointF r = p;
    if (image.isEmpty())
        return r;
    // On the line before the last column a drag ends there, as on any other line.
    if (p.x() > image.width() - 1 && p.x() < image.width())
        r.setX(image.width());
    if (p.y() > image.height() - 1 && p.y() < image.height())
        r.setY(image.height());
    return r;
}

void AreaSel::set(double x1, double y1, double x2, double y2)
{
    replace();
    area = QRectF(x1, y1, x2 - x1, y2 - y1);
    valid = true;
    selected();
}

void AreaSel::replace()
{
    prevArea = area;
    prevValid = valid;
    prevPicked = picked;
}

void AreaSel::selected()
{
    picked = true;
    darkTaken = false;
}

void AreaSel::recall()
{
    area = prevArea;
    valid = prevValid;
    picked = prevPicked;
}

std::optional<QRectF> AreaSel::darkAreaBox() const
{
    if (darkTaken)
        return darkBox;
    if (valid && picked)
        return area;
    return std::nullopt;
}

std::optional<QRectF> AreaSel::takeDarkArea()
{
    if (!darkTaken) {
        if (!valid || !picked)
            return std::nullopt;
        darkBox = area;
        darkTaken = true;
        recall();
    }
    return darkBox;
}
