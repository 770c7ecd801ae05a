// The TCP data target against a stand-in receiver on 127.0.0.1.
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "foundation/Cfg.h"
#include "stars/Client.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {
void target(const QString& use, const QString& port)
{
    loopback::resetConfig();
    cfg.set(QStringLiteral("use_tcp"), use, use, QString());
    cfg.set(QStringLiteral("TCPTARGET_PORT"), port, port, QString());
}
} // namespace

class TestClient : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { loopback::resetConfig(); }

    // Back to back on one connection, byte for byte, no framing.
    void twoBlocks()
    {
        loopback::Server srv;
        target(QStringLiteral("1"), QString::number(srv.port()));
        Client c;
        const QByteArray a("# I1      : --\n1 2\n---\n");
        const QByteArray b(QByteArray("\0\r\nx", 4) + QByteArray(300000, 'y'));
        c.sendData(a);
        c.sendData(b);
        QVERIFY(srv.waitForBytes(a.size() + b.size()));
        QCOMPARE(srv.connections(), 1);
        QVERIFY(srv.received() == a + b);
    }

    void disabled_data()
    {
        QTest::addColumn<QString>("use");
        QTest::newRow("0") << "0";
        QTest::newRow("abc") << "abc";
    }
    void disabled()
    {
        QFETCH(QString, use);
        loopback::Server srv;
        target(use, QString::number(srv.port()));
        Client c;
        c.sendData("x\n");
        // A connection would have been waited for inside sendData.
        QCOMPARE(c.state(), QAbstractSocket::UnconnectedState);
        QCoreApplication::processEvents();
        QCOMPARE(srv.connections(), 0);
    }

    // A port that would wrap to another one opens nothing.
    void portOutOfRange()
    {
        loopback::Server srv;
        target(QStringLiteral("1"), QString::number(65536 + srv.port()));
        Client c;
        QCOMPARE(c.port(), 0);
        c.sendData("x\n");
        QCOMPARE(c.state(), QAbstractSocket::UnconnectedState);
        QCoreApplication::processEvents();
        QCOMPARE(srv.connections(), 0);
    }

    // The target closing: the next block connects anew.
    void reconnect()
    {
        loopback::Server srv;
        target(QStringLiteral("1"), QString::number(srv.port()));
        Client c;
        c.sendData("a\n");
        QVERIFY(srv.waitForBytes(2));
        srv.closeConnection();
        QTRY_COMPARE(c.state(), QAbstractSocket::UnconnectedState);
        c.sendData("b\n");
        QVERIFY(srv.waitForConnections(2));
        QVERIFY(srv.waitForBytes(2, 1));
        QCOMPARE(srv.received(1), QByteArray("b\n"));
        QCOMPARE(srv.received(0), QByteArray("a\n"));
    }

    // Nobody listening: back within the wait, the block dropped, not kept
    // for a later connection.
    void closedPort()
    {
        const quint16 port = loopback::closedPort();
        target(QStringLiteral("1"), QString::number(port));
        Client c;
        QElapsedTimer t;
        t.start();
        c.sendData("lost\n");
        QVERIFY(t.elapsed() < Client::connectWaitMs);
        QTRY_COMPARE(c.waitingBlocks(), 0);
        QCOMPARE(c.state(), QAbstractSocket::UnconnectedState);
        loopback::Server srv(port);
        QVERIFY(srv.listening());
        c.sendData("kept\n");
        QVERIFY(srv.waitForBytes(5));
        QCOMPARE(srv.received(), QByteArray("kept\n"));
        srv.closeConnection();
    }

    void failures_data()
    {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<int>("size");   // bytes per block
        QTest::addColumn<int>("blocks"); // sent at once, before any answer
        QTest::addColumn<QString>("line"); // the one log line, %1 the port
        QTest::addColumn<int>("got");    // bytes the receiver read
        QTest::addColumn<int>("notSent"); // most blocks told not sent; 0: none told
        QTest::newRow("refused") << "refuses" << 10 << 1
            << "Data target 127.0.0.1:%1 not reached (Connection refused): 1 block dropped" << 0 << 0;
        QTest::newRow("hanging: both waiting blocks dropped") << "hangs" << 10 << 2
            << "Data target 127.0.0.1:%1 not reached (no connection within 0.3 s): 2 blocks dropped" << 0 << 0;
        QTest::newRow("closed after 1000 of 5346") << "cuts" << 5346 << 1
            << "Data target 127.0.0.1:%1 closed the connection (The remote host closed the connection): "
               "5346 of 5346 bytes of the last block passed on" << 1000 << 0;
        // More than both kernels buffer: the write itself is cut.
        QTest::newRow("closed within a 16 MB block") << "cuts" << (16 << 20) << 1
            << "Data target 127.0.0.1:%1 closed the connection (" << 1000 << 1;
        QTest::newRow("closed with 64 blocks of 256 kB handed over") << "cuts" << (256 << 10) << 64
            << "Data target 127.0.0.1:%1 closed the connection (" << 1000 << 64;
    }
    // Each failure is logged once with the target and the reason; a second
    // try while the target stays down is a second failed attempt, told again
    // with its own count; the window never waits.
    void failures()
    {
        QFETCH(QString, peer);
        QFETCH(int, size);
        QFETCH(int, blocks);
        QFETCH(QString, line);
        QFETCH(int, got);
        QFETCH(int, notSent);
        loopback::Server srv;
        srv.closeAfter = 1000;
        loopback::HangingPort hang;
        quint16 port = srv.port();
        if (peer == QLatin1String("refuses"))
            port = loopback::closedPort();
        else if (peer == QLatin1String("hangs"))
            port = hang.port();
        QVERIFY(hang.ready());
        target(QStringLiteral("1"), QString::number(port));
        testlog::Capture log;
        Client c;
        c.setConnectWait(300);
        const QByteArray block(size, 'b');
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < blocks; ++i)
                c.sendData(block);
            QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
            QTRY_VERIFY(c.waitingBlocks() == 0 && c.state() == QAbstractSocket::UnconnectedState);
            if (peer == QLatin1String("cuts"))
                break; // a block cut short is told every time
        }
        const QStringList lines = log.linesStartingWith(QStringLiteral("Data target"));
        QCOMPARE(lines.size(), peer == QLatin1String("cuts") ? 1 : 2);
        for (const QString& l : lines)
            QVERIFY2(l.startsWith(line.arg(port)), qPrintable(l));
        if (notSent > 0) {
            // "n of <size> bytes of a block passed on; m blocks not sent", n short of the whole
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("\\): (\\d+) of %1 bytes of a block passed on; (\\d+) blocks? not sent$")
                                       .arg(size))
                    .match(lines[0]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[0]));
            QVERIFY2(m.captured(1).toLongLong() < size, qPrintable(lines[0]));
            QVERIFY2(m.captured(2).toInt() >= 1 && m.captured(2).toInt() <= notSent, qPrintable(lines[0]));
            if (notSent > 1) // more than the kernels hold was handed over
                QVERIFY2(m.captured(2).toInt() > 1, qPrintable(lines[0]));
        }
        QCOMPARE(srv.received(0).size(), got);
        QCOMPARE(c.waitingBytes(), 0); // nothing held for a target that is gone
    }

    void silentTarget_data()
    {
        QTest::addColumn<bool>("reads");
        QTest::newRow("target reads nothing") << false;
        QTest::newRow("target reads") << true;
    }
    // Blocks pushed to a target that reads nothing wait up to the bound; past
    // it they are dropped, told once until the target has read everything;
    // what was kept and what comes after arrives in order.
    void silentTarget()
    {
        QFETCH(bool, reads);
        const int n = 300;
        const qint64 size = 40000;
        const qint64 limit = 1 << 20;
        loopback::Server srv;
        srv.setReading(reads);
        target(QStringLiteral("1"), QString::number(srv.port()));
        testlog::Capture log;
        Client c;
        c.setOutputLimit(limit);
        auto block = [size](int i) { return QByteArray::number(i).rightJustified(6, '0') + QByteArray(size - 6, 'b'); };
        c.sendData(block(0));
        QTRY_COMPARE(c.state(), QAbstractSocket::ConnectedState);
        qint64 waited = 0;
        auto push = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                c.sendData(block(i));
                waited = qMax(waited, c.waitingBytes());
                QCoreApplication::processEvents(); // the network takes what it can
            }
        };
        push(1, n);
        QVERIFY2(waited <= limit, qPrintable(QString::number(waited)));
        srv.setReading(true);
        QTRY_COMPARE(c.waitingBytes(), 0);
        push(n, n + 3);
        QVERIFY(QTest::qWaitFor([&] { return srv.received().endsWith(block(n + 2)); }, 10000));
        const QByteArray got = srv.received();
        QCOMPARE(got.size() % size, 0);
        QList<int> passed;
        for (qsizetype at = 0; at < got.size(); at += size)
            passed << got.mid(at, 6).toInt();
        QCOMPARE(passed.first(), 0);
        QCOMPARE(passed.mid(passed.size() - 3), (QList<int>{n, n + 1, n + 2}));
        QVERIFY(std::is_sorted(passed.begin(), passed.end()));
        QCOMPARE(std::adjacent_find(passed.begin(), passed.end()), passed.end());
        const QStringList told = log.linesStartingWith(QStringLiteral("Data target"));
        if (reads) {
            QCOMPARE(passed.size(), n + 3);
            QCOMPARE(told, QStringList());
            return;
        }
        QVERIFY(passed.size() < n);
        // Every block dropped is counted once blocks pass again.
        int counted = 0;
        const QRegularExpression passesAgain(
            QStringLiteral("^Data target 127\\.0\\.0\\.1:%1 passes blocks on again: (\\d+) blocks? dropped since the "
                           "last line$")
                .arg(srv.port()));
        for (const QString& l : told)
            counted += passesAgain.match(l).captured(1).toInt();
        QCOMPARE(counted, n + 3 - int(passed.size()));
        // Caught up: a second flood is told again.
        srv.setReading(false);
        push(0, n);
        const QStringList again = log.linesStartingWith(QStringLiteral("Data target 127.0.0.1:%1 reads nothing")
                                                             .arg(srv.port()));
        QCOMPARE(again.size(), 2);
        for (const QString& l : again)
            QVERIFY2(QRegularExpression(QStringLiteral("^Data target 127\\.0\\.0\\.1:%1 reads nothing: \\d+ bytes "
                                                       "waiting; blocks are dropped until it reads$")
                                            .arg(srv.port()))
                         .match(l)
                         .hasMatch(),
                     qPrintable(l));
    }

    // Down, up, down again: a line for each failed attempt and for the close.
    void oneLinePerAttempt()
    {
        const quint16 port = loopback::closedPort();
        target(QStringLiteral("1"), QString::number(port));
        testlog::Capture log;
        Client c;
        auto sendOne = [&c](const QByteArray& b) {
            c.sendData(b);
            return QTest::qWaitFor([&c] { return c.waitingBlocks() == 0; }, 5000);
        };
        QVERIFY(sendOne("a\n"));
        QVERIFY(sendOne("b\n"));
        QCOMPARE(log.linesStartingWith(QStringLiteral("Data target")).size(), 2);
        {
            loopback::Server srv(port);
            QVERIFY(srv.listening());
            QVERIFY(sendOne("c\n"));
            QVERIFY(srv.waitForBytes(2));
            QCOMPARE(srv.received(), QByteArray("c\n"));
            srv.closeConnection();
            QTRY_COMPARE(c.state(), QAbstractSocket::UnconnectedState);
        }
        QVERIFY(sendOne("d\n"));
        QVERIFY(sendOne("e\n"));
        const QStringList lines = log.linesStartingWith(QStringLiteral("Data target"));
        QCOMPARE(lines.size(), 5);
        for (int i : {0, 1, 3, 4})
            QCOMPARE(lines[i], QStringLiteral("Data target 127.0.0.1:%1 not reached (Connection refused): 1 block dropped")
                                   .arg(port));
        QVERIFY(lines[2].contains(QLatin1String("closed the connection")));
    }

    // Past the blocks that may wait for the connection, one line tells the
    // first drop; the failed attempt counts the rest.
    void queueFullCounted()
    {
        loopback::HangingPort hang;
        QVERIFY(hang.ready());
        target(QStringLiteral("1"), QString::number(hang.port()));
        testlog::Capture log;
        Client c;
        c.setConnectWait(300);
        for (int i = 0; i < Client::queueLimit + 6; ++i)
            c.sendData("b\n");
        QTRY_VERIFY(c.waitingBlocks() == 0 && c.state() == QAbstractSocket::UnconnectedState);
        const QString t = QStringLiteral("Data target 127.0.0.1:%1 ").arg(hang.port());
        QCOMPARE(log.linesStartingWith(QStringLiteral("Data target")),
                 (QStringList{t + "not connected yet: 64 blocks wait, a further block is dropped",
                              t + "not reached (no connection within 0.3 s): 64 blocks dropped; a further 5 blocks "
                                  "dropped since the last line"}));
    }

    // At the end, blocks still waiting for the connection are told dropped.
    void finishTells()
    {
        loopback::HangingPort hang;
        QVERIFY(hang.ready());
        target(QStringLiteral("1"), QString::number(hang.port()));
        testlog::Capture log;
        Client c;
        for (int i = 0; i < 3; ++i)
            c.sendData("b\n");
        c.finish();
        QCOMPARE(c.waitingBlocks(), 0);
        QCOMPARE(log.linesStartingWith(QStringLiteral("The program ends")),
                 QStringList{QStringLiteral("The program ends: 3 blocks not passed on to the data target 127.0.0.1:%1, "
                                            "dropped")
                                 .arg(hang.port())});
    }

    // The tests' guard: a host other than the loopback's reaches nobody, even
    // this machine under its own name.
    void guard()
    {
        QTcpServer any;
        QVERIFY(any.listen(QHostAddress::Any, 0));
        QTcpSocket s;
        s.connectToHost(QHostInfo::localHostName(), any.serverPort());
        QVERIFY(!s.waitForConnected(Client::connectWaitMs));
        QVERIFY(!any.hasPendingConnections());
    }
};

CORVELLINE_TEST(TestClient)
#include "tst_client.moc"
