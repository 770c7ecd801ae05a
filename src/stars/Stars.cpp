#include "stars/Stars.h"

#include "foundation/LineReader.h"
#include "foundation/WholeFile.h"
#include "stars/ConnectStat.h"

#include <QDebug>
#include <QFileInfo>
#include <QMetaMethod>
#include <QTcpSocket>

namespace {
// A line from the network as it goes into the log: without its line end and
// never longer than a log line should be.
QString shownLine(const QString& line)
{
    const qsizetype most = 1000;
    QString s = line;
    while (s.endsWith(u'\n') || s.endsWith(u'\r'))
        s.chop(1);
    if (s.size() > most)
        s = s.left(most) + QStringLiteral(" ...");
    return s;
}
} // namespace

Stars::Stars(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    logSending = false;
    cmds = stars::ownCmds();
    stat = new ConnectStat();
    stat->setWidgets(statusL, connectB);
    stat->setState(0);
    connect(stat, &ConnectStat::askConnect, this, &Stars::connectToStars);
    connect(stat, &ConnectStat::askDisconnect, this, &Stars::connectToStars);
    sock = new QTcpSocket();
    sock->setReadBufferSize(readChunk);
    slice.setSingleShot(true);
    slice.setInterval(0);
    connect(&slice, &QTimer::timeout, this, &Stars::receive);
    connect(sock, &QTcpSocket::bytesWritten, this, [this] { outBound.drained(sock->bytesToWrite()); });
    connect(sock, &QTcpSocket::connected, this, &Stars::connectedToStars);
    connect(sock, &QTcpSocket::disconnected, this, &Stars::disconnectedFromStars);
    connect(sock, &QTcpSocket::readyRead, this, &Stars::receive);
    connect(hostLE, &QLineEdit::editingFinished, this, &Stars::newHost);
    connect(portLE, &QLineEdit::editingFinished, this, &Stars::newPort);
    setBusy(false);
}

Stars::~Stars()
{
    // Deleted here: deferred deletion never runs once the event loop has ended,
    // and no socket signal may reach this half-destroyed frame.
    sock->disconnect(this);
    if (stat->state() == 2)
        sock->close();
    delete sock;
    delete stat;
}

void Stars::note(const QString& msg, const QColor& c)
{
    qDebug().noquote() << msg;
    emit log(msg, c);
}

QString Stars::server() const
{
    return serverHost + u':' + serverPort;
}

qint64 Stars::waitingBytes() const
{
    return sock->bytesToWrite();
}

qint64 Stars::heldBytes() const
{
    qint64 n = sock->bytesAvailable() + lines.pending();
    for (const QByteArray& l : ready)
        n += l.size();
    return n;
}

void Stars::connectedToStars() {}

void Stars::disconnectedFromStars()
{
    lines.clear();
    ready.clear();
    slice.stop();
    // A refused login has set state 0 already: that end is our own.
    if (stat->state() != 0)
        note(QStringLiteral("Disconnected from the message server %1").arg(server()));
    stat->setState(0);
    emit starsIsNotReady();
}

void Stars::closeConnection()
{
    sock->close();
}

void Stars::connectToStars()
{
    if (stat->state() == 2) {
        sock->close();
        return;
    }
    if (sock->state() == QAbstractSocket::ClosingState)
        sock->abort(); // a refused login still flushing: start afresh
    if (sock->state() != QAbstractSocket::UnconnectedState)
        return;
    const int port = stars::portOf(portLE->text());
    if (port == 0) {
        note(QStringLiteral("Stars port [%1] is not a port number (1 to 65535): not connected")
                 .arg(portLE->text()));
        return;
    }
    lines.clear();
    ready.clear();
    outBound.reset();
    serverHost = hostLE->text();
    serverPort = QString::number(port);
    sock->connectToHost(serverHost, quint16(port));
}

void Stars::receive()
{
    // The socket is read only when every line read before is handled, and
    // a turn handles a slice of them: a flood waits in the server and the
    // network, and the window keeps answering.
    qint64 handled = 0;
    while (handled < sliceBytes) {
        // After a refused login nothing more is read from this connection.
        if (sock->state() != QAbstractSocket::ConnectedState) {
            ready.clear();
            if (sock->isOpen())
                sock->readAll();
            return;
        }
        if (ready.isEmpty()) {
            if (sock->bytesAvailable() <= 0)
                return;
            ready = lines.feed(sock->read(readChunk));
            continue;
        }
        const QByteArray l = ready.takeFirst();
        handled += l.size();
        if (!takeLine(QString::fromUtf8(l))) {
            lines.clear();
            ready.clear();
            if (sock->isOpen())
                sock->readAll();
            return;
        }
    }
    if (!ready.isEmpty() || sock->bytesAvailable() > 0)
        slice.start();
}

bool Stars::takeLine(const QString& line)
{
    // Simplifying a line of many MB costs: only for a listener.
    static const QMetaMethod vlogSignal = QMetaMethod::fromSignal(&Stars::vlog);
    if (isSignalConnected(vlogSignal))
        emit vlog(QStringLiteral("msg from stars[%1]").arg(line.simplified()), Qt::black);
    switch (stat->state()) {
    case 0:
        if (!sendKey(line)) {
            // No answer can come to a key never sent.
            sock->disconnectFromHost();
            return false;
        }
        stat->setState(1);
        return true;
    case 1:
        if (isLoginAccepted(line)) {
            stat->setState(2);
            dropTold = false;
            emit starsIsReady();
            note(QStringLiteral("Connected To Stars"));
            return true;
        }
        note(QStringLiteral("Login refused by the message server %1: %2").arg(server(), shownLine(line)));
        stat->setState(0);
        sock->disconnectFromHost();
        return false;
    default:
        handleMsg(line);
        return true;
    }
}

bool Stars::sendKey(const QString& line)
{
    readKeyFile();
    const int i = stars::keyIndex(line, int(keyList.size()));
    if (i < 0) {
        note(QStringLiteral("I have no key to exchange with Stars."));
        return false;
    }
    const QString name = nameOnStarsLE->text();
    note(QStringLiteral("sending key [%1][%2]").arg(name, keyList.at(i)));
    sock->write(stars::keyReply(name, keyList.at(i)));
    return true;
}

void Stars::readKeyFile()
{
    keyList.clear();
    const QString path = QFileInfo(keyFileLE->text()).absoluteFilePath();
    note(QStringLiteral("opening key file [%1]").arg(path));
    LineReader in;
    if (!in.open(path)) {
        note(QStringLiteral("Can't open key file [%1]").arg(path));
        return;
    }
    QString line;
    while (in.readLine(line))
        keyList << line.simplified();
}

bool Stars::isLoginAccepted(const QString& line) const
{
    return stars::loginAccepted(line, nameOnStarsLE->text());
}

void Stars::handleMsg(const QString& line)
{
    AMsg msg;
    if (!msg.parse(line))
        return;
    const QString ans = stars::ownAnswer(msg, cmds, nameOnStarsLE->text(), busyFlag);
    if (!ans.isNull()) {
        sendAns(msg, ans);
        return;
    }
    switch (msg.kind) {
    case 0:
        emit anyAns(msg);
        break;
    case 1:
        emit anyEvent(msg);
        break;
    default:
        emit anyAsk(msg);
        break;
    }
}

QString Stars::send(const QString& name, const QString& fromCh, const QString& to, const QString& msg)
{
    const QString line = stars::messageLine(stars::address(name, fromCh), to, msg);
    if (stat->state() != 2) {
        // Told once per loss of the connection, not once per message.
        if (!dropTold) {
            dropTold = true;
            note(QStringLiteral("Not connected to the message server %1:%2: \"%3\" is dropped, as is "
                                "every message after it until the program is connected again "
                                "(nothing reconnects by itself: restart the program once the "
                                "server is up)")
                     .arg(hostLE->text(), portLE->text(), msg.section(u' ', 0, 0)));
        }
        return QStringLiteral("Stars is not ready (") + line + u')';
    }
    QString told;
    if (!outBound.admit(sock->bytesToWrite(), line.size() + 1,
                        QStringLiteral("The message server %1").arg(server()), told)) {
        if (!told.isEmpty())
            note(told);
        return QStringLiteral("Stars reads nothing (") + line + u')';
    }
    sock->write(line.toLatin1() + '\n');
    if (logSending)
        note(QStringLiteral("---- Snd %1").arg(line), sndColor);
    return line;
}

void Stars::setBusy(bool f)
{
    if (f != busyFlag)
        sendEvent(QString(), QStringLiteral("ChangedIsBusy %1").arg(f ? 1 : 0));
    busyFlag = f;
}

void Stars::sendOk(AMsg aMsg)
{
    sendAns(aMsg, QStringLiteral("Ok:"));
}

void Stars::sendAns(AMsg aMsg, QString ans)
{
    const QString res = send(aMsg.toNode, aMsg.toSub, aMsg.fromAddr,
                             QStringLiteral("@%1 %2").arg(aMsg.word, ans));
    emit sendingAnsToStars(res);
}

QString Stars::sendEvent(QString fromCh, QString event)
{
    const QString res = send(nameOnStarsLE->text(), fromCh, QStringLiteral("System"),
                             QStringLiteral("_") + event);
    emit sendingEventToStars(res);
    return res;
}

void Stars::sendCmd(QString fromCh, QString to, QString cmd)
{
    sendCmdV(fromCh, to, cmd, QString());
}

void Stars::sendCmdV(QString fromCh, QString to, QString cmd, QString val)
{
    const QString msg = val.isEmpty() ? cmd : cmd + u' ' + val;
    emit sendingAskToStars(send(nameOnStarsLE->text(), fromCh, to, msg));
}

bool Stars::isConnected() const
{
    return stat->state() == 2;
}

void Stars::loadHistory(QString& host, QString& port)
{
    LineReader in;
    if (!in.open(historyFile))
        return;
    QStringList lines;
    QString line;
    while (in.readLine(line))
        lines << line;
    const stars::History h = stars::parseHistory(lines);
    host = h.host;
    port = h.port;
}

void Stars::appendHistory(const QString& text)
{
    appendWhole(historyFile, text.toUtf8());
}

void Stars::newHost()
{
    QString host, port;
    loadHistory(host, port);
    if (hostLE->text() != host)
        appendHistory(QStringLiteral("A: %1\n").arg(hostLE->text()));
}

void Stars::newPort()
{
    QString host, port;
    loadHistory(host, port);
    if (portLE->text() != port)
        appendHistory(QStringLiteral("P: %1\n").arg(portLE->text()));
}
