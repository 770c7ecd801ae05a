#include "support/LogCapture.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/MapProc.h"
#include "display/ColorBar.h"
#include "display/_FileDialog.h"
#include "foundation/Globals.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

using testmaps::fill;
using testmaps::grid;

namespace {
typedef std::function<double(int, int)> Field;

// Stand-ins for the panel's map-processing widgets and for the main window's
// answer to askAnalyzeCond.
struct Panel {
    QWidget w;
    QRadioButton* showMap1 = new QRadioButton(&w);
    QRadioButton* showMap2 = new QRadioButton(&w);
    QRadioButton* showProc = new QRadioButton(&w);
    QWidget typeBox;
    QRadioButton* sub = new QRadioButton(&typeBox);
    QRadioButton* div = new QRadioButton(&typeBox);
    QRadioButton* mask = new QRadioButton(&typeBox);
    QPushButton* capture1 = new QPushButton(&w);
    QPushButton* capture2 = new QPushButton(&w);
    QPushButton* process = new QPushButton(&w);
    QLineEdit* name1 = new QLineEdit(&w);
    QLineEdit* name2 = new QLineEdit(&w);
    _FileDialog dialog1;
    _FileDialog dialog2;
    MapProc proc;
    AnalyzeCond answer;
    Analyzed2DRes* shown = nullptr;
    int asked = 0;

    Panel()
    {
        MapProcForm f;
        f.showMap1 = showMap1;
        f.showMap2 = showMap2;
        f.showProcessedMap = showProc;
        f.procTypeSub = sub;
        f.procTypeDiv = div;
        f.procTypeMask = mask;
        f.captureAsMap1 = capture1;
        f.captureAsMap2 = capture2;
        f.askProcessMaps = process;
        f.map1Name = name1;
        f.map2Name = name2;
        proc.setup(f, &dialog1, &dialog2);
        QObject::connect(&proc, &MapProc::askAnalyzeCond, [this](AnalyzeCond& ac) {
            ac = answer;
            asked++;
        });
        QObject::connect(&proc, &MapProc::askSelectedRes, [this](Analyzed2DRes*& r) { r = shown; });
    }
    // 0 Sub, 1 Div, 2 Mask
    void choose(int op) { (op == 0 ? sub : op == 1 ? div : mask)->setChecked(true); }
    void setMaps(const AnalyzeCond& g1, Field f1, const AnalyzeCond& g2, Field f2)
    {
        fill(proc.map1, g1, f1);
        proc.map1.genImg();
        fill(proc.map2, g2, f2);
        proc.map2.genImg();
    }
};
} // namespace

class TestMapProc : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;

private slots:
    void initTestCase() { bar.install(); }
    void cleanupTestCase() { bar.remove(); }

    void process_data()
    {
        QTest::addColumn<int>("button"); // 0 Sub, 1 Div, 2 Mask
        QTest::addColumn<int>("half");
        QTest::addColumn<QString>("values"); // the processed bin centres of row 1
        // Map 1 holds x + 1, map 2 holds x - 2 on a 6 x 3 image.
        QTest::newRow("sub pixels") << 0 << 0 << "3,3,3,3,3,3";
        QTest::newRow("div pixels") << 1 << 0 << "-0.5,-2,1,4,2.5,2";
        QTest::newRow("mask pixels") << 2 << 0 << "0,0,0,4,5,6";
        QTest::newRow("div bins") << 1 << 1 << "-2,2.5";
        // bin means: map 1 2 and 5, map 2 -1 and 2
        QTest::newRow("sub bins") << 0 << 1 << "3,3";
        QTest::newRow("mask bins") << 2 << 1 << "0,5";
    }
    void process()
    {
        QFETCH(int, button);
        QFETCH(int, half);
        Panel p;
        p.choose(button);
        const AnalyzeCond g = grid(6, 3, 0, 0, 0, 0, 6, 3);
        p.setMaps(g, [](int x, int) { return x + 1.0; }, g, [](int x, int) { return x - 2.0; });
        p.answer = grid(6, 3, half, half, 0, 0, 6, 3);
        p.process->click();
        QCOMPARE(p.asked, 1);
        QStringList got;
        AnalyzeCond c = p.answer;
        c.reset();
        do {
            if (c.cy == 1)
                got << QString::number(p.proc.procMap.valueAt(c.cx, c.cy), 'g', 6);
        } while (c.next());
        QTEST(got.join(','), "values");
        QVERIFY(p.proc.procMap.valid);
    }

    // Maps from stacks of other sizes: a bin centred off either map gets no
    // result, and a grid with none on both is refused. Map 1 holds x + 10 y,
    // map 2 x + 1; the bins are 3 wide and 1 tall, centred at x 1 and 4.
    // Bin (1, 0): 1 - 2; bin (4, 0) of the 5-wide map 1: 3.5 - 5.
    void mapsOfOtherSizes_data()
    {
        QTest::addColumn<QSize>("size1");
        QTest::addColumn<QSize>("size2");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QString>("values"); // the bin centres in raster order
        QTest::addColumn<QString>("log");
        QTest::newRow("map 2 smaller") << QSize(6, 4) << QSize(3, 2) << QRect(0, 0, 6, 4) << "-1,0,9,0,0,0,0,0"
                                       << "Map processing: 6 of 8 bins lie off Map 1 or Map 2, left without result";
        // the bins at x 4 reach past map 1 but are centred on it: means of 2 columns
        QTest::newRow("map 1 smaller") << QSize(5, 3) << QSize(6, 4) << QRect(0, 0, 6, 4)
                                       << "-1,-1.5,9,8.5,19,18.5,0,0"
                                       << "Map processing: 2 of 8 bins lie off Map 1 or Map 2, left without result";
        QTest::newRow("no bin on both") << QSize(6, 4) << QSize(3, 2) << QRect(3, 2, 3, 2) << "9,9"
                                        << "Map processing: no bin of the grid lies on both maps";
    }
    void mapsOfOtherSizes()
    {
        QFETCH(QSize, size1);
        QFETCH(QSize, size2);
        QFETCH(QRect, area);
        Panel p;
        const auto whole = [](QSize s) { return grid(s.width(), s.height(), 0, 0, 0, 0, s.width(), s.height()); };
        p.setMaps(whole(size1), [](int x, int y) { return x + 10.0 * y; }, whole(size2),
                  [](int x, int) { return x + 1.0; });
        fill(p.proc.procMap, whole(QSize(6, 4)), [](int, int) { return 9.0; });
        p.answer = grid(6, 4, 1, 0, area.x(), area.y(), area.width(), area.height());
        testlog::Capture lines;
        p.proc.processMaps();
        QStringList got;
        AnalyzeCond c = p.answer;
        c.reset();
        do {
            got << QString::number(p.proc.procMap.valueAt(c.cx, c.cy), 'g', 6);
        } while (c.next());
        QTEST(got.join(','), "values");
        QFETCH(QString, log);
        QCOMPARE(lines.linesStartingWith("Map processing:"), QStringList{log});
    }

    // Maps a walk wrote with the processing grid: every pixel of a bin holds
    // the bin's value, f1 = 0.5 + 0.1 cx - 0.03 cy and f2 = 0.3 - 0.05 cx +
    // 0.02 cy, on an 8 x 5 image where bin (7, 4) of the 3 x 3 bins keeps 2 x 2
    // pixels. The result reads in the maps' units, inside and at the edge.
    void binnedMaps_data()
    {
        QTest::addColumn<int>("button"); // 0 Sub, 1 Div, 2 Mask
        QTest::addColumn<int>("half");
        QTest::addColumn<QPoint>("bin");
        QTest::addColumn<double>("value");
        // f1(4, 1) = 0.87, f2(4, 1) = 0.12; f1(7, 4) = 1.08, f2(7, 4) = 0.03
        QTest::newRow("sub 3x3 inside") << 0 << 1 << QPoint(4, 1) << 0.75;
        QTest::newRow("sub 3x3 at the edge") << 0 << 1 << QPoint(7, 4) << 1.05;
        QTest::newRow("mask 3x3 inside") << 2 << 1 << QPoint(4, 1) << 0.87;
        QTest::newRow("mask 3x3 at the edge") << 2 << 1 << QPoint(7, 4) << 1.08;
        QTest::newRow("div 3x3 at the edge") << 1 << 1 << QPoint(7, 4) << 36.0;
        // f1(5, 3) = 0.91, f2(5, 3) = 0.11
        QTest::newRow("sub 1x1") << 0 << 0 << QPoint(5, 3) << 0.8;
    }
    void binnedMaps()
    {
        QFETCH(int, button);
        QFETCH(int, half);
        QFETCH(QPoint, bin);
        QFETCH(double, value);
        Panel p;
        p.choose(button);
        p.answer = grid(8, 5, half, half, 0, 0, 8, 5);
        p.setMaps(p.answer, [](int x, int y) { return 0.5 + 0.1 * x - 0.03 * y; }, p.answer,
                  [](int x, int y) { return 0.3 - 0.05 * x + 0.02 * y; });
        p.process->click();
        // the maps hold single precision
        const double got = p.proc.procMap.valueAt(bin.x(), bin.y());
        QVERIFY2(std::fabs(got - value) < 1e-6 * std::max(1.0, value), qPrintable(QString::number(got)));
    }

    // Map 1 holds 1 + x + 10 y over the whole 8 x 6 image; map 2 holds 4 - y,
    // walked over a region only, with bins 1 or 3 pixels wide. The processing
    // grid of single pixels covers the whole image: only the bins on map 2's
    // bins get a value, the others none, and the line counts them.
    void region_data()
    {
        QTest::addColumn<int>("button"); // 0 Sub, 1 Div, 2 Mask
        QTest::addColumn<int>("hx");     // of map 2's bins
        QTest::addColumn<QRect>("region");
        QTest::addColumn<QPoint>("bin");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("log");
        const QString off36 = "Map processing: 36 of 48 bins lie off Map 1 or Map 2, left without result";
        const QString off30 = "Map processing: 30 of 48 bins lie off Map 1 or Map 2, left without result";
        // map 1 at (3, 2) 24, map 2 there 2
        QTest::newRow("sub") << 0 << 0 << QRect(2, 1, 4, 3) << QPoint(3, 2) << 22.0 << off36;
        QTest::newRow("div") << 1 << 0 << QRect(2, 1, 4, 3) << QPoint(3, 2) << 12.0 << off36;
        QTest::newRow("mask") << 2 << 0 << QRect(2, 1, 4, 3) << QPoint(3, 2) << 24.0 << off36;
        // map 1 at (5, 1) 16; map 2's bin centred at (6, 1) holds 3 over x 5..7
        QTest::newRow("sub, bins 3 wide") << 0 << 1 << QRect(2, 1, 6, 3) << QPoint(5, 1) << 13.0 << off30;
        QTest::newRow("div, bins 3 wide") << 1 << 1 << QRect(2, 1, 6, 3) << QPoint(5, 1) << 16.0 / 3.0 << off30;
    }
    void region()
    {
        QFETCH(int, button);
        QFETCH(int, hx);
        QFETCH(QRect, region);
        QFETCH(QPoint, bin);
        QFETCH(double, value);
        Panel p;
        p.choose(button);
        p.answer = grid(8, 6, 0, 0, 0, 0, 8, 6);
        p.setMaps(p.answer, [](int x, int y) { return 1.0 + x + 10.0 * y; },
                  grid(8, 6, hx, 0, region.x(), region.y(), region.width(), region.height()),
                  [](int, int y) { return 4.0 - y; });
        testlog::Capture lines;
        p.process->click();
        const Analyzed2DRes& m = p.proc.procMap;
        const double got = m.valueAt(bin.x(), bin.y());
        QVERIFY2(std::fabs(got - value) < 1e-12 * std::max(1.0, value), qPrintable(QString::number(got)));
        for (int y = 0; y < 6; y++) {
            for (int x = 0; x < 8; x++)
                QCOMPARE(m.onMap(x, y), region.contains(x, y));
        }
        QFETCH(QString, log);
        QCOMPARE(lines.linesStartingWith("Map processing:"), QStringList{log});
    }

    // Both maps walked with one-pixel bins over x 2..5, y 1..3 of an 8 x 6
    // image (map 1: 1 + x + 10 y, map 2: 4 - y + x / 2), processed with bins
    // 3 x 3 over the whole image. The bin centred at (4, 1) reaches row 0,
    // off the walked area: only its six pixels holding a result count, map 1
    // (14 + 15 + 16 + 24 + 25 + 26) / 6 = 20, map 2 (4.5 + 5 + 5.5 + 3.5 + 4 + 4.5) / 6 = 4.5.
    void binStraddlingTheArea_data()
    {
        QTest::addColumn<int>("button"); // 0 Sub, 1 Div, 2 Mask
        QTest::addColumn<double>("value");
        QTest::newRow("sub") << 0 << 15.5;
        QTest::newRow("div") << 1 << 40.0 / 9.0;
        QTest::newRow("mask") << 2 << 20.0;
    }
    void binStraddlingTheArea()
    {
        QFETCH(int, button);
        QFETCH(double, value);
        Panel p;
        p.choose(button);
        const AnalyzeCond walked = grid(8, 6, 0, 0, 2, 1, 4, 3);
        p.setMaps(walked, [](int x, int y) { return 1.0 + x + 10.0 * y; }, walked,
                  [](int x, int y) { return 4.0 - y + 0.5 * x; });
        p.answer = grid(8, 6, 1, 1, 0, 0, 8, 6);
        p.process->click();
        const Analyzed2DRes& m = p.proc.procMap;
        for (int y = 0; y <= 2; y++) {
            for (int x = 3; x <= 5; x++)
                QVERIFY2(std::fabs(m.valueAt(x, y) - value) < 1e-12, qPrintable(QString::number(m.valueAt(x, y))));
        }
        QVERIFY(m.onMap(4, 1) && !m.onMap(1, 1) && !m.onMap(4, 4));
    }

    void bothMapsRequired_data()
    {
        QTest::addColumn<bool>("draw1");
        QTest::addColumn<bool>("draw2");
        QTest::newRow("map 1 missing") << false << true;
        QTest::newRow("map 2 missing") << true << false;
    }
    void bothMapsRequired()
    {
        QFETCH(bool, draw1);
        QFETCH(bool, draw2);
        Panel p;
        const AnalyzeCond g = grid(2, 2, 0, 0, 0, 0, 2, 2);
        fill(p.proc.map1, g, [](int, int) { return 1.0; });
        fill(p.proc.map2, g, [](int, int) { return 1.0; });
        if (draw1)
            p.proc.map1.genImg();
        if (draw2)
            p.proc.map2.genImg();
        fill(p.proc.procMap, g, [](int, int) { return 9.0; });
        p.answer = g;
        p.proc.processMaps();
        QCOMPARE(p.asked, 0);
        QCOMPARE(p.proc.procMap.valueAt(1, 1), 9.0);
    }

    void capture()
    {
        Panel p;
        Analyzed2DRes shown("a2d dEdge");
        fill(shown, grid(3, 3, 0, 0, 0, 0, 3, 3), [](int x, int y) { return x * y; });
        shown.genImg();
        p.shown = &shown;
        p.capture2->click();
        QCOMPARE(p.name2->text(), QString("a2d dEdge"));
        QCOMPARE(p.proc.map2.valueAt(2, 2), 4.0);
        // nothing shown: map 1 keeps what it had
        p.shown = nullptr;
        p.capture1->click();
        QCOMPARE(p.name1->text(), QString("E-Shift Map 1"));
    }
};

CORVELLINE_TEST(TestMapProc)
#include "tst_mapproc.moc"
