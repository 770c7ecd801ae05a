#pragma once
// One message line of the Stars server, cut into its addresses, word and
// parameters. A plain value: copied into signals and replies.
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QStringView>

class AMsg {
public:
    int parsed = 0;    // 1 once the line was read as a message
    QString line;      // the line without CR and LF
    QString head;      // "from>to"
    QString body;      // after the head, with the blank that ended it
    QString from;
    QString to;
    QString fromNode;
    QString fromSub;
    QString fromAddr;
    QString toNode;
    QString toSub;
    QString toAddr;
    QString word;      // without its leading "@" or "_"
    QString firstParam;
    QStringList params;
    QString paramText; // the body after the word, unchanged
    int kind = 3;      // 0 answer, 1 event, 2 command, 3 not parsed

    // Fills the record from one received line; returns parsed.
    int parse(const QString& text);
    // As parse for a line without CR and LF, but line, body, params,
    // paramText and firstParam stay empty: enough to answer, without copies
    // of a long line. paramText, when given, is set to where that text lies.
    int parseHead(QStringView text, QStringView* paramText = nullptr);

    // The first item of a text as parse cuts it (quotes removed).
    static QStringView firstItem(QStringView text);
};

Q_DECLARE_METATYPE(AMsg)
