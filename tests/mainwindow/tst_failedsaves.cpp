#include "support/FileSizeLimit.h"
#include "support/InTempDir.h"
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/MapGrid.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/FVView.h"
#include "analysis/LCFReference.h"
#include "batch/BatchCtrl.h"
#include "display/ImgDispA.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/ErrPoints.h"
#include "mainwindow/Body.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
double pixel(int x, int y, int k) { return 1000.0 + 37.0 * x + 11.0 * y + (k > 3 ? 400.0 : 0.0); }

// A batch word, or one of the writers no batch word reaches ("!..."); %1 is
// the folder, which is also the working folder.
void run(Body& b, QString line, const QString& dir)
{
    line.replace(QLatin1String("%1"), dir);
    if (line == QLatin1String("!spectra"))
        b.saveEachSpectrum(dir + "/bins.txt");
    else if (line == QLatin1String("!sumup"))
        b.doSumUp();
    else if (line == QLatin1String("!fv"))
        b.analyzer->fvView()->updateMap();
    else if (line == QLatin1String("!dark"))
        b.darkCheck();
    else if (line == QLatin1String("!flatdark"))
        b.saveFlatDark();
    else if (line == QLatin1String("!batch"))
        b.batchCtrl->save(dir + "/b.bat");
    else
        b.execCmdSlot(CmdLine(line), false);
}

// Files of the folder, temporaries included, and their bytes; a date line
// stands for itself only.
QMap<QString, QByteArray> filesIn(const QString& dir)
{
    QMap<QString, QByteArray> res;
    for (const QString& n : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(QDir(dir).filePath(n));
        QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        QList<QByteArray> lines = bytes.split('\n');
        for (QByteArray& l : lines)
            if (l.contains("Date"))
                l = "Date";
        res[n] = lines.join('\n');
    }
    return res;
}
} // namespace

// Every writer on a disk that fills: a file is there whole or not at all, an
// earlier file of its name keeps its bytes, each failed file is told once (the
// batch log and stderr, with the system's reason) and no success is announced.
class TestFailedSaves : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    void fullDisk_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("files"); // what a run with room writes
        QTest::addColumn<int>("events");        // Stars events of a run with room
        QTest::newRow("text data") << QStringList{"saveDataCfg_save_as_text", "save_data %1/t.dat"}
                                   << QStringList{"t-0.dat"} << 1;
        QTest::newRow("TIFF data, colour bar") << QStringList{"saveDataCfg_save_as_tiff", "save_data %1/m.png"}
                                               << QStringList{"m-0--cBar.png", "m-0.tif"} << 0;
        QTest::newRow("picture, colour bar, info") << QStringList{"save_image %1/a"}
                                                   << QStringList{"a-cBar.png", "a.info", "a.png"} << 1;
        QTest::newRow("every LCF picture") << QStringList{"save_all_images %1/lcf.png"}
                                           << QStringList{"lcf-0-0.png", "lcf-0-1.png"} << 0;
        QTest::newRow("spectra of the pointed bin and the screen")
            << QStringList{"save_spectra %1/s.dat"}
            << QStringList{"s-0-0-0x0-T.dat", "s-0-0-0x0-std.dat", "s-0-0-0x0.png"} << 2;
        QTest::newRow("per-bin spectra") << QStringList{"!spectra"} << QStringList{"bins.dat"} << 0;
        QTest::newRow("energy-shift map") << QStringList{"calib_set_edge_ev 8979.5", "calib_save_map %1/e"}
                                          << QStringList{"e.emp"} << 0;
        QTest::newRow("sum-up") << QStringList{"!sumup"} << QStringList{"sumUpImg.png"} << 0;
        QTest::newRow("FV pictures") << QStringList{"!fv"} << QStringList{"fvHMap.png", "fvMap.png"} << 0;
        QTest::newRow("dark check")
            << QStringList{"!dark"}
            << QStringList{"dark-allDarkPointNums.dat", "dark-allDarkPoints-onlyInErrPs.dat",
                           "dark-allDarkPoints-onlyInPs1.dat", "dark-allDarkPoints.dat", "dark-hg-all.dat"}
            << 0;
        QTest::newRow("flat and dark") << QStringList{"!flatdark"} << QStringList{"dark.dat", "flat.dat"} << 0;
        QTest::newRow("batch file") << QStringList{"!batch"} << QStringList{"b.bat"} << 0;
    }
    void fullDisk()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, files);
        QFETCH(int, events);
        InTempDir here;
        const QString top = QDir(here.tmp.path()).canonicalPath();
        const QString clean = top + "/clean";
        const QString full = top + "/full";
        QVERIFY(QDir().mkpath(clean) && QDir().mkpath(full));

        std::unique_ptr<Body> b = craft::bodyWithStack(9, 6, 8, pixel);
        b->analyzer->ShowZ->setChecked(true);
        const AnalyzeCond g = testmaps::grid(9, 6, 0, 0, 0, 0, 9, 6);
        const auto value = [](int x, int y) { return 0.1 + 0.07 * x + 0.013 * y; };
        for (Analyzed2DRes* m : {b->analyzer->selectedRes(), b->analyzer->lcfResMap(0, 0),
                                 b->analyzer->lcfResMap(0, 1), &b->eShiftMap}) {
            testmaps::fill(*m, g, value);
            m->genImg();
        }
        b->analyzer->lcfRefs[0]->XFS->Use->setChecked(true);
        b->analyzer->lcfRefs[0]->XFS->load(clean + "/ref.dat");
        b->dispA->showOverLayer = true;
        b->dispA->overlayMap = b->analyzer->selectedRes();
        b->analyzer2->DarkTh->setText("1200");
        // Not dark: they fill the list of error points that are not.
        struct KeepErrPoints {
            const ErrPoints before = globalErrPoints;
            ~KeepErrPoints() { globalErrPoints = before; }
        } keep;
        globalErrPoints.points = {QPoint(0, 0), QPoint(1, 1), QPoint(2, 1)};
        b->batchCtrl->BatchCmds->setPlainText("set_view_w 3\n");
        QSignalSpy sent(&b->stars, &Stars::sendingEventToStars);

        QDir::setCurrent(clean);
        for (const QString& l : lines)
            run(*b, l, clean);
        const QMap<QString, QByteArray> withRoom = filesIn(clean);
        QCOMPARE(withRoom.keys(), files);
        QCOMPARE(sent.count(), events);

        // The same saves over earlier files of the same names, on a full disk.
        QDir::setCurrent(full);
        for (const QString& n : files) {
            QFile f(QDir(full).filePath(n));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("earlier " + n.toUtf8()) > 0);
        }
        const QString logBefore = b->batchCtrl->BatchLogs->toPlainText();
        sent.clear();
        testlog::Capture log;
        {
            FileSizeLimit limit;
            QVERIFY(limit.active());
            for (const QString& l : lines)
                run(*b, l, full);
        }
        const QMap<QString, QByteArray> after = filesIn(full);
        QCOMPARE(after.keys(), files);
        for (const QString& n : files)
            QCOMPARE(after[n], "earlier " + n.toUtf8());
        QCOMPARE(sent.count(), 0);
        const auto told = [&] { return b->batchCtrl->BatchLogs->toPlainText().mid(logBefore.size()); };
        // A colour bar or an information file is tried only beside the picture
        // or TIFF it belongs to, once that was written.
        QStringList tried = files;
        tried.removeIf([](const QString& n) { return n.contains(QLatin1String("-cBar")) || n.endsWith(".info"); });
        QTRY_COMPARE(told().count(QLatin1String("Can't save ")), tried.size());
        for (const QString& n : tried) {
            const QString line = "Can't save " + QDir(full).filePath(n) + ": File too large";
            QVERIFY2(told().count(line) == 1, qPrintable(line + "\n--- log:\n" + told()));
            QCOMPARE(log.linesStartingWith(line).size(), 1);
        }
        QCOMPARE(log.linesStartingWith("Can't").size(), tried.size());

        // With room again: whole files, as the first run wrote them.
        for (const QString& l : lines)
            run(*b, l, full);
        QCOMPARE(filesIn(full), withRoom);
    }
};

CORVELLINE_TEST(TestFailedSaves)
#include "tst_failedsaves.moc"
