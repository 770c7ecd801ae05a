#pragma once
// Residual absorption and feature values of a normalised spectrum, read
// against its own pre-edge and post-edge lines.
#include "analysis/AnalyzeReply.h"
#include "analysis/AnalyzeRequests.h"
#include "analysis/FeatureValue.h"

class SpectrumFeatures {
public:
    // Fills raJump, raScaledJump and raResidual of `out`.
    static void residualAbsorption(const RARequest& r, AnalyzeReply& out);
    static void residualAbsorption(const RARequest& r, const XafsSpectrum& s, AnalyzeReply& out);
    static FeatureValue featureValue(const XafsSpectrum& s, double edgeEV, double elimReg);
};
