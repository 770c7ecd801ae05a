#include "foundation/VictLine.h"

#include "foundation/MatUtil.h"

#include <QDebug>
#include <cmath>

bool VictLine::fit(const Spectrum& s, double from_, double to_, int mode_)
{
    mode = mode_;
    from = from_;
    to = to_;
    ok = (mode == 0) ? fitVictoreen(s, from, to) : fitLine(s, from, to);
    return ok;
}

bool VictLine::fitVictoreen(const Spectrum& s, double lo, double hi)
{
    if (s.size() < 4)
        return false;
    double n = 0, l3 = 0, l4 = 0, l6 = 0, l7 = 0, l8 = 0, sy = 0, syl3 = 0, syl4 = 0;
    const int count = s.size();
    for (int i = 0; i < count; ++i) {
        const double e = s.pos(i);
        if (e >= hi)
            break;
        if (!(e >= lo))
            continue;
        const double lam = HC / e;
        const double lam3 = lam * lam * lam;
        const double lam4 = lam3 * lam;
        const double y = s.y(i);
        n += 1.0;
        l3 += lam3;
        l4 += lam4;
        l6 += lam3 * lam3;
        l7 += lam3 * lam4;
        l8 += lam4 * lam4;
        sy += y;
        syl3 += y * lam3;
        syl4 += y * lam4;
    }
    double m[3][3] = {{n, l3, l4}, {l3, l6, l7}, {l4, l7, l8}};
    double lm[3][3], um[3][3];
    double* mr[3] = {m[0], m[1], m[2]};
    double* lr[3] = {lm[0], lm[1], lm[2]};
    double* ur[3] = {um[0], um[1], um[2]};
    const double rhs[3] = {sy, syl3, syl4};
    double yv[3], xv[3];
    int perm[3];
    // All three steps run and the coefficients are taken even from a failed solve.
    const bool okLU = MatUtil::makeLU(3, mr, lr, ur, perm);
    const bool okLV = MatUtil::solveLV(3, lr, rhs, yv, perm);
    const bool okUV = MatUtil::solveUV(3, ur, yv, xv, perm);
    a = xv[perm[0]];
    b = xv[perm[1]];
    c = xv[perm[2]];
    rmsPass(s, lo, hi, true);
    return okLU && okLV && okUV;
}

bool VictLine::fitLine(const Spectrum& s, double lo, double hi)
{
    if (s.size() < 3)
        return false;
    int n = 0;
    double se = 0, see = 0, sy = 0, sey = 0;
    const int count = s.size();
    for (int i = 0; i < count; ++i) {
        const double e = s.pos(i);
        if (e >= hi)
            break;
        if (!(e >= lo))
            continue;
        const double y = s.y(i);
        ++n;
        se += e;
        see += e * e;
        sy += y;
        sey += e * y;
    }
    bool result;
    if (n < 2) {
        d = 0.0;
        a = sy;
        result = false;
    } else {
        double m[2][2] = {{see, se}, {se, double(n)}};
        double lm[2][2], um[2][2];
        double* mr[2] = {m[0], m[1]};
        double* lr[2] = {lm[0], lm[1]};
        double* ur[2] = {um[0], um[1]};
        const double rhs[2] = {sey, sy};
        double yv[2], xv[2];
        int perm[2];
        const bool okLU = MatUtil::makeLU(2, mr, lr, ur, perm);
        const bool okLV = MatUtil::solveLV(2, lr, rhs, yv, perm);
        const bool okUV = MatUtil::solveUV(2, ur, yv, xv, perm);
        d = xv[perm[0]];
        a = xv[perm[1]];
        result = okLU && okLV && okUV;
    }
    rmsPass(s, lo, hi, false);
    return result;
}

void VictLine::rmsPass(const Spectrum& s, double lo, double hi, bool includeTo)
{
    double sum = 0.0;
    int n = 0;
    const int count = s.size();
    for (int i = 0; i < count; ++i) {
        const double e = s.pos(i);
        if (!(e >= lo) || !(includeTo ? e <= hi : e < hi))
            continue;
        const double r = s.y(i) - plainValue(e);
        sum += r * r;
        ++n;
    }
    rms = (n > 0) ? std::sqrt(sum / n) : 1.0;
    nPoints = n;
}

void VictLine::correctInPost(const VictLine& post) { correct(*this, post, true); }

void VictLine::correctInPre(const VictLine& pre) { correct(pre, *this, false); }

void VictLine::correct(const VictLine& pre, const VictLine& post, bool above)
{
    corrOn = false;
    if (mode != 1)
        return;
    switch (corrType) {
    case CorrPoints:
        above ? genPointsInPost(post) : genPointsInPre(pre);
        break;
    case CorrHyperbola:
        hyperbola(pre, post, above);
        break;
    default:
        above ? genCorrectedInPost(post) : genCorrectedInPre(pre);
        break;
    }
}

// Above `to` of the pre line (or below `from` of the post line) the curve meets
// this line with equal value and slope and approaches the other line far away.
// Once the lines have crossed where it starts, its pole would fall inside its
// own range, so the plain line is kept there.
void VictLine::hyperbola(const VictLine& pre, const VictLine& post, bool above)
{
    const VictLine& other = above ? post : pre;
    const double at = above ? to : from;
    const double dd = post.d - pre.d;
    const double da = post.a - pre.a;
    const double gap = dd * at + da;
    if ((above ? dd < 0 : dd > 0) && gap > 0) {
        hypE = -(2.0 * dd * at + da) / dd;
        hypK = (above ? gap : -gap) * gap / dd;
        corrCoef[0] = other.d;
        corrCoef[1] = other.a;
    } else {
        hypE = 0.0;
        hypK = 0.0;
        corrCoef[0] = d;
        corrCoef[1] = a;
    }
    corrOn = true;
    corrAbove = above;
}

bool VictLine::solveCubic(double t0, double t1, double s0, double s1, double v0, double v1)
{
    double m[4][4] = {
        {3.0 * t0 * t0, 2.0 * t0, 1.0, 0.0},
        {3.0 * t1 * t1, 2.0 * t1, 1.0, 0.0},
        {t0 * t0 * t0, t0 * t0, t0, 1.0},
        {t1 * t1 * t1, t1 * t1, t1, 1.0},
    };
    double lm[4][4], um[4][4];
    double* mr[4] = {m[0], m[1], m[2], m[3]};
    double* lr[4] = {lm[0], lm[1], lm[2], lm[3]};
    double* ur[4] = {um[0], um[1], um[2], um[3]};
    const double rhs[4] = {s0, s1, v0, v1};
    double yv[4], xv[4];
    int perm[4];
    if (!MatUtil::makeLU(4, mr, lr, ur, perm)) {
        qDebug() << "make  LU (2) false in VictLine genCorrectedInPost";
        return false;
    }
    if (!MatUtil::solveLV(4, lr, rhs, yv, perm)) {
        qDebug() << "solve LV (2) false in VictLine genCorrectedInPost";
        return false;
    }
    if (!MatUtil::solveUV(4, ur, yv, xv, perm)) {
        qDebug() << "solve UV (2) false in VictLine genCorrectedInPost";
        return false;
    }
    for (int i = 0; i < 4; ++i)
        corrCoef[i] = xv[perm[i]];
    return true;
}

void VictLine::genCorrectedInPost(const VictLine& post)
{
    if (!(post.d < d))
        return;
    const double t0 = to;
    const double t1 = post.to;
    const double j = post.plainValue(t0) - plainValue(t0);
    const double ex = t0 - j / (post.d - d);
    double y1, s1;
    if (t1 > ex) {
        const double r = (ex - t0) / (t1 - t0);
        y1 = post.plainValue(t1) - j * r;
        s1 = post.d * (1.0 - r) + d * r;
    } else {
        y1 = (plainValue(t0) + plainValue(t1) + post.plainValue(t1) - post.plainValue(t0)) / 2.0;
        s1 = post.d;
    }
    if (solveCubic(t0, t1, d, s1, plainValue(t0), y1)) {
        corrOn = true;
        corrAbove = true;
    }
}

void VictLine::genCorrectedInPre(const VictLine& pre)
{
    if (!(pre.d < d))
        return;
    const double f0 = from;
    const double s0 = pre.from;
    const double j = plainValue(f0) - pre.plainValue(f0);
    const double ex = f0 - j / (d - pre.d);
    double t, v;
    if (ex > s0) {
        t = 2.0 * s0 - f0;
        v = pre.plainValue(t);
    } else {
        t = s0;
        v = (pre.plainValue(s0) + plainValue(s0) + plainValue(f0) - pre.plainValue(f0)) / 2.0;
    }
    if (solveCubic(t, f0, pre.d, d, v, plainValue(f0))) {
        corrOn = true;
        corrAbove = false;
    }
}

void VictLine::genPointsInPost(const VictLine& post)
{
    if (!(post.d < d))
        return;
    const double t0 = to;
    const double t1 = post.to;
    const double j = post.plainValue(t0) - plainValue(t0);
    const double ex = t0 - j / (post.d - d);
    const double r = 0.5 * (ex - t0) / (t1 - t0);
    if (!(r <= 1.0))  // also when r is not a number
        return;
    const double delta = (t1 - t0) * 0.1 * r;
    const double q = post.plainValue(t1) - 0.5 * j * r;
    const double p0 = plainValue(t0);
    controlPoints = {QPointF(t0, p0), QPointF(t0 + delta, p0 + d * delta),
                     QPointF(t1 - delta, q - post.d * delta), QPointF(t1, q)};
    sampleBezier();
    corrOn = true;
    corrAbove = true;
}

void VictLine::genPointsInPre(const VictLine& pre)
{
    if (!(pre.d < d))
        return;
    const double s0 = pre.from;
    const double f0 = from;
    const double j = plainValue(s0) - pre.plainValue(s0);
    const double ex = s0 - j / (d - pre.d);
    const double r = 0.5 * (ex - f0) / (s0 - f0);
    if (!(r <= 1.0))
        return;
    const double pf0 = plainValue(f0);
    const double y0 = pre.plainValue(s0) + 0.5 * (pf0 - pre.plainValue(f0)) * r;
    const double delta = (s0 - f0) * 0.1 * r;
    controlPoints = {QPointF(s0, y0), QPointF(s0 - delta, y0 - pre.d * delta),
                     QPointF(f0 + delta, pf0 + d * delta), QPointF(f0, pf0)};
    sampleBezier();
    corrOn = true;
    corrAbove = false;
}

void VictLine::sampleBezier()
{
    // Start afresh so a second normalisation does not stack a second curve on the first.
    points.clear();
    resetMinMax();
    for (double t = 0.0; t < 1.0; t += 0.01) {
        const QPointF p = bezierPoint(controlPoints, t);
        append(p.x(), p.y());
    }
}

bool VictLine::crossesWithin(const VictLine& la, const VictLine& lb, double lo, double hi)
{
    if (la.mode != 1 || lb.mode != 1)
        return false;
    if (la.d == lb.d)
        return la.a == lb.a;
    const double ex = -(la.a - lb.a) / (la.d - lb.d);
    return lo <= ex && ex <= hi;
}

QPointF VictLine::bezierPoint(const QList<QPointF>& cp, double t)
{
    if (cp.size() < 4)
        return QPointF();
    const double u = 1.0 - t;
    const double w0 = u * u * u;
    const double w1 = 3.0 * u * u * t;
    const double w2 = 3.0 * u * t * t;
    const double w3 = t * t * t;
    return QPointF(w0 * cp[0].x() + w1 * cp[1].x() + w2 * cp[2].x() + w3 * cp[3].x(),
                   w0 * cp[0].y() + w1 * cp[1].y() + w2 * cp[2].y() + w3 * cp[3].y());
}
