#include "CalibStack.h"
#include "support/TestRegistry.h"

#include "calibration/CalibCtrl.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestCalibCtrl : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }

    void spacing_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("crystal");
        QTest::addColumn<double>("spacing");
        QTest::newRow("Si(111)") << 0 << "Si(111)" << 3.1355316;
        QTest::newRow("Si(311)") << 1 << "Si(311)" << 1.637478;
        QTest::newRow("Si(333)") << 2 << "Si(333)" << 1.0451772;
        QTest::newRow("Ge(111)") << 3 << "Ge(111)" << 3.2663822;
        QTest::newRow("Ge(333)") << 4 << "Ge(333)" << 1.0887941;
    }
    void spacing()
    {
        QFETCH(int, index);
        CalibCtrl p;
        QCOMPARE(p.SelCrystal->count(), 5);
        p.SelCrystal->setCurrentIndex(index);
        QTEST(p.crystalName(), "crystal");
        QTEST(p.spacing(), "spacing");
    }

    void progress_data()
    {
        QTest::addColumn<double>("p");
        QTest::addColumn<QString>("shown");
        QTest::newRow("5") << 5.0 << "  5.0";
        QTest::newRow("12.5") << 12.5 << " 12.5";
        QTest::newRow("100") << 100.0 << "100.0";
    }
    void progress()
    {
        QFETCH(double, p);
        CalibCtrl c;
        c.progress(p);
        QTEST(c.Progress->text(), "shown");
    }

    void unreadableStandard()
    {
        CalibCtrl p;
        p.EdgeEeV->setText(QStringLiteral("8979"));
        QSignalSpy loaded(&p, &CalibCtrl::newStdFileLoaded);
        p.loadStd(tmp.filePath(QStringLiteral("missing.dat")));
        QVERIFY(p.SelectStd->Selected->text().isEmpty());
        QCOMPARE(p.EdgeEeV->text(), QStringLiteral("8979"));
        QCOMPARE(loaded.count(), 0);
    }

    void readableStandard()
    {
        const QString file = tmp.filePath(QStringLiteral("std.dat"));
        QVERIFY(calibstack::writeStandard(file));
        CalibCtrl p;
        QSignalSpy loaded(&p, &CalibCtrl::newStdFileLoaded);
        p.loadStd(file);
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(p.SelectStd->Selected->text(), file);
        QCOMPARE(p.EdgeEeV->text(), QStringLiteral("8990")); // the ramp's middle
        QCOMPARE(p.edgeEV(), 8990.0);
    }

    // The batch word checks inner product for 1, the mid-points for 0, and
    // refuses other numbers, changing nothing.
    void calibType_data()
    {
        QTest::addColumn<QString>("param");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("innerP");
        QTest::newRow("1") << "1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("5 is refused") << "5" << true << true;
    }
    void calibType()
    {
        QFETCH(QString, param);
        QFETCH(bool, before);
        QFETCH(bool, innerP);
        Body b;
        b.calibCtrl->CalibTypeInnerP->setChecked(before);
        b.calibCtrl->CalibTypeDMidX->setChecked(!before);
        b.execCmdSlot(CmdLine(QStringLiteral("calib_type ") + param), false);
        QCOMPARE(b.calibCtrl->CalibTypeInnerP->isChecked(), innerP);
        QCOMPARE(b.calibCtrl->CalibTypeDMidX->isChecked(), !innerP);
    }
};

CORVELLINE_TEST(TestCalibCtrl)
#include "tst_calibctrl.moc"
