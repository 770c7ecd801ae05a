// Memory held for peers that do not keep up, and how long the window's event
// loop went without serving a 10 ms timer meanwhile:
//   silent   a message server sends 400 "Help" requests of 1.5 MiB and reads
//            none of the answers;
//   reading  the same requests from a server that reads all the while;
//   target   pushes of a 5297-byte block to a data target that never reads;
//   big      "Help" requests as long as a received line may be (16 MiB), from
//            a server that reads the answers;
//   bigsilent the same from a server that reads nothing.
// Each run is a process of its own (its peak is its own), and the peer is a
// further process on 127.0.0.1, so its buffers are not counted.
// Usage: bench_peers [silent|reading|target|big|bigsilent [count]]; without
// arguments all.
#include "BenchProcess.h"
#include "foundation/Cfg.h"
#include "stars/Client.h"
#include "stars/Stars.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const int Requests = 400;
const size_t RequestParam = size_t(3) << 19; // 1.5 MiB
const int BlockBytes = 5297;
const char BigRequest[] = "T>Corvelline Help ";

bool isBig(const std::string& mode)
{
    return mode == "big" || mode == "bigsilent";
}

bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

void readLine(int fd)
{
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1 && c != '\n') {
    }
}

// The stand-in peer; plain blocking sockets, killed when the run ends.
void runPeer(const std::string& mode, int count, int listenFd)
{
    const int fd = ::accept(listenFd, nullptr, nullptr);
    if (fd < 0)
        return;
    if (mode == "target") {
        for (;;)
            ::pause();
    }
    writeAll(fd, "7\n", 2);
    readLine(fd);
    const char ok[] = "System>Corvelline Ok:\n";
    writeAll(fd, ok, sizeof ok - 1);
    std::thread reader;
    if (mode == "reading" || mode == "big")
        reader = std::thread([fd] {
            std::string buf(1 << 20, '\0');
            while (::recv(fd, &buf[0], buf.size(), 0) > 0) {
            }
        });
    std::string req = BigRequest;
    if (isBig(mode)) {
        // The longest line the program takes, its line end not counted.
        req.append(stars::LineBuffer::maxLineBytes - req.size(), 'p');
    } else {
        req.append(RequestParam, 'p');
    }
    req += '\n';
    bool sent = true;
    for (int i = 0; i < count && sent; ++i)
        sent = writeAll(fd, req.data(), req.size());
    // Lines are handled in order: this event marks the end of the requests.
    const char done[] = "T>Corvelline _Done\n";
    if (sent && isBig(mode))
        writeAll(fd, done, sizeof done - 1);
    if (reader.joinable())
        reader.join();
    for (;;)
        ::pause();
}

struct Gaps {
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer ticker;
    void start(QObject* ctx)
    {
        QObject::connect(&ticker, &QTimer::timeout, ctx, [this] {
            const qint64 now = clock.elapsed();
            longest = qMax(longest, now - last);
            last = now;
        });
        clock.start();
        ticker.start(10);
    }
};

// Runs the event loop until done holds, at most ms.
template <class F>
void runUntil(QApplication& app, F done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        app.processEvents(QEventLoop::WaitForMoreEvents, 10);
}

int runProgram(int argc, char** argv, const std::string& mode, int pushes, quint16 port, pid_t peer)
{
    QApplication app(argc, argv);
    bench::quietStart();
    const double startPeak = bench::peakResidentMB();
    Gaps gaps;
    double peak = 0, after = 0;
    qint64 seconds = 0;
    QString what;
    if (mode == "target") {
        const QString p = QString::number(port);
        const QString host = QStringLiteral("127.0.0.1");
        cfg.set(QStringLiteral("USE_TCP"), QStringLiteral("1"), QStringLiteral("1"), QString());
        cfg.set(QStringLiteral("TcpTarget_IP"), host, host, QString());
        cfg.set(QStringLiteral("TcpTarget_PORT"), p, p, QString());
        Client client;
        const QByteArray block(BlockBytes, 'b');
        int sent = 0;
        QTimer pusher;
        QObject::connect(&pusher, &QTimer::timeout, &app, [&] {
            // A block of its own each time, as the window builds it.
            client.sendData(QByteArray(BlockBytes, 'b'));
            if (++sent == pushes) {
                pusher.stop();
                app.quit();
            }
        });
        // Connected first: blocks sent while connecting wait in a short queue.
        client.sendData(block);
        ++sent;
        runUntil(app, [&] { return client.state() == QAbstractSocket::ConnectedState; }, 5000);
        gaps.start(&app);
        pusher.start(0);
        app.exec();
        seconds = gaps.clock.elapsed();
        peak = bench::peakResidentMB();
        what = QStringLiteral("%1 pushes of %2 bytes to a target that never reads").arg(pushes).arg(BlockBytes);
        // The target going away hands the memory back.
        ::kill(peer, SIGKILL);
        ::waitpid(peer, nullptr, 0);
        runUntil(app, [&] { return client.state() == QAbstractSocket::UnconnectedState; }, 5000);
        malloc_trim(0);
        after = bench::residentMB();
    } else {
        QTemporaryDir dir;
        const QString key = dir.filePath(QStringLiteral("k.key"));
        QFile f(key);
        if (!f.open(QIODevice::WriteOnly) || f.write("k\n") != 2)
            return 1;
        f.close();
        Stars stars;
        stars.nameOnStarsLE->setText(QStringLiteral("Corvelline"));
        stars.keyFileLE->setText(key);
        stars.hostLE->setText(QStringLiteral("127.0.0.1"));
        stars.portLE->setText(QString::number(port));
        int answered = 0;
        bool done = false;
        if (isBig(mode)) {
            // No listener for the answers: as in the program, which has none.
            QObject::connect(&stars, &Stars::anyEvent, &app,
                             [&](const AMsg& m) { done = done || m.word == QLatin1String("Done"); });
        } else {
            QObject::connect(&stars, &Stars::sendingAnsToStars, &app, [&] { ++answered; });
        }
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &app, [&] {
            const bool silent = mode == "silent" || mode == "bigsilent";
            const bool drained = silent || stars.socket()->bytesToWrite() == 0;
            if ((done || answered == Requests) && drained)
                app.quit();
        });
        stars.connectToStars();
        gaps.start(&app);
        watch.start(20);
        app.exec();
        seconds = gaps.clock.elapsed();
        peak = bench::peakResidentMB();
        stars.socket()->abort();
        malloc_trim(0);
        after = bench::residentMB();
        const bool silent = mode == "silent" || mode == "bigsilent";
        what = QStringLiteral("%1 \"Help\" requests of %2 from a server that %3")
                   .arg(isBig(mode) ? pushes : Requests)
                   .arg(isBig(mode) ? QStringLiteral("16 MiB (the longest line taken)") : QStringLiteral("1.5 MiB"))
                   .arg(silent ? QStringLiteral("reads nothing") : QStringLiteral("reads"));
    }
    std::printf("%s\n", qPrintable(what));
    std::printf("  peak RSS before the run  %.1f MB\n", startPeak);
    std::printf("  peak RSS                 %.1f MB\n", peak);
    std::printf("  peak over the start      %.1f MB\n", peak - startPeak);
    std::printf("  RSS once closed          %.1f MB\n", after);
    std::printf("  longest event-loop gap   %lld ms (run %.1f s)\n", static_cast<long long>(gaps.longest),
                seconds / 1000.0);
    std::fflush(stdout);
    return 0;
}

// One run: the peer in a child process, the program in this one.
int runOne(int argc, char** argv, const std::string& mode, int pushes)
{
    const int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (lfd < 0 || ::bind(lfd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(lfd, 1) != 0
        || ::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 1;
    const pid_t peer = ::fork();
    if (peer == 0) {
        runPeer(mode, pushes, lfd);
        ::_exit(0);
    }
    ::close(lfd);
    const int rc = runProgram(argc, argv, mode, pushes, ntohs(a.sin_port), peer);
    ::kill(peer, SIGKILL);
    ::waitpid(peer, nullptr, 0);
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    bench::preferOffscreen();
    if (argc > 1)
    {
        const std::string mode = argv[1];
        const int fallback = mode == "target" ? 10000 : isBig(mode) ? 1 : Requests;
        return runOne(argc, argv, mode, argc > 2 ? std::atoi(argv[2]) : fallback);
    }
    const std::pair<const char*, int> runs[] = {{"silent", Requests}, {"reading", Requests}, {"target", 10000},
                                                {"target", 20000},  {"big", 1},             {"bigsilent", 12}};
    for (const auto& r : runs) {
        const pid_t p = ::fork();
        if (p == 0)
            ::_exit(runOne(argc, argv, r.first, r.second));
        ::waitpid(p, nullptr, 0);
    }
    return 0;
}
