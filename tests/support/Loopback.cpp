#include "support/Loopback.h"

#include "foundation/Cfg.h"
#include "stars/Stars.h"

#include <QHostAddress>
#include <QNetworkProxyFactory>
#include <QTcpSocket>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace loopback {

quint16 closedPort()
{
    static const quint16 port = [] {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        const quint16 p = s.serverPort();
        s.close();
        return p;
    }();
    return port;
}

void resetConfig()
{
    cfg.clear();
    const QString port = QString::number(closedPort());
    const QString host = QStringLiteral("127.0.0.1");
    cfg.set(QStringLiteral("STARS_IP"), host, host, QString());
    cfg.set(QStringLiteral("STARS_PORT"), port, port, QString());
    cfg.set(QStringLiteral("TcpTarget_IP"), host, host, QString());
    cfg.set(QStringLiteral("TcpTarget_PORT"), port, port, QString());
}

namespace {
class LoopbackOnly : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& q) override
    {
        const QString host = q.peerHostName();
        const QHostAddress addr(host);
        // A name under the reserved ".invalid" never resolves: it reaches nobody.
        if (q.queryType() != QNetworkProxyQuery::TcpSocket || host == QLatin1String("localhost")
            || (!addr.isNull() && addr.isLoopback()) || host.endsWith(QLatin1String(".invalid")))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return {QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.1"), closedPort())};
    }
};
} // namespace

void installGuard()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new LoopbackOnly);
}

Server::Server(quint16 port, QObject* parent) : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server.nextPendingConnection()) {
            const int i = int(peers.size());
            peers << s;
            data << QByteArray();
            if (closeAfter >= 0) {
                // Left in the kernel, the rest is never read.
                s->setReadBufferSize(qMax<qsizetype>(closeAfter, 1));
                connect(s, &QTcpSocket::readyRead, this, [this, s, i] {
                    data[i] += s->read(closeAfter - data[i].size());
                    if (data[i].size() >= closeAfter)
                        s->abort();
                });
                continue;
            }
            if (!reading)
                s->setReadBufferSize(1);
            connect(s, &QTcpSocket::readyRead, this, [this, s, i] {
                if (reading)
                    data[i] += s->readAll();
            });
            if (!greeting.isEmpty())
                s->write(greeting);
        }
    });
    server.listen(QHostAddress::LocalHost, port);
}

QByteArray Server::received(int conn) const
{
    const int i = index(conn);
    return i >= 0 && i < data.size() ? data.at(i) : QByteArray();
}

QStringList Server::lines(int conn) const
{
    QStringList out;
    const QList<QByteArray> parts = received(conn).split('\n');
    for (int i = 0; i + 1 < parts.size(); ++i) // the part after the last line end is incomplete
        out << QString::fromUtf8(parts.at(i));
    return out;
}

bool Server::waitForLines(int n, int conn, int timeoutMs)
{
    return QTest::qWaitFor([&] { return lines(conn).size() >= n; }, timeoutMs);
}

bool Server::waitForBytes(qsizetype n, int conn, int timeoutMs)
{
    return QTest::qWaitFor([&] { return received(conn).size() >= n; }, timeoutMs);
}

bool Server::waitForConnections(int n, int timeoutMs)
{
    return QTest::qWaitFor([&] { return connections() >= n; }, timeoutMs);
}

void Server::setReading(bool on)
{
    reading = on;
    for (int i = 0; i < peers.size(); ++i) {
        peers[i]->setReadBufferSize(on ? 0 : 1);
        if (on)
            data[i] += peers[i]->readAll();
    }
}

void Server::write(const QByteArray& bytes, int conn)
{
    const int i = index(conn);
    if (i >= 0 && i < peers.size())
        peers.at(i)->write(bytes);
}

void Server::flush(int conn)
{
    const int i = index(conn);
    if (i >= 0 && i < peers.size())
        peers.at(i)->flush();
}

void Server::closeConnection(int conn)
{
    const int i = index(conn);
    if (i >= 0 && i < peers.size())
        peers.at(i)->disconnectFromHost();
}

bool Server::isOpen(int conn) const
{
    const int i = index(conn);
    return i >= 0 && i < peers.size() && peers.at(i)->state() == QAbstractSocket::ConnectedState;
}

HangingPort::HangingPort()
{
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 0) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return;
    port_ = ntohs(a.sin_port);
    filler = new QTcpSocket;
    filler->connectToHost(QHostAddress::LocalHost, port_);
    filler->waitForConnected(5000);
}

HangingPort::~HangingPort()
{
    delete filler;
    if (fd >= 0)
        ::close(fd);
}

bool HangingPort::ready() const
{
    return filler && filler->state() == QAbstractSocket::ConnectedState;
}

void aim(Stars& stars, const Server& server, const QString& keyFile)
{
    stars.nameOnStarsLE->setText(QStringLiteral("Corvelline"));
    stars.keyFileLE->setText(keyFile);
    stars.hostLE->setText(QStringLiteral("127.0.0.1"));
    stars.portLE->setText(QString::number(server.port()));
}

bool logIn(Stars& stars, Server& server, const QString& keyFile)
{
    if (server.greeting.isEmpty())
        server.greeting = "7\n";
    aim(stars, server, keyFile);
    const int conn = server.connections();
    // An earlier attempt (the main window's, to the closed port) ends first.
    if (!QTest::qWaitFor([&] { return stars.socket()->state() == QAbstractSocket::UnconnectedState; }, 5000))
        return false;
    stars.connectToStars();
    if (!server.waitForConnections(conn + 1) || !server.waitForLines(1, conn))
        return false;
    server.write("System>Corvelline Ok:\n", conn);
    return QTest::qWaitFor([&] { return stars.isConnected(); }, 5000);
}

} // namespace loopback
