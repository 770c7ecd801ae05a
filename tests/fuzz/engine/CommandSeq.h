#pragma once
// The "commands" target: random sequences of batch words carried out by the
// main window over a small synthetic stack, through the program's own batch
// path, with the display painted between them. A sequence is a batch file
// that the program runs the same way with "-b FILE -x".
#include "FuzzTargets.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace cmdseq {

// Frames, references and the empty folder "o" for saves, in the folder
// "commands-data" of workDir: "$DataRoot$" of every sequence.
bool writeStack(const QString& workDir);
// The batch of one seed: loads of the stack, random words and paint points,
// then "quit".
QByteArray sequence(std::uint64_t seed);
// Runs a batch as "corvelline -d DATA -b FILE -x" would, with workDir as the
// working folder; returns when its ":end" has run.
void run(const QByteArray& batch, const QString& workDir);

FuzzTarget target();

} // namespace cmdseq
