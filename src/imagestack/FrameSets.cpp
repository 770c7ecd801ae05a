#include "imagestack/FrameSets.h"

#include "foundation/DeferredLog.h"
#include "foundation/Globals.h"
#include "foundation/TextUtils.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace {

// A bin of one pixel is that pixel: the same number by a shorter road.
inline double binSum(const TiffData* f, int x, int y, int hw, int hh)
{
    return (hw | hh) == 0 ? f->value(x, y) : f->areaSum(x, y, hw, hh);
}

double absorption(double i1, double i0, bool fluo)
{
    if (fluo)
        return i1 / i0;
    return i1 * i0 > 0.0 ? std::log(i0 / i1) : 1.0;
}

// How far past a total-I0 file's first or last row a frame still takes that row, eV.
const double TotalEndSlack = 0.01;

// A row whose I0 was text (read as 0) or no count must not pull the frames around it.
bool usableTotalRow(double energy, double i0)
{
    return std::isfinite(energy) && std::isfinite(i0) && i0 > 0.0;
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
    if (sets[s].frames.size() == 1)
        checkFits();
}

QString FrameSets::misfitOf(Stack s, const TiffData* frame) const
{
    const QList<TiffData*>& f = sets[s].frames;
    if (!frame || f.isEmpty() || (frame->width == f.first()->width && frame->height == f.first()->height))
        return QString();
    return QStringLiteral("Frame of %1 x %2 pixels in a stack of %3 x %4, not loaded: %5")
        .arg(frame->width)
        .arg(frame->height)
        .arg(f.first()->width)
        .arg(f.first()->height)
        .arg(frame->fileName);
}

void FrameSets::checkFits()
{
    const TiffData* view = sets[I1].frames.isEmpty() ? nullptr : sets[I1].frames.first();
    auto fits = [view](const TiffData* f) {
        return !view || !f || (f->width == view->width && f->height == view->height);
    };
    auto misfit = [this, view](const char* what, const TiffData* f) {
        user.tell(QStringLiteral("The %1 (%2 x %3) is not the size of the I1 frames (%4 x %5): not used for spectra")
                .arg(QLatin1String(what))
                .arg(f->width)
                .arg(f->height)
                .arg(view->width)
                .arg(view->height));
    };
    const TiffData* i0First = sets[I0].frames.isEmpty() ? nullptr : sets[I0].frames.first();
    const bool i0Now = fits(i0First);
    if (!i0Now && i0Fit)
        misfit("I0 stack", i0First);
    i0Fit = i0Now;
    const bool darkNow = fits(dark);
    if (!darkNow && darkFit)
        misfit("dark frame", dark);
    if (darkNow != darkFit) {
        // The dark-area means hold the dark frame's part, or not.
        sets[I1].dropMeans();
        sets[I0].dropMeans();
    }
    darkFit = darkNow;
}

void FrameSets::clear(Stack s)
{
    TiffData::clearList(sets[s].frames);
    sets[s].dropMeans();
    // A new stack that fills the same frames is news.
    sets[s].filledLogged.clear();
    if (s == I1)
        totalNoteLogged.clear();
    stacksChanged();
    checkFits();
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

QString FrameSets::expTimesNote(const QList<TiffData*>& frames, Stack s, const QString& panelExpTime)
{
    const auto [lo, hi] = std::minmax_element(frames.begin(), frames.end(),
                                              [](const TiffData* a, const TiffData* b) { return a->expTime < b->expTime; });
    if (lo == frames.end() || (*lo)->expTime == (*hi)->expTime)
        return QString();
    return QStringLiteral("Exposure times of the %1 frames differ, %2 to %3 ms: "
                          "the dark frame is scaled to the panel's %4 ms")
        .arg(QLatin1String(s == I1 ? "I1" : "I0"))
        .arg((*lo)->expTime, 0, 'g', 6)
        .arg((*hi)->expTime, 0, 'g', 6)
        .arg(panelExpTime);
}

QString FrameSets::oneEnergyNote(const QList<TiffData*>& frames, Stack s)
{
    if (frames.size() < 2)
        return QString();
    const double e = frames.first()->energy;
    for (const TiffData* f : frames) {
        if (f->energy != e)
            return QString();
    }
    return QStringLiteral("All %1 %2 frames are at one energy: %3 eV")
        .arg(frames.size())
        .arg(QLatin1String(s == I1 ? "I1" : "I0"), energyText(e));
}

void FrameSets::Set::dropMeans()
{
    frameMeans.clear();
    darkParts.clear();
    ownMean.clear();
    darkMeans.clear();
}

void FrameSets::setDarkFrame(TiffData* frame)
{
    if (frame != dark)
        delete dark;
    dark = frame;
    // The means have the dark frame's mean taken off.
    sets[I1].dropMeans();
    sets[I0].dropMeans();
    checkFits();
}

bool FrameSets::loadDark(const QString& fileName)
{
    setDarkFrame(nullptr);
    TiffData* frame = new TiffData;
    deferredlog::Entries log;
    bool read = false;
    {
        const deferredlog::Collect collect(&log);
        // Read in the GUI thread, so the program-wide switch is read here.
        read = frame->load(fileName, nullptr, globalErrPoints.use);
    }
    // The refusal is the user's; the rest stays in the debug log.
    const QString refusal = read ? QString() : TiffData::refusalIn(log, fileName);
    log.write();
    if (!read) {
        delete frame;
        user.tell(refusal);
        return false;
    }
    PagedFiles paged;
    paged.note(*frame);
    paged.flush();
    setDarkFrame(frame);
    return true;
}

void FrameSets::setDarkArea(Stack s, const QRectF& rect)
{
    sets[s].darkInUse = true;
    sets[s].darkRect = rect;
    sets[s].dropMeans();
    sets[s].filledLogged.clear();
    updateDarkArea(s);
}

void FrameSets::clearDarkArea(Stack s)
{
    sets[s].darkInUse = false;
    sets[s].dropMeans();
}

void FrameSets::clearUpdateDarkArea(Stack s)
{
    if (!sets[s].darkInUse)
        return;
    sets[s].dropMeans();
    updateDarkArea(s);
}

void FrameSets::dropDarkArea(Stack s, const char* why)
{
    const QRectF& r = sets[s].darkRect;
    user.tell(QStringLiteral("%1 (%2, %3, %4 x %5)").arg(QLatin1String(why)).arg(r.x()).arg(r.y()).arg(r.width()).arg(
        r.height()));
    clearDarkArea(s);
    if (darkAreaDropped)
        darkAreaDropped(s);
}

void FrameSets::updateDarkArea(Stack s)
{
    Set& set = sets[s];
    const qsizetype from = set.ownMean.size();
    if (!set.darkInUse || from >= set.frames.size())
        return;
    // Asked of the image, not of a frame: a shift must not drop the area.
    if (from == 0 && !set.frames.first()->rectOnImage(set.darkRect)) {
        dropDarkArea(s, "The dark area lies outside the image, not used:");
        return;
    }
    bool gaps = set.ownMean.contains(false);
    for (qsizetype i = from; i < set.frames.size(); i++) {
        // The part of the area on the frame as shifted; the dark frame, which is
        // never shifted, is read over that part of the image.
        const QRectF on = set.frames[i]->rectOnFrame(set.darkRect);
        const bool own = on.width() >= 0;
        set.ownMean.append(own);
        set.frameMeans.append(own ? set.frames[i]->rectMean(on) : 0.0);
        set.darkParts.append(own && usedDark() ? usedDark()->rectMean(on) : 0.0);
        gaps = gaps || !own;
    }
    if (gaps) {
        if (!set.ownMean.contains(true)) {
            dropDarkArea(s, "No frame has a pixel in the dark area (all are shifted off it), not used:");
            return;
        }
        fillDarkGaps(set);
    } else {
        set.filledLogged.clear();
    }
    set.darkMeans.resize(gaps ? 0 : from);
    for (qsizetype i = set.darkMeans.size(); i < set.frames.size(); i++)
        set.darkMeans.append(set.frameMeans[i] - set.darkParts[i]);
}

void FrameSets::fillDarkGaps(Set& set)
{
    const QList<TiffData*>& f = set.frames;
    QList<int> filled;
    for (qsizetype i = 0; i < f.size(); i++) {
        if (set.ownMean[i])
            continue;
        const double e = f[i]->energy;
        // The nearest frames with a level of their own at or below e and at or above it.
        qsizetype lo = -1, hi = -1, any = -1;
        for (qsizetype j = 0; j < f.size(); j++) {
            if (!set.ownMean[j])
                continue;
            if (any < 0)
                any = j;
            const double ej = f[j]->energy;
            if (ej <= e && (lo < 0 || ej > f[lo]->energy))
                lo = j;
            if (ej >= e && (hi < 0 || ej < f[hi]->energy))
                hi = j;
        }
        if (lo < 0 && hi < 0)
            lo = hi = any; // no energy to go by (NaN)
        else if (lo < 0)
            lo = hi;
        else if (hi < 0)
            hi = lo;
        auto fill = [&](QList<double>& v) {
            v[i] = lo == hi ? v[lo] : interpolate(e, f[lo]->energy, v[lo], f[hi]->energy, v[hi]);
        };
        fill(set.frameMeans);
        fill(set.darkParts);
        filled << int(i);
    }
    if (filled != set.filledLogged) {
        QStringList numbers;
        for (int i : std::as_const(filled))
            numbers << QString::number(i);
        user.tell(QStringLiteral("Frames with no pixel in the dark area take its level from the frames nearest in "
                           "energy: %1")
                .arg(numbers.join(QStringLiteral(", "))));
    }
    set.filledLogged = filled;
}

QList<double> FrameSets::scaledDarkMeans(Stack s, bool darkScaled, double darkExp, double exp) const
{
    const Set& set = sets[s];
    // Scaled as the bin's dark is; at one exposure the means stay as they are.
    if (!usedDark() || !darkScaled || exp == darkExp)
        return set.darkMeans;
    QList<double> m(set.darkMeans.size());
    for (qsizetype i = 0; i < m.size(); i++)
        m[i] = set.frameMeans[i] - set.darkParts[i] / darkExp * exp;
    return m;
}

bool FrameSets::readTotalI0(XafsSpectrum& target, const QString& fileName, const UserLines& user)
{
    // A fresh spectrum: an I0 column left from an earlier file must not stay.
    target = XafsSpectrum();
    const bool ok = target.readFile(fileName);
    const Spectrum& i0 = target.i0;
    for (int i = 0; i < target.size(); i++)
        qDebug() << target.pos(i) << (i < i0.size() ? i0.y(i) : 0.0);
    int left = 0;
    for (int i = 0; i < i0.size(); i++) {
        if (!usableTotalRow(i0.pos(i), i0.y(i)))
            left++;
    }
    if (i0.points.isEmpty()) {
        user.tell(QStringLiteral("No I0 column, not used as total I0: %1").arg(fileName));
        return false;
    }
    // Every mu would read 1.0: the I0 frames serve better.
    if (left == i0.size()) {
        user.tell(QStringLiteral("The total I0 file %1 has no row with an energy and a positive I0, "
                           "not used as total I0: the I0 frames stay in use")
                .arg(fileName));
        target = XafsSpectrum();
        return false;
    }
    if (left > 0)
        user.tell(QStringLiteral("The total I0 file %1 leaves out %2 of its %3 rows: no energy or no positive I0")
                .arg(fileName)
                .arg(left)
                .arg(i0.size()));
    return ok;
}

QList<double> FrameSets::totalI0ByFrame(const Spectrum& column, const QList<TiffData*>& frames,
                                        QString& note)
{
    note.clear();
    // Rows in ascending energy; rows at one energy count as their mean, as I0
    // frames at one energy do.
    std::vector<std::pair<double, double>> rows;
    rows.reserve(size_t(column.size()));
    for (int j = 0; j < column.size(); j++) {
        if (usableTotalRow(column.pos(j), column.y(j)))
            rows.emplace_back(column.pos(j), column.y(j));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<double> energies, values, counts;
    for (const auto& [e, v] : rows) {
        if (!energies.empty() && e == energies.back()) {
            values.back() += v;
            counts.back() += 1.0;
        } else {
            energies.push_back(e);
            values.push_back(v);
            counts.push_back(1.0);
        }
    }
    for (size_t k = 0; k < values.size(); k++) {
        if (counts[k] > 1.0)
            values[k] /= counts[k];
    }
    const qsizetype n = qsizetype(energies.size());

    QList<double> out(frames.size());
    // The frames left out: below the rows, above them, without an energy.
    struct Left {
        double lo = std::numeric_limits<double>::infinity();
        double hi = -std::numeric_limits<double>::infinity();
        int count = 0;
        void add(double e)
        {
            lo = qMin(lo, e);
            hi = qMax(hi, e);
            count++;
        }
    } below, above;
    int noEnergy = 0;
    for (qsizetype i = 0; i < frames.size(); i++) {
        // Energies from Bragg angles: a frame at the nominal energy of an end row may fall a hair
        // past it.
        const double eFrame = frames[i]->energy;
        const double e = n > 0 && eFrame >= energies.front() - TotalEndSlack && eFrame < energies.front()
                             ? energies.front()
                         : n > 0 && eFrame <= energies.back() + TotalEndSlack && eFrame > energies.back()
                             ? energies.back()
                             : eFrame;
        if (n > 0 && e >= energies.front() && e <= energies.back()) {
            qsizetype lo = 0, hi = 0;
            if (n > 1)
                TiffData::energyBracket(n, [&energies](qsizetype k) { return energies[size_t(k)]; }, e, lo, hi);
            const double ea = energies[size_t(lo)], eb = energies[size_t(hi)];
            const double a = values[size_t(lo)], b = values[size_t(hi)];
            // On a row its value exactly, not the line's rounding of it.
            out[i] = e == ea ? a : e == eb ? b : interpolate(e, ea, a, eb, b);
            continue;
        }
        out[i] = i < column.size() ? column.y(int(i)) : 0.0;
        if (std::isnan(e))
            noEnergy++;
        else if (n > 0 && e > energies.back())
            above.add(e);
        else
            below.add(e);
    }
    if (below.count + above.count + noEnergy == 0)
        return out;
    QStringList left;
    for (const Left* l : {&below, &above}) {
        if (l->count == 0)
            continue;
        const QString range = l->lo == l->hi ? energyText(l->lo)
                                             : QStringLiteral("%1 to %2").arg(energyText(l->lo), energyText(l->hi));
        left << QStringLiteral("%1 eV (%2)").arg(range).arg(l->count);
    }
    if (noEnergy)
        left << QStringLiteral("%1 without an energy").arg(noEnergy);
    const QString covers = n > 0 ? QStringLiteral("covers %1 to %2 eV")
                                       .arg(energyText(energies.front()), energyText(energies.back()))
                                 : QStringLiteral("has no energies");
    note = QStringLiteral("The total I0 file %1, not the I1 frames at %2: they take its row of their own "
                          "number (I0 0 past its end)")
               .arg(covers, left.join(QStringLiteral(", ")));
    return out;
}

const QList<double>& FrameSets::totalI0()
{
    const QList<QPointF>& column = totalI0ofI1.i0.points;
    // The kept copy holds the old data alive, so a changed column never shares it.
    const bool sameFile = column.constData() == totalSource.constData() && column.size() == totalSource.size();
    if (totalValid && sameFile)
        return totalByFrame;
    if (!sameFile)
        totalNoteLogged.clear();
    totalSource = column;
    QString note;
    totalByFrame = totalI0ByFrame(totalI0ofI1.i0, sets[I1].frames, note);
    totalNoteDue = note != totalNoteLogged;
    totalNote = note;
    totalValid = true;
    return totalByFrame;
}

namespace {
// Frame indexes in ascending energy, NaN last, equal energies in stack order.
QList<int> energyOrder(const QList<TiffData*>& list)
{
    auto key = [&list](int i) {
        const double e = list[i]->energy;
        return std::isnan(e) ? std::numeric_limits<double>::infinity() : e;
    };
    QList<int> idx(list.size());
    std::iota(idx.begin(), idx.end(), 0);
    std::stable_sort(idx.begin(), idx.end(), [&key](int a, int b) { return key(a) < key(b); });
    return idx;
}
} // namespace

bool FrameSets::energiesAscending(Stack s) const
{
    const QList<TiffData*>& f = sets[s].frames;
    for (qsizetype i = 1; i < f.size(); i++) {
        if (!(f[i]->energy >= f[i - 1]->energy))
            return false;
    }
    return true;
}

const QList<int>& FrameSets::i1Order() const
{
    if (orderValid)
        return order;
    // Left empty for a stack loaded in energy order: its spectra need no lookup.
    order.clear();
    if (!energiesAscending(I1))
        order = energyOrder(sets[I1].frames);
    orderValid = true;
    return order;
}

std::vector<double> FrameSets::i1Energies() const
{
    const QList<TiffData*>& f = sets[I1].frames;
    const QList<int>& o = i1Order();
    std::vector<double> e;
    e.reserve(size_t(f.size()));
    for (qsizetype k = 0; k < f.size(); k++)
        e.push_back(f[o.isEmpty() ? k : o[k]]->energy);
    return e;
}

void FrameSets::sortI0() const
{
    if (i0Sorted)
        return;
    const QList<TiffData*>& list = sets[I0].frames;
    i0.index = energyOrder(list);
    i0.frames.resize(list.size());
    i0.runs.clear();
    for (qsizetype k = 0; k < list.size(); k++) {
        TiffData* f = list[i0.index[k]];
        i0.frames[k] = f;
        // Frames at one energy (a repeated point, merged scans) are one reading.
        if (i0.runs.isEmpty() || !(f->energy == i0.runs.last().energy))
            i0.runs.append({k, 0, f->energy});
        i0.runs.last().count++;
    }
    i0Sorted = true;
}

FrameSets::Bracket FrameSets::bracketI0(double e) const
{
    Bracket k;
    if (sets[I0].frames.isEmpty())
        return k;
    sortI0();
    const QList<I0Sorted::Run>& runs = i0.runs;
    qsizetype lo = 0, hi = 0;
    if (runs.size() > 1)
        TiffData::energyBracket(runs.size(), [&runs](qsizetype i) { return runs[i].energy; }, e, lo, hi);
    k.a = runs[lo].first;
    k.na = runs[lo].count;
    k.ea = runs[lo].energy;
    k.b = runs[hi].first;
    k.nb = runs[hi].count;
    k.eb = runs[hi].energy;
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

namespace {
// The mean of a run of frames' bin sums; one frame is read as it is.
double runSum(const QList<TiffData*>& frames, qsizetype first, qsizetype n, int x, int y, int hw, int hh)
{
    if (n == 1)
        return binSum(frames[first], x, y, hw, hh);
    double sum = 0.0;
    for (qsizetype j = first; j < first + n; j++)
        sum += binSum(frames[j], x, y, hw, hh);
    return sum / double(n);
}
} // namespace

double FrameSets::i0At(const I0Sorted& i0, const Bracket& k, double e, int x, int y, int hw, int hh)
{
    if (k.na == 0)
        return 1.0;
    // At the energy of the first reading the second has no weight: with finite
    // sums the interpolation gives the first exactly, so the second is not read
    // (I0 and I1 are mostly taken at the same energies).
    const double a = runSum(i0.frames, k.a, k.na, x, y, hw, hh);
    if (k.a == k.b || e == k.ea)
        return a;
    return interpolate(e, k.ea, a, k.eb, runSum(i0.frames, k.b, k.nb, x, y, hw, hh));
}

double FrameSets::i0DarkMeanAt(const QList<double>& means, const I0Sorted& i0, const Bracket& k, double e)
{
    // Never read past the cached means: a missing one counts 0.
    if (k.na == 0 || means.isEmpty())
        return 0.0;
    auto runMean = [&](qsizetype first, qsizetype n) {
        double sum = 0.0;
        for (qsizetype j = first; j < first + n; j++) {
            const int i = i0.index[j];
            sum += i < means.size() ? means[i] : 0.0;
        }
        return n == 1 ? sum : sum / double(n);
    };
    const double ma = runMean(k.a, k.na);
    if (k.a == k.b)
        return ma;
    return interpolate(e, k.ea, ma, k.eb, runMean(k.b, k.nb));
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
    r.heldX1 = imageW - 1;
    r.heldY1 = imageH - 1;
    const QList<TiffData*>& i1 = sets[I1].frames;
    // Mostly every frame covers the image just so: then the whole image.
    int off = 0;
    for (const TiffData* f : i1)
        off |= f->x0 | f->y0 | (f->width ^ imageW) | (f->height ^ imageH);
    for (qsizetype k = 0; off && k < i1.size(); k++) {
        const TiffData* f = i1[k];
        r.heldX0 = qMax(r.heldX0, f->x0);
        r.heldY0 = qMax(r.heldY0, f->y0);
        r.heldX1 = int(qMin<qint64>(r.heldX1, qint64(f->x0) + f->width - 1));
        r.heldY1 = int(qMin<qint64>(r.heldY1, qint64(f->y0) + f->height - 1));
    }
    r.dark = usedDark();
    if (r.dark) {
        r.darkScaled = o.darkExpTime > 0.0 && std::isfinite(o.darkExpTime);
        if (r.darkScaled)
            darkExpWarned = false;
        else if (!darkExpWarned)
            user.tell(QStringLiteral("Dark exposure time %1 is not positive: the dark is not scaled").arg(o.darkExpTime));
        darkExpWarned = !r.darkScaled;
    }
    // Brought up to date first: an area found off the stack is dropped there.
    if (sets[I1].darkInUse)
        updateDarkArea(I1);
    if (sets[I0].darkInUse)
        updateDarkArea(I0);
    r.i1Dark = sets[I1].darkInUse;
    r.i0Dark = sets[I0].darkInUse;
    r.i1Means = scaledDarkMeans(I1, r.darkScaled, o.darkExpTime, o.i1ExpTime);
    r.i0Means = scaledDarkMeans(I0, r.darkScaled, o.darkExpTime, o.i0ExpTime);
    r.useTotal = !totalI0ofI1.i0.points.isEmpty();
    if (r.useTotal) {
        r.total = totalI0();
        // Told once the stack is in, not for every frame of a load.
        if (totalNoteDue && !sets[I1].loadOpen) {
            if (!totalNote.isEmpty())
                user.tell(totalNote);
            totalNoteLogged = totalNote;
            totalNoteDue = false;
        }
    }
    // No I0 frame to use: the bin's I0 is its pixel count, as with Use I0 off.
    r.useI0 = o.useI0 && i0Fit && !sets[I0].frames.isEmpty();
    if (!r.i1.isEmpty()) {
        r.pairs = i1Brackets();
        r.order = i1Order();
        sortI0();
        r.i0 = i0;
    }
    return r;
}

QString FrameSets::standInI0Note(const BinOptions& o) const
{
    if (!o.useI0 || !sets[I0].frames.isEmpty() || sets[I1].frames.isEmpty() || !totalI0ofI1.i0.points.isEmpty())
        return QString();
    return QStringLiteral("Use I0 is ticked but no I0 frame is loaded: a bin's I0 is its pixel count");
}

// Only the pixels on the image are read, so only those count.
double FrameSets::pixelsOnImage(int x, int y, int hw, int hh, int imageW, int imageH)
{
    const qint64 ahw = qAbs(qint64(hw)), ahh = qAbs(qint64(hh));
    const qint64 w = qMin<qint64>(x + ahw, imageW - 1) - qMax<qint64>(x - ahw, 0) + 1;
    const qint64 h = qMin<qint64>(y + ahh, imageH - 1) - qMax<qint64>(y - ahh, 0) + 1;
    return double(qMax<qint64>(w, 0)) * double(qMax<qint64>(h, 0));
}

namespace {
// A frame's reading of a bin, false when it holds none of the bin's pixels on
// the image. Unshifted frames cover the image: their sum as it is.
inline bool frameReading(const TiffData* f, int x, int y, int hw, int hh, int imageW, int imageH,
                         double npix, double& v)
{
    if ((f->x0 | f->y0) == 0) {
        v = binSum(f, x, y, hw, hh);
        return true;
    }
    double held = 0.0;
    const double sum = f->heldSum(x, y, hw, hh, imageW, imageH, held);
    if (held <= 0.0)
        return false;
    v = held == npix ? sum : sum * npix / held;
    return true;
}
} // namespace

void FrameSets::i1Readings(const QList<TiffData*>& i1, const QList<int>& order, int x, int y, int hw,
                           int hh, int imageW, int imageH, double npix, std::vector<Reading>& r)
{
    auto at = [&](qsizetype j) { return i1[order.isEmpty() ? j : order[j]]; };
    const qsizetype n = i1.size();
    r.resize(size_t(n));
    qsizetype next = n; // none above
    for (qsizetype k = n - 1; k >= 0; k--) {
        Reading& rk = r[size_t(k)];
        if (frameReading(at(k), x, y, hw, hh, imageW, imageH, npix, rk.v))
            next = k;
        rk.above = next;
    }
    // Shifted off the bin: from the nearest frames in energy that hold it,
    // as a dark area's level is filled. Only holders' readings are looked up,
    // and those are never overwritten.
    qsizetype lo = -1;
    for (qsizetype k = 0; k < n; k++) {
        Reading& rk = r[size_t(k)];
        const qsizetype hi = rk.above;
        if (hi == k) {
            lo = k;
            continue;
        }
        if (lo >= 0 && hi < n)
            rk.v = interpolate(at(k)->energy, at(lo)->energy, r[size_t(lo)].v, at(hi)->energy,
                               r[size_t(hi)].v);
        else if (lo >= 0)
            rk.v = r[size_t(lo)].v;
        else if (hi < n)
            rk.v = r[size_t(hi)].v;
        else
            rk.v = binSum(at(k), x, y, hw, hh);
    }
}

void FrameSets::Reader::spectrumAt(int x, int y, int hw, int hh, Spectrum& s, Spectrum* rawI1) const
{
    // The points' storage is kept from bin to bin.
    QList<QPointF> kept = std::move(s.points);
    kept.clear();
    s = Spectrum();
    s.points = std::move(kept);
    if (rawI1)
        *rawI1 = Spectrum();
    if (i1.isEmpty() || !(x >= 0 && y >= 0 && x < imageW && y < imageH))
        return;
    const double npix = pixelsOnImage(x, y, hw, hh, imageW, imageH);

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
    const qint64 ahw = qAbs(qint64(hw)), ahh = qAbs(qint64(hh));
    const bool whole = x - ahw >= heldX0 && x + ahw <= heldX1 && y - ahh >= heldY0 && y + ahh <= heldY1;
    // Across the edge of the held part every frame is read first: a frame
    // that holds none of the bin is filled from both sides in energy.
    thread_local std::vector<Reading> readings;
    if (!whole)
        i1Readings(i1, order, x, y, hw, hh, imageW, imageH, npix, readings);
    const bool sorted = order.isEmpty();
    s.points.reserve(i1.size());
    if (rawI1)
        rawI1->points.reserve(i1.size());
    for (qsizetype k = 0; k < i1.size(); k++) {
        // Points in ascending energy; everything by frame stays by stack index.
        const qsizetype i = sorted ? k : order[k];
        const TiffData* f = i1[i];
        const double e = f->energy;
        double dI1 = darkI1;
        if (i1Dark && i < i1Means.size())
            dI1 = i1Means[i] * npix + darkI1;
        const double read = whole ? binSum(f, x, y, hw, hh) : readings[size_t(k)].v;
        if (rawI1)
            rawI1->append(e, read);
        const double vI1 = read - dI1;
        double vI0 = npix;
        if (useTotal) {
            vI0 = total[i];
        } else if (useI0) {
            const Bracket& b = pairs[i];
            const double dI0 = i0Dark ? i0DarkMeanAt(i0Means, i0, b, e) * npix + darkI0 : darkI0;
            vI0 = i0At(i0, b, e, x, y, hw, hh) - dI0;
        }
        s.append(e, absorption(vI1, vI0, o.fluo));
    }
}

Spectrum FrameSets::xafsSpectrumAt(int x, int y, int hw, int hh, const BinOptions& o, Spectrum* rawI1)
{
    Spectrum s;
    if (rawI1)
        *rawI1 = Spectrum();
    if (sets[I1].frames.isEmpty() || !inView(x, y))
        return s;
    reader(o).spectrumAt(x, y, hw, hh, s, rawI1);
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
    const QList<int>& o = i1Order();
    const double npix = pixelsOnImage(x, y, hw, hh, imageW, imageH);
    std::vector<Reading> r;
    i1Readings(i1, o, x, y, hw, hh, imageW, imageH, npix, r);
    s.points.reserve(i1.size());
    for (qsizetype k = 0; k < i1.size(); k++)
        s.append(i1[o.isEmpty() ? k : o[k]]->energy, r[size_t(k)].v);
    return s;
}

void FrameSets::i1BinReadings(int x, int y, int hw, int hh, std::vector<double>& v) const
{
    const QList<TiffData*>& i1 = sets[I1].frames;
    v.assign(size_t(i1.size()), 0.0);
    if (!inView(x, y)) {
        for (qsizetype k = 0; k < i1.size(); k++)
            v[size_t(k)] = binSum(i1[k], x, y, hw, hh);
        return;
    }
    const QList<int>& o = i1Order();
    // Kept from bin to bin: a map's walk asks for every bin.
    thread_local std::vector<Reading> r;
    i1Readings(i1, o, x, y, hw, hh, imageW, imageH, pixelsOnImage(x, y, hw, hh, imageW, imageH), r);
    for (qsizetype k = 0; k < i1.size(); k++)
        v[size_t(o.isEmpty() ? k : o[k])] = r[size_t(k)].v;
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
    // An I0 stack of another size reads as none.
    const Bracket k = fromI1 && i0Fit ? bracketI0(f->energy) : Bracket();
    sortI0();
    s.points.reserve(n);
    for (int i = 0; i < n; i++) {
        const int x = alongRow ? i : at;
        const int y = alongRow ? at : i;
        const double v = f->areaSum(x, y, hw, hh);
        // Down a column the abscissa runs from imageH at the top row to 1 at the bottom.
        s.append(alongRow ? i : imageH - i,
                 fromI1 ? absorption(v, i0At(i0, k, f->energy, x, y, hw, hh), fluo) : v);
    }
    return s;
}
