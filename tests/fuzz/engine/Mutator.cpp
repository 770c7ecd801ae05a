#include "Mutator.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace {
const int maxInput = 1 << 20;
}

std::uint64_t inputSeed(std::uint64_t runSeed, std::uint64_t index)
{
    // splitmix64 over the pair, so neighbouring indices give unrelated streams
    std::uint64_t z = runSeed * 0x9E3779B97F4A7C15ull + index + 0x632BE59BD9B4E019ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

const QList<std::int64_t>& Mutator::boundaryNumbers()
{
    static const QList<std::int64_t> v{0, -1, 1, 2, 255, 256, 32767, 32768, 65535, 65536,
                                       std::numeric_limits<std::int32_t>::max(),
                                       std::numeric_limits<std::int32_t>::min(),
                                       std::numeric_limits<std::uint32_t>::max()};
    return v;
}

const QList<QByteArray>& Mutator::boundaryTexts()
{
    static const QList<QByteArray> v{"0", "-1", "1", "65535", "65536", "2147483647",
                                     "-2147483648", "4294967296", "9223372036854775807",
                                     "nan", "NaN", "inf", "-inf", "1e999", "-1e999", "1e-320",
                                     "0x7fffffff", "", "$", "\"", "#"};
    return v;
}

QByteArray Mutator::mutate(const QList<QByteArray>& examples, int headerBytes, bool text)
{
    QByteArray b = examples.isEmpty() ? QByteArray() : examples.at(int(below(examples.size())));
    const int n = 1 + int(below(8));
    for (int i = 0; i < n; ++i) {
        switch (below(text ? 9 : 8)) {
        case 0: bitFlip(b); break;
        case 1: byteSet(b); break;
        case 2: insertBytes(b); break;
        case 3: deleteBytes(b); break;
        case 4: duplicateChunk(b); break;
        case 5: truncate(b); break;
        case 6:
        case 7:
            if (text)
                boundaryToken(b);
            else
                boundaryField(b, headerBytes);
            break;
        default: spliceLine(b, examples); break;
        }
        if (b.size() > maxInput)
            b.truncate(maxInput);
    }
    return b;
}

void Mutator::bitFlip(QByteArray& b)
{
    if (b.isEmpty())
        return;
    const qsizetype at = qsizetype(below(b.size()));
    b[at] = char(uchar(b[at]) ^ (1u << below(8)));
}

void Mutator::byteSet(QByteArray& b)
{
    if (b.isEmpty())
        return;
    static const char interesting[] = {0, 1, '\n', '\r', ' ', '-', '9', '\t', char(0x7f),
                                       char(0x80), char(0xff), '#', ':', ','};
    const qsizetype at = qsizetype(below(b.size()));
    b[at] = below(2) ? char(below(256)) : interesting[below(sizeof interesting)];
}

void Mutator::insertBytes(QByteArray& b)
{
    const qsizetype at = qsizetype(below(b.size() + 1));
    QByteArray add;
    const int len = 1 + int(below(below(4) == 0 ? 256 : 8));
    for (int i = 0; i < len; ++i)
        add.append(char(below(256)));
    b.insert(at, add);
}

void Mutator::deleteBytes(QByteArray& b)
{
    if (b.isEmpty())
        return;
    const qsizetype at = qsizetype(below(b.size()));
    b.remove(at, qsizetype(1 + below(qMin<qsizetype>(b.size() - at, 64))));
}

void Mutator::duplicateChunk(QByteArray& b)
{
    if (b.isEmpty())
        return;
    const qsizetype from = qsizetype(below(b.size()));
    const qsizetype len = qsizetype(1 + below(qMin<qsizetype>(b.size() - from, 4096)));
    const QByteArray chunk = b.mid(from, len);
    const int times = 1 + int(below(below(8) == 0 ? 64 : 3));
    const qsizetype at = qsizetype(below(b.size() + 1));
    b.insert(at, chunk.repeated(times));
}

void Mutator::truncate(QByteArray& b) { b.truncate(qsizetype(below(b.size() + 1))); }

// A boundary number over a field of the header, as 16 or 32 bits, either byte order.
void Mutator::boundaryField(QByteArray& b, int headerBytes)
{
    const qsizetype span = qMin<qsizetype>(b.size(), headerBytes > 0 ? headerBytes : b.size());
    const int width = below(2) ? 4 : 2;
    if (span < width)
        return;
    const qsizetype at = qsizetype(below(span - width + 1)) & ~qsizetype(1);
    const std::int64_t v = boundaryNumbers().at(int(below(boundaryNumbers().size())));
    uchar buf[4];
    const bool big = below(2);
    if (width == 4) {
        const quint32 u = quint32(v);
        big ? qToBigEndian(u, buf) : qToLittleEndian(u, buf);
    } else {
        const quint16 u = quint16(v);
        big ? qToBigEndian(u, buf) : qToLittleEndian(u, buf);
    }
    std::memcpy(b.data() + at, buf, size_t(width));
}

// A number of a text input replaced by a boundary text.
void Mutator::boundaryToken(QByteArray& b)
{
    QList<QPair<qsizetype, qsizetype>> numbers;
    for (qsizetype i = 0; i < b.size();) {
        const char c = b.at(i);
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
            qsizetype j = i + 1;
            while (j < b.size() && ((b.at(j) >= '0' && b.at(j) <= '9') || b.at(j) == '.'
                                    || b.at(j) == 'e' || b.at(j) == 'E'))
                ++j;
            numbers.append({i, j - i});
            i = j;
        } else {
            ++i;
        }
    }
    const QByteArray& t = boundaryTexts().at(int(below(boundaryTexts().size())));
    if (numbers.isEmpty()) {
        b.insert(qsizetype(below(b.size() + 1)), t);
        return;
    }
    const auto n = numbers.at(int(below(numbers.size())));
    b.replace(n.first, n.second, t);
}

// A line of another example put in, so text inputs meet each other's keywords.
void Mutator::spliceLine(QByteArray& b, const QList<QByteArray>& examples)
{
    if (examples.isEmpty())
        return;
    const QList<QByteArray> lines = examples.at(int(below(examples.size()))).split('\n');
    const QByteArray& line = lines.at(int(below(lines.size())));
    qsizetype at = b.indexOf('\n', qsizetype(below(b.size() + 1)));
    at = at < 0 ? b.size() : at + 1;
    b.insert(at, line + '\n');
}
