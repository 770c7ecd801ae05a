#include "support/TestRegistry.h"

#include "batch/CmdDef.h"
#include "batch/CmdLine.h"

#include <QSet>
#include <QTest>

namespace {
// The command vocabulary in id order, as batch files spell it.
const QStringList commandNames = QStringList()
        << QStringLiteral("clear_I1_files")
        << QStringLiteral("clear_I0_files")
        << QStringLiteral("set_i1_energy_pattern")
        << QStringLiteral("set_i0_energy_pattern")
        << QStringLiteral("load_I1_files")
        << QStringLiteral("load_I0_files")
        << QStringLiteral("load_I1_files_of_pattern")
        << QStringLiteral("load_I0_files_of_pattern")
        << QStringLiteral("Use_I0")
        << QStringLiteral("cut_f_i0")
        << QStringLiteral("cut_f_i1")
        << QStringLiteral("cut_l_i0")
        << QStringLiteral("cut_l_i1")
        << QStringLiteral("skip_i0")
        << QStringLiteral("skip_i1")
        << QStringLiteral("show_latest_i0")
        << QStringLiteral("show_latest_i1")
        << QStringLiteral("eng_by_name_i0")
        << QStringLiteral("eng_by_name_i1")
        << QStringLiteral("eng_by_name_reg_exp_i0")
        << QStringLiteral("eng_by_name_reg_exp_i1")
        << QStringLiteral("eng_by_name_factor_i0")
        << QStringLiteral("eng_by_name_factor_i1")
        << QStringLiteral("eng_by_calc_i0")
        << QStringLiteral("eng_by_calc_i1")
        << QStringLiteral("eng_calc_base_i0")
        << QStringLiteral("eng_calc_base_i1")
        << QStringLiteral("eng_calc_delta_i0")
        << QStringLiteral("eng_calc_delta_i1")
        << QStringLiteral("eng_calc_end_i0")
        << QStringLiteral("eng_calc_end_i1")
        << QStringLiteral("eng_calc_num_i0")
        << QStringLiteral("eng_calc_num_i1")
        << QStringLiteral("eng_calc_even_in_eng_i0")
        << QStringLiteral("eng_calc_even_in_eng_i1")
        << QStringLiteral("eng_calc_even_in_deg_i0")
        << QStringLiteral("eng_calc_even_in_deg_i1")
        << QStringLiteral("eng_calc_disp_unit_i0")
        << QStringLiteral("eng_calc_disp_unit_i1")
        << QStringLiteral("eng_by_ref_i0")
        << QStringLiteral("eng_by_ref_i1")
        << QStringLiteral("set_fluo_type")
        << QStringLiteral("Suggest_Elm")
        << QStringLiteral("Suggesting_Elm")
        << QStringLiteral("Suggesting_Edge")
        << QStringLiteral("Suggesting_Edge_eV")
        << QStringLiteral("Suggesting_Pre_End_eV")
        << QStringLiteral("Suggesting_Post_Start_eV")
        << QStringLiteral("set_i0_dark_area")
        << QStringLiteral("set_i1_dark_area")
        << QStringLiteral("clear_i0_dark_area")
        << QStringLiteral("clear_i1_dark_area")
        << QStringLiteral("set_band_w")
        << QStringLiteral("set_band_h")
        << QStringLiteral("set_view_w")
        << QStringLiteral("set_view_h")
        << QStringLiteral("set_analyze_w")
        << QStringLiteral("set_analyze_h")
        << QStringLiteral("select_disp_image")
        << QStringLiteral("select_disp_image_i1")
        << QStringLiteral("select_disp_image_i0")
        << QStringLiteral("select_disp_image_eShift")
        << QStringLiteral("select_disp_image_analyzed")
        << QStringLiteral("seek_image")
        << QStringLiteral("save_image")
        << QStringLiteral("save_image_w_num")
        << QStringLiteral("save_all_images")
        << QStringLiteral("save_data")
        << QStringLiteral("save_data_as_tiff")
        << QStringLiteral("move_position")
        << QStringLiteral("save_spectra")
        << QStringLiteral("cbar_set_range")
        << QStringLiteral("cbar_set_all")
        << QStringLiteral("select_region")
        << QStringLiteral("scale_reset")
        << QStringLiteral("zoom_in")
        << QStringLiteral("select_qs_fitted_eShift")
        << QStringLiteral("xafs_view_normalize")
        << QStringLiteral("xafs_view_enerugy_correction")
        << QStringLiteral("analyzer_show_window")
        << QStringLiteral("analyzer_select_analysis_mode")
        << QStringLiteral("analyzer_main_mode")
        << QStringLiteral("analyzer_sub_mode")
        << QStringLiteral("analyzer_select_main_mode_2da")
        << QStringLiteral("analyzer_select_sub_mode_dEdge")
        << QStringLiteral("analyzer_select_sub_mode_LCF")
        << QStringLiteral("analyzer_select_sub_mode_elems")
        << QStringLiteral("analyzer_select_sub_mode_ra")
        << QStringLiteral("analyzer_select_main_mode_sumUp")
        << QStringLiteral("analyzer_select_main_mode_procMaps")
        << QStringLiteral("analyzer_view_normalize")
        << QStringLiteral("analyzer_view_enerugy_correction")
        << QStringLiteral("analyzer_select_image")
        << QStringLiteral("analyzer_set_fixed_scale")
        << QStringLiteral("analyzer_set_scale_max")
        << QStringLiteral("analyzer_set_scale_min")
        << QStringLiteral("analyzer_set_dMut_scale_max")
        << QStringLiteral("analyzer_set_dMut_scale_min")
        << QStringLiteral("analyzer_set_ratio_scale_max")
        << QStringLiteral("analyzer_set_ratio_scale_min")
        << QStringLiteral("analyzer_exec_2da")
        << QStringLiteral("analyzer_dEdge_select_mode")
        << QStringLiteral("analyzer_dEdge_select_mode_midp")
        << QStringLiteral("analyzer_dEdge_select_mode_comp")
        << QStringLiteral("analyzer_dEdge_mid_point_ratio")
        << QStringLiteral("analyzer_dEdge_comp_target")
        << QStringLiteral("analzyer_dEdge_comp_w_file")
        << QStringLiteral("analyzer_dEdge_comp_file_name")
        << QStringLiteral("analyzer_dEdge_comp_w_step")
        << QStringLiteral("analyzer_dEdge_comp_step_params")
        << QStringLiteral("analyzer_dEdge_comp_params")
        << QStringLiteral("analyzer_set_LCF_std")
        << QStringLiteral("analyzer_set_LCF_mode")
        << QStringLiteral("analyzer_set_MLCF")
        << QStringLiteral("analyzer_set_LCF_as_old")
        << QStringLiteral("analyzer_select_image_type")
        << QStringLiteral("analyzer_exec_LCF")
        << QStringLiteral("analyzer_set_LCF_range")
        << QStringLiteral("analyzer_target_elements")
        << QStringLiteral("analyzer_elems_select_target")
        << QStringLiteral("analyzer_elems_sort_by_an")
        << QStringLiteral("analyzer_elems_select_show")
        << QStringLiteral("analyzer_elems_set_deVs")
        << QStringLiteral("analyzer_elems_set_corr_th")
        << QStringLiteral("analyzer_elems_select_disp_mode")
        << QStringLiteral("analyzer_elems_set_use")
        << QStringLiteral("analyzer_elems_roi")
        << QStringLiteral("analyzer_elems_thdmut")
        << QStringLiteral("analyzer_elems_no_neg")
        << QStringLiteral("analyzer_elems_bg_dMut")
        << QStringLiteral("analyzer_elems_bg_dMutR")
        << QStringLiteral("analyzer_elems_bg_dE")
        << QStringLiteral("analyzer_elems_bg_ROI")
        << QStringLiteral("analyzer_elems_bg_NROI")
        << QStringLiteral("analyzer_exec_elems")
        << QStringLiteral("analyzer_set_ra_energy")
        << QStringLiteral("analyzer_set_ra_factor")
        << QStringLiteral("analyzer_exec_ra")
        << QStringLiteral("calib_show_window")
        << QStringLiteral("calib_load_std")
        << QStringLiteral("calib_set_edge_eV")
        << QStringLiteral("calib_exec")
        << QStringLiteral("calib_load_map")
        << QStringLiteral("calib_clear_map")
        << QStringLiteral("calib_save_map")
        << QStringLiteral("calib_type")
        << QStringLiteral("stats_show_window")
        << QStringLiteral("stats_bins")
        << QStringLiteral("stats_over_image")
        << QStringLiteral("stats_in_selected_region")
        << QStringLiteral("saveDataCfg_show_window")
        << QStringLiteral("saveDataCfg_save_as_tiff")
        << QStringLiteral("saveDataCfg_save_as_text")
        << QStringLiteral("saveDataCfg_tiff_fix_scale")
        << QStringLiteral("saveDataCfg_tiff_scale_min")
        << QStringLiteral("saveDataCfg_tiff_scale_max")
        << QStringLiteral("saveDataCfg_tiff_as_analyzed")
        << QStringLiteral("saveDataCfg_text_as_csv")
        << QStringLiteral("saveDataCfg_text_as_ssv")
        << QStringLiteral("saveDataCfg_text_as_xyz")
        << QStringLiteral("saveDataCfg_text_as_vals")
        << QStringLiteral("quit")
        << QStringLiteral("not ex cmd")    ;

EX_CMD_ID idOf(const QString& word) { return exCmdId(CmdLine(word)); }
CTRL_CMD_ID ctrlOf(const QString& word) { return ctrlCmdId(CmdLine(word)); }
} // namespace

class TestCmdTables : public QObject {
    Q_OBJECT
private slots:
    // initGlobals, run by the test main, has filled the tables already.
    void filledAtStart()
    {
        QCOMPARE(exCmds.size(), 163);
        QCOMPARE(ctrlCmds.size(), 7);
    }

    void everyName_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QCOMPARE(commandNames.size(), 163);
        for (int i = 0; i < commandNames.size(); i++)
            QTest::newRow(qPrintable(commandNames[i])) << i << commandNames[i];
    }
    void everyName()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QCOMPARE(exCmdName(EX_CMD_ID(id)), name);
        // 162 is the id of "no command", whatever the word
        QCOMPARE(int(idOf(QStringLiteral("\"%1\"").arg(name))), id);
        QCOMPARE(int(idOf(QStringLiteral("\"%1\"").arg(name.toUpper()))), id);
        QCOMPARE(int(idOf(QStringLiteral("\"%1\"").arg(name.toLower()))), id);
        QCOMPARE(int(ctrlOf(name)), int(NOT_CTRL_CMD));
    }

    void uniqueIdsAndNames()
    {
        QSet<int> ids;
        QSet<QString> names;
        for (const CmdDef& d : exCmds) {
            QVERIFY(d.id >= 0 && d.id <= 162);
            ids.insert(d.id);
            names.insert(d.name.toUpper());
        }
        QCOMPARE(ids.size(), 163);
        QCOMPARE(names.size(), 163);
    }

    void controlTableOrder()
    {
        const QStringList names{":for", ":next", ":let", ":echo", ":rem_start", ":rem_end", ":end"};
        const QList<int> ids{0, 1, 6, 2, 3, 4, 5};
        QCOMPARE(ctrlCmds.size(), names.size());
        for (int i = 0; i < names.size(); i++) {
            QCOMPARE(ctrlCmds[i].name, names[i]);
            QCOMPARE(ctrlCmds[i].id, ids[i]);
        }
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("ctrl");
        QTest::addColumn<int>("ex");
        QTest::newRow("mixed case 1") << "LOAD_i1_FILES" << 7 << 4;
        QTest::newRow("mixed case 2") << "Load_I1_Files" << 7 << 4;
        QTest::newRow(":FOR") << ":FOR" << 0 << 162;
        QTest::newRow(":For") << ":For" << 0 << 162;
        QTest::newRow(":next") << ":next" << 1 << 162;
        QTest::newRow(":echo") << ":Echo" << 2 << 162;
        QTest::newRow(":rem_start") << ":REM_START" << 3 << 162;
        QTest::newRow(":rem_end") << ":rem_end" << 4 << 162;
        QTest::newRow(":end") << ":END" << 5 << 162;
        QTest::newRow(":let") << ":let" << 6 << 162;
        QTest::newRow("longer word") << "quit2" << 7 << 162;
        QTest::newRow("shorter word") << "load_I1_file" << 7 << 162;
        QTest::newRow("empty") << "" << 7 << 162;
        QTest::newRow("quit") << "quit" << 7 << 161;
        QTest::newRow("typo kept") << "analzyer_dEdge_comp_w_file" << 7 << 106;
        QTest::newRow("typo not mended") << "analyzer_dEdge_comp_w_file" << 7 << 162;
        QTest::newRow("enerugy") << "xafs_view_enerugy_correction" << 7 << 78;
        QTest::newRow("energy is no command") << "xafs_view_energy_correction" << 7 << 162;
        QTest::newRow("no command word") << "\"not ex cmd\"" << 7 << 162;
        QTest::newRow("blanks around") << "  load_I0_files  " << 7 << 5;
        QTest::newRow("for without colon") << "for" << 7 << 162;
    }
    void lookups()
    {
        QFETCH(QString, word);
        QFETCH(int, ctrl);
        QFETCH(int, ex);
        const CmdLine c(word);
        QCOMPARE(int(ctrlCmdId(c)), ctrl);
        QCOMPARE(isCtrlCmd(c), ctrl != 7);
        QCOMPARE(int(exCmdId(c)), ex);
        QCOMPARE(isExCmd(c), ex != 162);
    }

    void namesById_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("106") << 106 << "analzyer_dEdge_comp_w_file";
        QTest::newRow("0") << 0 << "clear_I1_files";
        QTest::newRow("162") << 162 << "not ex cmd";
        QTest::newRow("163") << 163 << "UnKnow ExCMD id";
        QTest::newRow("-1") << -1 << "UnKnow ExCMD id";
    }
    void namesById()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QCOMPARE(exCmdName(EX_CMD_ID(id)), name);
    }

    void enumValues()
    {
        QCOMPARE(int(LOAD_I1_FILES), 4);
        QCOMPARE(int(LOAD_I0_FILES), 5);
        QCOMPARE(int(ANALYZER_EXEC_2DA), 100);
        QCOMPARE(int(ANALYZER_EXEC_LCF), 116);
        QCOMPARE(int(ANALYZER_EXEC_ELEMS), 134);
        QCOMPARE(int(ANALYZER_EXEC_RA), 137);
        QCOMPARE(int(CALIB_LOAD_MAP), 142);
        QCOMPARE(int(QUIT), 161);
        QCOMPARE(int(NOT_EX_CMD), 162);
        QCOMPARE(int(NOT_CTRL_CMD), 7);
        QCOMPARE(int(CTRL_LET), 6);
    }

    void setupAgainKeepsOneCopy()
    {
        setupCmdTables();
        QCOMPARE(exCmds.size(), 163);
        QCOMPARE(ctrlCmds.size(), 7);
        QCOMPARE(int(idOf(QStringLiteral("calib_exec"))), 141);
    }
};
CORVELLINE_TEST(TestCmdTables)
#include "tst_cmdtables.moc"
