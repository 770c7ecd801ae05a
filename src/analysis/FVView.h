#pragma once
// How the feature values of all analysed bins are distributed: a scatter
// image with one pixel per bin and a density image below it, each written
// as a PNG whenever it is redrawn.
#include "display/ChCoord.h"
#include "ui_FVView.h"

#include <QFrame>
#include <QImage>

class FVPoints;

class FVView : public QFrame, public Ui_FVView {
    Q_OBJECT
public:
    explicit FVView(QWidget* parent = nullptr);

    FVPoints* fvPoints = nullptr; // the panel's, set once after construction
    int vSize = 512;
    int vhSize = 512;
    QImage vMap;  // scatter; null until the first redraw
    QImage vhMap; // density; null until the first redraw
    ChCoord vCoord;
    ChCoord vhCoord;

    int kernelHW() const;
    // Both images again from the points, and the window; no file written.
    void redraw();
    // Where the pictures are shown on a w x h display: the largest square, centred.
    static QRect shownSquare(int w, int h);
    // Each point pixel of the scatter image as a block of the shown scale,
    // never less than one screen pixel: no point vanishes in a small window.
    static void drawPoints(QPainter* p, const QRect& target, const QImage& points);
    // Weight of the density kernel at (dx, dy): 1 in the centre, b at hw along
    // an axis and b * b in the corners; 0 off the centre when b is not positive.
    static double kernelWeight(int dx, int dy, int hw, double b);

public slots:
    void draw(QPainter* p);
    void updateMap();
    void updateVMap();
    void updateVHMap();

private:
    void buildVMap();
    void buildVHMap();
    void setCoord(ChCoord& c, int side) const;
    bool pointPixel(const ChCoord& c, int k, int& px, int& py) const;
    void showCount();
};
