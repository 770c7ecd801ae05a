#include "support/TestRegistry.h"

#include "display/CrossSView.h"

#include <QTest>

#include <cmath>

namespace {

const QColor cursorColour(192, 192, 0);

// positions first..first+100, values from f
template <class F>
Spectrum profileOf(double first, F f)
{
    Spectrum s;
    for (int i = 0; i <= 100; ++i)
        s.append(first + i, f(i));
    return s;
}

bool darkNear(const QImage& img, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = x + dx, py = y + dy;
            if (img.rect().contains(px, py) && img.pixelColor(px, py).lightness() < 80)
                return true;
        }
    return false;
}

bool allWhite(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != QColor(Qt::white))
                return false;
    return true;
}

} // namespace

class TestCrossSView : public QObject {
    Q_OBJECT

    static void sized(CrossSView& v, int w, int h)
    {
        v.setFrameShape(QFrame::NoFrame);
        v.resize(w, h);
    }

private slots:
    void construction()
    {
        CrossSView v;
        QVERIFY(!v.vertical);
        QCOMPARE(v.cursor, 0);
        QVERIFY(!v.allowWheelZoom);
        QVERIFY(!v.allowDragPan);
        QCOMPARE(v.profile.size(), 0);
    }

    // Positions 0..100 (or shifted by an x offset) and values 0..100 on a 200 x 100
    // view: horizontal screen x = 2 * position, y = 100 - value.
    void horizontal_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<bool>("useOffset");
        QTest::addColumn<QString>("shot");
        QTest::newRow("plain") << 0.0 << false << "crosssview-h.png";
        QTest::newRow("offset of 10") << 10.0 << true << "crosssview-h-offset.png";
        QTest::newRow("offset of -250.5") << -250.5 << true << "";
    }
    void horizontal()
    {
        QFETCH(double, first);
        QFETCH(bool, useOffset);
        QFETCH(QString, shot);
        CrossSView v;
        sized(v, 200, 100);
        v.profile = profileOf(first, [](int i) { return double(i); });
        v.profile.useXOffset = useOffset;
        v.profile.xOffset = first;
        v.cursor = 30; // compared without the offset
        const QImage img = v.grab().toImage();
        if (!shot.isEmpty())
            img.save(testreg::shotsDir() + QLatin1Char('/') + shot);
        for (int y = 2; y < 100; y += 13)
            QCOMPARE(img.pixelColor(60, y), cursorColour);
        for (int i = 5; i < 100; i += 10) // the ramp's points: (2 i, 100 - i)
            QVERIFY2(darkNear(img, 2 * i, 100 - i), qPrintable(QString::number(i)));
        QVERIFY(!darkNear(img, 150, 80)); // below the ramp stays white
        QCOMPARE(img.pixelColor(150, 80), QColor(Qt::white));
    }

    // Vertical: the value axis runs to the right, positions from the bottom up.
    void vertical()
    {
        CrossSView v;
        sized(v, 100, 200);
        v.vertical = true;
        v.profile = profileOf(0, [](int i) { return 50.0 + 0.5 * i; }); // values 50..100
        v.cursor = 30;
        const QImage img = v.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/crosssview-v.png"));
        QCOMPARE(v.ownCc.toScreenX(100), 100.0); // largest value at the right edge
        QCOMPARE(v.ownCc.toScreenX(50), 0.0);
        QCOMPARE(v.ownCc.toScreenY(0), 200.0);   // first position at the bottom
        for (int x = 3; x < 100; x += 11)
            QCOMPARE(img.pixelColor(x, 140), cursorColour);
        // position p, value 50 + p/2: screen (p, 200 - 2 p)
        for (int p = 10; p < 100; p += 15)
            QVERIFY2(darkNear(img, p, 200 - 2 * p), qPrintable(QString::number(p)));
        QCOMPARE(img.pixelColor(90, 40), QColor(Qt::white));
    }

    void nothingToScale_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty profile") << "empty";
        QTest::newRow("all values equal") << "flat";
        QTest::newRow("one point") << "one";
        QTest::newRow("only NaN values") << "nan";
    }
    void nothingToScale()
    {
        QFETCH(QString, kind);
        CrossSView v;
        sized(v, 120, 60);
        v.cursor = 3;
        if (kind == QLatin1String("flat"))
            v.profile = profileOf(0, [](int) { return 4.0; });
        else if (kind == QLatin1String("one"))
            v.profile.append(5, 5);
        else if (kind == QLatin1String("nan"))
            v.profile = profileOf(0, [](int) { return std::nan(""); });
        QVERIFY(allWhite(v.grab().toImage()));
        v.vertical = true;
        QVERIFY(allWhite(v.grab().toImage()));
        // the screen area is set all the same, y from the bottom
        QCOMPARE(v.ownCc.sy0, 60.0);
        QCOMPARE(v.ownCc.sx1, 120.0);
    }

    void nonFinitePointsAreLeftOut()
    {
        CrossSView v;
        sized(v, 200, 100);
        v.profile = profileOf(0, [](int i) {
            return i == 40 ? std::nan("") : i == 60 ? INFINITY : double(i);
        });
        v.cursor = 30;
        const QImage img = v.grab().toImage();
        QCOMPARE(img.pixelColor(60, 10), cursorColour);
        QVERIFY(darkNear(img, 2 * 20, 80));
        QVERIFY(darkNear(img, 2 * 90, 10));
    }
};

CORVELLINE_TEST(TestCrossSView)
#include "tst_crosssview.moc"
