#include "foundation/SurfFit2D.h"

#include "foundation/MatUtil.h"

namespace {
enum {
    X4, X3Y, X2Y2, XY3, Y4, X3, X2Y, XY2, Y3, X2, XY, Y2, X, Y, N, X2Z, Y2Z, XYZ, XZ, YZ, Z
};
} // namespace

void SurfFit2D::clear()
{
    for (double& v : c)
        v = 0.0;
    for (double& v : sums)
        v = 0.0;
}

void SurfFit2D::addPoint(double x, double y, double z)
{
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
    // Basis x², y², xy, x, y, 1: entry (i, j) is the sum of basis_i · basis_j.
    static const int index[6][6] = {
        {X4, X2Y2, X3Y, X3, X2Y, X2},
        {X2Y2, Y4, XY3, XY2, Y3, Y2},
        {X3Y, XY3, X2Y2, X2Y, XY2, XY},
        {X3, XY2, X2Y, X2, XY, X},
        {X2Y, Y3, XY2, XY, Y2, Y},
        {X2, Y2, XY, X, Y, N},
    };
    static const int right[6] = {X2Z, Y2Z, XYZ, XZ, YZ, Z};
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j)
            m[i][j] = sums[index[i][j]];
        rhs[i] = sums[right[i]];
    }
}

bool SurfFit2D::solve()
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
    double m[6][6], l[6][6], u[6][6];
    double b[6], y[6], x[6];
    int perm[6];
    normalSystem(m, b);
    double* mr[6] = {m[0], m[1], m[2], m[3], m[4], m[5]};
    double* lr[6] = {l[0], l[1], l[2], l[3], l[4], l[5]};
    double* ur[6] = {u[0], u[1], u[2], u[3], u[4], u[5]};
    if (!MatUtil::makeLU(6, mr, lr, ur, perm))
        return false;
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
