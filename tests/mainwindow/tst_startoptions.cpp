#include "support/TestRegistry.h"

#include "foundation/Cfg.h"
#include "mainwindow/StartOptions.h"
#include "support/ArgvWords.h"
#include "support/EnergyFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString startRoot = QStringLiteral("C:/Data");

// Runs the start-up order on a private store: command line, then the file
// chosen from it (the "beside" file when none is named), then the settings.
struct Run {
    QString path;
    StartOptions opts;
};

Run runStart(const QTemporaryDir& dir, const QStringList& args, const QString& besideContent,
             bool showA2BBefore = false)
{
    const QString beside = dir.filePath(QStringLiteral("config.cfg"));
    QFile f(beside);
    if (f.open(QIODevice::WriteOnly | QIODevice::Text))
        f.write(besideContent.toUtf8());
    f.close();
    for (const char* name : {"a.cfg", "b.cfg"}) {
        QFile g(dir.filePath(QString::fromLatin1(name)));
        if (g.open(QIODevice::WriteOnly | QIODevice::Text))
            g.write(QByteArray("DataRoot /from/") + name + "\n");
    }

    QStringList words{QStringLiteral("corvelline")};
    for (QString w : args)
        words << w.replace(u'@', dir.path());
    ArgvWords av(words);
    Cfg store;
    store.init(av.argc(), av.argv(), false, QStringLiteral("config.cfg"),
               {QStringLiteral("-c"), QStringLiteral("-config")});
    Run r;
    r.path = configPathOf(store, beside);
    store.readFile(r.path);
    StartOptions cur;
    cur.dataRoot = startRoot;
    cur.batchRoot = startRoot;
    cur.showAnalyzer2Button = showA2BBefore;
    r.opts = startOptionsOf(store, cur);
    return r;
}
// Runs the program in `folder` ("@" in the words) without a configuration file,
// so that none beside the program adds batch lines; false when it does not end.
bool runProgram(QProcess& p, const QString& folder, const QStringList& args,
                const QList<std::pair<QString, QString>>& vars = {})
{
    QStringList words{QStringLiteral("-c"), folder + QStringLiteral("/none.cfg")};
    for (QString w : args)
        words << w.replace(u'@', folder);
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [name, value] : vars)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CORVELLINE_BIN), words);
    if (p.waitForFinished(90000))
        return true;
    p.kill();
    p.waitForFinished();
    return false;
}
} // namespace

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void configFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("fileName");   // relative to the folder; "" for none
        QTest::addColumn<QString>("dataRoot");

        QTest::newRow("none: beside the program")
            << QStringList() << "config.cfg" << "/beside";
        QTest::newRow("-c") << QStringList{"-c", "@/a.cfg"} << "a.cfg" << "/from/a.cfg";
        QTest::newRow("-config") << QStringList{"-config", "@/b.cfg"} << "b.cfg" << "/from/b.cfg";
        QTest::newRow("-c then -config: -config wins")
            << QStringList{"-c", "@/a.cfg", "-config", "@/b.cfg"} << "b.cfg" << "/from/b.cfg";
        QTest::newRow("-config then -c: -config still wins")
            << QStringList{"-config", "@/b.cfg", "-c", "@/a.cfg"} << "b.cfg" << "/from/b.cfg";
        QTest::newRow("bare -c: nothing read")
            << QStringList{"-c", "-e"} << "" << startRoot;
    }
    void configFile()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, fileName);
        QFETCH(QString, dataRoot);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const Run r = runStart(dir, args, QStringLiteral("DataRoot /beside\n"));
        QCOMPARE(r.path, fileName.isEmpty() ? QString() : dir.filePath(fileName));
        QCOMPARE(r.opts.dataRoot, dataRoot);
    }

    void settings_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("a2bBefore");
        QTest::addColumn<QString>("dataRoot");
        QTest::addColumn<QString>("batchRoot");
        QTest::addColumn<bool>("showA2B");

        const QStringList none;
        QTest::newRow("nothing given keeps the start values")
            << none << "" << false << startRoot << startRoot << false;
        QTest::newRow("start value of the flag kept without the key")
            << none << "" << true << startRoot << startRoot << true;
        QTest::newRow("file keys spelt exactly")
            << none << "DataRoot /d\nBatchRoot /b\nShowAnalyzer2Button 1\n" << false
            << "/d" << "/b" << true;
        QTest::newRow("file keys in other letter case are not used")
            << none << "dataroot /d\nBATCHROOT /b\nshowanalyzer2button 1\n" << false
            << startRoot << startRoot << false;
        QTest::newRow("options override the file")
            << QStringList{"-d", "/od", "-br", "/ob"} << "DataRoot /d\nBatchRoot /b\n" << false
            << "/od" << "/ob" << false;
        QTest::newRow("a file line keyed by an option word replaces the option value")
            << QStringList{"-d", "/od"} << "-d /fromfile\n" << false
            << "/fromfile" << startRoot << false;
        QTest::newRow("bare -d and -br give empty folders")
            << QStringList{"-d", "-br"} << "DataRoot /d\n" << false << "" << "" << false;
        QTest::newRow("-showA2B 1 over a file 0")
            << QStringList{"-showA2B", "1"} << "ShowAnalyzer2Button 0\n" << false
            << startRoot << startRoot << true;
        QTest::newRow("-showA2B 2 hides over a file 1")
            << QStringList{"-showA2B", "2"} << "ShowAnalyzer2Button 1\n" << false
            << startRoot << startRoot << false;
        QTest::newRow("-showA2B without a value hides")
            << QStringList{"-showA2B"} << "ShowAnalyzer2Button 1\n" << true
            << startRoot << startRoot << false;
        QTest::newRow("-showA2B text reads as 0")
            << QStringList{"-showA2B", "yes"} << "" << true << startRoot << startRoot << false;
        QTest::newRow("file value 01 reads as 1")
            << none << "ShowAnalyzer2Button 01\n" << false << startRoot << startRoot << true;
        QTest::newRow("file value without number hides even when shown before")
            << none << "ShowAnalyzer2Button on\n" << true << startRoot << startRoot << false;
    }
    void settings()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(bool, a2bBefore);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const Run r = runStart(dir, args, file, a2bBefore);
        QTEST(r.opts.dataRoot, "dataRoot");
        QTEST(r.opts.batchRoot, "batchRoot");
        QTEST(r.opts.showAnalyzer2Button, "showA2B");
    }

    void batchAndTranslation_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("batchFile");
        QTest::addColumn<bool>("runBatch");
        QTest::addColumn<bool>("noTranslation");

        QTest::newRow("nothing") << QStringList() << "" << "" << false << false;
        QTest::newRow("-b file and -x")
            << QStringList{"-b", "run.bat", "-x"} << "" << "run.bat" << true << false;
        QTest::newRow("bare -b loads nothing") << QStringList{"-b"} << "" << "" << false << false;
        QTest::newRow("bare -b before -x") << QStringList{"-b", "-x"} << "" << "" << true << false;
        QTest::newRow("-x alone runs what the window holds")
            << QStringList{"-x"} << "" << "" << true << false;
        QTest::newRow("-e") << QStringList{"-e"} << "" << "" << false << true;
        QTest::newRow("-e with a value still counts") << QStringList{"-e", "1"} << "" << "" << false
                                                      << true;
        QTest::newRow("options are case-sensitive")
            << QStringList{"-B", "run.bat", "-X", "-E"} << "" << "" << false << false;
        QTest::newRow("a file line -b names the batch")
            << QStringList() << "-b file.bat\n" << "file.bat" << false << false;
    }
    void batchAndTranslation()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const Run r = runStart(dir, args, file);
        QTEST(r.opts.batchFile, "batchFile");
        QTEST(r.opts.runBatch, "runBatch");
        QTEST(r.opts.noTranslation, "noTranslation");
    }

    void batchStart_data()
    {
        QTest::addColumn<QString>("file"); // "@" is a folder holding run.bat
        QTest::addColumn<bool>("runBatch");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("quit");

        // Missing, a folder and a readable file with -x: the program's own runs below.
        QTest::newRow("no -b") << "" << true << false << "" << false;
        QTest::newRow("missing, no -x: told, the window stays")
            << "@/missing.bat" << false << false << "Batch file not read (no such file): @/missing.bat"
            << false;
        QTest::newRow("a file the window could not read, -x quits")
            << "@/run.bat" << true << false << "Batch file not read (not readable): @/run.bat" << true;
    }
    void batchStart()
    {
        QFETCH(QString, file);
        QFETCH(bool, runBatch);
        QFETCH(bool, loaded);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(energytest::writeFile(dir.filePath(QStringLiteral("run.bat")), QByteArray()));
        StartOptions o;
        o.batchFile = file.replace(u'@', dir.path());
        o.runBatch = runBatch;
        const BatchStart b = batchStartOf(o, loaded);
        QCOMPARE(b.told, told.replace(u'@', dir.path()));
        QTEST(b.quit, "quit");
    }

    // "-b" with no file name after it is told as a file that cannot be read; with
    // "-x" the program's own runs below.
    void batchWithoutName_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("told");
        const QString noName = QStringLiteral("Batch file not read (no file name)");
        QTest::newRow("-b \"\": told, the window stays") << QStringList{"-b", ""} << noName;
        QTest::newRow("-b as the last word: told, the window stays") << QStringList{"-e", "-b"} << noName;
        QTest::newRow("no -b: -x runs what the window holds") << QStringList{"-x"} << "";
    }
    void batchWithoutName()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // No name, nothing for the window to load.
        const BatchStart b = batchStartOf(runStart(dir, args, QString()).opts, true);
        QTEST(b.told, "told");
        QVERIFY(!b.quit);
    }

    // The program itself: an unattended start whose batch cannot be read ends at once.
    void unreadBatchEndsTheRun_data()
    {
        QTest::addColumn<QStringList>("args"); // "@" is the working folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");

        QTest::newRow("missing file") << QStringList{"-e", "-b", "@/missing.bat", "-x"} << unreadBatchStatus
                                      << "Batch file not read (no such file): @/missing.bat";
        QTest::newRow("folder") << QStringList{"-b", "@", "-x"} << unreadBatchStatus
                                << "Batch file not read (a folder): @";
        const QString noName = QStringLiteral("Batch file not read (no file name)");
        QTest::newRow("-b \"\" -x") << QStringList{"-b", "", "-x"} << unreadBatchStatus << noName;
        QTest::newRow("-b -x") << QStringList{"-e", "-b", "-x"} << unreadBatchStatus << noName;
        QTest::newRow("-x -b") << QStringList{"-x", "-b"} << unreadBatchStatus << noName;
        QTest::newRow("a readable file runs to its quit")
            << QStringList{"-e", "-b", "@/quit.bat", "-x"} << 0 << "";
    }
    void unreadBatchEndsTheRun()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(energytest::writeFile(dir.filePath(QStringLiteral("quit.bat")), "quit\n"));
        QProcess p;
        QVERIFY2(runProgram(p, dir.path(), args), "still running");
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        if (told.isEmpty())
            QVERIFY2(!err.contains(QLatin1String("Batch file not read")), qPrintable(err));
        else
            QVERIFY2(err.contains(told.replace(u'@', dir.path()) + u'\n'), qPrintable(err.right(2000)));
    }

    // An unattended run in a home of its own leaves no file dialog settings
    // there (Qt writes them, under a lock, for every dialog that goes away).
    void unattendedRunWritesNoDialogSettings()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(energytest::writeFile(dir.filePath(QStringLiteral("run.bat")),
                                      "calib_load_std " + dir.filePath(QStringLiteral("std.dat")).toUtf8() + "\nquit\n"));
        const QString home = dir.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/.config")));
        QProcess p;
        QVERIFY2(runProgram(p, dir.path(), {"-b", "@/run.bat", "-x"},
                            {{"HOME", home}, {"XDG_CONFIG_HOME", home + QStringLiteral("/.config")}}),
                 "still running");
        QCOMPARE(p.exitCode(), 0);
        QStringList written;
        for (QDirIterator it(home, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            written << it.next();
        QVERIFY2(written.filter(QStringLiteral("QtProject")).isEmpty(), qPrintable(written.join(u' ')));
    }

    // A "-c" line in the file comes too late to change which file is read.
    void cLineInFileIgnored()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const Run r = runStart(dir, {}, QStringLiteral("-c %1/a.cfg\n").arg(dir.path()));
        QCOMPARE(r.path, dir.filePath(QStringLiteral("config.cfg")));
        QCOMPARE(r.opts.dataRoot, startRoot);
    }
};

CORVELLINE_TEST(TestStartOptions)
#include "tst_startoptions.moc"
