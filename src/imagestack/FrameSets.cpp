#include "imagestack/FrameSets.h"

#include "foundation/Globals.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// A bin of one pixel is that pixel: the same number by a shorter road.
inline double binSum(const TiffData* f, int x, int y, int hw, int hh)
{
    return (hw | hh) == 0 ? f->value(x, y) : f->areaSum(x, y, hw, hh);
}

// Pixels of a bin; in double, so no half size can overflow it.
double pixelCount(int hw, int hh)
{
    return (2.0 * std::fabs(double(hw)) + 1.0) * (2.0 * std::fabs(double(hh)) + 1.0);
}

double absorption(double i1, double i0, bool fluo)
{
    if (fluo)
        return i1 / i0;
    return i1 * i0 > 0.0 ? std::log(i0 / i1) : 1.0;
}

} // namespace

FrameSets::~FrameSets()
{
    TiffData::clearList(sets[I1].frames);
    TiffData::clearList(sets[I0].frames);
    delete dark;
}

LoadTiffQue FrameSets::startLoad(Stack s, LoadTiff* loader, bool newFile,
                                 const QStringList& files, bool ignoreLive, int skip,
                                 int cutFirst, int cutLast, ErrPoints* errPs)
{
    if (newFile) {
        if (loader)
            loader->stop();
        clear(s);
    }
    sets[s].loadOpen = true;
    return LoadTiffQue(files, ignoreLive, skip, cutFirst, cutLast, errPs,
                       s == I1 ? LOAD_I1_FILES : LOAD_I0_FILES, loader ? loader->generation() : 0);
}

bool FrameSets::accept(const LoadTiff* loader, TiffData* frame, quint64 generation)
{
    if (frame && loader && loader->isCurrent(generation))
        return true;
    delete frame;
    return false;
}

bool FrameSets::abandonLoad(Stack s)
{
    const bool open = sets[s].loadOpen;
    sets[s].loadOpen = false;
    return open;
}

void FrameSets::append(Stack s, TiffData* frame, double energy)
{
    if (!frame)
        return;
    frame->energy = energy;
    sets[s].frames.append(frame);
    stacksChanged();
}

void FrameSets::clear(Stack s)
{
    TiffData::clearList(sets[s].frames);
    sets[s].darkMeans.clear();
    stacksChanged();
}

bool FrameSets::updateGeometry()
{
    if (sets[I1].frames.isEmpty())
        return false;
    const TiffData* f = sets[I1].frames.first();
    imageW = f->width;
    imageH = f->height;
    imageHdrX = f->hdrX;
    imageHdrY = f->hdrY;
    return true;
}

bool FrameSets::commonExpTime(const QList<TiffData*>& frames, double& expTime, bool& same)
{
    if (frames.isEmpty())
        return false;
    expTime = frames.first()->expTime;
    same = std::all_of(frames.begin(), frames.end(),
                       [expTime](const TiffData* f) { return f->expTime == expTime; });
    return true;
}

void FrameSets::setDarkFrame(TiffData* frame)
{
    if (frame != dark)
        delete dark;
    dark = frame;
    // The means have the dark frame's mean taken off.
    sets[I1].darkMeans.clear();
    sets[I0].darkMeans.clear();
}

bool FrameSets::loadDark(const QString& fileName)
{
    setDarkFrame(nullptr);
    TiffData* frame = new TiffData;
    // Read in the GUI thread, so the program-wide switch is read here.
    if (!frame->load(fileName, nullptr, globalErrPoints.use)) {
        delete frame;
        return false;
    }
    setDarkFrame(frame);
    return true;
}

void FrameSets::setDarkArea(Stack s, const QRectF& rect)
{
    sets[s].darkInUse = true;
    sets[s].darkRect = rect;
    sets[s].darkMeans.clear();
    updateDarkArea(s);
}

void FrameSets::clearDarkArea(Stack s)
{
    sets[s].darkInUse = false;
    sets[s].darkMeans.clear();
}

void FrameSets::clearUpdateDarkArea(Stack s)
{
    if (!sets[s].darkInUse)
        return;
    sets[s].darkMeans.clear();
    updateDarkArea(s);
}

void FrameSets::updateDarkArea(Stack s)
{
    Set& set = sets[s];
    if (set.darkMeans.size() >= set.frames.size())
        return;
    // An area set before the stack was loaded may lie off it: no dark area then, not a dark of 0.
    if (set.darkMeans.isEmpty() && !set.frames.first()->rectTouches(set.darkRect)) {
        qDebug() << "The dark area lies outside the image, not used:" << set.darkRect;
        clearDarkArea(s);
        return;
    }
    for (qsizetype i = set.darkMeans.size(); i < set.frames.size(); i++) {
        // The dark frame is read over the same pixels as the frame.
        const QRectF on = set.frames[i]->rectOnFrame(set.darkRect);
        set.darkMeans.append(set.frames[i]->rectMean(on) - (dark ? dark->rectMean(on) : 0.0));
    }
}

bool FrameSets::readTotalI0(XafsSpectrum& target, const QString& fileName)
{
    // A fresh spectrum: an I0 column left from an earlier file must not stay.
    target = XafsSpectrum();
    const bool ok = target.readFile(fileName);
    const Spectrum& i0 = target.i0;
    for (int i = 0; i < target.size(); i++)
        qDebug() << target.pos(i) << (i < i0.size() ? i0.y(i) : 0.0);
    if (i0.points.isEmpty()) {
        qDebug().noquote() << "No I0 column, not used as total I0:" << fileName;
        return false;
    }
    return ok;
}

void FrameSets::sortI0() const
{
    if (i0Sorted)
        return;
    const QList<TiffData*>& list = sets[I0].frames;
    // NaN sorts last, so the order stays a strict weak one.
    auto key = [&list](int i) {
        const double e = list[i]->energy;
        return std::isnan(e) ? std::numeric_limits<double>::infinity() : e;
    };
    i0Index.resize(list.size());
    std::iota(i0Index.begin(), i0Index.end(), 0);
    std::stable_sort(i0Index.begin(), i0Index.end(),
                     [&key](int a, int b) { return key(a) < key(b); });
    i0ByEnergy.resize(list.size());
    for (qsizetype k = 0; k < list.size(); k++)
        i0ByEnergy[k] = list[i0Index[k]];
    i0Sorted = true;
}

FrameSets::Bracket FrameSets::bracketI0(double e) const
{
    Bracket k;
    const qsizetype n = sets[I0].frames.size();
    if (n == 0)
        return k;
    sortI0();
    qsizetype lo = 0, hi = 0;
    if (n > 1)
        TiffData::energyBracket(i0ByEnergy, e, lo, hi);
    k.a = i0ByEnergy[lo];
    k.b = i0ByEnergy[hi];
    k.ea = k.a->energy;
    k.eb = k.b->energy;
    k.ia = i0Index[lo];
    k.ib = i0Index[hi];
    return k;
}

const QList<FrameSets::Bracket>& FrameSets::i1Brackets() const
{
    if (bracketsValid)
        return brackets;
    const QList<TiffData*>& i1 = sets[I1].frames;
    brackets.resize(i1.size());
    for (qsizetype i = 0; i < i1.size(); i++)
        brackets[i] = bracketI0(i1[i]->energy);
    bracketsValid = true;
    return brackets;
}

double FrameSets::i0At(const Bracket& k, double e, int x, int y, int hw, int hh)
{
    if (!k.a)
        return 1.0;
    // At the energy of the first frame the second has no weight (unless both share it):
    // with finite sums the interpolation gives the first sum exactly, so the second is
    // not read (I0 and I1 are mostly taken at the same energies).
    if (k.a == k.b || (e == k.ea && k.eb != k.ea))
        return binSum(k.a, x, y, hw, hh);
    return interpolate(e, k.ea, binSum(k.a, x, y, hw, hh), k.eb, binSum(k.b, x, y, hw, hh));
}

double FrameSets::i0DarkMeanAt(const QList<double>& means, const Bracket& k, double e)
{
    // Never read past the cached means: a missing one counts 0.
    if (!k.a || means.isEmpty())
        return 0.0;
    const double ma = k.ia < means.size() ? means[k.ia] : 0.0;
    if (k.a == k.b)
        return ma;
    const double mb = k.ib < means.size() ? means[k.ib] : 0.0;
    return interpolate(e, k.ea, ma, k.eb, mb);
}

bool FrameSets::inView(int x, int y) const
{
    return x >= 0 && y >= 0 && x < imageW && y < imageH;
}

FrameSets::Reader FrameSets::reader(const BinOptions& o)
{
    Reader r;
    r.i1 = sets[I1].frames;
    r.o = o;
    r.imageW = imageW;
    r.imageH = imageH;
    r.dark = dark;
    if (dark) {
        r.darkScaled = o.darkExpTime > 0.0 && std::isfinite(o.darkExpTime);
        if (r.darkScaled)
            darkExpWarned = false;
        else if (!darkExpWarned)
            qDebug() << "Dark exposure time" << o.darkExpTime << "is not positive: the dark is not scaled";
        darkExpWarned = !r.darkScaled;
    }
    // Brought up to date first: an area found off the stack is dropped there.
    if (sets[I1].darkInUse)
        updateDarkArea(I1);
    if (sets[I0].darkInUse)
        updateDarkArea(I0);
    r.i1Dark = sets[I1].darkInUse;
    r.i0Dark = sets[I0].darkInUse;
    r.i1Means = sets[I1].darkMeans;
    r.i0Means = sets[I0].darkMeans;
    r.total = totalI0ofI1.i0;
    if (!r.i1.isEmpty())
        r.pairs = i1Brackets();
    return r;
}

void FrameSets::Reader::spectrumAt(int x, int y, int hw, int hh, Spectrum& s) const
{
    // The points' storage is kept from bin to bin.
    QList<QPointF> kept = std::move(s.points);
    kept.clear();
    s = Spectrum();
    s.points = std::move(kept);
    if (i1.isEmpty() || !(x >= 0 && y >= 0 && x < imageW && y < imageH))
        return;
    const double npix = pixelCount(hw, hh);

    double darkI1 = 0.0, darkI0 = 0.0;
    if (dark) {
        const double d = dark->areaSum(x, y, hw, hh);
        if (darkScaled) {
            darkI1 = d / o.darkExpTime * o.i1ExpTime;
            darkI0 = d / o.darkExpTime * o.i0ExpTime;
        } else {
            darkI1 = darkI0 = d;
        }
    }
    const bool useTotal = !total.points.isEmpty();
    s.points.reserve(i1.size());
    for (qsizetype i = 0; i < i1.size(); i++) {
        const TiffData* f = i1[i];
        const double e = f->energy;
        double dI1 = darkI1;
        if (i1Dark && i < i1Means.size())
            dI1 = i1Means[i] * npix + darkI1;
        const double vI1 = binSum(f, x, y, hw, hh) - dI1;
        double vI0 = npix;
        if (useTotal) {
            vI0 = i < total.points.size() ? total.points[i].y() : 0.0;
        } else if (o.useI0) {
            const Bracket& k = pairs[i];
            const double dI0 = i0Dark ? i0DarkMeanAt(i0Means, k, e) * npix + darkI0 : darkI0;
            vI0 = i0At(k, e, x, y, hw, hh) - dI0;
        }
        s.append(e, absorption(vI1, vI0, o.fluo));
    }
}

Spectrum FrameSets::xafsSpectrumAt(int x, int y, int hw, int hh, const BinOptions& o)
{
    Spectrum s;
    if (sets[I1].frames.isEmpty() || !inView(x, y))
        return s;
    reader(o).spectrumAt(x, y, hw, hh, s);
    return s;
}

Spectrum FrameSets::xafsSpectrumInRect(int x1, int y1, int x2, int y2, const BinOptions& o)
{
    const qint64 cx = (qint64(x1) + x2) / 2;
    const qint64 cy = (qint64(y1) + y2) / 2;
    const qint64 hw = qAbs(qint64(x2) - x1 + 1) / 2;
    const qint64 hh = qAbs(qint64(y2) - y1 + 1) / 2;
    return xafsSpectrumAt(int(cx), int(cy), int(hw), int(hh), o);
}

Spectrum FrameSets::rawI1SpectrumAt(int x, int y, int hw, int hh) const
{
    Spectrum s;
    const QList<TiffData*>& i1 = sets[I1].frames;
    if (!inView(x, y))
        return s;
    s.points.reserve(i1.size());
    for (const TiffData* f : i1)
        s.append(f->energy, f->areaSum(x, y, hw, hh));
    return s;
}

Spectrum FrameSets::hProfileAt(int y, int hw, int hh, bool fromI1, int frame, bool fluo) const
{
    if (y < 0 || y >= imageH)
        return Spectrum();
    return profile(true, y, hw, hh, fromI1, frame, fluo);
}

Spectrum FrameSets::vProfileAt(int x, int hw, int hh, bool fromI1, int frame, bool fluo) const
{
    if (x < 0 || x >= imageW)
        return Spectrum();
    return profile(false, x, hw, hh, fromI1, frame, fluo);
}

Spectrum FrameSets::profile(bool alongRow, int at, int hw, int hh, bool fromI1, int frame,
                            bool fluo) const
{
    Spectrum s;
    const QList<TiffData*>& list = sets[fromI1 ? I1 : I0].frames;
    const int n = alongRow ? imageW : imageH;
    if (frame < 0 || frame >= list.size() || n < 1)
        return s;
    const TiffData* f = list[frame];
    const Bracket k = fromI1 ? bracketI0(f->energy) : Bracket();
    s.points.reserve(n);
    for (int i = 0; i < n; i++) {
        const int x = alongRow ? i : at;
        const int y = alongRow ? at : i;
        const double v = f->areaSum(x, y, hw, hh);
        // Down a column the abscissa runs from imageH at the top row to 1 at the bottom.
        s.append(alongRow ? i : imageH - i,
                 fromI1 ? absorption(v, i0At(k, f->energy, x, y, hw, hh), fluo) : v);
    }
    return s;
}
