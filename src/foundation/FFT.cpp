#include "foundation/FFT.h"

#include "foundation/Spectrum.h"

#include <QMutex>
#include <QMutexLocker>
#include <cmath>

namespace {
// FFTW's planner is not thread-safe; only fftw_execute is.
QMutex& plannerLock()
{
    static QMutex lock;
    return lock;
}

fftw_complex* newComplex(int n)
{
    return static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * size_t(n)));
}
} // namespace

FFT::~FFT() { release(); }

void FFT::release()
{
    {
        QMutexLocker locker(&plannerLock());
        if (fwdPlan)
            fftw_destroy_plan(fwdPlan);
        if (bwdPlan)
            fftw_destroy_plan(bwdPlan);
    }
    fwdPlan = bwdPlan = nullptr;
    for (fftw_complex** buf : {&fwdIn, &fwdOut, &bwdIn, &bwdOut}) {
        if (*buf)
            fftw_free(*buf);
        *buf = nullptr;
    }
    delete[] amp;
    amp = nullptr;
    n = 0;
}

void FFT::setSize(int newSize)
{
    if (newSize == n)
        return;
    release();
    if (newSize <= 0)
        return;
    n = newSize;
    fwdIn = newComplex(n);
    fwdOut = newComplex(n);
    bwdIn = newComplex(n);
    bwdOut = newComplex(n);
    amp = new double[size_t(n)]();
    if (fwdIn && fwdOut && bwdIn && bwdOut) {
        QMutexLocker locker(&plannerLock());
        fwdPlan = fftw_plan_dft_1d(n, fwdIn, fwdOut, FFTW_FORWARD, FFTW_ESTIMATE);
        bwdPlan = fftw_plan_dft_1d(n, bwdIn, bwdOut, FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    if (!fwdPlan || !bwdPlan) {
        release();
        return;
    }
    // Amplitudes read before any transform see zeros, not stale memory.
    for (int k = 0; k < n; ++k)
        fwdIn[k][0] = fwdIn[k][1] = fwdOut[k][0] = fwdOut[k][1] = 0.0;
}

void FFT::forward(const Spectrum& s)
{
    if (!fwdIn)
        return;
    const int count = s.size();
    for (int k = 0; k < n; ++k) {
        fwdIn[k][0] = k < count ? s.y(k) : 0.0;
        fwdIn[k][1] = 0.0;
    }
    fftw_execute(fwdPlan);
}

void FFT::forwardAll(const double* values)
{
    if (!fwdIn || !values)
        return;
    for (int k = 0; k < n; ++k) {
        fwdIn[k][0] = values[k];
        fwdIn[k][1] = 0.0;
    }
    fftw_execute(fwdPlan);
}

const double* FFT::amplitudes()
{
    if (!fwdOut)
        return nullptr;
    for (int k = 0; k < n; ++k)
        amp[k] = std::sqrt(fwdOut[k][0] * fwdOut[k][0] + fwdOut[k][1] * fwdOut[k][1]);
    return amp;
}
