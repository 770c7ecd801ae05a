#include "mainwindow/SpectraFiles.h"

#include "foundation/Spectrum.h"
#include "foundation/WholeFile.h"

#include <QDebug>

#include <charconv>
#include <cmath>
#include <cstring>

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

// v as the text stream's own formatting writes it.
int fallback(char* out, double v)
{
    const QByteArray q = QByteArray::number(v, 'g', 6);
    std::memcpy(out, q.constData(), size_t(q.size()));
    return int(q.size());
}

const double powersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// a x 10^k, correctly rounded: every power here is exact.
double scaled(double a, int k)
{
    return k >= 0 ? a * powersOf10[k] : a / powersOf10[-k];
}

// Writes v as "%g" with 6 significant digits would, the way the text stream
// writes it (no sign on 0); returns the length (at most 13). The six digits
// come from v scaled to [1e5, 1e6), whose rounding error (below 1e-9) can
// only matter next to a half; such values, very large or small ones, nan and
// inf go to the stream's own formatting.
int formatReal(char* out, double v)
{
    if (v == 0.0) {
        out[0] = '0';
        return 1;
    }
    const double a = std::fabs(v);
    if (!(a >= 1e-15 && a < 1e15))
        return fallback(out, v);
    quint64 bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int e2 = int(bits >> 52) - 1023; // a is normal here: 2^e2 <= a < 2^(e2 + 1)
    // a lower bound of the decimal exponent, at most one too low
    int exp10 = int(std::floor(e2 * 0.30102999566398120));
    double s = scaled(a, 5 - exp10);
    if (s >= 1e6) {
        exp10++;
        s = scaled(a, 5 - exp10);
    }
    const double whole = std::floor(s);
    const double frac = s - whole;
    if (std::fabs(frac - 0.5) < 1e-6)
        return fallback(out, v);
    int d = int(whole) + (frac > 0.5 ? 1 : 0);
    if (d >= 1000000) {
        d /= 10;
        exp10++;
    }
    static const char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                "8081828384858687888990919293949596979899";
    char digits[6];
    for (int i = 4; i >= 0; i -= 2) {
        std::memcpy(digits + i, pairs + 2 * (d % 100), 2);
        d /= 100;
    }
    int n = 6;
    while (n > 1 && digits[n - 1] == '0')
        n--;

    int len = 0;
    if (v < 0)
        out[len++] = '-';
    if (exp10 < -4 || exp10 >= 6) {
        out[len++] = digits[0];
        if (n > 1) {
            out[len++] = '.';
            std::memcpy(out + len, digits + 1, size_t(n - 1));
            len += n - 1;
        }
        out[len++] = 'e';
        out[len++] = exp10 < 0 ? '-' : '+';
        const int e = exp10 < 0 ? -exp10 : exp10;
        out[len++] = char('0' + e / 10 % 10);
        out[len++] = char('0' + e % 10);
    } else if (exp10 >= 0) {
        for (int i = 0; i <= exp10 || i < n; i++) {
            if (i == exp10 + 1)
                out[len++] = '.';
            out[len++] = i < n ? digits[i] : '0';
        }
    } else {
        out[len++] = '0';
        out[len++] = '.';
        for (int i = -1; i > exp10; i--)
            out[len++] = '0';
        std::memcpy(out + len, digits, size_t(n));
        len += n;
    }
    return len;
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
    char buf[32];
    out.append(buf, formatReal(buf, v));
}

void RowFormatter::append(QByteArray& line, int cx, int cy, const double* shift, const Spectrum& points,
                          const Spectrum* values)
{
    const Spectrum& v = values ? *values : points;
    const int n = points.size();
    const int nv = v.size();
    if (energies.size() < size_t(n))
        energies.resize(size_t(n));
    // written in place: a head of at most 60 bytes, per point two blanks, a
    // value of at most 13 and an energy of at most energyTextMax
    const qsizetype start = line.size();
    line.resize(start + 60 + qsizetype(n) * (15 + energyTextMax));
    char* const begin = line.data() + start;
    char* p = begin;
    p = std::to_chars(p, p + 12, cx).ptr;
    *p++ = ' ';
    p = std::to_chars(p, p + 12, cy).ptr;
    if (shift) {
        *p++ = ' ';
        p += formatReal(p, *shift);
    }
    for (int i = 0; i < n; i++) {
        Text& e = energies[size_t(i)];
        const double x = points.pos(i);
        if (!e.set || !(e.x == x)) {
            e.len = formatEnergy(e.s, x);
            e.x = x;
            e.set = true;
        }
        *p++ = ' ';
        std::memcpy(p, e.s, size_t(e.len));
        p += e.len;
        *p++ = ' ';
        p += formatReal(p, i < nv ? v.y(i) : 0.0);
    }
    *p++ = '\n';
    line.resize(start + (p - begin));
}

bool write(const QString& fileName, Kind kind, AnalyzeCond c,
           const std::function<void(const AnalyzeCond&, QByteArray&)>& row)
{
    if (!gridUsable(c)) {
        tellSaveFailure(fileName, QStringLiteral("bin steps %1 %2, half sizes %3 %4 make no grid")
                                      .arg(c.stepX)
                                      .arg(c.stepY)
                                      .arg(c.hx)
                                      .arg(c.hy));
        return false;
    }
    WholeFile f(fileName);
    if (!f.open(true))
        return false;
    QByteArray buf = header(kind, c);
    buf.reserve(Chunk + Chunk / 4);
    const double rows = double(c.y1) - c.y0;
    c.reset();
    do {
        if (c.first)
            qDebug() << "Save Xafs Spectra : Progress" << (rows > 0 ? (c.cy - c.y0) / rows * 100.0 : 100.0);
        row(c, buf);
        if (buf.size() >= Chunk) {
            // A full disk ends the walk at once; commit discards and tells.
            if (!f.write(buf))
                return f.commit();
            buf.resize(0);
        }
    } while (c.next());
    f.write(buf);
    return f.commit();
}

} // namespace spectra
