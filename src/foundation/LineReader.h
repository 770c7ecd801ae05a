#pragma once
// The one way the program's text files are read line by line. It reads only
// regular files (a FIFO or a device would block or never end) and stops at a
// line longer than maxLineLength, so a stray binary file costs a bounded read.
#include <QBuffer>
#include <QFile>
#include <QString>
#include <QTextStream>

// A regular file, or a symbolic link to one (also a compiled-in resource).
bool isRegularFile(const QString& path);
// True, with a log line naming it, for a path that exists but is no regular file.
bool refuseIrregular(const QString& path);

class LineReader {
public:
    // Characters, line end excluded.
    static const qsizetype maxLineLength = qsizetype(1) << 20;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False when the file does not open; a file that is no regular file is
    // refused with a log line naming it. Callers add their own "can't open" line.
    bool open(const QString& path);
    // Text held in memory; name is what log lines call it.
    void openBytes(const QByteArray& bytes, const QString& name);

    // The next line without its line end. False at the end of the text and at
    // an overlong line, which is logged once; nothing is read after it.
    bool readLine(QString& line);
    // Stopped at an overlong line (or refused by open).
    bool refused() const { return refused_; }
    // Back to the first line; a refused text stays refused.
    bool rewind();
    const QString& name() const { return name_; }
    // Why open failed (QFileDevice::FileError).
    int openError() const { return int(file.error()); }
    qint64 size() const;

private:
    void start(QIODevice* device, const QString& name);

    QFile file;
    QBuffer buffer;
    QTextStream in;
    QString name_;
    qint64 lineNo = 0;
    bool refused_ = false;
    bool opened = false;
};
