#include "support/TestRegistry.h"

#include "imagestack/EOFSetup.h"

#include <QTest>

class TestEOFSetup : public QObject {
    Q_OBJECT
private slots:
    // pattern 9, a keV one
    void selectPattern()
    {
        EOFSetup s;
        s.PatternList->setCurrentIndex(8);
        QCOMPARE(s.Pattern->text(), s.PatternList->itemText(8));
        QCOMPARE(s.Factor->text(), QStringLiteral("1000"));
        QVERIFY(qAbs(s.energyOfFile("Cu_12_345678KeV.tif", 3, 10) - 12345.678) < 1e-9);
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
        QCOMPARE(s.Factor->text(), factor);
        // Leaving the edit again adds nothing more.
        emit s.Pattern->editingFinished();
        QCOMPARE(s.PatternList->count(), count);
    }
};

CORVELLINE_TEST(TestEOFSetup)
#include "tst_eofsetup.moc"
