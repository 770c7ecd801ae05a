#include "support/TestRegistry.h"

#include "foundation/ElemData.h"
#include "foundation/Units.h"
#include "foundation/VictoreenRec.h"

#include <QSet>
#include <QTest>
#include <cmath>
#include <limits>

class TestUnits : public QObject {
    Q_OBJECT
private slots:
    void unitRows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::newRow("eV") << 0 << "eV" << "% 8.2f";
        QTest::newRow("keV") << 1 << "keV" << "% 8.5f";
        QTest::newRow("A") << 2 << "A" << "% 8.5f";
        QTest::newRow("deg") << 3 << "deg" << "% 8.5f";
    }
    void unitRows()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, format);
        QCOMPARE(unitTable[index].name, name);
        QCOMPARE(QString::fromLatin1(unitTable[index].format), format);
    }

    void elementEntries_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<double>("weight");
        QTest::newRow("none") << 0 << " " << 0.0;
        QTest::newRow("H") << 1 << "H" << 1.0079;
        QTest::newRow("C") << 6 << "C" << 12.011;
        QTest::newRow("Fe") << 26 << "Fe" << 55.847;
        QTest::newRow("Co") << 27 << "Co" << -1.0;
        QTest::newRow("Cu") << 29 << "Cu" << 63.546;
        QTest::newRow("Tc") << 43 << "Tc" << 97.907;
        QTest::newRow("Pm") << 61 << "Pm" << 144.913;
        QTest::newRow("W") << 74 << "W" << -1.0;
        QTest::newRow("Pt") << 78 << "Pt" << 195.08;
        QTest::newRow("Pb") << 82 << "Pb" << 207.2;
        QTest::newRow("Bi") << 83 << "Bi" << 208.9804;
        QTest::newRow("Po") << 84 << "Po" << 208.982;
        QTest::newRow("Th") << 90 << "Th" << 232.0381;
        QTest::newRow("Pa") << 91 << "Pa" << 231.0359;
        QTest::newRow("U") << 92 << "U" << 238.051;
        QTest::newRow("Fm") << 100 << "Fm" << 257.095;
        QTest::newRow("Mt") << 109 << "Mt" << 0.0;
        QTest::newRow("D") << 110 << "D" << 2.01355321;
    }
    void elementEntries()
    {
        QFETCH(int, z);
        QFETCH(QString, symbol);
        QFETCH(double, weight);
        QCOMPARE(elementTable[z].z, z);
        QCOMPARE(elementTable[z].symbol, symbol);
        if (weight >= 0.0)
            QCOMPARE(elementTable[z].weight, weight);
    }

    void elementTableShape()
    {
        QCOMPARE(int(sizeof(elementTable) / sizeof(elementTable[0])), 111);
        QCOMPARE(elementCount, 111);
        QSet<QString> seen;
        for (int i = 0; i < elementCount; i++) {
            QCOMPARE(elementTable[i].z, i);
            QVERIFY2(!seen.contains(elementTable[i].symbol), qPrintable(elementTable[i].symbol));
            seen.insert(elementTable[i].symbol);
            const QString& s = elementTable[i].symbol;
            if (i > 0) {
                // One capital, then at most one small letter.
                QVERIFY(s.size() == 1 || s.size() == 2);
                QVERIFY(s.at(0).isUpper());
                if (s.size() == 2)
                    QVERIFY(s.at(1).isLower());
            }
        }
    }

    // Weights rise with Z except for the few well-known inversions; a repeated
    // or mistyped weight breaks this.
    void weightsRise()
    {
        const QSet<int> inversions = {19, 28, 53, 91, 93}; // K, Ni, I, Pa, Np
        for (int z = 2; z <= 100; z++) {
            const double w = elementTable[z].weight;
            const double prev = elementTable[z - 1].weight;
            if (inversions.contains(z))
                QVERIFY2(w < prev, qPrintable(elementTable[z].symbol));
            else
                QVERIFY2(w > prev, qPrintable(elementTable[z].symbol));
            // Roughly 2 to 2.6 times the atomic number beyond the lightest.
            if (z > 1)
                QVERIFY2(w > 1.9 * z && w < 2.7 * z + 1, qPrintable(elementTable[z].symbol));
        }
    }

    void symbolToZ_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("z");
        QTest::newRow("Cu") << "Cu" << 29;
        QTest::newRow("cu") << "cu" << -1;
        QTest::newRow("CU") << "CU" << -1;
        QTest::newRow("Co") << "Co" << 27;
        QTest::newRow("CO is no symbol") << "CO" << -1;
        QTest::newRow("C") << "C" << 6;
        QTest::newRow("D") << "D" << 110;
        QTest::newRow("H") << "H" << 1;
        QTest::newRow("Mt") << "Mt" << 109;
        QTest::newRow("U") << "U" << 92;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("one blank") << " " << 0;
        QTest::newRow("two blanks") << "  " << -1;
        QTest::newRow("padded") << " Cu" << -1;
        QTest::newRow("unknown") << "Xx" << -1;
    }
    void symbolToZ()
    {
        QFETCH(QString, symbol);
        QFETCH(int, z);
        QCOMPARE(elemSymbolToZ(symbol), z);
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
        QTest::newRow("5 keV") << 3.13553 << 5000.0 << 23.291995159744406;
        QTest::newRow("20 keV") << 3.13553 << 20000.0 << 5.673199542109934;
        QTest::newRow("just above limit") << 3.13553 << 1977.09 << 89.8834425301352;
        QTest::newRow("just below limit") << 3.13553 << 1977.0859 << -1.0;
        QTest::newRow("1900 eV") << 3.13553 << 1900.0 << -1.0;
        QTest::newRow("Si(220)") << 1.920155 << 8979.0 << 21.07322082815572;
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
        if (!std::isnan(D))
            QCOMPARE(u.D, D);
        const double got = u.eVToDeg(eV);
        QVERIFY2(std::fabs(got - deg) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
    }

    void angleToEnergy_data()
    {
        QTest::addColumn<double>("D");
        QTest::addColumn<double>("deg");
        QTest::addColumn<double>("eV");
        QTest::newRow("90 degrees") << 3.13553 << 90.0 << 1977.08590898312;
        QTest::newRow("30 degrees") << 3.13553 << 30.0 << 3954.1718180687362;
        QTest::newRow("12.7 degrees") << 3.13553 << 12.7 << 8993.040907204468;
        QTest::newRow("Si(220) 45") << 1.920155 << 45.0 << 4565.7824193648;
    }
    void angleToEnergy()
    {
        QFETCH(double, D);
        QFETCH(double, deg);
        QFETCH(double, eV);
        Units u;
        u.setD(D);
        QVERIFY(std::fabs(u.degToEV(deg) - eV) < 1e-7);
    }

    void defaultSpacing()
    {
        Units u;
        QCOMPARE(u.D, 3.13553);
    }

    void roundTrip_data()
    {
        QTest::addColumn<double>("D");
        QTest::newRow("Si(111)") << 3.13553;
        QTest::newRow("Si(311)") << 1.63747;
    }
    void roundTrip()
    {
        QFETCH(double, D);
        Units u;
        u.setD(D);
        const double lowest = 12398.424360387684 / (2 * D);
        for (double e = 2000.0; e < 120000.0; e *= 1.07) {
            if (e < lowest * 1.0001)
                continue;
            const double th = u.eVToDeg(e);
            QVERIFY(th > 0.0 && th < 90.0);
            QVERIFY2(std::fabs(u.degToEV(th) - e) < 1e-9 * e, qPrintable(QString::number(e)));
        }
    }
};

CORVELLINE_TEST(TestUnits)
#include "tst_units.moc"
