#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/AnalysisEngine.h"
#include "analysis/AnalyzeProc.h"
#include "foundation/WorkerThread.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

// The stack: 120 energies from 8900 eV; the bin at (x, y) mixes edge A
// (8995 eV) and edge B (9001 eV), each 4 eV wide, as x / 9 : 1 - x / 9, with a
// jump of 1 + y / 4. Both edges lie between the pre-edge and post-edge regions.
const double EdgeA = 8995.0;
const double EdgeB = 9001.0;
const double HalfWidth = 2.0;
double fractionAt(int x) { return x / 9.0; }
double jumpAt(int y, double scale) { return scale * (1.0 + 0.25 * y); }

Spectrum stackPoints(int x, int y, double scale)
{
    const double f = fractionAt(x);
    const double j = jumpAt(y, scale);
    return sampled(8900, 9138, 2.0, [=](double e) {
        return j * (f * rampValue(e, EdgeA - HalfWidth, EdgeA + HalfWidth) + (1 - f) * rampValue(e, EdgeB - HalfWidth, EdgeB + HalfWidth));
    });
}

AnalysisSettings allFive()
{
    AnalysisSettings s;
    s.choice = {true, true, true, true, true};
    s.lcf.rowCount = 2;
    s.lcf.refs = {refDataOf(rampSpectrum(8850, 9200, 1.0, EdgeA - HalfWidth, EdgeA + HalfWidth), 0, 0.0),
                  refDataOf(rampSpectrum(8850, 9200, 1.0, EdgeB - HalfWidth, EdgeB + HalfWidth), 1, 0.0)};
    s.lcf.writeRows = false;
    ElemRowConds row;
    row.e0 = 9000.0;
    row.roiS = 9050.0;
    row.roiE = 9100.0;
    s.elems.rows = {row, row};
    s.elemUse = {true, true};
    s.elemStdRatio = {1.0, 0.5};
    s.ra.atEV = 9100.0;
    return s;
}

// The maps of one walk, owned.
struct OwnMaps {
    std::vector<std::unique_ptr<Analyzed2DRes>> all;
    FVPoints fv;
    AnalysisWalk::Maps m;
    Analyzed2DRes* make()
    {
        all.push_back(std::make_unique<Analyzed2DRes>(QStringLiteral("m")));
        return all.back().get();
    }
    OwnMaps()
    {
        for (int i = 0; i < 4; ++i)
            m.lcf << make();
        m.zansa = make();
        m.dEdge = make();
        for (int i = 0; i < 7 * 2 + 2; ++i)
            m.elem << make();
        m.raDMut = make();
        m.raRest = make();
        m.raRati = make();
        m.fv = make();
        m.fvPoints = &fv;
    }
};

// The first bin whose maps differ from the values the stack was made of
// (scaled by `scale`, `rows` rows of 10 bins); empty when none does.
QString stackMismatch(const OwnMaps& maps, int rows, double scale)
{
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < 10; ++x) {
            const double f = fractionAt(x);
            const double j = jumpAt(y, scale);
            if (!sameValue(maps.m.lcf[2]->valueAt(x, y), f, 1e-9) ||
                !sameValue(maps.m.lcf[3]->valueAt(x, y), 1 - f, 1e-9) ||
                !sameValue(maps.m.lcf[0]->valueAt(x, y), f * j, 1e-9) ||
                !sameValue(maps.m.raDMut->valueAt(x, y), j, 1e-9))
                return QString("bin %1,%2").arg(x).arg(y);
        }
    }
    // Ramps hold no absorption maximum: no bin adds a feature point.
    if (maps.fv.count() != 0)
        return QString("%1 feature values").arg(maps.fv.count());
    return QString();
}

AnalyzeCond stackArea() { return testmaps::grid(10, 6, 0, 0, 0, 0, 10, 6); }

// A walk over the stack scaled by `scale`; `reads` counts the bins read.
AnalysisWalk::Setup setupFor(double scale, std::atomic<int>* reads = nullptr)
{
    AnalysisWalk::Setup s;
    s.settings = allFive();
    for (int k = 0; k < 120; ++k)
        s.energies.push_back(8900 + 2.0 * k);
    s.source = [scale, reads](int x, int y, int, int, Spectrum& out) {
        if (reads)
            ++*reads;
        out = stackPoints(x, y, scale);
    };
    return s;
}

// Answers each fan-out's five requests, from its own thread, in a given order.
class Shuffler : public QObject {
    Q_OBJECT
public:
    AnalysisEngine* engine = nullptr;
    QList<int> order;
    QStringList heard; // request kinds as they came

public slots:
    void lcf(LCFRequest r) { hold("LCF", r.generation, AnalyzeKind::LCF); }
    void dEdge(DEdgeRequest r) { hold("dEdge", r.generation, AnalyzeKind::DEdge); }
    void elems(ElemsRequest r) { hold("Elems", r.generation, AnalyzeKind::Elems); }
    void ra(RARequest r) { hold("RA", r.generation, AnalyzeKind::RA); }
    void fv(FVRequest r) { hold("FV", r.generation, AnalyzeKind::FV); }

private:
    QList<AnalyzeReply> held;
    void hold(const QString& what, quint64 g, AnalyzeKind kind)
    {
        heard << what;
        AnalyzeReply r;
        r.generation = g;
        r.kind = kind;
        r.dEdge = double(g);
        held << r;
        if (held.size() < 5)
            return;
        for (int i : std::as_const(order)) {
            AnalysisEngine* e = engine;
            const AnalyzeReply reply = held[i];
            QMetaObject::invokeMethod(e, [e, reply] { e->takeReply(reply); }, Qt::QueuedConnection);
        }
        held.clear();
    }
};

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;

    // The engine with its own worker cut off: replies come from the test.
    static void cutWorker(AnalysisEngine& e) { QObject::disconnect(&e, nullptr, e.worker(), nullptr); }

private slots:
    void initTestCase() { bar.install(); }
    void cleanupTestCase() { bar.remove(); }

    // Two fan-outs, one after the other, answered by a worker thread in the
    // given order: requests leave in the fixed order and each generation is
    // announced once, with its own replies.
    void fanOutOverThread_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("as sent") << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("reversed") << QList<int>{4, 3, 2, 1, 0};
        QTest::newRow("mixed") << QList<int>{2, 0, 4, 1, 3};
    }
    void fanOutOverThread()
    {
        QFETCH(QList<int>, order);
        AnalysisEngine e;
        cutWorker(e);
        QThread thread;
        Shuffler sh;
        sh.engine = &e;
        sh.order = order;
        sh.moveToThread(&thread);
        thread.start();
        connect(&e, &AnalysisEngine::analyzeSpectrum0, &sh, &Shuffler::lcf);
        connect(&e, &AnalysisEngine::analyzeSpectrumDEdge0, &sh, &Shuffler::dEdge);
        connect(&e, &AnalysisEngine::analyzeSpectrumElems0, &sh, &Shuffler::elems);
        connect(&e, &AnalysisEngine::analyzeSpectrumRA, &sh, &Shuffler::ra);
        connect(&e, &AnalysisEngine::analyzeSpectrumFV, &sh, &Shuffler::fv);
        QList<quint64> announced;
        connect(&e, &AnalysisEngine::finished, [&] {
            announced << e.results().generation;
            QCOMPARE(e.results().dEdge.dEdge, double(e.results().generation));
            QCOMPARE(e.results().fv.generation, e.results().generation);
        });
        const XafsSpectrum s(stackPoints(3, 1, 1.0), "s", 1, 0.0, SuggestElm());
        const quint64 g1 = e.send(AnalysisEngine::prepare(allFive(), s, SuggestElm()));
        QTRY_COMPARE(e.pendingReplies(), 0);
        const quint64 g2 = e.send(AnalysisEngine::prepare(allFive(), s, SuggestElm()));
        QTRY_COMPARE(e.pendingReplies(), 0);
        joinWorkerThread(&thread);
        QCOMPARE(announced, QList<quint64>({g1, g2}));
        const QStringList one{"LCF", "dEdge", "Elems", "RA", "FV"};
        QCOMPARE(sh.heard, one + one);
    }

    // Replies delivered by the test: "s" sends a fan-out (edge position and
    // RA), "RA2" answers the second's RA request.
    void replies_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("announced");
        QTest::newRow("one too many") << "s RA1 dEdge1 RA1" << QList<int>{1};
        QTest::newRow("stale between") << "s s dEdge2 dEdge1 RA1 RA2" << QList<int>{2};
        QTest::newRow("one after the other") << "s dEdge1 RA1 s RA2 dEdge2" << QList<int>{1, 2};
        QTest::newRow("fresh drops half answered") << "s dEdge1 s RA1 dEdge2 RA2" << QList<int>{2};
    }
    void replies()
    {
        QFETCH(QString, script);
        QFETCH(QList<int>, announced);
        AnalysisEngine e;
        cutWorker(e);
        AnalysisSettings set;
        set.choice.dEdge = set.choice.ra = true;
        QList<quint64> sent;
        QList<int> heard;
        // -1: announced with a reply of another fan-out.
        connect(&e, &AnalysisEngine::finished, [&] {
            const SpectrumResults& r = e.results();
            const bool own = r.dEdge.generation == r.generation && r.ra.generation == r.generation;
            heard << (own ? int(sent.indexOf(r.generation)) + 1 : -1);
        });
        const XafsSpectrum s(stackPoints(0, 0, 1.0), "s", 1, 0.0, SuggestElm());
        for (const QString& step : script.split(' ')) {
            if (step == "s") {
                sent << e.send(AnalysisEngine::prepare(set, s, SuggestElm()));
                continue;
            }
            AnalyzeReply r;
            r.generation = sent[step.right(1).toInt() - 1];
            r.kind = step.startsWith("RA") ? AnalyzeKind::RA : AnalyzeKind::DEdge;
            e.takeReply(r);
        }
        QCOMPARE(heard, announced);
        QCOMPARE(e.pendingReplies(), 0);
    }

    // The same maps, bin by bin, from any number of workers, and the values
    // the stack was made of.
    void workersAgree()
    {
        QList<std::shared_ptr<OwnMaps>> results;
        for (int n : {1, 2, 8}) {
            AnalysisWalk walk;
            walk.setWorkers(n);
            QSignalSpy done(&walk, &AnalysisWalk::finishBatchExec);
            auto maps = std::make_shared<OwnMaps>();
            QVERIFY(walk.start(stackArea(), setupFor(1.0), maps->m));
            QTRY_VERIFY_WITH_TIMEOUT(!walk.running(), 60000);
            QCOMPARE(done.count(), 1);
            results << maps;
        }
        const OwnMaps& one = *results[0];
        const QString wrong = stackMismatch(one, 6, 1.0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        for (int r = 1; r < results.size(); ++r) {
            const OwnMaps& other = *results[r];
            for (size_t i = 0; i < one.all.size(); ++i)
                QVERIFY2(one.all[i]->data == other.all[i]->data, QByteArray::number(qulonglong(i)).constData());
            QCOMPARE(other.fv.x.values, one.fv.x.values);
            QCOMPARE(other.fv.y.values, one.fv.y.values);
        }
    }

    // A walk started again in the same turn as its stop, while every worker
    // still holds rows of the stopped one: a stop returns once no worker reads
    // any more, the old rows that come back are dropped, and the new walk runs
    // to its end.
    void restartAtOnce_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("1 worker") << 1;
        QTest::newRow("2 workers") << 2;
        QTest::newRow("4 workers") << 4;
    }
    void restartAtOnce()
    {
        QFETCH(int, workers);
        const int rows = 4 * workers;
        const AnalyzeCond area = testmaps::grid(10, rows, 0, 0, 0, 0, 10, rows);
        AnalysisWalk walk;
        walk.setWorkers(workers);
        QSignalSpy done(&walk, &AnalysisWalk::finishBatchExec);
        OwnMaps maps;
        std::atomic<int> oldReads{0};
        QVERIFY(walk.start(area, setupFor(1.0, &oldReads), maps.m));
        walk.stop();
        const int readBeforeStop = oldReads.load();
        QCOMPARE(done.count(), 1);
        QVERIFY(walk.start(area, setupFor(2.0), maps.m));
        QTRY_VERIFY_WITH_TIMEOUT(!walk.running(), 20000);
        QCOMPARE(done.count(), 2);
        QCOMPARE(oldReads.load(), readBeforeStop);
        const QString wrong = stackMismatch(maps, rows, 2.0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

CORVELLINE_TEST(TestEngine)
#include "tst_engine.moc"
