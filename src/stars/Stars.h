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

    // Hosts and ports typed into the form are recorded here (current directory).
    QString historyFile = QStringLiteral("SSVHistory.dat");

    ConnectStat* status() const { return stat; }
    QTcpSocket* socket() const { return sock; }
    const QStringList& keys() const { return keyList; }
    const StarsCmdTable& cmdTable() const { return cmds; }

    // Bytes that may wait for the server to read them (tests lower it).
    void setOutputLimit(qint64 bytes) { outBound.setLimit(bytes); }
    qint64 outputLimit() const { return outBound.limit(); }
    qint64 waitingBytes() const;
    // Read and not yet handled, line parts included.
    qint64 heldBytes() const;

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
    // Publishes "_" + event to "System"; returns what was sent or why not.
    QString sendEvent(QString fromCh, QString event);
    void sendCmd(QString fromCh, QString to, QString cmd);
    void sendCmdV(QString fromCh, QString to, QString cmd, QString val);
    bool isConnected() const;

private:
    QString send(const QString& name, const QString& fromCh, const QString& to, const QString& msg);
    // False when there is no key to send.
    bool sendKey(const QString& line);
    void readKeyFile();
    bool isLoginAccepted(const QString& line) const;
    void handleMsg(const QString& line);
    // One received line by the login state; false when the login was refused.
    bool takeLine(const QString& line);
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
};
