#include "support/TestRegistry.h"

#include "batch/CmdLine.h"
#include "batch/CmdParams.h"
#include "support/ImageCraft.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCmdParams : public QObject {
    Q_OBJECT
private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("p");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<double>("real");
        QTest::newRow("missing") << "" << 0 << false << 0.0;
        QTest::newRow("+1 is on") << "+1" << 1 << true << 1.0;
        QTest::newRow("the word true is off") << "true" << 0 << false << 0.0;
        QTest::newRow("decimal is no integer") << "2.5" << 0 << false << 2.5;
        QTest::newRow("does not fit an int") << "2147483648" << 0 << false << 2147483648.0;
        QTest::newRow("trailing text") << "7x" << 0 << false << 0.0;
        QTest::newRow("nan is no number") << "nan" << 0 << false << 0.0;
    }
    void conversions()
    {
        QFETCH(QString, p);
        QTEST(cmdInt(p), "integer");
        QTEST(cmdFlag(p), "flag");
        QTEST(cmdReal(p), "real");
    }

    // What each kind of number parameter refuses, and what a word may leave out.
    void refusals_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("frame: a word") << "seek_image abc" << "\"abc\" is no whole number";
        QTest::newRow("frame: a fraction") << "seek_image 3.7" << "\"3.7\" is no whole number";
        QTest::newRow("frame: past an int") << "seek_image 2147483648" << "\"2147483648\" is no whole number";
        QTest::newRow("frame: missing") << "seek_image" << "no number given";
        QTest::newRow("frame 3") << "seek_image 3" << "";
        QTest::newRow("region: a fraction third") << "select_region 10 3 10.5 20" << "\"10.5\" is no whole number";
        QTest::newRow("region: fourth missing") << "select_region 10 3 12" << "no number given";
        QTest::newRow("region: backwards") << "select_region 10 3 -4 20" << "";
        QTest::newRow("skip: negative") << "skip_i1 -1" << "\"-1\" is below 0";
        QTest::newRow("skip: the largest int") << "skip_i1 2147483647" << "";
        QTest::newRow("cut: a word") << "cut_l_i0 x7" << "\"x7\" is no whole number";
        QTest::newRow("flag: the word true") << "Use_I0 true" << "\"true\" is no whole number";
        QTest::newRow("flag: 2 is off") << "set_fluo_type 2" << "";
        QTest::newRow("flag: +1") << "set_fluo_type +1" << "";
        QTest::newRow("flag: missing is off") << "show_latest_i1" << "";
        QTest::newRow("stats window: missing shows it") << "stats_show_window" << "";
        QTest::newRow("display id 7") << "select_disp_image 7" << "\"7\" is not within 0 to 3";
        QTest::newRow("edge 4") << "Suggesting_Edge 4" << "\"4\" is not within 0 to 3";
        QTest::newRow("bins 0") << "stats_bins 0" << "\"0\" is below 1";
        QTest::newRow("real: nan") << "cbar_set_range nan 5" << "\"nan\" is no number";
        QTest::newRow("real: second missing") << "analyzer_set_LCF_range 8900" << "no number given";
        QTest::newRow("real: 1e6 is a number") << "analyzer_dEdge_comp_params 1000000.0 1 0.01" << "";
        QTest::newRow("real: third a word") << "analyzer_dEdge_comp_params 20 1 fine" << "\"fine\" is no number";
        QTest::newRow("edge energy: a word") << "Suggesting_Edge_eV Cu" << "\"Cu\" is no number";
        QTest::newRow("background: label then value") << "analyzer_elems_bg_dE x 3.5" << "";
        QTest::newRow("background: value missing") << "analyzer_elems_bg_dE 3.5" << "";
        QTest::newRow("background: a word value") << "analyzer_elems_bg_dE x y" << "\"y\" is no number";
        QTest::newRow("sub-modes: main alone") << "analyzer_sub_mode 0" << "";
        QTest::newRow("sub-modes: fifth flag a word") << "analyzer_sub_mode 0 1 0 0 on" << "\"on\" is no whole number";
        QTest::newRow("reference row: shift a word") << "analyzer_set_LCF_std 0 1 dE a.dat" << "\"dE\" is no number";
        QTest::newRow("comparison range: negative") << "analyzer_dEdge_comp_params -20 1 0.1" << "\"-20\" is below 0";
        QTest::newRow("comparison range: 0") << "analyzer_dEdge_comp_params 0 1 0.1" << "";
        QTest::newRow("reference row: Victoreen a fraction")
            << "analyzer_set_LCF_std 0 1 0 a.dat 3.7" << "\"3.7\" is neither VIC nor a whole number";
        QTest::newRow("reference row: Victoreen a word")
            << "analyzer_set_LCF_std 0 1 0 a.dat abc" << "\"abc\" is neither VIC nor a whole number";
        QTest::newRow("reference row: Victoreen vic") << "analyzer_set_LCF_std 0 1 0 a.dat vic" << "";
        QTest::newRow("reference row: Victoreen 2") << "analyzer_set_LCF_std 0 1 0 a.dat 2" << "";
        QTest::newRow("reference row: Victoreen missing") << "analyzer_set_LCF_std 0 1 0 a.dat" << "";
        QTest::newRow("calibration type 5") << "calib_type 5" << "\"5\" is not within 0 to 1";
        QTest::newRow("calibration type 0") << "calib_type 0" << "";
        QTest::newRow("text words take anything") << "save_image 3.7" << "";
        QTest::newRow("further words are not read") << "set_view_w 3 px" << "";
    }
    void refusals()
    {
        QFETCH(QString, line);
        const CmdLine cmd(line);
        QTEST(cmdParamsRefusal(exCmdId(cmd), cmd), "refusal");
    }

    // Paths in the folder whether or not it is written with its closing slash.
    void pattern_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QStringList>("filters");
        QTest::addColumn<QStringList>("expected");
        const QStringList tifs{"a_8990.tif", "B_9000.tif", "c_9010.tif"};
        QTest::newRow("tif filter, name order") << "d" << QStringList{"*.tif"} << tifs;
        QTest::newRow("closing slash") << "d/" << QStringList{"*.tif"} << tifs;
        QTest::newRow("no filter: every file") << "d" << QStringList() << tifs + QStringList{"notes.txt"};
        QTest::newRow("missing folder") << "nothere" << QStringList() << QStringList();
    }
    void pattern()
    {
        QFETCH(QString, dir);
        QFETCH(QStringList, filters);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("d/sub.tif"))); // a folder is no file
        for (const char* n : {"c_9010.tif", "a_8990.tif", "notes.txt", "B_9000.tif"})
            QVERIFY(craft::writeBytes(tmp.filePath(QStringLiteral("d/") + QLatin1String(n)), "x"));
        QStringList paths;
        for (const QString& e : expected)
            paths << tmp.path() + QStringLiteral("/d/") + e;
        QCOMPARE(filesOfPattern(tmp.filePath(dir), filters), paths);
    }
};

CORVELLINE_TEST(TestCmdParams)
#include "tst_cmdparams.moc"
