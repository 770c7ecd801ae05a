#include "support/EdgeSpectra.h"
#include "support/InTempDir.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzer.h"
#include "display/XafsFileSelect.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

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
        // The foil of the stack: its own edge at 8990 eV.
        QFile f(tmp.filePath("foil.dat"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
        const Spectrum s = rampSpectrum(8850, 9200, 1.0, 8985, 8995);
        for (int i = 0; i < s.size(); ++i)
            f.write(QString("%1 %2\n").arg(s.x(i), 0, 'g', 10).arg(s.y(i), 0, 'g', 10).toUtf8());
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

    // Only bins with an absorption maximum add a point; their points are as
    // before. Columns: 0 the bare edge, 1 and 2 a white line (height 0.5 in row
    // 0, 0.8 in row 1) with the dip at 9030 and 9034 eV.
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
};

CORVELLINE_TEST(TestWalkRecords)
#include "tst_walkrecords.moc"
