#include "support/TestRegistry.h"

#include "display/ChCoord.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

bool near(double a, double b, double tol = 1e-9) { return std::fabs(a - b) <= tol; }

// 200x100 canvas with margins: inner x 20..190, y 90..5; real x 10..20, y 0..1
void standard(ChCoord& c)
{
    c.setScreenArea(0, 100, 200, 0);
    c.applyMargins();
    c.setRealArea(10, 0, 20, 1);
}
} // namespace

class TestChCoord : public QObject {
    Q_OBJECT
private slots:
    void margins_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QRectF>("inner"); // x0, y1, x1, y0 as left, top, right, bottom
        QTest::newRow("200x100") << 200 << 100 << QRectF(QPointF(20, 5), QPointF(190, 90));
        // 10 % of 25 is 2.5 -> 2, 5 % is 1.25 -> 1
        QTest::newRow("25x25") << 25 << 25 << QRectF(QPointF(2, 1), QPointF(24, 23));
        QTest::newRow("9x9 has no margins") << 9 << 9 << QRectF(QPointF(0, 0), QPointF(9, 9));
    }
    void margins()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QRectF, inner);
        ChCoord c;
        c.setScreenArea(0, h, w, 0);
        c.applyMargins();
        QCOMPARE(QRectF(QPointF(c.isx0, c.isy1), QPointF(c.isx1, c.isy0)), inner);
        QCOMPARE(c.sx1, double(w)); // the full area stays as set
    }

    void conversions_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::newRow("toScreenX beyond") << 0 << 30.0 << 360.0;
        QTest::newRow("toRealX") << 2 << 105.0 << 15.0;
        QTest::newRow("toRealY") << 3 << 47.5 << 0.5;
        QTest::newRow("toScreenLengthY") << 4 << 1.0 << -85.0;
        QTest::newRow("toRealOffsetX") << 5 << 105.0 << 5.0;
        QTest::newRow("toRealClampedX right") << 6 << 500.0 << 20.0;
        QTest::newRow("toRealLengthY") << 8 << 17.0 << -0.2;
    }
    void conversions()
    {
        QFETCH(int, op);
        QFETCH(double, in);
        QFETCH(double, out);
        ChCoord c;
        standard(c);
        const double r[] = {c.toScreenX(in),      c.toScreenY(in),      c.toRealX(in),
                            c.toRealY(in),        c.toScreenLengthY(in), c.toRealOffsetX(in),
                            c.toRealClampedX(in), c.toRealClampedY(in), c.toRealLengthY(in)};
        QVERIFY2(near(r[op], out), qPrintable(QString::number(r[op], 'g', 17)));
    }

    // An empty or broken range must not give infinities or NaN to callers
    // that round the result to pixels.
    void degenerateRanges_data()
    {
        QTest::addColumn<double>("rmin");
        QTest::addColumn<double>("rmax");
        QTest::addColumn<double>("s0");
        QTest::addColumn<double>("s1");
        QTest::newRow("empty real range") << 5.0 << 5.0 << 0.0 << 100.0;
        QTest::newRow("empty screen") << 0.0 << 1.0 << 30.0 << 30.0;
        QTest::newRow("NaN real") << kNaN << 1.0 << 0.0 << 100.0;
        QTest::newRow("infinite real") << 0.0 << kInf << 0.0 << 100.0;
    }
    void degenerateRanges()
    {
        QFETCH(double, rmin);
        QFETCH(double, rmax);
        QFETCH(double, s0);
        QFETCH(double, s1);
        ChCoord c;
        c.setScreenArea(s0, s0, s1, s1);
        c.setRealArea(rmin, rmin, rmax, rmax);
        for (double v : {0.0, 3.0}) {
            QVERIFY(std::isfinite(c.toScreenX(v)));
            QVERIFY(std::isfinite(c.toScreenY(v)));
            QVERIFY(std::isfinite(c.toRealOffsetX(v)));
            QVERIFY(std::isfinite(c.toRealLengthY(v)));
            if (std::isfinite(rmin))
                QVERIFY(std::isfinite(c.toRealX(v)));
        }
        QVERIFY(std::isfinite(c.tickStepX(1, 10)));
    }

    void edges_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<double>("s");
        QTest::addColumn<bool>("near");
        // inner x 20..190 (band 17), inner y 90..5 (band 8.5), full x 0..200 (band 20)
        QTest::newRow("x right band") << 0 << 174.0 << true;
        QTest::newRow("x just inside") << 0 << 172.0 << false;
        QTest::newRow("y bottom band") << 1 << 82.0 << true;
        QTest::newRow("outer x band") << 2 << 19.0 << true;
    }
    void edges()
    {
        QFETCH(int, op);
        QFETCH(double, s);
        QFETCH(bool, near);
        ChCoord c;
        standard(c);
        const bool r[] = {c.nearEdgeX(s), c.nearEdgeY(s), c.nearOuterEdgeX(s), c.nearOuterEdgeY(s)};
        QCOMPARE(r[op], near);
    }

    void tickSteps_data()
    {
        QTest::addColumn<bool>("onY");
        QTest::addColumn<double>("base");
        QTest::addColumn<int>("minPixels");
        QTest::addColumn<double>("step");
        // x: 17 pixels per unit; y: 85 pixels per unit on a flipped axis
        QTest::newRow("x strictly greater") << false << 1.0 << 34 << 5.0;
        QTest::newRow("x nothing fits") << false << 1e-9 << 1000000 << 0.1;
        QTest::newRow("y flipped axis") << true << 0.1 << 20 << 0.5;
    }
    void tickSteps()
    {
        QFETCH(bool, onY);
        QFETCH(double, base);
        QFETCH(int, minPixels);
        QFETCH(double, step);
        ChCoord c;
        c.setScreenArea(0, 100, 200, 0);
        c.applyMargins();
        c.setRealArea(0, 0, 10, 1);
        const double r = onY ? c.tickStepY(base, minPixels) : c.tickStepX(base, minPixels);
        QVERIFY2(near(r, step, 1e-12 * step), qPrintable(QString::number(r, 'g', 17)));
    }

    void niceRange_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<int>("ticks");
        QTest::newRow("0..1") << 0.0 << 1.0 << 0.2 << 0.0 << 1.0 << 6;
        QTest::newRow("0..9.5") << 0.0 << 9.5 << 2.0 << 0.0 << 8.0 << 5;
        QTest::newRow("leading 3") << 0.0 << 3.5 << 0.5 << 0.0 << 3.5 << 8;
        QTest::newRow("leading 8") << 0.0 << 80.0 << 20.0 << 0.0 << 80.0 << 5;
        QTest::newRow("negative") << -7.0 << 13.0 << 2.0 << -6.0 << 12.0 << 10;
        QTest::newRow("energies") << 8900.0 << 9400.0 << 100.0 << 8900.0 << 9400.0 << 6;
    }
    void niceRange()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(double, step);
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(int, ticks);
        double s = -1, f = -1, l = -1;
        QVERIFY(ChCoord::niceRange(lo, hi, s, f, l));
        QVERIFY2(near(s, step) && near(f, first) && near(l, last),
                 qPrintable(QStringLiteral("%1 %2 %3").arg(s).arg(f).arg(l)));
        QCOMPARE(ChCoord::tickCount(f, s, l), ticks);
    }

    void niceRangeDegenerate_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<bool>("ok");
        QTest::newRow("equal ends") << 1.0 << 1.0 << false;
        QTest::newRow("reversed") << 2.0 << 1.0 << false;
        QTest::newRow("NaN low") << kNaN << 1.0 << false;
        QTest::newRow("infinite high") << 0.0 << kInf << false;
        QTest::newRow("span overflows") << -1e308 << 1e308 << false;
        QTest::newRow("two ulps") << 1.0 << std::nextafter(std::nextafter(1.0, 2.0), 2.0) << true;
        QTest::newRow("ulps of a big value") << 1e16 << 1e16 + 4 << true;
    }
    void niceRangeDegenerate()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(bool, ok);
        double s = 7, f = 7, l = 7;
        QCOMPARE(ChCoord::niceRange(lo, hi, s, f, l), ok);
        const int n = ChCoord::tickCount(f, s, l);
        if (!ok) {
            QCOMPARE(n, 0);
            QVERIFY(!(f <= l)); // a plain v <= last loop runs no turn either
            return;
        }
        QVERIFY(n >= 0 && n <= ChCoord::maxTicks);
        // every tick lies in the range and moves
        double prev = -kInf;
        for (int i = 0; i < n; ++i) {
            const double v = f + i * s;
            QVERIFY(v > prev && v >= lo - s * 1e-9 && v <= hi + s * 1e-9);
            prev = v;
        }
    }

    void tickCount_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("last");
        QTest::addColumn<int>("n");
        QTest::newRow("one") << 3.0 << 1.0 << 3.0 << 1;
        QTest::newRow("zero step") << 0.0 << 0.0 << 1.0 << 0;
        QTest::newRow("capped") << 0.0 << 1e-6 << 1.0 << ChCoord::maxTicks;
        QTest::newRow("NaN step") << 0.0 << kNaN << 1.0 << 0;
        QTest::newRow("step below an ulp") << 1e17 << 1.0 << 1e17 + 64 << 0;
    }
    void tickCount()
    {
        QFETCH(double, first);
        QFETCH(double, step);
        QFETCH(double, last);
        QFETCH(int, n);
        QCOMPARE(ChCoord::tickCount(first, step, last), n);
    }
};

CORVELLINE_TEST(TestChCoord)
#include "tst_chcoord.moc"
