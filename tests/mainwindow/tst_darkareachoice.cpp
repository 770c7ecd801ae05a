#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "batch/BatchCtrl.h"
#include "batch/CmdLine.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QPushButton>
#include <QTest>

#include <optional>

typedef std::optional<QRectF> Box;
Q_DECLARE_METATYPE(Box)

char* toString(const Box& b)
{
    return b ? QTest::toString(*b) : qstrdup("none");
}

// Which box a dark-area choice takes after drags, clicks and right-clicks on
// the display and region commands: the box of the last choice while no new
// area is selected, else the selected area, else none (logged, nothing changes).
class TestDarkAreaChoice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // A 24 x 20 stack on a 480 x 400 display showing all of it: 20 widget
    // pixels per image pixel. Steps: "drag x0 y0 x1 y1" and "click x y" with
    // the left button, "right" clicks the right one, "SetDA" presses the I1
    // panel's "Set Dark Area"; the rest are batch lines.
    void choices_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<Box>("i1");  // the I1 dark area, none when not in use
        QTest::addColumn<Box>("i0");
        QTest::addColumn<Box>("sel"); // the selected area afterwards
        QTest::addColumn<int>("refused"); // log lines "No area is selected for the I1/I0 ..."
        const QRectF small(2, 2, 3, 3);
        const QRectF wide(10, 10, 10, 8);
        QTest::newRow("drag, right-click, Set Dark Area")
            << QStringList{"drag 3 4 9 12", "right", "SetDA"} << Box() << Box() << Box() << 1;
        QTest::newRow("right-click between the two choices")
            << QStringList{"select_region 10 10 20 18", "select_region 2 2 5 5", "set_i1_dark_area", "right",
                           "set_i0_dark_area"}
            << Box(small) << Box(small) << Box() << 0;
        QTest::newRow("two drags, right-click")
            << QStringList{"drag 3 4 9 12", "drag 12 2 20 8", "right", "set_i1_dark_area"} << Box() << Box()
            << Box() << 1;
        QTest::newRow("click between the two choices")
            << QStringList{"select_region 2 2 5 5", "set_i1_dark_area", "click 15 15", "set_i0_dark_area"}
            << Box(small) << Box(small) << Box() << 0;
        QTest::newRow("one box for both stacks")
            << QStringList{"select_region 10 10 20 18", "select_region 2 2 5 5", "set_i1_dark_area",
                           "set_i0_dark_area"}
            << Box(small) << Box(small) << Box(wide) << 0;
    }
    void choices()
    {
        QFETCH(QStringList, steps);
        QFETCH(Box, i1);
        QFETCH(Box, i0);
        QFETCH(Box, sel);
        QFETCH(int, refused);
        auto b = craft::bodyWithStack(24, 20, 2, [](int x, int y, int k) { return 100.0 + x + 30 * y + k; });
        for (TiffData* f : b->i1Frames)
            f->cBar = b->CBar; // a drag needs a picture
        ImgDispA* d = b->dispA;
        d->setImageData(b->i1Frames.first());
        d->setMinimumSize(480, 400); // the form asks for 600 x 600
        d->resize(480, 400);
        d->viewWin = QRectF(0, 0, 24, 20);
        auto at = [](const QStringList& w, int i) { return QPoint(w[i].toInt() * 20, w[i + 1].toInt() * 20); };
        testlog::Capture log;
        for (const QString& step : steps) {
            const QStringList w = step.split(' ');
            if (w[0] == "drag") {
                QTest::mousePress(d, Qt::LeftButton, {}, at(w, 1));
                QTest::mouseMove(d, at(w, 3));
                QTest::mouseRelease(d, Qt::LeftButton, {}, at(w, 3));
            } else if (w[0] == "click") {
                QTest::mouseClick(d, Qt::LeftButton, {}, at(w, 1));
            } else if (w[0] == "right") {
                QTest::mouseClick(d, Qt::RightButton, {}, QPoint(130, 170));
            } else if (w[0] == "SetDA") {
                b->SelectI1Files->additionalSetup.SetDA->click();
            } else {
                b->execCmdSlot(CmdLine(step), false);
            }
        }
        auto dark = [&](FrameSets::Stack s) {
            return b->frameSets.darkInUse(s) ? Box(b->frameSets.darkRect(s)) : Box();
        };
        QCOMPARE(dark(FrameSets::I1), i1);
        QCOMPARE(dark(FrameSets::I0), i0);
        QCOMPARE(d->sel.valid ? Box(d->sel.area) : Box(), sel);
        QCOMPARE(log.linesStartingWith(QStringLiteral("No area is selected for the I1 dark area")).size(),
                 refused);
        QCOMPARE(log.linesStartingWith(QStringLiteral("No area is selected for the I0")).size(), 0);
        if (refused)
            QTRY_VERIFY(b->batchCtrl->BatchLogs->toPlainText().contains(QStringLiteral("No area is selected for the I1")));
    }
};

CORVELLINE_TEST(TestDarkAreaChoice)
#include "tst_darkareachoice.moc"
