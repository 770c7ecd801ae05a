#pragma once
// The Stars client's protocol without sockets or widgets: received-line
// assembly, login, addresses, own answers and the host history.
#include "stars/AMsg.h"
#include "stars/StarsCmdTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <initializer_list>

namespace stars {

// Ids of the client's own commands.
enum OwnCmd { Hello = 0, Help = 1, IsBusy = 2 };

// "Hello", "Help" and "IsBusy" with their help texts.
StarsCmdTable ownCmds();

// Whether the server's first line is its number (blanks around it aside); any
// other first line is the server's refusal ("Bad host. ...").
bool isChallenge(const QString& firstLine);
// Index of the key selected by the server's first line: the line as a decimal
// number (0 when it is none) modulo the count, never negative; -1 without keys.
int keyIndex(const QString& firstLine, int keyCount);
// "<name> <key>\n" as written to the server, in UTF-8.
QByteArray keyReply(const QString& name, const QString& key);
bool loginAccepted(const QString& line, const QString& name);

// Port of a settings text; 0 when it is no number within 1..65535.
int portOf(const QString& text);

// "name" or "name.sub".
QString address(const QString& node, const QString& sub);
// "from>to msg\n" in UTF-8, msg being its parts joined, with every CR and LF
// before the end turned into a blank so that one call can never put two
// messages on the wire. Built in place: a line of many MB is not copied.
QByteArray messageBytes(QStringView from, QStringView to, std::initializer_list<QStringView> msg);
// The size of messageBytes, counted without building them.
qsizetype messageSize(QStringView from, QStringView to, std::initializer_list<QStringView> msg);
// The same line as text, without its line end.
QString messageText(QStringView from, QStringView to, std::initializer_list<QStringView> msg);

// The answer text the client gives to a command by itself; null when the
// message is no command of its own (it is then passed on), an answer or an
// event. paramText is the message's text after its word (AMsg::paramText).
QString ownAnswer(const AMsg& msg, QStringView paramText, const StarsCmdTable& table, const QString& ownName,
                  bool busy);
QString helpAnswer(QStringView paramText, const StarsCmdTable& table);

// Splits received bytes into lines. A line longer than maxLineBytes is
// dropped whole, also the part of it that arrives later, and logged with its
// length once its end is there.
class LineBuffer {
public:
    static constexpr qsizetype maxLineBytes = qsizetype(16) * 1024 * 1024;
    // Where a dropped line is told; stderr when unset.
    std::function<void(const QString&)> tell;

    explicit LineBuffer(qsizetype maxLine = maxLineBytes) : maxLine_(maxLine) {}
    // Complete lines, line end included, in order of arrival.
    QList<QByteArray> feed(const QByteArray& bytes);
    void clear();
    // Over-long lines dropped since the last clear.
    int dropped() const { return dropped_; }
    qsizetype pending() const { return buf_.size(); }
    void setMaxLine(qsizetype bytes) { maxLine_ = bytes; }

private:
    QByteArray buf_;
    qsizetype scanned_ = 0;
    qsizetype maxLine_;
    bool skipping_ = false;
    qsizetype skipped_ = 0; // bytes of the line being dropped so far
    int dropped_ = 0;

    void told(const QString& msg) const;
};

// Bounds the bytes that wait for a peer to read them, so that a peer that
// reads nothing cannot make the program hold more: past the bound a new
// message is dropped. The first drop is told, again only after the peer has
// read everything that waited.
class OutputBound {
public:
    static constexpr qint64 defaultLimit = qint64(64) * 1024 * 1024;

    // items names what is dropped in the told line ("messages", "blocks").
    explicit OutputBound(const QString& items) : items_(items) {}

    // Whether size more bytes may join the waiting ones. On the first refusal
    // told is the line to log ("<peer> reads nothing: ..."), else empty.
    bool admit(qint64 waiting, qint64 size, const QString& peer, QString& told);
    // The bytes still waiting after some were passed on.
    void drained(qint64 waiting);
    void reset() { told_ = false; }
    qint64 limit() const { return limit_; }
    void setLimit(qint64 bytes) { limit_ = bytes; }

private:
    QString items_;
    qint64 limit_ = defaultLimit;
    bool told_ = false;
};

// Items (message lines, blocks) handed to a socket in order, and how much of
// them it has passed on to the network.
class Passing {
public:
    void handed(qint64 size)
    {
        if (size > 0)
            sizes_ << size;
    }
    // The socket passed on bytes more; returns how many items are now passed
    // on whole.
    int passedOn(qint64 bytes);
    // Items not passed on whole, the first of them perhaps in part.
    int left() const { return int(sizes_.size()); }
    qint64 firstSize() const { return sizes_.isEmpty() ? 0 : sizes_.first(); }
    qint64 partOfFirst() const { return part_; }
    qint64 lastWhole() const { return lastWhole_; }
    void clear()
    {
        sizes_.clear();
        part_ = 0;
        lastWhole_ = 0;
    }

private:
    QList<qint64> sizes_;
    qint64 part_ = 0;
    qint64 lastWhole_ = 0; // size of the last item passed on whole
};

// Last host and port recorded in the history's lines ("A: host", "P: port").
struct History {
    QString host;
    QString port;
};
History parseHistory(const QStringList& lines);

} // namespace stars
