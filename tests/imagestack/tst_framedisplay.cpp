#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "foundation/ColorScale.h"
#include "imagestack/TiffData.h"

#include <QTemporaryDir>
#include <QTest>

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
