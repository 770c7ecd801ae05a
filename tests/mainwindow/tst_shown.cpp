#include "support/EventSend.h"
#include "support/FrameCraft.h"
#include "support/ImageCraft.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzer.h"
#include "display/ColorBar.h"
#include "display/CrossSView.h"
#include "display/ImgDispA.h"
#include "display/XafsView.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"
#include "mainwindow/ShownState.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {
const int W = 40, H = 25;
// Five I1 frames at 8900 + 2k eV, three I0 frames at the first three energies.
double i1At(int k, int x, int y) { return 2000.0 * k + 100 * (y % 20) + x; }
double i0At(int k, int x, int y) { return i1At(k, x, y) + 20000; }
double darkAt(int x, int) { return 50.0 + x; }
// The result map: (x + 100 y) / 1000 + 0.0007; after a walk 2 + that.
double mapAt(int x, int y) { return (x + 100 * y) / 1000.0 + 0.0007; }
} // namespace

// What the window shows is one state: every trigger under every display
// choice leaves picture, choice, both lists, slider, frame number, position,
// read-outs, cross sections and the spectrum window naming the same thing.
class TestShown : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void stateSteps_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("toChoice");
        QTest::addColumn<int>("i1");
        QTest::addColumn<int>("i0");
        // from I1 frame 1, I0 frame 2; 5 I1 and 3 I0 frames
        QTest::newRow("seek on I0 past its frames") << 1 << "seek 3" << 1 << 1 << 2;
        QTest::newRow("seek on a map: the I1 frames back") << 3 << "seek 4" << 0 << 4 << 2;
        QTest::newRow("next on I0 at its last") << 1 << "step 1" << 1 << 1 << 2;
        QTest::newRow("prev on Data") << 0 << "step -1" << 0 << 0 << 2;
        QTest::newRow("I0 list under Data: the choice stays") << 0 << "choose0 0" << 0 << 1 << 0;
        QTest::newRow("load of I1 under I0") << 1 << "load1" << 1 << 5 << 2;
        QTest::newRow("stacks cleared") << 0 << "fit" << 0 << -1 << -1;
    }
    void stateSteps()
    {
        QFETCH(int, choice);
        QFETCH(QString, step);
        ShownState s;
        s.choice = ShownState::Choice(choice);
        s.frame[FrameSets::I1] = 1;
        s.frame[FrameSets::I0] = 2;
        const int n = step.section(' ', 1).toInt();
        const int counts[2] = {5, 3};
        if (step.startsWith("seek"))
            s.seek(n, counts[s.seekStack()]);
        else if (step.startsWith("step"))
            s.step(n, counts[s.seekStack()]);
        else if (step.startsWith("choose0"))
            s.choose(FrameSets::I0, n, 3);
        else if (step == "load1")
            s.loaded(FrameSets::I1, 6, true);
        else
            s.fit(0, 0);
        QFETCH(int, toChoice);
        QFETCH(int, i1);
        QFETCH(int, i0);
        QCOMPARE(int(s.choice), toChoice);
        QCOMPARE(s.frame[FrameSets::I1], i1);
        QCOMPARE(s.frame[FrameSets::I0], i0);
    }

    void triggers_data();
    void triggers();
};

void TestShown::triggers_data()
{
    QTest::addColumn<int>("from");      // choice before: 0 Data, 1 I0, 2 Eng. Shift (no map), 3 Res. Analysis
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("picture"); // "I1 k", "I0 k", "map", "none"
    QTest::addColumn<int>("l1");          // I1 list, I0 list
    QTest::addColumn<int>("l0");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("imgNo");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QString>("val");
    QTest::addColumn<QString>("dark");
    // Start: both lists on frame 1, the position (30, 12), the dark frame loaded.
    const QPoint p(30, 12);
    // clang-format off
    QTest::newRow("Data: slider key Right") << 0 << "key right" << 0 << "I1 2" << 2 << 1 << 2 << "2" << p << "5,230" << "80";
    QTest::newRow("I0: slider key End stays in the I0 stack") << 1 << "key end" << 1 << "I0 2" << 1 << 2 << 2 << "2" << p << "25,230" << "80";
    QTest::newRow("I0: wheel") << 1 << "wheel" << 1 << "I0 2" << 1 << 2 << 2 << "2" << p << "25,230" << "80";
    QTest::newRow("Res. Analysis: key Right brings the I1 frames") << 3 << "key right" << 0 << "I1 2" << 2 << 1 << 2 << "2" << p << "5,230" << "80";
    QTest::newRow("Data: Next") << 0 << "next" << 0 << "I1 2" << 2 << 1 << 2 << "2" << p << "5,230" << "80";
    QTest::newRow("I0: Next moves the picture") << 1 << "next" << 1 << "I0 2" << 1 << 2 << 2 << "2" << p << "25,230" << "80";
    QTest::newRow("I0: Prev moves the picture") << 1 << "prev" << 1 << "I0 0" << 1 << 0 << 0 << "0" << p << "21,230" << "80";
    QTest::newRow("Eng. Shift: Prev") << 2 << "prev" << 0 << "I1 0" << 0 << 1 << 0 << "0" << p << "1,230" << "80";
    QTest::newRow("Data: I1 list") << 0 << "list1 3" << 0 << "I1 3" << 3 << 1 << 3 << "3" << p << "7,230" << "80";
    QTest::newRow("I0: I0 list moves the picture") << 1 << "list0 0" << 1 << "I0 0" << 1 << 0 << 0 << "0" << p << "21,230" << "80";
    QTest::newRow("I0: I1 list leaves the picture") << 1 << "list1 3" << 1 << "I0 1" << 3 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("Data: seek_image") << 0 << "seek_image 4" << 0 << "I1 4" << 4 << 1 << 4 << "4" << p << "9,230" << "80";
    QTest::newRow("I0: seek_image past the I0 stack") << 1 << "seek_image 4" << 1 << "I0 1" << 1 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("Res. Analysis: seek_image") << 3 << "seek_image 0" << 0 << "I1 0" << 0 << 1 << 0 << "0" << p << "1,230" << "80";
    QTest::newRow("Data: a frame loaded") << 0 << "load" << 0 << "I1 5" << 5 << 1 << 5 << "5" << p << "11,230" << "80";
    QTest::newRow("I0: a frame loaded, I0 stays") << 1 << "load" << 1 << "I0 1" << 5 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("Res. Analysis: a frame loaded, the map stays") << 3 << "load" << 3 << "map" << 5 << 1 << 5 << "5" << p << "1.231" << "80";
    QTest::newRow("Data: I1 Clear") << 0 << "clear1" << 0 << "none" << -1 << 1 << 0 << "" << p << "" << "80";
    QTest::newRow("I0: I1 Clear") << 1 << "clear1" << 1 << "I0 1" << -1 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("I0: I0 Clear") << 1 << "clear0" << 1 << "none" << 1 << -1 << 0 << "" << p << "" << "80";
    QTest::newRow("Data to I0") << 0 << "choose 1" << 1 << "I0 1" << 1 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("I0 to Data") << 1 << "choose 0" << 0 << "I1 1" << 1 << 1 << 1 << "1" << p << "3,230" << "80";
    QTest::newRow("Data to Eng. Shift: no map reads nothing") << 0 << "choose 2" << 2 << "map" << 1 << 1 << 1 << "1" << p << "" << "80";
    QTest::newRow("I0 to Res. Analysis") << 1 << "choose 3" << 3 << "map" << 1 << 1 << 1 << "1" << p << "1.231" << "80";
    QTest::newRow("Data: pointer moved") << 0 << "move 5 3" << 0 << "I1 1" << 1 << 1 << 1 << "1" << QPoint(5, 3) << "2,305" << "55";
    QTest::newRow("I0: pointer moved") << 1 << "move 5 3" << 1 << "I0 1" << 1 << 1 << 1 << "1" << QPoint(5, 3) << "22,305" << "55";
    QTest::newRow("Res. Analysis: pointer moved") << 3 << "move 5 3" << 3 << "map" << 1 << 1 << 1 << "1" << QPoint(5, 3) << "0.3057" << "55";
    QTest::newRow("Data: press, drag, release") << 0 << "drag" << 0 << "I1 1" << 1 << 1 << 1 << "1" << QPoint(20, 10) << "3,020" << "70";
    QTest::newRow("Res. Analysis: press, drag, release") << 3 << "drag" << 3 << "map" << 1 << 1 << 1 << "1" << QPoint(20, 10) << "1.021" << "70";
    QTest::newRow("Data: typed position") << 0 << "type 17 22" << 0 << "I1 1" << 1 << 1 << 1 << "1" << QPoint(17, 22) << "2,217" << "67";
    QTest::newRow("I0: typed position") << 1 << "type 17 22" << 1 << "I0 1" << 1 << 1 << 1 << "1" << QPoint(17, 22) << "22,217" << "67";
    QTest::newRow("Data: move_position") << 0 << "move_position 8 21" << 0 << "I1 1" << 1 << 1 << 1 << "1" << QPoint(8, 21) << "2,108" << "58";
    QTest::newRow("Eng. Shift: move_position") << 2 << "move_position 8 21" << 2 << "map" << 1 << 1 << 1 << "1" << QPoint(8, 21) << "" << "58";
    QTest::newRow("Data: dark Clear") << 0 << "undark" << 0 << "I1 1" << 1 << 1 << 1 << "1" << p << "3,230" << "0.0";
    QTest::newRow("I0: dark Clear") << 1 << "undark" << 1 << "I0 1" << 1 << 1 << 1 << "1" << p << "23,230" << "0.0";
    QTest::newRow("Data: dark loaded again") << 0 << "redark" << 0 << "I1 1" << 1 << 1 << 1 << "1" << p << "3,230" << "80";
    QTest::newRow("Res. Analysis: a walk ends") << 3 << "walk" << 3 << "map" << 1 << 1 << 1 << "1" << p << "3.231" << "80";
    QTest::newRow("Data: Use off") << 0 << "use" << 0 << "I1 1" << 1 << 1 << 1 << "1" << p << "3,230" << "80";
    QTest::newRow("I0: Use off") << 1 << "use" << 1 << "I0 1" << 1 << 1 << 1 << "1" << p << "23,230" << "80";
    QTest::newRow("Data: Fluo. Type") << 0 << "fluo" << 0 << "I1 1" << 1 << 1 << 1 << "1" << p << "3,230" << "80";
    // clang-format on
}

void TestShown::triggers()
{
    QFETCH(int, from);
    QFETCH(QString, trigger);
    QFETCH(int, choice);
    QFETCH(QString, picture);
    QFETCH(int, l1);
    QFETCH(int, l0);
    QFETCH(int, bar);
    QFETCH(QString, imgNo);
    QFETCH(QPoint, pos);
    QFETCH(QString, val);
    QFETCH(QString, dark);

    auto b = craft::bodyWithStack(W, H, 5, [](int x, int y, int k) { return i1At(k, x, y); });
    for (int k = 0; k < 5; k++)
        b->SelectI1Files->Selected->addItem(QString::number(k));
    for (int k = 0; k < 3; k++) {
        QVector<double> v;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                v << i0At(k, x, y);
        b->frameSets.append(FrameSets::I0, craft::floatFrame(W, H, v), 8900.0 + 2 * k);
        b->SelectI0Files->Selected->addItem(QString::number(k));
    }
    QVector<quint32> darkPixels;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            darkPixels << quint32(darkAt(x, y));
    const QString darkFile = dir.filePath(QStringLiteral("dark.img"));
    craft::ImOptions o;
    o.comment = "BytesPerPixel=2,ExposureTime=0.1";
    QVERIFY(craft::writeIm(darkFile, W, H, darkPixels, o));
    b->SelectI1Files->ExpTime->setText(QStringLiteral("100"));
    b->SelectI0Files->ExpTime->setText(QStringLiteral("100"));
    b->UseI0->setChecked(true);
    Analyzed2DRes& map = b->analyzer->zansaMap;
    AnalyzeCond c;
    c.W = W;
    c.H = H;
    map.setCond(c);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            map.data[size_t(y * W + x)] = mapAt(x, y);
    map.noResult.assign(map.data.size(), false);
    map.genImg();
    b->analyzer->ShowZ->setChecked(true);
    for (const QList<TiffData*>* stack : {&b->i1Frames, &b->i0Frames})
        for (TiffData* f : *stack)
            f->cBar = b->CBar;
    b->dispA->setFixedSize(10 * W, 10 * H);
    b->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.get()));
    b->dispA->viewWin = QRectF(0, 0, W, H);
    b->selectedDark(darkFile);
    b->SelectI1Files->Selected->setCurrentIndex(1);
    b->SelectI0Files->Selected->setCurrentIndex(1);
    b->dispSelector.button(from)->click();
    b->execCmdSlot(CmdLine(QStringLiteral("move_position 30 12")), false);
    b->dispA->repaint();

    bool darkOn = true, useI0 = true, fluo = false;
    const QStringList a = trigger.split(QLatin1Char(' '));
    QSlider* s = b->SeekBar;
    const auto screenOf = [](int x, int y) { return QPointF(10 * x + 5, 10 * y + 5); };
    if (trigger == "key right") {
        QTest::keyClick(s, Qt::Key_Right);
    } else if (trigger == "key end") {
        QTest::keyClick(s, Qt::Key_End);
    } else if (trigger == "wheel") {
        events::wheel(s, QPoint(0, 120));
    } else if (trigger == "next") {
        b->Next->click();
    } else if (trigger == "prev") {
        b->Prev->click();
    } else if (a[0] == "list1" || a[0] == "list0") { // the keys step through the list
        QComboBox* list = (a[0] == "list1" ? b->SelectI1Files : b->SelectI0Files)->Selected;
        const int steps = a[1].toInt() - list->currentIndex();
        for (int i = 0; i < qAbs(steps); i++)
            QTest::keyClick(list, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
    } else if (trigger == "load") { // as a load hands a frame over
        QVector<double> v;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                v << i1At(5, x, y);
        TiffData* f = craft::floatFrame(W, H, v);
        f->cBar = b->CBar;
        b->frameSets.append(FrameSets::I1, f, 8910.0);
        b->SelectI1Files->Selected->addItem(QStringLiteral("5"));
        b->followI1Stack();
    } else if (trigger == "clear1") {
        b->SelectI1Files->Clear->click();
    } else if (trigger == "clear0") {
        b->SelectI0Files->Clear->click();
    } else if (a[0] == "choose") {
        b->dispSelector.button(a[1].toInt())->click();
    } else if (a[0] == "move") {
        events::moveTo(b->dispA, screenOf(a[1].toInt(), a[2].toInt()));
    } else if (trigger == "drag") {
        events::moveTo(b->dispA, screenOf(20, 10));
        events::drag(b->dispA, screenOf(20, 10), screenOf(39, 24) + QPointF(30, 30), Qt::LeftButton);
    } else if (a[0] == "type") {
        for (QLineEdit* e : {b->PosX, b->PosY}) {
            e->selectAll();
            QTest::keyClicks(e, a[e == b->PosX ? 1 : 2]);
            QTest::keyClick(e, Qt::Key_Return);
        }
    } else if (trigger == "undark") {
        b->ClearDark->click();
        darkOn = false;
    } else if (trigger == "redark") {
        b->ClearDark->click();
        b->selectedDark(darkFile);
    } else if (trigger == "walk") { // as a walk's end leaves its maps
        for (double& d : map.data)
            d += 2.0;
        emit b->walk->imagesGenerated(true);
    } else if (trigger == "use") {
        b->UseI0->click();
        useI0 = false;
    } else if (trigger == "fluo") {
        b->FluoType->click();
        fluo = true;
    } else {
        b->execCmdSlot(CmdLine(trigger), false);
    }

    QCOMPARE(b->dispSelector.checkedId(), choice);
    const QStringList pic = picture.split(QLatin1Char(' '));
    const int k = pic.value(1).toInt();
    QCOMPARE(b->dispA->showOverLayer, picture == "map");
    if (pic[0] == "I1")
        QCOMPARE(b->dispA->frame, b->i1Frames[k]);
    else if (pic[0] == "I0")
        QCOMPARE(b->dispA->frame, b->i0Frames[k]);
    else if (picture == "none")
        QCOMPARE(b->dispA->frame, nullptr);
    QCOMPARE(b->SelectI1Files->Selected->currentIndex(), l1);
    QCOMPARE(b->SelectI0Files->Selected->currentIndex(), l0);
    QCOMPARE(b->SeekBar->value(), bar);
    QCOMPARE(b->ImgNo->text(), imgNo);
    QCOMPARE(QPoint(b->PosX->text().toInt(), b->PosY->text().toInt()), pos);
    QCOMPARE(b->Value->text(), val);
    QCOMPARE(b->DarkValue->text(), dark);
    // The colour bar names a range only while a picture is shown.
    b->dispA->repaint();
    QCOMPARE(b->CBar->labelled, picture != "none" && !(picture == "map" && choice == 2));
    // The spectrum window marks the frame shown.
    QCOMPARE(b->xafsView->frameEnergy, pic[0] == "I1" || pic[0] == "I0" ? 8900.0 + 2 * k : -1.0);

    // Both cross sections through the position: three pixels of its row or
    // column summed; I1 as absorption against I0, I0 as it is, a map as it is.
    const int x = pos.x(), y = pos.y();
    QCOMPARE(b->HCross->cursor, x);
    if (l1 < 0) {
        // No I1 stack: no field of view, no spectrum.
        QCOMPARE(b->xafsView->spectrum.size(), 0);
        return;
    }
    QCOMPARE(b->VCross->cursor, H - y);
    if (picture == "map" && choice == 2) {
        QCOMPARE(b->HCross->profile.size(), 0);
        QCOMPARE(b->VCross->profile.size(), 0);
    } else if (picture == "map" || pic[0] == "I0" || (pic[0] == "I1" && k < 3)) {
        double cut = 0;
        if (picture == "map")
            cut = mapAt(x, y) + (trigger == "walk" ? 2.0 : 0.0);
        else if (pic[0] == "I0")
            cut = 3 * i0At(k, x, y);
        else
            cut = fluo ? i1At(k, x, y) / i0At(k, x, y) : std::log(i0At(k, x, y) / i1At(k, x, y));
        QCOMPARE(b->HCross->profile.y(x), cut);
        QCOMPARE(b->VCross->profile.y(y), cut);
    }

    // The spectrum window: the bin's spectrum at the position with the dark
    // and I0 as they are now.
    const double d = darkOn ? darkAt(x, y) : 0.0;
    const double v1 = i1At(0, x, y) - d;
    // Without I0 frames a bin's I0 is its pixel count.
    const double v0 = useI0 && !b->i0Frames.isEmpty() ? i0At(0, x, y) - d : 1.0;
    QCOMPARE(b->xafsView->rawSpectrum.y(0), i1At(0, x, y));
    QCOMPARE(b->xafsView->spectrum.y(0), fluo ? v1 / v0 : std::log(v0 / v1));
}

CORVELLINE_TEST(TestShown)
#include "tst_shown.moc"
