#pragma once
// The colour scale: a vertical bar with two draggable thresholds and the data
// range as labels, and the place where every displayed value gets its colour.
#include "display/DispA.h"
#include "display/DrawText.h"
#include "foundation/ColorScale.h"

#include <QColor>
#include <QPixmap>

class ColorBar : public DispA {
    Q_OBJECT
public:
    explicit ColorBar(QWidget* parent = nullptr);

    DrawText dt;
    int format;            // QImage::Format_Grayscale8 (24) or Format_RGB888 (13)
    QPixmap cBar;          // 20 x 600, bottom row is the lowest colour
    bool dragging = false;
    double* dragged;       // &lowerTh or &upperTh
    double lowerTh = 0.0;  // fractions of the data range; not kept in order
    double upperTh = 1.0;
    double dataMin = 0.0;  // label values only
    double dataMax = 1.0;
    // Off while nothing is shown: the labels then name no range.
    bool labelled = true;

    // A copy of the thresholds and colour table, for colouring away from the widget.
    ColorScale scale() const { return ColorScale(format, lowerTh, upperTh); }
    // Writes the colour of t (already normalised to the data range) at p and
    // returns p past it. bufferFormat is the format of the buffer behind p:
    // when it is not the bar's format nothing is written and p is returned.
    uchar* putColor(double t, uchar* p, int bufferFormat) const;
    QColor colorOf(double t) const;
    // Thresholds on one row, which leave two colours only, are set back to 0
    // and 1; true when they were.
    bool unstick();
    // The bar's picture labelled lo .. hi; the bar itself keeps its labels.
    QImage pictureOf(double lo, double hi);

signals:
    void cBarUpdated();
    void cBarUpdating();

public slots:
    void paintCBar();
    void draw1(QPainter* p);
    void onMouseMoved();
    void onMousePressed();
    void onMouseReleased();
    QColor colorOfH(int h);

private:
    double barValueAt(int y) const;
    // The bar's colours, drawn again only when the scale or the bar's height
    // changes: a paint of every new frame relabels the bar.
    QImage gradient;
    ColorScale gradientScale;
    int gradientHeight = -1;
};
