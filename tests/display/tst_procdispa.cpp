#include "support/EventSend.h"
#include "support/TestRegistry.h"

#include "display/ProcDispA.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

// An RGB picture whose pixel (x, y) is (12 x, 20 y, 100): every pixel its own colour.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(12 * x, 20 * y, 100));
    return img;
}

bool near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

} // namespace

class TestProcDispA : public QObject {
    Q_OBJECT

    static void wide(ProcDispA& d)
    {
        d.setFrameShape(QFrame::NoFrame);
        d.resize(200, 100);
    }

private slots:
    void firstImageIsShownWhole()
    {
        QImage a = pattern(20, 10), b = pattern(20, 10), c = pattern(8, 4);
        ProcDispA d;
        wide(d);
        d.setImage(nullptr);
        QCOMPARE(d.viewWin, QRectF());
        d.setImage(&a);
        QCOMPARE(d.viewWin, QRectF(0, 0, 20, 10));
        d.viewWin = QRectF(5, 2, 10, 5);
        d.setImage(&b);
        QCOMPARE(d.viewWin, QRectF(5, 2, 10, 5));
        d.setImage(&c); // also a picture of another size keeps the window
        QCOMPARE(d.viewWin, QRectF(5, 2, 10, 5));
        d.resetViewWindow();
        QCOMPARE(d.viewWin, QRectF(0, 0, 8, 4));
        d.setImage(nullptr);
        d.resetViewWindow();
        QCOMPARE(d.viewWin, QRectF(0, 0, 8, 4));
    }

    void rendered_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<QString>("shot");
        QTest::newRow("whole") << QRectF(0, 0, 20, 10) << "procdispa-whole.png";
        QTest::newRow("zoomed") << QRectF(10, 5, 5, 2.5) << "procdispa-zoomed.png";
    }
    void rendered()
    {
        QFETCH(QRectF, view);
        QFETCH(QString, shot);
        QImage a = pattern(20, 10);
        ProcDispA d;
        wide(d);
        d.setImage(&a);
        d.viewWin = view;
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QLatin1Char('/') + shot);
        const double sx = 200 / view.width(), sy = 100 / view.height();
        for (int wy = 3; wy < 100; wy += 11)
            for (int wx = 3; wx < 200; wx += 13) {
                const int x = int(view.x() + (wx + 0.5) / sx);
                const int y = int(view.y() + (wy + 0.5) / sy);
                QCOMPARE(img.pixelColor(wx, wy), QColor(12 * x, 20 * y, 100));
            }
        QVERIFY(near(d.cc.toScreenX(view.x() + view.width()), 200));
        QVERIFY(near(d.cc.toScreenY(view.y()), 0));
        QVERIFY(near(d.cc.toRealY(100), view.y() + view.height()));
    }

    void beforeAnyImageNothingIsDrawn()
    {
        ProcDispA d;
        wide(d);
        d.cc.setRealArea(-3, -3, 3, 3);
        const QImage img = d.grab().toImage();
        QCOMPARE(img.pixelColor(100, 50), QColor(Qt::white));
        QCOMPARE(d.cc.rxmin, -3.0);
        QCOMPARE(d.cc.rymax, 3.0);
        QImage nullImage;
        d.setImage(&nullImage);
        QCOMPARE(d.grab().toImage().pixelColor(100, 50), QColor(Qt::white));
    }

    void wheelZoomsBothAxes_data()
    {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<int>("angle");
        QTest::addColumn<double>("f");
        QTest::newRow("centre, forward") << QPointF(100, 50) << 120 << 1 / 1.1;
        QTest::newRow("left edge: no band here") << QPointF(5, 50) << 120 << 1 / 1.1;
        QTest::newRow("top edge, back") << QPointF(100, 2) << -240 << 1.1;
        QTest::newRow("corner") << QPointF(199, 99) << 120 << 1 / 1.1;
    }
    void wheelZoomsBothAxes()
    {
        QFETCH(QPointF, pointer);
        QFETCH(int, angle);
        QFETCH(double, f);
        QImage a = pattern(20, 10);
        ProcDispA d;
        wide(d);
        d.setImage(&a);
        events::moveTo(&d, pointer);
        const double ix = pointer.x() / 200 * 20, iy = pointer.y() / 100 * 10;
        events::wheel(&d, QPoint(0, angle));
        QVERIFY(near(d.viewWin.width(), 20 * f));
        QVERIFY(near(d.viewWin.height(), 10 * f));
        QVERIFY(near(pointer.x() / 200 * d.viewWin.width() + d.viewWin.x(), ix));
        QVERIFY(near(pointer.y() / 100 * d.viewWin.height() + d.viewWin.y(), iy));
        d.allowWheelZoom = false;
        const QRectF kept = d.viewWin;
        events::wheel(&d, QPoint(0, angle));
        QCOMPARE(d.viewWin, kept);
    }

    void movesAreReportedWithButtonsToo()
    {
        QImage a = pattern(20, 10);
        ProcDispA d;
        wide(d);
        d.setImage(&a);
        QSignalSpy moved(&d, &ProcDispA::mouseMoved);
        events::moveTo(&d, QPointF(50, 25));
        events::mouse(&d, QEvent::MouseButtonPress, QPointF(50, 25), Qt::LeftButton, Qt::LeftButton);
        events::mouse(&d, QEvent::MouseMove, QPointF(150, 75), Qt::NoButton, Qt::LeftButton);
        events::mouse(&d, QEvent::MouseButtonRelease, QPointF(150, 75), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.at(0).at(0).toDouble(), 5.0);
        QCOMPARE(moved.at(0).at(1).toDouble(), 2.5);
        QCOMPARE(moved.at(1).at(0).toDouble(), 15.0);
        QCOMPARE(moved.at(1).at(1).toDouble(), 7.5);
        QCOMPARE(d.viewWin, QRectF(0, 0, 20, 10)); // a drag neither pans nor selects
    }
};

CORVELLINE_TEST(TestProcDispA)
#include "tst_procdispa.moc"
