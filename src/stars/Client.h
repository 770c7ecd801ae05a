#pragma once
// The TCP data target: spectrum blocks are written to an outside receiver as
// raw bytes, connecting on demand. Nothing is framed, answered or queued.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

class Client : public QObject {
    Q_OBJECT
public:
    // Longest wait for the target to accept a connection.
    static constexpr int connectWaitMs = 5000;

    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // Writes data to the target; dropped when disabled or unreachable.
    void sendData(const QByteArray& data);

    bool enabled() const { return useTcp; }
    QString host() const { return targetHost; }
    int port() const { return targetPort; }
    QAbstractSocket::SocketState state() const { return socket.state(); }

public slots:
    void readData();
    void disconnected();

private:
    bool useTcp = false;
    QTcpSocket socket;
    QString targetHost;
    int targetPort = 0; // 0: the configured text is no port number
};
