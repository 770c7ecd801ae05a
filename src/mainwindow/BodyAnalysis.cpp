// The two-dimensional analysis walk, statistics, sum-up and Fourier check.
// The walk and the windows are completed later; the bin sizes are read here.
#include "mainwindow/Body.h"

int Body::viewW() const { return vHWidth_->text().toInt(); }
int Body::viewH() const { return vVWidth_->text().toInt(); }
int Body::analyzeW() const { return aHWidth_->text().toInt(); }
int Body::analyzeH() const { return aVWidth_->text().toInt(); }

SuggestElm Body::suggestElm() const { return SuggestElm(); }

bool Body::askAnalyzeCond(AnalyzeCond&) { return false; }
void Body::start2DAnalysis() {}
void Body::stop2DAnalysis() {}
void Body::analyzeASpectrumFinished() {}
void Body::recordResForAPoint() {}
void Body::generateResImages() {}
void Body::setupResAnalysisImage() {}
void Body::analyzeAPoint(const AnalyzeCond&) {}
QString Body::areaLabel(const AnalyzeCond&) const { return QString(); }

void Body::showStatistics() {}
void Body::selectedRangeInStats() {}
void Body::doSumUp() {}
void Body::execFourierA() {}
