#include "EventSend.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace events {

void mouse(QWidget* w, int type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods)
{
    QMouseEvent e(QEvent::Type(type), pos, w->mapToGlobal(pos), button, held, mods);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget* w, QPointF from, QPointF to, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    mouse(w, QEvent::MouseButtonPress, from, button, button, mods);
    mouse(w, QEvent::MouseMove, to, Qt::NoButton, button, mods);
    mouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton, mods);
}

void moveTo(QWidget* w, QPointF pos)
{
    mouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
}

void wheel(QWidget* w, QPoint angle)
{
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace events
