#pragma once
// The drawing surface: a white frame that lends its painter to whoever draws
// on its two layers and reports mouse and wheel events without arguments;
// receivers read the public state below.
#include "display/ChCoord.h"
#include "display/MouseC.h"

#include <QFrame>

class QPainter;

class DispA : public QFrame {
    Q_OBJECT
public:
    explicit DispA(QWidget* parent = nullptr);

    bool allowWheelZoom = true; // read by the image display's wheel handler
    bool allowDragPan = true;   // read by the image display's Shift-drag pan
    ChCoord cc;
    MouseC m;
    double wheelSteps = 0;       // notches of the last wheel event
    double zoomFactor = 1.0;     // what the last wheel event asks for

signals:
    void drawImage1(QPainter* p); // base layer
    void drawImage2(QPainter* p); // overlay layer
    void mouseMoved0();
    void mousePressed0();
    void mouseReleased0();
    void mouseDoubleClicked0();
    void wheelMoved0();

public slots:
    void paintEvent(QPaintEvent* p) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void setScreenMousePos(int x, int y);
    void setRealMousePos(double x, double y);

protected:
    // True when the base layer will paint every pixel: no white goes beneath it.
    virtual bool opaqueBase() { return false; }
};
