#pragma once
// The commands the Stars client answers itself.
#include "stars/AMsg.h"

#include <QList>
#include <QString>

struct StarsCmd {
    int id = 0;
    QString name;
    QString help;
};

class StarsCmdTable {
public:
    // Id of a word that is no command of the table.
    static constexpr int notCmd = 4;

    // Appends unless the id or the name is taken; false (and a debug line) then.
    bool add(int id, const QString& name, const QString& help);
    int idOf(const QString& name) const;
    QString helpOf(const QString& name) const;
    // The names, blank-separated, for the "Help" answer.
    QString helpText() const;
    const QList<StarsCmd>& cmds() const { return cmds_; }

    // Parameter-count checks for handlers of commands that take parameters:
    // the error answer when msg has not exactly, at most or at least n
    // parameters, else a null text.
    static QString paramsExactly(const AMsg& msg, int n);
    static QString paramsAtMost(const AMsg& msg, int n);
    static QString paramsAtLeast(const AMsg& msg, int n);

private:
    QList<StarsCmd> cmds_;
};
