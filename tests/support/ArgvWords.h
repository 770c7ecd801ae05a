#pragma once
// argc/argv as main() receives them, built from words.
#include <QByteArray>
#include <QStringList>
#include <vector>

struct ArgvWords {
    explicit ArgvWords(const QStringList& words)
    {
        for (const QString& w : words)
            bytes.push_back(w.toUtf8());
        for (QByteArray& b : bytes)
            ptrs.push_back(b.data());
        ptrs.push_back(nullptr);
    }
    int argc() const { return int(bytes.size()); }
    char** argv() { return ptrs.data(); }
    std::vector<QByteArray> bytes;
    std::vector<char*> ptrs;
};
