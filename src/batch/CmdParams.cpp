#include "batch/CmdParams.h"

#include "batch/CmdLine.h"

#include <QDir>

#include <climits>
#include <cmath>

namespace {
// One letter per parameter, in order: i whole number, j whole number that may
// be missing, f flag (missing is off), r real, n real of 0 or more, o real that may be missing,
// v the Victoreen word (missing or "VIC" in any case is on, else a whole number),
// t text or a word the command skips; a closing * repeats the last letter for
// every further parameter. The range binds every whole number of the word.
struct ParamSpec {
    const char* kinds = "";
    int lo = INT_MIN;
    int hi = INT_MAX;
};

ParamSpec specOf(EX_CMD_ID id)
{
    switch (id) {
    case USE_I0:
    case SHOW_LATEST_I0:
    case SHOW_LATEST_I1:
    case ENG_BY_CALC_I0:
    case ENG_BY_CALC_I1:
    case ENG_CALC_EVEN_IN_ENG_I0:
    case ENG_CALC_EVEN_IN_ENG_I1:
    case ENG_CALC_EVEN_IN_DEG_I0:
    case ENG_CALC_EVEN_IN_DEG_I1:
    case SET_FLUO_TYPE:
    case SUGGEST_ELM:
    case SELECT_QS_FITTED_ESHIFT:
    case XAFS_VIEW_NORMALIZE:
    case XAFS_VIEW_ENERUGY_CORRECTION:
    case ANALYZER_SELECT_SUB_MODE_DEDGE:
    case ANALYZER_SELECT_SUB_MODE_LCF:
    case ANALYZER_SELECT_SUB_MODE_ELEMS:
    case ANALYZER_SELECT_SUB_MODE_RA:
    case ANALYZER_VIEW_NORMALIZE:
    case ANALYZER_VIEW_ENERUGY_CORRECTION:
    case ANALYZER_SET_FIXED_SCALE:
    case ANALYZER_SET_LCF_MODE:
    case ANALYZER_SET_MLCF:
    case ANALYZER_SET_LCF_AS_OLD:
    case ANALYZER_ELEMS_SORT_BY_AN:
    case STATS_SHOW_WINDOW: // shown when missing
    case STATS_OVER_IMAGE:
    case STATS_IN_SELECTED_REGION:
    case SAVEDATACFG_TIFF_FIX_SCALE:
    case SAVEDATACFG_TIFF_AS_ANALYZED:
        return {"f"};
    // Counts of files and half sizes of bins.
    case CUT_F_I0:
    case CUT_F_I1:
    case CUT_L_I0:
    case CUT_L_I1:
    case SKIP_I0:
    case SKIP_I1:
    case ENG_CALC_NUM_I0:
    case ENG_CALC_NUM_I1:
    case SET_BAND_W:
    case SET_BAND_H:
    case SET_VIEW_W:
    case SET_VIEW_H:
    case SET_ANALYZE_W:
    case SET_ANALYZE_H:
        return {"i", 0};
    case ENG_BY_NAME_FACTOR_I0:
    case ENG_BY_NAME_FACTOR_I1:
    case ENG_CALC_BASE_I0:
    case ENG_CALC_BASE_I1:
    case ENG_CALC_DELTA_I0:
    case ENG_CALC_DELTA_I1:
    case ENG_CALC_END_I0:
    case ENG_CALC_END_I1:
    // energies typed into number fields
    case SUGGESTING_EDGE_EV:
    case SUGGESTING_PRE_END_EV:
    case SUGGESTING_POST_START_EV:
    case CALIB_SET_EDGE_EV:
    case ANALYZER_SET_SCALE_MAX:
    case ANALYZER_SET_SCALE_MIN:
    case ANALYZER_SET_DMUT_SCALE_MAX:
    case ANALYZER_SET_DMUT_SCALE_MIN:
    case ANALYZER_SET_RATIO_SCALE_MAX:
    case ANALYZER_SET_RATIO_SCALE_MIN:
    case ANALYZER_DEDGE_MID_POINT_RATIO:
    case ANALYZER_ELEMS_SET_DEVS:
    case ANALYZER_ELEMS_SET_CORR_TH:
    case ANALYZER_SET_RA_ENERGY:
    case ANALYZER_SET_RA_FACTOR:
    case SAVEDATACFG_TIFF_SCALE_MIN:
    case SAVEDATACFG_TIFF_SCALE_MAX:
        return {"r"};
    case ENG_CALC_DISP_UNIT_I0:
    case ENG_CALC_DISP_UNIT_I1:
        return {"i", 0, 2};
    case SUGGESTING_EDGE:
    case SELECT_DISP_IMAGE:
        return {"i", 0, 3};
    case SEEK_IMAGE: // the stack's own count bounds it where it is shown
    case ANALYZER_SELECT_IMAGE: // the panel's buttons bound it when it runs
        return {"i"};
    case CALIB_TYPE:
        return {"i", 0, 1};
    case MOVE_POSITION:
        return {"ii"};
    case CBAR_SET_RANGE:
    case ANALYZER_SET_LCF_RANGE:
        return {"rr"};
    case SELECT_REGION:
        return {"iiii"};
    case ANALYZER_SELECT_ANALYSIS_MODE:
        return {"i", 0, 5};
    case ANALYZER_MAIN_MODE:
    case ANALYZER_DEDGE_SELECT_MODE:
    case ANALYZER_DEDGE_COMP_TARGET:
    case ANALYZER_SELECT_IMAGE_TYPE:
        return {"i", 0, 1};
    case ANALYZER_SUB_MODE: // with fewer than two it changes nothing
        return {"jf*"};
    case ANALYZER_DEDGE_COMP_STEP_PARAMS:
        return {"rrr"};
    case ANALYZER_DEDGE_COMP_PARAMS: // a range below 0 searches nothing
        return {"nrr"};
    case ANALYZER_SET_LCF_STD: // the row's index is bounded by the panel's rows when it runs
        return {"ifrtv"};
    case ANALYZER_ELEMS_SELECT_DISP_MODE:
        return {"i", 0, 8};
    case ANALYZER_ELEMS_SET_USE:
    case ANALYZER_ELEMS_NO_NEG:
        return {"tf"};
    case ANALYZER_ELEMS_ROI:
        return {"trr"};
    case ANALYZER_ELEMS_THDMUT:
        return {"tr"};
    // a label or any word first; a missing value is 0
    case ANALYZER_ELEMS_BG_DMUT:
    case ANALYZER_ELEMS_BG_DMUTR:
    case ANALYZER_ELEMS_BG_DE:
    case ANALYZER_ELEMS_BG_ROI:
    case ANALYZER_ELEMS_BG_NROI:
        return {"to"};
    case STATS_BINS:
        return {"i", 1};
    default:
        return {};
    }
}

QString quoted(const QString& p) { return u'"' + p + u'"'; }

QString refusalOf(char kind, const QString& p, int lo, int hi)
{
    if (kind == 't')
        return QString();
    const bool mayBeMissing = kind == 'j' || kind == 'f' || kind == 'o' || kind == 'v';
    if (p.isEmpty())
        return mayBeMissing ? QString() : QStringLiteral("no number given");
    if (kind == 'v') {
        bool ok = false;
        p.toInt(&ok, 10);
        return ok || cmdKeywordIs(p, QStringLiteral("VIC")) ? QString()
                                                            : quoted(p) + QStringLiteral(" is neither VIC nor a whole number");
    }
    if (kind == 'r' || kind == 'o' || kind == 'n') {
        bool ok = false;
        const double v = p.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return quoted(p) + QStringLiteral(" is no number");
        return kind == 'n' && v < 0.0 ? quoted(p) + QStringLiteral(" is below 0") : QString();
    }
    bool ok = false;
    const int v = p.toInt(&ok, 10);
    if (!ok)
        return quoted(p) + QStringLiteral(" is no whole number");
    // A flag is on at 1 and off at any other whole number.
    if (kind == 'f')
        return QString();
    if (v < lo || v > hi) {
        if (hi == INT_MAX)
            return quoted(p) + QStringLiteral(" is below %1").arg(lo);
        return quoted(p) + QStringLiteral(" is not within %1 to %2").arg(lo).arg(hi);
    }
    return QString();
}
} // namespace

QString cmdParamsRefusal(EX_CMD_ID id, const CmdLine& cmd)
{
    const ParamSpec spec = specOf(id);
    const QByteArray kinds(spec.kinds);
    const bool repeats = kinds.endsWith('*');
    const qsizetype fixed = repeats ? kinds.size() - 1 : kinds.size();
    const qsizetype count = repeats ? qMax(fixed, cmd.params.size()) : fixed;
    for (qsizetype i = 0; i < count; ++i) {
        const char kind = kinds.at(qMin(i, fixed - 1));
        const QString why = refusalOf(kind, cmd.param(int(i)), spec.lo, spec.hi);
        if (!why.isEmpty())
            return why;
    }
    return QString();
}

int cmdInt(const QString& p)
{
    bool ok = false;
    const int v = p.toInt(&ok, 10);
    return ok ? v : 0;
}

bool cmdFlag(const QString& p) { return cmdInt(p) == 1; }

double cmdReal(const QString& p)
{
    bool ok = false;
    const double v = p.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

bool cmdKeywordIs(const QString& p, const QString& upperWord) { return p.toUpper() == upperWord; }

QStringList filesOfPattern(const QString& dir, const QStringList& filters)
{
    if (dir.isEmpty())
        return QStringList();
    const QDir d(dir);
    // Stacks are read in list order; name order is what the acquisition's
    // numbered names rely on, whatever order the file system keeps.
    const QStringList names = d.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList files;
    files.reserve(names.size());
    for (const QString& n : names)
        files << d.filePath(n);
    return files;
}
