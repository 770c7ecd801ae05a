#include "analysis/LCFFit.h"

#include "foundation/MatUtil.h"

#include <algorithm>
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

// Solves a·c = b through the LU helpers; a zero pivot is not reported, as the
// fits take whatever the helpers leave.
std::vector<double*> rowsOf(std::vector<double>& store, int m)
{
    std::vector<double*> rows(size_t(m), nullptr);
    for (int i = 0; i < m; ++i)
        rows[size_t(i)] = store.data() + size_t(i) * size_t(m);
    return rows;
}

std::vector<double> solve(int m, std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> c(size_t(m), 0.0);
    if (m < 1)
        return c;
    const size_t mm = size_t(m) * size_t(m);
    std::vector<double> lStore(mm, 0.0);
    std::vector<double> uStore(mm, 0.0);
    std::vector<double*> aRows = rowsOf(a, m);
    std::vector<double*> lRows = rowsOf(lStore, m);
    std::vector<double*> uRows = rowsOf(uStore, m);
    std::vector<double> y(size_t(m), 0.0);
    std::vector<double> x(size_t(m), 0.0);
    std::vector<int> perm(size_t(m), 0);
    MatUtil::makeLU(m, aRows.data(), lRows.data(), uRows.data(), perm.data());
    MatUtil::solveLV(m, lRows.data(), b.data(), y.data(), perm.data());
    MatUtil::solveUV(m, uRows.data(), y.data(), x.data(), perm.data());
    for (int j = 0; j < m; ++j)
        c[size_t(j)] = x[size_t(perm[size_t(j)])];
    return c;
}

} // namespace

AnalyzeReply LCFFit::fit(const LCFRequest& r, Method method)
{
    AnalyzeReply out;
    out.generation = r.generation;
    out.kind = kindOf(method);
    out.writeRows = r.writeRows;
    const int n = int(r.refs.size());
    for (const LCFRefData& ref : r.refs)
        out.lcfRows.append(ref.index);

    // A fit that does not run answers zeros, never an earlier fit's values.
    auto notRun = [&out, n]() {
        out.fitted = false;
        out.lcfRatios = QList<double>(n, 0.0);
        out.lcfDMuts = QList<double>(n, 0.0);
        out.z = 0.0;
        return out;
    };

    const XafsSpectrum& s = r.s;
    if (s.size() < 1 || r.rowCount < 2)
        return notRun();
    const Range rg = range(r.refs, r.sE0, r.eE0);
    // Written so that a jump that is not a number stops the fit too.
    if (method == Current && !(s.dMut > 0.0))
        return notRun();

    const bool multi = method == Multi;
    const int m = multi ? n + 2 : n;
    const int first = multi ? 2 : 0;
    const Spectrum& sN = s.doubleNormalized;
    std::vector<double> a(size_t(m) * size_t(m), 0.0), b(size_t(m), 0.0), v(size_t(m), 0.0);
    for (int i = 0; i < s.size(); ++i) {
        const double e = s.pos(i) - s.eOffset;
        if (!(rg.lo <= e && e <= rg.hi))
            continue;
        double obs;
        if (multi) {
            v[0] = 1.0;
            v[1] = e;
            for (int k = 0; k < n; ++k)
                v[size_t(k + 2)] = r.refs[k].p.yAt(e + r.refs[k].dE);
            obs = s.y(i);
        } else {
            for (int k = 0; k < n; ++k)
                v[size_t(k)] = r.refs[k].n.yAt(e + r.refs[k].dE);
            obs = i < sN.size() ? sN.y(i) : 0.0;
        }
        for (int j = 0; j < m; ++j) {
            double* row = a.data() + size_t(j) * size_t(m);
            for (int l = 0; l < m; ++l)
                row[l] += v[size_t(j)] * v[size_t(l)];
            b[size_t(j)] += v[size_t(j)] * obs;
        }
    }

    // An empty range still fits: with no point, nothing moves a coefficient off 0.
    const std::vector<double> c = solve(m, a, b);

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
    Spectrum curve;
    curve.points.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        const double e = s.pos(i) - s.eOffset;
        if (!(rg.lo2 <= e && e <= rg.hi2))
            continue;
        double y = 0.0;
        for (int k = 0; k < n; ++k)
            y += out.lcfRatios[k] * r.refs[k].n.yAt(e + r.refs[k].dE);
        curve.append(e, y);
    }
    out.fittedSpectrum = XafsSpectrum(curve, multi ? QStringLiteral("anal-MLCF") : QStringLiteral("anal-LCF"),
                                      1, 0.0, r.sElm);

    // Measured and fitted curves compared at the same energies.
    double sumSq = 0.0;
    int zCount = 0;
    for (int i = 1; i < sN.size() - 1; ++i) {
        const double e = sN.pos(i) - s.eOffset;
        if (!(rg.lo <= e && e <= rg.hi))
            continue;
        const double y = sN.y(i);
        const double d = (y == 0.0) ? 1.0 : (out.fittedSpectrum.yAt(e) - y) / y;
        sumSq += d * d;
        ++zCount;
    }
    out.z = (zCount > 0 ? sumSq / zCount : 0.0) / double(s.size());
    out.fitted = true;
    return out;
}
