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

using Rect = QList<double>;
using Ints = QList<int>;
} // namespace

class TestAnalyzeCond : public QObject {
    Q_OBJECT
private slots:
    void area_data()
    {
        QTest::addColumn<Rect>("rect");
        QTest::addColumn<Ints>("bounds"); // x0, x1, y0, y1
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("fractions") << Rect{10.7, 5.2, 20.0, 8.9} << Ints{10, 30, 5, 14};
        QTest::newRow("negative width") << Rect{30.0, 5.0, -20.0, 4.0} << Ints{10, 30, 5, 9};
        QTest::newRow("toward zero") << Rect{-2.7, -0.5, 5.0, 1.0} << Ints{-2, 2, 0, 0};
        QTest::newRow("nan") << Rect{nan, 1.0, 2.0, nan} << Ints{0, 0, 0, 1};
        QTest::newRow("infinite width") << Rect{0.0, 0.0, inf, 1.0} << Ints{0, INT_MAX, 0, 1};
    }
    void area()
    {
        QFETCH(Rect, rect);
        QFETCH(Ints, bounds);
        AnalyzeCond ac;
        ac.setup(100, 50, 0, 0, rect.constData(), -1, -1);
        QCOMPARE((Ints{ac.x0, ac.x1, ac.y0, ac.y1}), bounds);
    }

    void rasterOrder_data()
    {
        QTest::addColumn<Ints>("half");
        QTest::addColumn<Rect>("rect");
        QTest::addColumn<Ints>("steps");
        QTest::addColumn<QString>("bins");
        // Column 9 belongs to no bin.
        QTest::newRow("tiling x") << Ints{1, 0} << Rect{0, 0, 10, 1} << Ints{-1, -1} << "1,0*;4,0;7,0";
        QTest::newRow("tiling 2-D") << Ints{1, 1} << Rect{0, 0, 6, 6} << Ints{-1, -1} << "1,1*;4,1;1,4*;4,4";
        QTest::newRow("reversed") << Ints{0, 0} << Rect{30, 5, -20, 4} << Ints{10, 2} << "10,5*;20,5;10,7*;20,7";
        QTest::newRow("narrower than a bin") << Ints{2, 0} << Rect{5, 0, 1, 2} << Ints{-1, -1} << "7,0*;7,1*";
        QTest::newRow("step 0 counts as 1") << Ints{0, 0} << Rect{0, 0, 3, 2} << Ints{0, 0}
                                            << "0,0*;1,0;2,0;0,1*;1,1;2,1";
        QTest::newRow("negative half size") << Ints{-3, -2} << Rect{0, 0, 2, 2} << Ints{-1, -1}
                                            << "0,0*;1,0;0,1*;1,1";
        QTest::newRow("huge step") << Ints{0, 0} << Rect{0, 0, 10, 2} << Ints{INT_MAX, INT_MAX} << "0,0*";
        QTest::newRow("huge half size") << Ints{INT_MAX, 0} << Rect{0, 0, 10, 1} << Ints{-1, -1} << "2147483647,0*";
    }
    void rasterOrder()
    {
        QFETCH(Ints, half);
        QFETCH(Rect, rect);
        QFETCH(Ints, steps);
        QFETCH(QString, bins);
        AnalyzeCond ac;
        ac.setup(40, 40, half[0], half[1], rect.constData(), steps[0], steps[1]);
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

    // Only the bins centred on the image are walked, on the grid they had.
    void clipToImage_data()
    {
        QTest::addColumn<Ints>("image"); // W, H
        QTest::addColumn<Ints>("half");
        QTest::addColumn<Rect>("rect");
        QTest::addColumn<QString>("bins"); // "none" when nothing is left
        // Steps 3 across and 5 down.
        QTest::newRow("inside, unchanged") << Ints{40, 30} << Ints{1, 2} << Rect{2, 3, 12, 11}
                                           << "3,5*;6,5;9,5;12,5;3,10*;6,10;9,10;12,10";
        // Centres -9, -6, -3 across and -10, -5 down touch no pixel.
        QTest::newRow("left and top overhang") << Ints{40, 30} << Ints{1, 2} << Rect{-10, -12, 20, 20}
                                               << "0,0*;3,0;6,0;9,0;0,5*;3,5;6,5;9,5";
        // Centres -10, -7, -4, -1, 2 ... across and -11, -6, -1, 4, 9 down: the
        // bins at -1 reach pixel 0 (and 1 down) but are centred off the image.
        QTest::newRow("overhang, bins half on") << Ints{40, 30} << Ints{1, 2} << Rect{-11, -13, 21, 26}
                                                << "2,4*;5,4;8,4;2,9*;5,9;8,9";
        // Centres from -2147483646 in steps of 5 meet -1 (covering -3..1), 4 and 9.
        QTest::newRow("both ways, a bin half on") << Ints{12, 1} << Ints{2, 0}
                                                  << Rect{-2147483648.0, 0, 4294967295.0, 1}
                                                  << "4,0*;9,0";
        // The bin at 10 covers 9..11 but is centred off the 10 columns.
        QTest::newRow("past the right edge") << Ints{10, 1} << Ints{1, 0} << Rect{0, 0, 2147483647.0, 1}
                                             << "1,0*;4,0;7,0";
        QTest::newRow("narrower than a bin") << Ints{40, 40} << Ints{2, 0} << Rect{5, 0, 1, 2} << "7,0*;7,1*";
        QTest::newRow("right of the image") << Ints{40, 30} << Ints{0, 0} << Rect{50, 0, 10, 5} << "none";
        QTest::newRow("rows above the image") << Ints{100, 80} << Ints{0, 0}
                                              << Rect{50, -2147483648.0, 46, 2147483648.0} << "none";
        QTest::newRow("no image") << Ints{0, 0} << Ints{0, 0} << Rect{0, 0, 5, 5} << "none";
    }
    void clipToImage()
    {
        QFETCH(Ints, image);
        QFETCH(Ints, half);
        QFETCH(Rect, rect);
        QFETCH(QString, bins);
        AnalyzeCond ac;
        ac.setup(image[0], image[1], half[0], half[1], rect.constData(), -1, -1);
        QCOMPARE(ac.clipToImage() ? walk(ac) : QStringLiteral("none"), bins);
    }

    // Fields written directly, as from a map file's header, must still end.
    void badFieldsStillEnd()
    {
        AnalyzeCond ac;
        ac.x0 = 0;
        ac.x1 = 2;
        ac.y0 = 0;
        ac.y1 = 2;
        ac.hx = -4;
        ac.stepX = -5;
        ac.stepY = 0;
        ac.reset();
        QCOMPARE(walk(ac), QStringLiteral("0,0*;1,0;0,1*;1,1"));
    }

    void fillBin_data()
    {
        QTest::addColumn<Ints>("bin"); // cx, cy, hx, hy
        QTest::addColumn<QString>("image"); // rows of a 5 x 4 image, '#' written
        QTest::newRow("inside") << Ints{2, 1, 1, 1} << ".###./.###./.###./.....";
        QTest::newRow("right edge") << Ints{4, 2, 1, 0} << "...../...../...##/.....";
        QTest::newRow("top left corner") << Ints{0, 0, 1, 1} << "##.../##.../...../.....";
        QTest::newRow("outside right") << Ints{7, 1, 1, 1} << "...../...../...../.....";
        QTest::newRow("negative half width") << Ints{2, 1, -1, 1} << "...../...../...../.....";
        QTest::newRow("extreme centre") << Ints{INT_MAX, INT_MIN, 1, 1} << "...../...../...../.....";
    }
    void fillBin()
    {
        QFETCH(Ints, bin);
        QFETCH(QString, image);
        const int W = 5, H = 4;
        std::vector<double> img(W * H, 0.0);
        AnalyzeCond ac;
        ac.W = W;
        ac.H = H;
        ac.cx = bin[0];
        ac.cy = bin[1];
        ac.hx = bin[2];
        ac.hy = bin[3];
        ac.fillBin(img.data(), 2.5);
        ac.fillBin(nullptr, 1.0);
        QString got;
        for (int i = 0; i < W * H; i++) {
            QVERIFY(img[i] == 0.0 || img[i] == 2.5);
            got += QString(i % W == 0 && i ? "/" : "") + (img[i] == 2.5 ? '#' : '.');
        }
        QCOMPARE(got, image);
    }
};

CORVELLINE_TEST(TestAnalyzeCond)
#include "tst_analyzecond.moc"
