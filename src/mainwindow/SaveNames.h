#pragma once
// Names and small contents of the files the main window saves, apart from
// the widgets, so they can be checked on their own.
#include <QByteArray>
#include <QRectF>
#include <QString>

class AnalyzeCond;

// dir/base-ext.suffix, dir being fname's absolute directory.
QString numberedDataName(const QString& fname, int ext, const QString& suffix);
// The colour bar beside saved data: dir/base-ext--cBar.suffix ("png" without one).
QString dataCBarName(const QString& fname, int ext);
// derivedFileName with "png" in place of a missing suffix: a picture needs a format.
QString derivedPictureName(const QString& name, const QString& addition);
// The picture of LCF result map j of reference row i: dir/base-i-j.suffix.
QString lcfMapPictureName(const QString& fname, int row, int map);

// Samples per row and rows of a map exported one sample per bin, the bins a
// walk visits; false when that is more than an int holds.
bool analyzedTiffSize(const AnalyzeCond& c, int& width, int& height);

// The image-information file of a picture of the view window view.
QByteArray imageInfoText(const QRectF& view);
