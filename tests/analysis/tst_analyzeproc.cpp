#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/AnalysisMetaTypes.h"
#include "analysis/AnalyzeProc.h"

#include <QTest>
#include <QThread>

namespace {

XafsSpectrum edge()
{
    return XafsSpectrum(rampSpectrum(8900, 9100, 0.5, 8995, 9005), "s", 1, 0.0, SuggestElm());
}

template <class R>
R numbered(quint64 generation, const XafsSpectrum& s)
{
    R r;
    r.generation = generation;
    r.s = s;
    return r;
}

struct Heard {
    QString what;  // signal name
    quint64 generation = 0;
};

} // namespace

// Sends requests the way the panel does: queued signals into the worker's thread.
class Requester : public QObject {
    Q_OBJECT
signals:
    void lcf(LCFRequest r);
    void lcfOld(LCFRequest r);
    void mlcf(LCFRequest r);
    void dEdge(DEdgeRequest r);
    void elems(ElemsRequest r);
    void ra(RARequest r);
    void fv(FVRequest r);
};

class TestAnalyzeProc : public QObject {
    Q_OBJECT
    QThread* thread = nullptr;
    AnalyzeProc* worker = nullptr;
    Requester* requester = nullptr;
    QList<Heard> heard;

    void hear(const QString& what, const AnalyzeReply& r)
    {
        heard.append({what, r.generation});
    }

    // Everything sent before has been answered once the sentinel comes back.
    void drain()
    {
        RARequest r;
        r.generation = 999999;
        emit requester->ra(r);
        QTRY_VERIFY(!heard.isEmpty() && heard.last().generation == 999999);
        heard.removeLast();
    }

private slots:
    void initTestCase() { registerAnalysisMetaTypes(); }

    void init()
    {
        heard.clear();
        thread = new QThread;
        worker = new AnalyzeProc;
        worker->moveToThread(thread);
        thread->start();
        requester = new Requester;
        connect(requester, &Requester::lcf, worker, &AnalyzeProc::analyzeSpectrum0);
        connect(requester, &Requester::lcfOld, worker, &AnalyzeProc::analyzeSpectrumByLCF_Old);
        connect(requester, &Requester::mlcf, worker, &AnalyzeProc::analyzeSpectrumByMLCF);
        connect(requester, &Requester::dEdge, worker, &AnalyzeProc::analyzeSpectrumDEdge0);
        connect(requester, &Requester::elems, worker, &AnalyzeProc::analyzeSpectrumElems0);
        connect(requester, &Requester::ra, worker, &AnalyzeProc::analyzeSpectrumRA);
        connect(requester, &Requester::fv, worker, &AnalyzeProc::analyzeSpectrumFV);
        connect(worker, &AnalyzeProc::finished, this, [this](AnalyzeReply r) { hear("finished", r); });
        connect(worker, &AnalyzeProc::finishedAElems, this, [this](AnalyzeReply r) { hear("finishedAElems", r); });
        connect(worker, &AnalyzeProc::finishedAFV, this, [this](AnalyzeReply r) { hear("finishedAFV", r); });
    }

    void cleanup()
    {
        thread->quit();
        thread->wait();
        delete worker;
        delete thread;
        delete requester;
    }

    void answersOnce_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("answer");
        QTest::newRow("fit, empty spectrum") << "lcf empty" << "finished";
        QTest::newRow("fit, no used row") << "lcf no used row" << "finished";
        QTest::newRow("old fit, empty spectrum") << "old empty" << "finished";
        QTest::newRow("MLCF, empty spectrum") << "mlcf empty" << "finished";
        QTest::newRow("edge, empty spectrum") << "dEdge" << "finished";
        QTest::newRow("elements, no row") << "elems" << "finishedAElems";
        QTest::newRow("residual absorption, empty") << "ra" << "finished";
        QTest::newRow("feature values, empty") << "fv" << "finishedAFV";
    }
    void answersOnce()
    {
        QFETCH(QString, request);
        const quint64 g = 7;
        LCFRequest l = numbered<LCFRequest>(g, request == "lcf no used row" ? edge() : XafsSpectrum());
        l.rowCount = 4;
        DEdgeRequest d = numbered<DEdgeRequest>(g, XafsSpectrum());
        d.isMidPoint = true;
        if (request.startsWith("lcf"))
            emit requester->lcf(l);
        else if (request == "old empty")
            emit requester->lcfOld(l);
        else if (request == "mlcf empty")
            emit requester->mlcf(l);
        else if (request == "dEdge")
            emit requester->dEdge(d);
        else if (request == "elems")
            emit requester->elems(numbered<ElemsRequest>(g, edge()));
        else if (request == "ra")
            emit requester->ra(numbered<RARequest>(g, XafsSpectrum()));
        else
            emit requester->fv(numbered<FVRequest>(g, XafsSpectrum()));
        drain();
        QCOMPARE(heard.size(), 1);
        QTEST(heard[0].what, "answer");
        QCOMPARE(heard[0].generation, g);
    }

    // Requests of different kinds and spectra, interleaved: every answer holds
    // the result of its own request's spectrum, none of another's.
    void answersCarryTheirOwnSpectrum()
    {
        QList<AnalyzeReply> replies;
        connect(worker, &AnalyzeProc::finished, this, [&replies](AnalyzeReply r) { replies << r; });
        const int n = 6;
        for (int g = 1; g <= n; ++g) {
            // Jump g, edge at 8990 + 2 g.
            const double e0 = 8990.0 + 2.0 * g;
            const XafsSpectrum s(rampSpectrum(8900, 9100, 0.5, e0 - 2, e0 + 2, 0.0, double(g)), "s", 1, 0.0,
                                 SuggestElm());
            RARequest ra = numbered<RARequest>(quint64(g), s);
            ra.atEV = 9050.0;
            emit requester->ra(ra);
            DEdgeRequest d = numbered<DEdgeRequest>(quint64(100 + g), s);
            d.sElm.edgeEV = 8990.0;
            emit requester->dEdge(d);
        }
        drain();
        replies.removeLast(); // the sentinel
        QCOMPARE(replies.size(), 2 * n);
        for (const AnalyzeReply& r : std::as_const(replies)) {
            if (r.kind == AnalyzeKind::RA)
                QVERIFY(sameValue(r.raJump, double(r.generation), 1e-9));
            else
                QVERIFY(sameValue(r.dEdge, 2.0 * double(r.generation - 100), 0.01));
        }
    }
};

CORVELLINE_TEST(TestAnalyzeProc)
#include "tst_analyzeproc.moc"
