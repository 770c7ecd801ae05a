#pragma once
// What the benchmarks that run the program share: a synthetic stack across an
// edge at 7112 eV whose pixels mix two references, and those references.
#include "BenchStack.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cmath>
#include <vector>

namespace bench {

// Normalised references: an edge with a white line, at two positions.
inline double edgeReference(double e, double edge)
{
    return 0.5 + std::atan((e - edge) / 1.5) / M_PI + 0.3 * std::exp(-std::pow((e - edge - 6.0) / 4.0, 2));
}

// "I1_07112_0000.tif": the energy in the name, where the program reads it.
inline QString edgeFrameName(const char* stack, double e)
{
    const qint64 t = std::llround(e * 10000.0);
    return QStringLiteral("%1_%2_%3.tif")
        .arg(QLatin1String(stack))
        .arg(t / 10000, 5, 10, QLatin1Char('0'))
        .arg(t % 10000, 4, 10, QLatin1Char('0'));
}

// A side x side frame at energy e: the fraction of the first reference grows
// from left to right and the jump from top to bottom, in a beam of 30000
// counts (the beam alone for I0).
inline bool writeEdgeFrame(const QString& path, int side, double e, bool i0 = false)
{
    TIFF* tif = openFrame16(path, side, side);
    if (!tif)
        return false;
    std::vector<quint16> row(static_cast<size_t>(side));
    const double a = edgeReference(e, 7112.0), b = edgeReference(e, 7118.0);
    bool ok = true;
    for (int y = 0; y < side && ok; y++) {
        const double jump = 0.5 + y / double(side - 1);
        for (int x = 0; x < side; x++) {
            const double f = x / double(side - 1);
            const double mut = i0 ? 0.0 : 0.2 + 1e-4 * (e - 7000.0) + jump * (f * a + (1.0 - f) * b);
            row[size_t(x)] = quint16(std::lround(30000.0 * std::exp(-mut)));
        }
        ok = TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

inline bool writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

// ref0.dat and ref1.dat, two columns from 6950 to 7450 eV.
inline bool writeEdgeReferences(const QDir& dir)
{
    for (int r = 0; r < 2; ++r) {
        QByteArray text;
        for (int i = 0; i <= 1000; ++i) {
            const double e = 6950.0 + 0.5 * i;
            const double y = edgeReference(e, r ? 7118.0 : 7112.0);
            text += QByteArray::number(e, 'f', 1) + ' ' + QByteArray::number(y, 'f', 6) + '\n';
        }
        if (!writeText(dir.filePath(QStringLiteral("ref%1.dat").arg(r)), text))
            return false;
    }
    return true;
}

} // namespace bench
