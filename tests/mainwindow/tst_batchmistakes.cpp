#include "support/ImageCraft.h"
#include "support/InTempDir.h"
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "batch/BatchCtrl.h"
#include "mainwindow/Body.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

const int waitMs = 30000;

int endsIn(const Body& b) { return int(b.batchCtrl->BatchLogs->toPlainText().count(QLatin1String("end"))); }

} // namespace

// Mistakes of an unattended batch, run through the batch window on stacks
// read from files: each is told once, in the batch log and on stderr, and
// nothing stale or empty is written.
class TestBatchMistakes : public QObject {
    Q_OBJECT
    QTemporaryDir stacks; // s1 and s3 hold a stack each; s2 is missing

private slots:
    void initTestCase()
    {
        QVERIFY(stacks.isValid());
        loopback::resetConfig();
        for (const char* s : {"s1", "s3"}) {
            QVERIFY(QDir(stacks.path()).mkdir(QString::fromLatin1(s)));
            // 12 x 8 frames over an edge between the 4th and 5th file.
            for (int i = 0; i < 8; i++)
                QVERIFY(craft::writeTiff(stacks.filePath(QStringLiteral("%1/f_%2.tif").arg(s).arg(8990 + 3 * i)), 12,
                                         8, craft::ramp16(12, 8, i < 4 ? 3000 : 900, 40)));
        }
        // A reference with its edge at 9000 eV, past which the stacks hold 9002 to 9011 eV.
        QFile ref(stacks.filePath(QStringLiteral("ref.dat")));
        QVERIFY(ref.open(QIODevice::WriteOnly | QIODevice::Text));
        for (int e = 8950; e <= 9050; ++e)
            ref.write(QByteArray::number(e) + ' ' + QByteArray::number(std::clamp((e - 8995) / 10.0, 0.0, 1.0)) + '\n');
        QVERIFY(craft::writeTiff(stacks.filePath(QStringLiteral("odd.tif")), 10, 6, craft::ramp16(10, 6, 500, 7)));
    }

    // %1 in the script is the row's own folder (also the working folder), %2
    // the folder of the stacks. "written" is every file the folder ends with.
    void mistakes_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<bool>("ends");
        // Edge positions over bins of 3 x 3 pixels.
        const QStringList walk{"analyzer_select_sub_mode_dEdge 1", "set_band_w 1", "set_band_h 1",
                               "select_region 1 1 9 6", "saveDataCfg_save_as_text"};

        QTest::newRow("loop over folders, s2 missing")
            << walk + QStringList{":for k $k$ 1 3", "load_I1_files_of_pattern NEW %2/s$k$/ *.tif",
                                  "select_region 2 1 10 7", "analyzer_exec_LCF", "save_data %1/map_$k$.dat",
                                  ":next k"}
            << QStringList{"map_1-0.dat", "map_3-0.dat"}
            << QStringList{"load_I1_files_of_pattern: no file in the folder \"%2/s2/\" matches \"*.tif\"",
                           "Can't save %1/map_2-0.dat: the selected map holds no result"}
            << true;
        QTest::newRow("new load of missing files")
            << walk + QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "analyzer_exec_2da",
                                  "save_data %1/a.dat", "load_I1_files NEW %1/gone_1.tif %1/gone_2.tif",
                                  "analyzer_exec_2da", "save_data %1/b.dat"}
            << QStringList{"a-0.dat"} << QStringList{"Can't save %1/b-0.dat: the selected map holds no result"}
            << true;
        // No walk in between: the maps are of the stack the load replaced.
        QTest::newRow("new load of missing files, then save")
            << walk + QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "analyzer_exec_2da",
                                  "save_data %1/a.dat", "load_I1_files NEW %1/gone_1.tif", "save_data %1/b.dat"}
            << QStringList{"a-0.dat"} << QStringList{"Can't save %1/b-0.dat: the selected map holds no result"}
            << true;
        QTest::newRow("empty pattern load, then save")
            << walk + QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "analyzer_exec_2da",
                                  "save_data %1/a.dat", "load_I1_files_of_pattern NEW %2/s2/ *.tif",
                                  "save_data %1/b.dat"}
            << QStringList{"a-0.dat"} << QStringList{"Can't save %1/b-0.dat: the selected map holds no result"}
            << true;
        // Lines counted from 1 as the editor shows them; a loop walks each twice.
        QTest::newRow("misspelled words")
            << QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", ":for i $i$ 1 2", "analyzer_exec_LFC",
                           "save_dta %1/x$i$.dat", "save_image %1/p$i$", ":nxt i"}
            << QStringList{"p1.png", "p1-cBar.png", "p1.info"}
            << QStringList{"Err: unknown word analyzer_exec_LFC in line 3 skipped",
                           "Err: unknown word save_dta in line 4 skipped", "Err: unknown word :nxt in line 6 skipped"}
            << true;
        QTest::newRow("map number past the panel's")
            << QStringList{"analyzer_select_image 99"} << QStringList{}
            << QStringList{"Can't run analyzer_select_image: the analyser has no map numbered 99"} << true;
        QTest::newRow("reference rows past the panel's")
            << QStringList{"analyzer_set_LCF_std 7 1 0 %2/ref.dat 0", "analyzer_set_LCF_std -1 1 0 %2/ref.dat 0"}
            << QStringList{}
            << QStringList{"Can't run analyzer_set_LCF_std: the analyser has no reference row 7; its rows are 0 to 3",
                           "Can't run analyzer_set_LCF_std: the analyser has no reference row -1; its rows are 0 to 3"}
            << true;
        QTest::newRow(":for with an end that is a word")
            << QStringList{":for i $i$ 1 abc", "save_image %1/p$i$", ":next i"} << QStringList{}
            << QStringList{"Can't run :for i in line 1: its end \"abc\" is no whole number; its lines up to :next i "
                           "are skipped"}
            << true;
        // From 10 eV past the edge, where a bin's post-edge line is fitted, the range holds no energy.
        QTest::newRow("fitting range without post-edge energies")
            << QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "analyzer_select_sub_mode_LCF 1",
                           "analyzer_set_LCF_std 0 1 0 %2/ref.dat 0", "analyzer_set_LCF_range 8990 9005",
                           "set_band_w 1", "set_band_h 1", "select_region 1 1 9 6", "analyzer_exec_LCF",
                           "save_data %1/f.dat"}
            << QStringList{}
            << QStringList{"Can't analyse: Fitting Range 8990 to 9005 eV holds 0 of the stack's energies from 90"}
            << true;
        QTest::newRow("new load of a missing file")
            << QStringList{"load_I1_files NEW %1/nosuch.tif", "load_I0_files_of_pattern NEW %2/s2/ *.tif"}
            << QStringList{}
            << QStringList{"Can not open (1) %1/nosuch.tif", "No file was read: the I1 stack is empty",
                           "No file was read: the I0 stack is empty"}
            << true;
        QTest::newRow("frame of another size")
            << QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "load_I1_files ADD %2/odd.tif"}
            << QStringList{} << QStringList{"Frame of 10 x 6 pixels in a stack of 12 x 8, not loaded: %2/odd.tif"}
            << true;
        QTest::newRow("analyse with nothing loaded")
            << QStringList{"analyzer_exec_2da"} << QStringList{}
            << QStringList{"Can't analyse: no I1 stack is loaded"} << true;
        QTest::newRow("open quote")
            << QStringList{":echo \"unterminated text"} << QStringList{}
            << QStringList{"Err: line 1 [:echo \"unterminated text]: a quote opens an item but does not close it, "
                           "the rest of the line is taken as the item"}
            << true;
        QTest::newRow("next without its loop")
            << QStringList{":for i $i$ 1 2", ":next j", "set_view_w 3"} << QStringList{}
            << QStringList{"Err: no loop j for :next j in line 2 (no :for j before it), skipped"} << true;
        QTest::newRow("save_spectra without a stack")
            << QStringList{"save_spectra %1/spec"} << QStringList{}
            << QStringList{"Can't save the spectra %1/spec: no stack loaded"} << true;
        QTest::newRow("save_spectra without a name")
            << QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif", "save_spectra"} << QStringList{}
            << QStringList{"Can't save: no file name"} << true;
        // The appended ":end" lies in the block, so the batch never ends.
        QTest::newRow("comment block never closed")
            << QStringList{"set_view_w 3", ":rem_start", "quit"} << QStringList{}
            << QStringList{"Err: the comment block opened at line 2 was never closed"} << false;
        // Map 0 of the first reference row: no LCF ran, so it was never computed.
        QTest::newRow("save of a map never computed, TIFF")
            << QStringList{"load_I1_files_of_pattern NEW %2/s1/ *.tif"} + walk
                   + QStringList{"saveDataCfg_save_as_tiff", "analyzer_exec_2da", "save_data %1/d.tif",
                                 "analyzer_select_image 0", "save_data %1/m.tif"}
            << QStringList{"d-0.tif", "d-0--cBar.tif"}
            << QStringList{"Can't save %1/m-0.tif: the selected map holds no result"} << true;
    }
    void mistakes()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, written);
        QFETCH(QStringList, told);
        QFETCH(bool, ends);
        InTempDir here;
        const QString dir = QDir(here.tmp.path()).canonicalPath();
        for (QStringList* texts : {&script, &told}) {
            for (QString& t : *texts)
                t.replace(QLatin1String("%1"), dir).replace(QLatin1String("%2"), stacks.path());
        }

        testlog::Capture log;
        Body body;
        const int before = endsIn(body);
        body.batchCtrl->BatchCmds->setPlainText(script.join(u'\n'));
        body.batchCtrl->execCmdsSlot();
        const auto batchLog = [&body] { return body.batchCtrl->BatchLogs->toPlainText(); };
        if (ends) {
            QVERIFY(QTest::qWaitFor([&] { return endsIn(body) > before; }, waitMs));
        } else {
            QVERIFY2(QTest::qWaitFor([&] { return batchLog().contains(told.last()); }, waitMs),
                     qPrintable(batchLog()));
        }

        for (const QString& t : told) {
            QVERIFY2(batchLog().count(t) == 1, qPrintable(t + QStringLiteral("\n--- log:\n") + batchLog()));
            QVERIFY2(log.linesStartingWith(t).size() == 1, qPrintable(t));
        }
        QStringList found = QDir(dir).entryList(QDir::Files, QDir::Name);
        written.sort();
        QCOMPARE(found, written);
    }

    // A dark file chosen in the window that cannot be read is told as a batch's are.
    void darkFileRefused()
    {
        const QString name = stacks.filePath(QStringLiteral("no dark.tif"));
        const QString line = QStringLiteral("Can not open (1) ") + name;
        testlog::Capture log;
        Body body;
        body.selectedDark(name);
        QTRY_VERIFY(body.batchCtrl->BatchLogs->toPlainText().contains(line));
        QCOMPARE(log.linesStartingWith(line).size(), 1);
    }
};

CORVELLINE_TEST(TestBatchMistakes)
#include "tst_batchmistakes.moc"
