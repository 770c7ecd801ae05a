#include "imagestack/SelectDataFilesAdditionalSetup.h"

#include "display/ScreenFit.h"
#include "display/_FileDialog.h"
#include "foundation/Cfg.h"
#include "imagestack/ErrPoints.h"

#include <cmath>

SelectDataFilesAdditionalSetup::SelectDataFilesAdditionalSetup(QWidget* parent)
    : QFrame(parent)
{
    fileDialog = new _FileDialog(QString(), nullptr);
    install(std::make_unique<ErrPoints>());
    setupUi(this);
    screenfit::scrollForm(*this);

    connect(SetDA, &QPushButton::clicked, this, &SelectDataFilesAdditionalSetup::setDarkArea);
    connect(UpDateDA, &QPushButton::clicked, this, &SelectDataFilesAdditionalSetup::updateDarkArea);
    connect(ClearDA, &QPushButton::clicked, this, &SelectDataFilesAdditionalSetup::clearDarkArea);

    // Without the key there is no file to read: no "Can't Open" line at every start.
    const QString errPsFile = cfg.value(QStringLiteral("ErrPoints"), QString());
    if (!errPsFile.isEmpty())
        errPsDefSelected(errPsFile);

    connect(SelectErrPsDef, &QPushButton::clicked, fileDialog, &_FileDialog::show);
    connect(fileDialog, &_FileDialog::fileSelected, this,
            &SelectDataFilesAdditionalSetup::errPsDefSelected);
    connect(UseErrPs, &QCheckBox::toggled, this, &SelectDataFilesAdditionalSetup::toggledUseErrPs);
}

SelectDataFilesAdditionalSetup::~SelectDataFilesAdditionalSetup()
{
    delete fileDialog;
}

void SelectDataFilesAdditionalSetup::install(std::unique_ptr<ErrPoints> next)
{
    current = next.get();
    held.push_back(std::move(next));
}

void SelectDataFilesAdditionalSetup::errPsDefSelected(const QString& fname)
{
    auto next = std::make_unique<ErrPoints>();
    if (next->read(fname, false)) {
        ErrPsFile->setText(fname);
        next->use = UseErrPs->isChecked();
    } else {
        // The failed read left the list empty, unnamed and off.
        ErrPsFile->clear();
    }
    install(std::move(next));
}

void SelectDataFilesAdditionalSetup::toggledUseErrPs(bool f)
{
    if (current->use == f)
        return;
    auto next = std::make_unique<ErrPoints>(*current);
    next->use = f;
    install(std::move(next));
}

QString SelectDataFilesAdditionalSetup::darkAreaText(const QRectF& area)
{
    // Cut toward zero without going through int, which NaN or huge values would break.
    auto cut = [](double v) {
        if (!std::isfinite(v))
            return QStringLiteral("-");
        const double t = std::trunc(v);
        return t == 0.0 ? QStringLiteral("0") : QString::number(t, 'f', 0);
    };
    return QStringLiteral("(%1,%2)-(%3,%4)")
        .arg(cut(area.x()), cut(area.y()), cut(area.x() + area.width()),
             cut(area.y() + area.height()));
}

void SelectDataFilesAdditionalSetup::darkArea(const QRectF& area)
{
    DarkArea->setText(darkAreaText(area));
}
