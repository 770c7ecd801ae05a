// The files of every bin's spectrum over the analysis area.
#include "mainwindow/Body.h"

#include "foundation/FileNames.h"
#include "mainwindow/SpectraFiles.h"

namespace {
// One line per bin, from the bin, the view bin half sizes and the formatter.
using BinLine = std::function<void(const AnalyzeCond&, int, int, spectra::RowFormatter&, QByteArray&)>;

// Nothing without a stack (there is no area); the given suffix becomes "dat".
bool writeSpectra(Body& body, const QString& fname, spectra::Kind kind, const BinLine& line)
{
    AnalyzeCond c;
    if (!body.askAnalyzeCond(c))
        return false;
    const int hw = body.viewW();
    const int hh = body.viewH();
    spectra::RowFormatter rows;
    return spectra::write(fileNameWithSuffix(fname, QStringLiteral("dat"), false, true), kind, c,
                   [&](const AnalyzeCond& b, QByteArray& out) { line(b, hw, hh, rows, out); });
}
} // namespace

bool Body::saveEachSpectrum(QString fname)
{
    AnalyzeCond c;
    QString unreadable = binSizeMistake(true, true);
    if (unreadable.isEmpty())
        unreadable = areaRefusal(c);
    if (!unreadable.isEmpty()) {
        logMistake(QStringLiteral("Can't save the spectra %1: %2").arg(fname, unreadable));
        return false;
    }
    // The raw I1 sums use no I0.
    if (SaveAsNormalizedXAFS->isChecked() || SaveAsRawXAFS->isChecked())
        tellStandInI0();
    bool saved = true;
    if (SaveAsNormalizedXAFS->isChecked())
        saved = saveEachNormalizedXafsSpectrum(fname) && saved;
    if (SaveAsRawXAFS->isChecked())
        saved = saveEachRawXafsSpectrum(fname) && saved;
    if (SaveAsRaw->isChecked())
        saved = saveEachRawSpectrum(fname) && saved;
    return saved;
}

bool Body::saveEachNormalizedXafsSpectrum(QString fname)
{
    const int mode = binNormMode();
    const SuggestElm sElm = suggestElm();
    const QString name = QStringLiteral("Body-SaveEach");
    return writeSpectra(*this, fname, spectra::NormalizedXafs,
                 [&](const AnalyzeCond& b, int hw, int hh, spectra::RowFormatter& rows, QByteArray& out) {
                     const XafsSpectrum s = binXafsSpectrum(b.cx, b.cy, hw, hh, name, mode, sElm);
                     rows.append(out, b.cx, b.cy, &s.eOffset, s, &s.doubleNormalized);
                 });
}

bool Body::saveEachRawXafsSpectrum(QString fname)
{
    return writeSpectra(*this, fname, spectra::RawXafs,
                 [&](const AnalyzeCond& b, int hw, int hh, spectra::RowFormatter& rows, QByteArray& out) {
                     // reported in the head, not applied to the energies
                     const double shift = eShiftAt(b.cx, b.cy);
                     rows.append(out, b.cx, b.cy, &shift, xafsSpectrumAt(b.cx, b.cy, hw, hh), nullptr);
                 });
}

bool Body::saveEachRawSpectrum(QString fname)
{
    return writeSpectra(*this, fname, spectra::RawI1,
                 [&](const AnalyzeCond& b, int hw, int hh, spectra::RowFormatter& rows, QByteArray& out) {
                     rows.append(out, b.cx, b.cy, nullptr, rawI1SpectrumAt(b.cx, b.cy, hw, hh), nullptr);
                 });
}
