#pragma once
// Process-wide defaults, colour maps and small numeric and image-buffer helpers.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

class ColorBar;
class QWidget;

// Set by initGlobals; afterwards changed only by the program's entry.
extern QString dataRoot;          // where file dialogs start; "$DataRoot$" in batches
extern QString batchRoot;         // where the batch window's dialogs start
extern bool showAnalyzer2Button;  // "-showA2B 1" / ShowAnalyzer2Button
extern bool debugFlag;            // "-dbg"; read by nothing
extern QList<QColor> curvePalette;
extern ColorBar* mainColorBar;    // the main window's bar; GUI thread only
extern const int defaultImageFormat; // QImage::Format_Grayscale8, never changed

typedef const uchar* (*ColorMapFunc)(double t);

void initGlobals();
void initColorTables();

QColor paletteColor(int i);
const uchar* greyMapColor(double t);
const uchar* heatMapColor(double t);
ColorMapFunc colorMapOf(int format);

// Inline: the spectrum lookups call it for every point of every bin of a walk.
inline double interpolate(double x, double x1, double y1, double x2, double y2)
{
    if (x2 == x1)
        return (y1 + y2) * 0.5;
    return (x - x1) * ((y2 - y1) / (x2 - x1)) + y1;
}
void logWithTime(const QString& msg);
QString headerValue(const QByteArray& data, const QString& key, char delimiter,
                    const QString& defaultValue);

int roundUpTo4(int n);
int bytesPerPixel(int format);
int rowStride(int format, int width);
// Zeroed buffer of rowStride(format, width) * height bytes, owned by the caller;
// nullptr when that size is below 1 (or would overflow).
uchar* newImageBuffer(int format, int width, int height);
// A QImage drawn over the caller's buffer (no copy); only grey and RGB888.
QImage* newImage(int format, uchar* buffer, int width, int height);

void saveWindowState(QWidget* w, const QString& group, bool popUp);
void restoreWindowState(QWidget* w, const QString& group, bool& popUp);
