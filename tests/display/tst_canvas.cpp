#include "support/EventSend.h"
#include "support/TestRegistry.h"

#include "display/DispA.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

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
        const struct { const char* name; int mods; int left; } rows[] = {
            {"none", 0, 0}, {"Shift", S, 1}, {"Ctrl", C, 2}, {"Alt", A, 3}, {"Shift+Ctrl", S | C, 4},
            {"Shift+Alt", S | A, 5}, {"Ctrl+Alt", C | A, 6}, {"Shift+Ctrl+Alt", S | C | A, 7},
        };
        for (const auto& r : rows) {
            QTest::addRow("left %s", r.name) << L << r.mods << r.left;
            QTest::addRow("right %s", r.name) << R << r.mods << r.left + 8;
        }
        // Meta, keypad and group-switch bits do not count
        QTest::newRow("left Shift+Meta+Keypad")
            << L << int(S | Qt::MetaModifier | Qt::KeypadModifier) << 1;
        QTest::newRow("right Ctrl+GroupSwitch") << R << int(C | Qt::GroupSwitchModifier) << 10;
        QTest::newRow("middle") << int(Qt::MiddleButton) << S << 16;
        QTest::newRow("no button") << 0 << 0 << 16;
        QTest::newRow("left+right") << (L | R) << C << 16;
        QTest::newRow("back") << int(Qt::BackButton) << 0 << 16;
    }
    void modeTable()
    {
        QFETCH(int, button);
        QFETCH(int, mods);
        QFETCH(int, code);
        QCOMPARE(MouseC::mode(button, mods), code);
    }

    void pressMoveRelease()
    {
        DispA d;
        d.resize(200, 100);
        QSignalSpy moved(&d, &DispA::mouseMoved0);
        QSignalSpy pressed(&d, &DispA::mousePressed0);
        QSignalSpy released(&d, &DispA::mouseReleased0);
        QSignalSpy dclicked(&d, &DispA::mouseDoubleClicked0);

        // positions truncate toward zero
        events::moveTo(&d, QPointF(10.7, 20.9));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(QPoint(d.m.x, d.m.y), QPoint(10, 20));

        events::mouse(&d, QEvent::MouseButtonPress, QPointF(30.2, 40.8), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(moved.count(), 1);
        QVERIFY(d.m.pressed);
        QCOMPARE(QPoint(d.m.px, d.m.py), QPoint(10, 20));
        QCOMPARE(QPoint(d.m.pressX, d.m.pressY), QPoint(30, 40));
        QCOMPARE(d.m.pressModifiers, int(Qt::ShiftModifier));

        // dragging: the event's own button is none, the press state stays
        events::mouse(&d, QEvent::MouseMove, QPointF(35, 45), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(moved.count(), 2);
        QCOMPARE(d.m.button, 0);
        QCOMPARE(d.m.pressButton, int(Qt::LeftButton));
        QCOMPARE(d.m.px, 30);

        // released without Shift: the drag keeps the meaning of its press
        events::mouse(&d, QEvent::MouseButtonRelease, QPointF(-3.9, 60.5), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(released.count(), 1);
        QVERIFY(!d.m.pressed);
        QCOMPARE(QPoint(d.m.releaseX, d.m.releaseY), QPoint(-3, 60));
        QCOMPARE(MouseC::mode(d.m.pressButton, d.m.pressModifiers), 1);
        QCOMPARE(MouseC::mode(d.m.releaseButton, d.m.releaseModifiers), 0);

        events::mouse(&d, QEvent::MouseButtonDblClick, QPointF(5, 6), Qt::RightButton, Qt::RightButton,
                      Qt::ControlModifier);
        QCOMPARE(dclicked.count(), 1);
        QCOMPARE(QPoint(d.m.dClickX, d.m.dClickY), QPoint(5, 6));
        QCOMPARE(d.m.x, -3); // current position stays
        QCOMPARE(d.m.dClickModifiers, int(Qt::ControlModifier));
    }

    void altMoveIgnored()
    {
        DispA d;
        d.resize(100, 100);
        events::moveTo(&d, QPointF(20, 25));
        QSignalSpy moved(&d, &DispA::mouseMoved0);
        events::mouse(&d, QEvent::MouseMove, QPointF(70, 80), Qt::NoButton, Qt::NoButton,
                      Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(QPoint(d.m.x, d.m.y), QPoint(20, 25));
        // only moves are dropped
        QSignalSpy pressed(&d, &DispA::mousePressed0);
        events::mouse(&d, QEvent::MouseButtonPress, QPointF(70, 80), Qt::LeftButton, Qt::LeftButton,
                      Qt::AltModifier);
        QCOMPARE(pressed.count(), 1);
    }

    void wheel_data()
    {
        QTest::addColumn<QPoint>("angle");
        QTest::addColumn<double>("steps");
        QTest::addColumn<double>("factor");
        QTest::newRow("one notch forward") << QPoint(0, 120) << 1.0 << 1 / 1.1;
        QTest::newRow("three back") << QPoint(0, -360) << -3.0 << 1.1;
        QTest::newRow("touchpad crumb back") << QPoint(0, -15) << -0.125 << 1.1;
        QTest::newRow("horizontal only") << QPoint(120, 0) << 0.0 << 1 / 1.1;
    }
    void wheel()
    {
        QFETCH(QPoint, angle);
        QFETCH(double, steps);
        QFETCH(double, factor);
        DispA d;
        QSignalSpy spy(&d, &DispA::wheelMoved0);
        events::wheel(&d, angle);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(d.wheelSteps, steps);
        QCOMPARE(d.zoomFactor, factor);
    }

    void setRealMousePos_data()
    {
        QTest::addColumn<double>("rx");
        QTest::addColumn<double>("ry");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<QPoint>("s");
        // screen x 0..200 for real 0..10, y flipped: 100 at real 0, 0 at real 1
        QTest::newRow("truncates") << 2.51 << 0.249 << true << QPoint(50, 75);
        QTest::newRow("negative toward zero") << -0.07 << 1.5 << true << QPoint(-1, -50);
        QTest::newRow("NaN is ignored") << qQNaN() << 0.5 << false << QPoint(7, 8);
        QTest::newRow("infinity is ignored") << 1.0 << qInf() << false << QPoint(7, 8);
        QTest::newRow("far away clamps") << 1e300 << 0.0 << true << QPoint(1000000000, 100);
    }
    void setRealMousePos()
    {
        QFETCH(double, rx);
        QFETCH(double, ry);
        QFETCH(bool, moves);
        QFETCH(QPoint, s);
        DispA d;
        d.cc.setScreenArea(0, 100, 200, 0);
        d.cc.setRealArea(0, 0, 10, 1);
        d.setScreenMousePos(7, 8);
        QSignalSpy spy(&d, &DispA::mouseMoved0);
        d.setRealMousePos(rx, ry);
        QCOMPARE(spy.count(), moves ? 1 : 0);
        QCOMPARE(QPoint(d.m.x, d.m.y), s);
        if (moves)
            QCOMPARE(QPoint(d.m.px, d.m.py), QPoint(7, 8));
    }

    void layers()
    {
        DispA d;
        d.resize(80, 60);
        d.setFrameShape(QFrame::NoFrame);
        int order = 0, first = 0, second = 0;
        connect(&d, &DispA::drawImage1, this, [&](QPainter* p) {
            first = ++order;
            p->fillRect(QRect(0, 0, 50, 60), Qt::red);
        });
        connect(&d, &DispA::drawImage2, this, [&](QPainter* p) {
            second = ++order;
            p->fillRect(QRect(30, 20, 40, 20), Qt::blue);
        });
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/canvas-layers.png"));
        QCOMPARE(first, 1);
        QCOMPARE(second, 2);
        QCOMPARE(d.cc.sx1, 80.0); // the screen area follows the widget
        QCOMPARE(img.pixelColor(10, 10), QColor(Qt::red));
        QCOMPARE(img.pixelColor(40, 30), QColor(Qt::blue)); // layer 2 over layer 1
        QCOMPARE(img.pixelColor(70, 50), QColor(Qt::white));
    }
};

CORVELLINE_TEST(TestCanvas)
#include "tst_canvas.moc"
