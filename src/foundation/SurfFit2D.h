#pragma once
// Streaming least-squares fit of z = c0·x² + c1·y² + c2·x·y + c3·x + c4·y + c5.

class SurfFit2D {
public:
    double c[6];
    // Moment sums in the order Σx⁴, Σx³y, Σx²y², Σxy³, Σy⁴, Σx³, Σx²y, Σxy², Σy³,
    // Σx², Σxy, Σy², Σx, Σy, n, Σx²z, Σy²z, Σxyz, Σxz, Σyz, Σz.
    double sums[21];

    // To tell which terms the points fix: the moments up to n once more, taken
    // about the first point (a region far from the origin would drown its own
    // spread), and up to three of the distinct x and y values.
    double local[15];
    double origin[2];
    double xs[3], ys[3];
    int nx, ny;

    SurfFit2D() { clear(); }
    void clear();
    void addPoint(double x, double y, double z);
    // Only the terms the points fix are fitted, the others are 0: an axis with
    // fewer than three values has no square term, one with a single value no
    // linear term and no xy; when that is still not fixed, xy goes, then the
    // squares, then the slopes (the mean). Points that fix all six solve the
    // full normal equations. False only without any point (all 0 then).
    bool solve();
    // The same, through the LU steps directly when all six are fixed.
    bool solveLU();
    double value(double x, double y) const;

private:
    void normalSystem(double m[6][6], double rhs[6]) const;
    unsigned termsFixed() const;
    bool fixes(unsigned terms) const;
    bool solveTerms(unsigned terms);
    bool solveAll();
};
