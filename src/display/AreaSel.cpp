#include "display/AreaSel.h"

bool AreaSel::press(int code, const QPointF& p)
{
    if (isDragCode(code)) {
        dragging = true;
        replace();
        area = QRectF(p, QSizeF(0, 0));
        return false;
    }
    if (code == 8) {
        dragging = false;
        valid = false;
        darkTaken = false;
        area = QRectF(0, 0, 0, 0);
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
    return code == 2 ? SelectedZoom : Selected;
}

void AreaSel::set(double x1, double y1, double x2, double y2)
{
    replace();
    area = QRectF(x1, y1, x2 - x1, y2 - y1);
    valid = true;
}

void AreaSel::replace()
{
    prevArea = area;
    prevValid = valid;
    darkTaken = false;
}

void AreaSel::recall()
{
    area = prevArea;
    valid = prevValid;
}

QRectF AreaSel::takeDarkArea()
{
    if (!darkTaken) {
        darkBox = area;
        darkTaken = true;
        recall();
    }
    return darkBox;
}
