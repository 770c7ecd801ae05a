#include "display/VLabel.h"

#include <QPainter>

VLabel::VLabel(QWidget* parent) : QLabel(parent) {}

VLabel::VLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QSize VLabel::sizeHint() const { return QLabel::sizeHint().transposed(); }

QSize VLabel::minimumSizeHint() const { return QLabel::minimumSizeHint().transposed(); }

void VLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.rotate(90);
    p.drawText(QRect(0, -width(), height(), width()), Qt::AlignCenter, text());
}
