#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/ImageCraft.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"
#include "support/StackBody.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "batch/CmdLine.h"
#include "display/CrossSView.h"
#include "display/ImgDispA.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {
// Calls back at every paint of a window and its widgets while it lives.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* window, std::function<void()> f) : window(window), onPaint(std::move(f))
    {
        qApp->installEventFilter(this);
    }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType()
            && (o == window || window->isAncestorOf(static_cast<QWidget*>(o))))
            onPaint();
        return false;
    }

private:
    QWidget* window;
    std::function<void()> onPaint;
};
} // namespace

// The main window's stacks, navigation, overlay and read-out, with frames
// put into its stacks directly or loaded through its loaders.
class TestNavigation : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Three I1 frames of w x h at 8000, 8010 and 8020 eV (frame i holds i + 1)
    // and one I0 frame; the file lists follow.
    static std::unique_ptr<Body> bodyWithStacks(int w = 3, int h = 2)
    {
        std::unique_ptr<Body> b(new Body());
        for (int i = 0; i < 3; i++) {
            TiffData* f = craft::flatFrame(w, h, i + 1);
            f->cBar = b->CBar;
            b->frameSets.append(FrameSets::I1, f, 8000 + 10 * i);
            b->SelectI1Files->Selected->addItem(QString::number(i));
        }
        b->frameSets.append(FrameSets::I0, craft::flatFrame(w, h, 9), 8000);
        b->SelectI0Files->Selected->addItem(QStringLiteral("0"));
        b->followI1Stack();
        b->SelectI1Files->Selected->setCurrentIndex(0);
        b->SelectI0Files->Selected->setCurrentIndex(0);
        b->showData(0);
        return b;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        loopback::resetConfig();
    }

    // The last file is missing: the stack still takes its geometry when the load
    // ends; exposure times that differ mark the panel; a new load replaces the
    // stack, an added one grows it.
    void loadThroughTheWindow()
    {
        QStringList files;
        for (int i = 0; i < 2; i++) {
            files << dir.filePath(QStringLiteral("f%1.img").arg(i));
            craft::ImOptions o;
            o.comment = i == 0 ? "BytesPerPixel=2,ExposureTime=0.1" : "BytesPerPixel=2,ExposureTime=0.2";
            QVERIFY(craft::writeIm(files.last(), 3, 2, QVector<quint32>(6, 7), o));
        }
        Body body;
        QSignalSpy done(&body, &Body::finishBatchExec);
        body.readI1Files(files + QStringList{dir.filePath(QStringLiteral("missing.img"))}, true);
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(done.first().first().toInt(), int(LOAD_I1_FILES));
        QCOMPARE(body.i1Frames.size(), 2);
        QCOMPARE(body.imageW, 3);
        QCOMPARE(body.imageH, 2);
        QCOMPARE(body.SeekBar->maximum(), 1);
        QCOMPARE(body.SelectI1Files->Selected->currentIndex(), 1);
        QCOMPARE(body.SelectI1Files->ExpTime->text(), QStringLiteral("100"));
        QVERIFY(body.SelectI1Files->ExpTime->styleSheet().contains(QLatin1String("255, 192, 192")));

        body.readI1Files(files.mid(1), true);
        body.readI1Files(files, false);
        // The first request may finish before the second is queued (one or two answers).
        QTRY_COMPARE(body.i1Frames.size(), 3);
        QTRY_VERIFY(done.count() >= 2);
        QCOMPARE(body.SelectI1Files->Selected->count(), 3);
    }

    // While a stack loads, every paint shows the frames taken so far as one
    // picture: with ShowLatest the newest frame with its number, the slider and
    // the file list at it and the spectrum at the pointer over all frames;
    // without it the display left as it was. After the load every frame is in
    // the stack in file order with its file's energy, and only the frame on
    // screen holds a display image, made at its first paint.
    void paintsDuringALoad_data()
    {
        QTest::addColumn<bool>("showLatest");
        QTest::newRow("newest shown") << true;
        QTest::newRow("display left alone") << false;
    }
    void paintsDuringALoad()
    {
        QFETCH(bool, showLatest);
        const int n = 80;
        QStringList files;
        for (int i = 0; i < n; i++) {
            files << dir.filePath(QStringLiteral("load%1.img").arg(i, 2, 10, QLatin1Char('0')));
            QVERIFY(craft::writeIm(files.last(), 48, 32, QVector<quint32>(48 * 32, quint32(i + 1))));
        }
        Body body;
        body.SelectI1Files->setShowLatest(showLatest);
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));

        QStringList wrong;
        int paints = 0;
        auto watch = std::make_unique<PaintWatch>(&body, [&] {
            paints++;
            const int k = int(body.i1Frames.size());
            const bool frameOk = showLatest && k > 0 ? body.dispA->frame == body.i1Frames.last()
                                                     : body.dispA->frame == nullptr;
            const bool followed = !showLatest || k == 0
                || (body.ImgNo->text() == QString::number(k - 1) && body.SeekBar->value() == k - 1
                    && body.SeekBar->maximum() == k - 1
                    && body.SelectI1Files->Selected->currentIndex() == k - 1
                    && body.xafsView->rawSpectrum.size() == k);
            if (!frameOk || !followed || body.SelectI1Files->Selected->count() != k)
                wrong << QStringLiteral("paint with %1 frames: image %2, slider %3, list %4 of %5, "
                                        "spectrum %6")
                             .arg(k)
                             .arg(body.ImgNo->text())
                             .arg(body.SeekBar->value())
                             .arg(body.SelectI1Files->Selected->currentIndex())
                             .arg(body.SelectI1Files->Selected->count())
                             .arg(body.xafsView->rawSpectrum.size());
        });
        QSignalSpy done(&body, &Body::finishBatchExec);
        body.readI1Files(files, true);
        QTRY_COMPARE(done.count(), 1);
        watch.reset();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        qDebug() << paints << "paints of the window during the load";

        QCOMPARE(body.i1Frames.size(), n);
        QCOMPARE(body.SelectI1Files->Selected->count(), n);
        if (showLatest)
            QTRY_VERIFY(body.i1Frames.last()->dispImg);
        for (int i = 0; i < n; i++) {
            const TiffData* f = body.i1Frames[i];
            QCOMPARE(f->fileName, files[i]);
            QCOMPARE(f->value(5, 5), double(i + 1));
            QCOMPARE(f->energy, body.SelectI1Files->eofSetup->energyOfFile(files[i], i, n));
            QCOMPARE(body.SelectI1Files->Selected->itemText(i), files[i]);
            QCOMPARE(f->dispImg != nullptr, showLatest && i == n - 1);
        }
        QCOMPARE(body.dispA->frame, showLatest ? body.i1Frames.last() : nullptr);
    }

    // A new I0 stack replaces the old one under a shown I1 frame: the picture
    // is not painted again (a paint of a large frame costs as much as reading
    // several). With an I0 frame shown, the old frame leaves the screen.
    void newI0StackUnderTheShownFrame_data()
    {
        QTest::addColumn<bool>("i0Shown");
        QTest::newRow("I1 frame shown") << false;
        QTest::newRow("I0 frame shown") << true;
    }
    void newI0StackUnderTheShownFrame()
    {
        QFETCH(bool, i0Shown);
        QStringList i1, i0;
        for (int i = 0; i < 3; i++) {
            i1 << dir.filePath(QStringLiteral("under1_%1.img").arg(i));
            i0 << dir.filePath(QStringLiteral("under0_%1.img").arg(i));
            QVERIFY(craft::writeIm(i1.last(), 24, 16, QVector<quint32>(24 * 16, quint32(100 + i))));
            QVERIFY(craft::writeIm(i0.last(), 24, 16, QVector<quint32>(24 * 16, quint32(900 + i))));
        }
        Body body;
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        QSignalSpy done(&body, &Body::finishBatchExec);
        body.readI1Files(i1, true);
        QTRY_COMPARE(done.count(), 1);
        body.readI0Files(i0, true);
        QTRY_COMPARE(done.count(), 2);
        if (i0Shown) {
            body.ShowI0->setChecked(true);
            body.sliderMoved(1);
        }
        const TiffData* shown = body.dispA->frame;
        QVERIFY(shown == (i0Shown ? body.i0Frames[1] : body.i1Frames[2]));
        QTRY_VERIFY(shown->dispImg); // painted

        int paints = 0;
        PaintWatch watch(body.dispA, [&paints] { paints++; });
        body.readI0Files(i0, true);
        QTRY_COMPARE(done.count(), 3);
        for (int i = 0; i < 4; i++) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(body.i0Frames.size(), 3);
        if (i0Shown) {
            QVERIFY(paints > 0);
            QVERIFY(body.dispA->frame != shown);
        } else {
            QCOMPARE(paints, 0);
            QCOMPARE(body.dispA->frame, shown);
        }
    }

    void bounds_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("shown"); // index of the I1 frame on the display; -1 the I0 frame
        QTest::addColumn<QString>("imgNo");
        QTest::addColumn<QPoint>("point");
        QTest::newRow("frame 2") << "show 2" << 2 << "2" << QPoint(0, 0);
        // A frame the stack lacks is named nowhere.
        QTest::newRow("frame 3 of 3: the image stays") << "show 3" << 0 << "0" << QPoint(0, 0);
        QTest::newRow("slider past the I0 stack") << "slide I0 2" << -1 << "0" << QPoint(0, 0);
        QTest::newRow("position x beyond the width, y inside")
            << "pos 3 1" << 0 << "0" << QPoint(0, 1);
        QTest::newRow("next past the last") << "next 3" << 2 << "2" << QPoint(0, 0);
        QTest::newRow("prev before the first") << "prev" << 0 << "0" << QPoint(0, 0);
    }
    void bounds()
    {
        QFETCH(QString, action);
        QFETCH(int, shown);
        QFETCH(QString, imgNo);
        QFETCH(QPoint, point);
        auto b = bodyWithStacks();
        b->SelectI1Files->setShowLatest(true);
        const QStringList a = action.split(QLatin1Char(' '));
        if (a[0] == QLatin1String("show")) {
            b->showData(a[1].toInt());
        } else if (a[0] == QLatin1String("slide")) {
            b->ShowI0->setChecked(true);
            b->sliderMoved(a[2].toInt());
            // The spectrum window marks the frame still shown.
            QCOMPARE(b->xafsView->frameEnergy, 8000.0);
        } else if (a[0] == QLatin1String("pos")) {
            b->PosX->setText(a[1]);
            b->PosY->setText(a[2]);
            b->newCurPos();
        } else {
            for (int i = 0; i < a.value(1, QStringLiteral("1")).toInt(); i++)
                a[0] == QLatin1String("next") ? b->next() : b->prev();
        }
        QCOMPARE(b->dispA->frame, shown < 0 ? b->i0Frames[0] : b->i1Frames[shown]);
        QCOMPARE(b->ImgNo->text(), imgNo);
        QCOMPARE(QPoint(b->pointX, b->pointY), point);
    }

    // A 100 x 100 frame on 400 x 400 pixels: four screen pixels per image pixel.
    void overlayMarkers()
    {
        auto b = bodyWithStacks(100, 100);
        b->dispA->setFixedSize(400, 400);
        b->dispA->resetImageViewWindow();
        b->pointX = 10;
        b->pointY = 20;
        b->vHWidth_->setText(QStringLiteral("3"));
        b->vVWidth_->setText(QStringLiteral("0"));
        b->frameSets.setDarkArea(FrameSets::I0, QRectF(50, 50, 10, 10));
        b->frameSets.setDarkArea(FrameSets::I1, QRectF(55, 50, 10, 10));
        const QImage img = b->dispA->grab().toImage();
        QCOMPARE(b->dispA->cc.toScreenX(10), 40.0);
        QCOMPARE(b->dispA->cc.toScreenY(20), 80.0);
        auto at = [&img](int x, int y) { return img.pixelColor(x, y).rgb() & 0xffffff; };
        QCOMPARE(at(28, 82), 0xff0000u);  // left side of the bin, 7 pixels wide from x 7
        QCOMPARE(at(56, 82), 0xff0000u);
        QCOMPARE(at(40, 300), 0xc0c000u); // the cross lines
        QCOMPARE(at(300, 80), 0xc0c000u);
        QCOMPARE(at(200, 220), 0xc0ffc0u); // I0 dark area
        QCOMPARE(at(260, 220), 0xffc0c0u); // I1 dark area
        QCOMPARE(at(230, 200), 0xffc0c0u); // I1 over I0 where they meet
    }

    void pointerReadOut()
    {
        auto b = bodyWithStacks(100, 100);
        b->frameSets.setDarkFrame(craft::flatFrame(100, 100, 12.5));
        b->i1Frames[0]->setPixel(10, 20, 1234.6);
        b->dispA->setFixedSize(400, 400);
        b->dispA->resetImageViewWindow();
        b->dispA->grab();
        b->dispA->m.x = 41;
        b->dispA->m.y = 82;
        b->onMouseMovedInDispA();
        QCOMPARE(b->Value->text(), QStringLiteral("1,235"));
        QCOMPARE(b->DarkValue->text(), QStringLiteral("12.5"));
        QCOMPARE(b->HCross->cursor, 10);
        QCOMPARE(b->VCross->cursor, 80); // row 20 of 100 sits at 80 on the column profile
        QCOMPARE(b->HCross->profile.size(), 100);
        // the fitted surface z = x² of a 5 x 3 map under pixel (3, 1): 3² = 9
        Analyzed2DRes& map = b->analyzer->zansaMap;
        AnalyzeCond c;
        c.W = 5;
        c.H = 3;
        map.setCond(c);
        map.noResult.assign(map.data.size(), false);
        map.surfFit.c[0] = 1.0;
        b->analyzer->ShowZ->setChecked(true);
        b->ShowResAnalysis->setChecked(true);
        b->dispA->m.x = 13;
        b->dispA->m.y = 6;
        b->onMouseMovedInDispA();
        QCOMPARE(b->Value2->text(), QStringLiteral("9"));
    }

    // 97 x 61 pixels whose values all differ: on 813 x 600, x 31 lies at screen
    // 259.8, which reads back as 30.9; on 60 x 40 at 19.2, read back 30.7.
    void readOutsAfterMovePosition_data()
    {
        QTest::addColumn<QSize>("display");
        QTest::newRow("8.4 screen pixels per image pixel") << QSize(813, 600);
        QTest::newRow("0.6 screen pixels per image pixel") << QSize(60, 40);
    }
    void readOutsAfterMovePosition()
    {
        QFETCH(QSize, display);
        auto b = craft::bodyWithStack(97, 61, 2, [](int x, int y, int) { return 100.0 * y + x; });
        QVector<double> dark;
        for (int y = 0; y < 61; y++)
            for (int x = 0; x < 97; x++)
                dark << 10.0 * x + 0.1 * y;
        b->frameSets.setDarkFrame(craft::floatFrame(97, 61, dark));
        b->SelectI1Files->Selected->addItems({QStringLiteral("0"), QStringLiteral("1")});
        b->SelectI1Files->Selected->setCurrentIndex(1);
        b->dispA->setFixedSize(display);
        b->dispA->grab();
        b->execCmdSlot(CmdLine(QStringLiteral("move_position 31 21")), false);
        QCOMPARE(b->Value->text(), QStringLiteral("2,131"));
        QCOMPARE(b->DarkValue->text(), QStringLiteral("312.1"));
        QCOMPARE(b->HCross->cursor, 31);
        QCOMPARE(b->VCross->cursor, 40); // row 21 of 61 on the column profile
    }

    // Three 40 x 25 frames, pixel (x, y) of frame k holding 3337 + 3000 k at
    // (37, 23); the load leaves frame 2 chosen. A frame the stack holds is
    // shown with the file list on it, so the read-outs are of it; any other
    // is refused, told, and changes nothing.
    void readOutsAfterSeekImage_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("told");
        QTest::newRow("frame 0") << "seek_image 0" << 0 << "";
        QTest::newRow("frame 1") << "seek_image 1" << 1 << "";
        QTest::newRow("one past the end") << "seek_image 3" << 2 << "Can't show frame 3: the I1 stack holds 3 frames";
        QTest::newRow("far past the end") << "seek_image 8888" << 2
                                          << "Can't show frame 8888: the I1 stack holds 3 frames";
        QTest::newRow("below 0") << "seek_image -1" << 2 << "Can't show frame -1: the I1 stack holds 3 frames";
    }
    void readOutsAfterSeekImage()
    {
        QFETCH(QString, line);
        QFETCH(int, shown);
        QFETCH(QString, told);
        auto b = craft::bodyWithStack(40, 25, 3, [](int x, int y, int k) { return 1000.0 + 3000 * k + 100 * y + x; });
        b->SelectI1Files->Selected->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
        b->SelectI1Files->Selected->setCurrentIndex(2);
        b->dispA->setFixedSize(400, 250);
        b->dispA->grab();
        testlog::Capture log;
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        b->execCmdSlot(CmdLine(line), false);
        b->execCmdSlot(CmdLine(QStringLiteral("move_position 37 23")), false);
        QCOMPARE(answers.count(), 2);
        QCOMPARE(answers[0][0].toInt(), int(SEEK_IMAGE));
        const QString logs = b->batchCtrl->BatchLogs->toPlainText();
        QCOMPARE(int(logs.count(QLatin1String("Can't show"))), told.isEmpty() ? 0 : 1);
        QVERIFY(logs.contains(told));
        QCOMPARE(log.linesStartingWith(QStringLiteral("Can't show")), told.isEmpty() ? QStringList() : QStringList{told});

        QCOMPARE(b->dispA->frame, b->i1Frames[shown]);
        QCOMPARE(b->SeekBar->value(), shown);
        QCOMPARE(b->ImgNo->text(), QString::number(shown));
        QCOMPARE(b->SelectI1Files->Selected->currentIndex(), shown);
        const QString vals[] = {"3,337", "6,337", "9,337"};
        QCOMPARE(b->Value->text(), vals[shown]);
        // Both profiles sum pixels 36 to 38 of row 23, no I0: -ln(3 v(37, 23)).
        const double mu = -std::log(3.0 * (3337 + 3000 * shown));
        QCOMPARE(b->HCross->profile.y(37), mu);
        QCOMPARE(b->VCross->profile.y(23), mu);
    }

    // Five I1 frames of 40 x 25 at 8900 + 2k eV, pixel (x, y) of frame k
    // holding 500 (k + 1) + x + 2y; with I0, three I0 frames at the first three
    // energies holding 7000 + 500k + 3x + y; a result map holding
    // (x + 100y) / 1000 + 0.0007. Both file lists on frame 1, the display
    // choice set, then (30, 7) read; the frame or the choice changes, and
    // picture, choice, list and read-outs name one thing.
    void readOutsFollowTheShowing_data()
    {
        QTest::addColumn<int>("choice"); // display selector id before the action
        QTest::addColumn<bool>("i0");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("shownChoice");
        QTest::addColumn<int>("frame"); // of the shown choice's stack; -1 a map
        QTest::addColumn<QString>("val");
        QTest::addColumn<QString>("told");
        QTest::newRow("slider key Right") << 0 << true << "key right" << 0 << 2 << "1,544" << "";
        QTest::newRow("slider key End") << 0 << false << "key end" << 0 << 4 << "2,544" << "";
        QTest::newRow("slider dragged to 0") << 0 << true << "drag" << 0 << 0 << "544" << "";
        QTest::newRow("Next") << 0 << true << "next" << 0 << 2 << "1,544" << "";
        QTest::newRow("Prev") << 0 << true << "prev" << 0 << 0 << "544" << "";
        QTest::newRow("one more frame loaded") << 0 << false << "load" << 0 << 5 << "3,044" << "";
        QTest::newRow("seek_image on Data") << 0 << true << "seek_image 2" << 0 << 2 << "1,544" << "";
        QTest::newRow("Data to I0") << 0 << true << "choose 1" << 1 << 1 << "7,597" << "";
        QTest::newRow("I0 to Data") << 1 << true << "choose 0" << 0 << 1 << "1,044" << "";
        QTest::newRow("Data to Res. Analysis") << 0 << true << "choose 3" << 3 << -1 << "0.7307" << "";
        // A map not made reads nothing.
        QTest::newRow("Data to Eng. Shift: no map read") << 0 << true << "choose 2" << 2 << -1 << "" << "";
        QTest::newRow("seek_image on I0") << 1 << true << "seek_image 2" << 1 << 2 << "8,097" << "";
        QTest::newRow("seek_image on Eng. Shift") << 2 << true << "seek_image 2" << 0 << 2 << "1,544" << "";
        QTest::newRow("seek_image on Res. Analysis") << 3 << true << "seek_image 0" << 0 << 0 << "544" << "";
        QTest::newRow("seek_image on Eng. Shift, no I0") << 2 << false << "seek_image 3" << 0 << 3 << "2,044" << "";
        QTest::newRow("seek_image on Res. Analysis, no I0") << 3 << false << "seek_image 4" << 0 << 4 << "2,544" << "";
        QTest::newRow("slider key Right on Res. Analysis") << 3 << true << "key right" << 0 << 2 << "1,544" << "";
        QTest::newRow("seek_image past the I1 stack") << 0 << true << "seek_image 5" << 0 << 1 << "1,044"
                                                      << "Can't show frame 5: the I1 stack holds 5 frames";
        QTest::newRow("seek_image past the I0 stack") << 1 << true << "seek_image 3" << 1 << 1 << "7,597"
                                                      << "Can't show frame 3: the I0 stack holds 3 frames";
        QTest::newRow("seek_image on Res. Analysis past the I1 stack")
            << 3 << true << "seek_image 5" << 3 << -1 << "0.7307" << "Can't show frame 5: the I1 stack holds 5 frames";
    }
    void readOutsFollowTheShowing()
    {
        QFETCH(int, choice);
        QFETCH(bool, i0);
        QFETCH(QString, action);
        QFETCH(int, shownChoice);
        QFETCH(int, frame);
        QFETCH(QString, val);
        QFETCH(QString, told);
        const int w = 40, h = 25;
        const auto i1 = [](int x, int y, int k) { return 500.0 * (k + 1) + x + 2 * y; };
        auto b = craft::bodyWithStack(w, h, 5, i1);
        for (int k = 0; k < 5; k++)
            b->SelectI1Files->Selected->addItem(QString::number(k));
        const auto frameOf = [w, h](const std::function<double(int, int)>& value) {
            QVector<double> v;
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    v << value(x, y);
            return craft::floatFrame(w, h, v);
        };
        for (int k = 0; i0 && k < 3; k++) {
            b->frameSets.append(FrameSets::I0, frameOf([k](int x, int y) { return 7000.0 + 500 * k + 3 * x + y; }),
                                8900.0 + 2 * k);
            b->SelectI0Files->Selected->addItem(QString::number(k));
        }
        Analyzed2DRes& map = b->analyzer->zansaMap;
        AnalyzeCond c;
        c.W = w;
        c.H = h;
        map.setCond(c);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                map.data[size_t(y * w + x)] = (x + 100 * y) / 1000.0 + 0.0007;
        map.noResult.assign(map.data.size(), false);
        b->analyzer->ShowZ->setChecked(true);
        b->SelectI1Files->Selected->setCurrentIndex(1);
        b->SelectI0Files->Selected->setCurrentIndex(1);
        b->dispSelector.button(choice)->setChecked(true);
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        b->execCmdSlot(CmdLine(QStringLiteral("move_position 30 7")), false);

        testlog::Capture log;
        QSlider* s = b->SeekBar;
        if (action == "key right") {
            QTest::keyClick(s, Qt::Key_Right);
        } else if (action == "key end") {
            QTest::keyClick(s, Qt::Key_End);
        } else if (action == "drag") { // as a drag of the handle moves it
            s->setSliderDown(true);
            s->setSliderPosition(0);
            s->setSliderDown(false);
        } else if (action == "next") {
            b->Next->click();
        } else if (action == "prev") {
            b->Prev->click();
        } else if (action == "load") { // as a load hands a frame over
            b->frameSets.append(FrameSets::I1, frameOf([&i1](int x, int y) { return i1(x, y, 5); }), 8910.0);
            b->SelectI1Files->Selected->addItem(QStringLiteral("5"));
            b->followI1Stack();
        } else if (action.startsWith("choose")) {
            b->dispSelector.button(action.mid(7).toInt())->click();
        } else {
            b->execCmdSlot(CmdLine(action), false);
        }

        QCOMPARE(log.linesStartingWith(QStringLiteral("Can't show")),
                 told.isEmpty() ? QStringList() : QStringList{told});
        QCOMPARE(b->dispSelector.checkedId(), shownChoice);
        QCOMPARE(b->dispA->showOverLayer, frame < 0);
        QCOMPARE(b->Value->text(), val);
        const auto v1 = [](int k) { return 500.0 * (k + 1) + 30 + 2 * 7; };
        const auto v0 = [](int k) { return 7000.0 + 500 * k + 3 * 30 + 7; };
        // Both profiles sum pixels 29 to 31 of row 7.
        // A map's own row and column; none without a map.
        double profile = (30 + 100 * 7) / 1000.0 + 0.0007;
        if (frame >= 0) {
            const bool onI0 = shownChoice == 1;
            const QList<TiffData*>& stack = onI0 ? b->i0Frames : b->i1Frames;
            QCOMPARE(b->dispA->frame, stack[frame]);
            QCOMPARE((onI0 ? b->SelectI0Files : b->SelectI1Files)->Selected->currentIndex(), frame);
            QCOMPARE(b->ImgNo->text(), QString::number(frame));
            QCOMPARE(b->SeekBar->value(), frame);
            profile = onI0 ? 3 * v0(frame) : i0 ? std::log(v0(frame) / v1(frame)) : -std::log(3 * v1(frame));
        } else {
            QCOMPARE(b->dispA->overlayMap, shownChoice == 3 ? &map : &b->eShiftMap);
        }
        if (shownChoice == 2) {
            QCOMPARE(b->HCross->profile.size(), 0);
        } else {
            QCOMPARE(b->HCross->profile.y(30), profile);
            QCOMPARE(b->VCross->profile.y(7), profile);
        }
    }

    // The pointed bin's box at (10, 20), 4 screen pixels per image pixel,
    // takes new half sizes 5 x 2 at once: its left side at x 20, its top at
    // y 72, as read from what the window last painted.
    void binBoxAfterNewSizes_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed into the row") << true;
        QTest::newRow("batch words") << false;
    }
    void binBoxAfterNewSizes()
    {
        QFETCH(bool, typed);
        auto b = bodyWithStacks(100, 100);
        b->dispA->setFixedSize(400, 400);
        b->pointX = 10;
        b->pointY = 20;
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        b->dispA->resetImageViewWindow();
        const auto shownAt = [&b](int x, int y) {
            const QPoint p = b->dispA->mapTo(b.get(), QPoint(x, y));
            const QImage img = b->screen()->grabWindow(b->winId()).toImage();
            return img.pixelColor(p).rgb() & 0xffffff;
        };
        QTRY_COMPARE(shownAt(40, 140), 0xc0c000u); // the vertical cross line is on screen
        // The paints the showing asked for land first.
        for (int i = 0; i < 50; i++)
            QCoreApplication::processEvents();
        QVERIFY(shownAt(20, 82) != 0xff0000u);
        if (typed) {
            for (QLineEdit* e : {b->vHWidth_, b->vVWidth_}) {
                e->selectAll();
                QTest::keyClicks(e, e == b->vHWidth_ ? QStringLiteral("5") : QStringLiteral("2"));
            }
        } else {
            b->execCmdSlot(CmdLine(QStringLiteral("set_view_w 5")), false);
            b->execCmdSlot(CmdLine(QStringLiteral("set_view_h 2")), false);
        }
        QTRY_COMPARE(shownAt(20, 82), 0xff0000u);
        QCOMPARE(shownAt(30, 72), 0xff0000u);
    }
};

CORVELLINE_TEST(TestNavigation)
#include "tst_navigation.moc"
