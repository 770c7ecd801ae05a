#include "support/LogCapture.h"
#include "support/TestRegistry.h"

#include "foundation/DeferredLog.h"

#include <QTest>

// A line kept while a thread collects is logged, when the kept lines are
// written, as qDebug() would have logged it at once.
class TestDeferredLog : public QObject {
    Q_OBJECT
private slots:
    void keptAsWritten_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("quoted text and numbers") << 0;
        QTest::newRow("unquoted, the name ending in a blank") << 1;
        QTest::newRow("a fraction and a 64-bit number") << 2;
    }
    void keptAsWritten()
    {
        QFETCH(int, kind);
        const QString name = QStringLiteral("/data/Live run \"7\" ");
        auto line = [&](auto&& d) {
            if (kind == 0)
                d << "ksv" << name << "=" << 12;
            else if (kind == 1)
                d.noquote() << "Can not open (1)" << name;
            else
                d << "rrr" << 0.1 << qint64(1) - (qint64(1) << 40) << -3;
        };
        const testlog::Capture log;
        line(qDebug());
        deferredlog::Entries kept;
        {
            const deferredlog::Collect collect(&kept);
            line(debugLine());
        }
        QCOMPARE(log.linesStartingWith(QString()).size(), 1);
        kept.write();
        const QStringList lines = log.linesStartingWith(QString());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1], lines[0]);
    }
};

CORVELLINE_TEST(TestDeferredLog)
#include "tst_deferredlog.moc"
