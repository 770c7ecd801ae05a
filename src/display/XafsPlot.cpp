#include "display/XafsPlot.h"

#include "foundation/FileNames.h"
#include "foundation/Spectrum.h"
#include "foundation/TextUtils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace XafsPlot {

void usableRange(double& lo, double& hi)
{
    const bool fl = std::isfinite(lo);
    const bool fh = std::isfinite(hi);
    if (!fl && !fh) {
        lo = 0.0;
        hi = 1.0;
        return;
    }
    if (!fl)
        lo = hi;
    else if (!fh)
        hi = lo;
    // lo above hi is the empty spectrum's +1e300 / -1e300
    const double span = hi - lo;
    if (span < 0 || !std::isfinite(span)) {
        lo = 0.0;
        hi = 1.0;
        return;
    }
    const double mag = std::max(std::fabs(lo), std::fabs(hi));
    // A few-ulps span would map rounding noise across the whole plot.
    if (span > mag * 1e-12 && span > 1e-200)
        return;
    const double c = lo + span / 2;
    const double d = std::fabs(c) > 1e-100 ? std::fabs(c) * 0.05 : 1.0;
    lo = c - d;
    hi = c + d;
}

double realAt(double s, double lo, double hi, double s0, double s1)
{
    usableRange(lo, hi);
    const double r = (hi - lo) / (s1 - s0);
    return std::isfinite(r) ? lo + (s - s0) * r : lo;
}

int toVertex(double s)
{
    const double lim = 1e6;
    if (!(s == s))
        return 0;
    return static_cast<int>(std::clamp(s, -lim, lim));
}

int pointIndexAt(const Spectrum& s, double x)
{
    const int n = s.size();
    if (n <= 1)
        return 0;
    const double xr = s.useXOffset ? x + s.xOffset : x;
    for (int i = 0; i < n - 1; ++i)
        if ((s.x(i) + s.x(i + 1)) / 2 > xr)
            return i;
    return n - 1;
}

void zoomAbout(double c, double f, double& lo, double& hi)
{
    const double nlo = c + (lo - c) * f;
    const double nhi = c + (hi - c) * f;
    if (!std::isfinite(nlo) || !std::isfinite(nhi) || !(nhi > nlo))
        return;
    lo = nlo;
    hi = nhi;
}

bool fftYRange(const double* amp, int n, double& lo, double& hi)
{
    lo = 0.0;
    hi = 1.0;
    if (n < 10 || !amp)
        return false;
    const int m = n / 10;
    // The zero-frequency term dwarfs the rest; it stays out once there are enough terms.
    const int from = n >= 30 ? 1 : 0;
    const int to = n >= 30 ? std::max(m, 3) - 2 : m - 1;
    double mn = 1e300;
    double mx = -1e300;
    for (int k = from; k <= to; ++k) {
        if (!std::isfinite(amp[k]))
            continue;
        mn = std::min(mn, amp[k]);
        mx = std::max(mx, amp[k]);
    }
    lo = mn;
    hi = mx;
    usableRange(lo, hi);
    return true;
}

QString binTag(int ix, int iy, int hw, int vw)
{
    return QStringLiteral("%1-%2-%3x%4").arg(ix).arg(iy).arg(hw).arg(vw);
}

QString saveBaseName(const QString& fname, int ix, int iy, int hw, int vw)
{
    return derivedFileName(fname, binTag(ix, iy, hw, vw), true);
}

QString savedSpectrumName(const QString& base, const QString& label)
{
    const QFileInfo bi(base);
    return QFileInfo(bi.absoluteDir(), bi.completeBaseName() + u'-' + label + QStringLiteral(".dat"))
        .absoluteFilePath();
}

QString annotation(double dMut, double midx, bool outOfRange, bool noisy)
{
    return QStringLiteral("dMut = %1, Edge %2 [eV] : %3 %4")
        .arg(QString::asprintf("% 6.3e", dMut),
             addThousandsCommas(QString::number(midx, 'g', 6)),
             outOfRange ? QStringLiteral("Out of Range midx") : QString(),
             noisy ? QStringLiteral("Noizy to decide midx") : QString());
}

double tickValue(double first, int i, double step)
{
    const double v = first + i * step;
    return std::fabs(v) < std::fabs(step) * 1e-9 ? 0.0 : v;
}

} // namespace XafsPlot
