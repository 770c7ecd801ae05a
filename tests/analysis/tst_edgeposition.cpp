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
