#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/EdgePosition.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {
const double NoE0 = std::numeric_limits<double>::quiet_NaN();

// A linear edge from `from` to from + 10 eV: its level at fraction f lies at from + 10 f.
XafsSpectrum edgeAt(double from, double eOffset)
{
    return XafsSpectrum(rampSpectrum(8900, 9100, 0.5, from, from + 10), "s", 1, eOffset, SuggestElm());
}

// Points every eV from `from` to `to` whose double-normalised curve is set by
// hand, e0 at 5: 0.1 below 5 eV and 1 from it; or, `early`, 0.1 and 0.2 in
// turn below 4 eV, 0.3 at 4 and 1 from 5 eV on.
XafsSpectrum handMade(double from, double to, bool early)
{
    Spectrum pts, n;
    for (double x = from; x <= to; x += 1.0) {
        pts.append(x, x);
        const double pre = early ? (x < 4 ? 0.1 * (1 + int(x) % 2) : 0.3) : 0.1;
        n.append(x, x < 5 ? pre : 1.0);
    }
    XafsSpectrum s(pts, "hand", 1, 0.0, SuggestElm());
    s.doubleNormalized = n;
    s.e0 = 5.0;
    return s;
}
} // namespace

class TestEdgePosition : public QObject {
    Q_OBJECT
private slots:
    void dEdge_data()
    {
        QTest::addColumn<bool>("midPoint");
        QTest::addColumn<double>("midRatio");
        QTest::addColumn<double>("storedE0");  // NaN: as normalised (9000)
        QTest::addColumn<double>("shift");     // edge of the spectrum at 8995 + shift
        QTest::addColumn<double>("eOffset");
        QTest::addColumn<double>("expected");
        QTest::newRow("stored e0 at 0.5") << true << 0.5 << 9001.25 << 0.0 << 0.0 << 1.25;
        QTest::newRow("ratio 0.7") << true << 0.7 << NoE0 << 0.0 << 0.0 << 2.0;
        // 9002 less the offset less the expected 9000.
        QTest::newRow("ratio 0.7, offset 2.5") << true << 0.7 << NoE0 << 0.0 << 2.5 << -0.5;
        QTest::newRow("compare, +3 eV, offset") << false << 0.5 << NoE0 << 3.0 << 1.5 << 1.5;
    }
    void dEdge()
    {
        QFETCH(double, storedE0);
        QFETCH(double, shift);
        QFETCH(double, eOffset);
        DEdgeRequest r;
        r.s = edgeAt(8995 + shift, eOffset);
        if (!std::isnan(storedE0))
            r.s.e0 = storedE0;
        r.sElm.edgeEV = 9000.0;
        QFETCH(bool, midPoint);
        QFETCH(double, midRatio);
        r.isMidPoint = midPoint;
        r.midRatio = midRatio;
        r.ref = edgeAt(8995, 0.0);
        r.cwRangeEV = 10;
        r.cwInitDEeV = 1.0;
        r.cwMinDEeV = 0.1;
        QFETCH(double, expected);
        QVERIFY(std::fabs(EdgePosition::dEdge(r) - expected) < 1e-6);
    }

    // The early spectrum on 0 .. 10 eV; at the true shift 0 it scores 0.99516
    // (standard on 0 .. 10 eV) or 0.99397 (standard on 2 .. 8 eV), while the
    // shift that leaves its first point alone on the standard's last, -10 or
    // -8 eV, scores 1.
    void comparedOnEnoughPoints_data()
    {
        QTest::addColumn<double>("stdFrom");
        QTest::addColumn<double>("stdTo");
        QTest::addColumn<double>("expected"); // NaN: no shift overlaps enough
        QTest::newRow("equal spans, one point at -10 scores 1") << 0.0 << 10.0 << 0.0;
        QTest::newRow("standard narrower, one point at -8 scores 1") << 2.0 << 8.0 << 0.0;
        QTest::newRow("no shift overlaps") << 100.0 << 110.0 << NoE0;
    }
    void comparedOnEnoughPoints()
    {
        QFETCH(double, stdFrom);
        QFETCH(double, stdTo);
        QFETCH(double, expected);
        DEdgeRequest r;
        r.isMidPoint = false;
        r.ref = handMade(stdFrom, stdTo, false);
        r.cwRangeEV = 10;
        r.cwInitDEeV = 1.0;
        r.cwMinDEeV = 1.0; // one pass, whole eV
        const double got = EdgePosition::dEdge(r, handMade(0, 10, true));
        if (std::isnan(expected))
            QVERIFY2(std::isnan(got), qPrintable(QString::number(got)));
        else
            QCOMPARE(got, expected);
    }

    void stepSpectrum_data()
    {
        QTest::addColumn<double>("dE");
        QTest::addColumn<int>("count"); // 0: refused
        QTest::newRow("form values") << 0.01 << 30000;
        QTest::newRow("zero step") << 0.0 << 0;
        QTest::newRow("negative step") << -1.0 << 0;
        QTest::newRow("no number") << NoE0 << 0;
        QTest::newRow("too many points") << 1e-4 << 0;
    }
    void stepSpectrum()
    {
        QFETCH(double, dE);
        QFETCH(int, count);
        XafsSpectrum s = edgeAt(8995, 0.0);
        const int before = s.size();
        QCOMPARE(EdgePosition::stepSpectrum(9000, 300, dE, s), count > 0);
        if (count == 0) {
            QCOMPARE(s.size(), before);
            return;
        }
        // From 8850 up to just below 9150, the unit step at 9000.
        QCOMPARE(s.size(), count);
        QCOMPARE(s.name, QString("DEdge Step"));
        QCOMPARE(s.points.first(), QPointF(8850.0, 0.0));
        QVERIFY(s.x(count - 1) < 9150.0);
        QCOMPARE(s.points[14998].y(), 0.0);
        QCOMPARE(s.points[15001].y(), 1.0);
    }
};

CORVELLINE_TEST(TestEdgePosition)
#include "tst_edgeposition.moc"
