#include "mainwindow/EnergyShift.h"

#include "analysis/Analyzed2DRes.h"

qint64 mapPosition(int x, int imageOffset, int mapOffset)
{
    return qint64(x) + imageOffset - mapOffset;
}

double mapShiftAt(const Analyzed2DRes& map, qint64 mx, qint64 my, bool fitted)
{
    if (mx < 0 || my < 0 || mx >= map.cond.W || my >= map.cond.H)
        return 0.0;
    if (fitted)
        return map.surfFit.value(double(mx), double(my));
    return map.valueAt(int(mx), int(my));
}
