#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "display/ColorBar.h"
#include "foundation/Globals.h"
#include "imagestack/TiffData.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Display images through the main colour bar. The 5 x 2 frame holds 0, 64, 128, 192, 256
// and that row reversed, so with the bar's thresholds at 0 and 1 the normalised values
// are 0, 1/4, 1/2, 3/4 and 1.
class TestFrameDisplay : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ColorBar* savedBar = nullptr;

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
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        savedBar = mainColorBar;
    }
    void cleanup() { mainColorBar = savedBar; }

    void noColourBar()
    {
        mainColorBar = nullptr;
        auto f = steps();
        QVERIFY(f);
        QVERIFY(!f->dispImg && !f->makeDispImage() && !f->dispBuf);
        f->updateCBar();
    }

    void colours_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("x0");
        QTest::addColumn<QVector<QColor>>("row0");
        QTest::addColumn<QVector<QColor>>("row1");
        const QColor g0(0, 0, 0), g64(64, 64, 64), g128(128, 128, 128), g192(192, 192, 192),
            g255(255, 255, 255);
        QTest::newRow("grey") << 24 << 0 << QVector<QColor>{g0, g64, g128, g192, g255}
                              << QVector<QColor>{g255, g192, g128, g64, g0};
        // heat map entries trunc(t * 766): 0, 191, 383, 574, 766
        const QColor h0(0, 0, 0), h1(191, 0, 0), h2(255, 128, 0), h3(255, 255, 64), h4(255, 255, 255);
        QTest::newRow("RGB, rows at the 16-byte stride") << 13 << 0 << QVector<QColor>{h0, h1, h2, h3, h4}
                                                         << QVector<QColor>{h4, h3, h2, h1, h0};
    }
    void colours()
    {
        QFETCH(int, format);
        QFETCH(int, x0);
        QFETCH(QVector<QColor>, row0);
        QFETCH(QVector<QColor>, row1);
        ColorBar bar;
        bar.format = format;
        mainColorBar = &bar;
        auto f = steps();
        QVERIFY(f);
        f->dispFormat = format;
        f->x0 = x0;
        QImage* img = f->makeDispImage();
        QVERIFY(img && img == f->dispImg);
        QCOMPARE(int(img->format()), format);
        QCOMPARE(int(img->bytesPerLine()), format == 13 ? 16 : 8);
        QCOMPARE(img->constBits(), f->dispBuf);
        for (int x = 0; x < 5; x++) {
            QCOMPARE(img->pixelColor(x, 0), row0[x]);
            QCOMPARE(img->pixelColor(x, 1), row1[x]);
        }
    }

    void flatFrame()
    {
        ColorBar bar;
        mainColorBar = &bar;
        auto f = frame({7, 7, 7, 7, 7, 7}, 3, 2);
        QVERIFY(f);
        QVERIFY(f->dispImg);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++)
                QCOMPARE(f->dispImg->pixelColor(x, y), QColor(0, 0, 0));
    }
};

CORVELLINE_TEST(TestFrameDisplay)
#include "tst_framedisplay.moc"
