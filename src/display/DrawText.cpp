#include "display/DrawText.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

DrawText::DrawText(QObject* parent) : QObject(parent) {}

// Sets the painter's font for drawing the text into the box.
QRectF DrawText::fitFont(QPainter* painter, const QRectF& box, const QFont& font, int flags,
                         int fitMode, const QString& text, double maxPointSize)
{
    if (fitMode != 1) {
        painter->setFont(font);
        return QRectF();
    }
    QFont f(font);
    f.setPointSizeF(10);
    painter->setFont(f);
    QRectF measured = painter->boundingRect(QRectF(0, 0, 5000, 5000), flags, text);
    double bw = measured.width();
    double bh = measured.height();
    double sw = bw != 0 ? box.width() / bw : 1.0;
    double sh = bh != 0 ? box.height() / bh : 1.0;
    double size = 10 * std::min(sw, sh);
    if (maxPointSize > 0)
        size = std::min(maxPointSize, size);
    // QFont refuses sizes <= 0; the text then stays at the measuring size.
    if (std::isfinite(size) && size > 0) {
        f.setPointSizeF(size);
        painter->setFont(f);
    }
    return measured;
}

QRectF DrawText::drawTextInBox(QPainter* painter, QRectF& box, QFont& font, int flags, int fitMode,
                               QString text, double maxPointSize)
{
    box = box.normalized();
    QRectF r = fitFont(painter, box, font, flags, fitMode, text, maxPointSize);
    painter->drawText(box, flags, text);
    painter->setFont(font);
    return r;
}

QRectF DrawText::drawRotatedText(QPainter* painter, double angle, QRectF& box, QFont& font, int flags,
                                 int fitMode, QString text, double maxPointSize, bool fillBackground,
                                 QBrush brush)
{
    box = box.normalized();
    const double a = -angle * 3.141592653 / 180;
    const double x = box.x();
    const double y = box.y();
    // where the box's corner lies once the painter is rotated
    const double qx = x * std::cos(a) - y * std::sin(a);
    const double qy = x * std::sin(a) + y * std::cos(a);
    const QRectF textRect(qx - box.width() / 2, qy - box.height() / 2, box.width(), box.height());
    const QTransform saved = painter->worldTransform();
    painter->rotate(angle);
    QRectF r = fitFont(painter, textRect, font, flags, fitMode, text, maxPointSize);
    if (fillBackground)
        painter->fillRect(textRect, brush);
    painter->drawText(textRect, flags, text);
    painter->setFont(font);
    painter->setWorldTransform(saved);
    return r;
}
