#include "support/TestRegistry.h"

#include "display/ColorBar.h"
#include "foundation/Globals.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace {
const int Grey = QImage::Format_Grayscale8;
const int Rgb = QImage::Format_RGB888;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The heat scale written out on its own: black, red, yellow, white over 767 steps.
QColor heat(int i)
{
    if (i <= 255)
        return QColor(i, 0, 0);
    if (i <= 510)
        return QColor(255, i - 255, 0);
    if (i <= 765)
        return QColor(255, 255, i - 510);
    return QColor(255, 255, 255);
}

QColor heatOf(double u) { return heat(u >= 1 ? 766 : int(std::floor(u * 766))); }

void sendMouse(QWidget* w, QEvent::Type type, int y, Qt::MouseButton button, Qt::MouseButtons held)
{
    QPointF pos(5, y);
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool closeTo(const QColor& a, const QColor& b, int tol)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol
           && std::abs(a.blue() - b.blue()) <= tol;
}
} // namespace

class TestColorBar : public QObject {
    Q_OBJECT
private slots:
    void construction()
    {
        ColorBar bar;
        QCOMPARE(bar.format, defaultImageFormat);
        QCOMPARE(bar.lowerTh, 0.0);
        QCOMPARE(bar.upperTh, 1.0);
        QCOMPARE(bar.dataMin, 0.0);
        QCOMPARE(bar.dataMax, 1.0);
        QVERIFY(!bar.dragging);
        QVERIFY(bar.dragged == &bar.lowerTh);
        QCOMPARE(bar.cBar.size(), QSize(20, 600));
    }

    void putColor_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("t");
        QTest::addColumn<QByteArray>("bytes");
        auto g = [](int v) { return QByteArray(1, char(v)); };
        auto c = [](int r, int gr, int b) { return QByteArray{1, char(r)} + char(gr) + char(b); };
        QTest::newRow("grey half") << Grey << 0.0 << 1.0 << 0.5 << g(128);
        QTest::newRow("grey quarter") << Grey << 0.0 << 1.0 << 0.25 << g(64);
        QTest::newRow("grey zero") << Grey << 0.0 << 1.0 << 0.0 << g(0);
        QTest::newRow("grey one") << Grey << 0.0 << 1.0 << 1.0 << g(255);
        QTest::newRow("grey 0.999") << Grey << 0.0 << 1.0 << 0.999 << g(255);
        QTest::newRow("grey below saturates") << Grey << 0.0 << 1.0 << -3.0 << g(0);
        QTest::newRow("grey above saturates") << Grey << 0.0 << 1.0 << 7.0 << g(255);
        QTest::newRow("grey NaN is bottom") << Grey << 0.0 << 1.0 << kNaN << g(0);
        QTest::newRow("grey +inf") << Grey << 0.0 << 1.0 << kInf << g(255);
        QTest::newRow("grey -inf") << Grey << 0.0 << 1.0 << -kInf << g(0);
        QTest::newRow("narrow, at lower") << Grey << 0.25 << 0.75 << 0.25 << g(0);
        QTest::newRow("narrow, under lower") << Grey << 0.25 << 0.75 << 0.1 << g(0);
        QTest::newRow("narrow, mid") << Grey << 0.25 << 0.75 << 0.5 << g(128);
        QTest::newRow("narrow, quarter") << Grey << 0.25 << 0.75 << 0.375 << g(64);
        QTest::newRow("narrow, at upper") << Grey << 0.25 << 0.75 << 0.75 << g(255);
        QTest::newRow("narrow, over upper") << Grey << 0.25 << 0.75 << 0.9 << g(255);
        QTest::newRow("inverted, at upper end") << Grey << 0.75 << 0.25 << 0.25 << g(255);
        QTest::newRow("inverted, at lower end") << Grey << 0.75 << 0.25 << 0.75 << g(0);
        QTest::newRow("inverted, between") << Grey << 0.75 << 0.25 << 0.625 << g(64);
        QTest::newRow("inverted, high value") << Grey << 0.75 << 0.25 << 2.0 << g(0);
        QTest::newRow("equal, at") << Grey << 0.5 << 0.5 << 0.5 << g(255);
        QTest::newRow("equal, above") << Grey << 0.5 << 0.5 << 0.6 << g(255);
        QTest::newRow("equal, below") << Grey << 0.5 << 0.5 << 0.4 << g(0);
        QTest::newRow("equal, NaN") << Grey << 0.5 << 0.5 << kNaN << g(0);
        QTest::newRow("thresholds beyond 0..1") << Grey << -1.0 << 3.0 << 1.0 << g(128);
        QTest::newRow("rgb zero") << Rgb << 0.0 << 1.0 << 0.0 << c(0, 0, 0);
        QTest::newRow("rgb quarter") << Rgb << 0.0 << 1.0 << 0.25 << c(191, 0, 0);
        QTest::newRow("rgb half") << Rgb << 0.0 << 1.0 << 0.5 << c(255, 128, 0);
        QTest::newRow("rgb three quarters") << Rgb << 0.0 << 1.0 << 0.75 << c(255, 255, 64);
        QTest::newRow("rgb one") << Rgb << 0.0 << 1.0 << 1.0 << c(255, 255, 255);
        QTest::newRow("rgb above") << Rgb << 0.0 << 1.0 << 1.5 << c(255, 255, 255);
        QTest::newRow("rgb NaN") << Rgb << 0.0 << 1.0 << kNaN << c(0, 0, 0);
        QTest::newRow("rgb narrow") << Rgb << 0.25 << 0.75 << 0.5 << c(255, 128, 0);
        QTest::newRow("rgb equal above") << Rgb << 0.3 << 0.3 << 0.3 << c(255, 255, 255);
        QTest::newRow("rgb inverted") << Rgb << 1.0 << 0.0 << 0.75 << c(191, 0, 0);
        QTest::newRow("other format") << int(QImage::Format_ARGB32) << 0.0 << 1.0 << 0.5 << QByteArray();
    }
    void putColor()
    {
        QFETCH(int, format);
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
        uchar* end = bar.putColor(t, buf, format);
        QCOMPARE(int(end - buf), int(bytes.size()));
        for (int i = 0; i < bytes.size(); ++i)
            QCOMPARE(int(buf[i]), int(uchar(bytes[i])));
        for (int i = int(bytes.size()); i < 6; ++i)
            QCOMPARE(int(buf[i]), 0xAA);
        // colorOf says the same
        QColor col = bar.colorOf(t);
        if (bytes.isEmpty())
            QVERIFY(!col.isValid());
        else if (bytes.size() == 1)
            QCOMPARE(col, QColor(uchar(bytes[0]), uchar(bytes[0]), uchar(bytes[0])));
        else
            QCOMPARE(col, QColor(uchar(bytes[0]), uchar(bytes[1]), uchar(bytes[2])));
    }

    // The buffer's format decides what may be written: never more than it holds.
    void putColorFormatMismatch_data()
    {
        QTest::addColumn<int>("barFormat");
        QTest::addColumn<int>("bufferFormat");
        QTest::newRow("rgb bar, grey buffer") << Rgb << Grey;
        QTest::newRow("grey bar, rgb buffer") << Grey << Rgb;
        QTest::newRow("rgb bar, other buffer") << Rgb << int(QImage::Format_ARGB32);
    }
    void putColorFormatMismatch()
    {
        QFETCH(int, barFormat);
        QFETCH(int, bufferFormat);
        ColorBar bar;
        bar.format = barFormat;
        uchar buf[4] = {1, 2, 3, 4};
        QVERIFY(bar.putColor(0.7, buf, bufferFormat) == buf);
        QCOMPARE(int(buf[0]), 1);
        QCOMPARE(int(buf[1]), 2);
        QCOMPARE(int(buf[2]), 3);
    }

    // A row written pixel after pixel fills exactly width * bytes per pixel.
    void putColorRow()
    {
        ColorBar bar;
        bar.format = Rgb;
        const int w = 5;
        QByteArray row(rowStride(Rgb, w) + 4, char(0x55));
        uchar* p = reinterpret_cast<uchar*>(row.data());
        for (int x = 0; x < w; ++x)
            p = bar.putColor(x / 4.0, p, Rgb);
        QCOMPARE(int(p - reinterpret_cast<uchar*>(row.data())), 3 * w);
        QCOMPARE(int(uchar(row[3 * w])), 0x55);
        QCOMPARE(QColor(uchar(row[12]), uchar(row[13]), uchar(row[14])), QColor(255, 255, 255));
        QCOMPARE(QColor(uchar(row[6]), uchar(row[7]), uchar(row[8])), QColor(255, 128, 0));
    }

    void colorOfHeight_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("widgetHeight");
        QTest::addColumn<int>("h");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("grey middle") << Grey << 200 << 100 << QColor(128, 128, 128);
        QTest::newRow("grey below bottom") << Grey << 200 << -20 << QColor(0, 0, 0);
        QTest::newRow("grey above top") << Grey << 200 << 900 << QColor(255, 255, 255);
        QTest::newRow("rgb quarter") << Rgb << 200 << 50 << QColor(191, 0, 0);
        QTest::newRow("other format is black") << int(QImage::Format_ARGB32) << 200 << 150 << QColor(0, 0, 0);
        QTest::newRow("no height") << Grey << 0 << 10 << QColor(0, 0, 0);
    }
    void colorOfHeight()
    {
        QFETCH(int, format);
        QFETCH(int, widgetHeight);
        QFETCH(int, h);
        QFETCH(QColor, colour);
        ColorBar bar;
        bar.format = format;
        bar.setMinimumSize(0, 0);
        bar.resize(20, widgetHeight);
        QCOMPARE(bar.height(), widgetHeight);
        QCOMPARE(bar.colorOfH(h), colour);
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
        QTest::newRow("middle grabs nothing") << 0.0 << 1.0 << 100 << 50 << false << 0.0 << 1.0;
        QTest::newRow("beyond the top") << 0.0 << 1.0 << 10 << -100 << true << 0.0 << 1.5;
        QTest::newRow("below the bottom") << 0.0 << 1.0 << 190 << 300 << true << -0.5 << 1.0;
        QTest::newRow("lower over upper") << 0.4 << 0.6 << 140 << 20 << true << 0.9 << 0.6;
        QTest::newRow("press outside both") << 0.2 << 0.4 << 0 << 100 << true << 0.2 << 0.5;
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

        // moving without a button does nothing
        sendMouse(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::NoButton);
        QCOMPARE(updating.count(), 0);

        sendMouse(&bar, QEvent::MouseButtonPress, pressY, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(bar.dragging, grabs);
        QCOMPARE(updating.count(), 0);
        sendMouse(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(updating.count(), 1);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(bar.lowerTh, lower);
        QCOMPARE(bar.upperTh, upper);
        sendMouse(&bar, QEvent::MouseMove, moveY, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(updating.count(), 2);
        sendMouse(&bar, QEvent::MouseButtonRelease, moveY, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(updating.count(), 2);
        QVERIFY(!bar.dragging);
        // after the release the thresholds stay
        sendMouse(&bar, QEvent::MouseMove, 0, Qt::NoButton, Qt::NoButton);
        QCOMPARE(bar.lowerTh, lower);
        QCOMPARE(bar.upperTh, upper);
        QCOMPARE(updating.count(), 2);
    }

    void dragInvertsScale()
    {
        ColorBar bar;
        bar.setMinimumSize(0, 0);
        bar.resize(20, 200);
        sendMouse(&bar, QEvent::MouseButtonPress, 190, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, 0, Qt::NoButton, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseButtonRelease, 0, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(bar.lowerTh, 1.0);
        QCOMPARE(bar.upperTh, 1.0); // equal now: a step at 1
        QCOMPARE(bar.colorOf(0.99), QColor(0, 0, 0));
        QCOMPARE(bar.colorOf(1.0), QColor(255, 255, 255));
        sendMouse(&bar, QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(!bar.dragging); // equally near both: nothing grabbed
        sendMouse(&bar, QEvent::MouseButtonRelease, 0, Qt::LeftButton, Qt::NoButton);
        bar.upperTh = 0.0;
        // higher values now take lower colours
        QCOMPARE(bar.colorOf(0.25), QColor(192, 192, 192));
        QCOMPARE(bar.colorOf(0.75), QColor(64, 64, 64));
    }

    void paintedBar_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("shot");
        QTest::newRow("heat") << Rgb << "colorbar-heat.png";
        QTest::newRow("grey") << Grey << "colorbar-grey.png";
        QTest::newRow("other format") << int(QImage::Format_ARGB32) << "colorbar-black.png";
    }
    void paintedBar()
    {
        QFETCH(int, format);
        QFETCH(QString, shot);
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
        img.save(testreg::shotsDir() + QLatin1Char('/') + shot);
        QCOMPARE(img.size(), QSize(20, 600));
        auto expected = [&](int y) {
            // row y of the pixmap shows widget height 599 - y of 600
            double t = (599 - y) / 600.0;
            double u = std::clamp((t - 0.25) / 0.5, 0.0, 1.0);
            if (format == Rgb)
                return heatOf(u);
            if (format == Grey) {
                int g = std::min(255, int(std::floor(u * 256)));
                return QColor(g, g, g);
            }
            return QColor(0, 0, 0);
        };
        for (int y : {120, 200, 250, 300, 350, 400, 470})
            QVERIFY2(closeTo(img.pixelColor(10, y), expected(y), 1), qPrintable(QString::number(y)));
        // the threshold markers: upper at (1 - 0.75) * 600, lower at (1 - 0.25) * 600
        QCOMPARE(img.pixelColor(10, 150), QColor(0, 192, 255));
        QCOMPARE(img.pixelColor(3, 450), QColor(0, 192, 255));
        // labels: the maximum near the top, the minimum near the bottom, in their own colour
        auto labelPixels = [&](int y0, int y1) {
            int n = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < 20; ++x) {
                    QColor c = img.pixelColor(x, y);
                    if (c.green() > 150 && c.red() < 100 && c.blue() > 100 && c != QColor(0, 192, 255))
                        ++n;
                }
            return n;
        };
        if (format == Rgb || format == Grey) {
            QVERIFY(labelPixels(0, 100) > 10);
            QVERIFY(labelPixels(500, 600) > 10);
            QCOMPARE(labelPixels(200, 400), 0); // no drag, no middle label
        }
    }

    void middleLabelWhileDragging()
    {
        ColorBar bar;
        bar.setFrameShape(QFrame::NoFrame);
        bar.setMinimumSize(0, 0);
        bar.resize(20, 600);
        bar.format = Grey;
        bar.dataMax = 100;
        // grab the upper threshold and pull it to the middle: colours above
        // it are white, so the cyan label stands out
        sendMouse(&bar, QEvent::MouseButtonPress, 10, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, 450, Qt::NoButton, Qt::LeftButton);
        const QImage img = bar.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/colorbar-dragging.png"));
        int n = 0;
        for (int y = 250; y < 350; ++y)
            for (int x = 0; x < 20; ++x) {
                QColor c = img.pixelColor(x, y);
                if (c.red() < 100 && c.green() > 150)
                    ++n;
            }
        QVERIFY(n > 10);
        sendMouse(&bar, QEvent::MouseButtonRelease, 450, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(bar.upperTh, 0.25);
    }
};

CORVELLINE_TEST(TestColorBar)
#include "tst_colorbar.moc"
