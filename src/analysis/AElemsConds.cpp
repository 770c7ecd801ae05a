#include "analysis/AElemsConds.h"

#include "display/FieldValue.h"

AElemsConds::AElemsConds(QWidget* parent) : QFrame(parent) { setupUi(this); }

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
