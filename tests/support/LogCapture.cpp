#include "LogCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace testlog {

namespace {
QMutex lock;
QStringList captured;

void collect(QtMsgType, const QMessageLogContext&, const QString& msg)
{
    QMutexLocker l(&lock);
    captured << msg;
}
} // namespace

Capture::Capture()
{
    {
        QMutexLocker l(&lock);
        captured.clear();
    }
    previous = qInstallMessageHandler(collect);
}

Capture::~Capture()
{
    qInstallMessageHandler(previous);
}

QStringList Capture::linesStartingWith(const QString& prefix) const
{
    QMutexLocker l(&lock);
    QStringList res;
    for (const QString& line : captured)
        if (line.startsWith(prefix))
            res << line;
    return res;
}

} // namespace testlog
