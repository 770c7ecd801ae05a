#include "mainwindow/ReadOut.h"

#include "display/ChCoord.h"
#include "foundation/TextUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace readout {

int truncated(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

QString valueText(double v)
{
    // Whole counts show whole: 19036 as "19,036", not "1.904e+04".
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) >= 1e4 && std::fabs(v) < 1e15)
        return addThousandsCommas(QString::number(v, 'f', 0));
    return addThousandsCommas(QStringLiteral("%1").arg(v, 0, 'g', 4));
}

QString darkValueText(double v)
{
    return addThousandsCommas(QString::number(v, 'g', 6));
}

QString boxSizeText(const QRectF& a)
{
    return QString::asprintf("(% 4d, % 4d)-(% 4d, % 4d)", truncated(a.x()), truncated(a.y()),
                             truncated(a.x() + a.width()), truncated(a.y() + a.height()));
}

QString posText(int v)
{
    return QString::asprintf("% 4d", v);
}

QString eShiftText(double v)
{
    return QString::asprintf("%6.3f", v);
}

QString eShiftFromStdText(double v)
{
    return QString::asprintf("%5.2f", v);
}

QRect screenRect(const ChCoord& cc, double x, double y, double w, double h)
{
    const double sx = cc.toScreenX(x), sy = cc.toScreenY(y);
    const double sw = cc.toScreenLengthX(w), sh = cc.toScreenLengthY(h);
    const auto near = [](double v) { return std::fabs(v) <= maxScreenCoord; };
    if (near(sx) && near(sy) && near(sw) && near(sh))
        return QRect(truncated(sx), truncated(sy), truncated(sw), truncated(sh));
    // Far off the widget: clamp each edge, not corner and size, so what shows of
    // the outline stays where it is, and QRect adds without overflow.
    const auto edge = [](double v) { return truncated(std::clamp(v, -maxScreenCoord, maxScreenCoord)); };
    const int left = edge(sx), top = edge(sy);
    return QRect(left, top, edge(sx + sw) - left, edge(sy + sh) - top);
}

QRect binRect(const ChCoord& cc, int px, int py, int hw, int hh)
{
    const double ahw = std::fabs(double(hw));
    const double ahh = std::fabs(double(hh));
    return screenRect(cc, px - ahw, py - ahh, 2 * ahw + 1, 2 * ahh + 1);
}

double vCrossCursor(int y, int imageH)
{
    return double(imageH) - y;
}

} // namespace readout
