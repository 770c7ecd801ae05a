#include "support/TestRegistry.h"

#include "foundation/AnalyzeCond.h"

#include <QStringList>
#include <QTest>
#include <climits>
#include <limits>
#include <vector>

namespace {
// The bins of a walk as "cx,cy" with "*" on the first bin of a row; a walk
// that does not end within the limit is cut and marked.
QString walk(AnalyzeCond& ac, int limit = 1000)
{
    QStringList bins;
    do {
        bins << QString("%1,%2%3").arg(ac.cx).arg(ac.cy).arg(ac.first ? "*" : "");
        if (bins.size() > limit)
            return bins.join(';') + ";...";
    } while (ac.next());
    return bins.join(';');
}
} // namespace

class TestAnalyzeCond : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        AnalyzeCond ac;
        QCOMPARE(ac.W, 0);
        QCOMPARE(ac.H, 0);
        QCOMPARE(ac.stepX, 1);
        QCOMPARE(ac.stepY, 1);
        QVERIFY(ac.first);
        QVERIFY(!ac.next());
        QVERIFY(!ac.next());
    }

    void area_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("w");
        QTest::addColumn<double>("h");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("x1");
        QTest::addColumn<int>("y0");
        QTest::addColumn<int>("y1");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("fractions") << 10.7 << 5.2 << 20.0 << 8.9 << 10 << 30 << 5 << 14;
        QTest::newRow("negative width") << 30.0 << 5.0 << -20.0 << 4.0 << 10 << 30 << 5 << 9;
        QTest::newRow("negative height") << 0.0 << 9.5 << 3.0 << -4.0 << 0 << 3 << 5 << 9;
        QTest::newRow("toward zero") << -2.7 << -0.5 << 5.0 << 1.0 << -2 << 2 << 0 << 0;
        QTest::newRow("nan") << nan << 1.0 << 2.0 << nan << 0 << 0 << 0 << 1;
        QTest::newRow("infinite width") << 0.0 << 0.0 << inf << 1.0 << 0 << INT_MAX << 0 << 1;
        QTest::newRow("huge negative") << -1e300 << 0.0 << 1.0 << 1.0 << INT_MIN << INT_MIN << 0 << 1;
    }
    void area()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, w);
        QFETCH(double, h);
        QFETCH(int, x0);
        QFETCH(int, x1);
        QFETCH(int, y0);
        QFETCH(int, y1);
        const double rect[4] = {x, y, w, h};
        AnalyzeCond ac;
        ac.setup(100, 50, 0, 0, rect, -1, -1);
        QCOMPARE(ac.x0, x0);
        QCOMPARE(ac.x1, x1);
        QCOMPARE(ac.y0, y0);
        QCOMPARE(ac.y1, y1);
        QCOMPARE(ac.W, 100);
        QCOMPARE(ac.H, 50);
    }

    void rasterOrder_data()
    {
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("hy");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("w");
        QTest::addColumn<double>("h");
        QTest::addColumn<int>("stepX");
        QTest::addColumn<int>("stepY");
        QTest::addColumn<QString>("bins");
        // Column 9 belongs to no bin.
        QTest::newRow("tiling x") << 1 << 0 << 0.0 << 0.0 << 10.0 << 1.0 << -1 << -1 << "1,0*;4,0;7,0";
        QTest::newRow("tiling 2-D") << 1 << 1 << 0.0 << 0.0 << 6.0 << 6.0 << -1 << -1 << "1,1*;4,1;1,4*;4,4";
        QTest::newRow("offset area") << 0 << 0 << 3.0 << 7.0 << 2.0 << 2.0 << -1 << -1 << "3,7*;4,7;3,8*;4,8";
        QTest::newRow("reversed") << 0 << 0 << 30.0 << 5.0 << -20.0 << 4.0 << 10 << 2 << "10,5*;20,5;10,7*;20,7";
        QTest::newRow("narrower than a bin") << 2 << 0 << 5.0 << 0.0 << 1.0 << 2.0 << -1 << -1 << "7,0*;7,1*";
        QTest::newRow("lower than a bin") << 0 << 3 << 0.0 << 0.0 << 4.0 << 1.0 << -1 << -1 << "0,3*;1,3;2,3;3,3";
        QTest::newRow("empty area") << 0 << 0 << 4.0 << 4.0 << 0.0 << 0.0 << -1 << -1 << "4,4*";
        QTest::newRow("explicit steps") << 1 << 1 << 0.0 << 0.0 << 5.0 << 3.0 << 2 << 1 << "1,1*;3,1;1,2*;3,2";
        QTest::newRow("step 0 counts as 1") << 0 << 0 << 0.0 << 0.0 << 3.0 << 2.0 << 0 << 0
                                            << "0,0*;1,0;2,0;0,1*;1,1;2,1";
        QTest::newRow("negative half size") << -3 << -2 << 0.0 << 0.0 << 2.0 << 2.0 << -1 << -1
                                            << "0,0*;1,0;0,1*;1,1";
        QTest::newRow("huge step") << 0 << 0 << 0.0 << 0.0 << 10.0 << 2.0 << INT_MAX << INT_MAX << "0,0*";
        QTest::newRow("huge half size") << INT_MAX << 0 << 0.0 << 0.0 << 10.0 << 1.0 << -1 << -1
                                        << "2147483647,0*";
    }
    void rasterOrder()
    {
        QFETCH(int, hx);
        QFETCH(int, hy);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, w);
        QFETCH(double, h);
        QFETCH(int, stepX);
        QFETCH(int, stepY);
        QFETCH(QString, bins);
        const double rect[4] = {x, y, w, h};
        AnalyzeCond ac;
        ac.setup(40, 40, hx, hy, rect, stepX, stepY);
        QVERIFY(ac.stepX >= 1 && ac.stepY >= 1);
        QVERIFY(ac.hx >= 0 && ac.hy >= 0);
        QCOMPARE(walk(ac), bins);
        // After the end the walk stays ended and keeps moving down.
        for (int i = 0; i < 3; i++) {
            const int cy = ac.cy;
            QVERIFY(!ac.next());
            QVERIFY(ac.cy > cy || ac.cy == INT_MAX);
        }
        ac.reset();
        QCOMPARE(walk(ac), bins);
    }

    // Fields written directly, as from a map file's header, must still end.
    void badFieldsStillEnd_data()
    {
        QTest::addColumn<int>("stepX");
        QTest::addColumn<int>("stepY");
        QTest::addColumn<int>("hx");
        QTest::addColumn<QString>("bins");
        QTest::newRow("zero steps") << 0 << 0 << 0 << "0,0*;1,0;0,1*;1,1";
        QTest::newRow("negative steps") << -5 << -1 << 0 << "0,0*;1,0;0,1*;1,1";
        QTest::newRow("negative half width") << 1 << 1 << -4 << "0,0*;1,0;0,1*;1,1";
    }
    void badFieldsStillEnd()
    {
        QFETCH(int, stepX);
        QFETCH(int, stepY);
        QFETCH(int, hx);
        QFETCH(QString, bins);
        AnalyzeCond ac;
        ac.x0 = 0;
        ac.x1 = 2;
        ac.y0 = 0;
        ac.y1 = 2;
        ac.hx = hx;
        ac.stepX = stepX;
        ac.stepY = stepY;
        ac.reset();
        QCOMPARE(walk(ac), bins);
    }

    void fillBin_data()
    {
        QTest::addColumn<int>("cx");
        QTest::addColumn<int>("cy");
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("hy");
        QTest::addColumn<QString>("image"); // rows of a 5 x 4 image, '#' written
        QTest::newRow("inside") << 2 << 1 << 1 << 1 << ".###./.###./.###./.....";
        QTest::newRow("single pixel") << 4 << 3 << 0 << 0 << "...../...../...../....#";
        QTest::newRow("right edge") << 4 << 2 << 1 << 0 << "...../...../...##/.....";
        QTest::newRow("top left corner") << 0 << 0 << 1 << 1 << "##.../##.../...../.....";
        QTest::newRow("bottom right beyond") << 5 << 4 << 1 << 1 << "...../...../...../....#";
        QTest::newRow("outside right") << 7 << 1 << 1 << 1 << "...../...../...../.....";
        QTest::newRow("outside above") << 2 << -3 << 1 << 1 << "...../...../...../.....";
        QTest::newRow("negative half width") << 2 << 1 << -1 << 1 << "...../...../...../.....";
        QTest::newRow("negative half height") << 2 << 1 << 1 << -1 << "...../...../...../.....";
        QTest::newRow("covers all") << 2 << 2 << 9 << 9 << "#####/#####/#####/#####";
        QTest::newRow("extreme centre") << INT_MAX << INT_MIN << 1 << 1 << "...../...../...../.....";
    }
    void fillBin()
    {
        QFETCH(int, cx);
        QFETCH(int, cy);
        QFETCH(int, hx);
        QFETCH(int, hy);
        QFETCH(QString, image);
        const int W = 5, H = 4;
        std::vector<double> img(W * H, 0.0);
        AnalyzeCond ac;
        ac.W = W;
        ac.H = H;
        ac.cx = cx;
        ac.cy = cy;
        ac.hx = hx;
        ac.hy = hy;
        ac.fillBin(img.data(), 2.5);
        QStringList rows;
        for (int y = 0; y < H; y++) {
            QString r;
            for (int x = 0; x < W; x++) {
                const double v = img[y * W + x];
                QVERIFY(v == 0.0 || v == 2.5);
                r += v == 2.5 ? '#' : '.';
            }
            rows << r;
        }
        QCOMPARE(rows.join('/'), image);
    }

    // Each bin of a tiling walk written with its own number: the tiles cover
    // the area once and the leftover column stays untouched.
    void fillTiles()
    {
        const int W = 10, H = 6;
        std::vector<double> img(W * H, -1.0);
        const double rect[4] = {0, 0, W, H};
        AnalyzeCond ac;
        ac.setup(W, H, 1, 1, rect, -1, -1);
        int n = 0;
        do {
            ac.fillBin(img.data(), n++);
        } while (ac.next());
        QCOMPARE(n, 6);
        for (int y = 0; y < H; y++) {
            for (int x = 0; x < W; x++) {
                const double expected = x == 9 ? -1.0 : (y / 3) * 3 + x / 3;
                QCOMPARE(img[y * W + x], expected);
            }
        }
    }

    void nullImage()
    {
        AnalyzeCond ac;
        ac.W = 3;
        ac.H = 3;
        ac.fillBin(nullptr, 1.0);
    }
};

CORVELLINE_TEST(TestAnalyzeCond)
#include "tst_analyzecond.moc"
