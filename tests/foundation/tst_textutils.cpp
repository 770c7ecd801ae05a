#include "support/TestRegistry.h"

#include "foundation/TextUtils.h"

#include <QTest>

class TestTextUtils : public QObject {
    Q_OBJECT
private slots:
    void nextItemSplits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("rest");
        QTest::addColumn<QString>("warning");
        const QString open = QStringLiteral("In a line [%1] item is started from quote but not ended by quote");
        const QString close = QStringLiteral("In a line [%1] item is started from not quote but ended by quote");
        QTest::newRow("empty") << "" << "" << "" << "";
        QTest::newRow("white space only") << " \t \r\n" << "" << "" << "";
        QTest::newRow("quoted, glued rest") << "  \"a b\"c d" << "a b" << "c d" << "";
        QTest::newRow("plain") << "abc def" << "abc" << " def" << "";
        QTest::newRow("last item") << "  xyz" << "xyz" << "" << "";
        QTest::newRow("tabs") << "\tx\ty" << "x" << "\ty" << "";
        QTest::newRow("CR ends an item") << "a\r\nb" << "a" << "\r\nb" << "";
        QTest::newRow("no-break space is no separator") << QString::fromUtf8("a\u00a0b c")
                                                        << QString::fromUtf8("a\u00a0b") << " c" << "";
        QTest::newRow("empty quoted") << "\"\" x" << "" << " x" << "";
        QTest::newRow("no escapes in quotes") << "\"a\\\" b" << "a\\" << " b" << "";
        QTest::newRow("quote inside plain item") << "a\"b c" << "a\"b" << " c" << "";
        QTest::newRow("unclosed quote") << "\"abc" << "abc" << "" << open.arg("\"abc");
        QTest::newRow("unclosed quote keeps blanks") << " \"a b " << "a b " << "" << open.arg(" \"a b ");
        QTest::newRow("plain item ends in quote") << "ab\" cd" << "ab\"" << " cd" << close.arg("ab\" cd");
        QTest::newRow("plain item ends in quote at end") << "ab\"" << "ab\"" << "" << close.arg("ab\"");
    }
    void nextItemSplits()
    {
        QFETCH(QString, text);
        QFETCH(QString, item);
        QFETCH(QString, rest);
        QFETCH(QString, warning);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, warning.toUtf8().constData());
        QString got = QStringLiteral("stale");
        QCOMPARE(nextItem(text, got), rest);
        QCOMPARE(got, item);
    }

    void itemChain()
    {
        QString item;
        QString rest = nextItem(QStringLiteral("  \"a b\"c d"), item);
        QCOMPARE(item, QStringLiteral("a b"));
        rest = nextItem(rest, item);
        QCOMPARE(item, QStringLiteral("c"));
        rest = nextItem(rest, item);
        QCOMPARE(item, QStringLiteral("d"));
        QVERIFY(rest.isEmpty());
    }

    void splitItemsDropsEmpty_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("mixed") << "a \"b c\" \"\" d " << QStringList{"a", "b c", "d"};
        QTest::newRow("blank") << "   " << QStringList{};
        QTest::newRow("tabs and runs") << "x\t\t y  z" << QStringList{"x", "y", "z"};
    }
    void splitItemsDropsEmpty()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, items);
        QCOMPARE(splitItems(line), items);
    }

    void comments_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("comment");
        QTest::newRow("hash in quotes") << "a \"b#c\" # d" << "a \"b#c\" " << true << " d";
        QTest::newRow("apostrophe opens quotes") << "it's # x" << "it's # x" << false << "";
        QTest::newRow("comment only") << "#only" << "" << true << "only";
        QTest::newRow("first hash wins") << "a#b#c" << "a" << true << "b#c";
        QTest::newRow("single quotes") << "'x#y' #z" << "'x#y' " << true << "z";
        QTest::newRow("apostrophe closes double quote") << "\"a' # b" << "\"a' " << true << " b";
        QTest::newRow("none") << "no comment" << "no comment" << false << "";
        QTest::newRow("empty") << "" << "" << false << "";
    }
    void comments()
    {
        QFETCH(QString, line);
        QFETCH(QString, before);
        QFETCH(bool, found);
        QFETCH(QString, comment);
        QString got = QStringLiteral("untouched");
        QCOMPARE(splitComment(line, got), before);
        QCOMPARE(got, found ? comment : QStringLiteral("untouched"));
        QCOMPARE(stripComment(line), before);
        QString cut = line;
        QCOMPARE(cutComment(cut), comment);
        QCOMPARE(cut, before);
    }

    void blankLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("blanks") << "    " << true;
        QTest::newRow("blanks and comment") << "   # c" << true;
        QTest::newRow("tab") << "\t" << true;
        QTest::newRow("word") << "x" << false;
        QTest::newRow("word and comment") << " x # y" << false;
        QTest::newRow("quoted hash") << "\"#\"" << false;
    }
    void blankLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, blank);
        QCOMPARE(isBlankLine(line), blank);
    }

    void continuation_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("continued");
        QTest::addColumn<QString>("after");
        QTest::newRow("trailing blanks") << "abc \\  " << true << "abc ";
        QTest::newRow("inner backslash") << "a\\b" << false << "a\\b";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("blank") << "   " << false << "   ";
        QTest::newRow("backslash only") << "\\" << true << "";
        QTest::newRow("tab and CR after") << "x\\\t\r" << true << "x";
        QTest::newRow("only the last one") << "x \\ \\" << true << "x \\ ";
    }
    void continuation()
    {
        QFETCH(QString, line);
        QFETCH(bool, continued);
        QFETCH(QString, after);
        QCOMPARE(cutLineContinuation(line), continued);
        QCOMPARE(line, after);
    }

    void keyedLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("two values") << "# Size 640 480" << "# Size" << true << QStringList{"640", "480"};
        QTest::newRow("trailing blank gives empty item") << "# Size 640 480 " << "# Size" << true
                                                         << QStringList{"640", "480", ""};
        QTest::newRow("key alone") << "# Size" << "# Size" << true << QStringList{};
        QTest::newRow("key and blank") << "# Size " << "# Size" << true << QStringList{""};
        QTest::newRow("quoted empty kept") << "# Size \"\" 3" << "# Size" << true << QStringList{"", "3"};
        QTest::newRow("glued to key") << "# Sizeabc" << "# Size" << true << QStringList{"abc"};
        QTest::newRow("blank before key") << " # Size 1" << "# Size" << false << QStringList{"e", "1"};
        QTest::newRow("shorter than key") << "# Si" << "# Size" << false << QStringList{};
        QTest::newRow("case counts") << "# size 1" << "# Size" << false << QStringList{"1"};
    }
    void keyedLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, key);
        QFETCH(bool, starts);
        QFETCH(QStringList, items);
        QCOMPARE(startsWithKey(line, key), starts);
        // itemsAfterKey never searches for the key: it cuts key-length characters.
        QCOMPARE(itemsAfterKey(line, key), items);
    }

    void readKeyLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("items");
        const QStringList old{"old"};
        QTest::newRow("enough") << "# Size 640 480" << 2 << true << QStringList{"640", "480"};
        QTest::newRow("too few, items still replaced") << "# Size 640" << 2 << false << QStringList{"640"};
        QTest::newRow("blank before key") << " # Size 640 480" << 2 << false << old;
        QTest::newRow("other case") << "# size 640 480" << 2 << false << old;
        QTest::newRow("empty item counts") << "# Size 640 480 " << 3 << true << QStringList{"640", "480", ""};
        QTest::newRow("minimum zero") << "# Size" << 0 << true << QStringList{};
    }
    void readKeyLines()
    {
        QFETCH(QString, line);
        QFETCH(int, minimum);
        QFETCH(bool, ok);
        QFETCH(QStringList, items);
        QStringList got{"old"};
        QCOMPARE(readKeyLine(line, got, minimum, QStringLiteral("# Size")), ok);
        QCOMPARE(got, items);
    }

    void thousands_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("4 digits") << "1234" << "1,234";
        QTest::newRow("with fraction") << "1234567.891" << "1,234,567.891";
        QTest::newRow("6 digits") << "123456" << "123,456";
        QTest::newRow("fraction not grouped") << "123.4567" << "123.4567";
        QTest::newRow("exponent form") << "1.235e+04" << "1.235e+04";
        QTest::newRow("exponent without point") << "1e+06" << "1e+06";
        QTest::newRow("3 digits") << "999" << "999";
        QTest::newRow("small fraction") << "0.12345" << "0.12345";
        QTest::newRow("million") << "1000000" << "1,000,000";
        QTest::newRow("edge energy") << "8979.37" << "8,979.37";
        QTest::newRow("long") << "12345678901234" << "12,345,678,901,234";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("trailing point") << "1234." << "1,234.";
        QTest::newRow("negative 3 digits") << "-123" << "-123";
        QTest::newRow("negative 4 digits") << "-1234" << "-1,234";
        QTest::newRow("negative 6 digits") << "-123456" << "-123,456";
        QTest::newRow("negative fraction") << "-8979.37" << "-8,979.37";
    }
    void thousands()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(addThousandsCommas(in), out);
    }

    void joinQuotedItems_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("joined");
        QTest::newRow("two") << QStringList{"a", "b c"} << "\"a\" \"b c\"";
        QTest::newRow("inner runs collapse") << QStringList{"x  y"} << "\"x y\"";
        QTest::newRow("none") << QStringList{} << "";
    }
    void joinQuotedItems()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, joined);
        QCOMPARE(joinQuoted(list), joined);
    }

    void csvItems_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("rest");
        QTest::addColumn<QString>("looseItem");
        QTest::addColumn<QString>("looseRest");
        QTest::newRow("doubled quote") << "\"a\"\"b\",c" << "a\"b" << "c" << "ab" << "c";
        QTest::newRow("leading comma") << ",x" << "" << "x" << "" << "x";
        QTest::newRow("plain") << "a,b,c" << "a" << "b,c" << "a" << "b,c";
        QTest::newRow("no comma") << "abc" << "abc" << "" << "abc" << "";
        QTest::newRow("empty") << "" << "" << "" << "" << "";
        QTest::newRow("comma in quotes") << "\"a,b\",c" << "a,b" << "c" << "a,b" << "c";
        QTest::newRow("junk after quote") << "\"ab\"junk,c" << "ab" << "c" << "abjunk" << "c";
        QTest::newRow("junk, no comma") << "\"ab\"junk" << "ab" << "" << "abjunk" << "";
        QTest::newRow("unterminated") << "\"open,x" << "open,x" << "" << "open,x" << "";
        QTest::newRow("quoted quote") << "\"\"\"\"" << "\"" << "" << "" << "";
        QTest::newRow("quotes in the middle") << "a\"b,c\"d,e" << "a\"b" << "c\"d,e" << "ab,cd" << "e";
    }
    void csvItems()
    {
        QFETCH(QString, line);
        QFETCH(QString, item);
        QFETCH(QString, rest);
        QFETCH(QString, looseItem);
        QFETCH(QString, looseRest);
        QString got = QStringLiteral("stale");
        QCOMPARE(nextCsvItem(line, got), rest);
        QCOMPARE(got, item);
        got = QStringLiteral("stale");
        QCOMPARE(nextCsvItemLoose(line, got), looseRest);
        QCOMPARE(got, looseItem);
    }

    void csvRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("quote") << "a\"b" << "\"a\"\"b\"";
        QTest::newRow("comma") << "a,b" << "\"a,b\"";
        QTest::newRow("plain") << "ab" << "ab";
        QTest::newRow("both") << "a,\"b" << "\"a,\"\"b\"";
        QTest::newRow("empty") << "" << "";
    }
    void csvRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(csvField(text), field);
        // what csvField writes, nextCsvItem must read back whole
        QString item;
        QCOMPARE(nextCsvItem(csvField(text) + QStringLiteral(",next"), item), QStringLiteral("next"));
        QCOMPARE(item, text);
    }

    void quoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("two quotes") << "say \"hi\"" << "say \\\"hi\\\"";
        QTest::newRow("none") << "plain" << "plain";
    }
    void quoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(escapeQuotes(text), escaped);
        QCOMPARE(quoted(text), "\"" + escaped + "\"");
        QCOMPARE(commaQuoted(text), ",\"" + escaped + "\"");
    }

    void numberTests_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<bool>("digits");
        QTest::newRow("digits") << "123" << true << true << true;
        QTest::newRow("negative") << "-12" << true << true << false;
        QTest::newRow("plus") << "+7" << true << true << false;
        QTest::newRow("lone sign") << "+" << true << true << false;
        QTest::newRow("lone point") << "." << true << false << false;
        QTest::newRow("decimal") << "1.5" << true << false << false;
        QTest::newRow("two points") << "1.2.3" << false << false << false;
        QTest::newRow("empty") << "" << false << false << false;
        QTest::newRow("blanks around") << "  42 " << true << true << true;
        QTest::newRow("exponent") << "1e5" << false << false << false;
        QTest::newRow("double sign") << "--1" << false << false << false;
        QTest::newRow("leading point") << ".5" << true << false << false;
        QTest::newRow("trailing point") << "5." << true << false << false;
        QTest::newRow("sign and point") << "-.5" << true << false << false;
        QTest::newRow("inner blank") << "1 2" << false << false << false;
        QTest::newRow("trailing sign") << "12-" << false << false << false;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662\u0663") << true << true << true;
    }
    void numberTests()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(bool, integer);
        QFETCH(bool, digits);
        QCOMPARE(isNumber(text), number);
        QCOMPARE(isInteger(text), integer);
        QCOMPARE(isDigits(text), digits);
    }

    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("rest");
        QTest::newRow("last") << "a=1;b=2" << "b=" << ";" << "2" << "";
        QTest::newRow("first") << "a=1;b=2" << "a=" << ";" << "1" << ";b=2";
        QTest::newRow("separators skipped") << "key:   value rest" << "key:" << " " << "value" << " rest";
        QTest::newRow("no separator") << "xKEYabc def" << "KEY" << "" << "abc def" << "";
        QTest::newRow("long separator") << "xKEYabc def" << "KEY" << "ab" << "abc def" << "";
        QTest::newRow("key absent") << "no key here" << "KEY" << " " << "" << "";
        QTest::newRow("only separators after") << "K  " << "K" << " " << "" << "";
        QTest::newRow("first occurrence") << "K=1 K=2" << "K=" << " " << "1" << " K=2";
    }
    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, separator);
        QFETCH(QString, token);
        QFETCH(QString, rest);
        QString got = QStringLiteral("stale");
        QCOMPARE(tokenAfterKey(text, key, got, separator), rest);
        QCOMPARE(got, token);
    }

    void padding_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("all") << 101 << 101;
        QTest::newRow("beyond") << 500 << 101;
        QTest::newRow("negative") << -5 << 0;
    }
    void padding()
    {
        QFETCH(int, count);
        QFETCH(int, length);
        const QString b = blanks(count);
        QCOMPARE(b.size(), length);
        QVERIFY(b.trimmed().isEmpty());
        QCOMPARE(blankText.size(), 101);
    }

    void padRightWidths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("padded");
        QTest::newRow("pads") << "ab" << 5 << "ab   ";
        QTest::newRow("longer stays") << "abcdef" << 3 << "abcdef";
        QTest::newRow("exact") << "abc" << 3 << "abc";
        QTest::newRow("negative width") << "ab" << -1 << "ab";
    }
    void padRightWidths()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, padded);
        QCOMPARE(padRight(text, width), padded);
    }
};
CORVELLINE_TEST(TestTextUtils)
#include "tst_textutils.moc"
