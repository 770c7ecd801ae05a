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

// Each image pixel of a 100 x 50 frame is 4 x 4 widget pixels, the top row at widget y 100.
QColor shownAt(const QImage& img, int x, int y) { return img.pixelColor(4 * x + 2, 100 + 4 * y + 2); }

} // namespace

class TestImgDispA : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ColorBar* savedBar = nullptr;
    std::unique_ptr<ColorBar> bar;

    // A frame loaded through the frame reader, coloured by the main colour bar.
    std::unique_ptr<TiffData> frame(int w = 100, int h = 50, bool withBar = true,
                                    int (*value)(int, int) = sampleAt)
    {
        QVector<quint32> v;
        v.reserve(w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                v << quint32(value(x, y));
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

    // A repaint leaves the widget white and nothing to save. The mapping stays
    // as it was without a view window; with one it maps the view window, so
    // that marks drawn over a blank view keep their places.
    static bool drawsNothing(ImgDispA& d, bool mapped)
    {
        d.cc.setRealArea(-7, -7, 7, 7);
        const QImage img = d.grab().toImage();
        for (int y = 2; y < d.height(); y += 37)
            for (int x = 2; x < d.width(); x += 37)
                if (img.pixelColor(x, y) != QColor(Qt::white))
                    return false;
        // the view (0, -25, 100, 100) of a 100 x 50 frame on 400 x 400 pixels, not flipped
        const bool mapping = mapped ? d.cc.toScreenX(50) == 200.0 && d.cc.toScreenY(-25) == 0.0
                                          && d.cc.toScreenY(75) == 400.0
                                    : d.cc.rxmin == -7.0 && d.cc.rymax == 7.0;
        return mapping && d.visibleImage().isNull();
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
        QCOMPARE(s->d.viewWin, view);
        // a further frame of the stack keeps the view until a reset
        const QRectF zoomed(10, 5, 20, 20);
        s->d.viewWin = zoomed;
        auto f2 = frame();
        QVERIFY(f2);
        s->d.setImageData(f2.get());
        QCOMPARE(s->d.viewWin, zoomed);
        s->d.resetImageViewWindow();
        QCOMPARE(s->d.viewWin, view);
    }

    // The first frame of a stack of another size is shown whole, as the
    // first stack's was, however the view was zoomed or panned before.
    void otherSizeShownWhole_data()
    {
        QTest::addColumn<QSize>("first");
        QTest::addColumn<QSize>("second");
        QTest::addColumn<bool>("resetMax");
        QTest::addColumn<QRectF>("view");
        QTest::newRow("48 x 32, then 600 x 400") << QSize(48, 32) << QSize(600, 400) << false
                                                 << QRectF(0, -100, 600, 600);
        QTest::newRow("48 x 32, then 600 x 400, Max") << QSize(48, 32) << QSize(600, 400) << true
                                                      << QRectF(100, 0, 400, 400);
        QTest::newRow("600 x 400, then 48 x 32") << QSize(600, 400) << QSize(48, 32) << false
                                                 << QRectF(0, -8, 48, 48);
        QTest::newRow("100 x 50, then 50 x 100") << QSize(100, 50) << QSize(50, 100) << false
                                                 << QRectF(-25, 0, 100, 100);
    }
    void otherSizeShownWhole()
    {
        QFETCH(QSize, first);
        QFETCH(QSize, second);
        QFETCH(bool, resetMax);
        auto f1 = frame(first.width(), first.height());
        auto f2 = frame(second.width(), second.height());
        QVERIFY(f1 && f2);
        ImgDispA d;
        square(d);
        d.setResetMax(resetMax);
        d.setImageData(f1.get());
        d.viewWin = QRectF(3, 2, 7, 5); // zoomed in on the top-left
        d.setImageData(nullptr);        // the stack is cleared
        d.setImageData(f2.get());
        QTEST(d.viewWin, "view");
    }

    void wheelZoomsAboutThePointer_data()
    {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<int>("angle");
        QTest::addColumn<double>("f");
        QTest::newRow("forward") << QPointF(200, 200) << 120 << 1 / 1.1;
        QTest::newRow("back, off centre") << QPointF(100, 300) << -120 << 1.1;
    }
    void wheelZoomsAboutThePointer()
    {
        QFETCH(QPointF, pointer);
        QFETCH(int, angle);
        QFETCH(double, f);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        events::moveTo(&d, pointer);
        // image point under the pointer: widget fraction of the view (0, -25, 100, 100)
        const double ix = pointer.x() / 4, iy = pointer.y() / 4 - 25;
        events::wheel(&d, QPoint(0, angle));
        const QRectF v = d.viewWin;
        QVERIFY(near(v.width(), 100 * f) && near(v.height(), 100 * f));
        QVERIFY(near(pointer.x() / 400 * v.width() + v.x(), ix));
        QVERIFY(near(pointer.y() / 400 * v.height() + v.y(), iy));
    }

    // Drags over the view (0, -25, 100, 100): image point = (widget x / 4, widget y / 4 - 25).
    void dragStates_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QRectF>("view");
        const int L = Qt::LeftButton;
        const QRectF home(0, -25, 100, 100);
        const QRectF picked(10, 0, 20, 25);
        QTest::newRow("left drag selects") << L << 0 << QPointF(120, 100) << 1 << true << picked << home;
        QTest::newRow("left click") << L << 0 << QPointF(40, 200) << 0 << false << QRectF(10, 25, 0, 0) << home;
        QTest::newRow("Ctrl drag zooms to it") << L << int(Qt::ControlModifier) << QPointF(120, 100) << 1 << true
                                               << picked << picked;
        // the image follows the pointer: 80 widget pixels right is 20 image pixels
        QTest::newRow("Shift drag pans") << L << int(Qt::ShiftModifier) << QPointF(120, 220) << 0 << false
                                         << QRectF() << QRectF(-20, -30, 100, 100);
        QTest::newRow("right click clears") << int(Qt::RightButton) << 0 << QPointF(120, 100) << 0 << false
                                            << QRectF(0, 0, 0, 0) << home;
        QTest::newRow("middle drag") << int(Qt::MiddleButton) << 0 << QPointF(120, 100) << 0 << false
                                     << QRectF() << home;
    }
    void dragStates()
    {
        QFETCH(int, button);
        QFETCH(int, mods);
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
        events::drag(&d, QPointF(40, 200), to, Qt::MouseButton(button), Qt::KeyboardModifiers(mods));
        QCOMPARE(sel.count(), selected);
        QCOMPARE(moved.count(), 0); // not reported while a button is held
        QCOMPARE(d.sel.valid, valid);
        QCOMPARE(d.sel.area, area);
        QCOMPARE(d.viewWin, view);
    }

    // A 100 x 50 frame, the whole image shown: a drag that starts or ends at
    // or past an edge of the picture reaches that edge, whichever axis has the
    // empty bands and whichever way the drag goes.
    void dragToTheEdgesTakesTheWholeImage_data()
    {
        QTest::addColumn<QSize>("widget");
        QTest::addColumn<bool>("framed");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        const QSize square(400, 400); // view (0, -25, 100, 100): bands above and below
        const QSize wide(400, 100);   // view (-50, 0, 200, 50): bands left and right
        QTest::newRow("bands above, from the bottom-right pixel")
            << square << false << QPointF(399, 399) << QPointF(-30, -30);
        QTest::newRow("bands above, to past the bottom-right")
            << square << false << QPointF(0, 0) << QPointF(430, 430);
        QTest::newRow("bands aside, from the bottom-right pixel")
            << wide << false << QPointF(399, 99) << QPointF(-30, -30);
        QTest::newRow("bands aside, from the top-left pixel") << wide << false << QPointF(0, 0) << QPointF(420, 120);
        // 4 widget pixels an image pixel: the last column from widget x 396 on
        QTest::newRow("framed, from 3 pixels inside the edge")
            << square << true << QPointF(397, 397) << QPointF(-30, -30);
        QTest::newRow("to 3 pixels inside the edge") << square << false << QPointF(0, 0) << QPointF(397, 330);
    }
    void dragToTheEdgesTakesTheWholeImage()
    {
        QFETCH(QSize, widget);
        QFETCH(bool, framed);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        auto f = frame();
        QVERIFY(f);
        ImgDispA d;
        if (!framed)
            d.setFrameShape(QFrame::NoFrame);
        d.resize(widget);
        d.setImageData(f.get());
        events::drag(&d, from, to, Qt::LeftButton);
        QVERIFY(d.sel.valid);
        const QRectF a = d.sel.area;
        const double rect[4] = {a.x(), a.y(), a.width(), a.height()};
        AnalyzeCond c;
        c.setup(100, 50, 0, 0, rect, -1, -1);
        QVERIFY(c.clipToImage());
        QCOMPARE(QRect(QPoint(c.x0, c.y0), QPoint(c.x1 - 1, c.y1 - 1)), QRect(0, 0, 100, 50));
    }

    void moveReportsTheImagePoint()
    {
        auto s = shown(true); // view (25, 0, 50, 50): 8 widget pixels per image pixel
        QVERIFY(s);
        QSignalSpy moved(&s->d, &ImgDispA::mouseMoved);
        events::moveTo(&s->d, QPointF(399, 399));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toDouble(), 74.875);
        QCOMPARE(moved.at(0).at(1).toDouble(), 49.875);
    }

    void renderedPixels()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/imgdispa-frame.png"));
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 100; x += 3) {
                const int g = greyOf(sampleAt(x, y));
                QCOMPARE(shownAt(img, x, y), QColor(g, g, g));
            }
        QCOMPARE(img.pixelColor(10, 50), QColor(Qt::white));
        QCOMPARE(img.pixelColor(390, 350), QColor(Qt::white));
        // the owner's overlay layer maps image points onto the widget
        QCOMPARE(d.cc.toScreenX(50), 200.0);
        QCOMPARE(d.cc.toScreenY(-25), 0.0);
        // the frame's range went to its colour bar
        QCOMPARE(bar->dataMax, 256.0);
        // what is shown can be saved: the 100 x 100 view with black bands
        const QImage v = d.visibleImage();
        QCOMPARE(v.size(), QSize(100, 100));
        QCOMPARE(v.pixelColor(7, 25 + 3), QColor(sampleAt(7, 3), sampleAt(7, 3), sampleAt(7, 3)));
        QCOMPARE(v.pixelColor(7, 10), QColor(0, 0, 0));
    }

    // The display asks the frame for its picture at every repaint; a rebuilt
    // picture (new thresholds) replaces the old one, which the frame has freed.
    void rebuiltImageIsDrawn()
    {
        auto s = shown();
        QVERIFY(s);
        s->d.grab();
        bar->lowerTh = 0.5;
        s->d.rebuildFrameImage();
        const QImage img = s->d.grab().toImage();
        for (int y = 0; y < 50; y += 9)
            for (int x = 0; x < 100; x += 7) {
                // (t - 0.5) / 0.5 with t = v / 256, clamped to 0..1
                const double u = std::clamp((sampleAt(x, y) / 256.0 - 0.5) / 0.5, 0.0, 1.0);
                const int g = std::min(255, int(u * 256));
                QCOMPARE(shownAt(img, x, y), QColor(g, g, g));
            }
    }

    // A frame is coloured when it is painted, with the bar as it is then: one
    // replaced before a paint never is. Only the frame on screen holds a picture.
    void colouredWhenPainted()
    {
        auto a = frame();
        auto b = frame();
        QVERIFY(a && b && !a->dispImg && !b->dispImg);
        ImgDispA d;
        square(d);
        d.setImageData(a.get());
        QVERIFY(!a->dispImg);
        bar->upperTh = 0.5;
        d.setImageData(b.get());
        QVERIFY(!a->dispImg && !b->dispImg);
        const QImage img = d.grab().toImage();
        QVERIFY(!a->dispImg && !a->dispBuf);
        QVERIFY(b->dispImg);
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 100; x += 3) {
                // t = v / 256 up to the 0.5 threshold: twice the sample, at most 255
                const int g = std::min(255, 2 * sampleAt(x, y));
                QCOMPARE(shownAt(img, x, y), QColor(g, g, g));
            }
        d.setImageData(nullptr);
        QVERIFY(!b->dispImg);
    }

    // The picture is drawn from a 32-bit copy made once per picture, or as it
    // is when it has more pixels than the display: either way in its colours,
    // and never the copy of a picture shown before.
    void drawnInItsColours_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("the next frame of its size") << 0;
        QTest::newRow("a map in colour") << 1;
        QTest::newRow("a frame larger than the display") << 2;
    }
    void drawnInItsColours()
    {
        QFETCH(int, kind);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.grab();
        if (kind == 0) {
            auto next = frame(100, 50, true, [](int x, int y) { return (x + 5 * y + 40) % 257; });
            QVERIFY(next);
            d.setImageData(next.get());
            const QImage img = d.grab().toImage();
            for (int y = 0; y < 50; y += 7)
                for (int x = 0; x < 100; x += 3) {
                    const int g = greyOf((x + 5 * y + 40) % 257);
                    QCOMPARE(shownAt(img, x, y), QColor(g, g, g));
                }
            d.setImageData(s->f.get());
        } else if (kind == 1) {
            Analyzed2DRes map(QStringLiteral("a2d test"));
            map.format = QImage::Format_RGB888;
            bar->format = QImage::Format_RGB888;
            fillMap(map);
            map.setFixedScale(false); // rebuilds the picture
            QVERIFY(map.valid && map.image);
            d.overlayMap = &map;
            d.setShowOverLayer(true);
            const QImage img = d.grab().toImage();
            const ColorScale heat(QImage::Format_RGB888, 0, 1);
            for (int y = 0; y < 50; y += 7)
                for (int x = 0; x < 100; x += 3)
                    QCOMPARE(shownAt(img, x, y), heat.colorOf((256 - sampleAt(x, y)) / 256.0));
            d.setShowOverLayer(false);
            d.overlayMap = nullptr;
            bar->format = QImage::Format_Grayscale8;
        } else {
            // 500 x 400, dark left half and white right half, on 400 x 400: the
            // view (0, -50, 500, 500), 1.25 image pixels a widget pixel.
            auto big = frame(500, 400, true, [](int x, int) { return x < 250 ? 0 : 256; });
            QVERIFY(big);
            d.setImageData(big.get());
            const QImage img = d.grab().toImage();
            for (int wy = 50; wy < 350; wy += 50) {
                QCOMPARE(img.pixelColor(80, wy), QColor(0, 0, 0));
                QCOMPARE(img.pixelColor(320, wy), QColor(255, 255, 255));
            }
            QCOMPARE(img.pixelColor(200, 20), QColor(Qt::white)); // above the frame
            d.setImageData(s->f.get());
        }
        // The first frame again, after the others: its own picture.
        const QImage again = d.grab().toImage();
        const int g = greyOf(sampleAt(7, 3));
        QCOMPARE(shownAt(again, 7, 3), QColor(g, g, g));
    }

    // What is saved before any paint is the picture a paint would show.
    void savedBeforeAPaint()
    {
        auto s = shown();
        QVERIFY(s && !s->f->dispImg);
        const QImage v = s->d.visibleImage();
        QCOMPARE(v.size(), QSize(100, 100));
        QCOMPARE(v.pixelColor(7, 25 + 3), QColor(sampleAt(7, 3), sampleAt(7, 3), sampleAt(7, 3)));
    }

    void nothingDrawn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("mapped");
        QTest::newRow("no frame") << "none" << false;
        QTest::newRow("frame without its colour bar") << "no bar" << true;
        QTest::newRow("overlay mode without a map") << "overlay" << true;
        QTest::newRow("overlay map never built") << "unbuilt map" << true;
        QTest::newRow("map geometry changed after building") << "recond map" << true;
        QTest::newRow("flat view window") << "flat view" << false;
    }
    void nothingDrawn()
    {
        QFETCH(QString, how);
        QFETCH(bool, mapped);
        auto f = frame(100, 50, how != QLatin1String("no bar"));
        QVERIFY(f);
        ImgDispA d;
        square(d);
        Analyzed2DRes map(QStringLiteral("a2d test"));
        if (how != QLatin1String("none"))
            d.setImageData(f.get());
        if (how.endsWith(QLatin1String("map"))) {
            fillMap(map);
            if (how.startsWith(QLatin1String("recond"))) {
                map.genImg();
                fillMap(map, 30, 30);
            }
            d.overlayMap = &map;
        }
        if (how == QLatin1String("overlay") || how.endsWith(QLatin1String("map")))
            d.setShowOverLayer(true);
        if (how == QLatin1String("flat view"))
            d.viewWin.setHeight(0);
        bar->dataMin = -1;
        QVERIFY(drawsNothing(d, mapped));
        if (how.endsWith(QLatin1String("map")))
            QCOMPARE(bar->dataMin, -1.0); // the bar is left alone
    }

    void zeroSizeWidgetDrawsNothing()
    {
        auto f = frame();
        QVERIFY(f);
        ImgDispA d;
        d.resize(0, 0);
        d.setImageData(f.get());
        QCOMPARE(d.viewWin, QRectF(0, 0, 100, 50));
        QImage target(10, 10, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter p(&target);
        d.drawImage(&p);
        p.end();
        QCOMPARE(target.pixelColor(5, 5), QColor(Qt::white));
        QSignalSpy moved(&d, &ImgDispA::mouseMoved);
        events::moveTo(&d, QPointF(0, 0));
        QCOMPARE(moved.at(0).at(0).toDouble(), 0.0); // still a finite point
        events::wheel(&d, QPoint(0, 120));
        QCOMPARE(d.viewWin, QRectF(0, 0, 100, 50));
    }

    void overlayDrawsTheMap_data()
    {
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<double>("hi");
        QTest::addColumn<int>("greyScale"); // grey = min(255, greyScale * (256 - v) / 256)
        QTest::newRow("own range") << false << 2565.0 << 256;
        // half the span: the upper half of the values all reach the top colour
        QTest::newRow("fixed range") << true << 1285.0 << 512;
    }
    void overlayDrawsTheMap()
    {
        QFETCH(bool, fixed);
        QFETCH(double, hi);
        QFETCH(int, greyScale);
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        Analyzed2DRes map(QStringLiteral("a2d test"));
        fillMap(map);
        map.scaleMin = 5;
        map.scaleMax = hi;
        map.setFixedScale(fixed); // rebuilds the picture
        QVERIFY(map.valid && map.image);
        d.overlayMap = &map;
        d.setShowOverLayer(true);
        const QImage img = d.grab().toImage();
        img.save(testreg::shotsDir() + QStringLiteral("/imgdispa-overlay-%1.png").arg(fixed ? "fixed" : "own"));
        QCOMPARE(bar->dataMin, 5.0);
        QCOMPARE(bar->dataMax, hi);
        for (int y = 0; y < 50; y += 7)
            for (int x = 0; x < 100; x += 3) {
                const int g = std::min(255, greyScale * (256 - sampleAt(x, y)) / 256);
                QCOMPARE(shownAt(img, x, y), QColor(g, g, g));
            }
        d.setShowOverLayer(false); // back to the frame
        const int fg = greyOf(sampleAt(7, 3));
        QCOMPARE(shownAt(d.grab().toImage(), 7, 3), QColor(fg, fg, fg));
    }

    void zoomToSelectedArea()
    {
        auto s = shown();
        QVERIFY(s);
        ImgDispA& d = s->d;
        d.setViewWAsSelectedArea(); // nothing selected
        QCOMPARE(d.viewWin, QRectF(0, -25, 100, 100));
        d.setSelectedArea(30, 40, 10, 20); // backwards, as a batch may give it
        d.setViewWAsSelectedArea();
        QCOMPARE(d.viewWin, QRectF(10, 20, 20, 20));
        d.setSelectedArea(5, 5, 5, 9); // no width: no view can be made of it
        d.setViewWAsSelectedArea();
        QCOMPARE(d.viewWin, QRectF(10, 20, 20, 20));
    }
};

CORVELLINE_TEST(TestImgDispA)
#include "tst_imgdispa.moc"
