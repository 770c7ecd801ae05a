#pragma once
// One detector frame read from a TIFF, "IM" or "#CTTR-CTImg" file, with what is
// computed from a frame or a list of frames.
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QRectF>
#include <QString>

namespace deferredlog {
class Entries;
}
class ColorBar;
class ColorScale;
class ErrPoints;
class QFile;

class TiffData {
public:
    enum SrcType { SrcTiff = 0, SrcImg16 = 1, SrcImg32 = 2, SrcCttr = 3, SrcNone = 4 };

    // Refused before anything is allocated: per side, in all, and in all for text images.
    static const int maxSide = 65535;
    static const qint64 maxFramePixels = qint64(1) << 28;
    static const qint64 maxTextPixels = qint64(1) << 26;

    TiffData();
    ~TiffData();
    TiffData(const TiffData&) = delete;
    TiffData& operator=(const TiffData&) = delete;

    // A non-null list becomes the frame's errPs; null keeps the current one.
    // A TIFF frame is repaired when the program-wide list is in use: the caller
    // says so, a loader thread must not look at the program's state.
    bool load(const QString& fileName, ErrPoints* errPs, bool programErrPointsInUse = false);
    // Why a load whose log was collected refused the file, for the user: the
    // line that ends every refusal, taken out of the log.
    static QString refusalIn(deferredlog::Entries& log, const QString& fileName);
    // For tests that change a file while it is read: called on the reading
    // thread after each row of a frame with the rows read so far. Null in the program.
    using RowReadHook = void (*)(const QString& fileName, int rowsRead);
    static void setRowReadHook(RowReadHook hook);

    // Image coordinates: the sample at (x - x0, y - y0); 0 outside the frame.
    double value(int x, int y) const;
    // Frame coordinates, the origin left out: the sample at (c, r); 0 outside the frame.
    double ownValue(int c, int r) const;
    void setPixel(int x, int y, double v);
    double areaSum(int x, int y, int hw, int hh) const;
    // The sum over the bin's pixels that lie on the image (imageW x imageH from
    // (0, 0)) and that this frame holds as shifted; held is their count.
    double heldSum(int x, int y, int hw, int hh, int imageW, int imageH, double& held) const;
    // The mean of rect's pixels that lie on this frame; 0 when none do.
    double rectMean(const QRectF& rect) const;
    // Whether rect covers any pixel of the image this frame was taken over:
    // its width and height from (0, 0), whatever its shift.
    bool rectOnImage(const QRectF& rect) const;
    // The part of rect on this frame, in image coordinates (width -1 when none).
    QRectF rectOnFrame(const QRectF& rect) const;
    // Bin sum at energy e, interpolated between the frames of a list in ascending energy.
    static double interpolatedAreaSum(const QList<TiffData*>& list, double e, int x, int y,
                                      int hw, int hh);
    // The pair of a list in ascending energy that brackets e, or the end pair
    // that extrapolates to it; the list holds at least two frames.
    static void energyBracket(const QList<TiffData*>& list, double e, qsizetype& lo, qsizetype& hi);
    // The same over n ascending energies given by energyAt(i), n >= 2.
    template <class EnergyAt>
    static void energyBracket(qsizetype n, const EnergyAt& energyAt, double e, qsizetype& lo, qsizetype& hi)
    {
        if (e < energyAt(0)) {
            lo = 0;
            hi = 1;
        } else if (e >= energyAt(n - 1)) {
            lo = n - 2;
            hi = n - 1;
        } else {
            lo = 0;
            hi = n - 1;
            while (hi > lo + 1) {
                const qsizetype mid = (lo + hi) / 2;
                if (e >= energyAt(mid))
                    lo = mid;
                else
                    hi = mid;
            }
        }
    }
    static double energyOf(const TiffData* f); // 0 for a null entry
    static void clearList(QList<TiffData*>& list);

    // GUI thread only, for the frame being shown; null for an empty frame.
    QImage* makeDispImage(const ColorScale& scale);
    void freeDispImage();
    void updateCBar();

    int dispFormat = QImage::Format_Grayscale8;
    QString fileName;
    quint16 bytesPerPixel = 2;
    int width = 0;
    int height = 0;
    int hdrX = 0;
    int hdrY = 0;
    ErrPoints* errPs;
    int scanlineSize = 0;
    double min;
    double max;
    // One buffer of width samples per row, top row first, of the source type's sample.
    QList<void*> rows;
    double energy = 0.0;
    ColorBar* cBar = nullptr;
    uchar* dispBuf = nullptr;
    QImage* dispImg = nullptr;
    double expTime = 100.0;
    int x0 = 0;
    int y0 = 0;
    int srcType = SrcNone;
    int pages = 1; // of a TIFF file; only the first is read

private:
    bool repairTiff = false;
    void* rowBlock = nullptr; // when set, all rows live in it (TIFF frames)

    bool readTiff(const QString& name);
    bool readImg(const QString& name);
    qint64 readImgHeader(const QString& name);
    bool readCttr(const QString& name);
    int readCttrHeader(const QString& name);
    void applyErrPoints();
    double errPointFill(int c, int r) const;

    // Frame coordinates, no origin; callers check the range.
    double sample(int c, int r) const;
    void setSample(int c, int r, double v);
    void freeRows();
    void resetRange();
    void takeRange(const void* row);
    double sumFrameRect(qint64 c0, qint64 c1, qint64 r0, qint64 r1) const;
    // rect's columns and rows in image coordinates, both ends included, as
    // rectMean counts them; false only for a rectangle that has no pixels at
    // all (negative or non-finite sizes), wherever it lies.
    static bool rectSpan(const QRectF& rect, qint64& ix, qint64& iy, qint64& iw, qint64& ih);
    // rect's columns and rows on this frame placed at (ox, oy), in frame coordinates; false for none.
    bool rectOnFrame(const QRectF& rect, qint64 ox, qint64 oy, qint64& c0, qint64& c1, qint64& r0,
                     qint64& r1) const;
    // 16-bit frames: the display image through a table of the values that
    // occur; false, nothing written, where there are more values than pixels.
    template <class ColorOf>
    bool shadeByTable(const ColorOf& colorOf, int bpp, int stride);
};

// TIFF files of several pages met in one load, of which only the first page
// is read: told by one log line per load, not one per file.
struct PagedFiles {
    QString first;
    int pages = 0;
    int more = 0;
    void note(const TiffData& frame);
    // Logs the line when a file had pages, and starts over.
    void flush();
};

Q_DECLARE_METATYPE(TiffData*)
