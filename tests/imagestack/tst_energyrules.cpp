#include "support/EnergyFiles.h"
#include "support/TestRegistry.h"

#include "foundation/Units.h"
#include "imagestack/EnergyRules.h"

#include <QTest>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {

QList<double> readFrom(const QString& text)
{
    QString copy = text;
    QTextStream in(&copy, QIODevice::ReadOnly);
    const Units units;
    return EnergyRules::readRefFile(in, units);
}

QList<double> ramp(int n, double first)
{
    QList<double> list;
    for (int i = 0; i < n; ++i)
        list << first + i;
    return list;
}

} // namespace

using energytest::braggEnergy;
using energytest::writeFile;

class TestEnergyRules : public QObject {
    Q_OBJECT
private slots:
    void byName_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("fNo");
        QTest::addColumn<double>("energy");
        const QStringList p = EnergyRules::defaultPatterns();
        QTest::newRow("5+4 digits") << p[0] << 1.0 << "sample_08980_1234.tif" << 7 << 8980.1234;
        QTest::newRow("4+4 digits, 5 given") << p[0] << 1.0 << "s_18980_5000.tif" << 0 << 18980.5;
        QTest::newRow("full path, first match") << p[1] << 1.0
                                                << "/data/run_1111_2222/x_8980_5000.tif" << 0
                                                << 1111.2222;
        QTest::newRow("two decimals") << p[2] << 1.0 << "a_9000_25.tif" << 0 << 9000.25;
        QTest::newRow("eV suffix") << p[3] << 1.0 << "a_9000_25eV.tif" << 0 << 9000.25;
        QTest::newRow("point") << p[4] << 1.0 << "b8979.9876.tif" << 0 << 8979.9876;
        QTest::newRow("point eV") << p[6] << 1.0 << "b8979.98eV.tif" << 0 << 8979.98;
        QTest::newRow("one decimal") << p[7] << 1.0 << "e8979.5x" << 0 << 8979.5;
        QTest::newRow("keV 2 digits") << p[8] << 1000.0 << "Cu_12_345678KeV.tif" << 0 << 12345.678;
        QTest::newRow("keV 1 digit") << p[9] << 1000.0 << "Fe_7_112000KeV.tif" << 0 << 7112.0;
        QTest::newRow("no match") << p[0] << 1.0 << "dark.tif" << 3 << 3.0;
        QTest::newRow("no match times factor") << p[0] << 2.5 << "dark.tif" << 4 << 10.0;
        QTest::newRow("invalid pattern") << "(\\d" << 1.0 << "a_8000_1234" << 5 << 5.0;
        QTest::newRow("empty pattern matches empty") << "" << 1.0 << "a_8000_1234" << 5 << 0.0;
        QTest::newRow("match is no number") << "abc" << 1.0 << "xabcx" << 5 << 0.0;
    }
    void byName()
    {
        QFETCH(QString, pattern);
        QFETCH(double, factor);
        QFETCH(QString, fileName);
        QFETCH(int, fNo);
        QFETCH(double, energy);
        EnergyRules r;
        r.source = EnergyRules::FromName;
        r.pattern = pattern;
        r.factor = factor;
        QVERIFY(qAbs(r.energyOfFile(fileName, fNo, 100, Units()) - energy) < 1e-9);
    }

    void matchedText_data()
    {
        QTest::addColumn<QString>("matched");
        QTest::addColumn<double>("value");
        QTest::newRow("underscore") << "08980_1234" << 8980.1234;
        QTest::newRow("KeV") << "12_345678KeV" << 12.345678;
        QTest::newRow("kev lower") << "12_5kev" << 12.5;
        QTest::newRow("eV") << "8980_12eV" << 8980.12;
        QTest::newRow("two points") << "1_2_3" << 0.0;
        QTest::newRow("nan text") << "nan" << 0.0;
        QTest::newRow("inf text") << "inf" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void matchedText()
    {
        QFETCH(QString, matched);
        QFETCH(double, value);
        QCOMPARE(EnergyRules::valueOfMatch(matched), value);
    }

    void factorText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("factor");
        QTest::newRow("KeV") << "\\d_\\d\\d\\dKeV" << "1000";
        QTest::newRow("kev") << "\\d+kev" << "1000";
        QTest::newRow("eV") << "\\d\\d\\d\\d_\\d\\deV" << "1";
        QTest::newRow("k eV apart") << "k eV" << "1";
    }
    void factorText()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, factor);
        QCOMPARE(EnergyRules::factorTextFor(pattern), factor);
    }

    void widgetTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("integer");
        QTest::addColumn<double>("factor");
        QTest::newRow("1000") << "1000" << 1000.0 << 1000 << 1000.0;
        QTest::newRow("1.5") << "1.5" << 1.5 << 0 << 1.5;
        QTest::newRow("zero") << "0" << 0.0 << 0 << 1.0;
        QTest::newRow("negative") << "-2" << -2.0 << -2 << 1.0;
        QTest::newRow("word") << "abc" << 0.0 << 0 << 1.0;
        QTest::newRow("nan") << "nan" << 0.0 << 0 << 1.0;
        QTest::newRow("inf") << "inf" << 0.0 << 0 << 1.0;
        QTest::newRow("overflow") << "1e999" << 0.0 << 0 << 1.0;
        QTest::newRow("int overflow") << "99999999999" << 99999999999.0 << 0 << 99999999999.0;
    }
    void widgetTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(int, integer);
        QFETCH(double, factor);
        QCOMPARE(EnergyRules::numberOf(text), number);
        QCOMPARE(EnergyRules::integerOf(text), integer);
        QCOMPARE(EnergyRules::factorOf(text), factor);
    }

    void refList_data()
    {
        QTest::addColumn<QList<double>>("list");
        QTest::addColumn<bool>("fromEnd");
        QTest::addColumn<int>("fNo");
        QTest::addColumn<int>("total");
        QTest::addColumn<double>("energy");
        const QList<double> hundred = ramp(100, 9000.0);
        QTest::newRow("empty 0") << QList<double>() << true << 0 << 5 << 8000.0;
        QTest::newRow("empty 1") << QList<double>() << false << 1 << 5 << 8001.0;
        QTest::newRow("empty 57") << QList<double>() << true << 57 << 80 << 8057.0;
        QTest::newRow("from end, first") << hundred << true << 0 << 80 << 9020.0;
        QTest::newRow("from end, last") << hundred << true << 79 << 80 << 9099.0;
        QTest::newRow("from start, first") << hundred << false << 0 << 80 << 9000.0;
        QTest::newRow("from start, last") << hundred << false << 79 << 80 << 9079.0;
        QTest::newRow("past the end") << hundred << false << 150 << 200 << 9099.0;
        QTest::newRow("from end, more files") << hundred << true << 10 << 120 << 9000.0;
        QTest::newRow("from end, 20th of 120") << hundred << true << 25 << 120 << 9005.0;
        QTest::newRow("from end, extreme total") << hundred << true << 0
                                                  << std::numeric_limits<int>::max() << 9000.0;
        QTest::newRow("one entry") << QList<double>{7000.0} << true << 3 << 4 << 7000.0;
    }
    void refList()
    {
        QFETCH(QList<double>, list);
        QFETCH(bool, fromEnd);
        QFETCH(int, fNo);
        QFETCH(int, total);
        QFETCH(double, energy);
        EnergyRules r;
        r.source = EnergyRules::FromRefList;
        r.refEnergies = list;
        r.correspondFromEnd = fromEnd;
        QCOMPARE(r.energyOfFile(QStringLiteral("a_8000_1234.tif"), fNo, total, Units()), energy);
    }

    void calculated_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("evenInEnergy");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("delta");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("fNo");
        QTest::addColumn<double>("energy");
        const int eV = EnergyRules::UnitEV;
        const int keV = EnergyRules::UnitKeV;
        const int deg = EnergyRules::UnitDeg;
        // Worked out separately from the angles of 8000 and 9000 eV.
        QTest::newRow("angle file 0") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 0
                                      << 8000.0;
        QTest::newRow("angle file 1") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 1
                                      << 8000.885918;
        QTest::newRow("angle file 500") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 500
                                        << 8469.743803;
        QTest::newRow("angle file 1000") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 1000
                                         << 9000.0;
        QTest::newRow("angle ignores delta") << eV << false << 8000.0 << 9000.0 << 7.0 << 1000
                                             << 500 << 8469.743803;
        QTest::newRow("keV angle file 1") << keV << false << 8.0 << 9.0 << 0.001 << 1000 << 1
                                          << 8000.885918;
        QTest::newRow("keV angle file 500") << keV << false << 8.0 << 9.0 << 0.001 << 1000 << 500
                                            << 8469.743803;
        QTest::newRow("energy eV") << eV << true << 8000.0 << 9000.0 << 1.5 << 1000 << 10
                                   << 8015.0;
        QTest::newRow("energy keV") << keV << true << 8.0 << 9.0 << 0.002 << 1000 << 10 << 8020.0;
        QTest::newRow("deg, even in energy") << deg << true << 20.0 << 10.0 << 0.5 << 1000 << 4
                                             << braggEnergy(22.0);
        QTest::newRow("deg, even in angle") << deg << false << 20.0 << 10.0 << 0.5 << 1000 << 4
                                            << braggEnergy(22.0);
        QTest::newRow("no unit") << int(EnergyRules::NoUnit) << false << 8000.0 << 9000.0 << 2.0
                                 << 1000 << 3 << 8006.0;
        QTest::newRow("start below 1977 eV") << eV << false << 1900.0 << 9000.0 << 1.0 << 1000
                                             << 0 << braggEnergy(-1.0);
        QTest::newRow("below 1977 eV, last") << eV << false << 1900.0 << 9000.0 << 1.0 << 1000
                                             << 1000 << 9000.0;
        QTest::newRow("no points, angle") << eV << false << 8000.0 << 9000.0 << 1.0 << 0 << 500
                                          << 8000.0;
        QTest::newRow("negative points, angle keV") << keV << false << 8.0 << 9.0 << 1.0 << -4
                                                    << 7 << 8000.0;
        QTest::newRow("deg 0 has no energy") << deg << false << 0.0 << 10.0 << 1.0 << 10 << 0
                                             << 0.0;
        QTest::newRow("energy of 0 has no angle") << eV << false << 0.0 << 9000.0 << 1.0 << 10
                                                  << 0 << braggEnergy(-1.0);
    }
    void calculated()
    {
        QFETCH(int, unit);
        QFETCH(bool, evenInEnergy);
        QFETCH(double, start);
        QFETCH(double, end);
        QFETCH(double, delta);
        QFETCH(int, n);
        QFETCH(int, fNo);
        QFETCH(double, energy);
        EnergyRules r;
        r.source = EnergyRules::FromCalc;
        r.unit = unit;
        r.evenInEnergy = evenInEnergy;
        r.start = start;
        r.end = end;
        r.delta = delta;
        r.numOfPoints = n;
        const double e = r.energyOfFile(QStringLiteral("x_8000_1234.tif"), fNo, 1001, Units());
        QVERIFY2(std::isfinite(e), qPrintable(QString::number(e)));
        QVERIFY2(qAbs(e - energy) < 1e-6, qPrintable(QString::number(e, 'f', 9)));
    }

    void crystalOfUnits()
    {
        // The rules take the crystal they are given.
        Units wide;
        wide.setD(2.0 * 3.13553);
        EnergyRules r;
        r.source = EnergyRules::FromCalc;
        r.unit = EnergyRules::UnitDeg;
        r.start = 30.0;
        QVERIFY(qAbs(r.energyOfFile(QString(), 0, 1, wide) - braggEnergy(30.0) / 2.0) < 1e-9);
        QString text = QStringLiteral("h\n30\n");
        QTextStream in(&text, QIODevice::ReadOnly);
        const QList<double> list = EnergyRules::readRefFile(in, wide);
        QCOMPARE(list.size(), 1);
        QVERIFY(qAbs(list.first() - braggEnergy(30.0) / 2.0) < 1e-9);
    }

    void coupling_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("delta");
        QTest::addColumn<double>("end");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("defined");
        QTest::addColumn<double>("newEnd");
        QTest::addColumn<double>("newDelta");
        QTest::newRow("defaults") << 8000.0 << 1.0 << 9000.0 << 1000 << true << 9000.0 << 1.0;
        QTest::newRow("end 9500") << 8000.0 << 1.0 << 9500.0 << 1000 << true << 9000.0 << 1.5;
        QTest::newRow("falling") << 9000.0 << -2.0 << 8000.0 << 500 << true << 8000.0 << -2.0;
        QTest::newRow("one point") << 10.0 << 3.0 << 12.0 << 1 << true << 13.0 << 2.0;
        QTest::newRow("no points") << 8000.0 << 1.0 << 9000.0 << 0 << false << 0.0 << 0.0;
        QTest::newRow("negative points") << 8000.0 << 1.0 << 9000.0 << -3 << false << 0.0 << 0.0;
        QTest::newRow("overflow") << 1e308 << 1e308 << -1e308 << 10 << false << 0.0 << 0.0;
    }
    void coupling()
    {
        QFETCH(double, start);
        QFETCH(double, delta);
        QFETCH(double, end);
        QFETCH(int, n);
        QFETCH(bool, defined);
        QFETCH(double, newEnd);
        QFETCH(double, newDelta);
        const std::optional<double> e = EnergyRules::endFor(start, delta, n);
        const std::optional<double> d = EnergyRules::deltaFor(start, end, n);
        QCOMPARE(e.has_value(), defined);
        QCOMPARE(d.has_value(), defined);
        if (defined) {
            QCOMPARE(*e, newEnd);
            QCOMPARE(*d, newDelta);
        }
    }

    void refFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("angles");
        QTest::newRow("simple") << "angles\n10\n20\n30\n" << QList<double>{10, 20, 30};
        QTest::newRow("first line is no data") << "15\n10\n" << QList<double>{10};
        QTest::newRow("blank last line") << "h\n10\n20\n\n" << QList<double>{10, 20};
        QTest::newRow("blank lines within") << "h\n10\n   \n20\n" << QList<double>{10, 20};
        QTest::newRow("word and zero") << "h\n10\nabc\n0\n-5\n20\n" << QList<double>{10, 20};
        QTest::newRow("nan and inf") << "h\nnan\ninf\n12.5\n" << QList<double>{12.5};
        QTest::newRow("more columns") << "h\n  11.5\t3 4\n" << QList<double>{11.5};
        QTest::newRow("comment") << "h\n#10\n  #20\n30\n" << QList<double>{30};
        QTest::newRow("9809 with Offset")
            << "9809     KEK-PF BL9A\nCu foil\nRing 2.5 GeV\nMono: Si(111)  D= 3.13553\n"
               "  Offset    0.0  0.0\n"
               "  14.2000  14.1000  1.00  100  90\n"
               "#skip this\n"
               "  14.0000  13.9000  1.00  100  90\n"
               "  13.8000\n"
               "  13.7000  x  1.00\n"
               "  13.6000  13.5000  1.00  100  90\n"
            << QList<double>{14.1, 13.9, 13.5};
        QTest::newRow("9809 without Offset") << "9809 x\n 1 10 2\n 1 20 2\n" << QList<double>();
        QTest::newRow("9809 Offset not first") << "9809 x\nno Offset\n 1 10 2\n Offset\n 1 20 2\n"
                                               << QList<double>{20};
        QTest::newRow("offset lower case") << "9809 x\n offset\n 1 10 2\n" << QList<double>();
        QTest::newRow("empty file") << "" << QList<double>();
    }
    void refFile()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, angles);
        const QList<double> energies = readFrom(text);
        QCOMPARE(energies.size(), angles.size());
        for (int i = 0; i < angles.size(); ++i)
            QVERIFY(qAbs(energies[i] - braggEnergy(angles[i])) < 1e-9 * energies[i]);
    }

    void refFileThroughRules()
    {
        // 100 angles in a file, 80 images: the last image takes the last angle.
        QString text = QStringLiteral("9809 test\nOffset 0 0\n");
        for (int i = 0; i < 100; ++i)
            text += QStringLiteral(" 0 %1 1\n").arg(20.0 - i * 0.01, 0, 'f', 2);
        text += QStringLiteral("\n");
        EnergyRules r;
        r.source = EnergyRules::FromRefList;
        r.refEnergies = readFrom(text);
        QCOMPARE(r.refEnergies.size(), 100);
        r.correspondFromEnd = true;
        QVERIFY(qAbs(r.energyOfFile(QString(), 79, 80, Units()) - braggEnergy(20.0 - 0.99)) < 1e-6);
        QVERIFY(qAbs(r.energyOfFile(QString(), 0, 80, Units()) - braggEnergy(20.0 - 0.20)) < 1e-6);
    }
};

CORVELLINE_TEST(TestEnergyRules)
#include "tst_energyrules.moc"
