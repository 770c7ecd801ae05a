#include "support/TestRegistry.h"

#include "foundation/LineReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The one line reader of every text file: lines capped (its refusal of FIFOs
// and devices is tested through every reader).
class TestLineReader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Lines as given, up to an overlong one; nothing is read after it.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("overlong"); // line number, 0 for none
        const QByteArray atCap(LineReader::maxLineLength, 'a');
        QTest::newRow("CR LF, empty line, last line without an end")
            << QByteArray("a\r\nb\n\nc") << QStringList{"a", "b", "", "c"} << 0;
        QTest::newRow("a line at the cap") << "x\n" + atCap + "\ny" << QStringList{"x", QString(atCap), "y"} << 0;
        QTest::newRow("one character over") << "x\n" + atCap + "a\ny" << QStringList{"x"} << 2;
        QTest::newRow("3 MiB without a line end") << QByteArray(3 * LineReader::maxLineLength, '\0')
                                                  << QStringList{} << 1;
    }
    void lines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        QFETCH(int, overlong);
        const QString path = dir.filePath(QStringLiteral("lines.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size());
        f.close();
        for (bool fromFile : {true, false}) {
            LineReader in;
            if (fromFile)
                QVERIFY(in.open(path));
            else
                in.openBytes(text, QStringLiteral("memory"));
            if (overlong)
                QTest::ignoreMessage(QtDebugMsg,
                                     QRegularExpression(QStringLiteral("^Line %1 longer than %2 characters, reading stopped: %3$")
                                                            .arg(overlong)
                                                            .arg(LineReader::maxLineLength)
                                                            .arg(QRegularExpression::escape(in.name()))));
            QStringList got;
            QString line;
            while (in.readLine(line))
                got << line;
            QCOMPARE(got, lines);
            QCOMPARE(in.refused(), overlong > 0);
            QVERIFY(!in.readLine(line));
        }
    }
};

CORVELLINE_TEST(TestLineReader)
#include "tst_linereader.moc"
