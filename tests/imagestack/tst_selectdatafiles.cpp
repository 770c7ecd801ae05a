#include "support/EnergyFiles.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "display/SelectImgDialog.h"
#include "display/_FileDialog.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/SelectDataFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using energytest::writeFile;

class TestSelectDataFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { loopback::resetConfig(); }
    void cleanup() { loopback::resetConfig(); }

    void loadSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("cut");
        QTest::newRow("0") << "0" << 1 << 0;
        QTest::newRow("3") << "3" << 3 << 3;
        QTest::newRow("abc") << "abc" << 1 << 0;
        QTest::newRow("too big") << "99999999999" << 1 << 0;
    }
    void loadSettings()
    {
        QFETCH(QString, text);
        QFETCH(int, skip);
        QFETCH(int, cut);
        SelectDataFiles p;
        p.Skip->setText(text);
        p.CutFirst->setText(text);
        p.CutLast->setText(text);
        QCOMPARE(p.skip(), skip);
        QCOMPARE(p.cutFirst(), cut);
        QCOMPARE(p.cutLast(), cut);
    }

    void expTime_data()
    {
        QTest::addColumn<double>("ms");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pink");
        QTest::newRow("differing") << 100.0 << false << "100" << true;
        QTest::newRow("six digits") << 123.4567 << true << "123.457" << false;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << "nan" << true;
    }
    void expTime()
    {
        QFETCH(double, ms);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        QFETCH(bool, pink);
        const QString white = QStringLiteral("background-color: rgb(255, 255, 255);");
        SelectDataFiles p;
        p.setExpTimeMS(ms, ok);
        QCOMPARE(p.ExpTime->text(), text);
        QCOMPARE(p.ExpTime->styleSheet(),
                 pink ? QStringLiteral("background-color: rgb(255, 192, 192);") : white);
        // The mark goes when the frames agree again.
        p.setExpTimeMS(75, true);
        QCOMPARE(p.ExpTime->styleSheet(), white);
    }

    void addFileAndCount()
    {
        SelectDataFiles p;
        const QStringList names = {QStringLiteral("/d/s_08979_5000.tif"),
                                   QStringLiteral("/d/s_08980_5000.tif")};
        QCOMPARE(p.addFile(names[0], 0, 2), 8979.5);
        QCOMPARE(p.addFile(names[1], 1, 2), 8980.5);
        QCOMPARE(p.Count->text(), QStringLiteral("2"));
        QCOMPARE(p.Selected->itemText(1), names[1]);
        // A frame keeps the energy it got; only later frames see a change.
        p.setEngByCalc(true);
        p.setEvenInEng(true);
        p.setEngCalcStart(7000);
        p.setEngCalcDelta(2);
        QCOMPARE(p.addFile(QStringLiteral("c.tif"), 1, 2), 7002.0);
        QCOMPARE(p.Selected->itemData(0).toDouble(), 8979.5);
        {
            // Files taken together: each by the rules as they stood, the count once at the end.
            SelectDataFiles::Batch batch(&p);
            QCOMPARE(batch.addFile(QStringLiteral("d.tif"), 3, 9), 7006.0);
            QCOMPARE(batch.addFile(QStringLiteral("e.tif"), 8, 9), 7016.0);
        }
        QCOMPARE(p.Count->text(), QStringLiteral("5"));
        QCOMPARE(p.Selected->itemData(4).toDouble(), 7016.0);
        p.clearFiles();
        QCOMPARE(p.Count->text(), QStringLiteral("0"));
    }

    void navigation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("after");
        QTest::newRow("prev on first") << 3 << 0 << "prev" << 0 << 0;
        QTest::newRow("next on last") << 3 << 2 << "next" << 0 << 2;
        QTest::newRow("next on empty") << 0 << -1 << "next" << 0 << -1;
        QTest::newRow("select last") << 3 << 0 << "select" << 2 << 2;
        QTest::newRow("select count") << 3 << 1 << "select" << 3 << 1;
    }
    void navigation()
    {
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(QString, action);
        QFETCH(int, arg);
        QFETCH(int, after);
        SelectDataFiles p;
        for (int i = 0; i < count; ++i)
            p.addFile(QStringLiteral("f%1.tif").arg(i), i, count);
        p.Selected->setCurrentIndex(current);
        QSignalSpy spy(&p, &SelectDataFiles::currentIndexChanged);
        if (action == QLatin1String("prev"))
            p.prev();
        else if (action == QLatin1String("next"))
            p.next();
        else
            p.select(arg);
        QCOMPARE(p.Selected->currentIndex(), after);
        QCOMPARE(spy.count(), after == current ? 0 : 1);
    }

    void title()
    {
        SelectDataFiles p;
        p.setTitle(QStringLiteral("I1 Data"));
        const QStringList titles{p.Select->text(), p.fileDialog->windowTitle(), p.eofSetup->windowTitle(),
                                 p.additionalSetup.windowTitle()};
        QCOMPARE(titles, (QStringList{"I1 Data", "I1 Data", "I1 Data Setup", "I1 Data Add. Setup"}));
    }

    void darkAreaLabel_data()
    {
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QString>("text");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("cut") << QRectF(10.7, 20.2, 30, 40.9) << "(10,20)-(40,61)";
        QTest::newRow("nan") << QRectF(nan, 1, 2, 3) << "(-,1)-(-,4)";
        QTest::newRow("beyond int") << QRectF(0, 0, 5e9, 1) << "(0,0)-(5000000000,1)";
    }
    void darkAreaLabel()
    {
        QFETCH(QRectF, area);
        QFETCH(QString, text);
        SelectDataFiles p;
        p.darkArea(area);
        QCOMPARE(p.additionalSetup.DarkArea->text(), text);
    }
};

class TestAdditionalSetup : public QObject {
    Q_OBJECT
private slots:
    void init() { loopback::resetConfig(); }
    void cleanup() { loopback::resetConfig(); }

    void errPointsFile()
    {
        const bool useTicked = true;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("err.dat"));
        QVERIFY(writeFile(path, "# Size 64 32\n3 4\n5 6\n7 8\n"));
        SelectDataFilesAdditionalSetup a;
        a.UseErrPs->setChecked(useTicked);
        emit a.errPsDialog()->fileSelected(path);
        QCOMPARE(a.ErrPsFile->text(), path);
        QCOMPARE(a.errPoints()->use, useTicked);
        QVERIFY(a.errPoints()->contains(7, 8));

        // Toggling the box changes only the flag; the file is not read again.
        QVERIFY(QFile::remove(path));
        a.UseErrPs->setChecked(!useTicked);
        QCOMPARE(a.errPoints()->use, !useTicked);
        QCOMPARE(int(a.errPoints()->points.size()), 3);

        // A failed read empties the list, drops the flag and the label.
        ErrPoints* held = a.errPoints();
        a.errPsDefSelected(dir.filePath(QStringLiteral("none.dat")));
        QCOMPARE(a.ErrPsFile->text(), QString());
        QVERIFY(!a.errPoints()->use);
        QVERIFY(a.errPoints()->points.isEmpty());
        // A loader holding the earlier points never sees them change.
        QVERIFY(a.errPoints() != held);
        QCOMPARE(int(held->points.size()), 3);
    }

};

CORVELLINE_TEST(TestSelectDataFiles)
CORVELLINE_TEST(TestAdditionalSetup)
#include "tst_selectdatafiles.moc"
