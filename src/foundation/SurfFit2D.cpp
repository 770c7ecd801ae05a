#include "foundation/SurfFit2D.h"

#include "foundation/MatUtil.h"

#include <cmath>
#include <initializer_list>

namespace {
enum {
    X4, X3Y, X2Y2, XY3, Y4, X3, X2Y, XY2, Y3, X2, XY, Y2, X, Y, N, X2Z, Y2Z, XYZ, XZ, YZ, Z
};

// Bits of the terms, in the order of the coefficients.
enum : unsigned { TX2 = 1, TY2 = 2, TXY = 4, TX = 8, TY = 16, T1 = 32, allTerms = 63 };

// Basis x², y², xy, x, y, 1: entry (i, j) is the sum of basis_i · basis_j.
const int gram[6][6] = {
    {X4, X2Y2, X3Y, X3, X2Y, X2},
    {X2Y2, Y4, XY3, XY2, Y3, Y2},
    {X3Y, XY3, X2Y2, X2Y, XY2, XY},
    {X3, XY2, X2Y, X2, XY, X},
    {X2Y, Y3, XY2, XY, Y2, Y},
    {X2, Y2, XY, X, Y, N},
};

// A pivot of the scaled Gram matrix below this: some combination of the
// terms is zero on every point.
const double smallestPivot = 1e-9;

int termIndices(unsigned terms, int idx[6])
{
    int k = 0;
    for (int i = 0; i < 6; ++i) {
        if (terms & (1u << i))
            idx[k++] = i;
    }
    return k;
}

void noteValue(double seen[3], int& n, double v)
{
    for (int i = 0; i < n; ++i) {
        if (seen[i] == v)
            return;
    }
    if (n < 3)
        seen[n++] = v;
}
} // namespace

void SurfFit2D::clear()
{
    for (double& v : c)
        v = 0.0;
    for (double& v : sums)
        v = 0.0;
    for (double& v : local)
        v = 0.0;
    origin[0] = origin[1] = 0.0;
    for (int i = 0; i < 3; ++i)
        xs[i] = ys[i] = 0.0;
    nx = ny = 0;
}

void SurfFit2D::addPoint(double x, double y, double z)
{
    if (nx == 0) {
        origin[0] = x;
        origin[1] = y;
    }
    noteValue(xs, nx, x);
    noteValue(ys, ny, y);
    const double u = x - origin[0], v = y - origin[1];
    const double uu = u * u, vv = v * v, uv = u * v;
    const double p[15] = {uu * uu, uu * uv, uu * vv, uv * vv, vv * vv, uu * u, uu * v, u * vv,
                          vv * v,  uu,      uv,      vv,      u,       v,      1.0};
    for (int i = 0; i < 15; ++i)
        local[i] += p[i];

    const double xx = x * x, yy = y * y, xy = x * y;
    sums[X4] += xx * xx;
    sums[X3Y] += xx * xy;
    sums[X2Y2] += xx * yy;
    sums[XY3] += xy * yy;
    sums[Y4] += yy * yy;
    sums[X3] += xx * x;
    sums[X2Y] += xx * y;
    sums[XY2] += x * yy;
    sums[Y3] += yy * y;
    sums[X2] += xx;
    sums[XY] += xy;
    sums[Y2] += yy;
    sums[X] += x;
    sums[Y] += y;
    sums[N] += 1.0;
    sums[X2Z] += xx * z;
    sums[Y2Z] += yy * z;
    sums[XYZ] += xy * z;
    sums[XZ] += x * z;
    sums[YZ] += y * z;
    sums[Z] += z;
}

void SurfFit2D::normalSystem(double m[6][6], double rhs[6]) const
{
    static const int right[6] = {X2Z, Y2Z, XYZ, XZ, YZ, Z};
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j)
            m[i][j] = sums[gram[i][j]];
        rhs[i] = sums[right[i]];
    }
}

unsigned SurfFit2D::termsFixed() const
{
    if (nx == 0)
        return 0;
    unsigned t = T1;
    if (nx >= 2)
        t |= nx >= 3 ? TX | TX2 : TX;
    if (ny >= 2)
        t |= ny >= 3 ? TY | TY2 : TY;
    if (nx >= 2 && ny >= 2)
        t |= TXY;
    for (unsigned fewer : {t, t & ~TXY, t & (TX | TY | T1)}) {
        if (fixes(fewer))
            return fewer;
    }
    return T1;
}

bool SurfFit2D::fixes(unsigned terms) const
{
    int idx[6];
    const int k = termIndices(terms, idx);
    double g[6][6];
    double d[6];
    for (int a = 0; a < k; ++a) {
        const double diag = local[gram[idx[a]][idx[a]]];
        if (!(diag > 0.0))
            return false;
        d[a] = 1.0 / std::sqrt(diag);
    }
    // Unit diagonal, so that one bound serves terms of any size.
    for (int a = 0; a < k; ++a)
        for (int b = 0; b < k; ++b)
            g[a][b] = local[gram[idx[a]][idx[b]]] * d[a] * d[b];
    // Symmetric elimination, the largest diagonal left first.
    bool done[6] = {};
    for (int step = 0; step < k; ++step) {
        int p = -1;
        for (int a = 0; a < k; ++a) {
            if (!done[a] && (p < 0 || g[a][a] > g[p][p]))
                p = a;
        }
        if (!(g[p][p] > smallestPivot))
            return false;
        done[p] = true;
        for (int a = 0; a < k; ++a) {
            if (done[a])
                continue;
            const double f = g[a][p] / g[p][p];
            for (int b = 0; b < k; ++b) {
                if (!done[b])
                    g[a][b] -= f * g[p][b];
            }
        }
    }
    return true;
}

bool SurfFit2D::solveTerms(unsigned terms)
{
    for (double& v : c)
        v = 0.0;
    int idx[6];
    const int k = termIndices(terms, idx);
    if (k == 0)
        return false;
    double m[6][6], b[6];
    normalSystem(m, b);
    double sub[6][6], rhs[6];
    double* rows[6] = {sub[0], sub[1], sub[2], sub[3], sub[4], sub[5]};
    for (int a = 0; a < k; ++a) {
        for (int j = 0; j < k; ++j)
            sub[a][j] = m[idx[a]][idx[j]];
        rhs[a] = b[idx[a]];
    }
    if (!MatUtil::solveInPlace(k, rows, rhs))
        return false;
    for (int a = 0; a < k; ++a)
        c[idx[a]] = rhs[a];
    return true;
}

bool SurfFit2D::solve()
{
    const unsigned terms = termsFixed();
    if (terms == allTerms ? solveAll() : solveTerms(terms))
        return true;
    // Only an exact zero pivot gets here: the mean at least.
    return solveTerms(terms & T1);
}

bool SurfFit2D::solveAll()
{
    double m[6][6];
    double b[6];
    normalSystem(m, b);
    double* rows[6] = {m[0], m[1], m[2], m[3], m[4], m[5]};
    if (!MatUtil::solveInPlace(6, rows, b))
        return false;
    for (int i = 0; i < 6; ++i)
        c[i] = b[i];
    return true;
}

bool SurfFit2D::solveLU()
{
    if (termsFixed() != allTerms)
        return solve();
    double m[6][6], l[6][6], u[6][6];
    double b[6], y[6], x[6];
    int perm[6];
    normalSystem(m, b);
    double* mr[6] = {m[0], m[1], m[2], m[3], m[4], m[5]};
    double* lr[6] = {l[0], l[1], l[2], l[3], l[4], l[5]};
    double* ur[6] = {u[0], u[1], u[2], u[3], u[4], u[5]};
    if (!MatUtil::makeLU(6, mr, lr, ur, perm))
        return solveTerms(T1);
    MatUtil::solveLV(6, lr, b, y, perm);
    MatUtil::solveUV(6, ur, y, x, perm);
    for (int i = 0; i < 6; ++i)
        c[i] = x[perm[i]];
    return true;
}

double SurfFit2D::value(double x, double y) const
{
    return c[0] * x * x + c[1] * y * y + c[2] * x * y + c[3] * x + c[4] * y + c[5];
}
