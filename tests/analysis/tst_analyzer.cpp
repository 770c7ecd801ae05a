#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"

#include <QSignalSpy>
#include <QTest>

namespace {

XafsSpectrum edgeSpectrum()
{
    return XafsSpectrum(rampSpectrum(8800, 9200, 1.0, 8995, 9005), "s", 1, 0.0, SuggestElm());
}

// Runs "method arg ...; ..." on the panel; "Field=text" types into a line edit
// and finishes the edit.
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
        else if (m == "setDEdgeCompStepParams") a.setDEdgeCompStepParams(d(1), d(2), d(3));
        else if (m == "setDEdgeCompParams") a.setDEdgeCompParams(d(1), d(2), d(3));
        else if (m == "setElemsBgROI") a.setElemsBgROI(d(1));
        else if (m == "setDMutScaleMax") a.setDMutScaleMax(d(1));
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
    if (!key.startsWith("row"))
        return a.findChild<QWidget*>(key);
    LCFReference* row = a.lcfRefs.value(key.mid(3, 1).toInt());
    return row ? row->findChild<QWidget*>(key.section('.', 1)) : nullptr;
}

// The requests the panel's settings make of a spectrum, every analysis chosen.
Fanout requestsOf(const Analyzer& a, const XafsSpectrum& s)
{
    AnalysisChoice all;
    all.lcf = all.dEdge = all.elems = all.ra = all.fv = true;
    return AnalysisEngine::prepare(a.settings(all), s, SuggestElm());
}

// The requests the panel sends, by name, in their order.
void recordRequests(Analyzer& a, QStringList& order)
{
    QObject::connect(&a, &Analyzer::analyzeSpectrum0, [&order] { order << "LCF"; });
    QObject::connect(&a, &Analyzer::analyzeSpectrumDEdge0, [&order] { order << "dEdge"; });
    QObject::connect(&a, &Analyzer::analyzeSpectrumElems0, [&order] { order << "Elems"; });
    QObject::connect(&a, &Analyzer::analyzeSpectrumRA, [&order] { order << "RA"; });
    QObject::connect(&a, &Analyzer::analyzeSpectrumFV, [&order] { order << "FV"; });
}

void checkAll(Analyzer& a)
{
    for (int sub = 0; sub < 5; ++sub)
        a.setSubMode(0, sub, true);
}

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
        QCOMPARE(a.chosenAnalyses().count(), 0);
        QCOMPARE(a.lcfRefs.size(), 4);
        // Settings are read at once, before any walk.
        QCOMPARE(requestsOf(a, edgeSpectrum()).ra.atEV, 8200.0);
        QVERIFY(a.grab().save(testreg::shotsDir() + "/analyzer.png"));
    }

    // Over the real worker thread: requests leave in the fixed order and the
    // panel announces the spectrum once, after the last of the five replies.
    void fanOutOverWorker()
    {
        Analyzer a;
        checkAll(a);
        QStringList order;
        recordRequests(a, order);
        QSignalSpy done(&a, &Analyzer::finished);
        XafsSpectrum s = edgeSpectrum();
        a.analyzeSpectrum(s, SuggestElm());
        QCOMPARE(order, QStringList({"LCF", "dEdge", "Elems", "RA", "FV"}));
        QTRY_COMPARE(done.count(), 1);
        QTest::qWait(50);
        QCOMPARE(done.count(), 1);
        const SpectrumResults& r = a.results();
        for (const AnalyzeReply* p : {&r.lcf, &r.dEdge, &r.elems, &r.ra, &r.fv})
            QCOMPARE(p->generation, a.currentGeneration());
    }

    // A field that holds no number leaves out, at the pointer, the analysis
    // that reads it, not the others.
    void pointerLeavesOut_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("fitting range") << "LCFRange1=abc" << QStringList{"dEdge", "Elems", "RA", "FV"};
        QTest::newRow("element background") << "BGVNROI=n/a" << QStringList{"LCF", "dEdge", "RA", "FV"};
        QTest::newRow("element row threshold") << "setTargetElements Fe; ThDMut=low"
                                               << QStringList{"LCF", "dEdge", "RA", "FV"};
        QTest::newRow("feature-value step") << "FVeStep=fine" << QStringList{"LCF", "dEdge", "Elems", "RA"};
    }
    void pointerLeavesOut()
    {
        QFETCH(QString, calls);
        Analyzer a;
        checkAll(a);
        run(a, calls);
        QStringList order;
        recordRequests(a, order);
        QSignalSpy done(&a, &Analyzer::finished);
        XafsSpectrum s = edgeSpectrum();
        a.analyzeSpectrum(s, SuggestElm());
        QTEST(order, "sent");
        QTRY_COMPARE(done.count(), 1);
    }

    // The feature-value step, and the edge comparison's range (half the shown one)
    // as read when a walk starts.
    void requestInputs_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<double>("eStep");
        QTest::addColumn<double>("range");
        QTest::newRow("step 0") << "FVeStep=0" << 0.01 << 10.0;
        QTest::newRow("step 0.5") << "FVeStep=0.5" << 0.5 << 10.0;
        QTest::newRow("range waits for the walk") << "setDEdgeCompParams 30 2 0.05" << 0.01 << 10.0;
        QTest::newRow("range read at the walk") << "setDEdgeCompParams 30 2 0.05; initAnalyzeSpectrum" << 0.01 << 15.0;
    }
    void requestInputs()
    {
        QFETCH(QString, calls);
        Analyzer a;
        run(a, calls);
        const XafsSpectrum s = edgeSpectrum();
        const Fanout f = requestsOf(a, s);
        QTEST(f.fv.eStep, "eStep");
        QTEST(f.dEdge.cwRangeEV, "range");
    }

    // The factor and energy typed into the panel reach the residual once a walk
    // reads them: the spectrum's lines are 0.001 (e - 9000) and 1 more, so the
    // jump is 1, the scaled jump the factor, and the residual the pre-edge
    // level at 9100.5 eV, 0.1005, less it (at the default 8200 eV: -0.8 less it).
    void residualFromPanel()
    {
        Analyzer a;
        run(a, "RAFactor=2.5; RAAtEV=9100.5; initAnalyzeSpectrum");
        a.setSubMode(0, 3, true);
        QSignalSpy done(&a, &Analyzer::finished);
        auto sloped = [](double e) { return rampValue(e, 8995, 9005) + 0.001 * (e - 9000); };
        XafsSpectrum s(sampled(8800, 9200, 1.0, sloped), "s", 1, 0.0, SuggestElm());
        a.analyzeSpectrum(s, SuggestElm());
        QTRY_COMPARE(done.count(), 1);
        const AnalyzeReply& r = a.results().ra;
        const QList<double> got{r.raJump, r.raScaledJump, r.raResidual}, want{1.0, 2.5, 0.1005 - 2.5};
        const QStringList names{"jump", "scaled jump", "residual"};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(sameValue(got[i], want[i], 1e-9), qPrintable(QString("%1 %2").arg(names[i]).arg(got[i])));
    }

    void limitedSpectrumEnds_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("count");  // the spectrum: 8800 to 9200 eV in 1 eV steps
        QTest::newRow("whole spectrum") << 0.0 << 30000.0 << 401;
        QTest::newRow("both limits on points") << 8900.0 << 9000.0 << 101;
        QTest::newRow("from above to") << 9000.0 << 8900.0 << 0;
    }
    void limitedSpectrumEnds()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, count);
        Analyzer a;
        a.setLCFRange(from, to);
        const XafsSpectrum l = a.limitedSpectrum(XafsSpectrum(edgeSpectrum(), "s", 1, 2.5, SuggestElm()));
        QCOMPARE(l.size(), count);
        QCOMPARE(l.name, QString("limited-S"));
        QCOMPARE(l.eOffset, 2.5);
        if (count > 0) {
            QCOMPARE(l.x(0), std::max(from, 8800.0));
            QCOMPARE(l.x(count - 1), l.x(0) + count - 1);
        }
    }

    void selectedRes_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("expected");  // map name, "rowN.M", or "null"
        QTest::newRow("start") << "" << "a2d dEdge";
        QTest::newRow("row 0, DMut") << "selectImage 0" << "row0.0";
        QTest::newRow("row 1, ratio") << "selectImage 1; setImageType 0" << "row1.1";
        QTest::newRow("dmut map valid") << "validRA; selectImage 7" << "a2d DMut";
        QTest::newRow("processed map") << "selectImage 8; selProcMaps" << "Processed Map";
        QTest::newRow("sum up") << "selectImage 10" << "Sum Up Img";
        QTest::newRow("element correlation") << "setTargetElements Fe Cu; selectImage 6; selectElemsDispMode 2"
                                             << "a2d ElemsCor";
        QTest::newRow("element row shown") << "setTargetElements Fe Cu; selectElemShow 1; selectImage 6;"
                                              "selectElemsDispMode 1"
                                           << "Cu-K Elem Ctrl N";
        QTest::newRow("fifth row has id 11") << "addNewRef; selectImage 11" << "row4.0";
        QTest::newRow("id 4 stays the edge map") << "addNewRef; selectImage 0; selectImage 4" << "a2d dEdge";
    }
    void selectedRes()
    {
        QFETCH(QString, calls);
        QFETCH(QString, expected);
        Analyzer a;
        run(a, calls);
        Analyzed2DRes* m = a.selectedRes();
        if (expected == "null")
            QVERIFY(!m);
        else if (expected.startsWith("row"))
            QCOMPARE(m, a.lcfResMap(expected.mid(3, 1).toInt(), expected.right(1).toInt()));
        else
            QCOMPARE(m ? m->name : QString(), expected);
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
    }

    void fifthRow()
    {
        Analyzer a;
        const int h = a.height();
        a.addNewRef();
        LCFReference* row = a.lcfRefs.value(4);
        QVERIFY(row && !row->XFS->Use->isChecked() && !row->use);
        QCOMPARE(row->XFS->Select->text(), QString("Select Ref5"));
        QCOMPARE(a.height(), h + 22);
    }

    void setters_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QStringList>("on");     // checked afterwards
        QTest::addColumn<QStringList>("off");    // not checked afterwards
        QTest::addColumn<QStringList>("texts");  // "Name=text"
        const QStringList none;
        QTest::newRow("image type 1, then 2") << "setImageType 0; setImageType 1; setImageType 2"
                                              << QStringList{"SelDMut"} << QStringList{"SelRatio"} << none;
        QTest::newRow("modes only add") << "setAnalysisMode 1; setAnalysisMode 0"
                                        << QStringList{"Sel2DA", "Sel2DARAA", "Sel2DAMLCFA"}
                                        << QStringList{"Sel2DAElemA"} << none;
        QTest::newRow("mode 3") << "setAnalysisMode 3" << QStringList{"SelSumUp"} << QStringList{"ShowDEdge"} << none;
        QTest::newRow("mode 4") << "setAnalysisMode 4" << QStringList{"SelProcMaps"} << QStringList{"Sel2DA"} << none;
        QTest::newRow("mode 5, then 6") << "setAnalysisMode 5; setAnalysisMode 6" << QStringList{"Sel2DADEdgeA"}
                                        << QStringList{"SelSumUp", "Sel2DAMLCFA"} << none;
        QTest::newRow("sub modes ignored") << "setSubMode 1 0 1; setSubMode 0 5 1" << none
                                           << QStringList{"Sel2DADEdgeA", "Sel2DAMLCFA", "Sel2DAElemA", "Sel2DARAA",
                                                          "Sel2DFVA"}
                                           << none;
        QTest::newRow("sub modes") << "setSubMode 0 0 1; setSubMode 0 2 1; setSubMode 0 4 1; setSubMode 0 4 0"
                                   << QStringList{"Sel2DADEdgeA", "Sel2DAElemA"} << QStringList{"Sel2DFVA"} << none;
        QTest::newRow("main mode") << "setMainMode 1; setMainMode 7" << QStringList{"SelProcMaps"}
                                   << QStringList{"Sel2DA"} << none;
        QTest::newRow("edge method, compare target")
            << "setDEdgeMode 1; setDEdgeMode 2; setDEdgeCompTarget 1; setDEdgeCompTarget -1"
            << QStringList{"DEdgeCompWith", "DEdgeCWStep"} << QStringList{"DEdgeMidPoint", "DEdgeCWFile"} << none;
        QTest::newRow("LCF") << "setLCFRange 8900 9500; setLCFMode 1; setLCFAsOld 1" << QStringList{"MLCF", "AsOldLCF"}
                             << none << QStringList{"LCFRange1=8900", "LCFRange2=9500"};
        QTest::newRow("numbers: energies 10 digits, others 6")
            << "setLCFRange 0.1 12345.67; setRaEnergy 8333.5; setDEdgeCompStepParams 9000.5 200 0.02;"
               "setElemsBgROI -2; setDMutScaleMax 2.1234567"
            << none << none
            << QStringList{"LCFRange1=0.1", "LCFRange2=12345.67", "RAAtEV=8333.5", "DEdgeCWStepAt=9000.5",
                           "DEdgeCWStepWeV=200", "DEdgeCWStepDEeV=0.02", "BGVROI=-2", "DMutScaleMax=2.12346"};
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
        for (const QString& k : on + off) {
            auto* b = qobject_cast<QAbstractButton*>(widgetOf(a, k));
            QVERIFY2(b && b->isChecked() == on.contains(k), qPrintable(k));
        }
        for (const QString& t : texts) {
            auto* e = qobject_cast<QLineEdit*>(widgetOf(a, t.section('=', 0, 0)));
            QVERIFY2(e, qPrintable(t));
            QCOMPARE(e->text(), t.section('=', 1));
        }
    }

    // The step fields reach the generated step; a refused step keeps the
    // spectrum compared with.
    void stepSpectrum()
    {
        Analyzer a;
        a.setDEdgeCompStepParams(9100, 200, 0.5);
        QVERIFY(a.dEdgeStepSpectrum());
        QCOMPARE(a.cwStep.size(), 400);
        QCOMPARE(a.cwStep.points.first(), QPointF(9000.0, 0.0));
        a.setDEdgeCompStepParams(9000, 300, 0);
        QVERIFY(!a.dEdgeStepSpectrum());
        QCOMPARE(a.cwStep.size(), 400);

        // A pointed spectrum before any walk compares with the step chosen, not with nothing.
        Analyzer b;
        b.setSubMode(0, 0, true);
        b.setDEdgeMode(1);
        b.setDEdgeCompTarget(1);
        b.setDEdgeCompStepParams(9100, 200, 0.5);
        QSignalSpy done(&b, &Analyzer::finished);
        XafsSpectrum s(sampled(8800, 9200, 1.0, [](double e) { return rampValue(e, 9095, 9105); }), "s", 1, 0.0,
                       SuggestElm());
        b.analyzeSpectrum(s, SuggestElm());
        QCOMPARE(b.cwStep.size(), 400);
        QTRY_COMPARE(done.count(), 1);
    }
};

CORVELLINE_TEST(TestAnalyzer)
#include "tst_analyzer.moc"
