#include "support/TestRegistry.h"

#include "batch/CmdLine.h"

#include <QTest>

class TestCmdLine : public QObject {
    Q_OBJECT
private slots:
    void parsing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isCtrl");
        QTest::addColumn<QString>("cmd");
        QTest::addColumn<QStringList>("params");
        QTest::newRow("blanks and tabs") << "  \t  " << false << "" << false << "" << QStringList{};
        QTest::newRow("comment line") << "   # load later" << false << "" << false << "" << QStringList{};
        QTest::newRow("quoted path with blank")
            << "load_I1_files \"/data/my run/a.tif\" x" << true << "load_I1_files \"/data/my run/a.tif\" x" << false
            << "load_I1_files" << QStringList{"/data/my run/a.tif", "x"};
        QTest::newRow("hash after the word is a parameter")
            << "save_image a.png # final" << true << "save_image a.png " << false << "save_image"
            << QStringList{"a.png", "#", "final"};
        QTest::newRow("only empty quotes") << "\"\"" << false << "\"\"" << false << "" << QStringList{};
        QTest::newRow("empty quoted item dropped")
            << "cmd a \"\" b" << true << "cmd a \"\" b" << false << "cmd" << QStringList{"a", "b"};
        QTest::newRow("for loop") << ":for i @ 1 10" << true << ":for i @ 1 10" << true << ":for"
                                  << QStringList{"i", "@", "1", "10"};
        QTest::newRow("tabs and runs") << "a\tb  \t c" << true << "a b c" << false << "a" << QStringList{"b", "c"};
        QTest::newRow("hash glued to a parameter") << "cmd x#y" << true << "cmd x" << false << "cmd"
                                                   << QStringList{"x#y"};
        QTest::newRow("quoted command word") << "\"not ex cmd\" p" << true << "\"not ex cmd\" p" << false
                                             << "not ex cmd" << QStringList{"p"};
        QTest::newRow("carriage return") << "calib_exec\r" << true << "calib_exec" << false << "calib_exec"
                                         << QStringList{};
        QTest::newRow("colon inside is no control") << "a:b" << true << "a:b" << false << "a:b" << QStringList{};
    }
    void parsing()
    {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(QString, text);
        QFETCH(bool, isCtrl);
        QFETCH(QString, cmd);
        QFETCH(QStringList, params);
        const CmdLine c(line);
        QCOMPARE(c.line, line);
        QCOMPARE(c.valid, valid);
        QCOMPARE(c.text, text);
        QCOMPARE(c.isCtrl, isCtrl);
        QCOMPARE(c.cmd, cmd);
        QCOMPARE(c.params, params);
        QCOMPARE(c.firstParam(), params.value(0));
        QCOMPARE(c.param(params.size()), QString());
        QCOMPARE(c.param(-1), QString());
        QCOMPARE(c.joinedParams(), params.join(u' '));
    }

    void reparsedLineKeepsNoStaleState()
    {
        CmdLine c(QStringLiteral(":for i @ 1 3"));
        QVERIFY(c.valid);
        c.setLine(QStringLiteral("# only a comment"));
        QVERIFY(!c.valid);
        QVERIFY(!c.isCtrl);
        QVERIFY(c.cmd.isEmpty());
        QVERIFY(c.params.isEmpty());
        QCOMPARE(c.line, QStringLiteral("# only a comment"));
    }
};
CORVELLINE_TEST(TestCmdLine)
#include "tst_cmdline.moc"
