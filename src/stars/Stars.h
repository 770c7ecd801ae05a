#pragma once
// Client of the Stars message server: logs in with a key from its key file,
// answers "Hello", "Help" and "IsBusy" itself, passes every other message on
// as a signal and publishes the main window's events. GUI thread only.
#include "stars/AMsg.h"
#include "stars/StarsCmdTable.h"
#include "stars/StarsProtocol.h"
#include "ui_Stars.h"

#include <QColor>
#include <QFrame>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QAbstractSocket>

#include <initializer_list>

class ConnectStat;
class QTcpSocket;

class Stars : public QFrame, public Ui_Stars {
    Q_OBJECT
public:
    explicit Stars(QWidget* parent = nullptr);
    ~Stars() override;

    // The socket holds at most this much read and not yet taken, so a server
    // that sends faster than its lines are handled is held back by TCP.
    static constexpr qint64 readChunk = qint64(1) << 20;
    // Lines handled in one turn before the window gets its own.
    static constexpr qint64 sliceBytes = qint64(256) << 10;
    // Longest wait for the server at each step of connecting and logging in:
    // the connection, its first line, the answer to the key.
    static constexpr int loginWaitMs = 5000;

    // Hosts and ports typed into the form are recorded here (current directory).
    QString historyFile = QStringLiteral("SSVHistory.dat");

    ConnectStat* status() const { return stat; }
    QTcpSocket* socket() const { return sock; }
    const QStringList& keys() const { return keyList; }
    const StarsCmdTable& cmdTable() const { return cmds; }

    // Tests shorten the wait for the server.
    void setLoginWait(int ms) { loginTimer.setInterval(ms); }
    // Bytes that may wait for the server to read them, or for the login
    // (tests lower it).
    void setOutputLimit(qint64 bytes) { outBound.setLimit(bytes); }
    qint64 outputLimit() const { return outBound.limit(); }
    // Longest line taken from the server (tests lower it).
    void setLineLimit(qsizetype bytes) { lines.setMaxLine(bytes); }
    qint64 waitingBytes() const;
    // Read and not yet handled, line parts included.
    qint64 heldBytes() const;

    // At the end, while the log is still heard: what waits for the login or
    // the network goes if it can within the wait; what cannot is told dropped,
    // with its count, and the connection is let go.
    void finish();

    void loadHistory(QString& host, QString& port);
    void appendHistory(const QString& text);

signals:
    void starsIsReady();
    void starsIsNotReady();
    void anyAns(AMsg amsg);
    void anyEvent(AMsg amsg);
    void anyAsk(AMsg amsg);
    void anyMsg(AMsg amsg);
    void notice(QString msg, int timeout = 2000, bool warn = false);
    void log(QString msg, QColor c = Qt::black);
    void vlog(QString msg, QColor c = Qt::black);
    void sendingAnsToStars(QString ans);
    void sendingEventToStars(QString msg);
    void sendingAskToStars(QString msg);

public slots:
    void connectedToStars();
    void disconnectedFromStars();
    void closeConnection();
    void receive();
    void newHost();
    void newPort();
    // Connects, or closes a logged-in connection.
    void connectToStars();
    void setBusy(bool f);
    bool busy() const { return busyFlag; }
    void setLogSendingMsg(bool f) { logSending = f; }
    void sendOk(AMsg aMsg);
    void sendAns(AMsg aMsg, QString ans);
    // Publishes "_" + event to "System"; returns what was sent or, when
    // nothing was written now, why ("Stars is not ready (...)" also while
    // the message waits for the login under way).
    QString sendEvent(QString fromCh, QString event);
    void sendCmd(QString fromCh, QString to, QString cmd);
    void sendCmdV(QString fromCh, QString to, QString cmd, QString val);
    bool isConnected() const;

private:
    // The message is msg's parts joined; the text returned is built only when
    // wanted (a long answer would be built twice for nobody).
    QString send(const QString& name, const QString& fromCh, const QString& to,
                 std::initializer_list<QStringView> msg, bool wantResult = true);
    // Writes one message line now, logging it when asked.
    void writeLine(const QByteArray& bytes);
    // The server's line refusing the login is told; the connection is let go.
    void refused(const QString& line);
    // False when there is no key to send.
    bool sendKey(const QString& line);
    void readKeyFile();
    bool isLoginAccepted(const QString& line) const;
    // line without its line end; taken, so that a long line is freed once
    // what an answer needs is out of it.
    void handleMsg(QString line);
    // One received line by the login state; false when the login was refused.
    bool takeLine(QString line);
    void failed(QAbstractSocket::SocketError err);
    void gaveUp();
    // The attempt ends here, told with why; the connection is let go.
    void endAttempt(const QString& why);
    // Messages that waited for the login are dropped, told as any dropped one.
    void dropForLogin();
    void tellDropped(const QString& firstWord);
    // At the end: messages that wait for the login under way, or for the
    // network, still go if that takes no longer than the login is given.
    void settle();
    // To the program's log: stderr here, the batch window through log().
    void note(const QString& msg, const QColor& c = Qt::black);
    QString server() const;

    QColor sndColor = QColor(0, 200, 120);
    QStringList keyList;
    QTcpSocket* sock = nullptr;
    ConnectStat* stat = nullptr;
    bool busyFlag = false;
    StarsCmdTable cmds;
    bool logSending = false;
    stars::LineBuffer lines;
    // Complete lines read and not yet handled, oldest first.
    QList<QByteArray> ready;
    QTimer slice;
    stars::OutputBound outBound;
    // The server of the last connection attempt, for the log.
    QString serverHost;
    QString serverPort;
    // The first message dropped while not logged in has been logged.
    bool dropTold = false;
    // A connection or login is under way, or up, and its end not yet told.
    bool live = false;
    bool tcpUp = false; // the socket connected in this attempt
    QTimer loginTimer;
    // Message lines sent while the login runs, oldest first, and their size.
    QList<QByteArray> forLogin;
    qint64 forLoginSize = 0;
    QString forLoginFirst; // the first one's word, for the line telling a drop
    bool forLoginFullTold = false;
    // The lines handed to the socket on this connection (the key line first).
    stars::Passing passing;
};
