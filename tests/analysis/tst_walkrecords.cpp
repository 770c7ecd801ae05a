#include "support/EdgeSpectra.h"
#include "support/InTempDir.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/Analyzer.h"
#include "analysis/BinAnalysis.h"
#include "analysis/EdgePosition.h"
#include "analysis/FVView.h"
#include "analysis/LCFFit.h"
#include "display/XafsFileSelect.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

using BinFn = std::function<double(int, int, double)>; // (cx, cy, energy) -> absorption

// A walk of the panel's chosen analyses over one-pixel bins of a W x H area,
// energies 8900 .. 9100 eV in 1 eV steps; true once it has ended.
bool walkOver(Analyzer& a, int W, int H, const BinFn& f, double edgeEV = SuggestElm().edgeEV)
{
    AnalysisWalk::Setup s;
    s.settings = a.walkSettings();
    s.sElm.edgeEV = edgeEV;
    s.source = [f](int cx, int cy, int, int, Spectrum& out) {
        out = sampled(8900, 9100, 1.0, [&](double e) { return f(cx, cy, e); });
    };
    for (int k = 0; k <= 200; ++k)
        s.energies.push_back(8900 + k);
    AnalysisWalk* w = a.engine()->walk();
    if (!w->start(testmaps::grid(W, H, 0, 0, 0, 0, W, H), s, a.walkMaps()))
        return false;
    return QTest::qWaitFor([w] { return !w->running(); }, 60000);
}

// An edge rising over 10 eV around 8990 + 0.5 x: shifted 0 to 2 eV across x.
double shiftedEdge(int cx, int, double e) { return rampValue(e, 8985 + 0.5 * cx, 8995 + 0.5 * cx); }

// An edge at 8995 .. 9005 with a white line at 9015 of height `peak` and a dip
// at `dip`.
double whiteLine(double e, double peak, double dip)
{
    return rampValue(e, 8995, 9005) + peak * std::exp(-(e - 9015) * (e - 9015) / 8.0)
           - 0.2 * std::exp(-(e - dip) * (e - dip) / 8.0);
}

// Energies 8900 .. 9140 eV every 2 eV, or an uneven grid: coarse below the
// edge, fine across it, coarser above.
std::vector<double> energyGrid(bool uneven)
{
    std::vector<double> e;
    if (!uneven) {
        for (int k = 0; k <= 120; ++k)
            e.push_back(8900 + 2.0 * k);
        return e;
    }
    for (double x = 8900; x < 8980; x += 5)
        e.push_back(x);
    for (double x = 8980; x < 9020; x += 0.5)
        e.push_back(x);
    for (double x = 9020; x <= 9150; x += 6.5)
        e.push_back(x);
    return e;
}

double refA(double e) { return rampValue(e, 8985, 8995); }
double refB(double e) { return rampValue(e, 8991, 9003) + 0.3 * std::exp(-(e - 9008) * (e - 9008) / 20.0); }

// A mixture of the references by x with a jump growing with y, on a sloping
// background, with a ripple that differs from bin to bin.
Spectrum mixedBin(int cx, int cy, const std::vector<double>& energies)
{
    const double f = 0.15 + 0.1 * cx, jump = 1.0 + 0.17 * cy;
    Spectrum s;
    for (double e : energies)
        s.append(e, 0.3 + 2e-4 * (e - 8900) + jump * (f * refA(e) + (1 - f) * refB(e))
                        + 0.004 * std::sin(0.37 * e + cx - 2.0 * cy));
    return s;
}
} // namespace

class TestWalkRecords : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        bar.install();
        QVERIFY(tmp.isValid());
        // The foil of the stack: its own edge at 8990 eV; and one with its edge
        // near its low end, at 8860 eV.
        QVERIFY(writeRamp(tmp.filePath("foil.dat"), 8985));
        QVERIFY(writeRamp(tmp.filePath("early.dat"), 8855));
    }
    bool writeRamp(const QString& path, double from)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        const Spectrum s = rampSpectrum(8850, 9200, 1.0, from, from + 10);
        for (int i = 0; i < s.size(); ++i)
            f.write(QString("%1 %2\n").arg(s.x(i), 0, 'g', 10).arg(s.y(i), 0, 'g', 10).toUtf8());
        return true;
    }
    void cleanupTestCase() { bar.remove(); }

    // The edge compared with the chosen target of each walk: the file's
    // spectrum comes back when "File" is checked again after a walk with the step.
    void compareWithChosenTarget_data()
    {
        QTest::addColumn<QList<int>>("targets"); // 0 file, 1 step, one walk each
        QTest::newRow("file") << QList<int>{0};
        QTest::newRow("file, step") << QList<int>{0, 1};
        QTest::newRow("file, step, file again") << QList<int>{0, 1, 0};
        QTest::newRow("step, file") << QList<int>{1, 0};
    }
    void compareWithChosenTarget()
    {
        QFETCH(QList<int>, targets);
        Analyzer a;
        a.setSubMode(0, 0, true);
        a.setDEdgeMode(1);
        a.setDEdgeCompStepParams(8995, 300, 0.5);
        a.DEdgeCWFileSelect->load(tmp.filePath("foil.dat"));
        for (int t : targets) {
            a.setDEdgeCompTarget(t);
            QVERIFY(walkOver(a, 5, 2, shiftedEdge));
        }
        // The shift of a bin's edge over the target's: 0.5 x over the foil at
        // 8990 eV, to the search's last step; about 0.5 x - 5 over the step at
        // 8995 eV, which is not the foil's shape.
        const bool file = targets.last() == 0;
        const double off = file ? 0.0 : -5.0;
        const double tol = file ? 0.05 : 0.5;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x) {
                const double got = a.dEdgeMap.valueAt(x, y);
                QVERIFY2(std::fabs(got - (0.5 * x + off)) < tol,
                         qPrintable(QString("bin %1,%2: %3").arg(x).arg(y).arg(got)));
            }
    }

    // Edges aligned, the bin at 9090 eV meets the early comparison on at most
    // 31 of its 201 points within the search of ±10 eV; the bin at 8990 eV on
    // 111 at least. The first holds no result, and the walk says so once.
    void binWithoutOverlapHoldsNoResult()
    {
        Analyzer a;
        a.setSubMode(0, 0, true);
        a.setDEdgeMode(1);
        a.setDEdgeCompParams(20, 1, 0.1);
        a.DEdgeCWFileSelect->load(tmp.filePath("early.dat"));
        a.setDEdgeCompTarget(0);
        QSignalSpy told(a.engine()->walk(), &AnalysisWalk::told);
        QVERIFY(walkOver(a, 2, 1, [](int cx, int, double e) {
            return cx == 0 ? rampValue(e, 8985, 8995) : rampValue(e, 9085, 9095);
        }));
        QVERIFY(a.dEdgeMap.onMap(0, 0));
        QVERIFY(std::fabs(a.dEdgeMap.valueAt(0, 0) - 130.0) < 0.05);
        QVERIFY(!a.dEdgeMap.onMap(1, 0));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0][0].toString().startsWith("Edge position: 1 of 2 bins hold no result: no shift"),
                 qPrintable(told[0][0].toString()));
    }

    // Only bins with an absorption maximum add a point; their points are as
    // before. Columns: 0 the bare edge, 1 and 2 a white line (height 0.5 in row
    // 0, 0.8 in row 1) with the dip at 9030 and 9034 eV.
    // Every map of a walk holds, bin for bin, exactly what the analyses of
    // each bin's spectrum give when called one by one.
    void mapsAsBinByBin_data()
    {
        QTest::addColumn<int>("fit");   // -1 none, else LCFFit::Method
        QTest::addColumn<int>("edge");  // -1 none, 0 mid-point at 0.5, 1 at 0.45, 2 comparison
        QTest::addColumn<int>("half");  // bin half size
        QTest::addColumn<bool>("uneven");
        QTest::addColumn<double>("from"); // fit range
        QTest::addColumn<double>("to");
        QTest::addColumn<bool>("shifted");
        QTest::newRow("LCF, 1 x 1") << 0 << -1 << 0 << false << 0.0 << 30000.0 << false;
        QTest::newRow("LCF on a cut range, 3 x 3") << 0 << -1 << 1 << false << 8961.0 << 9077.0 << false;
        QTest::newRow("old LCF, shifted bins") << 1 << -1 << 0 << false << 8950.0 << 9100.0 << true;
        QTest::newRow("MLCF, uneven grid") << 2 << -1 << 0 << true << 8961.0 << 9077.0 << false;
        QTest::newRow("MLCF, shifted, 3 x 3") << 2 << -1 << 1 << false << 0.0 << 30000.0 << true;
        QTest::newRow("edge at the stored fraction") << -1 << 0 << 0 << false << 0.0 << 0.0 << false;
        QTest::newRow("edge at 0.45, uneven grid") << -1 << 1 << 0 << true << 0.0 << 0.0 << true;
        QTest::newRow("edge by comparison, 3 x 3") << -1 << 2 << 1 << false << 0.0 << 0.0 << false;
        QTest::newRow("LCF and edge, uneven, shifted, 3 x 3") << 0 << 1 << 1 << true << 8970.0 << 9120.0 << true;
    }
    void mapsAsBinByBin()
    {
        QFETCH(int, fit);
        QFETCH(int, edge);
        QFETCH(int, half);
        QFETCH(bool, uneven);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(bool, shifted);
        const std::vector<double> energies = energyGrid(uneven);
        auto shiftAt = [shifted](int cx, int cy) { return shifted ? 0.3 * cx - 0.7 * cy : 0.0; };

        AnalysisWalk::Setup s;
        AnalysisSettings& set = s.settings;
        set.choice.lcf = fit >= 0;
        set.choice.dEdge = edge >= 0;
        set.lcf.rowCount = 2;
        set.lcf.isMLCF = fit == LCFFit::Multi;
        set.lcfOld = fit == LCFFit::Old;
        set.lcf.sE0 = from;
        set.lcf.eE0 = to;
        set.lcf.writeRows = false;
        auto ref = [](double (*f)(double)) {
            return XafsSpectrum(sampled(8850, 9200, 1.0, f), "r", 1, 0.0, SuggestElm());
        };
        set.lcf.refs = {LCFRefData::of(ref(refA), 0, 0.0), LCFRefData::of(ref(refB), 1, 1.5)};
        set.dEdge.isMidPoint = edge != 2;
        set.dEdge.midRatio = edge == 1 ? 0.45 : 0.5;
        set.dEdge.ref = ref(refA);
        s.energies = energies;
        s.viewW = half;
        s.viewH = half;
        s.source = [energies](int cx, int cy, int, int, Spectrum& out) { out = mixedBin(cx, cy, energies); };
        s.shiftAt = shiftAt;

        std::vector<std::unique_ptr<Analyzed2DRes>> got, want;
        for (int i = 0; i < 6; ++i) {
            got.push_back(std::make_unique<Analyzed2DRes>("got"));
            want.push_back(std::make_unique<Analyzed2DRes>("want"));
        }
        AnalysisWalk::Maps m;
        m.lcf = {got[0].get(), got[1].get(), got[2].get(), got[3].get()};
        m.zansa = got[4].get();
        m.dEdge = got[5].get();
        const AnalyzeCond grid = testmaps::grid(8, 7, half, half, 0, 0, 8, 7);
        AnalysisWalk walk;
        walk.setWorkers(3);
        QVERIFY(walk.start(grid, s, m));
        QTRY_VERIFY_WITH_TIMEOUT(!walk.running(), 60000);

        // The bin's values one by one: its spectrum, the spectrum cut to the fit
        // range, the single-spectrum fit, the edge.
        auto values = [&](int cx, int cy) {
            const XafsSpectrum x(mixedBin(cx, cy, energies), "Body-AaP", 1, shiftAt(cx, cy), SuggestElm());
            std::vector<double> v(6, 0.0);
            if (fit >= 0) {
                LCFRequest r = set.lcf;
                r.s = limitedSpectrum(x, from, to);
                const AnalyzeReply a = LCFFit::fit(r, LCFFit::Method(fit));
                v = {a.lcfDMuts[0], a.lcfDMuts[1], a.lcfRatios[0], a.lcfRatios[1], a.z, 0.0};
            }
            if (edge >= 0)
                v[5] = EdgePosition::dEdge(set.dEdge, x);
            return v;
        };
        for (int i = 0; i < 6; ++i)
            testmaps::fill(*want[size_t(i)], grid, [&](int cx, int cy) { return values(cx, cy)[size_t(i)]; });
        for (int i = 0; i < 6; ++i) {
            if ((i < 5 && fit < 0) || (i == 5 && edge < 0))
                continue;
            QVERIFY2(got[size_t(i)]->data == want[size_t(i)]->data, qPrintable(QString("map %1").arg(i)));
        }
        // Not a table of zeros: the fractions follow the mixture.
        if (fit >= 0)
            QVERIFY(got[2]->valueAt(0, 0) != got[2]->valueAt(7, 0));
    }

    void featurePointsOnlyWithMaximum()
    {
        InTempDir dir;
        Analyzer a;
        a.setSubMode(0, 4, true);
        auto f = [](int cx, int cy, double e) {
            return cx == 0 ? rampValue(e, 8995, 9005) : whiteLine(e, 0.5 + 0.3 * cy, 9026 + 4 * cx);
        };
        QVERIFY(walkOver(a, 3, 2, f, 9000.0));
        // Each point: y the dip's bottom less the maximum at 9015 eV; x the
        // maximum's height, the same for both dips of a row, higher in row 1.
        QCOMPARE(a.fvPoints.count(), 4);
        QCOMPARE(a.fvPoints.y.values, QVector<double>({15, 19, 15, 19}));
        const QVector<double>& dM = a.fvPoints.x.values;
        QVERIFY(dM[0] > 1.0 && std::fabs(dM[1] - dM[0]) < 1e-3);
        QVERIFY(dM[2] > dM[0] + 0.1 && std::fabs(dM[3] - dM[2]) < 1e-3);
        QCOMPARE(a.fvPoints.y.min, 15.0);
        QCOMPARE(a.fvPoints.y.max, 19.0);
    }

    // Two phases side by side: x 0 a white line of 0.5 with its dip at
    // 9030 eV (e2 - e1 15), x 1 one of 0.8 with the dip at 9034 (19); x 2 a
    // white line and no rise after it (no e2). The picture holds both phases,
    // at the two ends of its range, and the bins without e2 are counted.
    void featurePictureHoldsBothPhases()
    {
        InTempDir dir;
        Analyzer a;
        a.setSubMode(0, 4, true);
        auto f = [](int cx, int, double e) {
            if (cx == 2)
                return rampValue(e, 8995, 9005) + 0.6 * std::exp(-(e - 9015) * (e - 9015) / 8.0);
            return cx == 0 ? whiteLine(e, 0.5, 9030) : whiteLine(e, 0.8, 9034);
        };
        QVERIFY(walkOver(a, 3, 2, f, 9000.0));
        QCOMPARE(a.fvPoints.count(), 4);
        QCOMPARE(a.fvPoints.y.values, QVector<double>({15, 19, 15, 19}));
        a.updateFVMap();
        const QImage pic(QStringLiteral("fvMap.png"));
        QCOMPARE(pic.size(), QSize(512, 512));
        const QRgb blue = qRgba(0, 0, 255, 255);
        QCOMPARE(pic.pixel(0, 511), blue);  // least dM, least e2 - e1
        QCOMPARE(pic.pixel(511, 0), blue);  // largest of both
        QCOMPARE(a.fvView()->fvCount_->text(),
                 QStringLiteral("4 points; left out: 0 bins without a maximum, 2 without e2"));
    }
};

CORVELLINE_TEST(TestWalkRecords)
#include "tst_walkrecords.moc"
