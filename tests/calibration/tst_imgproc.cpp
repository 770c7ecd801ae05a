#include "support/FrameCraft.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "DemoSet.h"

#include "batch/CmdLine.h"
#include "calibration/ImgProc.h"
#include "calibration/ProcImage.h"
#include "display/ImgDispA.h"
#include "imagestack/SelectDataFiles.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>

typedef QList<double> Values;

namespace {

ProcImage plane(int w, int h, const Values& v)
{
    ProcImage p(w, h);
    for (int i = 0; i < v.size(); i++)
        p.data[i] = v[i];
    p.updateRange();
    return p;
}

// A filled side x side square of 1 at (x, y) in a w x h plane of 0.
ProcImage square(int w, int h, int x, int y, int side)
{
    ProcImage p(w, h);
    for (int j = y; j < y + side; j++)
        for (int i = x; i < x + side; i++)
            p.at(i, j) = 1.0;
    p.updateRange();
    return p;
}

// Frame samples of the same: `hi` inside the square, 1 around it.
TiffData* squareFrame(int w, int h, int x, int y, int side, double hi)
{
    const ProcImage s = square(w, h, x, y, side);
    QVector<double> v(s.data.size());
    for (int i = 0; i < v.size(); i++)
        v[i] = s.data[i] > 0 ? hi : 1.0;
    return craft::floatFrame(w, h, v);
}

Values valuesOf(const ProcImage& p)
{
    return Values(p.data.begin(), p.data.end());
}

// The drifting stack: frame k holds a pyramid of slope 1/64 round (20, 14) on 0,
// its content moved by -drift[k], so that the offset drift[k] lays it back onto
// frame 0. Its binary image is a filled square, so a climb over the overlap finds
// the offset from any nearby start.
const QList<QPoint> drift{{0, 0}, {1, 0}, {2, -1}, {-1, 2}, {3, 1}, {2, 2}};

TiffData* pyramidFrame(QPoint d)
{
    QVector<double> v(40 * 30);
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++)
            v[y * 40 + x] =
                std::max(0, 12 - std::max(std::abs(x + d.x() - 20), std::abs(y + d.y() - 14))) / 64.0;
    return craft::floatFrame(40, 30, v);
}

// A beam that fills the frame: 5000 counts, four objects of 3500 to 4000 (two
// discs, a box and an L), at the scene point (x, y).
double brightField(int x, int y)
{
    auto in = [x, y](int x0, int y0, int x1, int y1) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
    if ((x - 14) * (x - 14) + (y - 12) * (y - 12) <= 36)
        return 3500;
    if (in(27, 5, 39, 13))
        return 3800;
    if (in(6, 24, 15, 33) && !in(11, 24, 15, 28))
        return 3650;
    if ((x - 31) * (x - 31) + (y - 28) * (y - 28) <= 25)
        return 4000;
    return 5000;
}

// 48 x 40 of the scene moved by -d, with noise of 30 counts.
TiffData* brightFrame(QPoint d, unsigned seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0.0, 30.0);
    QVector<double> v;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 48; x++)
            v << brightField(x + d.x(), y + d.y()) + noise(gen);
    return craft::floatFrame(48, 40, v);
}

// w x h of 100 + x + 30 y + k.
QVector<double> rising(int w, int h, int k)
{
    QVector<double> v;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            v << 100.0 + x + 30 * y + k;
    return v;
}

// The window over these frames as its I1 stack, frame 0 selected.
std::unique_ptr<Body> stackBody(const QList<TiffData*>& frames)
{
    std::unique_ptr<Body> b(new Body());
    for (int k = 0; k < frames.size(); k++) {
        frames[k]->cBar = b->CBar;
        b->frameSets.append(FrameSets::I1, frames[k], 8000 + 10 * k);
        b->SelectI1Files->Selected->addItem(QString::number(k));
    }
    b->followI1Stack();
    b->SelectI1Files->Selected->setCurrentIndex(0);
    return b;
}

// The window over the frames, frame 0 shown and set as the reference.
std::unique_ptr<Body> driftingBody(bool autoShift, const QList<TiffData*>& frames, int slider = 100)
{
    std::unique_ptr<Body> b = stackBody(frames);
    b->imgProc.AAutoShift->setChecked(autoShift);
    b->imgProc.BinThVSlider->setValue(slider);
    b->imgProc.EdgeDetect->setChecked(true); // takes frame 0
    b->imgProc.SetRef->click();
    return b;
}

std::unique_ptr<Body> driftingBody(bool autoShift)
{
    QList<TiffData*> frames;
    for (QPoint d : drift)
        frames << pyramidFrame(d);
    return driftingBody(autoShift, frames);
}

QList<QPoint> offsetsOf(const Body& b)
{
    QList<QPoint> o;
    for (const TiffData* f : b.i1Frames)
        o << QPoint(f->x0, f->y0);
    return o;
}

} // namespace

// The image processor: edge, binary and comparison images, the shift search,
// and the shifts it stores in the main window's I1 frames.
class TestImgProc : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // Pixels outside the frame read as the nearest inside, so the border is no edge.
    void constantFrameHasNoEdges()
    {
        std::unique_ptr<TiffData> f(craft::flatFrame(5, 4, 7));
        const ProcImage e = improc::frameEdges(*f);
        QCOMPARE(valuesOf(e), Values(20, 0.0));
        QCOMPARE(e.min, 0.0);
        QCOMPARE(e.max, 0.0);
    }

    // The origin is left out: the edges are the frame's own. Rows above and below
    // read as the row itself, so gx = 3 |right - left| with the ends repeated:
    // 3 |1 - 5|, 3 |2 - 5|, 3 |2 - 1| (through the origin, 1 2 2: 3, 3, 0).
    // The reference stands at the origin.
    void shiftedFrameReadAsItsOwnSamples()
    {
        std::unique_ptr<TiffData> f(craft::floatFrame(3, 1, {5, 1, 2}));
        f->x0 = -1;
        QCOMPARE(valuesOf(improc::frameEdges(*f)), (Values{12, 9, 3}));
        QCOMPARE(valuesOf(improc::displaced(plane(3, 1, {12, 9, 3}), -1, 0)), (Values{9, 3, 0}));
    }

    void binarizeStrictlyAbove()
    {
        const ProcImage b = improc::binarize(plane(4, 1, {0, 5, 5.000001, 10}), 5);
        QCOMPARE(valuesOf(b), (Values{0, 0, 1, 1}));
        QCOMPARE(b.min, 0.0);
        QCOMPARE(b.max, 1.0);
    }

    void sliderRules_data()
    {
        QTest::addColumn<double>("th");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("slider");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("halfway") << 25.0 << 0.0 << 50.0 << 500;
        QTest::newRow("above the maximum") << 60.0 << 0.0 << 50.0 << 999;
        QTest::newRow("below the minimum") << -3.0 << 0.0 << 50.0 << 0;
        QTest::newRow("empty range") << 7.0 << 3.0 << 3.0 << 0;
        QTest::newRow("not a number") << nan << 0.0 << 50.0 << 0;
        QTest::newRow("beyond int") << 1e300 << 0.0 << 1e-300 << 999;
    }
    void sliderRules()
    {
        QFETCH(double, th);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, slider);
        QCOMPARE(improc::sliderFromThreshold(th, min, max), slider);
    }

    void scores()
    {
        const ProcImage sq = square(24, 24, 8, 8, 6);
        QCOMPARE(improc::normScalarProduct(sq, sq, 0, 0), 1.0);
        QCOMPARE(improc::normScalarProduct(sq, sq, 10, 0), 0.0);  // off the square
        QCOMPARE(improc::normScalarProduct(sq, sq, 0, -30), 0.0); // off the frame
        QCOMPARE(improc::normScalarProduct(sq, sq, INT_MIN, INT_MAX), 0.0);
        // Half of the square laid onto the other half: 18 of 36 and 36 pixels.
        QCOMPARE(improc::normScalarProduct(sq, sq, 3, 0), 0.5);
        QCOMPARE(improc::normScalarProduct(sq, square(20, 24, 8, 8, 6), 0, 0), 0.0);
        // Whole-image norms. Columns 18..23 moved right by 3: 21..23 stay on,
        // 18 / sqrt(36 x 36) (over the overlap alone 18 / sqrt(36 x 18)).
        const ProcImage atEdge = square(24, 24, 18, 8, 6);
        QCOMPARE(improc::normScalarProduct(atEdge, atEdge, 3, 0), 0.5);
        // Slivers of a 4 x 4 plane of ones: a column 4 / 16, a corner 1 / 16 (both were 1).
        const ProcImage full = square(4, 4, 0, 0, 4);
        QCOMPARE(improc::normScalarProduct(full, full, 3, 0), 0.25);
        QCOMPARE(improc::normScalarProduct(full, full, -3, -3), 0.0625);
    }

    void hillClimb_data()
    {
        QTest::addColumn<int>("binX");
        QTest::addColumn<int>("binY");
        QTest::addColumn<int>("sx");
        QTest::addColumn<int>("sy");
        QTest::newRow("square displaced by (3, -2)") << 11 << 6 << -3 << 2;
        QTest::newRow("square in place") << 8 << 8 << 0 << 0;
    }
    void hillClimb()
    {
        QFETCH(int, binX);
        QFETCH(int, binY);
        QFETCH(int, sx);
        QFETCH(int, sy);
        const improc::Climb c =
            improc::hillClimb(square(24, 24, 8, 8, 6), square(24, 24, binX, binY, 6), 0, 0, 0.0);
        QCOMPARE(c.sx, sx);
        QCOMPARE(c.sy, sy);
        QCOMPARE(c.score, 1.0);
    }

    // One pixel between two reference pixels: (1, 0) and (-1, 0) tie, the first wins.
    void climbTieKeepsEarlierNeighbour()
    {
        ProcImage ref(9, 9);
        ref.at(4, 5) = ref.at(6, 5) = 1;
        ProcImage bin(9, 9);
        bin.at(5, 5) = 1;
        const improc::Climb c = improc::hillClimb(ref, bin, 0, 0, 0.0);
        QCOMPARE(c.sx, 1);
        QCOMPARE(c.sy, 0);
        // A stored score above anything reachable keeps the start.
        QCOMPARE(improc::hillClimb(ref, bin, 0, 0, 0.9).sx, 0);
    }

    void comparePictureColours()
    {
        ProcImage ref(3, 1);
        ref.at(0, 0) = ref.at(1, 0) = 1;
        ProcImage bin(3, 1);
        bin.at(0, 0) = bin.at(2, 0) = 1;
        QImage img;
        // bin moved right by one: 0 at x 1, 1 at x 2, nothing at x 0
        improc::comparePicture(ref, bin, 1, 0, img);
        QCOMPARE(img.pixelColor(0, 0), QColor(0, 0, 255));
        QCOMPARE(img.pixelColor(1, 0), QColor(255, 255, 0));
        QCOMPARE(img.pixelColor(2, 0), QColor(0, 0, 0));
    }

    // Without "Edge Detect" the frame is still the one whose shift the fields
    // show and "Set Shift" sets, with no images of its own.
    void frameTakenWithoutEdgeDetect()
    {
        ImgProc p;
        p.AAutoShift->setChecked(false);
        std::unique_ptr<TiffData> f(craft::flatFrame(4, 4, 1));
        f->x0 = 3;
        f->y0 = -2;
        p.setImgData(f.get());
        QCOMPARE(p.frame(), f.get());
        QCOMPARE((QStringList{p.ShiftX->text(), p.ShiftY->text()}), (QStringList{"3", "-2"}));
        QVERIFY(!p.edgeImg);
        p.EdgeDetect->setChecked(true);
        p.setImgData(f.get());
        QVERIFY(p.edgeImg);
        p.EdgeDetect->setChecked(false);
        p.setImgData(nullptr);
        QVERIFY(!p.frame());
    }

    // Edge range 0..50 and the slider at 100: threshold 5; a typed threshold above the
    // maximum puts the slider at 999 and binarises with the typed value.
    void thresholdFields()
    {
        ImgProc p;
        p.Compare->setChecked(false);
        p.EdgeDetect->setChecked(true);
        // A single bright pixel of 50: its neighbours' edges are 50, nothing higher.
        QVector<double> v(25, 0.0);
        v[12] = 50;
        std::unique_ptr<TiffData> f(craft::floatFrame(5, 5, v));
        p.setImgData(f.get());
        QCOMPARE(p.MinEdgeV->text(), QStringLiteral("0"));
        QCOMPARE(p.MaxEdgeV->text(), QStringLiteral("50"));
        QCOMPARE(p.BinThVSlider->value(), 100);
        QCOMPARE(p.BinThV->text(), QStringLiteral("5"));
        QCOMPARE(p.binImg->max, 1.0);

        p.BinThV->setText(QStringLiteral("80"));
        p.setBinThV();
        QCOMPARE(p.BinThVSlider->value(), 999);
        QCOMPARE(p.BinThV->text(), QStringLiteral("80"));
        QCOMPARE(p.binImg->max, 0.0);

        p.setScore(0.987654);
        QCOMPARE(p.NormScolarP->text(), QStringLiteral("0.9876"));
    }

    // From (0, 0) left and up lead to (-1, -1); right twice and down twice then to (1, 1).
    void arrows()
    {
        ImgProc p;
        p.ShiftL->click();
        p.ShiftU->click();
        QCOMPARE((QStringList{p.ShiftX->text(), p.ShiftY->text()}), (QStringList{"-1", "-1"}));
        for (QToolButton* arrow : {p.ShiftR, p.ShiftR, p.ShiftD, p.ShiftD})
            arrow->click();
        QCOMPARE((QStringList{p.ShiftX->text(), p.ShiftY->text()}), (QStringList{"1", "1"}));
    }

    // With "A. A. Shift" a new frame's climb starts from its own score, not the
    // previous frame's: a square moved by 2 goes back onto the reference and
    // "A. Set Shift" hands (-2, 0) on. "Auto Shift" at that best score keeps the
    // fields and hands only them on.
    void autoShiftOnNewFrame()
    {
        ImgProc p;
        p.EdgeDetect->setChecked(true);
        std::unique_ptr<TiffData> ref(squareFrame(24, 24, 8, 8, 8, 100));
        std::unique_ptr<TiffData> moved(squareFrame(24, 24, 10, 8, 8, 100));
        p.setImgData(ref.get());
        p.SetRef->click();
        QCOMPARE(p.score, 1.0);
        QSignalSpy shifts(&p, &ImgProc::imgShift);
        p.setImgData(moved.get());
        QVERIFY(!shifts.isEmpty());
        const QList<QVariant> back{-2, 0};
        QCOMPARE(shifts.last(), back);
        QCOMPARE((QStringList{p.ShiftX->text(), p.ShiftY->text(), p.NormScolarP->text()}),
                 (QStringList{"-2", "0", "1"}));
        shifts.clear();
        p.ShiftAuto->click(); // climbs, and again in the repaint with "A. A. Shift"
        QVERIFY(!shifts.isEmpty());
        for (const QList<QVariant>& s : shifts)
            QCOMPARE(s, back);
        QCOMPARE((QStringList{p.ShiftX->text(), p.ShiftY->text()}), (QStringList{"-2", "0"}));
    }

    // Reference on frame 0, frame 1 displaced by (2, -1): "Auto Shift" finds (-2, 1) and,
    // with "A. Set Shift", the main window stores it in frame 1; its bin spectrum follows.
    // "Clear All Shifts" puts every origin back and leaves the fields alone.
    void shiftsReachTheFrames()
    {
        Body b;
        b.imgProc.resize(520, 600);
        b.frameSets.append(FrameSets::I1, squareFrame(24, 24, 8, 8, 8, 100), 8000);
        b.frameSets.append(FrameSets::I1, squareFrame(24, 24, 10, 7, 8, 100), 8010);
        b.frameSets.updateGeometry();
        b.SelectI1Files->Selected->addItems({QStringLiteral("0"), QStringLiteral("1")});
        b.SelectI1Files->Selected->setCurrentIndex(0);
        b.imgProc.AAutoShift->setChecked(false);
        b.imgProc.EdgeDetect->setChecked(true); // asks the window for frame 0
        QCOMPARE(b.imgProc.frame(), b.i1Frames[0]);

        b.imgProc.Compare->setChecked(false);
        b.imgProc.BinaryImage->setChecked(false);
        QVERIFY(b.imgProc.grab().save(testreg::shotsDir() + QStringLiteral("/imgproc-edges.png")));
        b.imgProc.BinaryImage->setChecked(true);
        QVERIFY(b.imgProc.grab().save(testreg::shotsDir() + QStringLiteral("/imgproc-binary.png")));
        b.imgProc.SetRef->click();

        b.SelectI1Files->Selected->setCurrentIndex(1);
        b.imgProc.Compare->setChecked(true); // asks for frame 1 and compares at (0, 0)
        QCOMPARE(b.imgProc.frame(), b.i1Frames[1]);
        QVERIFY(b.imgProc.score < 1.0);
        QSignalSpy shifts(&b.imgProc, &ImgProc::imgShift);
        b.imgProc.ShiftAuto->click();
        QCOMPARE(shifts.count(), 1);
        QCOMPARE(b.imgProc.ShiftX->text(), QStringLiteral("-2"));
        QCOMPARE(b.imgProc.ShiftY->text(), QStringLiteral("1"));
        QCOMPARE(b.imgProc.NormScolarP->text(), QStringLiteral("1"));
        QVERIFY(b.imgProc.grab().save(testreg::shotsDir() + QStringLiteral("/imgproc-compare.png")));
        QCOMPARE(QPoint(b.i1Frames[1]->x0, b.i1Frames[1]->y0), QPoint(-2, 1));
        QCOMPARE(QPoint(b.i1Frames[0]->x0, b.i1Frames[0]->y0), QPoint(0, 0));

        // (9, 14) lies outside frame 1's square until the shift lays it onto frame 0's.
        const Spectrum s = b.xafsSpectrumAt(9, 14, 0, 0);
        QCOMPARE(s.size(), 2);
        QCOMPARE(s.y(1), -std::log(100.0));

        b.imgProc.ASetShift->setChecked(false);
        b.imgProc.ShiftX->setText(QStringLiteral("0"));
        b.imgProc.ShiftAuto->click();
        QCOMPARE(b.i1Frames[1]->x0, -2); // no longer set

        b.imgProc.SetShift->click(); // stores the fields as they are
        QCOMPARE(QPoint(b.i1Frames[1]->x0, b.i1Frames[1]->y0), QPoint(0, 1));
        b.i1Frames[0]->x0 = 5;
        b.imgProc.ClearAllShifts->click();
        for (const TiffData* f : b.i1Frames)
            QCOMPARE(QPoint(f->x0, f->y0), QPoint(0, 0));
        QCOMPARE(b.imgProc.ShiftY->text(), QStringLiteral("1"));
        QCOMPARE(b.xafsSpectrumAt(9, 14, 0, 0).y(1), 0.0);

        // Without a frame in the processor a shift changes nothing.
        b.imgProc.setImgData(nullptr);
        b.imgProc.SetShift->click();
        for (const TiffData* f : b.i1Frames)
            QCOMPARE(QPoint(f->x0, f->y0), QPoint(0, 0));
    }

    // Default ticks and Edge Detect: stepping aligns each frame, and a frame shown
    // again keeps its offset. Bin (30, 8), 3 x 3 of frame k read through offset o
    // is frame 0's pyramid at x 29..31, y 7..9 moved by drift - o. Aligned: 9, 10,
    // 11 across from the apex, 5..7 up, hold 3, 2, 1 in each row: 18 / 64,
    // mu = ln(9 / (18 / 64)) = ln(32). Frame 3 still at (0, 0): x 28..30, y 9..11,
    // 8, 9, 10 across and 3..5 up: 4, 3, 2, so 27 / 64 and mu = ln(64 / 3).
    void revisitedFrameKeepsItsOffset_data()
    {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QList<QPoint>>("offsets");
        QTest::addColumn<QList<double>>("mu"); // frames 0..3
        const QPoint o(0, 0);
        const double al = std::log(32.0);
        QTest::newRow("0 -> 1 -> 2") << QList<int>{1, 2} << QList<QPoint>{o, {1, 0}, {2, -1}, o, o, o}
                                     << QList<double>{al, al, al, std::log(64.0 / 3)};
        QTest::newRow("then back to 1") << QList<int>{1, 2, 1} << QList<QPoint>{o, {1, 0}, {2, -1}, o, o, o}
                                        << QList<double>{al, al, al, std::log(64.0 / 3)};
        QTest::newRow("then on to 2 and 3")
            << QList<int>{1, 2, 1, 2, 3} << QList<QPoint>{o, {1, 0}, {2, -1}, {-1, 2}, o, o}
            << QList<double>{al, al, al, al};
    }
    void revisitedFrameKeepsItsOffset()
    {
        QFETCH(QList<int>, steps);
        QFETCH(QList<QPoint>, offsets);
        QFETCH(QList<double>, mu);
        std::unique_ptr<Body> b = driftingBody(true);
        for (int k : steps)
            b->SelectI1Files->select(k);
        QCOMPARE(offsetsOf(*b), offsets);
        const Spectrum s = b->xafsSpectrumAt(30, 8, 1, 1);
        for (int k = 0; k < mu.size(); k++)
            QVERIFY2(std::fabs(s.y(k) - mu[k]) < 1e-6, qPrintable(QString::number(s.y(k))));
    }

    // Without "A. A. Shift" the fields are the whole offset too: frame 1 aligned at
    // (1, 0) scores 1 there and "Set Shift" keeps it. A reference set on that
    // aligned frame stands where the stack reads it, so frame 2 still finds (2, -1).
    void arrowsSetWholeOffsets()
    {
        std::unique_ptr<Body> b = driftingBody(false);
        b->SelectI1Files->select(1);
        QVERIFY(b->imgProc.score < 1.0); // fields at its own (0, 0)
        b->imgProc.ShiftR->click();
        QCOMPARE(b->imgProc.NormScolarP->text(), QStringLiteral("1"));
        b->imgProc.SetShift->click();
        QCOMPARE(offsetsOf(*b).mid(0, 3), (QList<QPoint>{{0, 0}, {1, 0}, {0, 0}}));

        b->imgProc.SetRef->click();
        b->SelectI1Files->select(2);
        b->imgProc.ShiftAuto->click();
        QCOMPARE((QStringList{b->imgProc.ShiftX->text(), b->imgProc.ShiftY->text()}),
                 (QStringList{"2", "-1"}));
        QCOMPARE(offsetsOf(*b).mid(0, 3), (QList<QPoint>{{0, 0}, {1, 0}, {2, -1}}));
    }

    // "Set Shift" on the frame shown: frame 0 of 100 + x + 30 y moved down by 2 is
    // drawn, read and its spectrum built again at once. (5, 0) turns black (nothing
    // there), Val at (5, 3) reads row 1: 135.
    void shiftSetRedrawsAndRereads()
    {
        std::unique_ptr<Body> b = stackBody({craft::floatFrame(24, 20, rising(24, 20, 0)),
                                             craft::floatFrame(24, 20, rising(24, 20, 1))});
        for (TiffData* f : b->i1Frames) {
            f->min = 0; // the picture's range, as a load sets it
            f->max = 1000;
        }
        for (QLineEdit* e : {b->vHWidth_, b->vVWidth_})
            e->setText(QStringLiteral("0"));
        b->execCmdSlot(CmdLine(QStringLiteral("move_position 5 3")), false);
        QCOMPARE(b->Value->text(), QStringLiteral("195"));
        QVERIFY(qGray(b->dispA->currentImage()->pixel(5, 0)) > 0);
        b->imgProc.AAutoShift->setChecked(false);
        b->imgProc.ShiftY->setText(QStringLiteral("2"));
        b->imgProc.SetShift->click();
        QCOMPARE(QPoint(b->i1Frames[0]->x0, b->i1Frames[0]->y0), QPoint(0, 2));
        QCOMPARE(qGray(b->dispA->currentImage()->pixel(5, 0)), 0);
        QCOMPARE(b->Value->text(), QStringLiteral("135"));
        QCOMPARE(b->xafsView->rawSpectrum.y(0), 135.0);
    }

    // With "A. A. Shift" off the fields and S.P. are the shown frame's own, also
    // when coming from a frame with another shift, and "Set Shift" keeps both.
    void fieldsFollowTheShownFrame()
    {
        std::unique_ptr<Body> b = driftingBody(false);
        b->i1Frames[1]->x0 = 1;
        b->i1Frames[2]->x0 = 2;
        b->i1Frames[2]->y0 = -1;
        b->SelectI1Files->select(2);
        QCOMPARE((QStringList{b->imgProc.ShiftX->text(), b->imgProc.ShiftY->text(), b->imgProc.NormScolarP->text()}),
                 (QStringList{"2", "-1", "1"}));
        b->SelectI1Files->select(3); // holds (0, 0), the climb would find (-1, 2)
        QCOMPARE((QStringList{b->imgProc.ShiftX->text(), b->imgProc.ShiftY->text()}), (QStringList{"0", "0"}));
        QVERIFY(b->imgProc.score < 1.0);
        b->SelectI1Files->select(1);
        QCOMPARE(b->imgProc.NormScolarP->text(), QStringLiteral("1"));
        b->imgProc.SetShift->click();
        QCOMPARE(offsetsOf(*b).mid(0, 4), (QList<QPoint>{{0, 0}, {1, 0}, {2, -1}, {0, 0}}));
    }

    // With I0 shown the processor works on the I1 list's frame: its edges, its
    // shift in the fields and in the title, and "Set Shift" sets that frame alone.
    void i0ShownWorksOnI1()
    {
        std::unique_ptr<Body> b = driftingBody(false);
        b->frameSets.append(FrameSets::I0, craft::flatFrame(40, 30, 9), 8000);
        b->frameSets.append(FrameSets::I0, squareFrame(40, 30, 5, 5, 8, 100), 8010);
        b->SelectI0Files->Selected->addItems({QStringLiteral("0"), QStringLiteral("1")});
        b->i1Frames[1]->fileName = QStringLiteral("/data/i1_0001.tif");
        b->SelectI1Files->select(1);
        b->ShowI0->setChecked(true);
        b->SelectI0Files->Selected->setCurrentIndex(1);
        b->showData(1);
        QCOMPARE(b->imgProc.frame(), b->i1Frames[1]);
        QCOMPARE(b->imgProc.edgeImg->data, improc::frameEdges(*b->i1Frames[1]).data);
        QCOMPARE(b->imgProc.windowTitle(), QStringLiteral("Image Processor - I1 frame i1_0001.tif"));
        b->imgProc.ShiftR->click();
        b->imgProc.SetShift->click();
        QCOMPARE(offsetsOf(*b).mid(0, 3), (QList<QPoint>{{0, 0}, {1, 0}, {0, 0}}));
        for (const TiffData* f : b->i0Frames)
            QCOMPARE(QPoint(f->x0, f->y0), QPoint(0, 0));
    }

    // A beam that fills the frame, drifting; stepping from frame 0 to 7 with the
    // default ticks stores each drift, with the threshold at 10 % and at 30 % of
    // the edge range.
    void brightFieldDrift_data()
    {
        QTest::addColumn<int>("slider");
        QTest::newRow("slider 100") << 100;
        QTest::newRow("slider 300") << 300;
    }
    void brightFieldDrift()
    {
        QFETCH(int, slider);
        const QList<QPoint> drifts{{0, 0}, {1, 0}, {2, -1}, {3, -1}, {3, 0}, {4, 1}, {5, 1}, {5, 2}};
        QList<TiffData*> frames;
        for (int k = 0; k < drifts.size(); k++)
            frames << brightFrame(drifts[k], 11 + k);
        std::unique_ptr<Body> b = driftingBody(true, frames, slider);
        for (int k = 1; k < drifts.size(); k++)
            b->SelectI1Files->select(k);
        QCOMPARE(offsetsOf(*b), drifts);
    }

    // The demo stack, unshifted. Frame 119 is set to (3, -2) by hand; the climb on
    // the reference, frame 120, goes back from there to (0, 0) rather than out to
    // where the frames barely overlap, and frames 118 to 120 end in place.
    void demoStackStaysInPlace()
    {
        QTemporaryDir dir;
        QString error;
        const demo::DemoSet set;
        QVERIFY2(set.write(dir.path(), &error), qPrintable(error));
        QList<TiffData*> frames;
        for (double e : set.energies()) {
            frames << new TiffData();
            frames.last()->load(dir.filePath(demo::DemoSet::frameName(QStringLiteral("I1"), e)), nullptr);
        }
        std::unique_ptr<Body> b = stackBody(frames);
        QCOMPARE(b->i1Frames.size(), 121);
        QCOMPARE(b->i1Frames[120]->width, demo::DemoSet::width);
        ImgProc& p = b->imgProc;
        b->SelectI1Files->select(119);
        for (QToolButton* arrow : {p.ShiftR, p.ShiftR, p.ShiftR, p.ShiftU, p.ShiftU})
            arrow->click();
        p.SetShift->click();
        QCOMPARE(QPoint(b->i1Frames[119]->x0, b->i1Frames[119]->y0), QPoint(3, -2));
        p.EdgeDetect->setChecked(true);
        b->SelectI1Files->select(120);
        p.SetRef->click();
        for (int k : {119, 118, 119})
            b->SelectI1Files->select(k);
        QCOMPARE(offsetsOf(*b), QList<QPoint>(frames.size(), QPoint(0, 0)));
    }
};

CORVELLINE_TEST(TestImgProc)
#include "tst_imgproc.moc"
