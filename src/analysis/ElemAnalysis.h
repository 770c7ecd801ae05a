#pragma once
// Edge jump, edge position and region-of-interest level of each element row
// in one spectrum, with background values for rows below their threshold.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"

class ElemAnalysis {
public:
    // First i (0 .. n-2) whose midpoint (x_i + x_i+1) / 2 exceeds t, else n - 1
    // (-1 for an empty list). Compares the points' own x, offset or not.
    static int windowIndex(const Spectrum& s, double t);
    // Fills the element lists of `out`.
    static void run(const ElemsRequest& r, AnalyzeReply& out);
    static void run(const ElemsRequest& r, const XafsSpectrum& s, AnalyzeReply& out);
};
