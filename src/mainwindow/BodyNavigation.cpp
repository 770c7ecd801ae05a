// Frame navigation, display selection, pointer read-out and overlay drawing.
// Completed later.
#include "mainwindow/Body.h"

void Body::showData(int) {}
void Body::prev() {}
void Body::next() {}
void Body::sliderMoved(int) {}
void Body::showXafsSpectrum(double, double) {}
void Body::showXafsSpectrum() {}
void Body::cBarUpdating() {}
void Body::cBarUpdated() {}
void Body::dispImgSelected(bool) {}
void Body::seekImage(int) {}
void Body::deglitch() {}
void Body::showAnalyzedVals() {}
void Body::newCurPos() {}
void Body::draw(QPainter*) {}
void Body::onMouseMovedInDispA() {}
