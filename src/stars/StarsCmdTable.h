#pragma once
// The commands the Stars client answers itself.
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

private:
    QList<StarsCmd> cmds_;
};
