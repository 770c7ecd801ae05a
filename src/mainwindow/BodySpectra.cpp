// The files of every bin's spectrum over the analysis area.
#include "mainwindow/Body.h"

#include "foundation/FileNames.h"
#include "mainwindow/SpectraFiles.h"

namespace {
QString spectraFileName(const QString& fname)
{
    return fileNameWithSuffix(fname, QStringLiteral("dat"), false, true);
}
} // namespace

void Body::saveEachSpectrum(QString fname)
{
    if (SaveAsNormalizedXAFS->isChecked())
        saveEachNormalizedXafsSpectrum(fname);
    if (SaveAsRawXAFS->isChecked())
        saveEachRawXafsSpectrum(fname);
    if (SaveAsRaw->isChecked())
        saveEachRawSpectrum(fname);
}

void Body::saveEachNormalizedXafsSpectrum(QString fname)
{
    AnalyzeCond c;
    if (!askAnalyzeCond(c))
        return;
    const int hw = viewW();
    const int hh = viewH();
    const int mode = binNormMode();
    const SuggestElm sElm = suggestElm();
    const QString name = QStringLiteral("Body-SaveEach");
    spectra::RowFormatter rows;
    spectra::write(spectraFileName(fname), spectra::NormalizedXafs, c,
                   [&](const AnalyzeCond& b, QByteArray& line) {
                       const XafsSpectrum s = binXafsSpectrum(b.cx, b.cy, hw, hh, name, mode, sElm);
                       rows.append(line, b.cx, b.cy, &s.eOffset, s, &s.doubleNormalized);
                   });
}

void Body::saveEachRawXafsSpectrum(QString fname)
{
    AnalyzeCond c;
    if (!askAnalyzeCond(c))
        return;
    const int hw = viewW();
    const int hh = viewH();
    spectra::RowFormatter rows;
    spectra::write(spectraFileName(fname), spectra::RawXafs, c, [&](const AnalyzeCond& b, QByteArray& line) {
        // reported in the head, not applied to the energies
        const double shift = eShiftAt(b.cx, b.cy);
        rows.append(line, b.cx, b.cy, &shift, xafsSpectrumAt(b.cx, b.cy, hw, hh), nullptr);
    });
}

void Body::saveEachRawSpectrum(QString fname)
{
    AnalyzeCond c;
    if (!askAnalyzeCond(c))
        return;
    const int hw = viewW();
    const int hh = viewH();
    spectra::RowFormatter rows;
    spectra::write(spectraFileName(fname), spectra::RawI1, c, [&](const AnalyzeCond& b, QByteArray& line) {
        rows.append(line, b.cx, b.cy, nullptr, rawI1SpectrumAt(b.cx, b.cy, hw, hh), nullptr);
    });
}
