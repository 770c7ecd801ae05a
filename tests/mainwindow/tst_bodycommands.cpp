#include "support/LogCapture.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"
#include "support/StackBody.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "calibration/CalibCtrl.h"
#include "display/ImgDispA.h"
#include "foundation/Cfg.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"
#include "mainwindow/SaveDataCfg.h"
#include "support/ImageCraft.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace {
// The panel of "panel.widget".
QWidget* panelOf(Body& b, const QString& target)
{
    const QString key = target.section(u'.', 0, 0);
    SelectDataFiles* panel = key.startsWith(QLatin1String("i1")) ? b.SelectI1Files : b.SelectI0Files;
    return key == QLatin1String("main") ? static_cast<QWidget*>(&b)
           : key == QLatin1String("stats") ? static_cast<QWidget*>(&b.stats)
           : key == QLatin1String("an") ? b.analyzer
           : key == QLatin1String("cfg") ? b.saveDataCfg
           : key == QLatin1String("view") ? b.xafsView
           : key == QLatin1String("calib") ? b.calibCtrl
           : key.endsWith(QLatin1String("eng")) ? static_cast<QWidget*>(panel->eofSetup)
                                                : panel;
}

// "panel.widget": a line edit's text, a button's check state, a combo's index.
QString stateOf(Body& b, const QString& target)
{
    if (target == QLatin1String("main.region")) {
        const QRectF a = b.dispA->sel.area;
        return QStringLiteral("%1 %2 %3 %4").arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height());
    }
    QWidget* w = panelOf(b, target)->findChild<QWidget*>(target.section(u'.', 1));
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QAbstractButton*>(w))
        return c->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    if (auto* c = qobject_cast<QComboBox*>(w))
        return QString::number(c->currentIndex());
    return QStringLiteral("no widget");
}
} // namespace

class TestBodyCommands : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }
    void init() { loopback::resetConfig(); }
    void cleanup() { loopback::resetConfig(); }

    // Every word but "quit" gets exactly one answer, the one the dispatcher
    // waits for, and no second one later.
    void everyWordAnsweredOnce()
    {
        Body body;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        QList<int> expected;
        for (int id = 0; id <= NOT_EX_CMD; id++) {
            if (id == QUIT)
                continue;
            const CmdLine cmd(exCmdName(EX_CMD_ID(id)) + u' ' + tmp.filePath(QStringLiteral("every")));
            expected << BatchDispatcher::answerIdOf(cmd, false);
            body.execCmdSlot(cmd, false);
            QTRY_COMPARE_WITH_TIMEOUT(answers.count(), expected.size(), 5000);
        }
        QTest::qWait(300);
        QList<int> got;
        for (const QList<QVariant>& a : answers)
            got << a.at(0).toInt();
        QCOMPARE(got, expected);
    }

    void errorsAndComments_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("inRem");
        QTest::addColumn<QString>("log");
        QTest::newRow("sum-up mode has no handler") << "analyzer_select_main_mode_sumUp 1  # as before" << false
                                                    << "Err: analyzer_select_main_mode_sumUp 1 \n";
        QTest::newRow("control word: no message") << ":for i $i$ 1 2" << false << "";
        QTest::newRow("inside a comment block: no effect") << "set_view_w 9" << true << "";
    }
    void errorsAndComments()
    {
        QFETCH(QString, line);
        QFETCH(bool, inRem);
        Body body;
        body.vHWidth_->setText(QStringLiteral("1"));
        QSignalSpy answers(&body, &Body::finishBatchExec);
        body.execCmdSlot(CmdLine(line), inRem);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.at(0).at(0).toInt(), int(NOT_EX_CMD));
        QTEST(body.batchCtrl->BatchLogs->toPlainText(), "log");
        QCOMPARE(body.vHWidth_->text(), QStringLiteral("1"));
    }

    // Lines are separated by ";", checks are "panel.widget=state".
    void wordsSetWidgets_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("checks");
        QTest::newRow("no integer changes nothing; one panel only") << "skip_i1 5;skip_i1 x7;cut_f_i0 7"
                                                           << QStringList{"i1.Skip=5", "i0.CutFirst=7", "i1.CutFirst=0"};
        QTest::newRow("nan is no factor") << "eng_by_name_factor_i1 3;eng_by_name_factor_i1 nan"
                                          << QStringList{"i1eng.Factor=3"};
        QTest::newRow("true is no flag") << "Use_I0 1;Use_I0 true;set_fluo_type 01"
                                         << QStringList{"main.UseI0=on", "main.FluoType=on"};
        QTest::newRow("exclusive choice not unchecked") << "eng_calc_even_in_deg_i1 1;eng_calc_even_in_eng_i1 0"
                                                        << QStringList{"i1eng.EvenInAngle=on"};
        QTest::newRow("copper K edge in eV") << "Suggesting_Elm Cu;Suggesting_Edge 0"
                                             << QStringList{"main.SuggestingEeV=8984.36"};
        QTest::newRow("symbol in the wrong case") << "Suggesting_Edge_eV 123;Suggesting_Elm cu"
                                                  << QStringList{"main.SuggestingEeV=123"};
        QTest::newRow("edge outside the four") << "Suggesting_Elm Fe;Suggesting_Edge_eV 5;Suggesting_Edge 7"
                                               << QStringList{"main.SuggestingEeV=5"};
        QTest::newRow("band: view and analysis") << "set_band_w 4;set_view_h 2.5"
                                                 << QStringList{"main.vHWidth_=4", "main.aHWidth_=4", "main.vVWidth_=10"};
        QTest::newRow("display by id, unknown id ignored") << "select_disp_image 2;select_disp_image 7"
                                                           << QStringList{"main.ShowShiftMap=on"};
        QTest::newRow("scale to 6 digits") << "saveDataCfg_tiff_scale_min -2.25e-7;saveDataCfg_tiff_scale_max 1234567"
                                           << QStringList{"cfg.TiffScaleMin=-2.25e-07", "cfg.TiffScaleMax=1.23457e+06"};
        QTest::newRow("sub-modes in order") << "analyzer_sub_mode 0 1 0 0 0 1"
            << QStringList{"an.Sel2DADEdgeA=on", "an.Sel2DAMLCFA=off", "an.Sel2DARAA=off", "an.Sel2DFVA=on"};
        QTest::newRow("both scale maxima") << "analyzer_set_scale_max 5"
                                           << QStringList{"an.DMutScaleMax=5", "an.RatioScaleMax=5"};
        QTest::newRow("background value comes second") << "analyzer_elems_bg_dE x 3.5;analyzer_set_LCF_range 8900 9100.5"
                                                       << QStringList{"an.BGVDE=3.5", "an.LCFRange2=9100.5"};
        QTest::newRow("element ROI: start and end") << "analyzer_target_elements Fe;analyzer_elems_roi Fe-K 8990 9010"
                                                    << QStringList{"an.ROIs=8990", "an.ROIe=9010"};
    }
    void wordsSetWidgets()
    {
        QFETCH(QString, lines);
        QFETCH(QStringList, checks);
        Body body;
        for (const QString& l : lines.split(u';'))
            body.execCmdSlot(CmdLine(l), false);
        for (const QString& c : checks)
            QCOMPARE(stateOf(body, c.section(u'=', 0, 0)), c.section(u'=', 1));
    }

    // A number a word cannot read is told with the word and the text, changes
    // nothing, and the word is answered once with its own id. "before" sets
    // the state the refused line must leave as it is.
    void numbersRefused_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("told");
        const QString region = QStringLiteral("select_region 2 3 40 20");
        QTest::newRow("frame: a word") << "" << "seek_image abc" << "main.ImgNo="
                                       << "Can't run seek_image: \"abc\" is no whole number";
        QTest::newRow("frame: a fraction") << "" << "seek_image 3.7" << "main.ImgNo="
                                           << "Can't run seek_image: \"3.7\" is no whole number";
        QTest::newRow("frame: past an int") << "" << "seek_image 2147483648" << "main.ImgNo="
                                            << "Can't run seek_image: \"2147483648\" is no whole number";
        QTest::newRow("frame: nothing") << "" << "seek_image" << "main.ImgNo="
                                        << "Can't run seek_image: no number given";
        QTest::newRow("region: a fraction") << region << "select_region 10 3 10.5 20" << "main.region=2 3 38 17"
                                            << "Can't run select_region: \"10.5\" is no whole number";
        QTest::newRow("skip: a word") << "skip_i1 5" << "skip_i1 x7" << "i1.Skip=5"
                                      << "Can't run skip_i1: \"x7\" is no whole number";
        QTest::newRow("cut: negative") << "cut_l_i0 2" << "cut_l_i0 -3" << "i0.CutLast=2"
                                       << "Can't run cut_l_i0: \"-3\" is below 0";
        QTest::newRow("flag: the word true") << "Use_I0 1" << "Use_I0 true" << "main.UseI0=on"
                                             << "Can't run Use_I0: \"true\" is no whole number";
        QTest::newRow("display id 7") << "select_disp_image 2" << "select_disp_image 7" << "main.ShowShiftMap=on"
                                      << "Can't run select_disp_image: \"7\" is not within 0 to 3";
        QTest::newRow("bin half size 2.5") << "set_band_w 4" << "set_band_w 2.5" << "main.aHWidth_=4"
                                           << "Can't run set_band_w: \"2.5\" is no whole number";
        QTest::newRow("bins 0") << "stats_bins 40" << "stats_bins 0" << "stats.Bins=40"
                                << "Can't run stats_bins: \"0\" is below 1";
        QTest::newRow("comparison step a word") << "" << "analyzer_dEdge_comp_params 20 1 fine"
                                                << "an.DEdgeCWFullRangeEV=20"
                                                << "Can't run analyzer_dEdge_comp_params: \"fine\" is no number";
        QTest::newRow("edge energy a symbol") << "Suggesting_Edge_eV 9000.5" << "Suggesting_Edge_eV Cu"
                                              << "main.SuggestingEeV=9000.5"
                                              << "Can't run Suggesting_Edge_eV: \"Cu\" is no number";
        QTest::newRow("LCF range: nan") << "analyzer_set_LCF_range 8900 9100" << "analyzer_set_LCF_range nan 9050"
                                        << "an.LCFRange2=9100"
                                        << "Can't run analyzer_set_LCF_range: \"nan\" is no number";
        QTest::newRow("background value a word") << "analyzer_elems_bg_dE x 3.5" << "analyzer_elems_bg_dE x y"
                                                 << "an.BGVDE=3.5"
                                                 << "Can't run analyzer_elems_bg_dE: \"y\" is no number";
    }
    void numbersRefused()
    {
        QFETCH(QString, before);
        QFETCH(QString, line);
        QFETCH(QString, check);
        QFETCH(QString, told);
        Body body;
        if (!before.isEmpty())
            body.execCmdSlot(CmdLine(before), false);
        testlog::Capture log;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        const CmdLine cmd(line);
        body.execCmdSlot(cmd, false);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.at(0).at(0).toInt(), int(exCmdId(cmd)));
        QCOMPARE(stateOf(body, check.section(u'=', 0, 0)), check.section(u'=', 1));
        QCOMPARE(body.batchCtrl->BatchLogs->toPlainText().count(told), 1);
        QCOMPARE(log.linesStartingWith(told).size(), 1);
        QTest::qWait(50);
        QCOMPARE(answers.count(), 1);
    }

    // A window field an action reads that holds no number of its kind shows
    // it; the action does not start and says why, answering the batch once.
    void fieldsRefused_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("field"); // "panel.widget"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("told");
        const QString walk = QStringLiteral("analyzer_exec_2da");
        QTest::newRow("Sum R. abc") << "" << "main.vHWidth_" << "abc" << walk
                                    << "Can't analyse: Sum R. \"abc\" is no whole number of 0 or more";
        QTest::newRow("Sum R. -5") << "" << "main.vVWidth_" << "-5" << walk
                                   << "Can't analyse: Sum R. \"-5\" is no whole number of 0 or more";
        QTest::newRow("A. Step 1.5") << "" << "main.aHWidth_" << "1.5" << walk
                                     << "Can't analyse: A. Step \"1.5\" is no whole number of 0 or more";
        QTest::newRow("fitting range abc") << "analyzer_select_sub_mode_LCF 1" << "an.LCFRange1" << "abc" << walk
                                           << "Can't analyse: Fitting Range \"abc\" is no number";
        QTest::newRow("fitting range empty") << "analyzer_select_sub_mode_LCF 1" << "an.LCFRange2" << "" << walk
                                             << "Can't analyse: Fitting Range \"\" is no number";
        QTest::newRow("comparison range") << "analyzer_select_sub_mode_dEdge 1;analyzer_dEdge_select_mode_comp"
                                          << "an.DEdgeCWFullRangeEV" << "wide" << walk
                                          << "Can't analyse: Comp. Range \"wide\" is no number of 0 or more";
        QTest::newRow("comparison range negative") << "analyzer_select_sub_mode_dEdge 1;analyzer_dEdge_select_mode_comp"
                                                   << "an.DEdgeCWFullRangeEV" << "-20" << walk
                                                   << "Can't analyse: Comp. Range \"-20\" is no number of 0 or more";
        QTest::newRow("suggestion in use") << "Suggest_Elm 1" << "main.DPreE" << "x" << walk
                                           << "Can't analyse: Suggest Elm. pre-edge end \"x\" is no number";
        QTest::newRow("edge energy of the mid point") << "analyzer_select_sub_mode_dEdge 1" << "main.SuggestingEeV" << ""
                                                      << walk
                                                      << "Can't analyse: Suggest Elm. edge energy \"\" is no number";
        QTest::newRow("Skip x, new I1 load") << "" << "i1.Skip" << "x" << "load_I1_files NEW a.tif b.tif"
                                              << "Can't load the I1 files: Skip \"x\" is no whole number of 0 or more";
        QTest::newRow("Cut L. -1, I0 load") << "" << "i0.CutLast" << "-1" << "load_I0_files ADD a.tif"
                                             << "Can't load the I0 files: Cut L. \"-1\" is no whole number of 0 or more";
        const QString elems = QStringLiteral("analyzer_select_sub_mode_elems 1;analyzer_target_elements Cu");
        QTest::newRow("element edge energy") << elems << "an.Eng" << "8979eV" << walk
                                             << "Can't analyse: Cu-K edge energy \"8979eV\" is no number";
        QTest::newRow("element ROI end") << elems << "an.ROIe" << "" << walk
                                         << "Can't analyse: Cu-K ROI \"\" is no number";
        QTest::newRow("element threshold") << elems << "an.ThDMut" << "low" << walk
                                           << "Can't analyse: Cu-K Th dmut \"low\" is no number";
        QTest::newRow("element standard ratio") << elems << "an.StdRatio" << "1/2" << walk
                                                << "Can't analyse: Cu-K Std. Ratio \"1/2\" is no number";
        QTest::newRow("element background ROI") << elems << "an.BGVROI" << "-" << walk
                                                << "Can't analyse: BG Values ROI \"-\" is no number";
        QTest::newRow("feature value region") << "+an.Sel2DFVA" << "an.FVElimReg" << "wide" << walk
                                              << "Can't analyse: F.V. Elim Reg \"wide\" is no number";
        QTest::newRow("inner product range") << "calib_type 1" << "calib.DEw" << "20 eV" << "calib_exec"
                                             << "Can't calibrate: Initial E-range \"20 eV\" is no number of 0 or more";
        QTest::newRow("inner product range negative")
            << "calib_type 1" << "calib.DEw" << "-20" << "calib_exec"
            << "Can't calibrate: Initial E-range \"-20\" is no number of 0 or more";
        QTest::newRow("map edge energy") << "" << "calib.EdgeEeV" << "Cu K" << "calib_load_map m.emp"
                                         << "Can't load m.emp: Edge energy \"Cu K\" is no number";
        QTest::newRow("energy factor, I0 load") << "" << "i0eng.Factor" << "k" << "load_I0_files ADD a.tif"
                                                << "Can't load the I0 files: Factor \"k\" is no number";
        QTest::newRow("calculated start") << "eng_by_calc_i1 1" << "i1eng.Start" << "8000eV"
                                          << "load_I1_files NEW a.tif b.tif"
                                          << "Can't load the I1 files: Start \"8000eV\" is no number";
        QTest::newRow("calculated points") << "eng_by_calc_i1 1" << "i1eng.NumOfPoints" << "1e3"
                                           << "load_I1_files NEW a.tif b.tif"
                                           << "Can't load the I1 files: Num \"1e3\" is no whole number of 1 or more";
        // no points: no step, every frame would take the start energy
        QTest::newRow("calculated points 0") << "eng_by_calc_i1 1" << "i1eng.NumOfPoints" << "0"
                                             << "load_I1_files NEW a.tif b.tif"
                                             << "Can't load the I1 files: Num \"0\" is no whole number of 1 or more";
    }
    void fieldsRefused()
    {
        QFETCH(QString, setup);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(QString, told);
        // Edges over 8 frames of 6 x 4 pixels: the walk would start.
        const std::unique_ptr<Body> b =
            craft::bodyWithStack(6, 4, 8, [](int x, int y, int k) { return k < 4 ? 900.0 + x + y : 300.0 + x; });
        Body& body = *b;
        // The message server's refused connection is told at its own time.
        QObject::disconnect(&body.stars, &Stars::log, &body, nullptr);
        // "+panel.box" checks a box no word reaches.
        for (const QString& l : setup.split(u';', Qt::SkipEmptyParts)) {
            if (l.startsWith(u'+'))
                panelOf(body, l.mid(1))->findChild<QAbstractButton*>(l.section(u'.', 1))->setChecked(true);
            else
                body.execCmdSlot(CmdLine(l), false);
        }
        auto* e = panelOf(body, field)->findChild<QLineEdit*>(field.section(u'.', 1));
        QVERIFY(e);
        e->setText(text);
        QCOMPARE(e->styleSheet(), QStringLiteral("background-color: rgb(255, 170, 170);"));
        QSignalSpy answers(&body, &Body::finishBatchExec);
        const CmdLine cmd(word);
        body.execCmdSlot(cmd, false);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.at(0).at(0).toInt(), BatchDispatcher::answerIdOf(cmd, false));
        QVERIFY(!body.walkRunning());
        QVERIFY(!body.calib.running);
        QCOMPARE(body.i1Frames.size(), 8);
        QCOMPARE(body.batchCtrl->BatchLogs->toPlainText().count(told), 1);
        QCOMPARE(body.lastTold, told); // in the window too
        QCOMPARE(e->text(), text);
        QTest::qWait(50);
        QCOMPARE(answers.count(), 1);
    }

    // Energies set by a word, or from the standard's edge, keep every digit a
    // double gives to 10 significant digits, in their fields and in a map
    // file's header. The standard's edge rises linearly over 10 eV around
    // 8990.125, so its midpoint, between the samples at 8990 and 8991, is that.
    void energiesKeepTheirDigits_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("target"); // "panel.widget", or "emp" for the header line
        QTest::addColumn<QString>("text");
        QTest::newRow("residual absorption") << "analyzer_set_ra_energy 11100.125" << "an.RAAtEV" << "11100.125";
        QTest::newRow("LCF from") << "analyzer_set_LCF_range 11100.125 11103.25" << "an.LCFRange1" << "11100.125";
        QTest::newRow("LCF to") << "analyzer_set_LCF_range 11100.125 11103.25" << "an.LCFRange2" << "11103.25";
        const QString step = QStringLiteral("analyzer_dEdge_comp_step_params 11100.125 12.34375 0.1234375");
        QTest::newRow("step at") << step << "an.DEdgeCWStepAt" << "11100.125";
        QTest::newRow("step width") << step << "an.DEdgeCWStepWeV" << "12.34375";
        QTest::newRow("step dE") << step << "an.DEdgeCWStepDEeV" << "0.1234375";
        const QString roi = QStringLiteral("analyzer_target_elements Fe;analyzer_elems_roi Fe-K 7112.125 7160.0625");
        QTest::newRow("ROI start") << roi << "an.ROIs" << "7112.125";
        QTest::newRow("ROI end") << roi << "an.ROIe" << "7160.0625";
        QTest::newRow("standard's edge") << "calib_load_std $std" << "calib.EdgeEeV" << "8990.125";
        QTest::newRow("map file's edge") << "calib_load_std $std;calib_save_map $dir/e.emp" << "emp"
                                         << "Std Edge Energy [eV]    : 8990.125";
    }
    void energiesKeepTheirDigits()
    {
        QFETCH(QString, lines);
        QFETCH(QString, target);
        const QString std = tmp.filePath(QStringLiteral("std125.dat"));
        QFile f(std);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream out(&f);
        for (int e = 8900; e <= 9100; e++)
            out << e << ' ' << qBound(0.0, (e - 8990.125 + 5.0) / 10.0, 1.0) << '\n';
        f.close();
        Body body;
        if (target == QLatin1String("emp")) { // a map to save
            AnalyzeCond g;
            const double rect[4] = {0, 0, 2, 2};
            g.setup(2, 2, 0, 0, rect, -1, -1);
            body.eShiftMap.setCond(g);
            body.eShiftMap.setData(1, 0, 0, 0, 1.5);
        }
        lines.replace(QStringLiteral("$std"), std).replace(QStringLiteral("$dir"), tmp.path());
        for (const QString& l : lines.split(u';'))
            body.execCmdSlot(CmdLine(l), false);
        if (target == QLatin1String("calib.EdgeEeV")) {
            QTEST(body.calibCtrl->EdgeEeV->text(), "text");
        } else if (target == QLatin1String("emp")) {
            QFile emp(tmp.filePath(QStringLiteral("e.emp")));
            QVERIFY(emp.open(QIODevice::ReadOnly | QIODevice::Text));
            QTEST(QString::fromLatin1(emp.readAll()).split(u'\n').value(2), "text");
        } else {
            QTEST(stateOf(body, target), "text");
        }
    }

    // A load is answered by the loader once its files are read; a pattern
    // that finds nothing is answered at once, a new one clearing the stack.
    void loadByPattern()
    {
        QDir dir(tmp.filePath(QStringLiteral("stack")));
        QVERIFY(dir.mkpath(QStringLiteral(".")));
        for (const char* n : {"a_8990.0.tif", "a_9000.0.tif"})
            QVERIFY(craft::writeTiff(dir.filePath(QLatin1String(n)), 4, 3, craft::ramp16(4, 3, 100)));
        QVERIFY(craft::writeBytes(dir.filePath(QStringLiteral("notes.txt")), "x"));
        Body body;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        const QString folder = dir.path();
        body.execCmdSlot(CmdLine("load_I1_files_of_pattern NEW " + folder + "/ *.tif"), false);
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 5000);
        QCOMPARE(answers.at(0).at(0).toInt(), int(LOAD_I1_FILES));
        QCOMPARE(body.frameSets.frames(FrameSets::I1).size(), 2);
        body.execCmdSlot(CmdLine("load_I1_files_of_pattern add " + folder + " *.png"), false);
        QCOMPARE(answers.count(), 2);
        QCOMPARE(body.frameSets.frames(FrameSets::I1).size(), 2);
        body.execCmdSlot(CmdLine("load_I1_files_of_pattern new " + folder + " *.png"), false);
        QCOMPARE(answers.count(), 3);
        QVERIFY(body.frameSets.frames(FrameSets::I1).isEmpty());
        QTest::qWait(100);
        QCOMPARE(answers.count(), 3);
    }

    // A load of TIFF files f0, f1, ... at these exposures (s; 0: none given,
    // 100 ms) and pages, by a batch word or as the dark frame (f0): the lines
    // that tell what it does not honour ("%1": the folder).
    void loadNotes_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QList<double>>("exposures");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<QStringList>("lines");
        const QString exp("Exposure times of the %1 frames differ, %2 to %3 ms: the dark frame is scaled to the "
                          "panel's %4 ms");
        const QString paged("Only the first page of a TIFF file is read: %1/f%2.tif has %3 pages");
        QTest::newRow("I1 at 100, 250, 100 ms") << "load_I1_files" << QList<double>{0.1, 0.25, 0.1}
                                                << QList<int>{1, 1, 1} << QStringList{exp.arg("I1", "100", "250", "100")};
        QTest::newRow("I0 at 50 and 20 ms") << "load_I0_files" << QList<double>{0.05, 0.02} << QList<int>{1, 1}
                                            << QStringList{exp.arg("I0", "20", "50", "50")};
        QTest::newRow("three files of pages, one line")
            << "load_I1_files" << QList<double>{0, 0, 0, 0} << QList<int>{1, 2, 4, 2}
            << QStringList{paged.arg("%1", "1", "2") + ", 2 more files of this load have several"};
        QTest::newRow("dark frame of 3 pages") << "dark" << QList<double>{0} << QList<int>{3}
                                               << QStringList{paged.arg("%1", "0", "3")};
        QTest::newRow("one exposure, one page") << "load_I0_files" << QList<double>{0.1, 0.1} << QList<int>{1, 1}
                                                << QStringList{};
    }
    void loadNotes()
    {
        QFETCH(QString, word);
        QFETCH(QList<double>, exposures);
        QFETCH(QList<int>, pages);
        static int row = 0;
        const QString dir = tmp.filePath(QStringLiteral("notes%1").arg(row++));
        QVERIFY(QDir().mkpath(dir));
        QStringList files;
        for (int i = 0; i < exposures.size(); i++) {
            craft::TiffOptions o;
            o.exif = exposures[i] > 0;
            o.exposure = exposures[i];
            o.pages = pages[i];
            files << dir + QStringLiteral("/f%1.tif").arg(i);
            QVERIFY(craft::writeTiff(files.last(), 3, 2, craft::ramp16(3, 2, 100 + i), o));
        }
        Body body;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        testlog::Capture log;
        if (word == "dark")
            body.selectedDark(files.first());
        else
            body.execCmdSlot(CmdLine(word + " NEW " + files.join(u' ')), false);
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), word == "dark" ? 0 : 1, 10000);
        QStringList lines = log.linesStartingWith("Exposure times") + log.linesStartingWith("Only the first page");
        QTEST(lines.replaceInStrings(dir, "%1"), "lines");
    }

    // Energies of files by name (the default pattern) through the batch words,
    // "%1" the row's folder: the file's own name before its folders, and the
    // line of a stack whose frames all share one energy ("08975_5000" is 8975.5 eV).
    void loadEnergies_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<double>>("energies");
        QTest::addColumn<QStringList>("lines");
        const QStringList dated{"run_2024_0315/I1_08950_0000.tif", "run_2024_0315/I1_08960_0000.tif",
                                "run_2024_0315/I1_08975_5000.tif"};
        QTest::newRow("dated folder, I1 by pattern") << "load_I1_files_of_pattern NEW %1/run_2024_0315 I1_*.tif"
                                                     << dated << QList<double>{8950, 8960, 8975.5} << QStringList{};
        QTest::newRow("energies in folder names, I0 list")
            << "load_I0_files NEW %1/E_08950_0000/frame.tif %1/E_08960_0000/frame.tif"
            << QStringList{"E_08950_0000/frame.tif", "E_08960_0000/frame.tif"} << QList<double>{8950, 8960}
            << QStringList{};
        QTest::newRow("only the folder dated, I1") << "load_I1_files_of_pattern NEW %1/run_2024_0315 scan*.tif"
                                                   << QStringList{"run_2024_0315/scana.tif", "run_2024_0315/scanb.tif"}
                                                   << QList<double>{2024.0315, 2024.0315}
                                                   << QStringList{"All 2 I1 frames are at one energy: 2024.0315 eV"};
        QTest::newRow("only the folder dated, I0 list")
            << "load_I0_files NEW %1/run_2024_0315/a.tif %1/run_2024_0315/b.tif %1/run_2024_0315/c.tif"
            << QStringList{"run_2024_0315/a.tif", "run_2024_0315/b.tif", "run_2024_0315/c.tif"}
            << QList<double>{2024.0315, 2024.0315, 2024.0315}
            << QStringList{"All 3 I0 frames are at one energy: 2024.0315 eV"};
        QTest::newRow("dated folder, I0 dialog")
            << "dialog I0 %1/run_2024_0315/I0_08950_0000.tif %1/run_2024_0315/I0_08962_5000.tif"
            << QStringList{"run_2024_0315/I0_08950_0000.tif", "run_2024_0315/I0_08962_5000.tif"}
            << QList<double>{8950, 8962.5} << QStringList{};
        QTest::newRow("one frame: no line") << "load_I0_files NEW %1/run_2024_0315/a.tif"
                                            << QStringList{"run_2024_0315/a.tif"} << QList<double>{2024.0315}
                                            << QStringList{};
    }
    void loadEnergies()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, files);
        QFETCH(QList<double>, energies);
        static int row = 0;
        const QString dir = tmp.filePath(QStringLiteral("energies%1").arg(row++));
        for (const QString& f : files) {
            QVERIFY(QDir(dir).mkpath(f.section(u'/', 0, -2)));
            QVERIFY(craft::writeTiff(dir + u'/' + f, 4, 3, craft::ramp16(4, 3, 100)));
        }
        Body body;
        QSignalSpy answers(&body, &Body::finishBatchExec);
        testlog::Capture log;
        if (line.startsWith(QLatin1String("dialog I0 "))) // files chosen in the panel's dialog
            emit body.SelectI0Files->fileDialog->filesSelected(line.arg(dir).split(u' ').mid(2));
        else
            body.execCmdSlot(CmdLine(line.arg(dir)), false);
        QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 10000);
        const QList<TiffData*>& frames =
            body.frameSets.frames(line.contains(QLatin1String("I1")) ? FrameSets::I1 : FrameSets::I0);
        QList<double> got;
        for (const TiffData* f : frames)
            got << f->energy;
        QCOMPARE(got, energies);
        QTEST(log.linesStartingWith("All "), "lines");
    }

    void regionAndPointer()
    {
        Body body;
        body.dispA->viewWin = QRectF(0, 0, 50, 40);
        body.execCmdSlot(CmdLine(QStringLiteral("select_region 30 26 10 10")), false);
        QCOMPARE(body.dispA->sel.area, QRectF(30, 26, -20, -16)); // kept as given
        // The word zooms as the button does: to the region put the right way round.
        body.execCmdSlot(CmdLine(QStringLiteral("zoom_in")), false);
        QCOMPARE(body.dispA->viewWin, QRectF(10, 10, 20, 16));
        body.dispA->viewWin = QRectF(0, 0, 50, 40);
        QTest::mouseClick(body.ZoomIn, Qt::LeftButton);
        QCOMPARE(body.dispA->viewWin, QRectF(10, 10, 20, 16));

        QSignalSpy moved(body.dispA, &ImgDispA::mouseMoved);
        body.execCmdSlot(CmdLine(QStringLiteral("move_position 7 11")), false);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toDouble(), 7.0);
        QCOMPARE(moved.at(0).at(1).toDouble(), 11.0);
    }

    // The configuration's lines run first, then the start-up batch, in one
    // walk; without configuration lines nothing runs before the start-up batch.
    void configThenStartBatch_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("log");
        QTest::newRow("two batch lines") << QByteArray("batch set_view_w 3\nDataRoot /x\nBATCH  set_analyze_w   4\n")
                                         << "set_view_w : 3\nset_analyze_w : 4\nset_view_h : 5\nset_view_w : 6\nend";
        QTest::newRow("none") << QByteArray("DataRoot /x\n") << "set_view_h : 5\nset_view_w : 6\nend";
    }
    void configThenStartBatch()
    {
        QFETCH(QByteArray, config);
        const QString path = tmp.filePath(QStringLiteral("config.cfg"));
        QVERIFY(craft::writeBytes(path, config));
        QVERIFY(cfg.readFile(path));
        Body body;
        body.batchCtrl->BatchCmds->setPlainText(QStringLiteral("set_view_h 5\nset_view_w 6"));
        body.batchCtrl->execCmdsSlot();
        // The message server at the closed port is told here too, wherever it falls.
        const auto shown = [&body] {
            QStringList lines = body.batchCtrl->BatchLogs->toPlainText().split(u'\n', Qt::SkipEmptyParts);
            lines.removeIf([](const QString& l) { return l.startsWith(QLatin1String("No connection to the message server")); });
            return lines;
        };
        QFETCH(QString, log);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), log.split(u'\n'), 5000);
        QCOMPARE(body.vHWidth_->text(), QStringLiteral("6"));
    }

    // As the program runs it: "quit" stops the workers, closes the windows and
    // ends the event loop with 0; the lines after it never run.
    void quitEndsProgram()
    {
        auto* body = new Body();
        connect(body, SIGNAL(finishing()), qApp, SLOT(closeAllWindows()));
        body->show();
        body->batchCtrl->BatchCmds->setPlainText(QStringLiteral("set_view_w 2\nquit\nset_view_w 3"));
        QTimer::singleShot(0, body->batchCtrl, &BatchCtrl::execCmdsSlot);
        QTimer guard; // ends a hang as a failure
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(20000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!body->isVisible());
        for (QThread* t : {body->batchThread, body->i1Thread, body->i0Thread})
            QVERIFY(t->isFinished());
        // The dispatcher has ended: whatever it sent is queued by now.
        QCoreApplication::sendPostedEvents();
        QCOMPARE(body->vHWidth_->text(), QStringLiteral("2"));
        delete body;
    }
};

CORVELLINE_TEST(TestBodyCommands)
#include "tst_bodycommands.moc"
