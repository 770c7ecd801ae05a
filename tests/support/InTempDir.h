#pragma once
// A temporary working folder for the life of the object: what the code under
// test writes into the folder it runs from lands there and goes with it.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

struct InTempDir {
    QTemporaryDir tmp;
    QString previous = QDir::currentPath();
    InTempDir() { QDir::setCurrent(tmp.path()); }
    ~InTempDir() { QDir::setCurrent(previous); }
    bool has(const QString& name) const { return QFileInfo::exists(tmp.filePath(name)); }
};
