#include "support/TestRegistry.h"

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
};

CORVELLINE_TEST(TestReadOut)
#include "tst_readout.moc"
