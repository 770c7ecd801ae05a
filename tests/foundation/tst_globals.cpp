#include "support/TestRegistry.h"

#include "foundation/Globals.h"

#include <QTest>
#include <limits>

class TestGlobals : public QObject {
    Q_OBJECT
private slots:
    void colourMaps_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("heatR");
        QTest::addColumn<int>("heatG");
        QTest::addColumn<int>("heatB");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("zero") << 0.0 << 0 << 0 << 0 << 0;
        QTest::newRow("half") << 0.5 << 128 << 255 << 128 << 0;
        QTest::newRow("one") << 1.0 << 255 << 255 << 255 << 255;
        QTest::newRow("negative") << -0.5 << 0 << 0 << 0 << 0;
        QTest::newRow("nan") << nan << 0 << 0 << 0 << 0;
        QTest::newRow("+inf") << inf << 255 << 255 << 255 << 255;
        QTest::newRow("-inf") << -inf << 0 << 0 << 0 << 0;
        QTest::newRow("huge") << 1e300 << 255 << 255 << 255 << 255;
        QTest::newRow("green ramp") << 300.5 / 766.0 << 100 << 255 << 45 << 0;
    }
    void colourMaps()
    {
        QFETCH(double, t);
        QFETCH(int, grey);
        QFETCH(int, heatR);
        QFETCH(int, heatG);
        QFETCH(int, heatB);
        QCOMPARE(int(*greyMapColor(t)), grey);
        const uchar* h = heatMapColor(t);
        QCOMPARE(int(h[0]), heatR);
        QCOMPARE(int(h[1]), heatG);
        QCOMPARE(int(h[2]), heatB);
    }

    void colourMapOfFormat()
    {
        QVERIFY(colorMapOf(QImage::Format_RGB888) == heatMapColor);
        QVERIFY(colorMapOf(QImage::Format_Grayscale8) == greyMapColor);
        QVERIFY(colorMapOf(QImage::Format_ARGB32) == nullptr);
        QCOMPARE(defaultImageFormat, 24);
    }

    void palette_data()
    {
        QTest::addColumn<int>("i");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("0") << 0 << QColor(255, 0, 0);
        QTest::newRow("10 wraps") << 10 << QColor(0, 255, 0);
        QTest::newRow("-1 stays inside") << -1 << QColor(0, 200, 255);
        QTest::newRow("min int") << std::numeric_limits<int>::min() << paletteColor(std::numeric_limits<int>::min() % 9 + 9);
    }
    void palette()
    {
        QFETCH(int, i);
        QFETCH(QColor, colour);
        QCOMPARE(paletteColor(i), colour);
    }

    void interpolation_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<double>("y2");
        QTest::addColumn<double>("expected");
        QTest::newRow("same x gives mean") << 3.0 << 2.0 << 4.0 << 2.0 << 8.0 << 6.0;
        QTest::newRow("extrapolated") << 8020.0 << 8000.0 << 100.0 << 8010.0 << 200.0 << 300.0;
    }
    void interpolation()
    {
        QFETCH(double, x);
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, x2);
        QFETCH(double, y2);
        QFETCH(double, expected);
        QCOMPARE(interpolate(x, x1, y1, x2, y2), expected);
    }

    void headerValues_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second") << QByteArray("A=1;B=2") << "B=" << "2";
        QTest::newRow("absent") << QByteArray("A=1;B=2") << "C=" << "dflt";
        QTest::newRow("no delimiter") << QByteArray("xyz EXP=0.5") << "EXP=" << "0.5";
        QTest::newRow("delimiter in key") << QByteArray("a;b=1;") << "a;b=" << "";
    }
    void headerValues()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(headerValue(data, key, ';', QStringLiteral("dflt")), expected);
    }

    void imageBuffers()
    {
        QCOMPARE(rowStride(QImage::Format_RGB888, 5), 16);
        QCOMPARE(rowStride(QImage::Format_Grayscale8, 5), 8);
        QCOMPARE(rowStride(QImage::Format_Grayscale8, 8), 8);
        QVERIFY(newImageBuffer(QImage::Format_Grayscale8, 0, 10) == nullptr);
        QVERIFY(newImageBuffer(QImage::Format_Grayscale8, 10, -1) == nullptr);
        QVERIFY(newImageBuffer(QImage::Format_RGB888, 60000, 60000) == nullptr);
        uchar* buf = newImageBuffer(QImage::Format_RGB888, 5, 3);
        QVERIFY(buf);
        for (int i = 0; i < 48; i++)
            QCOMPARE(int(buf[i]), 0);
        QImage* img = newImage(QImage::Format_RGB888, buf, 5, 3);
        QVERIFY(img);
        QCOMPARE(img->bytesPerLine(), 16);
        QVERIFY(img->constBits() == buf);
        QVERIFY(newImage(QImage::Format_ARGB32, buf, 5, 3) == nullptr);
        delete img;
        delete[] buf;
    }
};
CORVELLINE_TEST(TestGlobals)
#include "tst_globals.moc"
