#pragma once
// The TCP data target: spectrum blocks are written to an outside receiver as
// raw bytes, connecting on demand. Nothing is framed or answered. The window
// never waits for the target: blocks sent while the connection is being made
// wait in order and are dropped, with one log line, when it cannot be made.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "stars/StarsProtocol.h"

class Client : public QObject {
    Q_OBJECT
public:
    // Longest wait for the target to accept a connection.
    static constexpr int connectWaitMs = 5000;
    // Blocks kept while the connection is being made; later ones are dropped.
    static constexpr int queueLimit = 64;

    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // Writes data to the target, or keeps it until the connection is made;
    // returns at once. Dropped when disabled or unreachable.
    void sendData(const QByteArray& data);

    bool enabled() const { return useTcp; }
    QString host() const { return targetHost; }
    int port() const { return targetPort; }
    QAbstractSocket::SocketState state() const { return socket.state(); }
    int waitingBlocks() const { return int(waiting.size()); }
    // Tests shorten the wait for a connection.
    void setConnectWait(int ms) { connectTimer.setInterval(ms); }
    // Bytes that may wait for the target to read them (tests lower it).
    void setOutputLimit(qint64 bytes) { outBound.setLimit(bytes); }
    qint64 outputLimit() const { return outBound.limit(); }
    // Bytes handed over and not yet passed on, or waiting for the connection.
    qint64 waitingBytes() const { return socket.bytesToWrite() + waitingSize; }

public slots:
    void readData();
    void disconnected();

private:
    void connected();
    void failed(QAbstractSocket::SocketError err);
    void gaveUp();
    void written(qint64 n);
    void writeBlock(const QByteArray& data);
    void dropWaiting(const QString& why);
    // Logs once per failure episode; a block that gets through ends it.
    void report(const QString& msg);
    QString target() const;

    bool useTcp = false;
    QTcpSocket socket;
    QString targetHost;
    int targetPort = 0; // 0: the configured text is no port number
    QTimer connectTimer;
    bool connecting = false;
    QList<QByteArray> waiting;
    qint64 waitingSize = 0; // bytes in waiting
    stars::OutputBound outBound;
    // Sizes of the blocks handed to the socket and not yet all passed on,
    // and how much of the first one has been.
    QList<qint64> unsent;
    qint64 sentOfFirst = 0;
    qint64 lastWhole = 0; // size of the last block passed on whole
    bool failing = false;
};
