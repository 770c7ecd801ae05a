#pragma once
// Mouse state of one canvas and the action code every canvas and owner uses
// to decide what a click or drag means.
#include <QObject>

class QMouseEvent;

class MouseC : public QObject {
    Q_OBJECT
public:
    explicit MouseC(QObject* parent = nullptr);

    int px = 0, py = 0;       // current position before the last move, press or release
    int x = 0, y = 0;         // current position
    int pressX = 0, pressY = 0;
    int releaseX = 0, releaseY = 0;
    int dClickX = 0, dClickY = 0;
    bool pressed = false;
    int button = 0, pressButton = 0, releaseButton = 0, dClickButton = 0;
    int modifiers = 0, pressModifiers = 0, releaseModifiers = 0, dClickModifiers = 0;

    void setMove(QMouseEvent* e);
    void setPress(QMouseEvent* e);
    void setRelease(QMouseEvent* e);
    void setDoubleClick(QMouseEvent* e);

    // 0..7 left and 8..15 right button by Shift (1), Ctrl (2), Alt (3), their
    // pairs (4 Shift+Ctrl, 5 Shift+Alt, 6 Ctrl+Alt) and all three (7); 16 else.
    static int mode(int button, int modifiers);

    // Pixel coordinate truncated toward zero; NaN gives 0, far values clamp.
    static int toPixel(double v);

private:
    void record(QMouseEvent* e, int& ex, int& ey, int& eButton, int& eModifiers);
};
