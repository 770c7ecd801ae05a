#pragma once
// A deterministic mutator: the same seed always gives the same bytes, so a
// failing input can be made again from the seed a run prints.
#include <QByteArray>
#include <QList>

#include <cstdint>
#include <random>

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : rng(seed) {}

    // 1 to 8 mutations of one of the examples; binary inputs also get
    // boundary numbers written over the first headerBytes bytes.
    QByteArray mutate(const QList<QByteArray>& examples, int headerBytes, bool text);

    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : rng() % n; }

    // The values header fields are pushed to: sizes, offsets, counts.
    static const QList<std::int64_t>& boundaryNumbers();
    static const QList<QByteArray>& boundaryTexts();

private:
    void bitFlip(QByteArray& b);
    void byteSet(QByteArray& b);
    void insertBytes(QByteArray& b);
    void deleteBytes(QByteArray& b);
    void duplicateChunk(QByteArray& b);
    void truncate(QByteArray& b);
    void boundaryField(QByteArray& b, int headerBytes);
    void boundaryToken(QByteArray& b);
    void spliceLine(QByteArray& b, const QList<QByteArray>& examples);

    std::mt19937_64 rng;
};

// The seed of input i of a run started with seed s.
std::uint64_t inputSeed(std::uint64_t runSeed, std::uint64_t index);
