#include "foundation/XafsSpectrum.h"

#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"
#include "foundation/WholeFile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {
const double DefaultCrystalD = 3.13553;  // Å
const double Pi9809 = 3.1415926535;      // as the beamline format has always used it

void restart(Spectrum& s)
{
    s.points.clear();
    s.resetMinMax();
}

// Half width of the running mean the edge is looked for on.
const int EdgeSmoothing = 2;

// Rise over width against the best so far (a best width of 0 means none yet). Grids fine at the
// edge and coarse after it need the slope; steps of one width compare their rises, so an evenly
// spaced grid picks exactly what it always did despite rounding in the widths.
bool steeper(double rise, double width, double bestRise, double bestWidth)
{
    if (!(width > 0.0))  // frames at one energy
        return false;
    if (bestWidth == 0.0 || std::fabs(width - bestWidth) <= 1e-9 * bestWidth)
        return rise > bestRise;
    return rise / width > bestRise / bestWidth;
}

// The width of the smoothed rise S(b) - S(a): the steps it spans times the mean step of the
// frames it draws on. A rise spans three steps or more, so a frame close to another is never
// the edge; near the ends, where the smoothing is cut short, an even grid still gives one width.
double smoothedRiseWidth(const Spectrum& s, int a, int b)
{
    const int lo = std::max(0, a - EdgeSmoothing);
    const int hi = std::min(s.size() - 1, b + EdgeSmoothing);
    return double(b - a) * (s.pos(hi) - s.pos(lo)) / double(hi - lo);
}

// The edge search of edgeAt, the level at point k given by levelAt(k).
// `onPoint` (may be null): for each point, whether a lookup there lands on its own
// segment's start by the energies alone, as Lookup::at would find it.
template <class Level>
double edgeOn(const XafsSpectrum& s, Level levelAt, const std::vector<char>* onPoint = nullptr)
{
    const int n = s.size();
    if (n < 1)
        return 0.0;
    double best = 0.0;
    double bestWidth = 0.0;
    int kStar = 0;
    // The smoothed curve at the points, each looked up once: k - 1 and k + 1 of
    // one step are k - 2 and k of the ones around it.
    // Its own check of the order is made only when a point needs the walk.
    std::optional<Spectrum::Lookup> smoothedAt;
    auto lookup = [&](int i) {
        if (!smoothedAt)
            smoothedAt.emplace(s, true);
        return smoothedAt->at(s.pos(i));
    };
    const double* sy = s.smoothedY.constData();
    const bool direct = onPoint && s.smoothedY.size() == n;
    // There the lookup gives the smoothed value itself (a zero perhaps of the other
    // sign, which no comparison or rise below tells apart).
    auto smoothedOn = [&](int i) {
        if (direct && (*onPoint)[size_t(i)]) {
            const double dx = s.pos(i + 1) - s.pos(i), dy = sy[i + 1] - sy[i];
            if (std::fabs(dy) <= dx * 1e300)
                return sy[i];
        }
        return lookup(i);
    };
    double sPrev = n > 2 ? smoothedOn(0) : 0.0;
    double sHere = n > 2 ? smoothedOn(1) : 0.0;
    for (int k = 1; k <= n - 2; ++k) {
        const double l = levelAt(k);
        const double sBefore = sPrev;
        const double sAfter = smoothedOn(k + 1);
        sPrev = sHere;
        sHere = sAfter;
        if (sBefore < l && sAfter > l) {
            const double rise = sAfter - sBefore;
            const double width = smoothedRiseWidth(s, k - 1, k + 1);
            if (steeper(rise, width, best, bestWidth)) {
                best = rise;
                bestWidth = width;
                kStar = k;
            }
        }
    }
    const double fallback = s.pos(qBound(0, s.midxIndex, n - 1));
    // No upward crossing: keep the estimate of the largest rise.
    if (kStar == 0)
        return fallback;

    const double xa = s.pos(kStar - 1), xb = s.pos(kStar), xc = s.pos(kStar + 1);
    const double da = levelAt(kStar - 1) - s.smoothedYAt(xa);
    const double db = levelAt(kStar) - s.smoothedYAt(xb);
    const double dc = levelAt(kStar + 1) - s.smoothedYAt(xc);
    double sum = 0.0;
    int terms = 0;
    if (da - db != 0.0) {
        sum += xa + (xb - xa) * da / (da - db);
        ++terms;
    }
    if (db - dc != 0.0) {
        sum += xb + (xc - xb) * db / (db - dc);
        ++terms;
    }
    if (da - dc != 0.0) {
        sum += xa + (xc - xa) * da / (da - dc);
        ++terms;
    }
    return terms > 0 ? sum / terms : fallback;
}

} // namespace

XafsSpectrum::XafsSpectrum()
    : fraction(std::numeric_limits<double>::quiet_NaN())
{
}

XafsSpectrum::XafsSpectrum(const Spectrum& points, const QString& name_, int normMode_,
                           double eOffset_, const SuggestElm& sElm_)
    : Spectrum(points)
    , name(name_)
    , sElm(sElm_)
    , fraction(std::numeric_limits<double>::quiet_NaN())
{
    setRegionFromSuggestion();
    eOffset = eOffset_;
    normMode = normMode_;
    normalize(normMode);
}

void XafsSpectrum::rebuild(const Spectrum& points_, const QString& name_, int normMode_, double eOffset_,
                           const SuggestElm& sElm_, Curves which)
{
    Spectrum* curves[4] = {&minusPostByJump, &minusPostByGap, &normalized, &doubleNormalized};
    QList<QPointF> keptCurves[4];
    for (int c = 0; c < 4; ++c)
        keptCurves[c] = std::move(curves[c]->points);
    QList<QPointF> keptPoints = std::move(points);
    QList<double> keptSmoothed = std::move(smoothedY);
    *this = XafsSpectrum();
    Spectrum::operator=(points_);
    // Copied into the storage kept, never shared: the caller refills its points in place.
    keptPoints.clear();
    keptPoints.append(points);
    points = std::move(keptPoints);
    keptSmoothed.clear();
    keptSmoothed.append(smoothedY);
    smoothedY = std::move(keptSmoothed);
    for (int c = 0; c < 4; ++c) {
        curves[c]->points = std::move(keptCurves[c]);
        curves[c]->points.clear();
    }
    name = name_;
    sElm = sElm_;
    setRegionFromSuggestion();
    eOffset = eOffset_;
    normMode = normMode_;
    if (which != NotNormalized)
        normalize(normMode, which);
}

void XafsSpectrum::setRegionFromSuggestion()
{
    preS = -1000.0;
    preE = sElm.use ? sElm.dPreE : -10.0;
    postS = sElm.use ? sElm.dPostS : 10.0;
    postE = 1000.0;
}

void XafsSpectrum::reinit(const QString& name_, const SuggestElm& sElm_)
{
    name = name_;
    sElm = sElm_;
    plainFile = 1;
    normMode = 1;
    setRegionFromSuggestion();
    eOffset = 0.0;
    midxOutOfRange = false;
    midxNoisy = false;
    e0 = 0.0;
    dMut = 0.0;
}

bool XafsSpectrum::load(const QString& fileName)
{
    const bool ok = readFile(fileName);
    if (ok)
        normalize(normMode);
    return ok;
}

int XafsSpectrum::firstMidpointAbove(double v) const
{
    const int n = size();
    for (int i = 0; i < n - 1; ++i)
        if ((pos(i) + pos(i + 1)) / 2.0 > v)
            return i;
    return n - 1;
}

void XafsSpectrum::normalize(int mode, Curves which)
{
    const int n = size();
    if (n < 1)
        return;
    smooth(EdgeSmoothing);

    int from = 0;
    int to = n - 1;
    if (sElm.use) {
        from = firstMidpointAbove(sElm.edgeEV + sElm.dPreE);
        to = firstMidpointAbove(sElm.edgeEV + sElm.dPostS);
    }
    const double* s = smoothedY.constData();
    // The widths of one step depend on the energies alone, the same for every
    // bin of a walk: worked out again only when the energies change.
    thread_local std::vector<double> widthsFor, stepWidth;
    thread_local std::vector<char> onPoint;
    bool sameEnergies = widthsFor.size() == size_t(n);
    for (int i = 0; sameEnergies && i < n; ++i)
        sameEnergies = widthsFor[size_t(i)] == pos(i);
    if (!sameEnergies) {
        widthsFor.resize(size_t(n));
        stepWidth.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            widthsFor[size_t(i)] = pos(i);
        for (int k = 0; k + 1 < n; ++k)
            stepWidth[size_t(k)] = smoothedRiseWidth(*this, k, k + 1);
        // Where the energies ascend, a point at the start or inside the range with
        // a higher one after it starts the segment a lookup at it walks to.
        bool ascending = true;
        for (int i = 0; i + 1 < n && ascending; ++i)
            ascending = pos(i) <= pos(i + 1);
        onPoint.assign(size_t(n), 0);
        if (ascending && n > 1)
            onPoint[0] = pos(0) < pos(1);
        for (int i = 1; ascending && i + 1 < n; ++i)
            onPoint[size_t(i)] = pos(0) < pos(i) && pos(i) < pos(n - 1) && pos(i) < pos(i + 1);
    }
    int midx = 0;
    double best = 0.0;
    double bestWidth = 0.0;
    for (int k = from; k < to; ++k) {
        const double rise = s[k + 1] - s[k];
        const double width = stepWidth[size_t(k)];
        if (steeper(rise, width, best, bestWidth)) {
            best = rise;
            bestWidth = width;
            midx = k;
        }
    }
    midxIndex = midx;
    e0 = pos(midx);

    fitPrePost(e0, mode);
    // Filled as appends would fill them, the extremes kept in locals: this runs
    // for every bin of a walk.
    Spectrum* curves[4] = {&doubleNormalized, &normalized, &minusPostByJump, &minusPostByGap};
    const int filled = which == AllCurves ? 4 : 1;
    Spectrum ends[4];
    for (int c = 0; c < 4; ++c) {
        restart(*curves[c]);
        if (c < filled)
            curves[c]->points.reserve(n);
    }
    // Both lines at every point, read by the edge search and by the curves; the
    // double-normalised curve needs nothing else and is filled on the way.
    thread_local std::vector<double> postAt, preAt;
    postAt.resize(size_t(n));
    preAt.resize(size_t(n));
    QList<QPointF>& dn = doubleNormalized.points;
    for (int i = 0; i < n; ++i) {
        const double x = pos(i);
        const double p = post.value(x);
        const double q = pre.value(x);
        postAt[size_t(i)] = p;
        preAt[size_t(i)] = q;
        if (filled == 1) {
            const double v = (this->y(i) - q) / (p - q);
            dn.emplaceBack(x, v);
            ends[0].noteExtremes(i, x, v);
        }
    }
    fraction = 0.5;
    const double f = fraction;
    e0 = edgeOn(
        *this, [f](int k) { return f * postAt[size_t(k)] + (1.0 - f) * preAt[size_t(k)]; }, &onPoint);
    dMut = post.value(e0) - pre.value(e0);

    if (filled > 1) {
        for (int i = 0; i < n; ++i) {
            const double x = pos(i);
            const double y = this->y(i);
            const double p = postAt[size_t(i)];
            const double q = preAt[size_t(i)];
            const double v[4] = {(y - q) / (p - q), (y - p) / dMut + 1.0, (y - p) / dMut, (y - p) / (p - q)};
            for (int c = 0; c < 4; ++c) {
                curves[c]->points.emplaceBack(x, v[c]);
                ends[c].noteExtremes(i, x, v[c]);
            }
        }
    }
    for (int c = 0; c < filled; ++c) {
        curves[c]->minX = ends[c].minX;
        curves[c]->maxX = ends[c].maxX;
        curves[c]->minY = ends[c].minY;
        curves[c]->maxY = ends[c].maxY;
        curves[c]->minYIndex = ends[c].minYIndex;
        curves[c]->maxYIndex = ends[c].maxYIndex;
    }

    midxOutOfRange = false;
    midxNoisy = false;
    if (sElm.use) {
        // Written so that a NaN edge or jump is flagged too.
        const double lo = sElm.edgeEV + sElm.dPreE;
        const double hi = sElm.edgeEV + sElm.dPostS;
        midxOutOfRange = !(lo <= e0 && e0 <= hi);
        midxNoisy = !(dMut >= sElm.thJumpSigma * pre.rms) && !(dMut >= sElm.thJumpSigma * post.rms);
        if (midxOutOfRange || midxNoisy) {
            e0 = sElm.edgeEV;
            dMut = 0.0;
        }
    }
}

bool XafsSpectrum::fitPrePost(double e0_, int mode)
{
    const int n = size();
    const double first = n > 0 ? pos(0) : 0.0;
    const double last = n > 0 ? pos(n - 1) : 0.0;
    pre.fit(*this, first, e0_ + preE, mode);
    post.fit(*this, e0_ + postS, last, mode);
    // Taken before the new continuations exist; an older one still counts.
    const double g = post.value(e0_) - pre.value(e0_);
    if (g < 0) {
        pre.a += -0.55 * g;
        pre.corrCoef[3] += -0.55 * g;
        post.a += 0.55 * g;
        post.corrCoef[3] += 0.55 * g;
    }
    pre.correctInPost(post);
    post.correctInPre(pre);
    return pre.ok && post.ok;
}

double XafsSpectrum::edgeAt(double f) const
{
    return edgeOn(*this, [this, f](int k) {
        const double e = pos(k);
        return f * post.value(e) + (1.0 - f) * pre.value(e);
    });
}

double XafsSpectrum::innerProduct(double shift, const XafsSpectrum& standard) const
{
    int compared = 0;
    return innerProduct(shift, standard, compared);
}

double XafsSpectrum::innerProduct(double shift, const XafsSpectrum& standard, int& compared) const
{
    const Spectrum& mine = doubleNormalized;
    const Spectrum& theirs = standard.doubleNormalized;
    const int n = size();
    const int nd = mine.size();
    double yy = 0.0, ys = 0.0, ss = 0.0;
    compared = 0;
    for (int k = 0; k < n; ++k) {
        const double e = pos(k) - shift;
        if (!(standard.minX <= e && e <= standard.maxX))
            continue;
        ++compared;
        const double y = k < nd ? mine.y(k) : 0.0;
        const double s = theirs.yAt(e);
        yy += y * y;
        ys += y * s;
        ss += s * s;
    }
    if (yy > 0 && ss > 0)
        return ys / std::sqrt(ss * yy);
    return 0.0;
}

namespace {
// Whether a shift lets the two curves overlap on enough points: counted on the
// one of the smaller energy span (this spectrum on a tie).
class Overlap {
public:
    Overlap(const XafsSpectrum& mine, const XafsSpectrum& standard)
    {
        for (int k = 0; k < mine.size(); ++k) {
            lo = std::min(lo, mine.pos(k));
            hi = std::max(hi, mine.pos(k));
        }
        countMine = !(standard.maxX - standard.minX < hi - lo);
        if (countMine) {
            total = mine.size();
            return;
        }
        total = standard.size();
        const QList<QPointF>& pts = standard.points;
        const auto byX = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
        // A standard read in energy order is searched as it is: no copy for every bin.
        if (std::is_sorted(pts.begin(), pts.end(), byX)) {
            sorted = &pts;
            return;
        }
        xs.reserve(size_t(total));
        for (const QPointF& p : pts)
            xs.push_back(p.x());
        std::sort(xs.begin(), xs.end());
    }
    // compared: this spectrum's points that fell on the standard at the shift.
    bool admits(double shift, int compared) const
    {
        qint64 n = compared;
        if (!countMine)
            n = sorted ? within(*sorted, lo - shift, hi - shift, [](const QPointF& p) { return p.x(); })
                       : within(xs, lo - shift, hi - shift, [](double x) { return x; });
        return n >= 2 && 2 * n >= total;
    }

private:
    // How many of the ordered values lie in [from, to].
    template <class List, class X>
    static qint64 within(const List& v, double from, double to, X x)
    {
        const auto first = std::partition_point(v.begin(), v.end(), [&](const auto& e) { return x(e) < from; });
        const auto last = std::partition_point(first, v.end(), [&](const auto& e) { return x(e) <= to; });
        return last - first;
    }

    double lo = 1e300;
    double hi = -1e300;
    bool countMine = true;
    qint64 total = 0;
    const QList<QPointF>* sorted = nullptr; // the standard's own points, in order
    std::vector<double> xs;                 // else a sorted copy of their energies
};
} // namespace

double XafsSpectrum::innerProductShift(const XafsSpectrum& standard, double range, double step,
                                       double minStep) const
{
    if (step < minStep)
        return 0.0;
    // Steps that never shrink below minStep, or that cannot move t, would loop for ever.
    if (!(step > 0.0) || !(minStep > 0.0) || !std::isfinite(step) || !std::isfinite(range))
        return 0.0;
    const Overlap overlap(*this, standard);
    const double centre = e0 - standard.e0;
    double bestScore = -1e300;
    double bestShift = std::numeric_limits<double>::quiet_NaN();
    int compared = 0;
    while (step >= minStep) {
        if (range >= 0) {
            for (double t = -range; t <= range; t += step) {
                const double score = innerProduct(centre + t, standard, compared);
                if (score > bestScore && overlap.admits(centre + t, compared)) {
                    bestScore = score;
                    bestShift = centre + t;
                }
                if (t + step == t)
                    break;
            }
        }
        range *= 0.1;
        step *= 0.1;
    }
    return bestShift;
}

bool XafsSpectrum::readFile(const QString& fileName)
{
    qDebug().noquote() << "loading in xafs spectrum" << fileName;
    LineReader in;
    const bool opened = in.open(fileName);
    const bool plain = !opened || !is9809(in);
    plainFile = plain ? 1 : 0;
    if (plain) {
        qDebug() << "mute";
        if (!opened) {
            restart(*this);
            return false;
        }
        in.rewind();
        return readColumns(in);
    }
    qDebug() << "9809";
    in.rewind();
    return read9809(in);
}

QString XafsSpectrum::readFileTold(const QString& fileName)
{
    if (readFile(fileName) && size() > 0)
        return QString();
    const QFileInfo info(fileName);
    QString why;
    if (fileName.isEmpty())
        why = QStringLiteral("no file name");
    else if (!info.exists())
        why = QStringLiteral("no such file");
    else if (info.isDir())
        why = QStringLiteral("it is a folder");
    else if (!isRegularFile(fileName))
        why = QStringLiteral("not a regular file");
    else if (QFile f(fileName); !f.open(QIODevice::ReadOnly))
        why = f.errorString();
    else
        why = QStringLiteral("no spectrum points in it");
    return QStringLiteral("Can't read %1: %2").arg(fileName, why);
}

bool XafsSpectrum::isPlainFile(const QString& fileName)
{
    LineReader in;
    return !in.open(fileName) || !is9809(in);
}

bool XafsSpectrum::is9809(LineReader& in)
{
    in.rewind();
    QString first;
    in.readLine(first);
    return first.simplified().left(4) == QLatin1String("9809");
}

bool XafsSpectrum::read9809(const QString& fileName)
{
    LineReader in;
    if (!in.open(fileName)) {
        restart(*this);
        restart(i0);
        restart(i1);
        return false;
    }
    return read9809(in);
}

double XafsSpectrum::headerSpacing(const QStringList& items, double d)
{
    for (qsizetype k = 0; k + 1 < items.size(); ++k) {
        if (items[k] != QLatin1String("D="))
            continue;
        bool ok = false;
        const double v = items[k + 1].toDouble(&ok);
        // A spacing that is no positive number would give nonsense energies.
        if (ok && v > 0 && std::isfinite(v))
            d = v;
    }
    return d;
}

bool XafsSpectrum::read9809(LineReader& in)
{
    restart(*this);
    restart(i0);
    restart(i1);
    double d = DefaultCrystalD;
    bool header = true;
    const QString offsetKey = QStringLiteral("Offset");
    QString line;
    while (in.readLine(line)) {
        const QStringList items = line.simplified().split(QLatin1Char(' '));
        if (header) {
            d = headerSpacing(items, d);
            if (items[0] == offsetKey)
                header = false;
            continue;
        }
        if (items.size() < 5)
            continue;
        const double theta = items[1].toDouble();
        const double intensity0 = items[3].toDouble();
        const double intensity1 = items[4].toDouble();
        const double e = 12398.424360387684 / (2.0 * d * std::sin(theta * Pi9809 / 180.0));
        if (!std::isfinite(e))
            continue;
        const double mut = (intensity0 * intensity1 > 0) ? std::log(intensity0 / intensity1) : 1.0;
        append(e, mut);
        i0.append(e, intensity0);
        i1.append(e, intensity1);
    }
    if (in.refused()) {
        restart(*this);
        restart(i0);
        restart(i1);
        return false;
    }
    return true;
}

bool XafsSpectrum::readColumns(const QString& fileName)
{
    LineReader in;
    if (!in.open(fileName)) {
        restart(*this);
        return false;
    }
    return readColumns(in);
}

bool XafsSpectrum::readColumns(LineReader& in)
{
    restart(*this);
    QString line;
    while (in.readLine(line)) {
        const QStringList items = line.simplified().split(QLatin1Char(' '));
        if (items.size() < 2 || items[0].startsWith(QLatin1Char('#')))
            continue;
        bool okX = false, okY = false;
        const double x = items[0].toDouble(&okX);
        const double y = items[1].toDouble(&okY);
        // A header line without "#" must not become a point (0, 0).
        if (!okX || !okY || !std::isfinite(x))
            continue;
        append(x, y);
    }
    if (in.refused())
        restart(*this);
    return size() > 0;
}

namespace {
// The line's coefficients over energies less off: a straight line moves
// exactly; a Victoreen one is fitted again to its own values at the points it
// was fitted over, moved (kept as it is when that fit cannot be made).
std::array<double, 4> shiftedCoefficients(const VictLine& l, const Spectrum& s, double off)
{
    if (off == 0.0)
        return l.coefficients();
    if (l.mode != 0)
        return {l.a + l.d * off, l.d, l.b, l.c};
    Spectrum moved;
    for (int k = 0; k < s.size(); ++k) {
        const double e = s.pos(k);
        if (e >= l.from && e < l.to)
            moved.append(e - off, l.plainValue(e));
    }
    VictLine refit;
    const double inf = std::numeric_limits<double>::infinity();
    if (!refit.fit(moved, -inf, inf, 0))
        return l.coefficients();
    return refit.coefficients();
}
} // namespace

void XafsSpectrum::write(QByteArray* out, bool subtractEOffset) const
{
    if (!out)
        return;
    QTextStream ts(out, QIODevice::WriteOnly | QIODevice::Truncate);
    // The header on the scale of the energy column.
    const double off = subtractEOffset && std::isfinite(eOffset) ? eOffset : 0.0;
    const auto pc = shiftedCoefficients(pre, *this, off);
    const auto qc = shiftedCoefficients(post, *this, off);
    ts << "###Corvelline::XafsSpectrum\n";
    // Energies to 10 digits, so that they read back; the rest as the stream writes it.
    ts << "# midx    : " << energyText(e0 - off) << "\n";
    ts << "# dMut    : " << dMut << "\n";
    ts << "# pre   vic : " << pc[0] << " " << pc[1] << " " << pc[2] << " " << pc[3] << "\n";
    ts << "# poste vic : " << qc[0] << " " << qc[1] << " " << qc[2] << " " << qc[3] << "\n";
    ts << "#\n";
    ts << "# x  double-normalized-pre-base y pre post\n";
    const int n = size();
    const int nd = doubleNormalized.size();
    for (int k = 0; k < n; ++k) {
        const double p = pos(k);
        ts << energyText(p - off) << "\t" << (k < nd ? doubleNormalized.y(k) : 0.0) << "\t" << y(k) << "\t"
           << pre.value(p) << "\t" << post.value(p) << "\n";
    }
    ts.flush();
}

bool XafsSpectrum::save(const QString& fileName, bool subtractEOffset) const
{
    QByteArray block;
    write(&block, subtractEOffset);
    return saveWhole(fileName, block, true);
}
