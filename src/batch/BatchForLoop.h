#pragma once
// One ":for" loop of a batch: its counter runs over texts so that a start
// such as "001" keeps its zero padding.
#include <QString>

class BatchForLoop {
public:
    BatchForLoop() = default;
    // items: the ":for" parameters joined with blanks, split again into
    // name, placeholder, start, end and step (missing ones empty).
    BatchForLoop(int line, const QString& items);

    // One step; returns the line to go on from: `line` while the loop goes on,
    // else current (value then keeps its last text).
    int next(int current);
    QString formatValue(qint64 n) const;
    // Why the loop cannot count: a start, end or step given that is no whole
    // number of 32 bits, named; empty when there is none.
    QString numbersMistake() const;

    QString name;
    int line = 0;
    QString placeholder;
    QString start;
    QString end;
    QString value;
    QString step;
};
