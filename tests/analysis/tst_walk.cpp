#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "support/InTempDir.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/ElemCtrl.h"
#include "analysis/LCFReference.h"
#include "foundation/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

// The synthetic stack: 120 energies from 8900 eV in 2 eV steps; the bin at
// (x, y) has an edge rising over 10 eV around 8990 + 2x with a jump of 1 + y/4.
double edgeAt(int x) { return 8990.0 + 2.0 * x; }
double jumpAt(int y) { return 1.0 + 0.25 * y; }

Spectrum stackPoints(int cx, int cy)
{
    const double e0 = edgeAt(cx);
    const double jump = jumpAt(cy);
    return sampled(8900, 8900 + 2 * 119, 2.0, [=](double e) { return rampValue(e, e0 - 5, e0 + 5, 0, jump); });
}

bool writeRamp(const QString& path, double centre)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const Spectrum s = rampSpectrum(8850, 9200, 1.0, centre - 5, centre + 5);
    for (int i = 0; i < s.size(); ++i)
        f.write(QString("%1 %2\n").arg(s.x(i), 0, 'g', 10).arg(s.y(i), 0, 'g', 10).toUtf8());
    return true;
}

const auto area = testmaps::grid;

// A panel, its walk over the synthetic stack, and what came out of them.
struct Rig {
    Analyzer panel;
    AnalysisWalk* walk = panel.engine()->walk();
    QMutex lock;
    QList<QPoint> sent;        // bin centres read by the workers, in any order
    QStringList progress;      // Progress texts as they changed
    QList<int> ids;            // finishBatchExec
    std::function<Spectrum(int, int)> points = stackPoints;

    Rig()
    {
        QObject::connect(walk, &AnalysisWalk::progress, [this] { noteProgress(); });
        QObject::connect(walk, &AnalysisWalk::finishBatchExec, [this](int id) { ids << id; });
    }
    void noteProgress()
    {
        const QString t = panel.Progress->text();
        if (progress.isEmpty() || progress.last() != t)
            progress << t;
    }
    int sentCount()
    {
        QMutexLocker l(&lock);
        return int(sent.size());
    }
    bool start(const AnalyzeCond& c)
    {
        AnalysisWalk::Setup s;
        s.settings = panel.walkSettings();
        s.source = [this](int cx, int cy, int, int, Spectrum& out) {
            {
                QMutexLocker l(&lock);
                sent << QPoint(cx, cy);
            }
            out = points(cx, cy);
        };
        for (int k = 0; k < 120; ++k)
            s.energies.push_back(8900 + 2.0 * k);
        return walk->start(c, s, panel.walkMaps());
    }
};

} // namespace

class TestWalk : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;
    QTemporaryDir tmp;

    void useReferences(Analyzer& a)
    {
        a.lcfRefs[0]->XFS->load(tmp.filePath("a.dat"));
        a.lcfRefs[1]->XFS->load(tmp.filePath("b.dat"));
    }

private slots:
    void initTestCase()
    {
        bar.install();
        QVERIFY(tmp.isValid());
        QVERIFY(writeRamp(tmp.filePath("a.dat"), edgeAt(0)));
        QVERIFY(writeRamp(tmp.filePath("b.dat"), edgeAt(9)));
    }
    void cleanupTestCase() { bar.remove(); }

    // Every analysis over a 10 x 4 stack with one-pixel bins, through the
    // panel's settings and maps: values known without the analyses. The
    // feature-value pictures go into a folder of the test's own.
    void walkOverStack()
    {
        InTempDir dir;
        Rig rig;
        Analyzer& a = rig.panel;
        useReferences(a);
        a.setTargetElements("Cu");
        for (int sub = 0; sub < 5; ++sub)
            a.setSubMode(0, sub, true);
        QVERIFY(rig.start(area(10, 4, 0, 0, 0, 0, 10, 4)));
        QVERIFY(rig.walk->running() && a.contAccess());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        QVERIFY(!a.contAccess());

        QCOMPARE(rig.sentCount(), 40);
        QCOMPARE(rig.ids, QList<int>({116}));
        QCOMPARE(rig.progress, QStringList({" 0.00", "25.00", "50.00", "75.00", "100.00"}));
        // Ramps hold no absorption maximum: no bin adds a feature point.
        QCOMPARE(a.fvPoints.count(), 0);
        QVERIFY(dir.has("fvMap.png") && dir.has("fvHMap.png"));
        QVERIFY(a.elemUnit.elems.value(0)->map(6)->valid);

        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 10; ++x) {
                const QByteArray where = QString("bin %1,%2").arg(x).arg(y).toLatin1();
                const char* at = where.constData();
                // The pure edges of the two references, the jump, the ratio of
                // what remains to the jump, and the mid-point of the edge.
                if (x == 0 || x == 9) {
                    QVERIFY2(sameValue(a.lcfResMap(0, 1)->valueAt(x, y), x == 0 ? 1.0 : 0.0, 1e-9), at);
                    QVERIFY2(sameValue(a.lcfResMap(1, 1)->valueAt(x, y), x == 9 ? 1.0 : 0.0, 1e-9), at);
                    QVERIFY2(sameValue(a.lcfResMap(0, 0)->valueAt(x, y), x == 0 ? jumpAt(y) : 0.0, 1e-9), at);
                }
                QVERIFY2(sameValue(a.raDMutMap.valueAt(x, y), jumpAt(y), 1e-9), at);
                // Rest = -jump; its least is -1.75, so r = 1.75 - jump and d + r = 1.75.
                QVERIFY2(sameValue(a.raRatiMap.valueAt(x, y), (1.75 - jumpAt(y)) / 1.75, 1e-9), at);
                QVERIFY2(sameValue(a.dEdgeMap.valueAt(x, y), edgeAt(x) - SuggestElm().edgeEV, 1.0), at);
            }
        }
    }

    // Half width 1 over a 9-pixel-wide, one-row area.
    void binCentres()
    {
        const int hx = 1;
        const QList<int> centres{1, 4, 7};
        Rig rig;
        rig.panel.setSubMode(0, 0, true);
        QVERIFY(rig.start(area(10, 1, hx, 0, 0, 0, 9, 1)));
        QTRY_VERIFY(!rig.walk->running());
        QList<int> xs;
        for (const QPoint& p : std::as_const(rig.sent))
            xs << p.x();
        std::sort(xs.begin(), xs.end());
        QCOMPARE(xs, centres);
        // Each bin's value fills its 2 hx + 1 columns.
        const Analyzed2DRes& m = rig.panel.dEdgeMap;
        for (int cx : centres) {
            for (int d = -hx; d <= hx; ++d) {
                if (cx + d < 10)
                    QCOMPARE(m.valueAt(cx + d, 0), m.valueAt(cx, 0));
            }
        }
        // One row: the progress goes from 0 straight to the end.
        QCOMPARE(rig.progress, QStringList({" 0.00", "100.00"}));
    }

    void stopThenRestart_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop, then start") << "stop";
        QTest::newRow("start while running stops") << "toggle";
    }
    void stopThenRestart()
    {
        QFETCH(QString, how);
        Rig rig;
        rig.panel.setSubMode(0, 0, true);
        rig.panel.setSubMode(0, 3, true);
        const AnalyzeCond c = area(10, 4, 0, 0, 0, 0, 10, 4);
        QVERIFY(rig.start(c));
        // The first rows are on their way when the walk is stopped.
        if (how == "stop")
            rig.walk->stop();
        else
            QVERIFY(!rig.start(c));
        QVERIFY(!rig.walk->running() && !rig.panel.contAccess());
        QCOMPARE(rig.ids, QList<int>({116}));
        QVERIFY(rig.start(c));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        QCOMPARE(rig.ids, QList<int>({116, 116}));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 10; ++x)
                QCOMPARE(rig.panel.raDMutMap.valueAt(x, y), jumpAt(y));
        }
    }

    // A walk stopped once two of the four rows of bins 3 wide are in: the
    // line says where it stopped, the rows never reached hold no result (no
    // zeros that pass for jumps), and a save of the map counts its bins.
    void stoppedPartWay()
    {
        Rig rig;
        rig.panel.setSubMode(0, 3, true);
        QSignalSpy stopped(rig.walk, &AnalysisWalk::stopped);
        QObject::connect(rig.walk, &AnalysisWalk::progress, rig.walk, [&rig] {
            if (rig.walk->running() && rig.walk->cond().cy >= 2)
                rig.walk->stop();
        });
        QVERIFY(rig.start(area(12, 4, 1, 0, 0, 0, 12, 4)));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(stopped.at(0).at(0).toString(),
                 QStringLiteral("2D analysis stopped at bin (1, 2), 50.00 % of the rows: 8 of 16 bins analysed, "
                                "the others hold no result"));
        const Analyzed2DRes& m = rig.panel.raDMutMap;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 12; ++x) {
                QCOMPARE(m.onMap(x, y), y < 2);
                if (y < 2)
                    QCOMPARE(m.valueAt(x, y), jumpAt(y));
            }
        }
        // Drawn as far as it went, the rows of jumps 1 and 1.25 at both ends of the scale.
        QVERIFY(m.valid && m.image);
        QCOMPARE(qGray(m.image->pixel(0, 0)), 0);
        QCOMPARE(qGray(m.image->pixel(11, 1)), 255);
        qint64 all = 0;
        QCOMPARE(m.resultBins(all), qint64(8));
        QCOMPARE(all, qint64(16));
        QCOMPARE(m.savedBinsNote("d.dat"),
                 QStringLiteral("d.dat: 8 of the map's 16 bins hold a result; the other 8 hold none"));
    }

    // An ended or stopped walk keeps none of the maps it wrote into: rows
    // rebuilt after it free theirs, and a late redraw leaves every map alone.
    void mapsLetGo_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("ended") << false;
        QTest::newRow("stopped") << true;
    }
    void mapsLetGo()
    {
        QFETCH(bool, stopped);
        Rig rig;
        Analyzer& a = rig.panel;
        a.setTargetElements("Fe Cu");
        a.setSubMode(0, 2, true);
        a.setSubMode(0, 3, true);
        QVERIFY(rig.start(area(10, 4, 0, 0, 0, 0, 10, 4)));
        if (stopped)
            rig.walk->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        a.setTargetElements("Zn");
        QCOMPARE(a.elemUnit.elems.size(), 1);
        const std::vector<double> ratio = a.raRatiMap.data;
        a.raRestMap.setData(0, 0, 0, 0, -100.0); // would change every ratio
        rig.walk->generateResImages();
        QVERIFY(a.raRatiMap.data == ratio);
    }

    // 3 x 3 bins over x 3..8, y 2..7 of a 12 x 9 image; the bins' pre-edge
    // levels 0.5 + 0.1 cx + 0.05 cy make the rests b - factor * jump. Ratios at
    // the centres (4,3) (7,3) (4,6) (7,6), worked out by hand.
    void ratioOverRegion_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QList<double>>("ratios");
        // rests 1.05 1.35 1.2 1.5, all positive: m is the region's 1.05
        QTest::newRow("factor 0") << 0.0 << QList<double>{0.0, 0.3 / 2.05, 0.15 / 2.65, 0.45 / 2.95};
        // rests -0.7 -0.4 -1.3 -1.0
        QTest::newRow("factor 1") << 1.0 << QList<double>{0.6 / 2.35, 0.9 / 2.65, 0.0, 0.3 / 2.8};
    }
    void ratioOverRegion()
    {
        QFETCH(double, factor);
        QFETCH(QList<double>, ratios);
        Rig rig;
        rig.points = [](int cx, int cy) {
            const double b = 0.5 + 0.1 * cx + 0.05 * cy;
            return sampled(8900, 9138, 2.0, [=](double e) { return rampValue(e, 8990, 9000, b, b + jumpAt(cy)); });
        };
        rig.panel.setRaFactor(factor);
        rig.panel.setSubMode(0, 3, true);
        QVERIFY(rig.start(area(12, 9, 1, 1, 3, 2, 6, 6)));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        const Analyzed2DRes& m = rig.panel.raRatiMap;
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool in = x >= 3 && x <= 8 && y >= 2 && y <= 7;
                const double want = in ? ratios[(x - 3) / 3 + 2 * ((y - 2) / 3)] : 0.0;
                QVERIFY2(sameValue(m.valueAt(x, y), want, 1e-9), qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        }
        double lo, hi;
        m.displayRange(lo, hi);
        QVERIFY(sameValue(lo, *std::min_element(ratios.cbegin(), ratios.cend()), 1e-9));
        QVERIFY(sameValue(hi, *std::max_element(ratios.cbegin(), ratios.cend()), 1e-9));
    }

    // With "Disp. on Time" the feature-value window is redrawn with every row
    // after the first, but its two pictures are written once, as the walk ends
    // or stops: a folder in the way of fvMap.png is told once per walk.
    void fvPicturesOncePerWalk_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QList<bool>>("draws"); // whether each redraw is the walk's last
        QTest::newRow("ended") << false << QList<bool>{false, false, false, true};
        QTest::newRow("stopped after two rows") << true << QList<bool>{false, false, true};
    }
    void fvPicturesOncePerWalk()
    {
        QFETCH(bool, stopped);
        InTempDir dir;
        QVERIFY(QDir().mkdir("fvMap.png"));
        Rig rig;
        rig.panel.DispOnTime->setChecked(true);
        rig.panel.setSubMode(0, 4, true);
        QList<bool> draws;
        QObject::connect(rig.walk, &AnalysisWalk::imagesGenerated, [&draws](bool ends) { draws << ends; });
        if (stopped) {
            QObject::connect(rig.walk, &AnalysisWalk::progress, rig.walk, [&rig] {
                if (rig.walk->running() && rig.walk->cond().cy >= 2)
                    rig.walk->stop();
            });
        }
        QStringList told;
        const SaveFailureSink before = setSaveFailureSink([&told](const QString& l) { told << l; });
        QVERIFY(rig.start(area(10, 4, 0, 0, 0, 0, 10, 4)));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        setSaveFailureSink(before);
        QTEST(draws, "draws");
        QCOMPARE(told, QStringList{"Can't save " + QFileInfo("fvMap.png").absoluteFilePath() + ": Is a directory"});
        QVERIFY(dir.has("fvHMap.png"));
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("sel2DA");
        QTest::newRow("no analysis chosen") << true;
        QTest::newRow("2D analysis not the main mode") << false;
    }
    void refusals()
    {
        QFETCH(bool, sel2DA);
        Rig rig;
        if (!sel2DA) {
            rig.panel.setSubMode(0, 1, true);
            rig.panel.setMainMode(1);
        }
        QVERIFY(!rig.start(area(10, 4, 0, 0, 0, 0, 10, 4)));
        QCOMPARE(rig.ids, QList<int>({116}));
        QVERIFY(rig.sent.isEmpty());
    }

    // While a walk runs, nothing may change the rows it writes into; the pointed
    // spectrum is still analysed.
    void heldDuringWalk()
    {
        Rig rig;
        Analyzer& a = rig.panel;
        a.setTargetElements("Fe Cu");
        a.setSubMode(0, 2, true);
        QVERIFY(rig.start(area(10, 4, 0, 0, 0, 0, 10, 4)));
        QSignalSpy single(&a, &Analyzer::finished);
        a.addNewRef();
        a.setTargetElements("Zn");
        a.setElemsStd(); // would rebuild the correlation maps the walk fills
        QCOMPARE(a.Progress->text(), QString(" 0.00"));
        a.analyzeAndShowSpectrum(XafsSpectrum(stackPoints(2, 2), "s", 1, 0.0, SuggestElm()), SuggestElm());
        QCOMPARE(a.lcfRefs.size(), 4);
        QCOMPARE(a.elemUnit.elems.size(), 2);
        QTRY_COMPARE(single.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.walk->running(), 60000);
        QCOMPARE(rig.ids, QList<int>({116}));
        a.addNewRef();
        QCOMPARE(a.lcfRefs.size(), 5);
    }

    void areaLabel()
    {
        QCOMPARE(AnalysisWalk::areaLabel(area(640, 480, 2, 2, 10, 20, 40, 20)),
                 QString("Area(640,480), Bin(2,2), x(10,50,5), y(20,40,5), idx(12,22)"));
    }
};

CORVELLINE_TEST(TestWalk)
#include "tst_walk.moc"
