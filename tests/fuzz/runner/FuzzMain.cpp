// Runs one fuzz target for as long as asked:
//   fuzz_runner TARGET [--minutes M] [--seed S] [--out DIR]
//   fuzz_runner TARGET --replay INPUT_SEED [--out DIR]   (makes and runs one input again)
//   fuzz_runner TARGET --file PATH                        (runs saved bytes)
// --cpu-seconds C and --wall-seconds W set the time bounds of one input.
#include "fuzz/engine/FuzzRun.h"
#include "fuzz/engine/Mutator.h"

#include "foundation/Globals.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    initGlobals();
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: fuzz_runner TARGET [--minutes M] [--seed S] [--out DIR] "
                             "[--replay INPUT_SEED] [--file PATH] [--cpu-seconds C] [--wall-seconds W]\n"
                             "targets:");
        for (const FuzzTarget& t : fuzzTargets())
            std::fprintf(stderr, " %s", qPrintable(t.name));
        std::fprintf(stderr, "\n");
        return 2;
    }
    const FuzzTarget* target = findFuzzTarget(args.takeFirst());
    if (!target) {
        std::fprintf(stderr, "no such target\n");
        return 2;
    }
    double minutes = 1.0;
    std::uint64_t seed = std::uint64_t(QDateTime::currentMSecsSinceEpoch());
    QString out = QStringLiteral(".");
    QString file;
    FuzzLimits limits;
    bool replay = false;
    std::uint64_t replaySeed = 0;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString& k = args.at(i);
        const QString& v = args.at(i + 1);
        if (k == QLatin1String("--minutes"))
            minutes = v.toDouble();
        else if (k == QLatin1String("--seed"))
            seed = v.toULongLong();
        else if (k == QLatin1String("--out"))
            out = v;
        else if (k == QLatin1String("--file"))
            file = v;
        else if (k == QLatin1String("--cpu-seconds"))
            limits.cpuSecondsPerInput = v.toDouble();
        else if (k == QLatin1String("--wall-seconds"))
            limits.wallSecondsPerInput = v.toDouble();
        else if (k == QLatin1String("--replay")) {
            replay = true;
            replaySeed = v.toULongLong();
        }
    }
    limits.failDir = out;
    QTemporaryDir work;
    if (!file.isEmpty() || replay) {
        QByteArray input;
        if (replay) {
            input = fuzzInput(*target, replaySeed, work.path());
            QFile f(out + QStringLiteral("/fuzz-replay-") + target->name + QLatin1Char('.') + target->saveSuffix);
            if (f.open(QIODevice::WriteOnly))
                f.write(input);
        } else {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly))
                return 2;
            input = f.readAll();
            target->examples(work.path());
        }
        runFuzzBytes(*target, input, work.path(), limits);
        std::printf("%s: input ran clean\n", qPrintable(target->name));
        return 0;
    }
    std::printf("%s: run seed %llu for %.1f minutes\n", qPrintable(target->name),
                static_cast<unsigned long long>(seed), minutes);
    std::fflush(stdout);
    limits.maxSeconds = minutes * 60.0;
    const FuzzReport r = runFuzzTarget(*target, seed, limits);
    std::printf("%s: %lld inputs in %.1f s, %.1f inputs/s, no failure; longest input %.2f s of CPU "
                "time (bound %.1f s), %.2f s of wall time (bound %.1f s)\n",
                qPrintable(target->name), static_cast<long long>(r.inputs), r.seconds,
                r.seconds > 0 ? r.inputs / r.seconds : 0.0, r.maxInputCpuSeconds,
                limits.cpuSecondsPerInput, r.maxInputWallSeconds, limits.wallSecondsPerInput);
    return 0;
}
