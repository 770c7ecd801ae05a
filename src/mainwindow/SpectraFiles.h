#pragma once
// The file of every bin's spectrum over the analysis area: seven header lines,
// then one line per bin in scanner order, its head (cx, cy and, for the XAFS
// kinds, the energy shift) followed by energy and value pairs.
#include "foundation/AnalyzeCond.h"
#include "foundation/TextUtils.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class Spectrum;

namespace spectra {

enum Kind { NormalizedXafs, RawXafs, RawI1 };

QByteArray header(Kind kind, const AnalyzeCond& c);

// A step below 1 or a negative half size cannot be written (the header divides).
bool gridUsable(const AnalyzeCond& c);

// v as a text stream writes a real by default: 6 significant digits, fixed or
// exponent as shorter.
void appendReal(QByteArray& out, double v);

// Formats the bins' lines. The energies mostly repeat from bin to bin: their
// text is kept and made again only where an energy differs.
class RowFormatter {
public:
    // One bin's line: head, then " energy value" per point of points (the
    // energy as formatEnergy writes it), the values
    // taken from values (0 past its end) or, without it, from points' own y.
    void append(QByteArray& line, int cx, int cy, const double* shift, const Spectrum& points,
                const Spectrum* values);

private:
    struct Text {
        double x = 0.0;
        bool set = false;
        int len = 0;
        char s[energyTextMax];
    };
    std::vector<Text> energies;
};

// Writes the header and one line per bin from row(bin, line); false, with a
// log line, when the grid is refused or the file cannot be written.
bool write(const QString& fileName, Kind kind, AnalyzeCond c,
           const std::function<void(const AnalyzeCond&, QByteArray&)>& row);

} // namespace spectra
