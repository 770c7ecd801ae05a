#include "support/FrameCraft.h"
#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "imagestack/FrameSets.h"
#include "imagestack/TiffData.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {
// A stack of frames, each 4 x 1 pixels, with its energies.
struct Frames {
    QList<QVector<double>> samples;
    QList<double> energies;
};
} // namespace
Q_DECLARE_METATYPE(Frames)

// Expected values worked out by hand from the pixels of 4 x 1 frames; the bin
// sits at (x, 0).
class TestBinSpectrum : public QObject {
    Q_OBJECT

    static Frames frames(const QList<QVector<double>>& s, const QList<double>& e)
    {
        return Frames{s, e};
    }
    static Frames flat(double v, int n = 1, double e0 = 8000.0)
    {
        Frames f;
        for (int i = 0; i < n; i++) {
            f.samples << QVector<double>(4, v);
            f.energies << e0 + 10.0 * i;
        }
        return f;
    }
    static void fill(FrameSets& sets, FrameSets::Stack s, const Frames& f)
    {
        for (int i = 0; i < f.samples.size(); i++)
            sets.append(s, craft::floatFrame(4, 1, f.samples[i]), f.energies[i]);
    }

private slots:
    void bin_data()
    {
        QTest::addColumn<Frames>("i1");
        QTest::addColumn<Frames>("i0");
        QTest::addColumn<QVector<double>>("dark");
        QTest::addColumn<double>("darkExp");
        QTest::addColumn<QRectF>("i1DarkRect");
        QTest::addColumn<QRectF>("i0DarkRect");
        QTest::addColumn<bool>("useI0");
        QTest::addColumn<bool>("fluo");
        QTest::addColumn<QList<double>>("totalI0");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("hw");
        QTest::addColumn<QList<double>>("mu");

        const Frames none;
        const QVector<double> noDark;
        const QRectF off;
        const QRectF right(2, 0, 1, 0); // the two right pixels
        const QList<double> noTotal;
        QTest::newRow("pixel 0.5: ln 2") << flat(0.5) << none << noDark << 0.0 << off << off
                                        << false << false << noTotal << 0 << 0
                                        << QList<double>{std::log(2.0)};
        QTest::newRow("pixel 0: 1.0") << flat(0.0) << none << noDark << 0.0 << off << off << false
                                     << false << noTotal << 0 << 0 << QList<double>{1.0};
        QTest::newRow("half width -1: 3 pixels, I0 is their count")
            << frames({{1, 1, 9, 9}}, {8000}) << none << noDark << 0.0 << off << off << false
            << false << noTotal << 1 << -1 << QList<double>{std::log(3.0 / 11.0)};
        QTest::newRow("dark of 200 ms on a 100 ms stack: half its sum")
            << flat(30) << none << QVector<double>(4, 40) << 200.0 << off << off << false << false
            << noTotal << 0 << 0 << QList<double>{std::log(1.0 / 10.0)};
        QTest::newRow("dark exposure 0: not scaled")
            << flat(50) << none << QVector<double>(4, 40) << 0.0 << off << off << false << false
            << noTotal << 0 << 0 << QList<double>{std::log(1.0 / 10.0)};
        QTest::newRow("I0 between two frames")
            << flat(50, 1, 8005) << frames({{100, 100, 100, 100}, {200, 200, 200, 200}}, {8000, 8010})
            << noDark << 0.0 << off << off << true << false << noTotal << 0 << 0
            << QList<double>{std::log(3.0)};
        QTest::newRow("I0 loaded out of energy order")
            << flat(50, 1, 8005)
            << frames({QVector<double>(4, 400), QVector<double>(4, 100), QVector<double>(4, 200)},
                      {8020, 8000, 8010})
            << noDark << 0.0 << off << off << true << false << noTotal << 0 << 0
            << QList<double>{std::log(3.0)};
        QTest::newRow("fluorescence: I1 / I0")
            << flat(50, 1, 8005) << frames({{100, 100, 100, 100}, {200, 200, 200, 200}}, {8000, 8010})
            << noDark << 0.0 << off << off << true << true << noTotal << 0 << 0
            << QList<double>{1.0 / 3.0};
        QTest::newRow("UseI0 on an empty I0 stack: I0 is 1")
            << flat(0.25) << none << noDark << 0.0 << off << off << true << false << noTotal << 1
            << 1 << QList<double>{std::log(1.0 / 0.75)};
        // Area mean 2, less the dark frame's 1, is 1 per pixel; with the dark frame's own 1: 8 - 2.
        QTest::newRow("I1 dark area and dark frame")
            << frames({{8, 8, 2, 2}}, {8000}) << none << QVector<double>(4, 1) << 100.0 << right
            << off << false << false << noTotal << 0 << 0 << QList<double>{std::log(1.0 / 6.0)};
        QTest::newRow("one I0 frame's dark area serves three I1 frames")
            << flat(8, 3) << frames({{4, 4, 1, 1}}, {8000}) << noDark << 0.0 << off << right << true
            << false << noTotal << 0 << 0 << QList<double>(3, std::log(3.0 / 8.0));
        // I0 dark means 1 and 3 at 8000 and 8010: 2 at 8005; I0 = 150 - 2.
        QTest::newRow("I0 dark mean bracketed by energy")
            << flat(50, 1, 8005) << frames({{100, 100, 1, 1}, {200, 200, 3, 3}}, {8000, 8010})
            << noDark << 0.0 << off << right << true << false << noTotal << 0 << 0
            << QList<double>{std::log(148.0 / 50.0)};
        QTest::newRow("total I0 shorter than the stack, even over UseI0")
            << flat(5, 5) << flat(100) << noDark << 0.0 << off << off << true << false
            << QList<double>{10, 20, 30} << 0 << 0
            << QList<double>{std::log(2.0), std::log(4.0), std::log(6.0), 1.0, 1.0};
        QTest::newRow("bin centre right of the view") << flat(0.5) << none << noDark << 0.0 << off
                                                     << off << false << false << noTotal << 4 << 0
                                                     << QList<double>{};
    }
    void bin()
    {
        QFETCH(Frames, i1);
        QFETCH(Frames, i0);
        QFETCH(QVector<double>, dark);
        QFETCH(double, darkExp);
        QFETCH(QRectF, i1DarkRect);
        QFETCH(QRectF, i0DarkRect);
        QFETCH(bool, useI0);
        QFETCH(bool, fluo);
        QFETCH(QList<double>, totalI0);
        QFETCH(int, x);
        QFETCH(int, hw);
        QFETCH(QList<double>, mu);

        FrameSets sets;
        fill(sets, FrameSets::I1, i1);
        fill(sets, FrameSets::I0, i0);
        QVERIFY(sets.updateGeometry());
        if (!dark.isEmpty())
            sets.setDarkFrame(craft::floatFrame(4, 1, dark));
        if (!i1DarkRect.isNull())
            sets.setDarkArea(FrameSets::I1, i1DarkRect);
        if (!i0DarkRect.isNull())
            sets.setDarkArea(FrameSets::I0, i0DarkRect);
        for (int i = 0; i < totalI0.size(); i++)
            sets.totalI0ofI1.i0.append(8000 + i, totalI0[i]);
        FrameSets::BinOptions o;
        o.darkExpTime = darkExp;
        o.i1ExpTime = o.i0ExpTime = 100.0;
        o.useI0 = useI0;
        o.fluo = fluo;

        const Spectrum s = sets.xafsSpectrumAt(x, 0, hw, 0, o);
        QCOMPARE(s.size(), mu.size());
        for (int i = 0; i < mu.size(); i++) {
            QCOMPARE(s.x(i), i1.energies[i]);
            QVERIFY2(qAbs(s.y(i) - mu[i]) < 1e-9,
                     qPrintable(QStringLiteral("point %1: %2, not %3").arg(i).arg(s.y(i)).arg(mu[i])));
        }
    }

    // Row and column through a 3 x 2 frame; I1 against an I0 frame of 2 everywhere.
    void profiles_data()
    {
        QTest::addColumn<bool>("row");
        QTest::addColumn<bool>("fromI1");
        QTest::addColumn<int>("at");
        QTest::addColumn<Points>("expected");
        const double l = std::log(2.0);
        QTest::newRow("row 1 of I0") << true << false << 1 << Points{{0, 4}, {1, 5}, {2, 6}};
        QTest::newRow("row 0 of I1: ln(I0 / I1)")
            << true << true << 0 << Points{{0, l - std::log(1.0)}, {1, l - std::log(2.0)}, {2, l - std::log(3.0)}};
        QTest::newRow("column 2 of I0: abscissa from the height down")
            << false << false << 2 << Points{{2, 3}, {1, 6}};
        QTest::newRow("row below the view") << true << false << 2 << Points{};
        QTest::newRow("column left of the view") << false << false << -1 << Points{};
    }
    void profiles()
    {
        QFETCH(bool, row);
        QFETCH(bool, fromI1);
        QFETCH(int, at);
        QFETCH(Points, expected);
        FrameSets sets;
        const QVector<double> grid{1, 2, 3, 4, 5, 6};
        sets.append(FrameSets::I1, craft::floatFrame(3, 2, grid), 8000);
        sets.append(FrameSets::I0, fromI1 ? craft::flatFrame(3, 2, 2) : craft::floatFrame(3, 2, grid), 8000);
        sets.updateGeometry();
        const Spectrum s = row ? sets.hProfileAt(at, 0, 0, fromI1, 0, false)
                               : sets.vProfileAt(at, 0, 0, fromI1, 0, false);
        QCOMPARE(s.size(), expected.size());
        for (int i = 0; i < expected.size(); i++) {
            QCOMPARE(s.x(i), expected[i].x());
            QVERIFY(qAbs(s.y(i) - expected[i].y()) < 1e-12);
        }
    }

    void totalI0File()
    {
        QTemporaryDir dir;
        const QString twoColumns = dir.filePath(QStringLiteral("two.dat"));
        const QString withI0 = dir.filePath(QStringLiteral("i0.9809"));
        QFile a(twoColumns), b(withI0);
        QVERIFY(a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly));
        a.write("8000 1.5\n8010 1.7\n");
        b.write("9809\nOffset\n0 20 0 300 100\n0 19.9 0 400 100\n0 19.8 0 500 100\n");
        a.close();
        b.close();
        XafsSpectrum total;
        QVERIFY(FrameSets::readTotalI0(total, withI0));
        QCOMPARE(total.i0.size(), 3);
        QCOMPARE(total.i0.y(2), 500.0);
        // The earlier I0 column does not stay behind a file without one.
        QVERIFY(!FrameSets::readTotalI0(total, twoColumns));
        QCOMPARE(total.i0.size(), 0);
        QCOMPARE(total.size(), 2);
    }
};

CORVELLINE_TEST(TestBinSpectrum)
#include "tst_binspectrum.moc"
