#pragma once
// How batch commands read their parameters. A missing parameter is the empty
// text, and a text that does not convert takes the value given below; nothing
// is ever reported.
#include <QString>
#include <QStringList>

// Decimal integer; 0 unless the whole text is one that fits an int.
int cmdInt(const QString& p);
// On exactly when the integer is 1 ("1", "+1", "01").
bool cmdFlag(const QString& p);
// A finite number; 0.0 otherwise (so "nan" and "inf" never reach a field).
double cmdReal(const QString& p);
// The parameter upper-cased equals upperWord.
bool cmdKeywordIs(const QString& p, const QString& upperWord);

// The files of dir matching any of filters (every file when there are none),
// as paths inside dir, in name order. Empty for an empty or missing dir.
QStringList filesOfPattern(const QString& dir, const QStringList& filters);
