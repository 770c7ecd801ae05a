#pragma once
// Network stand-ins for tests: nothing here reaches another host. The Stars
// server and the TCP data target are played by servers on 127.0.0.1.
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;
class Stars;

namespace loopback {

// A port on 127.0.0.1 on which nothing listens (found once per process).
quint16 closedPort();

// Clears the configuration and points the Stars client and the data target at
// 127.0.0.1 and the closed port: every test that builds the main window starts
// from here.
void resetConfig();

// Sends every connection of this process to a host other than 127.0.0.1,
// ::1, "localhost" or a name under ".invalid" (which never resolves) into a
// dead proxy, so a test that forgot resetConfig still reaches nobody.
void installGuard();

// A server on 127.0.0.1 that records what each connection sends and can
// write to the newest one.
class Server : public QObject {
    Q_OBJECT
public:
    // On 127.0.0.1, the given port or any free one.
    explicit Server(quint16 port = 0, QObject* parent = nullptr);
    bool listening() const { return server.isListening(); }
    quint16 port() const { return server.serverPort(); }

    // Written to every new connection at once (the Stars challenge line).
    QByteArray greeting;
    // When set, each connection reads this many bytes, then is closed.
    qsizetype closeAfter = -1;

    int connections() const { return int(peers.size()); }
    QByteArray received(int conn = -1) const;
    // Lines received on a connection, read as UTF-8, line ends cut off.
    QStringList lines(int conn = -1) const;
    // Waits until the connection holds at least n lines.
    bool waitForLines(int n, int conn = -1, int timeoutMs = 5000);
    bool waitForBytes(qsizetype n, int conn = -1, int timeoutMs = 5000);
    bool waitForConnections(int n, int timeoutMs = 5000);

    // A server that reads nothing: what is sent to it waits in the network
    // (this connection and later ones); reading again takes it all in.
    void setReading(bool on);

    void write(const QByteArray& bytes, int conn = -1);
    // What was written goes to the network now, before the client's next turn.
    void flush(int conn = -1);
    void closeConnection(int conn = -1);
    bool isOpen(int conn = -1) const;

private:
    int index(int conn) const { return conn < 0 ? int(peers.size()) - 1 : conn; }

    QTcpServer server;
    QList<QTcpSocket*> peers;
    QList<QByteArray> data;
    bool reading = true;
};

// A port on 127.0.0.1 whose connects hang: a listener whose queue of one
// unaccepted connection is already full, so further handshakes get no answer.
class HangingPort {
public:
    HangingPort();
    ~HangingPort();
    HangingPort(const HangingPort&) = delete;
    HangingPort& operator=(const HangingPort&) = delete;
    quint16 port() const { return port_; }
    // The queue is full; false when the stand-in could not be set up.
    bool ready() const;

private:
    int fd = -1;
    quint16 port_ = 0;
    QTcpSocket* filler = nullptr;
};

// Fills the client's settings: name "Corvelline", the key file, the server.
void aim(Stars& stars, const Server& server, const QString& keyFile);
// Points the client at the server with the given key file and name
// "Corvelline", connects, and accepts whatever key it sends. True once logged in.
bool logIn(Stars& stars, Server& server, const QString& keyFile);

} // namespace loopback
