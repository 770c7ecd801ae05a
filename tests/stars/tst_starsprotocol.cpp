// Message parsing, the command table, login and answer rules and the line
// assembly, called without sockets.
#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "stars/AMsg.h"
#include "stars/StarsCmdTable.h"
#include "stars/StarsProtocol.h"

#include <QTest>

class TestStarsProtocol : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("parsed");
        // from, fromNode, fromSub, fromAddr, to, toNode, toSub, toAddr, word, paramText
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<int>("kind");
        QTest::newRow("command, CRLF") << "Term>Corvelline Hello\r\n" << 1
            << QStringList{"Term", "Term", "", "Term", "Corvelline", "Corvelline", "", "Corvelline", "Hello", ""}
            << QStringList() << 2;
        QTest::newRow("sub-addresses") << "Term.sub>Corvelline.x.y Help IsBusy" << 1
            << QStringList{"Term.sub", "Term", "sub", "Term.sub", "Corvelline.x.y", "Corvelline", "x.y",
                           "Corvelline.x.y", "Help", " IsBusy"}
            << QStringList{"IsBusy"} << 2;
        QTest::newRow("two > in the head") << "a>b>c.d w" << 1
            << QStringList{"a", "a", "", "a", "b>c.d", "b>c", "d", "b>c.d", "w", ""} << QStringList() << 2;
        QTest::newRow("answer") << "a>b @x 1  2" << 1
            << QStringList{"a", "a", "", "a", "b", "b", "", "b", "x", " 1  2"} << QStringList{"1", "2"} << 0;
        QTest::newRow("event") << "a>b _x" << 1
            << QStringList{"a", "a", "", "a", "b", "b", "", "b", "x", ""} << QStringList() << 1;
        QTest::newRow("quoted parameter") << "a>b w \"p q\" r" << 1
            << QStringList{"a", "a", "", "a", "b", "b", "", "b", "w", " \"p q\" r"} << QStringList{"p q", "r"} << 2;
        QTest::newRow("trailing blank: a last empty parameter") << "a>b w p " << 1
            << QStringList{"a", "a", "", "a", "b", "b", "", "b", "w", " p "} << QStringList{"p", ""} << 2;
        QTest::newRow("head and blank: empty word") << "a>b \n" << 1
            << QStringList{"a", "a", "", "a", "b", "b", "", "b", "", ""} << QStringList() << 2;
        QTest::newRow("head only") << "a.s>b\r\n" << 0
            << QStringList{"", "", "", "", "", "", "", "", "", ""} << QStringList() << 3;
        QTest::newRow("no > in the head") << "ab Hello" << 0
            << QStringList{"", "", "", "", "", "", "", "", "", ""} << QStringList() << 3;
    }
    void parse()
    {
        QFETCH(QString, line);
        AMsg m;
        QTEST(m.parse(line), "parsed");
        QTEST(m.parsed, "parsed");
        QCOMPARE(m.line, QString(line).remove(u'\r').remove(u'\n'));
        QTEST((QStringList{m.from, m.fromNode, m.fromSub, m.fromAddr, m.to, m.toNode, m.toSub, m.toAddr,
                           m.word, m.paramText}),
              "fields");
        QTEST(m.params, "params");
        QFETCH(QStringList, params);
        QCOMPARE(m.firstParam, params.value(0));
        QTEST(m.kind, "kind");
    }

    void cmdTable()
    {
        StarsCmdTable t = stars::ownCmds();
        QCOMPARE(t.helpText(), QStringLiteral("Hello Help IsBusy"));
        QVERIFY(!t.add(1, QStringLiteral("Foo"), QStringLiteral("f")));
        QVERIFY(!t.add(7, QStringLiteral("Help"), QStringLiteral("f")));
        QCOMPARE(t.cmds().size(), 3);
        QCOMPARE(t.helpOf(QStringLiteral("Help")), QStringLiteral("Show help message"));
        QCOMPARE(t.idOf(QStringLiteral("hello")), StarsCmdTable::notCmd);
        QVERIFY(t.add(5, QStringLiteral("_Ev"), QString()));
        QCOMPARE(t.helpText(), QStringLiteral("Hello Help IsBusy"));
    }

    // Each check against n = 2 over messages of 1, 2 and 3 parameters (the
    // trailing blank counts as an empty last one).
    void paramCountChecks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("exactly");
        QTest::addColumn<bool>("atMost");
        QTest::addColumn<bool>("atLeast");
        QTest::newRow("1") << "a>b w p" << false << true << false;
        QTest::newRow("2") << "a>b w p q" << true << true << true;
        QTest::newRow("2, one empty") << "a>b w p " << true << true << true;
        QTest::newRow("3") << "a>b w p q r" << false << false << true;
    }
    void paramCountChecks()
    {
        QFETCH(QString, line);
        AMsg m;
        QVERIFY(m.parse(line));
        QFETCH(bool, exactly);
        QFETCH(bool, atMost);
        QFETCH(bool, atLeast);
        const QList<std::pair<QString, bool>> checks{{StarsCmdTable::paramsExactly(m, 2), exactly},
                                                     {StarsCmdTable::paramsAtMost(m, 2), atMost},
                                                     {StarsCmdTable::paramsAtLeast(m, 2), atLeast}};
        for (const auto& [answer, passes] : checks) {
            // a passing count has no answer at all, not an empty one
            QCOMPARE(answer.isNull(), passes);
            if (!passes)
                QCOMPARE(answer, QStringLiteral("Er: Number of Params shuld be 2"));
        }
    }

    void keyIndex_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("index");
        QTest::newRow("12 of 3") << "12\n" << 3 << 0;
        QTest::newRow("negative stays in the list") << "-4\n" << 3 << 2;
        QTest::newRow("past 32 bits") << "4294967297\n" << 3 << 0;
        QTest::newRow("one key") << "7\n" << 1 << 0;
        QTest::newRow("no key") << "7\n" << 0 << -1;
    }
    void keyIndex()
    {
        QFETCH(QString, line);
        QFETCH(int, keys);
        QTEST(stars::keyIndex(line, keys), "index");
    }

    void loginAccepted_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Ok: and more") << "System>Corvelline Ok: welcome\n" << true;
        QTest::newRow("name in lower case") << "System>corvelline Ok:\n" << false;
        QTest::newRow("OK in capitals") << "System>Corvelline OK:\n" << false;
        QTest::newRow("longer name") << "System>Corvelline2 Ok:\n" << false;
    }
    void loginAccepted()
    {
        QFETCH(QString, line);
        QTEST(stars::loginAccepted(line, QStringLiteral("Corvelline")), "accepted");
    }

    void portOf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("6057") << "6057" << 6057;
        QTest::newRow("65535") << "65535" << 65535;
        QTest::newRow("65536 would wrap to 0") << "65536" << 0;
        QTest::newRow("negative") << "-6057" << 0;
        QTest::newRow("no number") << "abc" << 0;
    }
    void portOf()
    {
        QFETCH(QString, text);
        QTEST(stars::portOf(text), "port");
    }

    // A null read stands for a clear, as on a new or a lost connection.
    void lineBuffer_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("split across reads") << QByteArrayList{"Te", "rm>C Hel", "lo\r", "\n"}
                                            << QByteArrayList{"Term>C Hello\r\n"} << 0 << QStringList();
        QTest::newRow("several in one read") << QByteArrayList{"a\nb\r\nc"} << QByteArrayList{"a\n", "b\r\n"} << 0
                                             << QStringList();
        QTest::newRow("a long line and a short rest") << QByteArrayList{"0123456789abc\nok\nn"}
                                                      << QByteArrayList{"0123456789abc\n", "ok\n"} << 0 << QStringList();
        QTest::newRow("exactly the cap") << QByteArrayList{"0123456789abcdef\n"}
                                         << QByteArrayList{"0123456789abcdef\n"} << 0 << QStringList();
        QTest::newRow("over the cap, end later") << QByteArrayList{"0123456789", "abcdefgh", "ij\nok\n"}
            << QByteArrayList{"ok\n"} << 1
            << QStringList{"Stars: a received line of 20 bytes is over the limit of 16 bytes, dropped"};
        QTest::newRow("over the cap in one read") << QByteArrayList{"0123456789abcdefg\nok\n"}
            << QByteArrayList{"ok\n"} << 1
            << QStringList{"Stars: a received line of 17 bytes is over the limit of 16 bytes, dropped"};
        QTest::newRow("partial line, clear, then a short line")
            << QByteArrayList{"Term>C Hel", QByteArray(), "ok\n"} << QByteArrayList{"ok\n"} << 0 << QStringList();
        // The clear ends the skip of the cut-off line: the next line is whole.
        QTest::newRow("over the cap cut off, clear, then a short line")
            << QByteArrayList{"0123456789abcdefg", QByteArray(), "ok\n"} << QByteArrayList{"ok\n"} << 0
            << QStringList{"Stars: a received line of over 17 bytes was cut off before its line end, dropped"};
    }
    void lineBuffer()
    {
        QFETCH(QByteArrayList, reads);
        testlog::Capture log;
        stars::LineBuffer buf(16);
        QByteArrayList got;
        for (const QByteArray& r : reads) {
            if (r.isNull())
                buf.clear();
            else
                got << buf.feed(r);
        }
        QTEST(got, "lines");
        QTEST(buf.dropped(), "dropped");
        QTEST(log.linesStartingWith(QStringLiteral("Stars: a received line")), "told");
    }

    void messageBytes_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << QStringList{"_", "SavedImage /d/a.png"}
                               << QByteArray("Corvelline>System _SavedImage /d/a.png\n");
        QTest::newRow("UTF-8, not Latin-1") << QStringList{"_", "SavedImage /d/データ/café.png"}
            << QByteArray("Corvelline>System _SavedImage /d/\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf/caf\xc3\xa9.png\n");
        QTest::newRow("CR and LF inside become blanks") << QStringList{"@Help", " a\r\nb\n"}
                                                        << QByteArray("Corvelline>System @Help a  b \n");
        // 65535 letters, then a character outside the basic plane: its two
        // halves lie on both sides of where a long text is cut to be encoded.
        QTest::newRow("pair across the encoding pieces")
            << QStringList{"_", QString(65535, u'a') + QString::fromUtf8("\xf0\x9d\x94\x98") + u'z'}
            << QByteArray("Corvelline>System _") + QByteArray(65535, 'a') + "\xf0\x9d\x94\x98z\n";
    }
    void messageBytes()
    {
        QFETCH(QStringList, parts);
        QVERIFY(parts.size() == 2);
        const QByteArray got = stars::messageBytes(u"Corvelline", u"System", {parts[0], parts[1]});
        QTEST(got, "bytes");
    }

    // The real cap: the buffer never holds more than 16 MiB of one line.
    void lineBufferCap()
    {
        stars::LineBuffer buf;
        QVERIFY(buf.feed(QByteArray(16 * 1024 * 1024, 'x')).isEmpty());
        QCOMPARE(buf.pending(), qsizetype(16 * 1024 * 1024));
        QVERIFY(buf.feed("y").isEmpty());
        QCOMPARE(buf.pending(), qsizetype(0));
        QCOMPARE(buf.dropped(), 1);
        QCOMPARE(buf.feed("tail\nnext\n"), QByteArrayList{"next\n"});
    }

    void history_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::newRow("last entries win") << "A: h1\nP: 1\nA: h2\n" << "h2" << "1";
        QTest::newRow("lower-case a:") << "a: h3\r\n" << "h3" << "";
        QTest::newRow("inner blank: first word") << "A:   my host\n" << "my" << "";
        QTest::newRow("short and unknown lines skipped") << "A:\nX: y\nP: 7 more\n" << "" << "7";
    }
    void history()
    {
        QFETCH(QString, text);
        const stars::History h = stars::parseHistory(text.split(u'\n'));
        QTEST(h.host, "host");
        QTEST(h.port, "port");
    }
};

CORVELLINE_TEST(TestStarsProtocol)
#include "tst_starsprotocol.moc"
