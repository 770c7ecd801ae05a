#include "display/ImgDispA.h"

#include "analysis/Analyzed2DRes.h"
#include "display/ColorBar.h"
#include "display/ViewWin.h"
#include "foundation/Globals.h"
#include "imagestack/TiffData.h"

#include <QPainter>

ImgDispA::ImgDispA(QWidget* parent) : DispA(parent)
{
    connect(this, SIGNAL(drawImage1(QPainter*)), this, SLOT(drawImage(QPainter*)));
    connect(this, SIGNAL(mouseMoved0()), this, SLOT(onMouseMoved()));
    connect(this, SIGNAL(mousePressed0()), this, SLOT(onMousePressed()));
    connect(this, SIGNAL(mouseReleased0()), this, SLOT(onMouseReleased()));
    connect(this, SIGNAL(wheelMoved0()), this, SLOT(onWheelMoved()));
}

ColorScale ImgDispA::frameScale()
{
    return mainColorBar ? mainColorBar->scale() : ColorScale();
}

void ImgDispA::setImageData(TiffData* f)
{
    if (frame && frame != f)
        frame->freeDispImage();
    frame = f;
    // The 32-bit copy keeps its memory, also while no frame is shown, for the
    // next frame of its size.
    drawnKey = 0;
    // Without a frame nothing is drawn: the last one must not stay on screen.
    update();
    if (!frame)
        return;
    const QSize size(frame->width, frame->height);
    const bool otherSize = frameSize.isValid() && size != frameSize;
    frameSize = size;
    if (viewWin.width() == 0 || otherSize)
        resetImageViewWindow();
}

void ImgDispA::rebuildFrameImage()
{
    if (!frame)
        return;
    frame->freeDispImage();
    update();
}

const QImage* ImgDispA::currentImage() const
{
    double lo, hi;
    if (showOverLayer)
        return overlayImage(lo, hi);
    if (!frame || !frame->cBar)
        return nullptr;
    if (!frame->dispImg)
        frame->makeDispImage(frameScale());
    if (!frame->dispImg || frame->dispImg->isNull())
        return nullptr;
    return frame->dispImg;
}

const QImage* ImgDispA::prepareShown()
{
    double lo = 0, hi = 0;
    const QImage* img = nullptr;
    if (showOverLayer) {
        // A map coloured before the bar last moved takes the bar's colours now.
        if (overlayMap)
            overlayMap->recolor(frameScale());
        img = overlayImage(lo, hi);
    } else {
        img = currentImage();
    }
    // A cleared frame or a map not made yet leaves no range on the bar.
    if (mainColorBar && mainColorBar->labelled != (img != nullptr)) {
        mainColorBar->labelled = img != nullptr;
        if (!img)
            mainColorBar->paintCBar();
    }
    if (img && !showOverLayer) {
        frame->updateCBar();
    } else if (img && mainColorBar) {
        mainColorBar->dataMin = lo;
        mainColorBar->dataMax = hi;
        mainColorBar->paintCBar();
    }
    return img;
}

QImage ImgDispA::visibleImage()
{
    const QImage* img = prepareShown();
    if (!img)
        return QImage();
    const QRect r = ViewWin::visibleRect(viewWin, img->size());
    return r.isEmpty() ? QImage() : img->copy(r);
}

QPointF ImgDispA::pointerImagePoint() const
{
    return ViewWin::imagePoint(viewWin, width(), height(), m.x, m.y);
}

QPointF ImgDispA::dragImagePoint() const
{
    return AreaSel::reachEdges(pointerImagePoint(), frameSize);
}

int ImgDispA::pressCode() const { return MouseC::mode(m.pressButton, m.pressModifiers); }

void ImgDispA::resetImageViewWindow()
{
    if (!frame)
        return;
    viewWin = ViewWin::fitted(frame->width, frame->height, width(), height(), resetMax);
    update();
}

void ImgDispA::drawImage(QPainter* p)
{
    const int W = width();
    const int H = height();
    if (W <= 0 || H <= 0 || !ViewWin::usable(viewWin))
        return;
    // image y grows downward like screen y: no flip. Set with no picture too
    // (a map not made yet), so that the owner's marks keep their places.
    cc.setScreenArea(0, 0, W, H);
    cc.setRealArea(viewWin.x(), viewWin.y(), viewWin.x() + viewWin.width(),
                   viewWin.y() + viewWin.height());
    if (const QImage* img = prepareShown())
        p->drawImage(QRectF(0, 0, W, H), drawable(*img, qint64(W) * H), viewWin);
}

// A picture without alpha stretched from a window inside it covers the widget;
// a window reaching past the picture leaves margins.
bool ImgDispA::opaqueBase()
{
    const QImage* img = currentImage();
    return img && !img->hasAlphaChannel() && width() > 0 && height() > 0 && ViewWin::usable(viewWin)
        && QRectF(img->rect()).contains(viewWin);
}

namespace {
// Grey and 24-bit pictures in 32-bit pixels, on this thread (Qt's own
// conversion waits for its pool's threads, which a load keeps from the cores),
// into out's pixels when it has the size: a load shows frame after frame.
void toScreenPixels(const QImage& img, QImage& out)
{
    const bool grey = img.format() == QImage::Format_Grayscale8;
    if (!grey && img.format() != QImage::Format_RGB888) {
        out = img.convertToFormat(QImage::Format_RGB32);
        return;
    }
    if (out.size() != img.size() || out.format() != QImage::Format_RGB32)
        out = QImage(img.size(), QImage::Format_RGB32);
    if (out.isNull())
        return;
    const int w = img.width();
    for (int y = 0; y < img.height(); y++) {
        const uchar* s = img.constScanLine(y);
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        if (grey) {
            for (int x = 0; x < w; x++)
                d[x] = 0xff000000u | (QRgb(s[x]) * 0x010101u);
        } else {
            for (int x = 0; x < w; x++, s += 3)
                d[x] = qRgb(s[0], s[1], s[2]);
        }
    }
}
} // namespace

const QImage& ImgDispA::drawable(const QImage& img, qint64 screenPixels)
{
    // A picture of more pixels than the screen shows is drawn as it is: Qt
    // converts only the pixels it shows.
    if (img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32_Premultiplied
        || qint64(img.width()) * img.height() > screenPixels)
        return img;
    if (drawnKey != img.cacheKey() || drawn.isNull()) {
        toScreenPixels(img, drawn);
        drawnKey = img.cacheKey();
    }
    // A copy that could not be made: the picture is drawn as it is.
    return drawn.isNull() ? img : drawn;
}

void ImgDispA::onMousePressed()
{
    if (sel.press(pressCode(), dragImagePoint()))
        emit mouseRPressed();
    update();
}

void ImgDispA::onMouseMoved()
{
    if (!m.pressed) {
        const QPointF p = pointerImagePoint();
        emit mouseMoved(p.x(), p.y());
        update();
        return;
    }
    // A blank view (a map not made yet) still selects and pans in the image's frame.
    if (!ViewWin::usable(viewWin))
        return;
    const int code = pressCode();
    if (AreaSel::isDragCode(code))
        sel.drag(code, dragImagePoint());
    else if (code == 1 && allowDragPan)
        viewWin = ViewWin::panned(viewWin, width(), height(), m.px, m.py, m.x, m.y);
    update();
}

void ImgDispA::onMouseReleased()
{
    switch (sel.release(pressCode())) {
    case AreaSel::Selected:
        emit newAreaSelected();
        break;
    case AreaSel::SelectedZoom:
        emit newAreaSelected();
        viewWin = sel.area;
        break;
    case AreaSel::Nothing:
        break;
    }
    update();
}

void ImgDispA::onWheelMoved()
{
    if (!allowWheelZoom)
        return;
    viewWin = ViewWin::zoomedAbout(viewWin, width(), height(), m.x, m.y, zoomFactor, true);
    update();
}

void ImgDispA::setShowOverLayer(bool f) { showOverLayer = f; }

void ImgDispA::setSelectedArea(int x1, int y1, int x2, int y2)
{
    sel.set(x1, y1, x2, y2);
    update();
}

void ImgDispA::setViewWAsSelectedArea()
{
    // An area set from numbers may run backwards or be flat; the view must not.
    const QRectF a = sel.area.normalized();
    if (!sel.valid || !ViewWin::usable(a))
        return;
    viewWin = a;
    update();
}

void ImgDispA::recallOldSelectedArea() { sel.recall(); }

std::optional<QRectF> ImgDispA::takeDarkArea()
{
    const std::optional<QRectF> box = sel.takeDarkArea();
    update();
    return box;
}

void ImgDispA::setResetMax(bool f) { resetMax = f; }

const QImage* ImgDispA::overlayImage(double& lo, double& hi) const
{
    lo = hi = 0;
    if (!overlayMap || !overlayMap->valid || !overlayMap->image || overlayMap->image->isNull())
        return nullptr;
    overlayMap->displayRange(lo, hi);
    return overlayMap->image.get();
}
