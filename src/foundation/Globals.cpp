#include "foundation/Globals.h"

#include "batch/CmdDef.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>
#include <QWidget>

#include <cmath>
#include <limits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

QString dataRoot;
QString batchRoot;
bool showAnalyzer2Button = false;
bool debugFlag = false;
QList<QColor> curvePalette;
ColorBar* mainColorBar = nullptr;
const int defaultImageFormat = QImage::Format_Grayscale8;

namespace {
uchar greyMap[256];
uchar heatMap[767][3];
bool colorTablesBuilt = false;

// trunc(t * n) clamped to 0..max; NaN and negative values give 0, and the
// comparison happens in double so no out-of-range value reaches the cast.
int mapIndex(double t, double n, int max)
{
    double v = t * n;
    if (!(v > 0.0))
        return 0;
    if (v >= max)
        return max;
    return static_cast<int>(v);
}
} // namespace

void initGlobals()
{
#ifdef __GLIBC__
    // glibc's own first threshold, held fixed: every frame of a stack stays in
    // a mapping of its own, handed back whole when the stack is cleared. Left
    // to itself, glibc raises the threshold once the first stack is freed and
    // keeps later stacks in its heaps, which each reload fragments and grows;
    // a higher fixed one puts 512 x 512 frames there too and makes the first
    // load grow those heaps page by page. Here, so that the benchmarks meet
    // the memory the program meets.
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
#endif
    dataRoot = QStringLiteral("C:/Data");
    batchRoot = QStringLiteral("C:/Data");
    showAnalyzer2Button = false;
    initColorTables();
    setupCmdTables();
    debugFlag = false;
}

void initColorTables()
{
    if (colorTablesBuilt)
        return;
    colorTablesBuilt = true;
    curvePalette << QColor(255, 0, 0) << QColor(0, 255, 0) << QColor(0, 0, 255)
                 << QColor(255, 200, 0) << QColor(255, 0, 200) << QColor(200, 255, 0)
                 << QColor(200, 0, 255) << QColor(0, 255, 200) << QColor(0, 200, 255);
    mainColorBar = nullptr;
    for (int i = 0; i < 256; i++)
        greyMap[i] = static_cast<uchar>(i);
    for (int i = 0; i < 767; i++) {
        int r, g, b;
        if (i <= 255) {
            r = i; g = 0; b = 0;
        } else if (i <= 510) {
            r = 255; g = i - 255; b = 0;
        } else if (i <= 765) {
            r = 255; g = 255; b = i - 510;
        } else {
            r = g = b = 255;
        }
        heatMap[i][0] = static_cast<uchar>(r);
        heatMap[i][1] = static_cast<uchar>(g);
        heatMap[i][2] = static_cast<uchar>(b);
    }
}

QColor paletteColor(int i)
{
    if (curvePalette.isEmpty())
        return QColor(0, 0, 0);
    int n = curvePalette.size();
    int k = i % n;
    if (k < 0)
        k += n;
    return curvePalette[k];
}

const uchar* greyMapColor(double t) { return &greyMap[mapIndex(t, 256.0, 255)]; }

const uchar* heatMapColor(double t) { return heatMap[mapIndex(t, 766.0, 766)]; }

ColorMapFunc colorMapOf(int format)
{
    if (format == QImage::Format_RGB888)
        return heatMapColor;
    if (format == QImage::Format_Grayscale8)
        return greyMapColor;
    return nullptr;
}

void logWithTime(const QString& msg)
{
    qDebug() << msg << QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd hh:mm:ss.zzz"));
}

QString headerValue(const QByteArray& data, const QString& key, char delimiter,
                    const QString& defaultValue)
{
    QByteArray k = key.toLatin1();
    int pos = data.indexOf(k);
    if (pos < 0)
        return defaultValue;
    int start = pos + k.size();
    int end = data.indexOf(delimiter, pos);
    if (end < 0)
        end = data.size();
    if (end < start) // the delimiter sits inside the key itself
        return QString();
    return QString::fromUtf8(data.mid(start, end - start));
}

int roundUpTo4(int n) { return static_cast<int>(std::ceil(n * 0.25)) * 4; }

int bytesPerPixel(int format) { return format == QImage::Format_RGB888 ? 3 : 1; }

int rowStride(int format, int width) { return roundUpTo4(bytesPerPixel(format) * width); }

uchar* newImageBuffer(int format, int width, int height)
{
    if (width < 1 || height < 1)
        return nullptr;
    qint64 size = static_cast<qint64>(rowStride(format, width)) * height;
    if (size < 1 || size > std::numeric_limits<int>::max())
        return nullptr;
    return new uchar[static_cast<size_t>(size)]();
}

QImage* newImage(int format, uchar* buffer, int width, int height)
{
    if (format != QImage::Format_Grayscale8 && format != QImage::Format_RGB888)
        return nullptr;
    if (!buffer || width < 1 || height < 1)
        return nullptr;
    return new QImage(buffer, width, height, rowStride(format, width),
                      static_cast<QImage::Format>(format));
}

void saveWindowState(QWidget* w, const QString& group, bool popUp)
{
    QSettings s(QStringLiteral("Feldmoor Ostrel"), QStringLiteral("Corvelline"));
    s.beginGroup(group);
    s.setValue(QStringLiteral("size"), w->size());
    s.setValue(QStringLiteral("pos"), w->pos());
    s.setValue(QStringLiteral("visible"), w->isVisible());
    s.setValue(QStringLiteral("popUp"), popUp);
    s.endGroup();
}

void restoreWindowState(QWidget* w, const QString& group, bool& popUp)
{
    QSettings s(QStringLiteral("Feldmoor Ostrel"), QStringLiteral("Corvelline"));
    s.beginGroup(group);
    w->resize(s.value(QStringLiteral("size"), QSize(400, 400)).toSize());
    w->move(s.value(QStringLiteral("pos"), QPoint(200, 200)).toPoint());
    w->setVisible(s.value(QStringLiteral("visible"), true).toBool());
    popUp = s.value(QStringLiteral("popUp"), true).toBool();
    s.endGroup();
}
