#include "batch/CmdDef.h"

#include "batch/CmdLine.h"

QList<CmdDef> ctrlCmds;
QList<CmdDef> exCmds;

namespace {
// Upper-cased names, parallel to the tables, so a look-up converts only the word.
QStringList ctrlUpper;
QStringList exUpper;

int findId(const QList<CmdDef>& table, const QStringList& upper, const QString& word, int none)
{
    const QString w = word.toUpper();
    for (int i = 0; i < upper.size(); i++)
        if (upper[i] == w)
            return table[i].id;
    return none;
}
} // namespace

void setupCmdTables()
{
    ctrlCmds = {
        {CTRL_FOR, QStringLiteral(":for")},
        {CTRL_NEXT, QStringLiteral(":next")},
        {CTRL_LET, QStringLiteral(":let")},
        {CTRL_ECHO, QStringLiteral(":echo")},
        {CTRL_REM_START, QStringLiteral(":rem_start")},
        {CTRL_REM_END, QStringLiteral(":rem_end")},
        {CTRL_END, QStringLiteral(":end")},
    };
    exCmds = {
        {CLEAR_I1_FILES, QStringLiteral("clear_I1_files")},
        {CLEAR_I0_FILES, QStringLiteral("clear_I0_files")},
        {SET_I1_ENERGY_PATTERN, QStringLiteral("set_i1_energy_pattern")},
        {SET_I0_ENERGY_PATTERN, QStringLiteral("set_i0_energy_pattern")},
        {LOAD_I1_FILES, QStringLiteral("load_I1_files")},
        {LOAD_I0_FILES, QStringLiteral("load_I0_files")},
        {LOAD_I1_FILES_OF_PATTERN, QStringLiteral("load_I1_files_of_pattern")},
        {LOAD_I0_FILES_OF_PATTERN, QStringLiteral("load_I0_files_of_pattern")},
        {USE_I0, QStringLiteral("Use_I0")},
        {CUT_F_I0, QStringLiteral("cut_f_i0")},
        {CUT_F_I1, QStringLiteral("cut_f_i1")},
        {CUT_L_I0, QStringLiteral("cut_l_i0")},
        {CUT_L_I1, QStringLiteral("cut_l_i1")},
        {SKIP_I0, QStringLiteral("skip_i0")},
        {SKIP_I1, QStringLiteral("skip_i1")},
        {SHOW_LATEST_I0, QStringLiteral("show_latest_i0")},
        {SHOW_LATEST_I1, QStringLiteral("show_latest_i1")},
        {ENG_BY_NAME_I0, QStringLiteral("eng_by_name_i0")},
        {ENG_BY_NAME_I1, QStringLiteral("eng_by_name_i1")},
        {ENG_BY_NAME_REG_EXP_I0, QStringLiteral("eng_by_name_reg_exp_i0")},
        {ENG_BY_NAME_REG_EXP_I1, QStringLiteral("eng_by_name_reg_exp_i1")},
        {ENG_BY_NAME_FACTOR_I0, QStringLiteral("eng_by_name_factor_i0")},
        {ENG_BY_NAME_FACTOR_I1, QStringLiteral("eng_by_name_factor_i1")},
        {ENG_BY_CALC_I0, QStringLiteral("eng_by_calc_i0")},
        {ENG_BY_CALC_I1, QStringLiteral("eng_by_calc_i1")},
        {ENG_CALC_BASE_I0, QStringLiteral("eng_calc_base_i0")},
        {ENG_CALC_BASE_I1, QStringLiteral("eng_calc_base_i1")},
        {ENG_CALC_DELTA_I0, QStringLiteral("eng_calc_delta_i0")},
        {ENG_CALC_DELTA_I1, QStringLiteral("eng_calc_delta_i1")},
        {ENG_CALC_END_I0, QStringLiteral("eng_calc_end_i0")},
        {ENG_CALC_END_I1, QStringLiteral("eng_calc_end_i1")},
        {ENG_CALC_NUM_I0, QStringLiteral("eng_calc_num_i0")},
        {ENG_CALC_NUM_I1, QStringLiteral("eng_calc_num_i1")},
        {ENG_CALC_EVEN_IN_ENG_I0, QStringLiteral("eng_calc_even_in_eng_i0")},
        {ENG_CALC_EVEN_IN_ENG_I1, QStringLiteral("eng_calc_even_in_eng_i1")},
        {ENG_CALC_EVEN_IN_DEG_I0, QStringLiteral("eng_calc_even_in_deg_i0")},
        {ENG_CALC_EVEN_IN_DEG_I1, QStringLiteral("eng_calc_even_in_deg_i1")},
        {ENG_CALC_DISP_UNIT_I0, QStringLiteral("eng_calc_disp_unit_i0")},
        {ENG_CALC_DISP_UNIT_I1, QStringLiteral("eng_calc_disp_unit_i1")},
        {ENG_BY_REF_I0, QStringLiteral("eng_by_ref_i0")},
        {ENG_BY_REF_I1, QStringLiteral("eng_by_ref_i1")},
        {SET_FLUO_TYPE, QStringLiteral("set_fluo_type")},
        {SUGGEST_ELM, QStringLiteral("Suggest_Elm")},
        {SUGGESTING_ELM, QStringLiteral("Suggesting_Elm")},
        {SUGGESTING_EDGE, QStringLiteral("Suggesting_Edge")},
        {SUGGESTING_EDGE_EV, QStringLiteral("Suggesting_Edge_eV")},
        {SUGGESTING_PRE_END_EV, QStringLiteral("Suggesting_Pre_End_eV")},
        {SUGGESTING_POST_START_EV, QStringLiteral("Suggesting_Post_Start_eV")},
        {SET_I0_DARK_AREA, QStringLiteral("set_i0_dark_area")},
        {SET_I1_DARK_AREA, QStringLiteral("set_i1_dark_area")},
        {CLEAR_I0_DARK_AREA, QStringLiteral("clear_i0_dark_area")},
        {CLEAR_I1_DARK_AREA, QStringLiteral("clear_i1_dark_area")},
        {SET_BAND_W, QStringLiteral("set_band_w")},
        {SET_BAND_H, QStringLiteral("set_band_h")},
        {SET_VIEW_W, QStringLiteral("set_view_w")},
        {SET_VIEW_H, QStringLiteral("set_view_h")},
        {SET_ANALYZE_W, QStringLiteral("set_analyze_w")},
        {SET_ANALYZE_H, QStringLiteral("set_analyze_h")},
        {SELECT_DISP_IMAGE, QStringLiteral("select_disp_image")},
        {SELECT_DISP_IMAGE_I1, QStringLiteral("select_disp_image_i1")},
        {SELECT_DISP_IMAGE_I0, QStringLiteral("select_disp_image_i0")},
        {SELECT_DISP_IMAGE_ESHIFT, QStringLiteral("select_disp_image_eShift")},
        {SELECT_DISP_IMAGE_ANALYZED, QStringLiteral("select_disp_image_analyzed")},
        {SEEK_IMAGE, QStringLiteral("seek_image")},
        {SAVE_IMAGE, QStringLiteral("save_image")},
        {SAVE_IMAGE_W_NUM, QStringLiteral("save_image_w_num")},
        {SAVE_ALL_IMAGES, QStringLiteral("save_all_images")},
        {SAVE_DATA, QStringLiteral("save_data")},
        {SAVE_DATA_AS_TIFF, QStringLiteral("save_data_as_tiff")},
        {MOVE_POSITION, QStringLiteral("move_position")},
        {SAVE_SPECTRA, QStringLiteral("save_spectra")},
        {CBAR_SET_RANGE, QStringLiteral("cbar_set_range")},
        {CBAR_SET_ALL, QStringLiteral("cbar_set_all")},
        {SELECT_REGION, QStringLiteral("select_region")},
        {SCALE_RESET, QStringLiteral("scale_reset")},
        {ZOOM_IN, QStringLiteral("zoom_in")},
        {SELECT_QS_FITTED_ESHIFT, QStringLiteral("select_qs_fitted_eShift")},
        {XAFS_VIEW_NORMALIZE, QStringLiteral("xafs_view_normalize")},
        {XAFS_VIEW_ENERUGY_CORRECTION, QStringLiteral("xafs_view_enerugy_correction")},
        {ANALYZER_SHOW_WINDOW, QStringLiteral("analyzer_show_window")},
        {ANALYZER_SELECT_ANALYSIS_MODE, QStringLiteral("analyzer_select_analysis_mode")},
        {ANALYZER_MAIN_MODE, QStringLiteral("analyzer_main_mode")},
        {ANALYZER_SUB_MODE, QStringLiteral("analyzer_sub_mode")},
        {ANALYZER_SELECT_MAIN_MODE_2DA, QStringLiteral("analyzer_select_main_mode_2da")},
        {ANALYZER_SELECT_SUB_MODE_DEDGE, QStringLiteral("analyzer_select_sub_mode_dEdge")},
        {ANALYZER_SELECT_SUB_MODE_LCF, QStringLiteral("analyzer_select_sub_mode_LCF")},
        {ANALYZER_SELECT_SUB_MODE_ELEMS, QStringLiteral("analyzer_select_sub_mode_elems")},
        {ANALYZER_SELECT_SUB_MODE_RA, QStringLiteral("analyzer_select_sub_mode_ra")},
        {ANALYZER_SELECT_MAIN_MODE_SUMUP, QStringLiteral("analyzer_select_main_mode_sumUp")},
        {ANALYZER_SELECT_MAIN_MODE_PROCMAPS, QStringLiteral("analyzer_select_main_mode_procMaps")},
        {ANALYZER_VIEW_NORMALIZE, QStringLiteral("analyzer_view_normalize")},
        {ANALYZER_VIEW_ENERUGY_CORRECTION, QStringLiteral("analyzer_view_enerugy_correction")},
        {ANALYZER_SELECT_IMAGE, QStringLiteral("analyzer_select_image")},
        {ANALYZER_SET_FIXED_SCALE, QStringLiteral("analyzer_set_fixed_scale")},
        {ANALYZER_SET_SCALE_MAX, QStringLiteral("analyzer_set_scale_max")},
        {ANALYZER_SET_SCALE_MIN, QStringLiteral("analyzer_set_scale_min")},
        {ANALYZER_SET_DMUT_SCALE_MAX, QStringLiteral("analyzer_set_dMut_scale_max")},
        {ANALYZER_SET_DMUT_SCALE_MIN, QStringLiteral("analyzer_set_dMut_scale_min")},
        {ANALYZER_SET_RATIO_SCALE_MAX, QStringLiteral("analyzer_set_ratio_scale_max")},
        {ANALYZER_SET_RATIO_SCALE_MIN, QStringLiteral("analyzer_set_ratio_scale_min")},
        {ANALYZER_EXEC_2DA, QStringLiteral("analyzer_exec_2da")},
        {ANALYZER_DEDGE_SELECT_MODE, QStringLiteral("analyzer_dEdge_select_mode")},
        {ANALYZER_DEDGE_SELECT_MODE_MIDP, QStringLiteral("analyzer_dEdge_select_mode_midp")},
        {ANALYZER_DEDGE_SELECT_MODE_COMP, QStringLiteral("analyzer_dEdge_select_mode_comp")},
        {ANALYZER_DEDGE_MID_POINT_RATIO, QStringLiteral("analyzer_dEdge_mid_point_ratio")},
        {ANALYZER_DEDGE_COMP_TARGET, QStringLiteral("analyzer_dEdge_comp_target")},
        {ANALZYER_DEDGE_COMP_W_FILE, QStringLiteral("analzyer_dEdge_comp_w_file")},
        {ANALYZER_DEDGE_COMP_FILE_NAME, QStringLiteral("analyzer_dEdge_comp_file_name")},
        {ANALYZER_DEDGE_COMP_W_STEP, QStringLiteral("analyzer_dEdge_comp_w_step")},
        {ANALYZER_DEDGE_COMP_STEP_PARAMS, QStringLiteral("analyzer_dEdge_comp_step_params")},
        {ANALYZER_DEDGE_COMP_PARAMS, QStringLiteral("analyzer_dEdge_comp_params")},
        {ANALYZER_SET_LCF_STD, QStringLiteral("analyzer_set_LCF_std")},
        {ANALYZER_SET_LCF_MODE, QStringLiteral("analyzer_set_LCF_mode")},
        {ANALYZER_SET_MLCF, QStringLiteral("analyzer_set_MLCF")},
        {ANALYZER_SET_LCF_AS_OLD, QStringLiteral("analyzer_set_LCF_as_old")},
        {ANALYZER_SELECT_IMAGE_TYPE, QStringLiteral("analyzer_select_image_type")},
        {ANALYZER_EXEC_LCF, QStringLiteral("analyzer_exec_LCF")},
        {ANALYZER_SET_LCF_RANGE, QStringLiteral("analyzer_set_LCF_range")},
        {ANALYZER_TARGET_ELEMENTS, QStringLiteral("analyzer_target_elements")},
        {ANALYZER_ELEMS_SELECT_TARGET, QStringLiteral("analyzer_elems_select_target")},
        {ANALYZER_ELEMS_SORT_BY_AN, QStringLiteral("analyzer_elems_sort_by_an")},
        {ANALYZER_ELEMS_SELECT_SHOW, QStringLiteral("analyzer_elems_select_show")},
        {ANALYZER_ELEMS_SET_DEVS, QStringLiteral("analyzer_elems_set_deVs")},
        {ANALYZER_ELEMS_SET_CORR_TH, QStringLiteral("analyzer_elems_set_corr_th")},
        {ANALYZER_ELEMS_SELECT_DISP_MODE, QStringLiteral("analyzer_elems_select_disp_mode")},
        {ANALYZER_ELEMS_SET_USE, QStringLiteral("analyzer_elems_set_use")},
        {ANALYZER_ELEMS_ROI, QStringLiteral("analyzer_elems_roi")},
        {ANALYZER_ELEMS_THDMUT, QStringLiteral("analyzer_elems_thdmut")},
        {ANALYZER_ELEMS_NO_NEG, QStringLiteral("analyzer_elems_no_neg")},
        {ANALYZER_ELEMS_BG_DMUT, QStringLiteral("analyzer_elems_bg_dMut")},
        {ANALYZER_ELEMS_BG_DMUTR, QStringLiteral("analyzer_elems_bg_dMutR")},
        {ANALYZER_ELEMS_BG_DE, QStringLiteral("analyzer_elems_bg_dE")},
        {ANALYZER_ELEMS_BG_ROI, QStringLiteral("analyzer_elems_bg_ROI")},
        {ANALYZER_ELEMS_BG_NROI, QStringLiteral("analyzer_elems_bg_NROI")},
        {ANALYZER_EXEC_ELEMS, QStringLiteral("analyzer_exec_elems")},
        {ANALYZER_SET_RA_ENERGY, QStringLiteral("analyzer_set_ra_energy")},
        {ANALYZER_SET_RA_FACTOR, QStringLiteral("analyzer_set_ra_factor")},
        {ANALYZER_EXEC_RA, QStringLiteral("analyzer_exec_ra")},
        {CALIB_SHOW_WINDOW, QStringLiteral("calib_show_window")},
        {CALIB_LOAD_STD, QStringLiteral("calib_load_std")},
        {CALIB_SET_EDGE_EV, QStringLiteral("calib_set_edge_eV")},
        {CALIB_EXEC, QStringLiteral("calib_exec")},
        {CALIB_LOAD_MAP, QStringLiteral("calib_load_map")},
        {CALIB_CLEAR_MAP, QStringLiteral("calib_clear_map")},
        {CALIB_SAVE_MAP, QStringLiteral("calib_save_map")},
        {CALIB_TYPE, QStringLiteral("calib_type")},
        {STATS_SHOW_WINDOW, QStringLiteral("stats_show_window")},
        {STATS_BINS, QStringLiteral("stats_bins")},
        {STATS_OVER_IMAGE, QStringLiteral("stats_over_image")},
        {STATS_IN_SELECTED_REGION, QStringLiteral("stats_in_selected_region")},
        {SAVEDATACFG_SHOW_WINDOW, QStringLiteral("saveDataCfg_show_window")},
        {SAVEDATACFG_SAVE_AS_TIFF, QStringLiteral("saveDataCfg_save_as_tiff")},
        {SAVEDATACFG_SAVE_AS_TEXT, QStringLiteral("saveDataCfg_save_as_text")},
        {SAVEDATACFG_TIFF_FIX_SCALE, QStringLiteral("saveDataCfg_tiff_fix_scale")},
        {SAVEDATACFG_TIFF_SCALE_MIN, QStringLiteral("saveDataCfg_tiff_scale_min")},
        {SAVEDATACFG_TIFF_SCALE_MAX, QStringLiteral("saveDataCfg_tiff_scale_max")},
        {SAVEDATACFG_TIFF_AS_ANALYZED, QStringLiteral("saveDataCfg_tiff_as_analyzed")},
        {SAVEDATACFG_TEXT_AS_CSV, QStringLiteral("saveDataCfg_text_as_csv")},
        {SAVEDATACFG_TEXT_AS_SSV, QStringLiteral("saveDataCfg_text_as_ssv")},
        {SAVEDATACFG_TEXT_AS_XYZ, QStringLiteral("saveDataCfg_text_as_xyz")},
        {SAVEDATACFG_TEXT_AS_VALS, QStringLiteral("saveDataCfg_text_as_vals")},
        {QUIT, QStringLiteral("quit")},
        {NOT_EX_CMD, QStringLiteral("not ex cmd")},
    };
    ctrlUpper.clear();
    for (const CmdDef& d : ctrlCmds)
        ctrlUpper << d.name.toUpper();
    exUpper.clear();
    for (const CmdDef& d : exCmds)
        exUpper << d.name.toUpper();
}

CTRL_CMD_ID ctrlCmdId(const CmdLine& cmd)
{
    return static_cast<CTRL_CMD_ID>(findId(ctrlCmds, ctrlUpper, cmd.cmd, NOT_CTRL_CMD));
}

bool isCtrlCmd(const CmdLine& cmd) { return ctrlCmdId(cmd) != NOT_CTRL_CMD; }

EX_CMD_ID exCmdId(const CmdLine& cmd)
{
    return static_cast<EX_CMD_ID>(findId(exCmds, exUpper, cmd.cmd, NOT_EX_CMD));
}

bool isExCmd(const CmdLine& cmd) { return exCmdId(cmd) != NOT_EX_CMD; }

QString exCmdName(EX_CMD_ID id)
{
    for (const CmdDef& d : exCmds)
        if (d.id == id)
            return d.name;
    return QStringLiteral("UnKnow ExCMD id");
}
