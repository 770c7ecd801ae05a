#include "support/EnergyFiles.h"
#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "imagestack/FrameSets.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
// A "9809" file with one row per energy: the Bragg angle of the energy in
// column 1, I0 in column 3 ("n/a" in row textRow), I1 in column 4. With
// six decimals the angles are rounded away from the middle of the file, so
// its first and last rows read a hair inside their nominal energies.
QByteArray file9809(const QList<double>& energies, const QList<double>& i0, bool sixDecimals, int textRow)
{
    const double hc = 12398.424360387684, d = 3.13553, pi = 3.1415926535;
    QByteArray text = "9809  total I0\nD= 3.13553\nOffset\n";
    for (int j = 0; j < energies.size(); j++) {
        const double deg = std::asin(hc / (2.0 * d * energies[j])) * 180.0 / pi;
        const double up = 2 * j < energies.size() ? std::floor(deg * 1e6) : std::ceil(deg * 1e6);
        text += "1 " + (sixDecimals ? QByteArray::number(up / 1e6, 'f', 6) : QByteArray::number(deg, 'g', 17))
                + " 0 " + (j == textRow ? QByteArray("n/a") : QByteArray::number(i0[j], 'g', 17)) + " 5\n";
    }
    return text;
}
QList<double> steps(double first, double step, int n)
{
    QList<double> v;
    for (int k = 0; k < n; k++)
        v << first + step * k;
    return v;
}
FrameSets::BinOptions useI0()
{
    FrameSets::BinOptions o;
    o.useI0 = true;
    return o;
}
// Flat I1 frames of 38 at the energies and an I0 frame of 500: the 5 x 5 bin at (5, 3).
Spectrum flatBin(FrameSets& sets, const QList<double>& frames)
{
    for (double e : frames)
        sets.append(FrameSets::I1, craft::flatFrame(9, 7, 38), e);
    sets.append(FrameSets::I0, craft::flatFrame(9, 7, 500), 9000);
    if (!sets.updateGeometry())
        return Spectrum();
    return sets.xafsSpectrumAt(5, 3, 2, 2, useI0());
}
} // namespace

// A total-I0 file against a stack of flat frames of 38 per pixel: the 5 x 5
// bin reads I1 = 950 at every energy, so mu = ln(I0 / 950) tells which I0
// each frame took. Use I0 is on over an I0 stack the file overrules.
class TestTotalI0 : public QObject {
    Q_OBJECT

private slots:
    void pairedByEnergy_data()
    {
        QTest::addColumn<QList<double>>("frames");   // energies; empty: the file's own
        QTest::addColumn<QList<double>>("rows");     // energies of the file's rows
        QTest::addColumn<QList<double>>("i0");       // expected I0 per frame, 0: mu 1.0
        QTest::addColumn<QString>("note");           // expected log line, empty: none
        QTest::addColumn<bool>("sixDecimals");       // angles as a beamline file stores them
        QTest::addColumn<int>("textRow");            // the row whose I0 is text, -1: none

        // Rows 8995 + 10 j hold 100000 + 1000 j: a frame at 9000 + 10 k lies
        // halfway between rows k and k + 1, so 100500 + 1000 k.
        const QList<double> rows12 = steps(8995, 10, 12);
        QTest::newRow("skip 2, cut first 1: frames 9010 ... 9090")
            << steps(9010, 20, 5) << rows12 << steps(101500, 2000, 5) << QString() << false << -1;
        QTest::newRow("whole stack, rows 5 eV below the frames")
            << steps(9000, 10, 10) << rows12 << steps(100500, 1000, 10) << QString() << false << -1;
        // 9040 lies past the last row (9035): it keeps row 4 (104000), and
        // frames 5 to 9 are past the file's end: 0.
        QTest::newRow("file of 5 rows: 9040 on not covered")
            << steps(9000, 10, 10) << steps(8995, 10, 5)
            << (steps(100500, 1000, 4) << 104000 << QList<double>(5, 0.0))
            << QStringLiteral("The total I0 file covers 8995 to 9035 eV, not the I1 frames at 9040 to 9090 eV (6): "
                              "they take its row of their own number (I0 0 past its end)") << false << -1;
        // Frames 8990 and 8980 lie below the rows: rows 0 and 1 by number.
        QTest::newRow("frames below the file, out of energy order")
            << QList<double>{9020, 8990, 8980, 9001} << steps(8995, 10, 4)
            << QList<double>{102500, 101000, 102000, 100600}
            << QStringLiteral("The total I0 file covers 8995 to 9025 eV, not the I1 frames at 8980 to 8990 eV (2): "
                              "they take its row of their own number (I0 0 past its end)") << false << -1;
        QTest::newRow("rows on the frames' own energies") << QList<double>() << steps(9000, 10, 10)
                                                          << steps(100000, 1000, 10) << QString() << false << -1;
        // Angles of six decimals: the frames on the end rows' nominal energies take those rows.
        QTest::newRow("angles of six decimals, first frame cut")
            << steps(9005, 10, 11) << rows12 << steps(101000, 1000, 11) << QString() << true << -1;
        QList<double> down = steps(8995, 10, 12);
        std::reverse(down.begin(), down.end());
        QList<double> downI0 = steps(100000, 1000, 12);
        std::reverse(downI0.begin(), downI0.end());
        QTest::newRow("angles of six decimals, descending stack") << down << rows12 << downI0 << QString() << true << -1;
        // Row 5 (9045 eV) holds text: the frames from 9040 to 9050 take the line from 9035 to 9055.
        QTest::newRow("a row of text") << steps(9000, 5, 21) << rows12 << steps(100500, 500, 21)
                                       << QStringLiteral("The total I0 file %1 leaves out 1 of its 12 rows: no energy or "
                                                         "no positive I0") << true << 5;
    }
    void pairedByEnergy()
    {
        QFETCH(QList<double>, frames);
        QFETCH(QList<double>, rows);
        QFETCH(QList<double>, i0);
        QFETCH(QString, note);
        QFETCH(bool, sixDecimals);
        QFETCH(int, textRow);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("i0.dat"));
        QVERIFY(energytest::writeFile(path, file9809(rows, steps(100000, 1000, int(rows.size())), sixDecimals, textRow)));

        testlog::Capture log;
        FrameSets sets;
        QVERIFY(FrameSets::readTotalI0(sets.totalI0ofI1, path));
        QCOMPARE(sets.totalI0ofI1.i0.size(), rows.size());
        if (frames.isEmpty()) {
            for (int j = 0; j < rows.size(); j++)
                frames << sets.totalI0ofI1.i0.x(j);
        }
        const Spectrum s = flatBin(sets, frames);
        sets.xafsSpectrumAt(3, 4, 2, 2, useI0());
        QCOMPARE(s.size(), frames.size());
        // Points come in ascending energy.
        QList<int> order(frames.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return frames[a] < frames[b]; });
        for (int k = 0; k < s.size(); k++) {
            const int i = order[k];
            const double mu = i0[i] > 0 ? std::log(i0[i] / 950.0) : 1.0;
            QCOMPARE(s.x(k), frames[i]);
            // On the rows' own energies nothing may round: bit for bit.
            // Six decimals of an angle hold the energy to 1e-3 eV: I0 to 0.1 in 1e5.
            if (QTest::currentDataTag() == QByteArrayLiteral("rows on the frames' own energies"))
                QCOMPARE(s.y(k), mu);
            else
                QVERIFY2(qAbs(s.y(k) - mu) < (sixDecimals ? 2e-6 : 1e-9),
                         qPrintable(QStringLiteral("%1 eV: mu %2, expected %3").arg(frames[i]).arg(s.y(k)).arg(mu)));
        }
        const QStringList lines = log.linesStartingWith(QStringLiteral("The total I0 file"));
        QCOMPARE(lines, note.isEmpty() ? QStringList() : QStringList{QString(note).replace(QStringLiteral("%1"), path)});
    }

    // A file with no row of a positive I0 would make every mu 1.0 (NaN with an "inf" row): it
    // is not used, and the I0 frames of 500 a pixel stay, also after a good file.
    void noUsableRow_data()
    {
        QTest::addColumn<QList<double>>("i0");
        QTest::addColumn<int>("textRow");
        QTest::newRow("zeros, negatives, inf and text")
            << QList<double>{0, -3, std::numeric_limits<double>::infinity(), -1e5} << 3;
        QTest::newRow("every row 0") << QList<double>(4, 0.0) << -1;
    }
    void noUsableRow()
    {
        QFETCH(QList<double>, i0);
        QFETCH(int, textRow);
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.dat")), path = dir.filePath(QStringLiteral("i0.dat"));
        QVERIFY(energytest::writeFile(good, file9809(steps(8995, 10, 4), steps(100000, 1000, 4), false, -1)));
        QVERIFY(energytest::writeFile(path, file9809(steps(8995, 10, 4), i0, false, textRow)));
        FrameSets sets;
        QVERIFY(FrameSets::readTotalI0(sets.totalI0ofI1, good));
        testlog::Capture log;
        QVERIFY(!FrameSets::readTotalI0(sets.totalI0ofI1, path));
        const Spectrum s = flatBin(sets, {9000.0, 9010.0, 9020.0});
        QCOMPARE(s.size(), 3);
        for (int k = 0; k < s.size(); k++)
            QVERIFY2(qAbs(s.y(k) - std::log(12500.0 / 950.0)) < 1e-12, qPrintable(QString::number(s.y(k))));
        QCOMPARE(log.linesStartingWith(QStringLiteral("The total I0 file")),
                 QStringList{QStringLiteral("The total I0 file %1 has no row with an energy and a positive I0, not "
                                            "used as total I0: the I0 frames stay in use").arg(path)});
    }
};

CORVELLINE_TEST(TestTotalI0)
#include "tst_totali0.moc"
