// Stacks, dark image, dark areas, total I0 and bin spectra. Completed later:
// until then the stacks only keep what arrives.
#include "mainwindow/Body.h"

#include "imagestack/TiffData.h"

void Body::clearI1Files() {}
void Body::clearI0Files() {}
void Body::readI1Files(QStringList, bool) {}
void Body::readI0Files(QStringList, bool) {}
void Body::finishedLoadI1Files() {}
void Body::finishedLoadI0Files() {}
void Body::selectedDark(QString) {}
void Body::clearDark() {}

void Body::loadedI1(TiffData* data, int, int)
{
    if (data)
        i1Frames << data;
}

void Body::loadedI0(TiffData* data, int, int)
{
    if (data)
        i0Frames << data;
}

void Body::selectedNewRef() {}
void Body::setI0DarkArea() {}
void Body::setI1DarkArea() {}
void Body::clearUpdateI0DarkArea() {}
void Body::clearUpdateI1DarkArea() {}
void Body::updateI0DarkArea() {}
void Body::updateI1DarkArea() {}
void Body::clearI0DarkArea() {}
void Body::clearI1DarkArea() {}
void Body::newTotalI0ofI1File(QString) {}
void Body::newTotalI0ofI0File(QString) {}

Spectrum Body::xafsSpectrumAt(int, int, int, int) { return Spectrum(); }
Spectrum Body::rawI1SpectrumAt(int, int, int, int) { return Spectrum(); }
Spectrum Body::hProfileAt(int, int, int, bool) { return Spectrum(); }
Spectrum Body::vProfileAt(int, int, int, bool) { return Spectrum(); }
