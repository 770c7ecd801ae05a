#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "imagestack/FrameSets.h"
#include "imagestack/TiffData.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {
// Frames of 4 x 1 pixels with their energies.
struct Frames {
    QList<QVector<double>> samples;
    QList<double> energies;
};
using Row = QVector<double>;
Frames flat(double v, int n = 1, double e0 = 8000)
{
    Frames f;
    for (int i = 0; i < n; i++) {
        f.samples << Row(4, v);
        f.energies << e0 + 10 * i;
    }
    return f;
}
const double ln2 = std::log(2.0);
// An edge step across 8980 eV.
double muAt(double e)
{
    return 0.3 + 0.5 / (1 + std::exp(-(e - 8980) / 3));
}
// A pixel of the frame at e, as a float frame stores it.
double pixelAt(double e)
{
    return double(float(1000 * std::exp(-muAt(e))));
}
// Exposure times in ms of the dark frame and the two stacks.
struct Exposures {
    double dark = 0.0;
    double i1 = 100.0;
    double i0 = 100.0;
};
} // namespace
Q_DECLARE_METATYPE(Frames)
Q_DECLARE_METATYPE(Exposures)

// Bin spectra, profiles and dark-area means; expected values worked out by hand
// from the pixels. The bin sits at (x, 0).
class TestBinSpectrum : public QObject {
    Q_OBJECT

private slots:
    void bin_data()
    {
        QTest::addColumn<Frames>("i1");
        QTest::addColumn<Frames>("i0");
        QTest::addColumn<Row>("dark");          // empty: none
        QTest::addColumn<Exposures>("exp");
        QTest::addColumn<int>("darkArea");      // 1 of I1, 2 of I0: the two right pixels
        QTest::addColumn<int>("mode");          // 0 no I0, 1 UseI0, 2 UseI0 and fluorescence
        QTest::addColumn<QList<double>>("totalI0");
        QTest::addColumn<QPoint>("xAndHw");
        QTest::addColumn<QList<double>>("mu");
        const Frames none;
        const Frames i0Pair{{Row(4, 100), Row(4, 200)}, {8000, 8010}};
        const QPoint at0(0, 0);
        QTest::newRow("pixel 0.5: ln 2") << flat(0.5) << none << Row() << Exposures{} << 0 << 0
                                        << QList<double>() << at0 << QList<double>{ln2};
        QTest::newRow("half width -1: 3 pixels, I0 is their count")
            << Frames{{{1, 1, 9, 9}}, {8000}} << none << Row() << Exposures{} << 0 << 0 << QList<double>()
            << QPoint(1, -1) << QList<double>{std::log(3.0 / 11)};
        QTest::newRow("dark of 200 ms on a 100 ms stack: half its sum")
            << flat(30) << none << Row(4, 40) << Exposures{200} << 0 << 0 << QList<double>() << at0
            << QList<double>{std::log(1.0 / 10)};
        QTest::newRow("dark exposure 0: not scaled")
            << flat(50) << none << Row(4, 40) << Exposures{} << 0 << 0 << QList<double>() << at0
            << QList<double>{std::log(1.0 / 10)};
        // The dark's 5 scaled to 20 for I1 (200 ms), to 10 for I0 (100 ms).
        QTest::newRow("dark, I1 and I0 at three exposures")
            << flat(60) << Frames{{Row(4, 90)}, {8000}} << Row(4, 5) << Exposures{50, 200, 100} << 0
            << 1 << QList<double>() << at0 << QList<double>{std::log(80.0 / 40)};
        QTest::newRow("I0 between two frames") << flat(50, 1, 8005) << i0Pair << Row() << Exposures{} << 0
                                              << 1 << QList<double>() << at0
                                              << QList<double>{std::log(3.0)};
        // A quarter of the way from 100 to 200: 125; at the upper frame's own energy: 200.
        QTest::newRow("I0 a quarter between two frames")
            << flat(50, 1, 8002.5) << i0Pair << Row() << Exposures{} << 0 << 1 << QList<double>() << at0
            << QList<double>{std::log(2.5)};
        QTest::newRow("I1 at the last I0 frame") << flat(50, 1, 8010) << i0Pair << Row() << Exposures{} << 0
                                                << 1 << QList<double>() << at0
                                                << QList<double>{std::log(4.0)};
        // Past the last frame the line goes on: 200 + (200 - 100) x 5 / 10 = 250.
        QTest::newRow("I1 past the last I0 frame") << flat(50, 1, 8015) << i0Pair << Row() << Exposures{} << 0
                                                  << 1 << QList<double>() << at0
                                                  << QList<double>{std::log(5.0)};
        // Three quarters from 100 to 200: 175.
        QTest::newRow("I0 loaded out of energy order")
            << flat(50, 1, 8007.5) << Frames{{Row(4, 400), Row(4, 100), Row(4, 200)}, {8020, 8000, 8010}}
            << Row() << Exposures{} << 0 << 1 << QList<double>() << at0 << QList<double>{std::log(3.5)};
        QTest::newRow("fluorescence: I1 / I0") << flat(50, 1, 8002.5) << i0Pair << Row() << Exposures{} << 0
                                              << 2 << QList<double>() << at0
                                              << QList<double>{50.0 / 125};
        // Area mean 2 less the dark frame's 1, plus the dark frame's own 1: 8 - 2.
        QTest::newRow("I1 dark area and dark frame")
            << Frames{{{8, 8, 2, 2}}, {8000}} << none << Row(4, 1) << Exposures{100} << 1 << 0
            << QList<double>() << at0 << QList<double>{std::log(1.0 / 6)};
        QTest::newRow("one I0 frame's dark area serves three I1 frames")
            << flat(8, 3) << Frames{{{4, 4, 1, 1}}, {8000}} << Row() << Exposures{} << 2 << 1
            << QList<double>() << at0 << QList<double>(3, std::log(3.0 / 8));
        // I0 dark means 1 and 3 at 8000 and 8010 give 1.5 at 8002.5: I0 = 125 - 1.5.
        QTest::newRow("I0 dark mean bracketed by energy")
            << flat(50, 1, 8002.5) << Frames{{{100, 100, 1, 1}, {200, 200, 3, 3}}, {8000, 8010}}
            << Row() << Exposures{} << 2 << 1 << QList<double>() << at0
            << QList<double>{std::log(123.5 / 50)};
        // Area mean 4 less the dark frame's 2 there scaled to the I0 exposure
        // (100 ms of 50: 4), plus the dark's 5 scaled to 10 for I0 and to 20
        // for I1 (200 ms): (90 - 0 - 10) / (60 - 20).
        QTest::newRow("I0 dark area and dark frame")
            << flat(60) << Frames{{{90, 90, 4, 4}}, {8000}} << Row{5, 5, 2, 2} << Exposures{50, 200, 100} << 2
            << 1 << QList<double>() << at0 << QList<double>{std::log(80.0 / 40)};
        // Three pixels 0..2: I0 = 100 + 100 + 5 less 3 x the area mean 6; I1 = 3 x 10.
        QTest::newRow("I0 dark area, bin of three pixels")
            << flat(10) << Frames{{{100, 100, 5, 7}}, {8000}} << Row() << Exposures{} << 2 << 1
            << QList<double>() << QPoint(1, 1) << QList<double>{std::log(187.0 / 30)};
        // Readings 200 and 220 at 8980 eV count as their mean 210, at 8980
        // and as the end of the brackets on either side: (100 + 210) / 2 at
        // 8970, (210 + 300) / 2 at 8990.
        QTest::newRow("I0 frames sharing an energy: their mean")
            << flat(50, 3, 8970) << Frames{{Row(4, 100), Row(4, 200), Row(4, 220), Row(4, 300)}, {8960, 8980, 8980, 9000}}
            << Row() << Exposures{} << 0 << 1 << QList<double>() << at0
            << QList<double>{std::log(155.0 / 50), std::log(210.0 / 50), std::log(255.0 / 50)};
        // Dark means 2 and 4 at 8980 eV count as 3: I0 = (100 + 210) / 2 - (1 + 3) / 2.
        QTest::newRow("I0 dark means sharing an energy: their mean")
            << flat(50, 1, 8970) << Frames{{{200, 200, 2, 2}, {100, 100, 1, 1}, {220, 220, 4, 4}}, {8980, 8960, 8980}}
            << Row() << Exposures{} << 2 << 1 << QList<double>() << at0 << QList<double>{std::log(153.0 / 50)};
        QTest::newRow("total I0 shorter than the stack, over UseI0")
            << flat(5, 5) << flat(100) << Row() << Exposures{} << 0 << 1 << QList<double>{10, 20, 30} << at0
            << QList<double>{ln2, std::log(4.0), std::log(6.0), 1.0, 1.0};
    }
    void bin()
    {
        QFETCH(Frames, i1);
        QFETCH(Frames, i0);
        QFETCH(Row, dark);
        QFETCH(Exposures, exp);
        QFETCH(int, darkArea);
        QFETCH(int, mode);
        QFETCH(QList<double>, totalI0);
        QFETCH(QPoint, xAndHw);
        QFETCH(QList<double>, mu);
        FrameSets sets;
        for (int i = 0; i < i1.samples.size(); i++)
            sets.append(FrameSets::I1, craft::floatFrame(4, 1, i1.samples[i]), i1.energies[i]);
        for (int i = 0; i < i0.samples.size(); i++)
            sets.append(FrameSets::I0, craft::floatFrame(4, 1, i0.samples[i]), i0.energies[i]);
        QVERIFY(sets.updateGeometry());
        if (!dark.isEmpty())
            sets.setDarkFrame(craft::floatFrame(4, 1, dark));
        if (darkArea)
            sets.setDarkArea(darkArea == 1 ? FrameSets::I1 : FrameSets::I0, QRectF(2, 0, 1, 0));
        for (int i = 0; i < totalI0.size(); i++)
            sets.totalI0ofI1.i0.append(8000 + i, totalI0[i]);
        FrameSets::BinOptions o;
        o.darkExpTime = exp.dark;
        o.i1ExpTime = exp.i1;
        o.i0ExpTime = exp.i0;
        o.useI0 = mode > 0;
        o.fluo = mode == 2;

        const Spectrum s = sets.xafsSpectrumAt(xAndHw.x(), 0, xAndHw.y(), 0, o);
        QCOMPARE(s.size(), mu.size());
        for (int i = 0; i < mu.size(); i++) {
            QCOMPARE(s.x(i), i1.energies[i]);
            QVERIFY2(qAbs(s.y(i) - mu[i]) < 1e-9,
                     qPrintable(QStringLiteral("mu %1, expected %2").arg(s.y(i)).arg(mu[i])));
        }
    }

    // A bin hanging over the image's edge counts only its pixels on the image,
    // so uniform data gives it the inner bin's value. 6 x 2 frames: columns
    // 0-1 are the dark areas (I1 6, I0 10), the rest is I1 30 and I0 100.
    void edgeBins_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QPoint>("half");
        QTest::addColumn<bool>("useI0");
        QTest::addColumn<double>("mu");
        // 3 pixels: (300 - 3 x 10) / (90 - 3 x 6); 2 pixels: (200 - 2 x 10) / (60 - 2 x 6)
        QTest::newRow("inner, I0") << QPoint(3, 0) << QPoint(1, 0) << true << std::log(270.0 / 72);
        QTest::newRow("right edge, I0") << QPoint(5, 0) << QPoint(1, 0) << true << std::log(180.0 / 48);
        // Columns 4-5 of rows 0-1: 4 pixels of 9, I0 their count.
        QTest::newRow("lower right corner, no I0") << QPoint(5, 1) << QPoint(1, 1) << false << std::log(4.0 / 96);
        // Columns 0-2 of 5: 3 / (6 + 6 + 30 - 3 x 6).
        QTest::newRow("left edge, no I0") << QPoint(0, 0) << QPoint(-2, 0) << false << std::log(3.0 / 24);
    }
    void edgeBins()
    {
        QFETCH(QPoint, at);
        QFETCH(QPoint, half);
        QFETCH(bool, useI0);
        QFETCH(double, mu);
        FrameSets sets;
        const Row i1{6, 6, 30, 30, 30, 30, 6, 6, 30, 30, 30, 30};
        const Row i0{10, 10, 100, 100, 100, 100, 10, 10, 100, 100, 100, 100};
        sets.append(FrameSets::I1, craft::floatFrame(6, 2, i1), 8000);
        sets.append(FrameSets::I0, craft::floatFrame(6, 2, i0), 8000);
        QVERIFY(sets.updateGeometry());
        sets.setDarkArea(FrameSets::I1, QRectF(0, 0, 1, 1));
        sets.setDarkArea(FrameSets::I0, QRectF(0, 0, 1, 1));
        FrameSets::BinOptions o;
        o.useI0 = useI0;
        const Spectrum s = sets.xafsSpectrumAt(at.x(), at.y(), half.x(), half.y(), o);
        QCOMPARE(s.size(), 1);
        QVERIFY2(qAbs(s.y(0) - mu) < 1e-12, qPrintable(QStringLiteral("mu %1, expected %2").arg(s.y(0)).arg(mu)));
    }

    // A dark frame at another exposure: its mean over the dark area is scaled
    // as the bin's dark is. 8 x 3 frames, dark areas over columns 0-1. I1 at
    // 100 ms: 200 of dark, 30 stray and, off the area, 500 of signal; I0 at
    // 200 ms: 400 of dark, 20 stray and 1000 of signal. A 3 x 3 bin at (4, 1).
    void darkAreaExposure_data()
    {
        QTest::addColumn<double>("darkLevel");
        QTest::addColumn<double>("darkExp");
        QTest::addColumn<bool>("useI0");
        QTest::addColumn<double>("mu");
        QTest::newRow("dark of 800 at 400 ms, no I0") << 800.0 << 400.0 << false << std::log(1.0 / 500);
        QTest::newRow("dark of 200 at the stack's 100 ms") << 200.0 << 100.0 << false << std::log(1.0 / 500);
        QTest::newRow("dark of 800 at 400 ms, I0") << 800.0 << 400.0 << true << std::log(1000.0 / 500);
    }
    void darkAreaExposure()
    {
        QFETCH(double, darkLevel);
        QFETCH(double, darkExp);
        QFETCH(bool, useI0);
        QFETCH(double, mu);
        auto frame = [](double area, double rest) {
            Row v;
            for (int i = 0; i < 24; i++)
                v << (i % 8 < 2 ? area : rest);
            return craft::floatFrame(8, 3, v);
        };
        FrameSets sets;
        sets.append(FrameSets::I1, frame(230, 730), 8000);
        sets.append(FrameSets::I0, frame(420, 1420), 8000);
        QVERIFY(sets.updateGeometry());
        sets.setDarkFrame(craft::flatFrame(8, 3, darkLevel));
        sets.setDarkArea(FrameSets::I1, QRectF(0, 0, 1, 2));
        sets.setDarkArea(FrameSets::I0, QRectF(0, 0, 1, 2));
        FrameSets::BinOptions o;
        o.darkExpTime = darkExp;
        o.i1ExpTime = 100;
        o.i0ExpTime = 200;
        o.useI0 = useI0;
        const Spectrum s = sets.xafsSpectrumAt(4, 1, 1, 1, o);
        QCOMPARE(s.size(), 1);
        QVERIFY2(qAbs(s.y(0) - mu) < 1e-12, qPrintable(QStringLiteral("mu %1, expected %2").arg(s.y(0)).arg(mu)));
    }

    // Three 8 x 2 frames at 8000, 8010 and 8040 eV with dark levels 5, 7 and
    // 11 over columns 0-1, signal 50 elsewhere, some moved 3 pixels right: a
    // frame moved off the area takes the level of the frames nearest in energy.
    void darkAreaUnderShifts_data()
    {
        QTest::addColumn<QList<int>>("shifted");
        QTest::addColumn<QList<double>>("means"); // empty: the area is dropped
        QTest::newRow("none") << QList<int>{} << QList<double>{5, 7, 11};
        QTest::newRow("middle: between its neighbours") << QList<int>{1} << QList<double>{5, 6.5, 11};
        QTest::newRow("first: the nearest") << QList<int>{0} << QList<double>{7, 7, 11};
        QTest::newRow("first two: the last") << QList<int>{1, 0} << QList<double>{11, 11, 11};
        QTest::newRow("all: dropped") << QList<int>{0, 1, 2} << QList<double>{};
    }
    void darkAreaUnderShifts()
    {
        QFETCH(QList<int>, shifted);
        QFETCH(QList<double>, means);
        FrameSets sets;
        const QList<double> level{5, 7, 11}, energy{8000, 8010, 8040};
        for (int k = 0; k < 3; k++) {
            Row v;
            for (int i = 0; i < 16; i++)
                v << (i % 8 < 2 ? level[k] : 50.0);
            sets.append(FrameSets::I1, craft::floatFrame(8, 2, v), energy[k]);
        }
        QVERIFY(sets.updateGeometry());
        int dropped = 0;
        sets.darkAreaDropped = [&dropped](FrameSets::Stack s) { dropped += s == FrameSets::I1 ? 1 : 100; };
        sets.setDarkArea(FrameSets::I1, QRectF(0, 0, 1, 1));
        for (int k : shifted)
            sets.frames(FrameSets::I1)[k]->x0 = 3;
        sets.clearUpdateDarkArea(FrameSets::I1);
        QCOMPARE(sets.darkInUse(FrameSets::I1), !means.isEmpty());
        QCOMPARE(dropped, means.isEmpty() ? 1 : 0);
        QCOMPARE(sets.darkMeans(FrameSets::I1), means);
        if (means.isEmpty())
            return;
        // The spectrum takes the filled level: (50 - 6.5) for the middle frame.
        const Spectrum sp = sets.xafsSpectrumAt(5, 0, 0, 0, FrameSets::BinOptions());
        QCOMPARE(sp.size(), 3);
        for (int k = 0; k < 3; k++)
            QVERIFY(qAbs(sp.y(k) - std::log(1.0 / (50.0 - means[k]))) < 1e-12);
        for (TiffData* f : sets.frames(FrameSets::I1))
            f->x0 = 0;
        sets.clearUpdateDarkArea(FrameSets::I1);
        QCOMPARE(sets.darkMeans(FrameSets::I1), QList<double>({5, 7, 11}));
    }

    // A new stack whose shifts fill the same frames of the dark area logs
    // them again: the last logged list goes with the old stack.
    void darkFillLoggedPerStack()
    {
        FrameSets sets;
        sets.setDarkArea(FrameSets::I1, QRectF(0, 0, 1, 1));
        testlog::Capture log;
        for (int stack = 1; stack <= 2; stack++) {
            sets.clear(FrameSets::I1);
            for (int k = 0; k < 3; k++)
                sets.append(FrameSets::I1, craft::flatFrame(8, 2, 5.0 + k), 8000 + 10 * k);
            sets.frames(FrameSets::I1)[1]->x0 = 3;
            QVERIFY(sets.updateGeometry());
            sets.clearUpdateDarkArea(FrameSets::I1); // as a load's end does; the second time is no news
            sets.clearUpdateDarkArea(FrameSets::I1);
            QCOMPARE(log.linesStartingWith(QStringLiteral("Frames with no pixel in the dark area")).size(), stack);
        }
    }

    // The same four frames loaded in any order give one spectrum, in ascending
    // energy; the dark means stay with their frames. Frame at 8000 eV: 52 with
    // a dark area mean of 2; 8010: 43 less 3; 8025: 29 less 4; 8040: 25 less 5.
    // I0 is 100 in every frame.
    void energyOrder_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("ascending") << QList<int>{0, 1, 2, 3};
        QTest::newRow("descending") << QList<int>{3, 2, 1, 0};
        QTest::newRow("shuffled") << QList<int>{2, 0, 3, 1};
    }
    void energyOrder()
    {
        QFETCH(QList<int>, order);
        const QList<double> energy{8000, 8010, 8025, 8040}, value{52, 43, 29, 25}, dark{2, 3, 4, 5};
        FrameSets sets;
        for (int k : order) {
            sets.append(FrameSets::I1, craft::floatFrame(4, 1, {value[k], 0, dark[k], dark[k]}), energy[k]);
            sets.append(FrameSets::I0, craft::flatFrame(4, 1, 100), energy[k]);
        }
        QVERIFY(sets.updateGeometry());
        QCOMPARE(sets.energiesAscending(FrameSets::I1), order == QList<int>({0, 1, 2, 3}));
        sets.setDarkArea(FrameSets::I1, QRectF(2, 0, 1, 0));
        FrameSets::BinOptions o;
        o.useI0 = true;
        const Points mu{{8000, std::log(2.0)}, {8010, std::log(2.5)}, {8025, std::log(4.0)}, {8040, std::log(5.0)}};
        const Points raw{{8000, 52}, {8010, 43}, {8025, 29}, {8040, 25}};
        const Spectrum s = sets.xafsSpectrumAt(0, 0, 0, 0, o);
        const Spectrum r = sets.rawI1SpectrumAt(0, 0, 0, 0);
        QCOMPARE(s.size(), 4);
        QCOMPARE(r.points, raw);
        for (int i = 0; i < 4; i++) {
            QCOMPARE(s.x(i), mu[i].x());
            QVERIFY2(qAbs(s.y(i) - mu[i].y()) < 1e-12, qPrintable(QStringLiteral("at %1: %2").arg(s.x(i)).arg(s.y(i))));
        }
    }

    // A bin one column wide and three rows tall in a 2 x 3 frame: column 0
    // holds 4, 5, 6, column 1 is the I1 dark area with mean 1. Three pixels:
    // I1 = 15 - 3 x 1, I0 = 3.
    void tallBin_data()
    {
        QTest::addColumn<int>("hh");
        QTest::newRow("half height 1") << 1;
        QTest::newRow("half height -1") << -1;
    }
    void tallBin()
    {
        QFETCH(int, hh);
        FrameSets sets;
        sets.append(FrameSets::I1, craft::floatFrame(2, 3, {4, 1, 5, 1, 6, 1}), 8000);
        QVERIFY(sets.updateGeometry());
        sets.setDarkArea(FrameSets::I1, QRectF(1, 0, 0, 2));
        const Spectrum s = sets.xafsSpectrumAt(0, 1, 0, hh, FrameSets::BinOptions());
        QCOMPARE(s.size(), 1);
        QVERIFY(qAbs(s.y(0) - std::log(3.0 / 12)) < 1e-12);
    }

    // Through a 3 x 2 frame holding 1 .. 6; for I1 against an I0 frame of 2.
    void profiles_data()
    {
        QTest::addColumn<bool>("row");
        QTest::addColumn<bool>("fromI1");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("hw");
        QTest::addColumn<int>("hh");
        QTest::addColumn<Points>("expected");
        QTest::newRow("row 1 of I0") << true << false << 1 << 0 << 0 << Points{{0, 4}, {1, 5}, {2, 6}};
        QTest::newRow("row 0 of I1: ln(I0 / I1)")
            << true << true << 0 << 0 << 0 << Points{{0, ln2}, {1, 0}, {2, std::log(2.0 / 3)}};
        QTest::newRow("column 2: abscissa from the height down")
            << false << false << 2 << 0 << 0 << Points{{2, 3}, {1, 6}};
        // 3 x 5 bins: at x 0 columns 0-1 (1 + 2 + 4 + 5), at x 1 all six, at x 2 columns 1-2
        QTest::newRow("row 0 of I0, bins 3 wide and 5 tall")
            << true << false << 0 << 1 << 2 << Points{{0, 12}, {1, 21}, {2, 16}};
    }
    void profiles()
    {
        QFETCH(bool, row);
        QFETCH(bool, fromI1);
        QFETCH(int, at);
        QFETCH(int, hw);
        QFETCH(int, hh);
        QFETCH(Points, expected);
        FrameSets sets;
        const QVector<double> grid{1, 2, 3, 4, 5, 6};
        sets.append(FrameSets::I1, craft::floatFrame(3, 2, grid), 8000);
        sets.append(FrameSets::I0, craft::floatFrame(3, 2, fromI1 ? QVector<double>(6, 2) : grid), 8000);
        sets.updateGeometry();
        const Spectrum s = row ? sets.hProfileAt(at, hw, hh, fromI1, 0, false)
                               : sets.vProfileAt(at, hw, hh, fromI1, 0, false);
        QCOMPARE(s.size(), expected.size());
        for (int i = 0; i < expected.size(); i++) {
            QCOMPARE(s.x(i), expected[i].x());
            QVERIFY2(qAbs(s.y(i) - expected[i].y()) < 1e-12,
                     qPrintable(QStringLiteral("at %1: %2").arg(s.x(i)).arg(s.y(i))));
        }
    }

    // An I1 stack alone, 6 x 4 pixels of 1000, bins 3 x 3: whether Use I0 is
    // ticked or not, a bin's I0 is its pixel count, with no I0 dark.
    void standInI0_data()
    {
        QTest::addColumn<bool>("useI0");
        QTest::addColumn<double>("dark"); // 0: no dark frame
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<double>("mu");
        QTest::newRow("off, inner") << false << 0.0 << QPoint(3, 2) << std::log(9.0 / 9000);
        QTest::newRow("off, corner") << false << 0.0 << QPoint(0, 0) << std::log(4.0 / 4000);
        QTest::newRow("ticked, inner") << true << 0.0 << QPoint(3, 2) << std::log(9.0 / 9000);
        QTest::newRow("ticked, corner") << true << 0.0 << QPoint(0, 0) << std::log(4.0 / 4000);
        QTest::newRow("ticked, dark 100, inner") << true << 100.0 << QPoint(3, 2) << std::log(9.0 / 8100);
        QTest::newRow("ticked, dark 100, corner") << true << 100.0 << QPoint(0, 0) << std::log(4.0 / 3600);
    }
    void standInI0()
    {
        QFETCH(bool, useI0);
        QFETCH(double, dark);
        QFETCH(QPoint, at);
        QFETCH(double, mu);
        testlog::Capture log;
        FrameSets sets;
        sets.append(FrameSets::I1, craft::flatFrame(6, 4, 1000), 8000);
        sets.append(FrameSets::I1, craft::flatFrame(6, 4, 1000), 8010);
        QVERIFY(sets.updateGeometry());
        if (dark > 0)
            sets.setDarkFrame(craft::flatFrame(6, 4, dark));
        FrameSets::BinOptions o{100, 100, 100, useI0, false};
        for (int pass = 0; pass < 2; pass++) {
            const Spectrum s = sets.xafsSpectrumAt(at.x(), at.y(), 1, 1, o);
            QCOMPARE(s.size(), 2);
            for (int i = 0; i < 2; i++)
                QVERIFY2(qAbs(s.y(i) - mu) < 1e-12, qPrintable(QString::number(s.y(i), 'g', 10)));
        }
        // Spectra are drawn at every redraw: the line is told where a result is kept.
        QVERIFY(log.linesStartingWith(QStringLiteral("Use I0 is ticked")).isEmpty());
        QCOMPARE(sets.standInI0Note(o), useI0 ? QStringLiteral("Use I0 is ticked but no I0 frame is loaded: a bin's "
                                                               "I0 is its pixel count")
                                              : QString());
    }

    // An 8 x 5 stack whose pixels at E hold 1000 exp(-mu(E)), I0 1000; one
    // frame shifted. A bin reads the frame over the pixels it holds on the
    // image, scaled to the bin's pixels there; one it does not hold takes the
    // reading of the frames nearest in energy (8976 and 8983 around 8980).
    void shiftedFrame_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("half");
        QTest::addColumn<int>("mode"); // 0 no I0, 1 I0, 2 raw I1
        QTest::addColumn<double>("expected");
        const double mid = std::log(1000 / pixelAt(8980)); // 0.55
        const double fill = pixelAt(8976) + (pixelAt(8983) - pixelAt(8976)) * 4 / 7;
        const QPoint right(1, 0);
        QTest::newRow("inner") << 2 << right << QPoint(4, 2) << 1 << 1 << mid;
        QTest::newRow("wholly on the image, 6 pixels held") << 2 << right << QPoint(1, 2) << 1 << 1 << mid;
        QTest::newRow("over the left edge, 3 held") << 2 << right << QPoint(0, 2) << 1 << 1 << mid;
        QTest::newRow("right edge, x 8 held off the image") << 2 << right << QPoint(7, 2) << 1 << 1 << mid;
        QTest::newRow("left edge, no I0") << 2 << right << QPoint(0, 2) << 1 << 0 << mid - std::log(1000.0);
        QTest::newRow("1 x 1 not held: filled") << 2 << right << QPoint(0, 2) << 0 << 1 << std::log(1000 / fill);
        QTest::newRow("y shift, row 2 held") << 2 << QPoint(0, -2) << QPoint(2, 3) << 1 << 1 << mid;
        QTest::newRow("y shift, rows 3-4 not held") << 2 << QPoint(0, -2) << QPoint(2, 4) << 1 << 1 << std::log(1000 / fill);
        QTest::newRow("past the far edge") << 2 << QPoint(9, 0) << QPoint(4, 2) << 1 << 1 << std::log(1000 / fill);
        QTest::newRow("lowest energy off: the next one's")
            << 0 << QPoint(9, 0) << QPoint(4, 2) << 1 << 1 << std::log(1000 / pixelAt(8976));
        QTest::newRow("raw, over the left edge") << 2 << right << QPoint(0, 2) << 1 << 2 << 6 * pixelAt(8980);
        QTest::newRow("raw, 1 x 1 not held") << 2 << right << QPoint(0, 2) << 0 << 2 << fill;
    }
    void shiftedFrame()
    {
        QFETCH(int, frame);
        QFETCH(QPoint, shift);
        QFETCH(QPoint, at);
        QFETCH(int, half);
        QFETCH(int, mode);
        QFETCH(double, expected);
        const QList<double> energy{8970, 8976, 8980, 8983, 8990};
        FrameSets sets;
        for (double e : energy) {
            sets.append(FrameSets::I1, craft::flatFrame(8, 5, pixelAt(e)), e);
            sets.append(FrameSets::I0, craft::flatFrame(8, 5, 1000), e);
        }
        QVERIFY(sets.updateGeometry());
        sets.frames(FrameSets::I1)[frame]->x0 = shift.x();
        sets.frames(FrameSets::I1)[frame]->y0 = shift.y();
        FrameSets::BinOptions o;
        o.useI0 = mode == 1;
        const Spectrum s = mode == 2 ? sets.rawI1SpectrumAt(at.x(), at.y(), half, half)
                                     : sets.xafsSpectrumAt(at.x(), at.y(), half, half, o);
        QCOMPARE(s.size(), energy.size());
        const double pixels = half == 0 ? 1 : 6; // the raw rows' bins at (0, 2)
        for (int k = 0; k < energy.size(); k++) {
            double want = std::log((mode == 0 ? 1 : 1000) / pixelAt(energy[k]));
            if (mode == 2)
                want = pixels * pixelAt(energy[k]);
            if (k == frame)
                want = expected;
            QVERIFY2(qAbs(s.y(k) - want) < 1e-9 * qMax(1.0, qAbs(want)),
                     qPrintable(QStringLiteral("at %1: %2, expected %3").arg(energy[k]).arg(s.y(k), 0, 'g', 10).arg(want, 0, 'g', 10)));
        }
    }

    // Four 8 x 6 frames whose sample (c, r) of frame k (in loading order) holds
    // 100 + 10 c + r + 1000 k, shifted by (x0, y0): image pixel (x, y) is
    // sample (x - x0, y - y0). A bin's reading over held samples c = a..b,
    // r = u..v is npix times their mean 100 + 1000 k + 5 (a + b) + (u + v) / 2,
    // so with fluorescence and no I0 its point is that mean. Every row has a
    // frame shifted left and up or down into its bin, so reading a frame
    // without x0, without y0 or one column past its far edge shows.
    void shiftedSamples_data()
    {
        QTest::addColumn<QList<double>>("energy"); // by frame
        QTest::addColumn<QList<QPoint>>("shift");  // by frame
        QTest::addColumn<QRect>("bin");            // centre, half width and half height
        QTest::addColumn<int>("pixels");           // of the bin on the image
        QTest::addColumn<Points>("expected");      // (energy, mean), ascending energy
        const QList<double> e{8000, 8010, 8013, 8030};
        const QPoint none;
        auto pts = [&e](double m0, double m1, double m2, double m3) {
            return Points{{e[0], m0}, {e[1], m1}, {e[2], m2}, {e[3], m3}};
        };
        // Bin (6, 3): columns 5..7, rows 2..4; unshifted k: 100 + 1000 k + 5 x 12 + 3.
        // Frame 1 at (-1, 1) holds columns 5..6, rows 2..4: samples 6..7, 1..3: 1100 + 65 + 2.
        const QRect right(6, 3, 1, 1);
        QTest::newRow("x -1, y +1: 6 of 9 held")
            << e << QList<QPoint>{none, {-1, 1}, none, none} << right << 9 << pts(163, 1167, 2163, 3163);
        // Bin (5, 2): columns 4..6, rows 1..3; unshifted 152 + 1000 k. Frame 2 at
        // (-2, -1) holds columns 4..5, rows 1..3: samples 6..7, 2..4: 2100 + 65 + 3.
        QTest::newRow("x -2, y -1") << e << QList<QPoint>{none, none, {-2, -1}, none} << QRect(5, 2, 1, 1) << 9
                                    << pts(152, 1152, 2168, 3152);
        // Bin (3, 2) of 5 x 3: columns 1..5, rows 1..3; unshifted 132 + 1000 k.
        // Frame 1 at (2, 1) holds columns 2..5, rows 1..3: samples 0..3, 0..2: 1100 + 15 + 1.
        // Frame 2 at (-3, -1) holds columns 1..4, rows 1..3: samples 4..7, 2..4: 2100 + 55 + 3.
        QTest::newRow("two shifted frames: x +2, y +1 and x -3, y -1")
            << e << QList<QPoint>{none, {2, 1}, {-3, -1}, none} << QRect(3, 2, 2, 1) << 15
            << pts(132, 1116, 2158, 3132);
        // Bin (7, 5) on the image: columns 6..7, rows 4..5; unshifted 100 + 1000 k + 65 + 4.5.
        // Frame 3 at (-1, -1) holds only (6, 4): sample (7, 5): 3100 + 70 + 5.
        QTest::newRow("over the image corner, 1 of 4 held")
            << e << QList<QPoint>{none, none, none, {-1, -1}} << QRect(7, 5, 1, 1) << 4
            << pts(169.5, 1169.5, 2169.5, 3175);
        // Frame 2 moved down off the bin: 3/20 of the way from frame 1's 1167 to
        // frame 3's 3163: 1167 + 1996 x 0.15.
        QTest::newRow("filled between a shifted and an unshifted frame")
            << e << QList<QPoint>{none, {-1, 1}, {0, 5}, none} << right << 9 << pts(163, 1167, 1466.4, 3163);
        // Loaded at 8013, 8030, 8000, 8010; frame 0 off the bin, frame 3 at (-1, 1)
        // (3100 + 65 + 2). Frame 0 is filled between 8010 and 8030:
        // 3167 + (1163 - 3167) x 0.15.
        QTest::newRow("loaded out of energy order")
            << QList<double>{8013, 8030, 8000, 8010} << QList<QPoint>{{0, 5}, none, none, {-1, 1}} << right << 9
            << pts(2163, 3167, 2866.4, 1163);
        // Bin (4, 3): columns 3..5, rows 2..4, inside what every frame holds;
        // frame 1 at (1, 0) reads samples 2..4: 1100 + 30 + 3.
        QTest::newRow("inside every frame") << e << QList<QPoint>{none, {1, 0}, none, none} << QRect(4, 3, 1, 1)
                                            << 9 << pts(143, 1133, 2143, 3143);
    }
    void shiftedSamples()
    {
        QFETCH(QList<double>, energy);
        QFETCH(QList<QPoint>, shift);
        QFETCH(QRect, bin);
        QFETCH(int, pixels);
        QFETCH(Points, expected);
        FrameSets sets;
        for (int k = 0; k < energy.size(); k++) {
            QVector<double> samples;
            for (int r = 0; r < 6; r++)
                for (int c = 0; c < 8; c++)
                    samples << 100 + 10 * c + r + 1000 * k;
            TiffData* f = craft::floatFrame(8, 6, samples);
            f->x0 = shift[k].x();
            f->y0 = shift[k].y();
            sets.append(FrameSets::I1, f, energy[k]);
        }
        QVERIFY(sets.updateGeometry());
        FrameSets::BinOptions o;
        o.fluo = true;
        const Spectrum s = sets.xafsSpectrumAt(bin.x(), bin.y(), bin.width(), bin.height(), o);
        const Spectrum raw = sets.rawI1SpectrumAt(bin.x(), bin.y(), bin.width(), bin.height());
        // The I1 readings handed out with the spectrum are the raw spectrum's.
        Spectrum withIt; // holding a point of before, which goes
        withIt.append(1, 1);
        sets.xafsSpectrumAt(bin.x(), bin.y(), bin.width(), bin.height(), o, &withIt);
        QCOMPARE(withIt.points, raw.points);
        QCOMPARE(s.size(), expected.size());
        QCOMPARE(raw.size(), expected.size());
        for (int k = 0; k < expected.size(); k++) {
            const QPointF want = expected[k];
            QCOMPARE(s.x(k), want.x());
            QCOMPARE(raw.x(k), want.x());
            QVERIFY2(qAbs(s.y(k) - want.y()) < 1e-9 && qAbs(raw.y(k) - pixels * want.y()) < 1e-8,
                     qPrintable(QStringLiteral("at %1: %2 and raw %3, expected %4")
                                    .arg(want.x())
                                    .arg(s.y(k), 0, 'g', 10)
                                    .arg(raw.y(k), 0, 'g', 10)
                                    .arg(want.y())));
        }
    }

    // An I1 stack of 6 x 4 whose pixel (x, y) holds 200 + 10 x + y, Use I0 on.
    // An I0 stack or dark frame of another size is not used: the bin's I0 is
    // its pixel count and no dark is taken off, whichever came first.
    void otherSizes_data()
    {
        QTest::addColumn<QSize>("i0");   // empty: none
        QTest::addColumn<QSize>("dark"); // empty: none; the dark frame holds 50
        QTest::addColumn<bool>("i0First");
        QTest::addColumn<bool>("darkArea"); // I1 dark area over column 0: mean 201.5
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<double>("mu");
        QTest::addColumn<QString>("log");
        // (5, 3): columns 4-5, rows 2-3, I1 = 990; (4, 2): columns 3-5, rows 1-3, I1 = 2178.
        QTest::newRow("I0 8 x 6") << QSize(8, 6) << QSize() << false << false << QPoint(5, 3)
                                  << std::log(4.0 / 990) << "The I0 stack (8 x 6) is not the size of the I1 frames (6 x 4)";
        QTest::newRow("I0 8 x 6 loaded first") << QSize(8, 6) << QSize() << true << false << QPoint(5, 3)
                                               << std::log(4.0 / 990) << "The I0 stack (8 x 6)";
        QTest::newRow("I0 4 x 3") << QSize(4, 3) << QSize() << false << false << QPoint(4, 2)
                                  << std::log(9.0 / 2178) << "The I0 stack (4 x 3)";
        QTest::newRow("I0 of the I1 size") << QSize(6, 4) << QSize() << false << false << QPoint(4, 2)
                                           << std::log(9000.0 / 2178) << "";
        QTest::newRow("dark 8 x 6") << QSize(6, 4) << QSize(8, 6) << false << false << QPoint(4, 2)
                                    << std::log(9000.0 / 2178) << "The dark frame (8 x 6)";
        QTest::newRow("dark 8 x 6 loaded first") << QSize(6, 4) << QSize(8, 6) << true << false << QPoint(4, 2)
                                                 << std::log(9000.0 / 2178) << "The dark frame (8 x 6)";
        QTest::newRow("dark of the I1 size") << QSize(6, 4) << QSize(6, 4) << false << false << QPoint(4, 2)
                                             << std::log((9000.0 - 450) / (2178 - 450)) << "";
        // Not in the dark area's mean either: 2178 - 9 x 201.5.
        QTest::newRow("dark 8 x 6, dark area") << QSize(6, 4) << QSize(8, 6) << false << true << QPoint(4, 2)
                                               << std::log(9000.0 / 364.5) << "The dark frame (8 x 6)";
    }
    void otherSizes()
    {
        QFETCH(QSize, i0);
        QFETCH(QSize, dark);
        QFETCH(bool, i0First);
        QFETCH(bool, darkArea);
        QFETCH(QPoint, at);
        QFETCH(double, mu);
        QFETCH(QString, log);
        testlog::Capture capture;
        FrameSets sets;
        auto addI1 = [&] {
            Row v;
            for (int y = 0; y < 4; y++)
                for (int x = 0; x < 6; x++)
                    v << 200 + 10 * x + y;
            sets.append(FrameSets::I1, craft::floatFrame(6, 4, v), 8000);
            QVERIFY(sets.updateGeometry());
        };
        auto addOthers = [&] {
            if (!i0.isEmpty())
                sets.append(FrameSets::I0, craft::flatFrame(i0.width(), i0.height(), 1000), 8000);
            if (!dark.isEmpty())
                sets.setDarkFrame(craft::flatFrame(dark.width(), dark.height(), 50));
        };
        if (i0First)
            addOthers();
        addI1();
        if (!i0First)
            addOthers();
        if (darkArea)
            sets.setDarkArea(FrameSets::I1, QRectF(0, 0, 0, 3));
        const FrameSets::BinOptions o{100, 100, 100, true, false};
        auto check = [&](double want) {
            const Spectrum s = sets.xafsSpectrumAt(at.x(), at.y(), 1, 1, o);
            QCOMPARE(s.size(), 1);
            QVERIFY2(qAbs(s.y(0) - want) < 1e-12, qPrintable(QString::number(s.y(0), 'g', 10)));
        };
        check(mu);
        const QStringList lines = capture.linesStartingWith(QStringLiteral("The "));
        QCOMPARE(lines.size(), log.isEmpty() ? 0 : 1);
        if (!log.isEmpty())
            QVERIFY2(lines.first().startsWith(log), qPrintable(lines.first()));
        if (i0 != QSize(6, 4)) {
            // A load that makes the sizes agree brings the I0 stack back.
            sets.clear(FrameSets::I0);
            sets.append(FrameSets::I0, craft::flatFrame(6, 4, 1000), 8000);
            check(at == QPoint(5, 3) ? std::log(4000.0 / 990) : std::log(9000.0 / 2178));
        }
    }

    void totalI0File()
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("two.dat"));
        const QString withI0 = dir.filePath(QStringLiteral("i0.9809"));
        QFile a(plain), b(withI0);
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
        QVERIFY(!FrameSets::readTotalI0(total, plain));
        QCOMPARE(total.i0.size(), 0);
        QCOMPARE(total.size(), 2);
    }

    // Frame i holds 10 i in its left half and i in its right half, which is the
    // dark area: its mean is i, less the dark frame's mean there.
    void darkAreaCaches()
    {
        FrameSets sets;
        auto add = [&sets](int from, int to) {
            for (int i = from; i < to; i++)
                sets.append(FrameSets::I0, craft::floatFrame(4, 1, {10.0 * i, 10.0 * i, double(i), double(i)}), i);
        };
        auto expected = [](int n, double dark) {
            QList<double> m;
            for (int i = 0; i < n; i++)
                m << i - dark;
            return m;
        };
        add(0, 10);
        sets.setDarkArea(FrameSets::I0, QRectF(2, 0, 1, 0));
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(10, 0));
        add(10, 15);
        sets.updateDarkArea(FrameSets::I0);
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(15, 0));

        sets.setDarkFrame(craft::floatFrame(4, 1, {9, 9, 2, 4}));
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
        sets.clearUpdateDarkArea(FrameSets::I0);
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(15, 3));
        QVERIFY(!sets.loadDark(QStringLiteral("no such dark")));
        QVERIFY(!sets.darkFrame());
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());

        sets.clearUpdateDarkArea(FrameSets::I0);
        sets.clear(FrameSets::I0);
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
        QVERIFY(sets.darkInUse(FrameSets::I0));
        add(5, 7); // a new stack's means are its own
        sets.updateDarkArea(FrameSets::I0);
        QCOMPARE(sets.darkMeans(FrameSets::I0), QList<double>({5, 6}));
        sets.clear(FrameSets::I0);
        sets.clearDarkArea(FrameSets::I0);
        add(0, 2);
        sets.clearUpdateDarkArea(FrameSets::I0);
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());

        // Partly off the frame (x 2..7, y -1..2): the mean of its two pixels on
        // it, less the dark frame's (2 + 4) / 2 there; the 22 missing pixels add nothing.
        sets.setDarkFrame(craft::floatFrame(4, 1, {9, 9, 2, 4}));
        sets.setDarkArea(FrameSets::I0, QRectF(2, -1, 5, 3));
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(2, 3));
        // Set before the stack and off it once loaded: no dark area, not a mean of 0.
        sets.clear(FrameSets::I0);
        sets.setDarkArea(FrameSets::I0, QRectF(4, 0, 2, 0));
        add(0, 2);
        sets.reader(FrameSets::BinOptions()); // as the first spectrum after the load
        QVERIFY(!sets.darkInUse(FrameSets::I0));
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
    }
};

CORVELLINE_TEST(TestBinSpectrum)
#include "tst_binspectrum.moc"
