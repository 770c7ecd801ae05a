#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "foundation/ColorScale.h"
#include "imagestack/TiffData.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

// Display images through a colour scale. The 5 x 2 frame holds 0, 64, 128, 192, 256
// and that row reversed, so the normalised values are 0, 1/4, 1/2, 3/4 and 1.
class TestFrameDisplay : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<TiffData> frame(const QVector<quint32>& v, int w, int h)
    {
        const QString name = dir.filePath(QStringLiteral("d.img"));
        std::unique_ptr<TiffData> f(new TiffData);
        if (!craft::writeIm(name, w, h, v) || !f->load(name, nullptr))
            return nullptr;
        return f;
    }
    std::unique_ptr<TiffData> steps()
    {
        return frame({0, 64, 128, 192, 256, 256, 192, 128, 64, 0}, 5, 2);
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void colours_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QVector<QColor>>("row0");
        const QColor g0(0, 0, 0), g64(64, 64, 64), g128(128, 128, 128), g192(192, 192, 192),
            g255(255, 255, 255);
        QTest::newRow("grey") << 24 << QVector<QColor>{g0, g64, g128, g192, g255};
        // heat map entries trunc(t * 766): 0, 191, 383, 574, 766
        const QColor h0(0, 0, 0), h1(191, 0, 0), h2(255, 128, 0), h3(255, 255, 64), h4(255, 255, 255);
        QTest::newRow("RGB, rows at the 16-byte stride") << 13 << QVector<QColor>{h0, h1, h2, h3, h4};
    }
    void colours()
    {
        QFETCH(int, format);
        QFETCH(QVector<QColor>, row0);
        auto f = steps();
        QVERIFY(f && !f->dispImg);
        f->dispFormat = format;
        QImage* img = f->makeDispImage(ColorScale(format, 0.0, 1.0));
        QVERIFY(img && img == f->dispImg);
        QCOMPARE(int(img->format()), format);
        QCOMPARE(int(img->bytesPerLine()), format == 13 ? 16 : 8);
        QCOMPARE(img->constBits(), f->dispBuf);
        for (int x = 0; x < 5; x++) {
            QCOMPARE(img->pixelColor(x, 0), row0[x]);
            QCOMPARE(img->pixelColor(x, 1), row0[4 - x]);
        }
        f->freeDispImage();
        QVERIFY(!f->dispImg && !f->dispBuf);
    }

    // The same frame recoloured: thresholds 0.25 and 0.75 stretch the middle half
    // over the whole grey scale, (t - 0.25) / 0.5 -> 0, 0, 0.5, 1, 1.
    void twoScales()
    {
        auto f = steps();
        QVERIFY(f);
        const QVector<int> wide{0, 64, 128, 192, 255}, narrow{0, 0, 128, 255, 255};
        const QVector<int>* want[2] = {&wide, &narrow};
        const ColorScale scales[2] = {ColorScale(24, 0.0, 1.0), ColorScale(24, 0.25, 0.75)};
        for (int i = 0; i < 2; i++) {
            const QImage* img = f->makeDispImage(scales[i]);
            QVERIFY(img);
            for (int x = 0; x < 5; x++)
                QCOMPARE(img->pixelColor(x, 0), QColor((*want[i])[x], (*want[i])[x], (*want[i])[x]));
        }
    }

    // Each pixel takes the colour of its own sample (0 where the origin leaves
    // none), whether the frame is coloured value by value or pixel by pixel.
    // Samples 100 + 4 ((5x + 3y) mod 60); thresholds 0 and 1.
    void pixelsOfSamples_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("format");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<bool>("spike"); // sample (1, 1) set far above the range read
        QTest::newRow("grey") << 40 << 20 << 24 << QPoint() << false;
        QTest::newRow("grey, more values than pixels") << 6 << 4 << 24 << QPoint() << false;
        QTest::newRow("RGB") << 40 << 20 << 13 << QPoint() << false;
        QTest::newRow("RGB, more values than pixels") << 6 << 4 << 13 << QPoint() << false;
        QTest::newRow("origin shifted") << 40 << 20 << 24 << QPoint(3, -2) << false;
        QTest::newRow("sample beyond the range") << 40 << 20 << 24 << QPoint() << true;
    }
    void pixelsOfSamples()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, format);
        QFETCH(QPoint, origin);
        QFETCH(bool, spike);
        auto sampleAt = [](int x, int y) { return 100 + 4 * ((5 * x + 3 * y) % 60); };
        QVector<quint32> v;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                v << quint32(sampleAt(x, y));
        const double lo = *std::min_element(v.begin(), v.end());
        const double hi = *std::max_element(v.begin(), v.end());
        auto f = frame(v, w, h);
        QVERIFY(f);
        if (spike)
            f->setPixel(1, 1, 500);
        f->x0 = origin.x();
        f->y0 = origin.y();
        f->dispFormat = format;
        const QImage* img = f->makeDispImage(ColorScale(format, 0.0, 1.0));
        QVERIFY(img);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                const int sx = x - origin.x(), sy = y - origin.y();
                double s = sx >= 0 && sx < w && sy >= 0 && sy < h ? sampleAt(sx, sy) : 0.0;
                if (spike && sx == 1 && sy == 1)
                    s = 500;
                const double u = std::clamp((s - lo) / (hi - lo), 0.0, 1.0);
                QColor want;
                if (format == 24) {
                    const int g = std::min(255, int(u * 256));
                    want = QColor(g, g, g);
                } else {
                    const int i = std::min(766, int(u * 766));
                    want = QColor(std::min(i, 255), std::clamp(i - 255, 0, 255),
                                  std::clamp(i - 510, 0, 255));
                }
                QCOMPARE(img->pixelColor(x, y), want);
            }
    }

    // A frame coloured after another of its size was let go of: its own
    // colours, and black where its scale writes nothing, never the other's.
    void afterAnotherOfItsSize_data()
    {
        QTest::addColumn<int>("scaleFormat");
        QTest::newRow("a scale of its format") << 24;
        QTest::newRow("a scale of another format") << 13;
    }
    void afterAnotherOfItsSize()
    {
        QFETCH(int, scaleFormat);
        auto before = steps();
        QVERIFY(before && before->makeDispImage(ColorScale(24, 0.0, 1.0)));
        before->freeDispImage();
        auto next = frame({256, 192, 128, 64, 0, 0, 64, 128, 192, 256}, 5, 2);
        QVERIFY(next);
        const QImage* img = next->makeDispImage(ColorScale(scaleFormat, 0.0, 1.0));
        QVERIFY(img);
        const int grey[5] = {255, 192, 128, 64, 0};
        for (int x = 0; x < 5; x++) {
            const int g = scaleFormat == 24 ? grey[x] : 0;
            QCOMPARE(img->pixelColor(x, 0), QColor(g, g, g));
            const int g1 = scaleFormat == 24 ? grey[4 - x] : 0;
            QCOMPARE(img->pixelColor(x, 1), QColor(g1, g1, g1));
        }
    }

    void flatFrame()
    {
        auto f = frame({7, 7, 7, 7, 7, 7}, 3, 2);
        QVERIFY(f);
        QVERIFY(f->makeDispImage(ColorScale()));
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++)
                QCOMPARE(f->dispImg->pixelColor(x, y), QColor(0, 0, 0));
    }
};

CORVELLINE_TEST(TestFrameDisplay)
#include "tst_framedisplay.moc"
