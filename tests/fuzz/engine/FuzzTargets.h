#pragma once
// One fuzz target per input the program reads: how to make valid examples of
// it and how to hand one input to the reader, in process.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

struct FuzzTarget {
    QString name;
    bool text = false;     // mutate numbers as text, splice lines
    int headerBytes = 0;   // binary: boundary numbers go over these bytes (0: anywhere)
    std::function<QList<QByteArray>(const QString& workDir)> examples;
    std::function<void(const QByteArray& input, const QString& workDir)> run;
    // Inputs of the CI run: the whole fuzz test well under a minute in the
    // sanitizer build on a loaded machine.
    int ciInputs = 1000;
    // Set for targets that make each input from its seed themselves instead of
    // mutating the examples (which then only prepare the work folder).
    std::function<QByteArray(std::uint64_t seed)> generate{};
    // A failing input is saved as fuzz-failure-<name>.<saveSuffix>.
    QString saveSuffix = QStringLiteral("bin");
    // Called before a run with the path a failure would be saved to: puts what
    // running it outside the fuzzer needs beside it and returns the line that
    // says how (printed with a failure).
    std::function<QString(const QString& failurePath)> replayNote{};
};

const QList<FuzzTarget>& fuzzTargets();
const FuzzTarget* findFuzzTarget(const QString& name);
