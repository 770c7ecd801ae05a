#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "mainwindow/Body.h"
#include "mainwindow/EnergyShift.h"

#include <QTest>
#include <climits>

namespace {
// A 4 x 3 map with 7.5 at (1, 2) and -2 at (3, 0), and the surface
// z = x² + 2y² + 3xy + 4x + 5y + 6.
void fillMap(Analyzed2DRes& map)
{
    AnalyzeCond c;
    c.W = 4;
    c.H = 3;
    map.setCond(c);
    map.setData(1, 2, 0, 0, 7.5);
    map.setData(3, 0, 0, 0, -2.0);
    const double coef[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; i++)
        map.surfFit.c[i] = coef[i];
}
} // namespace

class TestEnergyShift : public QObject {
    Q_OBJECT
private slots:
    void mapShift_data()
    {
        QTest::addColumn<qint64>("mx");
        QTest::addColumn<qint64>("my");
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<double>("shift");
        QTest::newRow("stored value") << qint64(1) << qint64(2) << false << 7.5;
        QTest::newRow("last column") << qint64(3) << qint64(0) << false << -2.0;
        QTest::newRow("never written") << qint64(0) << qint64(0) << false << 0.0;
        QTest::newRow("left of the map") << qint64(-1) << qint64(0) << false << 0.0;
        QTest::newRow("right of the map") << qint64(4) << qint64(0) << false << 0.0;
        QTest::newRow("below the map") << qint64(0) << qint64(3) << false << 0.0;
        // 4 + 2 + 6 + 8 + 5 + 6
        QTest::newRow("fitted surface") << qint64(2) << qint64(1) << true << 31.0;
        QTest::newRow("fitted at the origin") << qint64(0) << qint64(0) << true << 6.0;
        QTest::newRow("fitted outside") << qint64(4) << qint64(0) << true << 0.0;
        QTest::newRow("far outside") << qint64(1) << qint64(1) + INT_MAX << false << 0.0;
    }
    void mapShift()
    {
        QFETCH(qint64, mx);
        QFETCH(qint64, my);
        QFETCH(bool, fitted);
        Analyzed2DRes map(QStringLiteral("t"));
        fillMap(map);
        QTEST(mapShiftAt(map, mx, my, fitted), "shift");
    }

    void emptyMap()
    {
        Analyzed2DRes map(QStringLiteral("t"));
        QCOMPARE(mapShiftAt(map, 0, 0, false), 0.0);
        QCOMPARE(mapShiftAt(map, 0, 0, true), 0.0);
    }

    void position_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("imageOffset");
        QTest::addColumn<int>("mapOffset");
        QTest::addColumn<qint64>("pos");
        QTest::newRow("same offsets") << 5 << 100 << 100 << qint64(5);
        QTest::newRow("images further right") << 3 << 10 << 12 << qint64(1);
        QTest::newRow("before the map") << 0 << -5 << 3 << qint64(-8);
        QTest::newRow("no overflow") << INT_MAX << INT_MAX << 0 << 2 * qint64(INT_MAX);
    }
    void position()
    {
        QFETCH(int, x);
        QFETCH(int, imageOffset);
        QFETCH(int, mapOffset);
        QTEST(mapPosition(x, imageOffset, mapOffset), "pos");
    }

    // The main window's read goes through the offsets and the "Q.S. Fitted" box.
    void mainWindowShift()
    {
        Body body;
        fillMap(body.eShiftMap);
        body.frameSets.imageHdrX = 10;
        body.mapXOffset = 12;
        body.frameSets.imageHdrY = 7;
        body.mapYOffset = 6;
        QCOMPARE(body.eShiftAt(3, 1), 7.5);  // map (1, 2)
        QCOMPARE(body.eShiftAt(1, 1), 0.0);  // map (-1, 2)
        body.QuadSurfFittedEShift->setChecked(true);
        QCOMPARE(body.eShiftAt(4, 0), 31.0); // map (2, 1)
    }
};

CORVELLINE_TEST(TestEnergyShift)
#include "tst_energyshift.moc"
