#include "display/ColorBar.h"

#include "foundation/Globals.h"

#include <QImage>
#include <QPainter>

#include <cmath>

ColorBar::ColorBar(QWidget* parent)
    : DispA(parent), format(defaultImageFormat), cBar(20, 600), dragged(&lowerTh)
{
    connect(this, SIGNAL(drawImage1(QPainter*)), this, SLOT(draw1(QPainter*)));
    connect(this, SIGNAL(mouseMoved0()), this, SLOT(onMouseMoved()));
    connect(this, SIGNAL(mousePressed0()), this, SLOT(onMousePressed()));
    connect(this, SIGNAL(mouseReleased0()), this, SLOT(onMouseReleased()));
    paintCBar();
    update();
}

uchar* ColorBar::putColor(double t, uchar* p, int bufferFormat) const
{
    return scale().putColor(t, p, bufferFormat);
}

QColor ColorBar::colorOf(double t) const
{
    return scale().colorOf(t);
}

QColor ColorBar::colorOfH(int h)
{
    if (format != QImage::Format_Grayscale8 && format != QImage::Format_RGB888)
        return QColor(0, 0, 0);
    const int wh = height();
    double t = wh > 0 ? double(h) / wh : 0.0;
    t = t < 0 ? 0.0 : (t > 1 ? 1.0 : t);
    return colorOf(t);
}

void ColorBar::paintCBar()
{
    const int W = cBar.width();
    const int H = cBar.height();
    const int h = height();
    if (gradient.size() != cBar.size() || gradientScale != scale() || gradientHeight != h) {
        gradient = QImage(cBar.size(), QImage::Format_RGB32);
        QPainter g(&gradient);
        for (int r = 0; r < H; r++) {
            // r * h / H in 64 bits: a tall widget must not overflow
            g.setPen(colorOfH(int(qint64(r) * h / H)));
            g.drawLine(0, H - 1 - r, W - 1, H - 1 - r);
        }
        gradientScale = scale();
        gradientHeight = h;
    }
    QPainter p(&cBar);
    p.drawImage(0, 0, gradient);
    p.setPen(QColor(0, 192, 255));
    for (double th : {upperTh, lowerTh}) {
        // a marker outside the bar (or a broken value) is not drawn
        double y = std::trunc((1 - th) * H);
        if (y >= 0 && y < H)
            p.drawLine(0, int(y), W - 1, int(y));
    }
    p.setPen(QColor(0, 255, 192));
    QFont font = this->font();
    const QBrush none;
    QRectF box;
    if (labelled) {
        box = QRectF(W / 2, 50, 95, W);
        dt.drawRotatedText(&p, 90, box, font, Qt::AlignLeft | Qt::AlignVCenter, 1,
                           QString::number(dataMax, 'g', 6), 10, false, none);
        box = QRectF(W / 2, H - 50, 95, W);
        dt.drawRotatedText(&p, 90, box, font, Qt::AlignRight | Qt::AlignVCenter, 1,
                           QString::number(dataMin, 'g', 6), 10, false, none);
    }
    if (dragging) {
        box = QRectF(W / 2, H / 2, 95, W);
        dt.drawRotatedText(&p, 90, box, font, Qt::AlignRight | Qt::AlignVCenter, 1,
                           QString::number((dataMax - dataMin) * *dragged + dataMin, 'g', 6), 10,
                           false, none);
    }
    p.end();
    update();
}

QImage ColorBar::pictureOf(double lo, double hi)
{
    const double shownMin = dataMin;
    const double shownMax = dataMax;
    dataMin = lo;
    dataMax = hi;
    paintCBar();
    const QImage picture = cBar.toImage();
    dataMin = shownMin;
    dataMax = shownMax;
    paintCBar();
    return picture;
}

void ColorBar::draw1(QPainter* p)
{
    p->drawPixmap(rect(), cBar);
}

double ColorBar::barValueAt(int y) const
{
    const int h = height();
    return h > 0 ? double(h - y) / h : 0.0;
}

void ColorBar::onMousePressed()
{
    const double t = barValueAt(m.y);
    const double dl = std::fabs(lowerTh - t);
    const double du = std::fabs(upperTh - t);
    if (dl > du) {
        dragged = &upperTh;
        dragging = true;
    } else if (du > dl) {
        dragged = &lowerTh;
        dragging = true;
    } else if (lowerTh == upperTh) {
        // Markers on one row are never lost: the one on the pressed side, or
        // on the row itself the one moved last.
        if (t != lowerTh)
            dragged = t > lowerTh ? &upperTh : &lowerTh;
        dragging = true;
    }
    paintCBar();
}

bool ColorBar::unstick()
{
    if (lowerTh != upperTh)
        return false;
    lowerTh = 0.0;
    upperTh = 1.0;
    paintCBar();
    return true;
}

void ColorBar::onMouseMoved()
{
    if (!m.pressed)
        return;
    if (dragging) {
        *dragged = barValueAt(m.y);
        paintCBar();
    }
    update();
    emit cBarUpdating();
}

void ColorBar::onMouseReleased()
{
    emit cBarUpdated();
    dragging = false;
}
