#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "foundation/Spectrum.h"

#include <QTest>
#include <cmath>
#include <limits>

class TestSpectrum : public QObject {
    Q_OBJECT
private slots:
    void yAt_data()
    {
        QTest::addColumn<Points>("pts");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");
        const Points four = {{0, 0}, {1, 10}, {2, 20}, {4, 0}};
        QTest::newRow("empty") << Points{} << 3.0 << 0.0;
        QTest::newRow("one point, left") << Points{{5, 7}} << -100.0 << 7.0;
        QTest::newRow("inside first segment") << four << 0.5 << 5.0;
        QTest::newRow("on inner point") << four << 2.0 << 20.0;
        QTest::newRow("left extrapolates first segment") << four << -1.0 << -10.0;
        QTest::newRow("right extrapolates last segment") << four << 5.0 << -10.0;
        QTest::newRow("equal x pair gives mean") << Points{{0, 1}, {0, 3}} << 7.0 << 2.0;
        QTest::newRow("duplicate x inside takes later point")
            << Points{{0, 0}, {1, 2}, {1, 4}, {2, 6}} << 1.0 << 4.0;
        QTest::newRow("between duplicates and next") << Points{{0, 0}, {1, 2}, {1, 4}, {2, 6}} << 1.5 << 5.0;
        QTest::newRow("nan") << four << std::numeric_limits<double>::quiet_NaN()
                             << std::numeric_limits<double>::quiet_NaN();
    }
    void yAt()
    {
        QFETCH(Points, pts);
        QFETCH(double, x);
        QFETCH(double, expected);
        const Spectrum s = spectrumOf(pts);
        QCOMPARE(s.yAt(x), expected);
    }

    // A lookup over a run of x gives what yAt and smoothedYAt give, bit for
    // bit: on ascending points with ties, on the points themselves and past
    // both ends, when x falls back, and on points that do not ascend.
    void lookupAsYAt_data()
    {
        QTest::addColumn<Points>("pts");
        QTest::addColumn<QList<double>>("xs");
        const Points uneven = {{0, 0.3}, {0.5, 1.7}, {0.5, 2.9}, {3, 4.1}, {3.25, -1.3}, {7, 2.2}, {7, 8.9}};
        const QList<double> run = {-2, 0, 0.5, 0.5, 0.75, 3, 3.1, 3.25, 6.999, 7, 9};
        QTest::newRow("ascending with ties") << uneven << run;
        QTest::newRow("x falling back") << uneven << QList<double>{3.1, 7, 0.25, 0.5, 3.25, -1, 9, 3};
        QTest::newRow("not ascending") << Points{{0, 1}, {2, 5}, {1, 3}, {4, -2}}
                                       << QList<double>{0, 0.5, 1, 1.5, 2, 3, 4};
        QTest::newRow("not a number at x") << uneven << QList<double>{0.5, std::nan(""), 3};
        QTest::newRow("not a number in the points") << Points{{0, 1}, {std::nan(""), 5}, {2, 3}} << run;
        QTest::newRow("one point") << Points{{5, 7}} << QList<double>{4, 5, 6};
        QTest::newRow("zeros of both signs, steps tiny and huge")
            << Points{{0, -0.0}, {1e-310, 5}, {1, -0.0}, {2, 0.0}, {3, -1e308}, {3.5, 1e308}, {4, -0.0}}
            << QList<double>{0, 1e-310, 1, 2, 3, 3.5, 4};
    }
    void lookupAsYAt()
    {
        QFETCH(Points, pts);
        QFETCH(QList<double>, xs);
        Spectrum s = spectrumOf(pts);
        s.smooth(1);
        Spectrum::Lookup plain(s, false), smoothed(s, true);
        auto same = [](double a, double b) { return a == b ? std::signbit(a) == std::signbit(b) : a != a && b != b; };
        for (double x : xs) {
            const QByteArray at = QByteArray::number(x);
            QVERIFY2(same(plain.at(x), s.yAt(x)), at.constData());
            QVERIFY2(same(smoothed.at(x), s.smoothedYAt(x)), at.constData());
        }
    }

    void yAtHonoursOffset()
    {
        Spectrum s = spectrumOf({{10, 0}, {11, 10}, {12, 30}});
        s.useXOffset = true;
        s.xOffset = 10;
        QCOMPARE(s.yAt(0.5), 5.0);
        QCOMPARE(s.yAt(1.5), 20.0);
        QCOMPARE(s.pos(2), 2.0);
        s.useXOffset = false;  // the offset only counts when switched on
        QCOMPARE(s.yAt(10.5), 5.0);
    }

    void smooth_data()
    {
        QTest::addColumn<QList<double>>("ys");
        QTest::addColumn<int>("half");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("five points, n 2")
            << QList<double>{1, 2, 3, 4, 10} << 2 << QList<double>{2, 2.5, 4, 4.75, 17.0 / 3};
        QTest::newRow("window wider than list")
            << QList<double>{1, 2, 6} << 10 << QList<double>{3, 3, 3};
        QTest::newRow("seven points, n 1")
            << QList<double>{0, 3, 0, 3, 0, 3, 9} << 1 << QList<double>{1.5, 1, 2, 1, 2, 4, 6};
        QTest::newRow("empty") << QList<double>{} << 2 << QList<double>{};
        QTest::newRow("negative half-width acts as 0")
            << QList<double>{1, 5} << -3 << QList<double>{1, 5};
    }
    void smooth()
    {
        QFETCH(QList<double>, ys);
        QFETCH(int, half);
        QFETCH(QList<double>, expected);
        Spectrum s;
        for (int i = 0; i < ys.size(); ++i)
            s.append(i, ys[i]);
        s.smooth(half);
        QVERIFY(s.smoothedValid);
        QCOMPARE(s.smoothedY.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(std::fabs(s.smoothedY[i] - expected[i]) < 1e-12, qPrintable(QString::number(i)));
    }

    void smoothedYAt()
    {
        Spectrum s = spectrumOf({{0, 0}, {1, 10}, {2, 0}, {3, 10}, {4, 0}});
        s.smooth(1);  // 5, 10/3, 20/3, 10/3, 5
        QCOMPARE(s.smoothedYAt(0.0), 5.0);
        QVERIFY(std::fabs(s.smoothedYAt(1.5) - 5.0) < 1e-12);
        QVERIFY(std::fabs(s.smoothedYAt(5.0) - (5.0 + (5.0 - 10.0 / 3))) < 1e-12);
    }

    // Points at falling x: minY, its index, maxY, its index; ties keep the earlier point.
    void extremes_data()
    {
        QTest::addColumn<QList<double>>("ys");
        QTest::addColumn<QList<double>>("extremes");
        QTest::newRow("min tie") << QList<double>{3, 1, 1, 5} << QList<double>{1, 1, 5, 3};
        QTest::newRow("falling") << QList<double>{9, 4, -1} << QList<double>{-1, 2, 9, 0};
        QTest::newRow("max tie") << QList<double>{0, 7, 3, 7} << QList<double>{0, 0, 7, 1};
    }
    void extremes()
    {
        QFETCH(QList<double>, ys);
        QFETCH(QList<double>, extremes);
        Spectrum s;
        for (int i = 0; i < ys.size(); ++i)
            s.append(100 - 10 * i, ys[i]);
        QCOMPARE((QList<double>{s.minY, double(s.minYIndex), s.maxY, double(s.maxYIndex)}), extremes);
        QCOMPARE(s.maxX, 100.0);
        QCOMPARE(s.minX, 100.0 - 10 * (ys.size() - 1));
    }

    void clearKeepsPoints()
    {
        Spectrum s = spectrumOf({{1, 1}, {2, 5}, {3, 2}});
        s.smooth(1);
        s.useXOffset = true;
        s.xOffset = 4;
        s.enabled = false;
        s.clear();
        QCOMPARE(s.size(), 3);
        QCOMPARE(s.y(1), 5.0);
        QVERIFY(!s.smoothedValid);
        QVERIFY(!s.useXOffset);
        QVERIFY(s.enabled);
    }
};

CORVELLINE_TEST(TestSpectrum)
#include "tst_spectrum.moc"
