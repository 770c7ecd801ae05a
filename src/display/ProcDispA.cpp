#include "display/ProcDispA.h"

#include "display/ViewWin.h"

#include <QImage>
#include <QPainter>

ProcDispA::ProcDispA(QWidget* parent) : DispA(parent)
{
    connect(this, SIGNAL(drawImage1(QPainter*)), this, SLOT(drawOnScreen(QPainter*)));
    connect(this, SIGNAL(mouseMoved0()), this, SLOT(onMouseMoved()));
    connect(this, SIGNAL(mousePressed0()), this, SLOT(onMousePressed()));
    connect(this, SIGNAL(mouseReleased0()), this, SLOT(onMouseReleased()));
    connect(this, SIGNAL(wheelMoved0()), this, SLOT(onWheelMoved()));
}

void ProcDispA::setImage(QImage* img)
{
    image = img;
    if (viewWin.width() == 0 && image)
        viewWin = QRectF(0, 0, image->width(), image->height());
}

void ProcDispA::resetViewWindow()
{
    if (!image)
        return;
    viewWin = QRectF(0, 0, image->width(), image->height());
    update();
}

void ProcDispA::drawOnScreen(QPainter* p)
{
    const int W = width();
    const int H = height();
    if (!image || image->isNull() || W <= 0 || H <= 0 || !ViewWin::usable(viewWin))
        return;
    p->drawImage(QRectF(0, 0, W, H), *image, viewWin);
    cc.setScreenArea(0, 0, W, H);
    cc.setRealArea(viewWin.x(), viewWin.y(), viewWin.x() + viewWin.width(),
                   viewWin.y() + viewWin.height());
}

void ProcDispA::onMouseMoved()
{
    const QPointF p = ViewWin::imagePoint(viewWin, width(), height(), m.x, m.y);
    emit mouseMoved(p.x(), p.y());
    update();
}

void ProcDispA::onMousePressed() { update(); }

void ProcDispA::onMouseReleased() { update(); }

void ProcDispA::onWheelMoved()
{
    if (!allowWheelZoom)
        return;
    viewWin = ViewWin::zoomedAbout(viewWin, width(), height(), m.x, m.y, zoomFactor, false);
    update();
}
