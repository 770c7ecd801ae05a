#pragma once
// Runs a target over mutated inputs. A crash, a sanitizer report or an input
// that outlasts a time bound ends the process after the input's seed and
// bytes are printed and saved, so the run can be made again from them.
#include "FuzzTargets.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// The most one input may add to the heap: the largest frame a reader accepts
// (2^28 pixels of 32 bits) and room for the program's own lists.
constexpr std::int64_t fuzzAllocationCap = (std::int64_t(1) << 30) + (std::int64_t(64) << 20);

struct FuzzLimits {
    qint64 maxInputs = -1;      // below 0: no count limit
    double maxSeconds = -1.0;   // below 0: no time limit
    // An input fails past either bound. A hang uses up CPU time, which a busy
    // machine does not stretch; the wall bound, far above it, catches an input
    // that waits without using the CPU.
    double cpuSecondsPerInput = 20.0; // all threads of the process
    double wallSecondsPerInput = 180.0;
    QString failDir;            // where a failing input is saved
};

struct FuzzReport {
    qint64 inputs = 0;
    double seconds = 0.0;
    // The longest input by each clock, to set the bounds against.
    double maxInputCpuSeconds = 0.0;
    double maxInputWallSeconds = 0.0;
};

FuzzReport runFuzzTarget(const FuzzTarget& target, std::uint64_t runSeed, const FuzzLimits& limits);
// The input a run makes for one input seed (for replaying a saved failure).
QByteArray fuzzInput(const FuzzTarget& target, std::uint64_t inputSeed, const QString& workDir);
// Runs exactly these bytes once under the limits' time bounds; a failure is
// saved into limits.failDir (the current folder when empty).
void runFuzzBytes(const FuzzTarget& target, const QByteArray& input, const QString& workDir,
                  const FuzzLimits& limits = FuzzLimits());
