#include "display/VPushButton.h"

#include <QPainter>

VPushButton::VPushButton(QWidget* parent) : QPushButton(parent) {}

VPushButton::VPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void VPushButton::setText(const QString& text)
{
    inner.setText(text);
    updateGeometry();
    update();
}

QSize VPushButton::sizeHint() const { return inner.sizeHint().transposed(); }

QSize VPushButton::minimumSizeHint() const { return inner.minimumSizeHint().transposed(); }

void VPushButton::paintEvent(QPaintEvent* e)
{
    QPushButton::paintEvent(e);
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.rotate(90);
    p.drawText(QRect(0, -width(), height(), width()), Qt::AlignCenter, inner.text());
}
