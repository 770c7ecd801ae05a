#pragma once
// One result map over the bin grid of the field of view: a value per pixel,
// the range of the values, a false-colour image, spike removal, TIFF export
// and the analysed 2-D result text file.
#include "foundation/AnalyzeCond.h"
#include "foundation/ColorScale.h"
#include "foundation/SurfFit2D.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTextStream;

class Analyzed2DRes : public QObject {
    Q_OBJECT
public:
    explicit Analyzed2DRes(const QString& name);
    ~Analyzed2DRes() override;

    // Larger geometries get no arrays: a bin grid read from a file must not
    // be able to ask for more memory than any camera fills.
    static const qint64 maxPixels = qint64(1) << 26;

    int no = 0;
    QString name;
    AnalyzeCond cond;
    bool valid = false; // an image was built since the arrays were allocated
    std::unique_ptr<QImage> image;    // views imageBuf
    std::unique_ptr<uchar[]> imageBuf; // rowStride(format, W) * H bytes
    std::vector<double> data;         // W * H, row-major; empty when absent
    // By pixel of data: no bin holding it was given a result. Every pixel is
    // such until setData writes its bin, so the pixels around an analysed area
    // and the bins a stopped walk never reached hold no value for any reader.
    std::vector<bool> noResult;
    double min = 1e300;
    double max = -1e300;
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    double scaleMin = 1e300;
    double scaleMax = -1e300;
    bool fixedScale = false;
    bool useLimit = false;
    double limitVal = 1.7976931348623157e308;
    int format = QImage::Format_Grayscale8;
    int saveCount = 0;
    double procMin = 0.0;
    double procMax = 1.0;
    std::vector<double> procData;
    double deglitchF = 2.0;
    double deglitchR = 0.9;
    bool showProc = false;
    // procData holds a spike removal of the values held: new values (a walk,
    // a load, a clear) drop it, so they are never shown through an old copy.
    bool hasProc = false;
    SurfFit2D surfFit;
    ColorScale colors; // what the image was last coloured with

    // Colours the image with scale, which genImg() keeps using.
    void genImg(const ColorScale& scale);
    // The same, only for a drawn map whose image has other colours.
    void recolor(const ColorScale& scale);
    void init(const QString& name);
    void rename(const QString& name);
    void allocData();
    void setCond(const AnalyzeCond& c);
    double binSum(int cx, int cy, int hx, int hy) const;
    void copyFrom(const Analyzed2DRes* other);
    // The stored value at (x, y); 0 outside the image or without arrays.
    double valueAt(int x, int y) const;
    // Whether (x, y) has a stored value: on the image, with arrays, and in a
    // bin that was given a result.
    bool onMap(int x, int y) const;
    // The bin's pixels keep what they hold (0 on a fresh map) but count as no
    // result until setData writes them.
    void setNoResult(int ix, int iy, int xw, int yw);
    // Values over a grid: cleared, never computed or never written maps hold none.
    bool holdsResult() const;
    // The pixels outside every bin of cond count as no result, whatever they hold.
    void limitToBins();
    // Bins of cond whose centre holds a result; all := every bin of cond.
    qint64 resultBins(qint64& all) const;
    // What a save of the map into fileName must tell: how many of its bins
    // hold a result when some do not; null when all do.
    QString savedBinsNote(const QString& fileName) const;
    // W * H, or 0 when either is not positive.
    qint64 pixelCount() const;
    // The range the image is coloured over (fixed, processed or data range).
    void displayRange(double& lo, double& hi) const;
    // The range tiffDataForSave scales with, given the same scale arguments.
    void exportRange(bool fixed, double sMin, double sMax, double& lo, double& hi) const
    {
        rangeFor(fixed, sMin, sMax, lo, hi);
    }
    // Range and surface again from the stored values, one point per bin of
    // cond at its centre where that lies on the map with a finite value: what
    // a walk that wrote the bins would have given. Nothing without arrays.
    void refitOverBins();

    // The analysed 2-D result file of the values shown (the processed ones when
    // they are); "" when it cannot be written.
    QString saveAsText(const QString& fileName, bool asAnalyzed, bool csv, bool xyz) const;
    void writeTextHeader(QTextStream& out, bool csv, bool xyz) const;

    // (v - lo) / (hi - lo); 0 when the range is empty or anything is not finite.
    static double scalePos(double v, double lo, double hi);

public slots:
    void clear();
    void setNo(int no);
    void setData(int ix, int iy, int xw, int yw, double t);
    void genImg();
    QImage* img();
    quint16* tiffDataForSave(bool fixedScale, double scaleMin, double scaleMax, bool asAnalyzed);
    void deglitch();
    void setDeglitchConds(double f, double r);
    void selectProcImg(bool f);
    void deglitch2(double limit);
    void copyProc2Data();
    void setUpperLimit(bool useLimit, double limitVal);
    void setFixedScale(bool f);
    void setScale(double min, double max);

private:
    void freeArrays();
    void rangeFor(bool fixed, double sMin, double sMax, double& lo, double& hi) const;
    const std::vector<double>& shownData() const;
    bool fits(const std::vector<double>& src) const;
    double sourceAt(const std::vector<double>& src, int x, int y) const;
    bool inside(qint64 x, qint64 y) const;
    bool lacksResult(int x, int y) const;
    // A bin's value into the range and the surface fit, when finite.
    void takePoint(int ix, int iy, double t);
    void markNoResult(int ix, int iy, int xw, int yw, bool none);
    // Second pass of both spike removals: every bin of procData := value(bin,
    // data at its centre), with the processed range.
    void rewriteBins(const std::function<double(const AnalyzeCond&, double)>& value);
};
