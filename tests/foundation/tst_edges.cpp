#include "support/TestRegistry.h"

#include "foundation/ElemData.h"
#include "foundation/VictoreenRec.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <climits>
#include <cmath>

namespace {
struct Row {
    double edge[5];
    double c[5];
    double d[5];
};

double field(const VictoreenRec& r, const QString& name, int i)
{
    if (name == QLatin1String("edge"))
        return r.edge[i];
    if (name == QLatin1String("c"))
        return r.c[i];
    return r.d[i];
}
} // namespace

Q_DECLARE_METATYPE(Row)

class TestEdges : public QObject {
    Q_OBJECT
private slots:
    void init() { loadVictoreenTable(); }
    void cleanup() { loadVictoreenTable(); }

    void recordCount()
    {
        QCOMPARE(victoreenTable.count, 93);
        for (int z = 0; z < 93; z++)
            QCOMPARE(victoreenTable.rec[z].z, z);
        for (int z = 93; z < victoreenCapacity; z++) {
            const VictoreenRec& r = victoreenTable.rec[z];
            QCOMPARE(r.z, 0);
            for (int e = 0; e < edgeCount; e++) {
                QCOMPARE(r.edge[e], 0.0);
                QCOMPARE(r.c[e], 0.0);
                QCOMPARE(r.d[e], 0.0);
            }
        }
        // The header line is record 0 and reads as nothing.
        for (int e = 0; e < edgeCount; e++)
            QCOMPARE(victoreenEdge(0, e), 0.0);
    }

    // The rows the program has always carried, item by item.
    void fixedRows_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<Row>("row");
        QTest::newRow("H") << 1 << Row{{0, 0, 0, 0, 0}, {0.0127, 0, 0, 0, 0}, {0.00000466, 0, 0, 0, 0}};
        QTest::newRow("Cu") << 29
                            << Row{{8.98436029, 1.1, 0.954, 0.935, 0}, {176, 15.6, 0, 0, 0}, {48.3, 0.779, 0, 0, 0}};
        QTest::newRow("W") << 74
                           << Row{{69.496, 12.096, 11.539, 10.197, 4.374},
                                  {0, 390, 338, 190, 65.3},
                                  {0, 161, 129, 55.2, 11.9}};
        QTest::newRow("U") << 92 << Row{{115.009, 21.762, 20.946, 17.158, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}};
    }
    void fixedRows()
    {
        QFETCH(int, z);
        QFETCH(Row, row);
        const VictoreenRec& r = victoreenTable.rec[z];
        QCOMPARE(r.z, z);
        for (int e = 0; e < edgeCount; e++) {
            QCOMPARE(r.edge[e], row.edge[e]);
            QCOMPARE(victoreenEdge(z, e), row.edge[e]);
            QCOMPARE(r.c[e], row.c[e]);
            QCOMPARE(r.d[e], row.d[e]);
        }
    }

    void edgeEnergies_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("edge");
        QTest::addColumn<double>("eV");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("Cu K exact") << "Cu" << "K" << 8984.36029 << 1e-6;
        QTest::newRow("H K") << "H" << "K" << 0.0 << 0.0;
        QTest::newRow("He K") << "He" << "K" << 0.0 << 0.0;
        QTest::newRow("W L3") << "W" << "L3" << 10197.0 << 1e-6;
        // Tabulated edges (X-ray data booklet), to 0.2 %.
        QTest::newRow("Fe K") << "Fe" << "K" << 7112.0 << 14.0;
        QTest::newRow("Ni K") << "Ni" << "K" << 8333.0 << 16.0;
        QTest::newRow("Zn K") << "Zn" << "K" << 9659.0 << 19.0;
        QTest::newRow("Mo K") << "Mo" << "K" << 20000.0 << 40.0;
        QTest::newRow("Ag K") << "Ag" << "K" << 25514.0 << 50.0;
        QTest::newRow("Pt L3") << "Pt" << "L3" << 11564.0 << 23.0;
        QTest::newRow("Au L3") << "Au" << "l3" << 11919.0 << 24.0;
        QTest::newRow("Pb L3") << "Pb" << "L3" << 13035.0 << 26.0;
    }
    void edgeEnergies()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, edge);
        QFETCH(double, eV);
        QFETCH(double, tolerance);
        const double got = victoreenEdge(elemSymbolToZ(symbol), edgeNameToIndex(edge)) * 1000.0;
        QVERIFY2(std::fabs(got - eV) <= tolerance, qPrintable(QString::number(got, 'g', 12)));
    }

    // Deeper shells bind more weakly: K > LI > LII >= LIII wherever given.
    void edgesOrdered()
    {
        for (int z = 3; z <= 92; z++) {
            double prev = victoreenEdge(z, 0);
            QVERIFY2(prev > 0.0, qPrintable(elementTable[z].symbol));
            for (int e = 1; e < 4; e++) {
                const double v = victoreenEdge(z, e);
                if (v == 0.0)
                    continue;
                QVERIFY2(e == 3 ? v <= prev : v < prev, qPrintable(elementTable[z].symbol));
                prev = v;
            }
            // Every element from Ne on has all three L edges.
            if (z >= 10)
                QVERIFY(victoreenEdge(z, 3) > 0.0);
            // K edges rise with Z.
            if (z > 3)
                QVERIFY2(victoreenEdge(z, 0) > victoreenEdge(z - 1, 0), qPrintable(elementTable[z].symbol));
        }
    }

    void m1OnlyForSix()
    {
        const QSet<QString> withM1 = {"W", "Os", "Pt", "Au", "Pb", "Bi"};
        for (int z = 1; z <= 92; z++) {
            const double m1 = victoreenEdge(z, 4);
            const QString& s = elementTable[z].symbol;
            QVERIFY2((m1 > 0.0) == withM1.contains(s), qPrintable(s));
            // An M1 wavelength lies beyond the LIII one (lower energy).
            if (m1 > 0.0)
                QVERIFY(m1 > 12.3984172 / victoreenEdge(z, 3));
        }
    }

    void outOfRangeReads_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("edge");
        QTest::newRow("z -1") << -1 << 0;
        QTest::newRow("z INT_MIN") << INT_MIN << 0;
        QTest::newRow("z 93") << 93 << 0;
        QTest::newRow("z 99") << 99 << 0;
        QTest::newRow("z 100") << 100 << 0;
        QTest::newRow("z 110 (D)") << 110 << 0;
        QTest::newRow("z INT_MAX") << INT_MAX << 0;
        QTest::newRow("edge -1") << 29 << -1;
        QTest::newRow("edge 5") << 74 << 5;
        QTest::newRow("edge INT_MAX") << 29 << INT_MAX;
    }
    void outOfRangeReads()
    {
        QFETCH(int, z);
        QFETCH(int, edge);
        QCOMPARE(victoreenEdge(z, edge), 0.0);
    }

    void edgeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("K") << "K" << 0;
        QTest::newRow("k") << "k" << 0;
        QTest::newRow("LI") << "LI" << 1;
        QTest::newRow("l1") << "l1" << 1;
        QTest::newRow("Lii") << "Lii" << 2;
        QTest::newRow("L2") << "L2" << 2;
        QTest::newRow("LIII") << "LIII" << 3;
        QTest::newRow("L3") << "L3" << 3;
        QTest::newRow("l3") << "l3" << 3;
        QTest::newRow("M1") << "M1" << 0;
        QTest::newRow("L4") << "L4" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("padded") << " L3" << 0;
    }
    void edgeNames()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QCOMPARE(edgeNameToIndex(name), index);
        if (index > 0)
            QCOMPARE(edgeNameToIndex(::edgeNames[index]), index);
    }

    // The committed text: its layout, its symbols, and wavelengths that agree
    // with the energies in every generated row.
    void committedTable()
    {
        QFile disk(testreg::sourceDir() + "/src/resources/Victoreen1.txt");
        QVERIFY(disk.open(QIODevice::ReadOnly));
        const QByteArray text = disk.readAll();
        QFile res(":Victoreen1.txt");
        QVERIFY(res.open(QIODevice::ReadOnly));
        QCOMPARE(res.readAll(), text);

        QTextStream in(text);
        QString line;
        int records = 0;
        bool source = false;
        const QSet<int> fixed = {1, 29, 74, 92};
        while (in.readLineInto(&line)) {
            const QStringList items = line.simplified().split(' ');
            if (items.at(0).startsWith('#')) {
                source = source || line.contains("xraylib");
                continue;
            }
            QCOMPARE(items.size(), 21);
            if (records == 0) {
                QCOMPARE(items.at(0), QString("="));
            } else {
                QCOMPARE(items.at(1).toInt(), records);
                QCOMPARE(items.at(0), elementTable[records].symbol);
                if (!fixed.contains(records)) {
                    for (int e = 0; e < 4; e++) {
                        const QString energy = items.at(2 + 4 * e);
                        const QString wave = items.at(3 + 4 * e);
                        QCOMPARE(items.at(4 + 4 * e), QString("="));
                        QCOMPARE(items.at(5 + 4 * e), QString("="));
                        QCOMPARE(energy == "=", wave == "=");
                        if (energy != "=") {
                            const double lambda = 12.3984172 / energy.toDouble();
                            QVERIFY(std::fabs(wave.toDouble() - lambda) < 1e-8 * lambda);
                        }
                    }
                    QCOMPARE(items.at(19), QString("="));
                    QCOMPARE(items.at(20), QString("="));
                }
            }
            records++;
        }
        QCOMPARE(records, 93);
        QVERIFY(source);
    }

    void loaderInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("z");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("value");

        QString many = "= Z\n";
        for (int i = 1; i <= 130; i++)
            many += QString("X %1 %2\n").arg(i).arg(i * 0.5);
        QTest::newRow("100 records at most") << many << 100 << 99 << "edge" << 0 << 49.5;
        QTest::newRow("record 99's z") << many << 100 << 99 << "z" << 0 << 99.0;

        const QString shortLines = "= Z\nH 1 2.5\nHe 2 3.5 0 1 2 4.0\n";
        QTest::newRow("short line, present") << shortLines << 3 << 1 << "edge" << 0 << 2.5;
        QTest::newRow("short line, missing") << shortLines << 3 << 1 << "edge" << 1 << 0.0;
        QTest::newRow("short line, c") << shortLines << 3 << 2 << "c" << 0 << 1.0;
        QTest::newRow("short line, d") << shortLines << 3 << 2 << "d" << 0 << 2.0;
        QTest::newRow("short line, LI") << shortLines << 3 << 2 << "edge" << 1 << 4.0;
        QTest::newRow("symbol only") << "= Z\nLi\n" << 2 << 1 << "z" << 0 << 0.0;

        const QString odd = "= Z\nX 1 -5 = -1 -2 -3 = nan inf x = = = = = = = 7 -1 8\n";
        QTest::newRow("negative K kept") << odd << 2 << 1 << "edge" << 0 << -5.0;
        QTest::newRow("negative c raised") << odd << 2 << 1 << "c" << 0 << 0.0;
        QTest::newRow("negative LI raised") << odd << 2 << 1 << "edge" << 1 << 0.0;
        QTest::newRow("nan reads 0") << odd << 2 << 1 << "c" << 1 << 0.0;
        QTest::newRow("inf reads 0") << odd << 2 << 1 << "d" << 1 << 0.0;
        QTest::newRow("text reads 0") << odd << 2 << 1 << "edge" << 2 << 0.0;
        QTest::newRow("fifth group") << odd << 2 << 1 << "edge" << 4 << 7.0;
        QTest::newRow("fifth c") << odd << 2 << 1 << "c" << 4 << 0.0;
        QTest::newRow("fifth d") << odd << 2 << 1 << "d" << 4 << 8.0;

        const QString comments = "# source\n= Z\n\n   # indented\n\t\nX 1 7\nY 2 8\n";
        QTest::newRow("comments and blanks") << comments << 3 << 2 << "edge" << 0 << 8.0;
        QTest::newRow("z not a number") << "= Z\nX one 3\n" << 2 << 1 << "z" << 0 << 0.0;
        QTest::newRow("empty file") << "" << 0 << 0 << "edge" << 0 << 0.0;
    }
    void loaderInput()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, z);
        QFETCH(QString, field);
        QFETCH(int, index);
        QFETCH(double, value);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("table.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toLatin1());
        f.close();
        if (count >= victoreenCapacity)
            QTest::ignoreMessage(QtDebugMsg, "Victoreen table: more than 100 records, the rest is ignored");
        loadVictoreenTable(path);
        QCOMPARE(victoreenTable.count, count);
        const VictoreenRec& r = victoreenTable.rec[z];
        const double got = field == "z" ? double(r.z) : ::field(r, field, index);
        QCOMPARE(got, value);
        if (field == "edge")
            QCOMPARE(victoreenEdge(z, index), z < count ? value : 0.0);
        QCOMPARE(victoreenEdge(count, 0), 0.0);
    }

    void missingFile()
    {
        QTest::ignoreMessage(QtDebugMsg, "Cannot open [none.txt]");
        loadVictoreenTable("/nonexistent-dir/none.txt");
        QCOMPARE(victoreenTable.count, 0);
        QCOMPARE(victoreenEdge(29, 0), 0.0);
        QCOMPARE(victoreenTable.rec[29].edge[0], 0.0);
    }
};

CORVELLINE_TEST(TestEdges)
#include "tst_edges.moc"
