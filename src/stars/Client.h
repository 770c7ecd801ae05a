#pragma once
// The TCP data target: spectrum blocks are written to an outside receiver as
// raw bytes, connecting on demand. Nothing is framed or answered. The window
// never waits for the target: blocks sent while the connection is being made
// wait in order and are dropped, with one log line, when it cannot be made.
// Every block dropped is counted in a told line.
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
    // At the end: blocks not passed on yet are told dropped (nothing waits).
    void finish();

signals:
    // A line for the user (a failure, or blocks dropped), written to stderr
    // already.
    void log(QString msg);

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
    void tell(const QString& msg);
    // msg, with the blocks dropped without a line since the last one.
    QString withSilent(const QString& msg);
    void droppedSilently();
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
    // The blocks handed to the socket on this connection.
    stars::Passing passing;
    // Blocks dropped and not counted in a told line yet.
    int silent = 0;
    // Blocks handed to the socket and passed on whole on this connection, and
    // how many had been handed at the last silent drop: one handed after it
    // getting through tells the count.
    qint64 handed = 0;
    qint64 passed = 0;
    qint64 handedAtDrop = 0;
    bool queueFullTold = false; // in this attempt
};
