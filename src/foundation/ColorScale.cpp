#include "foundation/ColorScale.h"

ColorScale::ColorScale(int format, double lowerTh, double upperTh)
    : format(format), lowerTh(lowerTh), upperTh(upperTh), table(colorMapOf(format))
{
}

double ColorScale::thresholded(double t) const
{
    double u;
    const double d = upperTh - lowerTh;
    if (d == 0) // equal thresholds: a step at the threshold
        u = t >= lowerTh ? 1.0 : 0.0;
    else
        u = (t - lowerTh) / d;
    if (!(u > 0)) // NaN too
        return 0.0;
    return u < 1 ? u : 1.0;
}

uchar* ColorScale::putColor(double t, uchar* p, int bufferFormat) const
{
    if (bufferFormat != format || !table)
        return p;
    const uchar* c = table(thresholded(t));
    if (format == QImage::Format_Grayscale8) {
        *p = *c;
        return p + 1;
    }
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
    return p + 3;
}

QColor ColorScale::colorOf(double t) const
{
    if (!table)
        return QColor();
    const uchar* c = table(thresholded(t));
    if (format == QImage::Format_Grayscale8)
        return QColor(*c, *c, *c);
    return QColor(c[0], c[1], c[2]);
}
