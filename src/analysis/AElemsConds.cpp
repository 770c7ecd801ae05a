#include "analysis/AElemsConds.h"

#include "display/FieldValue.h"

AElemsConds::AElemsConds(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    // dmut-Ratio is read by no analysis.
    for (QLineEdit* e : {BGVDMut, BGVDE, BGVROI, BGVNROI})
        watchNumberField(e, FieldKind::Real);
}

AElemsConds::~AElemsConds() = default;

ElemBackground AElemsConds::background() const
{
    ElemBackground bg;
    bg.dMut = fieldValue(BGVDMut);
    bg.dMutR = fieldValue(BGVDMutR);
    bg.dE = fieldValue(BGVDE);
    bg.roi = fieldValue(BGVROI);
    bg.nRoi = fieldValue(BGVNROI);
    return bg;
}

QString AElemsConds::fieldMistake() const
{
    return firstFieldMistake({{BGVDMut, "BG Values dmut"},
                              {BGVDE, "BG Values dE"},
                              {BGVROI, "BG Values ROI"},
                              {BGVNROI, "BG Values NROI"}},
                             FieldKind::Real);
}
