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
        QTest::newRow("white space only") << " \t \r\n" << "" << "" << "";
        QTest::newRow("quoted, glued rest") << "  \"a b\"c d" << "a b" << "c d" << "";
        QTest::newRow("plain") << "abc def" << "abc" << " def" << "";
        QTest::newRow("CR ends an item") << "a\r\nb" << "a" << "\r\nb" << "";
        QTest::newRow("empty quoted") << "\"\" x" << "" << " x" << "";
        QTest::newRow("no escapes in quotes") << "\"a\\\" b" << "a\\" << " b" << "";
        QTest::newRow("unclosed quote") << "\"abc" << "abc" << "" << open.arg("\"abc");
        QTest::newRow("plain item ends in quote") << "ab\" cd" << "ab\"" << " cd" << close.arg("ab\" cd");
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

    void comments_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("comment");
        QTest::newRow("hash in quotes") << "a \"b#c\" # d" << "a \"b#c\" " << true << " d";
        QTest::newRow("apostrophe opens quotes") << "it's # x" << "it's # x" << false << "";
        QTest::newRow("first hash wins") << "a#b#c" << "a" << true << "b#c";
        QTest::newRow("apostrophe closes double quote") << "\"a' # b" << "\"a' " << true << " b";
        QTest::newRow("none") << "no comment" << "no comment" << false << "";
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

    // One-text-in, one-text-out helpers; flags come out as "0"/"1" digits.
    void conversions_data()
    {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        const auto row = [](const char* fn, const QString& in, const char* out) {
            QTest::newRow(qPrintable(QString::fromLatin1(fn) + u' ' + in)) << QString::fromLatin1(fn) << in
                                                                          << QString::fromUtf8(out);
        };
        // Continuation: flag, then the line left.
        row("continued", "abc \\  ", "1abc ");
        row("continued", "a\\b", "0a\\b");
        row("continued", "\\", "1");
        row("continued", "x \\ \\", "1x \\ ");
        // Key "# Size": startsWithKey, then itemsAfterKey, which cuts key-length characters unsearched.
        row("keyed", "# Size 640 480", "1:640|480");
        row("keyed", "# Size 640 480 ", "1:640|480|");
        row("keyed", "# Sizeabc", "1:abc");
        row("keyed", " # Size 1", "0:e|1");
        row("keyed", "# Si", "0:");
        // readKeyLine needing two items; "old" is what the list held before.
        row("readKey", "# Size 640 480", "1:640|480");
        row("readKey", "# Size 640", "0:640");
        row("readKey", " # Size 640 480", "0:old");
        // CSV items: item ~ rest, strict then loose.
        row("csv", "\"a\"\"b\",c", "a\"b~c~ab~c");
        row("csv", ",x", "~x~~x");
        row("csv", "\"ab\"junk,c", "ab~c~abjunk~c");
        row("csv", "\"open,x", "open,x~~open,x~");
        row("csv", "a\"b,c\"d,e", "a\"b~c\"d,e~ab,cd~e");
        row("commas", "1234", "1,234");
        row("commas", "1234567.891", "1,234,567.891");
        row("commas", "123456", "123,456");
        row("commas", "123.4567", "123.4567");
        row("commas", "1.235e+04", "1.235e+04");
        row("commas", "999", "999");
        row("commas", "-1234", "-1,234");
        row("commas", "-123456", "-123,456");
        row("blank", "   # c", "1");
        row("blank", " x # y", "0");
        row("blank", "\"#\"", "0");
        // isNumber, isInteger, isDigits
        row("number", "123", "111");
        row("number", "-12", "110");
        row("number", "+", "110");
        row("number", ".", "100");
        row("number", ".5", "100");
        row("number", "1.2.3", "000");
        row("number", "", "000");
        row("number", "  42 ", "111");
        row("number", "1e5", "000");
        row("number", "1 2", "000");
        row("number", QString::fromUtf8("\u0661\u0662\u0663"), "111");
        row("split", "a \"b c\" \"\" d ", "a|b c|d");
        row("joinQuoted", "a|x  y", "\"a\" \"x y\"");
        row("csvField", "ab", "ab");
        row("csvField", "a,\"b", "\"a,\"\"b\"");
        row("quoted", "say \"hi\"", "\"say \\\"hi\\\"\"");
        row("padRight5", "ab", "ab   ");
        row("padRight3", "abcdef", "abcdef");
        row("padRight-1", "ab", "ab");
        row("blanks", "3", "3");
        row("blanks", "500", "101");
        row("blanks", "-5", "0");
    }
    void conversions()
    {
        QFETCH(QString, fn);
        QFETCH(QString, in);
        QFETCH(QString, out);
        const auto flag = [](bool b) { return QString::number(int(b)); };
        QString got;
        const QString key = QStringLiteral("# Size");
        if (fn == u"continued") {
            QString line = in;
            const bool continued = cutLineContinuation(line);
            got = flag(continued) + line;
        } else if (fn == u"keyed") {
            got = flag(startsWithKey(in, key)) + u':' + itemsAfterKey(in, key).join(u'|');
        } else if (fn == u"readKey") {
            QStringList items{"old"};
            const bool ok = readKeyLine(in, items, 2, key);
            got = flag(ok) + u':' + items.join(u'|');
        } else if (fn == u"csv") {
            QString item, loose;
            const QString rest = nextCsvItem(in, item);
            const QString looseRest = nextCsvItemLoose(in, loose);
            got = QStringList{item, rest, loose, looseRest}.join(u'~');
        } else if (fn == u"commas") {
            got = addThousandsCommas(in);
        } else if (fn == u"blank") {
            got = flag(isBlankLine(in));
        } else if (fn == u"number") {
            got = flag(isNumber(in)) + flag(isInteger(in)) + flag(isDigits(in));
        } else if (fn == u"split") {
            got = splitItems(in).join(u'|');
        } else if (fn == u"joinQuoted") {
            got = joinQuoted(in.split(u'|'));
        } else if (fn == u"csvField") {
            got = csvField(in);
            // what csvField writes, nextCsvItem must read back whole
            QString item;
            QCOMPARE(nextCsvItem(got + QStringLiteral(",next"), item), QStringLiteral("next"));
            QCOMPARE(item, in);
        } else if (fn == u"quoted") {
            got = quoted(in);
        } else if (fn.startsWith(u"padRight")) {
            got = padRight(in, fn.mid(8).toInt());
        } else {
            const QString b = blanks(in.toInt());
            QVERIFY(b.trimmed().isEmpty());
            got = QString::number(b.size());
        }
        QCOMPARE(got, out);
    }
};
CORVELLINE_TEST(TestTextUtils)
#include "tst_textutils.moc"
