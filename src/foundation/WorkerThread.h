#pragma once
// Joining a worker's thread. Qt is not built with the thread sanitizer, which
// therefore cannot see that QThread::wait() orders all the thread's work before
// what follows the wait; in a sanitizer build this marks that ordering,
// otherwise it only quits and waits.
#include <QObject>
#include <QThread>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

inline void joinWorkerThread(QThread* t)
{
    if (!t)
        return;
#if defined(__SANITIZE_THREAD__)
    // Connected last, so it runs in the thread after every other finished handler.
    QObject::connect(t, &QThread::finished, t, [t] { __tsan_release(t); }, Qt::DirectConnection);
#endif
    t->quit();
    t->wait();
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(t);
#endif
}

// A value handed to another thread through Qt's event queue: the queue's lock
// lives in Qt, out of the thread sanitizer's sight, so the sender marks the
// hand-over and the receiver the take-over.
inline void markHandOver([[maybe_unused]] const void* p)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(p));
#endif
}

inline void markTakeOver([[maybe_unused]] const void* p)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(p));
#endif
}
