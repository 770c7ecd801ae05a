// Mean time of XafsSpectrum::normalize on a 120-point Cu K-edge spectrum, and
// the heap allocations it makes once its curves exist.
#include "foundation/XafsSpectrum.h"

#include <QElapsedTimer>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<long> allocations{0};
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BENCH_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define BENCH_UNDER_ASAN 1
#endif

// The sanitizer owns malloc; count only in plain builds.
#if defined(__GLIBC__) && !defined(BENCH_UNDER_ASAN)
#define BENCH_COUNTS_ALLOCATIONS 1
// Counts every heap block, Qt's containers included (they allocate with malloc).
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t n)
{
    ++allocations;
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size)
{
    ++allocations;
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n)
{
    ++allocations;
    return __libc_realloc(p, n);
}
}
#endif

namespace {
void printAllocations(long made, int rounds)
{
#ifdef BENCH_COUNTS_ALLOCATIONS
    std::printf("%6.3f allocations/call", double(made) / rounds);
#else
    (void)made;
    (void)rounds;
    std::printf("   allocations not counted");
#endif
}

Spectrum cuEdge()
{
    Spectrum s;
    unsigned seed = 12345;
    for (int i = 0; i < 120; ++i) {
        const double e = 8900 + 2.0 * i;
        const double lam = 12398.424360387684 / e;
        seed = seed * 1103515245u + 12345u;
        const double noise = (int((seed >> 16) % 1000) - 500) * 2e-6;
        const double k = e > 8979 ? std::sqrt(0.2625 * (e - 8979)) : 0.0;
        const double y = 0.3 + 0.04 * lam * lam * lam + (std::atan((e - 8981) / 2.0) / M_PI + 0.5)
                         * (1.0 + 0.05 * std::sin(2 * 2.5 * k) * std::exp(-0.01 * k * k)) + noise;
        s.append(e, y);
    }
    return s;
}

void run(const char* label, int mode, const SuggestElm& se)
{
    const int rounds = 20000;
    XafsSpectrum x(cuEdge(), "bench", mode, 0, se);
    QElapsedTimer t;
    const long before = allocations.load();
    t.start();
    for (int i = 0; i < rounds; ++i)
        x.normalize(mode);
    const qint64 ns = t.nsecsElapsed();
    const long made = allocations.load() - before;
    std::printf("%-28s %8.2f us/call  ", label, ns / 1000.0 / rounds);
    printAllocations(made, rounds);
    std::printf("  e0 %.3f  dMut %.5f\n", x.e0, x.dMut);
}

void runFresh()
{
    // What the 2-D walk pays: a new spectrum, and so new curves, per bin.
    const int rounds = 20000;
    const Spectrum s = cuEdge();
    QElapsedTimer t;
    const long before = allocations.load();
    double sum = 0;
    t.start();
    for (int i = 0; i < rounds; ++i) {
        const XafsSpectrum x(s, "bench", 1, 0, SuggestElm());
        sum += x.e0;
    }
    const qint64 ns = t.nsecsElapsed();
    std::printf("%-28s %8.2f us/call  ", "construct + normalise", ns / 1000.0 / rounds);
    printAllocations(allocations.load() - before, rounds);
    std::printf("  (mean e0 %.3f)\n", sum / rounds);
}
} // namespace

int main()
{
    SuggestElm cu;
    cu.use = true;
    run("straight lines", 1, SuggestElm());
    run("straight lines, suggestion", 1, cu);
    run("Victoreen lines", 0, SuggestElm());
    runFresh();
    return 0;
}
