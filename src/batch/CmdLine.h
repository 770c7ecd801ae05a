#pragma once
// One batch line parsed into its command word and parameters; a plain value
// that crosses from the dispatcher thread to the GUI thread by copy.
#include <QMetaType>
#include <QString>
#include <QStringList>

class CmdLine {
public:
    explicit CmdLine(const QString& line = QString());

    void setLine(const QString& line);
    void parse(const QString& line);

    QString joinedParams() const;
    QString firstParam() const;
    // Empty for an index outside the parameters, so a missing one reads as "".
    QString param(int i) const;

    bool valid = false;  // the line holds a command word
    QString line;        // as given (continuations already joined)
    QString text;        // simplified and cut before the first '#'
    bool isCtrl = false; // the word begins with ':'
    QString cmd;
    QStringList params;  // empty items left out
    QString quoteFault;  // a quote left open or out of place; empty when none
};

Q_DECLARE_METATYPE(CmdLine)
