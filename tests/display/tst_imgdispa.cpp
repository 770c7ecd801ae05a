#include "support/EventSend.h"
#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "display/ColorBar.h"
#include "display/ImgDispA.h"
#include "foundation/Globals.h"
#include "imagestack/TiffData.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// Sample (x, y) of the test frames. 0 and 256 both occur, so a frame's range is
// 0..256 and, with the bar's thresholds at 0 and 1, the grey of a sample is the
// sample itself (256 clamps to 255).
int sampleAt(int x, int y) { return (x + 5 * y) % 257; }
int greyOf(int v) { return std::min(v, 255); }

bool near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

} // namespace

class TestImgDispA : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ColorBar* savedBar = nullptr;
    std::unique_ptr<ColorBar> bar;

    // A 100 x 50 frame (or other size) loaded through the frame reader, coloured
    // by the main colour bar and showing its range on the same bar.
    std::unique_ptr<TiffData> frame(int w = 100, int h = 50, bool withBar = true)
    {
        QVector<quint32> v;
        v.reserve(w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                v << quint32(sampleAt(x, y));
        const QString name = dir.filePath(QStringLiteral("f.img"));
        std::unique_ptr<TiffData> f(new TiffData);
        if (!craft::writeIm(name, w, h, v) || !f->load(name, nullptr))
            return nullptr;
        if (withBar)
            f->cBar = bar.get();
        return f;
    }

    static void square(ImgDispA& d)
    {
        d.setFrameShape(QFrame::NoFrame);
        d.resize(400, 400);
    }

    // A 400 x 400 display showing a 100 x 50 frame.
    struct Shown {
        std::unique_ptr<TiffData> f;
        ImgDispA d;
    };
    std::unique_ptr<Shown> shown(bool resetMax = false)
    {
        std::unique_ptr<Shown> s(new Shown);
        s->f = frame();
        if (!s->f)
            return nullptr;
        square(s->d);
        s->d.setResetMax(resetMax);
        s->d.setImageData(s->f.get());
        return s;
    }

    // A repaint leaves the widget white, the mapping as it was and nothing to save.
    static bool drawsNothing(ImgDispA& d)
    {
        d.cc.setRealArea(-7, -7, 7, 7);
        const QImage img = d.grab().toImage();
        for (int y = 2; y < d.height(); y += 37)
            for (int x = 2; x < d.width(); x += 37)
                if (img.pixelColor(x, y) != QColor(Qt::white))
                    return false;
        return d.cc.rxmin == -7.0 && d.cc.rymax == 7.0 && d.visibleImage().isNull();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        savedBar = mainColorBar;
    }
    void init()
    {
        bar.reset(new ColorBar);
        mainColorBar = bar.get();
    }
    void cleanup()
    {
        mainColorBar = savedBar;
        bar.reset();
    }

    void firstFrameSetsTheView_data()
    {
        QTest::addColumn<bool>("resetMax");
        QTest::addColumn<QRectF>("view");
        QTest::newRow("whole image") << false << QRectF(0, -25, 100, 100);
        QTest::newRow("filling the widget") << true << QRectF(25, 0, 50, 50);
    }
    void firstFrameSetsTheView()
    {
        QFETCH(bool, resetMax);
        QFETCH(QRectF, view);
        auto s = shown(resetMax);
        QVERIFY(s);
        ImgDispA& d = s->d;
        QCOMPARE(d.frame, s->f.get());
        QCOMPARE(d.viewWin, view);
    }

    void furtherFramesKeepTheView()
    {
        auto f1 = frame();
        auto f2 = frame(60, 60);
        QVERIFY(f1 && f2);
        ImgDispA d;
        square(d);
        d.setImageData(f1.get());
        d.viewWin = QRectF(10, 10, 20, 20);
        d.setImageData(f2.get());
        QCOMPARE(d.viewWin, QRectF(10, 10, 20, 20));
        // a reset follows the shown frame and the reset-max flag
        d.resetImageViewWindow();
        QCOMPARE(d.viewWin, QRectF(0, 0, 60, 60));
        d.setResetMax(true);
        QCOMPARE(d.viewWin, QRectF(0, 0, 60, 60)); // only at the next reset
        d.setImageData(f1.get());
        d.resetImageViewWindow();
        QCOMPARE(d.viewWin, QRectF(25, 0, 50, 50));
    }

    void wheelZoomsAboutThePointer_data()
    {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<int>("angle");
        QTest::addColumn<double>("wf"); // factor on the view width
        QTest::addColumn<double>("hf"); // factor on the view height
        const double in = 1 / 1.1;
        QTest::newRow("centre, forward") << QPointF(200, 200) << 120 << in << in;
        QTest::newRow("centre, back") << QPointF(200, 200) << -120 << 1.1 << 1.1;
        QTest::newRow("left edge band") << QPointF(20, 200) << 120 << 1.0 << in;
        QTest::newRow("top edge band") << QPointF(200, 20) << 120 << in << 1.0;
        QTest::newRow("horizontal wheel zooms in") << QPointF(200, 200) << 0 << in << in;
    }
    void wheelZoomsAboutThePointer()
    {
        QFETCH(QPointF, pointer);
        QFETCH(int, angle);
        QFETCH(double, wf);
        QFETCH(double, hf);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        const QRectF before = d.viewWin;
        events::moveTo(&d, pointer);
        // image point under the pointer: widget fraction of the view window
        const double ix = pointer.x() / 400 * before.width() + before.x();
        const double iy = pointer.y() / 400 * before.height() + before.y();
        events::wheel(&d, QPoint(0, angle));
        const QRectF v = d.viewWin;
        QVERIFY(near(v.width(), before.width() * wf));
        QVERIFY(near(v.height(), before.height() * hf));
        QVERIFY(near(pointer.x() / 400 * v.width() + v.x(), ix));
        QVERIFY(near(pointer.y() / 400 * v.height() + v.y(), iy));
    }

    void wheelZoomCanBeSwitchedOff()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.allowWheelZoom = false;
        events::moveTo(&d, QPointF(200, 200));
        events::wheel(&d, QPoint(0, 120));
        QCOMPARE(d.viewWin, QRectF(0, -25, 100, 100));
    }

    // Drags on a 400 x 400 widget over the view (0, -25, 100, 100): image point =
    // (widget x / 4, widget y / 4 - 25).
    void dragStates_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QRectF>("view");
        const int L = Qt::LeftButton, R = Qt::RightButton;
        const int S = Qt::ShiftModifier, C = Qt::ControlModifier;
        const QRectF home(0, -25, 100, 100);
        QTest::newRow("left drag selects") << L << 0 << QPointF(40, 200) << QPointF(120, 100) << 1 << true
                                           << QRectF(10, 0, 20, 25) << home;
        QTest::newRow("left drag on one column") << L << 0 << QPointF(40, 200) << QPointF(40, 300) << 0
                                                 << false << QRectF(10, 25, 0, 25) << home;
        QTest::newRow("left click") << L << 0 << QPointF(40, 200) << QPointF(40, 200) << 0 << false
                                    << QRectF(10, 25, 0, 0) << home;
        QTest::newRow("Ctrl drag zooms to it") << L << C << QPointF(40, 200) << QPointF(120, 100) << 1
                                               << true << QRectF(10, 0, 20, 25) << QRectF(10, 0, 20, 25);
        QTest::newRow("Ctrl drag without width") << L << C << QPointF(40, 200) << QPointF(40, 300) << 0
                                                 << false << QRectF(10, 25, 0, 25) << home;
        // the image follows the pointer: 40 widget pixels right is 10 image pixels
        QTest::newRow("Shift drag pans") << L << S << QPointF(200, 200) << QPointF(240, 220) << 0 << false
                                         << QRectF() << QRectF(-10, -30, 100, 100);
        QTest::newRow("right drag") << R << 0 << QPointF(200, 200) << QPointF(240, 220) << 0 << false
                                    << QRectF(0, 0, 0, 0) << home;
        QTest::newRow("middle drag") << int(Qt::MiddleButton) << 0 << QPointF(200, 200) << QPointF(240, 220)
                                     << 0 << false << QRectF() << home;
    }
    void dragStates()
    {
        QFETCH(int, button);
        QFETCH(int, mods);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(int, selected);
        QFETCH(bool, valid);
        QFETCH(QRectF, area);
        QFETCH(QRectF, view);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        QSignalSpy sel(&d, &ImgDispA::newAreaSelected);
        QSignalSpy moved(&d, &ImgDispA::mouseMoved);
        events::drag(&d, from, to, Qt::MouseButton(button), Qt::KeyboardModifiers(mods));
        QCOMPARE(sel.count(), selected);
        QCOMPARE(moved.count(), 0); // not reported while a button is held
        QCOMPARE(d.sel.valid, valid);
        QCOMPARE(d.sel.area, area);
        QVERIFY(!d.sel.dragging);
        QCOMPARE(d.viewWin, view);
    }

    void pressWhileDraggingShowsTheArea()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        events::mouse(&d, QEvent::MouseButtonPress, QPointF(120, 100), Qt::LeftButton, Qt::LeftButton);
        events::mouse(&d, QEvent::MouseMove, QPointF(40, 200), Qt::NoButton, Qt::LeftButton);
        QVERIFY(d.sel.dragging);
        QCOMPARE(d.sel.area, QRectF(30, 0, -20, 25)); // not normalised until released
        events::mouse(&d, QEvent::MouseButtonRelease, QPointF(40, 200), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(d.sel.area, QRectF(10, 0, 20, 25));
    }

    void rightClickClearsEvenWithoutImage()
    {
        ImgDispA d;
        square(d);
        d.setSelectedArea(1, 2, 30, 40);
        QSignalSpy r(&d, &ImgDispA::mouseRPressed);
        events::mouse(&d, QEvent::MouseButtonPress, QPointF(5, 5), Qt::RightButton, Qt::RightButton);
        QCOMPARE(r.count(), 1);
        QVERIFY(!d.sel.valid);
        QCOMPARE(d.sel.area, QRectF(0, 0, 0, 0));
    }

    void noImageNoDragging()
    {
        ImgDispA d;
        square(d);
        d.viewWin = QRectF(0, 0, 100, 100);
        QSignalSpy sel(&d, &ImgDispA::newAreaSelected);
        events::drag(&d, QPointF(40, 40), QPointF(200, 200), Qt::LeftButton);
        QCOMPARE(sel.count(), 0);
        QCOMPARE(d.sel.area, QRectF(10, 10, 0, 0));
        events::drag(&d, QPointF(40, 40), QPointF(200, 200), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(d.viewWin, QRectF(0, 0, 100, 100));
    }

    void moveReportsTheImagePoint_data()
    {
        QTest::addColumn<bool>("resetMax");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QPointF>("point");
        QTest::newRow("centre") << false << QPointF(200, 200) << QPointF(50, 25);
        QTest::newRow("in the upper band") << false << QPointF(0, 40) << QPointF(0, -15);
        QTest::newRow("filled, corner") << true << QPointF(399, 399) << QPointF(74.875, 49.875);
    }
    void moveReportsTheImagePoint()
    {
        QFETCH(bool, resetMax);
        QFETCH(QPointF, pointer);
        QFETCH(QPointF, point);
        auto s = shown(resetMax);
        QVERIFY(s);
        ImgDispA& d = s->d;
        QSignalSpy moved(&d, &ImgDispA::mouseMoved);
        events::moveTo(&d, pointer);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toDouble(), point.x());
        QCOMPARE(moved.at(0).at(1).toDouble(), point.y());
    }

    void renderedPixels()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/imgdispa-frame.png"));
        // each image pixel is 4 x 4 widget pixels, the image's top row at widget y 100
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 100; x += 3) {
                const int g = greyOf(sampleAt(x, y));
                QCOMPARE(img.pixelColor(4 * x + 2, 100 + 4 * y + 2), QColor(g, g, g));
            }
        for (int x = 10; x < 400; x += 50) {
            QCOMPARE(img.pixelColor(x, 50), QColor(Qt::white));
            QCOMPARE(img.pixelColor(x, 350), QColor(Qt::white));
        }
        // the owner's overlay layer maps image points onto the widget
        QCOMPARE(d.cc.toScreenX(50), 200.0);
        QCOMPARE(d.cc.toScreenY(25), 200.0);
        QCOMPARE(d.cc.toScreenY(-25), 0.0);
        QCOMPARE(d.cc.toRealX(400), 100.0);
        // the frame's range went to its colour bar
        QCOMPARE(bar->dataMin, 0.0);
        QCOMPARE(bar->dataMax, 256.0);
    }

    // The display asks the frame for its picture at every repaint; a rebuilt
    // picture (new thresholds) replaces the old one, which the frame has freed.
    void rebuiltImageIsDrawn()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.grab();
        bar->lowerTh = 0.5;
        QVERIFY(s->f->makeDispImage());
        const QImage img = d.grab().toImage();
        for (int y = 0; y < 50; y += 9)
            for (int x = 0; x < 100; x += 7) {
                // (t - 0.5) / 0.5 with t = v / 256, clamped to 0..1
                const double u = std::clamp((sampleAt(x, y) / 256.0 - 0.5) / 0.5, 0.0, 1.0);
                const int g = std::min(255, int(u * 256));
                QCOMPARE(img.pixelColor(4 * x + 2, 100 + 4 * y + 2), QColor(g, g, g));
            }
        QCOMPARE(d.visibleImage().pixelColor(0, 25), QColor(0, 0, 0));
    }

    void nothingDrawn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("no frame") << "none";
        QTest::newRow("frame dropped") << "dropped";
        QTest::newRow("frame without its colour bar") << "no bar";
        QTest::newRow("no main colour bar to build the picture") << "no main bar";
        QTest::newRow("picture freed and not rebuilt") << "freed";
        QTest::newRow("overlay mode without a map") << "overlay";
        QTest::newRow("flat view window") << "flat view";
    }
    void nothingDrawn()
    {
        QFETCH(QString, how);
        auto f = frame(100, 50, how != QLatin1String("no bar"));
        QVERIFY(f);
        ImgDispA d;
        square(d);
        if (how == QLatin1String("no main bar")) {
            mainColorBar = nullptr;
            delete f->dispImg; // as a frame loaded while no bar existed
            f->dispImg = nullptr;
        }
        if (how != QLatin1String("none"))
            d.setImageData(f.get());
        if (how == QLatin1String("dropped"))
            d.setImageData(nullptr);
        if (how == QLatin1String("freed")) {
            mainColorBar = nullptr;
            QVERIFY(!f->makeDispImage());
        }
        if (how == QLatin1String("overlay"))
            d.setShowOverLayer(true);
        if (how == QLatin1String("flat view"))
            d.viewWin.setHeight(0);
        QVERIFY(drawsNothing(d));
    }

    void zeroSizeWidgetDrawsNothing()
    {
        auto f = frame();
        QVERIFY(f);
        ImgDispA d;
        d.resize(0, 0);
        d.setImageData(f.get());
        QCOMPARE(d.viewWin, QRectF(0, 0, 100, 50));
        d.cc.setRealArea(-7, -7, 7, 7);
        QImage target(10, 10, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter p(&target);
        d.drawImage(&p);
        p.end();
        QCOMPARE(target.pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(d.cc.rxmin, -7.0);
        // a pointer on a zero-size widget still reports a finite point
        QSignalSpy moved(&d, &ImgDispA::mouseMoved);
        events::moveTo(&d, QPointF(0, 0));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toDouble(), 0.0);
        events::wheel(&d, QPoint(0, 120));
        QCOMPARE(d.viewWin, QRectF(0, 0, 100, 50));
    }

    void visibleImage_data()
    {
        QTest::addColumn<bool>("resetMax");
        QTest::addColumn<QRect>("part"); // of the frame, in image pixels
        QTest::newRow("whole, with bands") << false << QRect(QPoint(0, -25), QPoint(100, 75));
        QTest::newRow("filled, cropped") << true << QRect(QPoint(25, 0), QPoint(75, 50));
    }
    void visibleImage()
    {
        QFETCH(bool, resetMax);
        QFETCH(QRect, part);
        auto s = shown(resetMax);
        QVERIFY(s);
        ImgDispA& d = s->d;
        const QImage v = d.visibleImage();
        QCOMPARE(v.size(), part.size());
        for (int y = 0; y < v.height(); y += 5)
            for (int x = 0; x < v.width(); x += 3) {
                const int ix = part.x() + x, iy = part.y() + y;
                const bool inside = ix >= 0 && ix < 100 && iy >= 0 && iy < 50;
                const int g = inside ? greyOf(sampleAt(ix, iy)) : 0;
                QCOMPARE(v.pixelColor(x, y), QColor(g, g, g));
            }
    }

    // A 100 x 50 result map holding the frame's samples reversed, 10 (256 - v) + 5:
    // its range 5..2565 is not the frame's, and its greys run the other way.
    static void fillMap(Analyzed2DRes& map, int W = 100, int H = 50)
    {
        AnalyzeCond c;
        c.W = W;
        c.H = H;
        map.setCond(c);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                map.setData(x, y, 0, 0, 10.0 * (256 - sampleAt(x, y)) + 5);
    }

    void overlayDrawsTheMap_data()
    {
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<int>("greyScale"); // grey = min(255, greyScale * (256 - v) / 256)
        QTest::newRow("own range") << false << 5.0 << 2565.0 << 256;
        // half the span: the upper half of the values all reach the top colour
        QTest::newRow("fixed range") << true << 5.0 << 1285.0 << 512;
    }
    void overlayDrawsTheMap()
    {
        QFETCH(bool, fixed);
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(int, greyScale);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        Analyzed2DRes map(QStringLiteral("a2d test"));
        fillMap(map);
        map.scaleMin = lo;
        map.scaleMax = hi;
        map.setFixedScale(fixed); // rebuilds the picture
        QVERIFY(map.valid && map.image);
        bar->dataMin = bar->dataMax = -1;
        d.overlayMap = &map;
        d.setShowOverLayer(true);
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/imgdispa-overlay-%1.png").arg(fixed ? "fixed" : "own"));
        QCOMPARE(bar->dataMin, lo);
        QCOMPARE(bar->dataMax, hi);
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 100; x += 3) {
                const int g = std::min(255, greyScale * (256 - sampleAt(x, y)) / 256);
                QCOMPARE(img.pixelColor(4 * x + 2, 100 + 4 * y + 2), QColor(g, g, g));
            }
        QCOMPARE(d.cc.toScreenY(25), 200.0);
        QCOMPARE(d.visibleImage().size(), QSize(101, 101));
        const int g = std::min(255, greyScale * (256 - sampleAt(7, 3)) / 256);
        QCOMPARE(d.visibleImage().pixelColor(7, 25 + 3), QColor(g, g, g));
        // back to the frame
        d.setShowOverLayer(false);
        const int fg = greyOf(sampleAt(7, 3));
        QCOMPARE(d.grab().toImage().pixelColor(4 * 7 + 2, 100 + 4 * 3 + 2), QColor(fg, fg, fg));
    }

    void overlayWithoutPicture_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("map never built") << "unbuilt";
        QTest::newRow("valid but empty geometry") << "empty";
        QTest::newRow("built without a colour bar") << "no bar";
        QTest::newRow("geometry changed after building") << "recond";
    }
    void overlayWithoutPicture()
    {
        QFETCH(QString, how);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        Analyzed2DRes map(QStringLiteral("a2d test"));
        if (how == QLatin1String("unbuilt")) {
            fillMap(map);
        } else if (how == QLatin1String("empty")) {
            map.genImg();
            QVERIFY(map.valid);
            QVERIFY(!map.image);
        } else if (how == QLatin1String("no bar")) {
            fillMap(map);
            mainColorBar = nullptr;
            map.genImg();
        } else {
            fillMap(map);
            map.genImg();
            fillMap(map, 30, 30);
        }
        d.overlayMap = &map;
        d.setShowOverLayer(true);
        bar->dataMin = bar->dataMax = -1;
        QVERIFY(drawsNothing(d));
        QCOMPARE(bar->dataMin, -1.0); // the bar is left alone
    }

    void zoomToSelectedArea()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.setViewWAsSelectedArea(); // nothing selected
        QCOMPARE(d.viewWin, QRectF(0, -25, 100, 100));
        d.setSelectedArea(30, 40, 10, 20); // backwards, as a batch may give it
        QCOMPARE(d.sel.area, QRectF(30, 40, -20, -20));
        QVERIFY(d.sel.valid);
        d.setViewWAsSelectedArea();
        QCOMPARE(d.viewWin, QRectF(10, 20, 20, 20));
        d.setSelectedArea(5, 5, 5, 9); // no width: no view can be made of it
        d.setViewWAsSelectedArea();
        QCOMPARE(d.viewWin, QRectF(10, 20, 20, 20));
    }

    void recallAfterClick()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.setSelectedArea(1, 2, 11, 22);
        events::drag(&d, QPointF(200, 200), QPointF(200, 200), Qt::LeftButton);
        QCOMPARE(d.sel.area, QRectF(50, 25, 0, 0));
        QVERIFY(d.sel.valid);
        d.recallOldSelectedArea();
        QCOMPARE(d.sel.area, QRectF(1, 2, 10, 20));
    }
};

CORVELLINE_TEST(TestImgDispA)
#include "tst_imgdispa.moc"
