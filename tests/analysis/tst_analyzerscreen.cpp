// The analysis panel is wider than a laptop's screen: it opens inside the
// screen, and every control of it scrolls into view.
#include "support/ScrollReach.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

class TestAnalyzerScreen : public QObject {
    Q_OBJECT
private slots:
    // Where the screen holds it, it has its size of old and nothing scrolls.
    void heldWhole()
    {
        Analyzer a;
        QCOMPARE(a.size(), QSize(1446, 642 + 4 * 22));
        a.show();
        a.resize(1446, 642 + 4 * 22);
        auto* scroll = a.findChild<QScrollArea*>(QStringLiteral("formScroll"));
        QVERIFY(scroll);
        QTRY_COMPARE(scroll->widget()->size(), a.contentsRect().size());
        QTRY_VERIFY(!scroll->horizontalScrollBar()->isVisible() && !scroll->verticalScrollBar()->isVisible());
    }

    void reachable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row"); // of the reference rows; -1 the panel's own
        QTest::newRow("Upper Limit V.") << "UpperLimitV" << -1;
        QTest::newRow("Analyze") << "AskAnalyze" << -1;
        QTest::newRow("Sum Up") << "AskSumUp" << -1;
        QTest::newRow("map of reference 1") << "Show" << 0;
        QTest::newRow("map of reference 4") << "Show" << 3;
        QTest::newRow("map of an added reference") << "Show" << 4;
    }
    // A laptop's 1366 x 768 screen less a panel and the title bar.
    void reachable()
    {
        QFETCH(QString, name);
        QFETCH(int, row);
        Analyzer a;
        a.addNewRef();
        a.resize(1366, 700);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QCOMPARE(a.size(), QSize(1366, 700));
        auto* scroll = a.findChild<QScrollArea*>(QStringLiteral("formScroll"));
        QVERIFY(scroll);
        QWidget* w = row < 0 ? a.findChild<QWidget*>(name) : a.lcfRefs.value(row)->findChild<QWidget*>(name);
        QVERIFY(w);
        const QString missed = scrollreach::missedAfterScrolling(*scroll, *w);
        QVERIFY2(missed.isEmpty(), qPrintable(missed));
    }
};

CORVELLINE_TEST(TestAnalyzerScreen)
#include "tst_analyzerscreen.moc"
