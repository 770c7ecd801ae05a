#include "support/EdgeSpectra.h"
#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "foundation/XafsSpectrum.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// 1 eV grid, y = low below `edge` and high from it on.
Spectrum stepSpectrum(double first, double last, double edge, double low = 0.0, double high = 1.0)
{
    Spectrum s;
    for (double e = first; e <= last; e += 1.0)
        s.append(e, e < edge ? low : high);
    return s;
}

// A smooth edge on a 0.5 eV grid, shifted right by `shift`.
Spectrum smoothEdge(double shift)
{
    Spectrum s;
    for (double e = 8900; e <= 9100; e += 0.5) {
        const double y = std::atan((e - 9000) / 3.0) / M_PI + 0.5 + 0.0004 * (e - 9000)
                         + 0.05 * std::exp(-(e - 9012) * (e - 9012) / 20.0);
        s.append(e + shift, y);
    }
    return s;
}

// 0 below 9000 eV, then 0.5 per eV up to 1.9 at 9003.8: half height 0.95 at 9001.9, jump 1.9.
double ramp(double e) { return rampValue(e, 9000, 9003.8, 0.0, 1.9); }

Points rampOn(double first, double last, double step)
{
    Points p;
    for (int k = 0; first + k * step <= last + 1e-9; ++k)
        p << QPointF(first + k * step, ramp(first + k * step));
    return p;
}

// A XANES grid: 3 eV steps to 8995, 0.2 eV steps 8998..9004, then 2 eV steps to 9060.
Points xanesGrid()
{
    return rampOn(8950, 8995, 3) + rampOn(8998, 9004, 0.2) + rampOn(9006, 9060, 2);
}

Points withValue(Points p, double e, double y)
{
    for (QPointF& q : p)
        if (std::fabs(q.x() - e) < 1e-6)
            q.setY(y);
    return p;
}

// Post-edge values moved off 1.9 by a wiggle with no mean and no moment over the points it
// moves, so the post-edge line stays 1.9.
Points wiggled(Points p, const QList<QPointF>& wiggle)
{
    for (const QPointF& w : wiggle)
        p = withValue(p, w.x(), 1.9 + w.y());
    return p;
}

Points withFrame(Points p, double e)
{
    p.insert(std::upper_bound(p.begin(), p.end(), e, [](double v, const QPointF& q) { return v < q.x(); }),
             QPointF(e, ramp(e)));
    return p;
}

SuggestElm suggestion(double edgeEV)
{
    SuggestElm s;
    s.use = true;
    s.edgeEV = edgeEV;
    return s;
}
} // namespace

class TestXafsSpectrum : public QObject {
    Q_OBJECT
private slots:
    void regionFollowsSuggestion()
    {
        SuggestElm se = suggestion(9000);
        se.dPreE = -7;
        se.dPostS = 12;
        const XafsSpectrum on(stepSpectrum(8900, 9100, 9000), "bin", 1, 2.5, se);
        QCOMPARE(on.preE, -7.0);
        QCOMPARE(on.postS, 12.0);
        se.use = false;
        const XafsSpectrum off(stepSpectrum(8900, 9100, 9000), "bin", 1, 2.5, se);
        QCOMPARE(off.preE, -10.0);
        QCOMPARE(off.postS, 10.0);
    }

    void emptyNormalizeChangesNothing()
    {
        XafsSpectrum x;
        x.e0 = 3;
        x.dMut = 4;
        x.normalize(1);
        QCOMPARE(x.e0, 3.0);
        QCOMPARE(x.dMut, 4.0);
        QVERIFY(!x.smoothedValid);
        QVERIFY(std::isnan(x.fraction));
    }

    void stepNormalisation()
    {
        const XafsSpectrum x(stepSpectrum(8900, 9100, 9000, 2.0, 2.5), "step", 1, 0, SuggestElm());
        QVERIFY(std::fabs(x.e0 - 8999.5) < 1e-6);
        QVERIFY(std::fabs(x.dMut - 0.5) < 1e-9);
        QVERIFY(std::fabs(x.pre.value(8950) - 2.0) < 1e-9);
        QVERIFY(std::fabs(x.post.value(9050) - 2.5) < 1e-9);
        QVERIFY(!x.midxOutOfRange);
        QVERIFY(!x.midxNoisy);
        QCOMPARE(x.doubleNormalized.size(), x.size());
        for (int i = 0; i < x.size(); ++i) {
            const double expected = x.x(i) < 9000 ? 0.0 : 1.0;
            QVERIFY(std::fabs(x.normalized.y(i) - expected) < 1e-9);
            QVERIFY(std::fabs(x.doubleNormalized.y(i) - expected) < 1e-9);
            QVERIFY(std::fabs(x.minusPostByJump.y(i) - (expected - 1.0)) < 1e-9);
            QVERIFY(std::fabs(x.minusPostByGap.y(i) - (expected - 1.0)) < 1e-9);
        }
    }

    void edgeAtFraction()
    {
        // A linear ramp from 0 at 9000 to 1 at 9010 crosses level f at 9000 + 10 f.
        Spectrum s;
        for (double e = 8900; e <= 9100; e += 1)
            s.append(e, e < 9000 ? 0.0 : (e > 9010 ? 1.0 : (e - 9000) / 10));
        const XafsSpectrum x(s, "ramp", 1, 0, SuggestElm());
        QVERIFY2(std::fabs(x.edgeAt(0.5) - 9005) < 1e-6, qPrintable(QString::number(x.edgeAt(0.5), 'f', 6)));
        QVERIFY(std::fabs(x.edgeAt(0.3) - 9003) < 1e-6);
    }

    // The edge is where the curve rises steepest per eV. On the XANES grid a glitch at 9008
    // (1.9 -> 1.2 -> 1.9) gives the 2 eV step 9012..9014 a smoothed rise of 0.7 / 5 = 0.14
    // (0.07 per eV), more than the 0.1 of a 0.2 eV step on the ramp (0.5 per eV): taken per step,
    // the pre-edge line would run up to 9002, over the ramp. Taken per eV, both lines are flat
    // (0 up to e0 - 10, 1.9 from e0 + 10), so e0 = 9000 + 0.95 / 0.5 and dMut = 1.9.
    void normalizeTakesSteepestRise_data()
    {
        QTest::addColumn<Points>("points");
        QTest::newRow("even 0.2 eV grid") << rampOn(8980, 9040, 0.2);
        QTest::newRow("fine at the edge, coarse after it") << withValue(xanesGrid(), 9008, 1.2);
        // The frame pair's step holds the glitch's whole rise in no energy: it cannot be the edge.
        Points twice = withValue(xanesGrid(), 9008, 1.2);
        twice.insert(twice.indexOf(QPointF(9012, 1.9)), QPointF(9012, 1.9));
        QTest::newRow("two frames at one energy") << twice;
        // A frame read back 0.01 eV above 9032: rise (2.0 - 1.9) / 5 over 0.01 eV, 2 per eV; over
        // the mean energies 9028..9036, 1.6 eV.
        QTest::newRow("frame 0.01 eV above another")
            << wiggled(withFrame(xanesGrid(), 9032.01), {{9030, 0.1}, {9032, -0.1}, {9034, -0.1}, {9036, 0.1}});
        // 2 eV steps meet 3 eV steps from 9030.05: rise (1.82 - 1.578) / 5 over 0.05 eV, 0.97 per
        // eV; over the mean energies 9026..9036.05, 2.01 eV.
        Points regions = rampOn(8950, 8995, 3) + rampOn(8998, 9004, 0.2) + rampOn(9006, 9030, 2)
                         + rampOn(9030.05, 9060.05, 3);
        QTest::newRow("regions meet with a 0.05 eV step")
            << wiggled(regions, {{9026, -0.322}, {9028, 0.402}, {9036.05, -0.08}});
        // A dip to 1.0 at 9008, then a 3.8 eV step and 0.2 eV steps 9011.8..9012.6: rise 0.9 / 5
        // at 9012.0 over the mean step of 9008..9012.6, 0.92 eV (0.196 per eV); over the mean step
        // from 9011.8 on, 0.2 eV, it would be 0.9 per eV, and the pre-edge line would run to 9002.
        QTest::newRow("dip before a long step and short ones")
            << withValue(rampOn(8950, 8995, 3) + rampOn(8998, 9004, 0.2) + rampOn(9006, 9008, 2)
                             + rampOn(9011.8, 9012.6, 0.2) + rampOn(9014, 9060, 2),
                         9008, 1.0);
    }
    void normalizeTakesSteepestRise()
    {
        QFETCH(Points, points);
        const XafsSpectrum x(spectrumOf(points), "grid", 1, 0, SuggestElm());
        QVERIFY2(std::fabs(x.e0 - 9001.9) < 1e-6, qPrintable(QString::number(x.e0, 'f', 6)));
        QVERIFY2(std::fabs(x.dMut - 1.9) < 1e-9, qPrintable(QString::number(x.dMut, 'f', 9)));
    }

    // Lines 0 and 1.9, level 0.95. The ramp crosses it at k = 9001.8: smoothed 0.8 -> 1.0 over
    // 0.4 eV (0.5 per eV). A dip of 0 at 9008..9012 on the 2 eV grid smooths to 0.76 at 9012 and
    // 1.52 at 9016: rise 0.76 over 4 eV (0.19 per eV), larger per step, crossing at 9013.
    void edgeAtTakesSteepestCrossing_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<double>("fitAt");
        QTest::newRow("even 0.2 eV grid") << rampOn(8980, 9040, 0.2) << 9001.0;
        Points dip = xanesGrid();
        for (double e : {9008.0, 9010.0, 9012.0})
            dip = withValue(dip, e, 0.0);
        QTest::newRow("fine at the edge, dip on the coarse grid") << dip << 9006.0;
        // On 1 eV steps a dip at 9008..9010 with a frame 0.01 eV above 9011: smoothed 0.76 at 9010,
        // 1.52 at 9011.01, over 1.01 eV today, over the mean energies 9009.802..9011.402 (0.475
        // per eV) now.
        Points twin = withFrame(rampOn(8950, 8995, 3) + rampOn(8998, 9004, 0.2) + rampOn(9005, 9060, 1), 9011.01);
        for (double e : {9008.0, 9009.0, 9010.0})
            twin = withValue(twin, e, 0.0);
        QTest::newRow("dip, frame 0.01 eV above another") << twin << 9001.0;
        // A dip of 0 at 9006, 9014 and 9014.2, then 0.2 eV steps to 9015: smoothed 0.76 at 9014.2,
        // 1.52 at 9014.6, a rise of 0.76 over two mean steps of 9006..9015, 3 eV (0.253 per eV).
        // Over two mean steps from 9014 on (0.4 eV, 1.9 per eV), or one step against one of the
        // ramp's (0.2 eV: 3.8 per eV against 1.0), it would beat the ramp.
        Points gap = rampOn(8950, 8995, 3) + rampOn(8998, 9004, 0.2) + rampOn(9006, 9006, 2)
                     + rampOn(9014, 9015, 0.2) + rampOn(9016, 9060, 2);
        for (double e : {9006.0, 9014.0, 9014.2})
            gap = withValue(gap, e, 0.0);
        QTest::newRow("dip across a long step, short ones after it") << gap << 9006.0;
    }
    void edgeAtTakesSteepestCrossing()
    {
        QFETCH(Points, points);
        QFETCH(double, fitAt);
        XafsSpectrum x;
        static_cast<Spectrum&>(x) = spectrumOf(points);
        x.smooth(2);
        x.fitPrePost(fitAt, 1);
        QVERIFY(std::fabs(x.pre.value(8960)) < 1e-9 && std::fabs(x.post.value(9040) - 1.9) < 1e-9);
        const double edge = x.edgeAt(0.5);
        QVERIFY2(std::fabs(edge - 9001.9) < 1e-6, qPrintable(QString::number(edge, 'f', 6)));
    }

    // Even grids near their ends, where the running mean is cut short. A 1 eV grid 8970..9030,
    // y = 0.8 + atan((E - 9000) / 2) / pi: its steepest smoothed rise is (y(9002) - y(8997)) / 5
    // = 0.113. A frame 0.3 off two steps from an end moves a rise of a 4-point mean against a
    // 3-point one by 0.3 / 4 = 0.075: less, so the edge stays near 9000 with a jump of about 0.9.
    void evenGridFrameOffNearEnd_data()
    {
        QTest::addColumn<double>("offAt");
        QTest::addColumn<double>("by");
        QTest::newRow("8973 eV read 0.3 high") << 8973.0 << 0.3;
        QTest::newRow("9027 eV read 0.3 low") << 9027.0 << -0.3;
    }
    void evenGridFrameOffNearEnd()
    {
        QFETCH(double, offAt);
        QFETCH(double, by);
        Spectrum s;
        for (double e = 8970; e <= 9030; e += 1)
            s.append(e, 0.3 + std::atan((e - 9000) / 2) / M_PI + 0.5 + (e == offAt ? by : 0.0));
        const XafsSpectrum x(s, "end", 1, 0, SuggestElm());
        QVERIFY2(std::fabs(x.e0 - 9000) < 0.3, qPrintable(QString::number(x.e0, 'f', 3)));
        QVERIFY2(std::fabs(x.dMut - 0.9) < 0.1, qPrintable(QString::number(x.dMut, 'f', 3)));
    }

    // On an even grid the first edge estimate is the largest smoothed rise, the first on ties,
    // ends included, whatever the grid's step and offset.
    void evenGridTakesLargestRise()
    {
        quint32 seed = 20261208;
        auto uniform = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return double(seed >> 8) / double(1u << 24);
        };
        for (int trial = 0; trial < 2000; ++trial) {
            const int n = 5 + trial % 7;
            const double step = 0.25 * (1 + trial % 8), first = 8979.37 + 13 * uniform();
            const int edgeAt = int(uniform() * n);
            Spectrum s;
            for (int k = 0; k < n; ++k)
                s.append(first + k * step, (k >= edgeAt ? 1.0 : 0.0) + 0.4 * uniform());
            const XafsSpectrum x(s, "even", 1, 0, SuggestElm());
            int expected = 0;
            double best = 0.0;
            for (int k = 0; k + 1 < n; ++k) {
                if (x.smoothedY[k + 1] - x.smoothedY[k] > best) {
                    best = x.smoothedY[k + 1] - x.smoothedY[k];
                    expected = k;
                }
            }
            QVERIFY2(x.midxIndex == expected, qPrintable(QStringLiteral("trial %1: %2 for %3").arg(trial).arg(x.midxIndex).arg(expected)));
        }
    }

    // The ramp crossing 0.95 at 9001.9 (smoothed rise 0.76 over two 1 eV steps) on a long grid,
    // with a glitch of several frames at an end: its crossing's rise 0.6 (or 0.507) spans two
    // steps as well, though the cut-short means there sit one step apart. The glitch tilts the
    // long lines a little: the crossing moves by a tenth of an eV at most.
    void edgeAtEvenGridGlitchAtEnd_data()
    {
        QTest::addColumn<Points>("points");
        const Points p = rampOn(8800, 9200, 1);
        QTest::newRow("first frames 0 0 1.5 2 2") << withValue(withValue(withValue(p, 8802, 1.5), 8803, 2), 8804, 2);
        QTest::newRow("last frames 0 0 0 1.9 1.9") << withValue(withValue(withValue(p, 9196, 0), 9197, 0), 9198, 0);
    }
    void edgeAtEvenGridGlitchAtEnd()
    {
        QFETCH(Points, points);
        XafsSpectrum x;
        static_cast<Spectrum&>(x) = spectrumOf(points);
        x.smooth(2);
        x.fitPrePost(9001, 1);
        const double edge = x.edgeAt(0.5);
        QVERIFY2(std::fabs(edge - 9001.9) < 0.2, qPrintable(QString::number(edge, 'f', 3)));
    }

    void edgeAtWithoutCrossing()
    {
        // A flat curve never crosses its own level: the rise estimate stays.
        XafsSpectrum x(stepSpectrum(8900, 8950, 10000, 1.0, 1.0), "flat", 1, 0, SuggestElm());
        QVERIFY(std::isfinite(x.e0));
        QCOMPARE(x.e0, x.x(x.midxIndex));
        QCOMPARE(x.edgeAt(0.25), x.x(x.midxIndex));
        QCOMPARE(x.edgeAt(std::numeric_limits<double>::quiet_NaN()), x.x(x.midxIndex));
    }

    void fallingGap()
    {
        // Pre line 2 + 0.001(E - 9000), post line 1 + 0.001(E - 9000): g = -1 at 9000.
        Spectrum s;
        for (double e = 8900; e <= 9100; e += 1)
            s.append(e, (e < 9000 ? 2.0 : 1.0) + 0.001 * (e - 9000));
        XafsSpectrum x;
        static_cast<Spectrum&>(x) = s;
        x.fitPrePost(9000, 1);
        const double g = -1.0;
        QVERIFY(std::fabs((x.post.value(9000) - x.pre.value(9000)) - 2.1 * g) < 1e-8);
        QVERIFY(std::fabs(x.pre.value(8950) - (2.0 - 0.05 + 0.55)) < 1e-8);
        QVERIFY(std::fabs(x.post.value(9050) - (1.0 + 0.05 - 0.55)) < 1e-8);
        // Crossed lines: continuations stay plain, so nothing runs off to infinity.
        for (double e = 8900; e <= 9100; e += 0.25) {
            QVERIFY(std::isfinite(x.pre.value(e)));
            QVERIFY(std::isfinite(x.post.value(e)));
        }
    }

    void suggestionWindow_data()
    {
        QTest::addColumn<double>("edgeEV");
        QTest::addColumn<bool>("outOfRange");
        QTest::addColumn<double>("e0");
        QTest::addColumn<double>("dMut");
        QTest::newRow("edge inside the window") << 9095.0 << false << 9099.5 << 1.0;
        QTest::newRow("edge far above the window") << 8979.0 << true << 8979.0 << 0.0;
        QTest::newRow("edge far below the window") << 9250.0 << true << 9250.0 << 0.0;
    }
    void suggestionWindow()
    {
        QFETCH(double, edgeEV);
        QFETCH(bool, outOfRange);
        QFETCH(double, e0);
        QFETCH(double, dMut);
        const XafsSpectrum x(stepSpectrum(8900, 9300, 9100), "w", 1, 0, suggestion(edgeEV));
        QCOMPARE(x.midxOutOfRange, outOfRange);
        QVERIFY2(std::fabs(x.e0 - e0) < 1e-6, qPrintable(QString::number(x.e0, 'f', 6)));
        QVERIFY(std::fabs(x.dMut - dMut) < 1e-9);
    }

    void noisyFlag_data()
    {
        QTest::addColumn<double>("preNoise");
        QTest::addColumn<double>("postNoise");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("noisy");
        QTest::newRow("jump below both") << 0.01 << 0.01 << 1000.0 << true;
        QTest::newRow("jump above both") << 0.01 << 0.01 << 1.0 << false;
        QTest::newRow("below pre only") << 0.01 << 0.0 << 1000.0 << false;
        // Unreadable post-edge values make the jump NaN; it must not pass as a clean edge.
        QTest::newRow("jump not a number") << 0.0 << std::numeric_limits<double>::quiet_NaN() << 1.0 << true;
    }
    void noisyFlag()
    {
        QFETCH(double, preNoise);
        QFETCH(double, postNoise);
        QFETCH(double, threshold);
        QFETCH(bool, noisy);
        // Alternating noise away from the edge, so the edge itself stays clean.
        Spectrum s;
        int i = 0;
        for (double e = 8900; e <= 9100; e += 1, ++i) {
            const double sign = (i % 2) ? 1.0 : -1.0;
            double y = e < 9000 ? 0.0 : 1.0;
            if (e < 8970)
                y += sign * preNoise;
            if (e > 9030)
                y += sign * postNoise;
            s.append(e, y);
        }
        SuggestElm se = suggestion(9002);
        se.thJumpSigma = threshold;
        const XafsSpectrum x(s, "n", 1, 0, se);
        QCOMPARE(x.midxNoisy, noisy);
        QVERIFY(!x.midxOutOfRange);
        if (noisy) {
            QCOMPARE(x.e0, 9002.0);
            QCOMPARE(x.dMut, 0.0);
        } else {
            QVERIFY(std::fabs(x.e0 - 8999.5) < 0.01);
            QVERIFY(std::fabs(x.dMut - 1.0) < 0.01);
        }
    }

    void innerProductShiftFindsShift_data()
    {
        QTest::addColumn<double>("moved");
        QTest::addColumn<double>("centre");
        QTest::addColumn<double>("expected");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("against itself") << 0.0 << 0.0 << 0.0 << 0.0;
        // Every pass is centred on the e0 difference: from 3.2 the fine passes reach
        // 3.237; from 0 they cannot leave ±1, so the coarse pass's 3 stays.
        QTest::newRow("centred near the shift") << 3.237 << 3.2 << 3.237 << 0.006;
        QTest::newRow("centred on zero") << 3.237 << 0.0 << 3.0 << 1e-9;
    }
    void innerProductShiftFindsShift()
    {
        QFETCH(double, moved);
        QFETCH(double, centre);
        QFETCH(double, expected);
        QFETCH(double, tolerance);
        const XafsSpectrum standard(smoothEdge(0), "std", 1, 0, SuggestElm());
        XafsSpectrum m(smoothEdge(moved), "moved", 1, 0, SuggestElm());
        QVERIFY(std::fabs((m.e0 - standard.e0) - moved) < 0.01);
        m.e0 = standard.e0 + centre;
        const double shift = m.innerProductShift(standard, 10, 1, 0.01);
        QVERIFY2(std::fabs(shift - expected) <= tolerance, qPrintable(QString::number(shift, 'f', 6)));
    }

    // Steps that would never end a pass, or ranges that cannot be walked, give no shift.
    void innerProductShiftGuards()
    {
        const double inf = std::numeric_limits<double>::infinity();
        const XafsSpectrum standard(smoothEdge(0), "std", 1, 0, SuggestElm());
        const XafsSpectrum moved(smoothEdge(2), "moved", 1, 0, SuggestElm());
        QCOMPARE(moved.innerProductShift(standard, 10, 0.001, 0.01), 0.0);
        QCOMPARE(moved.innerProductShift(standard, 10, 0, 0), 0.0);
        QCOMPARE(moved.innerProductShift(standard, 10, std::nan(""), 0.01), 0.0);
        QCOMPARE(moved.innerProductShift(standard, inf, 1, 0.5), 0.0);
    }

    // A spectrum rebuilt on the storage of another holds what a new one holds.
    void rebuildAsConstructed_data()
    {
        QTest::addColumn<Points>("before");
        QTest::addColumn<Points>("after");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("suggested");
        QTest::addColumn<bool>("lean");
        Points falling;
        for (double e = 8900; e <= 9100; e += 1)
            falling << QPointF(e, (e < 9000 ? 2.0 : 1.0) + 0.001 * (e - 9000));
        const Points edge = smoothEdge(0.3).points;
        QTest::newRow("falling gap twice") << falling << withValue(falling, 9040, 1.3) << 1 << 0.0 << false << false;
        QTest::newRow("shorter, suggested") << edge << xanesGrid() << 1 << 2.5 << true << false;
        QTest::newRow("longer, Victoreen") << xanesGrid() << edge << 0 << -1.25 << false << false;
        QTest::newRow("empty after points") << edge << Points() << 1 << 0.0 << false << false;
        QTest::newRow("fit curve only") << xanesGrid() << edge << 1 << 0.75 << true << true;
    }

    void rebuildAsConstructed()
    {
        QFETCH(Points, before);
        QFETCH(Points, after);
        QFETCH(int, mode);
        QFETCH(double, offset);
        QFETCH(bool, suggested);
        QFETCH(bool, lean);
        const SuggestElm se = suggested ? suggestion(9001) : SuggestElm();
        XafsSpectrum x(spectrumOf(before), "old", 0, 7.0, suggestion(8990));
        x.rebuild(spectrumOf(after), "bin", mode, offset, se,
                  lean ? XafsSpectrum::DoubleNormalizedOnly : XafsSpectrum::AllCurves);
        const XafsSpectrum y(spectrumOf(after), "bin", mode, offset, se);
        QCOMPARE(x.points, y.points);
        QCOMPARE(x.smoothedY, y.smoothedY);
        const Spectrum* cx[4] = {&x.normalized, &x.doubleNormalized, &x.minusPostByJump, &x.minusPostByGap};
        const Spectrum* cy[4] = {&y.normalized, &y.doubleNormalized, &y.minusPostByJump, &y.minusPostByGap};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(cx[c]->points, c == 1 || !lean ? cy[c]->points : Points());
            QCOMPARE(cx[c]->maxYIndex, c == 1 || !lean ? cy[c]->maxYIndex : Spectrum::MaxIndexUnset);
        }
        QCOMPARE(x.name, y.name);
        QCOMPARE(x.sElm.use, y.sElm.use);
        QCOMPARE(x.eOffset, y.eOffset);
        QCOMPARE(x.preE, y.preE);
        QCOMPARE(x.e0, y.e0);
        QCOMPARE(x.dMut, y.dMut);
        QCOMPARE(x.midxIndex, y.midxIndex);
        QCOMPARE(x.midxNoisy, y.midxNoisy);
        QVERIFY(x.pre.coefficients() == y.pre.coefficients());
        QVERIFY(x.post.coefficients() == y.post.coefficients());
        QCOMPARE(x.pre.corrCoef[3], y.pre.corrCoef[3]);
        QCOMPARE(x.post.rms, y.post.rms);
    }

    void victoreenNormalisation()
    {
        // Victoreen background below and above a unit jump.
        Spectrum s;
        for (double e = 8800; e <= 9300; e += 1) {
            const double lam = 12398.424360387684 / e;
            s.append(e, 0.1 + 0.02 * lam * lam * lam + (e >= 9000 ? 1.0 : 0.0));
        }
        const XafsSpectrum x(s, "vic", 0, 0, SuggestElm());
        QVERIFY(std::fabs(x.e0 - 8999.5) < 0.01);
        QVERIFY(std::fabs(x.dMut - 1.0) < 1e-4);
        QVERIFY(!x.pre.corrOn);
    }
};

CORVELLINE_TEST(TestXafsSpectrum)
#include "tst_xafsspectrum.moc"
