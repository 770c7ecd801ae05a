#include "support/LogCapture.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "mainwindow/Body.h"
#include "mainwindow/StackSums.h"
#include "mainwindow/SumUpCtrl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <complex>

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

    // Deleting the middle of three ranges keeps the first and third, in order.
    void deleteMiddle()
    {
        SumUpCtrl ctrl;
        for (const char* to : {"2", "abc", "9"}) {
            ctrl.SumUpTo->setText(to);
            ctrl.add();
        }
        QCOMPARE(ctrl.SumUps->itemText(1), QStringLiteral("0-0"));
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
        QCOMPARE(sumUpBin(b->i1Frames, ctrl.sumUps, 0, 0, 0, 0), 1.0 + 36.0);
        ctrl.del();
        ctrl.del();
        ctrl.del(); // empty: nothing
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
        const QStringList res = log.linesStartingWith("Res ");
        QCOMPARE(log.linesStartingWith("\"2da FA 1:\"").size(), 1);
        QCOMPARE(res.size(), n);
        for (int k = 0; k < n; k++) {
            double aa = 0, pp = 0, ap = 0;
            for (int y = 0; y < 2; y++) {
                for (int x = 0; x < 2; x++) {
                    const double a = fourierPixel(x, y, 0);
                    std::complex<double> c;
                    for (int j = 0; j < n; j++)
                        c += fourierPixel(x, y, j) * std::polar(1.0, -2.0 * M_PI * j * k / n);
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
