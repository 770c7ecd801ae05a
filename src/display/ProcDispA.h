#pragma once
// Shows a ready-made picture of the image processor through a view window
// that the wheel zooms about the pointer.
#include "display/DispA.h"

#include <QRectF>

class QImage;

class ProcDispA : public DispA {
    Q_OBJECT
public:
    explicit ProcDispA(QWidget* parent = nullptr);

    // Not owned: the image processor replaces it and hands the new one over
    // (or null) before it frees the old one.
    QImage* image = nullptr;
    QRectF viewWin;

    // The first picture is shown whole; later ones keep the view window.
    void setImage(QImage* img);
    void resetViewWindow();

signals:
    void mouseMoved(double x, double y);

public slots:
    void drawOnScreen(QPainter* p);
    void onMousePressed();
    void onMouseReleased();
    void onMouseMoved();
    void onWheelMoved();
};
