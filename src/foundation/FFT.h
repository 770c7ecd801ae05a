#pragma once
// Forward complex DFT of a fixed length over FFTW, reusing buffers and plans
// while the length stays the same; amplitudes are unscaled.
#include <fftw3.h>

class Spectrum;

class FFT {
public:
    FFT() = default;
    ~FFT();
    FFT(const FFT&) = delete;
    FFT& operator=(const FFT&) = delete;

    // n <= 0 releases everything and leaves the object unsized.
    void setSize(int n);
    void release();
    int size() const { return n; }
    // y values in point order, zero beyond the last point, cut at n.
    void forward(const Spectrum& s);
    // values must hold at least n doubles.
    void forwardAll(const double* values);
    // n amplitudes owned by this object, valid until the size changes; null when unsized.
    const double* amplitudes();

private:
    int n = 0;
    fftw_complex* fwdIn = nullptr;
    fftw_complex* fwdOut = nullptr;
    fftw_complex* bwdIn = nullptr;
    fftw_complex* bwdOut = nullptr;
    fftw_plan fwdPlan = nullptr;
    fftw_plan bwdPlan = nullptr;
    double* amp = nullptr;
};
