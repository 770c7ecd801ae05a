#include "support/MapGrid.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/InTempDir.h"
#include "support/LogCapture.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "display/ChCoord.h"
#include "display/ImgDispA.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"
#include "mainwindow/Stats.h"
#include "mainwindow/StatsCalc.h"
#include "mainwindow/SumUpCtrl.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// A 1-row grid of one-pixel bins, valued by position.
std::function<double(int, int)> listed(const QVector<double>& v)
{
    return [v](int x, int) { return x >= 0 && x < v.size() ? v[x] : 0.0; };
}

AnalyzeCond row(int n)
{
    return testmaps::grid(n, 1, 0, 0, 0, 0, n, 1);
}

// Whether and when the sum-up picture was written in a folder.
QDateTime sumUpStamp(const QString& dir)
{
    const QFileInfo f(dir + QStringLiteral("/sumUpImg.png"));
    return f.exists() ? f.lastModified() : QDateTime();
}

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            paints++;
        return false;
    }
};

} // namespace

class TestStats : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;
    QString startDir;
    QDateTime startStamp;

private slots:
    void initTestCase()
    {
        loopback::resetConfig();
        bar.install();
        startDir = QDir::currentPath();
        startStamp = sumUpStamp(startDir);
    }
    void cleanupTestCase()
    {
        bar.remove();
        // nothing was written into the folder the tests run from
        QCOMPARE(QDir::currentPath(), startDir);
        QCOMPARE(sumUpStamp(startDir), startStamp);
    }

    // Count, mean and sigma; the minimum falls into the first bin, the
    // maximum into the last, and a constant map (width 0) all into bin 0.
    void histogram_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<int>("bins");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("sigma");
        QTest::addColumn<QVector<int>>("counts");
        QTest::newRow("known map") << QVector<double>{1, 2, 3, 4} << 3 << 2.5 << std::sqrt(1.25)
                                   << QVector<int>{1, 1, 2};
        QTest::newRow("constant") << QVector<double>{5, 5, 5, 5, 5} << 4 << 5.0 << 0.0 << QVector<int>{5, 0, 0, 0};
        // the sums give a variance of about -3e-18 here
        QTest::newRow("tiny negative variance") << QVector<double>{0.1, 0.1, 0.1} << 2 << 0.1 << 0.0
                                                << QVector<int>{3, 0};
    }
    void histogram()
    {
        QFETCH(QVector<double>, values);
        QFETCH(int, bins);
        const StatsHist h = stats::histogram(listed(values), row(int(values.size())), bins);
        QCOMPARE(h.n, int(values.size()));
        QTEST(h.mean, "mean");
        QTEST(h.sigma, "sigma");
        QTEST(QVector<int>(h.counts.begin(), h.counts.end()), "counts");
        QCOMPARE(stats::binOf(std::nan(""), 0, 1, 10), 0);
    }

    // Labels 14 pixels across under an axis 800 (or 70) pixels wide.
    void axisLabels_data()
    {
        QTest::addColumn<QPointF>("range");
        QTest::addColumn<int>("bins");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("one value") << QPointF(2.5, 2.5) << 100 << 800 << QStringList{"2.5"};
        QTest::newRow("one value, 7 bins") << QPointF(-3.25, -3.25) << 7 << 800 << QStringList{"-3.25"};
        QTest::newRow("0.5 to 20.5")
            << QPointF(0.5, 20.5) << 100 << 800
            << QStringList{"0.5", "2.5", "4.5", "6.5", "8.5", "10.5", "12.5", "14.5", "16.5", "18.5", "20.5"};
        QTest::newRow("ticks 7 pixels apart: every other labelled")
            << QPointF(0, 10) << 100 << 70 << QStringList{"0", "2", "4", "6", "8", "10"};
    }
    void axisLabels()
    {
        QFETCH(QPointF, range);
        QFETCH(int, bins);
        QFETCH(int, width);
        const StatsHist h{0, range.x(), range.y(), 0, 0, 0, bins, (range.y() - range.x()) / bins, {}, 0};
        ChCoord cc;
        cc.setScreenArea(0, 100, width, 0);
        cc.setRealArea(range.x(), 0, range.y(), 1);
        QStringList labels;
        QList<double> places;
        for (const stats::AxisTick& t : stats::axisTicks(h, cc, 14))
            if (!t.label.isNull()) {
                labels << t.label;
                places << t.screenX;
            }
        QTEST(labels, "labels");
        for (int i = 1; i < places.size(); i++)
            QVERIFY2(places[i] - places[i - 1] >= 14, qPrintable(labels[i]));
    }

    void binsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bins");
        QTest::newRow("0") << "0" << 100;
        QTest::newRow("-5") << "-5" << 100;
        QTest::newRow("abc") << "abc" << 100;
        QTest::newRow("37") << "37" << 37;
        QTest::newRow("typo capped") << "100000000" << 1000000;
    }
    void binsText()
    {
        QFETCH(QString, text);
        QTEST(stats::binCount(text), "bins");
    }

    // The count is read on every recalculation (every repaint of the main
    // window); a capped typo is logged once per edit of the field.
    void binsCapLoggedOncePerEdit()
    {
        Stats w;
        Analyzed2DRes map(QStringLiteral("m"));
        testmaps::fill(map, row(4), [](int x, int) { return x + 1.0; });
        testlog::Capture log;
        const auto notes = [&] { return log.linesStartingWith(QStringLiteral("Stats: bins")); };
        w.setBins(100000000);
        for (int i = 0; i < 3; i++)
            w.calcStats(&map, row(4));
        QCOMPARE(notes(), QStringList{"Stats: bins 100000000 capped at 1000000"});
        QCOMPARE(int(w.hist.counts.size()), stats::MaxBins);
        w.Bins->setText(QStringLiteral("2000000"));
        w.calcStats(&map, row(4));
        QCOMPARE(notes().size(), 2);
        w.Bins->setText(QStringLiteral("50"));
        w.calcStats(&map, row(4));
        QCOMPARE(notes().size(), 2);
    }

    // Values 1, 2, 3, 4 counted in 100 bins; a new count of 3 is counted
    // again at once, with no new calculation asked for: 1, 1, 2.
    void newBinCountRecounts_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed, then Return") << true;
        QTest::newRow("set as stats_bins does") << false;
    }
    void newBinCountRecounts()
    {
        QFETCH(bool, typed);
        Stats w;
        Analyzed2DRes map(QStringLiteral("m"));
        testmaps::fill(map, row(4), [](int x, int) { return x + 1.0; });
        w.calcStats(&map, row(4));
        QCOMPARE(int(w.hist.counts.size()), 100);
        if (typed) {
            w.Bins->selectAll();
            QTest::keyClicks(w.Bins, QStringLiteral("3"));
            QCOMPARE(int(w.hist.counts.size()), 100); // not before Return
            QTest::keyClick(w.Bins, Qt::Key_Return);
        } else {
            w.setBins(3);
        }
        QCOMPARE(QVector<int>(w.hist.counts.begin(), w.hist.counts.end()), (QVector<int>{1, 1, 2}));
        QCOMPARE(w.hist.peak, 2);
    }

    // A Bins field that holds no count counts no bars and shows it; a count
    // typed then counts the same map: values 1, 2, 3, 4 in 3 bins.
    void binsFieldWithoutCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("abc") << "abc";
        QTest::newRow("0") << "0";
        QTest::newRow("-5") << "-5";
        QTest::newRow("2.5") << "2.5";
        QTest::newRow("empty") << "";
    }
    void binsFieldWithoutCount()
    {
        QFETCH(QString, text);
        Stats w;
        Analyzed2DRes map(QStringLiteral("m"));
        testmaps::fill(map, row(4), [](int x, int) { return x + 1.0; });
        w.calcStats(&map, row(4));
        QCOMPARE(int(w.hist.counts.size()), 100);
        const QString plain = w.Bins->styleSheet();
        w.Bins->setText(text);
        w.calcStats(&map, row(4));
        QCOMPARE(int(w.hist.counts.size()), 0);
        QCOMPARE(w.Num->text(), QStringLiteral("0"));
        QCOMPARE(w.Bins->styleSheet(), QStringLiteral("background-color: rgb(255, 170, 170);"));
        w.setBins(3);
        QCOMPARE(w.Bins->styleSheet(), plain);
        QCOMPARE(QVector<int>(w.hist.counts.begin(), w.hist.counts.end()), (QVector<int>{1, 1, 2}));
    }

    // The selected range follows the new map's extremes.
    void rangeRules_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("newLow");
        QTest::addColumn<double>("newHigh");
        // the map's values run from 2 to 3
        QTest::newRow("first calculation: whole range") << 1e300 << -1e300 << 2.0 << 3.0;
        QTest::newRow("narrower map clamps both") << 1.0 << 4.0 << 2.0 << 3.0;
        QTest::newRow("low above the top: whole range") << 3.5 << 4.0 << 2.0 << 3.0;
        QTest::newRow("high below the bottom: whole range") << 0.0 << 1.0 << 2.0 << 3.0;
        QTest::newRow("inside stays") << 2.2 << 2.8 << 2.2 << 2.8;
    }
    void rangeRules()
    {
        StatsRange r;
        QFETCH(double, low);
        QFETCH(double, high);
        r.low = low;
        r.high = high;
        stats::clampRange(r, stats::histogram(listed({2, 3}), row(2), 10));
        QTEST(r.low, "newLow");
        QTEST(r.high, "newHigh");
    }

    // Range statistics weigh the bins' centres by their counts.
    void rangeStatistics_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("variance");
        // values 1, 2, 3, 4 in three bins: centres 1.5, 2.5, 3.5 with counts 1, 1, 2
        QTest::newRow("all") << 1.0 << 4.0 << 4 << 2.75 << 0.6875;
        QTest::newRow("one count: d = 1") << 2.5 << 2.5 << 1 << 2.5 << 0.0;
        QTest::newRow("no centre inside") << 1.6 << 2.4 << 0 << 0.0 << 0.0;
        QTest::newRow("top bin") << 3.0 << 4.0 << 2 << 3.5 << 0.0;
    }
    void rangeStatistics()
    {
        const StatsHist h = stats::histogram(listed({1, 2, 3, 4}), row(4), 3);
        StatsRange r;
        QFETCH(double, low);
        QFETCH(double, high);
        r.low = low;
        r.high = high;
        QVERIFY(stats::rangeStats(r, h));
        QTEST(r.count, "count");
        QTEST(r.mean, "mean");
        QTEST(r.variance, "variance");
        QCOMPARE(r.sigma, std::sqrt(r.variance));
        QVERIFY(!stats::rangeStats(r, h)); // the same range is no news
    }

    // A histogram made by hand: ten bins of 0.1 from 0, counts 3, 0, 1, 0, 0,
    // 0, 0, 0, 2, 4, whose values taken at the centres have the mean 0.59.
    void selectedAreaByBinCentres_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("mean");
        QTest::newRow("full range: the overall mean") << 0.0 << 1.0 << 10 << 0.59;
        QTest::newRow("cut at 0.5: the top two bins") << 0.5 << 1.0 << 6 << 5.5 / 6;
        QTest::newRow("cut at 0.2: not the bin above it") << 0.0 << 0.2 << 3 << 0.05;
        QTest::newRow("one centre, 0.25") << 0.2 << 0.3 << 1 << 0.25;
    }
    void selectedAreaByBinCentres()
    {
        StatsHist h;
        h.min = 0.0;
        h.max = 1.0;
        h.bins = 10;
        h.binWidth = 0.1;
        h.counts = {3, 0, 1, 0, 0, 0, 0, 0, 2, 4};
        StatsRange r;
        QFETCH(double, low);
        QFETCH(double, high);
        r.low = low;
        r.high = high;
        stats::rangeStats(r, h);
        QTEST(r.count, "count");
        QFETCH(double, mean);
        QVERIFY2(std::fabs(r.mean - mean) < 1e-12, qPrintable(QString::number(r.mean, 'g', 17)));
    }

    // Bins of the area beyond the map are not counted and read as no value;
    // a deleted map reads as 0.
    void outsideTheMapAndDeletedMap()
    {
        Stats w;
        auto* map = new Analyzed2DRes(QStringLiteral("m"));
        testmaps::fill(*map, row(2), [](int x, int) { return x == 0 ? 7.0 : 9.0; });
        w.calcStats(map, row(4));
        QCOMPARE(w.hist.n, 2);
        QCOMPARE(w.hist.min, 7.0);
        QCOMPARE(w.hist.mean, 8.0);
        QCOMPARE(w.Num->text(), QStringLiteral("2"));
        QCOMPARE(w.Mean->text(), QStringLiteral("8"));
        w.pointedAt(1.7, 0.2);
        QCOMPARE(w.pointedValue, 9.0);
        w.pointedAt(5, 0);
        QVERIFY(std::isnan(w.pointedValue));
        delete map;
        w.pointedAt(1.7, 0.2);
        QCOMPARE(w.pointedValue, 0.0);
        w.calcStats(nullptr, row(4));
        QCOMPARE(w.hist.n, 2); // nothing recalculated
    }

    // A map from a stack of another size, smaller than the grid: only the
    // bins centred on it count. The 5 x 3 map holds 2 x + 10 y; the bins on
    // the 8 x 5 image are 3 wide and 1 tall, centred at x 1, 4 and 7.
    void mapSmallerThanGrid_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QString>("num");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("sigma");
        QTest::addColumn<QString>("selMean");
        QTest::addColumn<QVector<int>>("counts");
        // 2, 8, 12, 18, 22, 28: sigma sqrt(1804 / 6 - 15^2); two bins, centres 8.5 and 21.5
        QTest::newRow("6 of 15 on it") << QRect(0, 0, 8, 5) << "6" << "15" << "8.69866" << "15"
                                       << QVector<int>{3, 3};
        QTest::newRow("none on it") << QRect(5, 3, 3, 2) << "0" << "" << "" << "" << QVector<int>{};
    }
    void mapSmallerThanGrid()
    {
        QFETCH(QRect, area);
        Stats w;
        Analyzed2DRes map(QStringLiteral("m"));
        const AnalyzeCond own = testmaps::grid(5, 3, 0, 0, 0, 0, 5, 3);
        testmaps::fill(map, own, [](int x, int y) { return 2.0 * x + 10.0 * y; });
        w.setBins(2);
        w.calcStats(&map, own); // numbers from before
        w.calcStats(&map, testmaps::grid(8, 5, 1, 0, area.x(), area.y(), area.width(), area.height()));
        QTEST(w.Num->text(), "num");
        QTEST(w.Mean->text(), "mean");
        QTEST(w.Sigma->text(), "sigma");
        QTEST(w.SelMean->text(), "selMean");
        QTEST(QVector<int>(w.hist.counts.begin(), w.hist.counts.end()), "counts");
    }

    // A map walked over x 2..7, y 1..4 of a 10 x 8 image with bins 3 wide,
    // valued cx + 10 cy: 13, 16, 23, 26, 33, 36, 43, 46 (mean 29.5). Statistics
    // over the whole image count its 24 pixels only and say once, not on
    // every repaint, that the other 56 were left out.
    void walkedRegion_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("hx");
        QTest::addColumn<QString>("num");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("whole image, one-pixel bins")
            << QRect(0, 0, 10, 8) << 0 << "24"
            << QStringList{"Stats of m: 56 of the area's 80 bins hold no result and are left out"};
        QTest::newRow("the walked region") << QRect(2, 1, 6, 4) << 1 << "8" << QStringList{};
        QTest::newRow("a map holding no result") << QRect(0, 0, 10, 8) << 0 << "0" << QStringList{};
    }
    void walkedRegion()
    {
        QFETCH(QRect, area);
        QFETCH(int, hx);
        QFETCH(QStringList, log);
        Stats w;
        Analyzed2DRes map(QStringLiteral("m"));
        const bool none = QString(QTest::currentDataTag()).contains("no result");
        if (none)
            map.setCond(testmaps::grid(10, 8, 1, 0, 2, 1, 6, 4)); // never computed
        else
            testmaps::fill(map, testmaps::grid(10, 8, 1, 0, 2, 1, 6, 4), [](int x, int y) { return x + 10.0 * y; });
        const AnalyzeCond g = testmaps::grid(10, 8, hx, 0, area.x(), area.y(), area.width(), area.height());
        testlog::Capture lines;
        w.calcStats(&map, g);
        w.calcStats(&map, g);
        QTEST(w.Num->text(), "num");
        QCOMPARE(w.Mean->text(), QString::fromLatin1(none ? "0" : "29.5"));
        QCOMPARE(lines.linesStartingWith("Stats of"), log);
        QCOMPARE(w.Num->toolTip(), log.value(0));
    }

    // Processed maps of other sizes: the bins centred off either map keep 0
    // but have no result, so neither the statistics, the map's range nor a
    // deglitch range count them, and a capture keeps that. Map 1 5 x 3 and
    // map 2 6 x 4, map 1 holding x + 1 and map 2 2 everywhere; 3 x 1 bins on a
    // 6 x 4 image centred at x 1 (means 2 and 2) and x 4 (4.5 of the two
    // columns on map 1, and 2); the two at y 3 lie off map 1.
    void processedMapWithoutResults_data()
    {
        QTest::addColumn<int>("op"); // 0 Sub, 1 Div, 2 Mask
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("div") << 1 << 1.625 << 1.0 << 2.25;
        QTest::newRow("sub") << 0 << 1.25 << 0.0 << 2.5;
        QTest::newRow("mask") << 2 << 3.25 << 2.0 << 4.5;
    }
    void processedMapWithoutResults()
    {
        QFETCH(int, op);
        QFETCH(double, mean);
        QFETCH(double, min);
        QFETCH(double, max);
        std::unique_ptr<Body> b = craft::bodyWithStack(6, 4, 1, [](int, int, int) { return 1.0; });
        Analyzer* a = b->analyzer;
        a->SelProcMaps->setChecked(true);
        (op == 0 ? a->ProcTypeSub : op == 1 ? a->ProcTypeDiv : a->ProcTypeMask)->setChecked(true);
        MapProc& mp = a->mapProc;
        testmaps::fill(mp.map1, testmaps::grid(5, 3, 0, 0, 0, 0, 5, 3), [](int x, int) { return x + 1.0; });
        testmaps::fill(mp.map2, testmaps::grid(6, 4, 0, 0, 0, 0, 6, 4), [](int, int) { return 2.0; });
        mp.map1.genImg();
        mp.map2.genImg();
        b->aHWidth_->setText("1");
        b->aVWidth_->setText("0");
        a->processMaps();
        QCOMPARE(mp.procMap.valueAt(1, 3), 0.0); // shown and saved as 0
        QCOMPARE(mp.procMap.valueAt(4, 3), 0.0);
        const auto check = [&] {
            b->showStatistics();
            QCOMPARE(b->stats.hist.n, 6);
            QVERIFY(qAbs(b->stats.hist.mean - mean) < 1e-12);
            QVERIFY(qAbs(b->stats.hist.min - min) < 1e-12);
            QVERIFY(qAbs(b->stats.hist.max - max) < 1e-12);
        };
        a->ShowProcessedMap->setChecked(true);
        check();
        QVERIFY(qAbs(mp.procMap.min - min) < 1e-12);
        QVERIFY(qAbs(mp.procMap.max - max) < 1e-12);
        mp.procMap.deglitch2(1e9); // replaces nothing: the range of the results
        QVERIFY(qAbs(mp.procMap.procMin - min) < 1e-12);
        QVERIFY(qAbs(mp.procMap.procMax - max) < 1e-12);
        QCOMPARE(mp.procMap.procData[3 * 6 + 1], 0.0);
        mp.captureAsMap1();
        a->ShowMap1->setChecked(true);
        check();
    }

    // The low end dragged past the high end: the ends swap on release, and
    // the range is announced once per change.
    void dragLowPastHigh()
    {
        Stats w;
        w.resize(600, 400);
        Analyzed2DRes map(QStringLiteral("m"));
        testmaps::fill(map, row(4), [](int x, int) { return x + 1.0; });
        QSignalSpy announced(&w, &Stats::rangeSelected);
        w.calcStats(&map, row(4));
        QCOMPARE(announced.count(), 1);
        w.calcStats(&map, row(4));
        QCOMPARE(announced.count(), 1);
        w.DA->grab(); // lays out the plot's mapping
        const ChCoord& cc = w.DA->cc;

        w.DA->m.x = int(cc.toScreenX(1.0)) + 3;
        w.mousePressed();
        QCOMPARE(w.grabbed(), 1);
        w.DA->m.x = int(cc.toScreenX(4.0)) + 40;
        w.mouseMoved();
        QVERIFY(w.range.low > 4.0);
        QCOMPARE(announced.count(), 2);
        w.mouseReleased();
        QCOMPARE(w.grabbed(), 0);
        QCOMPARE(w.range.low, 4.0);
        QVERIFY(w.range.high > 4.0);
        QCOMPARE(w.SelMin->text(), QStringLiteral("4"));
        QCOMPARE(announced.count(), 3);
    }

    // The bar of the pointed value is drawn in green over its bin.
    void pointedValueBar()
    {
        Stats w;
        w.resize(600, 400);
        Analyzed2DRes map(QStringLiteral("m"));
        testmaps::fill(map, row(4), [](int x, int) { return x + 1.0; });
        w.setBins(3);
        w.calcStats(&map, row(4));
        const auto greenAt = [&](double x) {
            const QImage img = w.DA->grab().toImage();
            const int sx = int(w.DA->cc.toScreenX(x));
            const int sy = int(w.DA->cc.toScreenY(0.5));
            return img.pixelColor(sx, sy) == QColor(0, 200, 0);
        };
        w.pointedAt(0, 0); // value 1: the first bin, centred at 1.5
        QVERIFY(greenAt(1.5));
        QVERIFY(!greenAt(3.5));
        w.pointedAt(3, 0); // value 4: the last bin
        QVERIFY(greenAt(3.5));
        w.pointedAt(5, 0); // off the map: no bar
        QVERIFY(!greenAt(1.5));
        QVERIFY(!greenAt(3.5));
    }

    void batchWords_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("bins");
        QTest::addColumn<bool>("overImage");
        QTest::addColumn<bool>("inRegion");
        QTest::newRow("show, no parameter") << "stats_show_window" << 146 << true << "100" << false << false;
        QTest::newRow("hide with 0") << "stats_show_window 0" << 146 << false << "100" << false << false;
        QTest::newRow("bins") << "stats_bins 40" << 147 << false << "40" << false << false;
        QTest::newRow("over image") << "stats_over_image 1" << 148 << false << "100" << true << false;
        QTest::newRow("in region") << "stats_in_selected_region 1" << 149 << false << "100" << false << true;
    }
    void batchWords()
    {
        Body body;
        // the hiding row starts from a shown window
        body.stats.setVisible(QString(QTest::currentDataTag()).startsWith("hide"));
        QSignalSpy done(&body, &Body::finishBatchExec);
        QFETCH(QString, line);
        body.execCmdSlot(CmdLine(line), false);
        QCOMPARE(done.count(), 1);
        QTEST(done.first().first().toInt(), "id");
        QTEST(body.stats.isVisible(), "visible");
        QTEST(body.stats.Bins->text(), "bins");
        QTEST(body.stats.ShowOverImage->isChecked(), "overImage");
        QTEST(body.stats.ShowStatsInSelectedArea->isChecked(), "inRegion");
    }

    // Shown over the image, bins off a map smaller than the image are not
    // marked as in the range. 10 x 4 image, 3 x 3 bins centred at x 1, 4, 7;
    // the map (0 everywhere) is 6 wide: the bin at 7 is off it.
    void overlayOffTheMap()
    {
        std::unique_ptr<Body> b = craft::bodyWithStack(10, 4, 2, [](int x, int, int) { return x; });
        for (TiffData* f : b->frameSets.frames(FrameSets::I1))
            f->cBar = b->CBar;
        b->showData(0);
        b->analyzer->setSubMode(0, 3, true);
        Analyzed2DRes* map = b->analyzer->selectedRes();
        QVERIFY(map);
        testmaps::fill(*map, testmaps::grid(6, 4, 0, 0, 0, 0, 6, 4), [](int, int) { return 0.0; });
        b->aHWidth_->setText("1");
        b->aVWidth_->setText("1");
        b->dispA->setFixedSize(400, 160);
        b->dispA->resetImageViewWindow();
        b->stats.setOverImage(true);
        b->statsRangeSet = true;
        b->statsMin = -1;
        b->statsMax = 1;
        const QImage img = b->dispA->grab().toImage();
        auto marked = [&img](double x) { return img.pixelColor(int(x * 40), 40).rgb() == qRgb(255, 200, 200); };
        QVERIFY(marked(3)); // left side of the bin at 4
        QVERIFY(!marked(6)); // left side of the bin at 7
    }

    // The main window's drawing recomputes the statistics; the range it
    // announces once must not make the display repaint without end.
    void repaintsStayBounded()
    {
        InTempDir cwd; // the sum-up writes its picture into the working folder
        std::unique_ptr<Body> b = craft::bodyWithStack(8, 6, 3, [](int x, int y, int k) { return x + y + k; });
        b->analyzer->SelSumUp->setChecked(true);
        b->analyzer->SumUpC->add();
        b->doSumUp();
        b->stats.setOverImage(true);
        b->show();
        QVERIFY(QTest::qWaitForWindowExposed(b.get()));
        PaintCounter counter;
        b->dispA->installEventFilter(&counter);
        b->showStatistics();
        QTRY_VERIFY(b->statsRangeSet);
        QTRY_VERIFY(counter.paints > 0);
        const int settled = counter.paints;
        for (int i = 0; i < 50; i++)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QVERIFY2(counter.paints <= settled + 2, qPrintable(QString::number(counter.paints)));
        QCOMPARE(b->statsMin, b->stats.range.low);
        QCOMPARE(b->statsMax, b->stats.range.high);
    }

    // A picture of the window over a summed map of a stack with a bright disc.
    void shot()
    {
        const auto disc = [](int x, int y, int k) {
            const double r = std::hypot(x - 40.0, y - 28.0);
            return 100.0 + 2.0 * x + (r < 15 ? 400.0 + 10.0 * k : 0.0) + ((x * 7 + y * 13) % 11) * 5.0;
        };
        InTempDir cwd;
        std::unique_ptr<Body> b = craft::bodyWithStack(64, 48, 20, disc);
        b->analyzer->SelSumUp->setChecked(true);
        b->analyzer->SumUpC->add();
        b->doSumUp();
        b->stats.setBins(60);
        b->stats.setCalcInSelectedRegion(true);
        b->showStatistics();
        b->stats.range.low = b->stats.hist.min + 0.6 * (b->stats.hist.max - b->stats.hist.min);
        b->showStatistics();
        b->stats.resize(900, 420);
        b->stats.pointedAt(40, 28);
        const QImage img = b->stats.grab().toImage();
        QVERIFY(img.save(testreg::shotsDir() + "/stats_window.png"));
        QCOMPARE(b->stats.Num->text(), QString::number(64 * 48));
    }
};

CORVELLINE_TEST(TestStats)
#include "tst_stats.moc"
