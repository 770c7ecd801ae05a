#include "FuzzRun.h"

#include "Mutator.h"

#include <QElapsedTimer>
#include <tiffio.h>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void*);

// An undefined-behaviour report ends the run as an address report does: by
// abort, so the seed is printed and the input saved.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:abort_on_error=1:print_stacktrace=1";
}
#endif

namespace {

// What the process is running now, kept where a signal handler can reach it
// without allocating.
struct Current {
    std::atomic<const char*> data{nullptr};
    std::atomic<qsizetype> size{0};
    std::atomic<std::uint64_t> seed{0};
    std::atomic<std::int64_t> index{0}; // inputs run before this one
    std::atomic<std::int64_t> startedMs{-1};
    std::atomic<std::int64_t> startedCpuMs{0};
    char target[64] = {};
    char savePath[1024] = {};
    char note[4096] = {}; // how to run the saved input outside the fuzzer
};
Current current;
std::atomic<bool> reported{false};

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU time of every thread of the process.
std::int64_t cpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void say(const char* text) { (void)!::write(2, text, std::strlen(text)); }

// Prints the seed and saves the bytes; only calls that are safe in a signal handler.
void reportFailure(const char* why)
{
    if (reported.exchange(true))
        return;
    char line[1400];
    std::snprintf(line, sizeof line,
                  "\nFUZZ FAILURE (%s) target %s after %lld inputs: input seed %llu, %lld bytes "
                  "saved to %s\n",
                  why, current.target, static_cast<long long>(current.index.load()),
                  static_cast<unsigned long long>(current.seed.load()),
                  static_cast<long long>(current.size.load()), current.savePath);
    say(line);
    if (current.note[0] != 0) {
        say(current.note);
        say("\n");
    }
    const char* data = current.data.load();
    if (!data || current.savePath[0] == 0)
        return;
    const int fd = ::open(current.savePath, O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd >= 0) {
        (void)!::write(fd, data, size_t(current.size.load()));
        ::close(fd);
    }
}

// Live heap bytes, counted by the sanitizer's hooks. An input may add no more
// than the largest frame a reader accepts; the hook ends the run at once, before
// an oversized block is touched.
std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> allowedBytes{std::numeric_limits<std::int64_t>::max()};
#if defined(__SANITIZE_ADDRESS__)
void onMalloc(const volatile void*, size_t size)
{
    if (liveBytes.fetch_add(std::int64_t(size)) + std::int64_t(size) > allowedBytes.load()) {
        allowedBytes = std::numeric_limits<std::int64_t>::max();
        reportFailure("allocation beyond the cap");
        std::abort();
    }
}
void onFree(const volatile void* p)
{
    if (p)
        liveBytes.fetch_sub(std::int64_t(__sanitizer_get_allocated_size(p)));
}
#endif

[[maybe_unused]] void onDeath() { reportFailure("crash or sanitizer report"); }

void onSignal(int sig)
{
    reportFailure(sig == SIGABRT ? "abort" : "signal");
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void installHandlers()
{
    static bool done = false;
    if (done)
        return;
    done = true;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(onDeath);
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
#endif
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL})
        std::signal(sig, onSignal);
}

// Readers log every refusal; a run makes millions of them.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtFatalMsg) {
        say(qPrintable(msg));
        say("\n");
    }
}

// libtiff writes its own complaints to stderr.
void beQuiet()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

class Watchdog {
public:
    explicit Watchdog(const FuzzLimits& limits)
        : cpuLimitMs(std::int64_t(limits.cpuSecondsPerInput * 1000.0)),
          wallLimitMs(std::int64_t(limits.wallSecondsPerInput * 1000.0))
    {
        worker = std::thread([this] {
            char why[128];
            while (!stop.load()) {
                const std::int64_t started = current.startedMs.load();
                const std::int64_t cpu = cpuMs() - current.startedCpuMs.load();
                const std::int64_t wall = nowMs() - started;
                if (started >= 0 && cpu > cpuLimitMs) {
                    std::snprintf(why, sizeof why,
                                  "input used more than %.1f s of CPU time, in %.1f s of wall time",
                                  cpuLimitMs / 1000.0, wall / 1000.0);
                    fail(why);
                }
                if (started >= 0 && wall > wallLimitMs) {
                    std::snprintf(why, sizeof why,
                                  "input ran past %.1f s of wall time, using %.1f s of CPU time",
                                  wallLimitMs / 1000.0, cpu / 1000.0);
                    fail(why);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    ~Watchdog()
    {
        stop = true;
        worker.join();
    }

private:
    [[noreturn]] static void fail(const char* why)
    {
        reportFailure(why);
        std::_Exit(3);
    }

    std::int64_t cpuLimitMs;
    std::int64_t wallLimitMs;
    std::atomic<bool> stop{false};
    std::thread worker;
};

void publish(const QByteArray& input, std::uint64_t seed, std::int64_t index)
{
    allowedBytes = liveBytes.load() + fuzzAllocationCap;
    current.index = index;
    current.data = input.constData();
    current.size = input.size();
    current.seed = seed;
    // The CPU start first: the watchdog reads it only once the wall start is set.
    current.startedCpuMs = cpuMs();
    current.startedMs = nowMs();
}

// A reader that throws (std::bad_alloc, std::length_error) would end the program.
void runOne(const FuzzTarget& target, const QByteArray& input, const QString& workDir)
{
    try {
        target.run(input, workDir);
    } catch (...) {
        reportFailure("exception");
        std::_Exit(4);
    }
}

void unpublish()
{
    allowedBytes = std::numeric_limits<std::int64_t>::max();
    current.startedMs = -1;
    current.data = nullptr;
    current.size = 0;
}

void prepare(const FuzzTarget& target, const QString& failDir)
{
    std::snprintf(current.target, sizeof current.target, "%s", qPrintable(target.name));
    const QString save = (failDir.isEmpty() ? QStringLiteral(".") : failDir)
                         + QStringLiteral("/fuzz-failure-") + target.name + QLatin1Char('.')
                         + target.saveSuffix;
    std::snprintf(current.savePath, sizeof current.savePath, "%s", qPrintable(save));
    const QString note = target.replayNote ? target.replayNote(save) : QString();
    std::snprintf(current.note, sizeof current.note, "%s", qPrintable(note));
    installHandlers();
}

} // namespace

QByteArray fuzzInput(const FuzzTarget& target, std::uint64_t seed, const QString& workDir)
{
    const QList<QByteArray> examples = target.examples(workDir);
    if (target.generate)
        return target.generate(seed);
    Mutator m(seed);
    return m.mutate(examples, target.headerBytes, target.text);
}

void runFuzzBytes(const FuzzTarget& target, const QByteArray& input, const QString& workDir,
                  const FuzzLimits& limits)
{
    prepare(target, limits.failDir);
    beQuiet();
    const QtMessageHandler old = qInstallMessageHandler(quietHandler);
    Watchdog dog(limits);
    publish(input, 0, 0);
    runOne(target, input, workDir);
    unpublish();
    qInstallMessageHandler(old);
}

FuzzReport runFuzzTarget(const FuzzTarget& target, std::uint64_t runSeed, const FuzzLimits& limits)
{
    prepare(target, limits.failDir);
    QTemporaryDir work;
    const QList<QByteArray> examples = target.examples(work.path());
    beQuiet();
    const QtMessageHandler old = qInstallMessageHandler(quietHandler);
    FuzzReport report;
    QElapsedTimer clock;
    clock.start();
    {
        Watchdog dog(limits);
        for (std::uint64_t i = 0;; ++i) {
            if (limits.maxInputs >= 0 && qint64(i) >= limits.maxInputs)
                break;
            if (limits.maxSeconds >= 0 && clock.elapsed() > limits.maxSeconds * 1000.0)
                break;
            const std::uint64_t seed = inputSeed(runSeed, i);
            Mutator m(seed);
            const QByteArray input = target.generate
                                         ? target.generate(seed)
                                         : m.mutate(examples, target.headerBytes, target.text);
            publish(input, seed, std::int64_t(i));
            const std::int64_t cpu0 = cpuMs();
            const std::int64_t wall0 = nowMs();
            runOne(target, input, work.path());
            unpublish();
            report.maxInputCpuSeconds = std::max(report.maxInputCpuSeconds, (cpuMs() - cpu0) / 1000.0);
            report.maxInputWallSeconds = std::max(report.maxInputWallSeconds, (nowMs() - wall0) / 1000.0);
            ++report.inputs;
        }
    }
    qInstallMessageHandler(old);
    report.seconds = clock.elapsed() / 1000.0;
    return report;
}
