#include "support/EventSend.h"
#include "support/TestRegistry.h"

#include "display/ColorBar.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace {
const int Grey = QImage::Format_Grayscale8;
const int Rgb = QImage::Format_RGB888;
const int Argb = QImage::Format_ARGB32;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void press(QWidget* w, int type, int y, Qt::MouseButton b, Qt::MouseButtons held)
{
    events::mouse(w, type, QPointF(5, y), b, held);
}
} // namespace

class TestColorBar : public QObject {
    Q_OBJECT
private slots:
    void putColor_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("t");
        QTest::addColumn<QByteArray>("bytes");
        auto g = [](int v) { return QByteArray(1, char(v)); };
        auto c = [](int r, int gr, int b) { return QByteArray{1, char(r)} + char(gr) + char(b); };
        QTest::newRow("grey quarter") << Grey << Grey << 0.0 << 1.0 << 0.25 << g(64);
        QTest::newRow("grey below saturates") << Grey << Grey << 0.0 << 1.0 << -3.0 << g(0);
        QTest::newRow("grey NaN is bottom") << Grey << Grey << 0.0 << 1.0 << kNaN << g(0);
        QTest::newRow("inverted, between") << Grey << Grey << 0.75 << 0.25 << 0.625 << g(64);
        QTest::newRow("equal, at") << Grey << Grey << 0.5 << 0.5 << 0.5 << g(255);
        QTest::newRow("equal, below") << Grey << Grey << 0.5 << 0.5 << 0.4 << g(0);
        // heat: black, red, yellow, white over 767 steps
        QTest::newRow("rgb half") << Rgb << Rgb << 0.0 << 1.0 << 0.5 << c(255, 128, 0);
        QTest::newRow("rgb above") << Rgb << Rgb << 0.0 << 1.0 << 1.5 << c(255, 255, 255);
        QTest::newRow("rgb inverted") << Rgb << Rgb << 1.0 << 0.0 << 0.75 << c(191, 0, 0);
        // the buffer's format decides what may be written: never more than it holds
        QTest::newRow("rgb bar, grey buffer") << Rgb << Grey << 0.0 << 1.0 << 0.5 << QByteArray();
    }
    void putColor()
    {
        QFETCH(int, format);
        QFETCH(int, buffer);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, t);
        QFETCH(QByteArray, bytes);
        ColorBar bar;
        bar.format = format;
        bar.lowerTh = lower;
        bar.upperTh = upper;
        uchar buf[6];
        std::fill(buf, buf + 6, uchar(0xAA));
        const uchar* end = bar.putColor(t, buf, buffer);
        QCOMPARE(int(end - buf), int(bytes.size()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(buf), 6),
                 bytes + QByteArray(6 - bytes.size(), char(0xAA)));
        if (format != buffer)
            return;
        // colorOf says the same
        const QColor col = bar.colorOf(t);
        if (bytes.isEmpty())
            QVERIFY(!col.isValid());
        else
            QCOMPARE(col, QColor(uchar(bytes[0]), uchar(bytes[bytes.size() / 2]), uchar(bytes.back())));
    }

    void drag_data()
    {
        QTest::addColumn<double>("lower0");
        QTest::addColumn<double>("upper0");
        QTest::addColumn<int>("pressY");
        QTest::addColumn<int>("moveY");
        QTest::addColumn<bool>("grabs");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        // bar 200 pixels tall: a press at y stands for (200 - y) / 200
        QTest::newRow("near top grabs upper") << 0.0 << 1.0 << 20 << 100 << true << 0.0 << 0.5;
        QTest::newRow("near bottom grabs lower") << 0.0 << 1.0 << 180 << 150 << true << 0.25 << 1.0;
        QTest::newRow("lower over upper") << 0.4 << 0.6 << 140 << 20 << true << 0.9 << 0.6;
        // markers on one row: the one on the pressed side, on the row the one moved last
        QTest::newRow("one row, pressed above") << 0.5 << 0.5 << 60 << 20 << true << 0.5 << 0.9;
        QTest::newRow("one row, pressed below") << 0.5 << 0.5 << 160 << 180 << true << 0.1 << 0.5;
        QTest::newRow("one row, pressed on it") << 0.5 << 0.5 << 100 << 40 << true << 0.8 << 0.5;
    }
    void drag()
    {
        QFETCH(double, lower0);
        QFETCH(double, upper0);
        QFETCH(int, pressY);
        QFETCH(int, moveY);
        QFETCH(bool, grabs);
        QFETCH(double, lower);
        QFETCH(double, upper);
        ColorBar bar;
        bar.setMinimumSize(0, 0);
        bar.resize(20, 200);
        bar.lowerTh = lower0;
        bar.upperTh = upper0;
        QSignalSpy updating(&bar, &ColorBar::cBarUpdating);
        QSignalSpy updated(&bar, &ColorBar::cBarUpdated);
        press(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::NoButton); // no button: nothing
        press(&bar, QEvent::MouseButtonPress, pressY, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(bar.dragging, grabs);
        press(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::LeftButton);
        press(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(updating.count(), 2);
        QCOMPARE(updated.count(), 0);
        press(&bar, QEvent::MouseButtonRelease, moveY, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(updated.count(), 1);
        QVERIFY(!bar.dragging);
        press(&bar, QEvent::MouseMove, 0, Qt::NoButton, Qt::NoButton);
        QCOMPARE(updating.count(), 2);
        QCOMPARE(bar.lowerTh, lower);
        QCOMPARE(bar.upperTh, upper);
    }

    // Set All takes markers left on one row back to the whole range, and only those.
    void unstick_data()
    {
        QTest::addColumn<double>("lower0");
        QTest::addColumn<double>("upper0");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("one row") << 0.3 << 0.3 << 0.0 << 1.0;
        QTest::newRow("apart") << 0.7 << 0.2 << 0.7 << 0.2;
    }
    void unstick()
    {
        QFETCH(double, lower0);
        QFETCH(double, upper0);
        ColorBar bar;
        bar.lowerTh = lower0;
        bar.upperTh = upper0;
        QCOMPARE(bar.unstick(), lower0 == upper0);
        QTEST(bar.lowerTh, "lower");
        QTEST(bar.upperTh, "upper");
    }

    void paintedBar()
    {
        const int format = Rgb;
        ColorBar bar;
        bar.setFrameShape(QFrame::NoFrame);
        bar.setMinimumSize(0, 0);
        bar.resize(20, 600);
        bar.format = format;
        bar.lowerTh = 0.25;
        bar.upperTh = 0.75;
        bar.dataMin = -1.5;
        bar.dataMax = 1234.5;
        bar.paintCBar();
        const QImage img = bar.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/colorbar-heat.png"));
        // row y shows height 599 - y of 600; thresholds at rows 150 and 450
        QCOMPARE(img.pixelColor(10, 120), QColor(255, 255, 255));
        QCOMPARE(img.pixelColor(10, 470), QColor(0, 0, 0));
        // u = ((599 - 300) / 600 - 0.25) / 0.5 = 0.4967: heat step 380
        QCOMPARE(img.pixelColor(10, 300), QColor(255, 125, 0));
        QCOMPARE(img.pixelColor(10, 150), QColor(0, 192, 255));
    }

    // The bar's colours are kept from paint to paint, and drawn again when
    // its scale changes: row 310 shows t = 289 / 600 (row 300 holds a threshold's mark).
    void barFollowsItsScale_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("lower");
        QTest::addColumn<QColor>("before");
        QTest::addColumn<QColor>("after");
        QTest::newRow("threshold moved") << Grey << 0.5 << QColor(123, 123, 123) << QColor(0, 0, 0);
        // u = (289 / 600 - 0.25) / 0.75 = 0.3089: heat step 236
        QTest::newRow("colours") << Rgb << 0.25 << QColor(123, 123, 123) << QColor(236, 0, 0);
    }
    void barFollowsItsScale()
    {
        QFETCH(int, format);
        QFETCH(double, lower);
        QFETCH(QColor, before);
        QFETCH(QColor, after);
        ColorBar bar;
        bar.setFrameShape(QFrame::NoFrame);
        bar.setMinimumSize(0, 0);
        bar.resize(20, 600);
        bar.paintCBar();
        QCOMPARE(bar.grab().toImage().pixelColor(10, 310), before);
        bar.format = format;
        bar.lowerTh = lower;
        bar.paintCBar();
        QCOMPARE(bar.grab().toImage().pixelColor(10, 310), after);
        // Back as it was: the first colours again.
        bar.format = Grey;
        bar.lowerTh = 0.0;
        bar.paintCBar();
        QCOMPARE(bar.grab().toImage().pixelColor(10, 310), before);
    }
};

CORVELLINE_TEST(TestColorBar)
#include "tst_colorbar.moc"
