#include "display/ChCoord.h"

#include <algorithm>
#include <cmath>

namespace {

// a / b, or 0 when that is not a finite number (empty or broken range).
double ratio(double a, double b)
{
    double r = a / b;
    return std::isfinite(r) ? r : 0.0;
}

bool nearEdge(double s, double e0, double e1, double band)
{
    double lo = std::min(e0, e1);
    double hi = std::max(e0, e1);
    double w = band * (hi - lo);
    return s < lo + w || s > hi - w;
}

double clampTo(double v, double e0, double e1)
{
    double lo = std::min(e0, e1);
    double hi = std::max(e0, e1);
    return std::clamp(v, lo, hi);
}

} // namespace

ChCoord::ChCoord(QObject* parent) : QObject(parent) {}

void ChCoord::setScreenArea(double x0, double y0, double x1, double y1)
{
    sx0 = isx0 = x0;
    sy0 = isy0 = y0;
    sx1 = isx1 = x1;
    sy1 = isy1 = y1;
}

void ChCoord::setInnerScreenArea(double x0, double y0, double x1, double y1)
{
    isx0 = x0;
    isy0 = y0;
    isx1 = x1;
    isy1 = y1;
}

void ChCoord::applyMargins()
{
    double dx = sx1 - sx0;
    double dy = sy1 - sy0;
    isx0 = sx0 + std::trunc(dx * marginLeft);
    isx1 = sx1 - std::trunc(dx * marginRight);
    isy0 = sy0 + std::trunc(dy * marginBottom);
    isy1 = sy1 - std::trunc(dy * marginTop);
}

void ChCoord::setRealArea(double xmin, double ymin, double xmax, double ymax)
{
    rxmin = xmin;
    rymin = ymin;
    rxmax = xmax;
    rymax = ymax;
}

void ChCoord::setRealXRange(double xmin, double xmax)
{
    rxmin = xmin;
    rxmax = xmax;
}

void ChCoord::setRealYRange(double ymin, double ymax)
{
    rymin = ymin;
    rymax = ymax;
}

// A broken ratio (empty or non-finite range) maps everything onto the start.
double ChCoord::toScreenX(double x) const
{
    double r = ratio(isx1 - isx0, rxmax - rxmin);
    return r == 0 ? isx0 : r * (x - rxmin) + isx0;
}
double ChCoord::toScreenY(double y) const
{
    double r = ratio(isy1 - isy0, rymax - rymin);
    return r == 0 ? isy0 : r * (y - rymin) + isy0;
}
double ChCoord::toScreenLengthX(double l) const { return ratio(isx1 - isx0, rxmax - rxmin) * l; }
double ChCoord::toScreenLengthY(double l) const { return ratio(isy1 - isy0, rymax - rymin) * l; }
double ChCoord::toRealX(double s) const
{
    double r = ratio(rxmax - rxmin, isx1 - isx0);
    return r == 0 ? rxmin : r * (s - isx0) + rxmin;
}
double ChCoord::toRealY(double s) const
{
    double r = ratio(rymax - rymin, isy1 - isy0);
    return r == 0 ? rymin : r * (s - isy0) + rymin;
}
double ChCoord::toRealOffsetX(double s) const
{
    double r = ratio(rxmax - rxmin, isx1 - isx0);
    return r == 0 ? 0.0 : r * (s - isx0);
}
double ChCoord::toRealOffsetY(double s) const
{
    double r = ratio(rymax - rymin, isy1 - isy0);
    return r == 0 ? 0.0 : r * (s - isy0);
}
double ChCoord::toRealClampedX(double s) const { return clampTo(toRealX(s), rxmin, rxmax); }
double ChCoord::toRealClampedY(double s) const { return clampTo(toRealY(s), rymin, rymax); }
double ChCoord::toRealLengthX(double l) const { return ratio(rxmax - rxmin, isx1 - isx0) * l; }
double ChCoord::toRealLengthY(double l) const { return ratio(rymax - rymin, isy1 - isy0) * l; }

bool ChCoord::nearEdgeX(double s) const { return nearEdge(s, isx0, isx1, innerBand); }
bool ChCoord::nearEdgeY(double s) const { return nearEdge(s, isy0, isy1, innerBand); }
bool ChCoord::nearOuterEdgeX(double s) const { return nearEdge(s, sx0, sx1, outerBand); }
bool ChCoord::nearOuterEdgeY(double s) const { return nearEdge(s, sy0, sy1, outerBand); }

double ChCoord::tickStep(double pixPerUnit, double base, int minPixels)
{
    static const double mult[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1e3, 2e3, 5e3,
                                  1e4, 2e4, 5e4, 1e5, 2e5, 5e5, 1e6, 2e6, 5e6, 1e7, 2e7, 5e7};
    // A flipped axis (screen y growing downwards) counts its pixels all the same.
    double r = std::fabs(pixPerUnit);
    for (double m : mult) {
        double c = base * m;
        if (c * r > minPixels)
            return c;
    }
    return base * 1e8;
}

double ChCoord::tickStepX(double base, int minPixels) const
{
    return tickStep(ratio(isx1 - isx0, rxmax - rxmin), base, minPixels);
}

double ChCoord::tickStepY(double base, int minPixels) const
{
    return tickStep(ratio(isy1 - isy0, rymax - rymin), base, minPixels);
}

bool ChCoord::niceRange(double lo, double hi, double& step, double& first, double& last)
{
    step = 0;
    first = 0;
    last = -1;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
        return false;
    double span = hi - lo;
    if (!std::isfinite(span)) // ends of opposite sign near the double limit
        return false;
    double p = std::pow(10.0, std::floor(std::log10(span)));
    double q = std::trunc(span / p);
    static const double table[] = {0.2, 0.2, 0.5, 0.5, 1, 1, 1, 2, 2};
    // q is 1..10; rounding may give 0 or 10, which take the multiplier 1
    double m = (q >= 1 && q <= 9) ? table[static_cast<int>(q) - 1] : 1.0;
    double s = p * m;
    double f = std::ceil(lo / s) * s;
    double l = std::floor(hi / s) * s;
    if (!(s > 0) || !std::isfinite(f) || !std::isfinite(l))
        return false;
    step = s;
    first = f;
    last = l;
    return true;
}

int ChCoord::tickCount(double first, double step, double last)
{
    if (!std::isfinite(first) || !std::isfinite(step) || !std::isfinite(last))
        return 0;
    if (!(step > 0) || first > last)
        return 0;
    if (first + step == first || last - step == last) // a few ulps: the step moves nothing
        return 0;
    // small slack so that last = first + n*step with rounding still counts
    double n = std::floor((last - first) / step + 1e-9) + 1;
    if (!(n >= 1))
        return 0;
    return n > maxTicks ? maxTicks : static_cast<int>(n);
}
