#pragma once
// The main window's picture of the field of view: the current frame of a stack,
// or a result map in overlay mode, through a view window the operator zooms,
// pans and selects an area in. Its mapping is left set from image pixels to
// widget pixels, so the owner's overlay layer can draw in image coordinates.
#include "display/AreaSel.h"
#include "display/DispA.h"
#include "foundation/ColorScale.h"

#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QSize>

class Analyzed2DRes;
class TiffData;

class ImgDispA : public DispA {
    Q_OBJECT
public:
    explicit ImgDispA(QWidget* parent = nullptr);

    TiffData* frame = nullptr;            // not owned: frames belong to the main window's stacks
    bool showOverLayer = false;
    // Not owned; shown in overlay mode. Maps are freed behind the display's
    // back (new element rows, for one): it then holds null, never a dead map.
    QPointer<Analyzed2DRes> overlayMap;
    QRectF viewWin;                       // image pixels stretched over the whole widget
    AreaSel sel;                          // the selected area and its drag
    bool resetMax = false;                // a reset fills the widget instead of showing all
    QSize frameSize;                      // of the last frame shown: one of another size is shown whole;
                                          // a drag on its last column or row reaches its edge

    // Only the frame on screen holds a display image, and the frame shown
    // before lets go of its image. The image is built when the frame is first
    // painted, not here: a stack loading with the newest frame shown replaces
    // most frames before a paint, and colouring each of them held the load up.
    // The picture is the same. The view stays for a frame of the size shown
    // before; a frame of another size (a new stack) is shown whole.
    void setImageData(TiffData* f);
    // The shown frame takes the main colour bar's current scale at its next paint.
    void rebuildFrameImage();
    // What a paint at this moment draws: the colour bar takes the shown frame's
    // or map's range and an overlay map the bar's colours, as a paint does
    // first, so a save made before the next paint writes what is shown.
    // Null when a paint draws nothing.
    const QImage* prepareShown();
    // The part of that picture inside the view window, for saving.
    QImage visibleImage();
    // The box a dark-area choice takes, none when no area is selected; the
    // selection goes back to what it was before that box was selected.
    std::optional<QRectF> takeDarkArea();
    // What a repaint draws now, asked of the frame or map each time: their
    // pictures are rebuilt and replaced behind our back. A frame without one is
    // coloured now with the main colour bar's scale. Null when there is none,
    // and for a frame without its colour bar.
    const QImage* currentImage() const;

signals:
    void mouseMoved(double x, double y);
    void mouseDragged(double x, double y);
    void newAreaSelected();
    void mouseRPressed();

public slots:
    void onMousePressed();
    void onMouseReleased();
    void onMouseMoved();
    void onWheelMoved();
    void drawImage(QPainter* p);
    void resetImageViewWindow();
    void setShowOverLayer(bool f);
    void setSelectedArea(int x1, int y1, int x2, int y2);
    void setViewWAsSelectedArea();
    void recallOldSelectedArea();
    void setResetMax(bool f);

protected:
    bool opaqueBase() override;

private:
    QPointF pointerImagePoint() const;
    QPointF dragImagePoint() const;
    static ColorScale frameScale();
    int pressCode() const;
    // The map's picture and the range it was built with; null without one.
    const QImage* overlayImage(double& lo, double& hi) const;
    // img in the screen's 32-bit pixels, converted once per picture: Qt converts
    // 8-bit grey and 24-bit pictures anew at every paint, and a load or a moving
    // pointer repaints often. Pictures are replaced, never changed in place, so
    // the picture's cache key tells when to convert again. screenPixels: the
    // widget's.
    const QImage& drawable(const QImage& img, qint64 screenPixels);
    QImage drawn;
    qint64 drawnKey = 0;
};
