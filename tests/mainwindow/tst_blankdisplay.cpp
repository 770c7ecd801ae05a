// A map display chosen before its map exists shows no picture, yet marks
// and drags keep the image's own frame, as on the Data display. A cleared
// stack leaves no picture and no spectrum behind.
#include "support/EventSend.h"
#include "support/Loopback.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "batch/CmdLine.h"
#include "display/ImgDispA.h"
#include "display/XafsView.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QDir>
#include <QTest>

class TestBlankDisplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { loopback::resetConfig(); }

    void marksAndDragsInTheImageFrame_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("Data") << "ShowData";
        QTest::newRow("Eng. Shift before any map") << "ShowShiftMap";
        QTest::newRow("Res. Analysis before any map") << "ShowResAnalysis";
    }
    // A 24 x 20 stack on 480 x 400 pixels: 20 widget pixels per image pixel.
    void marksAndDragsInTheImageFrame()
    {
        QFETCH(QString, display);
        auto b = craft::bodyWithStack(24, 20, 2, [](int x, int y, int k) { return 100.0 + x + 30 * y + k; });
        for (TiffData* f : b->i1Frames)
            f->cBar = b->CBar;
        ImgDispA* d = b->dispA;
        d->setImageData(b->i1Frames.first());
        d->setFixedSize(480, 400); // the form asks for 600 x 600
        d->viewWin = QRectF(0, 0, 24, 20);
        d->grab(); // the Data display was painted before the choice
        auto* choice = b->findChild<QRadioButton*>(display);
        QVERIFY(choice);
        choice->setChecked(true);
        QCOMPARE(d->showOverLayer, display != QLatin1String("ShowData"));

        events::moveTo(d, QPointF(110, 70)); // picks image pixel (5, 3)
        QCOMPARE(QPoint(b->pointX, b->pointY), QPoint(5, 3));
        QImage img = d->grab().toImage();
        auto at = [&img](int x, int y) { return img.pixelColor(x, y).rgb() & 0xffffff; };
        QCOMPARE(at(100, 300), 0xc0c000u); // cross line through image column 5
        QCOMPARE(at(300, 60), 0xc0c000u);  // and through image row 3

        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(60, 80));
        QTest::mouseMove(d, QPoint(180, 240));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(180, 240));
        QVERIFY(d->sel.valid);
        QCOMPARE(d->sel.area, QRectF(3, 4, 6, 8));
        img = d->grab().toImage();
        img.save(QDir(testreg::shotsDir()).filePath(QStringLiteral("display-%1.png").arg(display)));
        QCOMPARE(at(120, 80), 0xc0c0ffu); // top side of the area, image row 4
    }

    void clearedStackLeavesNothing_data()
    {
        QTest::addColumn<bool>("button");
        QTest::newRow("Clear of the I1 panel") << true;
        QTest::newRow("clear_I1_files") << false;
    }
    void clearedStackLeavesNothing()
    {
        QFETCH(bool, button);
        auto b = craft::bodyWithStack(24, 20, 2, [](int x, int y, int k) { return 100.0 + x + 30 * y + k; });
        for (TiffData* f : b->i1Frames)
            f->cBar = b->CBar;
        ImgDispA* d = b->dispA;
        b->show();
        b->xafsView->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        b->showXafsSpectrum(5.0, 3.0);
        QTRY_VERIFY(d->currentImage());
        QVERIFY(b->xafsView->spectrum.size() > 0);
        for (int k = 0; k < 2; k++)
            b->SelectI1Files->Selected->addItem(QString::number(k));
        b->SelectI1Files->Selected->setCurrentIndex(1);
        b->ShowData->setChecked(true);
        b->execCmdSlot(CmdLine(QStringLiteral("move_position 5 3")), false);
        QCOMPARE(b->Value->text(), QStringLiteral("196")); // 100 + 5 + 30 * 3 + 1 of frame 1
        QVERIFY(!b->HCross->profile.points.isEmpty());
        int paints = 0;
        connect(d, &DispA::drawImage1, d, [&paints] { paints++; });
        QCoreApplication::processEvents();
        paints = 0;
        if (button)
            b->SelectI1Files->Clear->click();
        else
            b->execCmdSlot(CmdLine(QStringLiteral("clear_I1_files")), false);
        QTRY_VERIFY(paints > 0);
        QVERIFY(!d->currentImage());
        QVERIFY(b->Value->text().isEmpty());
        QVERIFY(b->HCross->profile.points.isEmpty());
        QVERIFY(b->VCross->profile.points.isEmpty());
        for (const XafsView* v : {b->xafsView, b->analyzer->xafsView()}) {
            QCOMPARE(v->spectrum.size(), 0);
            QVERIFY(v->rawSpectrum.points.isEmpty());
        }
    }
};

CORVELLINE_TEST(TestBlankDisplay)
#include "tst_blankdisplay.moc"
