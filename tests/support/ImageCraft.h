#pragma once
// Crafts image files for the reader tests and the benchmark: TIFF through libtiff,
// a hand-laid TIFF whose directory comes first (so its pixel data can be cut short),
// "IM" files and "#CTTR-CTImg" text images.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace craft {

struct TiffOptions {
    int bits = 16;          // 8 or 16
    int samples = 1;        // 1 grey, 3 RGB
    bool bigEndian = false;
    bool lzw = false;
    bool tiled = false;     // 16 x 16 tiles
    bool floats = false;    // sample format IEEE float (16-bit: half floats)
    bool signedInts = false; // sample format 2, signed integers
    int rowsPerStrip = 0;   // 0: libtiff's default
    bool exif = false;      // write an EXIF directory
    double exposure = -1.0; // ExposureTime in seconds; below 0 the EXIF directory has none
    int pages = 1;          // further pages repeat the first (without EXIF data)
};

// samples: width x height values, top row first. 8-bit files keep the low byte,
// RGB files repeat the value in all three channels.
bool writeTiff(const QString& path, int width, int height, const QVector<quint16>& samples,
               const TiffOptions& o = TiffOptions());

// Little-endian 16-bit grey TIFF laid out as header, directory, then one strip per row.
// keepBytes >= 0 cuts the file after that many bytes. declaredWidth/Height (when >= 0)
// replace the sizes written in the directory; the strips still follow width x height.
struct RawTiffOptions {
    qint64 keepBytes = -1;
    qint64 declaredWidth = -1;
    qint64 declaredHeight = -1;
    qint64 exifOffset = -1; // >= 0: an EXIF directory pointer with this offset
};
bool writeRawTiff(const QString& path, int width, int height, const QVector<quint16>& samples,
                  const RawTiffOptions& o = RawTiffOptions());
// Byte offset of row r's strip in a file from writeRawTiff (for cutting inside a row).
qint64 rawTiffRowOffset(int width, int height, int row, bool exifPointer = false);

struct ImOptions {
    QByteArray comment = "BytesPerPixel=2";
    int bytesPerPixel = 2;  // sample size actually written: 2 or 4
    int hdrX = 0;
    int hdrY = 0;
    int declaredWidth = -1; // >= 0: written in place of the real size
    int declaredHeight = -1;
    qint64 keepBytes = -1;  // >= 0: cut the file after that many bytes
};
bool writeIm(const QString& path, int width, int height, const QVector<quint32>& samples,
             const ImOptions& o = ImOptions());
// Offset of the first sample of an "IM" file with that comment.
inline qint64 imDataOffset(const QByteArray& comment) { return 64 + comment.size(); }

// "#CTTR-CTImg" text image: range header lines, then one line per pixel "x y value".
// values are written as given (the reader scales by 500); pixelLines < 0 writes them all.
QByteArray cttrText(int x0, int x1, int y0, int y1, const QVector<double>& values,
                    const QStringList& extraHeader = QStringList(), int pixelLines = -1);

bool writeBytes(const QString& path, const QByteArray& bytes);
// A detector's rewrite of a file under its name: truncated, then the bytes written.
// Its modification time is set a second past the one before, which a filesystem
// clock coarser than the rewrite would leave as it was.
bool rewriteInPlace(const QString& path, const QByteArray& bytes);
// Sets the file's modification time to sec and nsec past the epoch; false
// unless the file then holds that time to the nanosecond.
bool setModTime(const QString& path, qint64 sec, long nsec);

// A width x height image whose sample (x, y) is base + x + stepY * y, kept in 16 bits.
QVector<quint16> ramp16(int width, int height, int base = 0, int stepY = 1000);

} // namespace craft
