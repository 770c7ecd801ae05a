#pragma once
// The log of work that a helper thread does for another thread: while the
// helper collects, whatever it would log is kept, and the thread it works for
// logs it when that work is its turn, so that the log reads as if that thread
// had done the work itself.
#include <QDebug>
#include <QString>

#include <functional>
#include <vector>

namespace deferredlog {

// What was kept, each as the call that logs it.
class Entries {
public:
    void add(std::function<void()> entry) { entries.push_back({std::move(entry), QString()}); }
    // A debug line, kept with its text.
    void addLine(const QString& line);
    // Logs them, in the order they were kept.
    void write() const;
    bool isEmpty() const { return entries.empty(); }
    // The last one kept when it is a debug line, taken out; else empty.
    QString takeLastLine();

private:
    struct Entry {
        std::function<void()> write;
        QString line;
    };
    std::vector<Entry> entries;
};

// While it lives, what this thread logs goes into `into` instead of the log.
class Collect {
public:
    explicit Collect(Entries* into);
    ~Collect();
    Collect(const Collect&) = delete;
    Collect& operator=(const Collect&) = delete;

private:
    Entries* previous;
};

// Where this thread's log goes now; null when it is written at once.
Entries* collecting();

} // namespace deferredlog

// One debug line, streamed as into qDebug(): written when it ends, or kept
// while this thread collects.
class DebugLine {
public:
    DebugLine();
    ~DebugLine();
    DebugLine(const DebugLine&) = delete;
    DebugLine& operator=(const DebugLine&) = delete;

    DebugLine& noquote()
    {
        d.noquote();
        return *this;
    }
    template <class T>
    DebugLine& operator<<(const T& v)
    {
        d << v;
        return *this;
    }

private:
    deferredlog::Entries* into;
    QString text;
    QDebug d;
};

inline DebugLine debugLine()
{
    return DebugLine();
}
