#pragma once
// Writes 16-bit single-channel TIFF data files (result maps, "flat.dat", "dark.dat").
#include <QString>
#include <QtGlobal>

class TiffWriter {
public:
    TiffWriter() {}
    ~TiffWriter() {}

    // data holds width x height samples, top row first; an empty image is refused.
    bool write(const QString& fileName, int width, int height, const quint16* data);
    bool writeFilled(const QString& fileName, int width, int height, quint16 value);
    bool writeFlat(const QString& fileName, int width, int height);
    bool writeDark(const QString& fileName, int width, int height);
};
