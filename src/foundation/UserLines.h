#pragma once
// Where a part's lines for the user go (mistakes, refusals, notes): the way
// its owner gives, else the debug log, as for a part that stands alone.
#include <QDebug>
#include <QString>

#include <functional>

struct UserLines {
    std::function<void(const QString&)> to;

    void tell(const QString& line) const
    {
        if (to)
            to(line);
        else
            qDebug().noquote() << line;
    }
};
