#include "analysis/LCFFit.h"

#include "foundation/MatUtil.h"
#include "foundation/XafsSpectrum.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

LCFFit::Range LCFFit::range(const QList<LCFRefData>& refs, double sE0, double eE0)
{
    Range r;
    r.lo = sE0;
    r.hi = eE0;
    r.lo2 = 0.0;
    r.hi2 = 1e300;
    for (const LCFRefData& ref : refs) {
        const double a = ref.minE - ref.dE;
        const double b = ref.maxE - ref.dE;
        r.lo = std::max(r.lo, a);
        r.hi = std::min(r.hi, b);
        r.lo2 = std::max(r.lo2, a);
        r.hi2 = std::min(r.hi2, b);
    }
    return r;
}

namespace {

AnalyzeKind kindOf(LCFFit::Method m)
{
    switch (m) {
    case LCFFit::Old:
        return AnalyzeKind::LCFOld;
    case LCFFit::Multi:
        return AnalyzeKind::MLCF;
    default:
        return AnalyzeKind::LCF;
    }
}

void setRows(std::vector<double*>& rows, std::vector<double>& store, int m)
{
    rows.resize(size_t(m));
    for (int i = 0; i < m; ++i)
        rows[size_t(i)] = store.data() + size_t(i) * size_t(m);
}

// Solves w.a·c = w.b into w.c through the LU helpers; a zero pivot is not
// reported, as the fits take whatever the helpers leave. `factored`: the
// factors held are those of w.a already.
void solve(int m, LCFFit::Scratch& w, bool factored)
{
    w.c.assign(size_t(m), 0.0);
    if (m < 1)
        return;
    if (!factored) {
        const size_t mm = size_t(m) * size_t(m);
        w.lStore.assign(mm, 0.0);
        w.uStore.assign(mm, 0.0);
        setRows(w.aRows, w.a, m);
        setRows(w.lRows, w.lStore, m);
        setRows(w.uRows, w.uStore, m);
        w.perm.assign(size_t(m), 0);
        MatUtil::makeLU(m, w.aRows.data(), w.lRows.data(), w.uRows.data(), w.perm.data());
    }
    w.y.assign(size_t(m), 0.0);
    w.x.assign(size_t(m), 0.0);
    MatUtil::solveLV(m, w.lRows.data(), w.b.data(), w.y.data(), w.perm.data());
    MatUtil::solveUV(m, w.uRows.data(), w.y.data(), w.x.data(), w.perm.data());
    for (int j = 0; j < m; ++j)
        w.c[size_t(j)] = w.x[size_t(w.perm[size_t(j)])];
}

} // namespace

LCFFit::RefTable LCFFit::table(const QList<LCFRefData>& refs, const std::vector<double>& energies)
{
    RefTable t;
    t.energies = energies;
    for (const LCFRefData& ref : refs) {
        std::vector<double> n, p;
        n.reserve(energies.size());
        p.reserve(energies.size());
        for (double e : energies) {
            n.push_back(ref.n.yAt(e + ref.dE));
            p.push_back(ref.p.yAt(e + ref.dE));
        }
        t.n.push_back(std::move(n));
        t.p.push_back(std::move(p));
    }
    return t;
}

AnalyzeReply LCFFit::fit(const LCFRequest& r, Method method)
{
    AnalyzeReply out;
    fitInto(r, r.s, method, out, nullptr, true);
    return out;
}

namespace {
// Finds a point's energy in the table, walking forward from the last match:
// the points of a spectrum cut to a range keep their order.
class TableCursor {
public:
    explicit TableCursor(const LCFFit::RefTable* t) : t(t) {}
    // -1 when the energy is not in the table.
    int at(double e)
    {
        if (!t)
            return -1;
        const int n = int(t->energies.size());
        const double* energies = t->energies.data();
        for (int tries = 0; tries < n; ++tries) {
            if (energies[j] == e)
                return j;
            if (++j == n)
                j = 0;
        }
        return -1;
    }
    void rewind() { j = 0; }

private:
    const LCFFit::RefTable* t;
    int j = 0;
};
} // namespace

void LCFFit::fitInto(const LCFRequest& r, const XafsSpectrum& s, Method method, AnalyzeReply& out,
                     const RefTable* t, bool withCurve, Scratch* scratch)
{
    Scratch local;
    Scratch& w = scratch ? *scratch : local;
    out.generation = r.generation;
    out.kind = kindOf(method);
    out.writeRows = r.writeRows;
    out.fittedSpectrum = XafsSpectrum();
    const int n = int(r.refs.size());
    out.lcfRows.clear();
    for (const LCFRefData& ref : r.refs)
        out.lcfRows.append(ref.index);
    out.lcfRatios.clear();
    out.lcfDMuts.clear();

    // A fit that does not run answers zeros, never an earlier fit's values.
    auto notRun = [&out, n]() {
        out.fitted = false;
        out.lcfRatios = QList<double>(n, 0.0);
        out.lcfDMuts = QList<double>(n, 0.0);
        out.z = 0.0;
    };

    if (s.size() < 1 || r.rowCount < 2)
        return notRun();
    const Range rg = range(r.refs, r.sE0, r.eE0);
    // Written so that a jump that is not a number stops the fit too.
    if (method == Current && !(s.dMut > 0.0))
        return notRun();
    // The table holds the references at unshifted energies only.
    if (t && (s.eOffset != 0.0 || s.useXOffset || int(t->n.size()) != n))
        t = nullptr;
    TableCursor cursor(t);
    // Off the table (also for a point the table lacks) the references are read
    // at ascending energies, set up when first needed.
    w.refN.clear();
    w.refP.clear();
    auto offTable = [&w, &r](bool raw, int k, double e) {
        if (w.refN.empty()) {
            for (const LCFRefData& ref : r.refs) {
                w.refN.emplace_back(ref.n, false);
                w.refP.emplace_back(ref.p, false);
            }
        }
        return (raw ? w.refP : w.refN)[size_t(k)].at(e + r.refs[k].dE);
    };

    const bool multi = method == Multi;
    const int m = multi ? n + 2 : n;
    const int first = multi ? 2 : 0;
    const Spectrum& sN = s.doubleNormalized;
    w.a.assign(size_t(m) * size_t(m), 0.0);
    w.b.assign(size_t(m), 0.0);
    w.v.assign(size_t(m), 0.0);
    double* const a = w.a.data();
    double* const b = w.b.data();
    double* const v = w.v.data();
    // On the table the normal matrix depends only on which of its energies take
    // part: the same run of them as in the fit that kept it gives the same
    // matrix, summed in the same order then, so it is taken from there.
    // The terms of point i at e, j its place in the table (-1: off it), into v;
    // returns the value observed there.
    auto terms = [&](int i, double e, int j) {
        if (multi) {
            v[0] = 1.0;
            v[1] = e;
            for (int k = 0; k < n; ++k)
                v[k + 2] = j >= 0 ? t->p[size_t(k)][size_t(j)] : offTable(true, k, e);
            return s.y(i);
        }
        for (int k = 0; k < n; ++k)
            v[k] = j >= 0 ? t->n[size_t(k)][size_t(j)] : offTable(false, k, e);
        return i < sN.size() ? sN.y(i) : 0.0;
    };
    bool allOnTable = false, kept = false;
    // On the table the right-hand side is summed while the points are found in it.
    const bool bSummed = t != nullptr;
    if (t) {
        w.idx.clear();
        allOnTable = true;
        for (int i = 0; i < s.size(); ++i) {
            const double e = s.pos(i) - s.eOffset;
            if (rg.lo <= e && e <= rg.hi) {
                const int j = cursor.at(e);
                w.idx.push_back(j);
                allOnTable = allOnTable && j >= 0;
                if (!multi && j >= 0) {
                    // Straight from the table: terms just stored to v and read
                    // back at once stall the sums.
                    const double obs = i < sN.size() ? sN.y(i) : 0.0;
                    for (int k = 0; k < n; ++k)
                        b[k] += t->n[size_t(k)][size_t(j)] * obs;
                    continue;
                }
                const double obs = terms(i, e, j);
                for (int jj = 0; jj < m; ++jj)
                    b[jj] += v[jj] * obs;
            }
        }
        cursor.rewind();
        kept = allOnTable && w.keptFor == t && w.keptMulti == multi && w.keptIdx == w.idx &&
               w.keptA.size() == w.a.size();
        if (kept)
            std::copy(w.keptA.cbegin(), w.keptA.cend(), w.a.begin());
    }
    int p = 0;
    for (int i = 0; !kept && i < s.size(); ++i) {
        const double e = s.pos(i) - s.eOffset;
        if (!(rg.lo <= e && e <= rg.hi))
            continue;
        const double obs = terms(i, e, t ? w.idx[size_t(p++)] : -1);
        for (int jj = 0; jj < m; ++jj) {
            double* row = a + size_t(jj) * size_t(m);
            for (int l = 0; l < m; ++l)
                row[l] += v[jj] * v[l];
            if (!bSummed)
                b[jj] += v[jj] * obs;
        }
    }
    if (allOnTable && !kept) {
        w.keptFor = t;
        w.keptMulti = multi;
        w.keptIdx = w.idx;
        w.keptA = w.a;
    }

    // An empty range still fits: with no point, nothing moves a coefficient off 0.
    // The factors of the kept matrix are kept with it.
    solve(m, w, kept && w.keptFactored);
    w.keptFactored = allOnTable;
    const std::vector<double>& c = w.c;

    double sum = 0.0;
    if (multi) {
        for (int k = 0; k < n; ++k)
            sum += c[size_t(k + first)];
        if (!(sum >= 0.0))
            sum = 0.0;
    }
    const double jump = s.dMut;
    const double posJump = jump > 0.0 ? jump : 0.0;
    out.lcfRatios.reserve(n);
    out.lcfDMuts.reserve(n);
    for (int k = 0; k < n; ++k) {
        const double ck = c[size_t(k + first)];
        switch (method) {
        case Multi: {
            const double clipped = std::max(ck, 0.0);
            out.lcfRatios.append(clipped / sum);
            out.lcfDMuts.append(clipped);
            break;
        }
        case Old:
            out.lcfRatios.append(ck);
            out.lcfDMuts.append(ck * posJump);
            break;
        default:
            out.lcfRatios.append(ck);
            out.lcfDMuts.append(ck * jump);
            break;
        }
    }

    // Built from this fit's fractions, on the frame the fit used.
    Spectrum& curve = w.curve;
    curve.points.clear();
    curve.resetMinMax();
    curve.points.reserve(s.size());
    // Without the extremes the points are written in place, not appended one by one.
    if (!withCurve)
        curve.points.resize(s.size());
    QPointF* const into = curve.points.data();
    int made = 0;
    const QList<double>& ratios = out.lcfRatios;
    cursor.rewind();
    // Where each point of s stands in the curve, -1 when it is not in it.
    w.curveAt.assign(size_t(s.size()), -1);
    bool ascending = true;
    for (int i = 0; i < s.size(); ++i) {
        const double e = s.pos(i) - s.eOffset;
        if (!(rg.lo2 <= e && e <= rg.hi2))
            continue;
        const int j = cursor.at(e);
        double y = 0.0;
        for (int k = 0; k < n; ++k)
            y += ratios[k] * (j >= 0 ? t->n[size_t(k)][size_t(j)] : offTable(false, k, e));
        if (withCurve) {
            ascending = ascending && (curve.size() == 0 || curve.points.constLast().x() <= e);
            w.curveAt[size_t(i)] = curve.size();
            curve.append(e, y);
        } else { // only looked up below: its extremes are not read
            ascending = ascending && (made == 0 || into[made - 1].x() <= e);
            w.curveAt[size_t(i)] = made;
            into[made++] = QPointF(e, y);
        }
    }
    if (!withCurve)
        curve.points.resize(made);

    // Measured and fitted curves compared at the same energies.
    double sumSq = 0.0;
    int zCount = 0;
    // Its own check of the order is made only when a point needs the walk.
    std::optional<Spectrum::Lookup> fitted;
    const QPointF* cp = curve.points.constData();
    const int cn = curve.size();
    const bool samePoints = sN.size() == s.size();
    for (int i = 1; i < sN.size() - 1; ++i) {
        const double e = sN.pos(i) - s.eOffset;
        if (!(rg.lo <= e && e <= rg.hi))
            continue;
        const double y = sN.y(i);
        // At a point of the curve that has one above it the lookup gives the
        // expression below; it is taken from there without the walk.
        const int c = samePoints ? w.curveAt[size_t(i)] : -1;
        double at;
        if (ascending && c >= 0 && c + 1 < cn && e == cp[c].x() && cp[c + 1].x() - e > 0.0 &&
            std::fabs(cp[c + 1].y() - cp[c].y()) <= (cp[c + 1].x() - e) * 1e300)
            at = (e - cp[c].x()) * (cp[c + 1].y() - cp[c].y()) + cp[c].y();
        else {
            if (!fitted)
                fitted.emplace(curve, false);
            at = fitted->at(e);
        }
        const double d = (y == 0.0) ? 1.0 : (at - y) / y;
        sumSq += d * d;
        ++zCount;
    }
    out.z = (zCount > 0 ? sumSq / zCount : 0.0) / double(s.size());
    if (withCurve)
        out.fittedSpectrum = XafsSpectrum(curve, multi ? QStringLiteral("anal-MLCF") : QStringLiteral("anal-LCF"),
                                          1, 0.0, r.sElm);
    out.fitted = true;
}

QString LCFFit::rangeMistake(const QList<LCFRefData>& refs, double sE0, double eE0, const std::vector<double>& energies)
{
    if (refs.isEmpty() || energies.empty())
        return QString();
    double edge = 1e300;
    for (const LCFRefData& r : refs)
        edge = std::min(edge, r.edge - r.dE);
    const double from = std::max(sE0, edge + XafsSpectrum().postS);
    const auto n = std::count_if(energies.begin(), energies.end(), [&](double e) { return from <= e && e <= eE0; });
    if (n >= 2)
        return QString();
    return QStringLiteral("Fitting Range %1 to %2 eV holds %3 of the stack's energies from %4 eV, 10 eV past the "
                          "references' edge, where a bin's post-edge line is fitted: 2 at least are needed")
        .arg(sE0, 0, 'g', 8)
        .arg(eE0, 0, 'g', 8)
        .arg(n)
        .arg(edge + XafsSpectrum().postS, 0, 'g', 8);
}
