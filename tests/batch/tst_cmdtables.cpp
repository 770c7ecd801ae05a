#include "support/TestRegistry.h"

#include "batch/CmdDef.h"
#include "batch/CmdLine.h"

#include <QSet>
#include <QTest>

namespace {
// The command vocabulary in id order, as batch files spell it (typos included).
const QStringList commandNames = QString(
    "clear_I1_files clear_I0_files set_i1_energy_pattern set_i0_energy_pattern load_I1_files load_I0_files "
    "load_I1_files_of_pattern load_I0_files_of_pattern Use_I0 cut_f_i0 cut_f_i1 cut_l_i0 cut_l_i1 skip_i0 "
    "skip_i1 show_latest_i0 show_latest_i1 eng_by_name_i0 eng_by_name_i1 eng_by_name_reg_exp_i0 "
    "eng_by_name_reg_exp_i1 eng_by_name_factor_i0 eng_by_name_factor_i1 eng_by_calc_i0 eng_by_calc_i1 "
    "eng_calc_base_i0 eng_calc_base_i1 eng_calc_delta_i0 eng_calc_delta_i1 eng_calc_end_i0 eng_calc_end_i1 "
    "eng_calc_num_i0 eng_calc_num_i1 eng_calc_even_in_eng_i0 eng_calc_even_in_eng_i1 eng_calc_even_in_deg_i0 "
    "eng_calc_even_in_deg_i1 eng_calc_disp_unit_i0 eng_calc_disp_unit_i1 eng_by_ref_i0 eng_by_ref_i1 "
    "set_fluo_type Suggest_Elm Suggesting_Elm Suggesting_Edge Suggesting_Edge_eV Suggesting_Pre_End_eV "
    "Suggesting_Post_Start_eV set_i0_dark_area set_i1_dark_area clear_i0_dark_area clear_i1_dark_area set_band_w "
    "set_band_h set_view_w set_view_h set_analyze_w set_analyze_h select_disp_image select_disp_image_i1 "
    "select_disp_image_i0 select_disp_image_eShift select_disp_image_analyzed seek_image save_image "
    "save_image_w_num save_all_images save_data save_data_as_tiff move_position save_spectra cbar_set_range "
    "cbar_set_all select_region scale_reset zoom_in select_qs_fitted_eShift xafs_view_normalize "
    "xafs_view_enerugy_correction analyzer_show_window analyzer_select_analysis_mode analyzer_main_mode "
    "analyzer_sub_mode analyzer_select_main_mode_2da analyzer_select_sub_mode_dEdge analyzer_select_sub_mode_LCF "
    "analyzer_select_sub_mode_elems analyzer_select_sub_mode_ra analyzer_select_main_mode_sumUp "
    "analyzer_select_main_mode_procMaps analyzer_view_normalize analyzer_view_enerugy_correction "
    "analyzer_select_image analyzer_set_fixed_scale analyzer_set_scale_max analyzer_set_scale_min "
    "analyzer_set_dMut_scale_max analyzer_set_dMut_scale_min analyzer_set_ratio_scale_max "
    "analyzer_set_ratio_scale_min analyzer_exec_2da analyzer_dEdge_select_mode analyzer_dEdge_select_mode_midp "
    "analyzer_dEdge_select_mode_comp analyzer_dEdge_mid_point_ratio analyzer_dEdge_comp_target "
    "analzyer_dEdge_comp_w_file analyzer_dEdge_comp_file_name analyzer_dEdge_comp_w_step "
    "analyzer_dEdge_comp_step_params analyzer_dEdge_comp_params analyzer_set_LCF_std analyzer_set_LCF_mode "
    "analyzer_set_MLCF analyzer_set_LCF_as_old analyzer_select_image_type analyzer_exec_LCF "
    "analyzer_set_LCF_range analyzer_target_elements analyzer_elems_select_target analyzer_elems_sort_by_an "
    "analyzer_elems_select_show analyzer_elems_set_deVs analyzer_elems_set_corr_th "
    "analyzer_elems_select_disp_mode analyzer_elems_set_use analyzer_elems_roi analyzer_elems_thdmut "
    "analyzer_elems_no_neg analyzer_elems_bg_dMut analyzer_elems_bg_dMutR analyzer_elems_bg_dE "
    "analyzer_elems_bg_ROI analyzer_elems_bg_NROI analyzer_exec_elems analyzer_set_ra_energy "
    "analyzer_set_ra_factor analyzer_exec_ra calib_show_window calib_load_std calib_set_edge_eV calib_exec "
    "calib_load_map calib_clear_map calib_save_map calib_type stats_show_window stats_bins stats_over_image "
    "stats_in_selected_region saveDataCfg_show_window saveDataCfg_save_as_tiff saveDataCfg_save_as_text "
    "saveDataCfg_tiff_fix_scale saveDataCfg_tiff_scale_min saveDataCfg_tiff_scale_max "
    "saveDataCfg_tiff_as_analyzed saveDataCfg_text_as_csv saveDataCfg_text_as_ssv saveDataCfg_text_as_xyz "
    "saveDataCfg_text_as_vals quit ").split(u' ', Qt::SkipEmptyParts) << QStringLiteral("not ex cmd");
} // namespace

class TestCmdTables : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(int(exCmdId(CmdLine(QStringLiteral("\"%1\"").arg(name.toUpper())))), id);
    }

    // initGlobals, run by the test main, has filled the tables already; a second fill must not add.
    void uniqueIdsAndNames()
    {
        setupCmdTables();
        QCOMPARE(exCmds.size(), 163);
        QSet<int> ids;
        QSet<QString> names;
        for (const CmdDef& d : exCmds) {
            QVERIFY(d.id >= 0 && d.id <= 162);
            ids.insert(d.id);
            names.insert(d.name.toUpper());
        }
        QCOMPARE(ids.size(), 163);
        QCOMPARE(names.size(), 163);
        const QStringList ctrl{":for", ":next", ":let", ":echo", ":rem_start", ":rem_end", ":end"};
        const QList<int> ctrlIds{0, 1, 6, 2, 3, 4, 5};
        QCOMPARE(ctrlCmds.size(), ctrl.size());
        for (int i = 0; i < ctrl.size(); i++) {
            QCOMPARE(ctrlCmds[i].name, ctrl[i]);
            QCOMPARE(ctrlCmds[i].id, ctrlIds[i]);
        }
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("ctrl");
        QTest::addColumn<int>("ex");
        QTest::newRow("mixed case") << "LOAD_i1_FILES" << 7 << 4;
        QTest::newRow(":FOR") << ":FOR" << 0 << 162;
        QTest::newRow(":Echo") << ":Echo" << 2 << 162;
        QTest::newRow("longer word") << "quit2" << 7 << 162;
        QTest::newRow("shorter word") << "load_I1_file" << 7 << 162;
        QTest::newRow("empty") << "" << 7 << 162;
        QTest::newRow("typo not mended") << "analyzer_dEdge_comp_w_file" << 7 << 162;
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

    void namesOutOfRange()
    {
        QCOMPARE(exCmdName(EX_CMD_ID(163)), QStringLiteral("UnKnow ExCMD id"));
        QCOMPARE(exCmdName(EX_CMD_ID(-1)), QStringLiteral("UnKnow ExCMD id"));
    }
};
CORVELLINE_TEST(TestCmdTables)
#include "tst_cmdtables.moc"
