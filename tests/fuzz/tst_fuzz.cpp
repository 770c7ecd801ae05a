#include "support/TestRegistry.h"

#include "fuzz/engine/FuzzRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
