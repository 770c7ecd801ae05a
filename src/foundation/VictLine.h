#pragma once
// Least-squares line of one side of an absorption edge, in the Victoreen form
// a + b·λ³ + c·λ⁴ (λ = 12398.424360387684 / E) or straight a + d·E, with an
// optional continuation beyond its range that leads it towards the other line.
#include "foundation/Spectrum.h"

#include <array>

class VictLine : public Spectrum {  // the points hold a sampled continuation
public:
    enum CorrType { CorrCubic = 0, CorrPoints = 1, CorrHyperbola = 2 };

    bool ok = false;
    int mode = 1;  // 0 Victoreen, anything else straight
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    // Read by normalisation even when no fit reached its RMS pass.
    double rms = 1.0;
    int nPoints = 0;
    double from = 0.0;
    double to = 0.0;
    int corrType = CorrHyperbola;
    bool corrOn = false;
    bool corrAbove = true;  // continuation above `to`, else below `from`
    // Cubic p0·E³ + p1·E² + p2·E + p3; the hyperbola keeps its slope in [0], intercept in [1].
    double corrCoef[4] = {0.0, 0.0, 0.0, 0.0};
    QList<QPointF> controlPoints;
    double hypE = 0.0;
    double hypK = 0.0;

    static constexpr double HC = 12398.424360387684;  // eV·Å

    bool fit(const Spectrum& s, double from, double to, int mode);
    // Continuation included.
    double value(double e) const;
    // The line of its own form only.
    double plainValue(double e) const;
    // On the pre-edge line, towards the post-edge line `post`.
    void correctInPost(const VictLine& post);
    // On the post-edge line, towards the pre-edge line `pre`.
    void correctInPre(const VictLine& pre);
    // a, d, b, c: the order of the spectrum files.
    std::array<double, 4> coefficients() const { return {a, d, b, c}; }

    static bool crossesWithin(const VictLine& la, const VictLine& lb, double lo, double hi);
    static QPointF bezierPoint(const QList<QPointF>& cp, double t);

private:
    bool fitVictoreen(const Spectrum& s, double from, double to);
    bool fitLine(const Spectrum& s, double from, double to);
    void rmsPass(const Spectrum& s, double from, double to, bool includeTo);
    void correct(const VictLine& pre, const VictLine& post, bool above);
    void hyperbola(const VictLine& pre, const VictLine& post, bool above);
    void genCorrectedInPost(const VictLine& post);
    void genCorrectedInPre(const VictLine& pre);
    void genPointsInPost(const VictLine& post);
    void genPointsInPre(const VictLine& pre);
    // Cubic through (t0, v0) and (t1, v1) with slopes s0 and s1 there.
    bool solveCubic(double t0, double t1, double s0, double s1, double v0, double v1);
    void sampleBezier();
};

// Inline: normalisation reads both lines at every point of every spectrum.
inline double VictLine::plainValue(double e) const
{
    if (mode == 0) {
        const double lam = HC / e;
        return a + lam * lam * lam * (b + c * lam);
    }
    return a + d * e;
}

inline double VictLine::value(double e) const
{
    if (corrOn && ((corrAbove && e > to) || (!corrAbove && e < from))) {
        switch (corrType) {
        case CorrHyperbola: {
            const double v = corrCoef[0] * e + corrCoef[1];
            // k = 0 is the plain line; keep 0 / 0 out of it.
            return hypK == 0.0 ? v : v + hypK / (e + hypE);
        }
        case CorrPoints:
            return yAt(e);
        default:
            return ((corrCoef[0] * e + corrCoef[1]) * e + corrCoef[2]) * e + corrCoef[3];
        }
    }
    return plainValue(e);
}
