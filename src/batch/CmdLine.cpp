#include "batch/CmdLine.h"

#include "foundation/TextUtils.h"

CmdLine::CmdLine(const QString& line) { setLine(line); }

void CmdLine::setLine(const QString& l)
{
    line = l;
    parse(l);
}

void CmdLine::parse(const QString& l)
{
    // A record parsed again must not keep the flag of its previous line.
    valid = false;
    isCtrl = false;
    text.clear();
    cmd.clear();
    params.clear();
    quoteFault.clear();

    text = l.simplified();
    const int hash = text.indexOf(u'#');
    if (hash >= 0)
        text.truncate(hash);
    if (text.isEmpty())
        return;

    QStringView rest = nextItemView(l, cmd, &quoteFault);
    if (cmd.isEmpty())
        return;
    QString item;
    while (!rest.isEmpty()) {
        rest = nextItemView(rest, item, &quoteFault);
        if (!item.isEmpty())
            params << item;
    }
    isCtrl = cmd.startsWith(u':');
    valid = true;
}

QString CmdLine::joinedParams() const { return params.join(u' '); }

QString CmdLine::firstParam() const { return param(0); }

QString CmdLine::param(int i) const
{
    if (i < 0 || i >= params.size())
        return QString();
    return params.at(i);
}
