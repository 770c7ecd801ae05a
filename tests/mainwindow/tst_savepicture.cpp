#include "support/Loopback.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "display/ImgDispA.h"
#include "mainwindow/Body.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestSavePicture : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        loopback::resetConfig();
    }

    // The saved picture of a 40 x 30 map holds every pixel at least partly in
    // view: from trunc(start) up to ceil(end).
    void partlyVisiblePixelsKept_data()
    {
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<QRect>("part"); // of the map's picture
        // The widget filled: y 0.24 .. 29.76, so row 29 (76 % in view) is kept.
        QTest::newRow("y ends inside row 29") << QRectF(0, 0.24, 40, 29.52) << QRect(0, 0, 40, 30);
        // x 4.64 .. 35.36: columns 4 .. 35, 32 of them.
        QTest::newRow("x ends inside column 35") << QRectF(4.64, 0, 30.72, 30) << QRect(4, 0, 32, 30);
        QTest::newRow("exactly the map") << QRectF(0, 0, 40, 30) << QRect(0, 0, 40, 30);
    }
    void partlyVisiblePixelsKept()
    {
        QFETCH(QRectF, view);
        QFETCH(QRect, part);
        Body body;
        Analyzed2DRes map(QStringLiteral("m"));
        // Its largest value in the last row and column.
        testmaps::fill(map, testmaps::grid(40, 30, 0, 0, 0, 0, 40, 30), [](int x, int y) { return x + 40.0 * y; });
        map.genImg();
        body.dispA->showOverLayer = true;
        body.dispA->overlayMap = &map;
        body.dispA->viewWin = view;
        const QString name = tmp.filePath(QTest::currentDataTag()).replace(' ', '_') + ".png";
        body.execCmdSlot(CmdLine("save_image " + name), false);
        const QImage saved = QImage(name).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(saved.size(), part.size());
        QCOMPARE(saved, map.img()->copy(part).convertToFormat(QImage::Format_ARGB32));
    }
};

CORVELLINE_TEST(TestSavePicture)
#include "tst_savepicture.moc"
