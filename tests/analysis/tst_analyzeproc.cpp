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

    void hundredInOrder()
    {
        const XafsSpectrum s = edge();
        // Every kind in turn, each carrying its number.
        for (quint64 g = 1; g <= 100; ++g) {
            if (g % 5 == 0) {
                LCFRequest r = numbered<LCFRequest>(g, s);
                r.rowCount = 2;
                r.refs = {refDataOf(s, 0, 0.0)};
                emit requester->lcf(r);
            } else if (g % 5 == 1) {
                emit requester->dEdge(numbered<DEdgeRequest>(g, s));
            } else if (g % 5 == 2) {
                ElemsRequest r = numbered<ElemsRequest>(g, s);
                r.rows = {ElemRowConds()};
                emit requester->elems(r);
            } else if (g % 5 == 3) {
                emit requester->ra(numbered<RARequest>(g, s));
            } else {
                emit requester->fv(numbered<FVRequest>(g, s));
            }
        }
        drain();
        QCOMPARE(heard.size(), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(heard[i].generation, quint64(i + 1));
    }
};

CORVELLINE_TEST(TestAnalyzeProc)
#include "tst_analyzeproc.moc"
