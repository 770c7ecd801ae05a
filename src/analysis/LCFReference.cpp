#include "analysis/LCFReference.h"

#include "analysis/Analyzed2DRes.h"

#include <algorithm>
#include <cmath>

namespace {
const char* const ShowStyle =
    "::indicator:unchecked { background-color: #ccddcc; border-radius: 5px; border: 2px solid #999999; }"
    "::indicator:checked   { background-color: #ffffaa; border-radius: 5px; border: 2px solid #ffaa00; }";

// A shift that is no finite number would move every look-up off the curve.
double finiteOr0(double v) { return std::isfinite(v) ? v : 0.0; }
} // namespace

LCFReference::LCFReference(QWidget* parent) : QFrame(parent), XafsSpectrum()
{
    setupUi(this);
    Show->setStyleSheet(QString::fromLatin1(ShowStyle));
    XFS->showUse(true);
    useXOffset = true;
    editedDeltaE();
    ratio = 0.0;
    connect(XFS, &XafsFileSelect::newFile, this, &LCFReference::newFile);
    connect(XFS, &XafsFileSelect::changedUse, this, &LCFReference::changedUse);
    connect(DeltaE, &QLineEdit::editingFinished, this, &LCFReference::editedDeltaE);
    connect(IsVictreen, &QCheckBox::toggled, this, &LCFReference::toggledIsVictreen);
}

LCFReference::~LCFReference() = default;

bool LCFReference::takesPart() const { return XFS->Use->isChecked() && XFS->hasFile; }

bool LCFReference::holdsSpectrum() const { return XFS->hasFile && fileRead && Spectrum::size() > 0; }

LCFRefData LCFReference::refData(int index) const
{
    return LCFRefData::of(*this, index, xOffset);
}

QList<LCFRefData> LCFReference::usedRefs(const QList<LCFReference*>& rows)
{
    QList<LCFRefData> refs;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i] && rows[i]->takesPart())
            refs.append(rows[i]->refData(i));
    return refs;
}

void LCFReference::applyFit(const QList<LCFReference*>& rows, const AnalyzeReply& r)
{
    if (!r.fitted || !r.writeRows)
        return;
    const int n = int(std::min({r.lcfRows.size(), r.lcfRatios.size(), r.lcfDMuts.size()}));
    for (int k = 0; k < n; ++k) {
        const int i = r.lcfRows[k];
        if (i < 0 || i >= rows.size() || !rows[i])
            continue;
        rows[i]->setRatio(r.lcfRatios[k]);
        rows[i]->setDMut(r.lcfDMuts[k]);
    }
}

void LCFReference::setRatio(double r)
{
    ratio = r;
    // MLCF over an empty range divides by a sum of 0: no value to show.
    R->setText(std::isfinite(r) ? QString::asprintf("%5.2f", r * 100.0) : QString());
}

void LCFReference::setDMut(double v) { T->setText(QString::number(v, 'g', 6)); }

void LCFReference::normalizeOnFileEnergies()
{
    const int mode = IsVictreen->isChecked() ? 0 : 1;
    const bool shifted = useXOffset;
    useXOffset = false;
    normMode = mode;
    normalize(mode);
    useXOffset = shifted;
}

void LCFReference::showEdge()
{
    DMut->setText(QString::number(dMut, 'g', 6));
    MidE->setText(QString::number(e0, 'g', 6));
}

void LCFReference::newFile(QString fname)
{
    // Read aside, so a file that cannot be read leaves the current spectrum.
    XafsSpectrum read;
    const QString why = read.readFileTold(fname);
    if (!why.isEmpty()) {
        XFS->fileNameValid(false);
        fileRead = false;
        if (!fname.isEmpty()) // no name is no choice
            emit unreadableFile(why);
        return;
    }
    fileRead = true;
    const bool shifted = useXOffset;
    const double shift = xOffset;
    static_cast<Spectrum&>(*this) = static_cast<const Spectrum&>(read);
    useXOffset = shifted;
    xOffset = shift;
    i0 = read.i0;
    i1 = read.i1;
    plainFile = read.plainFile;
    XFS->fileNameValid(true);
    normalizeOnFileEnergies();
    showEdge();
    emit newFileSelected();
}

void LCFReference::changedUse(bool f) { use = f; }

void LCFReference::setShift(double v)
{
    eOffset = v;
    xOffset = v;
}

void LCFReference::editedDeltaE()
{
    bool ok = false;
    const double v = DeltaE->text().toDouble(&ok);
    setShift(ok ? finiteOr0(v) : 0.0);
    emit newDeltaE();
}

void LCFReference::toggledIsVictreen(bool)
{
    normalizeOnFileEnergies();
    // The shown jump and edge follow the spectrum they describe.
    if (Spectrum::size() > 0)
        showEdge();
}

void LCFReference::setStd(bool use_, double dE, QString fname, QString isVic)
{
    bool vic;
    if (isVic.isEmpty() || isVic.toUpper() == QLatin1String("VIC")) {
        vic = true;
    } else {
        bool ok = false;
        const int v = isVic.toInt(&ok, 10);
        vic = ok && v > 0;
    }
    IsVictreen->setChecked(vic);
    XFS->load(fname);
    XFS->setUse(use_);
    use = use_;
    const double shift = finiteOr0(dE);
    setShift(shift);
    DeltaE->setText(QString::number(shift, 'g', 6));
}
