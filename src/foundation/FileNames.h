#pragma once
// Names of output files derived from the name the operator chose, so that
// companion files land beside it with predictable names.
#include <QString>

// The name with its suffix replaced by suffix (or kept, when keepOwn and it has
// one); the absolute path when absolute, else the file name alone.
QString fileNameWithSuffix(const QString& name, const QString& suffix, bool keepOwn,
                           bool absolute);
// The name with "-" and addition inserted before its suffix.
QString derivedFileName(const QString& name, const QString& addition, bool absolute);
// The same file name inside subDir of the name's folder.
QString fileInSubDir(const QString& name, const QString& subDir);
// Creates the folder of path with its missing parents; failures are ignored.
void ensureDirOf(const QString& path);
