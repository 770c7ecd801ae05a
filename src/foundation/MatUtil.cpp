#include "foundation/MatUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
int sizeOf(int n) { return std::max(n, 0); }
} // namespace

double** MatUtil::newMatrix(int n)
{
    const int s = sizeOf(n);
    double** m = new double*[s];
    for (int i = 0; i < s; ++i)
        m[i] = new double[s];
    return m;
}

double* MatUtil::newVector(int n) { return new double[sizeOf(n)]; }

int* MatUtil::newIVector(int n) { return new int[sizeOf(n)]; }

void MatUtil::deleteMatrix(int n, double** m)
{
    if (!m)
        return;
    for (int i = 0; i < n; ++i)
        delete[] m[i];
    delete[] m;
}

void MatUtil::deleteVector(double* v) { delete[] v; }

void MatUtil::deleteIVector(int* v) { delete[] v; }

void MatUtil::zeroMatrix(int n, double** m)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m[i][j] = 0.0;
}

void MatUtil::zeroVector(int n, double* v)
{
    for (int i = 0; i < n; ++i)
        v[i] = 0.0;
}

void MatUtil::identityMatrix(int n, double** m)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m[i][j] = (i == j) ? 1.0 : 0.0;
}

void MatUtil::copyMatrix(int n, double** source, double** target)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            target[i][j] = source[i][j];
}

void MatUtil::copyVector(int n, const double* source, double* target)
{
    for (int i = 0; i < n; ++i)
        target[i] = source[i];
}

void MatUtil::multiplyMatrix(int n, double** a, double** b, double** c)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k)
                s += a[i][k] * b[k][j];
            c[i][j] = s;
        }
}

void MatUtil::multiplyMatrixVector(int n, double** a, const double* v, double* w)
{
    for (int i = 0; i < n; ++i) {
        double s = 0.0;
        for (int j = 0; j < n; ++j)
            s += a[i][j] * v[j];
        w[i] = s;
    }
}

bool MatUtil::hasNaNMatrix(int n, double** m)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (std::isnan(m[i][j]))
                return true;
    return false;
}

bool MatUtil::hasNaNVector(int n, const double* v)
{
    for (int i = 0; i < n; ++i)
        if (std::isnan(v[i]))
            return true;
    return false;
}

namespace {
// The debug print layout: a name line, then each row (or the one vector row)
// followed by "\n# ", then a final newline.
template <class Row>
void printRows(const char* name, int rows, Row printRow)
{
    std::printf("# %s = \n# ", name);
    for (int i = 0; i < rows; ++i) {
        printRow(i);
        std::printf("\n# ");
    }
    std::printf("\n");
}
} // namespace

void MatUtil::printMatrix(const char* name, int n, double** m)
{
    printRows(name, n, [&](int i) {
        for (int j = 0; j < n; ++j)
            std::printf("%g ", m[i][j]);
    });
}

void MatUtil::printPermutedMatrix(const char* name, int n, double** m, const int* perm)
{
    printRows(name, n, [&](int i) {
        for (int j = 0; j < n; ++j)
            std::printf("%g ", m[perm[i]][j]);
    });
}

void MatUtil::printVector(const char* name, int n, const double* v)
{
    printRows(name, 1, [&](int) {
        for (int i = 0; i < n; ++i)
            std::printf("%g ", v[i]);
    });
}

void MatUtil::printIVector(const char* name, int n, const int* v)
{
    printRows(name, 1, [&](int) {
        for (int i = 0; i < n; ++i)
            std::printf("%d ", v[i]);
    });
}

void MatUtil::printPermutedVector(const char* name, int n, const double* v, const int* perm)
{
    printRows(name, 1, [&](int) {
        for (int i = 0; i < n; ++i)
            std::printf("%g ", v[perm[i]]);
    });
}

void MatUtil::eliminate(int n, double** a, double** b)
{
    if (n < 1)
        return;
    std::vector<char> candidate(size_t(n), 1);
    for (int step = 0; step < n; ++step) {
        int k = -1;
        double best = -1e300;
        for (int r = 0; r < n; ++r) {
            if (!candidate[size_t(r)])
                continue;
            if (k < 0)
                k = r;
            const double v = std::fabs(a[r][r]);
            if (v > best) {
                best = v;
                k = r;
            }
        }
        candidate[size_t(k)] = 0;
        const double p = a[k][k];
        if (p == 0.0)
            continue;
        for (int j = 0; j < n; ++j) {
            a[k][j] /= p;
            b[k][j] /= p;
        }
        for (int i = 0; i < n; ++i) {
            if (!candidate[size_t(i)])
                continue;
            const double f = a[i][k];
            for (int j = 0; j < n; ++j) {
                a[i][j] -= f * a[k][j];
                b[i][j] -= f * b[k][j];
            }
        }
    }
}

bool MatUtil::makeLU(int n, double** a, double** l, double** u, int* perm)
{
    if (n < 1)
        return true;
    bool ok = true;
    for (int i = 0; i < n; ++i)
        perm[i] = i;
    copyMatrix(n, a, l);
    double** w = l;
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        double best = 0.0;
        for (int r = k; r < n; ++r) {
            const double v = std::fabs(w[perm[r]][k]);
            if (v > best) {
                best = v;
                pivot = r;
            }
        }
        std::swap(perm[k], perm[pivot]);
        const double p = w[perm[k]][k];
        if (p == 0.0) {
            ok = false;
            continue;
        }
        const double* rowK = w[perm[k]];
        for (int r = k + 1; r < n; ++r) {
            double* row = w[perm[r]];
            const double m = row[k] / p;
            row[k] = m;
            for (int j = k + 1; j < n; ++j)
                row[j] -= m * rowK[j];
        }
    }
    for (int i = 0; i < n; ++i) {
        const int q = perm[i];
        for (int j = 0; j < n; ++j)
            u[q][j] = (j >= i) ? w[q][j] : 0.0;
        for (int j = i; j < n; ++j)
            l[q][j] = (j == i) ? 1.0 : 0.0;
    }
    return ok;
}

bool MatUtil::solveLV(int n, double** l, const double* b, double* y, const int* perm)
{
    if (n < 1)
        return true;
    copyVector(n, b, y);
    bool ok = true;
    for (int i = 0; i < n - 1; ++i) {
        const int q = perm[i];
        const double d = l[q][i];
        if (d == 0.0) {
            ok = false;
            continue;
        }
        y[q] /= d;
        for (int s = i + 1; s < n; ++s)
            y[perm[s]] -= y[q] * l[perm[s]][i];
    }
    return ok;
}

bool MatUtil::solveUV(int n, double** u, const double* y, double* x, const int* perm)
{
    if (n < 1)
        return true;
    copyVector(n, y, x);
    bool ok = true;
    for (int i = n - 1; i >= 0; --i) {
        const int q = perm[i];
        const double d = u[q][i];
        if (d == 0.0) {
            ok = false;
            continue;
        }
        x[q] /= d;
        for (int s = i - 1; s >= 0; --s)
            x[perm[s]] -= x[q] * u[perm[s]][i];
    }
    return ok;
}

bool MatUtil::solveLU(int n, double** a, const double* b, double* x, int* perm)
{
    if (n < 1)
        return true;
    double** l = newMatrix(n);
    double** u = newMatrix(n);
    double* y = newVector(n);
    const bool ok = makeLU(n, a, l, u, perm);
    if (ok) {
        solveLV(n, l, b, y, perm);
        solveUV(n, u, y, x, perm);
    }
    deleteVector(y);
    deleteMatrix(n, u);
    deleteMatrix(n, l);
    return ok;
}

bool MatUtil::solveInPlace(int n, double** a, double* b)
{
    if (n < 1)
        return true;
    double* x = newVector(n);
    int* perm = newIVector(n);
    const bool ok = solveLU(n, a, b, x, perm);
    if (ok)
        for (int i = 0; i < n; ++i)
            b[i] = x[perm[i]];
    deleteIVector(perm);
    deleteVector(x);
    return ok;
}

void MatUtil::newMatrixAndVector(int n, double**& m, double*& v)
{
    m = newMatrix(n);
    v = newVector(n);
}

void MatUtil::deleteMatrixAndVector(int n, double** m, double* v)
{
    deleteMatrix(n, m);
    deleteVector(v);
}
