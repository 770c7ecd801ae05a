// Batch words 0-47: the two stacks, their file panels, the energies of the
// files, fluorescence and I0 switches and the suggested absorber.
#include "mainwindow/Body.h"

#include "batch/CmdParams.h"
#include "foundation/VictoreenRec.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/SelectDataFiles.h"

namespace {
// The words of the two panels differ only in "_i1" / "_I1" against "_i0".
bool isI1(EX_CMD_ID id)
{
    return exCmdName(id).contains(QLatin1String("_i1"), Qt::CaseInsensitive);
}
} // namespace

Body::CmdAnswer Body::execStackCmd(EX_CMD_ID id, const CmdLine& cmd)
{
    SelectDataFiles* panel = isI1(id) ? SelectI1Files : SelectI0Files;
    EOFSetup* eng = panel->eofSetup;
    const QString p0 = cmd.firstParam();
    switch (id) {
    case CLEAR_I1_FILES:
        clearI1Files();
        break;
    case CLEAR_I0_FILES:
        clearI0Files();
        break;
    case SET_I1_ENERGY_PATTERN:
    case SET_I0_ENERGY_PATTERN:
    case ENG_BY_NAME_REG_EXP_I0:
    case ENG_BY_NAME_REG_EXP_I1:
        eng->Pattern->setText(p0);
        break;
    case LOAD_I1_FILES:
        return loadFilesCmd(cmd, true, false);
    case LOAD_I0_FILES:
        return loadFilesCmd(cmd, false, false);
    case LOAD_I1_FILES_OF_PATTERN:
        return loadFilesCmd(cmd, true, true);
    case LOAD_I0_FILES_OF_PATTERN:
        return loadFilesCmd(cmd, false, true);
    case USE_I0:
        UseI0->setChecked(cmdFlag(p0));
        break;
    case CUT_F_I0:
    case CUT_F_I1:
        panel->setCutF(cmdInt(p0));
        break;
    case CUT_L_I0:
    case CUT_L_I1:
        panel->setCutL(cmdInt(p0));
        break;
    case SKIP_I0:
    case SKIP_I1:
        panel->setSkip(cmdInt(p0));
        break;
    case SHOW_LATEST_I0:
    case SHOW_LATEST_I1:
        panel->additionalSetup.ShowLatest->setChecked(cmdFlag(p0));
        break;
    case ENG_BY_NAME_I0:
    case ENG_BY_NAME_I1:
        eng->FromFileName->setChecked(true);
        break;
    case ENG_BY_NAME_FACTOR_I0:
    case ENG_BY_NAME_FACTOR_I1:
        panel->setEngByNameFactor(cmdReal(p0));
        break;
    case ENG_BY_CALC_I0:
    case ENG_BY_CALC_I1:
        eng->FromFileNum->setChecked(cmdFlag(p0));
        break;
    case ENG_CALC_BASE_I0:
    case ENG_CALC_BASE_I1:
        panel->setEngCalcStart(cmdReal(p0));
        break;
    case ENG_CALC_DELTA_I0:
    case ENG_CALC_DELTA_I1:
        panel->setEngCalcDelta(cmdReal(p0));
        break;
    case ENG_CALC_END_I0:
    case ENG_CALC_END_I1:
        panel->setEngCalcEnd(cmdReal(p0));
        break;
    case ENG_CALC_NUM_I0:
    case ENG_CALC_NUM_I1:
        panel->setEngCalcNum(cmdInt(p0));
        break;
    case ENG_CALC_EVEN_IN_ENG_I0:
    case ENG_CALC_EVEN_IN_ENG_I1:
        eng->EvenInEnergy->setChecked(cmdFlag(p0));
        break;
    case ENG_CALC_EVEN_IN_DEG_I0:
    case ENG_CALC_EVEN_IN_DEG_I1:
        eng->EvenInAngle->setChecked(cmdFlag(p0));
        break;
    case ENG_CALC_DISP_UNIT_I0:
    case ENG_CALC_DISP_UNIT_I1:
        panel->setDispUnit(cmdInt(p0));
        break;
    case ENG_BY_REF_I0:
    case ENG_BY_REF_I1:
        panel->setEngByRef(p0);
        break;
    case SET_FLUO_TYPE:
        FluoType->setChecked(cmdFlag(p0));
        break;
    case SUGGEST_ELM:
        UseSuggestElm->setChecked(cmdFlag(p0));
        newEdgeSuggested(0);
        break;
    case SUGGESTING_ELM:
        SuggestingElm->setText(p0);
        newEdgeSuggested(0);
        break;
    case SUGGESTING_EDGE:
        SuggestingEdge->setCurrentIndex(cmdInt(p0));
        newEdgeSuggested(0);
        break;
    case SUGGESTING_EDGE_EV:
        SuggestingEeV->setText(p0);
        break;
    case SUGGESTING_PRE_END_EV:
        DPreE->setText(p0);
        break;
    case SUGGESTING_POST_START_EV:
        DPostS->setText(p0);
        break;
    default:
        return CmdAnswer::Error;
    }
    return CmdAnswer::Now;
}

// Whatever it loads, the batch gets exactly one answer, 4 for I1 and 5 for
// I0: from the loader when files go to it, at once when none do.
Body::CmdAnswer Body::loadFilesCmd(const CmdLine& cmd, bool i1, bool byPattern)
{
    const EX_CMD_ID answerId = i1 ? LOAD_I1_FILES : LOAD_I0_FILES;
    const bool newFile = cmdKeywordIs(cmd.firstParam(), QStringLiteral("NEW"));
    QStringList files;
    if (byPattern)
        files = filesOfPattern(cmd.param(1), cmd.params.mid(2));
    else
        files = cmd.params.mid(1);

    if (files.isEmpty()) {
        if (byPattern) {
            const QStringList filters = cmd.params.mid(2);
            logMistake(QStringLiteral("%1: no file in the folder \"%2\" matches \"%3\"")
                           .arg(cmd.cmd, cmd.param(1),
                                filters.isEmpty() ? QStringLiteral("*") : filters.join(u' ')));
        }
        // A new load that finds nothing still leaves an empty stack behind.
        if (byPattern && newFile && !cmd.param(1).isEmpty()) {
            if (i1) {
                clearI1Files();
                clearChosenMaps(true);
            } else {
                clearI0Files();
            }
            tellIfEmpty(i1 ? FrameSets::I1 : FrameSets::I0);
        }
        emit finishBatchExec(answerId);
        return CmdAnswer::Later;
    }
    if (i1)
        readI1Files(files, newFile);
    else
        readI0Files(files, newFile);
    return CmdAnswer::Later;
}

void Body::newEdgeSuggested(int)
{
    const int z = elemSymbolToZ(SuggestingElm->text());
    const int edge = SuggestingEdge->currentIndex();
    // Only what the loaded table holds: K, LI, LII, LIII of a listed element.
    if (z <= 0 || z >= victoreenTable.count || edge < 0 || edge > 3)
        return;
    SuggestingEeV->setText(QString::number(victoreenEdge(z, edge) * 1000.0, 'g', 6));
}

void Body::newElmSuggested()
{
    newEdgeSuggested(0);
}
