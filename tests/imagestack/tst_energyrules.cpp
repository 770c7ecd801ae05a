#include "support/EnergyFiles.h"
#include "support/TestRegistry.h"

#include "foundation/LineReader.h"
#include "foundation/Units.h"
#include "imagestack/EnergyRules.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

QList<double> readFrom(const QString& text)
{
    LineReader in;
    in.openBytes(text.toUtf8(), QStringLiteral("ref"));
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
        QTest::newRow("keV 1 digit") << p[9] << 1000.0 << "Fe_7_112000KeV.tif" << 0 << 7112.0;
        QTest::newRow("no match times factor") << p[0] << 2.5 << "dark.tif" << 4 << 10.0;
        // The file's own name first, the folder only when the name holds none (08975_5000: 8975.5).
        QTest::newRow("dated folder") << p[0] << 1.0 << "/data/run_2024_0315/I1_08950_0000.tif" << 0 << 8950.0;
        QTest::newRow("dated folder, relative") << p[0] << 1.0 << "run_2024_0315/I1_08975_5000.tif" << 2 << 8975.5;
        QTest::newRow("energy in the folder") << p[0] << 1.0 << "/data/E_08960_0000/frame.tif" << 1 << 8960.0;
        QTest::newRow("only the folder dated") << p[0] << 1.0 << "/data/run_2024_0315/scana.tif" << 5
                                               << 2024.0315;
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

    // One file after another, each pattern is the one in force: the pattern
    // kept compiled from the file before is not used for the next.
    void byNameAsThePatternChanges()
    {
        const QStringList p = EnergyRules::defaultPatterns();
        struct Step {
            QString pattern;
            QString fileName;
            int fNo;
            double energy;
        };
        const Step steps[] = {
            {p[0], "sample_08980_1234.tif", 3, 8980.1234},
            {p[0], "sample_08981_0500.tif", 4, 8981.05},
            {p[9], "Fe_7_112000KeV_08982_0000.tif", 5, 7.112},
            {p[0], "Fe_7_112000KeV_08982_0000.tif", 6, 8982.0},
            {"(", "sample_08983_0000.tif", 7, 7.0}, // no pattern: the file's number
            {p[0], "sample_08983_0000.tif", 8, 8983.0},
        };
        for (const Step& st : steps) {
            EnergyRules r;
            r.pattern = st.pattern;
            QVERIFY2(qAbs(r.energyFromFileName(st.fileName, st.fNo) - st.energy) < 1e-9,
                     qPrintable(st.pattern + " " + st.fileName));
        }
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
        QTest::newRow("from end, last") << hundred << true << 79 << 80 << 9099.0;
        QTest::newRow("from start, last") << hundred << false << 79 << 80 << 9079.0;
        QTest::newRow("past the end") << hundred << false << 150 << 200 << 9099.0;
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
        QTest::newRow("angle file 1") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 1
                                      << 8000.885918;
        QTest::newRow("angle file 500") << eV << false << 8000.0 << 9000.0 << 1.0 << 1000 << 500
                                        << 8469.743803;
        QTest::newRow("keV angle file 500") << keV << false << 8.0 << 9.0 << 0.001 << 1000 << 500
                                            << 8469.743803;
        // 8.0 keV + 500 x 0.001 keV = 8.5 keV
        QTest::newRow("keV, even in energy file 500") << keV << true << 8.0 << 9.0 << 0.001 << 1000 << 500
                                                      << 8500.0;
        QTest::newRow("deg, even in angle") << deg << false << 20.0 << 10.0 << 0.5 << 1000 << 4
                                            << braggEnergy(22.0);
        QTest::newRow("start below 1977 eV") << eV << false << 1900.0 << 9000.0 << 1.0 << 1000
                                             << 0 << braggEnergy(-1.0);
        QTest::newRow("no points, angle") << eV << false << 8000.0 << 9000.0 << 1.0 << 0 << 500
                                          << 8000.0;
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
        QVERIFY(std::isfinite(e));
        QVERIFY2(qAbs(e - energy) < 1e-6, qPrintable(QString::number(e, 'f', 6)));
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
        QTest::newRow("end 9500") << 8000.0 << 1.0 << 9500.0 << 1000 << true << 9000.0 << 1.5;
        QTest::newRow("one point") << 10.0 << 3.0 << 12.0 << 1 << true << 13.0 << 2.0;
        QTest::newRow("no points") << 8000.0 << 1.0 << 9000.0 << 0 << false << 0.0 << 0.0;
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
        QTest::newRow("blank last line") << "h\n10\n20\n\n" << QList<double>{10, 20};
        QTest::newRow("word and zero") << "h\n10\nabc\n0\n-5\n20\n" << QList<double>{10, 20};
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
    }
    // Angles worked out apart: asin(12398.424360387684 / (2 d E)) in degrees
    // (pi = 3.1415926535) for E = 7040, 7110.25, 7250 eV; with d = 1.63747
    // (Si(311)) and d = 3.13553 (Si(111)).
    void refFileSpacing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("energies");
        const QString si311("  Offset 0.0 0.0\n 1 32.531450006 1 100 90\n 2 32.171095491 1 100 90\n"
                            " 3 31.478992029 1 100 90\n");
        const QString si111(" 1 16.310110105 1 100 90\n 2 16.144535673 1 100 90\n 3 15.825085565 1 100 90\n");
        const QList<double> wanted{7040.0, 7110.25, 7250.0};
        // Si(311) angles at the Si(111) spacing: 12398.424360387684 / (2 * 3.13553 * sin(32.531450006 deg)) = 3676.504
        const QList<double> at111{3676.504068, 3713.190774, 3786.172513};
        QTest::newRow("Si(311) stated") << "9809 BL\nMono: Si(311) D= 1.63747\n" + si311 << wanted;
        QTest::newRow("last pair wins, on the Offset line")
            << "9809 BL\nD= 3.13553\n  Offset 0.0 D= 1.63747\n" + si311.section(u'\n', 1) << wanted;
        QTest::newRow("no positive number ignored")
            << "9809 BL\nD= 1.63747\nD= -1.5 D= 0 D= abc D=\n" + si311 << wanted;
        QTest::newRow("no D=, Si(111)") << "9809 BL\nMono: Si(111)\n  Offset 0.0 0.0\n" + si111 << wanted;
        QTest::newRow("one column, D= in the first line") << "D= 1.63747\n32.531450006\n32.171095491\n31.478992029\n"
                                                           << at111;
    }
    void refFileSpacing()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, energies);
        const QList<double> got = readFrom(text);
        QCOMPARE(got.size(), energies.size());
        for (int i = 0; i < energies.size(); ++i)
            QVERIFY2(qAbs(got[i] - energies[i]) < 1e-3, qPrintable(QString::number(got[i], 'f', 6)));
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
};

CORVELLINE_TEST(TestEnergyRules)
#include "tst_energyrules.moc"
