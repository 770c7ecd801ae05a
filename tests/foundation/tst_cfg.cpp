#include "support/TestRegistry.h"

#include "foundation/Cfg.h"
#include "support/ArgvWords.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
using Argv = ArgvWords;

// "key|value|text" per assignment, in history order.
QStringList history(const Cfg& c)
{
    QStringList res;
    for (int i = 0; i < c.historySize(); i++)
        res << c.historyKeys()[i] + u'|' + c.historyValues()[i] + u'|' + c.historyTexts()[i];
    return res;
}

void writeFile(const QString& path, const QString& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write(content.toUtf8());
}

// Files given as "name:content" pairs, "@" in content standing for the folder.
void writeFiles(const QTemporaryDir& dir, const QStringList& files)
{
    for (const QString& entry : files) {
        const int colon = entry.indexOf(u':');
        QString content = entry.mid(colon + 1);
        content.replace(u'@', dir.path());
        writeFile(dir.filePath(entry.left(colon)), content);
    }
}

const QRegularExpression cantOpen(QStringLiteral("^Can't open config file : "));
} // namespace

class TestCfg : public QObject {
    Q_OBJECT
private slots:
    void arguments_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("argWords");
        QTest::addColumn<QStringList>("assignments");
        QTest::newRow("value and text") << QStringList{"prog", "-b", "run.bat", "now", "-x"}
                                        << QStringList{"prog", "-b", "-x"}
                                        << QStringList{"-b|run.bat|run.bat now", "-x||"};
        QTest::newRow("two bare options") << QStringList{"prog", "-d", "-x"} << QStringList{"prog", "-d", "-x"}
                                          << QStringList{"-d||", "-x||"};
        QTest::newRow("repeated option") << QStringList{"prog", "a", "-c", "x.cfg", "-c", "y.cfg"}
                                         << QStringList{"prog", "a", "-c", "-c"}
                                         << QStringList{"-c|x.cfg|x.cfg", "-c|y.cfg|y.cfg"};
        QTest::newRow("dash alone") << QStringList{"prog", "-", "v"} << QStringList{"prog", "-"}
                                    << QStringList{"-|v|v"};
        QTest::newRow("empty word") << QStringList{"prog", "", "-k", ""} << QStringList{"prog", "", "-k"}
                                    << QStringList{"-k||"};
        QTest::newRow("nothing") << QStringList{} << QStringList{} << QStringList{};
    }
    void arguments()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, argWords);
        QFETCH(QStringList, assignments);
        Argv a(words);
        Cfg c;
        c.parseArgs(a.argc(), a.argv());
        QCOMPARE(c.argWords(), argWords);
        QCOMPARE(history(c), assignments);
        for (const QString& comment : c.comments())
            QVERIFY(comment.isEmpty());
    }

    // Later assignments win; value() looks up any case, exactValue() only its own.
    void setsAndLookups()
    {
        Cfg c;
        c.set(QStringLiteral("Key"), QStringLiteral("a"), QStringLiteral("a x"), QStringLiteral("first"));
        c.set(QStringLiteral("Abc"), QStringLiteral("1"), QStringLiteral("1"), QString());
        c.set(QStringLiteral("Key"), QStringLiteral("b"), QStringLiteral("b y"), QStringLiteral("second"));
        c.set(QStringLiteral("ABC"), QStringLiteral("2"), QStringLiteral("2"), QString());
        QCOMPARE(c.keys(), (QStringList{"Key", "Abc", "ABC"}));
        QCOMPARE(c.upperKeys(), (QStringList{"KEY", "ABC"}));
        QCOMPARE(c.historySize(), 4);
        // the comment stays the one given when the key was first added
        QCOMPARE(c.comments(), (QStringList{"first", "", ""}));
        QCOMPARE(c.allValues(QStringLiteral("KEY")), (QStringList{"a x", "b y"}));
        QCOMPARE(c.allValues(QStringLiteral("ABC")), (QStringList{"1", "2"}));
        QCOMPARE(c.allValues(QStringLiteral("Key")), QStringList{}); // callers pass it upper-cased
        QCOMPARE(c.allValues(QStringLiteral("NONE")), QStringList{});
        const QString d = QStringLiteral("dflt");
        QCOMPARE(c.exactValue(QStringLiteral("Key"), d), QStringLiteral("b"));
        QCOMPARE(c.exactValue(QStringLiteral("KEY"), d), d);
        QCOMPARE(c.exactValue(QStringLiteral("Abc"), d), QStringLiteral("1"));
        QCOMPARE(c.value(QStringLiteral("kEy"), d), QStringLiteral("b"));
        QCOMPARE(c.value(QStringLiteral("abc"), d), QStringLiteral("2"));
        QCOMPARE(c.value(QStringLiteral("zzz"), d), d);
    }

    void files_data()
    {
        QTest::addColumn<QStringList>("files"); // "name:content"; main.cfg is read
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("assignments");
        QTest::addColumn<int>("refusals"); // "Can't open" lines expected
        QTest::newRow("comments and quotes")
            << QStringList{"main.cfg:# a comment line\n"
                           "BatchRoot D:/Batches # my folder\n"
                           "Name \"two words\" tail\n"
                           "Quoted \"a # b\" x\n"
                           "   \t\n"
                           "Hash#glued\n"
                           "keyonly\n"
                           "Title it's # x\n"
                           "\tIndented  v1\tv2\n"}
            << true
            << QStringList{"BatchRoot|D:/Batches| D:/Batches ",
                           "Name|two words| \"two words\" tail",
                           "Quoted|a # b| \"a # b\" x",
                           "Hash||",
                           "keyonly||",
                           "Title|it's| it's # x",
                           "Indented|v1|  v1\tv2"}
            << 0;
        QTest::newRow("include in any case")
            << QStringList{"main.cfg:A 1\ninclude @/other.cfg\nB 2\nInClUdE @/third.cfg\n",
                           "other.cfg:C 3\nA 4\n", "third.cfg:D 5\n"}
            << true << QStringList{"A|1| 1", "C|3| 3", "A|4| 4", "B|2| 2", "D|5| 5"} << 0;
        QTest::newRow("quoted include path")
            << QStringList{"main.cfg:INCLUDE \"@/my other.cfg\" # note\nB 2\n", "my other.cfg:C 3\n"}
            << true << QStringList{"C|3| 3", "B|2| 2"} << 0;
        QTest::newRow("missing include goes on")
            << QStringList{"main.cfg:A 1\nINCLUDE @/nonexistent.cfg\nB 2\n"}
            << true << QStringList{"A|1| 1", "B|2| 2"} << 1;
        QTest::newRow("includes itself by another spelling")
            << QStringList{"main.cfg:A 1\nINCLUDE @/./sub/../main.cfg\nB 2\n", "sub/.keep:"}
            << true << QStringList{"A|1| 1", "B|2| 2"} << 1;
        QTest::newRow("cycle through a second file")
            << QStringList{"main.cfg:A 1\nINCLUDE @/b.cfg\nA2 x\n", "b.cfg:B 1\nINCLUDE @/main.cfg\nB2 y\n"}
            << true << QStringList{"A|1| 1", "B|1| 1", "B2|y| y", "A2|x| x"} << 1;
        QTest::newRow("same file twice is no cycle")
            << QStringList{"main.cfg:INCLUDE @/b.cfg\nINCLUDE @/c.cfg\n", "b.cfg:INCLUDE @/d.cfg\n",
                           "c.cfg:INCLUDE @/d.cfg\n", "d.cfg:D 1\n"}
            << true << QStringList{"D|1| 1", "D|1| 1"} << 0;
        QTest::newRow("missing file") << QStringList{} << false << QStringList{} << 1;
    }
    void files()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, ok);
        QFETCH(QStringList, assignments);
        QFETCH(int, refusals);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("sub"));
        writeFiles(dir, files);
        for (int i = 0; i < refusals; i++)
            QTest::ignoreMessage(QtDebugMsg, cantOpen);
        Cfg c;
        QCOMPARE(c.readFile(dir.filePath(QStringLiteral("main.cfg"))), ok);
        QCOMPARE(history(c), assignments);
        QVERIFY(!c.keys().contains(QStringLiteral("include"), Qt::CaseInsensitive));
    }

    void initPicksFile_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("readNow");
        QTest::addColumn<QString>("read"); // which file's key is expected, empty for none
        QTest::newRow("-config wins over -c") << QStringList{"-c", "@/a.cfg", "-config", "@/b.cfg"} << true << "b";
        QTest::newRow("default name") << QStringList{} << true << "default";
        QTest::newRow("not now") << QStringList{"-c", "@/a.cfg"} << false << "";
    }
    void initPicksFile()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, readNow);
        QFETCH(QString, read);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFiles(dir, {"a.cfg:FROM a\n", "b.cfg:FROM b\n", "default.cfg:FROM default\n"});
        QStringList words{"prog"};
        for (QString o : options)
            words << o.replace(u'@', dir.path());
        Argv a(words);
        Cfg c;
        c.init(a.argc(), a.argv(), readNow, dir.filePath(QStringLiteral("default.cfg")),
               {QStringLiteral("-c"), QStringLiteral("-config")});
        QCOMPARE(c.value(QStringLiteral("from"), QString()), read);
        QCOMPARE(c.fileName().isEmpty(), read.isEmpty());
    }

    void appendToRememberedFileThenClear()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("main.cfg"));
        writeFiles(dir, {"main.cfg:A 1\n"});
        Cfg c;
        QVERIFY(c.readFile(path));
        c.setAndAppend(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("v w"), QStringLiteral("note"));
        QCOMPARE(c.value(QStringLiteral("k"), QString()), QStringLiteral("v"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("A 1\nK\tv v w\t # note\n"));
        f.close();
        // the appended line reads back as an assignment of K
        Cfg again;
        QVERIFY(again.readFile(path));
        QCOMPARE(again.value(QStringLiteral("K"), QString()), QStringLiteral("v"));
        c.clear();
        QVERIFY(c.keys().isEmpty() && c.upperKeys().isEmpty() && c.argWords().isEmpty());
        QCOMPARE(c.historySize(), 0);
        QVERIFY(c.fileName().isEmpty());
        QCOMPARE(c.value(QStringLiteral("K"), QStringLiteral("d")), QStringLiteral("d"));
    }

};
CORVELLINE_TEST(TestCfg)
#include "tst_cfg.moc"
