#include "support/DispatcherRig.h"
#include "support/TestRegistry.h"

#include "batch/BatchDispatcher.h"

#include <QTest>

namespace {
// Defined from the last to the first, so one pass over the variables in their
// order doubles the text at each: $v<n>$ would become 2^n times "x".
QStringList doublingLets(int n)
{
    QStringList out;
    for (int i = n; i >= 1; --i)
        out << QStringLiteral(":let v%1 $v%2$$v%2$").arg(i).arg(i - 1);
    out << QStringLiteral(":let v0 x");
    return out;
}

QString refusal(const QString& word)
{
    return QStringLiteral("Err: %1 skipped: its parameters pass %2 characters after substitution\n")
        .arg(word)
        .arg(BatchDispatcher::maxParamsLength);
}

void quiet(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type != QtDebugMsg)
        qt_message_output(type, context, msg);
}

// Generous: the lines below take milliseconds when substitution is linear.
const int waitMs = 20000;
} // namespace

// Batch lines whose parameters grow past the cap are skipped with one log line;
// the walk goes on and Stop still gets in.
class TestOversizedLines : public QObject {
    Q_OBJECT
    QtMessageHandler previous = nullptr;

private slots:
    void init() { previous = qInstallMessageHandler(quiet); }
    void cleanup() { qInstallMessageHandler(previous); }

    void refused_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("refusedWord"); // empty: nothing refused
        QTest::addColumn<QStringList>("sent");
        const qsizetype cap = BatchDispatcher::maxParamsLength;
        const QStringList after = {"save_image after", ":end"};
        QTest::newRow("35 doubling lets") << doublingLets(35) + QStringList{"save_image $v35$"} + after
                                          << "save_image" << QStringList{"save_image after"};
        QTest::newRow("doubling in an echo") << doublingLets(35) + QStringList{":echo $v35$"} + after
                                             << ":echo" << QStringList{"save_image after"};
        QTest::newRow("two parameters together one over")
            << QStringList{"seek_image " + QString(cap / 2, u'a') + " " + QString(cap / 2 + 1, u'b')} + after
            << "seek_image" << QStringList{"save_image after"};
        const QString quarter = QStringLiteral("$a$").repeated(cap / 4);
        QTest::newRow("at the cap after substitution: sent")
            << QStringList{":let a bbbb", "save_image " + quarter} + after << QString()
            << QStringList{"save_image " + QString(cap, u'b'), "save_image after"};
        QTest::newRow("one over after substitution")
            << QStringList{":let a bbbb", "save_image " + quarter + "b"} + after << "save_image"
            << QStringList{"save_image after"};
        // Each replacement in place would move the rest of the text: 340,000 times.
        QTest::newRow("many short keys, linear") << QStringList{":let a b", "save_image " + QStringLiteral("$a$").repeated(340000)} + after
                                                 << QString() << QStringList{"save_image " + QString(340000, u'b'), "save_image after"};
        // Cutting each item off a copy of the rest would copy the line 500,000 times.
        QTest::newRow("half a million items, linear")
            << QStringList{"seek_image" + QStringLiteral(" a").repeated(500000)} + after << QString()
            << QStringList{"seek_image " + QStringList(500000, QStringLiteral("a")).join(u' '), "save_image after"};
    }
    void refused()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, refusedWord);
        QFETCH(QStringList, sent);
        DispatcherRig rig;
        rig.dispatch(script);
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        // Skipped lines are never sent, so nothing waits for their answer.
        QCOMPARE(rig.responder.sentTexts(), sent);
        QCOMPARE(rig.responder.logs.count(refusal(refusedWord)), refusedWord.isEmpty() ? 0 : 1);
    }

    // A loop that meets a refused line on every pass and sends nothing.
    void stopGetsInBetweenRefusedLines()
    {
        DispatcherRig rig;
        rig.dispatch(doublingLets(35) + QStringList{":for i $i$ 1 2000000000", ":echo $v35$", ":next i",
                                                    "save_image never", ":end"});
        QTRY_VERIFY_WITH_TIMEOUT(rig.responder.logs.count(refusal(":echo")) >= 2, waitMs);
        rig.stop();
        rig.dispatch({"save_image after", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sentTexts(), QStringList{"save_image after"}, waitMs);
    }
};

CORVELLINE_TEST(TestOversizedLines)
#include "tst_oversizedlines.moc"
