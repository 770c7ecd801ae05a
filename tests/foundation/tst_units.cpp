#include "support/TestRegistry.h"

#include "foundation/ElemData.h"
#include "foundation/Units.h"
#include "foundation/VictoreenRec.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <cmath>
#include <limits>

class TestUnits : public QObject {
    Q_OBJECT
private slots:
    // Symbol lookup is exact; weight -1 skips the weight check.
    void elements_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("z");
        QTest::addColumn<double>("weight");
        QTest::newRow("blank is entry 0") << " " << 0 << 0.0;
        QTest::newRow("H") << "H" << 1 << 1.0079;
        QTest::newRow("Cu") << "Cu" << 29 << 63.546;
        QTest::newRow("U") << "U" << 92 << 238.051;
        QTest::newRow("Fm") << "Fm" << 100 << 257.095;
        QTest::newRow("D") << "D" << 110 << 2.01355321;
        QTest::newRow("cu") << "cu" << -1 << -1.0;
        QTest::newRow("CO is no symbol") << "CO" << -1 << -1.0;
        QTest::newRow("padded") << " Cu" << -1 << -1.0;
        QTest::newRow("empty") << "" << -1 << -1.0;
    }
    void elements()
    {
        QFETCH(QString, symbol);
        QFETCH(int, z);
        QFETCH(double, weight);
        QCOMPARE(elemSymbolToZ(symbol), z);
        if (weight >= 0.0)
            QCOMPARE(elementTable[z].weight, weight);
    }

    void elementTableShape()
    {
        QCOMPARE(elementCount, 111);
        QSet<QString> seen;
        for (int i = 0; i < elementCount; i++) {
            const QString& s = elementTable[i].symbol;
            QCOMPARE(elementTable[i].z, i);
            QVERIFY2(!seen.contains(s), qPrintable(s));
            seen.insert(s);
            // One capital, then at most one small letter.
            if (i > 0)
                QVERIFY2(QRegularExpression("^[A-Z][a-z]?$").match(s).hasMatch(), qPrintable(s));
        }
    }

    // Weights rise with Z except for the few well-known inversions; a repeated
    // or mistyped weight breaks this.
    void weightsRise()
    {
        const QSet<int> inversions = {19, 28, 53, 91, 93}; // K, Ni, I, Pa, Np
        for (int z = 2; z <= 100; z++) {
            const double w = elementTable[z].weight;
            const bool up = w > elementTable[z - 1].weight;
            QVERIFY2(up != inversions.contains(z), qPrintable(elementTable[z].symbol));
            // Roughly 2 to 2.6 times the atomic number beyond the lightest.
            QVERIFY2(w > 1.9 * z && w < 2.7 * z + 1, qPrintable(elementTable[z].symbol));
        }
    }

    void energyToAngle_data()
    {
        QTest::addColumn<double>("D");
        QTest::addColumn<double>("eV");
        QTest::addColumn<double>("deg");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        // Si(111) at the Cu K edge: the familiar 12.72 degrees.
        QTest::newRow("Cu K") << 3.13553 << 8979.0 << 12.720192189105095;
        QTest::newRow("just above limit") << 3.13553 << 1977.09 << 89.8834425301352;
        QTest::newRow("just below limit") << 3.13553 << 1977.0859 << -1.0;
        QTest::newRow("zero energy") << 3.13553 << 0.0 << -1.0;
        QTest::newRow("nan energy") << 3.13553 << nan << -1.0;
        QTest::newRow("infinite energy") << 3.13553 << inf << 0.0;
        QTest::newRow("zero spacing") << 0.0 << 8979.0 << -1.0;
        QTest::newRow("nan spacing") << nan << 8979.0 << -1.0;
    }
    void energyToAngle()
    {
        QFETCH(double, D);
        QFETCH(double, eV);
        QFETCH(double, deg);
        Units u;
        u.setD(D);
        const double got = u.eVToDeg(eV);
        QVERIFY2(std::fabs(got - deg) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
    }

    void roundTrip()
    {
        Units u;
        u.setD(3.13553);
        QVERIFY(std::fabs(u.degToEV(90.0) - 1977.08590898312) < 1e-7);
        for (double e = 2000.0; e < 120000.0; e *= 1.07) {
            const double th = u.eVToDeg(e);
            QVERIFY(th > 0.0 && th < 90.0);
            QVERIFY2(std::fabs(u.degToEV(th) - e) < 1e-9 * e, qPrintable(QString::number(e)));
        }
    }
};

CORVELLINE_TEST(TestUnits)
#include "tst_units.moc"
