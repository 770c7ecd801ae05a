#include "support/TestRegistry.h"

#include "support/InTempDir.h"

#include "analysis/FVPoints.h"
#include "analysis/FeatureValue.h"
#include "analysis/FVView.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

class TestFVView : public QObject {
    Q_OBJECT

private slots:
    void kernel_data()
    {
        QTest::addColumn<int>("hw");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<double>("w");
        QTest::newRow("centre") << 10 << 0.01 << 0 << 0 << 1.0;
        QTest::newRow("axis end") << 10 << 0.01 << 10 << 0 << 0.01;
        QTest::newRow("corner") << 10 << 0.01 << 10 << 10 << 0.0001;
        QTest::newRow("negative base") << 5 << -1.0 << 2 << 2 << 0.0;
    }
    void kernel()
    {
        QFETCH(int, hw);
        QFETCH(double, b);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(double, w);
        const double got = FVView::kernelWeight(dx, dy, hw, b);
        QVERIFY(std::fabs(got - w) <= 1e-12 * std::max(1.0, w));
    }

    void density_data()
    {
        QTest::addColumn<QString>("hw");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QList<QPoint>>("cells");
        QTest::addColumn<QList<int>>("green");
        // points (0, 10), (5, 5) twice, (10, 0): the top of a range lands on the last pixel
        QTest::newRow("single cells") << "0" << "0.01" << "1"
                                      << QList<QPoint>{{256, 256}, {0, 0}, {257, 256}, {511, 511}}
                                      << QList<int>{255, 127, 0, 127};
        QTest::newRow("kernel spread") << "2" << "0.25" << "1"
                                       << QList<QPoint>{{256, 256}, {258, 256}, {258, 258}, {259, 256}}
                                       << QList<int>{255, 63, 15, 0};
    }
    void density()
    {
        QFETCH(QString, hw);
        QFETCH(QString, b);
        QFETCH(QString, range);
        QFETCH(QList<QPoint>, cells);
        QFETCH(QList<int>, green);
        InTempDir dir;
        FVPoints pts;
        pts.add(0, 10);
        pts.add(5, 5);
        pts.add(5, 5);
        pts.add(10, 0);
        FVView v;
        v.fvPoints = &pts;
        v.kernelHW_->setText(hw);
        v.kernelBVal_->setText(b);
        v.cRange_->setText(range);
        v.updateVHMap();
        for (int i = 0; i < cells.size(); i++)
            QCOMPARE(v.vhMap.pixel(cells[i]), qRgba(255, green[i], 0, 255));
        QVERIFY(dir.has("fvHMap.png"));
    }

    void degenerate_data()
    {
        QTest::addColumn<QList<double>>("xs");
        QTest::addColumn<QString>("hw");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QPoint>("dot");
        QTest::newRow("no points") << QList<double>{} << "10" << "0.01" << QPoint(-1, -1);
        QTest::newRow("all equal") << QList<double>{3, 3, 3} << "10" << "0.01" << QPoint(256, 256);
        QTest::newRow("zero width") << QList<double>{1, 2} << "0" << "0.01" << QPoint(0, 0);
        QTest::newRow("negative base") << QList<double>{1, 2} << "3" << "-2" << QPoint(0, 0);
        QTest::newRow("huge width") << QList<double>{1, 2} << "100000" << "0.5" << QPoint(0, 0);
        QTest::newRow("nan among points") << QList<double>{1, kNaN, 2} << "1" << "0.01" << QPoint(0, 0);
    }
    void degenerate()
    {
        QFETCH(QList<double>, xs);
        QFETCH(QString, hw);
        QFETCH(QString, b);
        QFETCH(QPoint, dot);
        InTempDir dir;
        FVPoints pts;
        for (int i = 0; i < xs.size(); i++)
            pts.add(xs[i], -xs[i]); // x min comes with y max: the first dot is (0, 0)
        FVView v;
        v.fvPoints = &pts;
        v.kernelHW_->setText(hw);
        v.kernelBVal_->setText(b);
        v.updateMap();
        QVERIFY(dir.has("fvMap.png") && dir.has("fvHMap.png"));
        if (dot.x() >= 0) {
            QCOMPARE(v.vMap.pixel(dot), qRgba(0, 0, 255, 255));
            QCOMPARE(qGreen(v.vhMap.pixel(dot)), 255);
        }
    }
    // The pictures keep their square shape in any window, and every point is
    // drawn at the shown scale: 50 points 10.4 scatter pixels apart on the
    // diagonal (x = k, y = 49 - k) are 50 blue screen pixels at half size and
    // 50 blocks of 2 x 2 at double size; no file is written by a redraw.
    void shownAtAnySize_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("square");
        QTest::addColumn<int>("blue");
        QTest::newRow("wide and low") << QSize(536, 254) << QRect(141, 0, 254, 254) << 50;
        QTest::newRow("tall") << QSize(300, 700) << QRect(0, 200, 300, 300) << 50;
        QTest::newRow("twice the picture") << QSize(1024, 1030) << QRect(0, 3, 1024, 1024) << 200;
    }
    void shownAtAnySize()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, square);
        QFETCH(int, blue);
        InTempDir dir;
        FVPoints pts;
        for (int k = 0; k < 50; k++)
            pts.add(k, 49 - k);
        FVView v;
        v.fvPoints = &pts;
        v.redraw();
        QVERIFY(!dir.has("fvMap.png") && !dir.has("fvHMap.png"));
        QCOMPARE(FVView::shownSquare(window.width(), window.height()), square);
        QImage shown(window, QImage::Format_ARGB32);
        shown.fill(Qt::white);
        {
            QPainter p(&shown);
            FVView::drawPoints(&p, square, v.vMap);
        }
        int n = 0;
        for (int y = 0; y < shown.height(); y++)
            for (int x = 0; x < shown.width(); x++)
                n += shown.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
        QCOMPARE(n, blue);
    }
};

CORVELLINE_TEST(TestFVView)
#include "tst_fvview.moc"
