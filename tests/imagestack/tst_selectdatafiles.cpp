#include "support/EnergyFiles.h"
#include "support/TestRegistry.h"

#include "display/SelectImgDialog.h"
#include "display/_FileDialog.h"
#include "foundation/Cfg.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/SelectDataFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {

const char* kWhite = "background-color: rgb(255, 255, 255);";
const char* kPink = "background-color: rgb(255, 192, 192);";

} // namespace

using energytest::braggEnergy;
using energytest::writeFile;

class TestSelectDataFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { cfg.clear(); }
    void cleanup() { cfg.clear(); }

    void loadSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("cut");
        QTest::newRow("0") << "0" << 1 << 0;
        QTest::newRow("1") << "1" << 1 << 1;
        QTest::newRow("2") << "2" << 2 << 2;
        QTest::newRow("3") << "3" << 3 << 3;
        QTest::newRow("-3") << "-3" << 1 << 0;
        QTest::newRow("-2") << "-2" << 1 << 0;
        QTest::newRow("abc") << "abc" << 1 << 0;
        QTest::newRow("x") << "x" << 1 << 0;
        QTest::newRow("empty") << "" << 1 << 0;
        QTest::newRow("2.5") << "2.5" << 1 << 0;
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

    void loadSetters()
    {
        SelectDataFiles p;
        QCOMPARE(p.skip(), 1);
        QCOMPARE(p.cutFirst(), 0);
        p.setSkip(4);
        p.setCutF(-2);
        p.setCutL(12);
        QCOMPARE(p.Skip->text(), QStringLiteral("4"));
        QCOMPARE(p.CutFirst->text(), QStringLiteral("-2"));
        QCOMPARE(p.CutLast->text(), QStringLiteral("12"));
        QCOMPARE(p.skip(), 4);
        QCOMPARE(p.cutFirst(), 0);
        QCOMPARE(p.cutLast(), 12);
    }

    void expTime_data()
    {
        QTest::addColumn<double>("ms");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("style");
        QTest::newRow("100 differing") << 100.0 << false << "100" << kPink;
        QTest::newRow("100 agreeing") << 100.0 << true << "100" << kWhite;
        QTest::newRow("six digits") << 123.4567 << true << "123.457" << kWhite;
        QTest::newRow("large") << 1234567.0 << false << "1.23457e+06" << kPink;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << "nan"
                             << kPink;
    }
    void expTime()
    {
        QFETCH(double, ms);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        QFETCH(QString, style);
        SelectDataFiles p;
        QCOMPARE(p.ExpTime->text(), QStringLiteral("50"));
        p.setExpTimeMS(ms, ok);
        QCOMPARE(p.ExpTime->text(), text);
        QCOMPARE(p.ExpTime->styleSheet(), style);
        // The mark goes when the frames agree again.
        p.setExpTimeMS(75, true);
        QCOMPARE(p.ExpTime->text(), QStringLiteral("75"));
        QCOMPARE(p.ExpTime->styleSheet(), QString::fromLatin1(kWhite));
    }

    void addFileAndCount()
    {
        SelectDataFiles p;
        QCOMPARE(p.Count->text(), QStringLiteral("0"));
        const QStringList names = {QStringLiteral("/d/s_08979_5000.tif"),
                                   QStringLiteral("/d/s_08980_0000.tif"),
                                   QStringLiteral("/d/s_08980_5000.tif")};
        const QList<double> energies = {8979.5, 8980.0, 8980.5};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(p.addFile(names[i], i, 3), energies[i]);
        QCOMPARE(p.Count->text(), QStringLiteral("3"));
        QCOMPARE(p.Selected->count(), 3);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(p.Selected->itemText(i), names[i]);
            QCOMPARE(p.Selected->itemData(i).toDouble(), energies[i]);
        }
        p.clearFiles();
        QCOMPARE(p.Count->text(), QStringLiteral("0"));
        QCOMPARE(p.Selected->count(), 0);
        QCOMPARE(p.Selected->currentIndex(), -1);
    }

    void settingsAffectLaterFiles()
    {
        // A frame keeps the energy it got; only later frames see a change.
        SelectDataFiles p;
        QCOMPARE(p.addFile(QStringLiteral("a.tif"), 0, 2), 0.0);
        p.setEngByNameFactor(1000);
        p.setEngByCalc(true);
        p.setEvenInEng(true);
        p.setEngCalcStart(7000);
        p.setEngCalcDelta(2);
        QCOMPARE(p.addFile(QStringLiteral("b.tif"), 1, 2), 7002.0);
        QCOMPARE(p.Selected->itemData(0).toDouble(), 0.0);
        QCOMPARE(p.Selected->itemData(1).toDouble(), 7002.0);
    }

    void navigation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("arg");
        QTest::addColumn<int>("after");
        QTest::newRow("prev on first") << 3 << 0 << "prev" << 0 << 0;
        QTest::newRow("prev") << 3 << 2 << "prev" << 0 << 1;
        QTest::newRow("next") << 3 << 0 << "next" << 0 << 1;
        QTest::newRow("next on last") << 3 << 2 << "next" << 0 << 2;
        QTest::newRow("prev on empty") << 0 << -1 << "prev" << 0 << -1;
        QTest::newRow("next on empty") << 0 << -1 << "next" << 0 << -1;
        QTest::newRow("select 1") << 3 << 0 << "select" << 1 << 1;
        QTest::newRow("select last") << 3 << 0 << "select" << 2 << 2;
        QTest::newRow("select -1") << 3 << 1 << "select" << -1 << 1;
        QTest::newRow("select count") << 3 << 1 << "select" << 3 << 1;
        QTest::newRow("select on empty") << 0 << -1 << "select" << 0 << -1;
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
        if (after != current)
            QCOMPARE(spy.first().first().toInt(), after);
    }

    void showLatestGate_data()
    {
        QTest::addColumn<bool>("showLatest");
        QTest::addColumn<int>("emitted");
        QTest::newRow("on") << true << 1;
        QTest::newRow("off") << false << 0;
    }
    void showLatestGate()
    {
        QFETCH(bool, showLatest);
        QFETCH(int, emitted);
        SelectDataFiles p;
        QVERIFY(p.additionalSetup.ShowLatest->isChecked());
        p.addFile(QStringLiteral("a.tif"), 0, 2);
        p.addFile(QStringLiteral("b.tif"), 1, 2);
        p.setShowLatest(showLatest);
        QCOMPARE(p.additionalSetup.ShowLatest->isChecked(), showLatest);
        QSignalSpy spy(&p, &SelectDataFiles::currentIndexChanged);
        p.Selected->setCurrentIndex(1);
        QCOMPARE(spy.count(), emitted);
    }

    void dispUnit_data()
    {
        QTest::addColumn<int>("idx");
        QTest::addColumn<int>("current");
        QTest::newRow("0 eV") << 0 << 0;
        QTest::newRow("1 keV") << 1 << 1;
        QTest::newRow("2 deg") << 2 << 2;
        QTest::newRow("3 ignored") << 3 << 1;
        QTest::newRow("100 ignored") << 100 << 1;
        QTest::newRow("-1 none") << -1 << -1;
        QTest::newRow("-7 none") << -7 << -1;
    }
    void dispUnit()
    {
        QFETCH(int, idx);
        QFETCH(int, current);
        SelectDataFiles p;
        p.eofSetup->DisplayUnit->setCurrentIndex(1);
        p.setDispUnit(idx);
        QCOMPARE(p.eofSetup->DisplayUnit->currentIndex(), current);
    }

    void nameSetters()
    {
        SelectDataFiles p;
        EOFSetup* s = p.eofSetup;
        p.setEngByNameRegExp(QStringLiteral("\\d_\\d\\d\\d\\d\\d\\dKeV"));
        QCOMPARE(s->Pattern->text(), QStringLiteral("\\d_\\d\\d\\d\\d\\d\\dKeV"));
        QCOMPARE(s->Factor->text(), QStringLiteral("1"));
        QCOMPARE(s->PatternList->count(), 10);
        QCOMPARE(s->PatternList->currentIndex(), 0);
        QCOMPARE(p.addFile(QStringLiteral("Fe_7_112000KeV.tif"), 0, 1), 7.112);
        p.setEngByNameFactor(1000);
        QCOMPARE(s->Factor->text(), QStringLiteral("1000"));
        QCOMPARE(p.addFile(QStringLiteral("Fe_7_112000KeV.tif"), 0, 1), 7112.0);
        p.setEngByNameFactor(0.1234567);
        QCOMPARE(s->Factor->text(), QStringLiteral("0.123457"));
        p.setEngByName(false);
        QVERIFY(s->FromFileName->isChecked()); // one of the group stays chosen
        p.setEngByCalc(true);
        QVERIFY(s->FromFileNum->isChecked());
        QVERIFY(!s->FromFileName->isChecked());
        p.setEngByName(true);
        QVERIFY(s->FromFileName->isChecked());
        p.setEvenInEng(true);
        QVERIFY(s->EvenInEnergy->isChecked());
        p.setEvenInDeg(true);
        QVERIFY(s->EvenInAngle->isChecked());
        QVERIFY(!s->EvenInEnergy->isChecked());
    }

    void calcSetters()
    {
        SelectDataFiles p;
        EOFSetup* s = p.eofSetup;
        p.setEngCalcEnd(9500);
        QCOMPARE(s->Delta->text(), QStringLiteral("1.5"));
        p.setEngCalcStart(8100);
        QCOMPARE(s->End->text(), QStringLiteral("9600"));
        p.setEngCalcNum(500);
        QCOMPARE(s->NumOfPoints->text(), QStringLiteral("500"));
        QCOMPARE(s->Delta->text(), QStringLiteral("3"));
        p.setEngCalcDelta(0.5);
        QCOMPARE(s->End->text(), QStringLiteral("8350"));
    }

    void engByRef()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("ref.dat"));
        QVERIFY(writeFile(path, "h\n20\n19\n"));
        SelectDataFiles p;
        p.setEngByRef(path);
        QVERIFY(p.eofSetup->FromRefFile->isChecked());
        QCOMPARE(p.eofSetup->RefFilePath->text(), path);
        QCOMPARE(p.eofSetup->refEnergyList().size(), 2);
        p.setEngByRef(QString());
        QCOMPARE(p.eofSetup->RefFilePath->text(), QString());
        QCOMPARE(p.eofSetup->refEnergyList().size(), 2);
    }

    void filesSelectedSignal_data()
    {
        QTest::addColumn<bool>("add");
        QTest::newRow("new") << false;
        QTest::newRow("add") << true;
    }
    void filesSelectedSignal()
    {
        QFETCH(bool, add);
        SelectDataFiles p;
        QVERIFY(p.LoadNewFiles->isChecked());
        if (add)
            p.AddFiles->setChecked(true);
        QVERIFY(p.LoadNewFiles->isChecked() != add);
        QSignalSpy spy(&p, &SelectDataFiles::filesSelected);
        const QStringList files = {QStringLiteral("/d/a.tif"), QStringLiteral("/d/b.tif")};
        emit p.fileDialog->filesSelected(files);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(0).toStringList(), files);
        QCOMPARE(spy.first().at(1).toBool(), !add);
    }

    void forwardedSignals()
    {
        SelectDataFiles p;
        QSignalSpy clear(&p, &SelectDataFiles::clear);
        QSignalSpy set(&p, &SelectDataFiles::setDarkArea);
        QSignalSpy upd(&p, &SelectDataFiles::updateDarkArea);
        QSignalSpy clr(&p, &SelectDataFiles::clearDarkArea);
        p.Clear->click();
        p.additionalSetup.SetDA->click();
        p.additionalSetup.UpDateDA->click();
        p.additionalSetup.UpDateDA->click();
        p.additionalSetup.ClearDA->click();
        QCOMPARE(clear.count(), 1);
        QCOMPARE(set.count(), 1);
        QCOMPARE(upd.count(), 2);
        QCOMPARE(clr.count(), 1);
    }

    void title()
    {
        SelectDataFiles p;
        QCOMPARE(p.Select->text(), QStringLiteral("Data Select"));
        p.setTitle(QStringLiteral("I1 Data"));
        QCOMPARE(p.Select->text(), QStringLiteral("I1 Data"));
        QCOMPARE(p.fileDialog->windowTitle(), QStringLiteral("I1 Data"));
        QCOMPARE(p.eofSetup->windowTitle(), QStringLiteral("I1 Data"));
        QCOMPARE(p.additionalSetup.windowTitle(), QStringLiteral("I1 Data"));
    }

    void darkAreaLabel_data()
    {
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QString>("text");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("cut") << QRectF(10.7, 20.2, 30, 40.9) << "(10,20)-(40,61)";
        QTest::newRow("whole") << QRectF(0, 0, 100, 50) << "(0,0)-(100,50)";
        QTest::newRow("negative toward zero") << QRectF(-2.7, -0.5, 1.2, 0.2) << "(-2,0)-(-1,0)";
        QTest::newRow("nan") << QRectF(nan, 1, 2, 3) << "(-,1)-(-,4)";
        QTest::newRow("inf") << QRectF(0, 0, inf, 3) << "(0,0)-(-,3)";
        QTest::newRow("beyond int") << QRectF(0, 0, 5e9, 1) << "(0,0)-(5000000000,1)";
    }
    void darkAreaLabel()
    {
        QFETCH(QRectF, area);
        QFETCH(QString, text);
        SelectDataFiles p;
        QCOMPARE(p.additionalSetup.DarkArea->text(), QStringLiteral("(-,-)-(-,-)"));
        p.darkArea(area);
        QCOMPARE(p.additionalSetup.DarkArea->text(), text);
    }
};

class TestAdditionalSetup : public QObject {
    Q_OBJECT
private slots:
    void init() { cfg.clear(); }
    void cleanup() { cfg.clear(); }

    void initialState()
    {
        SelectDataFilesAdditionalSetup a;
        QVERIFY(a.ShowLatest->isChecked());
        QVERIFY(a.IgnoreLiveFiles->isChecked());
        QVERIFY(a.UseErrPs->isChecked());
        QCOMPARE(a.ErrPsFile->text(), QString());
        QCOMPARE(a.windowTitle(), QStringLiteral("Select Data Files Additional Setup"));
        ErrPoints* e = a.errPoints();
        QVERIFY(e);
        QVERIFY(!e->use);
        QVERIFY(e->points.isEmpty());
        QVERIFY(e->fileName.isEmpty());
        QVERIFY(!e->contains(0, 0));
    }

    void fromConfiguration_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("use");
        QTest::addColumn<int>("points");
        QTest::newRow("file") << true << true << 2;
        QTest::newRow("missing file") << false << false << 0;
    }
    void fromConfiguration()
    {
        QFETCH(bool, exists);
        QFETCH(bool, use);
        QFETCH(int, points);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("err.dat"));
        if (exists)
            QVERIFY(writeFile(path, "# Size 64 32\n3 4\n5 6\n"));
        cfg.set(QStringLiteral("ErrPoints"), path, path, QString());
        SelectDataFilesAdditionalSetup a;
        QCOMPARE(a.ErrPsFile->text(), exists ? path : QString());
        QCOMPARE(a.errPoints()->use, use);
        QCOMPARE(int(a.errPoints()->points.size()), points);
        QCOMPARE(a.errPoints()->contains(5, 6), exists);
    }

    void errPointsFile_data()
    {
        QTest::addColumn<bool>("useTicked");
        QTest::newRow("use ticked") << true;
        QTest::newRow("use unticked") << false;
    }
    void errPointsFile()
    {
        QFETCH(bool, useTicked);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("err.dat"));
        QVERIFY(writeFile(path, "# Size 64 32\n3 4\n5 6\n7 8\n"));
        SelectDataFilesAdditionalSetup a;
        a.UseErrPs->setChecked(useTicked);
        emit a.errPsDialog()->fileSelected(path);
        QCOMPARE(a.ErrPsFile->text(), path);
        QCOMPARE(a.errPoints()->use, useTicked);
        QCOMPARE(int(a.errPoints()->points.size()), 3);
        QVERIFY(a.errPoints()->contains(7, 8));

        // Toggling the box changes only the flag; the file is not read again.
        QVERIFY(QFile::remove(path));
        a.UseErrPs->setChecked(!useTicked);
        QCOMPARE(a.errPoints()->use, !useTicked);
        QCOMPARE(int(a.errPoints()->points.size()), 3);
        QCOMPARE(a.ErrPsFile->text(), path);
        a.UseErrPs->setChecked(useTicked);
        QCOMPARE(a.errPoints()->use, useTicked);
    }

    void failedReadEmpties()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("err.dat"));
        QVERIFY(writeFile(path, "# Size 64 32\n3 4\n"));
        SelectDataFilesAdditionalSetup a;
        a.errPsDefSelected(path);
        QVERIFY(a.errPoints()->use);
        a.errPsDefSelected(dir.filePath(QStringLiteral("none.dat")));
        QCOMPARE(a.ErrPsFile->text(), QString());
        QVERIFY(!a.errPoints()->use);
        QVERIFY(a.errPoints()->points.isEmpty());
        QVERIFY(a.errPoints()->fileName.isEmpty());
        QVERIFY(!a.errPoints()->contains(3, 4));
    }

    void loadKeepsItsPoints()
    {
        // A loader holding the points of an earlier load never sees them change.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString first = dir.filePath(QStringLiteral("a.dat"));
        const QString second = dir.filePath(QStringLiteral("b.dat"));
        QVERIFY(writeFile(first, "# Size 8 8\n1 1\n"));
        QVERIFY(writeFile(second, "# Size 8 8\n2 2\n3 3\n"));
        SelectDataFilesAdditionalSetup a;
        a.errPsDefSelected(first);
        ErrPoints* held = a.errPoints();
        a.errPsDefSelected(second);
        a.UseErrPs->setChecked(false);
        QVERIFY(held->use);
        QCOMPARE(int(held->points.size()), 1);
        QVERIFY(held->contains(1, 1));
        QVERIFY(a.errPoints() != held);
        QVERIFY(!a.errPoints()->use);
        QCOMPARE(int(a.errPoints()->points.size()), 2);
    }
};

CORVELLINE_TEST(TestSelectDataFiles)
CORVELLINE_TEST(TestAdditionalSetup)
#include "tst_selectdatafiles.moc"
