#pragma once
// What every benchmark shares: an offscreen start without log output, and the
// process's memory and cpu time.
#include "foundation/Globals.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtGlobal>

#include <malloc.h>
#include <sys/resource.h>

namespace bench {

// Before the QApplication: offscreen unless a platform is named.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The program's tables; the log is silenced, as writing it only costs time here.
inline void quietStart()
{
    initGlobals();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

// A figure of /proc/<pid>/status in MB ("self" for this process).
inline double statusMB(const char* key, const QString& pid = QStringLiteral("self"))
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1.0;
    const QByteArray k(key);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(k))
            return line.mid(k.size()).trimmed().split(' ').value(0).toDouble() * 1024 / 1e6;
    return -1.0;
}

inline double residentMB() { return statusMB("VmRSS:"); }
inline double peakResidentMB() { return statusMB("VmHWM:"); }
// Of a program the bench started; -1 when it has ended.
inline double residentMBOf(qint64 pid) { return statusMB("VmRSS:", QString::number(pid)); }

// Starts the program offscreen in dir, running the batch file there at once;
// its log comes on p's output. False when it does not start.
inline bool startProgram(QProcess& p, const char* program, const QDir& dir, const QString& batch)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    // The program as named from here, not from the data folder it runs in.
    p.start(QFileInfo(QString::fromLocal8Bit(program)).absoluteFilePath(),
            {QStringLiteral("-d"), dir.path(), QStringLiteral("-b"), dir.filePath(batch), QStringLiteral("-x")});
    return p.waitForStarted();
}

// The peak starts again from what is resident now, after the heap has given
// back what an earlier run freed; false where the kernel does not allow it
// (the peak is then that of the whole run).
inline bool resetPeak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

// User and system time of the whole process: on a busy machine the wall clock
// also counts the time a thread waited for a core.
inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

} // namespace bench
