#include "support/TestRegistry.h"

#include "analysis/AnalysisWalk.h"
#include "analysis/Analyzer.h"
#include "foundation/Cfg.h"
#include "mainwindow/Body.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestBodyWalk : public QObject {
    Q_OBJECT
    std::unique_ptr<Body> body;

private slots:
    void initTestCase()
    {
        cfg.clear();
        body = std::make_unique<Body>();
    }
    void cleanupTestCase() { body.reset(); }

    void suggestedAbsorber_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("eV");
        QTest::addColumn<int>("z");
        QTest::addColumn<double>("edgeEV");
        QTest::newRow("iron") << "Fe" << "7112" << 26 << 7112.0;
        QTest::newRow("symbols are case-sensitive, no number") << "fe" << "abc" << -1 << 0.0;
    }
    void suggestedAbsorber()
    {
        QFETCH(QString, element);
        QFETCH(QString, eV);
        QFETCH(int, z);
        QFETCH(double, edgeEV);
        Body& b = *body;
        b.UseSuggestElm->setChecked(true);
        b.SuggestingElm->setText(element);
        b.SuggestingEeV->setText(eV);
        b.DPreE->setText("-30");
        b.ThJumpSigma->setText("2.5");
        const SuggestElm s = b.suggestElm();
        QVERIFY(s.use);
        QCOMPARE(s.z, z);
        QCOMPARE(s.edge, b.SuggestingEdge->currentIndex());
        QCOMPARE(s.edgeEV, edgeEV);
        QCOMPARE(s.dPreE, -30.0);
        QCOMPARE(s.thJumpSigma, 2.5);
    }

    // Without a stack there is no area: the walk does not start, and a batch
    // waiting for it is let go.
    void noStack()
    {
        QVERIFY(body->i1Frames.isEmpty());
        body->analyzer->setSubMode(0, 0, true);
        QSignalSpy done(body.get(), &Body::finishBatchExec);
        AnalyzeCond c;
        QVERIFY(!body->askAnalyzeCond(c));
        emit body->analyzer->AskAnalyze->clicked();
        QVERIFY(!body->walk->running());
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.first().first().toInt(), 116);
    }
};

CORVELLINE_TEST(TestBodyWalk)
#include "tst_bodywalk.moc"
