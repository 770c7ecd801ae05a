// The TCP data target against a stand-in receiver on 127.0.0.1.
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "foundation/Cfg.h"
#include "stars/Client.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

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
        QCOMPARE(c.state(), QAbstractSocket::UnconnectedState);
        loopback::Server srv(port);
        QVERIFY(srv.listening());
        c.sendData("kept\n");
        QVERIFY(srv.waitForBytes(5));
        QCOMPARE(srv.received(), QByteArray("kept\n"));
        srv.closeConnection();
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
