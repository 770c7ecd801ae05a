#include "stars/Client.h"

#include "foundation/Cfg.h"
#include "stars/StarsProtocol.h"

#include <QDebug>
#include <QHostInfo>

Client::Client(QObject* parent) : QObject(parent)
{
    useTcp = cfg.value(QStringLiteral("USE_TCP"), QStringLiteral("1")).toInt() == 1;
    targetHost = cfg.value(QStringLiteral("TcpTarget_IP"), QHostInfo::localHostName());
    const QString portText = cfg.value(QStringLiteral("TcpTarget_PORT"), QStringLiteral("6077"));
    targetPort = stars::portOf(portText);
    if (useTcp && targetPort == 0)
        qDebug().noquote() << QStringLiteral("TcpTarget_PORT [%1] is not a port number (1 to 65535): "
                                             "the data target is not used").arg(portText);
    connect(&socket, &QTcpSocket::disconnected, this, &Client::disconnected);
    connect(&socket, &QTcpSocket::readyRead, this, &Client::readData);
}

Client::~Client()
{
    socket.disconnect(this);
}

void Client::sendData(const QByteArray& data)
{
    if (!useTcp || targetPort == 0)
        return;
    if (socket.state() != QAbstractSocket::ConnectedState) {
        socket.abort();
        socket.connectToHost(targetHost, quint16(targetPort));
        if (!socket.waitForConnected(connectWaitMs)) {
            socket.abort();
            return;
        }
    }
    socket.write(data);
}

void Client::readData()
{
    // The target is never answered, but an unread buffer would grow without bound.
    socket.readAll();
}

void Client::disconnected()
{
    socket.close();
}
