#pragma once
// How batch commands read their parameters. A word's numbers are checked
// before it runs (cmdParamsRefusal); the conversions below then read texts
// that passed, or a missing parameter where the word gives that a meaning.
#include "batch/CmdDef.h"

#include <QString>
#include <QStringList>

class CmdLine;

// Decimal integer; 0 unless the whole text is one that fits an int.
int cmdInt(const QString& p);
// On exactly when the integer is 1 ("1", "+1", "01").
bool cmdFlag(const QString& p);
// A finite number; 0.0 otherwise (so "nan" and "inf" never reach a field).
double cmdReal(const QString& p);
// The parameter upper-cased equals upperWord.
bool cmdKeywordIs(const QString& p, const QString& upperWord);

// Why the word id of cmd must not run: a number parameter that is missing, no
// number of its kind (a whole number, 0 or 1 for a flag, a finite real) or out
// of the word's range, named with the parameter as written. Empty when the
// parameters pass; text parameters and ones past those the word reads always do.
QString cmdParamsRefusal(EX_CMD_ID id, const CmdLine& cmd);

// The files of dir matching any of filters (every file when there are none),
// as paths inside dir, in name order. Empty for an empty or missing dir.
QStringList filesOfPattern(const QString& dir, const QStringList& filters);
