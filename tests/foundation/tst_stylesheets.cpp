#include "support/TestRegistry.h"

#include "foundation/StyleSheets.h"

#include <QTest>
#include <limits>

class TestStyleSheets : public QObject {
    Q_OBJECT
private slots:
    void components_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QList<int>>("rgb");
        QTest::addColumn<bool>("valid");
        QTest::newRow("doubtful value") << "background-color: rgb(255, 192, 192);" << QList<int>{255, 192, 192} << true;
        QTest::newRow("two numbers") << "background-color: rgb(10, 20);" << QList<int>{10, 20, 0} << true;
        QTest::newRow("not an integer") << "background-color: rgb(a, 20, 30);" << QList<int>{0, 20, 30} << true;
        QTest::newRow("out of range") << "background-color: rgb(300, 0, 0);" << QList<int>{300, 0, 0} << false;
        QTest::newRow("unclosed") << "background-color: rgb(5, 6, 7" << QList<int>{5, 6, 7} << true;
        QTest::newRow("no rule") << "color: red;" << QList<int>{0, 0, 0} << false;
    }
    void components()
    {
        QFETCH(QString, sheet);
        QFETCH(QList<int>, rgb);
        QFETCH(bool, valid);
        QCOMPARE(backgroundRgb(sheet), rgb);
        const QColor c = backgroundColorOf(sheet);
        QCOMPARE(c.isValid(), valid);
        if (valid)
            QCOMPARE(c, QColor(rgb[0], rgb[1], rgb[2]));
    }

    void building()
    {
        const QString pink = QStringLiteral("background-color: rgb(255, 192, 192);");
        QCOMPARE(rgbStyleSheet({255, 192, 192}), pink);
        QCOMPARE(colorStyleSheet(QColor(255, 192, 192)), pink);
        QCOMPARE(rgbStyleSheet({}), QStringLiteral("background-color: rgb(0, 0, 0);"));
        QCOMPARE(rgbStyleSheet({1, 2, 3, 4}), QStringLiteral("background-color: rgb(1, 2, 3);"));
        QVERIFY(hasBackgroundColor(pink));
    }

    void scaling_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("scaled");
        const QString pink = QStringLiteral("background-color: rgb(255, 192, 192);");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("darker") << pink << 0.5 << "background-color: rgb(127, 96, 96);";
        QTest::newRow("lighter clamps") << pink << 2.0 << "background-color: rgb(255, 255, 255);";
        QTest::newRow("no rule unchanged") << "color: red;" << 0.5 << "color: red;";
        QTest::newRow("truncated toward zero") << "background-color: rgb(255, 1, 100);" << 0.999
                                               << "background-color: rgb(254, 0, 99);";
        QTest::newRow("NaN factor") << pink << std::numeric_limits<double>::quiet_NaN()
                                    << "background-color: rgb(0, 0, 0);";
        QTest::newRow("infinite factor") << "background-color: rgb(10, 0, 5);" << inf
                                         << "background-color: rgb(255, 0, 255);";
        QTest::newRow("huge component") << "background-color: rgb(2147483647, 3, 3);" << 4.0
                                        << "background-color: rgb(255, 12, 12);";
    }
    void scaling()
    {
        QFETCH(QString, sheet);
        QFETCH(double, factor);
        QFETCH(QString, scaled);
        QCOMPARE(scaledBackground(sheet, factor), scaled);
    }

};
CORVELLINE_TEST(TestStyleSheets)
#include "tst_stylesheets.moc"
