#include "support/TestRegistry.h"

#include "display/DispA.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers mods)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, held, mods);
    QApplication::sendEvent(w, &e);
}

void sendWheel(QWidget* w, QPoint angle)
{
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void modeTable_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mods");
        QTest::addColumn<int>("code");
        const int S = Qt::ShiftModifier, C = Qt::ControlModifier, A = Qt::AltModifier;
        const int L = Qt::LeftButton, R = Qt::RightButton;
        struct Row { const char* name; int mods; int left; int right; };
        const Row rows[] = {
            {"none", 0, 0, 8},          {"Shift", S, 1, 9},
            {"Ctrl", C, 2, 10},         {"Alt", A, 3, 11},
            {"Shift+Ctrl", S | C, 4, 12}, {"Shift+Alt", S | A, 5, 13},
            {"Ctrl+Alt", C | A, 6, 14}, {"Shift+Ctrl+Alt", S | C | A, 7, 15},
        };
        for (const Row& r : rows) {
            QTest::addRow("left %s", r.name) << L << r.mods << r.left;
            QTest::addRow("right %s", r.name) << R << r.mods << r.right;
            // Meta, keypad and group-switch bits do not count
            QTest::addRow("left %s +Meta+Keypad", r.name)
                << L << int(r.mods | Qt::MetaModifier | Qt::KeypadModifier) << r.left;
            QTest::addRow("right %s +GroupSwitch", r.name)
                << R << int(r.mods | Qt::GroupSwitchModifier) << r.right;
            QTest::addRow("middle %s", r.name) << int(Qt::MiddleButton) << r.mods << 16;
            QTest::addRow("no button %s", r.name) << 0 << r.mods << 16;
            QTest::addRow("left+right %s", r.name) << (L | R) << r.mods << 16;
            QTest::addRow("back %s", r.name) << int(Qt::BackButton) << r.mods << 16;
        }
    }
    void modeTable()
    {
        QFETCH(int, button);
        QFETCH(int, mods);
        QFETCH(int, code);
        QCOMPARE(MouseC::mode(button, mods), code);
    }

    void mouseStartsAtZero()
    {
        MouseC m;
        QCOMPARE(m.x + m.y + m.px + m.py + m.pressX + m.releaseY + m.dClickX, 0);
        QCOMPARE(m.button + m.pressButton + m.releaseButton + m.dClickButton, 0);
        QCOMPARE(m.modifiers + m.pressModifiers + m.releaseModifiers + m.dClickModifiers, 0);
        QVERIFY(!m.pressed);
    }

    void pressMoveRelease()
    {
        DispA d;
        d.resize(200, 100);
        QSignalSpy moved(&d, &DispA::mouseMoved0);
        QSignalSpy pressed(&d, &DispA::mousePressed0);
        QSignalSpy released(&d, &DispA::mouseReleased0);
        QSignalSpy dclicked(&d, &DispA::mouseDoubleClicked0);

        // a plain move: positions truncate toward zero, no button
        sendMouse(&d, QEvent::MouseMove, QPointF(10.7, 20.9), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(d.m.x, 10);
        QCOMPARE(d.m.y, 20);
        QCOMPARE(d.m.px, 0);
        QCOMPARE(d.m.button, 0);

        sendMouse(&d, QEvent::MouseButtonPress, QPointF(30.2, 40.8), Qt::LeftButton, Qt::LeftButton,
                  Qt::ShiftModifier);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(moved.count(), 1); // a press is no move
        QVERIFY(d.m.pressed);
        QCOMPARE(d.m.px, 10);
        QCOMPARE(d.m.py, 20);
        QCOMPARE(d.m.pressX, 30);
        QCOMPARE(d.m.pressY, 40);
        QCOMPARE(d.m.x, 30);
        QCOMPARE(d.m.pressButton, int(Qt::LeftButton));
        QCOMPARE(d.m.pressModifiers, int(Qt::ShiftModifier));

        // dragging: the event's own button is none, the press state stays
        sendMouse(&d, QEvent::MouseMove, QPointF(35, 45), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCOMPARE(moved.count(), 2);
        QCOMPARE(d.m.button, 0);
        QCOMPARE(d.m.modifiers, 0);
        QCOMPARE(d.m.pressButton, int(Qt::LeftButton));
        QCOMPARE(d.m.px, 30);
        QCOMPARE(d.m.x, 35);
        QVERIFY(d.m.pressed);

        // released without Shift: the drag keeps the meaning of its press
        sendMouse(&d, QEvent::MouseButtonRelease, QPointF(-3.9, 60.5), Qt::LeftButton, Qt::NoButton,
                  Qt::NoModifier);
        QCOMPARE(released.count(), 1);
        QVERIFY(!d.m.pressed);
        QCOMPARE(d.m.releaseX, -3);
        QCOMPARE(d.m.releaseY, 60);
        QCOMPARE(d.m.px, 35);
        QCOMPARE(d.m.releaseButton, int(Qt::LeftButton));
        QCOMPARE(d.m.releaseModifiers, 0);
        QCOMPARE(MouseC::mode(d.m.pressButton, d.m.pressModifiers), 1);
        QCOMPARE(MouseC::mode(d.m.releaseButton, d.m.releaseModifiers), 0);

        sendMouse(&d, QEvent::MouseButtonDblClick, QPointF(5, 6), Qt::RightButton, Qt::RightButton,
                  Qt::ControlModifier);
        QCOMPARE(dclicked.count(), 1);
        QCOMPARE(d.m.dClickX, 5);
        QCOMPARE(d.m.dClickY, 6);
        QCOMPARE(d.m.x, -3); // current and previous positions stay
        QCOMPARE(d.m.px, 35);
        QCOMPARE(d.m.button, int(Qt::RightButton));
        QCOMPARE(d.m.dClickModifiers, int(Qt::ControlModifier));
        QCOMPARE(d.m.modifiers, int(Qt::ControlModifier));
    }

    void altMoveIgnored_data()
    {
        QTest::addColumn<int>("mods");
        QTest::newRow("Alt") << int(Qt::AltModifier);
        QTest::newRow("Alt+Shift") << int(Qt::AltModifier | Qt::ShiftModifier);
        QTest::newRow("Ctrl+Alt") << int(Qt::AltModifier | Qt::ControlModifier);
    }
    void altMoveIgnored()
    {
        QFETCH(int, mods);
        DispA d;
        d.resize(100, 100);
        sendMouse(&d, QEvent::MouseMove, QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        sendMouse(&d, QEvent::MouseMove, QPointF(20, 25), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QSignalSpy moved(&d, &DispA::mouseMoved0);
        sendMouse(&d, QEvent::MouseMove, QPointF(70, 80), Qt::NoButton, Qt::NoButton,
                  Qt::KeyboardModifiers(mods));
        QCOMPARE(moved.count(), 0);
        QCOMPARE(d.m.x, 20);
        QCOMPARE(d.m.y, 25);
        QCOMPARE(d.m.px, 10);
        QCOMPARE(d.m.py, 10);
        QCOMPARE(d.m.modifiers, 0);
        // a press with Alt is recorded: only moves are dropped
        QSignalSpy pressed(&d, &DispA::mousePressed0);
        sendMouse(&d, QEvent::MouseButtonPress, QPointF(70, 80), Qt::LeftButton, Qt::LeftButton,
                  Qt::KeyboardModifiers(mods));
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(d.m.x, 70);
    }

    void wheel_data()
    {
        QTest::addColumn<QPoint>("angle");
        QTest::addColumn<double>("steps");
        QTest::addColumn<double>("factor");
        const double in = 1.0 / 1.1;
        QTest::newRow("one notch forward") << QPoint(0, 120) << 1.0 << in;
        QTest::newRow("one notch back") << QPoint(0, -120) << -1.0 << 1.1;
        QTest::newRow("two notches") << QPoint(0, 240) << 2.0 << in;
        QTest::newRow("three back") << QPoint(0, -360) << -3.0 << 1.1;
        QTest::newRow("half notch") << QPoint(0, 60) << 0.5 << in;
        QTest::newRow("touchpad crumb back") << QPoint(0, -15) << -0.125 << 1.1;
        QTest::newRow("horizontal only") << QPoint(120, 0) << 0.0 << in;
    }
    void wheel()
    {
        QFETCH(QPoint, angle);
        QFETCH(double, steps);
        QFETCH(double, factor);
        DispA d;
        QSignalSpy spy(&d, &DispA::wheelMoved0);
        sendWheel(&d, angle);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(d.wheelSteps, steps);
        QCOMPARE(d.zoomFactor, factor);
        QCOMPARE(factor == 1.1 ? 1.1 : 0.9090909090909091, d.zoomFactor);
    }

    void setMousePositions_data()
    {
        QTest::addColumn<double>("rx");
        QTest::addColumn<double>("ry");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<int>("sx");
        QTest::addColumn<int>("sy");
        // screen x 0..200 for real 0..10, y flipped: 100 at real 0, 0 at real 1
        QTest::newRow("middle") << 5.0 << 0.5 << true << 100 << 50;
        QTest::newRow("truncates") << 2.51 << 0.249 << true << 50 << 75;
        QTest::newRow("negative truncates toward zero") << -0.07 << 1.5 << true << -1 << -50;
        QTest::newRow("NaN is ignored") << qQNaN() << 0.5 << false << 0 << 0;
        QTest::newRow("infinity is ignored") << 1.0 << qInf() << false << 0 << 0;
        QTest::newRow("far away clamps") << 1e300 << 0.0 << true << 1000000000 << 100;
    }
    void setMousePositions()
    {
        QFETCH(double, rx);
        QFETCH(double, ry);
        QFETCH(bool, moves);
        QFETCH(int, sx);
        QFETCH(int, sy);
        DispA d;
        d.cc.setScreenArea(0, 100, 200, 0);
        d.cc.setRealArea(0, 0, 10, 1);
        d.setScreenMousePos(7, 8);
        d.m.button = 2;
        d.m.pressed = true;
        int seenPx = -99, seenPy = -99;
        connect(&d, &DispA::mouseMoved0, this, [&] { seenPx = d.m.px; seenPy = d.m.py; });
        QSignalSpy spy(&d, &DispA::mouseMoved0);
        d.setRealMousePos(rx, ry);
        QCOMPARE(spy.count(), moves ? 1 : 0);
        if (moves) {
            QCOMPARE(d.m.x, sx);
            QCOMPARE(d.m.y, sy);
            QCOMPARE(seenPx, 7);
            QCOMPARE(seenPy, 8);
        } else {
            QCOMPARE(d.m.x, 7);
            QCOMPARE(d.m.y, 8);
        }
        QCOMPARE(d.m.button, 2);
        QVERIFY(d.m.pressed);
    }

    void layers()
    {
        DispA d;
        d.resize(80, 60);
        d.setFrameShape(QFrame::NoFrame);
        double seenW = -1, seenH = -1;
        int order = 0, first = 0, second = 0;
        connect(&d, &DispA::drawImage1, this, [&](QPainter* p) {
            first = ++order;
            seenW = d.cc.sx1;
            seenH = d.cc.sy0;
            p->fillRect(QRect(0, 0, 50, 60), Qt::red);
        });
        connect(&d, &DispA::drawImage2, this, [&](QPainter* p) {
            second = ++order;
            p->fillRect(QRect(30, 20, 40, 20), Qt::blue);
        });
        d.cc.applyMargins(); // a repaint resets the inner area to the whole widget
        QImage img = d.grab().toImage();
        QCOMPARE(first, 1);
        QCOMPARE(second, 2);
        QCOMPARE(seenW, 80.0);
        QCOMPARE(seenH, 60.0);
        QCOMPARE(d.cc.isx0, 0.0);
        QCOMPARE(d.cc.isy1, 0.0);
        QCOMPARE(img.pixelColor(10, 10), QColor(Qt::red));
        QCOMPARE(img.pixelColor(40, 30), QColor(Qt::blue));  // layer 2 over layer 1
        QCOMPARE(img.pixelColor(60, 30), QColor(Qt::blue));
        QCOMPARE(img.pixelColor(70, 50), QColor(Qt::white)); // untouched: white
        img.save(testreg::shotsDir() + QStringLiteral("/canvas-layers.png"));
    }

    void emptyCanvasIsWhite()
    {
        DispA d;
        d.resize(40, 30);
        QImage img = d.grab().toImage();
        for (int y = 3; y < 27; ++y)
            for (int x = 3; x < 37; ++x)
                QCOMPARE(img.pixelColor(x, y), QColor(Qt::white));
        QVERIFY(d.testAttribute(Qt::WA_MouseTracking));
        QCOMPARE(d.frameShape(), QFrame::StyledPanel);
        QVERIFY(d.allowWheelZoom);
        QVERIFY(d.allowDragPan);
    }
};

CORVELLINE_TEST(TestCanvas)
#include "tst_canvas.moc"
