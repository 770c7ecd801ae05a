#include "imagestack/Analyzer2.h"
#include "display/ScreenFit.h"

#include <QDebug>

Analyzer2::Analyzer2(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    connect(CollectQInfo, SIGNAL(clicked()), this, SIGNAL(startCollectQInfo()));
    connect(DarkCheck, SIGNAL(clicked()), this, SIGNAL(askedDarkCheck()));
    connect(UseErrPMask, &QCheckBox::toggled, this, &Analyzer2::useErrPMaskToggled);
}

Analyzer2::~Analyzer2() = default;

void Analyzer2::doCollectQInfo(const AnalyzeCond&)
{
    qDebug() << "do collect Q Info";
}

void Analyzer2::setUseErrPMaskEnabled(bool f)
{
    UseErrPMask->setEnabled(f);
}

void Analyzer2::setUseErrPMaskChecked(bool f)
{
    UseErrPMask->setChecked(f);
}

bool Analyzer2::useErrPMask()
{
    return UseErrPMask->isChecked() && UseErrPMask->isEnabled();
}

void Analyzer2::setErrPMaskFileName(const QString& fname)
{
    ErrPMaskFileName->setText(fname);
}
