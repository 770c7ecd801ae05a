#pragma once
// Collects the debug log lines written while an instance lives (one at a time),
// from any thread.
#include <QStringList>
#include <QtGlobal>

namespace testlog {

class Capture {
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    // The lines that start with prefix.
    QStringList linesStartingWith(const QString& prefix) const;

private:
    QtMessageHandler previous;
};

} // namespace testlog
