#include "support/DispatcherRig.h"
#include "support/TestRegistry.h"

#include "batch/BatchDispatcher.h"
#include "batch/BatchForLoop.h"
#include "batch/CmdDef.h"
#include "foundation/Globals.h"

#include <QMutex>
#include <QTest>

namespace {
// The dispatcher writes every log text to the debug log too; the tests keep
// those lines (to check them, and to keep long runs off the console).
QMutex debugMutex;
QStringList debugLines;
bool keepDebug = true;
QtMessageHandler otherMessages = nullptr;

void collectDebug(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type != QtDebugMsg) {
        if (otherMessages)
            otherMessages(type, context, msg);
        return;
    }
    QMutexLocker lock(&debugMutex);
    if (keepDebug)
        debugLines << msg;
}

// "seek_image N" for from..to, zero-padded to width.
QStringList seeks(int from, int to, int width)
{
    QStringList out;
    for (int v = from; v <= to; ++v)
        out << QStringLiteral("seek_image %1").arg(v, width, 10, QLatin1Char('0'));
    return out;
}

void quietDebug()
{
    QMutexLocker lock(&debugMutex);
    keepDebug = false;
}

const int waitMs = 20000;
} // namespace

class TestDispatcher : public QObject {
    Q_OBJECT
    QString savedDataRoot;

private slots:
    void init()
    {
        savedDataRoot = dataRoot;
        dataRoot = QStringLiteral("/beam/root");
        {
            QMutexLocker lock(&debugMutex);
            debugLines.clear();
            keepDebug = true;
        }
        otherMessages = qInstallMessageHandler(collectDebug);
    }
    void cleanup()
    {
        qInstallMessageHandler(otherMessages);
        dataRoot = savedDataRoot;
    }

    // Scripts and sent commands as "|"-separated lines; an empty log is not checked.
    void scripts_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<int>("ends");
        const auto row = [](const char* name, const char* script, const char* log, const QStringList& sent,
                             int ends = 1) {
            QTest::newRow(name) << QString::fromUtf8(script).split(u'|') << QString::fromUtf8(log) << sent << ends;
        };
        const auto lines = [](const char* text) { return QString::fromUtf8(text).split(u'|', Qt::SkipEmptyParts); };

        row("for loop transcript", ":for i $i$ 1 3|save_image a$i$.png|:next i|:end",
            "for i : $i$ = 1\nsave_image : a1.png\nnext i : $i$ = 2\nsave_image : a2.png\n"
            "next i : $i$ = 3\nsave_image : a3.png\nnext i : $i$ = 3\nend",
            lines("save_image a1.png|save_image a2.png|save_image a3.png"));
        row("counting down by 3", ":for k @ 10 1 3|seek_image @|:next k|:end", "",
            lines("seek_image 10|seek_image 7|seek_image 4|seek_image 1"));
        row("zero padding to three places", ":for n # 001 012|seek_image #|:next n|:end", "", seeks(1, 12, 3));
        row("nested loops restart the inner one", ":for a A 1 2|:for b B 1 3|save_image A-B|:next b|:next a|:end", "",
            lines("save_image 1-1|save_image 1-2|save_image 1-3|save_image 2-1|save_image 2-2|save_image 2-3"));
        row("continuation joins without a separator", "load_I1_files a\\|b.tif|:end", "load_I1_files : ab.tif\nend",
            lines("load_I1_files ab.tif"));
        row("backslash followed by blanks continues", "load_I1_files a\\   | b c|:end", "",
            lines("load_I1_files a b c"));
        row("let then use", ":let dir C:/Data/run1|save_image $dir$/a.png|:end",
            "save_image : C:/Data/run1/a.png\nend", lines("save_image C:/Data/run1/a.png"));
        row("data root variable", "save_image $DataRoot$/x.png|:end", "", lines("save_image /beam/root/x.png"));
        // One pass over the variables in the order they were set.
        row("value holding its own key goes in once", ":let x A$x$B|save_image $x$$x$|:end", "",
            lines("save_image A$x$BA$x$B"));
        row("value holding a later key is replaced", ":let a <$b$>|:let b B|save_image $a$|:end", "",
            lines("save_image <B>"));
        row("value holding an earlier key stays", ":let b B|:let a <$b$>|save_image $a$|:end", "",
            lines("save_image <$b$>"));
        row("command word is never substituted", ":let w save_image|$w$ a|seek_image $w$|:end",
            "Err: unknown word $w$ in line 2 skipped\nseek_image : save_image\nend", lines("seek_image save_image"));
        row("echo logs its first parameter with a line end", ":echo $DataRoot$ more|:end", "echo /beam/root\nend",
            {});
        row("echo with an open quote", ":echo \"open text|:echo b\"|:end",
            "Err: line 1 [:echo \"open text]: a quote opens an item but does not close it, the rest of the line is "
            "taken as the item\necho open text\nErr: line 2 [:echo b\"]: an item ends with a quote that does not open "
            "it, the quote is kept in the item\necho b\"\nend",
            {});
        row("comment block", ":rem_start|save_image a$i$|foo|:let x 1|:for q Q 1 2|:end|:rem_end|save_image $x$|:end",
            "save_image : $x$\nend", lines("save_image a$i$ [rem]|save_image $x$"));
        row("unknown words skipped with a line each", "foo bar|:foo|quit2 x|save_image a|:end",
            "Err: unknown word foo in line 1 skipped\nErr: unknown word :foo in line 2 skipped\n"
            "Err: unknown word quit2 in line 3 skipped\nsave_image : a\nend",
            lines("save_image a"));
        // Told once though walked twice; the misspelled :next ends the loop after one pass.
        row("misspelled words in loops",
            ":for i $i$ 1 2|save_imag a$i$|:next i|:for j $j$ 1 3|seek_image $j$|:nxt j|:end",
            "for i : $i$ = 1\nErr: unknown word save_imag in line 2 skipped\nnext i : $i$ = 2\nnext i : $i$ = 2\n"
            "for j : $j$ = 1\nseek_image : 1\nErr: unknown word :nxt in line 6 skipped\nend",
            lines("seek_image 1"));
        // A loop that cannot count is told and skipped with its lines; the batch goes on.
        row(":for with an end that is a word", ":for i $I$ 1 abc|save_image a$I$|:next i|save_image b|:end",
            "Can't run :for i in line 1: its end \"abc\" is no whole number; its lines up to :next i are skipped\n"
            "save_image : b\nend",
            lines("save_image b"));
        row(":for with a fractional start", ":for j $J$ 3.7 5|seek_image $J$|:next j|:end", "", {});
        row(":for with a step that is a word", ":for k $K$ 1 3 x|seek_image $K$|:next k|seek_image 9|:end", "",
            lines("seek_image 9"));
        row(":for without :next skipped alone", ":for m $M$ a 2|seek_image 4|:end",
            "Can't run :for m in line 1: its start \"a\" is no whole number; it has no :next and is skipped "
            "alone\nseek_image : 4\nend",
            lines("seek_image 4"));
        row("next of an unknown loop goes on", ":next z|save_image a|:end",
            "Err: no loop z for :next z in line 1 (no :for z before it), skipped\nsave_image : a\nend",
            lines("save_image a"));
        // The wrong name in a loop is told once; the loop ends after one pass.
        row("next naming another loop", ":for i $i$ 1 2|seek_image $i$|:next j|:next|:end",
            "for i : $i$ = 1\nseek_image : 1\nErr: no loop j for :next j in line 3 (no :for j before it), skipped\n"
            "Err: :next in line 4 names no loop, skipped\nend",
            lines("seek_image 1"));
        row("lines after end are dropped with it", "save_image a|:end|save_image b|:end",
            "save_image : a\nendsave_image : b\nend", lines("save_image a|save_image b"), 2);
    }
    void scripts()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, log);
        QFETCH(QStringList, sent);
        QFETCH(int, ends);
        DispatcherRig rig;
        rig.dispatch(script);
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), ends, waitMs);
        QCOMPARE(rig.responder.sentTexts(), sent);
        if (!log.isEmpty())
            QCOMPARE(rig.responder.transcript(), log);
    }

    void answerIds_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("inRem");
        QTest::addColumn<int>("id");
        QTest::newRow("plain command") << "save_image a.png" << false << 64;
        QTest::newRow("inside a comment block") << "save_image a.png" << true << 162;
        QTest::newRow("I1 pattern load answers as the load") << "load_I1_files_of_pattern d p" << false << 4;
        QTest::newRow("2-D analysis") << "analyzer_exec_2da" << false << 116;
        QTest::newRow("sum-up has no handler") << "analyzer_select_main_mode_sumUp 1" << false << 162;
        QTest::newRow("map load") << "calib_load_map m.emp" << false << 142;
    }
    void answerIds()
    {
        QFETCH(QString, line);
        QFETCH(bool, inRem);
        QFETCH(int, id);
        QCOMPARE(BatchDispatcher::answerIdOf(CmdLine(line), inRem), id);
    }

    void loopSteps_data()
    {
        QTest::addColumn<QString>("forLine");
        QTest::addColumn<QStringList>("values");
        const auto values = [](const char* text) { return QString::fromLatin1(text).split(u' '); };
        QTest::newRow("down") << "i @ 3 1" << values("3 2 1");
        QTest::newRow("negative step counts as its size") << "i @ 10 1 -3" << values("10 7 4 1");
        QTest::newRow("padded down") << "i @ 010 8" << values("010 009 008");
        QTest::newRow("padding only to the start's width") << "i @ 08 11" << values("08 09 10 11");
        QTest::newRow("end beyond int counts as 0") << "i @ 2 99999999999" << values("2 1 0");
        QTest::newRow("top of int without overflow") << "i @ 2147483640 2147483647 5"
                                                     << values("2147483640 2147483645");
        QTest::newRow("step of the smallest int") << "i @ 0 10 -2147483648" << values("0");
    }
    void loopSteps()
    {
        QFETCH(QString, forLine);
        QFETCH(QStringList, values);
        BatchForLoop loop(7, forLine);
        QStringList seen{loop.value};
        int guard = 0;
        while (loop.next(40) == 7 && ++guard < 100)
            seen << loop.value;
        QCOMPARE(seen, values);
        QCOMPARE(loop.value, values.last()); // the last value stays when ended
    }

    void debugLogMirrorsBatchLog()
    {
        DispatcherRig rig;
        rig.dispatch({":for i $i$ 1 2", "save_image a$i$.png", ":next i", ":echo hi", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        QMutexLocker lock(&debugMutex);
        for (QString t : rig.responder.logs) {
            if (t.endsWith(u'\n'))
                t.chop(1);
            QVERIFY2(debugLines.contains(t), qPrintable(t));
        }
        QVERIFY(debugLines.contains(QStringLiteral("dispacher :: do dispach cmds 5 false")));
    }

    void millionPassLoop()
    {
        quietDebug();
        DispatcherRig rig(false);
        rig.dispatch({":for i $i$ 1 1000000", ":next i", "save_image a$i$", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, 300000);
        QCOMPARE(rig.responder.sentTexts(), QStringList{"save_image a1000000"});
    }

    void stopEndsACommandlessLoop()
    {
        quietDebug();
        DispatcherRig rig(false);
        rig.dispatch({":for i $i$ 1 2000000000", ":next i", "save_image never", ":end"});
        QVERIFY(rig.settle()); // the loop is under way
        rig.stop();
        rig.dispatch({"save_image after", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, waitMs);
        QCOMPARE(rig.responder.sentTexts(), QStringList{"save_image after"});
    }

    void stopWhileACommandIsOut()
    {
        DispatcherRig rig;
        rig.responder.hold = true;
        rig.dispatch({"load_I1_files NEW a b", "save_image never", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, waitMs);
        rig.stop();
        rig.responder.hold = false;
        rig.dispatch({"save_image next", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        QCOMPARE(rig.responder.transcript(), QStringLiteral("load_I1_files : NEW a b\nBatch stopped at line 1: "
                                                            "load_I1_files NEW a b\nsave_image : next\nend"));
        // The late answer to the abandoned load finds nobody waiting for it.
        rig.responder.release();
        QVERIFY(rig.settle());
        QCOMPARE(rig.responder.sentTexts(), (QStringList{"load_I1_files NEW a b", "save_image next"}));
    }

    void strayAnswersIgnored()
    {
        DispatcherRig rig;
        rig.responder.hold = true;
        // Before anything runs, and with the wrong id while a load is out.
        emit rig.responder.finishBatchExec(64);
        rig.dispatch({"load_I1_files NEW a b", "save_image a", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, waitMs);
        emit rig.responder.finishBatchExec(116);
        emit rig.responder.finishBatchExec(5);
        QVERIFY(rig.settle());
        QCOMPARE(rig.responder.sent.size(), 1);
        rig.responder.hold = false;
        rig.responder.release();
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        QCOMPARE(rig.responder.sentTexts(), (QStringList{"load_I1_files NEW a b", "save_image a"}));
    }

    void configLinesThenBatch_data()
    {
        QTest::addColumn<QStringList>("config");
        QTest::addColumn<bool>("waitBetween");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("commands, batch follows at once")
            << QStringList{" save_image c1", " :let q Q"} << false << QStringList{"save_image c1", "save_image Q"};
        QTest::newRow("continued last line")
            << QStringList{" save_image c\\"} << true << QStringList{"save_image c", "save_image $q$"};
        QTest::newRow("unclosed comment block")
            << QStringList{":rem_start", "save_image c1"} << true
            << QStringList{"save_image c1 [rem]", "save_image $q$"};
    }
    void configLinesThenBatch()
    {
        QFETCH(QStringList, config);
        QFETCH(bool, waitBetween);
        QFETCH(QStringList, sent);
        DispatcherRig rig;
        rig.dispatch(config);
        // The configuration's one command answered and its lines run out.
        if (waitBetween) {
            QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, waitMs);
            QVERIFY(rig.settle());
        }
        rig.dispatch({"save_image $q$", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 1, waitMs);
        QCOMPARE(rig.responder.sentTexts(), sent);
    }

    void execWhileRunningAppends()
    {
        DispatcherRig rig;
        rig.responder.hold = true;
        rig.dispatch({":for i @ 1 2", "load_I0_files NEW a@ b", ":next i", ":end"});
        QTRY_COMPARE_WITH_TIMEOUT(rig.responder.sent.size(), 1, waitMs);
        rig.dispatch({":for i @ 7 8", "save_image s@", ":next i", ":end"});
        rig.responder.hold = false;
        rig.responder.release();
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends(), 2, waitMs);
        QCOMPARE(rig.responder.sentTexts(), (QStringList{"load_I0_files NEW a1 b", "load_I0_files NEW a2 b",
                                                         "save_image s7", "save_image s8"}));
    }
};

CORVELLINE_TEST(TestDispatcher)
#include "tst_dispatcher.moc"
