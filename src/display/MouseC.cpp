#include "display/MouseC.h"

#include <QMouseEvent>

#include <cmath>

MouseC::MouseC(QObject* parent) : QObject(parent) {}

int MouseC::toPixel(double v)
{
    const double lim = 1e9;
    if (!(v == v))
        return 0;
    if (v > lim)
        return static_cast<int>(lim);
    if (v < -lim)
        return -static_cast<int>(lim);
    return static_cast<int>(v);
}

// previous := current; current and the given event fields := the event's
void MouseC::record(QMouseEvent* e, int& ex, int& ey, int& eButton, int& eModifiers)
{
    px = x;
    py = y;
    ex = x = toPixel(e->position().x());
    ey = y = toPixel(e->position().y());
    eButton = button = int(e->button());
    eModifiers = modifiers = int(e->modifiers());
}

void MouseC::setMove(QMouseEvent* e) { record(e, x, y, button, modifiers); }

void MouseC::setPress(QMouseEvent* e)
{
    record(e, pressX, pressY, pressButton, pressModifiers);
    pressed = true;
}

void MouseC::setRelease(QMouseEvent* e)
{
    record(e, releaseX, releaseY, releaseButton, releaseModifiers);
    pressed = false;
}

void MouseC::setDoubleClick(QMouseEvent* e)
{
    dClickX = toPixel(e->position().x());
    dClickY = toPixel(e->position().y());
    dClickButton = button = int(e->button());
    dClickModifiers = modifiers = int(e->modifiers());
}

int MouseC::mode(int button, int modifiers)
{
    int base;
    if (button == Qt::LeftButton)
        base = 0;
    else if (button == Qt::RightButton)
        base = 8;
    else
        return 16;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    // index by the held set: none, S, C, A, SC, SA, CA, SCA
    static const int code[2][2][2] = {
        // [shift][ctrl][alt]
        {{0, 3}, {2, 6}},
        {{1, 5}, {4, 7}},
    };
    return base + code[shift][ctrl][alt];
}
