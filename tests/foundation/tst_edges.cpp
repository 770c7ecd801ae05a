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
using Values = QList<double>;

// z, then edge, c and d of a record, group by group.
Values itemsOf(const VictoreenRec& r)
{
    Values v{double(r.z)};
    for (int e = 0; e < edgeCount; e++)
        v << r.edge[e] << r.c[e] << r.d[e];
    return v;
}
} // namespace

class TestEdges : public QObject {
    Q_OBJECT
private slots:
    void init() { loadVictoreenTable(); }
    void cleanup() { loadVictoreenTable(); }

    // The rows the program has always carried, item by item.
    void fixedRows_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<Values>("items");
        QTest::newRow("Cu") << 29 << Values{29, 8.98436029, 176, 48.3, 1.1, 15.6, 0.779, 0.954, 0, 0, 0.935, 0, 0, 0, 0, 0};
        QTest::newRow("W") << 74
                           << Values{74, 69.496, 0, 0, 12.096, 390, 161, 11.539, 338, 129, 10.197, 190, 55.2, 4.374,
                                     65.3, 11.9};
    }
    void fixedRows()
    {
        QFETCH(int, z);
        QFETCH(Values, items);
        QCOMPARE(victoreenTable.count, 93);
        QCOMPARE(itemsOf(victoreenTable.rec[z]), items);
    }

    void edgeEnergies_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("edge");
        QTest::addColumn<double>("eV");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("Cu K exact") << "Cu" << "K" << 8984.36029 << 1e-6;
        QTest::newRow("H K") << "H" << "K" << 0.0 << 0.0;
        QTest::newRow("W L3") << "W" << "L3" << 10197.0 << 1e-6;
        // Tabulated edges (X-ray data booklet), to 0.2 %.
        QTest::newRow("Fe K") << "Fe" << "k" << 7112.0 << 14.0;
        QTest::newRow("Mo K") << "Mo" << "K" << 20000.0 << 40.0;
        QTest::newRow("Ag LI") << "Ag" << "LI" << 3806.0 << 8.0;
        QTest::newRow("Au L3") << "Au" << "l3" << 11919.0 << 24.0;
        QTest::newRow("Pb LII") << "Pb" << "Lii" << 15200.0 << 30.0;
        // Names other than K and L1..L3 read as K.
        QTest::newRow("M1 name") << "Cu" << "M1" << 8984.36029 << 1e-6;
        QTest::newRow("padded name") << "Cu" << " L3" << 8984.36029 << 1e-6;
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

    // Deeper shells bind more weakly: K > LI > LII >= LIII wherever given;
    // M1 (a wavelength) only for the six heavy elements that carry it.
    void edgesOrdered()
    {
        const QSet<QString> withM1 = {"W", "Os", "Pt", "Au", "Pb", "Bi"};
        for (int z = 3; z <= 92; z++) {
            const QString& s = elementTable[z].symbol;
            double prev = victoreenEdge(z, 0);
            QVERIFY2(prev > 0.0, qPrintable(s));
            for (int e = 1; e < 4; e++) {
                const double v = victoreenEdge(z, e);
                if (v == 0.0)
                    continue;
                QVERIFY2(e == 3 ? v <= prev : v < prev, qPrintable(s));
                prev = v;
            }
            if (z >= 10)
                QVERIFY(victoreenEdge(z, 3) > 0.0);
            QVERIFY2(victoreenEdge(z, 0) > victoreenEdge(z - 1, 0), qPrintable(s));
            const double m1 = victoreenEdge(z, 4);
            QVERIFY2((m1 > 0.0) == withM1.contains(s), qPrintable(s));
            if (m1 > 0.0)
                QVERIFY(m1 > 12.3984172 / victoreenEdge(z, 3));
        }
    }

    // The header record, atomic numbers beyond the loaded records and edge indexes outside 0..4.
    void outOfRangeReads()
    {
        const QList<QPair<int, int>> reads{{0, 0}, {-1, 0}, {INT_MIN, 0}, {93, 0}, {INT_MAX, 0}, {29, -1}, {74, 5}};
        for (const auto& r : reads)
            QVERIFY2(victoreenEdge(r.first, r.second) == 0.0, qPrintable(QString::number(r.first)));
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
            if (records > 0) {
                QCOMPARE(items.at(1).toInt(), records);
                QCOMPARE(items.at(0), elementTable[records].symbol);
            }
            if (records > 0 && !fixed.contains(records)) {
                for (int e = 0; e < 4; e++) {
                    const QString energy = items.at(2 + 4 * e);
                    const QString wave = items.at(3 + 4 * e);
                    QCOMPARE(items.at(4 + 4 * e) + items.at(5 + 4 * e) + items.at(19) + items.at(20), "====");
                    QCOMPARE(energy == "=", wave == "=");
                    if (energy != "=") {
                        const double lambda = 12.3984172 / energy.toDouble();
                        QVERIFY(std::fabs(wave.toDouble() - lambda) < 1e-8 * lambda);
                    }
                }
            }
            records++;
        }
        QCOMPARE(records, 93);
        QVERIFY(source);
    }

    // Records: z, then edge/c/d of each group; "=" or text reads 0.
    void loaderInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("z");
        QTest::addColumn<Values>("items");

        QString many = "= Z\n";
        for (int i = 1; i <= 130; i++)
            many += QString("X %1 %2\n").arg(i).arg(i * 0.5);
        Values last(16, 0.0);
        last[0] = 99;
        last[1] = 49.5;
        QTest::newRow("100 records at most") << many << 100 << 99 << last;
        QTest::newRow("short lines") << "= Z\nH 1 2.5\nHe 2 3.5 0 1 2 4.0\n" << 3 << 2
                                     << Values{2, 3.5, 1, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        // Negative K kept; negative LI and coefficients raised to 0; nan, inf and text read 0.
        QTest::newRow("odd values") << "= Z\nX 1 -5 = -1 -2 -3 = nan inf x = = = = = = = 7 -1 8\n" << 2 << 1
                                    << Values{1, -5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 8};
        QTest::newRow("comments and blanks") << "# source\n= Z\n\n   # indented\n\t\nX 1 7\nY 2 8\n" << 3 << 2
                                             << Values{2, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("z not a number") << "= Z\nX one 3\n" << 2 << 1
                                        << Values{0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("empty file") << "" << 0 << 0 << Values(16, 0.0);
    }
    void loaderInput()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(int, z);
        QFETCH(Values, items);
        QTemporaryDir dir;
        const QString path = dir.filePath("table.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toLatin1());
        f.close();
        if (count >= victoreenCapacity)
            QTest::ignoreMessage(QtDebugMsg, "Victoreen table: more than 100 records, the rest is ignored");
        loadVictoreenTable(path);
        QCOMPARE(victoreenTable.count, count);
        QCOMPARE(itemsOf(victoreenTable.rec[z]), items);
        QCOMPARE(victoreenEdge(count, 0), 0.0);
    }

    void missingFile()
    {
        QTest::ignoreMessage(QtDebugMsg, "Cannot open [none.txt]");
        loadVictoreenTable("/nonexistent-dir/none.txt");
        QCOMPARE(victoreenTable.count, 0);
        QCOMPARE(victoreenEdge(29, 0), 0.0);
    }
};

CORVELLINE_TEST(TestEdges)
#include "tst_edges.moc"
