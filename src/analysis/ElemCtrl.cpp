#include "analysis/ElemCtrl.h"

#include "display/FieldValue.h"
#include "display/FieldWidth.h"
#include "foundation/VictoreenRec.h"

#include <cmath>

namespace {
QString shortNumber(double v)
{
    return QString::number(v, 'g', 6).left(5);
}
} // namespace

ElemCtrl::ElemCtrl(QWidget* parent)
    : QFrame(parent)
{
    setupUi(this);
    // An edge energy shows whole: 8984.36 eV, 115606 eV.
    Eng->setMinimumWidth(digitsWidth(Eng, 7));
    connect(StdRatio, SIGNAL(editingFinished()), this, SLOT(newStdRatio()));
    for (QLineEdit* e : {Eng, PrePostDE, ROIs, ROIe, ThDMut, StdRatio})
        watchNumberField(e, FieldKind::Real);
}

void ElemCtrl::newStdRatio()
{
    // Not taken as 0: the field shows it and the ratio stays.
    if (!fieldReadable(StdRatio, FieldKind::Real))
        return;
    const double v = fieldValue(StdRatio);
    StdRatio->setText(QString::number(v, 'g', 6));
    stdRatio = v;
}

void ElemCtrl::setElement(int z_, int edge_, const QString& name)
{
    z = z_;
    edge = edge_;
    setName(name);
    No->setText(QString::number(z));
    // elements beyond the edge table read 0 here
    Eng->setText(QString::number(victoreenEdge(z, edge) * 1000.0, 'g', 6));
}

void ElemCtrl::setName(const QString& name)
{
    Name->setText(name);
    static const char* suffix[mapCount] = {"0", "N", "MP", "MM", "DE", "ROI", "NROI"};
    for (int k = 0; k < mapCount; k++) {
        if (maps[size_t(k)])
            maps[size_t(k)]->rename(QStringLiteral("%1 Elem Ctrl %2").arg(name, QLatin1String(suffix[k])));
    }
}

void ElemCtrl::setMaps(const Maps& m)
{
    maps = m;
    setName(Name->text());
}

void ElemCtrl::setStd()
{
    stdRatio = ratio;
    StdRatio->setText(QString::number(stdRatio, 'g', 6));
}

void ElemCtrl::setROI(double v)
{
    ROI->setText(shortNumber(v));
}

void ElemCtrl::setNROI(double v)
{
    NROI->setText(shortNumber(v));
}

Analyzed2DRes* ElemCtrl::map(int k)
{
    return k >= 0 && k < mapCount ? maps[size_t(k)] : nullptr;
}

ElemRowConds ElemCtrl::rowConds() const
{
    ElemRowConds c;
    c.e0 = fieldValue(Eng);
    c.dE = fieldValue(PrePostDE);
    c.roiS = fieldValue(ROIs);
    c.roiE = fieldValue(ROIe);
    c.thDMut = fieldValue(ThDMut);
    c.noNeg = NoNeg->isChecked();
    return c;
}

QString ElemCtrl::fieldMistake() const
{
    const QString m = firstFieldMistake({{Eng, "edge energy"},
                                         {PrePostDE, "Pre/Post dE"},
                                         {ROIs, "ROI"},
                                         {ROIe, "ROI"},
                                         {ThDMut, "Th dmut"},
                                         {StdRatio, "Std. Ratio"}},
                                        FieldKind::Real);
    return m.isEmpty() ? m : QStringLiteral("%1 %2").arg(Name->text(), m);
}
