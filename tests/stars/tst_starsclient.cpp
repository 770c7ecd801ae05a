// The Stars client against a stand-in server on 127.0.0.1: login, answers,
// events, state and the settings form.
#include "support/LogCapture.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "stars/ConnectStat.h"
#include "stars/Stars.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
const QByteArray ok("System>Corvelline Ok:\n");
const QString nothingReconnects(" (nothing reconnects by itself: restart the program once the server is up)");
const QString refusedTail(
    " (nothing reconnects by itself: restart the program once the server's settings or the key are put right)");

QString droppedLine(quint16 port, const QString& word)
{
    return QStringLiteral("Not connected to the message server 127.0.0.1:%1: \"%2\" is dropped, as is every message "
                          "after it until the program is connected again")
               .arg(port)
               .arg(word)
        + nothingReconnects;
}

// The lines that tell of a connection or login that ended.
QStringList endsTold(const testlog::Capture& log)
{
    QStringList told;
    for (const char* p : {"No connection", "No login", "Disconnected", "Login refused", "Not connected"})
        told << log.linesStartingWith(QString::fromLatin1(p));
    return told;
}
} // namespace

class TestStarsClient : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    QString keyFile(const QByteArray& content)
    {
        const QString name = tmp.filePath(QStringLiteral("Corvelline.key"));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
        return name;
    }

    // Connects until the key line is answered (state 1), no reply yet.
    static bool challenge(Stars& s, loopback::Server& srv, const QString& keys)
    {
        if (srv.greeting.isEmpty())
            srv.greeting = "7\n";
        loopback::aim(s, srv, keys);
        s.connectToStars();
        return QTest::qWaitFor([&] { return s.status()->state() == 1; }, 5000);
    }

private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }

    void keyLine_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QStringList>("sent");
        const QByteArray three("k0\nk1\nk2\n");
        QTest::newRow("7 of three: the second") << three << QByteArray("7\r\n") << QStringList{"Corvelline k1"};
        QTest::newRow("blanks around 5") << three << QByteArray(" 5 \n") << QStringList{"Corvelline k2"};
        QTest::newRow("-1: the last") << three << QByteArray("-1\n") << QStringList{"Corvelline k2"};
        QTest::newRow("empty key") << QByteArray("k0\n\nk2\n") << QByteArray("1\n") << QStringList{"Corvelline "};
        QTest::newRow("key in UTF-8") << QByteArray("k0\nkö\n") << QByteArray("1\n") << QStringList{"Corvelline kö"};
        // The server keeps the mark in its first key.
        QTest::newRow("byte-order mark, key 0") << QByteArray("\xEF\xBB\xBFk0\nk1\n") << QByteArray("0\n")
                                                << QStringList{"Corvelline \xEF\xBB\xBFk0"};
        QTest::newRow("byte-order mark, key 1") << QByteArray("\xEF\xBB\xBFk0\nk1\n") << QByteArray("1\n")
                                                << QStringList{"Corvelline k1"};
    }
    // The key line, then a refusal, told with the server's line; a refused
    // login reads no further line, so the "7" after it is no second challenge.
    void keyLine()
    {
        testlog::Capture log;
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, first);
        loopback::Server srv;
        srv.greeting = first;
        Stars s;
        QFile::remove(tmp.filePath(QStringLiteral("Corvelline.key")));
        const QString kf = keys.isNull() ? tmp.filePath(QStringLiteral("Corvelline.key")) : keyFile(keys);
        QSignalSpy notReady(&s, &Stars::starsIsNotReady);
        QVERIFY(challenge(s, srv, kf));
        srv.write("System>Corvelline NG:\n7\n");
        QTRY_VERIFY(!srv.isOpen());
        QTRY_COMPARE(notReady.count(), 1);
        QTEST(srv.lines(), "sent");
        QCOMPARE(s.status()->state(), 0);
        QCOMPARE(s.statusL->text(), QStringLiteral("Disconnected"));
        QCOMPARE(log.linesStartingWith(QStringLiteral("Login refused")),
                 QStringList{QStringLiteral("Login refused by the message server 127.0.0.1:%1: System>Corvelline NG:")
                                     .arg(srv.port())
                             + refusedTail});
    }

    void firstLineRefuses_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QString>("told"); // after "... 127.0.0.1:<port>: "
        QTest::newRow("host not admitted") << QByteArray("Bad host. localhost\n") << "Bad host. localhost";
        QTest::newRow("5x is no number") << QByteArray("5x\r\n") << "5x";
        QTest::newRow("empty line") << QByteArray("\n") << "";
    }
    // A first line that is not the server's number is its refusal: told with
    // its text, no key sent, the connection let go.
    void firstLineRefuses()
    {
        QFETCH(QByteArray, first);
        QFETCH(QString, told);
        loopback::Server srv;
        srv.greeting = first;
        Stars s;
        testlog::Capture log;
        QSignalSpy notReady(&s, &Stars::starsIsNotReady);
        loopback::aim(s, srv, keyFile("k0\nk1\n"));
        s.connectToStars();
        QVERIFY(srv.waitForConnections(1));
        QTRY_VERIFY(!srv.isOpen());
        QTRY_COMPARE(notReady.count(), 1);
        QCOMPARE(srv.received(), QByteArray());
        QCOMPARE(s.statusL->text(), QStringLiteral("Disconnected"));
        QCOMPARE(endsTold(log), QStringList{QStringLiteral("Login refused by the message server 127.0.0.1:%1: %2")
                                                    .arg(srv.port())
                                                    .arg(told)
                                                + refusedTail});
        QCOMPARE(log.linesStartingWith(QStringLiteral("sending key")), QStringList());
    }

    void noKey_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing key file") << false;
        QTest::newRow("empty key file") << true;
    }
    // Nothing to send: told in the log and on stderr, and the connection ends
    // without waiting for the server.
    void noKey()
    {
        QFETCH(bool, exists);
        QFile::remove(tmp.filePath(QStringLiteral("Corvelline.key")));
        const QString kf = exists ? keyFile(QByteArray()) : tmp.filePath(QStringLiteral("Corvelline.key"));
        loopback::Server srv;
        srv.greeting = "7\n";
        Stars s;
        testlog::Capture debug;
        QSignalSpy log(&s, &Stars::log);
        QSignalSpy notReady(&s, &Stars::starsIsNotReady);
        loopback::aim(s, srv, kf);
        s.connectToStars();
        QVERIFY(srv.waitForConnections(1));
        QTRY_VERIFY(!srv.isOpen());
        QTRY_COMPARE(notReady.count(), 1);
        QCOMPARE(s.statusL->text(), QStringLiteral("Disconnected"));
        QCOMPARE(srv.received(), QByteArray());
        QStringList want{"opening key file [" + kf + "]", "Can't open key file [" + kf + "]",
                         "I have no key to exchange with Stars. (nothing reconnects by itself: restart the program "
                         "once the key file is put right)"};
        if (exists)
            want.removeAt(1);
        QStringList logged;
        for (const QList<QVariant>& a : log)
            logged << a.at(0).toString();
        QCOMPARE(logged, want);
        for (const QString& w : want)
            QCOMPARE(debug.linesStartingWith(w), QStringList{w});
    }

    void flood_data()
    {
        QTest::addColumn<bool>("reads");
        QTest::newRow("server reads nothing") << false;
        QTest::newRow("server reads") << true;
    }
    // Large requests whose answers a server does not read: what waits stays
    // under the bound and what was read stays near one line; past the bound
    // answers are dropped, told once, and once the server reads the answers
    // kept and those to later requests arrive in order.
    void flood()
    {
        QFETCH(bool, reads);
        const int n = 60;
        const qint64 size = 200 * 1024;
        const qint64 limit = 1 << 20;
        loopback::Server srv;
        Stars s;
        testlog::Capture log;
        QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
        s.setOutputLimit(limit);
        srv.setReading(reads);
        qint64 waited = 0, held = 0;
        int handled = 0;
        connect(&s, &Stars::sendingAnsToStars, this, [&] {
            ++handled;
            waited = qMax(waited, s.waitingBytes());
            held = qMax(held, s.heldBytes());
        });
        for (int i = 0; i < n; ++i)
            srv.write(QStringLiteral("T>Corvelline Help %1").arg(i, 4, 10, QChar(u'0')).toLatin1()
                      + QByteArray(size, 'p') + '\n');
        QTRY_COMPARE_WITH_TIMEOUT(handled, n, 20000);
        QVERIFY2(waited <= limit, qPrintable(QString::number(waited)));
        QVERIFY2(held <= 2 * Stars::readChunk + size, qPrintable(QString::number(held)));
        srv.setReading(true);
        srv.write("M0>Corvelline IsBusy\nM1>Corvelline IsBusy\n");
        QTRY_VERIFY_WITH_TIMEOUT(srv.lines().endsWith(QStringLiteral("Corvelline>M1 @IsBusy 0")), 10000);
        const QStringList got = srv.lines().mid(1);
        QCOMPARE(got.mid(got.size() - 2), (QStringList{"Corvelline>M0 @IsBusy 0", "Corvelline>M1 @IsBusy 0"}));
        QList<int> answered;
        for (const QString& l : got.mid(0, got.size() - 2)) {
            QVERIFY(l.startsWith(QLatin1String("Corvelline>T @Help Er: Command [")));
            answered << l.mid(32, 4).toInt();
        }
        QVERIFY(!answered.isEmpty() && answered.first() == 0);
        QVERIFY(std::is_sorted(answered.begin(), answered.end()));
        QCOMPARE(std::adjacent_find(answered.begin(), answered.end()), answered.end());
        const QStringList told = log.linesStartingWith(QStringLiteral("The message server"));
        if (reads) {
            QCOMPARE(answered.size(), n);
            QCOMPARE(told, QStringList());
        } else {
            QVERIFY(answered.size() < n);
            QCOMPARE(told.size(), 1);
            QVERIFY2(QRegularExpression(QStringLiteral("^The message server 127\\.0\\.0\\.1:%1 reads nothing: "
                                                       "\\d+ bytes waiting; messages are dropped until it reads$")
                                            .arg(srv.port()))
                         .match(told[0])
                         .hasMatch(),
                     qPrintable(told[0]));
        }
    }

    // Accepted: state 2 and starsIsReady; the server closing brings state 0;
    // the next connect logs in again with the key file as it is then.
    void loginAgain()
    {
        loopback::Server srv;
        Stars s;
        QSignalSpy ready(&s, &Stars::starsIsReady);
        QSignalSpy notReady(&s, &Stars::starsIsNotReady);
        QVERIFY(loopback::logIn(s, srv, keyFile("a\n")));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(s.statusL->text(), QStringLiteral("Connected"));
        QCOMPARE(srv.lines(), QStringList{"Corvelline a"});
        srv.closeConnection();
        QTRY_COMPARE(s.status()->state(), 0);
        QCOMPARE(notReady.count(), 1);
        keyFile("b\n");
        QVERIFY(loopback::logIn(s, srv, keyFile("b\n")));
        QCOMPARE(srv.lines(1), QStringList{"Corvelline b"});
        QCOMPARE(ready.count(), 2);
    }

    // The server going away is logged once; the events after it are dropped
    // with one line per loss, not one each, and nothing more is written.
    void serverGone()
    {
        loopback::Server srv;
        Stars s;
        testlog::Capture log;
        const QString gone =
            QStringLiteral("Disconnected from the message server 127.0.0.1:%1").arg(srv.port()) + nothingReconnects;
        for (int loss = 1; loss <= 2; ++loss) {
            QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
            srv.closeConnection();
            QTRY_COMPARE(s.status()->state(), 0);
            s.sendEvent(QString(), QStringLiteral("SavedImage /d/a.png"));
            s.sendEvent(QString(), QStringLiteral("SendXafsData # I1 : --|---|"));
            QCOMPARE(log.linesStartingWith(QStringLiteral("Disconnected")), QStringList(loss, gone));
            const QStringList dropped = log.linesStartingWith(QStringLiteral("Not connected to the message server"));
            QCOMPARE(dropped.size(), loss);
            QVERIFY(dropped.last().contains(QLatin1String("_SavedImage")));
            QCoreApplication::processEvents();
            QCOMPARE(srv.lines(loss - 1), QStringList{"Corvelline k"});
        }
    }

    // After a refusal the button connects again and the login succeeds.
    void refusedThenAccepted()
    {
        loopback::Server srv;
        srv.greeting = "0\n";
        Stars s;
        QVERIFY(challenge(s, srv, keyFile("k\n")));
        testlog::Capture log;
        srv.write("System>corvelline Ok:\r\n");
        QTRY_COMPARE(s.status()->state(), 0);
        QCOMPARE(log.linesStartingWith(QStringLiteral("Login refused")),
                 QStringList{QStringLiteral("Login refused by the message server 127.0.0.1:%1: System>corvelline Ok:")
                                     .arg(srv.port())
                             + refusedTail});
        s.connectB->click();
        QVERIFY(srv.waitForConnections(2));
        QVERIFY(srv.waitForLines(1, 1));
        srv.write(ok, 1);
        QTRY_VERIFY(s.isConnected());
    }

    // In state 1 the button changes nothing.
    void buttonWhileConnecting()
    {
        loopback::Server srv;
        Stars s;
        QVERIFY(challenge(s, srv, keyFile("k\n")));
        s.connectB->click();
        QCOMPARE(s.socket()->state(), QAbstractSocket::ConnectedState);
        QCOMPARE(s.status()->state(), 1);
        QCOMPARE(srv.connections(), 1);
    }

    void portRefused_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("0") << "0";
        QTest::newRow("65536") << "65536";
        QTest::newRow("no number") << "abc";
    }
    void portRefused()
    {
        QFETCH(QString, port);
        Stars s;
        s.hostLE->setText(QStringLiteral("127.0.0.1"));
        s.portLE->setText(port);
        QSignalSpy log(&s, &Stars::log);
        s.connectToStars();
        QCOMPARE(s.socket()->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(log.count(), 1);
        QVERIFY(log.at(0).at(0).toString().contains(port));
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QStringList>("out");
        QTest::addColumn<QString>("passed"); // the signal that passes it on
        QTest::newRow("Hello, CRLF") << QByteArray("Term>Corvelline Hello\r\n")
            << QStringList{"Corvelline>Term @Hello Hello! I am Corvelline. Nice to meet you!"} << "";
        QTest::newRow("Help") << QByteArray("Term>Corvelline Help\n")
                              << QStringList{"Corvelline>Term @Help Commands : Hello Help IsBusy"} << "";
        QTest::newRow("Help with a known word") << QByteArray("Term>Corvelline Help Hello\n")
            << QStringList{"Corvelline>Term @Help : Answer greeting message"} << "";
        QTest::newRow("Help IsBusy names this program") << QByteArray("Term>Corvelline Help IsBusy\n")
            << QStringList{"Corvelline>Term @Help : Answer if Corvelline is busy"} << "";
        QTest::newRow("Help foo") << QByteArray("Term>Corvelline Help foo\n")
                                  << QStringList{"Corvelline>Term @Help Er: Command [foo] not found."} << "";
        QTest::newRow("to the sender's sub-address") << QByteArray("Term.sub>Corvelline IsBusy\n")
                                                     << QStringList{"Corvelline>Term.sub @IsBusy 0"} << "";
        QTest::newRow("from the address written to") << QByteArray("Term>Corvelline.x IsBusy\n")
                                                     << QStringList{"Corvelline.x>Term @IsBusy 0"} << "";
        QTest::newRow("event _IsBusy: no answer") << QByteArray("Term>Corvelline _IsBusy\n") << QStringList()
                                                  << "anyEvent";
        QTest::newRow("event _Hello: no answer") << QByteArray("Term>Corvelline.x _Hello 1\n") << QStringList()
                                                 << "anyEvent";
        QTest::newRow("UTF-8 both ways") << QByteArray("Term>Corvelline Help データ/café\n")
            << QStringList{"Corvelline>Term @Help Er: Command [データ/café] not found."} << "";
        QTest::newRow("two in one read") << QByteArray("T>Corvelline IsBusy\nU>Corvelline IsBusy\n")
            << QStringList{"Corvelline>T @IsBusy 0", "Corvelline>U @IsBusy 0"} << "";
        QTest::newRow("answer whose word is a command") << QByteArray("Term>Corvelline @IsBusy 1\n")
                                                        << QStringList() << "anyAns";
        QTest::newRow("@Hello from another program") << QByteArray("Term>Corvelline @Hello Hello! I am Term.\n")
                                                     << QStringList() << "anyAns";
        QTest::newRow("hello in lower case") << QByteArray("Term>Corvelline hello\n") << QStringList() << "anyAsk";
        QTest::newRow("event") << QByteArray("Term>Corvelline _Moved 3\n") << QStringList() << "anyEvent";
        QTest::newRow("head only") << QByteArray("Term>Corvelline\n") << QStringList() << "";
    }
    // What follows the key line up to the answer to a closing marker.
    void answers()
    {
        QFETCH(QByteArray, in);
        QFETCH(QStringList, out);
        QFETCH(QString, passed);
        loopback::Server srv;
        Stars s;
        QSignalSpy ans(&s, &Stars::anyAns);
        QSignalSpy event(&s, &Stars::anyEvent);
        QSignalSpy ask(&s, &Stars::anyAsk);
        QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
        srv.write(in + "M>Corvelline IsBusy\n");
        QVERIFY(srv.waitForLines(int(out.size()) + 2));
        QCOMPARE(srv.lines().mid(1), out + QStringList{"Corvelline>M @IsBusy 0"});
        QCOMPARE(ans.count(), passed == QLatin1String("anyAns") ? 1 : 0);
        QCOMPARE(event.count(), passed == QLatin1String("anyEvent") ? 1 : 0);
        QCOMPARE(ask.count(), passed == QLatin1String("anyAsk") ? 1 : 0);
    }

    // One event per change; IsBusy answers the flag.
    void busy()
    {
        loopback::Server srv;
        Stars s;
        QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
        s.setBusy(true);
        s.setBusy(true);
        srv.write("M>Corvelline IsBusy\n");
        QVERIFY(srv.waitForLines(3));
        s.setBusy(false);
        QVERIFY(srv.waitForLines(4));
        QCOMPARE(srv.lines().mid(1), (QStringList{"Corvelline>System _ChangedIsBusy 1", "Corvelline>M @IsBusy 1",
                                                  "Corvelline>System _ChangedIsBusy 0"}));
    }

    // Not logged in (here: key sent, no reply yet) nothing is written.
    void notReady()
    {
        loopback::Server srv;
        Stars s;
        QVERIFY(challenge(s, srv, keyFile("k\n")));
        QSignalSpy sending(&s, &Stars::sendingEventToStars);
        QCOMPARE(s.sendEvent(QString(), QStringLiteral("SavedImage /d/a.png")),
                 QStringLiteral("Stars is not ready (Corvelline>System _SavedImage /d/a.png)"));
        QCOMPARE(sending.count(), 1);
        srv.write("no\n");
        QTRY_VERIFY(!srv.isOpen());
        QCOMPARE(srv.lines(), QStringList{"Corvelline k"});
    }

    // A line end in the text never starts a second message; sent lines are
    // logged when asked.
    void oneLinePerSend()
    {
        loopback::Server srv;
        Stars s;
        QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
        s.setLogSendingMsg(true);
        QSignalSpy log(&s, &Stars::log);
        QSignalSpy asked(&s, &Stars::sendingAskToStars);
        s.sendEvent(QStringLiteral("ch"), QStringLiteral("SavedImage a\nM>Corvelline Hello\rb"));
        s.sendCmdV(QString(), QStringLiteral("Term"), QStringLiteral("Set"), QStringLiteral("1"));
        QVERIFY(srv.waitForLines(3));
        const QStringList sent{"Corvelline.ch>System _SavedImage a M>Corvelline Hello b", "Corvelline>Term Set 1"};
        QCOMPARE(srv.lines().mid(1), sent);
        QCOMPARE(log.count(), 2);
        QCOMPARE(log.at(1).at(0).toString(), QStringLiteral("---- Snd ") + sent[1]);
        QCOMPARE(asked.at(0).at(0).toString(), sent[1]);
    }

    void waitForLogin_data()
    {
        QTest::addColumn<QString>("end"); // how the login ends
        QTest::addColumn<int>("kept");    // events that fit the bound while the login runs
        QTest::newRow("accepted") << "accepted" << 3;
        QTest::newRow("accepted, room for two") << "accepted" << 2;
        QTest::newRow("refused") << "refused" << 3;
        QTest::newRow("server gone") << "gone" << 3;
    }
    // Events made while connecting and logging in wait and go in order once
    // the login is accepted; otherwise they are dropped, told once.
    void waitForLogin()
    {
        QFETCH(QString, end);
        QFETCH(int, kept);
        const QStringList events{"SavedImage /d/データ/1.png", "SavedImage /d/café/2.png", "SavedImage /d/abc/3.png"};
        loopback::Server srv;
        Stars s;
        testlog::Capture log;
        loopback::aim(s, srv, keyFile("k\n"));
        qint64 room = 0;
        for (int i = 0; i < kept; ++i)
            room += ("Corvelline>System _" + events[i] + u'\n').toUtf8().size();
        s.setOutputLimit(room);
        s.connectToStars();
        s.sendEvent(QString(), events[0]); // the connection not made yet
        QTRY_COMPARE(s.socket()->state(), QAbstractSocket::ConnectedState);
        s.sendEvent(QString(), events[1]); // no first line yet
        srv.write("7\n");
        QVERIFY(srv.waitForLines(1));
        QTRY_COMPARE(s.status()->state(), 1);
        s.sendEvent(QString(), events[2]); // the key answered, not acknowledged
        QStringList want{"Corvelline k"};
        if (end == QLatin1String("accepted")) {
            srv.write(ok);
            QTRY_VERIFY(s.isConnected());
            for (int i = 0; i < kept; ++i)
                want << "Corvelline>System _" + events[i];
            QVERIFY(srv.waitForLines(int(want.size()))); // read: room for the next one
            s.sendEvent(QString(), QStringLiteral("SavedScreen after"));
            want << QStringLiteral("Corvelline>System _SavedScreen after");
            QVERIFY(srv.waitForLines(int(want.size())));
        } else {
            if (end == QLatin1String("refused"))
                srv.write("System>Corvelline NG:\n");
            else
                srv.closeConnection();
            QTRY_COMPARE(s.socket()->state(), QAbstractSocket::UnconnectedState);
            QCOMPARE(log.linesStartingWith(QStringLiteral("Not connected")),
                     QStringList{droppedLine(srv.port(), QStringLiteral("_SavedImage"))});
        }
        QCOMPARE(srv.lines(), want);
        const QStringList full = log.linesStartingWith(QStringLiteral("Not logged in"));
        QCOMPARE(full.size(), kept < 3 ? 1 : 0);
        if (kept < 3)
            QCOMPARE(full[0], QStringLiteral("Not logged in to the message server 127.0.0.1:%1 yet: %2 bytes wait for "
                                             "the login; \"_SavedImage\" and later messages are dropped")
                                  .arg(srv.port())
                                  .arg(room));
    }

    void connectionFails_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("told"); // %1 the port
        const QString noLogin = QStringLiteral("No login with the message server 127.0.0.1:%1: ");
        QTest::newRow("refused") << "closed" << "No connection to the message server 127.0.0.1:%1: connection refused";
        QTest::newRow("host not found") << "unknown host"
                                        << "No connection to the message server nowhere.invalid:%1: host not found";
        QTest::newRow("connection hangs") << "hangs"
                                          << "No connection to the message server 127.0.0.1:%1: no answer within 0.5 s";
        QTest::newRow("no first line") << "mute" << noLogin + "no first line within 0.5 s of connecting";
        QTest::newRow("key not answered") << "no answer" << noLogin + "no answer to the key within 0.5 s";
        QTest::newRow("gone during the login") << "gone" << "Disconnected from the message server 127.0.0.1:%1";
    }
    // Told once with its reason; the connection is let go and the client
    // works on: the next event is dropped, told once as well.
    void connectionFails()
    {
        QFETCH(QString, server);
        QFETCH(QString, told);
        loopback::Server srv;
        loopback::HangingPort hang;
        QVERIFY(hang.ready());
        Stars s;
        loopback::aim(s, srv, keyFile("k\n"));
        s.setLoginWait(500);
        quint16 port = srv.port();
        if (server == QLatin1String("closed") || server == QLatin1String("unknown host"))
            port = loopback::closedPort();
        else if (server == QLatin1String("hangs"))
            port = hang.port();
        else if (server != QLatin1String("mute"))
            srv.greeting = "7\n";
        if (server == QLatin1String("unknown host"))
            s.hostLE->setText(QStringLiteral("nowhere.invalid"));
        s.portLE->setText(QString::number(port));
        testlog::Capture log;
        QSignalSpy logged(&s, &Stars::log);
        s.connectToStars();
        if (server == QLatin1String("gone")) {
            QVERIFY(srv.waitForLines(1));
            srv.closeConnection();
        }
        const QString line = told.arg(port) + nothingReconnects;
        QTRY_VERIFY_WITH_TIMEOUT(endsTold(log).contains(line), 10000);
        QTRY_COMPARE(s.socket()->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(s.status()->state(), 0);
        QCOMPARE(s.statusL->text(), QStringLiteral("Disconnected"));
        if (srv.connections() > 0)
            QTRY_VERIFY(!srv.isOpen());
        QVERIFY(logged.count() >= 1 && logged.last().at(0).toString() == line);
        s.sendEvent(QString(), QStringLiteral("SavedImage /d/a.png"));
        s.sendEvent(QString(), QStringLiteral("SavedImage /d/b.png"));
        QCOMPARE(endsTold(log).size(), 2);
        QVERIFY(endsTold(log).last().contains(QLatin1String("\"_SavedImage\" is dropped")));
    }

    // A line over the limit is told on the client's log, and the lines after
    // it are answered.
    void overLongLineLogged()
    {
        loopback::Server srv;
        Stars s;
        QVERIFY(loopback::logIn(s, srv, keyFile("k\n")));
        s.setLineLimit(20);
        QSignalSpy log(&s, &Stars::log);
        srv.write("T>Corvelline Help 0123456789abcdef\nM>Corvelline IsBusy\n");
        QVERIFY(srv.waitForLines(2));
        QCOMPARE(srv.lines().mid(1), QStringList{"Corvelline>M @IsBusy 0"});
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.at(0).at(0).toString(),
                 QStringLiteral("Stars: a received line of 34 bytes is over the limit of 20 bytes, dropped"));
    }

    // Logged in to a server that reads nothing: the end waits as long as a
    // login, then tells how many messages never left, each one counted.
    void atExitUnread()
    {
        const int events = 400;
        loopback::Server srv;
        auto* s = new Stars;
        s->setLoginWait(500);
        QVERIFY(loopback::logIn(*s, srv, keyFile("k\n")));
        srv.setReading(false);
        const QString big(64 * 1024, u'p');
        for (int i = 0; i < events; ++i)
            s->sendEvent(QString(), QStringLiteral("SavedImage ") + big);
        testlog::Capture log;
        delete s;
        srv.setReading(true);
        QTRY_VERIFY_WITH_TIMEOUT(!srv.isOpen(), 10000);
        const int arrived = int(srv.received().count('\n')) - 1; // the key line first
        QVERIFY(arrived < events);
        QCOMPARE(log.linesStartingWith(QStringLiteral("The program ends")),
                 QStringList{QStringLiteral("The program ends: %1 messages not passed on to the message server "
                                            "127.0.0.1:%2 within 0.5 s, dropped")
                                 .arg(events - arrived)
                                 .arg(srv.port())});
        QCOMPARE(log.linesStartingWith(QStringLiteral("Disconnected")), QStringList());
    }

    void atExit_data()
    {
        QTest::addColumn<QString>("login"); // where the login stands at the end
        QTest::addColumn<bool>("sent");
        QTest::newRow("logged in, the line not passed on yet") << "in" << true;
        QTest::newRow("acknowledgement on its way") << "ack" << true;
        QTest::newRow("key not answered") << "mute" << false;
    }
    // The client ends right after an event: it still goes out, or is told
    // dropped; the end waits no longer than the login is given.
    void atExit()
    {
        QFETCH(QString, login);
        QFETCH(bool, sent);
        loopback::Server srv;
        auto* s = new Stars;
        s->setLoginWait(500);
        testlog::Capture log;
        if (login == QLatin1String("in")) {
            QVERIFY(loopback::logIn(*s, srv, keyFile("k\n")));
        } else {
            QVERIFY(challenge(*s, srv, keyFile("k\n")));
            QVERIFY(srv.waitForLines(1));
            if (login == QLatin1String("ack")) {
                srv.write(ok);
                srv.flush();
            }
        }
        s->sendEvent(QString(), QStringLiteral("SavedImage /d/データ/last.png"));
        QElapsedTimer t;
        t.start();
        delete s;
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
        QStringList want{"Corvelline k"};
        if (sent)
            want << QStringLiteral("Corvelline>System _SavedImage /d/データ/last.png");
        QVERIFY(srv.waitForLines(int(want.size())));
        QTRY_VERIFY(!srv.isOpen());
        QCOMPARE(srv.lines(), want);
        QCOMPARE(log.linesStartingWith(QStringLiteral("Not connected")).size(), sent ? 0 : 1);
        QCOMPARE(log.linesStartingWith(QStringLiteral("No login")).size(), sent ? 0 : 1);
    }

    void statusShown_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("shown"); // label text, label style, button text, button style
        QTest::addColumn<bool>("asksConnect");
        QTest::newRow("0") << 0
            << QStringList{"Disconnected", "background-color: rgb(176, 192, 192);", "Connect",
                           "background-color: rgb(96, 255, 181);"} << true;
        QTest::newRow("1") << 1
            << QStringList{"Connecting", "background-color: rgb(255, 243, 162);", "Connecting",
                           "background-color: rgb(240, 240, 240);"} << false;
        QTest::newRow("2") << 2
            << QStringList{"Connected", "background-color: rgb(211, 255, 241);", "Disconnect",
                           "background-color: rgb(255, 255, 128);"} << false;
    }
    void statusShown()
    {
        QFETCH(int, state);
        QFETCH(QStringList, shown);
        QFETCH(bool, asksConnect);
        QLabel label;
        QPushButton button;
        ConnectStat st;
        st.setWidgets(&label, &button);
        st.setState(state);
        QCOMPARE((QStringList{label.text(), label.styleSheet(), button.text(), button.styleSheet()}), shown);
        QSignalSpy connectAsked(&st, &ConnectStat::askConnect);
        QSignalSpy disconnectAsked(&st, &ConnectStat::askDisconnect);
        button.click();
        QCOMPARE(connectAsked.count(), asksConnect ? 1 : 0);
        QCOMPARE(disconnectAsked.count(), asksConnect ? 0 : 1);
        st.setState(7);
        QCOMPARE(st.state(), 7);
        QCOMPARE(label.text(), shown[0]); // another state is only stored
    }

    void initialStatus()
    {
        Stars s;
        QCOMPARE(s.statusL->text(), QStringLiteral("Disconnected"));
        QCOMPARE(s.statusL->styleSheet(), QStringLiteral("background-color: rgb(176, 192, 192);"));
    }

    // A host is recorded when it differs from the last one recorded.
    void hostHistory()
    {
        Stars s;
        s.historyFile = tmp.filePath(QStringLiteral("SSVHistory.dat"));
        QFile::remove(s.historyFile);
        for (const char* h : {"h1", "h1", "h2", "h1"}) {
            s.hostLE->setText(QString::fromLatin1(h));
            emit s.hostLE->editingFinished();
        }
        s.portLE->setText(QStringLiteral("6057"));
        emit s.portLE->editingFinished();
        emit s.portLE->editingFinished();
        QFile f(s.historyFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("A: h1\nA: h2\nA: h1\nP: 6057\n"));
    }
};

CORVELLINE_TEST(TestStarsClient)
#include "tst_starsclient.moc"
