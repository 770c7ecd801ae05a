#include "foundation/PolyFit.h"

#include "foundation/MatUtil.h"

#include <algorithm>
#include <cmath>

PolyFit::PolyFit(int nCoefficients, bool autoSolve)
    : n(std::max(nCoefficients, 0))
    , coefficients(n, 0.0)
    , powerSums(2 * n, 0.0)
    , rightSums(n, 0.0)
    , autoSolve(autoSolve)
{
}

void PolyFit::addPoint(double x, double y)
{
    double p = 1.0;
    for (int k = 0; k < 2 * n; ++k) {
        powerSums[k] += p;
        if (k < n)
            rightSums[k] += y * p;
        p *= x;
    }
    sumYY += y * y;
    ++count;
    if (autoSolve)
        rmsHistory.append(solve() ? rms() : -1.0);
}

bool PolyFit::solve()
{
    if (n < 1)
        return false;
    double** a = MatUtil::newMatrix(n);
    double** l = MatUtil::newMatrix(n);
    double** u = MatUtil::newMatrix(n);
    double* y = MatUtil::newVector(n);
    double* x = MatUtil::newVector(n);
    int* perm = MatUtil::newIVector(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            a[i][j] = powerSums[i + j];
    const bool ok = MatUtil::makeLU(n, a, l, u, perm);
    if (ok) {
        MatUtil::solveLV(n, l, rightSums.constData(), y, perm);
        MatUtil::solveUV(n, u, y, x, perm);
        for (int i = 0; i < n; ++i)
            coefficients[i] = x[perm[i]];
    }
    MatUtil::deleteIVector(perm);
    MatUtil::deleteVector(x);
    MatUtil::deleteVector(y);
    MatUtil::deleteMatrix(n, u);
    MatUtil::deleteMatrix(n, l);
    MatUtil::deleteMatrix(n, a);
    return ok;
}

double PolyFit::rms()
{
    double s = 0.0;
    for (int i = 0; i < n; ++i) {
        double row = 0.0;
        for (int j = 0; j < n; ++j)
            row += coefficients[j] * powerSums[i + j];
        s += coefficients[i] * (row - 2.0 * rightSums[i]);
    }
    double r = 0.0;
    if (count > 0) {
        s += sumYY;
        if (s > 0)
            r = std::sqrt(s / count);
    }
    lastRms = r;
    return r;
}
