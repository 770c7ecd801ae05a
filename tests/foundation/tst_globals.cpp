#include "support/TestRegistry.h"

#include "foundation/Globals.h"

#include <QTest>
#include <limits>

class TestGlobals : public QObject {
    Q_OBJECT
private slots:
    // Grey level, then the heat map's red, green and blue.
    void colourMaps_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<QList<int>>("colours");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("zero") << 0.0 << QList<int>{0, 0, 0, 0};
        QTest::newRow("half") << 0.5 << QList<int>{128, 255, 128, 0};
        QTest::newRow("one") << 1.0 << QList<int>{255, 255, 255, 255};
        QTest::newRow("negative") << -0.5 << QList<int>{0, 0, 0, 0};
        QTest::newRow("nan") << nan << QList<int>{0, 0, 0, 0};
        QTest::newRow("+inf") << inf << QList<int>{255, 255, 255, 255};
        QTest::newRow("-inf") << -inf << QList<int>{0, 0, 0, 0};
        QTest::newRow("huge") << 1e300 << QList<int>{255, 255, 255, 255};
        QTest::newRow("green ramp") << 300.5 / 766.0 << QList<int>{100, 255, 45, 0};
    }
    void colourMaps()
    {
        QFETCH(double, t);
        QFETCH(QList<int>, colours);
        const uchar* h = heatMapColor(t);
        QCOMPARE((QList<int>{*greyMapColor(t), h[0], h[1], h[2]}), colours);
        QVERIFY(colorMapOf(QImage::Format_RGB888) == heatMapColor);
        QVERIFY(colorMapOf(QImage::Format_Grayscale8) == greyMapColor);
        QVERIFY(colorMapOf(QImage::Format_ARGB32) == nullptr);
    }

    void palette()
    {
        QCOMPARE(paletteColor(0), QColor(255, 0, 0));
        QCOMPARE(paletteColor(10), QColor(0, 255, 0));  // wraps
        QCOMPARE(paletteColor(-1), QColor(0, 200, 255)); // stays inside
        QCOMPARE(paletteColor(std::numeric_limits<int>::min()), paletteColor(std::numeric_limits<int>::min() % 9 + 9));
    }

    void interpolation()
    {
        QCOMPARE(interpolate(3.0, 2.0, 4.0, 2.0, 8.0), 6.0); // same x gives the mean
        QCOMPARE(interpolate(8020.0, 8000.0, 100.0, 8010.0, 200.0), 300.0);
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
        QVERIFY(newImageBuffer(QImage::Format_Grayscale8, 0, 10) == nullptr);
        QVERIFY(newImageBuffer(QImage::Format_Grayscale8, 10, -1) == nullptr);
        QVERIFY(newImageBuffer(QImage::Format_RGB888, 60000, 60000) == nullptr);
        uchar* buf = newImageBuffer(QImage::Format_RGB888, 5, 3);
        QVERIFY(buf);
        for (int i = 0; i < 48; i++)
            QCOMPARE(int(buf[i]), 0);
        QImage* img = newImage(QImage::Format_RGB888, buf, 5, 3);
        QVERIFY(img && img->bytesPerLine() == 16 && img->constBits() == buf);
        QVERIFY(newImage(QImage::Format_ARGB32, buf, 5, 3) == nullptr);
        delete img;
        delete[] buf;
    }
};
CORVELLINE_TEST(TestGlobals)
#include "tst_globals.moc"
