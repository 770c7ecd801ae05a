// Saving images, data and spectra, and publishing them. Completed later.
#include "mainwindow/Body.h"

void Body::saveScreenAs(QString) {}
void Body::saveImage(QString) {}
void Body::saveImageInfo(QString) {}
void Body::saveImageWNum(QString, QString) {}
void Body::saveAllImages(QString) {}
void Body::showSaveDataDialog() {}
void Body::saveData(QString) {}
void Body::saveDataAsTiff(QString, int) {}
void Body::saveDataAsText(QString, int) {}
void Body::saveFlatDark() {}
void Body::savedXafsData(QString) {}
void Body::saveEachSpectrum(QString) {}
void Body::saveEachNormalizedXafsSpectrum(QString) {}
void Body::saveEachRawXafsSpectrum(QString) {}
void Body::saveEachRawSpectrum(QString) {}
void Body::sendXafsDataToStars(QByteArray) {}
