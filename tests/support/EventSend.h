#pragma once
// Synthetic mouse and wheel events delivered straight to a widget, so display
// tests need no window system focus or real pointer.
#include <QPoint>
#include <QPointF>
#include <Qt>

class QWidget;

namespace events {

void mouse(QWidget* w, int type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers mods = Qt::NoModifier);
// Press at from, one move with the button held, release at to.
void drag(QWidget* w, QPointF from, QPointF to, Qt::MouseButton button,
          Qt::KeyboardModifiers mods = Qt::NoModifier);
void moveTo(QWidget* w, QPointF pos);
void wheel(QWidget* w, QPoint angle);

} // namespace events
