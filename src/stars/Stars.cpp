#include "stars/Stars.h"

#include "foundation/LineReader.h"
#include "foundation/WholeFile.h"
#include "stars/ConnectStat.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QTcpSocket>
#include <QDeadlineTimer>

#include <utility>

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

// Ends every line that tells of a connection gone or never made.
const QString nothingReconnects = QStringLiteral(
    " (nothing reconnects by itself: restart the program once the server is up)");
// The same for a login the server or the key file does not allow.
const QString nothingReconnectsRefused = QStringLiteral(
    " (nothing reconnects by itself: restart the program once the server's settings or the key are put right)");
const QString nothingReconnectsNoKey = QStringLiteral(
    " (nothing reconnects by itself: restart the program once the key file is put right)");
} // namespace

Stars::Stars(QWidget* parent) : QFrame(parent), outBound(QStringLiteral("messages"))
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
    loginTimer.setSingleShot(true);
    loginTimer.setInterval(loginWaitMs);
    connect(&loginTimer, &QTimer::timeout, this, &Stars::gaveUp);
    connect(sock, &QTcpSocket::bytesWritten, this, [this](qint64 n) {
        passing.passedOn(n);
        outBound.drained(sock->bytesToWrite());
    });
    lines.tell = [this](const QString& msg) { note(msg); };
    connect(sock, &QTcpSocket::connected, this, &Stars::connectedToStars);
    connect(sock, &QTcpSocket::disconnected, this, &Stars::disconnectedFromStars);
    connect(sock, &QTcpSocket::errorOccurred, this, &Stars::failed);
    connect(sock, &QTcpSocket::readyRead, this, &Stars::receive);
    connect(hostLE, &QLineEdit::editingFinished, this, &Stars::newHost);
    connect(portLE, &QLineEdit::editingFinished, this, &Stars::newPort);
    setBusy(false);
}

Stars::~Stars()
{
    finish();
    // Deleted here: deferred deletion never runs once the event loop has ended,
    // and no socket signal may reach this half-destroyed frame.
    sock->disconnect(this);
    if (stat->state() == 2)
        sock->close();
    delete sock;
    delete stat;
}

void Stars::settle()
{
    // The event loop has ended: the socket is waited for directly, as long as
    // the login would be given.
    QDeadlineTimer left(loginTimer.isActive() ? loginTimer.remainingTime() : loginTimer.interval());
    while (live && stat->state() != 2 && !forLogin.isEmpty() && !left.hasExpired()) {
        const int ms = int(qMax<qint64>(1, left.remainingTime()));
        const QAbstractSocket::SocketState st = sock->state();
        if (st == QAbstractSocket::HostLookupState || st == QAbstractSocket::ConnectingState)
            sock->waitForConnected(ms);
        else if (st == QAbstractSocket::ConnectedState)
            sock->waitForReadyRead(ms); // the lines are taken through receive()
        else
            break;
    }
    if (live && stat->state() != 2 && !forLogin.isEmpty())
        gaveUp();
    while (stat->state() == 2 && sock->bytesToWrite() > 0 && !left.hasExpired())
        sock->waitForBytesWritten(int(qMax<qint64>(1, left.remainingTime())));
}

void Stars::finish()
{
    settle();
    if (stat->state() != 2 || sock->bytesToWrite() == 0)
        return;
    const int n = passing.left();
    note(QStringLiteral("The program ends: %1 not passed on to the message server %2 within %3 s, dropped")
             .arg(n == 1 ? QStringLiteral("1 message") : QStringLiteral("%1 messages").arg(n), server(),
                  QString::number(loginTimer.interval() / 1000.0)));
    live = false; // told: the end of the connection is ours
    sock->abort();
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

void Stars::connectedToStars()
{
    tcpUp = true;
    loginTimer.start(); // now for the server's first line
}

void Stars::disconnectedFromStars()
{
    lines.clear();
    ready.clear();
    slice.stop();
    loginTimer.stop();
    // An end of our own (a refused login, no key, no answer) is told already.
    if (live) {
        live = false;
        note(QStringLiteral("Disconnected from the message server %1").arg(server()) + nothingReconnects);
    }
    stat->setState(0);
    dropForLogin();
    emit starsIsNotReady();
}

void Stars::failed(QAbstractSocket::SocketError err)
{
    // A made connection that fails ends in disconnectedFromStars.
    if (!live || tcpUp)
        return;
    QString why;
    switch (err) {
    case QAbstractSocket::ConnectionRefusedError:
        why = QStringLiteral("connection refused");
        break;
    case QAbstractSocket::HostNotFoundError:
        why = QStringLiteral("host not found");
        break;
    default:
        why = sock->errorString();
        break;
    }
    endAttempt(QStringLiteral("No connection to the message server %1: %2").arg(server(), why));
}

void Stars::gaveUp()
{
    if (!live || stat->state() == 2)
        return;
    const QString secs = QString::number(loginTimer.interval() / 1000.0);
    if (!tcpUp)
        endAttempt(QStringLiteral("No connection to the message server %1: no answer within %2 s").arg(server(), secs));
    else if (stat->state() == 0)
        endAttempt(QStringLiteral("No login with the message server %1: no first line within %2 s of connecting")
                       .arg(server(), secs));
    else
        endAttempt(QStringLiteral("No login with the message server %1: no answer to the key within %2 s")
                       .arg(server(), secs));
}

void Stars::endAttempt(const QString& why)
{
    live = false;
    loginTimer.stop();
    note(why + nothingReconnects);
    dropForLogin();
    stat->setState(0);
    sock->abort();
}

void Stars::dropForLogin()
{
    if (forLogin.isEmpty())
        return;
    forLogin.clear();
    forLoginSize = 0;
    tellDropped(forLoginFirst);
}

void Stars::tellDropped(const QString& firstWord)
{
    // Told once per loss of the connection, not once per message.
    if (dropTold)
        return;
    dropTold = true;
    note(QStringLiteral("Not connected to the message server %1:%2: \"%3\" is dropped, as is every message after it "
                        "until the program is connected again")
             .arg(hostLE->text(), portLE->text(), firstWord)
         + nothingReconnects);
}

void Stars::closeConnection()
{
    // Asked for: no end to tell, and nothing waits for a login any more.
    if (stat->state() != 2) {
        live = false;
        loginTimer.stop();
        dropForLogin();
    }
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
    passing.clear();
    serverHost = hostLE->text();
    serverPort = QString::number(port);
    live = true;
    tcpUp = false;
    forLoginFullTold = false;
    loginTimer.start();
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
        QByteArray l = ready.takeFirst();
        handled += l.size();
        QString text = QString::fromUtf8(l);
        l = QByteArray(); // a long line is held once, not twice
        if (!takeLine(std::move(text))) {
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

bool Stars::takeLine(QString line)
{
    // Simplifying a line of many MB costs: only for a listener.
    static const QMetaMethod vlogSignal = QMetaMethod::fromSignal(&Stars::vlog);
    if (isSignalConnected(vlogSignal))
        emit vlog(QStringLiteral("msg from stars[%1]").arg(line.simplified()), Qt::black);
    switch (stat->state()) {
    case 0:
        // A server that does not admit this host says so instead of its number.
        if (!stars::isChallenge(line)) {
            refused(line);
            return false;
        }
        if (!sendKey(line)) {
            // No answer can come to a key never sent.
            live = false;
            loginTimer.stop();
            dropForLogin();
            sock->disconnectFromHost();
            return false;
        }
        stat->setState(1);
        loginTimer.start(); // now for the answer to the key
        return true;
    case 1:
        if (isLoginAccepted(line)) {
            loginTimer.stop();
            stat->setState(2);
            dropTold = false;
            // What was sent meanwhile goes first, in order.
            const QList<QByteArray> waiting = std::exchange(forLogin, {});
            forLoginSize = 0;
            for (const QByteArray& b : waiting)
                writeLine(b);
            emit starsIsReady();
            note(QStringLiteral("Connected To Stars"));
            return true;
        }
        refused(line);
        return false;
    default:
        line.remove(u'\r');
        line.remove(u'\n');
        handleMsg(std::move(line));
        return true;
    }
}

void Stars::refused(const QString& line)
{
    note(QStringLiteral("Login refused by the message server %1: %2").arg(server(), shownLine(line))
         + nothingReconnectsRefused);
    live = false;
    loginTimer.stop();
    stat->setState(0);
    dropForLogin();
    sock->disconnectFromHost();
}

bool Stars::sendKey(const QString& line)
{
    readKeyFile();
    const int i = stars::keyIndex(line, int(keyList.size()));
    if (i < 0) {
        note(QStringLiteral("I have no key to exchange with Stars.") + nothingReconnectsNoKey);
        return false;
    }
    const QString name = nameOnStarsLE->text();
    note(QStringLiteral("sending key [%1][%2]").arg(name, keyList.at(i)));
    const QByteArray reply = stars::keyReply(name, keyList.at(i));
    passing.handed(reply.size());
    sock->write(reply);
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
    // The server compares the file's bytes: a byte-order mark belongs to the
    // first key there, so it is kept here too.
    QFile raw(path);
    const bool mark = raw.open(QIODevice::ReadOnly) && raw.read(3) == QByteArray("\xEF\xBB\xBF");
    QString line;
    while (in.readLine(line))
        keyList << (mark && keyList.isEmpty() ? QChar(0xFEFF) + line.simplified() : line.simplified());
}

bool Stars::isLoginAccepted(const QString& line) const
{
    return stars::loginAccepted(line, nameOnStarsLE->text());
}

void Stars::handleMsg(QString line)
{
    AMsg msg;
    QStringView paramText;
    if (!msg.parseHead(line, &paramText))
        return;
    const QString ans = stars::ownAnswer(msg, paramText, cmds, nameOnStarsLE->text(), busyFlag);
    if (!ans.isNull()) {
        line = QString(); // the answer holds what it needs of the line
        sendAns(msg, ans);
        return;
    }
    // Passed on whole, so built whole only for a listener: a line of many MB
    // would be held several times over for nobody.
    static const QMetaMethod passOn[] = {QMetaMethod::fromSignal(&Stars::anyAns),
                                          QMetaMethod::fromSignal(&Stars::anyEvent),
                                          QMetaMethod::fromSignal(&Stars::anyAsk)};
    if (!isSignalConnected(passOn[qBound(0, msg.kind, 2)]))
        return;
    msg.parse(line);
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

QString Stars::send(const QString& name, const QString& fromCh, const QString& to,
                    std::initializer_list<QStringView> msg, bool wantResult)
{
    const QString from = stars::address(name, fromCh);
    const auto text = [&] { return stars::messageText(from, to, msg); };
    const auto because = [&](const QString& why) {
        return wantResult ? why + u'(' + text() + u')' : QString();
    };
    if (stat->state() != 2) {
        // The message's first word, for the log.
        QString word;
        for (QStringView part : msg) {
            const qsizetype blank = part.indexOf(u' ');
            word += blank < 0 ? part : part.first(blank);
            if (blank >= 0)
                break;
        }
        if (!live) {
            tellDropped(word);
            return because(QStringLiteral("Stars is not ready "));
        }
        // The connection or the login is under way: the message waits for it.
        const qsizetype size = stars::messageSize(from, to, msg);
        if (forLoginSize + size > outBound.limit()) {
            if (!forLoginFullTold) {
                forLoginFullTold = true;
                note(QStringLiteral("Not logged in to the message server %1 yet: %2 bytes wait for the login; "
                                    "\"%3\" and later messages are dropped")
                         .arg(server())
                         .arg(forLoginSize)
                         .arg(word));
            }
        } else {
            if (forLogin.isEmpty())
                forLoginFirst = word;
            forLoginSize += size;
            forLogin << stars::messageBytes(from, to, msg);
        }
        return because(QStringLiteral("Stars is not ready "));
    }
    // Counted first: a message past the bound is never built.
    QString told;
    if (!outBound.admit(sock->bytesToWrite(), stars::messageSize(from, to, msg),
                        QStringLiteral("The message server %1").arg(server()), told)) {
        if (!told.isEmpty())
            note(told);
        return because(QStringLiteral("Stars reads nothing "));
    }
    writeLine(stars::messageBytes(from, to, msg));
    return wantResult ? text() : QString();
}

void Stars::writeLine(const QByteArray& bytes)
{
    passing.handed(bytes.size());
    sock->write(bytes);
    if (logSending)
        note(QStringLiteral("---- Snd %1").arg(QString::fromUtf8(bytes.constData(), bytes.size() - 1)), sndColor);
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
    static const QMetaMethod sending = QMetaMethod::fromSignal(&Stars::sendingAnsToStars);
    const bool heard = isSignalConnected(sending);
    const QString res = send(aMsg.toNode, aMsg.toSub, aMsg.fromAddr, {u"@", aMsg.word, u" ", ans}, heard);
    if (heard)
        emit sendingAnsToStars(res);
}

QString Stars::sendEvent(QString fromCh, QString event)
{
    const QString res = send(nameOnStarsLE->text(), fromCh, QStringLiteral("System"), {u"_", event});
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
    emit sendingAskToStars(send(nameOnStarsLE->text(), fromCh, to, {msg}));
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
