#include "stars/Client.h"

#include "foundation/Cfg.h"
#include "stars/StarsProtocol.h"

#include <QDebug>
#include <QHostInfo>

#include <utility>

namespace {
QString blockCount(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 block") : QStringLiteral("%1 blocks").arg(n);
}
} // namespace

Client::Client(QObject* parent) : QObject(parent), outBound(QStringLiteral("blocks"))
{
    useTcp = cfg.value(QStringLiteral("USE_TCP"), QStringLiteral("1")).toInt() == 1;
    targetHost = cfg.value(QStringLiteral("TcpTarget_IP"), QHostInfo::localHostName());
    const QString portText = cfg.value(QStringLiteral("TcpTarget_PORT"), QStringLiteral("6077"));
    targetPort = stars::portOf(portText);
    if (useTcp && targetPort == 0)
        qDebug().noquote() << QStringLiteral("TcpTarget_PORT [%1] is not a port number (1 to 65535): "
                                             "the data target is not used").arg(portText);
    connectTimer.setSingleShot(true);
    connectTimer.setInterval(connectWaitMs);
    connect(&connectTimer, &QTimer::timeout, this, &Client::gaveUp);
    connect(&socket, &QTcpSocket::connected, this, &Client::connected);
    connect(&socket, &QTcpSocket::errorOccurred, this, &Client::failed);
    connect(&socket, &QTcpSocket::bytesWritten, this, &Client::written);
    connect(&socket, &QTcpSocket::disconnected, this, &Client::disconnected);
    connect(&socket, &QTcpSocket::readyRead, this, &Client::readData);
}

Client::~Client()
{
    socket.disconnect(this);
}

QString Client::target() const
{
    return QStringLiteral("%1:%2").arg(targetHost).arg(targetPort);
}

void Client::tell(const QString& msg)
{
    qDebug().noquote() << msg;
    emit log(msg);
}

QString Client::withSilent(const QString& msg)
{
    if (silent == 0)
        return msg;
    const QString more = QStringLiteral("; a further %1 dropped since the last line").arg(blockCount(silent));
    silent = 0;
    return msg + more;
}

void Client::droppedSilently()
{
    ++silent;
    handedAtDrop = handed;
}

void Client::sendData(const QByteArray& data)
{
    if (!useTcp || targetPort == 0)
        return;
    if (socket.state() == QAbstractSocket::ConnectedState && !connecting) {
        QString told;
        if (outBound.admit(socket.bytesToWrite(), data.size(), QStringLiteral("Data target %1").arg(target()), told)) {
            writeBlock(data);
            return;
        }
        // That line counts nothing: its drops are told when blocks pass again.
        droppedSilently();
        if (!told.isEmpty())
            tell(told);
        return;
    }
    if (waiting.size() >= queueLimit || waitingSize + data.size() > outBound.limit()) {
        if (queueFullTold) {
            droppedSilently();
            return;
        }
        queueFullTold = true;
        tell(withSilent(QStringLiteral("Data target %1 not connected yet: %2 blocks wait, a further block is dropped")
                            .arg(target())
                            .arg(waiting.size())));
        return;
    }
    waiting << data;
    waitingSize += data.size();
    if (connecting)
        return;
    socket.abort();
    passing.clear();
    handed = passed = handedAtDrop = 0;
    queueFullTold = false;
    outBound.reset();
    connecting = true;
    connectTimer.start();
    socket.connectToHost(targetHost, quint16(targetPort));
}

void Client::writeBlock(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    passing.handed(data.size());
    ++handed;
    socket.write(data);
}

void Client::connected()
{
    connecting = false;
    connectTimer.stop();
    const QList<QByteArray> blocks = std::exchange(waiting, {});
    waitingSize = 0;
    for (const QByteArray& b : blocks)
        writeBlock(b);
}

void Client::dropWaiting(const QString& why)
{
    const qsizetype n = waiting.size();
    waiting.clear();
    waitingSize = 0;
    tell(withSilent(QStringLiteral("Data target %1 not reached (%2): %3 dropped").arg(target(), why, blockCount(n))));
}

void Client::failed(QAbstractSocket::SocketError)
{
    // Errors of a made connection end in disconnected().
    if (!connecting)
        return;
    connecting = false;
    connectTimer.stop();
    dropWaiting(socket.errorString());
    socket.abort();
}

void Client::gaveUp()
{
    if (!connecting)
        return;
    connecting = false;
    socket.abort();
    dropWaiting(QStringLiteral("no connection within %1 s").arg(connectTimer.interval() / 1000.0));
}

void Client::written(qint64 n)
{
    passed += passing.passedOn(n);
    if (silent > 0 && passed > handedAtDrop) {
        tell(QStringLiteral("Data target %1 passes blocks on again: %2 dropped since the last line")
                 .arg(target(), blockCount(silent)));
        silent = 0;
    }
    outBound.drained(socket.bytesToWrite());
}

void Client::readData()
{
    // The target is never answered, but an unread buffer would grow without bound.
    socket.readAll();
}

void Client::disconnected()
{
    // The receiver may have read less than was passed on; only what left
    // this side can be told.
    QString last = QStringLiteral("no block passed on");
    if (passing.left() > 0)
        last = QStringLiteral("%1 of %2 bytes of a block passed on; %3 not sent")
                   .arg(passing.partOfFirst())
                   .arg(passing.firstSize())
                   .arg(blockCount(passing.left()));
    else if (passing.lastWhole() > 0)
        last = QStringLiteral("%1 of %1 bytes of the last block passed on").arg(passing.lastWhole());
    tell(withSilent(
        QStringLiteral("Data target %1 closed the connection (%2): %3").arg(target(), socket.errorString(), last)));
    passing.clear();
    socket.close();
}

void Client::finish()
{
    const qsizetype n = waiting.size() + passing.left() + silent;
    if (n > 0)
        tell(QStringLiteral("The program ends: %1 not passed on to the data target %2, dropped").arg(blockCount(n), target()));
    waiting.clear();
    waitingSize = 0;
    passing.clear();
    silent = 0;
    connectTimer.stop();
    connecting = false;
    socket.disconnect(this);
    socket.abort();
}
