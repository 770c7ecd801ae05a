#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "mainwindow/Body.h"
#include "mainwindow/StackSums.h"
#include "mainwindow/SumUpCtrl.h"
#include "imagestack/TiffData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>

namespace {

// Pixel (x, y) of frame k on a 4 x 3 field: the frame's weight k + 1 times the place.
double sumPixel(int x, int y, int k)
{
    return (k + 1.0) * (1.0 + x + 4.0 * y);
}

double fourierPixel(int x, int y, int k)
{
    return 1.0 + x + 2.0 * y + (k % 2) * (x + 1.0) + 0.1 * k * k * y;
}

// Checks the "Res" lines of a stack against a plain DFT: frame j holds
// pixel(x, y, j) at energy[j]; the frames were loaded in the order `loaded`,
// bins of half widths hx, hy tile the w x h image. The image term is frame
// `image`; the spectra run in ascending energy, frames at one energy in
// loading order.
void checkResLines(const QStringList& res, int w, int h, int hx, int hy, const QList<double>& energy,
                   QList<int> loaded, int image, const std::function<double(int, int, int)>& pixel)
{
    const int n = int(loaded.size());
    QCOMPARE(res.size(), n);
    std::stable_sort(loaded.begin(), loaded.end(), [&energy](int a, int b) { return energy[a] < energy[b]; });
    const auto binSum = [&](int cx, int cy, int j) {
        double s = 0;
        for (int y = std::max(0, cy - hy); y <= std::min(h - 1, cy + hy); y++)
            for (int x = std::max(0, cx - hx); x <= std::min(w - 1, cx + hx); x++)
                s += pixel(x, y, j);
        return s;
    };
    for (int k = 0; k < n; k++) {
        double aa = 0, pp = 0, ap = 0;
        for (int cy = hy; cy < h; cy += 2 * hy + 1) {
            for (int cx = hx; cx < w; cx += 2 * hx + 1) {
                const double a = binSum(cx, cy, image);
                std::complex<double> c;
                for (int j = 0; j < n; j++)
                    c += binSum(cx, cy, loaded[j]) * std::polar(1.0, -2.0 * M_PI * j * k / n);
                const double p = std::abs(c);
                aa += a * a;
                pp += p * p;
                ap += a * p;
            }
        }
        const QStringList f = res[k].split(' ');
        QCOMPARE(f.size(), 6);
        QCOMPARE(f[1].toInt(), k);
        const double expected[] = {aa, pp, ap, ap / std::sqrt(aa * pp)};
        for (int i = 0; i < 4; i++)
            QVERIFY2(std::fabs(f[i + 2].toDouble() - expected[i]) <= 1e-5 * std::fabs(expected[i]) + 1e-9,
                     qPrintable(res[k]));
    }
}

// Keeps the working directory of the process for one test.
struct InDir {
    QString saved = QDir::currentPath();
    explicit InDir(const QString& d) { QDir::setCurrent(d); }
    ~InDir() { QDir::setCurrent(saved); }
};

} // namespace

class TestStackSums : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        loopback::resetConfig();
    }

    // Ranges "from-to" over a 30-frame stack, and the weight sum they give.
    void sumUp_data()
    {
        QTest::addColumn<QStringList>("ranges");
        QTest::addColumn<double>("weights");
        QTest::newRow("no range") << QStringList() << 0.0;
        QTest::newRow("0-1000: all 30 frames") << QStringList{"0", "1000"} << 465.0;
        QTest::newRow("5-5 adds nothing") << QStringList{"5", "5"} << 0.0;
        QTest::newRow("frame 4 named twice") << QStringList{"3", "5", "4", "6"} << 20.0;
        QTest::newRow("negative start") << QStringList{"-3", "2"} << 3.0;
        QTest::newRow("far end") << QStringList{"28", "2000000000"} << 59.0;
    }
    void sumUp()
    {
        QFETCH(QStringList, ranges);
        QFETCH(double, weights);
        std::unique_ptr<Body> b = craft::bodyWithStack(4, 3, 30, sumPixel);
        SumUpCtrl* ctrl = b->analyzer->SumUpC;
        for (int i = 0; i + 1 < ranges.size(); i += 2) {
            ctrl->SumUpFrom->setText(ranges[i]);
            ctrl->SumUpTo->setText(ranges[i + 1]);
            ctrl->add();
        }
        InDir in(tmp.path());
        QFile::remove("sumUpImg.png");
        b->doSumUp();
        const Analyzed2DRes& map = b->analyzer->sumUpMap;
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 4; x++)
                QCOMPARE(map.valueAt(x, y), weights * (1.0 + x + 4.0 * y));
        QVERIFY(QFile::exists("sumUpImg.png"));
    }

    // A bin wider than high: the lone bright pixel lies inside it only one way round.
    void sumUpWideBin()
    {
        std::unique_ptr<Body> b = craft::bodyWithStack(5, 5, 2, [](int x, int y, int) { return x == 4 && y == 1 ? 100.0 : 0.0; });
        b->aHWidth_->setText("2");
        b->aVWidth_->setText("1");
        b->analyzer->SumUpC->SumUpTo->setText("1");
        b->analyzer->SumUpC->add();
        InDir in(tmp.path());
        b->doSumUp();
        // hw 2, hh 1: bin (2,1) spans x 0-4, y 0-2 and holds (4,1); the next row's bin (2,4) spans y 3-5
        QCOMPARE(b->analyzer->sumUpMap.valueAt(2, 1), 100.0);
        QCOMPARE(b->analyzer->sumUpMap.valueAt(2, 4), 0.0);
    }

    // Frames 0..2 of sumPixel at 8900, 8902, 8904 eV; frame 1 shifted by (1, 0),
    // frame 2 by (0, -1). Column 0 of frame 1 is the mean of frames 0 and 2 there;
    // row 2 of frame 2 is frame 1's, or frame 0's where frame 1 holds none
    // either, as the spectra fill them. (0, 0): 1 + (1 + 15) / 2 + 15.
    void sumUpOfShiftedFrames()
    {
        std::unique_ptr<Body> b = craft::bodyWithStack(4, 3, 3, sumPixel);
        b->i1Frames[1]->x0 = 1;
        b->i1Frames[2]->y0 = -1;
        b->analyzer->SumUpC->add(); // 0-1000
        InDir in(tmp.path());
        b->doSumUp();
        const double sums[3][4] = {{24, 22, 28, 34}, {48, 46, 52, 58}, {27, 46, 51, 56}};
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 4; x++)
                QCOMPARE(b->analyzer->sumUpMap.valueAt(x, y), sums[y][x]);
    }

    // Deleting the middle of three ranges keeps the first and third, in order.
    void deleteMiddle()
    {
        SumUpCtrl ctrl;
        for (const char* to : {"2", "5", "9"}) {
            ctrl.SumUpTo->setText(to);
            ctrl.add();
        }
        QCOMPARE(ctrl.SumUps->itemText(1), QStringLiteral("0-5"));
        ctrl.SumUps->setCurrentIndex(1);
        ctrl.del();
        QCOMPARE(ctrl.SumUps->count(), 2);
        QCOMPARE(ctrl.SumUps->itemText(0), QStringLiteral("0-2"));
        QCOMPARE(ctrl.SumUps->itemText(1), QStringLiteral("0-9"));
        QCOMPARE(ctrl.SumUps->currentIndex(), 0);
        QCOMPARE(ctrl.sumUps.size(), 2);
        QCOMPARE(ctrl.sumUps[1].to, 9);
        // frames 0-1 and 0-8 of a stack whose pixel is the frame number
        std::unique_ptr<Body> b = craft::bodyWithStack(1, 1, 12, [](int, int, int k) { return double(k); });
        QCOMPARE(sumUpBin(b->frameSets, ctrl.sumUps, 0, 0, 0, 0), 1.0 + 36.0);
        ctrl.del();
        ctrl.del();
        ctrl.del(); // empty: nothing
        QCOMPARE(ctrl.SumUps->count(), 0);
        QVERIFY(ctrl.sumUps.isEmpty());
    }

    // A bound that is no frame number shows in its field and adds no range
    // from or to some other number.
    void rangeRefused_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("told");
        QTest::newRow("To abc") << "3" << "abc" << "Can't add the sum-up range: To \"abc\" is no whole number";
        QTest::newRow("From empty") << "" << "7" << "Can't add the sum-up range: From \"\" is no whole number";
        QTest::newRow("To 7.5") << "-3" << "7.5" << "Can't add the sum-up range: To \"7.5\" is no whole number";
    }
    void rangeRefused()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, told);
        SumUpCtrl ctrl;
        ctrl.SumUpFrom->setText(from);
        ctrl.SumUpTo->setText(to);
        QLineEdit* shown = told.contains(QLatin1String("To \"")) ? ctrl.SumUpTo : ctrl.SumUpFrom;
        QCOMPARE(shown->styleSheet(), QStringLiteral("background-color: rgb(255, 170, 170);"));
        testlog::Capture log;
        ctrl.add();
        QCOMPARE(log.linesStartingWith(told).size(), 1);
        QCOMPARE(ctrl.SumUps->count(), 0);
        QVERIFY(ctrl.sumUps.isEmpty());
    }

    // The "Res" lines of a 2 x 2-bin, 4-frame stack against a plain DFT.
    void fourierCheck()
    {
        const int n = 4;
        std::unique_ptr<Body> b = craft::bodyWithStack(2, 2, n, fourierPixel);
        testlog::Capture log;
        b->execFourierA();
        QCOMPARE(log.linesStartingWith("\"2da FA 1:\"").size(), 1);
        checkResLines(log.linesStartingWith("Res "), 2, 2, 0, 0, {8900, 8902, 8904, 8906}, {0, 1, 2, 3}, 0,
                      fourierPixel);
    }

    // Whatever the loading order, the image term is the frame first in energy
    // (of two at the lowest, the first loaded). Five 5 x 3 frames, bins 3 x 1;
    // frames 0 and 4 share the lowest energy. A frame shifted right by one,
    // whose rows are even, reads as unshifted: its readings are scaled to
    // the bins' pixels.
    void fourierCheckLoadOrder_data()
    {
        QTest::addColumn<QList<int>>("loaded");
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("shifted");
        QTest::newRow("ascending") << QList<int>{0, 1, 2, 3} << 0 << -1;
        QTest::newRow("descending") << QList<int>{3, 2, 1, 0} << 0 << -1;
        QTest::newRow("shuffled") << QList<int>{2, 0, 3, 1} << 0 << -1;
        QTest::newRow("two lowest, the later loaded first") << QList<int>{1, 4, 2, 0, 3} << 4 << -1;
        QTest::newRow("image frame shifted") << QList<int>{0, 1, 2, 3} << 0 << 0;
    }
    void fourierCheckLoadOrder()
    {
        QFETCH(QList<int>, loaded);
        QFETCH(int, image);
        QFETCH(int, shifted);
        const QList<double> energy{8979.25, 8983.75, 8991.5, 9004.5, 8979.25};
        const QList<double> weight{0.625, 0.5, 0.375, 0.25, 0.875};
        const auto pixel = [&weight, shifted](int x, int y, int j) {
            return weight[j] * (8 + (j == shifted ? 0 : x) + 3 * y) + 0.5 * j * y;
        };
        std::unique_ptr<Body> b = craft::bodyWithStack(5, 3, 0, nullptr);
        for (int j : loaded) {
            QVector<double> v;
            for (int y = 0; y < 3; y++)
                for (int x = 0; x < 5; x++)
                    v << pixel(x, y, j);
            b->frameSets.append(FrameSets::I1, craft::floatFrame(5, 3, v), energy[j]);
            b->frameSets.frames(FrameSets::I1).last()->x0 = j == shifted ? 1 : 0;
        }
        b->followI1Stack();
        b->aHWidth_->setText("1");
        testlog::Capture log;
        b->execFourierA();
        checkResLines(log.linesStartingWith("Res "), 5, 3, 1, 0, energy, loaded, image, pixel);
    }

    void fourierWithoutStack()
    {
        Body body;
        testlog::Capture log;
        body.execFourierA();
        QVERIFY(log.linesStartingWith("Res").isEmpty());
        QVERIFY(log.linesStartingWith("\"2da FA").isEmpty());
    }
};

CORVELLINE_TEST(TestStackSums)
#include "tst_stacksums.moc"
