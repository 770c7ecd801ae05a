#include "support/TestRegistry.h"

#include "fuzz/engine/FuzzRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
const std::uint64_t ciSeed = 20261207;

QString regressionsDir() { return testreg::sourceDir() + QStringLiteral("/tests/fuzz/regressions"); }
} // namespace

class TestFuzz : public QObject {
    Q_OBJECT
private slots:
    void everyTarget_data()
    {
        QTest::addColumn<QString>("target");
        for (const FuzzTarget& t : fuzzTargets())
            QTest::newRow(qPrintable(t.name)) << t.name;
    }
    // A fault ends the process with the input's seed and bytes; a clean run
    // tries every input it was given.
    void everyTarget()
    {
        QFETCH(QString, target);
        const FuzzTarget* t = findFuzzTarget(target);
        QVERIFY(t);
        QTemporaryDir work;
        QVERIFY(!t->examples(work.path()).isEmpty());
        FuzzLimits limits;
        limits.maxInputs = t->ciInputs;
        limits.failDir = testreg::shotsDir();
        const FuzzReport r = runFuzzTarget(*t, ciSeed, limits);
        QCOMPARE(r.inputs, qint64(t->ciInputs));
    }

    // A sequence that never ends fails by the bound it runs into: one that
    // keeps working by its CPU time, one blocked for good (a save into a pipe
    // nobody reads, "@OUT@" its folder) by its wall time.
    void hangFails_data()
    {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QStringList>("bounds");
        QTest::addColumn<QString>("reason");
        QTest::newRow("working")
            << QByteArray("load_I1_files_of_pattern NEW $DataRoot$/ I1_*.tif\n"
                          ":for spin $i$ 1 2000000000\n"
                          "save_image $DataRoot$/o/spin.png\n"
                          ":next spin\n")
            << QStringList{QStringLiteral("--cpu-seconds"), QStringLiteral("1.5"),
                           QStringLiteral("--wall-seconds"), QStringLiteral("300")}
            << QStringLiteral("input used more than 1.5 s of CPU time");
        QTest::newRow("blocked")
            << QByteArray("load_I1_files_of_pattern NEW $DataRoot$/ I1_*.tif\n"
                          "save_image @OUT@/pipe.png\n")
            << QStringList{QStringLiteral("--cpu-seconds"), QStringLiteral("20"),
                           QStringLiteral("--wall-seconds"), QStringLiteral("3")}
            << QStringLiteral("input ran past 3.0 s of wall time");
    }
    void hangFails()
    {
        QFETCH(QByteArray, batch);
        QFETCH(QStringList, bounds);
        QFETCH(QString, reason);
        QTemporaryDir out;
        QVERIFY(::mkfifo(qPrintable(out.filePath(QStringLiteral("pipe.png"))), 0600) == 0);
        QFile f(out.filePath(QStringLiteral("hang.bat")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(batch.replace("@OUT@", out.path().toUtf8()));
        f.close();
        QProcess runner;
        runner.start(QStringLiteral(FUZZ_RUNNER_BIN),
                     QStringList{QStringLiteral("commands"), QStringLiteral("--file"), f.fileName(),
                                 QStringLiteral("--out"), out.path()}
                         + bounds);
        // The runner's own bound ends it; this only keeps a broken one from waiting forever.
        QVERIFY(runner.waitForFinished(400000));
        const QByteArray said = runner.readAllStandardError();
        QCOMPARE(runner.exitCode(), 3);
        QVERIFY2(said.contains(reason.toLatin1()), said.constData());
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("fuzz-failure-commands.bat"))));
    }

    // Inputs that once failed, named "<target>-<what>.bin" (".bat" for command
    // sequences).
    void savedFailures()
    {
        const QFileInfoList files = QDir(regressionsDir())
                                        .entryInfoList({QStringLiteral("*.bin"), QStringLiteral("*.bat")},
                                                       QDir::Files);
        for (const QFileInfo& fi : files) {
            const FuzzTarget* t = findFuzzTarget(fi.baseName().section(QLatin1Char('-'), 0, 0));
            QVERIFY2(t, qPrintable(fi.fileName()));
            QFile f(fi.filePath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTemporaryDir work;
            t->examples(work.path());
            runFuzzBytes(*t, f.readAll(), work.path());
        }
    }
};

CORVELLINE_TEST(TestFuzz)
#include "tst_fuzz.moc"
