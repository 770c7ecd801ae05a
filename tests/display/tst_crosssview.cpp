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
        for (int dx = -1; dx <= 1; ++dx)
            if (img.rect().contains(x + dx, y + dy) && img.pixelColor(x + dx, y + dy).lightness() < 80)
                return true;
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

void sized(CrossSView& v, int w, int h)
{
    v.setFrameShape(QFrame::NoFrame);
    v.resize(w, h);
}

} // namespace

class TestCrossSView : public QObject {
    Q_OBJECT
private slots:
    // Positions shifted by an x offset, values 0..100 with two broken points on a
    // 200 x 100 view: screen x = 2 * position, y = 100 - value.
    void horizontal()
    {
        CrossSView v;
        sized(v, 200, 100);
        v.profile = profileOf(10, [](int i) { return i == 40 ? std::nan("") : i == 60 ? INFINITY : double(i); });
        v.profile.useXOffset = true;
        v.profile.xOffset = 10;
        v.cursor = 30; // compared without the offset
        const QImage img = v.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/crosssview-h.png"));
        for (int y = 2; y < 100; y += 13)
            QCOMPARE(img.pixelColor(60, y), cursorColour);
        for (int i = 5; i < 100; i += 10)
            QVERIFY2(darkNear(img, 2 * i, 100 - i), qPrintable(QString::number(i)));
        QCOMPARE(img.pixelColor(150, 80), QColor(Qt::white)); // below the ramp
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
        QTest::newRow("all values equal") << "flat";
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
        else if (kind == QLatin1String("nan"))
            v.profile = profileOf(0, [](int) { return std::nan(""); });
        QVERIFY(allWhite(v.grab().toImage()));
        v.vertical = true;
        QVERIFY(allWhite(v.grab().toImage()));
    }
};

CORVELLINE_TEST(TestCrossSView)
#include "tst_crosssview.moc"
