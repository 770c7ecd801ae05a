#include "WiredBatchWindow.h"
#include "support/TestRegistry.h"

#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "batch/PendingLog.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {
const int waitMs = 60000;

void quietDebug(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(msg));
}

// Empty when the blocks from the first one on read "next i : $i$ = value",
// value counting up from firstValue; else the first block that does not.
QString firstMismatch(const QTextDocument* doc, const QTextBlock& last, int firstValue)
{
    int v = firstValue;
    for (QTextBlock b = doc->firstBlock(); b.isValid() && b != last; b = b.next(), ++v)
        if (b.text() != QStringLiteral("next i : $i$ = %1").arg(v))
            return QStringLiteral("%1 where %2 was due").arg(b.text()).arg(v);
    return QString();
}
} // namespace

class TestBatchLog : public QObject {
    Q_OBJECT
    QtMessageHandler previous = nullptr;

private slots:
    void init() { previous = qInstallMessageHandler(quietDebug); }
    void cleanup() { qInstallMessageHandler(previous); }

    // A view of three lines.
    void pendingKeepsTheViewsLines_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<bool>("replacesView");
        QTest::newRow("fewer lines than the view") << QStringList{"a\n", "b"} << "a\nb" << false;
        QTest::newRow("texts without line end run on") << QStringList{"x", "y\n", "z"} << "xy\nz" << false;
        QTest::newRow("as many lines as the view") << QStringList{"1\n2\n", "3"} << "1\n2\n3" << false;
        QTest::newRow("one line more") << QStringList{"1\n2\n", "3\n"} << "2\n3\n" << true;
        QTest::newRow("one long text") << QStringList{"1\n2\n3\n4\n5"} << "3\n4\n5" << true;
        QTest::newRow("cut while gathering, then at the take")
            << QStringList{"1\n", "2\n", "3\n", "4\n", "5\n", "6\n", "7\n"} << "6\n7\n" << true;
    }
    void pendingKeepsTheViewsLines()
    {
        QFETCH(QStringList, texts);
        PendingLog p(3);
        for (const QString& t : texts)
            p.append(t);
        const PendingLog::Batch b = p.take();
        QTEST(b.text, "taken");
        QTEST(b.replacesView, "replacesView");
        QCOMPARE(b.breaks, qsizetype(b.text.count(u'\n')));
        QVERIFY(p.isEmpty());
    }

    // Texts of one event-loop turn go into the view together, in order, and
    // the view keeps its last lines.
    // Lines told while the commands' tab was chosen are in view when the log tab is chosen.
    void logTabShowsItsEnd()
    {
        BatchCtrl w;
        w.resize(400, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.tabWidget->currentIndex(), 0);
        for (int i = 0; i < 300; i++)
            w.Log(QStringLiteral("line %1\n").arg(i));
        QTRY_VERIFY(w.BatchLogs->toPlainText().contains(QStringLiteral("line 299")));
        w.tabWidget->setCurrentIndex(1);
        QScrollBar* bar = w.BatchLogs->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    }

    void linesOfOneTurnArriveTogether()
    {
        BatchCtrl w;
        w.Log(QStringLiteral("first\n")); // the view was quiet: in at once
        QCOMPARE(w.BatchLogs->toPlainText(), QStringLiteral("first\n"));
        const int n = BatchCtrl::maxLogLines + 50000;
        for (int i = 1; i <= n; ++i)
            w.Log(QStringLiteral("next i : $i$ = %1\n").arg(i));
        QCOMPARE(w.BatchLogs->toPlainText(), QStringLiteral("first\n"));

        QTextDocument* doc = w.BatchLogs->document();
        QTRY_COMPARE(doc->lastBlock().previous().text(), QStringLiteral("next i : $i$ = %1").arg(n));
        // "first", n lines and the empty last block: the first n + 2 - max went.
        QCOMPARE(doc->blockCount(), BatchCtrl::maxLogLines);
        QCOMPARE(firstMismatch(doc, doc->lastBlock(), n + 2 - BatchCtrl::maxLogLines), QString());
        QCOMPARE(doc->lastBlock().text(), QString());
    }

    // From the window to its end: the last texts of a loop longer than the
    // view reach the view without a further event.
    void longLoopEndsComplete()
    {
        WiredBatchWindow b;
        const int n = BatchCtrl::maxLogLines + 5000;
        b.exec(QStringLiteral(":for i $i$ 1 %1\n:next i").arg(n));
        QTextDocument* doc = b.w.BatchLogs->document();
        QTRY_COMPARE_WITH_TIMEOUT(doc->lastBlock().text(), QStringLiteral("end"), waitMs);
        // "for", next 2..n, next n again, "end": the first n + 2 - max went.
        QCOMPARE(doc->blockCount(), BatchCtrl::maxLogLines);
        const QTextBlock lastPass = doc->lastBlock().previous();
        QCOMPARE(lastPass.text(), QStringLiteral("next i : $i$ = %1").arg(n));
        QCOMPARE(firstMismatch(doc, lastPass, n + 3 - BatchCtrl::maxLogLines), QString());
    }

    // The walk waits while its last turn's texts are not taken; Stop then ends
    // the loop, and the next batch runs although the late answer is still due.
    void loopWaitsForItsLogAndStops()
    {
        DispatcherRig rig;
        QList<int> turns;
        connect(rig.dispatcher, &BatchDispatcher::logTurnEnded, this, [&turns](int t) { turns << t; });
        rig.dispatch({":for i $i$ 1 2000000000", ":next i", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(turns.size(), 1, waitMs);
        QVERIFY(rig.settle());
        QCOMPARE(rig.responder.logs.size(), qsizetype(BatchDispatcher::linesPerTurn));

        BatchDispatcher* d = rig.dispatcher;
        const auto answer = [d](int turn) { QMetaObject::invokeMethod(d, [d, turn] { d->logTaken(turn); }); };
        answer(turns.last());
        QTRY_COMPARE_WITH_TIMEOUT(turns.size(), 2, waitMs);
        QVERIFY(rig.settle());
        QCOMPARE(rig.responder.logs.size(), qsizetype(2 * BatchDispatcher::linesPerTurn));

        rig.stop();
        rig.dispatch({":echo after", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        QCOMPARE(rig.responder.logs.mid(rig.responder.logs.size() - 2), (QStringList{"echo after\n", "end"}));
        const qsizetype logged = rig.responder.logs.size();
        answer(turns.last()); // late: the loop is gone
        QVERIFY(rig.settle());
        QCOMPARE(rig.responder.logs.size(), logged);
        QCOMPARE(turns.size(), 2);
    }

    // As the operator sees it: Stop ends a loop that could run for days.
    void stopButtonEndsALongLoop()
    {
        WiredBatchWindow b;
        b.exec(QStringLiteral(":for i $i$ 1 2000000000\n:next i"));
        QTRY_VERIFY_WITH_TIMEOUT(b.w.BatchLogs->blockCount() > 2 * BatchDispatcher::linesPerTurn, waitMs);
        QTest::mouseClick(b.w.Stop, Qt::LeftButton);
        b.exec(QStringLiteral(":echo after"));
        QTRY_VERIFY_WITH_TIMEOUT(b.w.BatchLogs->toPlainText().endsWith(QStringLiteral("\necho after\nend")), waitMs);
        // The record says where the loop was stopped, once.
        static const QRegularExpression stopped(QStringLiteral("^Batch stopped at line 2: :next i$"),
                                                QRegularExpression::MultilineOption);
        QCOMPARE(b.w.BatchLogs->toPlainText().count(stopped), 1);
    }
};

CORVELLINE_TEST(TestBatchLog)
#include "tst_batchlog.moc"
