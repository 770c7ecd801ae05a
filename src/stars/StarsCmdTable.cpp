#include "stars/StarsCmdTable.h"

#include <QDebug>
#include <QStringList>

bool StarsCmdTable::add(int id, const QString& name, const QString& help)
{
    for (const StarsCmd& c : cmds_) {
        const char* why = c.id == id ? "Duplicated id" : c.name == name ? "Duplicated msg" : nullptr;
        if (why) {
            qDebug().noquote() << why << id << name << help;
            return false;
        }
    }
    cmds_.append({id, name, help});
    return true;
}

int StarsCmdTable::idOf(const QString& name) const
{
    for (const StarsCmd& c : cmds_) {
        if (c.name == name)
            return c.id;
    }
    return notCmd;
}

QString StarsCmdTable::helpOf(const QString& name) const
{
    for (const StarsCmd& c : cmds_) {
        if (c.name == name)
            return c.help;
    }
    return QString();
}

QString StarsCmdTable::helpText() const
{
    QStringList names;
    for (const StarsCmd& c : cmds_) {
        if (!c.name.isEmpty() && !c.name.startsWith(u'@') && !c.name.startsWith(u'_'))
            names << c.name;
    }
    return names.join(u' ');
}

namespace {
QString paramCountError(bool ok, int n)
{
    return ok ? QString() : QStringLiteral("Er: Number of Params shuld be %1").arg(n);
}
} // namespace

QString StarsCmdTable::paramsExactly(const AMsg& msg, int n)
{
    return paramCountError(msg.params.size() == n, n);
}

QString StarsCmdTable::paramsAtMost(const AMsg& msg, int n)
{
    return paramCountError(msg.params.size() <= n, n);
}

QString StarsCmdTable::paramsAtLeast(const AMsg& msg, int n)
{
    return paramCountError(msg.params.size() >= n, n);
}
