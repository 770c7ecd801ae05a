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

void wide(ProcDispA& d)
{
    d.setFrameShape(QFrame::NoFrame);
    d.resize(200, 100);
}

} // namespace

class TestProcDispA : public QObject {
    Q_OBJECT
private slots:
    void firstImageIsShownWhole()
    {
        QImage a = pattern(20, 10), c = pattern(8, 4), none;
        ProcDispA d;
        wide(d);
        d.setImage(&none); // a null picture draws nothing
        QCOMPARE(d.grab().toImage().pixelColor(100, 50), QColor(Qt::white));
        d.setImage(&a);
        QCOMPARE(d.viewWin, QRectF(0, 0, 20, 10));
        d.viewWin = QRectF(5, 2, 10, 5);
        d.setImage(&c); // a picture of another size keeps the window
        QCOMPARE(d.viewWin, QRectF(5, 2, 10, 5));
        d.resetViewWindow();
        QCOMPARE(d.viewWin, QRectF(0, 0, 8, 4));
    }

    void rendered()
    {
        const QRectF view(10, 5, 5, 2.5);
        QImage a = pattern(20, 10);
        ProcDispA d;
        wide(d);
        d.setImage(&a);
        d.viewWin = view;
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/procdispa-zoomed.png"));
        const double sx = 200 / view.width(), sy = 100 / view.height();
        for (int wy = 3; wy < 100; wy += 11)
            for (int wx = 3; wx < 200; wx += 13) {
                const int x = int(view.x() + (wx + 0.5) / sx);
                const int y = int(view.y() + (wy + 0.5) / sy);
                QCOMPARE(img.pixelColor(wx, wy), QColor(12 * x, 20 * y, 100));
            }
        QVERIFY(near(d.cc.toRealY(100), view.y() + view.height()));
    }

    void wheelAndMoves()
    {
        QImage a = pattern(20, 10);
        ProcDispA d;
        wide(d);
        d.setImage(&a);
        // no edge bands here: both axes zoom about the pointer
        events::moveTo(&d, QPointF(5, 50));
        events::wheel(&d, QPoint(0, 120));
        QVERIFY(near(d.viewWin.width(), 20 / 1.1) && near(d.viewWin.height(), 10 / 1.1));
        QVERIFY(near(5.0 / 200 * d.viewWin.width() + d.viewWin.x(), 0.5));
        QVERIFY(near(50.0 / 100 * d.viewWin.height() + d.viewWin.y(), 5));
        d.resetViewWindow();
        // moves are reported with a button held too; a drag neither pans nor selects
        QSignalSpy moved(&d, &ProcDispA::mouseMoved);
        events::drag(&d, QPointF(50, 25), QPointF(150, 75), Qt::LeftButton);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toDouble(), 15.0);
        QCOMPARE(moved.at(0).at(1).toDouble(), 7.5);
        QCOMPARE(d.viewWin, QRectF(0, 0, 20, 10));
    }
};

CORVELLINE_TEST(TestProcDispA)
#include "tst_procdispa.moc"
