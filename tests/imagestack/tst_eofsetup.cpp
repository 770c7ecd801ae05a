#include "support/EnergyFiles.h"
#include "support/TestRegistry.h"

#include "display/_FileDialog.h"
#include "imagestack/EOFSetup.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using energytest::braggEnergy;
using energytest::writeFile;

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


    void coupling_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<QString>("action");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("delta");
        QTest::addColumn<QString>("end");
        QTest::newRow("end 9500") << "1000" << "end" << 9500.0 << "8000" << "1.5" << "9500";
        QTest::newRow("delta 0.5") << "1000" << "delta" << 0.5 << "8000" << "0.5" << "8500";
        QTest::newRow("num 500") << "1000" << "num" << 500.0 << "8000" << "2" << "9000";
        QTest::newRow("num 0, end") << "0" << "end" << 9500.0 << "8000" << "1" << "9500";
        QTest::newRow("num word, delta") << "abc" << "delta" << 3.0 << "8000" << "3" << "9000";
        QTest::newRow("set num 0") << "1000" << "num" << 0.0 << "8000" << "1" << "9000";
    }
    void coupling()
    {
        QFETCH(QString, num);
        QFETCH(QString, action);
        QFETCH(double, value);
        QFETCH(QString, start);
        QFETCH(QString, delta);
        QFETCH(QString, end);
        EOFSetup s;
        s.NumOfPoints->setText(num);
        if (action == QLatin1String("start"))
            s.setStart(value);
        else if (action == QLatin1String("delta"))
            s.setDelta(value);
        else if (action == QLatin1String("end"))
            s.setEnd(value);
        else
            s.setNumOfPoints(int(value));
        QCOMPARE(s.Start->text(), start);
        QCOMPARE(s.Delta->text(), delta);
        QCOMPARE(s.End->text(), end);
    }


    void calculatedThroughWidgets_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("evenInEnergy");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("delta");
        QTest::addColumn<int>("fNo");
        QTest::addColumn<double>("energy");
        QTest::newRow("keV angle 500") << 1 << false << "8" << "9" << "1" << 500 << 8469.743803;
        QTest::newRow("keV energy") << 1 << true << "8" << "9" << "0.001" << 5 << 8005.0;
        QTest::newRow("deg") << 2 << false << "15" << "10" << "0.25" << 4 << braggEnergy(16.0);
        QTest::newRow("no unit") << -1 << false << "8000" << "9000" << "3" << 2 << 8006.0;
    }
    void calculatedThroughWidgets()
    {
        QFETCH(int, unit);
        QFETCH(bool, evenInEnergy);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, delta);
        QFETCH(int, fNo);
        QFETCH(double, energy);
        EOFSetup s;
        s.FromFileNum->setChecked(true);
        s.DisplayUnit->setCurrentIndex(unit);
        (evenInEnergy ? s.EvenInEnergy : s.EvenInAngle)->setChecked(true);
        s.Start->setText(start);
        s.End->setText(end);
        s.Delta->setText(delta);
        const double e = s.energyOfFile(QStringLiteral("a_8000_1234.tif"), fNo, 1001);
        QVERIFY2(qAbs(e - energy) < 1e-6, qPrintable(QString::number(e, 'f', 9)));
    }

    void refFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("ref.dat"));
        QVERIFY(writeFile(path, "angle\n14.0\n13.9\n13.8\n\n"));
        EOFSetup s;
        QCOMPARE(s.energyOfFile(QStringLiteral("x_8000_1234.tif"), 2, 3), 8000.1234);
        s.setRefFile(path);
        QVERIFY(s.FromRefFile->isChecked());
        QCOMPARE(s.refEnergyList().size(), 3);
        // Three files: the blank last line must not shift them.
        QVERIFY(qAbs(s.energyOfFile(QString(), 2, 3) - braggEnergy(13.8)) < 1e-9);
        QVERIFY(qAbs(s.energyOfFile(QString(), 0, 3) - braggEnergy(14.0)) < 1e-9);
        s.CorrespondFromEnd->setChecked(false);
        QVERIFY(qAbs(s.energyOfFile(QString(), 0, 2) - braggEnergy(14.0)) < 1e-9);

        // A file that cannot be opened changes neither the list nor the path.
        const QString missing = dir.filePath(QStringLiteral("missing.dat"));
        s.refFileSelected(missing);
        QCOMPARE(s.RefFilePath->text(), path);
        QCOMPARE(s.refEnergyList().size(), 3);
        // File number beats the reference file when both are somehow checked.
        s.FromFileNum->setChecked(true);
        s.EvenInEnergy->setChecked(true);
        QCOMPARE(s.energyOfFile(QString(), 3, 4), 8003.0);
    }
};

CORVELLINE_TEST(TestEOFSetup)
#include "tst_eofsetup.moc"
