// Whatever moves the frame slider, the operator or the program, the frame
// it names is shown, and shown once.
#include "support/EventSend.h"
#include "support/FrameCraft.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "batch/CmdLine.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QTest>

namespace {
// Every shown frame names its file in the frame number's tool tip.
class ShowCount : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::ToolTipChange)
            shows++;
        return false;
    }
};
} // namespace

class TestSeekBar : public QObject {
    Q_OBJECT
private slots:
    void init() { loopback::resetConfig(); }

    // 30 frames (frame i holds i + 1), the first shown, its handle at the
    // groove's left end; the panel shows the latest frame of a load, as it
    // does by default.
    void oneShowOfTheNamedFrame_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("frame");
        QTest::newRow("wheel one notch: three steps") << "wheel" << 3;
        QTest::newRow("key Right") << "right" << 1;
        QTest::newRow("click on the groove right of the handle: a page") << "groove" << 10;
        QTest::newRow("drag of the handle to the end") << "drag" << 29;
        QTest::newRow("Next") << "next" << 1;
        QTest::newRow("batch word") << "seek_image 4" << 4;
        QTest::newRow("one more frame loaded") << "load" << 30;
    }
    void oneShowOfTheNamedFrame()
    {
        QFETCH(QString, action);
        QFETCH(int, frame);
        Body b;
        auto load = [&b](int i) { // as a load hands a frame over
            TiffData* f = craft::flatFrame(4, 3, i + 1);
            f->cBar = b.CBar;
            b.frameSets.append(FrameSets::I1, f, 8000 + 10 * i);
            b.SelectI1Files->Selected->addItem(QString::number(i));
            b.followI1Stack();
        };
        for (int i = 0; i < 30; i++)
            load(i);
        b.SelectI1Files->Selected->setCurrentIndex(0);
        QCOMPARE(b.SeekBar->value(), 0);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QSlider* s = b.SeekBar;
        ShowCount count;
        b.ImgNo->installEventFilter(&count);

        const QPoint mid(s->width() - 3, s->height() / 2);
        if (action == "wheel") {
            events::wheel(s, QPoint(0, 120));
        } else if (action == "right") {
            QTest::keyClick(s, Qt::Key_Right);
        } else if (action == "groove") {
            QTest::mouseClick(s, Qt::LeftButton, {}, mid);
        } else if (action == "drag") {
            QTest::mousePress(s, Qt::LeftButton, {}, QPoint(4, s->height() / 2));
            QTest::mouseMove(s, mid + QPoint(20, 0));
            QTest::mouseRelease(s, Qt::LeftButton, {}, mid + QPoint(20, 0));
        } else if (action == "next") {
            b.Next->click();
        } else if (action == "load") {
            load(30);
        } else {
            b.execCmdSlot(CmdLine(action), false);
        }
        QCOMPARE(s->value(), frame);
        QCOMPARE(b.ImgNo->text(), QString::number(frame));
        QCOMPARE(b.dispA->frame, b.i1Frames[frame]);
        QCOMPARE(b.SelectI1Files->Selected->currentIndex(), frame);
        QCOMPARE(count.shows, 1);
    }
};

CORVELLINE_TEST(TestSeekBar)
#include "tst_seekbar.moc"
