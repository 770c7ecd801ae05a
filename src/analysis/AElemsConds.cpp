#include "analysis/AElemsConds.h"

#include <QLineEdit>
#include <cmath>

AElemsConds::AElemsConds(QWidget* parent) : QFrame(parent) { setupUi(this); }

AElemsConds::~AElemsConds() = default;

namespace {
double numberIn(const QLineEdit* e)
{
    bool ok = false;
    const double v = e->text().toDouble(&ok);
    // "nan" or "inf" would pass into every map as a background value.
    return ok && std::isfinite(v) ? v : 0.0;
}
} // namespace

ElemBackground AElemsConds::background() const
{
    ElemBackground bg;
    bg.dMut = numberIn(BGVDMut);
    bg.dMutR = numberIn(BGVDMutR);
    bg.dE = numberIn(BGVDE);
    bg.roi = numberIn(BGVROI);
    bg.nRoi = numberIn(BGVNROI);
    return bg;
}
