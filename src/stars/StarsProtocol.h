#pragma once
// The Stars client's protocol without sockets or widgets: received-line
// assembly, login, addresses, own answers and the host history.
#include "stars/AMsg.h"
#include "stars/StarsCmdTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace stars {

// Ids of the client's own commands.
enum OwnCmd { Hello = 0, Help = 1, IsBusy = 2 };

// "Hello", "Help" and "IsBusy" with their help texts.
StarsCmdTable ownCmds();

// Index of the key selected by the server's first line: the line as a decimal
// number (0 when it is none) modulo the count, never negative; -1 without keys.
int keyIndex(const QString& firstLine, int keyCount);
// "<name> <key>\n" as written to the server.
QByteArray keyReply(const QString& name, const QString& key);
bool loginAccepted(const QString& line, const QString& name);

// Port of a settings text; 0 when it is no number within 1..65535.
int portOf(const QString& text);

// "name" or "name.sub".
QString address(const QString& node, const QString& sub);
// "from>to msg", with every CR and LF turned into a blank so that one call
// can never put two messages on the wire.
QString messageLine(const QString& from, const QString& to, const QString& msg);

// The answer text the client gives to a message by itself; null when the
// message is not one of its commands (it is then passed on) or is an answer.
QString ownAnswer(const AMsg& msg, const StarsCmdTable& table, const QString& ownName, bool busy);
QString helpAnswer(const AMsg& msg, const StarsCmdTable& table);

// Splits received bytes into lines. A line longer than maxLineBytes is
// dropped whole, also the part of it that arrives later.
class LineBuffer {
public:
    static constexpr qsizetype maxLineBytes = qsizetype(16) * 1024 * 1024;

    explicit LineBuffer(qsizetype maxLine = maxLineBytes) : maxLine_(maxLine) {}
    // Complete lines, line end included, in order of arrival.
    QList<QByteArray> feed(const QByteArray& bytes);
    void clear();
    // Over-long lines dropped since the last clear.
    int dropped() const { return dropped_; }
    qsizetype pending() const { return buf_.size(); }

private:
    QByteArray buf_;
    qsizetype scanned_ = 0;
    qsizetype maxLine_;
    bool skipping_ = false;
    int dropped_ = 0;
};

// Bounds the bytes that wait for a peer to read them, so that a peer that
// reads nothing cannot make the program hold more: past the bound a new
// message is dropped. The first drop is told, again only after the peer has
// read everything that waited.
class OutputBound {
public:
    static constexpr qint64 defaultLimit = qint64(64) * 1024 * 1024;

    // Whether size more bytes may join the waiting ones. On the first refusal
    // told is the line to log ("<peer> reads nothing: ..."), else empty.
    bool admit(qint64 waiting, qint64 size, const QString& peer, QString& told);
    // The bytes still waiting after some were passed on.
    void drained(qint64 waiting);
    void reset() { told_ = false; }
    qint64 limit() const { return limit_; }
    void setLimit(qint64 bytes) { limit_ = bytes; }

private:
    qint64 limit_ = defaultLimit;
    bool told_ = false;
};

// Last host and port recorded in the history's lines ("A: host", "P: port").
struct History {
    QString host;
    QString port;
};
History parseHistory(const QStringList& lines);

} // namespace stars
