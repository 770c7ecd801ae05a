#pragma once
// Streaming least-squares fit of z = c0·x² + c1·y² + c2·x·y + c3·x + c4·y + c5.

class SurfFit2D {
public:
    double c[6];
    // Moment sums in the order Σx⁴, Σx³y, Σx²y², Σxy³, Σy⁴, Σx³, Σx²y, Σxy², Σy³,
    // Σx², Σxy, Σy², Σx, Σy, n, Σx²z, Σy²z, Σxyz, Σxz, Σyz, Σz.
    double sums[21];

    SurfFit2D() { clear(); }
    void clear();
    void addPoint(double x, double y, double z);
    // Both keep the previous coefficients when the system is singular.
    bool solve();
    bool solveLU();
    double value(double x, double y) const;

private:
    void normalSystem(double m[6][6], double rhs[6]) const;
};
