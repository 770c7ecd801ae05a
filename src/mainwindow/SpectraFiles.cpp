#include "mainwindow/SpectraFiles.h"

#include "foundation/Spectrum.h"

#include <QDebug>
#include <QFile>

#include <charconv>
#include <cmath>

namespace spectra {

namespace {

const char* title(Kind kind)
{
    switch (kind) {
    case NormalizedXafs:
        return "# Corvelline Save Normalized Xafs Spectra 1.0";
    case RawXafs:
        return "# Corvelline Save Raw Xafs Spectra 1.0";
    case RawI1:
        break;
    }
    return "# Corvelline Save Raw Spectra 1.0";
}

void appendInt(QByteArray& out, qint64 v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr - buf);
}

void appendLine(QByteArray& out, const char* label, qint64 a, qint64 b)
{
    out += label;
    appendInt(out, a);
    out += ' ';
    appendInt(out, b);
}

qint64 steps(int a, int b, int half, int step)
{
    return (qint64(b) - a - half - 1) / step + 1;
}

// Flushed to the file in pieces of about this size.
const int Chunk = 1 << 20;

} // namespace

QByteArray header(Kind kind, const AnalyzeCond& c)
{
    QByteArray h;
    h += title(kind);
    h += '\n';
    appendLine(h, "# X-Range (x0, x1), steps : ", c.x0, c.x1);
    h += ' ';
    appendInt(h, steps(c.x0, c.x1, c.hx, c.stepX));
    h += '\n';
    appendLine(h, "# Y-Range (y0, y1), steps : ", c.y0, c.y1);
    h += ' ';
    appendInt(h, steps(c.y0, c.y1, c.hy, c.stepY));
    h += '\n';
    appendLine(h, "# Full Width, Height      : ", c.W, c.H);
    h += '\n';
    appendLine(h, "# Bin Half Width, Height  : ", c.hx, c.hy);
    h += '\n';
    appendLine(h, "# Step dX, dY             : ", c.stepX, c.stepY);
    h += "\n# End of Header\n";
    return h;
}

bool gridUsable(const AnalyzeCond& c)
{
    return c.stepX >= 1 && c.stepY >= 1 && c.hx >= 0 && c.hy >= 0;
}

void appendReal(QByteArray& out, double v)
{
    if (std::isnan(v)) {
        out += "nan";
        return;
    }
    if (std::isinf(v)) {
        out += v < 0 ? "-inf" : "inf";
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    out.append(buf, r.ptr - buf);
}

void appendRow(QByteArray& line, int cx, int cy, const double* shift, const Spectrum& points,
               const Spectrum* values)
{
    appendInt(line, cx);
    line += ' ';
    appendInt(line, cy);
    if (shift) {
        line += ' ';
        appendReal(line, *shift);
    }
    const Spectrum& v = values ? *values : points;
    const int n = points.size();
    const int nv = v.size();
    for (int i = 0; i < n; i++) {
        line += ' ';
        appendReal(line, points.pos(i));
        line += ' ';
        appendReal(line, i < nv ? v.y(i) : 0.0);
    }
    line += '\n';
}

bool write(const QString& fileName, Kind kind, AnalyzeCond c,
           const std::function<void(const AnalyzeCond&, QByteArray&)>& row)
{
    if (!gridUsable(c)) {
        qDebug().noquote() << "Can't save spectra: bin steps" << c.stepX << c.stepY << "half sizes" << c.hx
                           << c.hy;
        return false;
    }
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qDebug().noquote() << "Can't open" << fileName;
        return false;
    }
    QByteArray buf = header(kind, c);
    buf.reserve(Chunk + Chunk / 4);
    const double rows = double(c.y1) - c.y0;
    c.reset();
    do {
        if (c.first)
            qDebug() << "Save Xafs Spectra : Progress" << (rows > 0 ? (c.cy - c.y0) / rows * 100.0 : 100.0);
        row(c, buf);
        if (buf.size() >= Chunk) {
            if (f.write(buf) != buf.size()) {
                qDebug().noquote() << "Can't write" << fileName;
                return false;
            }
            buf.resize(0);
        }
    } while (c.next());
    if (f.write(buf) != buf.size() || !f.flush()) {
        qDebug().noquote() << "Can't write" << fileName;
        return false;
    }
    return true;
}

} // namespace spectra
