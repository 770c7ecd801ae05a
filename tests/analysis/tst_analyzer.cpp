#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/AElemsConds.h"
#include "analysis/Analyzer.h"
#include "analysis/ElemCtrl.h"
#include "analysis/LCFReference.h"
#include "display/XafsView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

XafsSpectrum edgeSpectrum()
{
    return XafsSpectrum(rampSpectrum(8800, 9200, 1.0, 8995, 9005), "s", 1, 0.0, SuggestElm());
}

// Runs "method arg ...; method arg ..." on the panel; "Field=text" types into a
// line edit and finishes the edit.
void run(Analyzer& a, const QString& calls)
{
    for (const QString& call : calls.split(';', Qt::SkipEmptyParts)) {
        const QString c = call.trimmed();
        if (c.contains('=')) {
            QLineEdit* e = a.findChild<QLineEdit*>(c.section('=', 0, 0));
            QVERIFY2(e, qPrintable(c));
            e->setText(c.section('=', 1));
            emit e->editingFinished();
            continue;
        }
        const QStringList w = c.split(' ', Qt::SkipEmptyParts);
        const QString m = w[0];
        auto d = [&](int i) { return w[i].toDouble(); };
        auto n = [&](int i) { return w[i].toInt(); };
        if (m == "setImageType") a.setImageType(n(1));
        else if (m == "setAnalysisMode") a.setAnalysisMode(n(1));
        else if (m == "setSubMode") a.setSubMode(n(1), n(2), n(3) == 1);
        else if (m == "setMainMode") a.setMainMode(n(1));
        else if (m == "setDEdgeMode") a.setDEdgeMode(n(1));
        else if (m == "setDEdgeCompTarget") a.setDEdgeCompTarget(n(1));
        else if (m == "setLCFRange") a.setLCFRange(d(1), d(2));
        else if (m == "setLCFMode") a.setLCFMode(n(1));
        else if (m == "setLCFAsOld") a.setLCFAsOld(n(1) == 1);
        else if (m == "setRaEnergy") a.setRaEnergy(d(1));
        else if (m == "setRaFactor") a.setRaFactor(d(1));
        else if (m == "setDEdgeCompStepParams") a.setDEdgeCompStepParams(d(1), d(2), d(3));
        else if (m == "setDEdgeCompParams") a.setDEdgeCompParams(d(1), d(2), d(3));
        else if (m == "setDEdgeMidPointRatio") a.setDEdgeMidPointRatio(d(1));
        else if (m == "setElemsBgROI") a.setElemsBgROI(d(1));
        else if (m == "setElemsBgDMutR") a.setElemsBgDMutR(d(1));
        else if (m == "setDMutScaleMax") a.setDMutScaleMax(d(1));
        else if (m == "setRatioScaleMin") a.setRatioScaleMin(d(1));
        else if (m == "setUpperLimitV") a.setUpperLimitV(d(1));
        else if (m == "setLCFStd") a.setLCFStd(n(1), n(2) == 1, d(3), w[4], w.value(5));
        else if (m == "selectImage") a.selectImage(n(1));
        else if (m == "addNewRef") a.addNewRef();
        else if (m == "setTargetElements") a.setTargetElements(w.mid(1).join(' '));
        else if (m == "selectElemsDispMode") a.selectElemsDispMode(n(1));
        else if (m == "selectElemShow") a.selectElemShow(w[1]);
        else if (m == "initAnalyzeSpectrum") a.initAnalyzeSpectrum();
        else if (m == "validRA") a.raDMutMap.genImg();
        else if (m == "selProcMaps") a.SelProcMaps->setChecked(true);
        else QFAIL(qPrintable("unknown call " + c));
    }
}

// "rowN.Name" reaches into reference row N, anything else is a panel widget.
QWidget* widgetOf(Analyzer& a, const QString& key)
{
    if (key.startsWith("row")) {
        const int i = key.mid(3).section('.', 0, 0).toInt();
        return a.lcfRefs.value(i) ? a.lcfRefs[i]->findChild<QWidget*>(key.section('.', 1)) : nullptr;
    }
    return a.findChild<QWidget*>(key);
}

AnalyzeReply replyOf(const QString& kind, quint64 generation)
{
    AnalyzeReply r;
    r.generation = generation;
    r.kind = kind == "LCF" ? AnalyzeKind::LCF
           : kind == "dEdge" ? AnalyzeKind::DEdge
           : kind == "Elems" ? AnalyzeKind::Elems
           : kind == "RA" ? AnalyzeKind::RA : AnalyzeKind::FV;
    return r;
}

void deliver(Analyzer& a, const AnalyzeReply& r)
{
    if (r.kind == AnalyzeKind::Elems)
        a.analyze2DElemsFinished(r);
    else if (r.kind == AnalyzeKind::FV)
        a.analyze2DFVFinished(r);
    else
        a.analyze2DFinished(r);
}

void checkAll(Analyzer& a)
{
    for (QCheckBox* b : {a.Sel2DAMLCFA, a.Sel2DADEdgeA, a.Sel2DAElemA, a.Sel2DARAA, a.Sel2DFVA})
        b->setChecked(true);
}

// Records the request signals in the order they leave; with `detach` the
// worker no longer hears them, so the test answers in its own order.
struct Requests {
    QStringList order;
    QList<quint64> generations;
    void listen(Analyzer& a, bool detach)
    {
        if (detach) {
            QObject::disconnect(&a, &Analyzer::analyzeSpectrum0, nullptr, nullptr);
            QObject::disconnect(&a, &Analyzer::analyzeSpectrumDEdge0, nullptr, nullptr);
            QObject::disconnect(&a, &Analyzer::analyzeSpectrumElems0, nullptr, nullptr);
            QObject::disconnect(&a, &Analyzer::analyzeSpectrumRA, nullptr, nullptr);
            QObject::disconnect(&a, &Analyzer::analyzeSpectrumFV, nullptr, nullptr);
        }
        auto note = [this](const char* what, quint64 g) {
            order << what;
            generations << g;
        };
        QObject::connect(&a, &Analyzer::analyzeSpectrum0, [=](LCFRequest r) { note("LCF", r.generation); });
        QObject::connect(&a, &Analyzer::analyzeSpectrumDEdge0, [=](DEdgeRequest r) { note("dEdge", r.generation); });
        QObject::connect(&a, &Analyzer::analyzeSpectrumElems0, [=](ElemsRequest r) { note("Elems", r.generation); });
        QObject::connect(&a, &Analyzer::analyzeSpectrumRA, [=](RARequest r) { note("RA", r.generation); });
        QObject::connect(&a, &Analyzer::analyzeSpectrumFV, [=](FVRequest r) { note("FV", r.generation); });
    }
};

} // namespace

class TestAnalyzer : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;

private slots:
    void initTestCase() { bar.install(); }
    void cleanupTestCase() { bar.remove(); }

    void construction()
    {
        Analyzer a;
        for (QCheckBox* b : {a.Sel2DAMLCFA, a.Sel2DADEdgeA, a.Sel2DAElemA, a.Sel2DARAA, a.Sel2DFVA})
            QVERIFY(!b->isChecked());
        QVERIFY(a.Sel2DA->isChecked());
        QVERIFY(a.ShowDEdge->isChecked() && !a.ShowRatio->isChecked());
        QVERIFY(a.DEdgeMidPoint->isChecked() && a.DEdgeCWFile->isChecked());
        QCOMPARE(a.lcfRefs.size(), 4);
        QCOMPARE(a.xafsView()->windowTitle(), QString("Analyzing Spectrum"));
        // Settings are read at once, before any walk.
        QCOMPARE(a.raRequest(edgeSpectrum()).atEV, 8200.0);
        QCOMPARE(a.raRequest(edgeSpectrum()).raFactor, 1.0);
        a.resize(1446, 642);
        QVERIFY(a.grab().save(testreg::shotsDir() + "/analyzer.png"));
    }

    // Over the real worker thread: requests leave in the fixed order and the
    // panel announces the spectrum once, after the last of the five replies.
    void fanOutOverWorker()
    {
        Analyzer a;
        checkAll(a);
        Requests sent;
        sent.listen(a, false);
        QSignalSpy done(&a, &Analyzer::finished);
        XafsSpectrum s = edgeSpectrum();
        a.analyzeSpectrum(s, SuggestElm());
        QCOMPARE(sent.order, QStringList({"LCF", "dEdge", "Elems", "RA", "FV"}));
        QCOMPARE(a.pendingReplies(), 5);
        QTRY_COMPARE(done.count(), 1);
        QTest::qWait(50);
        QCOMPARE(done.count(), 1);
        QCOMPARE(a.pendingReplies(), 0);
        const SpectrumResults& r = a.results();
        for (const AnalyzeReply* p : {&r.lcf, &r.dEdge, &r.elems, &r.ra, &r.fv})
            QCOMPARE(p->generation, a.currentGeneration());
        QCOMPARE(r.ra.kind, AnalyzeKind::RA);
        QCOMPARE(r.fv.kind, AnalyzeKind::FV);
    }

    void replyOrder_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::newRow("as sent") << QStringList{"LCF", "dEdge", "Elems", "RA", "FV"};
        QTest::newRow("reversed") << QStringList{"FV", "RA", "Elems", "dEdge", "LCF"};
        QTest::newRow("mixed") << QStringList{"Elems", "LCF", "FV", "dEdge", "RA"};
        QTest::newRow("feature value last but one") << QStringList{"RA", "dEdge", "LCF", "FV", "Elems"};
    }
    void replyOrder()
    {
        QFETCH(QStringList, order);
        Analyzer a;
        checkAll(a);
        Requests sent;
        sent.listen(a, true);
        QSignalSpy done(&a, &Analyzer::finished);
        XafsSpectrum s = edgeSpectrum();
        a.analyzeSpectrum(s, SuggestElm());
        const quint64 g = a.currentGeneration();
        for (int i = 0; i < order.size(); ++i) {
            QCOMPARE(done.count(), 0);
            deliver(a, replyOf(order[i], g));
        }
        QCOMPARE(done.count(), 1);
        deliver(a, replyOf("RA", g)); // a reply too many
        QCOMPARE(done.count(), 1);
        QCOMPARE(a.pendingReplies(), 0);
    }

    void staleGenerations_data()
    {
        QTest::addColumn<QString>("stale");  // when the old fan-out's replies arrive
        QTest::newRow("before the new ones") << "before";
        QTest::newRow("between the new ones") << "between";
        QTest::newRow("after the new ones") << "after";
    }
    void staleGenerations()
    {
        QFETCH(QString, stale);
        Analyzer a;
        a.Sel2DADEdgeA->setChecked(true);
        a.Sel2DARAA->setChecked(true);
        Requests sent;
        sent.listen(a, true);
        QSignalSpy done(&a, &Analyzer::finished);
        XafsSpectrum s = edgeSpectrum();
        a.analyzeSpectrum(s, SuggestElm());
        const quint64 old = a.currentGeneration();
        a.analyzeSpectrum(s, SuggestElm());
        const quint64 now = a.currentGeneration();
        QVERIFY(now != old);
        QCOMPARE(sent.generations, QList<quint64>({old, old, now, now}));
        auto oldOnes = [&] {
            deliver(a, replyOf("dEdge", old));
            deliver(a, replyOf("RA", old));
        };
        if (stale == "before")
            oldOnes();
        deliver(a, replyOf("dEdge", now));
        if (stale == "between")
            oldOnes();
        QCOMPARE(done.count(), 0);
        deliver(a, replyOf("RA", now));
        if (stale == "after")
            oldOnes();
        QCOMPARE(done.count(), 1);
    }

    // A walk queues the next bin behind the current one: each is announced
    // once, in order, with its own replies; a fresh fan-out drops them all.
    void queuedFanouts_data()
    {
        QTest::addColumn<bool>("fresh");  // a fan-out not queued comes after the two
        QTest::newRow("two queued") << false;
        QTest::newRow("then a fresh one") << true;
    }
    void queuedFanouts()
    {
        QFETCH(bool, fresh);
        Analyzer a;
        a.Sel2DADEdgeA->setChecked(true);
        a.Sel2DARAA->setChecked(true);
        Requests sent;
        sent.listen(a, true);
        QList<quint64> announced;
        connect(&a, &Analyzer::finished, [&] { announced << a.results().generation; });
        const XafsSpectrum s = edgeSpectrum();
        const quint64 g1 = a.send(a.prepare(s, SuggestElm(), a.chosenAnalyses()));
        const quint64 g2 = a.send(a.prepare(s, SuggestElm(), a.chosenAnalyses()), true);
        QCOMPARE(a.pendingReplies(), 4);
        quint64 g3 = 0;
        if (fresh)
            g3 = a.send(a.prepare(s, SuggestElm(), a.chosenAnalyses()));
        for (quint64 g : {g1, g2, g3}) {
            AnalyzeReply d = replyOf("dEdge", g);
            d.dEdge = double(g);
            deliver(a, d);
            deliver(a, replyOf("RA", g));
        }
        const QList<quint64> expected = fresh ? QList<quint64>{g3} : QList<quint64>{g1, g2};
        QCOMPARE(announced, expected);
        QCOMPARE(a.results().dEdge.dEdge, double(expected.last()));
        QCOMPARE(a.pendingReplies(), 0);
    }

    void liveValues()
    {
        Analyzer a;
        a.noticedNewZ(1.5);
        a.noticedNewZ(2.5);
        QCOMPARE(a.DispZansa->text(), QString("2.5"));  // no walk: every value
        a.setContAccess(true);
        a.noticedNewDEdge(3.0);
        a.noticedNewDEdge(4.0);
        QCOMPARE(a.DispDEdge->text(), QString("3"));  // held back within the interval
        a.setContAccess(false);
        QCOMPARE(a.DispDEdge->text(), QString("4"));  // and shown when the walk ends
    }

    void nothingChosen_data()
    {
        QTest::addColumn<bool>("processMaps");
        QTest::newRow("no box checked") << false;
        QTest::newRow("maps processing is the main mode") << true;
    }
    void nothingChosen()
    {
        QFETCH(bool, processMaps);
        Analyzer a;
        if (processMaps) {
            checkAll(a);
            a.SelProcMaps->setChecked(true);
        }
        Requests sent;
        sent.listen(a, true);
        XafsSpectrum s = edgeSpectrum();
        QCOMPARE(a.analyzeSpectrumFor(s, SuggestElm(), a.chosenAnalyses()), quint64(0));
        QVERIFY(sent.order.isEmpty());
        QCOMPARE(a.pendingReplies(), 0);
    }

    void requestInputs_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("step 0") << "FVeStep=0" << "fv.eStep" << 0.01;
        QTest::newRow("negative step") << "FVeStep=-2" << "fv.eStep" << 0.01;
        QTest::newRow("step no number") << "FVeStep=abc" << "fv.eStep" << 0.01;
        QTest::newRow("step 0.5") << "FVeStep=0.5" << "fv.eStep" << 0.5;
        QTest::newRow("elimination region") << "FVElimReg=3.5" << "fv.elimReg" << 3.5;
        QTest::newRow("half the shown range") << "" << "dEdge.cwRangeEV" << 10.0;
        QTest::newRow("range waits for the next walk") << "setDEdgeCompParams 30 2 0.05" << "dEdge.cwRangeEV" << 10.0;
        QTest::newRow("range read at the walk") << "setDEdgeCompParams 30 2 0.05; initAnalyzeSpectrum"
                                                << "dEdge.cwRangeEV" << 15.0;
        QTest::newRow("RA energy waits") << "setRaEnergy 9000" << "ra.atEV" << 8200.0;
        QTest::newRow("RA energy read at the walk") << "setRaEnergy 9000; initAnalyzeSpectrum" << "ra.atEV" << 9000.0;
        QTest::newRow("LCF range read per request") << "setLCFRange 8900 9500" << "lcf.sE0" << 8900.0;
        QTest::newRow("empty LCF end") << "LCFRange2=" << "lcf.eE0" << 0.0;
    }
    void requestInputs()
    {
        QFETCH(QString, calls);
        QFETCH(QString, value);
        QFETCH(double, expected);
        Analyzer a;
        run(a, calls);
        const XafsSpectrum s = edgeSpectrum();
        const SuggestElm se;
        double v = -1;
        if (value == "fv.eStep") v = a.fvRequest(s, se).eStep;
        else if (value == "fv.elimReg") v = a.fvRequest(s, se).elimReg;
        else if (value == "dEdge.cwRangeEV") v = a.dEdgeRequest(s, se).cwRangeEV;
        else if (value == "ra.atEV") v = a.raRequest(s).atEV;
        else if (value == "lcf.sE0") v = a.lcfRequest(s, se).sE0;
        else if (value == "lcf.eE0") v = a.lcfRequest(s, se).eE0;
        QCOMPARE(v, expected);
    }

    void limitedSpectrumEnds_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("first");  // energy of the first kept point, -1 for none
        QTest::addColumn<int>("count");
        // the spectrum runs from 8800 to 9200 in 1 eV steps: 401 points
        QTest::newRow("whole spectrum") << "0" << "30000" << 8800 << 401;
        QTest::newRow("both limits on points") << "8900" << "9000" << 8900 << 101;
        QTest::newRow("limits between points") << "8900.5" << "8902.5" << 8901 << 2;
        QTest::newRow("from above to") << "9000" << "8900" << -1 << 0;
        QTest::newRow("not a number ends at 0") << "8900" << "x" << -1 << 0;
    }
    void limitedSpectrumEnds()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, first);
        QFETCH(int, count);
        Analyzer a;
        a.LCFRange1->setText(from);
        a.LCFRange2->setText(to);
        const XafsSpectrum s(edgeSpectrum(), "s", 1, 2.5, SuggestElm());
        const XafsSpectrum l = a.limitedSpectrum(s);
        QCOMPARE(l.size(), count);
        QCOMPARE(l.name, QString("limited-S"));
        QCOMPARE(l.eOffset, 2.5);
        QVERIFY(!l.sElm.use);
        // Normalised as a spectrum built from the kept points is.
        Spectrum kept;
        for (int i = 0; i < s.size(); ++i) {
            if (s.x(i) >= from.toDouble() && s.x(i) <= to.toDouble())
                kept.append(s.x(i), s.y(i));
        }
        const XafsSpectrum built(kept, "b", 1, 2.5, SuggestElm());
        QVERIFY(sameValue(l.dMut, built.dMut, 0) && sameValue(l.e0, built.e0, 0));
        QCOMPARE(l.doubleNormalized.size(), count);
        for (int i = 0; i < count; ++i) {
            QVERIFY(sameValue(l.doubleNormalized.y(i), built.doubleNormalized.y(i), 0));
            QVERIFY(sameValue(l.minusPostByGap.y(i), built.minusPostByGap.y(i), 0));
        }
        if (count > 0) {
            QCOMPARE(l.x(0), double(first));
            QCOMPARE(l.x(count - 1), double(first + count - 1));
        }
    }

    void selectedRes_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("expected");  // map name, "rowN.M", or "null"
        QTest::newRow("start") << "" << "a2d dEdge";
        QTest::newRow("row 0, DMut") << "selectImage 0" << "row0.0";
        QTest::newRow("row 1, ratio") << "selectImage 1; setImageType 0" << "row1.1";
        QTest::newRow("zansa") << "selectImage 5" << "a2d Zansa";
        QTest::newRow("dmut map not valid") << "selectImage 7" << "null";
        QTest::newRow("dmut map valid") << "validRA; selectImage 7" << "a2d DMut";
        QTest::newRow("rest not valid, processed map") << "selectImage 8; selProcMaps" << "Processed Map";
        QTest::newRow("sum up") << "selectImage 10" << "Sum Up Img";
        QTest::newRow("process maps over sum up") << "selectImage 10; selProcMaps" << "Processed Map";
        QTest::newRow("elements without rows") << "selectImage 6" << "null";
        QTest::newRow("element correlation") << "setTargetElements Fe Cu; selectImage 6; selectElemsDispMode 2"
                                             << "a2d ElemsCor";
        QTest::newRow("element row shown, N. dMut") << "setTargetElements Fe Cu; selectElemShow 1; selectImage 6;"
                                                       "selectElemsDispMode 1"
                                                    << "Cu-K Elem Ctrl N";
        QTest::newRow("fifth row has id 11") << "addNewRef; selectImage 11" << "row4.0";
        QTest::newRow("id 4 stays the edge map") << "addNewRef; selectImage 0; selectImage 4" << "a2d dEdge";
        QTest::newRow("unknown id keeps the choice") << "selectImage 99" << "a2d dEdge";
    }
    void selectedRes()
    {
        QFETCH(QString, calls);
        QFETCH(QString, expected);
        Analyzer a;
        QSignalSpy sel(&a, &Analyzer::changedSelection);
        run(a, calls);
        if (calls.contains("selectImage"))
            QVERIFY(sel.count() > 0);
        Analyzed2DRes* m = a.selectedRes();
        if (expected == "null") {
            QVERIFY(!m);
        } else if (expected.startsWith("row")) {
            QCOMPARE(m, a.lcfResMap(expected.mid(3, 1).toInt(), expected.right(1).toInt()));
        } else {
            QVERIFY(m);
            QCOMPARE(m->name, expected);
        }
    }

    void lookups()
    {
        Analyzer a;
        QCOMPARE(a.lcfResMap(0, 5), a.lcfRefs[0]->maps[0]);
        QCOMPARE(a.lcfResMap(0, -1), a.lcfRefs[0]->maps[0]);
        QVERIFY(!a.lcfResMap(4, 0));
        QVERIFY(!a.lcfResMap(-1, 0));
        QCOMPARE(a.checkedRefIndex(), 0);
        a.selectImage(2);
        QCOMPARE(a.checkedRefIndex(), 2);
    }

    void correlationColours_data()
    {
        QTest::addColumn<QList<double>>("before");
        QTest::addColumn<double>("cor");
        QTest::addColumn<QString>("style");  // "" = left as it was
        const QString above = "background-color: rgb(211, 255, 241);";
        const QString below = "background-color: rgb(176, 192, 192);";
        QTest::newRow("above") << QList<double>{} << 0.95 << above;
        QTest::newRow("then below") << QList<double>{0.95} << 0.5 << below;
        QTest::newRow("below again") << QList<double>{0.95, 0.5} << 0.5 << "";
        QTest::newRow("first below") << QList<double>{} << 0.5 << "";
        QTest::newRow("equal is not above") << QList<double>{0.95} << 0.9 << below;
    }
    void correlationColours()
    {
        QFETCH(QList<double>, before);
        QFETCH(double, cor);
        QFETCH(QString, style);
        Analyzer a;
        a.setCorTh(0.9);
        for (double c : before)
            a.setCorrelation(c);
        a.ElemsCorrelation->setStyleSheet("marker");
        a.setCorrelation(cor);
        QCOMPARE(a.ElemsCorrelation->styleSheet(), style.isEmpty() ? QString("marker") : style);
        QCOMPARE(a.ElemsCorrelation->text(), QString::number(cor, 'g', 6));
        QCOMPARE(a.correlation, cor);
    }

    void fifthRow()
    {
        Analyzer a;
        const int h = a.height();
        a.addNewRef();
        QCOMPARE(a.lcfRefs.size(), 5);
        LCFReference* row = a.lcfRefs[4];
        QCOMPARE(row->XFS->Select->text(), QString("Select Ref5"));
        QVERIFY(!row->XFS->Use->isChecked());
        QVERIFY(!row->use);
        QVERIFY(a.lcfRefs[1]->use && !a.lcfRefs[2]->use);
        QCOMPARE(a.height(), h + 22);
        a.selectImage(Analyzer::displayIdOfRow(4));
        QVERIFY(row->Show->isChecked());
        QCOMPARE(Analyzer::displayIdOfRow(4), 11);
        QCOMPARE(Analyzer::rowOfDisplayId(11), 4);
        for (int id = 4; id <= 10; ++id)
            QCOMPARE(Analyzer::rowOfDisplayId(id), -1);
    }

    void setters_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QStringList>("on");     // checked afterwards
        QTest::addColumn<QStringList>("off");    // not checked afterwards
        QTest::addColumn<QStringList>("texts");  // "Name=text"
        const QStringList none;
        QTest::newRow("image type 1") << "setImageType 0; setImageType 1" << QStringList{"SelDMut"}
                                      << QStringList{"SelRatio"} << none;
        QTest::newRow("image type 0") << "setImageType 0" << QStringList{"SelRatio"} << QStringList{"SelDMut"} << none;
        QTest::newRow("image type 2") << "setImageType 0; setImageType 2" << QStringList{"SelRatio"}
                                      << QStringList{"SelDMut"} << none;
        QTest::newRow("modes only add") << "setAnalysisMode 1; setAnalysisMode 0"
                                        << QStringList{"Sel2DA", "Sel2DARAA", "Sel2DAMLCFA"}
                                        << QStringList{"Sel2DAElemA"} << none;
        QTest::newRow("mode 2") << "setAnalysisMode 2" << QStringList{"Sel2DAElemA"} << QStringList{"Sel2DARAA"} << none;
        QTest::newRow("mode 3") << "setAnalysisMode 3" << QStringList{"SelSumUp"} << QStringList{"ShowDEdge"} << none;
        QTest::newRow("mode 4") << "setAnalysisMode 4" << QStringList{"SelProcMaps"} << QStringList{"Sel2DA"} << none;
        QTest::newRow("mode 5") << "setAnalysisMode 5" << QStringList{"Sel2DADEdgeA"} << none << none;
        QTest::newRow("mode 6") << "setAnalysisMode 6" << QStringList{"Sel2DA"}
                                << QStringList{"SelSumUp", "Sel2DAMLCFA", "Sel2DADEdgeA"} << none;
        QTest::newRow("sub mode of main 1") << "setSubMode 1 0 1" << none << QStringList{"Sel2DADEdgeA"} << none;
        QTest::newRow("sub mode 5") << "setSubMode 0 5 1" << none
                                    << QStringList{"Sel2DADEdgeA", "Sel2DAMLCFA", "Sel2DAElemA", "Sel2DARAA", "Sel2DFVA"}
                                    << none;
        QTest::newRow("sub modes 0 to 3") << "setSubMode 0 0 1; setSubMode 0 1 1; setSubMode 0 2 1; setSubMode 0 3 1"
                                          << QStringList{"Sel2DADEdgeA", "Sel2DAMLCFA", "Sel2DAElemA", "Sel2DARAA"}
                                          << QStringList{"Sel2DFVA"} << none;
        QTest::newRow("sub mode 4 off") << "setSubMode 0 4 1; setSubMode 0 4 0" << none << QStringList{"Sel2DFVA"}
                                        << none;
        QTest::newRow("main mode") << "setMainMode 1" << QStringList{"SelProcMaps"} << QStringList{"Sel2DA"} << none;
        QTest::newRow("main mode back") << "setMainMode 1; setMainMode 0; setMainMode 7" << QStringList{"Sel2DA"}
                                        << QStringList{"SelProcMaps"} << none;
        QTest::newRow("edge method") << "setDEdgeMode 1; setDEdgeMode 2" << QStringList{"DEdgeCompWith"}
                                     << QStringList{"DEdgeMidPoint"} << none;
        QTest::newRow("compare target") << "setDEdgeCompTarget 1; setDEdgeCompTarget -1" << QStringList{"DEdgeCWStep"}
                                        << QStringList{"DEdgeCWFile"} << none;
        QTest::newRow("LCF range") << "setLCFRange 8900 9500" << none << none
                                   << QStringList{"LCFRange1=8900", "LCFRange2=9500"};
        QTest::newRow("LCF range, 6 digits") << "setLCFRange 0.1 12345.67" << none << none
                                             << QStringList{"LCFRange1=0.1", "LCFRange2=12345.7"};
        QTest::newRow("MLCF") << "setLCFMode 1" << QStringList{"MLCF"} << none << none;
        QTest::newRow("MLCF only for 1") << "setLCFMode 1; setLCFMode 2" << none << QStringList{"MLCF"} << none;
        QTest::newRow("old fit") << "setLCFAsOld 1" << QStringList{"AsOldLCF"} << none << none;
        QTest::newRow("residual absorption")
            << "setRaEnergy 8333.5; setRaFactor 0.5" << none << none << QStringList{"RAAtEV=8333.5", "RAFactor=0.5"};
        QTest::newRow("step parameters") << "setDEdgeCompStepParams 9000.5 200 0.02" << none << none
                                         << QStringList{"DEdgeCWStepAt=9000.5", "DEdgeCWStepWeV=200",
                                                        "DEdgeCWStepDEeV=0.02"};
        QTest::newRow("compare parameters") << "setDEdgeCompParams 30 2 0.05; setDEdgeMidPointRatio 0.25" << none
                                            << none
                                            << QStringList{"DEdgeCWFullRangeEV=30", "DEdgeCWInitDEeV=2",
                                                           "DEdgeCWMinDEeV=0.05", "DEdgeMidRatio=0.25"};
        QTest::newRow("background values") << "setElemsBgROI -2; setElemsBgDMutR 0.5" << none << none
                                           << QStringList{"BGVROI=-2", "BGVDMutR=0.5"};
        QTest::newRow("scale fields") << "setDMutScaleMax 2.5; setRatioScaleMin -1; setUpperLimitV 7" << none << none
                                      << QStringList{"DMutScaleMax=2.5", "RatioScaleMin=-1", "UpperLimitV=7"};
        QTest::newRow("reference row") << "setLCFStd 1 1 2.5 none.dat vic" << QStringList{"row1.IsVictreen"} << none
                                       << QStringList{"row1.DeltaE=2.5"};
        QTest::newRow("rows out of range") << "setLCFStd 4 1 2.5 none.dat; setLCFStd -1 1 2.5 none.dat 0" << none
                                           << QStringList{"row0.IsVictreen", "row3.IsVictreen"}
                                           << QStringList{"row0.DeltaE=0", "row3.DeltaE=0"};
    }
    void setters()
    {
        QFETCH(QString, calls);
        QFETCH(QStringList, on);
        QFETCH(QStringList, off);
        QFETCH(QStringList, texts);
        Analyzer a;
        run(a, calls);
        for (const QString& k : on) {
            auto* b = qobject_cast<QAbstractButton*>(widgetOf(a, k));
            QVERIFY2(b && b->isChecked(), qPrintable(k));
        }
        for (const QString& k : off) {
            auto* b = qobject_cast<QAbstractButton*>(widgetOf(a, k));
            QVERIFY2(b && !b->isChecked(), qPrintable(k));
        }
        for (const QString& t : texts) {
            auto* e = qobject_cast<QLineEdit*>(widgetOf(a, t.section('=', 0, 0)));
            QVERIFY2(e, qPrintable(t));
            QCOMPARE(e->text(), t.section('=', 1));
        }
    }

    void stepSpectrum_data()
    {
        QTest::addColumn<QString>("dE");
        QTest::addColumn<bool>("made");
        QTest::addColumn<int>("count");
        QTest::newRow("form values") << "0.01" << true << 30000;
        QTest::newRow("coarse") << "50" << true << 6;
        QTest::newRow("zero step refused") << "0" << false << 0;
        QTest::newRow("negative step refused") << "-1" << false << 0;
        QTest::newRow("too many points refused") << "1e-4" << false << 0;
    }
    void stepSpectrum()
    {
        QFETCH(QString, dE);
        QFETCH(bool, made);
        QFETCH(int, count);
        Analyzer a;
        a.DEdgeCWStepDEeV->setText(dE);
        QCOMPARE(a.dEdgeStepSpectrum(), made);
        QCOMPARE(a.cwRef.size(), count);
        if (count > 0) {
            QCOMPARE(a.cwRef.name, QString("DEdge Step"));
            QCOMPARE(a.cwRef.x(0), 8850.0);
            QCOMPARE(a.cwRef.y(0), 0.0);
            QVERIFY(a.cwRef.x(count - 1) < 9150.0);
            QCOMPARE(a.cwRef.y(count - 1), 1.0);
        }
    }
};

CORVELLINE_TEST(TestAnalyzer)
#include "tst_analyzer.moc"
