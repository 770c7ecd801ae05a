#include "support/TestRegistry.h"

#include "display/ChCoord.h"
#include "mainwindow/ReadOut.h"

#include <QTest>

#include <limits>

// Texts of the pointer read-out and the overlay.
class TestReadOut : public QObject {
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value: four digits, then the comma") << readout::valueText(1234.6) << "1,235";
        QTest::newRow("value: exponent form, no comma") << readout::valueText(12345.678) << "1.235e+04";
        QTest::newRow("value: negative") << readout::valueText(-1234.4) << "-1,234";
        QTest::newRow("value: whole counts whole") << readout::valueText(19036) << "19,036";
        QTest::newRow("value: whole, negative, large") << readout::valueText(-1234567) << "-1,234,567";
        QTest::newRow("dark: six digits") << readout::darkValueText(1234.56) << "1,234.56";
        QTest::newRow("box: truncated, right-aligned in four")
            << readout::boxSizeText(QRectF(10.6, 20.2, 5.5, 3.1)) << "(  10,   20)-(  16,   23)";
        QTest::newRow("box: negative width")
            << readout::boxSizeText(QRectF(10, -2.5, -3.5, 1)) << "(  10,   -2)-(   6,   -1)";
        QTest::newRow("box: not a number")
            << readout::boxSizeText(QRectF(std::numeric_limits<double>::quiet_NaN(), 1e300, 0, 0))
            << QStringLiteral("(   0,  %1)-(   0,  %1)").arg(std::numeric_limits<int>::max());
        QTest::newRow("position") << readout::posText(7) << "   7";
        QTest::newRow("energy shift") << readout::eShiftText(-1.5) << "-1.500";
        QTest::newRow("shift from the standard") << readout::eShiftFromStdText(2.345) << " 2.35";
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // 4 screen pixels per image pixel on a 400 x 300 display. Edges far off the
    // display are clamped; the ones that show stay exact.
    void screenRects_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("expected");
        ChCoord cc;
        cc.setScreenArea(0, 0, 400, 300);
        cc.setRealArea(0, 0, 100, 75);
        const int far = int(readout::maxScreenCoord);
        const int big = std::numeric_limits<int>::max();
        QTest::newRow("bin 5 x 7") << readout::binRect(cc, 10, 20, 2, -3) << QRect(32, 68, 20, 28);
        QTest::newRow("view height 2^31 - 1") << readout::binRect(cc, 10, 20, 0, big)
                                              << QRect(40, -far, 4, 2 * far);
        QTest::newRow("view width -2^31") << readout::binRect(cc, 10, 20, std::numeric_limits<int>::min(), 0)
                                          << QRect(-far, 80, 2 * far, 4);
        QTest::newRow("area from far left ends at x 50")
            << readout::screenRect(cc, -1e12, 5, 1e12 + 50, 10) << QRect(-far, 20, far + 200, 40);
        QTest::newRow("statistics bin of 2^31 pixels")
            << readout::screenRect(cc, 50.0 - big, 50.0 - big, 2.0 * big, 2.0 * big)
            << QRect(-far, -far, 2 * far, 2 * far);
    }
    void screenRects()
    {
        QFETCH(QRect, rect);
        QFETCH(QRect, expected);
        QCOMPARE(rect, expected);
    }
};

CORVELLINE_TEST(TestReadOut)
#include "tst_readout.moc"
