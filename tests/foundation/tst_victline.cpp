#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "foundation/VictLine.h"

#include <QTest>
#include <cmath>

namespace {
const double HC = 12398.424360387684;

VictLine straight(double a, double d, double from, double to)
{
    VictLine l;
    l.mode = 1;
    l.a = a;
    l.d = d;
    l.from = from;
    l.to = to;
    return l;
}

using Values = QList<double>;

bool near(double a, double b, double tol) { return std::fabs(a - b) <= tol; }

double slopeAt(const VictLine& l, double e, double h)
{
    return (l.value(e + h) - l.value(e - h)) / (2 * h);
}

// One-sided second-order differences, for slopes at the end of a continuation.
double slopeRightOf(const VictLine& l, double e, double h)
{
    return (-3 * l.value(e) + 4 * l.value(e + h) - l.value(e + 2 * h)) / (2 * h);
}
} // namespace

class TestVictLine : public QObject {
    Q_OBJECT
private slots:
    void straightFit_data()
    {
        QTest::addColumn<Points>("pts");
        QTest::addColumn<Values>("range");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Values>("fit"); // a, d, rms, nPoints
        QTest::newRow("one point in range")
            << Points{{1, 4}, {2, 5}, {3, 6}, {9, 7}} << Values{1.5, 2.5} << false << Values{5, 0, 0, 1};
        QTest::newRow("no point in range") << Points{{1, 4}, {2, 5}, {3, 6}} << Values{10, 20} << false
                                           << Values{0, 0, 1, 0};
        // The point at `to` is left out of both the sums and the RMS.
        QTest::newRow("point at to excluded")
            << Points{{0, 1}, {1, 3}, {2, 5}, {3, 100}} << Values{0, 3} << true << Values{1, 2, 0, 3};
        QTest::newRow("point at from included")
            << Points{{0, 100}, {1, 3}, {2, 5}, {3, 7}} << Values{1, 10} << true << Values{1, 2, 0, 3};
        // Residuals +1, -2, +1 about y = 1 + 0·x for points 0..2.
        QTest::newRow("residuals")
            << Points{{0, 2}, {1, -1}, {2, 2}} << Values{0, 5} << true << Values{1, 0, std::sqrt(2.0), 3};
        QTest::newRow("fit stops at first point past to")
            << Points{{0, 0}, {1, 1}, {5, 50}, {2, 2}} << Values{0, 4} << true << Values{0, 1, 0, 3};
    }
    void straightFit()
    {
        QFETCH(Points, pts);
        QFETCH(Values, range);
        QFETCH(bool, ok);
        QFETCH(Values, fit);
        VictLine l;
        QCOMPARE(l.fit(spectrumOf(pts), range[0], range[1], 1), ok);
        QCOMPARE(l.ok, ok);
        const Values got{l.a, l.d, l.rms, double(l.nPoints)};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(got[i], fit[i], 1e-9), qPrintable(QString::number(got[i])));
    }

    void victoreenFitRecovers_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("c");
        QTest::newRow("typical pre-edge") << 0.2 << 0.05 << -0.01;
        QTest::newRow("negative constant") << -1.5 << 0.3 << 0.02;
    }
    void victoreenFitRecovers()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, c);
        Spectrum s;
        for (double e = 8000; e <= 9000; e += 5) {
            const double lam = HC / e;
            s.append(e, a + b * std::pow(lam, 3) + c * std::pow(lam, 4));
        }
        VictLine l;
        QVERIFY(l.fit(s, 8000, 9001, 0));
        QVERIFY(near(l.a, a, 1e-6) && near(l.b, b, 1e-6) && near(l.c, c, 1e-6));
        QVERIFY(l.rms < 1e-8);
        QCOMPARE(l.nPoints, 201);
    }

    void victoreenRangeEnds()
    {
        // The point at `to` stays out of the sums but counts in the RMS pass.
        Spectrum s;
        for (double e = 8000; e < 8100; e += 10)
            s.append(e, 1.0);
        s.append(8100, 4.0);
        VictLine l;
        QVERIFY(l.fit(s, 8000, 8100, 0));
        QVERIFY(near(l.value(8050), 1.0, 1e-6));
        QCOMPARE(l.nPoints, 11);
        QVERIFY(near(l.rms, std::sqrt(9.0 / 11), 1e-5));
    }

    void earlyReturnsKeepOldValues_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::newRow("Victoreen, three points") << 0 << 3;
        QTest::newRow("straight, two points") << 1 << 2;
    }
    void earlyReturnsKeepOldValues()
    {
        QFETCH(int, mode);
        QFETCH(int, count);
        VictLine l;
        QCOMPARE(l.rms, 1.0);
        QCOMPARE(l.nPoints, 0);
        l.a = 1;
        l.b = 2;
        l.c = 3;
        l.d = 4;
        l.rms = 0.25;
        l.nPoints = 17;
        Spectrum s;
        for (int i = 0; i < count; ++i)
            s.append(8000 + i, i);
        QVERIFY(!l.fit(s, 0, 1e5, mode));
        QVERIFY(!l.ok);
        QCOMPARE((Values{l.a, l.b, l.c, l.d, l.rms, double(l.nPoints)}), (Values{1, 2, 3, 4, 0.25, 17}));
    }

    void hyperbolaExample()
    {
        VictLine pre = straight(1, 0.02, 0, 100);
        const VictLine post = straight(5, 0.01, 110, 1000);
        pre.correctInPost(post);
        QVERIFY(pre.corrOn);
        QVERIFY(pre.corrAbove);
        QCOMPARE(pre.hypE, 200.0);
        QCOMPARE(pre.hypK, -900.0);
        QVERIFY(near(pre.value(100 + 1e-9), 3.0, 1e-9));
        QVERIFY(near(slopeAt(pre, 100.001, 0.0005), 0.02, 1e-6));
        // Far above it approaches the post line from below.
        const double gap = (0.01 * 10000 + 5) - pre.value(10000);
        QVERIFY(near(gap, 900.0 / 10200, 1e-9));
        // Below `to` the plain line rules.
        QCOMPARE(pre.value(50), 2.0);
    }

    void hyperbolaBelowFrom()
    {
        const VictLine pre = straight(1, 0.01, 0, 90);
        VictLine post = straight(-1, 0.03, 200, 1000);
        post.correctInPre(pre);
        QVERIFY(post.corrOn);
        QVERIFY(!post.corrAbove);
        // Meets the post line at `from` with its slope ...
        QVERIFY(near(post.value(200 - 1e-9), 5.0, 1e-8));
        QVERIFY(near(slopeAt(post, 199.999, 0.0005), 0.03, 1e-6));
        // ... and tends to the pre line far below, staying above it.
        const double below = post.value(-1e6) - (1 + 0.01 * -1e6);
        QVERIFY(below > 0 && below < 1e-3);
    }

    void hyperbolaFallsBackToPlainLine_data()
    {
        QTest::addColumn<Values>("lines"); // pre a, d; post a, d
        QTest::newRow("pre slope not larger") << Values{1, 0.01, 5, 0.02};
        QTest::newRow("equal slopes") << Values{1, 0.01, 5, 0.01};
        // Lines already crossed at `to` (post below pre there): a pole would lie above `to`.
        QTest::newRow("crossed at to") << Values{5, 0.02, 1, 0.01};
    }
    void hyperbolaFallsBackToPlainLine()
    {
        QFETCH(Values, lines);
        VictLine pre = straight(lines[0], lines[1], 0, 100);
        VictLine post = straight(lines[2], lines[3], 110, 1000);
        pre.correctInPost(post);
        post.correctInPre(pre);
        QVERIFY(pre.corrOn);
        for (double e : {100.5, 150.0, 400.0, 1e4})
            QVERIFY(near(pre.value(e), lines[0] + lines[1] * e, 1e-9));
    }

    void crossedPostLineStaysFinite()
    {
        // Post line below the pre line at its start: the mirrored pole must not appear.
        const VictLine pre = straight(5, 0.01, 0, 90);
        VictLine post = straight(0, 0.02, 110, 1000);  // gap at 110: 2.2 - 6.1 < 0
        post.correctInPre(pre);
        QVERIFY(post.corrOn);
        QCOMPARE(post.hypK, 0.0);
        for (double e = -500; e < 110; e += 0.5)
            QVERIFY(near(post.value(e), 0.02 * e, 1e-12));
    }

    void cubicInPost_data()
    {
        QTest::addColumn<Values>("end"); // post line's `to`, value and slope there
        // pre 1 + 0.02E to 100, post 5 + 0.01E: J = 3, the lines cross at 400.
        QTest::newRow("end below crossing") << Values{300, 6, 0.01};
        QTest::newRow("end above crossing") << Values{500, 7.75, 0.0175};
    }
    void cubicInPost()
    {
        QFETCH(Values, end);
        VictLine pre = straight(1, 0.02, 0, 100);
        pre.corrType = VictLine::CorrCubic;
        pre.correctInPost(straight(5, 0.01, 110, end[0]));
        QVERIFY(pre.corrOn && pre.corrAbove);
        QVERIFY(near(pre.value(100 + 1e-7), 3.0, 1e-6));
        QVERIFY(near(slopeRightOf(pre, 100, 0.01), 0.02, 1e-6));
        QVERIFY(near(pre.value(end[0]), end[1], 1e-6));
        QVERIFY(near(slopeAt(pre, end[0], 0.005), end[2], 1e-6));
    }

    void cubicSingularLeavesLine()
    {
        // Crossing (100) below pre.from (200): the far end is pre.from = post.from, a singular system.
        VictLine pre = straight(1, 0.01, 200, 90);
        VictLine post = straight(-1, 0.03, 200, 1000);
        post.corrType = VictLine::CorrCubic;
        post.correctInPre(pre);
        QVERIFY(!post.corrOn);
        QCOMPARE(post.value(150), post.plainValue(150));
    }

    void pointsInPost()
    {
        VictLine pre = straight(1, 0.02, 0, 100);
        pre.corrType = VictLine::CorrPoints;
        const VictLine post = straight(5, 0.01, 110, 1000);
        // J = 3, crossing 400, r = 0.5·300/900, δ = 15, end q = 15 - 0.25.
        pre.correctInPost(post);
        QVERIFY(pre.corrOn);
        QCOMPARE(pre.controlPoints.size(), 4);
        const Points expected = {{100, 3}, {115, 3.3}, {985, 14.6}, {1000, 14.75}};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(near(pre.controlPoints[i].x(), expected[i].x(), 1e-9));
            QVERIFY(near(pre.controlPoints[i].y(), expected[i].y(), 1e-9));
        }
        QCOMPARE(pre.size(), 100);
        // The cubic Bezier midpoint: (P0 + 3 P1 + 3 P2 + P3) / 8.
        QVERIFY(near(pre.x(50), (100 + 3 * 115 + 3 * 985 + 1000) / 8.0, 1e-9));
        QVERIFY(near(pre.y(50), (3 + 3 * 3.3 + 3 * 14.6 + 14.75) / 8.0, 1e-9));
        // A second build replaces the samples; far from the crossing (r = 3) none are built.
        pre.correctInPost(post);
        QCOMPARE(pre.size(), 100);
        VictLine far = straight(1, 0.02, 0, 100);
        far.corrType = VictLine::CorrPoints;
        far.correctInPost(straight(5, 0.01, 110, 150));
        QVERIFY(!far.corrOn);
        QCOMPARE(far.size(), 0);
    }

    // Against the line y = x over 0..10.
    void crossesWithin_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("d");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("expected");
        QTest::newRow("cross at 5 inside") << 5.0 << 0.0 << 1 << true;
        QTest::newRow("cross at 50 outside") << 50.0 << 0.0 << 1 << false;
        QTest::newRow("cross exactly at hi") << 10.0 << 0.0 << 1 << true;
        QTest::newRow("parallel") << 5.0 << 1.0 << 1 << false;
        QTest::newRow("Victoreen line") << 5.0 << 0.0 << 0 << false;
    }
    void crossesWithin()
    {
        QFETCH(double, a);
        QFETCH(double, d);
        QFETCH(int, mode);
        QFETCH(bool, expected);
        VictLine b = straight(a, d, 0, 0);
        b.mode = mode;
        QCOMPARE(VictLine::crossesWithin(straight(0, 1, 0, 0), b, 0, 10), expected);
    }
};

CORVELLINE_TEST(TestVictLine)
#include "tst_victline.moc"
