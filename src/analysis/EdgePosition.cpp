#include "analysis/EdgePosition.h"

#include <QDebug>

#include <algorithm>

double EdgePosition::dEdge(const DEdgeRequest& r) { return dEdge(r, r.s); }

double EdgePosition::dEdge(const DEdgeRequest& r, const XafsSpectrum& s)
{
    if (r.isMidPoint) {
        // e0 was found at the stored fraction; any other ratio searches again.
        const double e = (s.fraction == r.midRatio) ? s.e0 : s.edgeAt(r.midRatio);
        return e - s.eOffset - r.sElm.edgeEV;
    }
    const double range = searchRange(r.cwRangeEV, s.maxX - s.minX);
    return s.innerProductShift(r.ref, range, r.cwInitDEeV, r.cwMinDEeV) - s.eOffset;
}

double EdgePosition::searchRange(double cwRangeEV, double span)
{
    if (!(span >= 0.0)) // no points
        span = 0.0;
    return cwRangeEV > span ? span : cwRangeEV;
}

QString EdgePosition::clippedLine(const QString& what, double typed, double range, const std::vector<double>& energies)
{
    if (energies.empty())
        return QString();
    const auto [lo, hi] = std::minmax_element(energies.begin(), energies.end());
    const double span = *hi - *lo;
    if (searchRange(range, span) == range)
        return QString();
    return QStringLiteral("The %1 %2 eV reaches past the span of the stack's energies, %3 eV: "
                          "shifts are searched within \u00b1%3 eV")
        .arg(what, QString::number(typed, 'g', 6), QString::number(span, 'g', 6));
}

bool EdgePosition::stepSpectrum(double at, double width, double dE, XafsSpectrum& out, const UserLines& user)
{
    if (!(dE > 0.0)) {
        user.tell(QStringLiteral("DEdge Step: a step of %1 eV is refused; the compare-with spectrum is kept").arg(dE));
        return false;
    }
    const double start = at - width / 2.0;
    const double end = at + width / 2.0;
    // A cut-off step would hold no edge at all: too fine a step is refused whole.
    if (!((end - start) / dE <= MaxStepPoints)) {
        user.tell(QStringLiteral("DEdge Step: more than %1 points are refused; the compare-with spectrum is kept")
                      .arg(MaxStepPoints));
        return false;
    }
    Spectrum pts;
    for (int k = 0;; ++k) {
        const double x = start + k * dE; // counted, so the grid does not drift
        if (!(x < end))
            break;
        pts.append(x, x < at ? 0.0 : 1.0);
    }
    out = XafsSpectrum(pts, QStringLiteral("DEdge Step"), 1, 0.0, SuggestElm());
    return true;
}
