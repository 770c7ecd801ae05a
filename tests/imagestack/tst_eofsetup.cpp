#include "support/TestRegistry.h"

#include "imagestack/EOFSetup.h"

#include <QTest>

class TestEOFSetup : public QObject {
    Q_OBJECT
private slots:
    void selectPattern_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<double>("energy");
        QTest::newRow("pattern 9, keV") << 8 << "1000" << "Cu_12_345678KeV.tif" << 12345.678;
        QTest::newRow("pattern 4, eV") << 3 << "1" << "Cu_8979_50eV.tif" << 8979.5;
    }
    void selectPattern()
    {
        QFETCH(int, index);
        QFETCH(QString, factor);
        QFETCH(QString, fileName);
        QFETCH(double, energy);
        EOFSetup s;
        s.PatternList->setCurrentIndex(index);
        QCOMPARE(s.Pattern->text(), s.PatternList->itemText(index));
        QCOMPARE(s.Factor->text(), factor);
        QCOMPARE(s.PatternList->count(), 10);
        QVERIFY(qAbs(s.energyOfFile(fileName, 3, 10) - energy) < 1e-9);
        // Back to the first: the factor follows.
        s.PatternList->setCurrentIndex(0);
        QCOMPARE(s.Factor->text(), QStringLiteral("1"));
    }

    void typedPattern_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("factor");
        QTest::newRow("new eV pattern") << "E(\\d+)" << 11 << 10 << "1";
        QTest::newRow("new keV pattern") << "\\d+\\.\\d+keV" << 11 << 10 << "1000";
        QTest::newRow("known pattern 9") << "\\d\\d_\\d\\d\\d\\d\\d\\dKeV" << 10 << 8 << "1000";
    }
    void typedPattern()
    {
        QFETCH(QString, typed);
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(QString, factor);
        EOFSetup s;
        s.Factor->setText(QStringLiteral("7"));
        s.Pattern->setText(typed);
        emit s.Pattern->editingFinished();
        QCOMPARE(s.PatternList->count(), count);
        QCOMPARE(s.PatternList->currentIndex(), current);
        QCOMPARE(s.PatternList->currentText(), typed);
        QCOMPARE(s.Pattern->text(), typed);
        QCOMPARE(s.Factor->text(), factor);
        // Leaving the edit again adds nothing more.
        emit s.Pattern->editingFinished();
        QCOMPARE(s.PatternList->count(), count);
    }
};

CORVELLINE_TEST(TestEOFSetup)
#include "tst_eofsetup.moc"
