#include "display/DispA.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

DispA::DispA(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_MouseTracking);
    // Every paint covers the whole widget: what lies behind is not painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DispA::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // screen y grows downward, real y of a plot upward
    cc.setScreenArea(0, height(), width(), 0);
    if (!opaqueBase())
        p.fillRect(rect(), Qt::white);
    emit drawImage1(&p);
    emit drawImage2(&p);
    drawFrame(&p);
}

void DispA::mouseMoveEvent(QMouseEvent* e)
{
    // Alt-moves are left alone, so that the pointed position stays put.
    if (e->modifiers() & Qt::AltModifier)
        return;
    m.setMove(e);
    emit mouseMoved0();
    update();
}

void DispA::mousePressEvent(QMouseEvent* e)
{
    m.setPress(e);
    emit mousePressed0();
}

void DispA::mouseReleaseEvent(QMouseEvent* e)
{
    m.setRelease(e);
    emit mouseReleased0();
}

void DispA::mouseDoubleClickEvent(QMouseEvent* e)
{
    m.setDoubleClick(e);
    emit mouseDoubleClicked0();
}

void DispA::wheelEvent(QWheelEvent* e)
{
    wheelSteps = e->angleDelta().y() * 0.125 / 15;
    // only the direction counts: one event is one zoom step
    zoomFactor = wheelSteps >= 0 ? 1.0 / 1.1 : 1.1;
    emit wheelMoved0();
}

void DispA::setScreenMousePos(int x, int y)
{
    m.px = m.x;
    m.py = m.y;
    m.x = x;
    m.y = y;
    emit mouseMoved0();
    update();
}

void DispA::setRealMousePos(double x, double y)
{
    double sx = cc.toScreenX(x);
    double sy = cc.toScreenY(y);
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return;
    setScreenMousePos(MouseC::toPixel(sx), MouseC::toPixel(sy));
}
