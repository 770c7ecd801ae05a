#pragma once
// Sums over the I1 stack that the main window offers around a map: the
// sum-up of chosen frames per bin, and the Fourier check that correlates each
// Fourier component of the bins' raw spectra with the image intensity.
#include "foundation/AnalyzeCond.h"
#include "foundation/ColorScale.h"

#include <QList>
#include <QString>

#include <vector>

class Analyzed2DRes;
class FFT;
class FrameSets;

// Frame numbers from <= k < to; the third field is always 0.
struct SumUpRange {
    int from = 0;
    int to = 0;
    int unused = 0;
};

// Sum over the ranges, in order, of the I1 frames' readings of the bin as the
// spectra read them (a shifted frame's pixels filled where it holds none);
// only frames that exist are visited, and a frame named twice counts twice.
double sumUpBin(const FrameSets& sets, const QList<SumUpRange>& ranges, int cx, int cy, int hx, int hy);

// The grid's sums into map (cleared and given the grid first), one debug line
// per row; the picture is rebuilt in colors, the colour bar's scale of now.
void sumUpMap(Analyzed2DRes& map, const FrameSets& sets, const QList<SumUpRange>& ranges, AnalyzeCond c,
              const ColorScale& colors);

// Per Fourier component k: sums over the bins of a^2, p^2 and a p, with a the
// bin's reading of the frame first in energy (the first loaded of those at the
// lowest) and p the amplitude of component k.
struct FourierSums {
    std::vector<double> aa;
    std::vector<double> pp;
    std::vector<double> ap;
    int size() const { return int(aa.size()); }
};

// Each bin's raw I1 spectrum is transformed once; empty without frames.
FourierSums fourierSums(const FrameSets& sets, AnalyzeCond c, FFT& fft);

// "Res k S_aa S_pp S_ap S_ap/sqrt(|S_aa S_pp|)".
QString fourierResLine(const FourierSums& s, int k);
